#include "scene/mesh_raycast.h"

#include "platform/core/raycast.h"

namespace vendrel {

bool SameSide3D(const TPoint3D& P1, const TPoint3D& P2, const TPoint3D& A, const TPoint3D& B) {
    const TPoint3D ab = B - A;
    const TPoint3D c1 = ab.CrossProduct(P1 - A);
    const TPoint3D c2 = ab.CrossProduct(P2 - A);
    return c1.DotProduct(c2) >= 0.0f;
}

bool RayTriangleIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, const TPoint3D& A,
                          const TPoint3D& B, const TPoint3D& C, TPoint3D& Hit) {
    const TPoint3D n = (A - B).CrossProduct(C - A);
    TPoint3D p;
    if (!RayCastPlaneIntersect(RayPos, RayDir, A, n, p)) {
        return false;
    }
    Hit = p;
    return SameSide3D(p, A, B, C) && SameSide3D(p, B, C, A) && SameSide3D(p, C, A, B);
}

bool RayCastMeshData(const TMeshData& Mesh, const TPoint3D& RayPos, const TPoint3D& RayDir,
                     TPoint3D& Intersection) {
    const TBoundingBox box = Mesh.BoundingBox();
    TPoint3D boxHit;
    if (!RayCastCuboidIntersect(RayPos, RayDir, box.Center(), box.Width(), box.Height(), box.Depth(),
                                boxHit)) {
        return false;
    }
    if (Mesh.VertexBuffer.empty() || Mesh.IndexBuffer.empty()) {
        return false;
    }
    const int vertices = Mesh.VertexCount();
    for (int k = 0; k < Mesh.IndexCount() / 3; ++k) {
        const int32_t ia = Mesh.IndexBuffer[3 * k];
        const int32_t ib = Mesh.IndexBuffer[3 * k + 1];
        const int32_t ic = Mesh.IndexBuffer[3 * k + 2];
        // A triangle that names no vertex is void.
        if (ia < 0 || ib < 0 || ic < 0 || ia >= vertices || ib >= vertices || ic >= vertices) {
            continue;
        }
        TPoint3D hit;
        if (RayTriangleIntersect(RayPos, RayDir, Mesh.VertexBuffer[ia].Position,
                                 Mesh.VertexBuffer[ib].Position, Mesh.VertexBuffer[ic].Position, hit)) {
            Intersection = hit;
            return true;
        }
    }
    return false;
}

} // namespace vendrel
