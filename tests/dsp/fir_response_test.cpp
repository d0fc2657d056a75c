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

// An active filter playing the given external taps.
void playTaps(TFIR& f, const std::vector<double>& taps) {
    f.Active = true;
    f.SetMaxTaps(static_cast<int32_t>(taps.size()));
    f.SetFirType(TFIRType::qztfFExternCoefs);
    f.LoadCoefFromArray(taps, static_cast<int32_t>(taps.size()));
}

double angleError(double a, double b) {
    return std::abs(WrapRadiansPi(a - b));
}

// The Hamming band-pass taps evaluated on a custom grid, against scipy.signal.freqz.
TEST(FirResponse, FormsMatchFreqz) {
    TDSPSpace grid;
    grid.CustomLogspace(kGrid);
    const size_t P = kGrid.size();
    TFIR f(&grid);
    playTaps(f, kSincHammingBp200);

    std::vector<double> dB(P), ph(P), lin(P), linPh(P);
    std::vector<Complex> h(P + 1, Complex{7.0, 7.0});
    f.CalcResponse(dB, ph);
    f.CalcResponseLineal(lin, linPh);
    f.CalcResponseComplex(h);
    for (size_t i = 0; i < P; ++i) {
        SCOPED_TRACE(kGrid[i]);
        const double expectedDb = std::abs(kBandPassResponseDb[i]) < 0.01 ? 0.0 : kBandPassResponseDb[i];
        EXPECT_NEAR(dB[i], expectedDb, 1e-9);
        EXPECT_NEAR(lin[i], std::hypot(kBandPassResponseRe[i], kBandPassResponseIm[i]), 1e-12);
        EXPECT_NEAR(h[i].Re, kBandPassResponseRe[i], 1e-12);
        EXPECT_NEAR(h[i].Im, kBandPassResponseIm[i], 1e-12);
        EXPECT_LT(angleError(ph[i], kBandPassResponsePh[i]), 1e-9);
        EXPECT_EQ(linPh[i], ph[i]);
        const double pointDb = std::abs(kBandPassResponseDb[i]) < 0.001 ? 0.0 : kBandPassResponseDb[i];
        EXPECT_NEAR(f.CalculaHw_ph_FIR_pto(static_cast<int32_t>(i)), pointDb, 1e-9);
    }
    EXPECT_EQ(h[P].Re, 7.0); // entries beyond the grid are left alone
}

// A pure delay of D samples: 0 dB, phase -wD (wrapped, or whole about the latency), and the complex
// value (cos wD, -sin wD).
TEST(FirResponse, PureDelay) {
    TDSPSpace grid;
    const auto P = static_cast<size_t>(grid.NRealFreqPoints());
    TFIR f(&grid);
    std::vector<double> taps(64, 0.0);
    taps[37] = 1.0;
    playTaps(f, taps);
    EXPECT_EQ(f.SamplesLatency(), 37.0);

    std::vector<double> dB(P), ph(P), udB(P), uph(P), ulin(P), ulinPh(P);
    std::vector<Complex> h(P);
    f.CalcResponse(dB, ph);
    f.CalcResponseUnWrapped(udB, uph);
    f.CalcResponseLinealUnWrapped(ulin, ulinPh);
    f.CalcResponseComplex(h);
    for (size_t i = 0; i < P; ++i) {
        const double w = grid.Hwdibu[i];
        ASSERT_EQ(dB[i], 0.0);
        ASSERT_EQ(udB[i], 0.0);
        ASSERT_EQ(ulin[i], 1.0);
        ASSERT_LT(angleError(ph[i], -w * 37), 1e-9);
        ASSERT_GT(ph[i], -kPi);
        ASSERT_LE(ph[i], kPi);
        ASSERT_NEAR(uph[i], -w * 37, 1e-9);
        ASSERT_EQ(ulinPh[i], uph[i]);
        ASSERT_NEAR(h[i].Re, std::cos(w * 37), 1e-12);
        ASSERT_NEAR(h[i].Im, -std::sin(w * 37), 1e-12);
    }
}

TEST(FirResponse, InactiveFilterIsFlatWhateverItsTaps) {
    TDSPSpace grid;
    const auto P = static_cast<size_t>(grid.NRealFreqPoints());
    TFIR f(&grid);
    std::vector<double> taps(64, 0.3);
    playTaps(f, taps);
    f.Active = false;
    std::vector<double> dB(P), ph(P), lin(P), uph(P);
    f.CalcResponse(dB, ph);
    f.CalcResponseLinealUnWrapped(lin, uph);
    for (size_t i = 0; i < P; ++i) {
        ASSERT_EQ(dB[i], 0.0);
        ASSERT_EQ(ph[i], 0.0);
        ASSERT_EQ(lin[i], 1.0);
        ASSERT_EQ(uph[i], 0.0);
    }
}

// Each form zeroes its own band: -0.03 dB reads 0 unwrapped but not wrapped; a gain of 1.0008 reads
// 1 from the unwrapped linear form only.
TEST(FirResponse, SnappingBandsDifferByForm) {
    TDSPSpace grid;
    const auto P = static_cast<size_t>(grid.NRealFreqPoints());
    TFIR f(&grid);
    std::vector<double> dB(P), ph(P), lin(P);
    std::vector<double> taps(32, 0.0);

    taps[0] = std::pow(10.0, -0.03 / 20.0);
    playTaps(f, taps);
    f.CalcResponse(dB, ph);
    EXPECT_NEAR(dB[100], -0.03, 1e-12);
    f.CalcResponseUnWrapped(dB, ph);
    EXPECT_EQ(dB[100], 0.0);

    taps[0] = 1.0008;
    playTaps(f, taps);
    f.CalcResponseLineal(lin, ph);
    EXPECT_NEAR(lin[100], 1.0008, 1e-12);
    f.CalcResponseLinealUnWrapped(lin, ph);
    EXPECT_EQ(lin[100], 1.0);
}

// Loaded external taps keep their count when the capacity is lowered; taps beyond it count as 0.
TEST(FirResponse, TapsBeyondALoweredCapacityCountAsZero) {
    TDSPSpace grid;
    const auto P = static_cast<size_t>(grid.NRealFreqPoints());
    std::vector<double> taps(40, 0.0);
    taps[3] = 0.5;
    taps[30] = 1.0;
    TFIR f(&grid);
    playTaps(f, taps);
    f.SetMaxTaps(10);
    EXPECT_EQ(f.UseNTaps(), 40);
    std::vector<Complex> h(P);
    f.CalcResponseComplex(h);
    for (size_t i = 0; i < P; ++i) {
        ASSERT_NEAR(h[i].Re, 0.5 * std::cos(grid.Hwdibu[i] * 3), 1e-12);
    }
}

TEST(FirResponse, ShortOutputsAndPointsOutsideTheGridAreRangeErrors) {
    TDSPSpace grid;
    TFIR f(&grid);
    std::vector<double> shortArray(10);
    std::vector<double> full(static_cast<size_t>(grid.NRealFreqPoints()));
    std::vector<Complex> shortComplex(10);
    EXPECT_THROW(f.CalcResponse(shortArray, full), ERangeError);
    EXPECT_THROW(f.CalcResponseLinealUnWrapped(full, shortArray), ERangeError);
    EXPECT_THROW(f.CalcResponseComplex(shortComplex), ERangeError);
    EXPECT_THROW(f.CalculaHw_ph_FIR_pto(-1), ERangeError);
    EXPECT_THROW(f.CalculaHw_ph_FIR_pto(grid.NRealFreqPoints()), ERangeError);
}

TEST(FirResponse, SerialAndParallelResponsesAgreeBitForBit) {
    TDSPSpace grid;
    const auto P = static_cast<size_t>(grid.NRealFreqPoints());
    std::vector<std::vector<double>> results;
    for (const bool parallel : {false, true}) {
        grid.SetUseParallelFor(parallel);
        TFIR f(&grid);
        playTaps(f, kSincBlackmanHarrisHp256);
        std::vector<double> dB(P), ph(P), udB(P), uph(P);
        std::vector<Complex> h(P);
        f.CalcResponse(dB, ph);
        f.CalcResponseUnWrapped(udB, uph);
        f.CalcResponseComplex(h);
        std::vector<double> all = dB;
        all.insert(all.end(), ph.begin(), ph.end());
        all.insert(all.end(), udB.begin(), udB.end());
        all.insert(all.end(), uph.begin(), uph.end());
        for (const auto& c : h) {
            all.push_back(c.Re);
            all.push_back(c.Im);
        }
        results.push_back(all);
    }
    EXPECT_EQ(results[0], results[1]);
}

} // namespace
} // namespace vendrel
