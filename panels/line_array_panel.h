#pragma once
// The panel of a line array, on the array's tab of the line-array page: its name, position, direction
// and tilt, how a flown array hangs from its frame, On/Off of the whole array, adding and removing its
// last cabinet, removing it, the automatic splay and the mechanical warnings; below, one row per
// cabinet (TCabArrayFr) with its splay, absolute angle, horn, preset, external process, direction and
// on/off state.
//
// Shown axes: X is the scene's X, Y the scene's Z and Z (the height) the scene's negated Y; the
// direction is the negated Y turn. The rows follow the array's cabinet list at every fill.

#include "panels/object_panel.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

namespace vendrel {

class ILineArrayCommands;
class TCabArray;
class TCabinet;
class TRowList;

class TCabArrayFr : public TObjectPanel {
    Q_OBJECT
public:
    TCabArrayFr(IPanelHost& Host, ILineArrayCommands& Commands, QWidget* Parent);

    TCabinet* AsignedCabinet = nullptr; // not owned
    TCabArray* AsignedArray = nullptr;  // not owned
    // The array panel's warning text (the splay's warning is announced once).
    std::function<QString()> WarningText;
    std::function<void(const QString&)> SetWarningText;

    // IObjectPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override {}
    void ObjectDetached() override;
    TQzControl3D* ShownObject() const override;

    std::vector<QWidget*> TitledFields() const;

    QCheckBox* ActiveCabCheckBox = nullptr;
    QLabel* NCabLabel = nullptr;
    QLineEdit* ModelCabEdit = nullptr;
    QComboBox* RotCabComboB = nullptr;
    QLabel* AbsLabel = nullptr;
    QComboBox* DirectivityCB = nullptr;
    QComboBox* IntProcessComboBox = nullptr;
    QComboBox* ExtProcessComboBox = nullptr;
    QCheckBox* InvDirectionCB = nullptr;

private:
    void splayChosen(int Index);

    ILineArrayCommands& commands_;
    std::vector<double> choices_;
};

class TLineArrayConfigFr : public TObjectPanel {
    Q_OBJECT
public:
    TLineArrayConfigFr(IPanelHost& Host, ILineArrayCommands& Commands, QWidget* Parent);

    void Assign(TCabArray& Array);
    TCabArray* AsignedArray = nullptr; // not owned

    // IObjectPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    TQzControl3D* ShownObject() const override;

    // Recomputes the mechanics and shows the warnings; with ShowMsg a warning that comes up is shown
    // once in a box.
    void CheckArrayWarnings(bool ShowMsg);

    QLineEdit* ArrayNameEdit = nullptr;
    QLineEdit* ArraySelX = nullptr;
    QLineEdit* ArraySelZ = nullptr;
    QLineEdit* ArraySelY = nullptr;
    QLineEdit* RotYNumberBox = nullptr; // direction
    QLineEdit* RotZNumberBox = nullptr; // tilt
    QWidget* FlownPointsGroupBox = nullptr;
    QComboBox* FlownFromCB = nullptr;
    QToolButton* Button4 = nullptr; // On / Off
    QToolButton* RemoveButton = nullptr;
    QToolButton* AutoSplayArrayB = nullptr;
    QToolButton* RemoveArrayCabB = nullptr;
    QToolButton* EditArrayCabB = nullptr;
    QLabel* WarningLabel = nullptr;
    TRowList* Rows = nullptr;
    const std::vector<TCabArrayFr*>& CabinetRows() const { return rows_; }

private:
    void syncRows();
    void positionExit();

    ILineArrayCommands& commands_;
    std::vector<TCabArrayFr*> rows_;
};

} // namespace vendrel
