#include "acoustics/cab_model.h"

#include <gtest/gtest.h>

#include "acoustics/model_registry.h"
#include "acoustics/physical_space.h"
#include "acoustics/source_point.h"
#include "dsp/dsp_space.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

class CabModelTest : public ::testing::Test {
protected:
    TPhysicalSpace space;
    TAcousticProject* project = nullptr; // models need no project of their own
};

TEST_F(CabModelTest, NewModelHasOneSourceOneSetAndFullOneDegreeDirectivity) {
    TCabModel model(&space, project);
    const auto points = static_cast<size_t>(model.DSPSpace()->NRealFreqPoints());
    EXPECT_EQ(model.NSourcePoints(), 1);
    ASSERT_EQ(model.SourcePoint().size(), 1u);
    EXPECT_EQ(model.SourcePoint()[0]->MyCabinet(), nullptr);
    EXPECT_EQ(model.NPolarSets(), 1);
    ASSERT_EQ(model.PolarProperties().size(), 1u);
    EXPECT_EQ(model.PolarProperties()[0]->Name(), "Measures Set 1");
    EXPECT_EQ(model.PolarProperties()[0]->LowFreqCutoff(), 20);
    EXPECT_EQ(model.PolarProperties()[0]->HiFreqCutoff(), 20000);
    EXPECT_EQ(model.NDSPPresets(), 0);
    EXPECT_EQ(model.DefaultPreset(), 1);
    EXPECT_TRUE(model.UseRealPhase());
    EXPECT_TRUE(model.IsPasive());
    EXPECT_TRUE(model.AllowVertCluster());
    EXPECT_EQ(model.ModelUpdateVersion(), 1);

    EXPECT_EQ(model.PolarResolutionDegrees(), 1);
    EXPECT_EQ(model.NPolarElevSlices(), 180);
    EXPECT_EQ(model.NPolarAzMeasures(), 360);
    ASSERT_EQ(model.PolarData().size(), 1u);
    ASSERT_EQ(model.PolarData()[0].size(), 180u);
    ASSERT_EQ(model.PolarData()[0][179].size(), 360u);
    EXPECT_EQ(model.PolarData()[0][179][359].MagnitudePerFreq.size(), points);
    EXPECT_EQ(model.PolarData()[0][0][0].PhasePerFreq.size(), points);
    EXPECT_NO_THROW(model.CheckPolarLayout());
}

TEST_F(CabModelTest, PolarResolutionSetsTheDirectionCounts) {
    struct Case {
        int32_t resolution;
        int32_t slices;
        int32_t measures;
    };
    const Case cases[] = {{5, 36, 72}, {0, 36, 72} /* ignored */, {10, 18, 36}, {180, 1, 2}};
    TCabModel model(&space, project);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resolution);
        model.SetPolarResolutionDegrees(c.resolution);
        EXPECT_EQ(model.NPolarElevSlices(), c.slices);
        EXPECT_EQ(model.NPolarAzMeasures(), c.measures);
        ASSERT_EQ(model.PolarData()[0].size(), static_cast<size_t>(c.slices));
        EXPECT_EQ(model.PolarData()[0][0].size(), static_cast<size_t>(c.measures));
        EXPECT_NO_THROW(model.CheckPolarLayout());
    }
}

// 7 degrees would give 25 slices and 51 measures: 25 x 7 = 175 leaves angles whose slice index the
// kernel mirrors out of the table. Such a model is refused instead of crashing a later calculation.
TEST_F(CabModelTest, ResolutionThatDoesNotDivideHalfATurnIsRefused) {
    TCabModel model(&space, project);
    model.SetPolarResolutionDegrees(5);
    for (int32_t bad : {7, 11, 360, -5}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(model.SetPolarResolutionDegrees(bad), EPolarLayoutError);
        EXPECT_EQ(model.PolarResolutionDegrees(), 5);
        EXPECT_EQ(model.NPolarElevSlices(), 36);
        EXPECT_EQ(model.NPolarAzMeasures(), 72);
    }
    try {
        model.SetPolarResolutionDegrees(7);
    } catch (const EPolarLayoutError& e) {
        EXPECT_NE(std::string(e.what()).find("7 degrees does not divide 180"), std::string::npos) << e.what();
    }
}

TEST_F(CabModelTest, CountsThatDoNotCoverTheSphereAreReported) {
    TCabModel model(&space, project);
    model.SetPolarResolutionDegrees(10);
    model.SetNPolarElevSlices(17); // a reader that set the counts itself, one slice short
    EXPECT_THROW(model.CheckPolarLayout(), EPolarLayoutError);
    model.SetNPolarElevSlices(18);
    model.SetNPolarAzMeasures(37);
    EXPECT_THROW(model.CheckPolarLayout(), EPolarLayoutError);
    model.SetNPolarAzMeasures(36);
    EXPECT_NO_THROW(model.CheckPolarLayout());
    EXPECT_THROW(model.SetNPolarAzMeasures(-1), ERangeError);
}

TEST_F(CabModelTest, ShrinkingPolarSetsKeepsTheFirstAndGrowingCreatesFreshOnes) {
    TCabModel model(&space, project);
    model.SetPolarResolutionDegrees(30); // keep the tables small
    model.SetNPolarSets(3);
    ASSERT_EQ(model.PolarProperties().size(), 3u);
    EXPECT_EQ(model.PolarProperties()[2]->Name(), "Measures Set 3");
    EXPECT_EQ(model.PolarProperties()[2]->ID(), 2);
    TPolarProperties* set0 = model.PolarProperties()[0].get();
    model.PolarProperties()[1]->SetName("Horn");
    rPolarData direction = model.PolarData()[0][1][2];
    direction.MagnitudePerFreq[0] = 0.75f;
    model.SetPolarPoint(0, 1, 2, std::move(direction));

    model.SetNPolarSets(1);
    ASSERT_EQ(model.PolarProperties().size(), 1u);
    EXPECT_EQ(model.PolarProperties()[0].get(), set0);
    EXPECT_EQ(model.PolarData().size(), 1u);
    EXPECT_EQ(model.PolarData()[0][1][2].MagnitudePerFreq[0], 0.75f);

    model.SetNPolarSets(2);
    ASSERT_EQ(model.PolarProperties().size(), 2u);
    EXPECT_EQ(model.PolarProperties()[1]->Name(), "Measures Set 2");
    EXPECT_EQ(model.PolarData().size(), 2u);
    EXPECT_EQ(model.PolarData()[1][5][11].MagnitudePerFreq.size(),
              static_cast<size_t>(model.DSPSpace()->NRealFreqPoints()));

    model.SetNPolarSets(0); // ignored
    EXPECT_EQ(model.NPolarSets(), 2);
}

TEST_F(CabModelTest, SourcePointsFollowTheirCount) {
    TCabModel model(&space, project);
    TSourcePoint* first = model.SourcePoint()[0].get();
    model.SetNSourcePoints(3);
    ASSERT_EQ(model.SourcePoint().size(), 3u);
    EXPECT_EQ(model.SourcePoint()[0].get(), first);
    EXPECT_EQ(model.SourcePoint()[2]->DSPSpace(), model.DSPSpace());
    model.SetNSourcePoints(0);
    EXPECT_EQ(model.NSourcePoints(), 3);
    model.SetNSourcePoints(2);
    EXPECT_EQ(model.SourcePoint().size(), 2u);
    EXPECT_EQ(model.SourcePoint()[0].get(), first);
}

TEST_F(CabModelTest, PresetsAreNumberedNamedAndListed) {
    TCabModel model(&space, project);
    model.SetNSourcePoints(2);
    TUserPreset* a = model.AddUserPreset();
    TUserPreset* b = model.AddUserPreset();
    EXPECT_EQ(a->NumberID(), 1);
    EXPECT_EQ(b->NumberID(), 2);
    EXPECT_EQ(a->Name(), "No Name 1");
    EXPECT_EQ(b->NSourcePoints(), 2);
    EXPECT_EQ(model.NDSPPresets(), 2);
    b->SetName("Long throw");
    EXPECT_EQ(model.GetInternalPresetNames(), (std::vector<std::string>{"1 : No Name 1", "2 : Long throw"}));

    model.DeleteUserPreset(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(model.GetInternalPresetNames(), (std::vector<std::string>{"2 : Long throw"}));
}

TEST_F(CabModelTest, PresetTransferFunctionsAreSizedPerSource) {
    TCabModel model(&space, project);
    model.SetNSourcePoints(2);
    TUserPreset* preset = model.AddUserPreset();
    preset->EQTransferFunction()[1]->SetResponseLength(0);
    model.GiveLengthToPresetsTransferF();
    EXPECT_EQ(preset->EQTransferFunction()[1]->ResponseMg().size(),
              static_cast<size_t>(model.DSPSpace()->NRealFreqPoints()));
    // A preset with fewer transfer functions than the model has sources is an index error.
    model.SetNSourcePoints(3);
    EXPECT_THROW(model.GiveLengthToPresetsTransferF(), ERangeError);
}

TEST_F(CabModelTest, LevelOfTheLoudestPolarSet) {
    TCabModel model(&space, project);
    model.SetPolarResolutionDegrees(30);
    model.SetNPolarSets(3);
    for (auto& set : model.PolarProperties()) {
        set->SetMaxDbuSPL(-4.0f);
    }
    EXPECT_EQ(model.MaxDbuGlobal(), 0.0f);
    model.PolarProperties()[1]->SetMaxDbuSPL(131.5f);
    EXPECT_EQ(model.MaxDbuGlobal(), 131.5f);
}

TEST_F(CabModelTest, PreviewPositionIsClampedToTheVenue) {
    TCabModel model(&space, project);
    const double length = space.VenueLength();
    const double height = space.VenueHeightVer();
    const double pixel = space.PixelToMeters();
    struct Case {
        double in;
        double out;
    };
    for (const Case c : {Case{length + 50.0, length - 1.0}, Case{-2.0, 0.0}, Case{3.5, 3.5}}) {
        model.SetXm(c.in);
        EXPECT_EQ(model.Xm(), c.out);
        EXPECT_DOUBLE_EQ(model.Xp(), c.out / pixel);
    }
    model.SetYm(2.0);
    EXPECT_DOUBLE_EQ(model.Yp(), height / pixel - 2.0 / pixel); // counted from the top
    model.SetZm(-1.0);
    EXPECT_EQ(model.Zm(), 0.0);
}

TEST_F(CabModelTest, OriginCentresAndPickPointsFollowTheirCounts) {
    TCabModel model(&space, project);
    model.SetNOriginCenters(2);
    EXPECT_EQ(model.OriginCenters().size(), 2u);
    model.SetNOriginCenters(0);
    EXPECT_TRUE(model.OriginCenters().empty());

    TRigFrameModel frame(&space, project);
    EXPECT_EQ(frame.RiggingType(), TRiggingType::qzaFly);
    EXPECT_EQ(frame.ModelUpdateVersion(), 1);
    frame.SetNPickPoints(3);
    EXPECT_EQ(frame.PickPoints().size(), 3u);
}

TEST(PolarPropertiesTest, DefaultsAndNameBySetNumber) {
    TPolarProperties set0(0, 61);
    EXPECT_EQ(set0.Name(), "Measures Set 1");
    EXPECT_EQ(set0.ID(), 0);
    EXPECT_EQ(set0.MaxDbuSPL(), 122.0f);
    EXPECT_EQ(set0.SensitivityOneWOneM(), 95.01f);
    EXPECT_EQ(set0.PowerMax(), 500.0f);
    EXPECT_EQ(set0.FFTStartFreq(), 20);
    EXPECT_EQ(set0.NPeqs(), 0);
    EXPECT_FALSE(set0.PhaseCompensated());
    EXPECT_EQ(TPolarProperties(99, 61).Name(), "Measures Set 100");
}

class ModelRegistryTest : public CabModelTest {};

TEST_F(ModelRegistryTest, ChangingTheCountReplacesEveryModel) {
    TModelsDetected models(&space);
    EXPECT_EQ(models.NModelsDetected(), 0);
    EXPECT_FALSE(models.IsCalculating());
    models.SetNModelsDetected(2);
    ASSERT_EQ(models.CabModel().size(), 2u);
    models.CabModel()[0]->SetModelName("Loaded");
    TCabModel* kept = models.CabModel()[0].get();

    models.SetNModelsDetected(2); // same count: untouched
    EXPECT_EQ(models.CabModel()[0].get(), kept);
    EXPECT_EQ(models.CabModel()[0]->ModelName(), "Loaded");

    models.SetNModelsDetected(3); // even a larger count discards the loaded models
    ASSERT_EQ(models.CabModel().size(), 3u);
    for (const auto& m : models.CabModel()) {
        EXPECT_TRUE(m->ModelName().empty());
        EXPECT_EQ(m->PhysicalSpace(), &space);
    }
    models.SetNModelsDetected(0);
    EXPECT_TRUE(models.CabModel().empty());

    TFramesDetected frames(&space);
    frames.SetNFramesDetected(2);
    frames.FrameModel()[1]->SetModelName("Bumper");
    frames.SetNFramesDetected(1);
    ASSERT_EQ(frames.FrameModel().size(), 1u);
    EXPECT_TRUE(frames.FrameModel()[0]->ModelName().empty());
    EXPECT_THROW(frames.SetNFramesDetected(-1), ERangeError);
}

} // namespace
} // namespace vendrel
