#include "acoustics/project.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/prediction_waits.h"
#include "acoustics/sound_system.h"
#include "platform/core/debug_log.h"
#include "platform/core/dispatcher.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

namespace vendrel {

// ---- Threads and messages ----

void TAcousticProject::ProcessMessages() {
    if (FDispatcher != nullptr) {
        FDispatcher->ProcessMessages();
    }
}

void TAcousticProject::StopAllMapsThreadAndWait() {
    if (FAllMapsThread == nullptr) {
        return;
    }
    // No worker waits for the user-interface thread, so the wait needs no queued call to run.
    FAllMapsThread->StopAndWait();
}

void TAcousticProject::QueueUI(std::function<void()> fn) {
    if (FDispatcher == nullptr) {
        return;
    }
    FDispatcher->Queue([life = lifetime_.Token(), fn = std::move(fn), since = PredictionWaitClock()] {
        ReportPredictionWait(TPredictionWait::QueuedCall, since);
        if (life.Alive()) {
            fn();
        }
    });
}

// ---- The workers' pause ----

void TAcousticProject::beginPause() {
    // Nested, or the project is being released (its release stopped every worker for good).
    if (pauseDepth_ > 0 || freed_) {
        ++pauseDepth_;
        return;
    }
    // A worker pausing its own project would wait for itself.
    bool onWorker = FAllMapsThread != nullptr && FAllMapsThread->IsCurrentThread();
    for (TCabinet* cab : cabinetsOfProject_) {
        onWorker = onWorker || (cab->HasMapThread() && cab->MapThread().IsCurrentThread());
    }
    for (TMicPoint* mic : pointsOfProject_) {
        onWorker = onWorker || mic->IsMicThread();
    }
    if (onWorker) {
        throw std::logic_error("TWorkersPause taken on a worker thread of the project");
    }
    pauseDepth_ = 1;
    const double since = PredictionWaitClock();
    if (FAllMapsThread != nullptr && FAllMapsThread->Active()) {
        FAllMapsThread->CancelAndWait();
        sumStartPending_ = true;
    }
    // A summation cancelled halfway published nothing: the summed maps are not current.
    TCalcState calculating = TCalcState::qzaCalculating;
    FAllMapsState.compare_exchange_strong(calculating, TCalcState::qzaNeedsCalculate);
    for (TCabinet* cab : cabinetsOfProject_) {
        cab->PauseForEdit();
    }
    // Measurement points read every cabinet, source, model and process as well.
    for (TMicPoint* mic : pointsOfProject_) {
        mic->PauseForEdit();
    }
    ReportPredictionWait(TPredictionWait::WorkersStopped, since);
}

void TAcousticProject::endPause() {
    if (--pauseDepth_ > 0 || freed_) {
        return;
    }
    // A copy: a resumed request may create a cabinet's thread, never a cabinet.
    const std::vector<TCabinet*> cabinets = cabinetsOfProject_;
    for (TCabinet* cab : cabinets) {
        cab->ResumeAfterEdit();
    }
    if (std::exchange(sumStartPending_, false) && summingWanted()) {
        startSumming();
    }
    const std::vector<TMicPoint*> points = pointsOfProject_;
    for (TMicPoint* mic : points) {
        mic->ResumeAfterEdit();
    }
}

TWorkersPause::TWorkersPause(TAcousticProject* project) : project_(project) {
    if (project_ != nullptr) {
        project_->beginPause();
    }
}

TWorkersPause::~TWorkersPause() {
    if (project_ == nullptr) {
        return;
    }
    try {
        project_->endPause();
    } catch (const std::exception& e) {
        // A request that fails here must not end the program from a destructor; the maps stay
        // needing calculation and the next render asks again.
        DebugLog(std::string("TWorkersPause: the requests after an edit failed: ") + e.what());
    }
}

// ---- Counters ----

int32_t TAcousticProject::TotalCabinets() const {
    int64_t total = NCabinets();
    for (const auto& array : FCabArrays) {
        total += static_cast<int64_t>(array->CabinetList().size());
    }
    for (const auto& cluster : FClusters) {
        total += static_cast<int64_t>(cluster->CabinetList().size());
    }
    for (const auto& beam : FBeams) {
        total += static_cast<int64_t>(beam->CabinetList().size());
    }
    return CheckedCast<int32_t>(total);
}

TMappingZone* TAcousticProject::appendMappingZone(std::unique_ptr<TMappingZone> zone) {
    FMappingZones.push_back(std::move(zone));
    return FMappingZones.back().get();
}

void TAcousticProject::dropLastMappingZone() {
    FMappingZones.pop_back();
}

void TAcousticProject::ForEachCabinet(const std::function<void(TCabinet&)>& fn) const {
    for (const auto& cabinet : FCabinets) {
        fn(*cabinet);
    }
    for (const auto& array : FCabArrays) {
        for (TCabinet* cabinet : array->CabinetList()) {
            fn(*cabinet);
        }
    }
    for (const auto& cluster : FClusters) {
        for (TCabinet* cabinet : cluster->CabinetList()) {
            fn(*cabinet);
        }
    }
    for (const auto& beam : FBeams) {
        for (TCabinet* cabinet : beam->CabinetList()) {
            fn(*cabinet);
        }
    }
}

double TAcousticProject::MemTotal() const {
    return FMemInitial + CalcMemoryInAllMaps(FPhysicalSpace->PixelToMeters());
}

// ---- Breadcrumb and modified flag ----

std::string TAcousticProject::LastLogString() const {
    std::lock_guard lock(logMutex_);
    return lastLogString_;
}

void TAcousticProject::SetLastLogString(std::string s) {
    DebugLog(s);
    std::lock_guard lock(logMutex_);
    lastLogString_ = std::move(s);
}

void TAcousticProject::SetIsProjectModified(bool Value) {
    if (Value == FIsProjectModified) {
        return;
    }
    FIsProjectModified = Value;
    if (FOnProjectModified) {
        FOnProjectModified(*this);
    }
}

// ---- Option setters ----

void TAcousticProject::SetPressureSumType(TPressureSumType Value) {
    if (Value == FPressureSumType) {
        return;
    }
    const TWorkersPause pause(*this);
    FPressureSumType = Value;
    FIsComplexSum = Value == TPressureSumType::qzaComplexSum;
    ClearAllMaps();
    ReCalculateZones(-1);
}

void TAcousticProject::SetGenNoiseType(TGenNoiseType Value) {
    if (Value == FGenNoiseType) {
        return;
    }
    const TWorkersPause pause(*this);
    FGenNoiseType = Value;
    ClearAllMaps();
    ReCalculateZones(-1);
}

void TAcousticProject::SetViewType(TViewType Value) {
    FViewType = Value;
}

void TAcousticProject::SetFreqToEvaluate(int32_t Value) {
    // Compared before clamping: a value beyond the limits runs the whole setter again.
    if (Value == FFreqToEvaluate) {
        return;
    }
    // The averaged frequencies are replaced: no worker runs until the requests below are made.
    const TWorkersPause pause(*this);
    Value = std::min(Value, FPhysicalSpace->MaxFreq());
    Value = std::max(Value, FPhysicalSpace->MinFreq());
    FFreqToEvaluate = Value;
    FPhysicalSpace->SetFreq(Value);
    const bool changed = CalcAverageFreqs();
    ClearAllMaps();
    if (!changed) {
        ReCalculateZones(-1);
    }
}

void TAcousticProject::SetRenderQuality(TRenderQuality Value) {
    if (Value == FRenderQuality) {
        return;
    }
    const TWorkersPause pause(*this);
    FRenderQuality = Value;
    for (auto& zone : FMappingZones) {
        zone->SetIsMapCleared(false);
    }
    const double size = RenderQualityPixelSize(static_cast<int>(Value));
    FPhysicalSpace->SetPixelToMeters(size);
    if (FAllMapsState != TCalcState::qzaCalculating) {
        ReCalculateZones(-1);
    }
}

void TAcousticProject::SetSPLNormalized(bool Value) {
    if (Value == FSPLNormalized) {
        return;
    }
    const TWorkersPause pause(*this);
    FSPLNormalized = Value;
    if (Value) {
        FMaxdBSPL = GetMaxdBSPL();
    }
}

void TAcousticProject::SetMappingColorsRes(int32_t Value) {
    // A resolution that addresses no colour (from a damaged file, say) is not taken: the colouring
    // indexes the table with it.
    if (Value == FMappingColorsRes || Value < 1) {
        return;
    }
    FMappingColorsRes = Value;
    FMappingColors.resize(static_cast<size_t>(Value), 0u);
    ReCalculateZones(-1);
}

void TAcousticProject::SetMaxFreqforRealPhase(int32_t Value) {
    const TWorkersPause pause(*this);
    FMaxFreqForRealPhase = Value;
}

void TAcousticProject::SetMaxUsagePercent(float Value) {
    if (Value == FMaxUsagePercent) {
        return;
    }
    FMaxUsagePercent = Value;
    FMemMinGuaranteed = 0.0; // the budget recomputes its reserve
}

void TAcousticProject::SetOnlyPhase(bool Value) {
    if (Value == FOnlyPhase) {
        return;
    }
    const TWorkersPause pause(*this);
    FOnlyPhase = Value;
    UpdateRenderOptions();
    if (FContinuousRender) {
        SumAllCabinetsNow(-1);
    }
}

void TAcousticProject::SetZeroPhaseStart(bool Value) {
    if (Value == FZeroPhaseStart) {
        return;
    }
    const TWorkersPause pause(*this);
    FZeroPhaseStart = Value;
    UpdateRenderOptions();
    ReCalculateZones(-1);
    ReCalculateAllMics();
}

void TAcousticProject::SetIdealSpeaker(bool Value) {
    if (Value == FIdealSpeaker) {
        return;
    }
    const TWorkersPause pause(*this);
    FIdealSpeaker = Value;
    UpdateRenderOptions();
    ReCalculateZones(-1);
    ReCalculateAllMics();
}

void TAcousticProject::SetForceUseAxisPhase(bool Value) {
    if (Value == FForceUseAxisPhase) {
        return;
    }
    // A pass that read the old choice is cancelled: its maps would mix both phases.
    const TWorkersPause pause(*this);
    FForceUseAxisPhase = Value;
    ReCalculateZones(-1);
    ReCalculateAllMics();
}

void TAcousticProject::RaiseUniqueID() {
    FUniqueID = CheckedAdd(FUniqueID, 1);
}

void TAcousticProject::RefreshMemoryFigures() {
    ReadMemoryFiguresMB(FMemInstalled, FMemAvailable, FMemUsed);
}

void TAcousticProject::SetAbortCalculation(bool Value) {
    FAbortCalculation = Value;
    if (Value) {
        signalWaiters();
    }
}

void TAcousticProject::SetEventsEnabled(bool Value) {
    const bool was = FEventsEnabled.exchange(Value);
    // A summation skipped meanwhile is asked again. The summing thread marks its skip before it looks
    // at the events once more, so one of the two sides always sees the other.
    if (Value && !was && sumSkippedForEvents_.exchange(false) && summingWanted()) {
        startSumming();
    }
}

void TAcousticProject::SetContinuousRender(bool Value) {
    if (Value == FContinuousRender) {
        return;
    }
    FContinuousRender = Value;
    if (Value) {
        FAllMapsState = TCalcState::qzaNeedsCalculate;
        ExecuteAllMapsThread();
    } else if (FAllMapsThread != nullptr) {
        FAllMapsThread->Stop();
    }
}

// ---- Nearest splay angle ----

int32_t TAcousticProject::GetNearestSplayAngleInCabinet(const TCabinet& theCabinet, bool IsFirstCabinet,
                                                        double inSplayDegrees, double& outSplayDegrees,
                                                        double& deviation) const {
    const TCabModel* model = theCabinet.Model();
    if (model == nullptr) {
        return -1;
    }
    const std::vector<double>& angles =
        IsFirstCabinet ? model->AllowedAnglesFirstCabFlown() : model->AllowedAnglesFlown();
    if (angles.empty()) {
        return -1;
    }
    size_t index = 0;
    double best = std::abs(angles[0] - inSplayDegrees);
    for (size_t i = 1; i < angles.size(); ++i) {
        const double d = std::abs(angles[i] - inSplayDegrees);
        if (d < best) { // strictly smaller: the earlier entry wins a tie
            best = d;
            index = i;
        }
    }
    outSplayDegrees = angles[index];
    deviation = outSplayDegrees - inSplayDegrees;
    return static_cast<int32_t>(index);
}

} // namespace vendrel

namespace vendrel {

bool TAcousticProject::GetMap3D(int32_t ZoneIndex) {
    return sumZones(ZoneIndex) != TSumOutcome::EventsOff;
}

int32_t TAcousticProject::FreqToPoint(int32_t Freq) const {
    return At(FFreqToPoint, Freq);
}

} // namespace vendrel
