#pragma once
// The diagnostic entry of a fatal signal.
//
// A segmentation fault, bus error, arithmetic fault, illegal instruction or abort leaves the process in
// a state nothing may trust: no exception handler runs, no message is shown and no backup is saved.
// The installed handler writes one dump.log entry naming the signal and the open project, using only
// async-signal-safe calls on text prepared beforehand, and then lets the signal take its default
// action (the process ends as it would have without the handler).

#include <string>

namespace vendrel {

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT; the log goes to
// AppDataPath/dump.log. Installing again replaces the folder. Not for use inside a signal handler.
void InstallFatalSignalLog(const std::string& AppDataPath);

// The project the entry names; called whenever the open project's file changes.
void SetFatalSignalProject(const std::string& ProjectPath);

// "SIGSEGV (segmentation fault)" for the signals above, "signal N" for others.
std::string FatalSignalName(int Signal);

} // namespace vendrel
