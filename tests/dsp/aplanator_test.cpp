// The flattening designer: corrections of known curves, the working band and level, and a filter
// designed from the correction flattening a measurement built from known filters.

#include "dsp/aplanator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/biquad.h"
#include "dsp/fir.h"

namespace vendrel {
namespace {

constexpr double kPiValue = 3.141592653589793;

std::vector<double> gridFrequencies(const TDSPSpace& grid) {
    return std::vector<double>(grid.FreqDraw.begin(), grid.FreqDraw.end());
}

// Phase of a delay of L samples at every grid point, in radians.
std::vector<double> delayPhase(const TDSPSpace& grid, double L) {
    std::vector<double> ph;
    for (const int32_t f : grid.FreqDraw) {
        ph.push_back(-2.0 * kPiValue * f * L / grid.iSampleRate());
    }
    return ph;
}

size_t pointOf(const TDSPSpace& grid, int32_t hz) {
    return static_cast<size_t>(grid.FreqToPoint(hz));
}

TEST(Aplanator, InactiveDesignerIsNeutral) {
    TDSPSpace grid;
    TAplanator a(&grid);
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, 12.0), delayPhase(grid, 3), true,
                            false);
    a.BuildAplanatorCorrection();
    EXPECT_EQ(a.FTargetResponseLin().Mg, std::vector<double>(N, 1.0));
    EXPECT_EQ(a.TargetResponse.Mg, std::vector<double>(N, 0.0));
    EXPECT_EQ(a.TargetResponse.Ph, std::vector<double>(N, 0.0));
}

TEST(Aplanator, CorrectionsOfKnownCurves) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    const size_t mid = pointOf(grid, 1000);
    const size_t cut = pointOf(grid, 80);
    ASSERT_EQ(grid.FreqDraw[cut], 80);

    TAplanator a(&grid);
    a.SetActive(true);
    // Flat at its reference, no delay: nothing to correct.
    a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, 93.0), std::vector<double>(N, 0.0),
                            true, false);
    a.BuildAplanatorCorrection();
    for (size_t i = 0; i < N; ++i) {
        ASSERT_NEAR(a.TargetResponse.Mg[i], 0.0, 1e-12);
        ASSERT_NEAR(a.TargetResponse.Ph[i], 0.0, 1e-12);
    }
    // 3 dB above its reference: -3 dB inside the band; at the high-pass cut (-3.01 dB) the window
    // is 0.5.
    a.SetSourceRefLevel(90);
    a.BuildAplanatorCorrection();
    EXPECT_NEAR(a.TargetResponse.Mg[mid], -3.0, 1e-6);
    EXPECT_NEAR(a.FTargetResponseLin().Mg[mid], std::pow(10.0, -3.0 / 20.0), 1e-6);
    EXPECT_NEAR(a.TargetResponse.Mg[cut], -1.5, 0.01);
    // An imported target of twice the level everywhere.
    a.SetTargetCurveTypeMg(5);
    EXPECT_TRUE(a.ApplyTargetMg());
    a.SetSourceRefLevel(93);
    a.TargetImportCurveLin.Mg.assign(N, 2.0);
    a.BuildAplanatorCorrection();
    EXPECT_NEAR(a.TargetResponse.Mg[mid], 20.0 * std::log10(2.0), 1e-6);
    a.SetTargetCurveTypeMg(-1);
    EXPECT_EQ(a.TargetImportCurveLin.Mg, std::vector<double>(N, 1.0));

    // A pure delay of the compensated latency leaves no phase to correct.
    a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, 93.0), delayPhase(grid, 37), true,
                            false);
    a.SetLatencySamplesCompensation(37);
    a.BuildAplanatorCorrection();
    for (size_t i = 0; i < N; ++i) {
        ASSERT_NEAR(a.TargetResponse.Ph[i], 0.0, 1e-9) << grid.FreqDraw[i];
    }
}

TEST(Aplanator, PhaseIsCorrectedModuloWholeTurns) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    const size_t mid = pointOf(grid, 1000);
    TAplanator a(&grid);
    a.SetActive(true);
    struct Case {
        double phase, correction;
    };
    // Band means of 2 pi + 0.3, pi (half a turn rounds to even: no turn) and 3 pi (two turns).
    for (const Case c :
         {Case{2 * kPiValue + 0.3, -0.3}, Case{kPiValue, -kPiValue}, Case{3 * kPiValue, kPiValue}}) {
        a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, 80.0),
                                std::vector<double>(N, c.phase), true, false);
        a.BuildAplanatorCorrection();
        EXPECT_NEAR(a.TargetResponse.Ph[mid], c.correction, 1e-9) << c.phase;
        EXPECT_EQ(a.FTargetResponseLin().Ph[mid], a.TargetResponse.Ph[mid]);
    }
}

TEST(Aplanator, WorkingBandAndReferenceLevelFromTheSource) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    TAplanator a(&grid);
    // 100 dB from 200 Hz to 5 kHz, 85 dB elsewhere.
    std::vector<double> mg(N);
    for (size_t i = 0; i < N; ++i) {
        mg[i] = grid.FreqDraw[i] >= 200 && grid.FreqDraw[i] <= 5000 ? 100.0 : 85.0;
    }
    a.SourceCaptureResponse(gridFrequencies(grid), mg, std::vector<double>(N, 0.0), true, false);
    a.SourceCurve().SetReferenceSpl(0);
    a.CalculateWorkingBand();
    int32_t first = 0;
    int32_t last = 0;
    for (const int32_t f : grid.FreqDraw) {
        first = first == 0 && f >= 200 ? f : first;
        last = f <= 5000 ? f : last;
    }
    EXPECT_EQ(a.HPFreqCut(), first);
    EXPECT_EQ(a.LPFreqCut(), last);
    EXPECT_EQ(a.CalculateSourceReferenceLevel(), 100);
    EXPECT_EQ(a.SourceResponse.Mg[pointOf(grid, 1000)], 0.0);
    // A silent source has no band: the cuts stay.
    a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, -200.0),
                            std::vector<double>(N, 0.0), true, false);
    a.SourceCurve().SetReferenceSpl(0);
    a.CalculateWorkingBand();
    EXPECT_EQ(a.HPFreqCut(), first);
}

// A measured loudspeaker built from known filters: a bell, a low shelf and a delay of 24 samples.
struct Measurement {
    std::vector<double> Mg, Ph;
};
Measurement knownMeasurement(TDSPSpace& grid) {
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    Measurement m{std::vector<double>(N, 0.0), delayPhase(grid, 24)};
    std::vector<double> dB(N), ph(N);
    TSOS bell(&grid);
    bell.Active = true;
    bell.SetFrequency(1000);
    bell.SetGain(6.0);
    bell.SetQ(2.0);
    bell.CalcFilter();
    TSOS shelf(&grid);
    shelf.Active = true;
    shelf.FilterType = TPeqType::FSHELVINGPB12;
    shelf.SetFrequency(300);
    shelf.SetGain(-4.0);
    shelf.CalcFilter();
    for (const TSOS* s : {&bell, &shelf}) {
        s->CalcResponse(dB, ph);
        for (size_t i = 0; i < N; ++i) {
            m.Mg[i] += dB[i] + 90.0 / 2.0;
            m.Ph[i] += ph[i];
        }
    }
    return m;
}

TEST(Aplanator, FilterFromTheCorrectionFlattensTheMeasurement) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    const Measurement measured = knownMeasurement(grid);

    TFIR fir(&grid);
    fir.SetMaxTaps(4096);
    fir.Active = true;
    fir.SetWithAplanator(true);
    TAplanator& a = *fir.Aplanator();
    a.SourceCaptureResponse(gridFrequencies(grid), measured.Mg, measured.Ph, true, false);
    a.SetLatencySamplesCompensation(24);
    a.SetActive(true);
    a.Calculate(true, true);

    std::vector<double> dB(N), ph(N);
    fir.CalcResponseUnWrapped(dB, ph);
    const double firLatency = fir.SamplesLatency();
    const double reference = a.SourceCurve().FloatReferenceSpl();
    for (size_t i = 0; i < N; ++i) {
        const int32_t f = grid.FreqDraw[i];
        if (f < 200 || f > 10000) {
            continue;
        }
        // Measurement times filter: flat at the reference level, and a pure delay of the two
        // latencies.
        EXPECT_NEAR(measured.Mg[i] - reference + dB[i], 0.0, 0.1) << f << " Hz";
        const double residual =
            measured.Ph[i] + ph[i] + 2.0 * kPiValue * f * (24.0 + firLatency) / grid.iSampleRate();
        EXPECT_NEAR(std::remainder(residual, 2.0 * kPiValue), 0.0, 0.02) << f << " Hz";
    }
}

TEST(Aplanator, CorrectionImpulseResponseIsIdenticalSerialAndParallel) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    const Measurement measured = knownMeasurement(grid);
    TFIR fir(&grid);
    fir.SetMaxTaps(1024);
    fir.SetWithAplanator(true);
    TAplanator& a = *fir.Aplanator();
    a.SourceCaptureResponse(gridFrequencies(grid), measured.Mg, measured.Ph, true, false);
    a.SetLatencySamplesCompensation(24);
    a.SetActive(true);
    a.BuildAplanatorCorrection();
    std::vector<double> dB[2], ph[2];
    for (int run = 0; run < 2; ++run) {
        grid.SetUseParallelFor(run == 1);
        dB[run].resize(N);
        ph[run].resize(N);
        a.CalcResponseUnWrapped(dB[run], ph[run]);
    }
    EXPECT_EQ(dB[0], dB[1]);
    EXPECT_EQ(ph[0], ph[1]);
    // Levels between 0.01 and 0.1 dB occur here, so one zero threshold for both runs is what made
    // them equal.
    EXPECT_TRUE(std::any_of(dB[0].begin(), dB[0].end(),
                            [](double v) { return std::fabs(v) > 0.01 && std::fabs(v) < 0.1; }));
    // The impulse carries the correction: at 1 kHz it takes the bell's 6 dB out.
    EXPECT_NEAR(dB[0][pointOf(grid, 1000)], a.TargetResponse.Mg[pointOf(grid, 1000)], 0.2);

    // A neutral correction is a tap at half the length: 0 dB and no phase once that delay is out.
    a.SourceCaptureResponse(gridFrequencies(grid), std::vector<double>(N, 90.0), std::vector<double>(N, 0.0),
                            true, false);
    a.SetLatencySamplesCompensation(0);
    a.BuildAplanatorCorrection();
    a.CalcResponseUnWrapped(dB[0], ph[0]);
    for (size_t i = 0; i < N; ++i) {
        if (grid.FreqDraw[i] >= 100) {
            ASSERT_NEAR(dB[0][i], 0.0, 0.1) << grid.FreqDraw[i];
            ASSERT_NEAR(ph[0][i], 0.0, 0.01) << grid.FreqDraw[i];
        }
    }
}

} // namespace
} // namespace vendrel
