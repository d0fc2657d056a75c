#include "scene/triangulate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace vendrel {
namespace {

TPolygon Closed(std::vector<TPointF> pts) {
    pts.push_back(pts.front());
    return pts;
}

struct IndexCase {
    std::string name;
    TPolygon outline;
    bool ok;
    std::vector<int> indices;
};

TEST(Triangulate, CutsInTheFixedCandidateOrder) {
    const std::vector<IndexCase> cases = {
        {"square", Closed({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), true, {0, 1, 2, 2, 3, 0}},
        {"square, other winding", Closed({{0, 1}, {1, 1}, {1, 0}, {0, 0}}), true, {3, 2, 1, 1, 0, 3}},
        {"triangle", Closed({{0, 0}, {2, 0}, {0, 1}}), true, {0, 1, 2}},
        {"point in the middle of a side",
         Closed({{0, 0}, {0.5f, 0}, {1, 0}, {1, 1}, {0, 1}}),
         true,
         {1, 2, 3, 3, 4, 0, 0, 1, 3}},
        {"self-intersecting", Closed({{0, 0}, {1, 1}, {1, 0}, {0, 1}}), false, {3, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTriangulate t;
        EXPECT_EQ(t.Process(c.outline), c.ok);
        EXPECT_EQ(t.TrianglesIndex, c.indices);
        ASSERT_EQ(t.OutTriangles.size(), c.indices.size());
        EXPECT_EQ(t.NTriangles(), static_cast<int>(c.indices.size() / 3));
        for (size_t i = 0; i < c.indices.size(); ++i) {
            EXPECT_EQ(t.OutTriangles[i], c.outline[c.indices[i]]);
        }
    }
}

TEST(Triangulate, TooFewPointsKeepsThePreviousResult) {
    TTriangulate t;
    ASSERT_TRUE(t.Process(Closed({{0, 0}, {1, 0}, {1, 1}, {0, 1}})));
    const auto before = t.TrianglesIndex;
    EXPECT_FALSE(t.Process(Closed({{0, 0}, {1, 0}})));
    EXPECT_FALSE(t.Process({}));
    EXPECT_EQ(t.TrianglesIndex, before);
    EXPECT_EQ(t.NTriangles(), 2);
}

TEST(Triangulate, SignedAreaAndInsideTest) {
    EXPECT_FLOAT_EQ(TTriangulate::Area(Closed({{0, 0}, {2, 0}, {2, 3}, {0, 3}})), 6.0f);
    EXPECT_FLOAT_EQ(TTriangulate::Area(Closed({{0, 3}, {2, 3}, {2, 0}, {0, 0}})), -6.0f);
    // Corners and edges count as inside; a point just outside does not.
    EXPECT_TRUE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, 1, 1));
    EXPECT_TRUE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, 2, 0));
    EXPECT_TRUE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, 4, 0));
    EXPECT_TRUE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, 2, 2));
    EXPECT_FALSE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, 2.01f, 2.01f));
    EXPECT_FALSE(TTriangulate::InsideTriangle(0, 0, 4, 0, 0, 4, -0.01f, 1));
}

// Independent checks on the result: the triangles tile the outline exactly. Their areas add up to the
// outline's (shoelace formula in double), each has the positive winding, and none leaves the outline:
// its centroid lies inside (crossing count) and none of its edges properly crosses an outline edge.
double Cross(const TPointF& a, const TPointF& b, const TPointF& c) {
    return (double(b.X) - a.X) * (double(c.Y) - a.Y) - (double(b.Y) - a.Y) * (double(c.X) - a.X);
}

bool InsidePolygon(const TPolygon& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 2; i + 1 < poly.size(); j = i++) {
        const double xi = poly[i].X, yi = poly[i].Y, xj = poly[j].X, yj = poly[j].Y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            in = !in;
        }
    }
    return in;
}

bool ProperlyCross(const TPointF& a, const TPointF& b, const TPointF& c, const TPointF& d) {
    const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    const double eps = 1e-9;
    return ((d1 > eps && d2 < -eps) || (d1 < -eps && d2 > eps)) &&
           ((d3 > eps && d4 < -eps) || (d3 < -eps && d4 > eps));
}

TPolygon Star(int points, float r1, float r2) {
    std::vector<TPointF> p;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = std::numbers::pi * i / points;
        const float r = (i % 2) ? r2 : r1;
        p.push_back({static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a))});
    }
    return Closed(p);
}

TPolygon Comb(int teeth) {
    // Teeth of width 1 pointing up from a strip 1 high, traced counter-clockwise (Y up).
    std::vector<TPointF> p{{0, 0}, {float(2 * teeth), 0}};
    for (int i = teeth - 1; i >= 0; --i) {
        p.push_back({float(2 * i + 2), 3});
        p.push_back({float(2 * i + 1), 3});
        p.push_back({float(2 * i + 1), 1});
        p.push_back({float(2 * i), 1});
    }
    return Closed(p);
}

TEST(Triangulate, TilesConcaveOutlinesExactly) {
    std::vector<std::pair<std::string, TPolygon>> shapes = {
        {"L-shape", Closed({{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}})},
        {"L-shape clockwise", Closed({{0, 3}, {1, 3}, {1, 1}, {3, 1}, {3, 0}, {0, 0}})},
        {"star", Star(7, 5.0f, 1.5f)},
        {"comb", Comb(5)},
        {"notched", Closed({{-2, -1}, {2, -1}, {2, 1}, {0.5f, 1}, {0, -0.5f}, {-0.5f, 1}, {-2, 1}})},
    };
    for (const auto& [name, poly] : shapes) {
        SCOPED_TRACE(name);
        TTriangulate t;
        ASSERT_TRUE(t.Process(poly));
        const int n = static_cast<int>(poly.size()) - 1;
        ASSERT_EQ(t.NTriangles(), n - 2);

        double polyArea = 0;
        for (int i = 0; i < n; ++i) {
            polyArea += double(poly[i].X) * poly[i + 1].Y - double(poly[i + 1].X) * poly[i].Y;
        }
        polyArea = std::abs(polyArea) / 2;

        double sum = 0;
        for (int k = 0; k < t.NTriangles(); ++k) {
            const TPointF& a = t.OutTriangles[3 * k];
            const TPointF& b = t.OutTriangles[3 * k + 1];
            const TPointF& c = t.OutTriangles[3 * k + 2];
            const double twice = Cross(a, b, c);
            EXPECT_GT(twice, 0.0) << "triangle " << k;
            sum += twice / 2;
            EXPECT_TRUE(InsidePolygon(poly, (double(a.X) + b.X + c.X) / 3, (double(a.Y) + b.Y + c.Y) / 3))
                << "triangle " << k;
            const TPointF tri[3] = {a, b, c};
            for (int e = 0; e < 3; ++e) {
                for (int i = 0; i < n; ++i) {
                    EXPECT_FALSE(ProperlyCross(tri[e], tri[(e + 1) % 3], poly[i], poly[i + 1]))
                        << "triangle " << k << " edge " << e << " outline edge " << i;
                }
            }
        }
        EXPECT_NEAR(sum, polyArea, 1e-5 * polyArea);
    }
}

} // namespace
} // namespace vendrel
