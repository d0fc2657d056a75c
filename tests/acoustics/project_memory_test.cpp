#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/geometry3d.h"

#include <gtest/gtest.h>

using namespace vendrel;

namespace {

// A project with one 20 m x 10 m zone and the budget (MB of available memory) injected.
struct BudgetFixture : ::testing::Test {
    RecordingMessageBox box;
    double availableMB = 1e6;
    TScopedMessageBoxService boxGuard{&box};
    TScopedMemoryFiguresSource figures{[this](double& i, double& a, double& u) {
        i = 2 * availableMB;
        a = availableMB;
        u = availableMB;
        return true;
    }};
    TPhysicalSpace medium;
    TAcousticProject project{&medium};

    void SetUp() override {
        project.SetMemMinGuaranteed(0);
        TMappingZone::Create(&medium, &project, "Zone", TPoint3D(0, 0, 0), TPoint3D(0, 0, 0), 20, 10, 0.1f,
                             false, TSurfaceType::qzaRectangle, 0xFF000000, true);
        box.shown.clear();
    }
};

} // namespace

TEST_F(BudgetFixture, PlentyOfMemoryStoresTheRequestedSizeWithoutMessages) {
    EXPECT_FALSE(project.CheckMemoryOnImportZones(0.1));
    EXPECT_EQ(medium.PixelToMeters(), 0.1);
    EXPECT_FALSE(project.CheckMemoryForNCabinets(0.2, 3));
    EXPECT_EQ(medium.PixelToMeters(), 0.2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(BudgetFixture, ResolutionGrowthThatDoesNotFitStepsBackOnce) {
    project.CheckMemoryOnImportZones(0.1);
    const double ini = 10.0; // MB of all maps at the current size
    availableMB = 5;         // growth to 0.05 m is 3 * ini = 30 MB
    EXPECT_TRUE(project.CheckMemoryOnChangeResolution(ini, 0.05));
    EXPECT_EQ(medium.PixelToMeters(), 0.1);
    EXPECT_EQ(project.RenderQuality(), TRenderQuality::qzaHigh);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Not enough memory available. Render resolution will be decreased.");
    EXPECT_FALSE(project.IsCheckingMemory());
}

TEST_F(BudgetFixture, CabinetsThatNeverFitEndAtTwoMetresWithBothMessages) {
    project.CheckMemoryOnImportZones(1.0);
    availableMB = 1e-9;
    EXPECT_TRUE(project.CheckMemoryForNCabinets(1.0, 4));
    EXPECT_EQ(medium.PixelToMeters(), 2.0);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].type, TMsgDlgType::mtInformation);
    EXPECT_EQ(box.shown[1].type, TMsgDlgType::mtWarning);
}

TEST_F(BudgetFixture, ChecksDoNothingWhileEventsAreOff) {
    project.CheckMemoryOnImportZones(0.1);
    project.SetEventsEnabled(false);
    availableMB = 1e-9;
    EXPECT_FALSE(project.CheckMemoryForNCabinets(0.05, 4));
    EXPECT_FALSE(project.CheckMemoryOnChangeResolution(10, 0.05));
    EXPECT_EQ(medium.PixelToMeters(), 0.1);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(BudgetFixture, ImportEstimateIsRecomputedAtEachSize) {
    // The zone's maps fit only at 1 m; the estimate at each step is the real one at that size, so
    // the ladder stops at the first size that fits instead of overshooting.
    const double at1m = project.CalcMemoryInAllMaps(1.0);
    const double at05 = project.CalcMemoryInAllMaps(0.5);
    availableMB = (at1m + at05) / 2;
    EXPECT_TRUE(project.CheckMemoryOnImportZones(0.1));
    EXPECT_EQ(medium.PixelToMeters(), 1.0);
}
