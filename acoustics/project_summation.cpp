// Summation of all cabinets' maps into one level map per zone: the wait for the cabinets, a plan of
// the zones to sum, one parallel pass over every pixel column of them, and the energy compensation.

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/parallel_columns.h"
#include "acoustics/physical_space.h"
#include "acoustics/prediction_waits.h"
#include "acoustics/project.h"
#include "acoustics/vector_math.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace vendrel {

namespace {

const float kFloor = std::numeric_limits<float>::denorm_min(); // bit pattern 00000001
constexpr double kMagnitudeWeight = 0.71;
constexpr double kMaxWaitSeconds = 600.0;
// Columns per block of the pass: a column of the benchmark venue reads every cabinet's maps of it,
// some tens of microseconds of work.
constexpr int32_t kColumnGrain = 2;

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

// One zone's share of a summation: its grid, where its level map goes, which maps take part (ranges of
// the plan's list), and where its columns sit in the pass.
struct ZoneSum {
    TMappingZone* zone = nullptr;
    int32_t W = 0, D = 0;   // pixels
    int32_t W1 = 0, D1 = 0; // whole coarse cells
    TMapLayers* re = nullptr;
    TMapLayers* im = nullptr;
    size_t singlesBegin = 0, singlesEnd = 0; // loose cabinets, clusters and beam-steering arrays
    size_t arraysBegin = 0, arraysEnd = 0;   // line arrays, each a range of maps
    int32_t firstColumn = 0;
};

// Everything the pass reads, fixed before it starts.
struct SumPlan {
    int32_t q = 1;
    int32_t nK = 0;
    bool E = false;                                // energy-compensated mode
    std::vector<uint8_t> coherent;                 // per averaged frequency
    std::vector<const TZoneData*> maps;            // the taking part maps of every zone, zone by zone
    std::vector<std::pair<size_t, size_t>> arrays; // a line array's range of `maps`
    std::vector<ZoneSum> zones;
    int32_t columns = 0;
    std::vector<float> columnMaxLevel;   // per column of the pass: its largest level, from 0
    std::vector<double> columnMaxCoarse; // per column: its largest coarse magnitude, from 0
};

// Working rows of one thread, kept between columns and summations.
struct ColumnScratch {
    std::vector<float> acc, sRe, sIm, kRe, kIm, b;
    void size(int32_t D, int32_t D1) {
        const size_t d = static_cast<size_t>(D), k = static_cast<size_t>(D1) + 1;
        if (acc.size() < d) {
            acc.resize(d);
            sRe.resize(d);
            sIm.resize(d);
        }
        if (kRe.size() < k) {
            kRe.resize(k);
            kIm.resize(k);
            b.resize(k);
        }
    }
};

ColumnScratch& threadScratch() {
    thread_local ColumnScratch scratch;
    return scratch;
}

// Adds the complex layer m of a cabinet's map, column x, into the coarse column: every q-th pixel of
// the column (but its last) into its cell.
void addCoarse(const TZoneData& c, int32_t m, int32_t x, int32_t D, int32_t q, float* kRe, float* kIm) {
    const float* cr = c.MapRealFreq().Row(m, x);
    const float* ci = c.MapImagFreq().Row(m, x);
    for (int32_t y = 0; y < D - 1; y += q) {
        kRe[y / q] += cr[y];
        kIm[y / q] += ci[y];
    }
}

// Column x of a zone: every averaged frequency summed over the maps that take part, the magnitudes
// averaged and turned into levels in the zone's level map, and the column's maxima.
void sumColumn(const SumPlan& plan, const ZoneSum& zs, int32_t x, ColumnScratch& s, float& maxLevel,
               double& maxCoarse) {
    const int32_t D = zs.D, q = plan.q, nK = plan.nK;
    s.size(D, zs.D1);
    float* re = zs.re->Row(0, x);
    float* im = zs.im->Row(0, x);
    float* acc = s.acc.data();
    std::fill_n(acc, D, kFloor);
    // The coarse grid: column x' = x / q takes its cells from pixel column x' q; cells x' < W1 count.
    const bool coarseColumn = plan.E && x % q == 0 && x / q < zs.W1;
    const bool sampled = coarseColumn && x < zs.W - 1;
    std::fill_n(s.b.data(), zs.D1, kFloor);
    const TZoneData* const* singles = plan.maps.data() + zs.singlesBegin;
    const size_t nSingles = zs.singlesEnd - zs.singlesBegin;
    for (int32_t m = 0; m < nK; ++m) {
        std::fill_n(re, D, kFloor);
        std::fill_n(im, D, kFloor);
        const bool coherent = plan.coherent[static_cast<size_t>(m)] != 0;
        for (size_t i = 0; i < nSingles; ++i) {
            const float* cr = singles[i]->MapRealFreq().Row(m, x);
            const float* ci = singles[i]->MapImagFreq().Row(m, x);
            if (coherent) {
                ComplexAddInto(re, im, cr, ci, D);
            } else {
                WeightedHypotAccumulate(cr, ci, kMagnitudeWeight, re, D);
            }
        }
        for (size_t a = zs.arraysBegin; a != zs.arraysEnd; ++a) {
            const auto [begin, end] = plan.arrays[a];
            if (coherent) {
                for (size_t i = begin; i != end; ++i) {
                    ComplexAddInto(re, im, plan.maps[i]->MapRealFreq().Row(m, x),
                                   plan.maps[i]->MapImagFreq().Row(m, x), D);
                }
                continue;
            }
            // By magnitude, the array's own cabinets coherently first.
            std::fill_n(s.sRe.data(), D, 0.0f);
            std::fill_n(s.sIm.data(), D, 0.0f);
            for (size_t i = begin; i != end; ++i) {
                ComplexAddInto(s.sRe.data(), s.sIm.data(), plan.maps[i]->MapRealFreq().Row(m, x),
                               plan.maps[i]->MapImagFreq().Row(m, x), D);
            }
            HypotAccumulate(s.sRe.data(), s.sIm.data(), re, D);
        }
        HypotAccumulate(re, im, acc, D);
        if (coarseColumn) {
            // The coarse map is always the coherent sum, whatever this frequency's mode.
            std::fill_n(s.kRe.data(), zs.D1 + 1, 0.0f);
            std::fill_n(s.kIm.data(), zs.D1 + 1, 0.0f);
            if (sampled) {
                for (size_t i = 0; i < nSingles; ++i) {
                    addCoarse(*singles[i], m, x, D, q, s.kRe.data(), s.kIm.data());
                }
                for (size_t a = zs.arraysBegin; a != zs.arraysEnd; ++a) {
                    for (size_t i = plan.arrays[a].first; i != plan.arrays[a].second; ++i) {
                        addCoarse(*plan.maps[i], m, x, D, q, s.kRe.data(), s.kIm.data());
                    }
                }
            }
            HypotAccumulate(s.kRe.data(), s.kIm.data(), s.b.data(), zs.D1);
        }
    }
    LevelsFromMagnitudes(acc, static_cast<float>(nK), re, D);
    maxLevel = MaxFromZero(re, D);
    maxCoarse = 0;
    if (coarseColumn) {
        for (int32_t y = 0; y < zs.D1; ++y) {
            maxCoarse = std::max(maxCoarse, static_cast<double>(s.b[static_cast<size_t>(y)]) / nK);
        }
    }
}

// The zones' columns one after another: the pass runs over all of them at once.
void sumEveryColumn(SumPlan& plan) {
    plan.columnMaxLevel.assign(static_cast<size_t>(plan.columns), 0.0f);
    plan.columnMaxCoarse.assign(static_cast<size_t>(plan.columns), 0.0);
    parallelColumns(plan.columns, kColumnGrain, [&plan](int32_t begin, int32_t end) {
        ColumnScratch& scratch = threadScratch();
        // The zone of the block's first column; later columns may move on to the next zones.
        size_t z = static_cast<size_t>(
            std::upper_bound(plan.zones.begin(), plan.zones.end(), begin,
                             [](int32_t c, const ZoneSum& zs) { return c < zs.firstColumn; }) -
            plan.zones.begin() - 1);
        for (int32_t c = begin; c != end; ++c) {
            while (c >= plan.zones[z].firstColumn + plan.zones[z].W) {
                ++z;
            }
            const ZoneSum& zs = plan.zones[z];
            sumColumn(plan, zs, c - zs.firstColumn, scratch, plan.columnMaxLevel[static_cast<size_t>(c)],
                      plan.columnMaxCoarse[static_cast<size_t>(c)]);
        }
    });
}

// Per averaged frequency, whether the cabinets' pressures add coherently: always for a single
// cabinet, else in the complex sum below the highest frequency that the map's pixel size resolves.
std::vector<uint8_t> coherentFrequencies(const TAcousticProject& p, int32_t totalCabs) {
    std::vector<uint8_t> coherent;
    for (int32_t m = 0; m < p.NFreqsAverage(); ++m) {
        coherent.push_back(totalCabs == 1 ||
                           (p.IsComplexSum() &&
                            (!p.AvoidPhaseAliasing() || At(p.FreqsAverage(), m) <= p.MaxFreqNoAliasing())));
    }
    return coherent;
}

// The progress bar and status line name the zone being summed (queued: nothing waits for them).
void announceZone(TAcousticProject& p, int32_t zoneId) {
    p.QueueUI([&p, zoneId] {
        if (p.ProgressBar() != nullptr) {
            p.ProgressBar()->SetMax(p.NMappingZones());
            p.ProgressBar()->SetValue(zoneId);
            p.ProgressBar()->SetStyleLookup("progressbarvendrelstyle");
        }
        if (p.StatusLabel() != nullptr) {
            p.StatusLabel()->SetText("Calculating Maps in Zone : " + std::to_string(zoneId));
        }
    });
}

// A zone that takes no part in the sum gets its final state here (a picture or a zone without a map
// is done, an inactive one summed); a zone already summed stays so. True when the zone is not summed.
bool settledWithoutSum(TMappingZone& zone) {
    if (zone.SurfaceType() == TSurfaceType::qzaPicture || zone.MappingSides() == TMappingSides::qzaNoSPLMap) {
        zone.StoreMapState(TCalcState::qzaCalculated);
        return true;
    }
    if (!zone.Active()) {
        zone.StoreMapState(TCalcState::qzaIsSumed);
        return true;
    }
    return zone.MapState() == TCalcState::qzaIsSumed;
}

// Zone z's share of the pass: its sum sized to its grid, and the maps that take part in the order of
// the sum: loose cabinets, clusters, beam-steering arrays (each by itself), then the line arrays (each
// summed coherently first when by magnitude). The zone is marked as being calculated.
void planZone(const TAcousticProject& p, int32_t z, SumPlan& plan) {
    TMappingZone& zone = *At(p.MappingZones(), z);
    ZoneSum zs;
    zs.zone = &zone;
    zs.W = zone.WidthPixels();
    zs.D = zone.DepthPixels();
    zs.W1 = zs.W / plan.q;
    zs.D1 = zs.D / plan.q;
    TZoneData& sum = *zone.MapSum();
    if (sum.WidthPixels() != zs.W || sum.DepthPixels() != zs.D || sum.MapRealFreq().Empty()) {
        sum.SetZoneLength(std::max(sum.NFreqs(), 1), zs.W, zs.D);
    }
    zs.re = &sum.MapRealFreq();
    zs.im = &sum.MapImagFreq();
    zone.StoreMapState(TCalcState::qzaCalculating);
    zs.singlesBegin = plan.maps.size();
    for (const auto& c : p.Cabinets()) {
        if (c && c->Active()) {
            plan.maps.push_back(At(c->MapData(), z).get());
        }
    }
    const auto addGroup = [&plan, z](const auto& groups) {
        for (const auto& g : groups) {
            if (g->Active()) {
                for (const TCabinet* c : g->CabinetList()) {
                    if (c->Active()) {
                        plan.maps.push_back(At(c->MapData(), z).get());
                    }
                }
            }
        }
    };
    addGroup(p.Clusters());
    addGroup(p.Beams());
    zs.singlesEnd = plan.maps.size();
    zs.arraysBegin = plan.arrays.size();
    for (const auto& arr : p.CabArrays()) {
        if (arr->Active()) {
            const size_t begin = plan.maps.size();
            for (const TCabinet* c : arr->CabinetList()) {
                if (c->Active()) {
                    plan.maps.push_back(At(c->MapData(), z).get());
                }
            }
            plan.arrays.emplace_back(begin, plan.maps.size());
        }
    }
    zs.arraysEnd = plan.arrays.size();
    zs.firstColumn = plan.columns;
    plan.columns = CheckedAdd(plan.columns, zs.W);
    plan.zones.push_back(zs);
}

// Each summed zone's maxima from its columns. By magnitude the energy sum's maximum and the coarse
// coherent estimate are stored for the compensation that follows; otherwise the zone is summed.
void storeZoneMaxima(const SumPlan& plan) {
    for (const ZoneSum& zs : plan.zones) {
        double maxLevel = 0, maxCoarse = 0;
        for (int32_t x = 0; x < zs.W; ++x) {
            const size_t c = static_cast<size_t>(zs.firstColumn + x);
            maxLevel = std::max(maxLevel, static_cast<double>(plan.columnMaxLevel[c]));
            maxCoarse = std::max(maxCoarse, plan.columnMaxCoarse[c]);
        }
        if (plan.E) {
            zs.zone->StoreMaxdBEnergySum(maxLevel);
            // A zone narrower than one coarse cell has no coarse maximum: its estimate is the floor level.
            zs.zone->StoreMaxdBSPL(maxCoarse > 0 ? 20 * std::log10(maxCoarse)
                                                 : 20 * std::log10(static_cast<double>(kFloor)));
        } else {
            zs.zone->StoreMaxdBSPL(maxLevel);
            zs.zone->StoreMapState(TCalcState::qzaIsSumed);
        }
    }
}

} // namespace

// ---- The wait for the cabinets ----

TAcousticProject::TCabinetWait TAcousticProject::waitForCabinet(const TCabinet& Cabinet,
                                                                const char* Message) {
    if (Cabinet.MapState() == TCalcState::qzaCalculated) {
        return TCabinetWait::Ready;
    }
    const double since = PredictionWaitClock();
    const auto start = std::chrono::steady_clock::now();
    const auto giveUp = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                    std::chrono::duration<double>(kMaxWaitSeconds));
    // A removal or an edit cancels the summing thread: it stops waiting for cabinets that may go away.
    const TWorkerThread* summing =
        FAllMapsThread != nullptr && FAllMapsThread->IsCurrentThread() ? FAllMapsThread.get() : nullptr;
    // A cabinet that needs its maps when the wait begins may have no pass requested (one skipped with
    // the events off): the user-interface thread, which owns the cabinet and its thread, starts one
    // unless a pass is already on its way. The request carries the cabinet's lifetime token.
    if (Cabinet.MapState() == TCalcState::qzaNeedsCalculate) {
        TCabinet* wanted = const_cast<TCabinet*>(&Cabinet);
        QueueUI([this, wanted, life = Cabinet.LifetimeToken()] {
            if (life.Alive() && wanted->MapState() == TCalcState::qzaNeedsCalculate &&
                !wanted->MapThreadActive()) {
                log(*this, "AcousticProject.SumAllCabinetsInProject3D: cabinet " +
                               std::to_string(wanted->NumberID()) +
                               " needed its maps with no pass running; asked again");
                wanted->ExecuteMapThread(-1);
            }
        });
    }
    TCabinetWait result = TCabinetWait::Ready;
    {
        std::unique_lock lock(signalMutex_);
        const bool ended = signal_.wait_until(lock, giveUp, [&] {
            return Cabinet.MapState() == TCalcState::qzaCalculated || FAbortCalculation ||
                   (summing != nullptr && summing->Cancelled());
        });
        if (!ended) {
            result = TCabinetWait::TimedOut;
        } else if (Cabinet.MapState() == TCalcState::qzaCalculated) {
            result = TCabinetWait::Ready;
        } else if (FAbortCalculation) {
            result = TCabinetWait::Aborted;
        } else {
            result = TCabinetWait::Cancelled;
        }
    }
    ReportPredictionWait(TPredictionWait::CabinetMaps, since, result == TCabinetWait::TimedOut);
    if (result == TCabinetWait::TimedOut) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        log(*this, std::string(Message) + std::to_string(static_cast<int64_t>(seconds)) + " Seg");
    }
    return result;
}

// Every cabinet of the project, active or not, group by group. False when the summation has to end
// (an abort, a cancelled run, a cabinet that never finished).
bool TAcousticProject::waitForEveryCabinet() {
    log(*this, "SumAllCabinetsInProject3D:  Esperando a tener todas las cabinets calculadas");
    const auto waitAll = [this](const std::vector<TCabinet*>& cabs, const char* message) {
        for (const TCabinet* cab : cabs) {
            if (FAbortCalculation) {
                FAllMapsState = TCalcState::qzaNeedsCalculate;
                return false;
            }
            const TCabinetWait r = waitForCabinet(*cab, message);
            if (r == TCabinetWait::Aborted) {
                FAllMapsState = TCalcState::qzaNeedsCalculate;
            }
            if (r != TCabinetWait::Ready) {
                return false;
            }
        }
        return true;
    };
    std::vector<TCabinet*> loose;
    for (const auto& c : FCabinets) {
        loose.push_back(c.get());
    }
    if (!waitAll(
            loose,
            "Me he quedado en la Suma de cajas. Esperando a que todas estén calculadas... Wait TIME: ")) {
        return false;
    }
    for (const auto& a : FCabArrays) {
        if (!waitAll(a->CabinetList(), "Me he quedado en la Suma de arrays. Esperando a que todas estén "
                                       "calculadas... Wait TIME: ")) {
            return false;
        }
    }
    for (const auto& a : FClusters) {
        if (!waitAll(a->CabinetList(), "Me he quedado en la Suma de Clusters. Esperando a que todas estén "
                                       "calculadas... Wait TIME: ")) {
            return false;
        }
    }
    for (const auto& a : FBeams) {
        if (!waitAll(a->CabinetList(), "Me he quedado en la Suma de Beams. Esperando a que sus cajas estén "
                                       "calculadas... Wait TIME: ")) {
            return false;
        }
    }
    return true;
}

// ---- The summation ----

void TAcousticProject::SumAllCabinetsInProject3D(int32_t ZoneIndex) {
    (void)sumZones(ZoneIndex);
}

TAcousticProject::TSumOutcome TAcousticProject::sumZones(int32_t ZoneIndex) {
    if (!FEventsEnabled) {
        return TSumOutcome::EventsOff;
    }
    SumPlan plan;
    plan.q = qualityDivisor(FRenderQuality);
    const int32_t totalCabs = TotalCabinets();
    plan.E = totalCabs != 1 && (FAvoidPhaseAliasing || !FIsComplexSum);
    int32_t first = 0, last = NMappingZones() - 1;
    if (ZoneIndex != -1) {
        (void)At(FMappingZones, ZoneIndex);
        first = last = ZoneIndex;
    }
    if (!waitForEveryCabinet()) {
        return TSumOutcome::Stopped;
    }

    log(*this, "AcousticProject.SumAllCabinetsInProject3D");
    FMaxFreqNoAliasing = RoundHalfEven<int32_t>(347.0 / (2 * FPhysicalSpace->PixelToMeters()));
    plan.nK = FNFreqsAverage;
    plan.coherent = coherentFrequencies(*this, totalCabs);
    for (int32_t z = first; z <= last; ++z) {
        TMappingZone& zone = *FMappingZones[static_cast<size_t>(z)];
        announceZone(*this, zone.ZoneIndexID());
        if (!settledWithoutSum(zone)) {
            planZone(*this, z, plan);
        }
    }
    sumEveryColumn(plan);
    storeZoneMaxima(plan);
    if (plan.E) {
        compensateEnergy(first, last);
    }
    return TSumOutcome::Summed;
}

// The energy-summed levels shifted so that the loudest matches the coarse coherent estimate; zones
// summed earlier follow the change of the offset only.
void TAcousticProject::compensateEnergy(int32_t First, int32_t Last) {
    FdBEnergyCompOld = FdBEnergyComp.load();
    double splMax = 0, eMax = 0;
    for (const auto& zone : FMappingZones) {
        splMax = std::max(splMax, zone->MaxdBSPL());
        eMax = std::max(eMax, zone->MaxdBEnergySum());
    }
    FdBEnergyComp = FMaxdBPsychoComp + eMax - splMax;
    for (int32_t z = First; z <= Last; ++z) {
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
        TMapLayers& level = sum.MapRealFreq();
        const int32_t d = sum.DepthPixels();
        parallelColumns(sum.WidthPixels(), 16, [&level, d, dBComp](int32_t begin, int32_t end) {
            for (int32_t x = begin; x != end; ++x) {
                SubtractInDouble(level.Row(0, x), dBComp, d);
            }
        });
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
