#pragma once
// A measurement point: a scene object placed in the venue at which the frequency response of every
// active loudspeaker is computed (level and phase over the measurement-point grid) and shown in the
// response chart. Each point owns a worker thread that computes its response whenever the point is
// invalidated (moved, delay changed, or the whole project asks for it).
//
// The worker computes into buffers of its own from a snapshot of the point's position and delay, and
// hands the result to the user-interface thread as a queued call that carries the point's lifetime
// token and the generation of the request it answers: the call does nothing once the point is gone,
// and a result that a later request made stale is dropped. Only the user-interface thread writes the
// point's curves, so they can be read there at any time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "acoustics/zone_data.h"
#include "platform/core/bitmap.h"
#include "platform/core/geometry3d.h"
#include "platform/core/lifetime.h"
#include "scene/scene_object.h"

namespace vendrel {

class TAcousticProject;
class TCabinet;
class TPhysicalSpace;
class TWorkerThread;

class TMicPoint;
// Raised on the user-interface thread when the point's response is ready.
using TOnReceibeMic = std::function<void(TMicPoint& Sender)>;

class TMicPoint : public TQzControl3D {
public:
    // Number Value, named "Mic<Value>", delay 0, at Position3D; drawn in MyColor, or in a colour of
    // random hue when AutoColor. The state starts as needing calculation; the creator assigns
    // OnReceiveMic and then starts the first computation (ExecuteMicThread). From its creation the
    // project's workers' pause reaches the point, in the project's list or not: it must not outlive
    // the project.
    TMicPoint(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner, int32_t Value,
              const TPoint3D& Position3D, TAlphaColor MyColor, bool AutoColor);
    ~TMicPoint() override;
    TMicPoint(const TMicPoint&) = delete;
    TMicPoint& operator=(const TMicPoint&) = delete;

    // Stops the worker (waiting for it), frees it and clears OnReceiveMic; the project's pause no longer
    // reaches the point.
    void FreeClass();
    // Requests a computation: none when the response is current and the project forces nothing.
    void ExecuteMicThread();
    // Zeros both curves (no response has arrived for them then).
    void ClearData();
    // True once a computed response has reached the curves (and until they are cleared): before that the
    // curves hold no values of the point.
    bool ResponseReceived() const { return FResponseReceived; }

    // The response at the point with every source's arrival advanced by Delay_ms, into the point's
    // curves; false (nothing computed) while the project's events are off or measurement points are
    // switched off. For the user-interface thread; the worker computes the same into its own buffers.
    bool GetMicMeassureMagPh(double Delay_ms);
    // The complex pressure of the active sources of one cabinet at the point, added into Re and Im.
    void SumCabinetSources(const TCabinet& TheCabinet, std::span<double> CabinetSumReal,
                           std::span<double> CabinetSumImag,
                           std::span<const double> MicCompPhaseRadian) const;
    // Source p of a cabinet at the point with DistanceToComp (m) and DSPDelay (ms) taken off its phase:
    // linear magnitude and phase in radians.
    void GetSourceResponseAtpoint(const TCabinet& inCabinet, int32_t p, std::span<double> outResponseMg,
                                  std::span<double> outResponsePh, double DistanceToComp,
                                  double DSPDelay) const;
    // The arrival time (ms) of the strongest source at the point, or nothing when there is no source to
    // capture (no active cabinet).
    std::optional<double> CaptureDelay_ms(double impLatency, int32_t ImpulseSize, int32_t ImpulseEnd,
                                          int32_t ImpSampleRate) const;

    // ---- Properties ----
    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    // Only while the project's events are on: stores the state; NeedsCalculate starts a computation.
    TCalcState MicState() const { return FMicState.load(); }
    void SetMicState(TCalcState Value);
    // Milliseconds by which every source's arrival is advanced. A change restarts the computation.
    float MicDelay_ms() const { return FMicDelay_ms; }
    void SetMicDelay_ms(float Value);
    // The delay as stored in a file or by the registry, without a recalculation.
    void StoreMicDelay_ms(float Value) { FMicDelay_ms = Value; }
    const TOnReceibeMic& OnReceiveMic() const { return FOnReceibeMic; }
    void SetOnReceiveMic(TOnReceibeMic Value) { FOnReceibeMic = std::move(Value); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int32_t IDnumber() const { return FIDnumber; }
    void SetIDnumber(int32_t Value) { FIDnumber = Value; }
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value) { FColor = Value; }
    bool IsMovingOBJ3D() const { return FIsMovingOBJ3D; }
    void SetIsMovingOBJ3D(bool Value) { FIsMovingOBJ3D = Value; }
    // Level in dB and phase in degrees per point of the project's measurement-point grid.
    const std::vector<double>& MagnitudePointAllFreqs() const { return FMagnitudePointAllFreqs; }
    const std::vector<double>& PhasePointAllFreqs() const { return FPhasePointAllFreqs; }
    // The point's two series in the response chart (not owned; the main window creates and frees them).
    TObject* MagSerie() const { return FMagSerie; }
    void SetMagSerie(TObject* Value) { FMagSerie = Value; }
    TObject* PhaseSerie() const { return FPhaseSerie; }
    void SetPhaseSerie(TObject* Value) { FPhaseSerie = Value; }

    // ---- The worker, for the project ----
    // True while a computation runs or is about to.
    bool MicThreadActive() const;
    // True on the point's own worker.
    bool IsMicThread() const;
    // Asks the worker to stop after its pass (no wait).
    void StopMicThread();
    // Cancels the worker's pass and waits for it without running queued calls.
    void CancelMicThreadAndWait();
    // The two ends of the project's edit guard: the first cancels a running pass and waits for it,
    // the second starts again what the first interrupted or what was asked for meanwhile.
    void PauseForEdit();
    void ResumeAfterEdit();
    // The project's grid took Points points: curves held are zeroed at that length, a response still
    // on its way (computed on the old grid) is dropped and the point needs calculating. For the
    // project, with its workers paused.
    void FollowGrid(size_t Points);
    // Completed passes of the worker (diagnostics and tests).
    uint64_t MicThreadPasses() const;
    // The point's life as its queued calls see it; it ends with the point.
    const TLifetimeToken& LifetimeToken() const { return lifetime_.Token(); }

protected:
    // Moved or turned: the computation starts again unless measurement points are switched off.
    void MatrixChanged() override;

private:
    struct Request {
        TPoint3D Position;
        double Delay_ms = 0.0;
        uint64_t Generation = 0;
    };

    void FMicThreadRun(TWorkerThread& Sender);
    void MicThreadStopped(TWorkerThread& Sender);
    void RestartMicCalculation();
    // ExecuteMicThread's work for a point in the given state.
    void requestComputation(TCalcState State);
    TWorkerThread& micThread();
    void startThread();
    bool calculationAllowed() const;
    Request request() const;
    void commitResult(uint64_t Generation, std::vector<double> Magnitude, std::vector<double> Phase);

    TPhysicalSpace* FPhysicalSpace = nullptr;       // not owned
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    std::unique_ptr<TWorkerThread> FMicThread;      // "MicMeasThread"
    std::atomic<TCalcState> FMicState{TCalcState::qzaNeedsCalculate};
    TOnReceibeMic FOnReceibeMic;
    float FMicDelay_ms = 0.0f;
    std::string FName;
    int32_t FIDnumber = 0;
    std::vector<double> FMagnitudePointAllFreqs;
    std::vector<double> FPhasePointAllFreqs;
    bool FResponseReceived = false;
    bool FIsMovingOBJ3D = false;
    TAlphaColor FColor = 0;
    TObject* FMagSerie = nullptr;
    TObject* FPhaseSerie = nullptr;

    // What the worker computes for, written on the user-interface thread with each request.
    mutable std::mutex requestMutex_;
    Request request_;
    // The request a result must answer to be shown (user-interface thread).
    uint64_t generation_ = 0;
    bool constructed_ = false;
    bool resumeAfterPause_ = false;
    bool startAfterPause_ = false;
    TLifetime lifetime_;
};

} // namespace vendrel
