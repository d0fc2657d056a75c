#pragma once
// Points, rectangles and outlines in a plane, in single precision: the outlines of zones live in
// their solid's local XY plane.

#include <vector>

namespace vendrel {

struct TPointF {
    float X = 0.0f;
    float Y = 0.0f;

    friend bool operator==(const TPointF&, const TPointF&) = default;
};

// Left/Top are the minimum corner, Right/Bottom the maximum (the scene's Y axis points down).
struct TRectF {
    float Left = 0.0f;
    float Top = 0.0f;
    float Right = 0.0f;
    float Bottom = 0.0f;

    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    bool IsEmpty() const { return !(Right > Left) || !(Bottom > Top); }

    friend bool operator==(const TRectF&, const TRectF&) = default;
};

// An outline; closed outlines repeat their first point at the end.
using TPolygon = std::vector<TPointF>;

} // namespace vendrel
