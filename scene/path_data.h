#pragma once
// Outlines described as paths (move, line, cubic curve, close) and flattened into polygons, for the
// rounded rectangles and trapezia of the zone solids.

#include "platform/core/planar.h"

#include <vector>

namespace vendrel {

// The point that follows a closed figure in a flattened path.
inline constexpr TPointF kClosePolygonMarker{65535.0f, 65535.0f};

class TPathData {
public:
    enum class TKind { MoveTo, LineTo, CurveTo, Close };
    struct TElement {
        TKind Kind;
        TPointF Point;              // end point (unused for Close)
        TPointF Control1, Control2; // CurveTo only
    };

    void MoveTo(const TPointF& p) { elements_.push_back({TKind::MoveTo, p, {}, {}}); }
    void LineTo(const TPointF& p) { elements_.push_back({TKind::LineTo, p, {}, {}}); }
    void CurveTo(const TPointF& c1, const TPointF& c2, const TPointF& end) {
        elements_.push_back({TKind::CurveTo, end, c1, c2});
    }
    void ClosePath() { elements_.push_back({TKind::Close, {}, {}, {}}); }
    void Clear() { elements_.clear(); }
    const std::vector<TElement>& Elements() const { return elements_; }

    // Straight segments in place of the curves: a curve gets about its length / Flatness segments,
    // one when shorter than 2 * Flatness. A point within 0.001 of the one before it is left out.
    // Closing a figure repeats its start point and then adds kClosePolygonMarker.
    TPolygon FlattenToPolygon(float Flatness) const;

private:
    std::vector<TElement> elements_;
};

} // namespace vendrel
