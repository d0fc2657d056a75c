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

void scalarComplexAddInto(float* re, float* im, const float* cr, const float* ci, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        re[i] += cr[i];
        im[i] += ci[i];
    }
}

void scalarHypotAccumulate(const float* re, const float* im, float* acc, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        acc[i] += std::hypot(re[i], im[i]);
    }
}

void scalarWeightedHypotAccumulate(const float* cr, const float* ci, double weight, float* re, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        re[i] = static_cast<float>(re[i] + weight * std::hypot(cr[i], ci[i]));
    }
}

void scalarLevelsFromMagnitudes(const float* magnitude, float divisor, float* level, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        level[i] = static_cast<float>(20.0 * static_cast<double>(std::log10(magnitude[i] / divisor)));
    }
}

float scalarMaxFromZero(const float* v, int32_t n) {
    float best = 0.0f;
    for (int32_t i = 0; i < n; ++i) {
        best = v[i] > best ? v[i] : best;
    }
    return best;
}

void scalarSubtractInDouble(float* v, double d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        v[i] = static_cast<float>(static_cast<double>(v[i]) - d);
    }
}

const vecmath::TUnit kScalarUnit{"scalar",
                                 &scalarSinCosAccumulate,
                                 &scalarExpInPlace,
                                 &scalarAtan2Array,
                                 nullptr,
                                 nullptr,
                                 &scalarComplexAddInto,
                                 &scalarHypotAccumulate,
                                 &scalarWeightedHypotAccumulate,
                                 &scalarLevelsFromMagnitudes,
                                 &scalarMaxFromZero,
                                 &scalarSubtractInDouble};

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

void ComplexAddInto(float* re, float* im, const float* cr, const float* ci, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->complexAddInto(re, im, cr, ci, n);
}

void HypotAccumulate(const float* re, const float* im, float* acc, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->hypotAccumulate(re, im, acc, n);
}

void WeightedHypotAccumulate(const float* cr, const float* ci, double weight, float* re, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->weightedHypotAccumulate(cr, ci, weight, re, n);
}

void LevelsFromMagnitudes(const float* magnitude, float divisor, float* level, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->levelsFromMagnitudes(magnitude, divisor, level, n);
}

float MaxFromZero(const float* v, int32_t n) {
    return currentUnit().load(std::memory_order_relaxed)->maxFromZero(v, n);
}

void SubtractInDouble(float* v, double d, int32_t n) {
    currentUnit().load(std::memory_order_relaxed)->subtractInDouble(v, d, n);
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
