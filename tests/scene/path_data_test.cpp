#include "scene/path_data.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vendrel {
namespace {

TEST(PathFlattening, LinesCloseOnTheStartAndEndWithTheMarker) {
    TPathData p;
    p.MoveTo({-0.5f, -0.5f});
    p.LineTo({0.5f, -0.5f});
    p.LineTo({0.5f, -0.5f + 0.0005f}); // within 0.001 of the point before: left out
    p.LineTo({0.5f, 0.5f});
    p.LineTo({-0.5f, 0.5f});
    p.LineTo({-0.5f, -0.5f + 0.0004f}); // comes back near the start: closed exactly on it
    p.ClosePath();
    const TPolygon expected{{-0.5f, -0.5f}, {0.5f, -0.5f},  {0.5f, 0.5f},
                            {-0.5f, 0.5f},  {-0.5f, -0.5f}, kClosePolygonMarker};
    EXPECT_EQ(p.FlattenToPolygon(1.0f), expected);
}

TEST(PathFlattening, CurvesGetAboutLengthOverToleranceSegments) {
    // A quarter of a circle of radius 10 as a cubic (control points at the usual 0.5523 fraction):
    // length about 15.7.
    const float k = 0.5523f * 10;
    const struct {
        float flatness;
        size_t minSegs, maxSegs;
    } cases[] = {{1.0f, 14, 17}, {0.1f, 150, 165}, {8.0f, 1, 3}, {10.0f, 1, 1}};
    for (const auto& c : cases) {
        TPathData p;
        p.MoveTo({10, 0});
        p.CurveTo({10, k}, {k, 10}, {0, 10});
        const TPolygon out = p.FlattenToPolygon(c.flatness);
        ASSERT_GE(out.size(), 2u);
        const size_t segs = out.size() - 1;
        EXPECT_GE(segs, c.minSegs) << c.flatness;
        EXPECT_LE(segs, c.maxSegs) << c.flatness;
        EXPECT_EQ(out.front(), (TPointF{10, 0}));
        EXPECT_EQ(out.back(), (TPointF{0, 10}));
        for (const TPointF& q : out) {
            EXPECT_NEAR(std::hypot(q.X, q.Y), 10.0, 0.03) << "points lie on the curve";
        }
    }
}

} // namespace
} // namespace vendrel
