#include "app/crash_log.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

} // namespace
} // namespace vendrel
