#include "acoustics/user_preset.h"

#include <gtest/gtest.h>

#include <limits>

#include "dsp/dsp_space.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

class UserPresetTest : public ::testing::Test {
protected:
    TDSPSpace grid;
};

TEST_F(UserPresetTest, NewTransferFunctionIsFlatZeroOnTheGrid) {
    TTransferFunctionProcess tf(&grid);
    const auto n = static_cast<size_t>(grid.NRealFreqPoints());
    ASSERT_GT(n, 0u);
    EXPECT_EQ(tf.ResponseMg(), std::vector<double>(n, 0.0));
    EXPECT_EQ(tf.ResponsePhRad(), std::vector<double>(n, 0.0));
    EXPECT_EQ(tf.LinReferenceSpl(), 1.0);
    EXPECT_EQ(tf.DelaySamples(), 0);
    EXPECT_FALSE(tf.IsLoaded());
}

TEST_F(UserPresetTest, GrowingKeepsExistingTransferFunctionsAndShrinkingDropsTheLast) {
    TUserPreset preset(&grid);
    EXPECT_TRUE(preset.Name().empty());
    EXPECT_TRUE(preset.Info().empty());
    preset.SetNSourcePoints(2);
    preset.EQTransferFunction()[0]->SetLinReferenceSpl(2.5);
    preset.EQTransferFunction()[1]->SetDelaySamples(7);
    TTransferFunctionProcess* first = preset.EQTransferFunction()[0].get();

    preset.SetNSourcePoints(4);
    ASSERT_EQ(preset.NSourcePoints(), 4);
    ASSERT_EQ(preset.EQTransferFunction().size(), 4u);
    EXPECT_EQ(preset.EQTransferFunction()[0].get(), first);
    EXPECT_EQ(preset.EQTransferFunction()[0]->LinReferenceSpl(), 2.5);
    EXPECT_EQ(preset.EQTransferFunction()[1]->DelaySamples(), 7);
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(preset.EQTransferFunction()[i]->LinReferenceSpl(), 1.0);
        EXPECT_EQ(preset.EQTransferFunction()[i]->DelaySamples(), 0);
        EXPECT_EQ(preset.EQTransferFunction()[i]->ResponseMg().size(),
                  static_cast<size_t>(grid.NRealFreqPoints()));
        EXPECT_EQ(preset.EQTransferFunction()[i]->DSPSpace(), &grid);
    }

    preset.SetNSourcePoints(0); // ignored
    EXPECT_EQ(preset.NSourcePoints(), 4);

    preset.SetNSourcePoints(1);
    EXPECT_EQ(preset.NSourcePoints(), 1);
    ASSERT_EQ(preset.EQTransferFunction().size(), 1u);
    EXPECT_EQ(preset.EQTransferFunction()[0].get(), first);

    EXPECT_THROW(preset.SetNSourcePoints(-1), ERangeError);
    EXPECT_EQ(preset.NSourcePoints(), 1);
}

TEST_F(UserPresetTest, DelayAndLevelSummariesOverTheSources) {
    TUserPreset preset(&grid);
    EXPECT_EQ(preset.FindDelaySamples(), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(preset.MaxDbuAllTransfersF(), 0.0f);
    EXPECT_EQ(preset.MaxDbuInAllOffsets(), 0.0f);

    preset.SetNSourcePoints(3);
    const int32_t delays[] = {12, 5, 9};
    const double maxSpl[] = {-3.0, -1.5, -7.0}; // all negative: the result is not floored at 0
    const double offsets[] = {0.5, 2.25, -1.0};
    for (size_t i = 0; i < 3; ++i) {
        preset.EQTransferFunction()[i]->SetDelaySamples(delays[i]);
        preset.EQTransferFunction()[i]->SetMaxSpl(maxSpl[i]);
        preset.EQTransferFunction()[i]->SetOffsetSpl(offsets[i]);
    }
    EXPECT_EQ(preset.FindDelaySamples(), 5);
    EXPECT_EQ(preset.MaxDbuAllTransfersF(), -1.5f);
    EXPECT_EQ(preset.MaxDbuInAllOffsets(), 2.25f);
}

} // namespace
} // namespace vendrel
