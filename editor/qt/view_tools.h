#pragma once
// The view tools column beside the 3D view: the four views, the mouse modes, framing and tracking,
// the listening-surface and magnetic switches, the insert offsets and the step selectors. The column
// scrolls when the window is too low for it, rather than squeezing its rows into each other.

#include <QFrame>

class QComboBox;

namespace vendrel {

class TEditor;
class TActionTable;

class TViewTools : public QFrame {
    Q_OBJECT
public:
    TViewTools(TEditor& Editor, TActionTable& Actions, QWidget* Parent);

    // The "Pos" step selector, whose texts follow the unit system.
    QComboBox* PosStepsCB() const { return posSteps_; }
    // The "Pos" texts of the unit system shown, keeping the chosen step.
    void ShowPosStepTexts(bool Metric);

private:
    TEditor& ed_;
    QComboBox* posSteps_ = nullptr;
};

} // namespace vendrel
