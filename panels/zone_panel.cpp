#include "panels/zone_panel.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "editor/kinds/zone_kind.h"
#include "editor/units.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vendrel {

namespace {

QString surfaceTypeName(TSurfaceType t) {
    switch (t) {
    case TSurfaceType::qzaRectangle:
        return QStringLiteral("Rect with corners");
    case TSurfaceType::qzaTrapezium:
        return QStringLiteral("Trapezium");
    case TSurfaceType::qzaPolygon:
        return QStringLiteral("Drawn Polygon");
    case TSurfaceType::qzaPicture:
        return QStringLiteral("Picture");
    }
    return {};
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

} // namespace

TZoneFr::TZoneFr(IPanelHost& Host, IZoneCommands& Commands, QWidget* Parent)
    : TObjectPanel(Host, Parent), commands_(Commands) {
    setObjectName(QStringLiteral("ZoneFrame"));
    StepFormat = "0.00";
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    outer->addWidget(Panel1);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);

    // Header: lock, layer, removal, surface type, name, mapping and listening height.
    auto* header = new QWidget(Panel1);
    auto* column = new QVBoxLayout(header);
    column->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout();
    top->addWidget(LockButton());
    top->addWidget(LayerColorRect());
    top->addWidget(LayerNameLabel());
    RemoveButton = new QToolButton(header);
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    RemoveButton->setText(QStringLiteral("x"));
    RemoveButton->setToolTip(QStringLiteral("Remove Surface"));
    connect(RemoveButton, &QToolButton::clicked, this, [this] {
        if (AsignedZone != nullptr) {
            // The panel goes with its zone: nothing of the panel is touched afterwards.
            this->Host().RemoveRequested(*AsignedZone);
        }
    });
    top->addWidget(RemoveButton);
    column->addLayout(top);
    auto* type = new QHBoxLayout();
    type->addWidget(label(QStringLiteral("Surface:"), header));
    TypeLabel = label(QString(), header);
    TypeLabel->setObjectName(QStringLiteral("TypeLabel"));
    type->addWidget(TypeLabel, 1);
    column->addLayout(type);
    auto* form = new QFormLayout();
    TTextField name;
    name.Get = [this] { return AsignedZone->Name(); };
    name.Set = [this](const std::string& text) { AsignedZone->SetName(text); };
    name.FollowUps = [this] { this->Host().NameChanged(*AsignedZone); };
    ZoneNameEdit = TextField(QStringLiteral("ZoneNameEdit"), QString(), name, header);
    form->addRow(QStringLiteral("Name"), ZoneNameEdit);
    Label16 = label(QStringLiteral("Mapping"), header);
    TChoiceField mapping;
    mapping.Get = [this] { return std::min(static_cast<int>(AsignedZone->MappingSides()), 1); };
    mapping.Set = [this](int index) {
        commands_.SetMappingSidesOnSelection(static_cast<TMappingSides>(index));
    };
    mapping.Guard = [this] { return !eventsEnabled(); };
    MappingSidesCB = Choice(QStringLiteral("MappingSidesCB"), QString(), mapping, header);
    MappingSidesCB->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled")});
    form->addRow(Label16, MappingSidesCB);
    Label13 = label(QStringLiteral("Audience Listening Height"), header);
    TFieldDescriptor listen;
    listen.Format = "0.0";
    listen.Min = 0;
    listen.Max = 9;
    listen.AlwaysCommit = true;
    listen.Guard = [this] { return !eventsEnabled(); };
    listen.Get = [this] { return AsignedZone->ListenLevel(); };
    listen.Set = [this](double v) {
        const double shown = v * this->Host().Units().LengthUnits;
        commands_.SetListenLevelOnSelection(FormatFloatPattern("0.0", shown, this->Host().FormatSettings()));
    };
    AudienceLevelNB = NumericField(QStringLiteral("AudienceLevelNB"), QString(), listen, header);
    Label32 = label(QStringLiteral("m"), header);
    auto* level = new QHBoxLayout();
    level->addWidget(AudienceLevelNB);
    level->addWidget(Label32);
    form->addRow(Label13, level);
    column->addLayout(form);
    row->addWidget(header);

    // Geometry fields: each commit is one call of the zone's kind.
    const auto guard = [this] { return !eventsEnabled(); };
    const auto sizeGuard = [this] {
        return !eventsEnabled() || AsignedZone->MyAcousticProject()->IsCheckingMemory();
    };
    TFieldDescriptor position;
    position.Format = "0.000";
    position.Min = -5000;
    position.Max = 5000;
    position.Guard = guard;
    TFieldDescriptor size;
    size.Format = "0.00";
    size.Min = 0.1;
    size.Max = 250;
    size.Guard = sizeGuard;

    PositionGroupBox = new QGroupBox(Panel1);
    PositionGroupBox->setObjectName(QStringLiteral("PositionGroupBox"));
    auto* positions = new QFormLayout(PositionGroupBox);
    TFieldDescriptor px = position;
    px.Get = [this] { return AsignedZone->XBegin(); };
    px.Set = [this](double v) { commands_.SetZoneBegin(*AsignedZone, 0, v); };
    PosXBegin = NumericField(QStringLiteral("PosXBegin"), QString(), px, PositionGroupBox);
    positions->addRow(QStringLiteral("X"), PosXBegin);
    TFieldDescriptor pz = position;
    pz.Get = [this] { return AsignedZone->ZBegin(); };
    pz.Set = [this](double v) { commands_.SetZoneBegin(*AsignedZone, 2, v); };
    PosZBegin = NumericField(QStringLiteral("PosZBegin"), QString(), pz, PositionGroupBox);
    positions->addRow(QStringLiteral("Y"), PosZBegin);
    TFieldDescriptor py = position;
    py.Get = [this] { return AsignedZone->YBegin(); };
    py.Set = [this](double v) { commands_.SetZoneBegin(*AsignedZone, 1, v); };
    PosYBegin = NumericField(QStringLiteral("PosYBegin"), QString(), py, PositionGroupBox);
    positions->addRow(QStringLiteral("Z"), PosYBegin);
    row->addWidget(PositionGroupBox);

    DimmenGroupBox = new QGroupBox(Panel1);
    DimmenGroupBox->setObjectName(QStringLiteral("DimmenGroupBox"));
    auto* dims = new QFormLayout(DimmenGroupBox);
    TFieldDescriptor length = size;
    length.Get = [this] { return AsignedZone->Width(); };
    length.Set = [this](double v) { commands_.SetZoneLength(*AsignedZone, v); };
    LengthEdit = NumericField(QStringLiteral("LengthEdit"), QString(), length, DimmenGroupBox);
    dims->addRow(QStringLiteral("Lenght"), LengthEdit);
    TFieldDescriptor depth = size;
    depth.Get = [this] { return AsignedZone->Depth(); };
    depth.Set = [this](double v) { commands_.SetZoneDepth(*AsignedZone, v); };
    DepthEdit = NumericField(QStringLiteral("DepthEdit"), QString(), depth, DimmenGroupBox);
    dims->addRow(QStringLiteral("Width"), DepthEdit);
    TFieldDescriptor thickness = size;
    thickness.Min = 0.01;
    thickness.Guard = guard;
    thickness.Get = [this] { return AsignedZone->Height(); };
    thickness.Set = [this](double v) { commands_.SetZoneThickness(*AsignedZone, v); };
    // Both thickness fields show the new thickness.
    thickness.FollowUps = [this] {
        for (QLineEdit* e : {HeightEdit, ThicknessNB}) {
            ShowField(e);
        }
    };
    HeightEdit = NumericField(QStringLiteral("HeightEdit"), QString(), thickness, DimmenGroupBox);
    dims->addRow(QStringLiteral("Thickness"), HeightEdit);
    row->addWidget(DimmenGroupBox);

    DimmenTrapezGroupBox = new QGroupBox(Panel1);
    DimmenTrapezGroupBox->setObjectName(QStringLiteral("DimmenTrapezGroupBox"));
    auto* trapez = new QFormLayout(DimmenTrapezGroupBox);
    TFieldDescriptor trapezLength = length;
    trapezLength.Guard = guard;
    trapezLength.Set = [this](double v) { commands_.SetTrapeziumLength(*AsignedZone, v); };
    LengthTrapezEdit =
        NumericField(QStringLiteral("LengthTrapezEdit"), QString(), trapezLength, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Lenght"), LengthTrapezEdit);
    TFieldDescriptor w1 = size;
    w1.Get = [this] { return AsignedZone->TrapezWidth1(); };
    w1.Set = [this](double v) { commands_.SetTrapeziumWidth(*AsignedZone, true, v); };
    TrapezWidth1Edit = NumericField(QStringLiteral("TrapezWidth1Edit"), QString(), w1, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Front Width "), TrapezWidth1Edit);
    TFieldDescriptor w2 = size;
    w2.Get = [this] { return AsignedZone->TrapezWidth2(); };
    w2.Set = [this](double v) { commands_.SetTrapeziumWidth(*AsignedZone, false, v); };
    TrapezWidth2Edit = NumericField(QStringLiteral("TrapezWidth2Edit"), QString(), w2, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Back Width"), TrapezWidth2Edit);
    TFieldDescriptor h = size;
    h.Min = -100;
    h.Max = 100;
    h.Guard = guard;
    h.Get = [this] { return AsignedZone->TrapezHeight(); };
    h.Set = [this](double v) { commands_.SetTrapeziumHeight(*AsignedZone, v); };
    TrapezHeightEdit = NumericField(QStringLiteral("TrapezHeightEdit"), QString(), h, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Height"), TrapezHeightEdit);
    TFieldDescriptor thickness2 = thickness;
    ThicknessNB = NumericField(QStringLiteral("ThicknessNB"), QString(), thickness2, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Thickness"), ThicknessNB);
    row->addWidget(DimmenTrapezGroupBox);

    RotGroupBox = new QGroupBox(QStringLiteral("Rotation [ deg ]"), Panel1);
    RotGroupBox->setObjectName(QStringLiteral("RotGroupBox"));
    auto* rotations = new QFormLayout(RotGroupBox);
    TFieldDescriptor rot;
    rot.Unit = TUnitKind::Angle;
    rot.Format = "0.00";
    rot.Min = -360;
    rot.Max = 360;
    rot.Guard = guard;
    const auto setAngle = [this](int axis) {
        return [this, axis](double v) {
            TPoint3D r = AsignedZone->RotationAngle();
            (axis == 0 ? r.X : axis == 1 ? r.Y : r.Z) = static_cast<float>(v);
            commands_.SetZoneRotation(*AsignedZone, r);
        };
    };
    TFieldDescriptor rx = rot;
    rx.Get = [this] { return AsignedZone->RotationAngle().X; };
    rx.Set = setAngle(0);
    RotAngleXEdit = NumericField(QStringLiteral("RotAngleXEdit"), QString(), rx, RotGroupBox);
    rotations->addRow(QStringLiteral("X axis"), RotAngleXEdit);
    // The turn about Z is shown wrapped and limited to a quarter turn either way; it commits only what
    // the user typed, so leaving it never cuts a steeper zone to 90 degrees.
    TFieldDescriptor rz = rot;
    rz.Min = -90;
    rz.Max = 90;
    rz.WrapShown = true;
    rz.Get = [this] { return AsignedZone->RotationAngle().Z; };
    rz.Set = setAngle(2);
    RotAngleZEdit = NumericField(QStringLiteral("RotAngleZEdit"), QString(), rz, RotGroupBox);
    rotations->addRow(QStringLiteral("Y axis"), RotAngleZEdit);
    TFieldDescriptor ry = rot;
    ry.Get = [this] { return AsignedZone->RotationAngle().Y; };
    ry.Set = setAngle(1);
    RotAngleYEdit = NumericField(QStringLiteral("RotAngleYEdit"), QString(), ry, RotGroupBox);
    rotations->addRow(QStringLiteral("Z axis"), RotAngleYEdit);
    row->addWidget(RotGroupBox);
    row->addStretch(1);

    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QComboBox*>(w) != nullptr) {
            w->installEventFilter(this);
        }
    }
}

TQzControl3D* TZoneFr::ShownObject() const {
    return AsignedZone;
}

void TZoneFr::ObjectDetached() {
    AsignedZone = nullptr;
}

void TZoneFr::Assign(TMappingZone& Zone) {
    AsignedZone = &Zone;
    UpdateSurfaceType();
}

bool TZoneFr::eventsEnabled() const {
    return Host().EventsEnabled();
}

// ---------------------------------------------------------------------------------------------------
// Filling

void TZoneFr::UpdateSurfaceType() {
    if (AsignedZone == nullptr) {
        return;
    }
    HeightEdit->show();
    LengthEdit->setEnabled(true);
    DepthEdit->setEnabled(true);
    const bool trapezium = AsignedZone->SurfaceType() == TSurfaceType::qzaTrapezium;
    DimmenGroupBox->setVisible(!trapezium);
    DimmenTrapezGroupBox->setVisible(trapezium);
    // A picture carries no map and no listening height (the zone's kind keeps them off).
    const bool picture = AsignedZone->SurfaceType() == TSurfaceType::qzaPicture;
    for (QWidget* w : {static_cast<QWidget*>(MappingSidesCB), static_cast<QWidget*>(AudienceLevelNB),
                       static_cast<QWidget*>(Label13), static_cast<QWidget*>(Label16)}) {
        w->setVisible(!picture);
    }
}

void TZoneFr::UpdateValues() {
    TMappingZone* zone = AsignedZone;
    if (zone == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    const QString unit = QStr(Host().Units().LengthUnitText);
    ShowLayer(*zone);
    TypeLabel->setText(surfaceTypeName(zone->SurfaceType()));
    ShowFields();
    PositionGroupBox->setTitle(QStringLiteral("Position [ ") + unit + QStringLiteral(" ]"));
    DimmenGroupBox->setTitle(QStringLiteral("Dimensions [ ") + unit + QStringLiteral(" ]"));
    DimmenTrapezGroupBox->setTitle(QStringLiteral("Dimensions [ ") + unit + QStringLiteral(" ]"));
    RotGroupBox->setTitle(QStringLiteral("Rotation [ deg ]"));
    Label32->setText(unit);
    HeightEdit->setEnabled(true);
    AudienceLevelNB->setEnabled(zone->MappingSides() != TMappingSides::qzaNoSPLMap);
    UpdateLockUnlock();
}

void TZoneFr::UpdateLockUnlock() {
    if (AsignedZone == nullptr) {
        return;
    }
    const bool locked =
        AsignedZone->IsLocked() || (AsignedZone->MyLayer() != nullptr && AsignedZone->MyLayer()->IsLocked());
    ShowLockState(locked, QStringLiteral("Zone Locked - Press to Unlock"), Panel1);
}

bool TZoneFr::eventFilter(QObject* Watched, QEvent* Event) {
    // Entering or leaving a field draws the zone again (its guide lines follow the focus).
    if (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut) {
        Host().RepaintView();
    }
    return TObjectPanel::eventFilter(Watched, Event);
}

} // namespace vendrel
