#include "dsp/complex.h"

#include "dsp/parallel_for.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vendrel {

void ComplexSet(double re, double im, Complex& Out) {
    Out.Re = re;
    Out.Im = im;
}

void ComplexMul(const Complex& A, const Complex& B, Complex& Out) {
    const double re = A.Re * B.Re - A.Im * B.Im;
    const double im = A.Re * B.Im + A.Im * B.Re;
    Out.Re = re;
    Out.Im = im;
}

void ComplexAdd(const Complex& A, const Complex& B, Complex& Out) {
    const double re = A.Re + B.Re;
    const double im = A.Im + B.Im;
    Out.Re = re;
    Out.Im = im;
}

void ComplexDiv(const Complex& A, const Complex& B, Complex& Out) {
    double re;
    double im;
    if (std::fabs(B.Re) > std::fabs(B.Im)) {
        const double t = -B.Im / B.Re;
        const double d = B.Re * (1.0 + t * t);
        re = (A.Re - A.Im * t) / d;
        im = (A.Re * t + A.Im) / d;
    } else {
        const double r = B.Re / B.Im;
        const double d = B.Im * (r * r + 1.0);
        re = (A.Re * r + A.Im) / d;
        im = (A.Im * r - A.Re) / d;
    }
    Out.Re = re;
    Out.Im = im;
}

double ComplexAbs(const Complex& A) {
    return std::sqrt(A.Re * A.Re + A.Im * A.Im);
}

void ComplexFromPolar(const Complex& A, Complex& Out) {
    const double m = std::exp(A.Re);
    const double re = m * std::cos(A.Im);
    const double im = m * std::sin(A.Im);
    Out.Re = re;
    Out.Im = im;
}

double PhaseOf(double re, double im) {
    return std::atan2(im, re);
}

double Pow10(double x) {
    return std::exp(x * kLn10);
}

double WrapDegrees180(double x) {
    double r = x - 360.0 * std::trunc(x / 360.0);
    if (r < 0.0) {
        r += 360.0;
    }
    if (r > 180.0) {
        r -= 360.0;
    }
    return r;
}

namespace {
// The wraps step by one turn at a time. An infinity would never leave the loop, and a value so large
// that one turn no longer changes it would not either: such inputs are reduced first (an infinity
// becomes NaN), which leaves every ordinary angle stepping exactly as before.
double reduceHugeAngle(double x) {
    if (!std::isfinite(x)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::fabs(x) > 1.0e6) {
        return std::fmod(x, kTwoPi);
    }
    return x;
}
} // namespace

double WrapRadians2Pi(double x) {
    x = reduceHugeAngle(x);
    while (x >= kTwoPi) {
        x -= kTwoPi;
    }
    while (x < 0.0) {
        x += kTwoPi;
    }
    return x;
}

double WrapRadiansPi(double x) {
    x = reduceHugeAngle(x);
    while (x >= kPi) {
        x -= kTwoPi;
    }
    while (x < -kPi) {
        x += kTwoPi;
    }
    return x;
}

namespace {

struct Resampled {
    std::vector<double> MagLin;
    std::vector<double> PhaseRad;
};

// The response interpolated onto M uniform frequencies k * SampleRate / (2M).
Resampled resample(std::span<const double> Mg, std::span<const double> Ph, const TDSPSpace& space, int32_t M,
                   int32_t SampleRate, bool roundFrequency) {
    const size_t n = static_cast<size_t>(space.NRealFreqPoints());
    if (Mg.size() < n || Ph.size() < n) {
        throw ERangeError();
    }
    const int32_t twoM = CheckedMul<int32_t>(2, M);
    const double delta = static_cast<double>(SampleRate) / static_cast<double>(twoM);
    Resampled r;
    const size_t count = M > 0 ? static_cast<size_t>(M) : 0;
    r.MagLin.resize(count);
    r.PhaseRad.resize(count);
    for (int32_t k = 0; k < M; ++k) {
        const double fk = static_cast<double>(k) * delta;
        const int32_t f = roundFrequency ? RoundHalfEven<int32_t>(fk) : Trunc<int32_t>(fk);
        int32_t p = space.FreqToPoint(f);
        if (p == 0) {
            p = 1;
        }
        const double t = static_cast<double>(space.FreqToNearPercent(f));
        r.MagLin[static_cast<size_t>(k)] = At(Mg, p - 1) * (1.0 - t) + At(Mg, p) * t;
        r.PhaseRad[static_cast<size_t>(k)] = At(Ph, p - 1) * (1.0 - t) + At(Ph, p) * t;
    }
    return r;
}

// Sum of the cosines of sample n, without the frequency-zero term.
double cosineSum(const Resampled& r, int32_t M, int32_t n, double OutLatency) {
    const double w = (static_cast<double>(n) - OutLatency) * kTwoPi / (2.0 * static_cast<double>(M));
    double s = 0.0;
    for (int32_t k = 1; k < M; ++k) {
        s += r.MagLin[static_cast<size_t>(k)] *
             std::cos(w * static_cast<double>(k) + r.PhaseRad[static_cast<size_t>(k)]);
    }
    return s;
}

// Runs body(n) for n = 0 .. L - 1, on the thread pool when asked; every n writes only its own slot.
template <typename Body> void forEachSample(bool parallel, int32_t L, const Body& body) {
    ForEachIndex(parallel, 0, L, body);
}

// First sample of the largest magnitude, in sample order.
TImpulsePeak findPeak(std::span<const double> h) {
    TImpulsePeak peak;
    for (size_t n = 0; n < h.size(); ++n) {
        if (std::fabs(h[n]) > peak.ImpulsePeak) {
            peak.ImpulsePeak = std::fabs(h[n]);
            peak.PeakSampleDelay = static_cast<double>(n);
        }
    }
    return peak;
}

// A Gaussian draw of its own for each sample, so that draws made on any worker are independent
// of the scheduling: one seed per synthesis, mixed with the sample index.
uint64_t splitMix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

uint64_t nextSynthesisSeed() {
    static std::atomic<uint64_t> counter{std::random_device{}()};
    return splitMix64(counter.fetch_add(1, std::memory_order_relaxed));
}

double gaussianDraw(uint64_t seed, int32_t n, double mean, double deviation) {
    const uint64_t a = splitMix64(seed ^ (static_cast<uint64_t>(n) * 2 + 1));
    const uint64_t b = splitMix64(a);
    // Uniforms in (0, 1] and [0, 1) from the top 53 bits.
    const double u1 = (static_cast<double>(a >> 11) + 1.0) * 0x1.0p-53;
    const double u2 = static_cast<double>(b >> 11) * 0x1.0p-53;
    return mean + deviation * std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

} // namespace

TImpulsePeak FreqResponseToImpulse(std::span<const double> Mg, std::span<const double> Ph,
                                   const TDSPSpace& DSPSpace, double OutLatency, int32_t ImpulseSize,
                                   int32_t ImpulseEnd, int32_t SampleRate) {
    const int32_t M = ImpulseSize;
    const Resampled r = resample(Mg, Ph, DSPSpace, M, SampleRate, true);
    const int32_t L = std::min(ImpulseEnd, M);
    std::vector<double> h(L > 0 ? static_cast<size_t>(L) : 0);
    forEachSample(DSPSpace.UseParallelFor(), L, [&](int32_t n) {
        // The frequency-zero term of this form is the constant 0.5.
        h[static_cast<size_t>(n)] = (1.0 / M) * (cosineSum(r, M, n, OutLatency) + 0.5);
    });
    return findPeak(h);
}

TImpulsePeak FreqResponseToImpulse(std::span<const double> Mg, std::span<const double> Ph,
                                   const TDSPSpace& DSPSpace, double OutLatency, int32_t OutImpulseSize,
                                   int32_t ImpulseEnd, int32_t SampleRate, std::span<double> outImpulseRe,
                                   std::span<double> outImpulseIm) {
    const int32_t M = OutImpulseSize;
    const Resampled r = resample(Mg, Ph, DSPSpace, M, SampleRate, false);
    const int32_t L = std::min(ImpulseEnd, M);
    const size_t count = L > 0 ? static_cast<size_t>(L) : 0;
    if (outImpulseRe.size() < count || outImpulseIm.size() < count) {
        throw ERangeError();
    }
    const double dc = M > 0 ? 0.5 * r.MagLin[0] : 0.0;
    const uint64_t seed = nextSynthesisSeed();
    // Each sample writes only its own entry, so the output arrays take the place of work arrays.
    forEachSample(DSPSpace.UseParallelFor(), L, [&](int32_t n) {
        outImpulseRe[static_cast<size_t>(n)] = (1.0 / M) * (dc + cosineSum(r, M, n, OutLatency));
        outImpulseIm[static_cast<size_t>(n)] = gaussianDraw(seed, n, 1.0e-28, 1.0e-10);
    });
    return findPeak(outImpulseRe.first(count));
}

} // namespace vendrel
