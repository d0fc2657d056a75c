#include "platform/core/worker_thread.h"

#include "platform/core/dispatcher.h"

#include <chrono>
#include <exception>
#include <pthread.h>
#include <sched.h>

namespace vendrel {

namespace {

std::atomic<bool> idlePriority{true};

// The lowest priority the system grants: SCHED_IDLE; a refusal leaves the normal policy in place.
void applyPriority(TThreadPriority priority) {
    if (priority != TThreadPriority::tpLowest || !idlePriority) {
        return;
    }
    sched_param param{};
    param.sched_priority = 0;
    (void)pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
}

void applyName(const std::string& name) {
    // Linux limits thread names to 15 bytes.
    (void)pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

} // namespace

void SetIdlePriorityEnabled(bool enabled) {
    idlePriority = enabled;
}
bool IdlePriorityEnabled() {
    return idlePriority;
}

TWorkerThread::TWorkerThread(std::string name) : name_(std::move(name)) {}

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard lock(mutex_);
        shutdown_ = true;
        cancelled_ = true;
        stopRequested_ = true;
        startPending_ = false;
        suspended_ = false;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
}

bool TWorkerThread::IsCurrentThread() const {
    return threadId_.load() == std::this_thread::get_id();
}

std::string TWorkerThread::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void TWorkerThread::ensureThread(std::unique_lock<std::mutex>&) {
    if (!threadEnded_) {
        return;
    }
    // A terminated thread has left its loop once threadEnded_ is set; joining it is short.
    if (thread_.joinable()) {
        thread_.join();
    }
    threadEnded_ = false;
    thread_ = std::thread([this] { threadMain(); });
}

void TWorkerThread::Start() {
    std::unique_lock lock(mutex_);
    if (shutdown_) {
        return;
    }
    startPending_ = true;
    if (!active_) {
        active_ = true;
    }
    ensureThread(lock);
    wake_.notify_all();
}

void TWorkerThread::Stop() {
    std::lock_guard lock(mutex_);
    stopLocked();
}

void TWorkerThread::stopLocked() {
    stopRequested_ = true;
    // The handler ending its own run does not drop a start that another thread asked for meanwhile.
    if (!IsCurrentThread()) {
        startPending_ = false;
        if (!inSequence_ && active_) {
            // Started but not yet picked up by the thread: nothing ran, nothing to wait for.
            active_ = false;
            stoppedCv_.notify_all();
        }
    }
}

void TWorkerThread::Cancel() {
    {
        // One step: a start taken between setting the flag and dropping pending starts would begin a
        // pass with the flag cleared, and a caller waiting for the cancelled pass would wait forever.
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        suspended_ = false;
        stopLocked();
    }
    wake_.notify_all();
    if (OnCancel) {
        OnCancel(*this);
    }
}

void TWorkerThread::Suspend() {
    suspended_ = true;
}

void TWorkerThread::Resume() {
    {
        std::lock_guard lock(mutex_);
        suspended_ = false;
    }
    wake_.notify_all();
}

bool TWorkerThread::CheckPoint() {
    if (suspended_) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !suspended_ || cancelled_ || shutdown_; });
    }
    return !cancelled_;
}

void TWorkerThread::WaitForStopped(IDispatcher* pump) {
    if (IsCurrentThread()) {
        return;
    }
    if (pump == nullptr) {
        std::unique_lock lock(mutex_);
        stoppedCv_.wait(lock, [this] { return !active_; });
        return;
    }
    while (active_) {
        pump->ProcessMessages();
        std::unique_lock lock(mutex_);
        stoppedCv_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !active_; });
    }
    // Calls queued by the last pass.
    pump->ProcessMessages();
}

void TWorkerThread::runOnce() {
    try {
        if (OnRun) {
            OnRun(*this);
        }
    } catch (const std::exception& e) {
        reportException(e.what());
    } catch (...) {
        reportException("Unknown exception");
    }
}

void TWorkerThread::reportException(const std::string& message) {
    {
        std::lock_guard lock(mutex_);
        lastError_ = message;
    }
    if (OnException) {
        try {
            OnException(*this, message);
        } catch (...) {
        }
    }
}

void TWorkerThread::threadMain() {
    threadId_ = std::this_thread::get_id();
    applyPriority(Priority);
    applyName(name_);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return startPending_ || shutdown_; });
        if (shutdown_) {
            break;
        }
        inSequence_ = true;
        while (startPending_ && !shutdown_) {
            startPending_ = false;
            stopRequested_ = false;
            cancelled_ = false;
            do {
                lock.unlock();
                runOnce();
                lock.lock();
                ++passes_;
            } while (Loop && !stopRequested_ && !shutdown_);
            if (startPending_ || shutdown_) {
                continue;
            }
            if (OnStopped) {
                lock.unlock();
                try {
                    OnStopped(*this);
                } catch (...) {
                }
                lock.lock();
            }
        }
        inSequence_ = false;
        active_ = false;
        stoppedCv_.notify_all();
        if (StopMode == TThreadStopMode::smTerminate && !shutdown_) {
            threadEnded_ = true;
            threadId_ = std::thread::id{};
            return;
        }
    }
    inSequence_ = false;
    active_ = false;
    threadEnded_ = true;
    stoppedCv_.notify_all();
}

} // namespace vendrel
