#pragma once
// The row of a loose cabinet in the window's cabinet list: its on/off state, lock, layer, model,
// position, rotation, placement, horn directivity, internal preset, external process and selection.
//
// Shown axes: X is the scene's X, Y the scene's Z and Z (the height) the scene's negated Y; the three
// turns are shown negated and wrapped into (-180, 180]. The X turn lives on the cabinet's source pivot
// (RotX, applied through the placement), the Y and Z turns on the cabinet itself.

#include "panels/object_panel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vendrel {

class TCabinet;

class TCabinetsFr : public TObjectPanel {
    Q_OBJECT
public:
    // The row shows no cabinet until AsignedCabinet is set and UpdateValues runs.
    TCabinetsFr(IPanelHost& Host, QWidget* Parent);

    TCabinet* AsignedCabinet = nullptr; // not owned

    // IObjectPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    void ShowSelected(bool Selected) override;
    void SetRowVisible(bool Visible) override;
    void ScrollIntoView() override;
    TQzControl3D* ShownObject() const override;

    // The fields under the cabinet list's column titles, in the titles' order.
    std::vector<QWidget*> TitledFields() const;

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
    void activeCabCheckBoxClick(bool Checked);
    void intProcessChosen(int Index);
    void extProcessChosen(int Index);
};

} // namespace vendrel
