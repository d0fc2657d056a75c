#include "platform/core/context3d.h"

#include "platform/core/mesh.h"

namespace vendrel {

TDrawCommand& TContext3D::add(TDrawKind kind, float opacity) {
    TDrawCommand& c = FCommands.emplace_back();
    c.Kind = kind;
    c.Matrix = FMatrix;
    c.Opacity = opacity;
    c.ZWrite = FZWrite;
    c.Source = FSource;
    return c;
}

void TContext3D::DrawTriangles(const TMeshData& Mesh, const TMaterial& Material, float Opacity) {
    if (Mesh.IsEmpty()) {
        return;
    }
    TDrawCommand& c = add(TDrawKind::dkTriangles, Opacity);
    c.Mesh = &Mesh;
    c.Material = Material;
}

void TContext3D::DrawLine(const TPoint3D& P1, const TPoint3D& P2, float Opacity, TAlphaColor Color) {
    TDrawCommand& c = add(TDrawKind::dkLine, Opacity);
    c.P1 = P1;
    c.P2 = P2;
    c.Color = Color;
}

void TContext3D::DrawCube(const TPoint3D& Center, const TPoint3D& Size, float Opacity, TAlphaColor Color) {
    TDrawCommand& c = add(TDrawKind::dkWireCube, Opacity);
    c.P1 = Center;
    c.P2 = Size;
    c.Color = Color;
}

void TContext3D::FillCube(const TPoint3D& Center, const TPoint3D& Size, float Opacity, TAlphaColor Color) {
    TDrawCommand& c = add(TDrawKind::dkSolidCube, Opacity);
    c.P1 = Center;
    c.P2 = Size;
    c.Color = Color;
}

void TContext3D::DrawText(const std::string& Text, const TPoint3D& Center, float Width, float Height,
                          float FontSize, float Opacity, TAlphaColor Color) {
    TDrawCommand& c = add(TDrawKind::dkText, Opacity);
    c.Text = Text;
    c.P1 = Center;
    c.P2 = {Width, Height, 0};
    c.FontSize = FontSize;
    c.Color = Color;
}

void TContext3D::Clear() {
    FCommands.clear();
    FMatrix = {};
    FZWrite = true;
    FSource = nullptr;
}

} // namespace vendrel
