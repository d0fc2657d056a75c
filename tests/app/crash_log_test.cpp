#include "app/crash_log.h"
#include "app/fatal_signal_log.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

struct LogFolder {
    LogFolder() {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~LogFolder() { fs::remove_all(dir); }
    std::string text() const {
        std::ifstream in(dir / kDumpLogName, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // One folder per test: ctest runs the tests of this file at the same time.
    fs::path dir = fs::temp_directory_path() /
                   ("vendrel_crash_log_" + std::to_string(getpid()) + "_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

TEST(DumpLog, RotatesOnlyAboveOneMebibyte) {
    for (const long long size : {kDumpLogLimit, kDumpLogLimit + 1}) {
        LogFolder f;
        {
            std::ofstream out(f.dir / kDumpLogName, std::ios::binary);
            out << std::string(static_cast<size_t>(size), 'x');
        }
        AddLog(f.dir.string(), "entry");
        const bool rotated = size > kDumpLogLimit;
        EXPECT_EQ(fs::exists(f.dir / "dump.log.1"), rotated) << size;
        EXPECT_EQ(fs::file_size(f.dir / kDumpLogName) < static_cast<uintmax_t>(size), rotated) << size;
        if (rotated) {
            EXPECT_EQ(fs::file_size(f.dir / "dump.log.1"), static_cast<uintmax_t>(size));
        }
    }
}

TEST(DumpLog, EntryIsTimeStampBlankTextAndAnEmptyLine) {
    LogFolder f;
    AddLog((f.dir / "new" / "folder").string(), "first", 0);
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    EXPECT_EQ(LogTimeStamp(when), "2024-03-05 07:08:09");
    AddLog(f.dir.string(), "a\r\nb", when);
    EXPECT_EQ(f.text(), "2024-03-05 07:08:09 a\r\nb\r\n\r\n");
    EXPECT_TRUE(fs::exists(f.dir / "new" / "folder" / kDumpLogName)); // the folder is created
}

TEST(CrashHandler, LogsReportsAndEndsWithTheProjectsBackupName) {
    LogFolder f;
    RecordingMessageBox boxes;
    SetMessageBoxService(&boxes);
    TCrashHandler h;
    int ended = 0;
    std::string saved;
    h.Terminate = [&] { ++ended; };
    h.SaveBackup = [&](const std::string& path) { saved = path; };
    h.Context = [&] {
        TCrashHandler::TContext c;
        c.AppDataPath = f.dir.string();
        c.ActiveProjectFileName = "/a/Hall.V3DPrj";
        c.DefaultProjectFileName = "NewProject.V3DPrj";
        c.ProjectFolder = "/p";
        c.ProjectFileExt = ".V3DPrj";
        c.LastLogString = "MainForm.ReadLibraryFiles";
        return c;
    };
    try {
        throw ERangeError();
    } catch (...) {
        h.ManejadorGlobalExcepciones("TMainForm.MainForm - QPushButton.RenderB", std::current_exception());
    }
    const std::string details =
        "ERangeError: Range check error\r\n Last function entry -> MainForm.ReadLibraryFiles";
    const std::string log = f.text();
    ASSERT_GT(log.size(), 20u);
    EXPECT_EQ(log.substr(19), " \r\nProject: /a/Hall.V3DPrj\r\nTMainForm.MainForm - QPushButton.RenderB | " +
                                  details + "\r\n\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(
        boxes.shown[0].text.rfind("An unexpected error occurred and the application should be closed.\r\n\r\n"
                                  "A copy of the project will be saved: /a/Hall Backup.V3DPrj\r\n\r\n"
                                  "Details: " +
                                      details + "\r\n\r\n",
                                  0),
        0u);
    EXPECT_EQ(saved, "/a/Hall Backup.V3DPrj");
    EXPECT_EQ(ended, 1);

    // A project never saved: the backup goes to the projects folder; a failed save is logged and reported,
    // and the program still ends. A box dismissed without OK keeps the program going.
    h.Context = [&] {
        TCrashHandler::TContext c;
        c.AppDataPath = f.dir.string();
        c.ActiveProjectFileName = "NewProject.V3DPrj";
        c.DefaultProjectFileName = "NewProject.V3DPrj";
        c.ProjectFolder = "/p";
        c.ProjectFileExt = ".V3DPrj";
        return c;
    };
    h.SaveBackup = [](const std::string&) { throw std::runtime_error("disk full"); };
    h.ManejadorGlobalExcepciones("", std::make_exception_ptr(std::runtime_error("x")));
    EXPECT_EQ(h.SaveDialogFileName, "/p/NewProject Backup.V3DPrj");
    EXPECT_NE(f.text().find(" \r\nProject: /p/NewProject.V3DPrj\r\n | std::runtime_error: x"),
              std::string::npos);
    EXPECT_NE(f.text().find(" \r\nError Saving Backup\r\n\r\n"), std::string::npos);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text.rfind("The previous error has caused the project backup to fail", 0), 0u);
    EXPECT_EQ(ended, 2);
    boxes.answers = {TModalResult::mrNone};
    h.ManejadorGlobalExcepciones("", std::make_exception_ptr(std::runtime_error("y")));
    EXPECT_EQ(ended, 2);
    SetMessageBoxService(nullptr);
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// A fatal signal, whether the process raised it or it came from outside, leaves one entry naming the
// signal and the project, and the process still ends by that signal.
TEST(FatalSignalLog, EachFatalSignalLeavesOneEntryAndEndsTheProcessByIt) {
    // The child is forked: it writes into this process's folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    for (const int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        LogFolder f;
        AddLog(f.dir.string(), "an earlier entry", 0);
        EXPECT_EXIT(
            {
                InstallFatalSignalLog(f.dir.string());
                SetFatalSignalProject("/a/old.V3DPrj");
                SetFatalSignalProject("/a/Hall.V3DPrj");
                kill(getpid(), s);
            },
            ::testing::KilledBySignal(s), "");
        const std::string log = f.text();
        const std::string name = FatalSignalName(s);
        EXPECT_EQ(countOf(log, "Fatal signal "), 1u) << log;
        const size_t entry = log.find("\r\n\r\n") + 4;
        ASSERT_LT(entry + 19, log.size()) << log;
        EXPECT_EQ(log.substr(entry + 19), " \r\nProject: /a/Hall.V3DPrj\r\nFatal signal " + name +
                                              ": the program ended at once; no backup of the project was "
                                              "saved.\r\n\r\n");
        EXPECT_EQ(log[entry + 4], '-') << log;
    }
    EXPECT_EQ(FatalSignalName(SIGSEGV), "SIGSEGV (segmentation fault)");
}

// The program itself, killed from outside with SIGSEGV, leaves its entry in its application data
// folder's log and no backup.
TEST(FatalSignalLog, TheProgramKilledBySigsegvLeavesOneEntry) {
    if (getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs an X server";
    }
    LogFolder f;
    fs::create_directories(f.dir / "home");
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("APPDATA=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("HOME=" + (f.dir / "home").string());
    env.push_back("APPDATA=" + f.dir.string());
    env.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string exe = VENDREL_PROGRAM_DIR "/vendrel";
    char* argv[] = {exe.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, exe.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    // The settings file is written at the first activation, after the handlers are installed.
    const fs::path settings = f.dir / "Vendrel" / "Pref.ini";
    int status = 0;
    for (int i = 0; i < 600 && !fs::exists(settings); ++i) {
        ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the program ended before it was up";
        usleep(50000);
    }
    EXPECT_TRUE(fs::exists(settings));
    kill(child, SIGSEGV);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << status;
    std::ifstream in(f.dir / "Vendrel" / kDumpLogName, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(countOf(text.str(), "Fatal signal SIGSEGV (segmentation fault)"), 1u) << text.str();
    EXPECT_EQ(countOf(text.str(), "\r\nProject: "), 1u) << text.str();
    for (const auto& e : fs::recursive_directory_iterator(f.dir)) {
        EXPECT_EQ(e.path().filename().string().find("Backup"), std::string::npos) << e.path();
    }
}

} // namespace
} // namespace vendrel
