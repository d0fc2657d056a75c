#pragma once
// The road from worker threads to the user-interface thread. Results are never touched by the UI
// from a worker: they are queued as calls that the UI thread runs in order. The Qt side implements
// this with queued calls; tests use ManualDispatcher and pump it themselves.

#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vendrel {

class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    // Runs fn later on the UI thread, in the order of the calls. Safe from any thread.
    virtual void Queue(std::function<void()> fn) = 0;
    // Runs the calls pending for the UI thread; called by a UI thread that waits for a worker.
    virtual void ProcessMessages() = 0;
    // True on the thread that runs the queued calls.
    virtual bool IsUIThread() const = 0;
};

// A dispatcher driven by hand: Queue stores, Pump runs. The thread that creates it is the UI thread.
class ManualDispatcher : public IDispatcher {
public:
    ManualDispatcher() : uiThread_(std::this_thread::get_id()) {}

    void Queue(std::function<void()> fn) override {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(fn));
    }

    void ProcessMessages() override { Pump(); }

    bool IsUIThread() const override { return std::this_thread::get_id() == uiThread_; }

    // Runs every call queued so far, including calls queued by those calls; returns how many ran.
    int Pump() {
        int count = 0;
        for (;;) {
            std::function<void()> fn;
            {
                std::lock_guard lock(mutex_);
                if (pending_.empty()) {
                    return count;
                }
                fn = std::move(pending_.front());
                pending_.pop_front();
            }
            fn();
            ++count;
        }
    }

    size_t PendingCount() const {
        std::lock_guard lock(mutex_);
        return pending_.size();
    }

private:
    std::thread::id uiThread_;
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> pending_;
};

} // namespace vendrel
