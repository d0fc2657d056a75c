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
