#include "dsp/fir.h"

#include <gtest/gtest.h>

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
        {"Blackman-Harris high-pass", TFIRType::qztfFBlackmanHarris, 1, 256, 1500, 0, &kSincBlackmanHarrisHp256},
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
// delay on top of the filter's own latency of NCoef / 2.
TEST(FirDesign, ConvertedBeamResponseCarriesItsLevelAndSteeringDelay) {
    TDSPSpace grid;
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
            if (fHz < 200.0 || fHz > 18000.0) {
                continue; // the edges of a 255-tap design
            }
            const double w = fHz * kTwoPi / sr;
            ASSERT_NEAR(lin[i], level, 0.01 * level) << fHz << " Hz";
            const double steering = phase[i] + 127.0 * w; // the beam removes the filter's own latency
            ASSERT_NEAR(WrapRadiansPi(steering + w * delay), 0.0, 0.02) << fHz << " Hz";
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
    degrees.ConvertToCoefs(grid.FreqDraw, std::vector<double>(n, 20.0 * std::log10(0.5)), phDeg, false, false);
    for (int32_t i = 0; i < 255; ++i) {
        ASSERT_NEAR(radians.ExternalCoefs()[static_cast<size_t>(i)], degrees.ExternalCoefs()[static_cast<size_t>(i)],
                    1e-12);
    }

    TFIR f(&grid);
    const std::vector<int32_t> oneFrequency = {1000};
    EXPECT_THROW(f.ConvertToCoefs(oneFrequency, {{0.0}}, {{0.0}}, false, true), ERangeError);
    EXPECT_THROW(f.ConvertToCoefs(grid.FreqDraw, {}, ph, false, true), ERangeError);
}

} // namespace
} // namespace vendrel
