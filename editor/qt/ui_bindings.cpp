#include "editor/qt/ui_bindings.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalBlocker>

#include <cmath>
#include <vector>

namespace vendrel {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void BindAction(QAction* Widget, TUIAction& Action) {
    QPointer<QAction> w(Widget);
    const auto mirror = [w, &Action] {
        if (!w) {
            return;
        }
        const QSignalBlocker block(w);
        w->setText(qs(Action.Caption()));
        w->setCheckable(Action.Checkable);
        w->setChecked(Action.Checked());
        w->setEnabled(Action.Enabled());
        w->setVisible(Action.Visible());
        w->setToolTip(qs(Action.Hint.empty() ? Action.Caption() : Action.Hint));
    };
    Widget->setShortcut(QKeySequence(qs(Action.ShortCut)));
    Widget->setShortcutContext(Qt::WindowShortcut);
    Action.OnMirror = mirror;
    mirror();
    QObject::connect(Widget, &QAction::triggered, Widget, [&Action, mirror] {
        Action.Click();
        // A checkable item toggles itself on a click; the action decides its mark.
        mirror();
    });
}

QAction* TActionTable::Of(TUIAction& Action, const char* Name) {
    auto it = actions_.find(&Action);
    if (it == actions_.end()) {
        it = actions_.emplace(&Action, MakeAction(parent_, Action)).first;
    }
    if (Name != nullptr) {
        it->second->setObjectName(QString::fromLatin1(Name));
    }
    return it->second;
}

QAction* MakeAction(QObject* Parent, TUIAction& Action) {
    auto* a = new QAction(Parent);
    BindAction(a, Action);
    return a;
}

void BindAction(QAbstractButton* Widget, TUIAction& Action) {
    QPointer<QAbstractButton> w(Widget);
    const auto mirror = [w, &Action] {
        if (!w) {
            return;
        }
        const QSignalBlocker block(w);
        w->setCheckable(Action.Checkable);
        w->setChecked(Action.Checked());
        w->setEnabled(Action.Enabled());
        w->setVisible(Action.Visible());
        w->setToolTip(qs(Action.Hint));
    };
    Action.OnMirror = mirror;
    mirror();
    QObject::connect(Widget, &QAbstractButton::clicked, Widget, [&Action, mirror] {
        Action.Click();
        mirror();
    });
}

void BindChoice(QComboBox* Widget, TUIChoice& Choice) {
    QPointer<QComboBox> w(Widget);
    Choice.OnMirror = [w, &Choice] {
        if (!w) {
            return;
        }
        const QSignalBlocker block(w);
        QStringList items;
        for (const std::string& item : Choice.Items()) {
            items << qs(item);
        }
        bool same = w->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i) {
            same = w->itemText(i) == items[i];
        }
        if (!same) {
            w->clear();
            w->addItems(items);
        }
        w->setCurrentIndex(Choice.ItemIndex());
        w->setToolTip(qs(Choice.Hint));
        w->setEnabled(Choice.Enabled());
        w->setVisible(Choice.Visible());
    };
    Choice.OnMirror();
    QObject::connect(Widget, &QComboBox::activated, Widget,
                     [&Choice](int index) { Choice.UserSelect(index); });
}

void BindRange(QAbstractSlider* Widget, TUIRange& Range, double UnitsPerValue) {
    QPointer<QAbstractSlider> w(Widget);
    const auto toInt = [UnitsPerValue](double v) { return static_cast<int>(std::lround(v * UnitsPerValue)); };
    Range.OnMirror = [w, &Range, toInt] {
        if (!w) {
            return;
        }
        const QSignalBlocker block(w);
        w->setRange(toInt(Range.Min()), toInt(Range.Max()));
        w->setPageStep(std::max(1, toInt(Range.PageSize())));
        w->setValue(toInt(Range.Value()));
        w->setEnabled(Range.Enabled());
    };
    Range.OnMirror();
    // Only the user's moves reach the value: the widget's own refreshes are blocked.
    QObject::connect(Widget, &QAbstractSlider::valueChanged, Widget,
                     [&Range, UnitsPerValue](int v) { Range.SetValue(v / UnitsPerValue); });
}

void BindRange(QDoubleSpinBox* Widget, TUIRange& Range, int Decimals) {
    QPointer<QDoubleSpinBox> w(Widget);
    Widget->setDecimals(Decimals);
    Range.OnMirror = [w, &Range] {
        if (!w) {
            return;
        }
        const QSignalBlocker block(w);
        w->setRange(Range.Min(), Range.Max());
        w->setSingleStep(Range.Step());
        w->setValue(Range.Value());
        w->setEnabled(Range.Enabled());
    };
    Range.OnMirror();
    QObject::connect(Widget, &QDoubleSpinBox::valueChanged, Widget,
                     [&Range](double v) { Range.SetValue(v); });
}

void BindText(QLabel* Widget, TUIText& Text) {
    QPointer<QLabel> w(Widget);
    Text.OnMirror = [w, &Text] {
        if (w) {
            w->setText(qs(Text.Text()));
            w->setVisible(Text.Visible());
        }
    };
    Text.OnMirror();
}

void BindText(QPlainTextEdit* Widget, TUIText& Text) {
    QPointer<QPlainTextEdit> w(Widget);
    Text.OnMirror = [w, &Text] {
        if (w) {
            w->setPlainText(qs(Text.Text()));
        }
    };
    Text.OnMirror();
}

void BindText(QLineEdit* Widget, TUIText& Text, std::function<void()> OnEdited) {
    QPointer<QLineEdit> w(Widget);
    Text.OnMirror = [w, &Text] {
        if (w) {
            const QSignalBlocker block(w);
            w->setText(qs(Text.Text()));
        }
    };
    Text.OnMirror();
    QObject::connect(Widget, &QLineEdit::editingFinished, Widget, [w, &Text, OnEdited] {
        if (!w || w->text().toStdString() == Text.Text()) {
            return;
        }
        Text.SetText(w->text().toStdString());
        if (OnEdited) {
            OnEdited();
        }
    });
}

void BindVisible(QWidget* Widget, TUIText& Text) {
    BindVisible({Widget}, Text);
}

void BindVisible(std::initializer_list<QWidget*> Widgets, TUIText& Text) {
    std::vector<QPointer<QWidget>> ws(Widgets.begin(), Widgets.end());
    Text.OnMirror = [ws, &Text] {
        for (const QPointer<QWidget>& w : ws) {
            if (w) {
                w->setVisible(Text.Visible());
            }
        }
    };
    Text.OnMirror();
}

} // namespace vendrel
