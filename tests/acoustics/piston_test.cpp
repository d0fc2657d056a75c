#include "acoustics/piston.h"

#include "acoustics/physical_space.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vendrel;

namespace {

// The independent piston law: 2 J1(ka sin t) / (ka sin t) with the library's Bessel function.
double pistonLaw(double f, double c, double inches, double angleRad) {
    const double u = 2 * M_PI * f / c * inches * 0.0254 / 2 * std::sin(angleRad);
    return 2 * std::cyl_bessel_j(1.0, u) / u;
}

size_t rowOf(const TPhysicalSpace& medium, int32_t f) {
    for (size_t b = 0; b < medium.FreqsNormalized().size(); ++b) {
        if (medium.FreqsNormalized()[b] == f) {
            return b;
        }
    }
    return SIZE_MAX;
}

} // namespace

TEST(Piston, TableFollowsThePistonLawAndTheRearTaper) {
    TPhysicalSpace medium;
    medium.SetFreq(2000);
    TPiston piston(&medium);
    piston.CreateIdealPolar();
    // One row per map frequency (61), not the 31 rows the piston starts with.
    ASSERT_EQ(piston.IdealSpkPolarMag().size(), medium.FreqsNormalized().size());
    EXPECT_EQ(medium.Freq(), 2000) << "the medium's frequency is left as it was";
    const double c = medium.SpeedOfSound();

    struct Case {
        int32_t f;
        double rear; // v
    };
    for (const Case cs : {Case{100, 1.0}, Case{250, 0.4}, Case{1000, 0.01}, Case{450, 100.0 / 450 * 0.5}}) {
        const auto& row = piston.IdealSpkPolarMag()[rowOf(medium, cs.f)];
        const double taper = (1 - cs.rear * cs.rear) / (180 - 45);
        EXPECT_EQ(row[0], 1.0f);
        for (int t = 1; t < 90; ++t) {
            double expected = pistonLaw(cs.f, c, 3.0, t * M_PI / 180);
            if (t >= 45) {
                expected *= 1 - (t - 45) * taper;
            }
            ASSERT_NEAR(row[static_cast<size_t>(t)], expected, 1e-6) << cs.f << " Hz at " << t << " deg";
        }
        const double last = pistonLaw(cs.f, c, 3.0, 89 * M_PI / 180);
        for (int t = 90; t < 180; ++t) {
            ASSERT_NEAR(row[static_cast<size_t>(t)], last * (1 - (t - 45) * taper), 1e-6)
                << cs.f << " Hz rear " << t;
        }
    }
    // At 100 Hz the rear factor is 1: no taper at all.
    const auto& low = piston.IdealSpkPolarMag()[rowOf(medium, 100)];
    EXPECT_FLOAT_EQ(low[179], low[89]);
}

TEST(Piston, CoverageChangeRebuildsAndShortListsShrinkTheTable) {
    TPhysicalSpace medium;
    TPiston piston(&medium);
    const int32_t freqBefore = medium.Freq();
    EXPECT_EQ(piston.NFreqBands(), 31);
    medium.SetFreqsNormalized({500, 1000});
    piston.SetPistonCoverAngle(60); // half coverage at index 30
    ASSERT_EQ(piston.IdealSpkPolarMag().size(), 2u);
    const auto& row = piston.IdealSpkPolarMag()[1];
    const double taper = (1 - 0.01 * 0.01) / (180 - 30);
    EXPECT_NEAR(row[40], pistonLaw(1000, medium.SpeedOfSound(), 3.0, 40 * M_PI / 180) * (1 - 10 * taper),
                1e-6);
    EXPECT_EQ(medium.Freq(), freqBefore);
}

TEST(Piston, BesselSeriesMatchesTheLibrary) {
    for (const double u : {1e-3, 0.5, 2.0, 5.0, 10.0, 13.8}) {
        EXPECT_NEAR(PistonBesselJ1(u, 100), std::cyl_bessel_j(1.0, u), 1e-10) << u;
    }
}
