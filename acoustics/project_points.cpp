// The project's registry of measurement points, response overlays and single beams, and the request that
// recalculates every measurement point.

#include <algorithm>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

void breadcrumb(TAcousticProject& p, const std::string& name) {
    p.SetLastLogString("---------------------AcousticProject." + name); // also the debug log
}

template <typename T> std::unique_ptr<T> takeOut(std::vector<std::unique_ptr<T>>& list, const T* item) {
    const auto it = std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; });
    if (it == list.end()) {
        throw ERangeError("List index out of bounds");
    }
    std::unique_ptr<T> owned = std::move(*it);
    list.erase(it);
    return owned;
}

} // namespace

TMicPoint* TAcousticProject::AddMeasurePoint(const TPoint3D& Position3D, TAlphaColor MyColor, bool AutoColor,
                                             float MicDelay_ms) {
    breadcrumb(*this, "AddMeasurePoint");
    auto owned = std::make_unique<TMicPoint>(FPhysicalSpace, this, NMics(), Position3D, MyColor, AutoColor);
    TMicPoint* mic = owned.get();
    mic->StoreMicDelay_ms(MicDelay_ms);
    Mics.push_back(std::move(owned));
    UniqueID = CheckedAdd(UniqueID, 1);
    SetIsProjectModified(true);
    return mic;
}

void TAcousticProject::RemoveMic(TMicPoint* Mic) {
    breadcrumb(*this, "RemoveMic");
    const bool events = EventsEnabled.exchange(false);
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
    takeOut(Mics, Mic).reset();
    EventsEnabled = events;
}

TOverlay* TAcousticProject::AddOverlay(TAlphaColor MyColor, bool AutoColor) {
    breadcrumb(*this, "AddOverlay");
    auto owned = std::make_unique<TOverlay>(*this, NOverlays(), MyColor, AutoColor);
    TOverlay* overlay = owned.get();
    overlay->SetMyAcousticProject(this);
    Overlays.push_back(std::move(owned));
    UniqueID = CheckedAdd(UniqueID, 1);
    SetIsProjectModified(true);
    return overlay;
}

void TAcousticProject::RemoveOverlay(TOverlay* Overlay) {
    breadcrumb(*this, "RemoveOverlay");
    takeOut(Overlays, Overlay).reset();
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
        auto& beams = cab->SingleBeamList;
        beams.erase(std::remove(beams.begin(), beams.end(), SingleBeam), beams.end());
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
