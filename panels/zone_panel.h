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
// Numeric commits run only while the project's events are enabled; the listening height and the
// mapping choice apply to every selected zone through the window.

#include "editor/object_panels.h"
#include "panels/object_panel.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vendrel {

class TMappingZone;

class TZoneFr : public TObjectPanel, public IZonePanel {
    Q_OBJECT
public:
    TZoneFr(IPanelHost& Host, QWidget* Parent);

    TMappingZone* AsignedZone = nullptr; // not owned
    double OldThikness = 0.1;            // the thickness restored when the mapping sides change

    // Shows the zone and lays its surface type out once (the window's creation of the panel).
    void Assign(TMappingZone& Zone);

    // IZonePanel
    void UpdateValues() override; // UpdateZoneValues
    void UpdateLockUnlock() override;
    void ObjectDetached() override;
    void UpdateSidesMapping() override;
    void UpdateTextureSidesFloor() override;
    void SetListeningLevel(float Level) override;
    void SetAudienceLevelText(const std::string& Text) override;
    TZoneGuide FocusedGuide() const override;

    void UpdateSurfaceType();
    TObject* LayerTarget() const override;

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
    void withHitPointsHeld(const std::function<void()>& Change);
    void positionCommitted(int Row, double Delta);
    void sizeCommitted();
    void thicknessCommitted();
    void trapeziumLengthCommitted();
    void trapeziumWidthCommitted(bool Front);
    void trapeziumHeightCommitted();
    void setZoneRotation();
    // The Z turn of a trapezium from its height and length, arcsine of a ratio held to -1..1.
    QString slopeText() const;
    void nameExit();
};

} // namespace vendrel
