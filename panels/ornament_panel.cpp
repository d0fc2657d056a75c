#include "panels/ornament_panel.h"

#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/units.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vendrel {

TOrnamentFr::TOrnamentFr(IPanelHost& Host, QWidget* Parent) : TObjectPanel(Host, Parent) {
    setObjectName(QStringLiteral("OrnamentFrame"));
    StepFormat = "0.00";
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    outer->addWidget(Panel1);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);

    // Header: lock, layer, removal, type and name.
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
    RemoveButton->setToolTip(QStringLiteral("Remove Ornament"));
    connect(RemoveButton, &QToolButton::clicked, this, [this] {
        if (AsignedOrna != nullptr) {
            // The panel goes with its ornament: nothing of the panel is touched afterwards.
            this->Host().RemoveRequested(*AsignedOrna);
        }
    });
    top->addWidget(RemoveButton);
    column->addLayout(top);
    TypeLabel = new QLabel(QStringLiteral("Ornament"), header);
    TypeLabel->setObjectName(QStringLiteral("TypeLabel"));
    column->addWidget(TypeLabel);
    auto* form = new QFormLayout();
    TTextField name;
    name.Get = [this] { return AsignedOrna->Name(); };
    name.Set = [this](const std::string& text) { AsignedOrna->SetName(text); };
    name.FollowUps = [this] { this->Host().NameChanged(*AsignedOrna); };
    ZoneNameEdit = TextField(QStringLiteral("ZoneNameEdit"), QString(), name, header);
    form->addRow(QStringLiteral("Name"), ZoneNameEdit);
    column->addLayout(form);
    row->addWidget(header);

    const auto guard = [this] { return !this->Host().EventsEnabled(); };
    const auto placed = [this] { this->Host().PlacementChanged(*AsignedOrna); };
    const auto setPosition = [this](int axis) {
        return [this, axis](double v) {
            TPoint3D p = AsignedOrna->Position();
            (axis == 0 ? p.X : axis == 1 ? p.Y : p.Z) = static_cast<float>(v);
            AsignedOrna->SetPosition(p);
        };
    };
    TFieldDescriptor position;
    position.Format = "0.000";
    position.Min = -5000;
    position.Max = 5000;
    position.Guard = guard;
    position.FollowUps = placed;

    PositionGroupBox = new QGroupBox(Panel1);
    PositionGroupBox->setObjectName(QStringLiteral("PositionGroupBox"));
    auto* positions = new QFormLayout(PositionGroupBox);
    TFieldDescriptor px = position;
    px.Get = [this] { return AsignedOrna->Position().X; };
    px.Set = setPosition(0);
    PosX = NumericField(QStringLiteral("PosX"), QString(), px, PositionGroupBox);
    positions->addRow(QStringLiteral("X"), PosX);
    TFieldDescriptor pz = position;
    pz.Get = [this] { return AsignedOrna->Position().Z; };
    pz.Set = setPosition(2);
    PosZ = NumericField(QStringLiteral("PosZ"), QString(), pz, PositionGroupBox);
    positions->addRow(QStringLiteral("Y"), PosZ);
    TFieldDescriptor py = position;
    py.Negated = true;
    py.Get = [this] { return AsignedOrna->Position().Y; };
    py.Set = setPosition(1);
    PosY = NumericField(QStringLiteral("PosY"), QString(), py, PositionGroupBox);
    positions->addRow(QStringLiteral("Z"), PosY);
    row->addWidget(PositionGroupBox);

    RotGroupBox = new QGroupBox(QStringLiteral("Rotation [ deg ]"), Panel1);
    RotGroupBox->setObjectName(QStringLiteral("RotGroupBox"));
    auto* rotations = new QFormLayout(RotGroupBox);
    TFieldDescriptor rot;
    rot.Unit = TUnitKind::Angle;
    rot.Format = "0.00";
    rot.Min = -360;
    rot.Max = 360;
    rot.WrapShown = true;
    rot.Guard = guard;
    rot.FollowUps = placed;
    const auto setAngle = [this](int axis) {
        return [this, axis](double v) {
            TPoint3D r = AsignedOrna->RotationAngle();
            (axis == 0 ? r.X : axis == 1 ? r.Y : r.Z) = static_cast<float>(v);
            AsignedOrna->SetRotationAngle(r);
        };
    };
    TFieldDescriptor rx = rot;
    rx.Get = [this] { return AsignedOrna->RotationAngle().X; };
    rx.Set = setAngle(0);
    RotAngleXEdit = NumericField(QStringLiteral("RotAngleXEdit"), QString(), rx, RotGroupBox);
    rotations->addRow(QStringLiteral("X axis"), RotAngleXEdit);
    // Limited to a quarter turn either way; it commits only what the user typed, so leaving it never
    // cuts a steeper ornament to 90 degrees.
    TFieldDescriptor rz = rot;
    rz.Min = -90;
    rz.Max = 90;
    rz.Get = [this] { return AsignedOrna->RotationAngle().Z; };
    rz.Set = setAngle(2);
    RotAngleZEdit = NumericField(QStringLiteral("RotAngleZEdit"), QString(), rz, RotGroupBox);
    rotations->addRow(QStringLiteral("Y axis"), RotAngleZEdit);
    TFieldDescriptor ry = rot;
    ry.Get = [this] { return AsignedOrna->RotationAngle().Y; };
    ry.Set = setAngle(1);
    RotAngleYEdit = NumericField(QStringLiteral("RotAngleYEdit"), QString(), ry, RotGroupBox);
    rotations->addRow(QStringLiteral("Z axis"), RotAngleYEdit);
    row->addWidget(RotGroupBox);

    DimmenGroupBox = new QGroupBox(Panel1);
    DimmenGroupBox->setObjectName(QStringLiteral("DimmenGroupBox"));
    auto* dims = new QFormLayout(DimmenGroupBox);
    TFieldDescriptor size;
    size.Format = "0.00";
    size.Min = 0.1;
    size.Max = 2000;
    size.Guard = guard;
    size.FollowUps = placed;
    TFieldDescriptor length = size;
    length.Guard = [this] {
        return !this->Host().EventsEnabled() || AsignedOrna->MyAcousticProject() == nullptr ||
               AsignedOrna->MyAcousticProject()->IsCheckingMemory();
    };
    length.Get = [this] { return AsignedOrna->Width(); };
    length.Set = [this](double v) { AsignedOrna->SetWidth(static_cast<float>(v)); };
    LengthEdit = NumericField(QStringLiteral("LengthEdit"), QString(), length, DimmenGroupBox);
    dims->addRow(QStringLiteral("Lenght"), LengthEdit);
    TFieldDescriptor depth = size;
    depth.Get = [this] { return AsignedOrna->Depth(); };
    depth.Set = [this](double v) { AsignedOrna->SetDepth(static_cast<float>(v)); };
    DepthEdit = NumericField(QStringLiteral("DepthEdit"), QString(), depth, DimmenGroupBox);
    dims->addRow(QStringLiteral("Width"), DepthEdit);
    TFieldDescriptor height = size;
    height.Min = 0.01;
    height.Get = [this] { return AsignedOrna->Height(); };
    height.Set = [this](double v) { AsignedOrna->SetHeight(static_cast<float>(v)); };
    HeightEdit = NumericField(QStringLiteral("HeightEdit"), QString(), height, DimmenGroupBox);
    dims->addRow(QStringLiteral("Height"), HeightEdit);
    row->addWidget(DimmenGroupBox);
    row->addStretch(1);
}

TQzControl3D* TOrnamentFr::ShownObject() const {
    return AsignedOrna;
}

void TOrnamentFr::ObjectDetached() {
    AsignedOrna = nullptr;
}

void TOrnamentFr::UpdateValues() {
    TOrnament* ornament = AsignedOrna;
    if (ornament == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    const QString unit = QStr(Host().Units().LengthUnitText);
    ShowLayer(*ornament);
    ShowFields();
    PositionGroupBox->setTitle(QStringLiteral("Position [ ") + unit + QStringLiteral(" ]"));
    DimmenGroupBox->setTitle(QStringLiteral("Dimensions [ ") + unit + QStringLiteral(" ]"));
    RotGroupBox->setTitle(QStringLiteral("Rotation [ deg ]"));
    DimmenGroupBox->setEnabled(ornament->Model() != nullptr && ornament->Model()->IsSizeable());
    UpdateLockUnlock();
}

void TOrnamentFr::UpdateLockUnlock() {
    if (AsignedOrna == nullptr) {
        return;
    }
    const bool locked =
        AsignedOrna->IsLocked() || (AsignedOrna->MyLayer() != nullptr && AsignedOrna->MyLayer()->IsLocked());
    ShowLockState(locked, QStringLiteral("Ornament Locked - Press to Unlock"), Panel1);
}

} // namespace vendrel
