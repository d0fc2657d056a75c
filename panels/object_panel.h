#pragma once
// The shared base of the object panels: it carries the panel rules once, so that a panel is a list of
// field declarations and a few handlers.
//
// - Numeric fields (TFieldDescriptor) commit by the exit rule when the user leaves them or presses
//   Enter, and only after the user typed into them: a field the program filled, or left without a
//   change, commits nothing. Enter followed by the loss of the focus commits once.
// - Every key typed into a field marks the project modified; '.' and ',' type the user's decimal
//   separator; Up and Down add the position step (lengths), the rotation step (angles) or 1 (counts)
//   to the number shown and commit at once. A user's change of a field's text puts the Render button
//   into its needs-calculation state.
// - Choice lists and check boxes commit on the user's choice only (activated, clicked): the program
//   sets them under a signal blocker (FillScope), so refilling a list never commits an item.
// - The lock overlay and button show the lock state of the object and of its layer.

#include "editor/panel_host.h"
#include "panels/field_rules.h"

#include <QFrame>
#include <QSignalBlocker>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TQzControl3D;

class TObjectPanel : public QFrame {
    Q_OBJECT
public:
    TObjectPanel(IPanelHost& Host, QWidget* Parent);
    ~TObjectPanel() override;

    IPanelHost& Host() const { return host_; }

    // A line edit bound to Field.
    QLineEdit* NumericField(const QString& Name, const QString& Hint, TFieldDescriptor Field,
                            QWidget* Parent);
    // Runs the exit rule on Text as if the user had typed it (chained commits of the panels); true when
    // it committed.
    bool CommitField(QLineEdit* Edit, const QString& Text);
    // Shows the object's value in one field or in every field (under a signal blocker).
    void ShowField(QLineEdit* Edit);
    void ShowFields();
    const TFieldDescriptor* FieldOf(const QLineEdit* Edit) const;

    // A choice list whose OnChosen runs with the item the user picked.
    QComboBox* Choice(const QString& Name, const QString& Hint, std::function<void(int)> OnChosen,
                      QWidget* Parent);
    // A check box whose OnClicked runs with its new state when the user clicks it.
    QCheckBox* CheckBox(const QString& Name, const QString& Text, std::function<void(bool)> OnClicked,
                        QWidget* Parent);

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
    // The object the layer menu acts on (null: the panel shows none).
    virtual TObject* LayerTarget() const = 0;

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
    Binding* bindingOf(const QObject* Edit);
    void exitField(Binding& B);
    void runExit(Binding& B, const std::string& Text);
    double stepOf(const Binding& B) const;

    IPanelHost& host_;
    std::vector<Binding> fields_;
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
