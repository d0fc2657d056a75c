#include "dsp/biquad.h"
#include "dsp/complex.h"
#include "dsp/peqs.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vendrel {
namespace {

TEST(Section, NewSectionIsAnInactiveBell) {
    TDSPSpace s;
    TSOS sos(&s);
    EXPECT_EQ(sos.FilterType, TPeqType::FPARAMETRICOQA);
    EXPECT_EQ(sos.Frequency(), 1000);
    EXPECT_EQ(sos.Gain(), 0.0);
    EXPECT_EQ(sos.Q(), 0.7);
    EXPECT_FALSE(sos.Active);
    EXPECT_EQ(sos.Parent(), nullptr);
    EXPECT_EQ(sos.b0, 1.0);
    EXPECT_EQ(sos.a1, 0.0);
    EXPECT_EQ(sos.Slew, 0.05);
}

TEST(Section, SettersQuantiseAndLimit) {
    TDSPSpace s;
    TSOS sos(&s);
    struct Case {
        double in, stored;
    };
    // One decimal by default; halves go to the even neighbour.
    for (const Case c : {Case{3.14, 3.1}, Case{20, 15}, Case{-20, -15}, Case{0.25, 0.2}, Case{0.35, 0.4},
                         Case{-0.05, 0.0}}) {
        sos.SetGain(c.in);
        EXPECT_EQ(sos.Gain(), c.stored) << c.in;
    }
    for (const Case c : {Case{0.65, 0.6}, Case{0.75, 0.8}, Case{0.04, 0.1}, Case{25, 20}, Case{2.449, 2.4}}) {
        sos.SetQ(c.in);
        EXPECT_EQ(sos.Q(), c.stored) << c.in;
    }
    s.SetFilterGainPrecision(2);
    sos.SetGain(1.234);
    EXPECT_EQ(sos.Gain(), 1.23);
    s.SetFilterQPrecision(0);
    sos.SetQ(2.5);
    EXPECT_EQ(sos.Q(), 2.0);
    sos.SetFrequency(25000);
    EXPECT_EQ(sos.Frequency(), 20000);
    sos.SetFrequency(5);
    EXPECT_EQ(sos.Frequency(), 20);
}

// A new section and a reset one hold the same Q: the default 0.7 goes through the grid's Q precision
// both times (to 1 at precision 0), also for the sections of a new PEQ bank.
TEST(Section, NewAndResetSectionsQuantiseTheDefaultQAlike) {
    TDSPSpace s;
    s.SetFilterQPrecision(0);
    TSOS fresh(&s);
    TSOS reset(&s);
    reset.SetQ(3.0);
    reset.Reset();
    EXPECT_EQ(fresh.Q(), 1.0);
    EXPECT_EQ(reset.Q(), 1.0);
    s.SetFilterQPrecision(1);
    EXPECT_EQ(TSOS(&s).Q(), 0.7);
}

TEST(Section, BandwidthInOctaves) {
    TDSPSpace s;
    TSOS sos(&s);
    sos.SetBandwidthOct(1);
    EXPECT_EQ(sos.Q(), 1.4);
    // log2(y + sqrt(y^2 - 1)) with y = 1 + 1/(2 * 1.4^2): 1.00976 octave.
    EXPECT_NEAR(sos.BandwidthOct(), 1.00976, 1e-5);
    // Constant-Q bells scale by half the linear gain.
    sos.FilterType = TPeqType::FPARAMETRICOQC;
    sos.SetGain(6);
    sos.SetBandwidthOct(1);
    EXPECT_EQ(sos.Q(), 1.4); // sqrt(2) * 10^(6/20) / 2 = 1.41
    EXPECT_NEAR(sos.BandwidthOct(), 1.0, 0.02);
    sos.FilterType = TPeqType::FPASOBAJO;
    sos.SetBandwidthOct(3);
    EXPECT_EQ(sos.Q(), 1.4);
    EXPECT_EQ(sos.BandwidthOct(), -1.0);
}

TEST(Section, ZeroGainBellsAndInactiveSectionsAreFlat) {
    TDSPSpace s;
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n, 7), ph(n, 7);
    for (const TPeqType t : {TPeqType::FPARAMETRICOQA, TPeqType::FPARAMETRICOQC}) {
        TSOS sos(&s);
        sos.FilterType = t;
        sos.Active = true;
        sos.CalcFilter();
        sos.CalcResponse(dB, ph);
        EXPECT_EQ(dB, std::vector<double>(n, 0.0));
        for (const double p : ph) {
            EXPECT_NEAR(p, 0.0, 1e-15);
        }
    }
    TSOS off(&s);
    off.SetGain(9);
    off.CalcFilter();
    off.CalcResponse(dB, ph);
    EXPECT_EQ(dB, std::vector<double>(n, 0.0));
    EXPECT_EQ(ph, std::vector<double>(n, 0.0));
    std::vector<double> shortArray(n - 1);
    EXPECT_THROW(off.CalcResponse(shortArray, ph), ERangeError);
}

TEST(Section, PassDesignsClearTheGainAndZeroMagnitudeReads220dBDown) {
    TDSPSpace s;
    TSOS sos(&s);
    sos.SetGain(6);
    sos.FilterType = TPeqType::FPASOBAJO;
    sos.Active = true;
    sos.CalcFilter();
    EXPECT_EQ(sos.Gain(), 0.0);
    // A user section with an exact zero at every point: H = 0 everywhere.
    sos.FilterType = TPeqType::FCoefIIR;
    sos.SetCustomCoef(1, 0, 0, 0, 0, 0);
    sos.CalcFilter();
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n), ph(n);
    sos.CalcResponse(dB, ph);
    EXPECT_NEAR(dB[0], -220.0, 1e-9);
    // a0 = 0 gives non-finite coefficients, no error.
    sos.SetCustomCoef(0, 0, 0, 1, 0, 0);
    sos.CalcFilter();
    EXPECT_TRUE(std::isinf(sos.b0));
}

TEST(Section, BandPassRaisesQToOne) {
    TDSPSpace s;
    TSOS a(&s), b(&s);
    for (TSOS* x : {&a, &b}) {
        x->FilterType = TPeqType::FPASOBANDA;
        x->Active = true;
    }
    a.SetQ(0.5);
    b.SetQ(1.0);
    a.CalcFilter();
    b.CalcFilter();
    EXPECT_EQ(a.b0, b.b0);
    EXPECT_EQ(a.a1, b.a1);
    EXPECT_EQ(a.a2, b.a2);
}

TEST(PeqBank, NewBankSpreadsTenInactiveSections) {
    TDSPSpace s;
    TPeqs bank(&s);
    EXPECT_EQ(bank.NPeqs(), 10);
    EXPECT_TRUE(bank.Active());
    const int32_t want[] = {60, 110, 200, 350, 630, 1120, 2000, 3550, 6320, 11240};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(bank.Peqs[i]->Frequency(), want[i]);
        EXPECT_FALSE(bank.Peqs[i]->Active);
        EXPECT_EQ(bank.Peqs[i]->Parent(), &bank);
    }
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n, 1), ph(n, 1);
    bank.CalcAllPeqs();
    bank.CalcResponse(dB, ph);
    EXPECT_EQ(dB, std::vector<double>(n, 0.0));
    EXPECT_EQ(ph, std::vector<double>(n, 0.0));

    TDSPSpace octave;
    octave.LogspacePerBand(20, 20000, TFreqBands::fbOneOctave);
    TPeqs other(&octave);
    const int32_t wantOctave[] = {80, 140, 240, 410, 700, 1180, 1990, 3350, 5640, 9500};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(other.Peqs[i]->Frequency(), wantOctave[i]);
    }
}

TEST(PeqBank, CountChangesReplaceTheSections) {
    TDSPSpace s;
    TPeqs bank(&s);
    bank.Peqs[0]->SetGain(5);
    bank.SetNPeqs(0);
    EXPECT_EQ(bank.NPeqs(), 10);
    EXPECT_EQ(bank.Peqs[0]->Gain(), 5.0);
    bank.SetNPeqs(5);
    ASSERT_EQ(bank.Peqs.size(), 5u);
    EXPECT_EQ(bank.Peqs[0]->Gain(), 0.0);
    EXPECT_EQ(bank.Peqs[4]->Parent(), &bank);
}

TEST(PeqBank, TwoEqualBellsAddUpAndTheBankSwitchBypasses) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    TPeqs bank(&s);
    bank.SetNPeqs(2);
    for (auto& sec : bank.Peqs) {
        sec->SetFrequency(1000);
        sec->SetGain(6);
        sec->SetQ(2);
        sec->Active = true;
    }
    bank.CalcAllPeqs();
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    const size_t at1k = static_cast<size_t>(s.FreqToPoint(1000));
    ASSERT_EQ(s.FreqDraw[at1k], 1000);
    std::vector<double> dB(n), ph(n);
    bank.CalcResponse(dB, ph);
    EXPECT_NEAR(dB[at1k], 12.0, 1e-9);
    bank.CalcResponseUnWrapped(dB, ph);
    EXPECT_NEAR(dB[at1k], 12.0, 1e-9);
    std::vector<Complex> h(n);
    bank.CalcResponseComplex(h);
    EXPECT_NEAR(20 * std::log10(ComplexAbs(h[at1k])), 12.0, 1e-9);

    bank.SetActive(false);
    bank.CalcAllPeqs();
    bank.CalcResponse(dB, ph);
    EXPECT_EQ(dB, std::vector<double>(n, 0.0));
    EXPECT_EQ(ph, std::vector<double>(n, 0.0));
    EXPECT_TRUE(bank.Peqs[0]->Active);
}

} // namespace
} // namespace vendrel
