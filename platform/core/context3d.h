#pragma once
// The list of what one frame draws.
//
// Walking the scene (TViewport3D::BuildFrame) fills a TContext3D with drawing requests in scene
// order; the view then draws the list: opaque requests first, translucent ones after them, farthest
// first. Every request carries the matrix current when it was made (local to scene coordinates), so
// render code draws in its node's local frame. Opacity is 0..1 and multiplies the colour's alpha.
//
// A triangle request points at the caller's mesh: the mesh must stay unchanged until the list is
// drawn, which the view does at once.

#include "platform/core/bitmap.h"
#include "platform/core/geometry3d.h"
#include "platform/core/material.h"

#include <string>
#include <vector>

namespace vendrel {

class TMeshData;
class TControl3D;

enum class TDrawKind : uint8_t {
    dkTriangles, // a mesh with a material
    dkLine,      // a line from P1 to P2 in Color
    dkWireCube,  // the edges of a box of centre P1 and size P2
    dkSolidCube, // a filled box of centre P1 and size P2, unlit
    dkText,      // Text in Color on a plane of P2.X by P2.Y centred at P1, facing local -Z
};

struct TDrawCommand {
    TDrawKind Kind = TDrawKind::dkLine;
    TMatrix3D Matrix;
    const TMeshData* Mesh = nullptr; // dkTriangles only; not owned
    TMaterial Material;              // dkTriangles only
    TPoint3D P1;
    TPoint3D P2;
    TAlphaColor Color = TAlphaColors::White;
    float Opacity = 1.0f;
    bool ZWrite = true;
    std::string Text;                   // dkText only
    float FontSize = 0;                 // dkText only
    const TControl3D* Source = nullptr; // the node being drawn when the request was made
};

class TContext3D {
public:
    const TMatrix3D& CurrentMatrix() const { return FMatrix; }
    void SetMatrix(const TMatrix3D& M) { FMatrix = M; }
    // Whether the requests write the depth buffer (set per node from its ZWrite flag).
    void SetZWrite(bool Value) { FZWrite = Value; }
    void SetSource(const TControl3D* Node) { FSource = Node; }

    void DrawTriangles(const TMeshData& Mesh, const TMaterial& Material, float Opacity);
    void DrawLine(const TPoint3D& P1, const TPoint3D& P2, float Opacity, TAlphaColor Color);
    void DrawCube(const TPoint3D& Center, const TPoint3D& Size, float Opacity, TAlphaColor Color);
    void FillCube(const TPoint3D& Center, const TPoint3D& Size, float Opacity, TAlphaColor Color);
    void DrawText(const std::string& Text, const TPoint3D& Center, float Width, float Height, float FontSize,
                  float Opacity, TAlphaColor Color);

    const std::vector<TDrawCommand>& Commands() const { return FCommands; }
    void Clear();

private:
    TDrawCommand& add(TDrawKind kind, float opacity);

    TMatrix3D FMatrix;
    bool FZWrite = true;
    const TControl3D* FSource = nullptr;
    std::vector<TDrawCommand> FCommands;
};

} // namespace vendrel
