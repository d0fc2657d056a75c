#include "editor/picture_reference.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

// A 1000 x 500 picture shown at half size (500 x 250 display units); its last column is red.
struct Reference : ::testing::Test {
    TPictureReference dlg;
    Reference() {
        TBitmap picture(1000, 500, TAlphaColors::White);
        for (int y = 0; y < 500; ++y) {
            picture.SetPixel(999, y, TAlphaColors::Red);
        }
        dlg.SetPicture(std::move(picture));
        dlg.FormActivate(500, 250);
    }
    void place(float x1, float y1, float x2, float y2, bool shift = false) {
        dlg.SetABPointsBClick();
        dlg.MouseMove(x1, y1, shift);
        dlg.MouseDown(x1, y1, shift);
        dlg.MouseUp(x1, y1, shift);
        dlg.MouseMove(x2, y2, shift);
        dlg.MouseDown(x2, y2, shift);
        dlg.MouseUp(x2, y2, shift);
    }
};

TEST_F(Reference, TwoPointsAndTheirLengthGiveTheScale) {
    EXPECT_DOUBLE_EQ(dlg.XRatio, 0.5);
    place(0, 0, 500, 0);
    EXPECT_EQ(dlg.Beginpoint, (TPointF{0, 0}));
    EXPECT_EQ(dlg.Endpoint, (TPointF{1000, 0}));
    EXPECT_DOUBLE_EQ(dlg.Distpx, 1000);
    EXPECT_TRUE(dlg.NeedUpdateSize);
    EXPECT_FALSE(dlg.IsSettingBeginpoint || dlg.IsSettingEndpoint);
    dlg.LengthExit("10");
    EXPECT_EQ(dlg.ABLengthText, "10.00");
    EXPECT_DOUBLE_EQ(dlg.MetersPerPixel, 0.01);
    // Leaving the field with the length it shows keeps the scale.
    dlg.MetersPerPixel = 0.0100001;
    dlg.LengthExit("10.00");
    EXPECT_DOUBLE_EQ(dlg.MetersPerPixel, 0.0100001);
    EXPECT_EQ(dlg.LabelText(), "10.00 m");
    // The label spans the points widened by 100 pixels each side and 50 below, in display units.
    EXPECT_EQ(dlg.LabelRect(), (TRectF{-50, 0, 550, 25}));
}

TEST_F(Reference, PointsInOnePlaceGiveNoScale) {
    place(100, 100, 100, 100);
    EXPECT_DOUBLE_EQ(dlg.Distpx, 0);
    EXPECT_DOUBLE_EQ(dlg.MetersPerPixel, 0);
    dlg.LengthExit("5");
    EXPECT_DOUBLE_EQ(dlg.MetersPerPixel, 0);
}

TEST_F(Reference, ShiftSnapsTheSecondPointLevelUpTo45DegreesAndPlumbAbove) {
    const struct {
        float x, y;     // the second point in display units, the first at (100, 100)
        TPointF result; // picture pixels
    } cases[] = {
        {200, 100 - 57.735f, {400, 200}}, // 30 degrees: level with the first point
        {200, 0, {400, 200}},             // 45 degrees exactly: still level
        {150, 0, {200, 0}},               // 63 degrees: plumb
    };
    for (const auto& c : cases) {
        place(100, 100, c.x, c.y, true);
        EXPECT_EQ(dlg.Endpoint, c.result) << c.x << " " << c.y;
    }
    // Without Shift the point lands where it was clicked.
    place(100, 100, 200, 0, false);
    EXPECT_EQ(dlg.Endpoint, (TPointF{400, 0}));
}

TEST_F(Reference, DraggingAPointMovesItWithoutComposingThePictureAgain) {
    place(0, 0, 250, 0);
    const int previews = dlg.PreviewCount();
    dlg.MouseDown(250, 0, false); // on the second point's rectangle
    EXPECT_TRUE(dlg.MovingEndPoint);
    for (int x = 251; x <= 300; ++x) {
        dlg.MouseMove(x, 0, false);
    }
    EXPECT_EQ(dlg.Cursor, crHandPoint);
    dlg.MouseUp(300, 0, false);
    EXPECT_FALSE(dlg.MovingEndPoint);
    EXPECT_EQ(dlg.Endpoint, (TPointF{600, 0}));
    EXPECT_DOUBLE_EQ(dlg.Distpx, 600);
    EXPECT_EQ(dlg.PreviewCount(), previews);
}

TEST_F(Reference, APickedColourGoesTransparentAndClearBringsItBack) {
    // A click on the right edge of the display reads the last column, not one past it.
    dlg.SetColorClick();
    dlg.MouseDown(500, 125, false);
    EXPECT_EQ(dlg.ColorPicked, TAlphaColors::Red);
    EXPECT_FALSE(dlg.IsSettingTransparent);
    EXPECT_EQ(dlg.Shown().Pixel(999, 0), TAlphaColors::Null);
    EXPECT_EQ(dlg.Shown().Pixel(0, 0), TAlphaColors::White);
    dlg.ClearClick();
    EXPECT_TRUE(dlg.ClearTransparency);
    EXPECT_FALSE(dlg.ColorBoxVisible);
    EXPECT_EQ(dlg.Shown(), dlg.Picture());
    dlg.ToleranceChanged(50);
    EXPECT_FALSE(dlg.ClearTransparency);
    EXPECT_EQ(dlg.Shown().Pixel(999, 0), TAlphaColors::Null);
}

} // namespace
} // namespace vendrel
