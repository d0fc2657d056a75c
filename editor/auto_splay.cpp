#include "editor/auto_splay.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "acoustics/zone_splay.h"
#include "dsp/complex.h"
#include "editor/editor_state.h"
#include "editor/scene_objects.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "scene/zone_shapes.h"

#include <cmath>
#include <memory>

namespace vendrel {

namespace {

// Holds a flag of the project or the editor for a scope and gives back what it held.
template <typename Get, typename Set> class FlagScope {
public:
    FlagScope(Get get, Set set, bool value) : set_(set), saved_(get()) { set_(value); }
    ~FlagScope() { set_(saved_); }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    Set set_;
    bool saved_;
};
template <typename Get, typename Set> FlagScope(Get, Set, bool) -> FlagScope<Get, Set>;

bool predictable(const TMappingZone& zone) {
    return zone.MappingSides() != TMappingSides::qzaNoSPLMap;
}

// The zone's place in the scene (its position keeps heights upwards).
TPoint3D scenePosition(const TMappingZone& zone) {
    const TPoint3D p = zone.Position();
    return {p.X, -p.Y, p.Z};
}

} // namespace

std::vector<int32_t> ShareCabinets(const std::vector<double>& Weights, int32_t N) {
    double S = 0.0;
    for (const double w : Weights) {
        S += w;
    }
    std::vector<int32_t> shares;
    int32_t assigned = 0;
    for (const double w : Weights) {
        const double share = S > 0.0 ? w / S : 1.0 / static_cast<double>(Weights.size());
        int32_t n = RoundHalfEven<int32_t>(share * N);
        while (assigned + n > N) {
            --n;
        }
        shares.push_back(n);
        assigned += n;
    }
    return shares;
}

TAutoSplay::TAutoSplay(TAcousticProject& Project, TEditorState& State) : FProject(Project), FState(State) {}

TCabinet* TAutoSplay::ReferenceCabinet(const TCabArray& theArray) {
    for (TCabinet* cab : theArray.CabinetList()) {
        if (cab->Model() != nullptr && cab->Model()->CabinetType() == TCabinetType::qzaLineArray) {
            return cab;
        }
    }
    return theArray.CabinetList().empty() ? nullptr : theArray.CabinetList().back();
}

bool TAutoSplay::CabinetRayIntersectInZone(const TCabinet& theCabinet, const TMappingZone& theMappingZone,
                                           TPoint3D& HitPointLocalCab, TPoint3D& HitPointAbs) const {
    const TCabModel* m = theCabinet.Model();
    TQzExtrudedShape3D* solid = TSceneObjects::ZoneSolid(theMappingZone);
    if (m == nullptr || solid == nullptr) {
        return false;
    }
    const double e = m->AcousticRotationRadZ();
    const TPoint3D start = theCabinet.LocalToAbsolute3D({static_cast<float>(m->AcousticCenterXm()),
                                                         static_cast<float>(-m->AcousticCenterYm()),
                                                         static_cast<float>(m->AcousticCenterZm())});
    const TPoint3D dir = theCabinet.LocalToAbsoluteDirection(
        {static_cast<float>(200.0 * std::cos(e)), static_cast<float>(-200.0 * std::sin(e)), 0.0f});
    TPoint3D hit;
    if (!solid->RayCastIntersectAbsolute(start, dir, hit)) {
        return false;
    }
    HitPointAbs = hit;
    HitPointLocalCab = theCabinet.AbsoluteToLocal3D(hit);
    return HitPointLocalCab.X > 0.001f;
}

void TAutoSplay::ArrayAutoSplayActionExecute(bool FromSelection) {
    std::vector<TMappingZone*> zones;
    bool zonesSelected = false;
    for (TObject* obj : FState.SelectedObjList) {
        zonesSelected = zonesSelected || dynamic_cast<TMappingZone*>(obj) != nullptr;
    }
    if (zonesSelected) {
        for (TObject* obj : FState.SelectedObjList) {
            if (auto* zone = dynamic_cast<TMappingZone*>(obj); zone != nullptr && predictable(*zone)) {
                zones.push_back(zone);
            }
        }
    } else {
        for (const auto& zone : FProject.MappingZones()) {
            if (predictable(*zone)) {
                zones.push_back(zone.get());
            }
        }
    }
    if (zones.empty()) {
        MessageBoxService().ShowMessage("AutoSplay: Cannot find any predictable zone.");
        return;
    }
    std::vector<TCabArray*> arrays;
    if (FromSelection) {
        for (TObject* obj : FState.SelectedObjList) {
            if (auto* a = dynamic_cast<TCabArray*>(obj)) {
                arrays.push_back(a);
            }
        }
    } else if (TCabArray* a = ArrayInEdition ? ArrayInEdition() : nullptr) {
        arrays.push_back(a);
    }
    for (TCabArray* a : arrays) {
        if (a->MountingType() == TArrayMounting::qzaFlown) {
            AutoSplayArray(*a, zones);
        }
    }
}

void TAutoSplay::AutoSplayArray(TCabArray& theArray, const std::vector<TMappingZone*>& Zones) {
    const std::string label = std::to_string(theArray.NumberID()) + " [" + theArray.Name() + "] ";
    if (theArray.IsLocked()) {
        MessageBoxService().ShowMessage("Line Array " + label +
                                        " is Locked. Cannot execute AutoSplay function");
        return;
    }
    TCabinet* R = ReferenceCabinet(theArray);
    if (R == nullptr || Zones.empty()) {
        return;
    }
    const int32_t N = theArray.NCabinets() - R->ArrayCabinetPosID() + 1;
    std::vector<std::unique_ptr<TZoneArraySplay>> entries;
    std::vector<int32_t> hits(Zones.size(), 0);
    double firstHitTilt = 0.0;
    bool found = false;
    {
        // Nothing reacts to the 351 tilts and the new splays: no events, no hit points, no worker, no
        // panel; the tilt and the splay of the reference cabinet come back when nothing is found.
        const auto cursor = TSmartCursor::HourGlass();
        const TWorkersPause pause(FProject);
        FlagScope quiet([this] { return FState.DisableOnChange; },
                        [this](bool v) { FState.DisableOnChange = v; }, true);
        FlagScope events([this] { return FProject.EventsEnabled(); },
                         [this](bool v) { FProject.SetEventsEnabled(v); }, false);
        FlagScope hitPoints([this] { return FProject.CalcHitPointEnabled(); },
                            [this](bool v) { FProject.SetCalcHitPointEnabled(v); }, false);
        const double savedTilt = theArray.Tilt();
        const float savedSplay = R->RotationAngle().Z;
        R->SetRotationAngleZ(0.0f);

        // Sweep: per step the first zone in the list that the axis meets.
        for (int k = 170; k >= -180; --k) {
            theArray.SetTilt(k * 0.5);
            for (size_t i = 0; i < Zones.size(); ++i) {
                TPoint3D local, abs;
                if (!CabinetRayIntersectInZone(*R, *Zones[i], local, abs)) {
                    continue;
                }
                if (!found) {
                    found = true;
                    firstHitTilt = theArray.Tilt();
                }
                TZoneArraySplay* entry = nullptr;
                if (++hits[i] == 1) {
                    entries.push_back(std::make_unique<TZoneArraySplay>());
                    entry = entries.back().get();
                    entry->SetCoverBeginPoint(abs);
                    // A zone met at one tilt only covers that point.
                    entry->SetCoverEndPoint(abs);
                    entry->SetZoneID(static_cast<int32_t>(i));
                } else {
                    for (const auto& e : entries) {
                        if (e->ZoneID() == static_cast<int32_t>(i)) {
                            entry = e.get();
                        }
                    }
                    entry->SetCoverEndPoint(abs);
                }
                const double along = std::sqrt(double(local.X) * local.X + double(local.Y) * local.Y +
                                               double(local.Z) * local.Z);
                entry->SetCoefReparto(entry->CoefReparto() +
                                      along * theArray.Position().Distance(scenePosition(*Zones[i])));
                break;
            }
        }
        if (!found) {
            theArray.SetTilt(savedTilt);
            R->SetRotationAngleZ(savedSplay);
        }
    }
    if (!found) {
        MessageBoxService().ShowMessage(
            "AutoSplay: Cannot find any predictable zone in the axis of the array " + label);
        return;
    }

    {
        const auto cursor = TSmartCursor::HourGlass();
        const TWorkersPause pause(FProject);
        FlagScope quiet([this] { return FState.DisableOnChange; },
                        [this](bool v) { FState.DisableOnChange = v; }, true);
        FlagScope events([this] { return FProject.EventsEnabled(); },
                         [this](bool v) { FProject.SetEventsEnabled(v); }, false);
        FlagScope hitPoints([this] { return FProject.CalcHitPointEnabled(); },
                            [this](bool v) { FProject.SetCalcHitPointEnabled(v); }, false);
        theArray.SetTilt(firstHitTilt);

        std::vector<double> weights;
        for (const auto& e : entries) {
            weights.push_back(e->CoefReparto());
        }
        const std::vector<int32_t> shares = ShareCabinets(weights, N);
        for (size_t i = 0; i < entries.size(); ++i) {
            entries[i]->SetCabsPerZone(shares[i]);
            entries[i]->CalcPointsToHit();
        }

        // Aiming, from the top down: each cabinet is aimed after those above it have their splay. Its
        // target is measured in its own frame, which the splays chosen above (and their deviations from
        // what was wanted) have turned already: the deviation is not carried on a second time.
        const auto& cabinets = theArray.CabinetList();
        size_t s = static_cast<size_t>(R->ArrayCabinetPosID() - 1);
        for (const auto& e : entries) {
            for (int32_t j = 0; j < e->CabsPerZone() && s + static_cast<size_t>(j) < cabinets.size(); ++j) {
                TCabinet& c = *cabinets[s + static_cast<size_t>(j)];
                const TPoint3D p = c.AbsoluteToLocal3D(e->PointsToHit()[static_cast<size_t>(j)]);
                const double elevation =
                    WrapDegrees180(std::atan2(double(p.Y), std::hypot(double(p.X), double(p.Z))) * kRadToDeg);
                const double wanted = c.RotationAngle().Z + elevation;
                double angle = 0.0, deviation = 0.0;
                const int32_t index =
                    FProject.GetNearestSplayAngleInCabinet(c, &c == R, wanted, angle, deviation);
                if (index < 0) {
                    continue;
                }
                c.SetRotationAngleZ(static_cast<float>(angle));
                if (OnSplayChosen) {
                    OnSplayChosen(c, index);
                }
            }
            s += static_cast<size_t>(e->CabsPerZone());
            if (s >= cabinets.size()) {
                break;
            }
        }
        theArray.SetTilt(theArray.Tilt() + 1.0);
    }
    // Once, with everything back on: the tilt setter runs with events, the hit points and the maps
    // follow the new aim.
    {
        FlagScope events([this] { return FProject.EventsEnabled(); },
                         [this](bool v) { FProject.SetEventsEnabled(v); }, true);
        theArray.SetTilt(theArray.Tilt() - 1.0);
        FProject.RecalcHitPoints();
        FProject.ClearAllMaps();
    }
    if (OnArrayAimed) {
        OnArrayAimed(theArray);
    }
}

} // namespace vendrel
