#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/qt/map_bar.h"
#include "editor/qt/viewport_panel.h"
#include "platform/core/camera.h"
#include "platform/core/context3d.h"
#include "platform/qt/gl_frame.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

using testing::ProgramWindow;

// The strongest pixel of one channel's dominance near a point: red (0), green (1) or blue (2) minus the
// larger of the other two.
int dominance(const QImage& image, QPointF at, int channel) {
    int best = -255;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p(static_cast<int>(std::lround(at.x())) + dx,
                           static_cast<int>(std::lround(at.y())) + dy);
            if (!image.rect().contains(p)) {
                continue;
            }
            const QColor c = image.pixelColor(p);
            const int v[3] = {c.red(), c.green(), c.blue()};
            best = std::max(best, v[channel] - std::max(v[(channel + 1) % 3], v[(channel + 2) % 3]));
        }
    }
    return best;
}

class ViewWindow : public ProgramWindow {
protected:
    TEditorGLView* gl() const { return main()->ViewportPanel()->GLView(); }
    TEditor& editor() const { return *main()->Editor; }
    QPointF screenOf(TPoint3D p) const {
        TPoint3D s;
        EXPECT_TRUE(editor().Scene.Viewport3D1->Camera()->WorldToScreen(p, gl()->width(), gl()->height(), s));
        return {s.X, s.Y};
    }
    void key(Qt::Key k) {
        QTest::keyClick(main(), k);
        QCoreApplication::processEvents();
    }
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPointF at) {
        QMouseEvent e(type, at, gl()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(gl(), &e);
    }
};

TEST_F(ViewWindow, TopViewShowsTheLengthAxisRedAndTheWidthAxisGreenAndTurnsOnF3Again) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
    key(Qt::Key_F3);
    ASSERT_EQ(editor().Scene.Viewport3D1->Camera(), editor().Scene.CameraTop);
    ASSERT_TRUE(gl()->IsReady());
    const QImage frame = gl()->grabFramebuffer();
    frame.save("/tmp/vendrel_top_view.png");
    EXPECT_GT(dominance(frame, screenOf({20, 0, 0}), 0), 60);
    EXPECT_GT(dominance(frame, screenOf({0, 0, 20}), 1), 60);
    // Nothing vertical in the top view: no blue axis.
    EXPECT_LT(dominance(frame, screenOf({0, 0, -20}), 2), 30);

    // F3 again turns the top view half a turn in its plane; F2 then F3 does not.
    EXPECT_EQ(editor().Scene.CamTopDummy->RotationAngle(), TPoint3D(270, 0, 0));
    key(Qt::Key_F3);
    EXPECT_EQ(editor().Scene.CamTopDummy->RotationAngle(), TPoint3D(270, 0, 180));
    key(Qt::Key_F2);
    EXPECT_EQ(editor().Scene.Viewport3D1->Camera(), editor().Scene.CameraSide);
    key(Qt::Key_F3);
    EXPECT_EQ(editor().Scene.CamTopDummy->RotationAngle(), TPoint3D(270, 0, 180));
}

QToolButton* toolButtonOf(QWidget* window, const QString& text) {
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (b->defaultAction() != nullptr && b->defaultAction()->text() == text) {
            return b;
        }
    }
    return nullptr;
}

// Whether a stay-pressed button shows the pressed colour, read inside its frame.
bool looksPressed(QToolButton* b) {
    const QImage image = b->grab().toImage();
    const QColor c = image.pixelColor(4, image.height() / 2);
    return c.blue() > c.red() + 60;
}

// Of the four view buttons and of the three mouse-mode buttons exactly the current one looks pressed,
// also while the mouse rests on another one.
TEST_F(ViewWindow, OnlyTheCurrentViewAndMouseModeLookPressedWhateverTheMouseIsOn) {
    ASSERT_TRUE(start());
    const QStringList views = {"3D View", "Side View", "Top View", "Front View"};
    const QStringList modes = {"Default Mouse", "Rotate View", "Panning View"};
    for (const QStringList* group : {&views, &modes}) {
        for (const QString& pressed : *group) {
            QToolButton* chosen = toolButtonOf(main(), pressed);
            ASSERT_NE(chosen, nullptr) << pressed.toStdString();
            if (!chosen->isEnabled()) {
                continue; // Rotate View outside the 3D view
            }
            QTest::mouseClick(chosen, Qt::LeftButton);
            for (const QString& hovered : *group) {
                QToolButton* under = toolButtonOf(main(), hovered);
                QTest::mouseMove(under, under->rect().center());
                QCoreApplication::processEvents();
                for (const QString& name : *group) {
                    QToolButton* b = toolButtonOf(main(), name);
                    EXPECT_EQ(looksPressed(b), name == pressed)
                        << name.toStdString() << " with " << pressed.toStdString()
                        << " chosen and the mouse on " << hovered.toStdString();
                    EXPECT_EQ(b->isChecked(), name == pressed) << name.toStdString();
                }
            }
        }
        key(Qt::Key_F1);
    }
}

// The axis numbers of the plan views, as the view draws them: each label's picture drawn by Qt at the
// label's pixel size must cover the same pixels of the framebuffer (whole glyphs, the minus sign
// included), and no label lies on its axis line.
TEST_F(ViewWindow, AxisNumbersAreWholeAndBesideTheirLinesAtEveryZoom) {
    ASSERT_TRUE(start());
    key(Qt::Key_F3);
    TEditor& ed = editor();
    int negatives = 0;
    const auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        // The same view without its labels gives what lies under them.
        for (TDummy* d : {ed.Scene.TextsLengthDummy, ed.Scene.TextsWidthDummy}) {
            d->SetVisible(false);
        }
        const QImage under = gl()->grabFramebuffer();
        for (TDummy* d : {ed.Scene.TextsLengthDummy, ed.Scene.TextsWidthDummy}) {
            d->SetVisible(true);
        }
        const QImage image = gl()->grabFramebuffer();
        const QSize pixels(gl()->width(), gl()->height());
        TContext3D frame;
        ed.Scene.Viewport3D1->BuildFrame(frame);
        const TMatrix3D viewProjection =
            ed.Scene.Viewport3D1->Camera()->ViewProjectionMatrix(pixels.width(), pixels.height());
        const QPointF origin = screenOf({0, 0, 0});
        int compared = 0;
        for (const TDrawCommand& c : frame.Commands()) {
            if (c.Kind != TDrawKind::dkText) {
                continue;
            }
            const bool lengthRow = c.Source != nullptr && c.Source->Parent() == ed.Scene.TextsLengthDummy;
            const bool widthRow = c.Source != nullptr && c.Source->Parent() == ed.Scene.TextsWidthDummy;
            if (!lengthRow && !widthRow) {
                continue;
            }
            const gl::TScreenText place = gl::PlaceScreenText(c, viewProjection, pixels);
            ASSERT_TRUE(place.Facing) << c.Text;
            if (!image.rect().contains(place.Box)) {
                continue;
            }
            // Off the line: the length row's boxes clear the X line's row, the width row's the Z line's
            // column.
            if (lengthRow) {
                EXPECT_FALSE(place.Box.top() <= origin.y() + 1 && place.Box.bottom() >= origin.y() - 1)
                    << c.Text << " lies on the X axis line";
            } else {
                EXPECT_FALSE(place.Box.left() <= origin.x() + 1 && place.Box.right() >= origin.x() - 1)
                    << c.Text << " lies on the Z axis line";
            }
            const QImage picture =
                gl::DrawTextPicture(QString::fromStdString(c.Text), place.PixelSize, c.Color);
            ASSERT_EQ(picture.size(), place.Box.size());
            // Each pixel: the picture laid over what lies under it with the label's opacity.
            int ink = 0, wrong = 0;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    const QPoint at(place.Box.left() + x, place.Box.top() + y);
                    const double a = qAlpha(picture.pixel(x, y)) / 255.0 * c.Opacity;
                    const double base = qGray(under.pixel(at));
                    const double expected = base + (qGray(picture.pixel(x, y)) - base) * a;
                    ink += a > 0.3 ? 1 : 0;
                    wrong += std::abs(qGray(image.pixel(at)) - expected) > 24 ? 1 : 0;
                }
            }
            EXPECT_GT(ink, 4) << c.Text;
            EXPECT_LE(wrong, picture.width() * picture.height() / 50)
                << c.Text << " at " << place.PixelSize << " px";
            negatives += c.Text.front() == '-' ? 1 : 0;
            ++compared;
        }
        EXPECT_GE(compared, 2);
    };
    check("fitted to the venue");
    for (const double zoom : {60.0, 20.0}) {
        ed.Views.ZoomSpinBox.SetValue(-zoom);
        check(zoom == 60 ? "zoom 60" : "zoom 20");
    }
    EXPECT_GT(negatives, 0) << "no negative number was checked";
    // Turned half a turn, the labels still read upright and whole.
    key(Qt::Key_F3);
    ed.Views.ZoomSpinBox.SetValue(-148.8);
    check("turned");
}

// A window of 800 x 550 still shows the level bar's numbers apart and the whole "dB" beside Range.
TEST_F(ViewWindow, ASmallWindowKeepsTheLevelBarReadable) {
    ASSERT_TRUE(start());
    main()->resize(800, 550);
    QTest::qWait(100);
    QCoreApplication::processEvents();
    TMapBarPanel& bar = *main()->MapBar();
    const auto labels = bar.PaletteScale()->Labels();
    ASSERT_GE(labels.size(), 4u);
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(bar.PaletteScale()->rect().contains(labels[i].Box)) << labels[i].Text.toStdString();
        if (i > 0) {
            EXPECT_FALSE(labels[i].Box.intersects(labels[i - 1].Box)) << labels[i].Text.toStdString();
        }
    }
    QLabel* dB = nullptr;
    for (QLabel* l : bar.findChildren<QLabel*>()) {
        if (l->text() == QStringLiteral("dB")) {
            dB = l;
        }
    }
    ASSERT_NE(dB, nullptr);
    const QWidget* viewport = bar.parentWidget(); // the scroll area's viewport
    const QRect shown = QRect(dB->mapTo(viewport, QPoint(0, 0)), dB->size());
    EXPECT_TRUE(viewport->rect().contains(QRect(shown.topLeft(), QSize(shown.width(), 1))))
        << "dB at " << shown.x() << ".." << shown.right() << " of " << viewport->width();
    EXPECT_GE(dB->width(), dB->sizeHint().width());
}

TEST_F(ViewWindow, MiddleDragTurnsTheCameraAndTheWheelZoomsByItsStep) {
    ASSERT_TRUE(start());
    const float before = editor().Scene.Cam3DDummyY->RotationAngle().Y;
    const QPointF from(gl()->width() / 2.0, gl()->height() / 2.0);
    mouse(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, from);
    for (int i = 1; i <= 4; ++i) {
        mouse(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, from + QPointF(25.0 * i, 0));
    }
    mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, from + QPointF(100, 0));
    EXPECT_NEAR(editor().Scene.Cam3DDummyY->RotationAngle().Y - before, 100 * 0.3, 1e-3);

    // The 3D view fitted to the 300 m venue: zoom 148.8, a wheel notch jumps 5.
    const double zoom = editor().State.ZoomOut;
    ASSERT_NEAR(zoom, 148.8, 1e-3);
    QWheelEvent wheel(from, gl()->mapToGlobal(from), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(gl(), &wheel);
    EXPECT_NEAR(zoom - editor().State.ZoomOut, 120 * 5 / (35000.0 / gl()->height()), 1e-6);
    EXPECT_NEAR(main()->ViewportPanel()->ZoomSpinBox()->value(), -editor().State.ZoomOut, 0.05);

    // I is the shortcut of Zoom In: one step, once (the window's own key handling does not run it again).
    ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
    const double beforeKey = editor().State.ZoomOut;
    const double step = main()->ViewportPanel()->ZoomSpinBox()->singleStep();
    key(Qt::Key_I);
    EXPECT_NEAR(beforeKey - editor().State.ZoomOut, step, 1e-4);
    // F, handled by the window's keys, fits the venue.
    key(Qt::Key_F);
    EXPECT_NEAR(editor().State.ZoomOut, 148.8, 1e-3);
}

// Every shown widget of a group at least as large as it needs and clear of its neighbours.
void expectLaidOut(const QWidget* group) {
    const QList<QWidget*> parts = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::vector<const QWidget*> shown;
    for (const QWidget* w : parts) {
        if (w->isVisible()) {
            shown.push_back(w);
        }
    }
    ASSERT_FALSE(shown.empty()) << group->objectName().toStdString();
    for (size_t i = 0; i < shown.size(); ++i) {
        const QWidget* w = shown[i];
        const std::string name = group->objectName().toStdString() + "/" + w->metaObject()->className() +
                                 " " + w->objectName().toStdString();
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << name;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << name;
        EXPECT_TRUE(group->rect().contains(w->geometry())) << name;
        for (size_t k = i + 1; k < shown.size(); ++k) {
            EXPECT_FALSE(w->geometry().intersects(shown[k]->geometry()))
                << name << " overlaps " << shown[k]->metaObject()->className() << " "
                << shown[k]->objectName().toStdString();
        }
    }
}

TEST_F(ViewWindow, TheInsertOffsetsAndStepSelectorsKeepTheirSizeInTheFirstWindow) {
    ASSERT_TRUE(start());
    auto* offsets = main()->findChild<QGroupBox*>(QStringLiteral("InsertOffset"));
    auto* steps = main()->findChild<QGroupBox*>(QStringLiteral("StepResolution"));
    ASSERT_NE(offsets, nullptr);
    ASSERT_NE(steps, nullptr);
    // The 3D view shows the rotations and the mode buttons; the top view adds its length offset.
    for (Qt::Key view : {Qt::Key_F1, Qt::Key_F3}) {
        key(view);
        expectLaidOut(offsets->parentWidget());
        expectLaidOut(offsets);
        expectLaidOut(steps);
    }
    // A step selector is as large as its longest item needs.
    for (const char* name : {"GlobalPosStepsCB", "GlobalRotStepsCB"}) {
        auto* combo = main()->findChild<QComboBox*>(QString::fromLatin1(name));
        ASSERT_NE(combo, nullptr) << name;
        EXPECT_GE(combo->width(), combo->sizeHint().width()) << name;
        EXPECT_GE(combo->height(), combo->sizeHint().height()) << name;
    }
}

} // namespace
} // namespace vendrel
