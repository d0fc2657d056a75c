#include "editor/mechanics_memo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acoustics/array_mechanics.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/rigging_frame.h"
#include "documents_fixture.h"
#include "editor/line_array_edits.h"
#include "editor/units.h"

namespace vendrel {
namespace {

using testing::DocumentsFixture;

const std::string kRule(72, '_');

// The lines of the memo's pick-point block: from after "PICK POINTS" to the next rule.
std::vector<std::string> pickPointLines(const TMechanicsMemo& m) {
    auto it = std::find(m.Lines.begin(), m.Lines.end(), "PICK POINTS");
    if (it == m.Lines.end()) {
        return {"<no block>"};
    }
    ++it;
    return {it, std::find(it, m.Lines.end(), kRule)};
}

// A flown frame of N pick points holding 480 kg of cabinets under its own 20 kg, hanging in range
// from pick point 3, 300 kg on the front and 200 kg on the rear.
TMechanicalData flownRecord(int32_t NPickPoints, bool Adapter, int32_t NMotors) {
    TMechanicalData d;
    d.RigFrameExists = true;
    d.NPickPoints = NPickPoints;
    d.FliesWithAdapter = Adapter;
    d.NMotors = NMotors;
    d.TotalWeight = 500.0;
    d.FrameLoad = 480.0;
    d.MaxSupportWeightOnRigging = 1000.0;
    d.FlyingPoint = 3;
    d.FrontPickupLoad = 300.0;
    d.RearPickupLoad = 200.0;
    if (Adapter) {
        d.AdapterPosition = "hole on right";
        d.AdapterRigPoint1 = 2;
        d.AdapterRigPoint2 = 4;
    }
    return d;
}

// How the array flies, from the record alone: the adapter texts are the mechanics' (the rear adapter
// at the last point N and N - 2, where the motor line is drawn), a frame that takes no adapters flies
// from its points whatever its type, a hang or a stack out of range gets the range line and nothing
// else, and a stack standing on its frame flies from nothing.
TEST(MechanicsMemo, PickPointBlockFollowsTheRecord) {
    const std::string loads[] = {"", "     Load on Front Pickup\t= 300.0 kg",
                                 "     Load on Rear Pickup\t= 200.0 kg"};
    struct Case {
        const char* name;
        TMechanicalData data;
        std::vector<std::string> lines;
        std::string fly, front; // label texts; "-" hidden
    };
    std::vector<Case> cases = {
        {"fixed, one motor",
         flownRecord(6, false, 1),
         {"     Fly from Rigging Point\t= 3", "     Load on Rigging Point\t= 500.0 kg"},
         "3",
         "-"},
        {"fixed, two motors",
         flownRecord(6, false, 2),
         {"     Fly from Rigging Points:", "          Front Point\t= 1", "          Rear Point\t= 6",
          loads[0], loads[1], loads[2]},
         "6",
         "1"},
        {"adapter, one motor",
         flownRecord(6, true, 1),
         {"     Fly with adapter in position\t= hole on right",
          "     Adapter fixed at Rigging Points\t= 4 and 2"},
         "4 - 2",
         "-"},
        {"adapter, two motors on 3 points: no room for two adapters",
         flownRecord(3, true, 2),
         {"     Fly from Rigging Points:", "          Front Point\t= 1", "          Rear Point\t= 3",
          loads[0], loads[1], loads[2]},
         "3",
         "1"},
    };
    for (int n = 5; n <= 8; ++n) {
        const std::string rear = std::to_string(n) + " - " + std::to_string(n - 2);
        cases.push_back(
            {"adapter, two motors",
             flownRecord(n, true, 2),
             {"     Fly with Adapters:", "         Front Adapter with hole on right\t= rig Points: 3 - 1",
              "         Rear Adapter with hole on left\t= rig Points: " + rear, loads[0], loads[1], loads[2]},
             rear,
             "3 - 1"});
    }
    TMechanicalData out = flownRecord(6, true, 2);
    out.GravityCenterOutOfRange = true;
    out.FlyingPoint = -1;
    out.FrontPickupLoad = out.RearPickupLoad = 0.0;
    cases.push_back({"out of range", out, {"     Center of Gravity is out of range!!!"}, "-", "-"});
    TMechanicalData standing = flownRecord(4, false, 1);
    standing.Stacked = true;
    standing.FlyingPoint = 0;
    standing.FrontPickupLoad = standing.RearPickupLoad = 0.0;
    cases.push_back({"stack standing", standing, {}, "-", "-"});
    TMechanicalData tipping = standing;
    tipping.GravityCenterOutOfRange = true;
    cases.push_back({"stack tipping", tipping, {"     Center of Gravity is out of range!!!"}, "-", "-"});

    const TUnits metric = UnitSystemOf(true);
    for (const Case& c : cases) {
        TMechanicsMemoInput in;
        in.Data = &c.data;
        const TMechanicsMemo m = MechanicsMemo(in, metric, {});
        EXPECT_EQ(pickPointLines(m), c.lines) << c.name << " " << c.data.NPickPoints;
        EXPECT_EQ(m.FlyPointLabelVisible ? m.FlyPointLabel : "-", c.fly)
            << c.name << " " << c.data.NPickPoints;
        EXPECT_EQ(m.FrontPointLabelVisible ? m.FrontPointLabel : "-", c.front) << c.name;
        EXPECT_EQ(std::count(m.Warnings.begin(), m.Warnings.end(),
                             "Gravity Center is out of range. The Array will go down"),
                  c.data.GravityCenterOutOfRange ? 1 : 0)
            << c.name;
    }
}

struct MemoFixture : DocumentsFixture {
    TCabArray* array(const char* Frame, int Count, TArrayMounting Mounting = TArrayMounting::qzaFlown) {
        f.project->AddArray(std::make_unique<TCabArray>(&f.medium, f.project.get()));
        TCabArray* a = f.project->CabArrays().back().get();
        a->SetNumberID(f.project->NCabArrays());
        a->SetMountingType(Mounting);
        if (Frame != nullptr) {
            a->AddFrame(library->GetFrameModelByName(Frame, false));
        }
        for (int i = 0; i < Count; ++i) {
            a->AddCabinet(library->GetCabModelByName("WA8", "", "", false), true);
        }
        a->SetPositionsInsideArray();
        return a;
    }
};

// A real array, whole: every figure is the record's, in the units and with the separator shown; the
// cable's weight is printed whether or not it is included, and included it adds to the total.
TEST_F(MemoFixture, WholeMemoOfAnArrayInTheUnitsShown) {
    TCabArray* a = array("WA-Frame", 3);
    a->SetPosition({0.0f, -8.0f, 0.0f});
    a->SetCableWeightPerMeter(2.5);
    a->SetNMotors(2);
    a->RecalcMechanics();
    const TMechanicalData& d = a->MechanicalData();
    ASSERT_TRUE(d.RigFrameExists);
    ASSERT_FALSE(d.GravityCenterOutOfRange);
    EXPECT_NEAR(d.FrontPickupLoad + d.RearPickupLoad, d.TotalWeight, 1e-9);

    const TMechanicsMemo m = MechanicsMemo(MechanicsMemoInputOf(*a), UnitSystemOf(true), {});
    const std::string rule(72, '_');
    const std::vector<std::string> expected = {
        "  Cluster Name\t\t=  XXXXXXXX",
        "  Cluster Top Origin\t= 8.00 m",
        "  Array Weight\t\t= 180.0 kg",
        "  Aproximated Cable Weight\t= 20.0 kg",
        "  Total Weight\t\t= 230.0 kg",
        rule,
        "CLUSTER DIMMENSION",
        "     Height\t= 1.00 m",
        "     Width\t= 0.70 m",
        "     Depth\t= 0.60 m",
        rule,
        "MAXIMUM EXTENT",
        "     Most Top Point\t= 8.00 m",
        "     Most Bottom Point\t= 7.00 m",
        rule,
        "RIGGING FRAME",
        "     Frame Tilt\t= 0.00\u00BA",
        "     Frame Length\t= 0.70 m",
        "     Frame Weight\t= 50.0 kg",
        "     Max Supported Weight\t= 500.0 kg",
        rule,
        "PICK POINTS",
        "     Fly from Rigging Points:",
        "          Front Point\t= 1",
        "          Rear Point\t= 6",
        "",
        "     Load on Front Pickup\t= 115.0 kg",
        "     Load on Rear Pickup\t= 115.0 kg",
        rule,
        "CENTER OF GRAVITY",
        "     X\t= -0.30 m",
        "     Y\t= 0.04 m",
        "     Z\t= 7.55 m",
        rule,
        "CLUSTER ELEMENTS",
        "    1\t= Frame :   WA-Frame\t  |  Absolute angle: 0.0\u00BA",
        "    2\t= Cabinet 1:   WA8\t  |  Ang: 0.0\u00BA  |  Abs: 0.0\u00BA",
        "    3\t= Cabinet 2:   WA8\t  |  Ang: 0.0\u00BA  |  Abs: 0.0\u00BA",
        "    4\t= Cabinet 3:   WA8\t  |  Ang: 0.0\u00BA  |  Abs: 0.0\u00BA",
    };
    EXPECT_EQ(m.Lines, expected);
    EXPECT_TRUE(m.Warnings.empty());
    EXPECT_EQ(m.TopPointLabel, "8.00 m");
    EXPECT_EQ(m.BottomPointLabel, "7.00 m");

    // Included, the 20 kg of cable hang from the last pick point: the total grows, the cable line stays.
    a->SetIncludeCableInCalculation(true);
    a->RecalcMechanics();
    EXPECT_NEAR(d.TotalWeight, 250.0, 1e-9);
    EXPECT_NEAR(d.FrontPickupLoad + d.RearPickupLoad, d.TotalWeight, 1e-9);
    EXPECT_GT(d.RearPickupLoad, d.FrontPickupLoad);

    const TMechanicsMemo feet = MechanicsMemo(MechanicsMemoInputOf(*a), UnitSystemOf(false), {','});
    EXPECT_EQ(feet.Lines[1], "  Cluster Top Origin\t= 26,25 ft");
    EXPECT_EQ(feet.Lines[3], "  Aproximated Cable Weight\t= 44,1 lbs");
    EXPECT_EQ(feet.Lines[4], "  Total Weight\t\t= 551,2 lbs");
    EXPECT_EQ(feet.Lines[16], "     Frame Tilt\t= 0,00\u00BA");
    EXPECT_EQ(feet.BottomPointLabel, "22,97 ft");
    EXPECT_EQ(CableWeightPoundsText(2.5, {}), "kg (5.51 lbs)");
}

// Without a frame: no weight against a rating, no frame rows, the "NO Rigging Frame" lines; a spacer
// takes no number, a frame after it takes one and prints nothing, a frame after a cabinet is an
// adapter.
TEST(MechanicsMemo, ArrayWithoutAFrameAndTheElementList) {
    TMechanicalData d;
    d.TotalWeight = 120.0;
    TMechanicsMemoInput in;
    in.Data = &d;
    using K = TMechanicsMemoElement::TKind;
    in.Elements = {{K::Cabinet, 1, "WA8", 0.0, 0.0},
                   {K::Adapter, 0, "WA-Adapter", 0.0, -2.0},
                   {K::Counted, 0, "WA-Adapter", 0.0, 0.0},
                   {K::Cabinet, 2, "WA8", -4.0, -6.0}};
    const TMechanicsMemo m = MechanicsMemo(in, UnitSystemOf(true), {});
    EXPECT_EQ(std::count_if(m.Lines.begin(), m.Lines.end(),
                            [](const std::string& l) {
                                return l.starts_with("  Array Weight") || l.starts_with("     Frame");
                            }),
              0);
    const auto at = std::find(m.Lines.begin(), m.Lines.end(), "RIGGING FRAME");
    ASSERT_NE(at, m.Lines.end());
    EXPECT_EQ(*(at + 1), "     NO Rigging Frame in the cluster !!!!!");
    EXPECT_EQ(std::find(m.Lines.begin(), m.Lines.end(), "PICK POINTS"), m.Lines.end());
    const std::vector<std::string> tail(m.Lines.end() - 3, m.Lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "    1\t= Cabinet 1:   WA8\t  |  Ang: 0.0\u00BA  |  Abs: 0.0\u00BA",
                        "    2\t= Adapter :   WA-Adapter\t  |  Absolute angle: 2.0\u00BA",
                        "    4\t= Cabinet 2:   WA8\t  |  Ang: 4.0\u00BA  |  Abs: 6.0\u00BA",
                    }));
}

// Below, at and above the frame's rating: the suffix, the warning box, the record's flag and the
// panel's warning agree, and a load equal to the rating is within it.
TEST_F(MemoFixture, RatingOfTheFrame) {
    TCabArray* a = array("WA-Frame", 3);
    a->SetPosition({0.0f, -8.0f, 0.0f});
    TRigFrameModel* frame = library->GetFrameModelByName("WA-Frame", false);
    const double load = 180.0;
    for (const double rating : {load + 0.1, load, load - 0.1}) {
        frame->SetMaxSupportWeight(rating);
        a->RecalcMechanics();
        const TMechanicalData& d = a->MechanicalData();
        ASSERT_DOUBLE_EQ(d.FrameLoad, load);
        const bool exceeded = rating < load;
        EXPECT_EQ(d.WeightExceded, exceeded) << rating;
        const TMechanicsMemo m = MechanicsMemo(MechanicsMemoInputOf(*a), UnitSystemOf(true), {});
        EXPECT_EQ(m.Lines[2],
                  std::string("  Array Weight\t\t= 180.0 kg") + (exceeded ? " Maximum Exceeded !!!!!!" : ""))
            << rating;
        EXPECT_EQ(m.Warnings.size(), exceeded ? 1u : 0u) << rating;
        EXPECT_EQ(ArrayWarningText(d).find("Maximum weight is exceeded.") != std::string::npos, exceeded)
            << rating;
    }
}

} // namespace
} // namespace vendrel
