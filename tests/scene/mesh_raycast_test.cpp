#include "scene/mesh_raycast.h"

#include "scene/cone_marker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <random>

namespace vendrel {
namespace {

// Independent oracle: Moller-Trumbore in double for one triangle, with the barycentric margin of the
// crossing so that rays grazing an edge can be left out of the comparison.
struct OracleHit {
    double t, margin;
    TPoint3D point;
};

std::optional<OracleHit> MollerTrumbore(const TPoint3D& o, const TPoint3D& d, const TPoint3D& a,
                                        const TPoint3D& b, const TPoint3D& c) {
    const double e1[3] = {double(b.X) - a.X, double(b.Y) - a.Y, double(b.Z) - a.Z};
    const double e2[3] = {double(c.X) - a.X, double(c.Y) - a.Y, double(c.Z) - a.Z};
    const double p[3] = {d.Y * e2[2] - d.Z * e2[1], d.Z * e2[0] - d.X * e2[2], d.X * e2[1] - d.Y * e2[0]};
    const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (std::abs(det) < 1e-12) {
        return std::nullopt;
    }
    const double s[3] = {double(o.X) - a.X, double(o.Y) - a.Y, double(o.Z) - a.Z};
    const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) / det;
    const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2],
                         s[0] * e1[1] - s[1] * e1[0]};
    const double v = (d.X * q[0] + d.Y * q[1] + d.Z * q[2]) / det;
    const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) / det;
    if (u < 0 || v < 0 || u + v > 1 || t <= 0) {
        return OracleHit{t, -1, {}};
    }
    return OracleHit{
        t, std::min({u, v, 1 - u - v}), {float(o.X + t * d.X), float(o.Y + t * d.Y), float(o.Z + t * d.Z)}};
}

TMeshData Mesh(const std::vector<TPoint3D>& pts, const std::vector<int32_t>& idx) {
    TMeshData m;
    for (const auto& p : pts) {
        m.VertexBuffer.push_back({p, {}, {}});
    }
    m.IndexBuffer = idx;
    return m;
}

TEST(MeshRayCast, AgreesWithMollerTrumboreOnTheFirstTriangleInIndexOrder) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);
    int hits = 0, misses = 0;
    for (int round = 0; round < 40; ++round) {
        // A few random triangles, some overlapping along the rays.
        std::vector<TPoint3D> pts;
        std::vector<int32_t> idx;
        for (int k = 0; k < 6; ++k) {
            for (int j = 0; j < 3; ++j) {
                idx.push_back(static_cast<int32_t>(pts.size()));
                pts.push_back({u(rng), u(rng), u(rng)});
            }
        }
        const TMeshData mesh = Mesh(pts, idx);
        for (int r = 0; r < 50; ++r) {
            const TPoint3D o{u(rng) * 3, u(rng) * 3, u(rng) * 3};
            const TPoint3D target{u(rng) * 0.6f, u(rng) * 0.6f, u(rng) * 0.6f};
            const TPoint3D d = target - o;

            std::optional<TPoint3D> expected;
            bool ambiguous = false;
            for (int k = 0; k < 6 && !expected; ++k) {
                const auto h = MollerTrumbore(o, d, pts[3 * k], pts[3 * k + 1], pts[3 * k + 2]);
                if (!h) {
                    continue;
                }
                if (std::abs(h->margin) < 1e-4 || std::abs(h->t) < 1e-4) {
                    ambiguous = true; // grazes an edge or starts on the plane: rounding decides
                    break;
                }
                if (h->margin > 0) {
                    expected = h->point;
                }
            }
            if (ambiguous) {
                continue;
            }
            TPoint3D got{99, 99, 99};
            const bool hit = RayCastMeshData(mesh, o, d, got);
            ASSERT_EQ(hit, expected.has_value()) << "round " << round << " ray " << r;
            if (hit) {
                ++hits;
                EXPECT_NEAR(got.X, expected->X, 1e-4);
                EXPECT_NEAR(got.Y, expected->Y, 1e-4);
                EXPECT_NEAR(got.Z, expected->Z, 1e-4);
            } else {
                ++misses;
                EXPECT_EQ(got, (TPoint3D{99, 99, 99}));
            }
        }
    }
    EXPECT_GT(hits, 200);
    EXPECT_GT(misses, 200);
}

TEST(MeshRayCast, EarlierTriangleWinsEvenWhenFarther) {
    // Two parallel squares' worth of triangles at z = 5 (first) and z = 1 (second); the ray comes from
    // the origin along +Z.
    const TMeshData mesh =
        Mesh({{-1, -1, 5}, {1, -1, 5}, {0, 1, 5}, {-1, -1, 1}, {1, -1, 1}, {0, 1, 1}}, {0, 1, 2, 3, 4, 5});
    TPoint3D hit;
    ASSERT_TRUE(RayCastMeshData(mesh, {0, 0, 0}, {0, 0, 1}, hit));
    EXPECT_EQ(hit, (TPoint3D{0, 0, 5}));
}

TEST(MeshRayCast, EdgesCornersParallelBehindAndVoidTriangles) {
    const TMeshData tri = Mesh({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {0, 1, 2});
    struct Case {
        const char* name;
        TPoint3D pos, dir;
        bool hit;
    };
    const Case cases[] = {
        {"through the middle", {0.5f, 0.5f, 3}, {0, 0, -1}, true},
        {"through an edge", {1, 0, 3}, {0, 0, -1}, true},
        {"through the hypotenuse", {1, 1, 3}, {0, 0, -1}, true},
        {"through a corner", {2, 0, 3}, {0, 0, -1}, true},
        {"beside it, inside the box", {1.5f, 1.5f, 3}, {0, 0, -1}, false},
        {"triangle behind the origin", {0.5f, 0.5f, 3}, {0, 0, 1}, false},
        {"parallel to the plane", {-1, 0.5f, 0}, {1, 0, 0}, false},
        {"box missed", {5, 5, 3}, {0, 0, -1}, false},
    };
    for (const Case& c : cases) {
        TPoint3D hit{7, 7, 7};
        EXPECT_EQ(RayCastMeshData(tri, c.pos, c.dir, hit), c.hit) << c.name;
        if (!c.hit) {
            EXPECT_EQ(hit, (TPoint3D{7, 7, 7})) << c.name;
        }
    }

    // A triangle with an index beyond the vertices is skipped, the next one is still found.
    const TMeshData partly = Mesh({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {0, 1, 7, 0, 1, 2, 2});
    TPoint3D hit;
    EXPECT_TRUE(RayCastMeshData(partly, {0.5f, 0.5f, 1}, {0, 0, -1}, hit));
    EXPECT_FALSE(RayCastMeshData(TMeshData{}, {0, 0, 1}, {0, 0, -1}, hit));
}

TEST(MeshRayCast, TriangleTestReportsThePlaneCrossingEvenOutside) {
    TPoint3D hit;
    EXPECT_FALSE(RayTriangleIntersect({3, 3, 1}, {0, 0, -1}, {0, 0, 0}, {2, 0, 0}, {0, 2, 0}, hit));
    EXPECT_EQ(hit, (TPoint3D{3, 3, 0}));
    EXPECT_TRUE(SameSide3D({0, 1, 0}, {5, 2, 0}, {0, 0, 0}, {1, 0, 0}));
    EXPECT_FALSE(SameSide3D({0, 1, 0}, {5, -2, 0}, {0, 0, 0}, {1, 0, 0}));
    EXPECT_TRUE(SameSide3D({0, 0, 0}, {5, -2, 0}, {0, 0, 0}, {1, 0, 0})); // on the line
}

TEST(ConeMarker, BuildsASixSidedConeAndLimitsSubdivisions) {
    TConeInv cone;
    EXPECT_EQ(cone.Data.VertexCount(), 22);
    EXPECT_EQ(cone.Data.IndexCount(), 36);
    const TBoundingBox box = cone.Data.BoundingBox();
    EXPECT_FLOAT_EQ(box.Min.Y, -0.5f);
    EXPECT_FLOAT_EQ(box.Max.Y, 0.5f);
    EXPECT_FLOAT_EQ(box.Min.X, -0.5f);
    EXPECT_FLOAT_EQ(box.Max.X, 0.5f);
    // Rim at Y = -0.5 with radius 0.5, every tip vertex at (0, 0.5, 0) with the joined normal.
    for (int j = 0; j <= 6; ++j) {
        const TMeshVertex& rim = cone.Data.VertexBuffer[7 + j];
        EXPECT_FLOAT_EQ(rim.Position.Y, -0.5f);
        EXPECT_NEAR(std::hypot(rim.Position.X, rim.Position.Z), 0.5, 1e-6);
        const TMeshVertex& tip = cone.Data.VertexBuffer[14 + j];
        EXPECT_EQ(tip.Position, (TPoint3D{0, 0.5f, 0}));
        if (j < 6) {
            EXPECT_EQ(tip.Normal, (TPoint3D{0, -1, 0}));
        }
    }

    const int builds = cone.BuildCount();
    cone.SetSubdivisionsAxes(6);
    cone.SetSubdivisionsCap(1);
    cone.SetSubdivisionsHeight(1);
    cone.SetJoinPeakNormals(true);
    EXPECT_EQ(cone.BuildCount(), builds);
    cone.SetSubdivisionsAxes(2);
    EXPECT_EQ(cone.SubdivisionsAxes(), 3);
    cone.SetSubdivisionsCap(0);
    EXPECT_EQ(cone.SubdivisionsCap(), 1);
    cone.SetSubdivisionsHeight(0);
    EXPECT_EQ(cone.SubdivisionsHeight(), 1);
    EXPECT_EQ(cone.Data.VertexCount(), 4 + 8 + 1);
    EXPECT_EQ(cone.Data.IndexCount(), 18);

    cone.SetSubdivisionsAxes(8);
    cone.SetSubdivisionsCap(2);
    cone.SetSubdivisionsHeight(3);
    // a = 9: 9 * 2 + 9 * 4 + 1 vertices; 6*8*1 + 3*8 + 6*8*2 + 3*8 indices.
    EXPECT_EQ(cone.Data.VertexCount(), 55);
    EXPECT_EQ(cone.Data.IndexCount(), 48 + 24 + 96 + 24);
    for (int32_t i : cone.Data.IndexBuffer) {
        EXPECT_LT(i, cone.Data.VertexCount());
    }
}

TEST(ConeMarker, IsHitWhereItIsDrawnScaled) {
    TConeInv cone;
    cone.SetWidth(0.6f);
    cone.SetHeight(1.3f);
    cone.SetDepth(0.6f);
    TPoint3D hit;
    // At mid-height the unit cone's cross-section is a hexagon of radius 0.25 whose edge between 60
    // and 120 degrees lies at z = -0.25 sin 60 on the near side; the node is 0.6 deep.
    ASSERT_TRUE(cone.RayCastIntersect({0.0f, 0.0f, -5.0f}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.X, 0.0, 1e-6);
    EXPECT_NEAR(hit.Y, 0.0, 1e-6);
    EXPECT_NEAR(hit.Z, -0.6 * 0.25 * std::sin(std::numbers::pi / 3), 1e-5);
    EXPECT_FALSE(cone.RayCastIntersect({0.5f, 0.0f, -5.0f}, {0, 0, 1}, hit));
}

} // namespace
} // namespace vendrel
