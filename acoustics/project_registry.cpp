// The project's registry of placed objects: adding, numbering and removing cabinets, line arrays,
// clusters, beam-steering arrays, zones and user DSP processes. A removal stops every worker that
// reads the object before the object goes away.

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/events_held_back.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/registry_steps.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/sound_system.h"
#include "dsp/dsp_space.h"
#include "platform/core/cursor_service.h"
#include "platform/core/debug_log.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"
#include "scene/scene_object.h"

#include <algorithm>
#include <type_traits>

namespace vendrel {

namespace {

// Gives EventsEnabled back its value at the start of the operation, whatever way it ends.
struct EventsRestorer {
    TAcousticProject& p;
    bool saved;
    explicit EventsRestorer(TAcousticProject& project) : p(project), saved(project.EventsEnabled()) {}
    ~EventsRestorer() { p.SetEventsEnabled(saved); }
};

template <typename T> void eraseFirst(std::vector<T*>& list, const T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) {
        list.erase(it);
    }
}

// A removed object leaves its layer first: the layer keeps plain pointers to its members and would
// otherwise pass its next lock or visibility change to a freed object.
void removeFromLayer(TQzControl3D& object) {
    if (TQzLayer* layer = object.MyLayer()) {
        eraseFirst(layer->ObjListInLayer, &object);
        object.SetMyLayer(nullptr);
    }
}

} // namespace

void TAcousticProject::ReleaseCabinet(std::unique_ptr<TCabinet> cabinet) {
    if (!cabinet) {
        return;
    }
    cabinet->FreeMapThread();
    if (cabinet->ExternalDSPProcess() != nullptr && cabinet->ExternalDSPProcess() != FBypassProcess.get()) {
        cabinet->ExternalDSPProcess()->RemoveUser(cabinet.get());
    }
    cabinet.reset();
}

TCabinet* TAcousticProject::AddCabinet(TCabModel* CabModel, const TPoint3D& Position3D,
                                       const TPoint3D& Rotation3D, bool IsSelected,
                                       TCabPlacement PlacementType, int32_t HornRotationIndex, bool IsActive,
                                       void* /*ProgBar: the project's own is used*/) {
    const TWorkersPause pause(*this);
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddCabinet");
    CheckMemoryForNCabinets(FPhysicalSpace->PixelToMeters(), 1);
    auto cabinet = std::make_unique<TCabinet>(FPhysicalSpace, CabModel, this, Position3D, Rotation3D,
                                              IsSelected, PlacementType, IsActive, FBypassProcess.get(),
                                              CabModel->DefaultPreset(), FProgressBar);
    SetIsProjectModified(true);
    TCabinet* cab = cabinet.get();
    cab->TakeRenderOptions(FOnlyPhase, FZeroPhaseStart, FIdealSpeaker);
    cab->SetHornRotationIndex(HornRotationIndex);
    cab->NeedsReCalculateMapInZone(-1);
    FCabinets.push_back(std::move(cabinet));
    RaiseUniqueID();
    cab->SetNumberID(NCabinets());
    cab->SetActive(IsActive);
    return cab;
}

void TAcousticProject::AddArray(std::unique_ptr<TCabArray> CabArray) {
    const TWorkersPause pause(*this);
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddArray");
    CabArray->SetMyAcousticProject(this);
    FCabArrays.push_back(std::move(CabArray));
    RaiseUniqueID();
}

void TAcousticProject::AddCluster(std::unique_ptr<TCluster> Cluster) {
    const TWorkersPause pause(*this);
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddCluster");
    Cluster->SetMyAcousticProject(this);
    FClusters.push_back(std::move(Cluster));
    RaiseUniqueID();
}

void TAcousticProject::AddBeamSteering(std::unique_ptr<TBeamContainer> BeamContainer) {
    const TWorkersPause pause(*this);
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddBeamContainer");
    BeamContainer->SetMyAcousticProject(this);
    FBeams.push_back(std::move(BeamContainer));
    RaiseUniqueID();
}

TMappingZone* TAcousticProject::AddMappingZone(const std::string& Name, const TPoint3D& Position3D,
                                               const TPoint3D& Rotation3D, double Width, double Depth,
                                               double Height, bool IsSelected, TSurfaceType ZoneType,
                                               bool IsActive) {
    const TWorkersPause pause(*this);
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddMappingZone");
    TMappingZone* zone =
        TMappingZone::Create(FPhysicalSpace, this, Name, Position3D, Rotation3D, static_cast<float>(Width),
                             static_cast<float>(Depth), static_cast<float>(Height), IsSelected, ZoneType,
                             FZoneCreationColor, IsActive);
    RaiseUniqueID();
    zone->SetXBegin(Position3D.X);
    zone->SetYBegin(Position3D.Y);
    zone->SetZBegin(Position3D.Z);
    if (!FIsCheckingMemory) {
        zone->CheckMemoryOnChangeZone(static_cast<float>(Width), static_cast<float>(Depth));
    }
    zone->SetDimensions(static_cast<float>(Width), static_cast<float>(Depth));
    if (ZoneType != TSurfaceType::qzaPicture) {
        zone->SetMapState(TCalcState::qzaNeedsCalculate);
        FAllMapsState = TCalcState::qzaNeedsCalculate;
    }
    return zone;
}

TGenericDSPProcess* TAcousticProject::AddDSPProcess() {
    RegistryBreadcrumb(*this, "AddDSPPRocess");
    FDSPProcessList.push_back(std::make_unique<TGenericDSPProcess>(FDSPSpaceForMicGraphs.get(), this));
    TGenericDSPProcess* process = FDSPProcessList.back().get();
    RaiseUniqueID();
    process->SetNumberID(NDSPProcess());
    process->SetName("No Name " + std::to_string(process->NumberID()));
    process->SetActive(true);
    return process;
}

TOrnament* TAcousticProject::AddOrnament(TOrnaModel* OrnaModel, const TPoint3D& Position3D,
                                         const TPoint3D& Rotation3D, bool IsSelected) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "AddOrnament");
    auto ornament =
        std::make_unique<TOrnament>(FPhysicalSpace, OrnaModel, this, Position3D, Rotation3D, IsSelected);
    TOrnament* orna = ornament.get();
    orna->SetMyAcousticProject(this);
    orna->SetName(OrnaModel != nullptr ? OrnaModel->ModelName() : std::string());
    FOrnaments.push_back(std::move(ornament));
    RaiseUniqueID();
    orna->SetNumberID(NOrnaments());
    return orna;
}

void TAcousticProject::RemoveOrnament(TOrnament* theOrnament) {
    RegistryBreadcrumb(*this, "RemoveOrnament");
    removeFromLayer(*theOrnament);
    std::unique_ptr<TOrnament> owned = TakeOut(FOrnaments, theOrnament);
    owned->FreeClass();
    owned.reset();
    for (size_t i = 0; i < FOrnaments.size(); ++i) {
        FOrnaments[i]->SetNumberID(static_cast<int32_t>(i));
    }
}

void TAcousticProject::RemoveCabinet(TCabinet* Cabinet) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveCabinet");
    if (Cabinet == nullptr) {
        return;
    }
    // No worker runs while the cabinet goes; the others are asked again when the pause ends.
    const TWorkersPause pause(*this);
    removeFromLayer(*Cabinet);
    EventsRestorer events(*this);
    ReleaseCabinet(TakeOut(FCabinets, Cabinet));
    SumAllCalculatedMaps();
    ReCalculateAllMics();
}

void TAcousticProject::RemoveCabinets(const std::vector<TCabinet*>& CabinetList, int32_t c) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveCabinets");
    const TWorkersPause pause(*this);
    EventsRestorer events(*this);
    FEventsEnabled = true;
    for (int32_t i = 0; i < c; ++i) {
        TCabinet* cab = At(CabinetList, i);
        removeFromLayer(*cab);
        ReleaseCabinet(TakeOut(FCabinets, cab));
    }
    SumAllCalculatedMaps();
    ReCalculateAllMics();
}

void TAcousticProject::RemoveDSPProcess(const std::vector<TGenericDSPProcess*>& ProcessList, int32_t c) {
    if (c == 0) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveDSPProcess");
    const TWorkersPause pause(*this);
    EventsRestorer events(*this);
    for (int32_t i = 0; i < c; ++i) {
        TGenericDSPProcess* process = At(ProcessList, i);
        if (process == nullptr) {
            return;
        }
        const std::vector<TCabinet*> users = process->AppliedOn();
        for (TCabinet* cab : users) {
            cab->SetExternalDSPProcess(FBypassProcess.get());
        }
        TakeOut(FDSPProcessList, process).reset();
    }
}

// Zone tail of the group removals: clear or re-sum every zone (SumAllCalculatedMaps does both),
// then the measurement points.
void TAcousticProject::ZoneTailAfterRemoval() {
    SumAllCalculatedMaps();
    ReCalculateAllMics();
}

template <typename Group>
static void removeGroup(TAcousticProject& p, std::vector<std::unique_ptr<Group>>& list, Group* group,
                        const std::string& crumb) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(p, crumb);
    const TWorkersPause pause(p);
    if constexpr (std::is_base_of_v<TQzControl3D, Group>) {
        removeFromLayer(*group);
    }
    {
        EventsRestorer events(p);
        p.SetEventsEnabled(false);
        std::unique_ptr<Group> owned = TakeOut(list, group);
        for (TCabinet* cab : owned->CabinetList()) {
            cab->FreeMapThread();
            if (cab->ExternalDSPProcess() != nullptr && cab->ExternalDSPProcess() != p.BypassProcess()) {
                cab->ExternalDSPProcess()->RemoveUser(cab);
            }
        }
        owned->FreeClass();
    }
    p.ZoneTailAfterRemoval();
}

void TAcousticProject::RemoveArray(TCabArray* CabArray) {
    removeGroup(*this, FCabArrays, CabArray, "RemoveArray");
}

// The array's element leaves the chain with the workers held and the events off. The chain is placed
// again meanwhile, so every cabinet left in it computes its maps again; the zones are marked for a
// new sum.
static void removeFromArray(TAcousticProject& p, TControl3D* element, TCabArray& array) {
    const TWorkersPause pause(p);
    {
        EventsRestorer events(p);
        p.SetEventsEnabled(false);
        array.RemoveElement(element);
    }
    for (TCabinet* cab : array.CabinetList()) {
        cab->NeedsReCalculate();
    }
    for (auto& zone : p.MappingZones()) {
        zone->SetMapState(TCalcState::qzaNeedsSum);
    }
    p.SetAllMapsState(TCalcState::qzaNeedsCalculate);
}

void TAcousticProject::RemoveCabinetFromArray(TCabinet* Cabinet, TCabArray* CabArray) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveCabinetFromArray");
    const int32_t position = Cabinet->ArrayElementPosID();
    removeFromArray(*this, Cabinet, *CabArray);
    // A rigging frame left right above the removed cabinet goes with it.
    if (position >= 2 && position - 1 < static_cast<int32_t>(CabArray->ArrayList().size())) {
        if (auto* frame =
                dynamic_cast<TRiggingFrame*>(CabArray->ArrayList()[static_cast<size_t>(position - 1)])) {
            RemoveElementFromArray(frame, CabArray);
        }
    }
    ReCalculateAllMics();
}

void TAcousticProject::RemoveElementFromArray(TControl3D* theObject, TCabArray* CabArray) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveElementFromArray");
    removeFromArray(*this, theObject, *CabArray);
    SumAllCalculatedMaps();
    ReCalculateAllMics();
}

void TAcousticProject::RemoveCluster(TCluster* Cluster) {
    removeGroup(*this, FClusters, Cluster, "RemoveCluster");
}

void TAcousticProject::RemoveBeamSteering(TBeamContainer* Beam) {
    removeGroup(*this, FBeams, Beam, "RemoveBeam");
}

void TAcousticProject::RemoveMappingZone(TMappingZone* theMappingZone) {
    const auto cursor = TSmartCursor::HourGlass();
    RegistryBreadcrumb(*this, "RemoveZone");
    // Every cabinet thread indexes its zone buffers: none may run while one goes.
    const TWorkersPause pause(*this);
    removeFromLayer(*theMappingZone);
    {
        EventsRestorer events(*this);
        FEventsEnabled = false;
        // Every zone, a picture surface too, has its buffer in every cabinet at its own index: it goes
        // with the zone, or every later zone would be computed into the buffer of the one before it.
        const int32_t index = theMappingZone->ZoneIndexID();
        ForEachCabinet([index](TCabinet& cab) {
            (void)At(cab.MapData(), index);
            cab.EraseZoneData(static_cast<size_t>(index));
        });
        TakeOut(FMappingZones, theMappingZone).reset();
        ForEachCabinet([](TCabinet& cab) { cab.CalcHitPoint(); });
        for (auto& beam : FBeams) {
            for (auto& single : beam->SingleBeams()) {
                single->CalcHitPoint();
            }
        }
        for (size_t z = 0; z < FMappingZones.size(); ++z) {
            FMappingZones[z]->SetZoneIndexID(static_cast<int32_t>(z));
            if (FMappingZones[z]->MapSum()) {
                FMappingZones[z]->MapSum()->SetZoneID(static_cast<int32_t>(z));
            }
        }
        ForEachCabinet([](TCabinet& cab) {
            for (size_t z = 0; z < cab.MapData().size(); ++z) {
                cab.MapData()[z]->SetZoneID(static_cast<int32_t>(z));
            }
        });
    }
}

} // namespace vendrel
