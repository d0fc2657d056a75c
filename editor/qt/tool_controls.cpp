#include "editor/qt/tool_controls.h"

#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"
#include "files/library_scan.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace vendrel {

namespace {

QRadioButton* modeButton(QWidget* parent, TUIAction& action, const char* name) {
    auto* b = new QRadioButton(QString::fromStdString(action.Caption()), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromStdString(action.Hint));
    b->setAutoExclusive(false);
    QPointer<QRadioButton> w(b);
    action.OnMirror = [w, &action] {
        if (w) {
            const QSignalBlocker block(w);
            w->setChecked(action.Checked());
        }
    };
    action.OnMirror();
    QObject::connect(b, &QRadioButton::clicked, b, [&action] {
        action.Execute();
        action.OnMirror();
    });
    return b;
}

} // namespace

void AddInsertRotationOffsets(TEditor& Editor, QFormLayout* Form, QWidget* Parent) {
    TAddObjects& add = Editor.Adding;
    const auto spin = [&](TUIRange& range, const char* name, const char* hint) {
        auto* s = new QDoubleSpinBox(Parent);
        s->setObjectName(QString::fromLatin1(name));
        s->setToolTip(QString::fromLatin1(hint));
        BindRange(s, range, 0);
        return s;
    };
    Form->addRow(QStringLiteral("Rot Z"), spin(add.RotZNB, "RotZNB", "Cabinet Rotation. Z axis"));
    Form->addRow(QStringLiteral("Rot Y"), spin(add.RotYNB, "RotYNB", "Cabinet Rotation. Y axis"));
    Form->addRow(modeButton(Parent, add.AbsOffRB, "AbsOffRB"));
    Form->addRow(modeButton(Parent, add.AcumOffRB, "AcumOffRB"));
}

void BindStepSelector(QComboBox* Widget, TUIRange& Index) {
    Widget->setFocusPolicy(Qt::NoFocus);
    QPointer<QComboBox> w(Widget);
    Index.OnMirror = [w, &Index] {
        if (w) {
            const QSignalBlocker block(w);
            w->setCurrentIndex(static_cast<int>(Index.Value()));
        }
    };
    Index.OnMirror();
    QObject::connect(Widget, &QComboBox::activated, Widget, [&Index](int i) { Index.SetValue(i); });
}

void FillModelMenu(QMenu* Menu, const std::vector<TModelMenuItem>& Items,
                   const std::function<void(int)>& OnModel) {
    for (const TModelMenuItem& item : Items) {
        const QString caption = QString::fromStdString(item.Caption);
        if (!item.Items.empty()) {
            FillModelMenu(Menu->addMenu(caption), item.Items, OnModel);
        } else if (item.Tag >= 0) {
            QAction* a = Menu->addAction(caption);
            a->setObjectName(QString::fromStdString(item.Name));
            const int tag = item.Tag;
            QObject::connect(a, &QAction::triggered, Menu, [OnModel, tag] { OnModel(tag); });
        }
    }
}

void BindPages(QTabWidget* Widget, TUIRange& Page) {
    QPointer<QTabWidget> w(Widget);
    Page.OnMirror = [w, &Page] {
        if (w) {
            const QSignalBlocker block(w);
            w->setCurrentIndex(static_cast<int>(Page.Value()));
        }
    };
    QObject::connect(Widget, &QTabWidget::currentChanged, Widget, [&Page](int i) { Page.SetValue(i); });
}

} // namespace vendrel
