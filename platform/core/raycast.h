#pragma once
// Rays against planes and boxes. A ray is an origin and a direction (not necessarily of unit
// length); points along it are RayPos + t x RayDir with t > 0 ahead of the origin.

#include "platform/core/geometry3d.h"

namespace vendrel {

// The point where the ray meets the plane through PlanePoint with normal PlaneNormal. No hit when
// the ray runs parallel to the plane (the cosine between direction and normal below 1e-6 in size) or
// when the crossing does not lie strictly ahead of the origin. Hit is left untouched without a hit.
bool RayCastPlaneIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& PlanePoint,
                           const TPoint3D& PlaneNormal, TPoint3D& Hit);

// The ray against the axis-aligned box of the given centre and extents (slab test, faces included).
// Near is where the ray enters the box; an origin inside the box gives the origin itself. Returns false
// when the ray misses the box or the box lies wholly behind the origin; Near is then left untouched.
bool RayCastCuboidIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& Center,
                            float Width, float Height, float Depth, TPoint3D& Near);

} // namespace vendrel
