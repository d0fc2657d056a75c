#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "../editor/every_kind_project.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "app/program.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/qt/map_bar.h"
#include "editor/qt/viewport_panel.h"
#include "panels/cabinet_panel.h"
#include "panels/zone_panel.h"
#include "platform/core/atomic_file.h"
#include "platform/core/camera.h"
#include "platform/core/file_dialog.h"
#include "platform/core/mem_ini_file.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program with the sample library and recorded file dialogs.
class DocumentsWindow : public testing::ProgramWindow {
protected:
    void SetUp() override {
        ProgramWindow::SetUp();
        const fs::path sample =
            fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
        for (const char* kind : {"Cabinets", "Riggings", "Ornaments", "Textures"}) {
            fs::create_directories(appData() / kind);
            for (const auto& e : fs::directory_iterator(sample / kind)) {
                fs::copy_file(e.path(), appData() / kind / e.path().filename());
            }
        }
        SetFileDialogService(&dialogs);
    }
    void TearDown() override {
        program.reset();
        SetFileDialogService(nullptr);
        ProgramWindow::TearDown();
    }

    TDocuments& docs() const { return *main()->Documents; }
    std::string title() const { return main()->windowTitle().toStdString(); }
    QAction* command(const char* name) const {
        return main()->findChild<QAction*>(QString::fromLatin1(name));
    }
    fs::path projects() const { return root / "home" / "Documents" / "Vendrel Projects"; }

    // The every-kind project written into the projects folder (without its zone picture).
    fs::path writeHall() const {
        rProjectFile r = testing::EveryKind();
        r.MappingZones[0].ImageTextureType = testing::Ord<TTextureType>(2);
        const fs::path file = projects() / "Hall.V3DPrj";
        fs::create_directories(file.parent_path());
        SaveProjectRecord(file, r);
        return file;
    }

    RecordingFileDialog dialogs;
};

TEST_F(DocumentsWindow, AVenueMadeInTheWindowIsSavedReopenedFromTheRecentFilesAndSavedAgainUnchanged) {
    ASSERT_TRUE(start());
    TEditor& ed = *main()->Editor;
    TAcousticProject& p = *main()->AcousticProject;
    // A zone from the "Add" button, a second layer, and a cabinet placed by clicking in the top view.
    QTest::mouseClick(main()->findChild<QToolButton*>(QStringLiteral("AddSurfaceButton")), Qt::LeftButton);
    ASSERT_EQ(p.NMappingZones(), 1);
    ed.Layers.SelectedLayer = ed.Layers.AddLayer();
    QTest::mouseClick(main()->findChild<QToolButton*>(QStringLiteral("AddCabinetB")), Qt::LeftButton);
    QMenu* models = main()->findChild<QMenu*>(QStringLiteral("PopupModels"));
    ASSERT_NE(models, nullptr);
    for (QAction* a : models->findChildren<QAction*>()) {
        if (a->text() == QStringLiteral("SP12")) {
            a->trigger();
        }
    }
    models->close();
    QTest::keyClick(main(), Qt::Key_F3);
    TEditorGLView* gl = main()->ViewportPanel()->GLView();
    const QPoint at(gl->width() / 2 + 40, gl->height() / 2 - 30);
    QMouseEvent move(QEvent::MouseMove, at, gl->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(gl, &move);
    QTest::mouseClick(gl, Qt::LeftButton, Qt::NoModifier, at);
    QTest::keyClick(gl, Qt::Key_Escape);
    ASSERT_EQ(p.NCabinets(), 1);
    // The cabinet turned through its row.
    auto* row = dynamic_cast<TCabinetsFr*>(PanelOf<IObjectPanel>(*p.Cabinets()[0]));
    ASSERT_NE(row, nullptr);
    row->RotZCabBox->setFocus();
    row->RotZCabBox->selectAll();
    QTest::keyClicks(row->RotZCabBox, QStringLiteral("30"));
    QTest::keyClick(row->RotZCabBox, Qt::Key_Tab);
    const TPoint3D cabinetAt = p.Cabinets()[0]->Position();
    const TPoint3D cabinetTurn = p.Cabinets()[0]->RotationAngle();
    ASSERT_NE(cabinetTurn, TPoint3D(0, 0, 0));
    const TPoint3D zoneAt = p.MappingZones()[0]->XYZBegin();
    const QString rowX = row->XCabBox->text();
    const TPoint3D topCamera = ed.Scene.CameraTop->Position();
    const TPoint3D cameraTurn = ed.Scene.Cam3DDummyY->RotationAngle();
    EXPECT_EQ(title().back(), '*');

    dialogs.answers = {(projects() / "Hall").string()};
    command("SaveAsAction")->trigger();
    const fs::path hall = projects() / "Hall.V3DPrj";
    ASSERT_TRUE(fs::exists(hall));
    EXPECT_NE(title().back(), '*');
    EXPECT_EQ(TMemIniFile((appData() / "Pref.ini").string()).ReadString("MainForm", "MRUPath1", ""),
              hall.string());
    const std::vector<uint8_t> saved = bytesOf(hall);

    command("NewAction")->trigger();
    EXPECT_EQ(p.NCabinets() + p.NMappingZones(), 0);
    EXPECT_EQ(ed.Layers.LayerList.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_FALSE(main()->ReOpenItem()->actions().isEmpty());
    main()->ReOpenItem()->actions().front()->trigger();

    ASSERT_EQ(p.NCabinets(), 1);
    ASSERT_EQ(p.NMappingZones(), 1);
    EXPECT_EQ(ed.Layers.LayerList.size(), 2u);
    EXPECT_EQ(p.Cabinets()[0]->Position(), cabinetAt);
    EXPECT_EQ(p.Cabinets()[0]->RotationAngle(), cabinetTurn);
    EXPECT_EQ(p.MappingZones()[0]->XYZBegin(), zoneAt);
    auto* reopened = dynamic_cast<TCabinetsFr*>(PanelOf<IObjectPanel>(*p.Cabinets()[0]));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->XCabBox->text(), rowX);
    EXPECT_EQ(reopened->RotZCabBox->text(), QStringLiteral("30.00"));
    auto* zonePanel = dynamic_cast<TZoneFr*>(PanelOf<IObjectPanel>(*p.MappingZones()[0]));
    ASSERT_NE(zonePanel, nullptr);
    EXPECT_EQ(zonePanel->ZoneNameEdit->text().toStdString(), p.MappingZones()[0]->Name());
    EXPECT_EQ(ed.Scene.CameraTop->Position(), topCamera);
    EXPECT_EQ(ed.Scene.Cam3DDummyY->RotationAngle(), cameraTurn);
    EXPECT_NE(title().back(), '*');
    EXPECT_TRUE(boxes.shown.empty());

    command("SaveAction")->trigger();
    EXPECT_TRUE(dialogs.requests.size() == 1u);
    EXPECT_EQ(bytesOf(hall), saved);
}

// Whether a node (compared by address only) hangs in the scene under Root.
bool inScene(const TControl3D& Root, const void* Node) {
    for (int i = 0; i < Root.ChildrenCount(); ++i) {
        const TControl3D* c = Root.Children(i);
        if (c == Node || inScene(*c, Node)) {
            return true;
        }
    }
    return false;
}

// Records, for every paint of the 3D view, whether a node was still in the scene it drew.
struct PaintWatch : QObject {
    PaintWatch(const TViewport3D& v, const void* n) : viewport(v), node(n) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            drawnWithNode.push_back(inScene(viewport, node));
        }
        return false;
    }
    const TViewport3D& viewport;
    const void* node;
    std::vector<bool> drawnWithNode;
};

// Every view, list, bar and button follows the state it shows at once: New draws the emptied scene,
// a project named on the command line shows its level scale on the bar and every zone in the list, and
// a zone picked from the list is named in the status line beside the selection.
TEST_F(DocumentsWindow, TheViewTheListTheBarAndTheStatusLineFollowAtOnce) {
    ASSERT_TRUE(start());
    TEditor& ed = *main()->Editor;
    QToolButton* add = main()->findChild<QToolButton*>(QStringLiteral("AddSurfaceButton"));
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    TCabinet* cabinet =
        ed.Adding.AddNewCabinet("SP12", "", "", {0, -6, 0}, {}, false, TCabPlacement::qzaVertical, 0, true,
                                false, ed.Layers.SelectedLayer, 0, 0);
    ASSERT_NE(cabinet, nullptr);
    const void* drawnCabinet = cabinet->GraphicalObject;
    ASSERT_TRUE(inScene(*ed.Scene.Viewport3D1, drawnCabinet));
    TMapBarPanel& bar = *main()->MapBar();
    bar.AutoScaleCheckBox()->click();
    for (const auto& [box, typed] : {std::pair{bar.MaxdBuEdit(), "99"}, {bar.SPLRangeBox(), "48"}}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(typed));
        QTest::keyClick(box, Qt::Key_Return);
    }
    const fs::path file = projects() / "Two zones.V3DPrj";
    fs::create_directories(projects());
    ASSERT_TRUE(docs().SaveProjectFile(file.string()));

    TEditorGLView* gl = main()->ViewportPanel()->GLView();
    QCoreApplication::processEvents();
    PaintWatch watch(*ed.Scene.Viewport3D1, drawnCabinet);
    gl->installEventFilter(&watch);
    // Changed since the save: New asks first, and the answer is No.
    main()->AcousticProject->SetIsProjectModified(true);
    boxes.answers = {TModalResult::mrNo};
    command("NewAction")->trigger();
    ASSERT_EQ(main()->AcousticProject->NCabinets(), 0);
    QCoreApplication::processEvents();
    ASSERT_FALSE(watch.drawnWithNode.empty());
    EXPECT_FALSE(watch.drawnWithNode.back()) << "the removed cabinet stays drawn";
    gl->removeEventFilter(&watch);
    stop();

    TStartOptions options;
    options.ProgramFolder = VENDREL_PROGRAM_DIR;
    options.Arguments = {file.string()};
    options.QtMessageBoxes = false;
    program = std::make_unique<TProgram>(options);
    ASSERT_TRUE(program->Create());
    program->Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main()));
    ASSERT_EQ(main()->AcousticProject->NMappingZones(), 2);
    TMapBarPanel& shown = *main()->MapBar();
    EXPECT_EQ(shown.MaxdBuEdit()->value(), 99);
    EXPECT_EQ(shown.SPLRangeBox()->value(), 48);
    const auto labels = shown.PaletteScale()->Labels();
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels.front().Text, QStringLiteral("99"));
    const int step = labels[0].Text.toInt() - labels[1].Text.toInt();
    EXPECT_EQ(labels.back().Text.toInt(), 99 - step * static_cast<int>(labels.size() - 1));
    EXPECT_GE(labels.back().Text.toInt(), 51);

    auto* list = main()->findChild<QListWidget*>(QStringLiteral("ZonesListBox"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Zone 1: No Name"));
    // The project keeps its second zone selected; the first one picked from the list.
    auto* status = main()->findChild<QLabel*>(QStringLiteral("StatusLabel"));
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(status->text(), QStringLiteral("1 Objects Selected, 1 Zones"));
    const QRect item = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    EXPECT_EQ(status->text(),
              QStringLiteral("Zone 1: No Name in the panel | Selection: 1 Objects Selected, 1 Zones"));
}

TEST_F(DocumentsWindow, ACrashWithHallOpenLeavesHallBackupThatOpens) {
    ASSERT_TRUE(start());
    const fs::path hall = writeHall();
    ASSERT_TRUE(docs().LoadProjectFile(hall.string()));
    int ended = 0;
    program->CrashHandler().Terminate = [&] { ++ended; };
    boxes.shown.clear();
    program->CrashHandler().ManejadorGlobalExcepciones("",
                                                       std::make_exception_ptr(std::runtime_error("boom")));
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    const fs::path backup = projects() / "Hall Backup.V3DPrj";
    EXPECT_NE(boxes.shown[0].text.find(backup.string()), std::string::npos);
    ASSERT_TRUE(fs::exists(backup));

    ASSERT_TRUE(docs().LoadProjectFile(backup.string()));
    EXPECT_EQ(main()->AcousticProject->NCabArrays(), 1);
    EXPECT_EQ(main()->AcousticProject->NClusters(), 1);
    EXPECT_EQ(main()->AcousticProject->NCabinets(), 1);
    EXPECT_EQ(title().find("Hall Backup.V3DPrj"),
              title().size() - std::string("Hall Backup.V3DPrj(3.1)").size());
}

TEST_F(DocumentsWindow, AProjectOfEveryKindIsDrawnListedAndSavedWithoutItsMark) {
    ASSERT_TRUE(start());
    const fs::path hall = writeHall();
    ASSERT_TRUE(docs().LoadProjectFile(hall.string()));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(title().rfind("Hall.V3DPrj(3.1)"), title().size() - 16);
    EXPECT_NE(main()->StatusLabel()->text().toStdString().find("not editable"), std::string::npos);
    // The file heads the recent files, in the menu and in the settings at once.
    ASSERT_FALSE(main()->ReOpenItem()->actions().isEmpty());
    EXPECT_EQ(main()->ReOpenItem()->actions().front()->text().toStdString(), hall.string());

    // The line array (model only) is drawn where the model places it: its first cabinet's pixel in the
    // top view differs from the empty background.
    TEditor& ed = *main()->Editor;
    TEditorGLView* gl = main()->ViewportPanel()->GLView();
    ASSERT_EQ(ed.Scene.Viewport3D1->Camera(), ed.Scene.CameraTop);
    ed.Views.FitCameraToVenue(ed.Scene.CameraTop);
    ASSERT_TRUE(gl->IsReady());
    const TCabArray& array = *main()->AcousticProject->CabArrays()[0];
    TPoint3D s;
    ASSERT_TRUE(ed.Scene.Viewport3D1->Camera()->WorldToScreen(array.CabinetList()[0]->AbsolutePosition(),
                                                              gl->width(), gl->height(), s));
    const QImage frame = gl->grabFramebuffer();
    ASSERT_TRUE(frame.rect().contains(static_cast<int>(s.X), static_cast<int>(s.Y)));
    const QColor drawn = frame.pixelColor(static_cast<int>(s.X), static_cast<int>(s.Y));
    const QColor background = QColor::fromRgba(ed.Scene.Viewport3D1->Color);
    EXPECT_GT(std::abs(drawn.red() - background.red()) + std::abs(drawn.green() - background.green()) +
                  std::abs(drawn.blue() - background.blue()),
              30);

    // Saving by the File menu: "Save" writes the same file, the mark goes.
    main()->AcousticProject->SetIsProjectModified(true);
    EXPECT_EQ(title().back(), '*');
    command("SaveAction")->trigger();
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_NE(title().back(), '*');
    EXPECT_FALSE(main()->AcousticProject->IsProjectModified());
}

TEST_F(DocumentsWindow, AFailedSaveIsReportedAndKeepsTheOldFileTheNameAndTheMark) {
    ASSERT_TRUE(start());
    const fs::path hall = writeHall();
    ASSERT_TRUE(docs().LoadProjectFile(hall.string()));
    main()->AcousticProject->SetIsProjectModified(true);
    const std::string before = title();

    // A folder the program cannot write to. Read-only permissions do not stop the super-user, so there
    // the folder is one that cannot exist (its parent is a file).
    const fs::path locked = root / "locked";
    fs::create_directories(locked);
    const fs::path old = locked / "Old.V3DPrj";
    std::ofstream(old) << "old bytes";
    ::chmod(locked.c_str(), 0555);
    fs::path target = old;
    if (::access(locked.c_str(), W_OK) == 0) {
        std::ofstream(root / "plain") << "x";
        target = root / "plain" / "Old.V3DPrj";
    }
    boxes.shown.clear();
    dialogs.answers = {target.string()};
    command("SaveAsAction")->trigger();
    ::chmod(locked.c_str(), 0755);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("could not be saved"), std::string::npos);
    EXPECT_EQ(bytesOf(old), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'}));
    EXPECT_EQ(title(), before);
    EXPECT_EQ(docs().ActiveProjectFileName, hall.string());
    EXPECT_TRUE(main()->AcousticProject->IsProjectModified());

    // A rename that fails over the project's own file: the old file stays whole.
    struct FailingRename : IFileSystem {
        std::unique_ptr<IWritableFile> CreateNew(const fs::path& p) override {
            return LocalFileSystem().CreateNew(p);
        }
        void Replace(const fs::path&, const fs::path&) override {
            throw EFileError("Cannot replace the file");
        }
        void Remove(const fs::path& p) noexcept override { LocalFileSystem().Remove(p); }
    } failing;
    const std::vector<uint8_t> hallBytes = bytesOf(hall);
    docs().FileSystem = &failing;
    boxes.shown.clear();
    command("SaveAction")->trigger();
    docs().FileSystem = nullptr;
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(bytesOf(hall), hallBytes);
    EXPECT_EQ(title(), before);
    EXPECT_TRUE(main()->isVisible());
}

TEST_F(DocumentsWindow, ACancelledSaveKeepsTheProjectOnNewAndTheWindowOnClose) {
    ASSERT_TRUE(start());
    const fs::path hall = writeHall();
    ASSERT_TRUE(docs().LoadProjectFile(hall.string()));
    docs().ActiveProjectFileName = docs().Info().DefaultProjectFileName(); // never saved
    main()->AcousticProject->SetIsProjectModified(true);

    boxes.answers = {TModalResult::mrYes};
    dialogs.answers = {std::nullopt};
    command("NewAction")->trigger();
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(main()->AcousticProject->NCabArrays(), 1);
    EXPECT_TRUE(main()->AcousticProject->IsProjectModified());

    boxes.answers = {TModalResult::mrYes};
    dialogs.answers = {std::nullopt};
    main()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main()->isVisible());
    EXPECT_FALSE(main()->ClosingApplication);
    EXPECT_EQ(main()->AcousticProject->NCabArrays(), 1);

    // "No" discards: the new project is empty and unmarked.
    boxes.answers = {TModalResult::mrNo};
    command("NewAction")->trigger();
    EXPECT_EQ(main()->AcousticProject->NCabArrays(), 0);
    EXPECT_NE(title().back(), '*');
    EXPECT_NE(title().find("NewProject.V3DPrj"), std::string::npos);
}

} // namespace
} // namespace vendrel
