#include "platform/core/geometry3d.h"
#include "platform/core/raycast.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vendrel {
namespace {

constexpr float kTol = 1e-5f;

void expectNear(const TPoint3D& a, const TPoint3D& b, float tol = kTol) {
    EXPECT_NEAR(a.X, b.X, tol);
    EXPECT_NEAR(a.Y, b.Y, tol);
    EXPECT_NEAR(a.Z, b.Z, tol);
}

void expectIdentity(const TMatrix3D& m, float tol) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(m.m[i][j], i == j ? 1.0f : 0.0f, tol) << i << "," << j;
        }
    }
}

// Each rotation against its rows written out by hand: p x M with p a unit axis picks one row.
TEST(Matrix3D, RotationsHaveTheDocumentedRowsAndTurnRowVectors) {
    for (float a : {0.0f, 0.3f, -1.2f, 2.5f}) {
        const float c = std::cos(a);
        const float s = std::sin(a);
        const TMatrix3D rx = TMatrix3D::CreateRotationX(a);
        const TMatrix3D ry = TMatrix3D::CreateRotationY(a);
        const TMatrix3D rz = TMatrix3D::CreateRotationZ(a);
        expectNear(TPoint3D(0, 1, 0) * rx, {0, c, s});
        expectNear(TPoint3D(0, 0, 1) * rx, {0, -s, c});
        expectNear(TPoint3D(1, 0, 0) * ry, {c, 0, -s});
        expectNear(TPoint3D(0, 0, 1) * ry, {s, 0, c});
        expectNear(TPoint3D(1, 0, 0) * rz, {c, s, 0});
        expectNear(TPoint3D(0, 1, 0) * rz, {-s, c, 0});
        EXPECT_NEAR(rx.Determinant(), 1.0, 1e-6);
        // A rotation's inverse is its transpose.
        expectIdentity(ry * ry.Transpose(), kTol);
    }
    // A quarter turn about Z takes +X to +Y.
    expectNear(TPoint3D(1, 0, 0) * TMatrix3D::CreateRotationZ(1.5707964f), {0, 1, 0});
}

TEST(Matrix3D, ProductAppliesTheLeftMatrixFirst) {
    const TMatrix3D a = TMatrix3D::CreateRotationX(0.7f);
    const TMatrix3D b = TMatrix3D::CreateTranslation({1, 2, 3});
    const TPoint3D p(0.5f, -1, 2);
    expectNear(p * (a * b), (p * a) * b);
    expectNear(p * (b * a), (p * b) * a);
    // Rotate then move: the rotated point plus the offset.
    const TPoint3D q = TPoint3D(0, 1, 0) * (a * b);
    expectNear(q, TPoint3D(0, std::cos(0.7f), std::sin(0.7f)) + TPoint3D(1, 2, 3));
    // Directions ignore the translation; the homogeneous product honours W.
    expectNear(TransformDirection({0, 1, 0}, a * b), {0, std::cos(0.7f), std::sin(0.7f)});
    EXPECT_EQ(TVector3D(0, 0, 0, 0) * b, TVector3D(0, 0, 0, 0));
    EXPECT_EQ((TVector3D(0, 0, 0, 1) * b).ToPoint3D(), TPoint3D(1, 2, 3));
}

TEST(Matrix3D, InverseTimesMatrixIsIdentity) {
    const TMatrix3D m = TMatrix3D::CreateScaling({2, 0.5f, 3}) * TMatrix3D::CreateRotationY(0.4f) *
                        TMatrix3D::CreateRotationX(-1.1f) * TMatrix3D::CreateTranslation({5, -7, 0.25f});
    expectIdentity(m.Inverse() * m, 1e-5f);
    expectIdentity(m * m.Inverse(), 1e-5f);
    EXPECT_NEAR(m.Determinant(), 3.0, 1e-5);
    // A point goes there and back.
    const TPoint3D p(1.5f, -2, 4);
    expectNear((p * m) * m.Inverse(), p, 1e-4f);
    // A general (projective) matrix too.
    TMatrix3D g;
    const float vals[16] = {2, 1, 0, 0.5f, 0, 3, 1, 0, 1, 0, 4, 0.25f, 0, 2, 1, 1};
    for (int i = 0; i < 16; ++i) {
        g.m[i / 4][i % 4] = vals[i];
    }
    expectIdentity(g.Inverse() * g, 1e-5f);
    // A singular matrix gives the zero matrix rather than infinities.
    const TMatrix3D z = TMatrix3D::CreateScaling({1, 0, 1}).Inverse();
    EXPECT_EQ(z.m[0][0], 0.0f);
    EXPECT_EQ(z.m[3][3], 0.0f);
}

TEST(Point3D, ProductsAndNormalisation) {
    const TPoint3D x(1, 0, 0);
    const TPoint3D y(0, 1, 0);
    EXPECT_EQ(x.CrossProduct(y), TPoint3D(0, 0, 1));
    EXPECT_EQ(TPoint3D(1, 2, 3).DotProduct({4, -5, 6}), 12.0f);
    expectNear(TPoint3D(3, 0, 4).Normalize(), {0.6f, 0, 0.8f});
    EXPECT_EQ(TPoint3D().Normalize(), TPoint3D());
    EXPECT_FLOAT_EQ(TVector3D(1, 2, 2, 4).Length(), 5.0f);
}

// Flat and inverted boxes are empty and add nothing to a union; the union of two empty boxes keeps
// the first.
TEST(BoundingBox, UnionSkipsEmptyBoxes) {
    const TBoundingBox origin;
    const TBoundingBox unit{{5, 5, 5}, {6, 6, 6}};
    const TBoundingBox flat{{0, 0, 0}, {9, 0.00005f, 9}};
    const TBoundingBox far{{-1, 7, 5.5f}, {0, 8, 5.7f}};
    EXPECT_TRUE(origin.IsEmpty());
    EXPECT_TRUE(flat.IsEmpty());
    EXPECT_FALSE(unit.IsEmpty());
    const TBoundingBox a = origin.Union(unit);
    EXPECT_EQ(a.Min, TPoint3D(5, 5, 5));
    EXPECT_EQ(a.Max, TPoint3D(6, 6, 6));
    const TBoundingBox b = a.Union(flat).Union(far);
    EXPECT_EQ(b.Min, TPoint3D(-1, 5, 5));
    EXPECT_EQ(b.Max, TPoint3D(6, 8, 6));
    EXPECT_EQ(flat.Union(origin).Max, flat.Max);
}

TEST(RayCast, PlaneHitsOnlyAheadAndNotParallel) {
    TPoint3D hit(9, 9, 9);
    ASSERT_TRUE(RayCastPlaneIntersect({0, 0, -5}, {0, 0, 2}, {0, 0, 1}, {0, 0, 1}, hit));
    expectNear(hit, {0, 0, 1});
    ASSERT_TRUE(RayCastPlaneIntersect({1, 1, 0}, {1, 1, 1}, {0, 0, 3}, {0, 0, -1}, hit));
    expectNear(hit, {4, 4, 3});
    hit = {9, 9, 9};
    EXPECT_FALSE(RayCastPlaneIntersect({0, 0, 5}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, hit)); // behind
    EXPECT_FALSE(RayCastPlaneIntersect({0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, hit)); // t = 0
    EXPECT_FALSE(RayCastPlaneIntersect({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 1}, hit)); // parallel
    EXPECT_EQ(hit, TPoint3D(9, 9, 9));
}

TEST(RayCast, BoxEntryPoint) {
    struct Case {
        TPoint3D pos, dir;
        bool hits;
        TPoint3D near;
    };
    const Case cases[] = {
        {{0, 0, -10}, {0, 0, 1}, true, {0, 0, -1}},       // straight in through the front face
        {{-10, 0.5f, 0}, {1, 0, 0}, true, {-2, 0.5f, 0}}, // along X, width 4
        {{0, 0, 0}, {0, 1, 0}, true, {0, 0, 0}},          // from inside: the origin
        {{0, 0, 10}, {0, 0, 1}, false, {}},               // box behind the origin
        {{0, 5, -10}, {0, 0, 1}, false, {}},              // passes above
        {{3, 0, -10}, {0, 0, 1}, false, {}},              // parallel outside the X slab
        {{2, 0, -10}, {0, 0, 1}, true, {2, 0, -1}},       // grazing the side face counts
    };
    for (const Case& c : cases) {
        TPoint3D near(7, 7, 7);
        EXPECT_EQ(RayCastCuboidIntersect(c.pos, c.dir, {0, 0, 0}, 4, 2, 2, near), c.hits);
        expectNear(near, c.hits ? c.near : TPoint3D(7, 7, 7));
    }
}

} // namespace
} // namespace vendrel
