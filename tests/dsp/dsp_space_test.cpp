#include "dsp/dsp_space.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vendrel {
namespace {

struct LogGridCase {
    int32_t fi, fo, n;
    std::vector<int32_t> freqs;
};
struct ComputedGridCase {
    TFreqBands bands;
    int32_t rate, fmin, fmax;
    std::vector<int32_t> freqs;
};
struct RebuildStep {
    int32_t rate, points, last;
};
struct PerHertzCase {
    std::vector<int32_t> grid;
    bool custom;
    std::vector<int32_t> point;
    std::vector<double> weight;
};
#include "grid_tables.inc"

TSampleRate rateOf(int32_t hz) {
    switch (hz) {
    case 44100:
        return TSampleRate::sr44k1;
    case 48000:
        return TSampleRate::sr48k;
    case 96000:
        return TSampleRate::sr96k;
    default:
        return TSampleRate::sr192k;
    }
}

// Every per-point array follows the grid frequencies.
void expectConsistentPoints(const TDSPSpace& s) {
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    ASSERT_EQ(s.FreqDraw.size(), n);
    ASSERT_EQ(s.Hwdibu.size(), n);
    ASSERT_EQ(s.Hwz.size(), n);
    for (size_t j = 0; j < n; ++j) {
        const double w = s.FreqDraw[j] * 6.28318530717959 / s.iSampleRate();
        EXPECT_EQ(s.Hwdibu[j], w);
        EXPECT_EQ(s.Hwz[j].Re, std::cos(w));
        EXPECT_EQ(s.Hwz[j].Im, -std::sin(w));
        if (j > 0) {
            EXPECT_LT(s.FreqDraw[j - 1], s.FreqDraw[j]);
        }
    }
    ASSERT_EQ(s.FreqToPointTable().size(), static_cast<size_t>(s.FrequencyMaxValue()));
    for (const int32_t p : s.FreqToPointTable()) {
        ASSERT_GE(p, 0);
        ASSERT_LT(p, s.NRealFreqPoints());
    }
}

TEST(DSPSpace, DefaultGridIs377LogPointsAt48k) {
    TDSPSpace s;
    EXPECT_EQ(s.iSampleRate(), 48000);
    EXPECT_EQ(s.SampleRate(), TSampleRate::sr48k);
    EXPECT_EQ(s.SecondsPerSample(), 1.0 / 48000);
    EXPECT_EQ(s.UserFPoints(), 400);
    EXPECT_EQ(s.NRealFreqPoints(), 377);
    EXPECT_EQ(s.FrequencyMinValue(), 20);
    EXPECT_EQ(s.FrequencyMaxValue(), 20000);
    EXPECT_EQ(s.FreqDraw.front(), 20);
    EXPECT_EQ(s.FreqDraw.back(), 20000);
    EXPECT_EQ(s.BandPerOctave(), TFreqBands::fbAlluserPoints);
    EXPECT_EQ(s.BandPerOctaveDouble(), 10.0 / 367);
    EXPECT_TRUE(s.UseParallelFor());
    EXPECT_EQ(s.MaxDSPInputdB(), 20.0);
    EXPECT_EQ(s.MaxDSPOutputdB(), 20.0);
    EXPECT_EQ(s.FilterGainPrecision(), 1);
    EXPECT_EQ(s.FilterQPrecisionMultiplier(), 10);
    expectConsistentPoints(s);
}

TEST(DSPSpace, LogarithmicGridsMatchTheOracle) {
    for (const auto& c : kLogGridCases) {
        TDSPSpace s;
        s.Logspace(c.fi, c.fo, c.n);
        EXPECT_EQ(s.FreqDraw, c.freqs) << c.fi << ".." << c.fo << " / " << c.n;
        EXPECT_EQ(s.UserFPoints(), c.n);
        EXPECT_EQ(s.NRealFreqPoints(), static_cast<int32_t>(c.freqs.size()));
        EXPECT_EQ(s.FrequencyMaxValue(), c.fo);
        expectConsistentPoints(s);
    }
    // 100 requested points never round onto each other, so nothing is appended: the grid ends below Fo
    // and the hertz above its last point belong to that point.
    TDSPSpace s;
    s.SetNFrequencyPoints(100);
    EXPECT_EQ(s.NRealFreqPoints(), 100);
    EXPECT_EQ(s.FreqDraw.back(), 18665);
    EXPECT_EQ(s.FreqToPoint(19999), 99);
    EXPECT_EQ(s.FreqToPoint(100000), 99);
    EXPECT_EQ(s.FreqToPoint(0), 0);
    EXPECT_THROW(s.FreqToPoint(-1), ERangeError);
    EXPECT_THROW(s.FreqToNearPercent(-1), ERangeError);
}

TEST(DSPSpace, FixedSpacingsUseTheirNominalTables) {
    struct Case {
        TFreqBands bands;
        int32_t count, first, last;
        double octaves;
    };
    const Case cases[] = {
        {TFreqBands::fbTwoOctave, 5, 63, 16000, 2.0},
        {TFreqBands::fbOneOctave, 10, 31, 16000, 1.0},
        {TFreqBands::fbTwoThirdOctave, 15, 25, 16000, 2.0 / 3},
        {TFreqBands::fbMediumOctave, 20, 22, 16000, 0.5},
        {TFreqBands::fbOneThirdOctave, 31, 20, 20000, 1.0 / 3},
        {TFreqBands::fbOneSixOctave, 61, 20, 20000, 1.0 / 6},
        {TFreqBands::fbOneTwelveOctave, 121, 20, 20000, 1.0 / 12},
        {TFreqBands::fbOneTwentyFourOctave, 238, 20, 20000, 1.0 / 24},
    };
    for (const auto& c : cases) {
        for (const TSampleRate rate : {TSampleRate::sr44k1, TSampleRate::sr192k}) {
            TDSPSpace s;
            s.SetSampleRate(rate);
            s.LogspacePerBand(20, 20000, c.bands);
            EXPECT_EQ(s.NRealFreqPoints(), c.count) << static_cast<int>(c.bands);
            EXPECT_EQ(s.UserFPoints(), c.count);
            EXPECT_EQ(s.FrequencyMinValue(), c.first);
            EXPECT_EQ(s.FrequencyMaxValue(), c.last);
            EXPECT_EQ(s.FreqDraw.back(), c.last);
            EXPECT_EQ(s.BandPerOctaveDouble(), c.octaves);
            expectConsistentPoints(s);
        }
    }
}

TEST(DSPSpace, ComputedSpacingsMatchTheOracleAtEveryRate) {
    for (const auto& c : kComputedGridCases) {
        TDSPSpace s;
        s.SetSampleRate(rateOf(c.rate));
        s.LogspacePerBand(c.fmin, c.fmax, c.bands);
        EXPECT_EQ(s.FreqDraw, c.freqs) << static_cast<int>(c.bands) << " at " << c.rate;
        EXPECT_EQ(s.FrequencyMaxValue(), c.freqs.back());
        expectConsistentPoints(s);
    }
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneFortyEigthOctave);
    EXPECT_EQ(s.NRealFreqPoints(), 443);
    EXPECT_EQ(s.FreqDraw.back(), 20159);
}

TEST(DSPSpace, SampleRateChangesRebuildFromTheRangeInForce) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneFortyEigthOctave);
    for (const auto& step : kRebuildSteps) {
        s.SetSampleRate(rateOf(step.rate));
        EXPECT_EQ(s.iSampleRate(), step.rate);
        EXPECT_EQ(s.NRealFreqPoints(), step.points);
        EXPECT_EQ(s.FreqDraw.back(), step.last);
        expectConsistentPoints(s);
    }
    // An unchanged rate leaves the grid alone, even one built by hand.
    TDSPSpace t;
    const int32_t custom[] = {100, 200, 300};
    t.CustomLogspace(custom);
    t.SetSampleRate(TSampleRate::sr48k);
    EXPECT_EQ(t.NRealFreqPoints(), 3);
    // A logarithmic grid keeps its frequencies; only w and the unit delay follow the rate.
    TDSPSpace u;
    const std::vector<int32_t> before = u.FreqDraw;
    u.SetSampleRate(TSampleRate::sr96k);
    EXPECT_EQ(u.FreqDraw, before);
    expectConsistentPoints(u);
}

TEST(DSPSpace, PerHertzTablesMatchTheOracle) {
    for (const auto& c : kPerHertzCases) {
        TDSPSpace s;
        if (c.custom) {
            s.CustomLogspace(c.grid);
        } else {
            s.Logspace(10, 40, 8);
            ASSERT_EQ(s.FreqDraw, c.grid);
        }
        EXPECT_EQ(s.FreqToPointTable(), c.point);
        EXPECT_EQ(s.FreqToNearPercentTable(), c.weight);
        const int32_t top = s.FrequencyMaxValue() - 1;
        EXPECT_EQ(s.FreqToPoint(top + 50), c.point.back());
        EXPECT_EQ(s.FreqToNearPercent(top + 50), static_cast<float>(c.weight.back()));
    }
}

TEST(DSPSpace, NewRangeWithTheSpacingInForceRebuilds) {
    TDSPSpace s;
    s.LogspacePerBand(100, 1000, TFreqBands::fbAlluserPoints);
    EXPECT_EQ(s.FreqDraw.front(), 100);
    EXPECT_EQ(s.FreqDraw.back(), 1000);
    EXPECT_EQ(s.FrequencyMinValue(), 100);
    EXPECT_EQ(s.UserFPoints(), 400);
    expectConsistentPoints(s);
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneFortyEigthOctave);
    s.LogspacePerBand(100, 1000, TFreqBands::fbOneFortyEigthOctave);
    // Centres grow from 1000 Hz by 1/48 octave: the first one from 100 Hz on is 101 Hz, and the
    // first one above 1000 Hz ends the grid.
    EXPECT_EQ(s.FreqDraw.front(), 101);
    EXPECT_EQ(s.FreqDraw.back(), 1015);
    expectConsistentPoints(s);
}

TEST(DSPSpace, CustomGridKeepsSpacingAndRange) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    const int32_t freqs[] = {50, 60, 61, 1000};
    s.CustomLogspace(freqs);
    EXPECT_EQ(s.BandPerOctave(), TFreqBands::fbOneThirdOctave);
    EXPECT_EQ(s.BandPerOctaveDouble(), 1.0 / 3);
    EXPECT_EQ(s.FrequencyMinValue(), 50);
    EXPECT_EQ(s.FrequencyMaxValue(), 1000);
    EXPECT_EQ(s.UserFPoints(), 4);
    expectConsistentPoints(s);
    // Back to the logarithmic spacing: the band fraction follows the current point count.
    s.SetBandPerOctave(TFreqBands::fbAlluserPoints);
    EXPECT_EQ(s.NRealFreqPoints(), 4);
    EXPECT_EQ(s.FreqDraw, (std::vector<int32_t>{50, 106, 224, 473}));
    EXPECT_EQ(s.BandPerOctaveDouble(), 10.0 / (4 - 10));
}

TEST(DSPSpace, BandEdgesAndQ) {
    struct Case {
        TFreqBands bands;
        double octaves;
    };
    const Case cases[] = {
        {TFreqBands::fbTwoOctave, 2.0},
        {TFreqBands::fbOneOctave, 1.0},
        {TFreqBands::fbTwoThirdOctave, 2.0 / 3},
        {TFreqBands::fbMediumOctave, 0.5},
        {TFreqBands::fbOneThirdOctave, 1.0 / 3},
        {TFreqBands::fbOneSixOctave, 1.0 / 6},
        {TFreqBands::fbOneTwelveOctave, 1.0 / 12},
        {TFreqBands::fbOneTwentyFourOctave, 1.0 / 24},
        {TFreqBands::fbOneThirtySixOctave, 1.0 / 36},
        {TFreqBands::fbOneFortyEigthOctave, 1.0 / 48},
    };
    for (const auto& c : cases) {
        TDSPSpace s;
        s.SetBandPerOctave(c.bands);
        const double r = std::pow(2.0, c.octaves);
        EXPECT_NEAR(s.GetBandEdgeInf(1000), 1000 / std::sqrt(r), 1e-9);
        EXPECT_NEAR(s.GetBandEdgeSup(1000), 1000 * std::sqrt(r), 1e-9);
        EXPECT_NEAR(s.GetBandWidth(1000), 1000 * (std::sqrt(r) - 1 / std::sqrt(r)), 1e-9);
        EXPECT_NEAR(s.BandQ(), std::sqrt(r) / (r - 1), 1e-12);
    }
    TDSPSpace s;
    s.SetBandPerOctave(TFreqBands::fbOneThirdOctave);
    EXPECT_NEAR(s.GetBandQ(), 4.318, 5e-4);
    s.SetBandPerOctave(TFreqBands::fbAlluserPoints);
    EXPECT_EQ(s.GetBandEdgeInf(1000), 0.0);
    EXPECT_EQ(s.GetBandEdgeSup(1000), 0.0);
    EXPECT_EQ(s.GetBandWidth(1000), 0.0);
    EXPECT_EQ(s.GetBandQ(), 0.0);
}

TEST(DSPSpace, CalcFreqBandsRaisesWhenTheOutputIsTooShort) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirtySixOctave);
    std::vector<double> few(10);
    EXPECT_THROW(s.CalcFreqBands(few), ERangeError);
}

TEST(DSPSpace, FilterPrecisionSetters) {
    struct Case {
        int32_t value, stored, multiplier;
    };
    const Case cases[] = {{-1, 0, 1}, {0, 0, 1}, {1, 1, 10}, {3, 3, 1000}, {9, 9, 1000000000}};
    for (const auto& c : cases) {
        TDSPSpace s;
        s.SetFilterGainPrecision(c.value);
        s.SetFilterQPrecision(c.value);
        EXPECT_EQ(s.FilterGainPrecision(), c.stored);
        EXPECT_EQ(s.FilterGainPrecisionMultiplier(), c.multiplier);
        EXPECT_EQ(s.FilterQPrecision(), c.stored);
        EXPECT_EQ(s.FilterQPrecisionMultiplier(), c.multiplier);
    }
    TDSPSpace s;
    EXPECT_THROW(s.SetFilterGainPrecision(10), ERangeError);
    EXPECT_THROW(s.SetFilterQPrecision(10), ERangeError);
    EXPECT_EQ(s.FilterQPrecisionMultiplier(), 10);
}

TEST(DSPSpace, ReferenceLevelAveragesBetweenFirstAndLastLoudValue) {
    const double levels[] = {-120, 80, 60, 75, 85, -120};
    EXPECT_EQ(TDSPSpace::CalculateReferenceLevel(levels), 75.0);
    const double flat[] = {3, 3, 3};
    EXPECT_EQ(TDSPSpace::CalculateReferenceLevel(flat), 3.0);
    // Nothing above -110 dB: no value counts and the mean is 0 over an empty span.
    const double quiet[] = {-150, -130};
    EXPECT_EQ(TDSPSpace::CalculateReferenceLevel(quiet), 0.0);
    EXPECT_TRUE(std::isnan(TDSPSpace::CalculateReferenceLevel({})));
}

TEST(DSPSpace, LevelConversionsAndClearing) {
    EXPECT_NEAR(TDSPSpace::dBToLin(20), 10.0, 1e-13);
    EXPECT_NEAR(TDSPSpace::dBToLin(-6.0206), 0.5, 1e-6);
    EXPECT_NEAR(TDSPSpace::LinTodB(2), 6.020599913279624, 1e-13);
    EXPECT_EQ(TDSPSpace::LinTodB(0), -std::numeric_limits<double>::infinity());

    rFrequencyResponse r{{1, 2, 3}, {4, 5, 6}};
    TDSPSpace::ClearResponse(r, true, false);
    EXPECT_EQ(r.Mg, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(r.Ph, (std::vector<double>{4, 5, 6}));
    rFrequencyResponse shortPhase{{1, 2, 3}, {4}};
    EXPECT_NO_THROW(TDSPSpace::ClearResponse(shortPhase, true, false));
    EXPECT_THROW(TDSPSpace::ClearResponse(shortPhase, false, true), ERangeError);
}

TEST(DSPSpace, SharedEnumerationsKeepTheirOrdinals) {
    EXPECT_EQ(static_cast<int>(TQzDspResult::qzdFirFSampleError), 7);
    EXPECT_EQ(static_cast<int>(TQzDspResult::qzdWrtiteFileError), 3);
    EXPECT_EQ(static_cast<int>(TFreqBands::fbOneFortyEigthOctave), 10);
    EXPECT_EQ(static_cast<int>(TLevUnit::luWatt), 18);
    EXPECT_EQ(static_cast<int>(TWeightening::CWeigthed), 2);
}

} // namespace
} // namespace vendrel
