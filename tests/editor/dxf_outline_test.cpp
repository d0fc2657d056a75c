#include "editor/dxf_outline.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../files/library_fixture.h"
#include "editor_fixture.h"
#include "platform/core/context3d.h"
#include "platform/core/file_dialog.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

struct Line {
    double x1, y1, z1, x2, y2, z2;
};

// A text drawing with the given unit code (none: no header variable), lines and one circle.
std::string drawing(std::optional<int> units, const std::vector<Line>& lines) {
    std::ostringstream d;
    if (units) {
        d << "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n" << *units << "\n0\nENDSEC\n";
    }
    d << "0\nSECTION\n2\nENTITIES\n";
    for (const Line& l : lines) {
        d << "0\nLINE\n8\n0\n10\n"
          << l.x1 << "\n20\n"
          << l.y1 << "\n30\n"
          << l.z1 << "\n11\n"
          << l.x2 << "\n21\n"
          << l.y2 << "\n31\n"
          << l.z2 << "\n";
    }
    d << "0\nCIRCLE\n8\n0\n10\n0\n20\n0\n30\n0\n40\n5\n0\nENDSEC\n0\nEOF\n";
    return d.str();
}

struct DxfOutline : ::testing::Test {
    testing::EditorFixture f;
    testing::TempDir dir;
    RecordingFileDialog dialogs;
    TDxfOutline& outline = f.editor->DxfOutline;
    DxfOutline() { SetFileDialogService(&dialogs); }
    ~DxfOutline() override { SetFileDialogService(nullptr); }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir.path / name) << text;
        return (dir.path / name).string();
    }
    void open(const std::optional<std::string>& answer) {
        dialogs.answers.push_back(answer);
        outline.dxfButtonClick();
    }
};

TEST_F(DxfOutline, LinesAreScaledByTheUnitCodeWithHeightAndDepthSwapped) {
    const struct {
        std::optional<int> units;
        Line line;
        TPoint3D end;
    } cases[] = {
        {4, {0, 0, 0, 1000, 0, 0}, {1, 0, 0}},    // millimetres
        {6, {0, 0, 0, 0, 0, 2}, {0, 2, 0}},       // metres: the drawing's height is the scene's Y
        {6, {0, 0, 0, 0, 3, 0}, {0, 0, 3}},       // and its y the scene's Z, not negated
        {1, {0, 0, 0, 100, 0, 0}, {2.54f, 0, 0}}, // inches
        {25, {0, 0, 0, 7, 0, 0}, {7, 0, 0}},      // a code without a unit: as drawn
        {std::nullopt, {0, 0, 0, 7, 0, 0}, {7, 0, 0}},
    };
    for (const auto& c : cases) {
        open(write("d.dxf", drawing(c.units, {c.line})));
        ASSERT_EQ(outline.Lines3DList.size(), 1u);
        EXPECT_EQ(outline.Lines3DList[0].StartPoint, TPoint3D(0, 0, 0));
        EXPECT_NEAR(outline.Lines3DList[0].EndPoint.X, c.end.X, 1e-6);
        EXPECT_NEAR(outline.Lines3DList[0].EndPoint.Y, c.end.Y, 1e-6);
        EXPECT_NEAR(outline.Lines3DList[0].EndPoint.Z, c.end.Z, 1e-6);
    }
}

TEST_F(DxfOutline, OnlyLinesAreDrawnInRedAndAFailedReadKeepsTheOutline) {
    open(write("three.dxf", drawing(6, {{0, 0, 0, 1, 0, 0}, {1, 0, 0, 1, 1, 0}, {1, 1, 0, 0, 0, 0}})));
    ASSERT_EQ(outline.Lines3DList.size(), 3u);
    TContext3D frame;
    f.viewport().BuildFrame(frame);
    int red = 0;
    for (const TDrawCommand& c : frame.Commands()) {
        red += c.Kind == TDrawKind::dkLine && c.Color == 0xFFFF0000 && c.Source == outline.DummyDxf;
    }
    EXPECT_EQ(red, 3);

    // Cancelled, a file that does not exist, a folder in place of a file: the outline stays; only the
    // folder, which exists and cannot be read, is reported.
    open(std::nullopt);
    open((dir.path / "missing.dxf").string());
    fs::create_directories(dir.path / "folder.dxf");
    open((dir.path / "folder.dxf").string());
    EXPECT_EQ(outline.Lines3DList.size(), 3u);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text.rfind("The drawing \"folder.dxf\" cannot be read: ", 0), 0u);

    // A drawing without lines empties it.
    open(write("none.dxf", drawing(6, {})));
    EXPECT_TRUE(outline.Lines3DList.empty());
}

} // namespace
} // namespace vendrel
