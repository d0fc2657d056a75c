#pragma once
// Grids and 3D text.

#include "platform/core/bitmap.h"
#include "platform/core/node3d.h"

#include <string>

namespace vendrel {

// Lines every Frequency units across the node's local XY plane, Width by Height about its origin,
// through the origin; every Marks-th line is drawn at full colour, the others at half its alpha.
// Hit testing meets the plane z = 0 inside the grid's extent.
class TGrid3D : public TControl3D {
public:
    explicit TGrid3D(TComponent* AOwner = nullptr) : TControl3D(AOwner) {}

    float Frequency() const { return FFrequency; }
    void SetFrequency(float Value);
    int Marks() const { return FMarks; }
    void SetMarks(int Value);
    TAlphaColor LineColor() const { return FLineColor; }
    void SetLineColor(TAlphaColor Value);

    void Render(TContext3D& Context) override;

protected:
    bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection) override;

private:
    float FFrequency = 1.0f;
    int FMarks = 4;
    TAlphaColor FLineColor = 0x50505050;
};

// A line of text drawn on the node's local XY plane, Width by Height about its origin.
class TText3D : public TControl3D {
public:
    explicit TText3D(TComponent* AOwner = nullptr) : TControl3D(AOwner) {}

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    std::string FontFamily = "Liberation Sans";
    float FontSize() const { return FFontSize; }
    void SetFontSize(float Value);
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value);

    void Render(TContext3D& Context) override;

private:
    std::string FText;
    float FFontSize = 12.0f;
    TAlphaColor FColor = TAlphaColors::Black;
};

} // namespace vendrel
