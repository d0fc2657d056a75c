// The program: the start window, then the main window.

#include "app/program.h"
#include "platform/core/message_box.h"
#include "platform/core/system_helpers.h"
#include "platform/qt/unhandled_exception.h"

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace vendrel;
    SetProgramFileVersion(VENDREL_VERSION_MAJOR, VENDREL_VERSION_MINOR, VENDREL_VERSION_RELEASE,
                          VENDREL_VERSION_BUILD);
    TGuardedApplication app(argc, argv);
    TStartOptions options;
    options.ProgramFolder = ProgramFolderOf(argv[0]);
    for (int i = 1; i < argc; ++i) {
        options.Arguments.emplace_back(argv[i]);
    }
    try {
        TProgram program(options);
        if (!program.Create()) {
            return 1;
        }
        program.Start();
        return QApplication::exec();
    } catch (const std::exception& e) {
        // An error before the main window could take over its reporting.
        MessageBoxService().MessageDlg(std::string("The program cannot start: ") + e.what(),
                                       TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return 1;
    }
}
