#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "editor/array_drawing.h"
#include "editor/editor.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/qt/viewport_panel.h"
#include "panels/array_wizard_dialog.h"
#include "panels/line_array_panel.h"
#include "platform/core/camera.h"
#include "window_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::ProgramWindow;

// The real window with the sample library's second line-array series: the 60 kg WA8 flown from the
// WA-Frame, at most 8 of it.
class LineArrayWindow : public ProgramWindow {
protected:
    bool startWithSeries() {
        const fs::path sample =
            fs::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
        for (const char* kind : {"Cabinets", "Riggings"}) {
            fs::create_directories(appData() / kind);
            for (const auto& e : fs::directory_iterator(sample / kind)) {
                if (e.path().filename().string().rfind("W", 0) == 0) {
                    fs::copy_file(e.path(), appData() / kind / e.path().filename());
                }
            }
        }
        if (!start()) {
            return false;
        }
        // The side view, zoomed to a few metres a hundred pixels: the array's cabinets stand apart.
        QTest::keyClick(main(), Qt::Key_F2);
        editor().Views.ZoomSpinBox.SetValue(-20);
        QCoreApplication::processEvents();
        return true;
    }
    TEditor& editor() const { return *main()->Editor; }
    TAcousticProject& project() const { return *main()->AcousticProject; }
    TEditorGLView* gl() const { return main()->ViewportPanel()->GLView(); }
    TLineArrayKind& kind() const { return *editor().Kinds.Get<TLineArrayKind>(); }
    QPoint screenOf(const TPoint3D& p) const {
        TPoint3D s;
        editor().Scene.Viewport3D1->Camera()->WorldToScreen(p, gl()->width(), gl()->height(), s);
        return {static_cast<int>(std::lround(s.X)), static_cast<int>(std::lround(s.Y))};
    }
    void moveTo(const QPoint& p, Qt::MouseButtons buttons = Qt::NoButton,
                Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent move(QEvent::MouseMove, p, gl()->mapToGlobal(p), Qt::NoButton, buttons, mods);
        QCoreApplication::sendEvent(gl(), &move);
    }
    void click(const TPoint3D& at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPoint p = screenOf(at);
        moveTo(p);
        QTest::mouseClick(gl(), Qt::LeftButton, mods, p);
        QCoreApplication::processEvents();
    }
    template <typename T> T* child(QObject* in, const char* name) const {
        T* w = in->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::vector<TObject*> selection() const { return editor().State.SelectedObjList.Raw(); }
    // The middle of a cabinet in the scene.
    static TPoint3D middleOf(const TCabinet& c) {
        const TControl3D* f =
            c.DummySource() != nullptr ? static_cast<const TControl3D*>(c.DummySource()) : &c;
        return f->LocalToAbsolute3D({0, 0, 0});
    }

    // "Add Line Array" with the wizard driven as a user does: flown, the "Wide Array" series, Quantity
    // of the WA8, no other model.
    TCabArray* addWithWizard(int Quantity) {
        bool driven = false;
        QTimer::singleShot(0, main(), [&] {
            auto* dialog = main()->findChild<TArrayWizardDialog*>(QStringLiteral("WizardArrayForm"));
            ASSERT_NE(dialog, nullptr);
            // A step that fails closes the wizard, so the test ends instead of waiting on it.
            struct Closer {
                TArrayWizardDialog* d;
                bool& done;
                ~Closer() {
                    if (!done) {
                        d->reject();
                    }
                }
            } closer{dialog, driven};
            dialog->FlownButton()->click();
            const int series = dialog->SeriesComboBox()->findText(QStringLiteral("Wide Array"));
            ASSERT_GE(series, 0);
            dialog->SeriesComboBox()->setCurrentIndex(series);
            dialog->NextB0()->click();
            dialog->QuantityBox()->setValue(Quantity);
            emit dialog->QuantityBox()->editingFinished();
            QListWidget* list = dialog->ArrayListView();
            QListWidgetItem* item = nullptr;
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->text().startsWith(QStringLiteral("WA8")) &&
                    !list->item(i)->text().startsWith(QStringLiteral("WA8S"))) {
                    item = list->item(i);
                }
            }
            ASSERT_NE(item, nullptr);
            emit list->itemClicked(item);
            dialog->NextB1()->click();
            ASSERT_EQ(dialog->Pages()->currentIndex(), 2);
            driven = true;
            dialog->NoButton()->click();
        });
        QTest::mouseClick(child<QToolButton>(main(), "NewArrayB"), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_TRUE(driven);
        return project().CabArrays().empty() ? nullptr : project().CabArrays().back().get();
    }
    static TLineArrayConfigFr* panelOf(const TCabArray& a) { return PanelOf<TLineArrayConfigFr>(a); }
    static void chooseSplay(TCabArrayFr& row, const QString& angle) {
        const int index = row.RotCabComboB->findText(angle);
        ASSERT_GE(index, 0) << angle.toStdString();
        row.RotCabComboB->setCurrentIndex(index);
        emit row.RotCabComboB->activated(index);
        QCoreApplication::processEvents();
    }
    // Every drawn element stands where the array places its element.
    static void expectDrawnAsPlaced(const TCabArray& a) {
        const TControl3D* container = a.GraphicalObject;
        ASSERT_NE(container, nullptr);
        int drawn = 0;
        for (int i = 0; i < container->ChildrenCount(); ++i) {
            const auto* m = dynamic_cast<const TArrayElementModel3D*>(container->Children(i));
            if (m == nullptr || m->MeshCount() == 0) {
                continue;
            }
            ++drawn;
            // A corner off the element's origin shows its turn as well as its place.
            const TPoint3D corner(0.3f, -0.2f, 0.1f);
            const TPoint3D at = corner * m->DrawMatrix();
            const TPoint3D want = corner * m->Followed().AbsoluteMatrix();
            EXPECT_NEAR(at.X, want.X, 1e-5);
            EXPECT_NEAR(at.Y, want.Y, 1e-5);
            EXPECT_NEAR(at.Z, want.Z, 1e-5);
        }
        EXPECT_EQ(drawn, a.NObjects());
    }
};

TEST_F(LineArrayWindow, TheWizardInsertsAnArrayWithItsTabPanelRowsAndDrawingThatFollowASplay) {
    ASSERT_TRUE(startWithSeries());
    EXPECT_FALSE(kind().ArrayAutoSplayAction.Enabled());
    TCabArray* a = addWithWizard(6);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->NCabinets(), 6);
    EXPECT_TRUE(kind().ArrayAutoSplayAction.Enabled());
    EXPECT_EQ(selection(), std::vector<TObject*>{a});
    EXPECT_FLOAT_EQ(a->Position().X, 1.0f);

    // Its tab, panel and one row per cabinet, in array order.
    TUITabs& tabs = editor().PanelSwitching.LineArrayTabControl;
    ASSERT_EQ(tabs.Count(), 1);
    EXPECT_EQ(tabs.Items(0).Text, "Array 1");
    TLineArrayConfigFr* panel = panelOf(*a);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->CabinetRows().size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(panel->CabinetRows()[i]->AsignedCabinet, a->CabinetList()[i]);
        EXPECT_EQ(panel->CabinetRows()[i]->NCabLabel->text(), QString::number(i + 1));
    }
    EXPECT_EQ(panel->ArraySelX->text(), QStringLiteral("1.000"));
    EXPECT_TRUE(panel->WarningLabel->text().isEmpty());
    expectDrawnAsPlaced(*a);

    // A splay chosen in row 2 turns the cabinets below it, not those above.
    std::vector<TPoint3D> before;
    for (TCabinet* c : a->CabinetList()) {
        before.push_back(middleOf(*c));
    }
    chooseSplay(*panel->CabinetRows()[1], QStringLiteral("5"));
    EXPECT_FLOAT_EQ(a->CabinetList()[1]->RotationAngle().Z, 5.0f);
    for (size_t i = 0; i < 6; ++i) {
        const TPoint3D now = middleOf(*a->CabinetList()[i]);
        const double moved = std::hypot(now.X - before[i].X, now.Y - before[i].Y, now.Z - before[i].Z);
        if (i < 1) {
            EXPECT_LT(moved, 1e-5) << i;
        } else if (i >= 2) {
            EXPECT_GT(moved, 1e-3) << i;
        }
    }
    expectDrawnAsPlaced(*a);
    // The row shows the choice and the absolute angle again after a refill.
    panel->UpdateValues();
    EXPECT_EQ(panel->CabinetRows()[1]->RotCabComboB->currentText(), QStringLiteral("5"));
    EXPECT_FLOAT_EQ(a->CabinetList()[1]->RotationAngle().Z, 5.0f);

    // One more cabinet, then the last one taken away again: rows and drawing follow.
    QTest::mouseClick(panel->EditArrayCabB, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(a->NCabinets(), 7);
    EXPECT_EQ(panel->CabinetRows().size(), 7u);
    expectDrawnAsPlaced(*a);
    QTest::mouseClick(panel->RemoveArrayCabB, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(a->NCabinets(), 6);
    EXPECT_EQ(panel->CabinetRows().size(), 6u);
    expectDrawnAsPlaced(*a);
}

TEST_F(LineArrayWindow, AClickOnAnElementSelectsTheArrayAndShiftDragMovesIt) {
    ASSERT_TRUE(startWithSeries());
    TCabArray* a = addWithWizard(4);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->NCabinets(), 4);
    const TPoint3D far(a->Position().X + 12, a->Position().Y, a->Position().Z);
    click(far);
    EXPECT_TRUE(selection().empty());
    EXPECT_FALSE(a->IsObjectSelected());

    const TPoint3D third = middleOf(*a->CabinetList()[2]);
    click(third);
    EXPECT_EQ(selection(), std::vector<TObject*>{a});
    EXPECT_EQ(kind().ArrayInEdition(), a);
    EXPECT_TRUE(panelOf(*a)->isVisible());
    click(third, Qt::ControlModifier);
    EXPECT_TRUE(selection().empty());
    click(third);
    ASSERT_EQ(selection(), std::vector<TObject*>{a});

    // Shift-drag: the first move brings the array's rotation point under the mouse, a move of one metre
    // along X carries it that far, and the release writes the place into the array and its position fields.
    const QPoint from = screenOf(third);
    const QPoint to = screenOf({third.X + 1.0f, third.Y, third.Z});
    moveTo(from);
    QTest::mousePress(gl(), Qt::LeftButton, Qt::ShiftModifier, from);
    moveTo(from, Qt::LeftButton, Qt::ShiftModifier);
    const TPoint3D pressed = a->GraphicalObject->Position();
    moveTo(to, Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseRelease(gl(), Qt::LeftButton, Qt::ShiftModifier, to);
    QCoreApplication::processEvents();
    EXPECT_NEAR(a->Position().X - pressed.X, 1.0, 0.05);
    EXPECT_NEAR(a->Position().Y, pressed.Y, 0.05);
    EXPECT_NEAR(a->Position().Z, pressed.Z, 0.05);
    EXPECT_EQ(panelOf(*a)->ArraySelX->text(), QString::number(static_cast<double>(a->Position().X), 'f', 3));
    expectDrawnAsPlaced(*a);

    // The panel's remove button asks, then takes array, tab and panel away.
    QTest::mouseClick(panelOf(*a)->RemoveButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, "Remove Line Array 1?");
    EXPECT_TRUE(project().CabArrays().empty());
    EXPECT_EQ(editor().PanelSwitching.LineArrayTabControl.Count(), 0);
    EXPECT_FALSE(kind().ArrayAutoSplayAction.Enabled());
}

} // namespace
} // namespace vendrel
