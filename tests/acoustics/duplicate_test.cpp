// Copies of placed objects: where each kind goes for an offset, a mirror across X or Y and a paste, and that
// a copy owns its parts anew while sharing models and processes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/ornament.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "column_fixture.h"
#include "dsp/fir.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::ColumnModel;
using testing::OmniModel;
using testing::QuietProject;

void expectPoint(const TPoint3D& got, double x, double y, double z, const char* what) {
    EXPECT_NEAR(got.X, x, 1e-5) << what;
    EXPECT_NEAR(got.Y, y, 1e-5) << what;
    EXPECT_NEAR(got.Z, z, 1e-5) << what;
}

struct DuplicateFixture : ::testing::Test, QuietProject {
    std::unique_ptr<TCabModel> model = OmniModel(medium, *project, 2, 0.2);
    TGenericDSPProcess* process = nullptr;
    const TPoint3D offset{1.0f, 2.0f, 3.0f}; // metres
    const TPoint3D turn{4.0f, 10.0f, 6.0f};  // degrees

    void SetUp() override {
        // Cabinets of this model turn about a point 0.3 m ahead of and 0.5 m beside their origin.
        model->SetNOriginCenters(1);
        rOriginCenterPoint centre;
        centre.X = 0.3;
        centre.Z = 0.5;
        model->SetOriginCenter(0, centre);
        model->SetDefaultOriginPoint(0);
        model->AddUserPreset()->SetNSourcePoints(2);
        process = project->AddDSPProcess();
    }
};

TEST_F(DuplicateFixture, CabinetCopiesByType) {
    TCabinet* source = project->AddCabinet(model.get(), TPoint3D(1, -2, 2), TPoint3D(5, 30, -10), true,
                                           TCabPlacement::qzaVertical, 0, true);
    source->SetExternalDSPProcess(process);
    ASSERT_NEAR(source->RotationCenter().Z, 0.5, 1e-6);
    struct Case {
        TDuplicationType type;
        TPoint3D position, rotation;
    };
    // Offset and paste: moved (up the scene for +dy), turned back by the offset about Y and Z; mirrored
    // across X: Z = 2 - 2 (2 + 0.5) = -3, the Y turn negated, the offsets ignored; mirrored across Y: X = 1 -
    // 2 (1 + 0.3) = -1.6, the Y turn 180 - 30.
    const std::vector<Case> cases = {
        {TDuplicationType::qzaDupOffset, {2, -4, 5}, {5, 20, -16}},
        {TDuplicationType::qzaPaste, {2, -4, 5}, {5, 20, -16}},
        {TDuplicationType::qzaDupXsym, {1, -2, -3}, {5, -30, -10}},
        {TDuplicationType::qzaDupYsym, {-1.6f, -2, 2}, {5, 150, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TCabinet* copy = project->DuplicateCabinet(*source, offset, turn, c.type);
        ASSERT_NE(copy, source);
        EXPECT_EQ(project->Cabinets().back().get(), copy);
        EXPECT_EQ(copy->NumberID(), project->NCabinets());
        expectPoint(copy->Position(), c.position.X, c.position.Y, c.position.Z, "position");
        EXPECT_NEAR(copy->RotX(), c.rotation.X, 1e-5);
        EXPECT_NEAR(copy->RotationAngle().Y, c.rotation.Y, 1e-5);
        EXPECT_NEAR(copy->RotationAngle().Z, c.rotation.Z, 1e-5);
        // Shared: model, process (which now lists the copy too) and preset; owned anew: its sources.
        EXPECT_EQ(copy->Model(), model.get());
        EXPECT_EQ(copy->ExternalDSPProcess(), process);
        EXPECT_EQ(process->AppliedOn().back(), copy);
        EXPECT_EQ(copy->InternalDSPPreset(), source->InternalDSPPreset());
        EXPECT_TRUE(copy->Active());
        EXPECT_NE(copy->SourcePoints()[0].get(), source->SourcePoints()[0].get());
        EXPECT_EQ(copy->SourcePoints()[0]->MyCabinet(), copy);
    }
    EXPECT_THROW(project->DuplicateCabinet(*source, offset, turn, static_cast<TDuplicationType>(4)),
                 ERangeError);
}

TEST_F(DuplicateFixture, ClusterCopiesByType) {
    auto owned = std::make_unique<TCluster>(&medium, project.get(), model.get(), TCabPlacement::qzaVertical);
    TCluster& source = *owned;
    project->AddCluster(std::move(owned));
    source.SetClusterDistribution(TClusterDistribution::qzaAngular);
    source.SetAngularHAngle(10.0f);
    source.SetQuantityH(3);
    source.SetPosition(TPoint3D(1, -2, 2));
    source.SetRotationAngle(TPoint3D(5, 30, -10));
    source.CabinetList()[2]->SetExternalDSPProcess(process);
    source.CabinetList()[1]->SetHornRotationIndex(1);
    struct Case {
        TDuplicationType type;
        double hAngle, ry;
    };
    // Every type moves the copy by the offset; the Y turn is ay + ry, ay - ry or 180 - ry, the Z turn rz -
    // az; a mirror negates the angle between columns.
    for (const Case& c :
         {Case{TDuplicationType::qzaDupOffset, 10, 40}, Case{TDuplicationType::qzaPaste, 10, 40},
          Case{TDuplicationType::qzaDupXsym, -10, -20}, Case{TDuplicationType::qzaDupYsym, -10, 150}}) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TCluster* copy = project->DuplicateCluster(source, offset, turn, c.type);
        EXPECT_EQ(copy->NumberID(), project->NClusters());
        EXPECT_FLOAT_EQ(copy->AngularHAngle(), static_cast<float>(c.hAngle));
        EXPECT_EQ(copy->ClusterDistribution(), TClusterDistribution::qzaAngular);
        EXPECT_EQ(copy->NCabinets(), 3);
        expectPoint(copy->Position(), 2, -4, 5, "position");
        expectPoint(copy->RotationAngle(), 5, c.ry, -16, "rotation");
        EXPECT_EQ(copy->CabinetList()[2]->ExternalDSPProcess(), process);
        EXPECT_EQ(copy->CabinetList()[1]->HornRotationIndex(), 1);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NE(copy->CabinetList()[i], source.CabinetList()[i]);
            EXPECT_EQ(copy->CabinetList()[i]->MyCluster(), copy);
        }
    }
}

TEST_F(DuplicateFixture, BeamSteeringCopyKeepsEveryBeamSettingWithFiltersOfItsOwn) {
    auto column = ColumnModel(medium, *project, 8, 0.1);
    auto owned =
        std::make_unique<TBeamContainer>(&medium, project.get(), column.get(), TCabPlacement::qzaVertical);
    TBeamContainer& source = *owned;
    project->AddBeamSteering(std::move(owned));
    source.SetQuantityV(2);
    source.SetPosition(TPoint3D(1, -2, 2));
    source.SetRotationAngle(TPoint3D(0, 30, -10));
    for (int i = 0; i < 3; ++i) {
        source.AddSingleBeam();
    }
    source.SingleBeams()[0]->SetAngle(10.0f);
    source.SingleBeams()[0]->SetCurvatureAngle(8.0f);
    source.SingleBeams()[1]->SetAngle(-5.0f);
    source.SingleBeams()[1]->SetLobesOptimize(true);
    source.SingleBeams()[1]->SetCurvatureAngle(4.0f);
    source.SingleBeams()[2]->SetActive(false);

    TBeamContainer* copy = project->DuplicateBeam(source, offset, turn, TDuplicationType::qzaDupXsym);
    EXPECT_EQ(copy->NumberID(), project->NBeamSteerings());
    expectPoint(copy->Position(), 2, -4, 5, "position");
    expectPoint(copy->RotationAngle(), 0, 10 - 30, -16, "rotation");
    ASSERT_EQ(copy->NSingleBeams(), 3);
    for (int32_t b = 0; b < 3; ++b) {
        SCOPED_TRACE(b);
        const TSingleBeam& from = *source.SingleBeams()[static_cast<size_t>(b)];
        const TSingleBeam& to = *copy->SingleBeams()[static_cast<size_t>(b)];
        EXPECT_EQ(to.NumberID(), b);
        EXPECT_EQ(to.Active(), from.Active());
        EXPECT_EQ(to.Angle(), from.Angle());
        EXPECT_EQ(to.CurvatureAngle(), from.CurvatureAngle());
        EXPECT_EQ(to.LobesOptimize(), from.LobesOptimize());
        EXPECT_EQ(to.MyBeamContainer(), copy);
        EXPECT_EQ(to.NSources(), from.NSources());
        // Every cabinet of the copy once, and filters of its own designed the same way.
        EXPECT_EQ(to.CabinetList(), copy->CabinetList());
        ASSERT_EQ(to.FIRprocess().size(), from.FIRprocess().size());
        for (size_t i = 0; i < to.pSourcePoints().size(); ++i) {
            EXPECT_NE(to.FIRprocess()[i].get(), from.FIRprocess()[i].get());
            EXPECT_EQ(to.pSourcePoints()[i]->MyCabinet()->MyCluster(), copy);
            EXPECT_EQ(to.pSourcePoints()[i]->BeamFIRResponsePh(),
                      from.pSourcePoints()[i]->BeamFIRResponsePh());
            EXPECT_EQ(to.pSourcePoints()[i]->Active(), from.Active());
        }
    }
    for (TCabinet* cab : copy->CabinetList()) {
        EXPECT_EQ(cab->SingleBeamList().size(), 3u);
    }
    // The copy stands on its own: the source can go.
    project->RemoveBeamSteering(&source);
    EXPECT_EQ(copy->SingleBeams()[0]->NCabinets(), 2);
}

TEST_F(DuplicateFixture, ArrayCopyRebuildsTheChainAndTakesTheTurnAsTilt) {
    // A cabinet that hangs by 0.4 m hinges, and a frame with 0.1 m between its anchors.
    model->SetHeight(0.4);
    model->SetBackTopRotPointXm(-0.3);
    model->SetBackTopRotPointYm(0.2);
    model->SetBackBotRotPointXm(-0.3);
    model->SetBackBotRotPointYm(-0.2);
    model->SetAllowedAnglesFirstCabFlown({1.0, 2.0});
    model->SetAllowedAnglesFlown({0.0, 3.0});
    TRigFrameModel frame(&medium, project.get());
    frame.SetBackTopAnchorPointXm(-0.4);
    frame.SetBackTopAnchorPointYm(0.05);
    frame.SetBackBotAnchorPointXm(-0.4);
    frame.SetBackBotAnchorPointYm(-0.05);
    auto owned = std::make_unique<TCabArray>(&medium, project.get());
    TCabArray& source = *owned;
    project->AddArray(std::move(owned));
    source.AddFrame(&frame);
    source.AddCabinet(model.get(), true);
    source.AddDummy();
    source.AddCabinet(model.get(), true)->SetRotationAngleZ(3.0f);
    source.CabinetList()[1]->SetExternalDSPProcess(process);
    source.SetTilt(-2.0);
    source.SetNMotors(2);
    source.SetOrientation(TCabPlacement::qzaHorizontal);
    source.SetPosition(TPoint3D(1, -8, 2));

    TCabArray* copy = project->DuplicateArray(source, offset, turn);
    ASSERT_EQ(copy->ArrayList().size(), source.ArrayList().size());
    EXPECT_NE(dynamic_cast<TRiggingFrame*>(copy->ArrayList()[1]), nullptr);
    EXPECT_NE(dynamic_cast<TCabinet*>(copy->ArrayList()[2]), nullptr);
    EXPECT_NE(dynamic_cast<TQzDummy*>(copy->ArrayList()[3]), nullptr);
    EXPECT_NE(dynamic_cast<TCabinet*>(copy->ArrayList()[4]), nullptr);
    EXPECT_EQ(copy->NumberID(), project->NCabArrays());
    expectPoint(copy->Position(), 2, -10, 5, "position");
    EXPECT_NEAR(copy->RotationAngle().Y, -10.0, 1e-5);
    EXPECT_NEAR(copy->Tilt(), -2.0 + 6.0, 1e-9); // az goes to the tilt
    EXPECT_EQ(copy->MechanicalData().NMotors, 2);
    // Laid on its side like its source, and saying so.
    EXPECT_EQ(copy->Orientation(), TCabPlacement::qzaHorizontal);
    EXPECT_FLOAT_EQ(copy->ArrayList()[1]->RotationAngle().X, 90.0f);
    for (size_t i = 0; i < 2; ++i) {
        const TCabinet& from = *source.CabinetList()[i];
        const TCabinet& to = *copy->CabinetList()[i];
        EXPECT_FALSE(to.Active());
        EXPECT_EQ(to.MyCabArray(), copy);
        EXPECT_EQ(to.ExternalDSPProcess(), from.ExternalDSPProcess());
        EXPECT_NEAR(to.RotationAngle().Z, from.RotationAngle().Z, 1e-5);
    }
    EXPECT_EQ(copy->Name(), "No Name");
}

TEST_F(DuplicateFixture, OrnamentCopyMovesDownTheSceneAndKeepsItsSize) {
    TOrnaModel truss(&medium, project.get());
    truss.SetModelName("Truss");
    TOrnament* source = project->AddOrnament(&truss, {1, -2, 2}, {5, 30, -10}, false);
    source->SetName("Front truss");
    source->SetWidth(6.0f);
    source->SetHeight(0.3f);
    TOrnament* copy = project->DuplicateOrnament(*source, offset, turn);
    expectPoint(copy->Position(), 2, 0, 5, "position");
    expectPoint(copy->RotationAngle(), 9, 20, -4, "rotation");
    EXPECT_EQ(copy->Name(), "Front truss");
    EXPECT_FLOAT_EQ(copy->Width(), 6.0f);
    EXPECT_FLOAT_EQ(copy->Height(), 0.3f);
    EXPECT_EQ(copy->NumberID(), 2);
}

} // namespace
} // namespace vendrel
