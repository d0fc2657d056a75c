#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

#include "acoustics/mic_point.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/kinds/mic_kind.h"
#include "editor/qt/detached_window.h"
#include "editor/qt/viewport_panel.h"
#include "panels/mic_panel.h"
#include "platform/core/camera.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

using testing::ProgramWindow;

// The real window in its top view, a few metres a hundred pixels.
class PointsWindow : public ProgramWindow {
protected:
    bool startInTopView() {
        if (!start()) {
            return false;
        }
        QTest::keyClick(main(), Qt::Key_F3);
        editor().Views.ZoomSpinBox.SetValue(-20);
        QCoreApplication::processEvents();
        return true;
    }
    TEditor& editor() const { return *main()->Editor; }
    TAcousticProject& project() const { return *main()->AcousticProject; }
    TEditorGLView* gl() const { return main()->ViewportPanel()->GLView(); }
    QPoint screenOf(const TPoint3D& p) const {
        TPoint3D s;
        editor().Scene.Viewport3D1->Camera()->WorldToScreen(p, gl()->width(), gl()->height(), s);
        return {static_cast<int>(std::lround(s.X)), static_cast<int>(std::lround(s.Y))};
    }
    void moveTo(const QPoint& p, Qt::MouseButtons buttons = Qt::NoButton,
                Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent move(QEvent::MouseMove, p, gl()->mapToGlobal(p), Qt::NoButton, buttons, mods);
        QCoreApplication::sendEvent(gl(), &move);
        QCoreApplication::processEvents();
    }
    void click(const TPoint3D& at) {
        const QPoint p = screenOf(at);
        moveTo(p);
        QTest::mouseClick(gl(), Qt::LeftButton, Qt::NoModifier, p);
        QCoreApplication::processEvents();
    }
    template <typename T> T* child(const char* name) const {
        T* w = main()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TSingleMicFr* rowOf(const TMicPoint& m) const {
        return dynamic_cast<TSingleMicFr*>(PanelOf<IObjectPanel>(m));
    }
    // Places points by clicking on the floor after "Add Measure Point".
    void placePoints(const std::vector<TPoint3D>& At) {
        QTest::mouseClick(child<QToolButton>("AddMicButton"), Qt::LeftButton);
        ASSERT_TRUE(editor().State.InsertInMousePos_Mic);
        for (const TPoint3D& p : At) {
            click(p);
        }
        QTest::keyClick(gl(), Qt::Key_Escape);
        QCoreApplication::processEvents();
    }
};

TEST_F(PointsWindow, ClicksPlaceConesOnThePointsWithNumberedRowsAndRemovalRenumbers) {
    ASSERT_TRUE(startInTopView());
    placePoints({{0, 0, 0}, {3, 0, 1}, {-2, 0, 4}});
    EXPECT_FALSE(editor().State.InsertInMousePos_Mic);
    ASSERT_EQ(project().NMics(), 3);
    const TAlphaColor first = editor().Points.DefaultMicColors[0];
    EXPECT_EQ(project().Mics()[0]->Color(), first);
    for (int i = 0; i < 3; ++i) {
        const TMicPoint& m = *project().Mics()[static_cast<size_t>(i)];
        EXPECT_NEAR(m.Position().Y, 0.0, 1e-4);
        // The cone stands on the point: 0.4 x 0.6 x 0.4 for the marker size 0.5, its centre half its
        // height above the point (the scene's Y points down).
        const TControl3D* cone = m.GraphicalObject;
        ASSERT_NE(cone, nullptr);
        EXPECT_FLOAT_EQ(cone->Width(), 0.4f);
        EXPECT_FLOAT_EQ(cone->Height(), 0.6f);
        EXPECT_FLOAT_EQ(cone->Depth(), 0.4f);
        EXPECT_NEAR(cone->Position().Y, m.Position().Y - 0.3f, 1e-5);
        EXPECT_NEAR(cone->Position().X, m.Position().X, 1e-5);
        TSingleMicFr* row = rowOf(m);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->ColorRect->text(), QString::number(i + 1));
        EXPECT_NE(m.MagSerie(), nullptr);
    }
    EXPECT_NEAR(project().Mics()[1]->Position().X, 3.0, 0.02);
    EXPECT_NEAR(project().Mics()[1]->Position().Z, 1.0, 0.02);
    EXPECT_EQ(rowOf(*project().Mics()[1])->MicXBox->text(),
              QString::number(project().Mics()[1]->Position().X, 'f', 3));

    // The second row ticked and removed after the question: the third is now number 2.
    main()->MainTabControl()->setCurrentIndex(static_cast<int>(TMainPage::FreqRespTabItem));
    QCoreApplication::processEvents();
    TMicPoint* second = project().Mics()[1].get();
    const TObject* removedSeries = second->MagSerie();
    TMicPoint* third = project().Mics()[2].get();
    QTest::mouseClick(rowOf(*second)->SelCheckBox, Qt::LeftButton);
    boxes.answers = {TModalResult::mrYes};
    QTest::mouseClick(child<QToolButton>("RemoveB"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(project().NMics(), 2);
    EXPECT_EQ(project().Mics()[1].get(), third);
    EXPECT_EQ(third->IDnumber(), 1);
    EXPECT_EQ(rowOf(*third)->ColorRect->text(), QStringLiteral("2"));
    EXPECT_FALSE(editor().Points.Chart.Holds(removedSeries));
    EXPECT_EQ(editor().Points.Chart.Series().size(), 4u);
}

TEST_F(PointsWindow, AShiftDragInTheTopViewMovesALockedPointAndItsRowFollows) {
    ASSERT_TRUE(startInTopView());
    placePoints({{1, 0, 1}});
    ASSERT_EQ(project().NMics(), 1);
    TMicPoint& mic = *project().Mics()[0];
    mic.SetIsLocked(true);
    const TPoint3D start = mic.Position();
    // Press on the cone's middle, drag with Shift, release.
    const QPoint from = screenOf(mic.GraphicalObject->Position());
    moveTo(from);
    QTest::mousePress(gl(), Qt::LeftButton, Qt::ShiftModifier, from);
    QCoreApplication::processEvents();
    EXPECT_TRUE(mic.IsObjectSelected());
    // The press centred the camera on the point: the target is taken in the view as it is now.
    const QPoint to = screenOf(start + TPoint3D(2, 0, 1.5f));
    for (int k = 1; k <= 4; ++k) {
        moveTo(from + (to - from) * k / 4, Qt::LeftButton, Qt::ShiftModifier);
    }
    QTest::mouseRelease(gl(), Qt::LeftButton, Qt::ShiftModifier, to);
    QCoreApplication::processEvents();
    EXPECT_NEAR(mic.Position().X, start.X + 2, 0.05);
    EXPECT_NEAR(mic.Position().Z, start.Z + 1.5, 0.05);
    EXPECT_NEAR(mic.Position().Y, start.Y, 1e-4);
    TSingleMicFr* row = rowOf(mic);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->MicXBox->text(), QString::number(mic.Position().X, 'f', 3));
    EXPECT_EQ(row->MicZBox->text(), QString::number(mic.Position().Z, 'f', 3));
    // The cone still stands on the point (the point rounded to the row's millimetres).
    EXPECT_NEAR(mic.GraphicalObject->Position().X, mic.Position().X, 1e-3);
    EXPECT_NEAR(mic.GraphicalObject->Position().Y, mic.Position().Y - 0.3f, 1e-4);
}

TEST_F(PointsWindow, ABadHeightRestoresItsValueAndTheDetachedPanelReturnsToItsTab) {
    ASSERT_TRUE(startInTopView());
    placePoints({{0, 0, 0}});
    TMicPoint& mic = *project().Mics()[0];
    mic.SetPosition({0, -3, 0});
    editor().Objects.RefreshPanel(mic);
    TSingleMicFr* row = rowOf(mic);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->MicYBox->text(), QStringLiteral("3.000"));
    row->MicYBox->setFocus();
    row->MicYBox->selectAll();
    QTest::keyClicks(row->MicYBox, QStringLiteral("abc"));
    QTest::keyClick(row->MicYBox, Qt::Key_Return);
    EXPECT_EQ(row->MicYBox->text(), QStringLiteral("3.000"));
    EXPECT_FLOAT_EQ(mic.Position().Y, -3.0f);

    QTabWidget* tabs = main()->MainTabControl();
    const int tab = static_cast<int>(TMainPage::FreqRespTabItem);
    QToolButton* expand = main()
                              ->findChild<QWidget*>(QStringLiteral("MicResponseFrame"))
                              ->findChild<QToolButton*>(QStringLiteral("ExpandPath"));
    ASSERT_NE(expand, nullptr);
    QTest::mouseClick(expand, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(tabs->isTabVisible(tab));
    EXPECT_TRUE(editor().Points.ResponseDetached);
    QWidget* window = main()->ResponseWindow();
    ASSERT_TRUE(window->isVisible());
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(tabs->isTabVisible(tab));
    EXPECT_EQ(tabs->currentIndex(), tab);
    EXPECT_FALSE(editor().Points.ResponseDetached);
    EXPECT_TRUE(main()->findChild<QWidget*>(QStringLiteral("MicResponseFrame"))->isVisibleTo(tabs));
}

} // namespace
} // namespace vendrel
