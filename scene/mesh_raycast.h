#pragma once
// Ray tests against one mesh, used for picking and aiming at zone solids. A mesh is first tested by
// its bounding box, then triangle by triangle in index order: the first triangle hit wins, not the
// nearest (callers that want the nearest test several meshes and compare).

#include "platform/core/geometry3d.h"
#include "platform/core/mesh.h"

namespace vendrel {

// Ray in the mesh's frame; Intersection is left untouched without a hit.
bool RayCastMeshData(const TMeshData& Mesh, const TPoint3D& RayPos, const TPoint3D& RayDir,
                     TPoint3D& Intersection);

// Hit is set to the crossing with the triangle's plane whenever there is one ahead of RayPos, also
// when it then lies outside the triangle; the result says whether it lies inside or on the border.
bool RayTriangleIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& A,
                          const TPoint3D& B, const TPoint3D& C, TPoint3D& Hit);

// Whether P1 and P2 lie on the same side of the line AB (or on it).
bool SameSide3D(const TPoint3D& P1, const TPoint3D& P2, const TPoint3D& A, const TPoint3D& B);

} // namespace vendrel
