#include "app/program.h"

#include "app/about_form.h"
#include "app/fatal_signal_log.h"
#include "app/main_form.h"
#include "platform/core/file_dialog.h"
#include "platform/core/image_decoder.h"
#include "platform/core/message_box.h"
#include "platform/core/system_helpers.h"
#include "platform/qt/cursors.h"
#include "platform/qt/unhandled_exception.h"

#include <QCoreApplication>

#include <filesystem>

namespace vendrel {

namespace fs = std::filesystem;

std::string ProgramFolderOf(const char* Argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        return self.parent_path().string();
    }
    return fs::absolute(fs::path(Argv0 != nullptr ? Argv0 : ".")).parent_path().string();
}

TProgram::TProgram(TStartOptions Options) : options_(std::move(Options)) {
    if (options_.QtMessageBoxes) {
        SetMessageBoxService(&boxes_);
        SetFileDialogService(&dialogs_);
    }
    crash_.Terminate = [] { QCoreApplication::exit(1); };
    SetImageDecoderService(&decoder_);
}

TProgram::~TProgram() {
    SetUnhandledExceptionHandler({});
    SetImageDecoderService(nullptr);
    main_.reset();
    about_.reset();
    if (options_.QtMessageBoxes) {
        SetMessageBoxService(nullptr);
        SetFileDialogService(nullptr);
    }
}

bool TProgram::Create() {
    InstallQtCursorServices();
    if (QCoreApplication::instance() != nullptr && !QCoreApplication::arguments().isEmpty()) {
        QCoreApplication::setApplicationName(
            QString::fromStdString(fs::path(QCoreApplication::arguments().front().toStdString()).filename()));
    }
    TStartData data = ReadStartData(options_.ProgramFolder, options_.Arguments, GetFileVersionText());
    if (!data.Missing.empty()) {
        return false;
    }
    const std::vector<uint8_t> mainLogo = data.MainLogo;
    about_ = std::make_unique<TAboutForm>(std::move(data));
    main_ = std::make_unique<TMainForm>(*about_, mainLogo, &dispatcher_);
    boxes_.SetParent(main_.get());
    dialogs_.SetParent(main_.get());
    main_->InstallExceptionHandler(crash_);
    InstallFatalSignalLog(main_->AppDataPath);
    return true;
}

void TProgram::Start() {
    about_->show();
    about_->FormActivate();
    if (main_->isVisible()) {
        main_->FormActivate();
    }
}

} // namespace vendrel
