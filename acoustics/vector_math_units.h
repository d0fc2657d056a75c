#pragma once
// Entry points of the vector-math units, each compiled with its own instruction-set flags
// (vector_math_avx512.cpp, vector_math_avx2.cpp, vector_math_sse4.cpp). Plain C-style interface:
// these files include nothing that could leave wider instructions in shared inline code.

#include <cstdint>

namespace vendrel::vecmath {

struct TUnit {
    const char* name;
    void (*sinCosAccumulate)(const float* amp, const float* phase, float* re, float* im, int32_t n);
    void (*expInPlace)(float* x, int32_t n);
    void (*atan2Array)(const float* y, const float* x, float* out, int32_t n);
};

extern const TUnit kAvx512Unit;
extern const TUnit kAvx2Unit;
extern const TUnit kSse4Unit;

} // namespace vendrel::vecmath
