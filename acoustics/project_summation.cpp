// Summation of all cabinets' maps into one level map per zone, and the summing thread that waits for
// the cabinets, runs the summation and hands the result to the user-interface thread.

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/sound_system.h"
#include "acoustics/source_point.h"
#include "platform/core/debug_log.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace vendrel {

namespace {

using namespace std::chrono_literals;

const float kFloor = std::numeric_limits<float>::denorm_min(); // bit pattern 00000001

// Runs body over [0, n) in blocks of at least `grain` on oneTBB's pool. oneTBB's scheduler is not
// built with ThreadSanitizer, which then sees none of its hand-offs; the thread-sanitized build
// runs the same body on plain threads instead, so its own accesses stay checked.
template <typename Body> void parallelColumns(int32_t n, int32_t grain, const Body& body) {
#if defined(__SANITIZE_THREAD__)
    (void)grain;
    const int32_t parts =
        std::clamp<int32_t>(static_cast<int32_t>(std::thread::hardware_concurrency()), 1, 4);
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < parts; ++t) {
        const int32_t b = static_cast<int32_t>(static_cast<int64_t>(n) * t / parts);
        const int32_t e = static_cast<int32_t>(static_cast<int64_t>(n) * (t + 1) / parts);
        threads.emplace_back([&body, b, e] { body(b, e); });
    }
    for (std::thread& th : threads) {
        th.join();
    }
#else
    tbb::parallel_for(
        tbb::blocked_range<int32_t>(0, n, static_cast<size_t>(grain)),
        [&body](const tbb::blocked_range<int32_t>& range) { body(range.begin(), range.end()); });
#endif
}
constexpr double kMagnitudeWeight = 0.71;
constexpr double kMaxWaitSeconds = 600.0;

int32_t qualityDivisor(TRenderQuality q) {
    switch (q) {
    case TRenderQuality::qzaVeryLow:
        return 1;
    case TRenderQuality::qzaLow:
        return 2;
    case TRenderQuality::qzaMedium:
        return 5;
    case TRenderQuality::qzaHigh:
        return 10;
    case TRenderQuality::qzaVeryHigh:
        return 20;
    }
    return 1;
}

// The breadcrumb, which the project also writes to the debug log.
void log(TAcousticProject& p, const std::string& text) {
    p.SetLastLogString(text);
}

void queueUI(TAcousticProject& p, std::function<void()> fn) {
    p.QueueUI(std::move(fn));
}

// Waits until the cabinet's maps are calculated. False when the calculation was aborted or the
// cabinet did not finish in time (then the group's message is logged).
enum class WaitResult { Ready, Aborted, Cancelled, TimedOut };

WaitResult waitForCabinet(TAcousticProject& p, const TCabinet& cab, const char* message) {
    const auto start = std::chrono::steady_clock::now();
    int32_t idlePolls = 0;
    bool askedAgain = false;
    while (cab.MapState() != TCalcState::qzaCalculated) {
        std::this_thread::sleep_for(2ms);
        if (p.AbortCalculation()) {
            return WaitResult::Aborted;
        }
        // A cabinet left needing its maps with no pass of it running would be waited for until the
        // time limit: after 20 ms in that state, the user-interface thread (which owns the cabinet
        // and its thread object) requests its pass again when none runs.
        if (cab.MapState() == TCalcState::qzaNeedsCalculate) {
            if (++idlePolls >= 10) {
                idlePolls = 0;
                if (!askedAgain) {
                    askedAgain = true;
                    log(p, "AcousticProject.SumAllCabinetsInProject3D: cabinet " +
                               std::to_string(cab.NumberID()) +
                               " needed its maps with no pass running; asked again");
                }
                // The request carries the cabinet's lifetime token: a removed cabinet is not asked.
                TCabinet* wanted = const_cast<TCabinet*>(&cab);
                queueUI(p, [wanted, life = cab.LifetimeToken()] {
                    if (life.Alive() && wanted->MapState() == TCalcState::qzaNeedsCalculate &&
                        !wanted->MapThreadActive()) {
                        wanted->ExecuteMapThread(-1);
                    }
                });
            }
        } else {
            idlePolls = 0;
        }
        // A removal cancels the summing thread: it stops waiting for cabinets that may go away.
        if (p.AllMapsThread().IsCurrentThread() && p.AllMapsThread().Cancelled()) {
            return WaitResult::Cancelled;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > kMaxWaitSeconds) {
            log(p, std::string(message) + std::to_string(static_cast<int64_t>(seconds)) + " Seg");
            return WaitResult::TimedOut;
        }
    }
    return WaitResult::Ready;
}

} // namespace

void TAcousticProject::SumAllCabinetsInProject3D(int32_t ZoneIndex) {
    (void)sumZones(ZoneIndex);
}

TAcousticProject::TSumOutcome TAcousticProject::sumZones(int32_t ZoneIndex) {
    std::this_thread::sleep_for(1ms);
    if (!FEventsEnabled) {
        return TSumOutcome::EventsOff;
    }
    const int32_t q = qualityDivisor(FRenderQuality);
    const int32_t totalCabs = TotalCabinets();
    const bool E = totalCabs != 1 && (FAvoidPhaseAliasing || !FIsComplexSum);
    const int32_t nZones = NMappingZones();

    int32_t first = 0, last = nZones - 1;
    if (ZoneIndex != -1) {
        (void)At(FMappingZones, ZoneIndex);
        first = last = ZoneIndex;
    }

    // Coarse coherent maps of every zone (energy-compensated mode).
    std::vector<TMapLayers> coarse(E ? static_cast<size_t>(nZones) : 0);
    for (size_t z = 0; z < coarse.size(); ++z) {
        const TMappingZone& zone = *FMappingZones[z];
        coarse[z].Resize(1, zone.WidthPixels() / q + 1, zone.DepthPixels() / q + 1);
    }

    log(*this, "SumAllCabinetsInProject3D:  Esperando a tener todas las cabinets calculadas");
    // Wait for every cabinet, active or not.
    const auto abortNow = [this] {
        if (FAbortCalculation) {
            FAllMapsState = TCalcState::qzaNeedsCalculate;
            return true;
        }
        return false;
    };
    struct Group {
        std::vector<const TCabinet*> cabs;
        const char* message;
        bool checkBefore;
    };
    std::vector<Group> groups;
    {
        Group loose{
            {},
            "Me he quedado en la Suma de cajas. Esperando a que todas estén calculadas... Wait TIME: ",
            false};
        for (const auto& c : FCabinets) {
            loose.cabs.push_back(c.get());
        }
        groups.push_back(loose);
        Group arrays{
            {},
            "Me he quedado en la Suma de arrays. Esperando a que todas estén calculadas... Wait TIME: ",
            true};
        for (const auto& a : FCabArrays) {
            for (const TCabinet* c : a->CabinetList()) {
                arrays.cabs.push_back(c);
            }
        }
        groups.push_back(arrays);
        Group clusters{
            {},
            "Me he quedado en la Suma de Clusters. Esperando a que todas estén calculadas... Wait TIME: ",
            true};
        for (const auto& a : FClusters) {
            for (const TCabinet* c : a->CabinetList()) {
                clusters.cabs.push_back(c);
            }
        }
        groups.push_back(clusters);
        Group beams{
            {},
            "Me he quedado en la Suma de Beams. Esperando a que sus cajas estén calculadas... Wait TIME: ",
            true};
        for (const auto& a : FBeams) {
            for (const TCabinet* c : a->CabinetList()) {
                beams.cabs.push_back(c);
            }
        }
        groups.push_back(beams);
    }
    for (const Group& g : groups) {
        for (const TCabinet* cab : g.cabs) {
            if (abortNow()) {
                return TSumOutcome::Stopped;
            }
            const WaitResult r = waitForCabinet(*this, *cab, g.message);
            if (r == WaitResult::Aborted) {
                FAllMapsState = TCalcState::qzaNeedsCalculate;
                return TSumOutcome::Stopped;
            }
            if (r == WaitResult::TimedOut || r == WaitResult::Cancelled) {
                return TSumOutcome::Stopped;
            }
        }
    }

    log(*this, "AcousticProject.SumAllCabinetsInProject3D");
    FMaxFreqNoAliasing = RoundHalfEven<int32_t>(347.0 / (2 * FPhysicalSpace->PixelToMeters()));
    const int32_t nK = FNFreqsAverage;

    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        const int32_t zoneId = zone.ZoneIndexID();
        queueUI(*this, [this, zoneId] {
            if (FProgressBar != nullptr) {
                FProgressBar->SetMax(NMappingZones());
                FProgressBar->SetValue(zoneId);
                FProgressBar->SetStyleLookup("progressbarvendrelstyle");
            }
            if (FStatusLabel != nullptr) {
                FStatusLabel->SetText("Calculating Maps in Zone : " + std::to_string(zoneId));
            }
        });
        std::this_thread::sleep_for(5ms);
        if (zone.SurfaceType() == TSurfaceType::qzaPicture ||
            zone.MappingSides() == TMappingSides::qzaNoSPLMap) {
            zone.StoreMapState(TCalcState::qzaCalculated);
            continue;
        }
        if (!zone.Active()) {
            zone.StoreMapState(TCalcState::qzaIsSumed);
            continue;
        }
        const int32_t W = zone.WidthPixels(), D = zone.DepthPixels();
        const int32_t W1 = W / q, D1 = D / q;
        if (zone.MapState() == TCalcState::qzaIsSumed) {
            continue;
        }
        TZoneData& sum = *zone.MapSum();
        if (sum.WidthPixels() != W || sum.DepthPixels() != D || sum.MapRealFreq().Empty()) {
            sum.SetZoneLength(std::max(sum.NFreqs(), 1), W, D);
        }
        std::vector<float> A(static_cast<size_t>(W) * D, kFloor);
        std::vector<float> B(E ? static_cast<size_t>(W1 + 1) * (D1 + 1) : 0, 0.0f);
        for (int32_t x = 0; x < W1 && E; ++x) {
            for (int32_t y = 0; y < D1; ++y) {
                B[static_cast<size_t>(x) * (D1 + 1) + y] = kFloor;
            }
        }
        zone.StoreMapState(TCalcState::qzaCalculating);
        TMapLayers& Re = sum.MapRealFreq();
        TMapLayers& Im = sum.MapImagFreq();
        // Who takes part, in the order of the sum: loose cabinets, clusters, beam-steering arrays
        // (each by itself), then the line arrays (each summed coherently first when by magnitude).
        std::vector<const TZoneData*> singles;
        std::vector<std::vector<const TZoneData*>> arrays;
        for (const auto& c : FCabinets) {
            if (c && c->Active()) {
                singles.push_back(At(c->MapData(), z).get());
            }
        }
        for (const auto& g : FClusters) {
            if (g->Active()) {
                for (const TCabinet* c : g->CabinetList()) {
                    if (c->Active()) {
                        singles.push_back(At(c->MapData(), z).get());
                    }
                }
            }
        }
        for (const auto& g : FBeams) {
            if (g->Active()) {
                for (const TCabinet* c : g->CabinetList()) {
                    if (c->Active()) {
                        singles.push_back(At(c->MapData(), z).get());
                    }
                }
            }
        }
        for (const auto& arr : FCabArrays) {
            if (arr->Active()) {
                arrays.emplace_back();
                for (const TCabinet* c : arr->CabinetList()) {
                    if (c->Active()) {
                        arrays.back().push_back(At(c->MapData(), z).get());
                    }
                }
            }
        }
        std::vector<float> kIm;
        for (int32_t m = 0; m < nK; ++m) {
            const bool coherent =
                totalCabs == 1 ||
                (FIsComplexSum && (!FAvoidPhaseAliasing || At(FFreqsAverage, m) <= FMaxFreqNoAliasing));
            // Pixel columns are independent: they are summed in parallel, each in the fixed order.
            parallelColumns(W, 4, [&](int32_t columnBegin, int32_t columnEnd) {
                std::vector<float> sRe(static_cast<size_t>(D)), sIm(static_cast<size_t>(D));
                for (int32_t x = columnBegin; x != columnEnd; ++x) {
                    float* re = Re.Row(0, x);
                    float* im = Im.Row(0, x);
                    std::fill_n(re, D, kFloor);
                    std::fill_n(im, D, kFloor);
                    for (const TZoneData* c : singles) {
                        const float* cr = c->MapRealFreq().Row(m, x);
                        const float* ci = c->MapImagFreq().Row(m, x);
                        if (coherent) {
                            for (int32_t y = 0; y < D; ++y) {
                                re[y] += cr[y];
                                im[y] += ci[y];
                            }
                        } else {
                            for (int32_t y = 0; y < D; ++y) {
                                re[y] =
                                    static_cast<float>(re[y] + kMagnitudeWeight * std::hypot(cr[y], ci[y]));
                            }
                        }
                    }
                    for (const auto& arr : arrays) {
                        if (coherent) {
                            for (const TZoneData* c : arr) {
                                const float* cr = c->MapRealFreq().Row(m, x);
                                const float* ci = c->MapImagFreq().Row(m, x);
                                for (int32_t y = 0; y < D; ++y) {
                                    re[y] += cr[y];
                                    im[y] += ci[y];
                                }
                            }
                            continue;
                        }
                        std::fill(sRe.begin(), sRe.end(), 0.0f);
                        std::fill(sIm.begin(), sIm.end(), 0.0f);
                        for (const TZoneData* c : arr) {
                            const float* cr = c->MapRealFreq().Row(m, x);
                            const float* ci = c->MapImagFreq().Row(m, x);
                            for (int32_t y = 0; y < D; ++y) {
                                sRe[static_cast<size_t>(y)] += cr[y];
                                sIm[static_cast<size_t>(y)] += ci[y];
                            }
                        }
                        for (int32_t y = 0; y < D; ++y) {
                            re[y] += std::hypot(sRe[static_cast<size_t>(y)], sIm[static_cast<size_t>(y)]);
                        }
                    }
                    float* acc = A.data() + static_cast<size_t>(x) * D;
                    for (int32_t y = 0; y < D; ++y) {
                        acc[y] += std::hypot(re[y], im[y]);
                    }
                }
            });
            if (E) {
                // The coarse map is always the coherent sum, every q-th pixel both ways.
                TMapLayers& K = coarse[static_cast<size_t>(z)];
                K.Fill(0.0f);
                kIm.assign(K.size(), 0.0f);
                const int32_t kd = K.Depth();
                const auto coarseAdd = [&](const TZoneData& c) {
                    for (int32_t y = 0; y < D - 1; y += q) {
                        for (int32_t x = 0; x < W - 1; x += q) {
                            K(0, x / q, y / q) += c.MapRealFreq()(m, x, y);
                            kIm[static_cast<size_t>(x / q) * kd + y / q] += c.MapImagFreq()(m, x, y);
                        }
                    }
                };
                for (const TZoneData* c : singles) {
                    coarseAdd(*c);
                }
                for (const auto& arr : arrays) {
                    for (const TZoneData* c : arr) {
                        coarseAdd(*c);
                    }
                }
                for (int32_t x = 0; x < W1; ++x) {
                    for (int32_t y = 0; y < D1; ++y) {
                        B[static_cast<size_t>(x) * (D1 + 1) + y] +=
                            std::hypot(K(0, x, y), kIm[static_cast<size_t>(x) * kd + y]);
                    }
                }
            }
        }
        for (int32_t x = 0; x < W; ++x) {
            float* re = Re.Row(0, x);
            for (int32_t y = 0; y < D; ++y) {
                re[y] = A[static_cast<size_t>(x) * D + y] / static_cast<float>(nK);
            }
        }
        MagnitudeToDB3D(z);
        if (E) {
            double maxB = 0;
            for (int32_t x = 0; x < W1; ++x) {
                for (int32_t y = 0; y < D1; ++y) {
                    maxB = std::max(maxB, static_cast<double>(B[static_cast<size_t>(x) * (D1 + 1) + y]) / nK);
                }
            }
            zone.StoreMaxdBEnergySum(sum.MaxdBSPL());
            // A zone narrower than one coarse cell has no coarse maximum: its estimate is the floor level.
            zone.StoreMaxdBSPL(maxB > 0 ? 20 * std::log10(maxB)
                                        : 20 * std::log10(static_cast<double>(kFloor)));
        } else {
            zone.StoreMaxdBSPL(sum.MaxdBSPL());
            zone.StoreMapState(TCalcState::qzaIsSumed);
        }
    }

    if (E) {
        FdBEnergyCompOld = FdBEnergyComp.load();
        double splMax = 0, eMax = 0;
        for (const auto& zone : FMappingZones) {
            splMax = std::max(splMax, zone->MaxdBSPL());
            eMax = std::max(eMax, zone->MaxdBEnergySum());
        }
        FdBEnergyComp = FMaxdBPsychoComp + eMax - splMax;
        for (int32_t z = first; z <= last; ++z) {
            TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
            if (zone.MapState() == TCalcState::qzaIsSumed) {
                CompensateEnergySum(z, FdBEnergyComp - FdBEnergyCompOld);
            } else if (zone.Active()) {
                CompensateEnergySum(z, FdBEnergyComp);
                zone.StoreMapState(TCalcState::qzaIsSumed);
            } else {
                zone.StoreMapState(TCalcState::qzaCalculated);
            }
        }
    }
    return TSumOutcome::Summed;
}

void TAcousticProject::SumAllCabinetsNow(int32_t ZoneIndex) {
    const TWorkersPause pause(*this);
    bool ready = true;
    ForEachCabinet([&ready](TCabinet& cab) { ready = ready && cab.MapState() == TCalcState::qzaCalculated; });
    const TSumOutcome outcome = ready ? sumZones(ZoneIndex) : TSumOutcome::Stopped;
    if (outcome == TSumOutcome::Summed) {
        return;
    }
    // Not summed here: the zones are marked for summing and the summing thread is asked (at once, or
    // when the events are back).
    if (outcome == TSumOutcome::EventsOff) {
        sumSkippedForEvents_ = true;
    }
    int32_t first = 0, last = NMappingZones() - 1;
    if (ZoneIndex != -1) {
        (void)At(FMappingZones, ZoneIndex);
        first = last = ZoneIndex;
    }
    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        if (zone.MapState() == TCalcState::qzaIsSumed) {
            zone.StoreMapState(TCalcState::qzaNeedsSum);
        }
    }
    FAllMapsState = TCalcState::qzaNeedsCalculate;
    ExecuteAllMapsThread();
}

void TAcousticProject::CompensateEnergySum(int32_t ZoneIndex, double dBComp) {
    int32_t first = 0, last = NMappingZones() - 1;
    if (ZoneIndex != -1) {
        (void)At(FMappingZones, ZoneIndex);
        first = last = ZoneIndex;
    }
    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        TZoneData& sum = *zone.MapSum();
        if (sum.MapRealFreq().Empty()) {
            continue;
        }
        for (int32_t x = 0; x < sum.WidthPixels(); ++x) {
            float* re = sum.MapRealFreq().Row(0, x);
            for (int32_t y = 0; y < sum.DepthPixels(); ++y) {
                re[y] = static_cast<float>(static_cast<double>(re[y]) - dBComp);
            }
        }
    }
}

void TAcousticProject::SumAllCalculatedMaps() {
    if (TotalCabinets() <= 0) {
        for (auto& zone : FMappingZones) {
            zone->ClearMap();
        }
    } else {
        for (auto& zone : FMappingZones) {
            zone->SetMapState(TCalcState::qzaNeedsSum);
        }
        FAllMapsState = TCalcState::qzaNeedsCalculate;
    }
    ExecuteAllMapsThread();
}

double TAcousticProject::GetMaxdBSPL() const {
    double m = 0;
    for (const auto& zone : FMappingZones) {
        m = std::max(m, zone->MaxdBSPL());
    }
    return m;
}

} // namespace vendrel
