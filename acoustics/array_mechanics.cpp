#include "acoustics/array_mechanics.h"

#include <algorithm>
#include <cmath>

#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// A point in the horizontal plane (scene X and Z).
struct Flat {
    double x = 0.0;
    double z = 0.0;
};

Flat flat(const TPoint3D& p) {
    return {p.X, p.Z};
}

double cross(const Flat& o, const Flat& a, const Flat& b) {
    return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
}

// The convex hull of the points, counter-clockwise, without collinear points.
std::vector<Flat> convexHull(std::vector<Flat> pts) {
    std::sort(pts.begin(), pts.end(),
              [](const Flat& a, const Flat& b) { return a.x < b.x || (a.x == b.x && a.z < b.z); });
    if (pts.size() < 3) {
        return pts;
    }
    std::vector<Flat> hull(2 * pts.size());
    size_t k = 0;
    for (const Flat& p : pts) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0) {
            --k;
        }
        hull[k++] = p;
    }
    for (size_t i = pts.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) {
            --k;
        }
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);
    return hull;
}

// A stack stays up only while its centre of gravity lies strictly inside the footprint of its base
// (the horizontal outline of the base as it stands, turned with every rotation); on the edge it is
// at the point of tipping.
bool standsOnItsBase(const std::vector<TPoint3D>& corners, const TPoint3D& g) {
    std::vector<Flat> pts;
    pts.reserve(corners.size());
    for (const TPoint3D& c : corners) {
        pts.push_back(flat(c));
    }
    const std::vector<Flat> hull = convexHull(pts);
    if (hull.size() < 3) {
        return false; // a base without area holds nothing up
    }
    const Flat p = flat(g);
    for (size_t i = 0; i < hull.size(); ++i) {
        if (cross(hull[i], hull[(i + 1) % hull.size()], p) <= 0) {
            return false;
        }
    }
    return true;
}

double horizontalDistance(const TPoint3D& a, const TPoint3D& b) {
    return std::hypot(double(a.X) - b.X, double(a.Z) - b.Z);
}

// The hang from the frame's pick points. The array is a rigid body whose weight acts at its centre
// of gravity g. Hung from the two end pick points p1 and pN, vertical equilibrium and the balance of
// moments about g give, with t the position of g's horizontal projection along p1 -> pN (0 at p1,
// 1 at pN): load at p1 = W (1 - t), load at pN = W t. They add up to W for any layout of the points.
// With g beyond either end one motor would have to push, and with g beside the line the two forces
// cannot balance the moment about it: the hang is out of range (PickPointRange), and so is a hang from
// one pick point there.
void flyingHang(const TMechanicsInput& In, TMechanicalData& Out) {
    const std::vector<TPoint3D>& p = In.PickPoints;
    const TPoint3D& g = Out.GravityCenter;
    const double W = Out.TotalWeight;

    // Nearest pick point, measured horizontally; the first one wins a tie.
    int32_t nearest = 1;
    double best = horizontalDistance(p[0], g);
    for (size_t i = 1; i < p.size(); ++i) {
        const double d = horizontalDistance(p[i], g);
        if (d < best) {
            best = d;
            nearest = static_cast<int32_t>(i) + 1;
        }
    }

    const TPickPointRange range = PickPointRange(p, g);
    if (!range.InRange) {
        Out.GravityCenterOutOfRange = true;
        Out.FlyingPoint = -1;
        return;
    }
    const double t = range.Along;
    Out.FlyingPoint = nearest;
    Out.FrontPickupLoad = W * (1.0 - t);
    Out.RearPickupLoad = W * t;

    if (!Out.FliesWithAdapter) {
        return;
    }
    // The adapter spans two pick points: an odd flying point sits between neighbours, an even one
    // between the points either side of it.
    const int32_t first = Trunc<int32_t>(nearest * 0.5);
    const int32_t second = first + ((nearest % 2 == 1) ? 1 : 2);
    const int32_t count = static_cast<int32_t>(p.size());
    if (first < 1 || second > count) {
        // The adapter would need a pick point the frame does not have: it cannot hang there.
        Out.GravityCenterOutOfRange = true;
        Out.FlyingPoint = -1;
        Out.FrontPickupLoad = 0.0;
        Out.RearPickupLoad = 0.0;
        return;
    }
    Out.AdapterPosition = "hole on right";
    Out.AdapterRigPoint1 = first;
    Out.AdapterRigPoint2 = second;
}

} // namespace

bool FrameFliesWithAdapter(const std::string& FrameModelName, bool TypedWithAdapter) {
    return TypedWithAdapter || FrameModelName == "PT-QD-MWX20" || FrameModelName == "PT-QD-MWX10";
}

TPickPointRange PickPointRange(const std::vector<TPoint3D>& PickPoints, const TPoint3D& G) {
    TPickPointRange r;
    if (PickPoints.empty()) {
        return r;
    }
    const TPoint3D& a = PickPoints.front();
    const TPoint3D& b = PickPoints.back();
    const double ux = double(b.X) - a.X;
    const double uz = double(b.Z) - a.Z;
    const double L = std::hypot(ux, uz);
    const double gx = double(G.X) - a.X;
    const double gz = double(G.Z) - a.Z;
    if (L <= kPickPointTolerance) {
        // Every point in one place: G hangs below it or beside it.
        r.Sideways = std::hypot(gx, gz);
        r.InRange = r.Sideways <= kSidewaysTolerance;
        return r;
    }
    const double along = (gx * ux + gz * uz) / L;
    r.Sideways = std::abs(gx * uz - gz * ux) / L;
    r.Along = std::clamp(along / L, 0.0, 1.0);
    r.InRange =
        along >= -kPickPointTolerance && along <= L + kPickPointTolerance && r.Sideways <= kSidewaysTolerance;
    return r;
}

TAdapterTexts AdapterTexts(const TMechanicalData& Data) {
    TAdapterTexts t;
    if (!Data.RigFrameExists || Data.Stacked || !Data.FliesWithAdapter || Data.FlyingPoint < 1 ||
        Data.GravityCenterOutOfRange) {
        return t;
    }
    if (Data.NMotors == 1) {
        if (Data.AdapterRigPoint1 < 1 || Data.AdapterRigPoint2 < 1) {
            return t;
        }
        t.OneAdapter = true;
        t.Position = Data.AdapterPosition;
        t.RigPoints = std::to_string(Data.AdapterRigPoint2) + " and " + std::to_string(Data.AdapterRigPoint1);
        t.PointLabel = std::to_string(Data.AdapterRigPoint2) + " - " + std::to_string(Data.AdapterRigPoint1);
        return t;
    }
    // The front adapter takes points 1 to 3 and the rear one N - 2 to N: apart on four points or more.
    if (Data.NPickPoints < 4) {
        return t;
    }
    t.TwoAdapters = true;
    t.FrontRigPoints = "3 - 1";
    t.RearRigPoints = std::to_string(Data.NPickPoints) + " - " + std::to_string(Data.NPickPoints - 2);
    return t;
}

void ComputeMechanics(const TMechanicsInput& In, TMechanicalData& Out) {
    Out.CableWeightPerMeter = In.CableWeightPerMeter;
    Out.IncludeCableInCalculation = In.IncludeCableInCalculation;
    Out.NMotors = In.NMotors;

    // The extent first: the cable's length comes from it.
    Out.ElevationOrigin = -In.OriginY;
    Out.ClusterHeight = In.Extent.Height();
    Out.ClusterWidth = In.Extent.Width();
    Out.ClusterDepth = In.Extent.Depth();
    Out.MostTopPoint = -In.Extent.Min.Y;
    Out.MostBottomPoint = -In.Extent.Max.Y;

    Out.RigFrameExists = In.RigFrameExists;
    Out.RigFrame = In.RigFrame;
    Out.Stacked = In.Stacked;
    Out.NPickPoints = In.RigFrameExists ? static_cast<int32_t>(In.PickPoints.size()) : 0;
    Out.FliesWithAdapter = In.RigFrameExists && !In.Stacked &&
                           FrameFliesWithAdapter(In.FrameModelName, In.FrameTypedWithAdapter);
    Out.MaxSupportWeightOnRigging = In.RigFrameExists ? In.MaxSupportWeight : 0.0;
    Out.FrameLoad = 0.0;
    // The cable hangs from the frame's last pick point down to the floor: as long as the top of the
    // array is high, never negative.
    Out.CableWeight = In.CableWeightPerMeter * std::max(0.0, Out.MostTopPoint);
    Out.GravityCenterOutOfRange = false;
    Out.WeightExceded = false;
    Out.FlyingPoint = 0;
    Out.FrontPickupLoad = 0.0;
    Out.RearPickupLoad = 0.0;
    Out.AdapterPosition = "No Adapter";
    Out.AdapterRigPoint1 = -1;
    Out.AdapterRigPoint2 = -1;

    double W = 0.0, mx = 0.0, my = 0.0, mz = 0.0;
    for (const TMechanicsMass& m : In.Masses) {
        W += m.Weight;
        mx += m.Point.X * m.Weight;
        my += m.Point.Y * m.Weight;
        mz += m.Point.Z * m.Weight;
    }
    if (In.IncludeCableInCalculation && In.RigFrameExists && !In.PickPoints.empty()) {
        const double k = Out.CableWeight;
        const TPoint3D& c = In.PickPoints.back();
        W += k;
        mx += c.X * k;
        my += c.Y * k;
        mz += c.Z * k;
    }
    Out.TotalWeight = W;
    if (W <= 0.0) {
        // Nothing weighs: no centre of gravity, nothing to hang.
        Out.GravityCenter = TPoint3D();
        return;
    }
    Out.GravityCenter = {static_cast<float>(mx / W), static_cast<float>(my / W), static_cast<float>(mz / W)};

    if (In.RigFrameExists) {
        // Everything below the frame (and the cable on it) hangs from it, or stands on it.
        Out.FrameLoad = W - In.FrameWeight;
        Out.WeightExceded = RiggingLoadExceeded(Out.FrameLoad, In.MaxSupportWeight);
    }
    if (In.Stacked) {
        Out.GravityCenterOutOfRange =
            !In.BaseCorners.empty() && !standsOnItsBase(In.BaseCorners, Out.GravityCenter);
        return;
    }
    if (In.RigFrameExists && !In.PickPoints.empty()) {
        flyingHang(In, Out);
    }
}

} // namespace vendrel
