// Prediction benchmarks: the cost floor of the per-term vector math and (added with the kernel)
// the map kernel's throughput and the end-to-end render.
//
// Run: build with benchmarks (not CORE_ONLY, not sanitized) and start build/bench/bench_prediction.
// Throughput is reported as terms per second: pixel x source x averaged frequency.

#include "acoustics/vector_math.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace vendrel;

namespace {

// The benchmark zone: 40 m x 25 m at 0.1 m, three sources, the full band of 14 frequencies.
constexpr int32_t kWidthPx = 400;
constexpr int32_t kDepthPx = 250;
constexpr int32_t kSources = 3;
constexpr int32_t kFreqs = 14;
constexpr double kTermsPerRun = double(kWidthPx) * kDepthPx * kSources * kFreqs;

// The floor: the same number of vector sincos and complex accumulations as the kernel, over amplitudes
// and phases computed beforehand (one column's worth, reused), into a map of the kernel's layout
// [frequency][width][depth].
void SinCosFloor(benchmark::State& state) {
    std::vector<float> amp(size_t(kFreqs) * kDepthPx), ph(amp.size());
    for (size_t i = 0; i < amp.size(); ++i) {
        amp[i] = 1.0f / (1.0f + 0.01f * float(i));
        ph[i] = -250.0f + 0.173f * float(i);
    }
    std::vector<float> re(size_t(kFreqs) * kWidthPx * kDepthPx), im(re.size());
    for (auto _ : state) {
        for (int32_t s = 0; s < kSources; ++s) {
            for (int32_t w = 0; w < kWidthPx; ++w) {
                for (int32_t k = 0; k < kFreqs; ++k) {
                    const size_t at = (size_t(k) * kWidthPx + w) * kDepthPx;
                    SinCosAccumulate(&amp[size_t(k) * kDepthPx], &ph[size_t(k) * kDepthPx], &re[at], &im[at],
                                     kDepthPx);
                }
            }
        }
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
    state.counters["terms/s"] = benchmark::Counter(kTermsPerRun, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(VectorMathUnit());
}
BENCHMARK(SinCosFloor)->Unit(benchmark::kMillisecond);

// Scalar sincosf over the same terms, for comparison with the vector floor.
void SinCosScalar(benchmark::State& state) {
    SetVectorMathUnit("scalar");
    SinCosFloor(state);
    SetVectorMathUnit(nullptr);
}
BENCHMARK(SinCosScalar)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
