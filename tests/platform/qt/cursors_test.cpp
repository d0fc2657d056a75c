#include "platform/qt/cursors.h"

#include "tests/platform/qt/qt_app.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace vendrel {
namespace {

class QtCursors : public ::testing::Test {
protected:
    void SetUp() override { testing::EnsureQApplication(); }
    void TearDown() override {
        RegisterCursorService(nullptr);
        RegisterMouseService(nullptr);
        while (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
};

TEST_F(QtCursors, StandardNumbersBecomeTheOverrideCursor) {
    InstallQtCursorServices();
    {
        const auto busy = TSmartCursor::HourGlass();
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor); // released: unchanged
    TSmartCursor::Forbidden();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
    TSmartCursor::Default();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtCursors, OwnNumbersShowTheProgramsPictures) {
    InstallQtCursorServices();
    CursorService()->SetCursor(2);
    EXPECT_EQ(CursorService()->GetCursor(), 2);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    CursorService()->SetCursor(6); // passed on to the platform service: not a picture
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
}

TEST_F(QtCursors, PicturesHaveEverySizeAlphaAndTheirHotSpots) {
    const QPoint hot[5] = {{0, 0}, {0, 0}, {17, 16}, {16, 16}, {0, 0}};
    for (int n = 1; n <= 5; ++n) {
        const int id = 32799 + n;
        EXPECT_EQ(OwnCursorHotSpot(id), hot[n - 1]) << n;
        for (const int size : {128, 96, 64, 48, 32}) {
            const QPixmap pix = OwnCursorPicture(id, size);
            ASSERT_FALSE(pix.isNull()) << n << " at " << size;
            EXPECT_EQ(pix.size(), QSize(size, size));
            const QImage img = pix.toImage();
            EXPECT_TRUE(img.hasAlphaChannel());
            EXPECT_EQ(qAlpha(img.pixel(size - 1, 0)), 0) << "top-right corner is transparent";
        }
        const QCursor c = OwnCursor(id);
        EXPECT_EQ(c.hotSpot(), hot[n - 1]);
    }
    EXPECT_TRUE(OwnCursorPicture(32805, 32).isNull());
    EXPECT_TRUE(OwnCursorPicture(32800, 40).isNull());
}

} // namespace
} // namespace vendrel
