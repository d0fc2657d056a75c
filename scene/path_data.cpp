#include "scene/path_data.h"

#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr double kSamePoint = 0.001;

double Dist(double ax, double ay, double bx, double by) {
    return std::hypot(bx - ax, by - ay);
}

void Add(TPolygon& out, const TPointF& p) {
    if (!out.empty()) {
        const TPointF& last = out.back();
        if (!(last == kClosePolygonMarker) && Dist(last.X, last.Y, p.X, p.Y) < kSamePoint) {
            return;
        }
    }
    out.push_back(p);
}

TPointF Bezier(const TPointF& p0, const TPointF& c1, const TPointF& c2, const TPointF& p3, double t) {
    const double u = 1.0 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {static_cast<float>(a * p0.X + b * c1.X + c * c2.X + d * p3.X),
            static_cast<float>(a * p0.Y + b * c1.Y + c * c2.Y + d * p3.Y)};
}

} // namespace

TPolygon TPathData::FlattenToPolygon(float Flatness) const {
    TPolygon out;
    const double flat = Flatness > 0.0f ? Flatness : 0.05;
    TPointF start{}, current{};
    bool haveStart = false;
    for (const TElement& e : elements_) {
        switch (e.Kind) {
        case TKind::MoveTo:
            start = current = e.Point;
            haveStart = true;
            Add(out, e.Point);
            break;
        case TKind::LineTo:
            if (!haveStart) { // a figure that starts with a line starts at its end point
                start = e.Point;
                haveStart = true;
            }
            current = e.Point;
            Add(out, e.Point);
            break;
        case TKind::CurveTo: {
            if (!haveStart) {
                start = current;
                haveStart = true;
                Add(out, current);
            }
            // Length from a fine chord sum; the segments follow from it.
            constexpr int kProbe = 32;
            double len = 0.0;
            TPointF prev = current;
            for (int i = 1; i <= kProbe; ++i) {
                const TPointF q = Bezier(current, e.Control1, e.Control2, e.Point, double(i) / kProbe);
                len += Dist(prev.X, prev.Y, q.X, q.Y);
                prev = q;
            }
            const int segs =
                len < 2.0 * flat ? 1 : std::max(1, RoundHalfEven<int>(std::min(len / flat, 1e6)));
            for (int i = 1; i < segs; ++i) {
                Add(out, Bezier(current, e.Control1, e.Control2, e.Point, double(i) / segs));
            }
            Add(out, e.Point);
            current = e.Point;
            break;
        }
        case TKind::Close:
            if (haveStart) {
                // The figure ends exactly on its start point, also when it came back within 0.001.
                if (!out.empty() && !(out.back() == kClosePolygonMarker) &&
                    Dist(out.back().X, out.back().Y, start.X, start.Y) < kSamePoint) {
                    out.back() = start;
                } else {
                    out.push_back(start);
                }
                out.push_back(kClosePolygonMarker);
                current = start;
                haveStart = false;
            }
            break;
        }
    }
    return out;
}

} // namespace vendrel
