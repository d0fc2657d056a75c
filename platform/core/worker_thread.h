#pragma once
// The worker-thread component: a thread that runs its OnRun handler once per start (looping off) or
// repeatedly until stopped (looping on), at the lowest scheduling priority. The calculation threads of
// the prediction are built on it: every cabinet, every measurement point and the project's summing
// thread own one.
//
// Every flag and state shared with the thread is atomic. Results never go from the handler to the user
// interface directly: handlers queue them through the IDispatcher.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vendrel {

class IDispatcher;

enum class TThreadStopMode : uint8_t {
    smSuspend,   // a stopped thread stays parked and the next start resumes it
    smTerminate, // a stopped thread ends; the next start creates a new one
};

enum class TThreadPriority : uint8_t {
    tpLowest, // SCHED_IDLE where the system allows it
    tpNormal,
};

// Process-wide: whether tpLowest threads ask for SCHED_IDLE (default true). Tests that run many
// threads on a loaded machine switch it off so their workers are not starved by other processes.
void SetIdlePriorityEnabled(bool enabled);
bool IdlePriorityEnabled();

class TWorkerThread {
public:
    using THandler = std::function<void(TWorkerThread& sender)>;
    using TExceptionHandler = std::function<void(TWorkerThread& sender, const std::string& message)>;

    explicit TWorkerThread(std::string name = "WorkerThread");
    ~TWorkerThread(); // cancels a running pass and joins the thread
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Settings; change them only while the thread is stopped.
    THandler OnRun;
    THandler OnStopped;            // runs on the worker thread after the last pass of a start
    TExceptionHandler OnException; // runs on the worker thread when OnRun throws
    // Runs on the cancelling thread once Cancel has asked the pass to leave: a handler blocked on a
    // condition of its own (not on CheckPoint) is woken here.
    THandler OnCancel;
    bool Loop = false;
    TThreadStopMode StopMode = TThreadStopMode::smSuspend;
    TThreadPriority Priority = TThreadPriority::tpLowest;

    const std::string& Name() const { return name_; }

    // Starts a run. A start that arrives while a pass is running is not lost: one more pass follows
    // the current one (several such starts give one pass). Safe from any thread.
    void Start();
    // Asks the thread to stop after the pass that is running (or at once when idle); no wait.
    // A start requested earlier but not yet begun is dropped. Safe from the handler itself.
    void Stop();
    // Stop, and also ask the running pass to leave early: handlers poll Cancelled().
    void Cancel();
    // Blocks until the thread is stopped. With a dispatcher, pending UI calls are run meanwhile (the
    // user-interface thread waiting for a worker). Returns at once when called from the worker itself.
    void WaitForStopped(IDispatcher* pump = nullptr);
    // Stop (or Cancel) and wait.
    void StopAndWait(IDispatcher* pump = nullptr) {
        Stop();
        WaitForStopped(pump);
    }
    void CancelAndWait(IDispatcher* pump = nullptr) {
        Cancel();
        WaitForStopped(pump);
    }
    // Suspend holds a running pass at its next CheckPoint() until Resume.
    void Suspend();
    void Resume();

    // For the handler: true when the pass was asked to leave early.
    bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }
    // True once Stop or Cancel was asked during this start (the handler of a looping thread polls it).
    bool StopRequested() const { return stopRequested_.load(std::memory_order_acquire); }
    // For the handler: waits while suspended; returns false when the pass should leave (cancelled).
    bool CheckPoint();

    // True when no pass is running and none is about to start.
    bool Stopped() const { return !active_.load(std::memory_order_acquire); }
    bool Active() const { return active_.load(std::memory_order_acquire); }
    bool Suspended() const { return suspended_.load(std::memory_order_acquire); }
    bool IsCurrentThread() const;
    // Completed passes since creation (tests and diagnostics).
    uint64_t PassCount() const { return passes_.load(std::memory_order_acquire); }
    // The message of the last exception that left OnRun, empty when none.
    std::string LastError() const;

private:
    void threadMain();
    void runOnce();
    void reportException(const std::string& message);
    void ensureThread(std::unique_lock<std::mutex>& lock);
    // Stop's work, with the mutex held.
    void stopLocked();

    std::string name_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable stoppedCv_;
    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::atomic<bool> active_{false};
    std::atomic<bool> startPending_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> suspended_{false};
    std::atomic<bool> shutdown_{false};
    std::atomic<bool> threadEnded_{true};
    std::atomic<bool> inSequence_{false}; // the thread has taken a start and not yet reported stopped
    std::atomic<uint64_t> passes_{0};
    std::string lastError_;
};

} // namespace vendrel
