#pragma once
// The real program started under an X server as main() starts it: a fresh application data folder and
// home, the data files of the build's program folder, message boxes recorded.

#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/about_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "platform/core/message_box.h"
#include "platform/core/system_helpers.h"
#include "platform/qt/unhandled_exception.h"

namespace vendrel::testing {

inline void EnsureGuardedApplication() {
    if (QCoreApplication::instance() == nullptr) {
        // The OpenGL view needs a real X server: never Qt's offscreen platform.
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        // Never destroyed: at exit Qt's own thread storage is gone before a static application would be.
        new TGuardedApplication(argc, argv);
    }
}

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuardedApplication();
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "needs an X server, platform is "
                         << QGuiApplication::platformName().toStdString();
        }
        root = std::filesystem::temp_directory_path() /
               ("vendrel_window_" + std::to_string(getpid()) + "_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "home");
        qputenv("HOME", QByteArray::fromStdString((root / "home").string()));
        qputenv("APPDATA", QByteArray::fromStdString((root / "appdata").string()));
        SetProgramFileVersion(3, 1, 0, 123);
        SetMessageBoxService(&boxes);
    }
    void TearDown() override {
        program.reset();
        SetMessageBoxService(nullptr);
        std::filesystem::remove_all(root);
    }

    // Starts the program; false when it ended for a missing data file.
    bool start(const std::string& programFolder = VENDREL_PROGRAM_DIR) {
        TStartOptions options;
        options.ProgramFolder = programFolder;
        options.QtMessageBoxes = false;
        program = std::make_unique<TProgram>(options);
        if (!program->Create()) {
            return false;
        }
        program->Start();
        main()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main()));
        return true;
    }
    // Closes the main window as the title bar does and ends the program.
    void stop() {
        if (program && main() != nullptr && main()->isVisible()) {
            main()->close();
        }
        program.reset();
    }

    TMainForm* main() const { return program->Main(); }
    std::filesystem::path appData() const { return root / "appdata" / "Vendrel"; }

    std::filesystem::path root;
    RecordingMessageBox boxes;
    std::unique_ptr<TProgram> program;
};

} // namespace vendrel::testing
