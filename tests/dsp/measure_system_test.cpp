// The measurement object: reference level, capture, phase unwrapping, the impulse transform against
// closed forms and scipy, the resampling holds and the impulse synthesis.

#include "dsp/measure_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/complex.h"
#include "measure_tables.inc"

namespace vendrel {
namespace {

constexpr double kPiValue = 3.141592653589793;

// Difference of two angles in radians, folded into (-pi, pi].
double angleDiff(double a, double b) {
    return std::remainder(a - b, 2.0 * kPiValue);
}

TEST(MeasureSystem, ReferenceLevelSettersAndRounding) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    EXPECT_EQ(m.ImpulseEnd, 524288);
    EXPECT_TRUE(m.UseUnrollAproximation());
    EXPECT_EQ(m.FResponsePhDegreesUnRoll.size(), N);
    m.ImportResponseDataPoint(3, 96.0, 0.5, 7.0);
    m.SetFloatReferenceSpl(2.5);
    EXPECT_EQ(m.ReferenceSpl(), 2);
    EXPECT_EQ(m.ResponseMgdB[3], 93.5);
    m.SetFloatReferenceSpl(3.5);
    EXPECT_EQ(m.ReferenceSpl(), 4);
    // An unchanged level leaves the referenced curve alone.
    m.ResponseMgdB[3] = 0.0;
    m.SetFloatReferenceSpl(3.5);
    EXPECT_EQ(m.ResponseMgdB[3], 0.0);
    EXPECT_NEAR(m.FResponsePhDegreesUnRoll[3], 7.0 * 57.29577951308232, 1e-12);
    m.ImportResponseDataPoint(static_cast<int32_t>(N), 1.0, 1.0, 1.0); // beyond the grid: ignored
    m.SetUseUnrollAproximation(false);
    EXPECT_TRUE(m.ResponsePhRadUnWrap.empty());
    m.SetUseUnrollAproximation(true);
    EXPECT_EQ(m.ResponsePhRadUnWrap, std::vector<double>(N, 0.0));
}

TEST(MeasureSystem, UnwrapMatchesNumpy) {
    using namespace measure_tables;
    std::vector<double> out(kUnwrapDegSrc.size());
    TMeasureSystem::UnwrapPhaseDegrees(kUnwrapDegSrc, out);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_NEAR(out[i], kUnwrapDegDst[i], 1e-9) << i;
    }
    out.assign(kUnwrapRadSrc.size(), 0.0);
    TMeasureSystem::UnwrapPhaseRadians(kUnwrapRadSrc, out);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_NEAR(out[i], kUnwrapRadDst[i], 1e-12) << i;
    }
    // Steps of exactly half a turn stay.
    std::vector<double> small(3);
    TMeasureSystem::UnwrapPhaseDegrees(std::vector<double>{170, -170, -10}, small);
    EXPECT_EQ(small, (std::vector<double>{170, 190, 350}));
    TMeasureSystem::UnwrapPhaseDegrees(std::vector<double>{0, 180, 181}, small);
    EXPECT_EQ(small, (std::vector<double>{0, 180, 181}));
}

// A step of very many turns (a damaged export, a phase of 1e300 degrees) is brought within half a
// turn in one go instead of one turn at a time, which would never end.
TEST(MeasureSystem, UnwrapOfAStepOfManyTurnsEnds) {
    struct Case {
        void (*unwrap)(std::span<const double>, std::span<double>);
        double half;
    };
    for (const Case& c : {Case{&TMeasureSystem::UnwrapPhaseDegrees, 180.0},
                          Case{&TMeasureSystem::UnwrapPhaseRadians, kPiValue}}) {
        for (const double far : {1e300, -1e300, 1e18}) {
            SCOPED_TRACE(far);
            std::vector<double> out(3);
            c.unwrap(std::vector<double>{0.0, far, far}, out);
            EXPECT_EQ(out[0], 0.0);
            EXPECT_LE(std::fabs(out[1]), c.half);
            EXPECT_EQ(out[2], out[1]);
        }
    }
}

// A raw impulse of the given samples at 48 kHz.
void setImpulse(TMeasureSystem& m, std::vector<double> re, int32_t rate = 48000) {
    m.ImpulseSize = static_cast<int32_t>(re.size());
    m.RawImpulseIm.assign(re.size(), 0.0);
    m.RawImpulseRe = std::move(re);
    m.ImpulseSampleRate = rate;
}

TEST(MeasureImpulseTransform, UnitImpulseIsFlatInEveryUnit) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    setImpulse(m, {1.0, 0.0, 0.0, 0.0});
    m.FFTStartFreq = 100;
    struct Case {
        TLevUnit unit;
        double level;
    };
    for (const Case c :
         {Case{TLevUnit::ludBV, 0.0}, Case{TLevUnit::ludBSpl, 20.0 * std::log10(1.0 / 0.00002)},
          Case{TLevUnit::ludBu, 20.0 * std::log10(1.0 / 0.774596669241)}}) {
        m.ImpulseScale = c.unit;
        const auto M = static_cast<size_t>(grid.NRealFreqPoints());
        std::vector<double> dB(M), ph(M), fr(M);
        m.CalcFreqResponseFromImpulse(dB, ph, fr, grid);
        const size_t start = static_cast<size_t>(grid.FreqToPoint(100));
        for (size_t i = 0; i < M; ++i) {
            ASSERT_EQ(fr[i], grid.FreqDraw[i]);
            ASSERT_EQ(ph[i], 0.0);
            ASSERT_EQ(dB[i], i < start ? -999.0 : c.level) << i;
        }
    }
}

TEST(MeasureImpulseTransform, DelayedImpulseHasTheLinearPhaseOfItsDelay) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    std::vector<double> h(32, 0.0);
    h[10] = 1.0;
    setImpulse(m, h);
    m.ImpulseScale = TLevUnit::ludBV;
    ASSERT_EQ(m.ConvertSourceImpulseToMeaSystem(TFreqBands::fbOneFortyEigthOctave), TQzDspResult::qzdOK);
    for (int32_t i = 0; i < grid.NRealFreqPoints(); ++i) {
        const auto u = static_cast<size_t>(i);
        const double f = grid.FreqDraw[u];
        const double delay = -2.0 * kPiValue * f * 10.0 / 48000.0;
        ASSERT_NEAR(m.FResponseMgdB[u], 0.0, 1e-9) << f;
        // Between the fine grid's points the unwrapped phase is a straight line, as the delay's is.
        ASSERT_NEAR(m.FResponsePhRad[u], delay, 1e-9) << f;
        ASSERT_NEAR(m.FResponsePhDegreesUnRoll[u], delay * 57.29577951308232, 1e-7) << f;
    }
    // With its time origin at the delay it reads as the undelayed impulse.
    m.SetImpulseLatency(10.0);
    ASSERT_EQ(m.ConvertSourceImpulseToMeaSystem(TFreqBands::fbOneFortyEigthOctave), TQzDspResult::qzdOK);
    for (size_t u = 0; u < m.FResponsePhRad.size(); ++u) {
        ASSERT_NEAR(m.FResponsePhRad[u], 0.0, 1e-9);
    }
}

TEST(MeasureImpulseTransform, ArbitraryImpulseMatchesScipyFreqz) {
    using namespace measure_tables;
    TDSPSpace grid;
    grid.CustomLogspace(kFreqzFrequencies);
    TMeasureSystem m(&grid);
    m.ImpulseSize = static_cast<int32_t>(kFreqzImpulseRe.size());
    m.RawImpulseRe = kFreqzImpulseRe;
    m.RawImpulseIm = kFreqzImpulseIm;
    // 44.1 kHz: the transform runs at the impulse's own rate, not at the grid's 48 kHz.
    m.ImpulseSampleRate = kFreqzRate;
    m.SetImpulseLatency(kFreqzLatency);
    m.ImpulseScale = TLevUnit::ludBRel;
    m.FFTStartFreq = kFreqzFrequencies.front();
    const size_t M = kFreqzFrequencies.size();
    std::vector<double> dB(M), ph(M), fr(M);
    m.CalcFreqResponseFromImpulse(dB, ph, fr, grid);
    for (size_t i = 0; i < M; ++i) {
        // Levels within 0.05 dB of 0 read 0.
        const double expected = std::fabs(kFreqzLevelDb[i]) < 0.05 ? 0.0 : kFreqzLevelDb[i];
        EXPECT_NEAR(dB[i], expected, 1e-9) << fr[i];
        EXPECT_NEAR(angleDiff(ph[i], kFreqzPhaseRad[i]), 0.0, 1e-9) << fr[i];
    }
}

TEST(MeasureImpulseTransform, SerialAndParallelRunsAreIdentical) {
    using namespace measure_tables;
    TDSPSpace grid;
    grid.LogspacePerBand(20, 20000, TFreqBands::fbOneFortyEigthOctave);
    TMeasureSystem m(&grid);
    m.ImpulseSize = static_cast<int32_t>(kFreqzImpulseRe.size());
    m.RawImpulseRe = kFreqzImpulseRe;
    m.RawImpulseIm = kFreqzImpulseIm;
    m.ImpulseSampleRate = 48000;
    const auto M = static_cast<size_t>(grid.NRealFreqPoints());
    std::vector<double> dB[2], ph[2], fr[2];
    for (int run = 0; run < 2; ++run) {
        grid.SetUseParallelFor(run == 1);
        dB[run].resize(M);
        ph[run].resize(M);
        fr[run].resize(M);
        m.CalcFreqResponseFromImpulse(dB[run], ph[run], fr[run], grid);
    }
    EXPECT_EQ(dB[0], dB[1]);
    EXPECT_EQ(ph[0], ph[1]);
}

TEST(MeasureConversions, SpectrumAboveHalfItsRateRepeatsTheLastPointBelow) {
    // A grid reaching 24000 Hz and a spectrum recorded at 44100 Hz that rises 1 dB per bin.
    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{1000, 10000, 22000, 22050, 22100, 23000, 24000});
    TMeasureSystem m(&grid);
    const int32_t n = 441;
    m.ImpulseSize = n;
    m.ImpulseSampleRate = 44100;
    m.RawImpulseRe.resize(n);
    m.RawImpulseIm.assign(n, 0.0);
    for (int32_t k = 0; k < n; ++k) {
        m.RawImpulseRe[static_cast<size_t>(k)] = Pow10(k / 20.0); // k dB at k * 50 Hz
    }
    ASSERT_EQ(m.ConvertSourceComplexSpectrumToMeaSystem(), TQzDspResult::qzdOK);
    const std::vector<double> expected{20, 200, 440, 441, 441, 441, 441};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(m.FResponseMgdB[i], expected[i], 1e-9) << grid.FreqDraw[i];
        EXPECT_NEAR(m.FResponsePhDegreesUnRoll[i], 0.0, 1e-12);
    }
    // Fewer than two bins cannot be placed on a grid.
    m.ImpulseSize = 1;
    EXPECT_EQ(m.ConvertSourceComplexSpectrumToMeaSystem(), TQzDspResult::qzdError);
}

TEST(MeasureCapture, GridLengthArraysAreCopiedAndUnitsConverted) {
    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{100, 200, 400, 800});
    TMeasureSystem m(&grid);
    // Same length as the grid: taken point by point whatever the frequencies say.
    m.Capture({1, 2, 3, 4}, {1.0, 10.0, 1.0, 1.0}, {180, 190, -170, 0}, false, true);
    EXPECT_EQ(m.MeaSystem(), TMeasureSystemBrand::msbInternalCapture);
    EXPECT_EQ(m.FResponseMgdB, (std::vector<double>{0, 20, 0, 0}));
    EXPECT_DOUBLE_EQ(m.FResponsePhRad[0], kPiValue);
    EXPECT_EQ(m.FResponsePhDegreesUnRoll, (std::vector<double>{180, 190, 190, 360}));
    // The reference is the mean of the span within 10 dB of the peak: the single 20 dB point.
    EXPECT_EQ(m.FloatReferenceSpl(), 20.0);
    EXPECT_EQ(m.ResponseMgdB, (std::vector<double>{-20, 0, -20, -20}));
}

TEST(MeasureCapture, ShorterSourceEndsEarlyAndNearestPointsAreTaken) {
    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{100, 200, 400, 800, 1600});
    TMeasureSystem m(&grid);
    m.Capture({90, 210, 390, 810, 1590, 3000, 6000}, {1, 2, 3, 4, 5, 6, 7}, std::vector<double>(7, 0.0), true,
              false);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(m.FResponseMgdB[i], i + 1.0) << grid.FreqDraw[i];
    }
    // Each grid point uses up a source point: three source points fill three grid points and the rest
    // keep what they held.
    m.Reset();
    m.Capture({90, 210, 390}, {1, 2, 3}, {0, 0, 0}, true, false);
    EXPECT_EQ(m.FResponseMgdB[3], 0.0);
    EXPECT_EQ(m.FResponseMgdB[4], 0.0);
}

TEST(MeasureReferenceLevel, FoundOnTheRawMagnitudeWhateverTheReferenceInForce) {
    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{100, 200, 400, 800, 1600, 3200});
    TMeasureSystem m(&grid);
    struct Case {
        std::vector<double> levels;
        double reference;
    };
    const Case cases[] = {
        // A notch between two regions within 10 dB of the peak counts in the mean.
        {{50, 90, 60, 84, 86, 40}, 80},
        // A peak at -105 dB: the threshold is -110 and the span is found below -100.
        {{-105, -106, -120, -120, -120, -120}, -106},
        // Nothing above -110 dB: reference 0.
        {{-115, -120, -130, -200, -300, -400}, 0},
        // A zero magnitude inside the span gives no mean level: reference 0.
        {{90, -INFINITY, 90, 40, 40, 40}, 0},
    };
    for (const Case& c : cases) {
        for (int32_t i = 0; i < 6; ++i) {
            m.ImportResponseDataPoint(i, c.levels[static_cast<size_t>(i)], 0.0, 0.0);
        }
        for (const double inForce : {0.0, 30.0, -7.0}) {
            m.SetFloatReferenceSpl(inForce);
            EXPECT_EQ(m.CalcRefLevel(), c.reference) << inForce;
            for (size_t i = 0; i < 6; ++i) {
                EXPECT_EQ(m.ResponseMgdB[i], c.levels[i] - c.reference);
            }
        }
    }
}

TEST(MeasureSynthesis, ImpulseOfTheResponseAndPhaseInversion) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    // A flat 0 dB, zero-phase response gives an impulse at the chosen latency.
    ASSERT_EQ(m.ConvertFreqResponseToImpulse(20.0, 256, 64, 48000, 1.0, false), TQzDspResult::qzdOK);
    EXPECT_EQ(m.ImpulseSampleRate, 48000);
    ASSERT_EQ(m.RawImpulseRe.size(), 64u);
    EXPECT_NEAR(m.RawImpulseRe[20], (0.5 + 255.0) / 256.0, 1e-12);
    for (size_t n = 0; n < 64; ++n) {
        if (n != 20) {
            EXPECT_LT(std::fabs(m.RawImpulseRe[n]), 0.01) << n;
        }
    }
    EXPECT_EQ(m.ImpulseEnd, 524288); // left for the caller
    // Inverting twice raises the object's own phase by 2 pi.
    m.ConvertFreqResponseToImpulse(20.0, 256, 64, 48000, 1.0, true);
    m.ConvertFreqResponseToImpulse(20.0, 256, 64, 48000, 1.0, true);
    EXPECT_NEAR(m.ResponsePhRad[5], 2.0 * kPiValue, 1e-15);
}

} // namespace
} // namespace vendrel
