// The calculation threads: each cabinet's map thread and the project's summing thread, the requests
// that start them and the handlers that run on them.

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
#include "acoustics/prediction_waits.h"
#include "acoustics/project.h"
#include "acoustics/sound_system.h"
#include "acoustics/source_point.h"
#include "platform/core/debug_log.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

#include <chrono>
#include <sstream>
#include <utility>

namespace vendrel {

namespace {

constexpr int32_t kMaxPasses = 20;

// The breadcrumb, which the project also writes to the debug log.
void log(TAcousticProject& p, const std::string& text) {
    p.SetLastLogString(text);
}

void queueUI(TAcousticProject& p, std::function<void()> fn) {
    p.QueueUI(std::move(fn));
}

// A number as the default floating-point format writes it (3 shows as 3).
std::string floatText(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

// Tells the user, on the user-interface thread, that a calculation run failed.
void reportFailure(TAcousticProject& p, const std::string& text) {
    queueUI(p, [text] { MessageBoxService().MessageDlg(text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK}); });
}

} // namespace

// ---- Cabinet map thread ----

TWorkerThread& TCabinet::MapThread() {
    if (FMapThread == nullptr) {
        FMapThread = new TWorkerThread("CabinetMapThread");
        FMapThread->Loop = false;
        FMapThread->StopMode = TThreadStopMode::smSuspend;
        FMapThread->Priority = TThreadPriority::tpLowest;
        FMapThread->OnRun = [this](TWorkerThread& t) { FMapThreadRun(&t); };
        FMapThread->OnStopped = [this](TWorkerThread& t) { CabinetMapThreadStopped(&t); };
        FMapThread->OnException = [this](TWorkerThread&, const std::string& message) {
            // The run failed inside the kernel: the cabinet must not stay "calculating", or the
            // summation would wait for it until its time limit.
            TAcousticProject& project = *FMyAcousticProject;
            FMapState = TCalcState::qzaNeedsCalculate;
            project.SetAbortCalculation(true);
            project.SetAllMapsState(TCalcState::qzaNeedsCalculate);
            log(project, "Cabinet.GetMap3D error   CABINET: " + std::to_string(FNumberID) + "  " + message);
            reportFailure(project, "Cabinet " + std::to_string(FNumberID) +
                                       ": its map could not be calculated, so the render stopped. Press "
                                       "Render to try again.\r\n" +
                                       message);
            // No maps come: the all-maps event still reaches the window, which finds the abort flag
            // set and ends the render request it is waiting on.
            const uint64_t generation = project.sumGeneration_.load();
            queueUI(project, [&project, generation] { project.deliverAllMaps(generation, false); });
        };
    }
    return *FMapThread;
}

bool TCabinet::CancelMapThreadAndWait() {
    if (FMapThread == nullptr || !FMapThread->Active()) {
        return false;
    }
    FMapThread->CancelAndWait();
    return true;
}

void TCabinet::FreeMapThread() {
    if (FMapThread == nullptr) {
        return;
    }
    FMapThread->CancelAndWait();
    delete FMapThread;
    FMapThread = nullptr;
}

void TCabinet::ExecuteMapThread(int32_t FromSource) {
    TAcousticProject& project = *FMyAcousticProject;
    if (project.AbortCalculation() || project.NMappingZones() == 0) {
        return;
    }
    log(project, "Cabinet.ExecuteMapThread   CABINET: " + std::to_string(FNumberID));
    const TCalcState state = FMapState.load();
    if (state == TCalcState::qzaNeedsCalculate) {
        for (auto& data : FMapData) {
            data->RaiseCalcCounter();
        }
    } else if (state == TCalcState::qzaCalculated) {
        return;
    }
    FFromSourceTr = FromSource;
    if (project.ContinuousRender() || project.ForceCalculation()) {
        if (project.WorkersPaused()) {
            startAfterPause_ = true; // the pause's end starts it
        } else {
            startPass();
        }
    }
}

void TCabinet::startPass() {
    if (passRequestedAt_.load() == 0.0) {
        passRequestedAt_ = PredictionWaitClock();
    }
    MapThread().Start();
}

void TCabinet::PauseForEdit() {
    if (!CancelMapThreadAndWait() || FMapState.load() == TCalcState::qzaCalculated) {
        return;
    }
    // The pass read inputs the edit may change: none of its zones counts as done.
    FMapState = TCalcState::qzaNeedsCalculate;
    for (auto& data : FMapData) {
        data->SetCalcCounter(0);
        data->SetZoneCalculated(false);
    }
    resumeAfterPause_ = true;
}

void TCabinet::ResumeAfterEdit() {
    const bool resume = std::exchange(resumeAfterPause_, false);
    const bool start = std::exchange(startAfterPause_, false);
    TAcousticProject& project = *FMyAcousticProject;
    if (FMapState.load() == TCalcState::qzaCalculated || project.AbortCalculation()) {
        return;
    }
    if (start) {
        // Requested during the pause (after any interruption): the request already counted its zones.
        if (project.ContinuousRender() || project.ForceCalculation()) {
            startPass();
        }
    } else if (resume) {
        FMapState = TCalcState::qzaNeedsCalculate;
        if (project.EventsEnabled()) {
            ExecuteMapThread(-1);
        }
    }
}

void TCabinet::FMapThreadRun(TWorkerThread* Sender) {
    TAcousticProject& project = *FMyAcousticProject;
    ReportPredictionWait(TPredictionWait::StartToRun, passRequestedAt_.exchange(0.0));
    // However the pass ends, the summing thread waiting for this cabinet looks again.
    struct PassEnd {
        TAcousticProject& project;
        ~PassEnd() { project.signalWaiters(); }
    } const passEnd{project};
    if (project.AbortCalculation()) {
        return;
    }
    int32_t tries = 0;
    if (!project.AllowRendering()) {
        return;
    }
    const int32_t totalCab = project.TotalCabinets();
    const bool recalculation = !FInitialCalc;
    // The progress bar and label belong to the window: they are looked up on the user-interface thread.
    queueUI(project, [&project, totalCab, recalculation] {
        if (IProgressBar* bar = project.ProgressBar()) {
            bar->SetMax(totalCab);
            if (recalculation) {
                bar->SetValue(bar->Value() - 1);
            }
        }
    });
    for (;;) {
        FMapState = TCalcState::qzaCalculating;
        if (project.AbortCalculation()) {
            return;
        }
        const bool done = GetMap3D(FFromSourceTr, -1);
        ++tries;
        if (tries > kMaxPasses) {
            log(project,
                "************************** Se quedo en Cabinet.GetMap repeat " + std::to_string(tries));
            FMapState = TCalcState::qzaCalculating;
            Sender->Stop();
            return;
        }
        // Publish only a result nobody invalidated meanwhile: the state moves from "calculating" to
        // "calculated" in one step, so a request that arrived during the pass is never lost.
        TCalcState expected = TCalcState::qzaCalculating;
        if (done && FMapState.compare_exchange_strong(expected, TCalcState::qzaCalculated)) {
            FInitialCalc = false;
            queueUI(project, [&project, totalCab] {
                IProgressBar* bar = project.ProgressBar();
                if (bar != nullptr) {
                    bar->SetMax(totalCab);
                    bar->SetValue(bar->Value() + 1);
                }
                if (project.StatusLabel() != nullptr && bar != nullptr) {
                    project.StatusLabel()->SetText("Processed Cabinet : " + floatText(bar->Value()));
                }
            });
            // The call runs later on the user-interface thread, where the cabinet may have been removed
            // meanwhile: it carries the cabinet's lifetime token, never its address.
            queueUI(project, [self = this, life = lifetime_.Token()] {
                if (life.Alive() && self->FOnReceibeMap) {
                    self->FOnReceibeMap(self);
                }
            });
            Sender->Stop();
            return;
        }
        if (Sender->Cancelled()) {
            return;
        }
    }
}

void TCabinet::CabinetMapThreadStopped(TWorkerThread*) {
    log(*FMyAcousticProject, "Cabinet.ThreadStop   CABINET: " + std::to_string(FNumberID));
}

void TCabinet::CabinetMapReceived(TCabinet*) {
    FMyAcousticProject->CabinetMapsArrived();
}

// ---- Summing thread ----

TWorkerThread& TAcousticProject::AllMapsThread() {
    if (!FAllMapsThread) {
        FAllMapsThread = std::make_unique<TWorkerThread>("SumAllMapsThread");
        FAllMapsThread->Loop = false;
        FAllMapsThread->StopMode = TThreadStopMode::smTerminate;
        FAllMapsThread->Priority = TThreadPriority::tpLowest;
        FAllMapsThread->OnRun = [this](TWorkerThread& t) { FAllMapsThreadRun(t); };
        FAllMapsThread->OnStopped = [this](TWorkerThread& t) { AllMapsThreadStopped(t); };
        FAllMapsThread->OnCancel = [this](TWorkerThread&) { signalWaiters(); };
        FAllMapsThread->OnException = [this](TWorkerThread&, const std::string& message) {
            FAllMapsState = TCalcState::qzaNeedsCalculate;
            FAbortCalculation = true;
            log(*this, "AcousticProject.GetAllMaps error  " + message);
            reportFailure(*this, "The maps could not be summed, so the render stopped. Press Render to try "
                                 "again.\r\n" +
                                     message);
            // No maps come: the window's all-maps handler finds the abort flag set.
            const uint64_t generation = sumGeneration_.load();
            queueUI(*this, [this, generation] { deliverAllMaps(generation, false); });
        };
    }
    return *FAllMapsThread;
}

void TAcousticProject::ExecuteAllMapsThread() {
    if (FAbortCalculation) {
        return;
    }
    SetIsProjectModified(true);
    if ((!ContinuousRender() && !FForceCalculation) || !FEventsEnabled) {
        return;
    }
    if (FDontSumAllMaps) {
        if (FAllMapsThread) {
            FAllMapsThread->Stop();
        }
        return;
    }
    if (summingWanted()) {
        startSumming();
    }
}

void TAcousticProject::CabinetMapsArrived() {
    if (FAllMapsThread != nullptr && FAllMapsThread->Active() && !FAbortCalculation) {
        SetIsProjectModified(true);
        return;
    }
    ExecuteAllMapsThread();
}

void TAcousticProject::signalWaiters() {
    // Taking the mutex orders the change the waiter looks for before its wake-up.
    { const std::lock_guard lock(signalMutex_); }
    signal_.notify_all();
}

bool TAcousticProject::summingWanted() const {
    if (FAbortCalculation || (!ContinuousRender() && !FForceCalculation) || !FEventsEnabled ||
        FDontSumAllMaps) {
        return false;
    }
    const int32_t sources =
        CheckedAdd(CheckedAdd(NCabArrays(), NCabinets()), CheckedAdd(NClusters(), NBeamSteerings()));
    return sources != 0 && NMappingZones() > 0 &&
           (FAllMapsState != TCalcState::qzaCalculated || FForceCalculation);
}

void TAcousticProject::startSumming() {
    if (WorkersPaused()) {
        sumStartPending_ = true; // the pause's end starts it
        return;
    }
    // A new run: a result that an earlier run queued is no longer current.
    ++sumGeneration_;
    if (sumRequestedAt_.load() == 0.0) {
        sumRequestedAt_ = PredictionWaitClock();
    }
    AllMapsThread().Start();
}

void TAcousticProject::deliverAllMaps(uint64_t generation, bool statusText) {
    // Runs on the user-interface thread (queued with the project's token).
    if (generation != sumGeneration_.load()) {
        return; // a later run is summing; it delivers its own result
    }
    if (statusText && FStatusLabel != nullptr) {
        FStatusLabel->SetText("SPL to Color...");
    }
    if (FOnReceibeAllMaps) {
        FOnReceibeAllMaps(*this);
    }
}

void TAcousticProject::FAllMapsThreadRun(TWorkerThread& Sender) {
    ReportPredictionWait(TPredictionWait::StartToRun, sumRequestedAt_.exchange(0.0));
    const uint64_t generation = sumGeneration_.load();
    if (!ContinuousRender() && !FForceCalculation) {
        return;
    }
    if (!HasSources() || NMappingZones() == 0) {
        Sender.Stop();
        return;
    }
    queueUI(*this, [this] {
        if (FProgressBar != nullptr) {
            FProgressBar->SetMax(NMappingZones());
            FProgressBar->SetValue(0);
        }
    });
    if (!coalesceEdits(Sender) || !sumEveryZone(Sender, generation)) {
        return;
    }
    publishAllMaps(Sender, generation);
}

// The user's delay before a run sums (AllMapsWaitingMsec): edits that come meanwhile cancel this run
// and start the next, so a burst of edits is summed once. False when the run was cancelled.
bool TAcousticProject::coalesceEdits(TWorkerThread& Sender) {
    const int32_t wait = FAllMapsWaitingMsec;
    if (wait < 0) {
        throw ERangeError();
    }
    if (wait == 0) {
        return !Sender.Cancelled();
    }
    const double since = PredictionWaitClock();
    std::unique_lock lock(signalMutex_);
    const bool cancelled =
        signal_.wait_for(lock, std::chrono::milliseconds(wait), [&Sender] { return Sender.Cancelled(); });
    lock.unlock();
    ReportPredictionWait(TPredictionWait::Coalescing, since, !cancelled);
    return !cancelled;
}

// Sums every zone not summed yet: all of them in one summation when none is, else zone by zone.
// False when the run has to end before its result is published.
bool TAcousticProject::sumEveryZone(TWorkerThread& Sender, uint64_t Generation) {
    int32_t notSumed = 0;
    for (const auto& zone : FMappingZones) {
        notSumed += zone->MapState() != TCalcState::qzaIsSumed ? 1 : 0;
    }
    sumRanPass_ = false;
    if (notSumed == NMappingZones()) {
        return sumUntilSettled(Sender, Generation, -1);
    }
    int32_t sumed = 0;
    for (const auto& zone : FMappingZones) {
        if (zone->MappingSides() == TMappingSides::qzaNoSPLMap) {
            ++sumed;
            continue;
        }
        if (zone->MapState() != TCalcState::qzaIsSumed &&
            !sumUntilSettled(Sender, Generation, zone->ZoneIndexID())) {
            return false;
        }
        if (zone->MapState() == TCalcState::qzaIsSumed) {
            ++sumed;
        }
    }
    return sumed == NMappingZones();
}

// One summation of ZoneIndex, repeated while an edit reset the summed-map state during it (at most
// 20 times). False when the run has to end (cancelled, aborted, exhausted, or the events were off).
bool TAcousticProject::sumUntilSettled(TWorkerThread& Sender, uint64_t Generation, int32_t ZoneIndex) {
    sumRanPass_ = true;
    for (int32_t passes = 0;;) {
        if (Sender.Cancelled()) {
            return false;
        }
        if (FAbortCalculation) {
            FAllMapsState = TCalcState::qzaNeedsCalculate;
            AllMapsThreadStopped(Sender);
            Sender.Stop();
            return false;
        }
        FAllMapsState = TCalcState::qzaCalculating;
        const TSumOutcome outcome = sumZones(ZoneIndex);
        if (Sender.Cancelled()) {
            return false; // a pause or a removal interrupted the summation: nothing is published
        }
        if (outcome == TSumOutcome::EventsOff) {
            // Nothing was summed: the maps stay to be summed and the events' return asks again,
            // unless they came back meanwhile (then this run sums them itself).
            FAllMapsState = TCalcState::qzaNeedsCalculate;
            sumSkippedForEvents_ = true;
            if (FEventsEnabled && sumSkippedForEvents_.exchange(false)) {
                continue;
            }
            return false;
        }
        ++passes;
        if (passes > kMaxPasses) {
            log(*this, "************************** Se quedo en AcousticProject.GetAllMaps Zone:" +
                           std::to_string(ZoneIndex) + "  Repeat:" + std::to_string(passes));
            // The run gives up: the maps need a new render, and the window is told so.
            FAllMapsState = TCalcState::qzaNeedsCalculate;
            FAbortCalculation = true;
            Sender.Stop();
            queueUI(*this, [this, Generation] { deliverAllMaps(Generation, false); });
            reportFailure(*this, "The maps could not be calculated. Please render again.");
            return false;
        }
        if (FAllMapsState.load() == TCalcState::qzaCalculating) {
            return true;
        }
    }
}

// Every zone summed: the state published and the all-maps call queued for the window.
void TAcousticProject::publishAllMaps(TWorkerThread& Sender, uint64_t Generation) {
    if (FSPLNormalized) {
        FMaxdBSPL = GetMaxdBSPL();
    }
    // Publish atomically: a request that reset the state after the last pass keeps its stale mark
    // (and its own start of this thread sums again). A run that had nothing to sum publishes as is.
    if (sumRanPass_) {
        TCalcState expected = TCalcState::qzaCalculating;
        if (!FAllMapsState.compare_exchange_strong(expected, TCalcState::qzaCalculated)) {
            return;
        }
    } else {
        FAllMapsState = TCalcState::qzaCalculated;
    }
    log(*this, "---------------------AcousticProject.AllMapsCalculated");
    queueUI(*this, [this, Generation] { deliverAllMaps(Generation, true); });
    log(*this, "---------------------AcousticProject.AllMaps thread STOP");
    Sender.Stop();
}

void TAcousticProject::AllMapsThreadStopped(TWorkerThread&) {
    ForEachCabinet([](TCabinet& cab) { cab.StopMapThread(); });
}

void TAcousticProject::RecalcHitPoints() {
    ForEachCabinet([](TCabinet& cab) { cab.CalcHitPoint(); });
    for (auto& beam : FBeams) {
        for (auto& single : beam->SingleBeams()) {
            single->CalcHitPoint();
        }
    }
}

void TAcousticProject::RescaleObjectsToPixelSize() {
    const double px = FPhysicalSpace->PixelToMeters();
    if (FModelsDetected) {
        for (auto& model : FModelsDetected->CabModel()) {
            model->RescalePreviewToPixelSize(px);
            for (auto& sp : model->SourcePoint()) {
                sp->RecalcPixelPosition();
            }
        }
    }
    ForEachCabinet([](TCabinet& cab) { cab.RecalcAbsolute(); });
}

} // namespace vendrel
