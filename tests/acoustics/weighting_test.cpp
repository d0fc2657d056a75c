#include "acoustics/weighting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vendrel {
namespace {

// A and C weighting in dB after the analytic expressions of IEC 61672-1.
double analyticA(double f) {
    const double f2 = f * f;
    const double r = 12194.0 * 12194.0 * f2 * f2 /
                     ((f2 + 20.6 * 20.6) * std::sqrt((f2 + 107.7 * 107.7) * (f2 + 737.9 * 737.9)) *
                      (f2 + 12194.0 * 12194.0));
    return 20.0 * std::log10(r) + 2.0;
}

double analyticC(double f) {
    const double f2 = f * f;
    const double r = 12194.0 * 12194.0 * f2 / ((f2 + 20.6 * 20.6) * (f2 + 12194.0 * 12194.0));
    return 20.0 * std::log10(r) + 0.062;
}

constexpr double kNominalBands[kWeightingBands] = {
    20,  25,   31.5, 40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

TDSPSpace micGraphGrid() {
    TDSPSpace grid;
    grid.SetSampleRate(TSampleRate::sr48k);
    grid.LogspacePerBand(20, 20000, TFreqBands::fbOneFortyEigthOctave);
    return grid;
}

// The A table is the analytic curve at the nominal band frequencies rounded to 0.1 dB; the C table
// follows the standard's own table, which uses the exact base-ten band centres.
TEST(Weighting, BandTablesFollowTheAnalyticCurves) {
    for (size_t i = 0; i < kWeightingBands; ++i) {
        const double f = kNominalBands[i];
        EXPECT_NEAR(AWeightingTable()[i], analyticA(f), 0.05 + 1e-6) << f;
        const double exact = 1000.0 * std::pow(10.0, (static_cast<double>(i) - 17.0) / 10.0);
        EXPECT_NEAR(CWeightingTable()[i], analyticC(exact), 0.05 + 1e-6) << f;
    }
}

TEST(Weighting, CurvesOnTheResponseGridFollowTheAnalyticCurves) {
    const TDSPSpace grid = micGraphGrid();
    const std::vector<double> a = WeighteningCurve(TWeightening::AWeigthed, grid);
    const std::vector<double> c = WeighteningCurve(TWeightening::CWeigthed, grid);
    ASSERT_EQ(a.size(), grid.FreqDraw.size());
    ASSERT_EQ(c.size(), grid.FreqDraw.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const double f = grid.FreqDraw[i];
        if (f > 20000) {
            continue; // the last grid points lie beyond the top band, where the table holds its end value
        }
        // Straight lines between third-octave bands of curves that bend in log frequency, plus the
        // tables' 0.1 dB rounding; the 31.5 Hz band sits on the 31 Hz grid point, where A is steep.
        EXPECT_NEAR(a[i], analyticA(f), f < 40 ? 0.45 : 0.35) << f << " Hz";
        EXPECT_NEAR(c[i], analyticC(f), 0.25) << f << " Hz";
    }
}

TEST(Weighting, PointsOnABandTakeTheBandsValue) {
    const TDSPSpace grid = micGraphGrid();
    const std::vector<double> a = WeighteningCurve(TWeightening::AWeigthed, grid);
    const std::vector<double> c = WeighteningCurve(TWeightening::CWeigthed, grid);
    struct Case {
        int32_t f;
        size_t band;
    };
    for (const Case& k : {Case{20, 0}, Case{100, 7}, Case{1000, 17}, Case{10000, 27}, Case{20000, 30}}) {
        const auto it = std::find(grid.FreqDraw.begin(), grid.FreqDraw.end(), k.f);
        if (it == grid.FreqDraw.end()) {
            continue;
        }
        const auto i = static_cast<size_t>(it - grid.FreqDraw.begin());
        EXPECT_NEAR(a[i], AWeightingTable()[k.band], 1e-6) << k.f;
        EXPECT_NEAR(c[i], CWeightingTable()[k.band], 1e-6) << k.f;
    }
}

TEST(Weighting, UnweightedIsZeroEverywhere) {
    const TDSPSpace grid = micGraphGrid();
    const std::vector<double> none = WeighteningCurve(TWeightening::unWeigthed, grid);
    ASSERT_EQ(none.size(), grid.FreqDraw.size());
    for (const double v : none) {
        EXPECT_EQ(v, 0.0);
    }
}

} // namespace
} // namespace vendrel
