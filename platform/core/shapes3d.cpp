#include "platform/core/shapes3d.h"

#include "platform/core/context3d.h"
#include "platform/core/raycast.h"

#include <cmath>

namespace vendrel {

void TGrid3D::SetFrequency(float Value) {
    if (Value == FFrequency) {
        return;
    }
    FFrequency = Value;
    Repaint();
}

void TGrid3D::SetMarks(int Value) {
    if (Value == FMarks) {
        return;
    }
    FMarks = Value;
    Repaint();
}

void TGrid3D::SetLineColor(TAlphaColor Value) {
    if (Value == FLineColor) {
        return;
    }
    FLineColor = Value;
    Repaint();
}

void TGrid3D::Render(TContext3D& Context) {
    // A grid of more lines than this per direction would draw as a grey plane anyway.
    constexpr int kMaxLinesPerSide = 5000;
    if (!(FFrequency > 0)) {
        return;
    }
    const float opacity = AbsoluteOpacity();
    const TAlphaColor minor = (FLineColor & 0x00FFFFFF) | (TAlphaColor(AlphaOf(FLineColor) / 2) << 24);
    const float hw = FWidth / 2;
    const float hh = FHeight / 2;
    const auto colorOf = [&](int k) { return FMarks > 0 && k % FMarks == 0 ? FLineColor : minor; };
    const int nx = static_cast<int>(std::min<double>(std::floor(hw / FFrequency), kMaxLinesPerSide));
    for (int k = -nx; k <= nx; ++k) {
        const float x = k * FFrequency;
        Context.DrawLine({x, -hh, 0}, {x, hh, 0}, opacity, colorOf(std::abs(k)));
    }
    const int ny = static_cast<int>(std::min<double>(std::floor(hh / FFrequency), kMaxLinesPerSide));
    for (int k = -ny; k <= ny; ++k) {
        const float y = k * FFrequency;
        Context.DrawLine({-hw, y, 0}, {hw, y, 0}, opacity, colorOf(std::abs(k)));
    }
}

bool TGrid3D::DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) {
    TPoint3D hit;
    if (!RayCastPlaneIntersect(RayPos, RayDir, {0, 0, 0}, {0, 0, 1}, hit)) {
        return false;
    }
    if (std::abs(hit.X) > FWidth / 2 || std::abs(hit.Y) > FHeight / 2) {
        return false;
    }
    Intersection = LocalToAbsolute3D(hit);
    return true;
}

void TText3D::SetText(const std::string& Value) {
    if (Value == FText) {
        return;
    }
    FText = Value;
    Repaint();
}

void TText3D::SetFontSize(float Value) {
    if (Value == FFontSize) {
        return;
    }
    FFontSize = Value;
    Repaint();
}

void TText3D::SetColor(TAlphaColor Value) {
    if (Value == FColor) {
        return;
    }
    FColor = Value;
    Repaint();
}

void TText3D::Render(TContext3D& Context) {
    if (FText.empty()) {
        return;
    }
    Context.DrawText(FText, {0, 0, 0}, FWidth, FHeight, FFontSize, AbsoluteOpacity(), FColor);
}

} // namespace vendrel
