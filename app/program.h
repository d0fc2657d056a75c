#pragma once
// The program's start: the services of the Qt side, the data files, the start window and the main
// window in their order, and the start window's first activation, which ends with the main window
// shown. main() runs this and then the event loop; the window tests run the same start.

#include "app/crash_log.h"
#include "platform/qt/image_decoder.h"
#include "platform/qt/qt_dispatcher.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_box.h"

#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TAboutForm;
class TMainForm;

struct TStartOptions {
    std::string ProgramFolder;          // the folder of the data files (the program's own folder)
    std::vector<std::string> Arguments; // the command line without the program
    // false: the caller installed its own message-box and file-dialog services
    bool QtMessageBoxes = true;
};

class TProgram {
public:
    explicit TProgram(TStartOptions Options);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Reads the data files and creates the two windows. False when a data file is missing: the
    // messages were shown, no window was built and the program ends.
    bool Create();
    // Shows the start window and runs its first activation; the main window is shown at its end and
    // activated once.
    void Start();

    TAboutForm* About() const { return about_.get(); }
    TMainForm* Main() const { return main_.get(); }
    TCrashHandler& CrashHandler() { return crash_; }
    IDispatcher& Dispatcher() { return dispatcher_; }

private:
    TStartOptions options_;
    QtMessageBox boxes_;
    QtFileDialog dialogs_;
    QtDispatcher dispatcher_;
    QtImageDecoder decoder_;
    TCrashHandler crash_;
    std::unique_ptr<TAboutForm> about_;
    std::unique_ptr<TMainForm> main_;
};

// The folder of the running program.
std::string ProgramFolderOf(const char* Argv0);

} // namespace vendrel
