#pragma once
// Complex arithmetic, phase, powers of ten, angle wraps and the synthesis of an impulse response from
// a response on a grid.

#include "dsp/dsp_space.h"

#include <span>

namespace vendrel {

// Each routine reads its inputs completely before writing Out, so Out may alias an input.
void ComplexSet(double re, double im, Complex& Out);
void ComplexMul(const Complex& A, const Complex& B, Complex& Out);
void ComplexAdd(const Complex& A, const Complex& B, Complex& Out);
// A / B by Smith's method; a division by (0, 0) gives NaN components.
void ComplexDiv(const Complex& A, const Complex& B, Complex& Out);
double ComplexAbs(const Complex& A);
// e^(A.Re) * (cos A.Im, sin A.Im).
void ComplexFromPolar(const Complex& A, Complex& Out);
// Two-argument arc tangent of (im, re).
double PhaseOf(double re, double im);

// 10^x computed as exp(x * 2.302585092994046).
double Pow10(double x);
// Into (-180, 180].
double WrapDegrees180(double x);
// Into [0, 2*pi) with the engine's 2*pi literal.
double WrapRadians2Pi(double x);
// Towards [-pi, pi) by steps of the engine's 2*pi literal (pi itself comes back as pi, the literal
// being slightly above 2*pi).
double WrapRadiansPi(double x);

// Result of an impulse synthesis: the largest |h[n]| and the first sample that reaches it.
struct TImpulsePeak {
    double ImpulsePeak = 0.0;
    double PeakSampleDelay = 0.0;
};

// Impulse of a response given on DSPSpace's grid (Mg linear, Ph in radians), delayed by OutLatency
// samples, synthesised on ImpulseSize uniform frequencies by a direct cosine sum; only the peak of the
// first min(ImpulseEnd, ImpulseSize) samples is returned.
TImpulsePeak FreqResponseToImpulse(std::span<const double> Mg, std::span<const double> Ph,
                                   const TDSPSpace& DSPSpace, double OutLatency, int32_t ImpulseSize,
                                   int32_t ImpulseEnd, int32_t SampleRate);
// The same, keeping the samples: outImpulseRe gets the impulse and outImpulseIm a tiny Gaussian noise
// (mean 1e-28, deviation 1e-10); entries from min(ImpulseEnd, OutImpulseSize) on are left untouched.
TImpulsePeak FreqResponseToImpulse(std::span<const double> Mg, std::span<const double> Ph,
                                   const TDSPSpace& DSPSpace, double OutLatency, int32_t OutImpulseSize,
                                   int32_t ImpulseEnd, int32_t SampleRate, std::span<double> outImpulseRe,
                                   std::span<double> outImpulseIm);

} // namespace vendrel
