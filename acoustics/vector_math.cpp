#include "acoustics/vector_math.h"

#include "acoustics/vector_math_units.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace vendrel {

namespace {

void scalarSinCosAccumulate(const float* amp, const float* phase, float* re, float* im, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        re[i] += amp[i] * std::cos(phase[i]);
        im[i] += amp[i] * std::sin(phase[i]);
    }
}

void scalarExpInPlace(float* x, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        x[i] = std::exp(x[i]);
    }
}

void scalarAtan2Array(const float* y, const float* x, float* out, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        out[i] = std::atan2(y[i], x[i]);
    }
}

const vecmath::TUnit kScalarUnit{
    "scalar", &scalarSinCosAccumulate, &scalarExpInPlace, &scalarAtan2Array, nullptr, nullptr};

bool cpuHas(const char* unit) {
    __builtin_cpu_init();
    if (std::strcmp(unit, "avx512f") == 0) {
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("fma");
    }
    if (std::strcmp(unit, "avx2") == 0) {
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }
    if (std::strcmp(unit, "sse4") == 0) {
        return __builtin_cpu_supports("sse4.1");
    }
    return true;
}

// The widest unit at or below the one asked for that the processor has.
const vecmath::TUnit* chooseUnit(const char* wanted) {
    const vecmath::TUnit* ladder[] = {&vecmath::kAvx512Unit, &vecmath::kAvx2Unit, &vecmath::kSse4Unit,
                                      &kScalarUnit};
    bool reached = wanted == nullptr;
    for (const vecmath::TUnit* u : ladder) {
        reached = reached || std::strcmp(u->name, wanted) == 0;
        if (reached && cpuHas(u->name)) {
            return u;
        }
    }
    return &kScalarUnit;
}

std::atomic<const vecmath::TUnit*>& currentUnit() {
    static std::atomic<const vecmath::TUnit*> unit{chooseUnit(nullptr)};
    return unit;
}

} // namespace

void SinCosAccumulate(const float* amp, const float* phase, float* re, float* im, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->sinCosAccumulate(amp, phase, re, im, n);
}

void ExpInPlace(float* x, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->expInPlace(x, n);
}

void Atan2Array(const float* y, const float* x, float* out, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->atan2Array(y, x, out, n);
}

bool PolarColumn(const vecmath::TPolarColumn& column) {
    const vecmath::TUnit* unit = currentUnit().load(std::memory_order_relaxed);
    if (unit->polarColumn == nullptr) {
        return false;
    }
    unit->polarColumn(column);
    return true;
}

void PolarGeometry(const vecmath::TPolarGeometry& geometry) {
    currentUnit().load(std::memory_order_relaxed)->polarGeometry(geometry);
}

bool PolarColumnAvailable() {
    return currentUnit().load(std::memory_order_relaxed)->polarColumn != nullptr;
}

const char* VectorMathUnit() {
    return currentUnit().load()->name;
}

void SetVectorMathUnit(const char* unit) {
    currentUnit() = chooseUnit(unit);
}

} // namespace vendrel
