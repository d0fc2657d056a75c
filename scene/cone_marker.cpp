#include "scene/cone_marker.h"

#include "platform/core/context3d.h"
#include "platform/core/numeric.h"

#include <cmath>
#include <numbers>

namespace vendrel {

TConeInv::TConeInv(TComponent* AOwner) : TCustomMesh(AOwner) {
    RebuildConeMesh();
}

void TConeInv::SetSubdivisionsAxes(int Value) {
    if (Value == FSubdivisionsAxes) {
        return;
    }
    FSubdivisionsAxes = Value < 3 ? 3 : Value;
    RebuildConeMesh();
}

void TConeInv::SetSubdivisionsCap(int Value) {
    if (Value == FSubdivisionsCap) {
        return;
    }
    FSubdivisionsCap = Value < 1 ? 1 : Value;
    RebuildConeMesh();
}

void TConeInv::SetSubdivisionsHeight(int Value) {
    if (Value == FSubdivisionsHeight) {
        return;
    }
    FSubdivisionsHeight = Value < 1 ? 1 : Value;
    RebuildConeMesh();
}

void TConeInv::SetJoinPeakNormals(bool Value) {
    if (Value == FJoinPeakNormals) {
        return;
    }
    FJoinPeakNormals = Value;
    RebuildConeMesh();
}

void TConeInv::RebuildConeMesh() {
    const int A = FSubdivisionsAxes, C = FSubdivisionsCap, H = FSubdivisionsHeight;
    const int a = A + 1; // each ring repeats its first vertex as the texture seam
    const float delta = 2.0f * std::numbers::pi_v<float> / static_cast<float>(A);

    const int nVertices = CheckedAdd(CheckedAdd(CheckedMul(a, C), CheckedMul(a, H + 1)), 1);
    const int nIndices = 6 * A * (C - 1) + 3 * A + 6 * A * (H - 1) + 3 * A;
    FData.VertexBuffer.assign(static_cast<size_t>(nVertices), TMeshVertex{});
    FData.IndexBuffer.clear();
    FData.IndexBuffer.reserve(static_cast<size_t>(nIndices));
    auto& V = FData.VertexBuffer;
    auto tri = [this](int i0, int i1, int i2) {
        FData.IndexBuffer.push_back(i0);
        FData.IndexBuffer.push_back(i1);
        FData.IndexBuffer.push_back(i2);
    };

    const int P = nVertices - 1;
    V[P].Position = {0.0f, 0.5f, 0.0f};
    V[P].TexCoord0 = {0.5f, 0.5f};

    // Cap rings, each from angle 0.
    for (int k = 0; k < C; ++k) {
        float theta = 0.0f;
        const float r = 0.5f * static_cast<float>(k + 1) / static_cast<float>(C);
        for (int j = 0; j < A; ++j) {
            const float x = r * std::cos(theta), z = r * std::sin(theta);
            TMeshVertex& v = V[a * k + j];
            v.Position = {x, -0.5f, z};
            v.TexCoord0 = {x + 0.5f, z + 0.5f};
            if (j == 0) {
                V[a * k + A].Position = v.Position;
                V[a * k + A].TexCoord0 = v.TexCoord0;
            }
            if (k == 0) {
                tri(j, j + 1, P);
            } else {
                tri(a * k + j, a * (k - 1) + j + 1, a * (k - 1) + j);
                tri(a * k + j, a * k + j + 1, a * (k - 1) + j + 1);
            }
            theta += delta;
        }
    }

    // Side rings from the rim towards the tip; the angle keeps growing across the rings.
    const int base = a * C;
    float theta = 0.0f;
    for (int h = 0; h < H; ++h) {
        const float t = 1.0f - static_cast<float>(h) / static_cast<float>(H);
        const float y = -0.5f + static_cast<float>(h) / static_cast<float>(H);
        for (int j = 0; j < A; ++j) {
            TMeshVertex& v = V[base + a * h + j];
            v.Position = {0.5f * t * std::cos(theta), y, 0.5f * t * std::sin(theta)};
            v.TexCoord0 = {static_cast<float>(j) / static_cast<float>(A), t};
            if (h == 0) {
                V[base + a * H + j].Position = {0.0f, 0.5f, 0.0f};
                V[base + a * H + j].TexCoord0 = {static_cast<float>(j) / static_cast<float>(A), 0.0f};
            }
            if (j == 0) {
                V[base + a * h + A].Position = v.Position;
                V[base + a * h + A].TexCoord0 = {1.0f, t};
                if (h == 0) {
                    V[base + a * H + A].Position = {0.0f, 0.5f, 0.0f};
                    V[base + a * H + A].TexCoord0 = {1.0f, 0.0f};
                }
            }
            if (h == H - 1) {
                tri(base + a * h + j, base + a * H + j, base + a * h + j + 1);
            } else {
                tri(base + a * h + j, base + a * (h + 1) + j, base + a * (h + 1) + j + 1);
                tri(base + a * h + j, base + a * (h + 1) + j + 1, base + a * h + j + 1);
            }
            theta += delta;
        }
    }

    FData.CalcFaceNormals();
    for (int h = 0; h < H; ++h) {
        TMeshVertex& first = V[base + a * h];
        TMeshVertex& seam = V[base + a * h + A];
        const TPoint3D n = ((first.Normal + seam.Normal) / 2.0f).Normalize();
        first.Normal = n;
        seam.Normal = n;
    }
    if (FJoinPeakNormals) {
        for (int j = 0; j < A; ++j) {
            V[base + a * H + j].Normal = {0.0f, -1.0f, 0.0f};
        }
    }
    Data = FData;
    ++FBuildCount;
    Repaint();
}

TMatrix3D TConeInv::SizeMatrix() const {
    return TMatrix3D::CreateScaling({Width(), Height(), Depth()});
}

void TConeInv::Render(TContext3D& Context) {
    if (Data.IsEmpty()) {
        return;
    }
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(SizeMatrix() * saved);
    Context.DrawTriangles(Data, TMaterialSource::ValidMaterial(MaterialSource()), AbsoluteOpacity());
    Context.SetMatrix(saved);
}

bool TConeInv::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    if (Width() == 0.0f || Height() == 0.0f || Depth() == 0.0f) {
        return false;
    }
    const TPoint3D inv{1.0f / Width(), 1.0f / Height(), 1.0f / Depth()};
    TPoint3D hit;
    float distance = 0;
    if (!RayCastMeshTriangles(Data, RayPos.Scale(inv), RayDir.Scale(inv), hit, distance)) {
        return false;
    }
    Intersection = LocalToAbsolute3D(hit * SizeMatrix());
    return true;
}

} // namespace vendrel
