#include "acoustics/physical_space.h"

#include <gtest/gtest.h>

#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"

namespace vendrel {
namespace {

TEST(PhysicalSpace, NewMediumHasTheDefaultAirVenueAndMapFrequencies) {
    TPhysicalSpace medium;
    EXPECT_DOUBLE_EQ(medium.TempCelsius(), 25.0);
    EXPECT_DOUBLE_EQ(medium.TempFahrenheit(), 77.0);
    EXPECT_NEAR(medium.SpeedOfSound(), 346.29, 0.005);
    EXPECT_EQ(medium.RelHumid(), 50);
    EXPECT_TRUE(medium.AirLoss());
    EXPECT_DOUBLE_EQ(medium.PixelToMeters(), 0.08);
    EXPECT_EQ(medium.VenueLength(), 50);
    EXPECT_EQ(medium.VenueHeightVer(), 20);
    EXPECT_EQ(medium.VenueWidthHor(), 20);
    EXPECT_EQ(medium.Freq(), 0);
    ASSERT_EQ(medium.FreqsNormalized.size(), 61u);
    EXPECT_EQ(medium.FreqsNormalized.front(), 20);
    EXPECT_EQ(medium.FreqsNormalized[35], 1125);
    EXPECT_EQ(medium.FreqsNormalized[55], 11250);
    EXPECT_EQ(medium.FreqsNormalized.back(), 20000);
    EXPECT_TRUE(std::is_sorted(medium.FreqsNormalized.begin(), medium.FreqsNormalized.end()));
}

} // namespace
} // namespace vendrel
