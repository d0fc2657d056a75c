#pragma once
// The shared base of the object panels: it carries the panel rules once, so that a panel is a list of
// field declarations and a few handlers.
//
// - Numeric fields (TFieldDescriptor) commit by the exit rule when the user leaves them or presses
//   Enter, and only after the user typed into them: a field the program filled, or left without a
//   change, commits nothing. Enter followed by the loss of the focus commits once.
// - Text fields (TTextField) hand the whole text on when the user leaves a field they typed into.
// - Choice lists (TChoiceField) and check boxes (TCheckField) commit on the user's own choice only
//   (activated, clicked): the program sets them under a signal blocker (TFillScope), so refilling a
//   list never commits an item.
// - No field commits while the window's DisableOnChange is set (the program itself is changing
//   objects) nor while its own guard holds.
// - Every key typed into a field marks the project modified; '.' and ',' type the user's decimal
//   separator; Up and Down add the position step (lengths), the rotation step (angles) or 1 (counts)
//   to the number shown and commit at once. A user's change of a numeric field's text puts the Render
//   button into its needs-calculation state.
// - Filling reads only: ShowFields shows every declared field from the object's getters.
// - The lock overlay and button show the lock state of the object and of its layer.

#include "editor/object_panels.h"
#include "editor/panel_host.h"
#include "panels/field_rules.h"

#include <QFrame>
#include <QSignalBlocker>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TQzControl3D;

// A field holding a text (an object's name).
struct TTextField {
    std::function<std::string()> Get;
    std::function<void(const std::string&)> Set;
    std::function<void()> FollowUps;
    std::function<bool()> Guard; // true: the field commits nothing now
};

// A choice list: its items and chosen index read from the object; the user's choice committed.
struct TChoiceField {
    std::function<std::vector<std::string>()> Items; // empty: the list keeps the items it was given
    std::function<int()> Get;
    std::function<void(int)> Set;
    std::function<void()> FollowUps;
    std::function<bool()> Guard;
};

// A check box.
struct TCheckField {
    std::function<bool()> Get;
    std::function<void(bool)> Set;
    std::function<void()> FollowUps;
    std::function<bool()> Guard;
};

class TObjectPanel : public QFrame, public IObjectPanel {
    Q_OBJECT
public:
    TObjectPanel(IPanelHost& Host, QWidget* Parent);
    ~TObjectPanel() override;

    IPanelHost& Host() const { return host_; }

    // ---- Field declarations ----
    // A line edit bound to a numeric field.
    QLineEdit* NumericField(const QString& Name, const QString& Hint, TFieldDescriptor Field,
                            QWidget* Parent);
    QLineEdit* TextField(const QString& Name, const QString& Hint, TTextField Field, QWidget* Parent);
    QComboBox* Choice(const QString& Name, const QString& Hint, TChoiceField Field, QWidget* Parent);
    QCheckBox* CheckBox(const QString& Name, const QString& Text, TCheckField Field, QWidget* Parent);
    // A choice or check box whose commit is one call (no getter: the panel sets it when it fills).
    QComboBox* Choice(const QString& Name, const QString& Hint, std::function<void(int)> OnChosen,
                      QWidget* Parent);
    QCheckBox* CheckBox(const QString& Name, const QString& Text, std::function<void(bool)> OnClicked,
                        QWidget* Parent);

    // Shows the object's value in one field or in every declared field (under signal blockers).
    void ShowField(QLineEdit* Edit);
    void ShowFields();
    const TFieldDescriptor* FieldOf(const QLineEdit* Edit) const;
    // True when a commit may run now: the window is not changing objects and the guard does not hold.
    bool MayCommit(const std::function<bool()>& Guard) const;

    // Holds the signals of every control of the panel while the program fills it.
    class TFillScope {
    public:
        explicit TFillScope(TObjectPanel& Panel);

    private:
        std::vector<std::unique_ptr<QSignalBlocker>> blockers_;
    };

    // The lock overlay over the panel, the button's look and hint, the working area disabled.
    void ShowLockState(bool Locked, const QString& LockedHint, QWidget* WorkArea);
    QToolButton* LockButton() const { return lockButton_; }
    QWidget* LockOverlay() const { return lockOverlay_; }

    // Commits made by the panel's fields since it was created.
    int Commits() const { return commits_; }

    // The object's layer: name and swatch; a click on either opens the layer menu for the object.
    void ShowLayer(const TQzControl3D& Obj);
    QLabel* LayerColorRect() const { return layerColorRect_; }
    QLabel* LayerNameLabel() const { return layerNameLabel_; }
    // The object the panel shows (null: none); the layer menu acts on it.
    virtual TQzControl3D* ShownObject() const = 0;

    // IObjectPanel
    std::string FocusedField() const override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

    // Format of the text that Up and Down write before the field commits.
    std::string StepFormat = "0.000";

private:
    struct Binding {
        QLineEdit* Edit = nullptr;
        TFieldDescriptor Field;
        bool Edited = false; // the user typed into it since it was last filled or committed
    };
    struct TextBinding {
        QLineEdit* Edit = nullptr;
        TTextField Field;
        bool Edited = false;
    };
    struct ChoiceBinding {
        QComboBox* Box = nullptr;
        TChoiceField Field;
    };
    struct CheckBinding {
        QCheckBox* Box = nullptr;
        TCheckField Field;
    };
    Binding* bindingOf(const QObject* Edit);
    TextBinding* textBindingOf(const QObject* Edit);
    void exitField(Binding& B);
    void runExit(Binding& B, const std::string& Text);
    void exitText(TextBinding& B);
    double stepOf(const Binding& B) const;

    IPanelHost& host_;
    std::vector<Binding> fields_;
    std::vector<TextBinding> texts_;
    std::vector<ChoiceBinding> choices_;
    std::vector<CheckBinding> checks_;
    QToolButton* lockButton_ = nullptr;
    QWidget* lockOverlay_ = nullptr;
    QLabel* layerColorRect_ = nullptr;
    QLabel* layerNameLabel_ = nullptr;
    int commits_ = 0;
};

// Qt text and our UTF-8 text.
QString QStr(const std::string& Text);
std::string StdStr(const QString& Text);

} // namespace vendrel
