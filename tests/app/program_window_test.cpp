#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <fstream>

#include "acoustics/model_registry.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/qt/viewport_panel.h"
#include "files/library_scan.h"
#include "platform/core/camera.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/node3d.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::ProgramWindow;

TEST_F(ProgramWindow, FirstStartCreatesTheSettingsAndARestartLimitsTheStoredWidth) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_TRUE(fs::exists(appData() / "Pref.ini"));
    EXPECT_EQ(main()->width(), 1000);
    EXPECT_EQ(main()->height(), 700);
    for (const char* folder :
         {"Cabinets", "Riggings", "Textures", "SoundSystems", "Ornaments", "Templates"}) {
        EXPECT_TRUE(fs::is_directory(appData() / folder)) << folder;
    }
    EXPECT_TRUE(fs::is_directory(root / "home" / "Documents" / "Vendrel Projects"));
    EXPECT_EQ(main()->windowTitle().toStdString().rfind("Vendrel v3.1", 0), 0u);
    EXPECT_FALSE(program->About()->InitiatingSystem);
    EXPECT_FALSE(program->About()->isVisible());
    EXPECT_EQ(main()->MainTabControl()->currentIndex(), 1);
    // The venue of the first start, the project's memory share and continuous rendering switched off.
    EXPECT_EQ(main()->PhysicalSpace->VenueLength(), 300);
    EXPECT_FLOAT_EQ(main()->AcousticProject->MaxUsagePercent(), 0.999f);
    EXPECT_FALSE(main()->AcousticProject->ContinuousRender());
    EXPECT_EQ(main()->MemoryStatusLabel()->text().left(5), QStringLiteral("RAM: "));
    // The About command shows the start window again with its labels.
    main()->AboutItemClick();
    EXPECT_TRUE(program->About()->isVisible());
    EXPECT_EQ(program->About()->VersionLabel()->text(), QStringLiteral("Version 3.1.0 Build 123"));
    EXPECT_EQ(program->About()->SoftNameLabel()->text(), QStringLiteral("Vendrel (64 bit)"));
    EXPECT_EQ(program->About()->CopyRightLabel()->text(), QString::fromUtf8("\u00A9 The Vendrel developers"));
    program->About()->SplashClick();
    EXPECT_FALSE(program->About()->isVisible());
    EXPECT_TRUE(main()->isVisible());
    stop();
    {
        TMemIniFile ini((appData() / "Pref.ini").string());
        EXPECT_FALSE(ini.ValueExists("Options", "GlobalMoveInc"));
        EXPECT_EQ(ini.ReadInteger("MainForm", "Width", 0), 1000);
        ini.WriteInteger("MainForm", "Width", 300);
        ini.WriteString("Options", "Mode", "Developer");
        ASSERT_TRUE(ini.UpdateFile());
    }
    ASSERT_TRUE(start());
    EXPECT_EQ(main()->width(), 550);
    EXPECT_TRUE(main()->MainTabControl()->isTabVisible(main()->DeveloperTabIndex()));
}

TEST_F(ProgramWindow, StartReadsTheModelLibraryOfTheApplicationDataFolder) {
    const fs::path sample = fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
    for (const char* kind : {"Cabinets", "Riggings", "Ornaments", "Textures"}) {
        fs::create_directories(appData() / kind);
        for (const auto& e : fs::directory_iterator(sample / kind)) {
            fs::copy_file(e.path(), appData() / kind / e.path().filename());
        }
    }
    ASSERT_TRUE(start());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(main()->AcousticProject->ModelsDetected()->NModelsDetected(), 8);
    EXPECT_EQ(main()->AcousticProject->FramesDetected()->NFramesDetected(), 5);
    EXPECT_EQ(main()->AcousticProject->OrnasDetected()->NOrnasDetected(), 1);
    EXPECT_FALSE(main()->Library->PopupModels.empty());
}

TEST_F(ProgramWindow, TitleBarCloseWritesTheSettingsAndACancelledSaveKeepsTheWindow) {
    ASSERT_TRUE(start());
    main()->Editor->Grid.ShowThrowItem.Click();
    main()->ConfigPanelItem()->trigger(); // hides the configuration panel
    EXPECT_FALSE(main()->PanelControls()->isVisible());
    EXPECT_TRUE(main()->ShowHideControlsCB()->isChecked());
    // A modified project asks first; Cancel keeps the window open.
    main()->AcousticProject->SetIsProjectModified(true);
    boxes.answers = {TModalResult::mrCancel};
    EXPECT_FALSE(main()->close());
    EXPECT_TRUE(main()->isVisible());
    EXPECT_FALSE(main()->ClosingApplication);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Do you want to Save the current project?");
    boxes.answers = {TModalResult::mrNo};
    EXPECT_TRUE(main()->close());
    program.reset();
    TMemIniFile ini((appData() / "Pref.ini").string());
    EXPECT_FALSE(ini.ReadBool("Options", "ShowThrowLines", true));
    EXPECT_FALSE(ini.ReadBool("Panels", "ViewConfig", true));
    EXPECT_EQ(ini.ReadInteger("Options", "RenderQuality", -9), 1);
}

TEST_F(ProgramWindow, AMissingDataFileEndsTheStartBeforeAnyWindow) {
    const fs::path folder = root / "program";
    fs::create_directories(folder);
    for (const char* name : {"app.dat", "Splsh.dat", "LgMn.dat"}) {
        fs::copy_file(fs::path(VENDREL_PROGRAM_DIR) / name, folder / name);
    }
    EXPECT_FALSE(start(folder.string()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Cannot find file: LgSplsh.dat  Re-Install the application to fix this.");
    EXPECT_EQ(program->Main(), nullptr);
}

TEST_F(ProgramWindow, FoldersAreCreatedWithTheirParentsAndAFailureIsReportedOnce) {
    qputenv("APPDATA", QByteArray::fromStdString((root / "deep" / "er").string()));
    ASSERT_TRUE(start());
    EXPECT_TRUE(fs::exists(root / "deep" / "er" / "Vendrel" / "Pref.ini"));
    EXPECT_TRUE(boxes.shown.empty());
    stop();
    // A file where the folder should be: one message, and the program still starts.
    std::ofstream(root / "blocked") << "x";
    qputenv("APPDATA", QByteArray::fromStdString((root / "blocked").string()));
    ASSERT_TRUE(start());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("Cannot create the folder", 0), 0u);
}

TEST_F(ProgramWindow, AnExceptionInAnEventIsLoggedReportedAndEndsTheProgram) {
    ASSERT_TRUE(start());
    int ended = 0;
    program->CrashHandler().Terminate = [&] { ++ended; };
    boxes.shown.clear();
    // An object of the window whose event handler raises (Qt knows it by its base class).
    struct Raising : QObject {
        using QObject::QObject;
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) {
                throw std::runtime_error("boom");
            }
            return QObject::event(e);
        }
    };
    Raising raising(main());
    raising.setObjectName(QStringLiteral("Raiser"));
    main()->AcousticProject->SetLastLogString("MainForm.Test");
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&raising, &event);
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("Details: std::runtime_error: boom"), std::string::npos);
    std::ifstream in(appData() / "dump.log", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string project =
        (root / "home" / "Documents" / "Vendrel Projects" / "NewProject.V3DPrj").string();
    ASSERT_GT(log.size(), 19u);
    EXPECT_EQ(log.substr(19),
              " \r\nProject: " + project + "\r\nTMainForm.MainForm - QObject.Raiser | " +
                  "std::runtime_error: boom\r\n Last function entry -> MainForm.Test\r\n\r\n");
    // A queued call that raises goes the same way.
    program->Dispatcher().Queue([] { throw std::runtime_error("late"); });
    QCoreApplication::processEvents();
    EXPECT_EQ(ended, 2);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[1].text.find("Details: std::runtime_error: late"), std::string::npos);
    // So does a scene object that raises while the 3D view draws it.
    struct RaisingNode : TControl3D {
        using TControl3D::TControl3D;
        void Render(TContext3D&) override { throw std::runtime_error("paint"); }
    };
    auto* node = new RaisingNode(main()->Editor->Scene.Viewport3D1.get());
    node->SetParent(main()->Editor->Scene.Viewport3D1.get());
    main()->ViewportPanel()->GLView()->grabFramebuffer();
    EXPECT_EQ(ended, 3);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_NE(boxes.shown[2].text.find("Details: std::runtime_error: paint"), std::string::npos);
    delete node;
    // The Help menu's log item follows the file at the next activation.
    main()->FormActivate();
    EXPECT_TRUE(main()->DumpLogMenuItem()->isEnabled());
}

} // namespace
} // namespace vendrel
