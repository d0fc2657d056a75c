#include "acoustics/mic_point.h"

#include <algorithm>

#include "acoustics/point_response.h"
#include "acoustics/project.h"
#include "platform/core/debug_log.h"
#include "platform/core/worker_thread.h"
#include "scene/color_helpers.h"

namespace vendrel {

namespace {

// A computation is tried this many times in a row before the worker gives up until the next request.
constexpr int kMicRetries = 20;

// The breadcrumb, which the project also writes to the debug log.
void logLine(TAcousticProject* project, const std::string& text) {
    if (project != nullptr) {
        project->SetLastLogString(text);
    } else {
        DebugLog(text);
    }
}

} // namespace

TMicPoint::TMicPoint(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner, int32_t Value,
                     const TPoint3D& Position3D, TAlphaColor MyColor, bool AutoColor)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    FIDnumber = Value;
    FName = "Mic" + std::to_string(Value);
    FMicDelay_ms = 0.0f;
    FColor = AutoColor ? RandomHueColor(0.7f) : MyColor;
    SetVisible(true);
    FOnReceibeMic = [](TMicPoint&) {};
    SetPosition(Position3D);
    constructed_ = true;
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->pointsOfProject_.push_back(this);
    }
}

TMicPoint::~TMicPoint() {
    FreeClass();
}

void TMicPoint::FreeClass() {
    if (FMicThread) {
        FMicThread->CancelAndWait();
        FMicThread.reset();
    }
    FOnReceibeMic = nullptr;
    if (FMyAcousticProject != nullptr) {
        auto& known = FMyAcousticProject->pointsOfProject_;
        known.erase(std::remove(known.begin(), known.end(), this), known.end());
    }
}

TWorkerThread& TMicPoint::micThread() {
    if (!FMicThread) {
        FMicThread = std::make_unique<TWorkerThread>("MicMeasThread");
        FMicThread->Loop = false;
        FMicThread->Priority = TThreadPriority::tpLowest;
        FMicThread->StopMode = TThreadStopMode::smSuspend;
        FMicThread->OnRun = [this](TWorkerThread& sender) { FMicThreadRun(sender); };
        FMicThread->OnStopped = [this](TWorkerThread& sender) { MicThreadStopped(sender); };
    }
    return *FMicThread;
}

bool TMicPoint::IsMicThread() const {
    return FMicThread && FMicThread->IsCurrentThread();
}

bool TMicPoint::MicThreadActive() const {
    return FMicThread && FMicThread->Active();
}

void TMicPoint::StopMicThread() {
    if (FMicThread) {
        FMicThread->Stop();
    }
}

void TMicPoint::CancelMicThreadAndWait() {
    if (FMicThread) {
        FMicThread->CancelAndWait();
    }
}

uint64_t TMicPoint::MicThreadPasses() const {
    return FMicThread ? FMicThread->PassCount() : 0;
}

void TMicPoint::PauseForEdit() {
    if (FMicThread && FMicThread->Active()) {
        FMicThread->CancelAndWait();
        resumeAfterPause_ = true;
    }
}

void TMicPoint::ResumeAfterEdit() {
    const bool start = resumeAfterPause_ || startAfterPause_;
    resumeAfterPause_ = false;
    startAfterPause_ = false;
    if (start) {
        startThread();
    }
}

void TMicPoint::startThread() {
    // A project being released starts nothing: what the worker reads is going.
    if (FMyAcousticProject != nullptr && FMyAcousticProject->freed_) {
        return;
    }
    if (FMyAcousticProject != nullptr && FMyAcousticProject->WorkersPaused()) {
        startAfterPause_ = true;
        return;
    }
    micThread().Start();
}

bool TMicPoint::calculationAllowed() const {
    return FMyAcousticProject != nullptr && FMyAcousticProject->EventsEnabled() &&
           !FMyAcousticProject->DontCalcMICS();
}

TMicPoint::Request TMicPoint::request() const {
    std::lock_guard lock(requestMutex_);
    return request_;
}

void TMicPoint::ExecuteMicThread() {
    requestComputation(FMicState.load());
}

void TMicPoint::requestComputation(TCalcState state) {
    logLine(FMyAcousticProject, "AcousticProject.ExecuteMeasThread, MIC:" + std::to_string(FIDnumber));
    if (state == TCalcState::qzaNeedsCalculate) {
        if (FMyAcousticProject != nullptr) {
            FMyAcousticProject->SetIsProjectModified(true);
        }
    } else if (state == TCalcState::qzaCalculated &&
               (FMyAcousticProject == nullptr || !FMyAcousticProject->ForceCalculation())) {
        return;
    }
    // What the worker computes for from now on; results of earlier requests are stale.
    {
        std::lock_guard lock(requestMutex_);
        request_.Position = Position();
        request_.Delay_ms = FMicDelay_ms;
        ++request_.Generation;
    }
    startThread();
}

void TMicPoint::SetMicState(TCalcState Value) {
    if (FMyAcousticProject == nullptr || !FMyAcousticProject->EventsEnabled()) {
        return;
    }
    FMicState = Value;
    if (Value == TCalcState::qzaNeedsCalculate) {
        // The state as set here, not as read back: a pass still running for the previous request sets
        // it to calculating and then calculated, and a request judged by that would be lost, leaving
        // the previous response on show as current.
        requestComputation(Value);
    }
}

void TMicPoint::SetMicDelay_ms(float Value) {
    if (Value == FMicDelay_ms) {
        return;
    }
    FMicDelay_ms = Value;
    StopMicThread();
    SetMicState(TCalcState::qzaNeedsCalculate);
}

void TMicPoint::MatrixChanged() {
    TQzControl3D::MatrixChanged();
    if (constructed_) {
        RestartMicCalculation();
    }
}

void TMicPoint::RestartMicCalculation() {
    if (FMyAcousticProject != nullptr && FMyAcousticProject->DontCalcMICS()) {
        return;
    }
    StopMicThread();
    SetMicState(TCalcState::qzaNeedsCalculate);
}

void TMicPoint::ClearData() {
    std::fill(FMagnitudePointAllFreqs.begin(), FMagnitudePointAllFreqs.end(), 0.0);
    std::fill(FPhasePointAllFreqs.begin(), FPhasePointAllFreqs.end(), 0.0);
    FResponseReceived = false;
}

void TMicPoint::FollowGrid(size_t Points) {
    {
        std::lock_guard lock(requestMutex_);
        ++request_.Generation;
    }
    for (std::vector<double>* curve : {&FMagnitudePointAllFreqs, &FPhasePointAllFreqs}) {
        if (!curve->empty()) {
            curve->assign(Points, 0.0);
        }
    }
    FResponseReceived = false;
    FMicState = TCalcState::qzaNeedsCalculate;
}

void TMicPoint::FMicThreadRun(TWorkerThread& Sender) {
    int32_t tries = 0;
    for (;;) {
        // An edit holds the workers: it starts the computation again when it ends.
        if (Sender.Cancelled()) {
            return;
        }
        FMicState = TCalcState::qzaCalculating;
        const Request r = request();
        std::vector<double> magnitude, phase;
        bool ok = false;
        if (calculationAllowed()) {
            TPointResponse response(*FMyAcousticProject);
            if (!response.Compute(r.Position, r.Delay_ms, magnitude, phase,
                                  [&] { return Sender.Cancelled(); })) {
                return;
            }
            ok = true;
        }
        ++tries;
        if (tries > kMicRetries) {
            logLine(FMyAcousticProject,
                    "************************** Se quedo en GetMic repeat " + std::to_string(tries));
            FMicState = TCalcState::qzaCalculating;
            Sender.Stop();
            return;
        }
        // A change of the point during the pass set the state back: compute again.
        TCalcState calculating = TCalcState::qzaCalculating;
        if (ok && FMicState.compare_exchange_strong(calculating, TCalcState::qzaCalculated)) {
            FMyAcousticProject->QueueUI([token = lifetime_.Token(), this, generation = r.Generation,
                                         magnitude = std::move(magnitude),
                                         phase = std::move(phase)]() mutable {
                if (token.Alive()) {
                    commitResult(generation, std::move(magnitude), std::move(phase));
                }
            });
            Sender.Stop();
            return;
        }
    }
}

void TMicPoint::commitResult(uint64_t Generation, std::vector<double> Magnitude, std::vector<double> Phase) {
    if (Generation != request().Generation) {
        return; // a later request is being computed: this answer is stale
    }
    FMagnitudePointAllFreqs = std::move(Magnitude);
    FPhasePointAllFreqs = std::move(Phase);
    FResponseReceived = true;
    if (FOnReceibeMic) {
        FOnReceibeMic(*this);
    }
}

void TMicPoint::MicThreadStopped(TWorkerThread&) {
    logLine(FMyAcousticProject, "MIC.ThreadStop   MIC: " + std::to_string(FIDnumber));
}

bool TMicPoint::GetMicMeassureMagPh(double Delay_ms) {
    if (!calculationAllowed()) {
        return false;
    }
    TPointResponse response(*FMyAcousticProject);
    if (!response.Compute(Position(), Delay_ms, FMagnitudePointAllFreqs, FPhasePointAllFreqs)) {
        return false;
    }
    FResponseReceived = true;
    return true;
}

void TMicPoint::SumCabinetSources(const TCabinet& TheCabinet, std::span<double> CabinetSumReal,
                                  std::span<double> CabinetSumImag,
                                  std::span<const double> MicCompPhaseRadian) const {
    TPointResponse response(*FMyAcousticProject);
    response.SumCabinetSources(TheCabinet, Position(), CabinetSumReal, CabinetSumImag, MicCompPhaseRadian);
}

void TMicPoint::GetSourceResponseAtpoint(const TCabinet& inCabinet, int32_t p,
                                         std::span<double> outResponseMg, std::span<double> outResponsePh,
                                         double DistanceToComp, double DSPDelay) const {
    TPointResponse response(*FMyAcousticProject);
    response.SourceResponseAtPoint(inCabinet, p, Position(), outResponseMg, outResponsePh, DistanceToComp,
                                   DSPDelay);
}

std::optional<double> TMicPoint::CaptureDelay_ms(double impLatency, int32_t ImpulseSize, int32_t ImpulseEnd,
                                                 int32_t ImpSampleRate) const {
    TPointResponse response(*FMyAcousticProject);
    return response.CaptureDelay(Position(), impLatency, ImpulseSize, ImpulseEnd, ImpSampleRate);
}

} // namespace vendrel
