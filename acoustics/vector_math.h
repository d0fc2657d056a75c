#pragma once
// Vector math of the map kernel: the per-term sine/cosine, exponential and arc tangent over arrays,
// on the widest vector unit of the processor (SLEEF's 1-ULP "u10" functions), picked once at run time.
// No fast-math: every lane gets the same correctly-rounded-to-1-ULP result a scalar call would.

#include <cstdint>

namespace vendrel {

// re[i] += amp[i] * cos(phase[i]); im[i] += amp[i] * sin(phase[i]) for i < n.
void SinCosAccumulate(const float* amp, const float* phase, float* re, float* im, int32_t n);
// x[i] := exp(x[i]) for i < n.
void ExpInPlace(float* x, int32_t n);
// out[i] := atan2(y[i], x[i]) for i < n, in (-pi, pi].
void Atan2Array(const float* y, const float* x, float* out, int32_t n);

// Rows of the summation, equal bit for bit on every unit except the logarithm (SLEEF's, within 1 ULP
// of the C library's):
// re[i] += cr[i]; im[i] += ci[i] for i < n.
void ComplexAddInto(float* re, float* im, const float* cr, const float* ci, int32_t n);
// acc[i] += hypot(re[i], im[i]) for i < n (single precision, as std::hypot of two singles).
void HypotAccumulate(const float* re, const float* im, float* acc, int32_t n);
// re[i] := single(re[i] + weight * hypot(cr[i], ci[i])), the sum formed in double, for i < n.
void WeightedHypotAccumulate(const float* cr, const float* ci, double weight, float* re, int32_t n);
// level[i] := 20 log10(magnitude[i] / divisor) for i < n (the quotient and the logarithm in single
// precision, 20 times it rounded once).
void LevelsFromMagnitudes(const float* magnitude, float divisor, float* level, int32_t n);
// The largest of 0 and v[0 .. n) (a value that is not a number is passed over).
float MaxFromZero(const float* v, int32_t n);
// v[i] := single(v[i] - d), the difference formed in double, for i < n.
void SubtractInDouble(float* v, double d, int32_t n);

namespace vecmath {
struct TPolarColumn;
struct TPolarGeometry;
} // namespace vecmath
// The column geometry on the vector unit; only where PolarColumnAvailable().
void PolarGeometry(const vecmath::TPolarGeometry& geometry);
// The map kernel's column step on the vector unit; false when the unit has none (the caller then
// runs its own loop).
bool PolarColumn(const vecmath::TPolarColumn& column);
bool PolarColumnAvailable();

// Which vector unit the functions above use: "avx512f", "avx2", "sse4" or "scalar".
const char* VectorMathUnit();
// Forces a unit for benchmarks and tests ("avx512f", "avx2", "sse4", "scalar"); one the processor
// lacks falls back to the next narrower. nullptr restores the automatic choice.
void SetVectorMathUnit(const char* unit);

} // namespace vendrel
