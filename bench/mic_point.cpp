// Measurement-point benchmark: the response of one point to 48 cabinets over the whole 1/48-octave
// response grid, as a dragged point recomputes it on every move. The goal is under 10 ms per point
// on one core, so that the response chart follows the mouse.
//
// Run: build with benchmarks (not CORE_ONLY, not sanitized) and start build/bench/bench_mic_point.

#include "acoustics/mic_point.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/physical_space.h"
#include "acoustics/point_response.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/dsp_space.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/worker_thread.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace vendrel;

namespace {

constexpr int32_t kCabinets = 48;
constexpr int32_t kSources = 3;

// 48 three-source cabinets of 5-degree polar data with a preset, spread over a stage 12 m wide in
// four hangs of twelve, every cabinet turned differently; the point in the audience.
struct MicScene {
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;

    MicScene() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        project->SetEventsEnabled(false);
        medium.SetAirLoss(true);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(5);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(kSources);
        model->SetUseRealPhase(true);
        const int32_t points = model->DSPSpace()->NRealFreqPoints();
        for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
                rPolarData d = model->PolarData()[0][static_cast<size_t>(e)][static_cast<size_t>(a)];
                for (int32_t n = 0; n < points; ++n) {
                    d.MagnitudePerFreq[static_cast<size_t>(n)] =
                        static_cast<float>(1.0 / (1.0 + 0.02 * a) + 0.001 * e);
                    d.PhasePerFreq[static_cast<size_t>(n)] =
                        static_cast<float>(0.01 * a - 0.02 * e + 0.001 * n);
                }
                model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
            }
        }
        for (int32_t i = 0; i < kSources; ++i) {
            model->SourcePoint()[static_cast<size_t>(i)]->SetYmRel(0.3 - 0.3 * i);
        }
        model->AddUserPreset();
        for (int32_t i = 0; i < kCabinets; ++i) {
            const TPoint3D at(static_cast<float>(-6 + (i % 12) * 1.1),
                              static_cast<float>(-8 + (i / 12) * 0.6),
                              static_cast<float>(-2 + (i / 12) * 1.3));
            const TPoint3D turn(0, static_cast<float>(-20 + 3 * (i % 12)), static_cast<float>(-5 - i % 7));
            project->AddCabinet(model.get(), at, turn, false, TCabPlacement::qzaVertical, 0, true);
        }
    }
};

// One point's response, computed as the point's worker does it.
void MicPointResponse(benchmark::State& state) {
    MicScene scene;
    const TPoint3D point(25, -1.2f, 3);
    std::vector<double> mag, phase;
    for (auto _ : state) {
        TPointResponse response(*scene.project);
        benchmark::DoNotOptimize(response.Compute(point, 0.0, mag, phase));
        benchmark::ClobberMemory();
    }
    state.counters["grid points"] = static_cast<double>(scene.project->NFreqPointsMicGraph());
    state.counters["terms/s"] =
        benchmark::Counter(double(kCabinets) * kSources * scene.project->NFreqPointsMicGraph(),
                           benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(MicPointResponse)->Unit(benchmark::kMillisecond);

class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && r.benchmark_name().rfind("MicPointResponse", 0) == 0) {
                perPointMs_ = r.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (perPointMs_ > 0) {
            std::printf("measurement point, %d cabinets: %.2f ms per point (goal < 10 ms)\n", kCabinets,
                        perPointMs_);
        }
    }

private:
    double perPointMs_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    SetIdlePriorityEnabled(false);
    benchmark::Initialize(&argc, argv);
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
