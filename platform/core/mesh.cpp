#include "platform/core/mesh.h"

#include "platform/core/context3d.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

void TMeshData::Clear() {
    VertexBuffer.clear();
    IndexBuffer.clear();
}

bool TMeshData::IsValidTriangle(int k) const {
    const size_t base = static_cast<size_t>(k) * 3;
    if (k < 0 || base + 2 >= IndexBuffer.size()) {
        return false;
    }
    for (size_t j = 0; j < 3; ++j) {
        const int32_t i = IndexBuffer[base + j];
        if (i < 0 || i >= VertexCount()) {
            return false;
        }
    }
    return true;
}

void TMeshData::CalcFaceNormals() {
    for (int k = 0; k < TriangleCount(); ++k) {
        if (!IsValidTriangle(k)) {
            continue;
        }
        auto& v0 = VertexBuffer[IndexBuffer[3 * k]];
        auto& v1 = VertexBuffer[IndexBuffer[3 * k + 1]];
        auto& v2 = VertexBuffer[IndexBuffer[3 * k + 2]];
        const TPoint3D n = (v1.Position - v0.Position).CrossProduct(v1.Position - v2.Position).Normalize();
        v0.Normal = n;
        v1.Normal = n;
        v2.Normal = n;
    }
}

TBoundingBox TMeshData::BoundingBox() const {
    if (VertexBuffer.empty()) {
        return {};
    }
    TBoundingBox box{VertexBuffer[0].Position, VertexBuffer[0].Position};
    for (const auto& v : VertexBuffer) {
        box = box.Include(v.Position);
    }
    return box;
}

bool RayCastMeshTriangles(const TMeshData& Mesh, const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Hit,
                          float& Distance) {
    // Moller-Trumbore in double, both faces.
    const double o[3] = {RayPos.X, RayPos.Y, RayPos.Z};
    const double d[3] = {RayDir.X, RayDir.Y, RayDir.Z};
    double best = INFINITY;
    for (int k = 0; k < Mesh.TriangleCount(); ++k) {
        if (!Mesh.IsValidTriangle(k)) {
            continue;
        }
        const TPoint3D& a = Mesh.VertexBuffer[Mesh.IndexBuffer[3 * k]].Position;
        const TPoint3D& b = Mesh.VertexBuffer[Mesh.IndexBuffer[3 * k + 1]].Position;
        const TPoint3D& c = Mesh.VertexBuffer[Mesh.IndexBuffer[3 * k + 2]].Position;
        const double e1[3] = {double(b.X) - a.X, double(b.Y) - a.Y, double(b.Z) - a.Z};
        const double e2[3] = {double(c.X) - a.X, double(c.Y) - a.Y, double(c.Z) - a.Z};
        const double p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2], d[0] * e2[1] - d[1] * e2[0]};
        const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::abs(det) < 1e-15) {
            continue;
        }
        const double s[3] = {o[0] - a.X, o[1] - a.Y, o[2] - a.Z};
        const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) / det;
        if (u < 0 || u > 1) {
            continue;
        }
        const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
        const double v = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) / det;
        if (v < 0 || u + v > 1) {
            continue;
        }
        const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) / det;
        if (t > 0 && t < best) {
            best = t;
        }
    }
    if (!std::isfinite(best)) {
        return false;
    }
    Hit = {static_cast<float>(o[0] + best * d[0]), static_cast<float>(o[1] + best * d[1]),
           static_cast<float>(o[2] + best * d[2])};
    Distance = static_cast<float>(best);
    return true;
}

TCustomMesh::TCustomMesh(TComponent* AOwner) : TControl3D(AOwner) {}

TCustomMesh::~TCustomMesh() {
    if (FMaterialSource != nullptr) {
        FMaterialSource->RemoveClient(this);
    }
}

void TCustomMesh::SetMaterialSource(TMaterialSource* Value) {
    if (Value == FMaterialSource) {
        return;
    }
    if (FMaterialSource != nullptr) {
        FMaterialSource->RemoveClient(this);
    }
    FMaterialSource = Value;
    if (FMaterialSource != nullptr) {
        FMaterialSource->AddClient(this);
    }
    Repaint();
}

void TCustomMesh::MaterialFreed(TMaterialSource* Source) {
    if (Source == FMaterialSource) {
        FMaterialSource = nullptr;
        Repaint();
    }
}

void TCustomMesh::SetWrapMode(TMeshWrapMode Value) {
    if (Value == FWrapMode) {
        return;
    }
    FWrapMode = Value;
    Repaint();
}

TMatrix3D TCustomMesh::MeshMatrix() const {
    if (FWrapMode == TMeshWrapMode::wmOriginal || Data.VertexBuffer.empty()) {
        return {};
    }
    const TBoundingBox box = Data.BoundingBox();
    const float ext[3] = {box.Width(), box.Height(), box.Depth()};
    const float size[3] = {FWidth, FHeight, FDepth};
    float s[3];
    for (int a = 0; a < 3; ++a) {
        s[a] = ext[a] > 1e-6f ? size[a] / ext[a] : 1.0f;
    }
    if (FWrapMode == TMeshWrapMode::wmFit) {
        float m = INFINITY;
        for (int a = 0; a < 3; ++a) {
            if (ext[a] > 1e-6f) {
                m = std::min(m, s[a]);
            }
        }
        if (!std::isfinite(m)) {
            m = 1.0f;
        }
        s[0] = s[1] = s[2] = m;
    }
    return TMatrix3D::CreateTranslation(-box.Center()) * TMatrix3D::CreateScaling({s[0], s[1], s[2]});
}

void TCustomMesh::Render(TContext3D& Context) {
    if (Data.IsEmpty()) {
        return;
    }
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(MeshMatrix() * saved);
    Context.DrawTriangles(Data, TMaterialSource::ValidMaterial(FMaterialSource), AbsoluteOpacity());
    Context.SetMatrix(saved);
}

bool TCustomMesh::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    const TMatrix3D m = MeshMatrix();
    const TMatrix3D inv = m.Inverse();
    TPoint3D hit;
    float distance = 0;
    if (!RayCastMeshTriangles(Data, RayPos * inv, TransformDirection(RayDir, inv), hit, distance)) {
        return false;
    }
    Intersection = LocalToAbsolute3D(hit * m);
    return true;
}

} // namespace vendrel
