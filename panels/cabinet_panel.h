#pragma once
// The row of a loose cabinet in the window's cabinet list: its on/off state, lock, layer, model,
// position, rotation, placement, horn directivity, internal preset, external process and selection.
//
// Shown axes: X is the scene's X, Y the scene's Z and Z (the height) the scene's negated Y; the three
// turns are shown negated and wrapped into (-180, 180]. The X turn lives on the cabinet's source pivot
// (RotX, applied through the placement), the Y and Z turns on the cabinet itself.

#include "editor/object_panels.h"
#include "panels/object_panel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vendrel {

class TCabinet;

class TCabinetsFr : public TObjectPanel, public ICabinetPanel {
    Q_OBJECT
public:
    // The row shows no cabinet until AsignedCabinet is set and UpdateValues runs.
    TCabinetsFr(IPanelHost& Host, QWidget* Parent);

    TCabinet* AsignedCabinet = nullptr; // not owned

    // ICabinetPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    void SetSelChecked(bool Checked) override;
    void SetRowVisible(bool Visible) override;
    void ScrollIntoView() override;

    void SetObj3DRotation();
    void SetMaterialInCabinet();
    TObject* LayerTarget() const override;

    QCheckBox* ActiveCabCheckBox = nullptr;
    QLineEdit* ModelCabEdit = nullptr;
    QLineEdit* XCabBox = nullptr;
    QLineEdit* ZCabBox = nullptr;
    QLineEdit* YCabBox = nullptr;
    QLineEdit* RotXCabBox = nullptr;
    QLineEdit* RotZCabBox = nullptr;
    QLineEdit* RotYCabBox = nullptr;
    QCheckBox* MountingCabCheckBox = nullptr;
    QComboBox* InsertPointCB = nullptr;
    QComboBox* DirectivityCB = nullptr;
    QComboBox* IntProcessComboBox = nullptr;
    QComboBox* ExtProcessComboBox = nullptr;
    QCheckBox* SelCheckBox = nullptr;
    QWidget* BackgroundRect = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void paintBackground(bool Selected);
    void turnCommitted(double Y, double Z);
    void activeCabCheckBoxClick(bool Checked);
    void intProcessChosen(int Index);
    void extProcessChosen(int Index);
};

} // namespace vendrel
