#include "editor/zone_editing.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "editor/adding.h"
#include "editor/kind_registry.h"
#include "editor/kinds/zone_kind.h"
#include "editor/object_panels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vendrel {

TCornerRadii CutCornerRadius(double Value, double Side, double Partner) {
    TCornerRadii r;
    r.Radius = std::min(Value, Side);
    r.Partner = Partner;
    if (Partner > Side - r.Radius) {
        r.Partner = Side - r.Radius;
        r.PartnerCut = true;
    }
    return r;
}

std::string MaxZoneSizeMessage() {
    return "The maximum zone size (250meters) has been exceeded. Split up the drawing into smaller parts";
}

TPictureZoneSize PictureZoneSize(double MetersPerPixel, int32_t Width, int32_t Height) {
    TPictureZoneSize size;
    if (!std::isfinite(MetersPerPixel) || MetersPerPixel <= 0.0 || Width <= 0 || Height <= 0) {
        return size;
    }
    size.Length = static_cast<float>(MetersPerPixel * Width);
    size.Width = static_cast<float>(MetersPerPixel * Height);
    if (!(size.Length > 0.0f) || !(size.Width > 0.0f)) {
        return size;
    }
    size.Check = size.Length > kMaxZoneSize || size.Width > kMaxZoneSize ? TPictureZoneSize::TCheck::TooLarge
                                                                         : TPictureZoneSize::TCheck::Ok;
    return size;
}

TZoneEditing::TZoneEditing(TAcousticProject& Project, TKindRegistry& Kinds)
    : project_(Project), kinds_(Kinds) {}

namespace {

// The hit points are held back while a zone changes and recomputed once when it is done, also when
// the change ends in an exception.
class HitPointsHeld {
public:
    explicit HitPointsHeld(TAcousticProject& project) : p_(project) { p_.SetCalcHitPointEnabled(false); }
    ~HitPointsHeld() {
        p_.SetCalcHitPointEnabled(true);
        p_.RecalcHitPoints();
    }
    HitPointsHeld(const HitPointsHeld&) = delete;
    HitPointsHeld& operator=(const HitPointsHeld&) = delete;

private:
    TAcousticProject& p_;
};

} // namespace

bool TZoneEditing::ChangePolygonPoints(TMappingZone& Zone, int32_t PointNumber, double X, double Y,
                                       double Z) {
    if (Zone.SurfaceType() != TSurfaceType::qzaPolygon) {
        return false;
    }
    std::vector<TPoint3D> points = Zone.PolygonPoints();
    const auto n = static_cast<int32_t>(points.size());
    if (PointNumber == 0 || PointNumber > n) {
        return false;
    }
    if (PointNumber > 0) {
        points[static_cast<size_t>(PointNumber - 1)] = {static_cast<float>(X), static_cast<float>(Y),
                                                        static_cast<float>(Z)};
    }
    const float h = Zone.MappingSides() == TMappingSides::qzaNoSPLMap ? 0.0f : Zone.ListenLevel();
    // The plane's Z is negated on the way in; GetPolygonPos negates it back.
    for (TPoint3D& p : points) {
        p.Z = -p.Z;
    }
    const TPolygonPos pos = GetPolygonPos(points, Zone.RotationAngle(), false);
    {
        const HitPointsHeld held(project_);
        Zone.SetPolygonPoints(points);
        Zone.SetXYZBegin({pos.Begin.X, pos.Begin.Y + h, pos.Begin.Z});
        Zone.SetWidth(pos.Rect.Width());
        Zone.SetDepth(std::fabs(pos.Rect.Height()));
        if (const TZoneKind* kind = kinds_.Get<TZoneKind>()) {
            kind->PlaceZoneObjects(Zone);
        }
    }
    if (auto* panel = PanelOf<IObjectPanel>(Zone)) {
        panel->UpdateValues();
    }
    return true;
}

} // namespace vendrel
