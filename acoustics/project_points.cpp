// The project's registry of measurement points, response overlays and single beams, and the request that
// recalculates every measurement point.

#include <algorithm>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/events_held_back.h"
#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "acoustics/registry_steps.h"
#include "platform/core/numeric.h"

namespace vendrel {

TMicPoint* TAcousticProject::AddMeasurePoint(const TPoint3D& Position3D, TAlphaColor MyColor, bool AutoColor,
                                             float MicDelay_ms) {
    RegistryBreadcrumb(*this, "AddMeasurePoint");
    auto owned = std::make_unique<TMicPoint>(FPhysicalSpace, this, NMics(), Position3D, MyColor, AutoColor);
    TMicPoint* mic = owned.get();
    mic->StoreMicDelay_ms(MicDelay_ms);
    FMics.push_back(std::move(owned));
    RaiseUniqueID();
    SetIsProjectModified(true);
    return mic;
}

void TAcousticProject::RemoveMic(TMicPoint* Mic) {
    RegistryBreadcrumb(*this, "RemoveMic");
    const EventsHeldBack events(this);
    // The point's worker is stopped before the point goes; a result it queued meanwhile finds the point's
    // life ended and does nothing.
    Mic->SetOnReceiveMic(nullptr);
    Mic->CancelMicThreadAndWait();
    if (TQzLayer* layer = Mic->MyLayer()) {
        auto& members = layer->ObjListInLayer;
        members.erase(std::remove(members.begin(), members.end(), Mic), members.end());
        Mic->SetMyLayer(nullptr);
    }
    Mic->FreeClass();
    TakeOut(FMics, Mic).reset();
}

TOverlay* TAcousticProject::AddOverlay(TAlphaColor MyColor, bool AutoColor) {
    RegistryBreadcrumb(*this, "AddOverlay");
    auto owned = std::make_unique<TOverlay>(*this, NOverlays(), MyColor, AutoColor);
    TOverlay* overlay = owned.get();
    overlay->SetMyAcousticProject(this);
    FOverlays.push_back(std::move(owned));
    RaiseUniqueID();
    SetIsProjectModified(true);
    return overlay;
}

void TAcousticProject::RemoveOverlay(TOverlay* Overlay) {
    RegistryBreadcrumb(*this, "RemoveOverlay");
    TakeOut(FOverlays, Overlay).reset();
    SetIsProjectModified(true);
}

void TAcousticProject::RemoveSingleBeam(TSingleBeam* SingleBeam) {
    // Cabinets name their beams and the workers read the first one's filters: none may run meanwhile.
    TWorkersPause pause(this);
    TBeamContainer* container = SingleBeam->MyBeamContainer();
    std::unique_ptr<TSingleBeam> owned =
        container != nullptr ? container->TakeSingleBeam(SingleBeam) : nullptr;
    const std::vector<TCabinet*> cabinets = SingleBeam->CabinetList();
    for (TCabinet* cab : cabinets) {
        cab->RemoveSingleBeam(SingleBeam);
    }
    SingleBeam->FreeClass();
    if (container != nullptr) {
        container->AssignSourcesOnBeams();
    }
    owned.reset();
    // Cabinets left in no beam radiate unsteered from now on.
    for (TCabinet* cab : cabinets) {
        cab->NeedsReCalculateMapInZone(-1);
    }
    ReCalculateAllMics();
    ClearAllMaps();
}

} // namespace vendrel
