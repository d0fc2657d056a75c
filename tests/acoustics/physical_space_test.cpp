#include "acoustics/physical_space.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/core/numeric.h"

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
    EXPECT_NEAR(medium.dbHumid(), 0.005676691533091925, 1e-12); // absorption at 1 kHz
    ASSERT_EQ(medium.FreqsNormalized().size(), 61u);
    EXPECT_EQ(medium.FreqsNormalized().front(), 20);
    EXPECT_EQ(medium.FreqsNormalized()[35], 1125);
    EXPECT_EQ(medium.FreqsNormalized()[55], 11250);
    EXPECT_EQ(medium.FreqsNormalized().back(), 20000);
    EXPECT_TRUE(std::is_sorted(medium.FreqsNormalized().begin(), medium.FreqsNormalized().end()));
}

// The program's speed of sound adds 273, not 273.15, to the temperature.
TEST(PhysicalSpace, SpeedOfSoundFollowsTheTemperatureWithTheProgramsConstant) {
    TPhysicalSpace medium;
    for (const double t : {-20.0, 0.0, 20.0, 35.5}) {
        medium.SetTempCelsius(t);
        EXPECT_DOUBLE_EQ(medium.SpeedOfSound(), 20.06 * std::sqrt(t + 273.0)) << t;
    }
    medium.SetTempFahrenheit(212.0);
    EXPECT_DOUBLE_EQ(medium.TempCelsius(), 100.0);
    EXPECT_DOUBLE_EQ(medium.SpeedOfSound(), 20.06 * std::sqrt(373.0));
    EXPECT_DOUBLE_EQ(medium.TempFahrenheit(), 212.0);
}

// Every row of the table written by make_air_absorption.py (ISO 9613-1 in numpy).
TEST(PhysicalSpace, AirAbsorptionMatchesTheIndependentTable) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/air_absorption.csv");
    ASSERT_TRUE(in.good());
    TPhysicalSpace medium;
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        double t = 0, expected = 0;
        int rh = 0, f = 0;
        fields >> t >> rh >> f >> expected;
        medium.SetTempCelsius(t);
        medium.SetRelHumid(rh);
        if (expected < 1e-6) {
            expected = 0.0; // below the program's floor
        }
        EXPECT_NEAR(medium.CalculateAirLoss(f), expected, 1e-9 * expected)
            << t << " C " << rh << " % " << f << " Hz";
        ++rows;
    }
    EXPECT_EQ(rows, 504);
}

TEST(PhysicalSpace, AirAbsorptionWorkedValues) {
    struct Case {
        double temp;
        int rh;
        int freq;
        double dBPerMeter;
        double tolerance;
    };
    const Case cases[] = {
        {20.0, 50, 1000, 0.00466, 0.000005},
        {25.0, 50, 1000, 0.00568, 0.000005},
        {25.0, 50, 10000, 0.131, 0.0005},
        {25.0, 50, 20, 1.08e-5, 0.005e-5}, // above the floor, so not 0
    };
    TPhysicalSpace medium;
    for (const Case& c : cases) {
        medium.SetTempCelsius(c.temp);
        medium.SetRelHumid(c.rh);
        EXPECT_NEAR(medium.CalculateAirLoss(c.freq), c.dBPerMeter, c.tolerance)
            << c.temp << " C " << c.freq << " Hz";
    }
}

TEST(PhysicalSpace, AirAbsorptionOfAFrequencyWhoseSquareOverflowsRaises) {
    TPhysicalSpace medium;
    EXPECT_NO_THROW(medium.CalculateAirLoss(46340));
    EXPECT_THROW(medium.CalculateAirLoss(46341), ERangeError);
}

TEST(PhysicalSpace, FreqIsClampedAndSetsTheFrequencyConstants) {
    TPhysicalSpace medium;
    medium.SetFreq(10);
    EXPECT_EQ(medium.Freq(), 20);
    medium.SetFreq(30000);
    EXPECT_EQ(medium.Freq(), 20000);
    medium.SetFreq(1000);
    const double c = medium.SpeedOfSound();
    EXPECT_DOUBLE_EQ(medium.TwoPiFreq(), 6.2831854820251465 * 1000);
    EXPECT_DOUBLE_EQ(medium.WaveLength(), c / 1000);
    EXPECT_DOUBLE_EQ(medium.RadiansPerMeter(), 6.2831854820251465 / (c / 1000));
    EXPECT_DOUBLE_EQ(medium.dbHumid(), medium.CalculateAirLoss(1000));

    // The stored value again: nothing is recomputed, even though the air has changed meanwhile.
    medium.SetTempCelsius(0.0);
    medium.SetFreq(1000);
    EXPECT_DOUBLE_EQ(medium.WaveLength(), c / 1000);

    const TFreqConstants k = medium.GetFreqConstants(2000);
    EXPECT_DOUBLE_EQ(k.WaveLength, medium.SpeedOfSound() / 2000);
    EXPECT_DOUBLE_EQ(k.dBPerMeter, medium.CalculateAirLoss(2000));
    EXPECT_DOUBLE_EQ(medium.WaveLength(), c / 1000); // the medium's own constants stay
}

TEST(PhysicalSpace, PropagationPhaseIsCountedFromOneMetre) {
    TPhysicalSpace medium;
    const double lambda = medium.SpeedOfSound() / 1000.0;
    EXPECT_DOUBLE_EQ(medium.GetPhaseVsDistanceAndFreq(1000.0, 1.0), 0.0);
    EXPECT_NEAR(medium.GetPhaseVsDistanceAndFreq(1000.0, 1.0 + lambda), 6.2831854820251465, 1e-9);
}

TEST(PhysicalSpace, HumidityAndVenueSizesAreClamped) {
    TPhysicalSpace medium;
    struct Case {
        void (TPhysicalSpace::*set)(int32_t);
        int32_t (TPhysicalSpace::*get)() const;
        int32_t in;
        int32_t stored;
    };
    const Case cases[] = {
        {&TPhysicalSpace::SetRelHumid, &TPhysicalSpace::RelHumid, 0, 1},
        {&TPhysicalSpace::SetRelHumid, &TPhysicalSpace::RelHumid, 150, 100},
        {&TPhysicalSpace::SetVenueHeightVer, &TPhysicalSpace::VenueHeightVer, 300, 200},
        {&TPhysicalSpace::SetVenueHeightVer, &TPhysicalSpace::VenueHeightVer, 1, 2},
        {&TPhysicalSpace::SetVenueLength, &TPhysicalSpace::VenueLength, 5000, 2000},
        {&TPhysicalSpace::SetVenueLength, &TPhysicalSpace::VenueLength, -3, 2},
        {&TPhysicalSpace::SetVenueWidthHor, &TPhysicalSpace::VenueWidthHor, 2001, 2000},
        {&TPhysicalSpace::SetVenueWidthHor, &TPhysicalSpace::VenueWidthHor, 35, 35},
    };
    for (const Case& c : cases) {
        (medium.*c.set)(c.in);
        EXPECT_EQ((medium.*c.get)(), c.stored) << c.in;
    }
}

} // namespace
} // namespace vendrel
