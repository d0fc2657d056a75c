#include "dsp/fir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/complex.h"
#include "fir_tables.inc"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using namespace fir_tables;

struct SincCase {
    const char* name;
    TFIRType type;
    int32_t hplp, taps, fc1, fc2;
    const std::vector<double>* expected;
};

// Windowed-sinc designs against scipy.signal.firwin times the scipy window; the sinc is centred on
// tap N / 2 + 1 and the latency is the largest tap.
TEST(FirDesign, WindowedSincMatchesFirwin) {
    const std::vector<SincCase> cases = {
        {"rectangular low-pass", TFIRType::qztfFRectangular, 0, 255, 1000, 0, &kSincRectLp255},
        {"Hanning high-pass", TFIRType::qztfFHanning, 1, 255, 2000, 0, &kSincHannHp255},
        {"Hamming band-pass", TFIRType::qztfFHamming, 2, 200, 500, 4000, &kSincHammingBp200},
        {"Blackman low-pass", TFIRType::qztfFBlackman, 0, 101, 6000, 0, &kSincBlackmanLp101},
        {"Blackman-Harris high-pass", TFIRType::qztfFBlackmanHarris, 1, 256, 1500, 0,
         &kSincBlackmanHarrisHp256},
    };
    TDSPSpace grid;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFIR f(&grid);
        f.Active = true;
        f.fc1 = c.fc1;
        f.fc2 = c.fc2;
        f.hplp = c.hplp;
        f.SetMaxTaps(300);
        f.SetUseAllTaps(false);
        f.SetUseNTaps(c.taps);
        f.SetFirType(c.type);
        const auto& expected = *c.expected;
        size_t peak = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_NEAR(f.Coef(static_cast<int32_t>(i)), expected[i], 1e-12) << "tap " << i;
            if (expected[i] > expected[peak]) {
                peak = i;
            }
        }
        for (int32_t i = c.taps; i < 300; ++i) {
            ASSERT_EQ(f.Coef(i), 0.0);
        }
        EXPECT_EQ(f.SamplesLatency(), static_cast<double>(peak));
    }
}

TEST(FirDesign, RectangularLowPassWorkedCase) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    f.SetFirType(TFIRType::qztfFRectangular);
    // Centre tap M + 1 = 128: 2 f with f = 1000 / 48000 plus half the transition width 0.9 / 255.
    EXPECT_DOUBLE_EQ(f.Coef(128), 2.0 * (1000.0 / 48000 + 0.9 / 255 / 2));
    const double f0 = 1000.0 / 48000 + 0.9 / 255 / 2;
    EXPECT_NEAR(f.Coef(0), std::sin(2 * M_PI * f0 * -128) / (M_PI * -128), 1e-15);
    EXPECT_EQ(f.SamplesLatency(), 128.0);
    // Inactive, the same design answers as a unit impulse.
    f.Active = false;
    f.CalcFir(true, true);
    EXPECT_EQ(f.Coef(0), 1.0);
    EXPECT_EQ(f.Coef(128), 0.0);
    EXPECT_EQ(f.DesignedCoefs()[128], 0.0);
}

// Frequency sampling of caller targets against numpy's inverse FFT of the same resampled spectrum.
TEST(FirDesign, FrequencySamplingMatchesInverseFft) {
    struct Case {
        int32_t taps, latency;
        const std::vector<double>* expected;
        double reportedLatency;
    };
    TDSPSpace grid;
    grid.CustomLogspace(kGrid);
    for (const Case c : {Case{255, 10, &kFsampN255L10, 10}, Case{64, 40, &kFsampN64L40, 40},
                         Case{255, -3, &kFsampN255Lm3, 0}}) {
        SCOPED_TRACE(c.taps * 1000 + c.latency);
        TFIR f(&grid);
        f.Active = true;
        f.SetFirType(TFIRType::qztfFCustomLatency);
        f.SetUseAllTaps(false);
        f.SetUseNTaps(c.taps);
        f.SetFixedLatency(c.latency);
        f.CalculaFIRCustomLatencyExternalRef(kRefMg, kRefPh);
        EXPECT_FALSE(f.RefMgBypass());
        EXPECT_FALSE(f.RefPhBypass());
        for (int32_t i = 0; i < c.taps; ++i) {
            ASSERT_NEAR(f.Coef(i), (*c.expected)[static_cast<size_t>(i)], 1e-12) << "tap " << i;
        }
        for (int32_t i = c.taps; i < 255; ++i) {
            ASSERT_EQ(f.Coef(i), 0.0);
        }
        EXPECT_EQ(f.SamplesLatency(), c.reportedLatency);
    }
}

TEST(FirDesign, CallerTargetsShorterThanTheGridAreARangeError) {
    TDSPSpace grid;
    TFIR f(&grid);
    const std::vector<double> tooShort(10, 1.0);
    EXPECT_THROW(f.CalculaFIRCustomLatencyExternalRef(tooShort, tooShort), ERangeError);
    EXPECT_THROW(f.CalculaFIRCustomLatencyExternalRef({}, {}), ERangeError);
}

TEST(FirDesign, SerialAndParallelDesignsAgreeBitForBit) {
    TDSPSpace grid;
    grid.CustomLogspace(kGrid);
    std::vector<std::vector<double>> results;
    for (const bool parallel : {false, true}) {
        grid.SetUseParallelFor(parallel);
        TFIR f(&grid);
        f.Active = true;
        f.SetFirType(TFIRType::qztfFCustomLatency);
        f.SetFixedLatency(60);
        f.CalculaFIRCustomLatencyExternalRef(kRefMg, kRefPh);
        results.push_back(f.DesignedCoefs());
    }
    EXPECT_EQ(results[0], results[1]);
}

// The steered beam resets each source's filter and converts a flat level and a steering delay,
// given per grid point in dB and radians, into external taps. The taps must carry that level and
// delay on top of the filter's own latency of NCoef / 2 - also on a grid of fewer points than the
// filter has bins (a loudspeaker model's 1/6-octave grid).
TEST(FirDesign, ConvertedBeamResponseCarriesItsLevelAndSteeringDelay) {
    TDSPSpace sixth;
    sixth.LogspacePerBand(20, 20000, TFreqBands::fbOneSixOctave);
    ASSERT_LT(sixth.NRealFreqPoints(), 127);
    for (TDSPSpace grid : {TDSPSpace(), sixth}) {
        const int32_t points = grid.NRealFreqPoints();
        const double sr = grid.iSampleRate();
        TFIR f(&grid);
        f.SetMaxTaps(255);
        for (const int32_t delay : {0, 5, -7}) {
            SCOPED_TRACE(delay);
            f.Reset();
            std::vector<double> mg(static_cast<size_t>(points), -6.0);
            std::vector<double> ph(static_cast<size_t>(points));
            for (int32_t k = 0; k < points; ++k) {
                ph[static_cast<size_t>(k)] = -(grid.FreqDraw[static_cast<size_t>(k)] * kTwoPi / sr) * delay;
            }
            f.ConvertToCoefs(grid.FreqDraw, mg, ph, false, true);
            EXPECT_EQ(f.FirType(), TFIRType::qztfFExternCoefs);
            EXPECT_EQ(f.UseNTaps(), 255);
            EXPECT_EQ(f.ExternalLatency(), 127 + delay);

            f.Active = true;
            std::vector<double> lin(static_cast<size_t>(points));
            std::vector<double> phase(static_cast<size_t>(points));
            f.CalcResponseLineal(lin, phase);
            const double level = std::pow(10.0, -6.0 / 20.0); // 0.501...
            for (int32_t k = 0; k < points; ++k) {
                const auto i = static_cast<size_t>(k);
                const double fHz = grid.FreqDraw[i];
                // The edges of a 255-tap design; from the grid's last but one point on the conversion
                // holds the last reference values.
                if (fHz < 200.0 || fHz > 18000.0 || fHz >= grid.FreqDraw[static_cast<size_t>(points - 2)]) {
                    continue;
                }
                const double w = fHz * kTwoPi / sr;
                ASSERT_NEAR(lin[i], level, 0.01 * level) << fHz << " Hz";
                const double steering = phase[i] + 127.0 * w; // the beam removes the filter's own latency
                ASSERT_NEAR(WrapRadiansPi(steering + w * delay), 0.0, 0.02) << fHz << " Hz";
            }
        }
    }
}

TEST(FirDesign, ConvertToCoefsUnitsAndErrors) {
    TDSPSpace grid;
    const auto n = static_cast<size_t>(grid.NRealFreqPoints());
    std::vector<double> ph(n);
    std::vector<double> phDeg(n);
    for (size_t k = 0; k < n; ++k) {
        ph[k] = -grid.FreqDraw[k] * kTwoPi / grid.iSampleRate() * 3.0;
        phDeg[k] = ph[k] * 57.29577951308232;
    }
    TFIR radians(&grid);
    radians.ConvertToCoefs(grid.FreqDraw, std::vector<double>(n, 0.5), ph, true, true);
    TFIR degrees(&grid);
    degrees.ConvertToCoefs(grid.FreqDraw, std::vector<double>(n, 20.0 * std::log10(0.5)), phDeg, false,
                           false);
    for (int32_t i = 0; i < 255; ++i) {
        ASSERT_NEAR(radians.ExternalCoefs()[static_cast<size_t>(i)],
                    degrees.ExternalCoefs()[static_cast<size_t>(i)], 1e-12);
    }

    TFIR f(&grid);
    const std::vector<int32_t> oneFrequency = {1000};
    EXPECT_THROW(f.ConvertToCoefs(oneFrequency, {{0.0}}, {{0.0}}, false, true), ERangeError);
    EXPECT_THROW(f.ConvertToCoefs(grid.FreqDraw, {}, ph, false, true), ERangeError);
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

// A filter whose shaping sections and phase points are all off designs nothing: both targets are
// flat and the taps a unit impulse of latency 0.
TEST(FirTargets, FlatTargetsGiveAUnitImpulse) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    f.FullCalculate();
    EXPECT_TRUE(f.RefMgBypass());
    EXPECT_TRUE(f.RefPhBypass());
    EXPECT_EQ(f.Coef(0), 1.0);
    EXPECT_EQ(f.Coef(127), 0.0);
    EXPECT_EQ(f.SamplesLatency(), 0.0);
}

TEST(FirTargets, ShapingSectionsBuildTheMagnitudeTargetAndTheTapsFollowIt) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    const auto at2k = static_cast<size_t>(grid.FreqToPoint(2000));
    TSOS& bell = *f.PeqMg->Peqs[0];
    bell.Active = true;
    bell.SetFrequency(grid.FreqDraw[at2k]);
    bell.SetGain(6.0);
    bell.SetQ(1.0);
    f.FullCalculate();
    EXPECT_FALSE(f.RefMgBypass());
    EXPECT_TRUE(f.RefPhBypass());
    const auto& target = f.ReferenceMg();
    ASSERT_EQ(target.size(), static_cast<size_t>(grid.NRealFreqPoints()));
    // A bell on a grid point reaches its gain there; far from it the product snaps to exactly 1.
    EXPECT_NEAR(target[at2k], std::pow(10.0, 6.0 / 20.0), 1e-9);
    EXPECT_EQ(target[0], 1.0);

    // Frequency sampling with latency NCoef / 2: the response follows the target with the
    // latency's linear phase only.
    EXPECT_EQ(f.SamplesLatency(), 127.0);
    std::vector<double> dB(target.size());
    std::vector<double> ph(target.size());
    f.CalcResponseUnWrapped(dB, ph);
    for (size_t i = 0; i < target.size(); ++i) {
        const double hz = grid.FreqDraw[i];
        if (hz < 300.0 || hz > 18000.0) {
            continue;
        }
        ASSERT_NEAR(dB[i], 20.0 * std::log10(target[i]), 0.1) << hz << " Hz";
        ASSERT_NEAR(ph[i], -127.0 * hz * kTwoPi / grid.iSampleRate(), 0.02) << hz << " Hz";
    }

    // The same target with a chosen latency: the taps peak there.
    f.SetFirType(TFIRType::qztfFCustomLatency);
    f.SetFixedLatency(10);
    EXPECT_EQ(f.SamplesLatency(), 10.0);
    int32_t peak = 0;
    for (int32_t i = 1; i < f.NCoef(); ++i) {
        if (std::abs(f.Coef(i)) > std::abs(f.Coef(peak))) {
            peak = i;
        }
    }
    EXPECT_EQ(peak, 10);

    // Inactive, the target is still built for display while the taps stay a unit impulse.
    f.Active = false;
    f.FullCalculate();
    EXPECT_FALSE(f.RefMgBypass());
    EXPECT_EQ(f.Coef(0), 1.0);
    EXPECT_EQ(f.DesignedCoefs()[10], 0.0);
}

// A phase point of D degrees is a bell of D * 15 / 180 dB whose level becomes phase: 15 dB stand for
// pi radians.
TEST(FirTargets, PhasePointOf180DegreesPeaksAtPi) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    const auto at1k = static_cast<size_t>(grid.FreqToPoint(1000));
    TFrPhPoint& point = *f.PhasePoints[3];
    point.SetActive(true);
    point.SetFrequency(grid.FreqDraw[at1k]);
    point.SetDegrees(180.0);
    f.FullCalculate();
    EXPECT_TRUE(f.RefMgBypass());
    EXPECT_FALSE(f.RefPhBypass());
    const auto& target = f.ReferencePh();
    EXPECT_NEAR(target[at1k], kPi, 1e-9);
    EXPECT_EQ(*std::max_element(target.begin(), target.end()), target[at1k]);

    // The realised phase about the latency follows the target.
    std::vector<double> dB(target.size());
    std::vector<double> ph(target.size());
    f.CalcResponseUnWrapped(dB, ph);
    const double w = grid.FreqDraw[at1k] * kTwoPi / grid.iSampleRate();
    EXPECT_NEAR(ph[at1k] + 127.0 * w, kPi, 0.05);
    EXPECT_NEAR(dB[at1k], 0.0, 0.1);

    f.ResetPhase();
    EXPECT_TRUE(f.RefPhBypass());
    EXPECT_FALSE(f.PhasePoints[3]->Active());
}

// Sections spread over the usable band: NPeqs inner points of NPeqs + 1 logarithmic divisions
// from the band's edge to the top of the grid, on whole tens of hertz; the crossovers frame them.
TEST(FirTargets, ResetSpreadsTheShapingSectionsOverTheUsableBand) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.SetMgPoints(6);
    ASSERT_EQ(f.PeqMg->NPeqs(), 6);
    const double a = std::log10(886.0);
    const double b = std::log10(20000.0);
    for (int32_t i = 0; i < 6; ++i) {
        const double expected = std::pow(10.0, a + (b - a) / 7.0 * (i + 1));
        const int32_t hz = f.PeqMg->Peqs[static_cast<size_t>(i)]->Frequency();
        EXPECT_EQ(hz % 10, 0);
        EXPECT_NEAR(hz, expected, 10.0) << i;
    }
    EXPECT_EQ(f.XoverHpMg->FrequencyCut(), f.MinUsableFreq());
    const int32_t last = f.PeqMg->Peqs.back()->Frequency();
    EXPECT_EQ(f.XoverLpMg->FrequencyCut(), last + 10 * ((20000 - last) / 20));
    f.SetPhPoints(4);
    ASSERT_EQ(f.PhasePoints.size(), 4u);
    for (const auto& p : f.PhasePoints) {
        EXPECT_FALSE(p->Active());
        EXPECT_GE(p->Frequency(), f.MinUsableFreq());
    }
}

} // namespace
} // namespace vendrel
