#pragma once
// The crash handler and the diagnostic log.
//
// Every exception that reaches the user-interface event loop goes to ManejadorGlobalExcepciones: it
// writes a diagnostic entry to dump.log in the application data folder, tells the user that the
// program will close and where a copy of the project will be saved, saves that copy and ends the
// program. The log keeps below about one mebibyte: before a write, a log larger than 1048576 bytes is
// moved to "dump.log.1".

#include <ctime>
#include <exception>
#include <functional>
#include <string>

namespace vendrel {

inline constexpr const char* kDumpLogName = "dump.log";
inline constexpr long long kDumpLogLimit = 1048576;

// "YYYY-MM-DD HH:NN:SS" of a local time.
std::string LogTimeStamp(std::time_t Time);

// Appends one entry: time stamp, a blank, the text and a line break, then an empty line. Creates the
// folder when missing; a log that cannot be written is silently not written.
void AddLog(const std::string& AppDataPath, const std::string& Text, std::time_t Time = std::time(nullptr));

// "ClassName: message" of an exception, the class name without our namespace.
std::string ExceptionDetails(std::exception_ptr Error);

class TCrashHandler {
public:
    // What the handler reads of the main window and the project when it runs.
    struct TContext {
        std::string AppDataPath;
        std::string ActiveProjectFileName;
        std::string DefaultProjectFileName; // "NewProject" + extension
        std::string ProjectFolder;
        std::string ProjectFileExt;
        std::string LastLogString;
    };
    std::function<TContext()> Context;
    // Saves the project to the backup path; raises on failure. Empty: the program cannot save a
    // project yet and no backup is written.
    std::function<void(const std::string& BackupPath)> SaveBackup;
    // Ends the program (asks the application to terminate).
    std::function<void()> Terminate;

    // The backup name the handler last chose (the save dialog's file name).
    std::string SaveDialogFileName;

    // SenderDescription: empty without a sender object.
    void ManejadorGlobalExcepciones(const std::string& SenderDescription, std::exception_ptr Error);

    // The backup path for a project: the project's own name (or the projects folder with the default
    // name for a project never saved) with " Backup" before the extension.
    static std::string BackupFileName(const TContext& C);
    // The project named in the log: its file, or the default name in the projects folder.
    static std::string ProjectBaseName(const TContext& C);
};

} // namespace vendrel
