#pragma once
// The diagnostic debug log: lines that the calculation threads and the project write about what they
// are doing. Safe from any thread. Lines go to the installed sink (the program's log window or file, a
// test's recorder); without a sink they go to standard error when VENDREL_DEBUG_LOG is set.

#include <functional>
#include <string>

namespace vendrel {

// Writes one line; with a time stamp the line is prefixed by the local time "hh:nn:ss.zzz ".
void DebugLog(const std::string& text, bool withTimeStamp = false);

// Installs the sink (an empty function restores the default). Not owned beyond the copy kept here.
void SetDebugLogSink(std::function<void(const std::string&)> sink);

} // namespace vendrel
