#pragma once
// Process, version and memory figures of the machine, for the update check, the about window and the
// memory budget of the prediction.

#include <cstdint>
#include <string>

namespace vendrel {

class IDispatcher;

// Starts FileName with Params (split at blanks, double quotes group a blank-holding argument) in
// WorkDir, or in FileName's folder when WorkDir is empty. False with ErrorCode set to the system error
// (errno) when it could not be started. With Wait, the call returns when the process has ended and
// keeps the UI alive meanwhile through ui (when given). WaitForIdle and Minimized have no meaning for
// programs on this system and are accepted for the callers' sake.
bool RunProcessAndWait(const std::string& FileName, const std::string& Params, const std::string& WorkDir,
                       bool Wait, bool WaitForIdle, bool Minimized, int& ErrorCode,
                       IDispatcher* ui = nullptr);

// The program's version as "major.minor.release.build", or "?" when none was registered.
std::string GetFileVersionText();

// Registers the program's version; the application does this once at start from its build settings.
void SetProgramFileVersion(int Major, int Minor, int Release, int Build);

// Installed, available and used physical memory in MB (1048576 bytes); leaves the outputs unchanged
// when the system does not answer (false). Available memory is the kernel's "MemAvailable", which counts
// the page cache it can drop; only a kernel without it falls back to free plus buffer memory.
bool GetPhysicalMemoryMB(double& InstalledMB, double& AvailableMB, double& UsedMB);

// Resident set size of a process in bytes; 0 when the process cannot be queried.
int64_t GetProcessWorkingSet(uint32_t ProcessID);

// Gives the process's free heap pages back to the system, then lets the UI process pending messages.
void TrimWorkingSet(IDispatcher* ui = nullptr);

} // namespace vendrel
