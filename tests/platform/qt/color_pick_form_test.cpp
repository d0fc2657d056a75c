#include "platform/qt/color_pick_form.h"

#include "qt_app.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace vendrel {
namespace {

// Hue from the bar, saturation and brightness from the quad; the mouse's release on the quad or the
// "Set Color" button closes the picker with OK, and the colour's alpha is kept.
TEST(ColorPickForm, TheQuadAndTheHueBarMakeTheColourAndCloseWithOK) {
    testing::EnsureQApplication();
    TColorPickForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Select Color"));
    EXPECT_EQ(form.size(), QSize(366, 325));
    form.SetColorPicked(0x80FFFFFF);
    form.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QWidget* quad = form.ColorQuad();
    QWidget* hue = form.HuePicker();

    QTest::mouseClick(hue, Qt::LeftButton, {}, QPoint(hue->width() / 2, (hue->height() - 1) / 2));
    EXPECT_EQ(form.result(), QDialog::Rejected); // the bar alone closes nothing
    QTest::mousePress(quad, Qt::LeftButton, {}, QPoint(quad->width() - 1, 0));
    EXPECT_EQ(form.ColorPicked(), 0x8000FFFFu); // full saturation and brightness at hue 1/2: cyan
    QTest::mouseMove(quad, QPoint(0, quad->height() - 1));
    QTest::mouseRelease(quad, Qt::LeftButton, {}, QPoint(0, quad->height() - 1));
    EXPECT_EQ(form.ColorPicked(), 0x80000000u); // no brightness: black
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());

    form.SetColorPicked(0xFF336699);
    EXPECT_EQ(form.ColorPicked(), 0xFF336699u);
    form.open();
    form.setResult(QDialog::Rejected);
    QTest::mouseClick(form.SetColorButton(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.ColorPicked(), 0xFF336699u); // unchanged until the quad moves
}

} // namespace
} // namespace vendrel
