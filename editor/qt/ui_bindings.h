#pragma once
// Widgets that mirror the editor's values (editor/ui_values.h) and forward the user's changes.
//
// A widget is refreshed from its value under a QSignalBlocker, so only a user's action reaches the
// editor: a click or a shortcut runs the command, a moved scroll bar or spin box sets the value (which
// runs its change event). Bindings hold the widget weakly: a widget freed before the editor is simply
// no longer refreshed.

#include "editor/ui_values.h"

#include <functional>
#include <initializer_list>
#include <map>

class QAction;
class QObject;
class QAbstractButton;
class QAbstractSlider;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace vendrel {

// One QAction per command of the editor, shared by every menu item and button that shows it (a
// command's state is mirrored by one widget only).
class TActionTable {
public:
    explicit TActionTable(QObject* Parent) : parent_(Parent) {}
    // The command's QAction, made on first use; Name, when given, becomes its object name.
    QAction* Of(TUIAction& Action, const char* Name = nullptr);

private:
    QObject* parent_;
    std::map<const TUIAction*, QAction*> actions_;
};

// The menu item, shortcut and stay-pressed button of a command: text, shortcut, hint, check mark,
// enabled and visible state mirror the action; a trigger runs TUIAction::Click.
QAction* MakeAction(QObject* Parent, TUIAction& Action);
void BindAction(QAction* Widget, TUIAction& Action);
// A check box or stay-pressed button: check state, enabled and visible state and hint mirror the
// action; a click runs TUIAction::Click.
void BindAction(QAbstractButton* Widget, TUIAction& Action);
// A combo box: its list, choice, hint, enabled and visible state mirror the choice; the user's choice
// (activated) runs TUIChoice::UserSelect.
void BindChoice(QComboBox* Widget, TUIChoice& Choice);

// Slider or scroll bar: integer positions of UnitsPerValue per unit of the value.
void BindRange(QAbstractSlider* Widget, TUIRange& Range, double UnitsPerValue);
void BindRange(QDoubleSpinBox* Widget, TUIRange& Range, int Decimals);

void BindText(QLabel* Widget, TUIText& Text);
void BindText(QPlainTextEdit* Widget, TUIText& Text);
// An editable field: the user's finished edit becomes the text and OnEdited runs.
void BindText(QLineEdit* Widget, TUIText& Text, std::function<void()> OnEdited);
// Widgets shown exactly while the text is visible.
void BindVisible(QWidget* Widget, TUIText& Text);
void BindVisible(std::initializer_list<QWidget*> Widgets, TUIText& Text);

} // namespace vendrel
