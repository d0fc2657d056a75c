#include "acoustics/cabinet.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "acoustics/cab_model.h"
#include "acoustics/physical_space.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kTol = 1e-6;

// Row-vector rotations in double, written out from their definitions: p' = p x M.
using Vec = std::array<double, 3>;
Vec rotX(const Vec& p, double a) {
    return {p[0], p[1] * std::cos(a) - p[2] * std::sin(a), p[1] * std::sin(a) + p[2] * std::cos(a)};
}
Vec rotY(const Vec& p, double a) {
    return {p[0] * std::cos(a) + p[2] * std::sin(a), p[1], -p[0] * std::sin(a) + p[2] * std::cos(a)};
}
Vec rotZ(const Vec& p, double a) {
    return {p[0] * std::cos(a) - p[1] * std::sin(a), p[0] * std::sin(a) + p[1] * std::cos(a), p[2]};
}

class CabinetTest : public ::testing::Test {
protected:
    CabinetTest() {
        space.StorePixelToMeters(0.5);
        model.SetPolarResolutionDegrees(30);
    }

    std::unique_ptr<TCabinet> place(const TPoint3D& position, const TPoint3D& rotation,
                                    TCabPlacement placement = TCabPlacement::qzaVertical,
                                    int32_t preset = 1) {
        return std::make_unique<TCabinet>(&space, &model, nullptr, position, rotation, false, placement, true,
                                          nullptr, preset);
    }

    TPhysicalSpace space;
    TCabModel model{&space, nullptr};
};

// Source offsets are model coordinates (Y up); the cabinet turns them by its own X rotation (on the
// pivot), then its tilt about Z, then its turn about Y, and moves them to its position.
TEST_F(CabinetTest, TurnedAndTiltedCabinetPlacesItsSourcesInPixels) {
    model.SetNSourcePoints(2);
    model.SourcePoint()[0]->SetYmRel(0.5);
    model.SourcePoint()[1]->SetXmRel(0.3);
    model.SourcePoint()[1]->SetYmRel(-0.2);
    model.SourcePoint()[1]->SetZmRel(0.1);
    const double rx = 15.0, ry = 30.0, rz = -10.0;
    auto cab =
        place({4.0f, -6.0f, 2.0f}, {static_cast<float>(rx), static_cast<float>(ry), static_cast<float>(rz)});

    // The cabinet itself: 6 m up is a pixel height of 12.
    EXPECT_DOUBLE_EQ(cab->XpixAbs(), 8.0);
    EXPECT_DOUBLE_EQ(cab->YpixAbs(), 12.0);
    EXPECT_DOUBLE_EQ(cab->ZpixAbs(), 4.0);
    EXPECT_NEAR(cab->AbsoluteRotationRadY(), ry * kDeg, kTol);
    EXPECT_NEAR(cab->AbsoluteRotationRadZ(), rz * kDeg, kTol);
    EXPECT_NEAR(cab->AbsoluteRotationZ(), rz, 1e-4);
    EXPECT_EQ(cab->RotX(), rx);

    ASSERT_EQ(cab->SourcePoints().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const TSourcePoint& m = *model.SourcePoint()[i];
        Vec p = {m.XmRel(), -m.YmRel(), m.ZmRel()};
        p = rotY(rotZ(rotX(p, rx * kDeg), rz * kDeg), ry * kDeg);
        const Vec abs = {p[0] + 4.0, p[1] - 6.0, p[2] + 2.0};
        const TSourcePoint& sp = *cab->SourcePoints()[i];
        EXPECT_NEAR(sp.XpixAbs(), abs[0] / 0.5, 1e-4);
        EXPECT_NEAR(sp.YpixAbs(), -abs[1] / 0.5, 1e-4);
        EXPECT_NEAR(sp.ZpixAbs(), abs[2] / 0.5, 1e-4);
        EXPECT_EQ(sp.MyCabinet(), cab.get());
        EXPECT_DOUBLE_EQ(sp.XmRel(), m.XmRel());
    }
}

// The pivot carries the cabinet's turns down to the source points, whose own rotations (from the
// model, Z reversed) are turned back about X by the pivot's X rotation.
TEST_F(CabinetTest, RotationReachesTheSourcesThroughThePivot) {
    model.SourcePoint()[0]->SetRotationRadRel(0.0, 0.2, 0.1);
    auto cab = place({0, 0, 0}, {15.0f, 30.0f, -10.0f});
    const RiggingJoint& pivot = *cab->DummySource();
    const double aX = 15.0 * kDeg, aY = 30.0 * kDeg, aZ = -10.0 * kDeg;
    EXPECT_NEAR(pivot.AbsoluteRotationRadX(), aX, kTol);
    EXPECT_NEAR(pivot.AbsoluteRotationRadY(), aY, kTol);
    EXPECT_NEAR(pivot.AbsoluteRotationRadZ(), aZ, kTol);

    const TSourcePoint& sp = *cab->SourcePoints()[0];
    EXPECT_NEAR(sp.RotationRadRelY(), 0.2, kTol);
    EXPECT_NEAR(sp.RotationRadRelZ(), -0.1, kTol);
    const double vy = 0.2 * std::cos(aX) + -0.1 * std::sin(aX);
    const double vz = -0.2 * std::sin(aX) + -0.1 * std::cos(aX);
    EXPECT_NEAR(sp.AbsoluteRotationRadX(), aX, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadY(), aY - vy, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), -aZ - vz, kTol);
}

// The sources of a new model point where the turned cabinet points, as those of a cabinet created
// with the model: the map kernel aims them by their absolute turns.
TEST_F(CabinetTest, ANewModelsSourcesTakeTheCabinetsTurn) {
    auto cab = place({0, 0, 0}, {0.0f, 30.0f, -10.0f});
    TCabModel other(&space, nullptr);
    other.SetPolarResolutionDegrees(30);
    other.SetNSourcePoints(2);
    cab->SetModel(&other);
    ASSERT_EQ(cab->SourcePoints().size(), 2u);
    for (const auto& sp : cab->SourcePoints()) {
        EXPECT_NEAR(sp->AbsoluteRotationRadX(), 0.0, kTol);
        EXPECT_NEAR(sp->AbsoluteRotationRadY(), 30.0 * kDeg, kTol);
        EXPECT_NEAR(sp->AbsoluteRotationRadZ(), 10.0 * kDeg, kTol); // the pivot's Z, reversed
    }
}

TEST_F(CabinetTest, InvertedCabinetTurnsItsPivotTheOtherWay) {
    auto cab = place({0, 0, 0}, {0.0f, 0.0f, 20.0f});
    const RiggingJoint& pivot = *cab->DummySource();
    const TSourcePoint& sp = *cab->SourcePoints()[0];
    EXPECT_NEAR(pivot.AbsoluteRotationRadZ(), 20.0 * kDeg, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), -20.0 * kDeg, kTol);

    cab->SetCabDirection(TCabDirection::qzaInvertedDir);
    EXPECT_NEAR(cab->AbsoluteRotationRadZ(), 20.0 * kDeg, kTol);
    EXPECT_NEAR(pivot.AbsoluteRotationRadZ(), -20.0 * kDeg, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), 20.0 * kDeg, kTol);

    cab->SetRotationAngleZ(-35.0f);
    EXPECT_NEAR(pivot.AbsoluteRotationRadZ(), 35.0 * kDeg, kTol);

    cab->SetCabDirection(TCabDirection::qzaNormalDir);
    EXPECT_NEAR(pivot.AbsoluteRotationRadZ(), -35.0 * kDeg, kTol);
    EXPECT_NEAR(sp.AbsoluteRotationRadZ(), 35.0 * kDeg, kTol);
}

// Below an array's direction joint an inverted cabinet subtracts its own tilt from the joint's; below
// a frame or another cabinet the direction plays no part.
TEST_F(CabinetTest, InvertedCabinetBelowADirectionJointTiltsTheOtherWay) {
    TQzDummy joint(&space, nullptr);
    joint.SetAbsoluteRotationRadZ(0.3);
    joint.SetAbsoluteRotationRadY(0.1);
    TRiggingFrame frame(&space, nullptr, nullptr);
    frame.SetAbsoluteRotationRadZ(0.3);
    for (bool belowJoint : {true, false}) {
        SCOPED_TRACE(belowJoint);
        auto cab = place({0, 0, 0}, {0, 0, 0});
        cab->SetParent(belowJoint ? static_cast<TControl3D*>(&joint) : &frame);
        cab->SetRotationAngleZ(10.0f);
        EXPECT_NEAR(cab->AbsoluteRotationRadZ(), 0.3 + 10.0 * kDeg, kTol);
        cab->SetCabDirection(TCabDirection::qzaInvertedDir);
        EXPECT_NEAR(cab->AbsoluteRotationRadZ(), belowJoint ? 0.3 - 10.0 * kDeg : 0.3 + 10.0 * kDeg, kTol);
        EXPECT_NEAR(cab->AbsoluteRotationRadY(), belowJoint ? 0.1 : 0.0, kTol); // the Z handler refreshes Y
        cab->SetParent(nullptr);
    }
}

TEST_F(CabinetTest, PlacementAcrossTheModelTurnsThePivotAQuarter) {
    struct Case {
        TDirRotation direction;
        TCabPlacement placement;
        float pivotX;
    };
    const Case cases[] = {
        {TDirRotation::qzaClockwise, TCabPlacement::qzaHorizontal, 100.0f},
        {TDirRotation::qzaClockwise, TCabPlacement::qzaVertical, 10.0f},
        {TDirRotation::qzaAntiClockwise, TCabPlacement::qzaHorizontal, -80.0f},
        {TDirRotation::qzaAntiClockwise, TCabPlacement::qzaVertical, 10.0f},
    };
    auto cab = place({0, 0, 0}, {10.0f, 0.0f, 0.0f});
    for (const Case& c : cases) {
        model.SetDirectionOfRotation(c.direction);
        cab->SetPlacementType(c.placement);
        EXPECT_EQ(cab->DummySource()->RotationAngle().X, c.pivotX);
    }
    model.SetDefaultPlacement(TCabPlacement::qzaHorizontal);
    model.SetDirectionOfRotation(TDirRotation::qzaClockwise);
    cab->SetPlacementType(TCabPlacement::qzaHorizontal);
    EXPECT_EQ(cab->DummySource()->RotationAngle().X, 10.0f);
    cab->SetPlacementType(TCabPlacement::qzaVertical);
    EXPECT_EQ(cab->DummySource()->RotationAngle().X, -80.0f);
}

TEST_F(CabinetTest, HornRotationTurnsTheSourcesNamedByTheModelsDigits) {
    model.SetNSourcePoints(4);
    for (int i = 0; i < 4; ++i) {
        model.SourcePoint()[i]->SetRotationRadRel(0.1 * i, 0.0, 0.0);
    }
    model.SetAllowHornRotation(true);
    model.SetSourceOfHornRotation(13);
    auto cab = place({0, 0, 0}, {0, 0, 0});
    cab->SetHornRotationIndex(1);
    for (int i = 0; i < 4; ++i) {
        const double modelDeg = 0.1 * i / kDeg;
        const bool turned = i == 1 || i == 3;
        EXPECT_NEAR(cab->SourcePoints()[i]->RotationAngle().X, turned ? modelDeg - 90.0 : modelDeg, 1e-4)
            << i;
    }
    cab->SetHornRotationIndex(0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(cab->SourcePoints()[i]->RotationAngle().X, 0.1 * i / kDeg, 1e-4) << i;
    }
    // A digit naming a source the cabinet does not have is a range error.
    model.SetSourceOfHornRotation(14);
    EXPECT_THROW(cab->SetHornRotationIndex(1), ERangeError);
}

TEST_F(CabinetTest, InternalPresetComesFromTheModelByNumber) {
    auto bare = place({0, 0, 0}, {0, 0, 0}, TCabPlacement::qzaVertical, 7);
    EXPECT_EQ(bare->InternalDSPPreset(), nullptr); // no presets: whatever the number

    model.AddUserPreset();
    TUserPreset* second = model.AddUserPreset();
    auto cab = place({0, 0, 0}, {0, 0, 0}, TCabPlacement::qzaVertical, 2);
    EXPECT_EQ(cab->InternalDSPPreset(), second);
    EXPECT_THROW(place({0, 0, 0}, {0, 0, 0}, TCabPlacement::qzaVertical, 3), ERangeError);
    EXPECT_THROW(place({0, 0, 0}, {0, 0, 0}, TCabPlacement::qzaVertical, 0), ERangeError);
}

TEST(CabinetPhaseTest, WeightedPhaseSumTakesTheShorterWayRound) {
    struct Case {
        double ph1, pond1, ph2, pond2, expected;
    };
    const double pi = 3.141592653589793;
    const Case cases[] = {
        {0.5, 0.5, 1.5, 0.5, 1.0},                         // plain average
        {3.0, 0.5, -3.0, 0.5, std::remainder(pi, 2 * pi)}, // across +-pi: -3 is taken as 2 pi - 3
        {-3.0, 0.75, 3.0, 0.25, -3.0 * 0.75 + (3.0 - 2 * pi) * 0.25},
        {0.0, 1.0, 2.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        const double r = TCabinet::PhaseWrappedSUM(c.ph1, c.pond1, c.ph2, c.pond2);
        EXPECT_NEAR(std::cos(r), std::cos(c.expected), 1e-9);
        EXPECT_NEAR(std::sin(r), std::sin(c.expected), 1e-9);
        EXPECT_GE(r, -pi - 1e-12);
        EXPECT_LE(r, pi + 1e-12);
    }
}

} // namespace
} // namespace vendrel
