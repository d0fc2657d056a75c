#include "app/crash_log.h"

#include "platform/core/message_box.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <typeinfo>

namespace vendrel {

namespace fs = std::filesystem;

std::string LogTimeStamp(std::time_t Time) {
    std::tm local{};
    localtime_r(&Time, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

void AddLog(const std::string& AppDataPath, const std::string& Text, std::time_t Time) {
    std::error_code ec;
    fs::create_directories(AppDataPath, ec);
    const fs::path log = fs::path(AppDataPath) / kDumpLogName;
    const std::string entry = LogTimeStamp(Time) + " " + Text + "\r\n";
    if (fs::exists(log, ec) && static_cast<long long>(fs::file_size(log, ec)) > kDumpLogLimit && !ec) {
        fs::rename(log, fs::path(log.string() + ".1"), ec);
    }
    std::ofstream out(log, std::ios::binary | std::ios::app);
    if (!out) {
        return;
    }
    out << entry << "\r\n";
}

namespace {

std::string demangled(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                std::free);
    std::string text = status == 0 && name ? name.get() : type.name();
    const std::string ours = "vendrel::";
    if (text.rfind(ours, 0) == 0) {
        text.erase(0, ours.size());
    }
    return text;
}

} // namespace

std::string ExceptionDetails(std::exception_ptr Error) {
    try {
        if (Error) {
            std::rethrow_exception(Error);
        }
    } catch (const std::exception& e) {
        return demangled(typeid(e)) + ": " + e.what();
    } catch (...) {
        return "Exception: unknown error";
    }
    return "Exception: unknown error";
}

std::string TCrashHandler::ProjectBaseName(const TContext& C) {
    if (!C.ActiveProjectFileName.empty() && C.ActiveProjectFileName != C.DefaultProjectFileName) {
        return C.ActiveProjectFileName;
    }
    return (fs::path(C.ProjectFolder) / C.DefaultProjectFileName).string();
}

std::string TCrashHandler::BackupFileName(const TContext& C) {
    fs::path p(ProjectBaseName(C));
    p.replace_extension();
    return p.string() + " Backup" + C.ProjectFileExt;
}

void TCrashHandler::ManejadorGlobalExcepciones(const std::string& SenderDescription,
                                               std::exception_ptr Error) {
    const TContext c = Context ? Context() : TContext{};
    const std::string base = ProjectBaseName(c);
    const std::string backup = BackupFileName(c);
    SaveDialogFileName = backup;
    const std::string details =
        ExceptionDetails(Error) + "\r\n" + " Last function entry -> " + c.LastLogString;
    AddLog(c.AppDataPath, "\r\nProject: " + base + "\r\n" + SenderDescription + " | " + details);
    const TModalResult answer = MessageBoxService().MessageDlg(
        "An unexpected error occurred and the application should be closed.\r\n\r\n"
        "A copy of the project will be saved: " +
            backup + "\r\n\r\n" + "Details: " + details + "\r\n\r\n" +
            "Please contact support, describe what you were doing when the error happened and attach "
            "the diagnostic log (Help > Show DumpLog).",
        TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
    if (answer != TModalResult::mrOk) {
        return;
    }
    if (SaveBackup) {
        try {
            SaveBackup(backup);
        } catch (...) {
            AddLog(c.AppDataPath, "\r\nError Saving Backup");
            MessageBoxService().MessageDlg(
                "The previous error has caused the project backup to fail to be saved.\r\n\r\n"
                "Does not allow to save the backup project (error when saving).",
                TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        }
    }
    if (Terminate) {
        Terminate();
    }
}

} // namespace vendrel
