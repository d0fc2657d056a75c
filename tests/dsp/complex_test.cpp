#include "dsp/complex.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <vector>

namespace vendrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ComplexArithmetic, MatchesStdComplexAndAllowsAliasing) {
    const Complex values[] = {{1, 2}, {-3, 0.5}, {0, 4}, {2, -7}, {1e-3, 1e3}, {5, 0}};
    for (const auto& a : values) {
        for (const auto& b : values) {
            const std::complex<double> ca(a.Re, a.Im), cb(b.Re, b.Im);
            Complex out;
            ComplexMul(a, b, out);
            EXPECT_NEAR(out.Re, (ca * cb).real(), 1e-12);
            EXPECT_NEAR(out.Im, (ca * cb).imag(), 1e-12);
            ComplexAdd(a, b, out);
            EXPECT_EQ(out.Re, a.Re + b.Re);
            EXPECT_EQ(out.Im, a.Im + b.Im);
            // Both branches of Smith's method (|Re| > |Im| and the rest) are exercised by the table.
            ComplexDiv(a, b, out);
            const std::complex<double> q = ca / cb;
            EXPECT_NEAR(out.Re, q.real(), 1e-12 * std::abs(q) + 1e-15);
            EXPECT_NEAR(out.Im, q.imag(), 1e-12 * std::abs(q) + 1e-15);
        }
    }
    // Output aliasing an input: inputs are read before the output is written.
    Complex a{1, 2};
    ComplexMul(a, a, a);
    EXPECT_EQ(a.Re, -3.0);
    EXPECT_EQ(a.Im, 4.0);
    Complex b{3, 4};
    ComplexDiv(b, b, b);
    EXPECT_NEAR(b.Re, 1.0, 1e-15);
    EXPECT_NEAR(b.Im, 0.0, 1e-15);
    Complex c{0.5, 1.0};
    ComplexFromPolar(c, c);
    EXPECT_NEAR(c.Re, std::exp(0.5) * std::cos(1.0), 1e-15);
    EXPECT_NEAR(c.Im, std::exp(0.5) * std::sin(1.0), 1e-15);
    // Division by zero yields NaN components, not an error.
    Complex z;
    ComplexDiv(Complex{1, 1}, Complex{0, 0}, z);
    EXPECT_TRUE(std::isnan(z.Re));
    EXPECT_TRUE(std::isnan(z.Im));
    EXPECT_EQ(ComplexAbs(Complex{3, -4}), 5.0);
    ComplexSet(7, 8, z);
    EXPECT_EQ(z.Re, 7.0);
    EXPECT_EQ(z.Im, 8.0);
}

TEST(ComplexArithmetic, PhaseAndPowerOfTen) {
    EXPECT_EQ(PhaseOf(-1, 0), 3.141592653589793);
    EXPECT_EQ(PhaseOf(0, 0), 0.0);
    EXPECT_EQ(PhaseOf(0, 1), 3.141592653589793 / 2);
    EXPECT_EQ(PhaseOf(1, -1), -3.141592653589793 / 4);
    EXPECT_NEAR(Pow10(2), 100.0, 1e-12);
    EXPECT_NEAR(Pow10(-0.3), 0.5011872336272722, 1e-15);
    EXPECT_EQ(Pow10(0.5), std::exp(0.5 * 2.302585092994046));
}

TEST(AngleWraps, DegreesInto180) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {{180, 180},  {-180, 180}, {540, 180}, {-190, 170}, {0, 0},     {179.5, 179.5},
                          {181, -179}, {360, 0},    {-360, 0},  {725, 5},    {-725, -5}, {-0.25, -0.25}};
    for (const auto& c : cases) {
        EXPECT_EQ(WrapDegrees180(c.in), c.out) << c.in;
    }
}

TEST(AngleWraps, RadiansStepByTheEngineTurn) {
    const double turn = 6.28318530717959;
    const double pi = 3.141592653589793;
    EXPECT_EQ(WrapRadiansPi(pi), pi);
    EXPECT_EQ(WrapRadiansPi(-pi), -pi);
    EXPECT_EQ(WrapRadiansPi(0.5), 0.5);
    EXPECT_EQ(WrapRadiansPi(4.0), 4.0 - turn);
    EXPECT_EQ(WrapRadiansPi(-4.0), -4.0 + turn);
    EXPECT_EQ(WrapRadians2Pi(6.283185307179586), 6.283185307179586);
    EXPECT_EQ(WrapRadians2Pi(-1e-300), turn);
    EXPECT_EQ(WrapRadians2Pi(turn), 0.0);
    EXPECT_EQ(WrapRadians2Pi(7.0), 7.0 - turn);
    EXPECT_EQ(WrapRadians2Pi(-1.0), -1.0 + turn);
    EXPECT_NEAR(WrapRadians2Pi(100 * turn + 1.0), 1.0, 1e-11); // 100 subtractions, each rounded
}

TEST(AngleWraps, HugeAndInfiniteAnglesDoNotHang) {
    EXPECT_TRUE(std::isnan(WrapRadians2Pi(kInf)));
    EXPECT_TRUE(std::isnan(WrapRadiansPi(-kInf)));
    EXPECT_TRUE(std::isnan(WrapRadiansPi(std::nan(""))));
    const double big = WrapRadians2Pi(1e300);
    EXPECT_GE(big, 0.0);
    EXPECT_LT(big, 6.28318530717959);
    const double small = WrapRadiansPi(-1e20);
    EXPECT_GE(small, -3.141592653589793);
    EXPECT_LT(small, 3.141592653589793);
    EXPECT_TRUE(std::isnan(WrapDegrees180(kInf)));
}

// A flat response with zero phase: h[0] = (0.5 + (M - 1)) / M in the full form.
TEST(ImpulseSynthesis, FlatResponseGivesADiracAtTheLatency) {
    TDSPSpace s;
    s.SetUseParallelFor(false);
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    const std::vector<double> mg(n, 1.0), ph(n, 0.0);
    const int32_t M = 64;
    std::vector<double> re(M, -99.0), im(M, -99.0);
    const TImpulsePeak full = FreqResponseToImpulse(mg, ph, s, 0.0, M, M, 48000, re, im);
    EXPECT_NEAR(full.ImpulsePeak, (0.5 + (M - 1)) / M, 1e-12);
    EXPECT_EQ(full.PeakSampleDelay, 0.0);
    EXPECT_EQ(re[0], full.ImpulsePeak);
    // Closed form of the other samples: (1/M)(0.5 + sum cos(pi n k / M)).
    for (int32_t t = 1; t < M; ++t) {
        double sum = 0.5;
        for (int32_t k = 1; k < M; ++k) {
            sum += std::cos(3.141592653589793 * t * k / M);
        }
        EXPECT_NEAR(re[static_cast<size_t>(t)], sum / M, 1e-12) << t;
        EXPECT_LT(std::fabs(im[static_cast<size_t>(t)]), 1e-8);
    }
    // The peak form adds a constant 0.5 for frequency zero, whatever the magnitude there is.
    const TImpulsePeak peak = FreqResponseToImpulse(mg, ph, s, 7.0, M, M, 48000);
    EXPECT_NEAR(peak.ImpulsePeak, (0.5 + (M - 1)) / M, 1e-12);
    EXPECT_EQ(peak.PeakSampleDelay, 7.0);
}

// At 44100 Hz with 4 frequencies (5512.5 Hz apart) the last one is 16537.5 Hz: rounded to 16538 Hz by
// the peak form, cut to 16537 Hz by the full form. On a grid of 16538 and 20000 Hz the two read
// different weights there (hand computation from the custom-grid weight rule: hertz h below 16538
// weighs (h + 1) / 16539 and 16538 itself weighs 0), which shows in h[0] with Mg = (0, 1), Ph = 0.
TEST(ImpulseSynthesis, PeakFormRoundsAndFullFormTruncatesTheResamplingFrequencies) {
    TDSPSpace s;
    const int32_t grid[] = {16538, 20000};
    s.CustomLogspace(grid);
    const double mg[] = {0, 1}, ph[] = {0, 0};
    auto w = [](double h) { return static_cast<double>(static_cast<float>((h + 1) / 16539)); };
    const double peakWant = (0.5 + w(5512) + w(11025) + 0.0) / 4;
    const double fullWant = (0.5 * w(0) + w(5512) + w(11025) + w(16537)) / 4;
    EXPECT_NEAR(FreqResponseToImpulse(mg, ph, s, 0.0, 4, 1, 44100).ImpulsePeak, peakWant, 1e-15);
    double re[1], im[1];
    EXPECT_NEAR(FreqResponseToImpulse(mg, ph, s, 0.0, 4, 1, 44100, re, im).ImpulsePeak, fullWant, 1e-15);
}

TEST(ImpulseSynthesis, ComputesOnlyTheLeadingSamplesAsked) {
    TDSPSpace s;
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    const std::vector<double> mg(n, 1.0), ph(n, 0.0);
    const int32_t M = 16;
    std::vector<double> re(M, -99.0), im(M, -99.0);
    const TImpulsePeak none = FreqResponseToImpulse(mg, ph, s, 3.0, M, 0, 48000, re, im);
    EXPECT_EQ(none.ImpulsePeak, 0.0);
    EXPECT_EQ(none.PeakSampleDelay, 0.0);
    EXPECT_EQ(re, std::vector<double>(M, -99.0));
    FreqResponseToImpulse(mg, ph, s, 3.0, M, 2, 48000, re, im);
    EXPECT_NE(re[1], -99.0);
    EXPECT_EQ(re[2], -99.0);
    EXPECT_EQ(im[2], -99.0);
    // An end beyond the impulse computes the whole impulse; the outputs need only that length.
    const TImpulsePeak whole = FreqResponseToImpulse(mg, ph, s, 3.0, M, 1000, 48000, re, im);
    EXPECT_EQ(whole.PeakSampleDelay, 3.0);
    std::vector<double> shortRe(M - 1), shortIm(M);
    EXPECT_THROW(FreqResponseToImpulse(mg, ph, s, 3.0, M, M, 48000, shortRe, shortIm), ERangeError);
    const std::vector<double> shortMg(n - 1, 1.0);
    EXPECT_THROW(FreqResponseToImpulse(shortMg, ph, s, 3.0, M, M, 48000), ERangeError);
    EXPECT_THROW(FreqResponseToImpulse(mg, ph, s, 3.0, 1 << 30, 1, 48000), ERangeError);
}

TEST(ImpulseSynthesis, ParallelAndSerialRunsAgreeBitForBit) {
    TDSPSpace s;
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> mg(n), ph(n);
    for (size_t i = 0; i < n; ++i) {
        mg[i] = 1.0 + 0.5 * std::sin(0.05 * static_cast<double>(i));
        ph[i] = -0.02 * static_cast<double>(i);
    }
    const int32_t M = 512;
    std::vector<double> serialRe(M), serialIm(M), parallelRe(M), parallelIm(M);
    s.SetUseParallelFor(false);
    const TImpulsePeak a = FreqResponseToImpulse(mg, ph, s, 12.3, M, M, 48000, serialRe, serialIm);
    const TImpulsePeak pa = FreqResponseToImpulse(mg, ph, s, 12.3, M, M, 48000);
    s.SetUseParallelFor(true);
    const TImpulsePeak b = FreqResponseToImpulse(mg, ph, s, 12.3, M, M, 48000, parallelRe, parallelIm);
    const TImpulsePeak pb = FreqResponseToImpulse(mg, ph, s, 12.3, M, M, 48000);
    EXPECT_EQ(serialRe, parallelRe);
    EXPECT_EQ(a.ImpulsePeak, b.ImpulsePeak);
    EXPECT_EQ(a.PeakSampleDelay, b.PeakSampleDelay);
    EXPECT_EQ(pa.ImpulsePeak, pb.ImpulsePeak);
    EXPECT_EQ(pa.PeakSampleDelay, pb.PeakSampleDelay);
    // The imaginary parts are tiny independent Gaussian draws.
    const double mean = std::accumulate(parallelIm.begin(), parallelIm.end(), 0.0) / M;
    double var = 0.0;
    for (const double v : parallelIm) {
        var += (v - mean) * (v - mean);
    }
    const double sd = std::sqrt(var / (M - 1));
    EXPECT_LT(std::fabs(mean), 2e-11);
    EXPECT_NEAR(sd, 1e-10, 2e-11);
    EXPECT_NE(parallelIm, serialIm);
}

} // namespace
} // namespace vendrel
