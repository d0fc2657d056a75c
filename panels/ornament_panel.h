#pragma once
// The panel of an ornament, on its tab of the venue page: name, position, rotation and, for a model
// that may be resized, its three sizes.
//
// Values are shown as the ornament stores them, except its height: the "Y" row edits Position.Z and
// the "Z" row the height, minus Position.Y. The "Y axis" row edits the turn about Z, the "Z axis" row
// the turn about Y; every turn is shown wrapped into (-180, 180]. A commit stores the value and the
// window places the drawing again; ornaments take no part in the prediction, so nothing asks for a
// new calculation.

#include "panels/object_panel.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TOrnament;

class TOrnamentFr : public TObjectPanel {
    Q_OBJECT
public:
    TOrnamentFr(IPanelHost& Host, QWidget* Parent);

    TOrnament* AsignedOrna = nullptr; // not owned

    // IObjectPanel
    void UpdateValues() override;
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    TQzControl3D* ShownObject() const override;

    QToolButton* RemoveButton = nullptr;
    QLabel* TypeLabel = nullptr;
    QLineEdit* ZoneNameEdit = nullptr;
    QGroupBox* PositionGroupBox = nullptr;
    QLineEdit* PosX = nullptr;
    QLineEdit* PosZ = nullptr; // "Y"
    QLineEdit* PosY = nullptr; // "Z", the height
    QGroupBox* RotGroupBox = nullptr;
    QLineEdit* RotAngleXEdit = nullptr;
    QLineEdit* RotAngleZEdit = nullptr; // "Y axis"
    QLineEdit* RotAngleYEdit = nullptr; // "Z axis"
    QGroupBox* DimmenGroupBox = nullptr;
    QLineEdit* LengthEdit = nullptr; // Width
    QLineEdit* DepthEdit = nullptr;
    QLineEdit* HeightEdit = nullptr;
    QWidget* Panel1 = nullptr; // the editing area
};

} // namespace vendrel
