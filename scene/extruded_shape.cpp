#include "scene/extruded_shape.h"

#include "platform/core/context3d.h"
#include "scene/color_helpers.h"
#include "scene/mesh_raycast.h"

#include <cmath>

namespace vendrel {

TQzExtrudedShape3D::TQzExtrudedShape3D(TComponent* AOwner) : TCustomMesh(AOwner) {}

TQzExtrudedShape3D::~TQzExtrudedShape3D() {
    FFloor.Set(nullptr);
    FShaft.Set(nullptr);
    FBack.Set(nullptr);
}

void TQzExtrudedShape3D::MaterialLink::Set(TMaterialSource* Value) {
    if (Value == Source) {
        return;
    }
    if (Source != nullptr) {
        Source->RemoveClient(this);
    }
    Source = Value;
    if (Source != nullptr) {
        Source->AddClient(this);
    }
}

void TQzExtrudedShape3D::MaterialLink::MaterialFreed(TMaterialSource* Freed) {
    if (Freed == Source) {
        Source = nullptr;
        Owner->Repaint();
    }
}

void TQzExtrudedShape3D::SetWidth(float Value) {
    if (Value == Width()) {
        return;
    }
    TCustomMesh::SetWidth(Value);
    RebuildMesh();
}

void TQzExtrudedShape3D::SetHeight(float Value) {
    if (Value == Height()) {
        return;
    }
    TCustomMesh::SetHeight(Value);
    RebuildMesh();
}

void TQzExtrudedShape3D::SetDepth(float Value) {
    if (Value == Depth()) {
        return;
    }
    TCustomMesh::SetDepth(Value);
    RebuildMesh();
}

void TQzExtrudedShape3D::SetDimensions(const TPoint3D& Value) {
    if (Width() == Value.X && Height() == Value.Z && Depth() == Value.Y) {
        return;
    }
    FWidth = Value.X;
    FHeight = Value.Z;
    FDepth = Value.Y;
    RebuildMesh();
}

void TQzExtrudedShape3D::SetListeningOffset(float Value) {
    FListeningOffset = Value;
}

void TQzExtrudedShape3D::SetIsSelected(bool Value) {
    if (Value == FIsSelected) {
        return;
    }
    FIsSelected = Value;
    Repaint();
}

void TQzExtrudedShape3D::SetFlatness(float Value) {
    if (Value == FFlatness) {
        return;
    }
    FFlatness = Value < 0.05f ? 0.05f : Value;
    Repaint();
}

void TQzExtrudedShape3D::SetSides(const TExtrudedShapeSides& Value) {
    if (Value == FSides) {
        return;
    }
    FSides = Value;
    Repaint();
}

bool TQzExtrudedShape3D::MapIsSumed() const {
    return MapState && MapState() == kMapStateIsSumed;
}
bool TQzExtrudedShape3D::MapIsShown() const {
    return MapSides && MapSides() != kMappingSidesNoSPLMap;
}
bool TQzExtrudedShape3D::GrowsUpwards() const {
    return IsThicknessParriba && IsThicknessParriba();
}

TQzExtrudedShape3D::Heights TQzExtrudedShape3D::ZLevels() const {
    const double D = Depth();
    const double L = FListeningOffset;
    const double h = static_cast<float>(D / 2);
    if (GrowsUpwards()) {
        return {static_cast<float>(-h - D + L / 2), static_cast<float>(-h - D + 1.5 * L),
                static_cast<float>(h - D + L / 2), static_cast<float>(L - D)};
    }
    return {static_cast<float>(-h - L / 2), static_cast<float>(-h + L / 2), static_cast<float>(h - L / 2),
            0.0f};
}

TTexCoord TQzExtrudedShape3D::TexCoordOf(const TPointF& p, const TRectF& b) const {
    return {static_cast<float>((double(p.X) - b.Left) / b.Width()),
            static_cast<float>((double(p.Y) - b.Top) / b.Height())};
}

void TQzExtrudedShape3D::RebuildMesh() {
    ++FRebuildCount;
    FTriangulate.Process(FPolyg); // a failed cut leaves the triangles found so far
    const int N = FPolyg.empty() ? 0 : static_cast<int>(FPolyg.size()) - 1;
    // Fewer than three points cut nothing; the triangulator's earlier triangles belong to another outline.
    const int T = N < 3 ? 0 : FTriangulate.NTriangles();
    const std::vector<int>& tri = FTriangulate.TrianglesIndex;
    const TRectF bounds = PolygonBounds(FPolyg);
    const Heights z = ZLevels();
    const double L = FListeningOffset;

    // SPL surface: two coincident layers facing opposite ways.
    Data.VertexBuffer.assign(static_cast<size_t>(2 * N), TMeshVertex{});
    for (int i = 0; i < N; ++i) {
        const TPointF& p = FPolyg[i];
        const TTexCoord tc = TexCoordOf(p, bounds);
        Data.VertexBuffer[i] = {{p.X, p.Y, z.spl}, {0, 0, -1}, tc};
        Data.VertexBuffer[N + i] = {{p.X, p.Y, z.spl}, {0, 0, 1}, tc};
    }
    Data.IndexBuffer.clear();
    for (int k = 0; k < T; ++k) {
        Data.IndexBuffer.insert(Data.IndexBuffer.end(), {tri[3 * k], tri[3 * k + 1], tri[3 * k + 2]});
    }
    for (int k = 0; k < T; ++k) {
        Data.IndexBuffer.insert(Data.IndexBuffer.end(),
                                {tri[3 * k + 2] + N, tri[3 * k + 1] + N, tri[3 * k] + N});
    }

    auto flatFace = [&](TMeshData& mesh, float zFace, float nz, bool reversed) {
        mesh.VertexBuffer.resize(static_cast<size_t>(N));
        for (int i = 0; i < N; ++i) {
            const TPointF& p = FPolyg[i];
            mesh.VertexBuffer[i] = {{p.X, p.Y, zFace}, {0, 0, nz}, TexCoordOf(p, bounds)};
        }
        mesh.IndexBuffer.clear();
        for (int k = 0; k < T; ++k) {
            if (reversed) {
                mesh.IndexBuffer.insert(mesh.IndexBuffer.end(), {tri[3 * k + 2], tri[3 * k + 1], tri[3 * k]});
            } else {
                mesh.IndexBuffer.insert(mesh.IndexBuffer.end(), {tri[3 * k], tri[3 * k + 1], tri[3 * k + 2]});
            }
        }
    };
    if (FSides.Front) {
        flatFace(FFrontMesh, z.front, -1.0f, false);
    }
    if (FSides.Shaft && FShaft.Source != nullptr) {
        BuildShaftMesh(FShaftMesh, {0.0f, 0.0f, z.centre},
                       {Width(), Height(), static_cast<float>(double(Depth()) - L)}, TRectF{}, FPolyg);
    }
    if (FSides.Back) {
        flatFace(FBackMesh, z.back, 1.0f, true);
    }
    Repaint();
}

void TQzExtrudedShape3D::BuildShaftMesh(TMeshData& M, const TPoint3D& C, const TPoint3D& S, const TRectF& R,
                                        const TPolygon& Q) {
    const int Len = static_cast<int>(Q.size());
    if (Len == 0 || std::abs(S.X) < 1e-4f || std::abs(S.Y) < 1e-4f) {
        return;
    }
    float minX = 65535, minY = 65535, maxX = -65535, maxY = -65535;
    for (const TPointF& q : Q) {
        minX = std::min(minX, q.X);
        maxX = std::max(maxX, q.X);
        minY = std::min(minY, q.Y);
        maxY = std::max(maxY, q.Y);
    }
    if (!R.IsEmpty()) {
        minX = std::min(minX, R.Left);
        maxX = std::max(maxX, R.Right);
        minY = std::min(minY, R.Top);
        maxY = std::max(maxY, R.Bottom);
    }
    std::vector<double> run(static_cast<size_t>(Len), 0.0);
    double perimeter = 0.0;
    for (int i = 1; i < Len; ++i) {
        perimeter += std::hypot(double(Q[i].X) - Q[i - 1].X, double(Q[i].Y) - Q[i - 1].Y);
        run[i] = perimeter;
    }
    if (std::abs(maxX - minX) < 0.001f || std::abs(maxY - minY) < 0.001f || !(perimeter > 0.0)) {
        return;
    }

    M.VertexBuffer.assign(static_cast<size_t>(2 * Len), TMeshVertex{});
    const double spanX = std::abs(double(maxX) - minX), spanY = std::abs(double(maxY) - minY);
    for (int i = 0; i < Len; ++i) {
        const double u = (double(Q[i].X) - minX) / spanX;
        const double w = (double(Q[i].Y) - minY) / spanY;
        const float x = static_cast<float>(C.X - S.X / 2.0 + u * S.X);
        const float y = static_cast<float>(C.Y - S.Y / 2.0 + w * S.Y);
        const float v = static_cast<float>(run[i] / perimeter);
        M.VertexBuffer[i].Position = {x, y, static_cast<float>(C.Z + S.Z / 2.0)};
        M.VertexBuffer[i].TexCoord0 = {0.0f, v};
        M.VertexBuffer[Len + i].Position = {x, y, static_cast<float>(C.Z - S.Z / 2.0)};
        M.VertexBuffer[Len + i].TexCoord0 = {1.0f, v};
    }
    M.IndexBuffer.clear();
    for (int i = 0; i + 1 < Len; ++i) {
        M.IndexBuffer.insert(M.IndexBuffer.end(), {i, Len + i + 1, Len + i, Len + i + 1, i, i + 1});
    }

    // Normals smoothed along the outline: each wall vertex takes the mean of the quads on either side.
    const int quads = Len - 1;
    if (quads > 0) {
        std::vector<TPoint3D> face(static_cast<size_t>(quads));
        for (int k = 0; k < quads; ++k) {
            const TPoint3D& a = M.VertexBuffer[k].Position;
            const TPoint3D& b = M.VertexBuffer[Len + k].Position;
            const TPoint3D& c = M.VertexBuffer[Len + k + 1].Position;
            face[k] = (c - a).CrossProduct(c - b).Normalize();
        }
        for (int k = 0; k < quads; ++k) {
            const TPoint3D& prev = face[k == 0 ? quads - 1 : k - 1];
            const TPoint3D n = (prev.Normalize() + face[k].Normalize()).Normalize();
            M.VertexBuffer[k].Normal = n;
            M.VertexBuffer[Len + k].Normal = n;
        }
    }
    M.VertexBuffer[Len - 1].Normal = M.VertexBuffer[0].Normal;
    M.VertexBuffer[2 * Len - 1].Normal = M.VertexBuffer[Len].Normal;
}

void TQzExtrudedShape3D::Render(TContext3D& Context) {
    const bool sumed = MapIsSumed();
    const bool shown = MapIsShown();
    const float opacity = AbsoluteOpacity();
    const double L = FListeningOffset;

    // The front face gives way to a level map shown right on the floor.
    if (FSides.Front && !(sumed && L <= 0.05 && shown)) {
        Context.DrawTriangles(FFrontMesh, TMaterialSource::ValidMaterial(FFloor.Source), opacity);
    }
    if (FSides.Shaft) {
        Context.DrawTriangles(FShaftMesh, TMaterialSource::ValidMaterial(FShaft.Source), opacity);
    }
    if (FSides.Back) {
        const bool thinWithMap = Depth() < 0.11f && FListeningOffset == 0.0f && sumed;
        Context.DrawTriangles(FBackMesh,
                              TMaterialSource::ValidMaterial(thinWithMap ? MaterialSource() : FBack.Source),
                              opacity);
    }

    if (FPolyg.size() > 3) {
        const double D = Depth();
        const double hd = (D - L) / 2;
        const bool up = GrowsUpwards();
        const TAlphaColor color = FIsSelected ? FColorSel : TAlphaColors::White;
        const float zSpl = static_cast<float>(up ? -hd - D : -hd - L);
        const float zFront = static_cast<float>(up ? -hd + L - D : -hd);
        const float zBack = static_cast<float>(up ? hd + L - D : hd);
        const size_t last = FPolyg.size() - 1;
        for (size_t i = 0; i < last; ++i) {
            const TPointF& p = FPolyg[i];
            const TPointF& q = FPolyg[i + 1];
            Context.DrawLine({p.X, p.Y, zSpl}, {q.X, q.Y, zSpl}, FIsSelected ? 1.0f : 0.3f, color);
        }
        if (ShowEdges || FIsSelected) {
            for (size_t i = 0; i < last; ++i) {
                const TPointF& p = FPolyg[i];
                const TPointF& q = FPolyg[i + 1];
                Context.DrawLine({p.X, p.Y, zFront}, {q.X, q.Y, zFront}, 1.0f, color);
                Context.DrawLine({p.X, p.Y, zFront}, {p.X, p.Y, zBack}, 1.0f, color);
                Context.DrawLine({p.X, p.Y, zBack}, {q.X, q.Y, zBack}, 1.0f, color);
            }
        }
    }

    if (shown && sumed) {
        TCustomMesh::Render(Context);
    }
}

bool TQzExtrudedShape3D::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir,
                                            TPoint3D& Intersection) {
    double best = 9999999999.0;
    bool hit = false;
    TPoint3D kept;
    const TPoint3D origin = LocalToAbsolute3D(RayPos);
    auto tryMesh = [&](const TMeshData& mesh) {
        TPoint3D local;
        if (!RayCastMeshData(mesh, RayPos, RayDir, local)) {
            return;
        }
        const TPoint3D p = LocalToAbsolute3D(local);
        hit = true;
        const double d = p.Distance(origin);
        if (d < best) {
            best = d;
            kept = p;
        }
    };
    if (UseSPLMeshforRaycast && UseSPLMeshforRaycast()) {
        tryMesh(Data);
    }
    if (FSides.Back) {
        tryMesh(FBackMesh);
    }
    if (FSides.Front) {
        tryMesh(FFrontMesh);
    }
    if (FSides.Shaft) {
        tryMesh(FShaftMesh);
    }
    if (hit) {
        Intersection = kept;
    }
    return hit;
}

} // namespace vendrel
