#include "platform/core/raycast.h"

#include <algorithm>
#include <limits>

namespace vendrel {

bool RayCastPlaneIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& PlanePoint,
                           const TPoint3D& PlaneNormal, TPoint3D& Hit) {
    const double dn = double(RayDir.X) * PlaneNormal.X + double(RayDir.Y) * PlaneNormal.Y +
                      double(RayDir.Z) * PlaneNormal.Z;
    const double scale = double(RayDir.Length()) * PlaneNormal.Length();
    if (scale == 0 || std::abs(dn) < 1e-6 * scale) {
        return false;
    }
    const TPoint3D w = PlanePoint - RayPos;
    const double t =
        (double(w.X) * PlaneNormal.X + double(w.Y) * PlaneNormal.Y + double(w.Z) * PlaneNormal.Z) / dn;
    if (!(t > 0)) {
        return false;
    }
    Hit = {static_cast<float>(RayPos.X + t * RayDir.X), static_cast<float>(RayPos.Y + t * RayDir.Y),
           static_cast<float>(RayPos.Z + t * RayDir.Z)};
    return true;
}

bool RayCastCuboidIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& Center,
                            float Width, float Height, float Depth, TPoint3D& Near) {
    const double o[3] = {RayPos.X, RayPos.Y, RayPos.Z};
    const double d[3] = {RayDir.X, RayDir.Y, RayDir.Z};
    const double lo[3] = {Center.X - Width / 2.0, Center.Y - Height / 2.0, Center.Z - Depth / 2.0};
    const double hi[3] = {Center.X + Width / 2.0, Center.Y + Height / 2.0, Center.Z + Depth / 2.0};
    double tNear = -std::numeric_limits<double>::infinity();
    double tFar = std::numeric_limits<double>::infinity();
    for (int a = 0; a < 3; ++a) {
        if (d[a] == 0) {
            if (o[a] < lo[a] || o[a] > hi[a]) {
                return false;
            }
            continue;
        }
        double t1 = (lo[a] - o[a]) / d[a];
        double t2 = (hi[a] - o[a]) / d[a];
        if (t1 > t2) {
            std::swap(t1, t2);
        }
        tNear = std::max(tNear, t1);
        tFar = std::min(tFar, t2);
        if (tNear > tFar) {
            return false;
        }
    }
    if (tFar < 0) {
        return false;
    }
    const double t = std::max(tNear, 0.0);
    Near = {static_cast<float>(o[0] + t * d[0]), static_cast<float>(o[1] + t * d[1]),
            static_cast<float>(o[2] + t * d[2])};
    return true;
}

} // namespace vendrel
