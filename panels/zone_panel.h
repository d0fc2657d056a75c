#pragma once
// The panel of a mapping zone: its name, whether its level map is shown, its listening height, its
// begin corner, size, thickness, trapezium sizes and rotation.
//
// The panel shows the zone's values as the zone stores them, without negation: its "Y" row edits the
// zone's Z coordinate (ZBegin) and its "Z" row the height (YBegin); its "Y axis" row edits the zone's
// turn about Z (shown wrapped into (-180, 180]) and its "Z axis" row the turn about Y. "Lenght" is
// the zone's Width, "Width" its Depth, "Thickness" its Height. A trapezium's Z turn and its height are
// two views of one slope: height = sin(Z turn) x length.
//
// Numeric commits run only while the project's events are enabled. What a field's commit implies (a
// polygon following its begin corner, a trapezium's slope and height, the listening height and the
// mapping choice of every selected zone) is a named call of the zone's kind (IZoneCommands).

#include "panels/object_panel.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TMappingZone;
class IZoneCommands;

class TZoneFr : public TObjectPanel {
    Q_OBJECT
public:
    TZoneFr(IPanelHost& Host, IZoneCommands& Commands, QWidget* Parent);

    TMappingZone* AsignedZone = nullptr; // not owned

    // Shows the zone and lays its surface type out once (the window's creation of the panel).
    void Assign(TMappingZone& Zone);

    // IObjectPanel
    void UpdateValues() override; // UpdateZoneValues
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    TQzControl3D* ShownObject() const override;

    void UpdateSurfaceType();

    QToolButton* RemoveButton = nullptr;
    QLabel* TypeLabel = nullptr;
    QLineEdit* ZoneNameEdit = nullptr;
    QComboBox* MappingSidesCB = nullptr;
    QLabel* Label16 = nullptr; // "Mapping"
    QLabel* Label13 = nullptr; // "Audience Listening Height"
    QLineEdit* AudienceLevelNB = nullptr;
    QLabel* Label32 = nullptr; // the length unit
    QGroupBox* PositionGroupBox = nullptr;
    QLineEdit* PosXBegin = nullptr;
    QLineEdit* PosZBegin = nullptr; // "Y"
    QLineEdit* PosYBegin = nullptr; // "Z"
    QGroupBox* DimmenGroupBox = nullptr;
    QLineEdit* LengthEdit = nullptr;
    QLineEdit* DepthEdit = nullptr;
    QLineEdit* HeightEdit = nullptr;
    QGroupBox* DimmenTrapezGroupBox = nullptr;
    QLineEdit* LengthTrapezEdit = nullptr;
    QLineEdit* TrapezWidth1Edit = nullptr;
    QLineEdit* TrapezWidth2Edit = nullptr;
    QLineEdit* TrapezHeightEdit = nullptr;
    QLineEdit* ThicknessNB = nullptr;
    QGroupBox* RotGroupBox = nullptr;
    QLineEdit* RotAngleXEdit = nullptr;
    QLineEdit* RotAngleZEdit = nullptr; // "Y axis"
    QLineEdit* RotAngleYEdit = nullptr; // "Z axis"
    QWidget* Panel1 = nullptr;          // the editing area

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool eventsEnabled() const;

    IZoneCommands& commands_;
};

} // namespace vendrel
