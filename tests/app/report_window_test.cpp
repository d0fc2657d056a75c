#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../editor/every_kind_project.h"
#include "acoustics/project.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/editor_scene.h"
#include "platform/core/file_dialog.h"
#include "platform/core/node3d.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    ::pclose(pipe);
    return out;
}

std::vector<uint8_t> BytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program with the sample library, the every-kind project open in the side view.
class ReportWindow : public testing::ProgramWindow {
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

    bool openHall() {
        rProjectFile r = testing::EveryKind();
        r.MappingZones[0].ImageTextureType = testing::Ord<TTextureType>(2);
        r.GlobalStaticData.ViewType = TViewType::qzaSideView;
        const fs::path file = root / "Hall.V3DPrj";
        SaveProjectRecord(file, r);
        return main()->Documents->LoadProjectFile(file.string());
    }
    void saveReport(const fs::path& typed) {
        dialogs.answers = {typed.string()};
        QAction* action = main()->findChild<QAction*>(QStringLiteral("SaveReportAction"));
        ASSERT_NE(action, nullptr);
        action->trigger();
    }
    // What a user sees of the views: the view shown and where each standard camera's pivot stands.
    std::vector<float> viewState() const {
        const TEditorScene& sc = main()->Editor->Scene;
        return {static_cast<float>(main()->AcousticProject->ViewType()), sc.CamSideDummy->RotationAngle().Y,
                sc.CamTopDummy->RotationAngle().X, sc.CamFrontDummy->RotationAngle().Y};
    }

    RecordingFileDialog dialogs;
};

TEST_F(ReportWindow, SaveReportWritesTheViewsAndGivesTheWindowBackAsItWas) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(openHall());
    boxes.shown.clear();
    const std::vector<float> before = viewState();
    saveReport(root / "Hall report");
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
    const fs::path file = root / "Hall report.pdf";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(viewState(), before);
    EXPECT_EQ(main()->StatusLabel()->text(), QString());

    // The four views drawn off screen at their fixed size (1000 pixels high and a 20-pixel caption
    // band, 1600 wide and the colour bar).
    const std::string images = Output("pdfimages -list '" + file.string() + "'");
    size_t views = 0;
    std::istringstream lines(images);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string page, num, type;
        int width = 0, height = 0;
        if (fields >> page >> num >> type >> width >> height && type == "image" && width >= 1600 &&
            height == 1020) {
            ++views;
        }
    }
    EXPECT_EQ(views, 4u) << images;
    const std::string text = Output("pdftotext -layout '" + file.string() + "' -");
    for (const char* t :
         {"3D view", "Top view", "Side view", "Front view", "Line Array 1 : Main L", "Zones List"}) {
        EXPECT_NE(text.find(t), std::string::npos) << t;
    }
}

TEST_F(ReportWindow, AFailedPictureIsNamedAndTheOlderFileTheViewAndTheStatusStay) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(openHall());
    boxes.shown.clear();
    const fs::path file = root / "Plan.pdf";
    std::ofstream(file) << "old";
    const std::vector<float> before = viewState();
    int views = 0;
    main()->ReportPictureHook = [&views](const std::string& kind) {
        if (kind == "view" && ++views == 2) {
            throw std::runtime_error("no picture today");
        }
    };
    saveReport(file);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "The PDF report could not be written.\nFailed at: Top View\nno picture today");
    EXPECT_EQ(BytesOf(file), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(viewState(), before);
    EXPECT_EQ(main()->StatusLabel()->text(), QString());
    // No temporary file is left beside it.
    for (const auto& e : fs::directory_iterator(root)) {
        EXPECT_NE(e.path().extension(), ".tmp") << e.path();
    }
}

} // namespace
} // namespace vendrel
