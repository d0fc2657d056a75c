#include "acoustics/source_point.h"

#include <gtest/gtest.h>

#include <cmath>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/physical_space.h"
#include "acoustics/rigging_frame.h"

namespace vendrel {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
// Rotations go through single precision on their way.
constexpr double kTol = 1e-6;

class SourcePointTest : public ::testing::Test {
protected:
    SourcePointTest() { space.StorePixelToMeters(0.5); }
    TPhysicalSpace space;
};

TEST_F(SourcePointTest, TurnWithoutParentIsWrappedIntoHalfTurns) {
    struct Case {
        float degrees;
        double expected;
    };
    const Case cases[] = {
        {200.0f, -160.0}, {-190.0f, 170.0}, {180.0f, 180.0}, {-180.0f, 180.0}, {45.0f, 45.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        TSourcePoint sp(nullptr, &space, nullptr, nullptr);
        sp.SetRotationAngleZ(c.degrees);
        EXPECT_NEAR(sp.RotationRadRelZ(), c.expected * kDeg, kTol);
        EXPECT_NEAR(sp.AbsoluteRotationRadZ(), c.expected * kDeg, kTol);
        sp.SetRotationAngle({c.degrees, c.degrees, 0.0f});
        EXPECT_NEAR(sp.AbsoluteRotationRadX(), c.expected * kDeg, kTol);
        EXPECT_NEAR(sp.AbsoluteRotationRadY(), c.expected * kDeg, kTol);
        EXPECT_NEAR(sp.AbsoluteRotationRadZ(), 0.0, kTol);
    }
}

// The scene's Y axis points down: a point 2 m up has scene Y -2 and a pixel height of +4 at 0.5 m.
TEST_F(SourcePointTest, PixelPositionCountsHeightUpwards) {
    TSourcePoint sp(nullptr, &space, nullptr, nullptr);
    sp.SetPosition({1.0f, -2.0f, 3.0f});
    EXPECT_DOUBLE_EQ(sp.XpixAbs(), 2.0);
    EXPECT_DOUBLE_EQ(sp.YpixAbs(), 4.0);
    EXPECT_DOUBLE_EQ(sp.ZpixAbs(), 6.0);

    // Below a parent the pixel position is the absolute one.
    TDummySource pivot(&space, nullptr);
    pivot.SetPosition({0.5f, -3.0f, 0.0f});
    sp.SetParent(&pivot);
    EXPECT_DOUBLE_EQ(sp.XpixAbs(), 3.0);
    EXPECT_DOUBLE_EQ(sp.YpixAbs(), 10.0);
    EXPECT_DOUBLE_EQ(sp.ZpixAbs(), 6.0);

    sp.SetXmRel(0.25);
    sp.SetYmRel(-1.0);
    EXPECT_DOUBLE_EQ(sp.XpRel(), 0.5);
    EXPECT_DOUBLE_EQ(sp.YpRel(), -2.0);
    space.StorePixelToMeters(0.25);
    sp.RecalcPixelPosition();
    EXPECT_DOUBLE_EQ(sp.XpRel(), 1.0);
    EXPECT_DOUBLE_EQ(sp.YpRel(), -4.0);
}

// Hand calculation of the propagation below a parent turned (aX, aY, aZ): the source's own rotations
// turned back about X by aX, then combined with the parent's.
void expectSourceBelow(const TSourcePoint& sp, double aX, double aY, double aZ) {
    const double rX = sp.RotationRadRelX(), rY = sp.RotationRadRelY(), rZ = sp.RotationRadRelZ();
    const double vy = rY * std::cos(aX) + rZ * std::sin(aX);
    const double vz = -rY * std::sin(aX) + rZ * std::cos(aX);
    EXPECT_NEAR(sp.AbsoluteRotationRadX(), aX + rX, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadY(), aY - vy, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), -aZ - vz, kTol);
}

TEST_F(SourcePointTest, PivotRotationReachesItsSourcePoints) {
    TDummySource pivot(&space, nullptr);
    TSourcePoint sp(nullptr, &space, nullptr, nullptr);
    sp.SetParent(&pivot);
    sp.SetRotationAngle({10.0f, -20.0f, 35.0f});
    pivot.SetAbsoluteRotationRadX(0.4);
    expectSourceBelow(sp, 0.4, 0.0, 0.0);
    pivot.SetAbsoluteRotationRadY(-0.3);
    expectSourceBelow(sp, 0.4, -0.3, 0.0);
    pivot.SetAbsoluteRotationRadZ(0.2);
    expectSourceBelow(sp, 0.4, -0.3, 0.2);
}

// A source's own turn below a pivot: the pivot's rotations (aX, aY, -aZ) turned about X by aX.
TEST_F(SourcePointTest, OwnTurnBelowAPivotCombinesWithThePivot) {
    TDummySource pivot(&space, nullptr);
    pivot.SetAbsoluteRotationRadX(0.5);
    pivot.SetAbsoluteRotationRadY(0.25);
    pivot.SetAbsoluteRotationRadZ(-0.125);
    TSourcePoint sp(nullptr, &space, nullptr, nullptr);
    sp.SetParent(&pivot);
    sp.SetRotationAngle({20.0f, 30.0f, -40.0f});
    const double aX = 0.5, aY = 0.25, aZ = -0.125;
    const double wy = aY * std::cos(aX) - (-aZ) * std::sin(aX);
    const double wz = aY * std::sin(aX) + (-aZ) * std::cos(aX);
    EXPECT_NEAR(sp.AbsoluteRotationRadX(), aX + 20.0 * kDeg, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadY(), wy - 30.0 * kDeg, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), wz + 40.0 * kDeg, kTol);

    // Below any other parent the absolute rotations stay as they were.
    TQzDummy other(&space, nullptr);
    TSourcePoint loose(nullptr, &space, nullptr, nullptr);
    loose.SetParent(&other);
    loose.SetRotationAngleZ(50.0f);
    EXPECT_NEAR(loose.RotationRadRelZ(), 50.0 * kDeg, kTol);
    EXPECT_EQ(loose.AbsoluteRotationRadZ(), 0.0);
}

TEST_F(SourcePointTest, PropagationSkipsOtherKindsAndTurnsPivotsOnlyBelowCabinets) {
    TQzDummy joint(&space, nullptr);
    TDummy plain;
    plain.SetParent(&joint);
    plain.SetRotationAngle({5.0f, 6.0f, 7.0f});
    TDummySource pivot(&space, nullptr);
    pivot.SetParent(&joint);
    TQzDummy child(&space, nullptr);
    child.SetParent(&joint);
    child.SetRotationAngleZ(10.0f);

    PropagateRotationZ(&joint, 0.5);
    EXPECT_EQ(plain.RotationAngle(), TPoint3D(5.0f, 6.0f, 7.0f));
    EXPECT_EQ(pivot.AbsoluteRotationRadZ(), 0.0); // a pivot follows Z only below a cabinet
    EXPECT_NEAR(child.AbsoluteRotationRadZ(), 10.0 * kDeg + 0.5, kTol);

    PropagateRotationX(&joint, 0.25);
    EXPECT_NEAR(pivot.AbsoluteRotationRadX(), 0.25, kTol);
    PropagateClusterRotation(&joint, 0.1, 0.2, 0.3);
    EXPECT_NEAR(pivot.AbsoluteRotationRadY(), 0.2, kTol);
    EXPECT_NEAR(pivot.AbsoluteRotationRadX(), 0.25, kTol); // the cluster rule moves only Y of joints
    EXPECT_EQ(plain.RotationAngle(), TPoint3D(5.0f, 6.0f, 7.0f));
}

} // namespace
} // namespace vendrel
