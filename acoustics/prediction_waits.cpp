#include "acoustics/prediction_waits.h"

#include <chrono>

namespace vendrel {

namespace {

std::atomic<IPredictionWaitHook*> installed{nullptr};

size_t slot(TPredictionWait kind) {
    return static_cast<size_t>(kind);
}

} // namespace

IPredictionWaitHook* PredictionWaitHook() {
    return installed.load(std::memory_order_acquire);
}

TScopedPredictionWaitHook::TScopedPredictionWaitHook(IPredictionWaitHook* hook)
    : previous_(installed.exchange(hook)) {}

TScopedPredictionWaitHook::~TScopedPredictionWaitHook() {
    installed.store(previous_);
}

double PredictionWaitClock() {
    if (PredictionWaitHook() == nullptr) {
        return 0.0;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ReportPredictionWait(TPredictionWait kind, double since, bool timeLimit) {
    IPredictionWaitHook* hook = PredictionWaitHook();
    // A wait that began before the hook was installed has no start to measure from.
    if (hook == nullptr || since <= 0.0) {
        return;
    }
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    hook->Waited(kind, now > since ? now - since : 0.0, timeLimit);
}

void TPredictionWaitTotals::Waited(TPredictionWait kind, double seconds, bool timeLimit) {
    nanoseconds_[slot(kind)] += static_cast<int64_t>(seconds * 1e9);
    ++counts_[slot(kind)];
    if (timeLimit) {
        ++timeLimited_;
    }
}

void TPredictionWaitTotals::Clear() {
    for (int k = 0; k < kPredictionWaitKinds; ++k) {
        nanoseconds_[k] = 0;
        counts_[k] = 0;
    }
    timeLimited_ = 0;
}

double TPredictionWaitTotals::Seconds(TPredictionWait kind) const {
    return static_cast<double>(nanoseconds_[slot(kind)].load()) * 1e-9;
}

uint64_t TPredictionWaitTotals::Count(TPredictionWait kind) const {
    return counts_[slot(kind)].load();
}

} // namespace vendrel
