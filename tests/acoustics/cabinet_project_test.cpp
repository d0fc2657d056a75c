#include "acoustics/cabinet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "acoustics/cab_model.h"
#include "acoustics/dsp_process.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "acoustics/zone_data.h"
#include "model_fixture.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

class CabinetInProjectTest : public ::testing::Test {
protected:
    CabinetInProjectTest() {
        f.medium.StorePixelToMeters(0.5);
        model.SetPolarResolutionDegrees(30);
    }

    std::unique_ptr<TCabinet> place(const TPoint3D& position, const TPoint3D& rotation = {}) {
        return std::make_unique<TCabinet>(&f.medium, &model, f.project.get(), position, rotation, false,
                                          TCabPlacement::qzaVertical, true, f.project->BypassProcess(), 1);
    }

    TMappingZone& addZone(const TPoint3D& begin, float width, float depth) {
        return *TMappingZone::Create(&f.medium, f.project.get(), "Zone", begin, TPoint3D(), width, depth,
                                     0.1f, false, TSurfaceType::qzaRectangle, f.project->ZoneCreationColor(),
                                     true);
    }

    ModelFixture f;
    TCabModel model{&f.medium, f.project.get()};
};

// Heights are counted upwards everywhere the map kernel looks: a cabinet 6 m up (scene Y -6) above a
// zone whose top face is 1.1 m up is 4.9 m from the pixel straight below it. A sign slip on either
// side would put it 7.1 m or more away.
TEST_F(CabinetInProjectTest, SourceStraightAboveAZonePixelIsItsHeightAway) {
    for (size_t e = 0; e < model.PolarData()[0].size(); ++e) {
        for (size_t a = 0; a < model.PolarData()[0][e].size(); ++a) {
            rPolarData direction = model.PolarData()[0][e][a];
            std::fill(direction.MagnitudePerFreq.begin(), direction.MagnitudePerFreq.end(), 1.0f); // omni
            model.SetPolarPoint(0, e, a, std::move(direction));
        }
    }
    f.medium.SetAirLoss(false);
    // Begin corner (1 m, 1 m up, 3 m), 4 x 4 m, 0.1 m thick, listening on its top face.
    TMappingZone& zone = addZone({1.0f, 1.0f, 3.0f}, 4.0f, 4.0f);
    zone.SetListenLevel(0.0f);
    ASSERT_EQ(zone.WidthPixels(), 8);
    ASSERT_EQ(zone.DepthPixels(), 8);
    // Pixel (2, 3) of the zone: its centre is 4.5 pixels along X and, the kernel running its depth
    // rows from the far side, 6.5 pixels along Z.
    auto cab = place({2.25f, -6.0f, 3.25f});
    EXPECT_DOUBLE_EQ(cab->YpixAbs(), 12.0);
    ASSERT_EQ(cab->MapData().size(), 1u);
    ASSERT_TRUE(cab->GetMap3D(-1, 0));

    const TZoneData& data = *cab->MapData()[0];
    const double height = 6.0 - 1.1;
    auto amplitude = [&](int w, int l) {
        return std::hypot(double(data.MapRealFreq().At(0, w, l)), double(data.MapImagFreq().At(0, w, l)));
    };
    EXPECT_NEAR(amplitude(2, 3), 1.0 / height, 1e-5);
    EXPECT_NEAR(amplitude(3, 3), 1.0 / std::hypot(height, 0.5), 1e-5);
    EXPECT_NEAR(amplitude(2, 5), 1.0 / std::hypot(height, 1.0), 1e-5);
    for (int w = 0; w < 8; ++w) {
        for (int l = 0; l < 8; ++l) {
            EXPECT_LE(amplitude(w, l), amplitude(2, 3) + 1e-7) << w << "," << l;
        }
    }
}

TEST_F(CabinetInProjectTest, StateRequestWhileAbortedIsStoredWithoutStartingTheThread) {
    addZone({0.0f, 0.0f, 0.0f}, 2.0f, 2.0f);
    auto cab = place({1.0f, -3.0f, 1.0f});
    ASSERT_EQ(cab->MapState(), TCalcState::qzaCalculated);
    f.project->SetForceCalculation(true);
    f.project->SetAbortCalculation(true);
    cab->SetMapState(TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(cab->MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_FALSE(cab->HasMapThread());

    // With the project's events off nothing is stored at all.
    f.project->SetEventsEnabled(false);
    cab->SetMapState(TCalcState::qzaCalculated);
    EXPECT_EQ(cab->MapState(), TCalcState::qzaNeedsCalculate);
}

TEST_F(CabinetInProjectTest, InvalidatingOneZoneTouchesOnlyItsBuffer) {
    for (int i = 0; i < 3; ++i) {
        addZone({0.0f, 0.0f, 4.0f * i}, 2.0f, 2.0f);
    }
    auto cab = place({1.0f, -3.0f, 1.0f});
    ASSERT_EQ(cab->MapData().size(), 3u);
    for (auto& data : cab->MapData()) {
        data->SetZoneCalculated(true);
    }
    cab->NeedsReCalculateMapInZone(2);
    EXPECT_EQ(cab->MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_TRUE(cab->MapData()[0]->ZoneCalculated());
    EXPECT_TRUE(cab->MapData()[1]->ZoneCalculated());
    EXPECT_FALSE(cab->MapData()[2]->ZoneCalculated());

    // Already waiting for a calculation: the buffers are left as they are.
    cab->MapData()[2]->SetZoneCalculated(true);
    cab->NeedsReCalculateMapInZone(2);
    EXPECT_TRUE(cab->MapData()[2]->ZoneCalculated());
    EXPECT_THROW(
        {
            cab->StoreMapState(TCalcState::qzaCalculated);
            cab->NeedsReCalculateMapInZone(3);
        },
        ERangeError);
}

TEST_F(CabinetInProjectTest, UserProcessListsTheCabinetsItIsAppliedOn) {
    TGenericDSPProcess* bypass = f.project->BypassProcess();
    TGenericDSPProcess user(f.project->DSPSpace48k(), f.project.get());
    auto cab = place({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(cab->ExternalDSPProcess(), bypass);

    cab->SetExternalDSPProcess(bypass);
    EXPECT_TRUE(bypass->AppliedOn().empty());
    cab->SetExternalDSPProcess(&user);
    cab->SetExternalDSPProcess(&user);
    EXPECT_EQ(user.AppliedOn(), std::vector<TCabinet*>{cab.get()});
    EXPECT_TRUE(bypass->AppliedOn().empty());
    cab->SetExternalDSPProcess(bypass);
    EXPECT_TRUE(user.AppliedOn().empty());
    EXPECT_TRUE(bypass->AppliedOn().empty());
}

TEST_F(CabinetInProjectTest, JointsTurnAboutXAndYOnlyWithEventsExceptThePivot) {
    f.project->SetEventsEnabled(false);
    TQzDummy dummy(&f.medium, f.project.get());
    TRiggingFrame frame(&f.medium, nullptr, f.project.get());
    TDummySource pivot(&f.medium, f.project.get());
    for (RiggingJoint* joint : std::initializer_list<RiggingJoint*>{&dummy, &frame, &pivot}) {
        joint->SetRotationAngleX(30.0f);
        joint->SetRotationAngleY(-20.0f);
        joint->SetRotationAngleZ(10.0f);
    }
    EXPECT_EQ(dummy.RelativeRotationRadX(), 0.0);
    EXPECT_EQ(dummy.RelativeRotationRadY(), 0.0);
    EXPECT_EQ(frame.RelativeRotationRadX(), 0.0);
    EXPECT_NEAR(dummy.RelativeRotationRadZ(), 10.0 * kDegToRad, 1e-6); // Z turns always
    EXPECT_NEAR(pivot.RelativeRotationRadX(), 30.0 * kDegToRad, 1e-6);
    EXPECT_NEAR(pivot.RelativeRotationRadY(), -20.0 * kDegToRad, 1e-6);
    EXPECT_FALSE(f.project->EventsEnabled()); // the joints' resets put the flag back as it was
}

// The map thread reads the cabinet's source points: a new model must not free them under a running
// pass (the address sanitizer build sees it when it happens).
TEST_F(CabinetInProjectTest, NewModelDuringACalculationEndsThePassFirst) {
    addZone({0.0f, 0.0f, 0.0f}, 40.0f, 40.0f);
    model.SetNSourcePoints(4);
    auto cab = place({1.0f, -3.0f, 1.0f});
    f.project->SetForceCalculation(true);
    cab->SetMapState(TCalcState::qzaNeedsCalculate);
    ASSERT_TRUE(cab->HasMapThread());
    TCabModel other(&f.medium, f.project.get());
    other.SetPolarResolutionDegrees(30);
    cab->SetModel(&other);
    EXPECT_EQ(cab->SourcePoints().size(), 1u);
    cab->FreeMapThread();
    // The finished pass queued its reports for the user-interface thread; they run while the cabinet
    // still exists.
    f.ui.Pump();
    f.project->StopAllMapsThreadAndWait();
}

// A zone drawn the way the view draws it: its drawn object holds a holder that holds the mapped
// surface, here a thin plate turned about Z with the holder.
struct DrawnZone {
    DrawnZone(TMappingZone& zone, const TPoint3D& centre, float tiltDeg, float width, float depth) {
        holder.SetParent(&drawn);
        surface.SetParent(&holder);
        holder.SetPosition(centre);
        holder.SetRotationAngleZ(tiltDeg);
        surface.SetWidth(width);
        surface.SetHeight(0.0002f);
        surface.SetDepth(depth);
        zone.GraphicalObject = &drawn;
    }
    TDummy drawn;
    TDummy holder;
    TControl3D surface;
};

// The aiming axis of a cabinet 5 m up, tilted 30 degrees down, meets a floor plate through the origin
// turned by a about Z where n . (s + t d) = 0, n = (0, 1, 0) x RotZ(a) = (-sin a, cos a, 0).
TEST_F(CabinetInProjectTest, ThrowLineKeepsTheFarthestHitOnMappedZones) {
    TMappingZone& floorZone = addZone({0.0f, 0.0f, 0.0f}, 2.0f, 2.0f);
    TMappingZone& wallZone = addZone({0.0f, 0.0f, 4.0f}, 2.0f, 2.0f);
    const float tilt = -10.0f;
    DrawnZone floor(floorZone, {0.0f, 0.0f, 0.0f}, tilt, 60.0f, 60.0f);
    DrawnZone wall(wallZone, {3.0f, -3.0f, 0.0f}, 90.0f, 20.0f, 20.0f); // upright at x = 3
    auto cab = place({0.0f, -5.0f, 0.0f}, {0.0f, 0.0f, 30.0f});

    const double e = 30.0 * kDegToRad, a = tilt * kDegToRad;
    const double sy = -5.0, dx = std::cos(e), dy = std::sin(e);
    const double t = -(std::cos(a) * sy) / (-std::sin(a) * dx + std::cos(a) * dy);
    cab->CalcHitPoint();
    ASSERT_EQ(cab->HitPointZoneThrow(), &floorZone); // farther than the wall
    EXPECT_NEAR(cab->HitPointLocalThrow().X, t, 1e-3);
    EXPECT_NEAR(cab->HitPointLocalThrow().Y, 0.0, 1e-3);
    EXPECT_NEAR(cab->HitPointAbsThrow().X, t * dx, 1e-3);
    EXPECT_NEAR(cab->HitPointAbsThrow().Y, sy + t * dy, 1e-3);

    // A zone without a level map is never hit: the nearer wall wins.
    floorZone.SetMappingSides(TMappingSides::qzaNoSPLMap);
    cab->CalcHitPoint();
    ASSERT_EQ(cab->HitPointZoneThrow(), &wallZone);
    EXPECT_NEAR(cab->HitPointLocalThrow().X, 3.0 / dx, 1e-3);

    // A hit 1 cm in front of the cabinet counts; one within 1 mm does not.
    wall.holder.SetPosition({static_cast<float>(0.01 * dx), static_cast<float>(-5.0 + 0.01 * dy), 0.0f});
    cab->CalcHitPoint();
    ASSERT_EQ(cab->HitPointZoneThrow(), &wallZone);
    EXPECT_NEAR(cab->HitPointLocalThrow().X, 0.01, 1e-3);
    wall.holder.SetPosition({static_cast<float>(0.0005 * dx), static_cast<float>(-5.0 + 0.0005 * dy), 0.0f});
    cab->CalcHitPoint();
    EXPECT_EQ(cab->HitPointZoneThrow(), nullptr);
    EXPECT_EQ(cab->HitPointAbsThrow().X, 0.0f);

    // Nothing is recomputed while the project holds hit points back.
    floorZone.SetMappingSides(TMappingSides::qzaSPLOneSide);
    f.project->SetCalcHitPointEnabled(false);
    cab->CalcHitPoint();
    EXPECT_EQ(cab->HitPointZoneThrow(), nullptr);
    floorZone.GraphicalObject = nullptr;
    wallZone.GraphicalObject = nullptr;
}

TEST_F(CabinetInProjectTest, AddingAPresetLeavesABreadcrumb) {
    model.AddUserPreset();
    EXPECT_EQ(f.project->LastLogString(), "-----------------------CabModel.AddUseProcess");
}

} // namespace
} // namespace vendrel
