#pragma once
// Where the prediction waits, as a process-wide hook: benchmarks add up the waits to show where a
// render's time goes, tests check that a render ran without a wait that only a clock ended.
//
// The prediction has no fixed pause. Each wait stands for a condition (a cabinet's maps ready, a
// requested pass begun, an edit's pause over) and ends when it holds; a time limit only bounds the
// waits that may never end otherwise (a cabinet that never finishes, a stuck request), and the
// user's coalescing delay of the summing thread is the one wait meant to last its time.

#include <atomic>
#include <cstdint>

namespace vendrel {

enum class TPredictionWait : uint8_t {
    StartToRun,     // a requested cabinet pass or summing run, until its thread begins it
    CabinetMaps,    // the summing thread, until a cabinet's maps are ready
    WorkersStopped, // an edit's pause, until the workers it interrupts have stopped
    QueuedCall,     // a call queued for the user-interface thread, until it runs
    Coalescing,     // the summing thread's delay before it sums (AllMapsWaitingMsec)
};
constexpr int kPredictionWaitKinds = 5;

class IPredictionWaitHook {
public:
    virtual ~IPredictionWaitHook() = default;
    // One wait of the given kind ended after `seconds`; `timeLimit` when the clock ended it rather than
    // its condition. Called on the waiting thread (any thread): implementations must be thread-safe.
    virtual void Waited(TPredictionWait kind, double seconds, bool timeLimit) = 0;
};

// The hook in force, null when none (then nothing is measured).
IPredictionWaitHook* PredictionWaitHook();

// Installs a hook for its lifetime and restores the one before. Install and remove it while no
// prediction thread runs.
class TScopedPredictionWaitHook {
public:
    explicit TScopedPredictionWaitHook(IPredictionWaitHook* hook);
    ~TScopedPredictionWaitHook();
    TScopedPredictionWaitHook(const TScopedPredictionWaitHook&) = delete;
    TScopedPredictionWaitHook& operator=(const TScopedPredictionWaitHook&) = delete;

private:
    IPredictionWaitHook* previous_;
};

// Seconds on the steady clock, for the start of a wait (0 when no hook is installed).
double PredictionWaitClock();
// Reports a wait that began at `since` (a PredictionWaitClock value) to the hook, when there is one.
void ReportPredictionWait(TPredictionWait kind, double since, bool timeLimit = false);

// A hook that adds the waits up per kind (thread-safe), for benchmarks and tests.
class TPredictionWaitTotals : public IPredictionWaitHook {
public:
    void Waited(TPredictionWait kind, double seconds, bool timeLimit) override;
    void Clear();
    double Seconds(TPredictionWait kind) const;
    uint64_t Count(TPredictionWait kind) const;
    // Waits of every kind that their time limit ended.
    uint64_t TimeLimited() const { return timeLimited_.load(); }

private:
    std::atomic<int64_t> nanoseconds_[kPredictionWaitKinds] = {};
    std::atomic<uint64_t> counts_[kPredictionWaitKinds] = {};
    std::atomic<uint64_t> timeLimited_{0};
};

} // namespace vendrel
