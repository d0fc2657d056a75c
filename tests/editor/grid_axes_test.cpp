#include "editor/grid_axes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor_fixture.h"
#include "platform/core/context3d.h"

namespace vendrel {
namespace {

using testing::EditorFixture;

std::set<std::string> shownTexts(const std::vector<TText3D*>& row) {
    std::set<std::string> texts;
    for (size_t i = 1; i < row.size(); ++i) {
        if (row[i]->Visible()) {
            texts.insert(row[i]->Text());
        }
    }
    return texts;
}

TEST(GridAxes, LengthRowRunsBothWaysFromTheOrigin) {
    EditorFixture f; // 300 m
    const auto& row = f.grid().TextVenueLengths;
    ASSERT_EQ(row.size(), 31u);
    EXPECT_EQ(row[1]->Text(), "10");
    EXPECT_EQ(row[15]->Text(), "150");
    EXPECT_EQ(row[16]->Text(), "-10");
    EXPECT_EQ(row[30]->Text(), "-150");
    EXPECT_EQ(row[16]->Position().X, -10);
    EXPECT_EQ(f.grid().TextVenueHeights.size(), 6u);
    EXPECT_EQ(f.grid().TextVenueWidths.size(), 16u);
}

TEST(GridAxes, FarZoomShowsLabelsByValueEveryFiftyMetres) {
    struct Case {
        int length;
        std::set<std::string> shown;
    };
    const Case cases[] = {
        {280, {"50", "100", "-50", "-100"}},
        {300, {"50", "100", "150", "-50", "-100", "-150"}},
    };
    for (const Case& c : cases) {
        EditorFixture f(c.length);
        f.views().ZoomSpinBox.SetValue(-200);
        ASSERT_EQ(f.grid().TxtGridSpaceMeters(), 50);
        EXPECT_EQ(shownTexts(f.grid().TextVenueLengths), c.shown) << c.length;
        EXPECT_TRUE(f.grid().TextVenueLengths[0]->Visible());
        // Zooming in shows every label again.
        f.views().ZoomSpinBox.SetValue(-100);
        EXPECT_EQ(f.grid().TxtGridSpaceMeters(), 10);
        EXPECT_EQ(shownTexts(f.grid().TextVenueLengths).size(), f.grid().TextVenueLengths.size() - 1);
    }
}

TEST(GridAxes, LabelAndRulerSizesFollowTheZoom) {
    EditorFixture f;
    struct Case {
        double zoom;
        float scale;
        double ruler;
    };
    for (const Case& c : {Case{5, 2.0f, 0.025}, Case{200, 20.0f, 1.0}}) {
        f.views().ZoomSpinBox.SetValue(-c.zoom);
        EXPECT_NEAR(f.grid().TextVenueLengths[3]->Scale().X, c.scale, 1e-4) << c.zoom;
        EXPECT_NEAR(f.state().RulerWidth, c.ruler, 1e-6) << c.zoom;
    }
}

TEST(GridAxes, SameVenueLengthTwiceRebuildsNothingAndKeepsTheCameras) {
    EditorFixture f;
    const TText3D* first = f.grid().TextVenueLengths[1];
    f.views().ZoomSpinBox.SetValue(-30);
    f.grid().RecalculateVenueLength(300);
    EXPECT_EQ(f.grid().TextVenueLengths[1], first);
    EXPECT_NEAR(f.state().ZoomOut, 30, 1e-4);
    // A new length rebuilds the row and fits the cameras.
    f.grid().RecalculateVenueLength(100);
    EXPECT_EQ(f.grid().TextVenueLengths.size(), 11u);
    EXPECT_NEAR(f.state().ZoomOut, 49.6, 1e-4);
}

TEST(GridAxes, ImperialLabelsShowFeet) {
    EditorFixture f;
    f.state().Units.LengthUnits = 3.2808398950131235;
    f.grid().DrawVenueLength();
    EXPECT_EQ(f.grid().TextVenueLengths[1]->Text(), "33");
    EXPECT_EQ(f.grid().TextVenueLengths[16]->Text(), "-33");
}

TEST(GridAxes, AxisLinesSkipTheAxisAlongTheView) {
    EditorFixture f;
    struct Case {
        TUIAction* view;
        bool x, y, z;
    };
    TViewsCameras& v = f.views();
    const Case cases[] = {{&v.ThreeDviewAction, true, true, true},
                          {&v.SideViewAction, true, true, false},
                          {&v.TopViewAction, true, false, true},
                          {&v.FrontViewAction, false, true, true}};
    for (const Case& c : cases) {
        c.view->Execute();
        TContext3D context;
        f.grid().LayoutAxis3DRender(nullptr, context);
        std::set<TAlphaColor> colors;
        for (const TDrawCommand& cmd : context.Commands()) {
            colors.insert(cmd.Color);
        }
        EXPECT_EQ(colors.count(0xFFFF0000), c.x ? 1u : 0u);
        EXPECT_EQ(colors.count(0xFF0000FF), c.y ? 1u : 0u);
        EXPECT_EQ(colors.count(0xFF00FF00), c.z ? 1u : 0u);
    }
}

TEST(GridAxes, HiddenAxisNumbersKeepTheLabelsAndHideTheRows) {
    EditorFixture f;
    f.views().ZoomSpinBox.SetValue(-200);
    const auto before = shownTexts(f.grid().TextVenueLengths);
    f.grid().ShowAxisNumbersItem.Click();
    EXPECT_FALSE(f.scene().TextsLengthDummy->Visible());
    f.views().ZoomSpinBox.SetValue(-100);
    EXPECT_EQ(shownTexts(f.grid().TextVenueLengths), before);
    // Without the floor option the grids stay, nearly transparent.
    f.grid().ShowFloorItem.Click();
    EXPECT_FLOAT_EQ(f.scene().Grid3DHoriz->Opacity(), 0.01f);
}

} // namespace
} // namespace vendrel
