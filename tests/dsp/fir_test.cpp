#include "dsp/fir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <vector>

#include "dsp/aplanator.h"
#include "fir_tables.inc"

namespace vendrel {
namespace {

using namespace fir_tables;

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tol,
                size_t n) {
    ASSERT_GE(actual.size(), n);
    ASSERT_GE(expected.size(), n);
    for (size_t i = 0; i < n; ++i) {
        ASSERT_NEAR(actual[i], expected[i], tol) << "entry " << i;
    }
}

TEST(FirFilter, NewFilterIsAnInactiveUnitImpulseOf255Taps) {
    TDSPSpace grid;
    TFIR f(&grid);
    EXPECT_EQ(f.MaxTaps(), 255);
    EXPECT_EQ(f.NCoef(), 255);
    EXPECT_EQ(f.UseNTaps(), 255);
    EXPECT_EQ(f.FixedLatency(), 128);
    EXPECT_EQ(f.FirType(), TFIRType::qztfFCustom);
    EXPECT_FALSE(f.Active);
    EXPECT_EQ(f.Coef(0), 1.0);
    EXPECT_EQ(f.Coef(1), 0.0);
    EXPECT_EQ(f.Coef(255), 0.0);
    EXPECT_EQ(f.SamplesLatency(), 0.0);
    EXPECT_EQ(f.sLatency(), "0.00 ms");
    EXPECT_TRUE(f.RefMgBypass());
    EXPECT_TRUE(f.RefPhBypass());
    // The internal grid holds the caller's points at 96 kHz.
    EXPECT_EQ(f.DSPSpaceInternal96().iSampleRate(), 96000);
    EXPECT_EQ(f.DSPSpaceInternal96().FreqDraw, grid.FreqDraw);
}

TEST(FirFilter, TapCountSettersClampAndKeepTheLatencyInside) {
    TDSPSpace grid;
    TFIR f(&grid);
    struct MaxCase {
        int32_t set, taps, latency;
    };
    // Half-tap latencies round to even: 256 / 2 = 128, 21 / 2 = 10.5 -> 10.
    for (const MaxCase c :
         {MaxCase{0, 1, 0}, MaxCase{256, 256, 128}, MaxCase{21, 21, 10}, MaxCase{255, 255, 128}}) {
        f.SetMaxTaps(c.set);
        EXPECT_EQ(f.MaxTaps(), c.taps) << c.set;
        EXPECT_EQ(f.NCoef(), c.taps) << c.set;
        EXPECT_EQ(f.FixedLatency(), c.latency) << c.set;
    }
    f.SetUseNTaps(5);
    EXPECT_EQ(f.UseNTaps(), 20);
    EXPECT_EQ(f.FixedLatency(), 10);
    f.SetUseNTaps(1000);
    EXPECT_EQ(f.UseNTaps(), 255);

    f.SetFixedLatency(f.NCoef());
    EXPECT_EQ(f.FixedLatency(), 254);
    f.SetFixedLatency(-3);
    EXPECT_EQ(f.FixedLatency(), -3);

    // For external taps the count changes and nothing else.
    f.SetFirType(TFIRType::qztfFExternCoefs);
    f.SetUseNTaps(30);
    EXPECT_EQ(f.UseNTaps(), 30);
    EXPECT_EQ(f.NExternalCoef(), 30);
    EXPECT_EQ(f.NCoef(), 255);
}

// A filter of fewer taps than the minimum uses all of them and never more than its tables hold.
TEST(FirFilter, FewerTapsThanTheMinimumStayWithinTheTables) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    f.SetMaxTaps(8);
    for (const int32_t v : {5, 20, 1000}) {
        f.SetUseNTaps(v);
        EXPECT_EQ(f.UseNTaps(), 8) << v;
        EXPECT_LE(f.FixedLatency(), 7);
    }
    for (const auto type : {TFIRType::qztfFHanning, TFIRType::qztfFCustomLatency, TFIRType::qztfFCustom}) {
        f.SetFirType(type);
        f.FullCalculate();
    }
    EXPECT_EQ(f.HanningWindow().size(), 8u);
    f.SetUseAllTaps(false);
    f.SetUseAllTaps(true);
    EXPECT_EQ(f.UseNTaps(), 8);
}

TEST(FirFilter, UsableBandFollowsTheTapCount) {
    TDSPSpace grid;
    TFIR f(&grid);
    EXPECT_EQ(f.MinUsableFreq(), 886);
    f.SetUseNTaps(20);
    // Trunc(9.42477796076938 / 41 * 48000) + 1.
    EXPECT_EQ(f.MinUsableFreq(), 11034);
    EXPECT_EQ(f.MinUsablePhFreq(), 5517);
}

TEST(FirFilter, BesselI0MatchesScipy) {
    for (size_t i = 0; i < kBesselX.size(); ++i) {
        EXPECT_NEAR(TFIR::BesselI0(kBesselX[i]), kBesselI0[i], 1e-14 * kBesselI0[i]) << kBesselX[i];
    }
}

// Window tables against scipy.signal.windows, for an odd and an even tap count (the tables are
// centred on tap N / 2, half a tap off scipy's centre for odd N; the oracle accounts for it).
TEST(FirFilter, WindowTablesMatchScipy) {
    TDSPSpace grid;
    TFIR f(&grid);
    expectNear(f.HanningWindow(), kHann255, 1e-13, 255);
    expectNear(f.HammingWindow(), kHamming255, 1e-13, 255);
    expectNear(f.BlackmanWindow(), kBlackman255, 1e-13, 255);
    expectNear(f.BlackmanHarrisWindow(), kBlackmanHarris255, 1e-13, 255);
    f.SetMaxTaps(256);
    expectNear(f.HanningWindow(), kHann256, 1e-13, 256);
    expectNear(f.HammingWindow(), kHamming256, 1e-13, 256);
    expectNear(f.BlackmanWindow(), kBlackman256, 1e-13, 256);
    expectNear(f.BlackmanHarrisWindow(), kBlackmanHarris256, 1e-13, 256);
    expectNear(f.KaiserBesselWindow(), kKbd256Alpha1, 1e-13, 256);

    f.SetMaxTaps(64);
    f.SetKBAlpha(3.0);
    EXPECT_EQ(f.KBAlpha(), 3.0);
    expectNear(f.KaiserBesselWindow(), kKbd64Alpha3, 1e-13, 64);

    // A tap count below the capacity leaves the entries beyond it as they were (Kaiser-Bessel: zero).
    const double hanning40 = f.HanningWindow()[40];
    f.SetUseAllTaps(false);
    f.SetUseNTaps(32);
    EXPECT_EQ(f.KaiserBesselWindow()[40], 0.0);
    EXPECT_EQ(f.HanningWindow()[40], hanning40);
}

TEST(FirFilter, NonPositiveKaiserAlphaFillsOnesAndKeepsTheOldAlpha) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.SetMaxTaps(256);
    f.SetKBAlpha(0.0);
    EXPECT_EQ(f.KBAlpha(), 1.0);
    for (const double v : f.KaiserBesselWindow()) {
        ASSERT_EQ(v, 1.0);
    }
    // The next rebuild of the windows takes the old alpha again.
    f.SetUseNTaps(100);
    f.SetUseNTaps(256);
    expectNear(f.KaiserBesselWindow(), kKbd256Alpha1, 1e-13, 256);
}

TEST(FirFilter, CustomLatencyWindowPeaksAtTheChosenLatency) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.SetFixedLatency(40);
    const auto& w = f.HanningWindowCustomLatency();
    EXPECT_EQ(w.size(), 255u);
    EXPECT_DOUBLE_EQ(w[40], 1.0);
    EXPECT_LT(w[39], 1.0);
    EXPECT_LT(w[41], 1.0);
}

// FIR drawing bins are Trunc(SR / 2) / (N / 2 + 1) apart; each hertz maps to the first bin at or
// above it, limited to the grid's range.
TEST(FirFilter, FrequencyToFirBin) {
    TDSPSpace grid;
    TFIR f(&grid);
    const double spacing = 24000.0 / 128.0;
    EXPECT_EQ(f.FreqDrawFIR()[0], grid.FrequencyMinValue());
    EXPECT_EQ(f.FreqDrawFIR()[3], static_cast<int32_t>(3 * spacing));
    for (const int32_t hz : {20, 100, 1000, 1125, 1126, 10000, 19999}) {
        EXPECT_EQ(f.FreqToFirRef(hz), static_cast<int32_t>(std::ceil(hz / spacing))) << hz;
    }
    EXPECT_EQ(f.FreqToFirRef(100000), f.FreqToFirRef(19999));
    EXPECT_EQ(f.FreqToFirRef(5), f.FreqToFirRef(20));
}

TEST(FirFilter, LatencyOfExternalTapsAndItsText) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.Active = true;
    f.SetFirType(TFIRType::qztfFExternCoefs);
    std::vector<double> taps(200, 0.0);
    f.LoadCoefFromArray(taps, 200);
    EXPECT_EQ(f.SamplesLatency(), 0.0);
    taps[127] = 0.8;
    taps[150] = -0.8;
    f.LoadCoefFromArray(taps, 200);
    EXPECT_EQ(f.SamplesLatency(), 127.0);
    EXPECT_DOUBLE_EQ(f.Latency(), 127 * 1000.0 / 48000);
    EXPECT_EQ(f.sLatency(), "2.65 ms");

    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    EXPECT_EQ(f.sLatency(), "2,65 ms");
    std::locale::global(previous);

    f.Active = false;
    EXPECT_EQ(f.SamplesLatency(), 0.0);
    EXPECT_EQ(f.Latency(), 0.0);
}

TEST(FirFilter, FlatteningDesignerIsCreatedAttachedAndFreed) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.SetWithAplanator(false);
    f.SetWithAplanator(false);
    EXPECT_FALSE(f.WithAplanator());
    f.SetWithAplanator(true);
    ASSERT_TRUE(f.WithAplanator());
    EXPECT_EQ(f.Aplanator()->FExternalFIR, &f);
    f.SetMaxTaps(128); // rebuilds the designer's correction
    f.Reset();
    EXPECT_TRUE(f.WithAplanator());
    f.SetWithAplanator(false);
    EXPECT_EQ(f.Aplanator(), nullptr);
}

} // namespace
} // namespace vendrel
