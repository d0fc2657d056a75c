#include "acoustics/array_mechanics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"

namespace vendrel {
namespace {

// A frame of 20 kg hung by its back hinge at the array's origin, pick points every 0.2 m from the
// hinge forwards (0 .. 0.8 m), and cabinets of 50 kg hanging straight down from it, each 0.4 m high,
// with its centre of gravity at its origin, 0.3 m in front of and 0.2 m below its upper hinge.
struct MechanicsFixture : ::testing::Test {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> cab;
    std::unique_ptr<TRigFrameModel> frame;

    void SetUp() override {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        cab = std::make_unique<TCabModel>(&medium, project.get());
        cab->SetWidth(0.6);
        cab->SetHeight(0.4);
        cab->SetDepth(1.0);
        cab->SetWeight(50.0);
        cab->SetJoinType(TJoinType::qzaBackJoin);
        cab->SetBackTopRotPointXm(-0.3);
        cab->SetBackTopRotPointYm(0.2);
        cab->SetBackBotRotPointXm(-0.3);
        cab->SetBackBotRotPointYm(-0.2);
        cab->SetAllowedAnglesFirstCabFlown({0.0});
        cab->SetAllowedAnglesFlown({0.0});
        cab->SetAllowedAnglesFirstCabStack({0.0});
        cab->SetAllowedAnglesStack({0.0});
        frame = std::make_unique<TRigFrameModel>(&medium, project.get());
        frame->SetWidth(1.0);
        frame->SetHeight(0.1);
        frame->SetDepth(0.8);
        frame->SetWeight(20.0);
        frame->SetMaxSupportWeight(500.0);
        frame->SetBackTopAnchorPointXm(-0.4);
        frame->SetBackTopAnchorPointYm(0.05);
        frame->SetBackBotAnchorPointXm(-0.4);
        frame->SetBackBotAnchorPointYm(-0.05);
        frame->SetNPickPoints(5);
        frame->SetPickPoints(
            {{-0.4f, 0.05f, 0}, {-0.2f, 0.05f, 0}, {0, 0.05f, 0}, {0.2f, 0.05f, 0}, {0.4f, 0.05f, 0}});
    }
    std::unique_ptr<TCabArray> flown(int cabinets) {
        auto a = std::make_unique<TCabArray>(&medium, project.get());
        a->AddFrame(frame.get());
        for (int i = 0; i < cabinets; ++i) {
            a->AddCabinet(cab.get(), true);
        }
        a->SetPositionsInsideArray();
        return a;
    }
};

// Three cabinets below the frame, flown 10 m up. By hand, with x measured forwards from the hinge:
// frame 20 kg at x 0.4, cabinets 3 x 50 kg at x 0.3: W = 170 kg, W x_g = 8 + 45 = 53 kg m. The cable
// (2 kg/m from the array's top, 10 m up, to the floor) adds 20 kg at the last pick point (x 0.8):
// W = 190 kg, W x_g = 69 kg m. Two motors at x 0 and x 0.8: moments about the rear one give the
// front load (190 x 0.8 - 69) / 0.8 = 103.75 kg, the rear one takes 69 / 0.8 = 86.25 kg.
TEST_F(MechanicsFixture, KnownFlownArray) {
    auto a = flown(3);
    a->SetPosition({0, -10, 0});
    a->SetNMotors(2);
    a->SetCableWeightPerMeter(2.0);
    a->RecalcMechanics();
    const TMechanicalData& m = a->MechanicalData();
    EXPECT_TRUE(m.RigFrameExists);
    EXPECT_EQ(m.RigFrame, a->ArrayList()[1]);
    EXPECT_NEAR(m.TotalWeight, 170.0, 1e-9); // the cable is not included yet
    EXPECT_NEAR(m.GravityCenter.X, 53.0 / 170.0, 1e-6);
    // Heights: frame centre 9.95 m (10 m - 0.05), cabinets at 9.7, 9.3 and 8.9 m.
    EXPECT_NEAR(-m.GravityCenter.Y, (20 * 9.95 + 50 * (9.7 + 9.3 + 8.9)) / 170.0, 1e-5);
    EXPECT_NEAR(m.MostTopPoint, 10.0, 1e-5);
    EXPECT_NEAR(m.MostBottomPoint, 10.0 - 0.1 - 3 * 0.4, 1e-5);
    EXPECT_NEAR(m.ElevationOrigin, 10.0, 1e-6);
    EXPECT_NEAR(m.ClusterHeight, 1.3, 1e-5);
    EXPECT_EQ(m.FlyingPoint, 3); // x 0.4 is the nearest to x 0.312
    EXPECT_FALSE(m.GravityCenterOutOfRange);
    EXPECT_NEAR(m.FrontPickupLoad, (170 * 0.8 - 53) / 0.8, 1e-4);
    EXPECT_NEAR(m.RearPickupLoad, 53 / 0.8, 1e-4);
    EXPECT_NEAR(m.FrameLoad, 150.0, 1e-9);
    EXPECT_NEAR(m.CableWeight, 20.0, 1e-4); // printed whether or not it is included
    EXPECT_EQ(m.NPickPoints, 5);
    EXPECT_FALSE(m.FliesWithAdapter);

    // With the cable, right at the first computation.
    a->SetIncludeCableInCalculation(true);
    a->RecalcMechanics();
    EXPECT_NEAR(m.TotalWeight, 190.0, 1e-4);
    EXPECT_NEAR(m.GravityCenter.X, 69.0 / 190.0, 1e-6);
    EXPECT_NEAR(m.FrontPickupLoad, 103.75, 1e-3);
    EXPECT_NEAR(m.RearPickupLoad, 86.25, 1e-3);
    EXPECT_NEAR(m.FrontPickupLoad + m.RearPickupLoad, m.TotalWeight, 1e-9);
    EXPECT_NEAR(m.FrameLoad, 170.0, 1e-4);
    EXPECT_NEAR(m.CableWeight, 20.0, 1e-4);
    // The total of the models alone does not touch the mechanics.
    EXPECT_FLOAT_EQ(a->GetTotalWeight(), 170.0f);
    EXPECT_NEAR(m.TotalWeight, 190.0, 1e-4);

    // The frame carries 190 - 20 = 170 kg: at its rating that is allowed, above it not, whatever
    // the cable option.
    const struct {
        double max;
        bool include;
        bool exceeded;
    } limits[] = {{170.0, true, false},  {169.9, true, true},  {170.1, true, false},
                  {150.0, false, false}, {149.9, false, true}, {0.0, false, true}};
    for (const auto& l : limits) {
        SCOPED_TRACE(l.max);
        frame->SetMaxSupportWeight(l.max);
        a->SetIncludeCableInCalculation(l.include);
        a->RecalcMechanics();
        EXPECT_EQ(m.WeightExceded, l.exceeded);
        EXPECT_EQ(m.WeightExceded, RiggingLoadExceeded(m.FrameLoad, m.MaxSupportWeightOnRigging));
        EXPECT_NEAR(m.FrameLoad, m.TotalWeight - frame->Weight(), 1e-9);
    }
}

// The hang from the end pick points p1 and pN of a frame: loads from the moments about the centre of
// gravity (lever rule along p1 -> pN), adding up to the weight; a centre of gravity beyond either end
// is out of range with no loads at all, also 2 cm beyond.
TEST(ArrayMechanics, LoadsComeFromTheBalanceOfMoments) {
    struct Case {
        const char* name;
        std::vector<TPoint3D> picks;
        TPoint3D g;
        int32_t flying;
        double front, rear; // kg, of 300 kg
    };
    const std::vector<TPoint3D> row = {{0, 0, 0}, {0.1f, 0, 0}, {0.2f, 0, 0}, {0.3f, 0, 0}};
    const Case cases[] = {
        {"at the second of four", row, {0.1f, 5, 0}, 2, 200, 100},
        {"between points", row, {0.25f, 5, 0}, 3, 50, 250},
        {"on the first", row, {0, 5, 0}, 1, 300, 0},
        {"2 cm beyond the last", row, {0.32f, 5, 0}, -1, 0, 0},
        {"4 cm before the first", row, {-0.04f, 5, 0}, -1, 0, 0},
        {"two points, mid-way", {{0, 0, 0}, {1, 0, 0}}, {0.5f, 5, 0}, 1, 150, 150},
        {"points off the line", {{0, 0, 0}, {0.2f, 0, 0.3f}, {0.4f, 0, 0}}, {0.1f, 5, 0.05f}, 1, 225, 75},
        {"one point right above", {{1, -2, 1}}, {1, 5, 1}, 1, 300, 0},
        {"one point, 5 cm beside", {{1, -2, 1}}, {1.05f, 5, 1}, 1, 300, 0},
        {"one point, 20 cm beside", {{1, -2, 1}}, {1.2f, 5, 1}, -1, 0, 0},
        // Two vertical forces on the line balance no moment about it: the array rolls.
        {"1.435 m beside the line", row, {0.1f, 5, 1.435f}, -1, 0, 0},
        {"8 cm beside the line", row, {0.1f, 5, -0.08f}, 2, 200, 100},
        {"12 cm beside the line", row, {0.1f, 5, 0.12f}, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMechanicsInput in;
        in.Masses = {{c.g, 300.0}};
        in.RigFrameExists = true;
        in.MaxSupportWeight = 1000.0;
        in.PickPoints = c.picks;
        in.NMotors = 2;
        TMechanicalData out;
        out.FrontPickupLoad = out.RearPickupLoad = 999.0; // stale figures of an earlier computation
        ComputeMechanics(in, out);
        EXPECT_EQ(out.FlyingPoint, c.flying);
        EXPECT_EQ(out.GravityCenterOutOfRange, c.flying == -1);
        EXPECT_NEAR(out.FrontPickupLoad, c.front, 1e-3);
        EXPECT_NEAR(out.RearPickupLoad, c.rear, 1e-3);
        if (c.flying != -1) {
            EXPECT_NEAR(out.FrontPickupLoad + out.RearPickupLoad, 300.0, 1e-9);
        }
    }
}

// A frame flies through an adapter when its model is typed so (or is one of the two models known to):
// the adapter spans the pick points beside the flying point; other frames get no adapter points.
TEST(ArrayMechanics, AdapterSpansThePickPointsBesideTheFlyingPoint) {
    struct Case {
        const char* model;
        bool typed; // the model's pick points take adapters
        float x;    // the centre of gravity above pick point number x + 1 of eight, 0.1 m apart
        int32_t first, second;
        bool outOfRange;
    };
    const Case cases[] = {
        {"PT-QD-MWX20", false, 0.4f, 2, 3, false},  // flying point 5
        {"PT-QD-MWX10", false, 0.5f, 3, 5, false},  // flying point 6
        {"PT-QD-MWX20", false, 0.0f, -1, -1, true}, // flying point 1 would need pick point 0
        {"OTHER FRAME", false, 0.4f, -1, -1, false}, {"OTHER FRAME", true, 0.4f, 2, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model + std::to_string(c.typed) + std::to_string(c.x));
        TMechanicsInput in;
        in.Masses = {{{c.x, 2, 0}, 100.0}};
        in.RigFrameExists = true;
        in.MaxSupportWeight = 1000.0;
        in.FrameModelName = c.model;
        in.FrameTypedWithAdapter = c.typed;
        for (int i = 0; i < 8; ++i) {
            in.PickPoints.push_back({0.1f * static_cast<float>(i), 0, 0});
        }
        TMechanicalData out;
        ComputeMechanics(in, out);
        EXPECT_EQ(out.AdapterRigPoint1, c.first);
        EXPECT_EQ(out.AdapterRigPoint2, c.second);
        EXPECT_EQ(out.AdapterPosition, c.first == -1 ? "No Adapter" : "hole on right");
        EXPECT_EQ(out.GravityCenterOutOfRange, c.outOfRange);
    }
}

// What the dialog and the report print for the adapters comes from the record alone: one motor on the
// adapter's two points, the second first; two motors on adapters at 3 - 1 and N - (N - 2), which takes
// four pick points; nothing for fixed points, a stack or a hang out of range.
TEST(ArrayMechanics, AdapterTextsFollowTheRecord) {
    TMechanicalData flying;
    flying.RigFrameExists = true;
    flying.FliesWithAdapter = true;
    flying.FlyingPoint = 5;
    flying.AdapterPosition = "hole on right";
    flying.AdapterRigPoint1 = 4;
    flying.AdapterRigPoint2 = 5;
    struct Case {
        const char* name;
        int32_t motors, points;
        bool adapter, stacked, out;
        const char* one;  // RigPoints, empty for none
        const char* rear; // RearRigPoints, empty for none
    };
    const Case cases[] = {
        {"one motor", 1, 8, true, false, false, "5 and 4", ""},
        {"two motors, 8 points", 2, 8, true, false, false, "", "8 - 6"},
        {"two motors, 5 points", 2, 5, true, false, false, "", "5 - 3"},
        {"two motors, 4 points", 2, 4, true, false, false, "", "4 - 2"},
        {"two motors, 3 points", 2, 3, true, false, false, "", ""},
        {"fixed points", 2, 8, false, false, false, "", ""},
        {"fixed point, one motor", 1, 8, false, false, false, "", ""},
        {"stacked", 2, 8, true, true, false, "", ""},
        {"out of range", 1, 8, true, false, true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMechanicalData d = flying;
        d.NMotors = c.motors;
        d.NPickPoints = c.points;
        d.FliesWithAdapter = c.adapter;
        d.Stacked = c.stacked;
        d.GravityCenterOutOfRange = c.out;
        if (c.out) {
            d.FlyingPoint = -1;
        }
        const TAdapterTexts t = AdapterTexts(d);
        EXPECT_EQ(t.OneAdapter, *c.one != 0);
        EXPECT_EQ(t.RigPoints, c.one);
        EXPECT_EQ(t.PointLabel, *c.one != 0 ? "5 - 4" : "");
        EXPECT_EQ(t.Position, *c.one != 0 ? "hole on right" : "");
        EXPECT_EQ(t.TwoAdapters, *c.rear != 0);
        EXPECT_EQ(t.RearRigPoints, c.rear);
        EXPECT_EQ(t.FrontRigPoints, *c.rear != 0 ? "3 - 1" : "");
    }
}

// A stack stands while its centre of gravity lies inside the footprint of its base as the base
// stands: a 1 m x 0.4 m base turned a quarter about the vertical is 0.4 m across X and 1 m along Z.
// Pick points play no part.
TEST(ArrayMechanics, StackTipsOnlyBeyondItsTurnedFootprint) {
    std::vector<TPoint3D> base;
    for (int c = 0; c < 8; ++c) {
        // Corners of the base box turned 90 degrees about Y: local (x, y, z) -> scene (z, y, -x).
        const float x = (c & 1) ? 0.5f : -0.5f, y = (c & 2) ? 0.1f : -0.1f, z = (c & 4) ? 0.2f : -0.2f;
        base.push_back({z, y, -x});
    }
    struct Case {
        TPoint3D g;
        bool out;
    };
    const Case cases[] = {
        {{0, -1, 0.45f}, false}, {{0.3f, -1, 0}, true}, {{0, -1, 0.55f}, true}, {{0.2f, -1, 0}, true}};
    for (const Case& c : cases) {
        TMechanicsInput in;
        in.Stacked = true;
        in.Masses = {{c.g, 100.0}};
        in.RigFrameExists = true;
        in.MaxSupportWeight = 1000.0;
        in.PickPoints = {{5, 0, 5}}; // far away: a stack does not fly
        in.BaseCorners = base;
        TMechanicalData out;
        ComputeMechanics(in, out);
        EXPECT_EQ(out.GravityCenterOutOfRange, c.out) << c.g.X << " " << c.g.Z;
        EXPECT_EQ(out.FlyingPoint, 0);
        EXPECT_EQ(out.FrontPickupLoad, 0.0);
    }
}

// The centre of gravity turns with every rotation of the elements, X included. One cabinet with its
// centre of gravity 0.2 m to the side (model Z), the array laid on its side (element 1 turned 90
// degrees about X, about the cabinet's upper back hinge at (-0.3, -0.2, 0)): relative to the hinge
// the point (0.3, 0.2, 0.2) turns to (0.3, -0.2, 0.2), so it lies at (0, -0.4, 0.2).
TEST_F(MechanicsFixture, CentreOfGravityTurnsWithTheArray) {
    cab->SetGravityCenterZm(0.2);
    TCabArray a(&medium, project.get());
    a.AddCabinet(cab.get(), true);
    a.SetPositionsInsideArray();
    a.SetOrientation(TCabPlacement::qzaHorizontal);
    a.RecalcMechanics();
    const TPoint3D g = a.MechanicalData().GravityCenter;
    EXPECT_NEAR(g.X, 0.0, 1e-6);
    EXPECT_NEAR(g.Y, -0.4, 1e-6);
    EXPECT_NEAR(g.Z, 0.2, 1e-6);
    EXPECT_FALSE(a.MechanicalData().RigFrameExists);
    EXPECT_EQ(a.MechanicalData().FlyingPoint, 0);
}

// Two cabinets stacked on a frame; the upper one carries its mass 0.5 m to the side. The stack is
// narrow across (the frame 0.8 m deep in Z) and tips sideways even though it is well inside along X.
TEST_F(MechanicsFixture, StackTipsSidewaysOverItsBase) {
    TCabModel heavySide(&medium, project.get());
    heavySide.SetWidth(0.6);
    heavySide.SetHeight(0.4);
    heavySide.SetDepth(1.0);
    heavySide.SetWeight(50.0);
    heavySide.SetJoinType(TJoinType::qzaBackJoin);
    heavySide.SetBackTopRotPointXm(-0.3);
    heavySide.SetBackTopRotPointYm(0.2);
    heavySide.SetBackBotRotPointXm(-0.3);
    heavySide.SetBackBotRotPointYm(-0.2);
    heavySide.SetAllowedAnglesStack({0.0});
    heavySide.SetGravityCenterZm(1.0);
    TCabArray a(&medium, project.get());
    a.SetMountingType(TArrayMounting::qzaStacked);
    a.AddFrame(frame.get());
    a.AddCabinet(cab.get(), true);
    a.AddCabinet(&heavySide, true);
    a.SetPositionsInsideArray();
    a.RecalcMechanics();
    const TMechanicalData& m = a.MechanicalData();
    // 50 kg of 120 kg at 1 m to the side: 0.417 m, beyond the frame's 0.4 m half-depth.
    EXPECT_NEAR(m.GravityCenter.Z, 50.0 / 120.0, 1e-6);
    EXPECT_TRUE(m.GravityCenterOutOfRange);
    heavySide.SetGravityCenterZm(0.5);
    a.RecalcMechanics();
    EXPECT_FALSE(m.GravityCenterOutOfRange);
    EXPECT_EQ(m.FlyingPoint, 0); // a stack does not fly from its pick points
}

TEST_F(MechanicsFixture, AnEmptyArrayWeighsNothing) {
    TCabArray a(&medium, project.get());
    a.SetIncludeCableInCalculation(true);
    a.RecalcMechanics();
    const TMechanicalData& m = a.MechanicalData();
    EXPECT_EQ(m.TotalWeight, 0.0);
    EXPECT_EQ(m.GravityCenter, TPoint3D());
    EXPECT_FALSE(m.RigFrameExists);
    EXPECT_FALSE(m.WeightExceded);
    EXPECT_FALSE(m.GravityCenterOutOfRange);
    EXPECT_EQ(a.GetTotalWeight(), 0.0f);
}

} // namespace
} // namespace vendrel
