// Biquad sections, PEQ banks and crossovers against responses computed by make_filter_tables.py
// (RBJ cookbook, scipy butter/bilinear/freqz, and the program's own designs restated in Python).

#include "dsp/biquad.h"
#include "dsp/complex.h"
#include "dsp/peqs.h"
#include "dsp/xover.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace vendrel {
namespace {

struct SectionCase {
    TPeqType type;
    int32_t rate, freq;
    double gain, q;
    std::vector<Complex> h;
};
struct XoverCase {
    TXoverType type;
    bool high;
    int32_t order, cut, rate, cutAfter;
    std::vector<Complex> h;
};
#include "filter_tables.inc"

// Responses agree to 1e-9 relative to the larger of |H| and 1 (the 2*pi literal and the order of
// operations differ from the oracle's).
constexpr double kTol = 1e-9;

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

TDSPSpace thirdOctaveGrid(int32_t rate) {
    TDSPSpace s;
    s.SetSampleRate(rateOf(rate));
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    return s;
}

void expectResponse(const std::vector<Complex>& got, const std::vector<Complex>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const double scale = std::max(1.0, std::hypot(want[i].Re, want[i].Im));
        EXPECT_NEAR(got[i].Re, want[i].Re, kTol * scale) << what << " point " << i;
        EXPECT_NEAR(got[i].Im, want[i].Im, kTol * scale) << what << " point " << i;
    }
}

// The dB/phase form of a response as the sections show it.
void expectShownResponse(const std::vector<double>& dB, const std::vector<double>& ph,
                         const std::vector<Complex>& want, double dBTol, const char* what) {
    for (size_t i = 0; i < want.size(); ++i) {
        const double m = std::hypot(want[i].Re, want[i].Im);
        double d = 20 * std::log10(m);
        if (std::fabs(d) < 0.001) {
            d = 0;
        }
        EXPECT_NEAR(dB[i], d, dBTol) << what << " point " << i;
        // Phases are compared around the circle: the bank forms add principal phases.
        const double diff = std::remainder(ph[i] - std::atan2(want[i].Im, want[i].Re), 2 * M_PI);
        EXPECT_NEAR(diff, 0.0, 1e-8) << what << " point " << i;
    }
}

TEST(SectionOracle, EveryDesignMatches) {
    for (const auto& c : kSectionCases) {
        TDSPSpace s = thirdOctaveGrid(c.rate);
        TSOS sos(&s);
        sos.FilterType = c.type;
        sos.SetFrequency(c.freq);
        sos.SetGain(c.gain);
        sos.SetQ(c.q);
        sos.Active = true;
        ASSERT_EQ(sos.Frequency(), c.freq);
        ASSERT_EQ(sos.Q(), c.q);
        sos.CalcFilter();
        const size_t n = static_cast<size_t>(s.NRealFreqPoints());
        std::vector<Complex> h(n);
        sos.CalcResponseComplex(h);
        const std::string what =
            "type " + std::to_string(sos.IdFilterType()) + " at " + std::to_string(c.freq);
        expectResponse(h, c.h, what.c_str());
        std::vector<double> dB(n), ph(n);
        sos.CalcResponse(dB, ph);
        expectShownResponse(dB, ph, c.h, 1e-8, what.c_str());
        for (const double p : ph) {
            EXPECT_LE(p, M_PI);
            EXPECT_GE(p, -M_PI);
        }
    }
}

TEST(SectionOracle, UserCoefficientsUseTheRecursionSign) {
    TDSPSpace s = thirdOctaveGrid(48000);
    TSOS sos(&s);
    sos.FilterType = TPeqType::FCoefIIR;
    sos.Active = true;
    // a0 = 2, a1 = 0.6, a2 = -0.2 enter the denominator as 1 - 0.3 z^-1 + 0.1 z^-2.
    sos.SetCustomCoef(2, 0.6, -0.2, 1, 0.5, 0.25);
    sos.CalcFilter();
    EXPECT_EQ(sos.b0, 0.5);
    EXPECT_EQ(sos.a1, 0.3);
    EXPECT_EQ(sos.a2, -0.1);
    std::vector<Complex> h(static_cast<size_t>(s.NRealFreqPoints()));
    sos.CalcResponseComplex(h);
    for (size_t i = 0; i < h.size(); ++i) {
        const std::complex<double> z = std::polar(1.0, -2 * M_PI * s.FreqDraw[i] / 48000.0);
        const std::complex<double> want = (0.5 + 0.25 * z + 0.125 * z * z) / (1.0 - 0.3 * z + 0.1 * z * z);
        EXPECT_NEAR(h[i].Re, want.real(), 1e-12);
        EXPECT_NEAR(h[i].Im, want.imag(), 1e-12);
    }
}

TEST(BankOracle, SeriesOfSectionsMultiplies) {
    // Three of the oracle's bells and shelves at 48000 Hz in one bank.
    std::vector<const SectionCase*> chosen;
    for (const auto& c : kSectionCases) {
        if (c.rate == 48000 && (c.type == TPeqType::FPARAMETRICOQA || c.type == TPeqType::FSHELVINGPB6 ||
                                c.type == TPeqType::FPARAMETRICOQC)) {
            chosen.push_back(&c);
        }
    }
    ASSERT_GE(chosen.size(), 3u);
    TDSPSpace s = thirdOctaveGrid(48000);
    TPeqs bank(&s);
    bank.SetNPeqs(static_cast<int32_t>(chosen.size()));
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<Complex> want(n, Complex{1, 0});
    for (size_t k = 0; k < chosen.size(); ++k) {
        TSOS& sos = *bank.Peqs[k];
        sos.FilterType = chosen[k]->type;
        sos.SetFrequency(chosen[k]->freq);
        sos.SetGain(chosen[k]->gain);
        sos.SetQ(chosen[k]->q);
        sos.Active = true;
        for (size_t i = 0; i < n; ++i) {
            ComplexMul(want[i], chosen[k]->h[i], want[i]);
        }
    }
    bank.CalcAllPeqs();
    std::vector<Complex> h(n);
    bank.CalcResponseComplex(h);
    expectResponse(h, want, "bank");
    // The dB forms snap to 0 below 0.001 dB on the way, so they may differ by a few thousandths there.
    std::vector<double> dB(n), ph(n), dBu(n), phu(n);
    bank.CalcResponse(dB, ph);
    expectShownResponse(dB, ph, want, 0.004, "bank");
    bank.CalcResponseUnWrapped(dBu, phu);
    expectShownResponse(dBu, phu, want, 0.004, "bank unwrapped");
    // Both dB forms add the same principal phases.
    for (size_t i = 0; i < n; ++i) {
        EXPECT_NEAR(ph[i], phu[i], 1e-12);
    }
}

TEST(XoverOracle, EveryAlignmentOrderAndSide) {
    for (const auto& c : kXoverCases) {
        TDSPSpace s = thirdOctaveGrid(c.rate);
        TXoverIIR x(&s);
        x.SetXoverType(c.type);
        x.SetOrder(c.order);
        x.SetFrequencyCut(c.cut);
        x.LpHp = c.high ? TXoverHPLP::xhlHighPass : TXoverHPLP::xhlLowPass;
        x.Active = true;
        ASSERT_EQ(x.Order(), c.order);
        x.CalcXover();
        EXPECT_EQ(x.FrequencyCut(), c.cutAfter);
        const size_t n = static_cast<size_t>(s.NRealFreqPoints());
        std::vector<Complex> h(n);
        x.CalcResponseComplex(h);
        const std::string what = x.TypeShortString() + (c.high ? " HP " : " LP ") + std::to_string(c.order) +
                                 " at " + std::to_string(c.cut) + "/" + std::to_string(c.rate);
        expectResponse(h, c.h, what.c_str());
        std::vector<double> dB(n), ph(n);
        x.CalcResponse(dB, ph);
        expectShownResponse(dB, ph, c.h, 0.004, what.c_str());
        // Sections a design leaves unused carry active bypass coefficients.
        for (const auto& sec : x.XSOS) {
            EXPECT_TRUE(sec->Active);
        }
    }
}

} // namespace
} // namespace vendrel
