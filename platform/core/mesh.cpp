#include "platform/core/mesh.h"

#include "platform/core/context3d.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace vendrel {

uint64_t NewMeshStamp() {
    static std::atomic<uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

TMeshData& TMeshData::operator=(const TMeshData& Other) {
    if (this != &Other) {
        VertexBuffer = Other.VertexBuffer;
        IndexBuffer = Other.IndexBuffer;
    }
    return *this;
}

TMeshData& TMeshData::operator=(TMeshData&& Other) noexcept {
    if (this != &Other) {
        VertexBuffer = std::move(Other.VertexBuffer);
        IndexBuffer = std::move(Other.IndexBuffer);
    }
    return *this;
}

uint64_t TMeshData::Version() const {
    // Stamps only grow, so the larger of the two changes whenever either buffer takes a new one.
    return std::max(VertexBuffer.Version(), IndexBuffer.Version());
}

std::weak_ptr<const void> TMeshData::Lifetime() const {
    if (!FLifetime) {
        FLifetime = std::make_shared<const char>(0);
    }
    return FLifetime;
}

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
        const auto& index = std::as_const(IndexBuffer);
        auto& v0 = VertexBuffer[index[3 * k]];
        auto& v1 = VertexBuffer[index[3 * k + 1]];
        auto& v2 = VertexBuffer[index[3 * k + 2]];
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

bool RayCastMeshTriangles(const TMeshData& Mesh, const TPoint3D& RayPos, const TPoint3D& RayDir,
                          TPoint3D& Hit, float& Distance) {
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
        const double p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2],
                             d[0] * e2[1] - d[1] * e2[0]};
        const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::abs(det) < 1e-15) {
            continue;
        }
        const double s[3] = {o[0] - a.X, o[1] - a.Y, o[2] - a.Z};
        const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) / det;
        if (u < 0 || u > 1) {
            continue;
        }
        const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2],
                             s[0] * e1[1] - s[1] * e1[0]};
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

TMatrix3D WrapMatrix(const TBoundingBox& Data, TMeshWrapMode Mode, float Width, float Height, float Depth) {
    if (Mode == TMeshWrapMode::wmOriginal) {
        return {};
    }
    const float ext[3] = {Data.Width(), Data.Height(), Data.Depth()};
    const float size[3] = {Width, Height, Depth};
    float s[3];
    for (int a = 0; a < 3; ++a) {
        s[a] = ext[a] > 1e-6f ? size[a] / ext[a] : 1.0f;
    }
    if (Mode == TMeshWrapMode::wmFit) {
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
    return TMatrix3D::CreateTranslation(-Data.Center()) * TMatrix3D::CreateScaling({s[0], s[1], s[2]});
}

TMatrix3D TCustomMesh::MeshMatrix() const {
    if (Data.VertexBuffer.empty()) {
        return {};
    }
    return WrapMatrix(Data.BoundingBox(), FWrapMode, FWidth, FHeight, FDepth);
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

namespace vendrel {

TMeshData UnitCubeMesh() {
    TMeshData m;
    const TPoint3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int a = 0; a < 3; ++a) {
        for (float side : {-1.0f, 1.0f}) {
            const TPoint3D n = axes[a] * side;
            // u x v points along n, so the corners run counter-clockwise seen from outside.
            const TPoint3D u = axes[(a + 1) % 3] * side;
            const TPoint3D v = axes[(a + 2) % 3];
            const auto base = static_cast<int32_t>(m.VertexBuffer.size());
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& c : corners) {
                const TPoint3D p = (n + u * c[0] + v * c[1]) * 0.5f;
                m.VertexBuffer.push_back({p, n, {(c[0] + 1) / 2, (1 - c[1]) / 2}});
            }
            m.IndexBuffer.insert(m.IndexBuffer.end(), {base, base + 1, base + 2, base + 2, base + 3, base});
        }
    }
    return m;
}

TCube::TCube(TComponent* AOwner) : TCustomMesh(AOwner) {
    Data = UnitCubeMesh();
    SetWrapMode(TMeshWrapMode::wmStretch);
}

TModel3D::~TModel3D() {
    for (auto& mesh : FMeshes) {
        if (mesh.MaterialSource != nullptr) {
            mesh.MaterialSource->RemoveClient(this);
        }
    }
}

const TModelMesh& TModel3D::Meshes(int i) const {
    return At(FMeshes, i);
}

TMeshData& TModel3D::MeshData(int i) {
    return At(FMeshes, i).Data;
}

void TModel3D::AddMesh(const TMeshData& Data, TMaterialSource* Source) {
    FMeshes.push_back({Data, nullptr});
    SetMeshMaterial(MeshCount() - 1, Source);
    Repaint();
}

void TModel3D::ClearMeshes() {
    for (int i = 0; i < MeshCount(); ++i) {
        SetMeshMaterial(i, nullptr);
    }
    FMeshes.clear();
    Repaint();
}

void TModel3D::release(TMaterialSource* Source) {
    if (Source == nullptr) {
        return;
    }
    for (const auto& mesh : FMeshes) {
        if (mesh.MaterialSource == Source) {
            return; // still used by another mesh
        }
    }
    Source->RemoveClient(this);
}

void TModel3D::SetMeshMaterial(int i, TMaterialSource* Source) {
    TModelMesh& mesh = At(FMeshes, i);
    if (mesh.MaterialSource == Source) {
        return;
    }
    TMaterialSource* old = mesh.MaterialSource;
    mesh.MaterialSource = Source;
    release(old);
    if (Source != nullptr) {
        Source->AddClient(this);
    }
    Repaint();
}

void TModel3D::SetAllMaterials(TMaterialSource* Source) {
    for (int i = 0; i < MeshCount(); ++i) {
        SetMeshMaterial(i, Source);
    }
}

void TModel3D::AssignMeshes(const TModel3D& Source) {
    if (&Source == this) {
        return;
    }
    ClearMeshes();
    for (const auto& mesh : Source.FMeshes) {
        FMeshes.push_back({mesh.Data, nullptr});
    }
    Repaint();
}

void TModel3D::MaterialFreed(TMaterialSource* Source) {
    for (auto& mesh : FMeshes) {
        if (mesh.MaterialSource == Source) {
            mesh.MaterialSource = nullptr;
        }
    }
    Repaint();
}

void TModel3D::SetWrapMode(TMeshWrapMode Value) {
    if (Value == FWrapMode) {
        return;
    }
    FWrapMode = Value;
    Repaint();
}

TMatrix3D TModel3D::ModelMatrix() const {
    bool any = false;
    TBoundingBox box;
    for (const auto& mesh : FMeshes) {
        if (mesh.Data.VertexBuffer.empty()) {
            continue;
        }
        const TBoundingBox b = mesh.Data.BoundingBox();
        box = any ? box.Include(b.Min).Include(b.Max) : b;
        any = true;
    }
    return any ? WrapMatrix(box, FWrapMode, FWidth, FHeight, FDepth) : TMatrix3D{};
}

void TModel3D::Render(TContext3D& Context) {
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(ModelMatrix() * saved);
    const float opacity = AbsoluteOpacity();
    for (const auto& mesh : FMeshes) {
        Context.DrawTriangles(mesh.Data, TMaterialSource::ValidMaterial(mesh.MaterialSource), opacity);
    }
    Context.SetMatrix(saved);
}

bool TModel3D::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    const TMatrix3D m = ModelMatrix();
    const TMatrix3D inv = m.Inverse();
    const TPoint3D pos = RayPos * inv;
    const TPoint3D dir = TransformDirection(RayDir, inv);
    bool found = false;
    float best = INFINITY;
    TPoint3D bestHit;
    for (const auto& mesh : FMeshes) {
        TPoint3D hit;
        float distance = 0;
        if (RayCastMeshTriangles(mesh.Data, pos, dir, hit, distance) && distance < best) {
            best = distance;
            bestHit = hit;
            found = true;
        }
    }
    if (found) {
        Intersection = LocalToAbsolute3D(bestHit * m);
    }
    return found;
}

} // namespace vendrel
