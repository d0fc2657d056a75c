#include "editor/auto_splay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/rigging_frame.h"
#include "documents_fixture.h"

namespace vendrel {
namespace {

using testing::DocumentsFixture;

TEST(AutoSplayShares, WholeCabinetsNeverMoreThanTheArrayHolds) {
    struct Case {
        const char* name;
        std::vector<double> weights;
        int32_t N;
        std::vector<int32_t> shares;
    };
    const Case cases[] = {
        {"0.3 and 0.7 of 8", {3, 7}, 8, {2, 6}},
        {"three equal zones, 5 cabinets", {1, 1, 1}, 5, {2, 2, 1}},
        {"a half rounds to even", {1, 1}, 3, {2, 1}},
        {"a share that rounds to nothing", {1, 20}, 8, {0, 8}},
        {"zones that weigh nothing share alike", {0, 0}, 4, {2, 2}},
        {"one cabinet", {5}, 1, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShareCabinets(c.weights, c.N), c.shares);
    }
}

// Flown arrays of the sample series 8 m above a floor, aimed along the scene's X axis.
struct AutoSplayFixture : DocumentsFixture {
    std::unique_ptr<TAutoSplay> splay;
    std::vector<std::pair<TCabinet*, int>> chosen;

    AutoSplayFixture() {
        splay = std::make_unique<TAutoSplay>(*f.project, f.state());
        splay->OnSplayChosen = [this](TCabinet& c, int i) { chosen.emplace_back(&c, i); };
    }
    TCabModel* cab(const char* name) const { return library->GetCabModelByName(name, "", "", false); }
    TCabArray* flown(int n, bool subOnTop = false, TArrayMounting mounting = TArrayMounting::qzaFlown) {
        f.project->AddArray(std::make_unique<TCabArray>(&f.medium, f.project.get()));
        TCabArray* a = f.project->CabArrays().back().get();
        a->SetNumberID(f.project->NCabArrays());
        a->SetName("Main");
        a->SetMountingType(mounting);
        a->AddFrame(library->GetFrameModelByName("WA-Frame", false));
        if (subOnTop) {
            a->AddCabinet(cab("WB12"), true);
        }
        for (int i = 0; i < n; ++i) {
            a->AddCabinet(cab("WA8"), true);
        }
        a->SetPositionsInsideArray();
        a->SetPosition({0, -8, 0});
        return a;
    }
    // A floor at height 0 (its listening plane above it), X from X0 to X0 + Length, 20 m across.
    TMappingZone* floor(float X0, float Length) {
        return f.editor->Adding.AddNewMappingZone("Floor", {X0, 0, 0}, {0, 0, 0}, Length, 20, 0.125, false,
                                                  TSurfaceType::qzaRectangle, true,
                                                  f.editor->Layers.GlobalLayer, {});
    }
    std::vector<float> splays(const TCabArray& a) const {
        std::vector<float> out;
        for (const TCabinet* c : a.CabinetList()) {
            out.push_back(c->RotationAngle().Z);
        }
        return out;
    }
};

// The array's cabinets share one floor out from its far end to its near end: every axis meets the
// floor, farther for the upper cabinets, each within half a splay step of its share of the stretch
// the sweep covered.
TEST_F(AutoSplayFixture, EveryCabinetMeetsItsShareOfTheZone) {
    TCabArray* a = flown(8);
    TMappingZone* zone = floor(5, 40);
    f.boxes.shown.clear();
    splay->AutoSplayArray(*a, {zone});
    EXPECT_TRUE(f.boxes.shown.empty());
    ASSERT_EQ(chosen.size(), 8u);

    // The stretch the sweep covers runs from the floor's far edge (45 m) to its near edge (5 m): eight
    // targets 5 m apart from the far edge on. Seen from each cabinet's acoustic centre, its axis
    // points at its target within half a step of its splay table, and half a step of the sweep's
    // tilt, which places the ends.
    for (size_t k = 0; k < a->CabinetList().size(); ++k) {
        SCOPED_TRACE(k);
        const TCabinet& c = *a->CabinetList()[k];
        const TCabModel& m = *c.Model();
        TPoint3D local, hit;
        ASSERT_TRUE(splay->CabinetRayIntersectInZone(c, *zone, local, hit));
        const TPoint3D centre = c.LocalToAbsolute3D(
            {float(m.AcousticCenterXm()), float(-m.AcousticCenterYm()), float(m.AcousticCenterZm())});
        const TPoint3D target{45.0f - 5.0f * static_cast<float>(k), hit.Y, hit.Z};
        const auto down = [&](const TPoint3D& p) {
            return std::atan2(double(p.Y) - centre.Y, double(p.X) - centre.X) * 180.0 / 3.141592653589793;
        };
        // The splay tables step by 1 degree up to 6, then by 2.
        const double step = std::abs(c.RotationAngle().Z) > 6.0f ? 2.0 : 1.0;
        EXPECT_NEAR(down(hit), down(target), step / 2 + 0.5 + 1e-3) << hit.X;
    }
}

TEST_F(AutoSplayFixture, RefusalsLeaveTheArrayAsItWas) {
    TCabArray* a = flown(4);
    a->CabinetList()[0]->SetRotationAngleZ(2.0f);
    a->SetTilt(3.0);
    const std::vector<float> before = splays(*a);

    // A zone behind the array: no tilt of the sweep meets it.
    TMappingZone* behind = floor(-60, 20);
    splay->AutoSplayArray(*a, {behind});
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text,
              "AutoSplay: Cannot find any predictable zone in the axis of the array 1 [Main] ");
    EXPECT_EQ(a->Tilt(), 3.0);
    EXPECT_EQ(splays(*a), before);

    f.boxes.shown.clear();
    a->SetIsLocked(true);
    splay->AutoSplayArray(*a, {floor(5, 40)});
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Line Array 1 [Main]  is Locked. Cannot execute AutoSplay function");
    EXPECT_EQ(splays(*a), before);
    EXPECT_TRUE(chosen.empty());
}

// The sweep follows the first line-array cabinet: a sub hung above it keeps its splay and is not
// counted among the cabinets shared out.
TEST_F(AutoSplayFixture, ASubOnTopKeepsItsSplay) {
    TCabArray* a = flown(6, true);
    a->CabinetList()[0]->SetRotationAngleZ(0.0f);
    const float sub = a->CabinetList()[0]->RotationAngle().Z;
    EXPECT_EQ(TAutoSplay::ReferenceCabinet(*a), a->CabinetList()[1]);
    splay->AutoSplayArray(*a, {floor(5, 40)});
    EXPECT_EQ(a->CabinetList()[0]->RotationAngle().Z, sub);
    ASSERT_EQ(chosen.size(), 6u);
    EXPECT_EQ(chosen.front().first, a->CabinetList()[1]);
}

// From the scene menu: every selected flown array, with the same zones; a stack is left alone.
TEST_F(AutoSplayFixture, TheMenuAimsTheSelectedFlownArrays) {
    floor(5, 40);
    TCabArray* one = flown(3);
    TCabArray* stack = flown(3, false, TArrayMounting::qzaStacked);
    TCabArray* two = flown(3);
    for (TCabArray* a : {one, stack, two}) {
        f.state().SelectedObjList.Add(a);
    }
    const std::vector<float> stacked = splays(*stack);
    splay->ArrayAutoSplayActionExecute(true);
    ASSERT_EQ(chosen.size(), 6u);
    EXPECT_EQ(chosen[0].first->MyCabArray(), one);
    EXPECT_EQ(chosen[3].first->MyCabArray(), two);
    EXPECT_EQ(splays(*stack), stacked);

    // No predictable zone at all.
    chosen.clear();
    f.project->MappingZones()[0]->SetMappingSides(TMappingSides::qzaNoSPLMap);
    f.boxes.shown.clear();
    splay->ArrayAutoSplayActionExecute(true);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "AutoSplay: Cannot find any predictable zone.");
    EXPECT_TRUE(chosen.empty());
}

} // namespace
} // namespace vendrel
