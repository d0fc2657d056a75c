#pragma once
// The diagnostic debug log: lines that the calculation threads and the project write about what they
// are doing. Safe from any thread. Lines go to the installed sink (the program's log window or file, a
// test's recorder); without a sink they go to standard error when VENDREL_DEBUG_LOG is set.

#include <functional>
#include <string>
#include <utility>

namespace vendrel {

// Writes one line; with a time stamp the line is prefixed by the local time "hh:nn:ss.zzz ".
void DebugLog(const std::string& text, bool withTimeStamp = false);

// Installs the sink (an empty function restores the default) and returns the one installed before.
using TDebugLogSink = std::function<void(const std::string&)>;
TDebugLogSink SetDebugLogSink(TDebugLogSink sink);

// Installs a sink for the guard's life and puts the previous one back on every exit path.
class TScopedDebugLogSink {
public:
    explicit TScopedDebugLogSink(TDebugLogSink sink) : previous_(SetDebugLogSink(std::move(sink))) {}
    ~TScopedDebugLogSink() { SetDebugLogSink(std::move(previous_)); }
    TScopedDebugLogSink(const TScopedDebugLogSink&) = delete;
    TScopedDebugLogSink& operator=(const TScopedDebugLogSink&) = delete;

private:
    TDebugLogSink previous_;
};

} // namespace vendrel
