// Prediction benchmarks: the cost floor of the per-term vector math and (added with the kernel)
// the map kernel's throughput and the end-to-end render.
//
// Run: build with benchmarks (not CORE_ONLY, not sanitized) and start build/bench/bench_prediction.
// Throughput is reported as terms per second: pixel x source x averaged frequency.

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/prediction_waits.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "acoustics/vector_math.h"
#include "dsp/dsp_space.h"
#include "platform/core/dispatcher.h"
#include "platform/core/geometry3d.h"
#include "platform/core/worker_thread.h"

#include <benchmark/benchmark.h>
#include <tbb/global_control.h>
#include <tbb/info.h>

#include <sched.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
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
    state.counters["terms/s"] =
        benchmark::Counter(kTermsPerRun, benchmark::Counter::kIsIterationInvariantRate);
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

// A project on the full band with a 3-source model of 5-degree polar data.
struct Scene {
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;
    bool received = false;

    explicit Scene(double pixel) {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetEventsEnabled(false);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(pixel);
        medium.SetAirLoss(true);
        project->SetMappingBandsType(TMappingBands::mbFullBand);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(5);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(kSources);
        const int32_t points = model->DSPSpace()->NRealFreqPoints();
        for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
                rPolarData d = model->PolarData()[0][e][a];
                for (int32_t n = 0; n < points; ++n) {
                    d.MagnitudePerFreq[n] = static_cast<float>(1.0 / (1.0 + 0.02 * a) + 0.001 * e);
                    d.PhasePerFreq[n] = static_cast<float>(0.01 * a - 0.02 * e + 0.001 * n);
                }
                model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
            }
        }
        project->SetOnReceiveAllMaps([this](TAcousticProject& p) {
            received = true;
            p.SetForceCalculation(false);
        });
    }

    ~Scene() {
        { project->AllMapsThread().CancelAndWait(); }
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
    }

    TMappingZone* addZone(float x, float z, float width, float depth) {
        TMappingZone* zone =
            TMappingZone::Create(&medium, project.get(), "Zone", TPoint3D(x, 0, z), TPoint3D(0, 0, 0), width,
                                 depth, 0.1f, false, TSurfaceType::qzaRectangle, 0xFF000000, true);
        zone->SetDimensions(width, depth);
        zone->RecalcPosBeginPx();
        return zone;
    }

    TCabinet& addCabinet(double x, double y, double z) {
        TCabinet& cab = *project->AddCabinet(model.get(), TPoint3D(0, 0, 0), TPoint3D(0, 0, 0), false,
                                             TCabPlacement::qzaVertical, 0, true);
        for (size_t z = 0; z < cab.MapData().size(); ++z) {
            const TMappingZone& zone = *project->MappingZones()[z];
            cab.MapData()[z]->SetZoneLength(project->NFreqsAverage(), zone.WidthPixels(), zone.DepthPixels());
        }
        for (int32_t i = 0; i < kSources; ++i) {
            TSourcePoint& s = *cab.SourcePoints()[static_cast<size_t>(i)];
            s.StorePixelPosition(x / medium.PixelToMeters(), (y + 0.3 * i) / medium.PixelToMeters(),
                                 z / medium.PixelToMeters());
            s.StoreAbsoluteRotations(0.1 * i, -0.5, s.AbsoluteRotationRadZ());
        }
        return cab;
    }
};

// The map kernel on one core: one cabinet of 3 sources over a 40 m x 25 m zone at 0.1 m, full band.
void MapKernel(benchmark::State& state) {
    Scene scene(0.1);
    TMappingZone* zone = scene.addZone(0, 0, 40, 25);
    TCabinet& cab = scene.addCabinet(-5, 8, 12);
    const double terms =
        double(zone->WidthPixels()) * zone->DepthPixels() * kSources * scene.project->NFreqsAverage();
    for (auto _ : state) {
        cab.MapData()[0]->SetZoneCalculated(false);
        cab.MapData()[0]->SetCalcCounter(1);
        benchmark::DoNotOptimize(cab.GetMap3D(-1, -1));
    }
    state.counters["terms/s"] = benchmark::Counter(terms, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(VectorMathUnit());
}
BENCHMARK(MapKernel)->Unit(benchmark::kMillisecond);

// Where the all-core render waited, per render: the hook's totals and the core time left idle
// (cores x wall time - CPU time of the process).
TPredictionWaitTotals renderWaits;
double renderIdleCoreSeconds = 0;
int renderCores = 0;

int coresAvailable() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// End to end, from the render request to the level maps: 24 cabinets over 3 zones, full band.
// Arg 1: every worker pinned to one core; arg 0: all cores.
void RenderEndToEnd(benchmark::State& state) {
    cpu_set_t all;
    CPU_ZERO(&all);
    sched_getaffinity(0, sizeof all, &all);
    // The summation's parallel loop runs on oneTBB's pool, whose workers already exist: the one-core
    // run limits the pool itself as well as the affinity of the threads it creates.
    std::unique_ptr<tbb::global_control> oneThread;
    if (state.range(0) == 1) {
        oneThread = std::make_unique<tbb::global_control>(tbb::global_control::max_allowed_parallelism, 1);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int c = 0; c < CPU_SETSIZE; ++c) {
            if (CPU_ISSET(c, &all)) {
                CPU_SET(c, &one);
                break;
            }
        }
        sched_setaffinity(0, sizeof one, &one); // threads created from here on inherit it
    }
    {
        Scene scene(0.1);
        // A floor, a second floor beside it and a balcony band: about 160 000 pixels at 0.1 m.
        scene.addZone(0, 0, 30, 20);
        scene.addZone(32, 0, 30, 20);
        scene.addZone(0, 22, 62, 6);
        for (int i = 0; i < 24; ++i) {
            scene.addCabinet(-3 + (i % 6) * 12.0, 6 + (i / 6) * 0.5, -4 + (i % 4) * 1.0);
        }
        TAcousticProject& p = *scene.project;
        p.SetEventsEnabled(true);
        const bool allCores = state.range(0) == 0;
        const TScopedPredictionWaitHook hook(allCores ? &renderWaits : PredictionWaitHook());
        if (allCores) {
            renderWaits.Clear();
            renderIdleCoreSeconds = 0;
            renderCores = coresAvailable();
        }
        for (auto _ : state) {
            const auto wall0 = std::chrono::steady_clock::now();
            const double cpu0 = processCpuSeconds();
            scene.received = false;
            for (auto& zone : p.MappingZones()) {
                zone->StoreMapState(TCalcState::qzaNeedsSum);
            }
            p.ForEachCabinet([](TCabinet& c) { c.StoreMapState(TCalcState::qzaCalculated); });
            p.SetForceCalculation(true);
            p.SetAllCabsNeedsCalculateMapsInZone(-1);
            while (!scene.received) {
                scene.ui.Pump();
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            if (allCores) {
                const double wall =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
                renderIdleCoreSeconds += std::max(0.0, renderCores * wall - (processCpuSeconds() - cpu0));
            }
        }
    }
    sched_setaffinity(0, sizeof all, &all);
    state.SetLabel(state.range(0) == 1 ? "1 core" : std::to_string(coresAvailable()) + " cores");
}
BENCHMARK(RenderEndToEnd)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The summation alone (all cabinets' maps ready): 24 cabinets over the same 3 zones, all cores.
void Summation(benchmark::State& state) {
    Scene scene(0.1);
    scene.addZone(0, 0, 30, 20);
    scene.addZone(32, 0, 30, 20);
    scene.addZone(0, 22, 62, 6);
    for (int i = 0; i < 24; ++i) {
        scene.addCabinet(-3 + (i % 6) * 12.0, 6 + (i / 6) * 0.5, -4 + (i % 4) * 1.0);
    }
    TAcousticProject& p = *scene.project;
    p.ForEachCabinet([](TCabinet& c) { c.StoreMapState(TCalcState::qzaCalculated); });
    p.SetEventsEnabled(true);
    for (auto _ : state) {
        for (auto& zone : p.MappingZones()) {
            zone->StoreMapState(TCalcState::qzaNeedsSum);
        }
        p.SumAllCabinetsInProject3D(-1);
    }
}
BENCHMARK(Summation)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the two goals' ratios after the runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string name = r.benchmark_name();
            if (name.rfind("SinCosFloor", 0) == 0) {
                floor_ = r.counters.at("terms/s");
            } else if (name.rfind("MapKernel", 0) == 0) {
                kernel_ = r.counters.at("terms/s");
            } else if (name.rfind("RenderEndToEnd/1", 0) == 0) {
                oneCore_ = r.GetAdjustedRealTime();
            } else if (name.rfind("RenderEndToEnd/0", 0) == 0) {
                allCores_ = r.GetAdjustedRealTime();
                renders_ = static_cast<double>(r.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (floor_ > 0 && kernel_ > 0) {
            std::printf("kernel / floor throughput: %.3f (goal >= 0.45)\n", kernel_ / floor_);
        }
        if (oneCore_ > 0 && allCores_ > 0 && renders_ > 0) {
            std::printf("end-to-end speed-up on %d cores: %.2f (goal >= %.2f)\n", renderCores,
                        oneCore_ / allCores_, 0.85 * renderCores);
            const auto per = [this](TPredictionWait kind) {
                return 1e3 * renderWaits.Seconds(kind) / renders_;
            };
            std::printf("  waiting per render: work not yet begun %.2f ms (starts %.2f, queued calls %.2f), "
                        "summing thread waiting for cabinets' maps %.2f ms, coalescing %.2f ms, waits ended "
                        "by a clock %llu; idle cores %.1f core-ms of %.1f\n",
                        per(TPredictionWait::StartToRun) + per(TPredictionWait::QueuedCall),
                        per(TPredictionWait::StartToRun), per(TPredictionWait::QueuedCall),
                        per(TPredictionWait::CabinetMaps), per(TPredictionWait::Coalescing),
                        static_cast<unsigned long long>(renderWaits.TimeLimited()),
                        1e3 * renderIdleCoreSeconds / renders_, renderCores * allCores_);
        }
    }

private:
    double floor_ = 0, kernel_ = 0, oneCore_ = 0, allCores_ = 0, renders_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    // Measured at normal priority: the idle class would measure the other load on the machine.
    SetIdlePriorityEnabled(false);
    // oneTBB sizes its pool from the affinity in force when it first starts: start it on every core
    // before the one-core run narrows the affinity.
    std::printf("oneTBB threads: %d\n", tbb::info::default_concurrency());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
