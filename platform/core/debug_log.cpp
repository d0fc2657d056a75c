#include "platform/core/debug_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <utility>

namespace vendrel {

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

std::function<void(const std::string&)>& sinkFunction() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

std::string timeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d ", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return buf;
}

} // namespace

void DebugLog(const std::string& text, bool withTimeStamp) {
    const std::string line = withTimeStamp ? timeStamp() + text : text;
    std::lock_guard lock(sinkMutex());
    if (sinkFunction()) {
        sinkFunction()(line);
        return;
    }
    if (std::getenv("VENDREL_DEBUG_LOG") != nullptr) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

TDebugLogSink SetDebugLogSink(TDebugLogSink sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(sinkFunction(), std::move(sink));
}

} // namespace vendrel
