#include "panels/zone_panel.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"

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
#include <cmath>
#include <numbers>

namespace vendrel {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;

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

TZoneFr::TZoneFr(IPanelHost& Host, QWidget* Parent) : TObjectPanel(Host, Parent) {
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
        TMappingZone* zone = AsignedZone;
        if (zone == nullptr) {
            return;
        }
        IPanelHost& host = this->Host();
        // The panel goes with its zone: nothing of the panel is touched afterwards.
        host.RemoveSurface(*zone);
        host.ListAllZonesActionExecute();
        host.RenderButtonNeedsCalc();
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
    ZoneNameEdit = new QLineEdit(header);
    ZoneNameEdit->setObjectName(QStringLiteral("ZoneNameEdit"));
    ZoneNameEdit->installEventFilter(this);
    connect(ZoneNameEdit, &QLineEdit::textEdited, this,
            [this] { ZoneNameEdit->setProperty("edited", true); });
    connect(ZoneNameEdit, &QLineEdit::editingFinished, this, [this] { nameExit(); });
    form->addRow(QStringLiteral("Name"), ZoneNameEdit);
    Label16 = label(QStringLiteral("Mapping"), header);
    MappingSidesCB = Choice(
        QStringLiteral("MappingSidesCB"), QString(),
        [this](int index) {
            if (AsignedZone != nullptr && eventsEnabled()) {
                this->Host().SetMappingSidesOnSelection(static_cast<TMappingSides>(index));
            }
        },
        header);
    MappingSidesCB->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled")});
    form->addRow(Label16, MappingSidesCB);
    Label13 = label(QStringLiteral("Audience Listening Height"), header);
    TFieldDescriptor listen;
    listen.Format = "0.0";
    listen.Min = 0;
    listen.Max = 9;
    listen.AlwaysCommit = true;
    listen.Guard = [this] { return AsignedZone == nullptr || !eventsEnabled(); };
    listen.Get = [this] { return AsignedZone->ListenLevel(); };
    listen.Set = [this](double v) {
        const double shown = v * this->Host().LengthUnits();
        this->Host().SetListenLevelOnSelection(
            FormatFloatPattern("0.0", shown, this->Host().FormatSettings()));
    };
    AudienceLevelNB = NumericField(QStringLiteral("AudienceLevelNB"), QString(), listen, header);
    Label32 = label(QStringLiteral("m"), header);
    auto* level = new QHBoxLayout();
    level->addWidget(AudienceLevelNB);
    level->addWidget(Label32);
    form->addRow(Label13, level);
    column->addLayout(form);
    row->addWidget(header);

    // Geometry fields; every commit holds the hit points back and recomputes them once at the end.
    const auto guard = [this] { return AsignedZone == nullptr || !eventsEnabled(); };
    const auto sizeGuard = [this] {
        return AsignedZone == nullptr || !eventsEnabled() ||
               AsignedZone->MyAcousticProject()->IsCheckingMemory();
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
    px.Set = [this](double v) {
        const double d = v - AsignedZone->XBegin();
        withHitPointsHeld([&] {
            AsignedZone->SetXBegin(v);
            AsignedZone->SetXYZBegin(AsignedZone->XYZBegin());
            positionCommitted(0, d);
        });
    };
    PosXBegin = NumericField(QStringLiteral("PosXBegin"), QString(), px, PositionGroupBox);
    positions->addRow(QStringLiteral("X"), PosXBegin);
    TFieldDescriptor pz = position;
    pz.Get = [this] { return AsignedZone->ZBegin(); };
    pz.Set = [this](double v) {
        const double d = v - AsignedZone->ZBegin();
        withHitPointsHeld([&] {
            AsignedZone->SetZBegin(v);
            AsignedZone->SetXYZBegin(AsignedZone->XYZBegin());
            positionCommitted(1, d);
        });
    };
    PosZBegin = NumericField(QStringLiteral("PosZBegin"), QString(), pz, PositionGroupBox);
    positions->addRow(QStringLiteral("Y"), PosZBegin);
    TFieldDescriptor py = position;
    py.Get = [this] { return AsignedZone->YBegin(); };
    py.Set = [this](double v) {
        const double d = v - AsignedZone->YBegin();
        withHitPointsHeld([&] {
            AsignedZone->SetYBegin(v);
            AsignedZone->SetXYZBegin(AsignedZone->XYZBegin());
            positionCommitted(2, d);
        });
    };
    PosYBegin = NumericField(QStringLiteral("PosYBegin"), QString(), py, PositionGroupBox);
    positions->addRow(QStringLiteral("Z"), PosYBegin);
    row->addWidget(PositionGroupBox);

    DimmenGroupBox = new QGroupBox(Panel1);
    DimmenGroupBox->setObjectName(QStringLiteral("DimmenGroupBox"));
    auto* dims = new QFormLayout(DimmenGroupBox);
    TFieldDescriptor length = size;
    length.Get = [this] { return AsignedZone->Width(); };
    length.Set = [this](double v) {
        TMappingZone& z = *AsignedZone;
        const auto increment = static_cast<float>(v - z.Width());
        if (increment > 1.0f && z.CheckMemoryOnChangeZone(increment, 0)) {
            this->Host().UpdateRenderControls();
        }
        withHitPointsHeld([&] {
            z.SetWidth(static_cast<float>(v));
            sizeCommitted();
        });
    };
    LengthEdit = NumericField(QStringLiteral("LengthEdit"), QString(), length, DimmenGroupBox);
    dims->addRow(QStringLiteral("Lenght"), LengthEdit);
    TFieldDescriptor depth = size;
    depth.Get = [this] { return AsignedZone->Depth(); };
    depth.Set = [this](double v) {
        TMappingZone& z = *AsignedZone;
        const auto increment = static_cast<float>(v - z.Depth());
        if (increment > 1.0f && z.CheckMemoryOnChangeZone(0, increment)) {
            this->Host().UpdateRenderControls();
        }
        withHitPointsHeld([&] {
            z.SetDepth(static_cast<float>(v));
            sizeCommitted();
        });
    };
    DepthEdit = NumericField(QStringLiteral("DepthEdit"), QString(), depth, DimmenGroupBox);
    dims->addRow(QStringLiteral("Width"), DepthEdit);
    TFieldDescriptor thickness = size;
    thickness.Min = 0.01;
    thickness.Guard = guard;
    thickness.Get = [this] { return AsignedZone->Height(); };
    thickness.Set = [this](double v) {
        withHitPointsHeld([&] {
            AsignedZone->SetHeight(static_cast<float>(v));
            thicknessCommitted();
        });
    };
    HeightEdit = NumericField(QStringLiteral("HeightEdit"), QString(), thickness, DimmenGroupBox);
    dims->addRow(QStringLiteral("Thickness"), HeightEdit);
    row->addWidget(DimmenGroupBox);

    DimmenTrapezGroupBox = new QGroupBox(Panel1);
    DimmenTrapezGroupBox->setObjectName(QStringLiteral("DimmenTrapezGroupBox"));
    auto* trapez = new QFormLayout(DimmenTrapezGroupBox);
    TFieldDescriptor trapezLength = length;
    trapezLength.Guard = guard;
    trapezLength.Set = [this](double) { trapeziumLengthCommitted(); };
    LengthTrapezEdit =
        NumericField(QStringLiteral("LengthTrapezEdit"), QString(), trapezLength, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Lenght"), LengthTrapezEdit);
    TFieldDescriptor w1 = size;
    w1.Get = [this] { return AsignedZone->TrapezWidth1(); };
    w1.Set = [this](double v) {
        withHitPointsHeld([&] {
            AsignedZone->SetTrapezWidth1(v);
            trapeziumWidthCommitted(true);
        });
    };
    TrapezWidth1Edit = NumericField(QStringLiteral("TrapezWidth1Edit"), QString(), w1, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Front Width "), TrapezWidth1Edit);
    TFieldDescriptor w2 = size;
    w2.Get = [this] { return AsignedZone->TrapezWidth2(); };
    w2.Set = [this](double v) {
        withHitPointsHeld([&] {
            AsignedZone->SetTrapezWidth2(v);
            trapeziumWidthCommitted(false);
        });
    };
    TrapezWidth2Edit = NumericField(QStringLiteral("TrapezWidth2Edit"), QString(), w2, DimmenTrapezGroupBox);
    trapez->addRow(QStringLiteral("Back Width"), TrapezWidth2Edit);
    TFieldDescriptor h = size;
    h.Min = -100;
    h.Max = 100;
    h.Guard = guard;
    h.Get = [this] { return AsignedZone->TrapezHeight(); };
    h.Set = [this](double v) {
        // A height at or above the length is the length.
        AsignedZone->SetTrapezHeight(std::min<double>(v, AsignedZone->Width()));
        withHitPointsHeld([&] { trapeziumHeightCommitted(); });
    };
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
            withHitPointsHeld([&] {
                AsignedZone->SetRotationAngle(r);
                setZoneRotation();
            });
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

TObject* TZoneFr::LayerTarget() const {
    return AsignedZone;
}

void TZoneFr::ObjectDetached() {
    AsignedZone = nullptr;
}

void TZoneFr::Assign(TMappingZone& Zone) {
    AsignedZone = &Zone;
    OldThikness = Zone.Height();
    UpdateSurfaceType();
}

bool TZoneFr::eventsEnabled() const {
    return AsignedZone != nullptr && AsignedZone->MyAcousticProject() != nullptr &&
           AsignedZone->MyAcousticProject()->EventsEnabled();
}

void TZoneFr::withHitPointsHeld(const std::function<void()>& Change) {
    TAcousticProject* project = AsignedZone->MyAcousticProject();
    project->SetCalcHitPointEnabled(false);
    Change();
    project->SetCalcHitPointEnabled(true);
    project->RecalcHitPoints();
}

void TZoneFr::positionCommitted(int Row, double Delta) {
    TMappingZone& z = *AsignedZone;
    Host().PlaceZoneHolder(z);
    if (z.SurfaceType() != TSurfaceType::qzaPolygon) {
        return;
    }
    // A polygon's points follow the move on an axis that depends on the view.
    const TViewType view = z.MyAcousticProject()->ViewType();
    const auto d = static_cast<float>(Delta);
    std::vector<TPoint3D> points = z.PolygonPoints();
    for (TPoint3D& p : points) {
        if (Row == 0) {
            p.X += d;
        } else if (Row == 2) { // the "Z" row
            if (view == TViewType::qzaSideView) {
                p.Y -= d;
            } else if (view == TViewType::qzaFrontView) {
                p.Y += d;
            } else {
                p.Z += d;
            }
        } else { // the "Y" row
            if (view == TViewType::qzaSideView) {
                p.Z -= d;
            } else if (view == TViewType::qzaFrontView) {
                p.X += d;
            } else {
                p.Y -= d;
            }
        }
    }
    z.SetPolygonPoints(std::move(points));
}

void TZoneFr::sizeCommitted() {
    Host().LayoutZoneObjects(*AsignedZone);
    Host().ShowMemoryInfo();
}

void TZoneFr::thicknessCommitted() {
    TMappingZone& z = *AsignedZone;
    for (QLineEdit* e : {HeightEdit, ThicknessNB}) {
        ShowField(e);
    }
    UpdateTextureSidesFloor();
    if (z.MappingSides() == TMappingSides::qzaNoSPLMap || z.MappingSides() == TMappingSides::qzaSPLOneSide) {
        OldThikness = z.Height();
    }
    Host().LayoutZoneObjects(z);
}

QString TZoneFr::slopeText() const {
    const TMappingZone& z = *AsignedZone;
    // A height beyond the length has no arcsine: the ratio is held to -1..1 (a vertical slope).
    const double ratio = z.Width() > 0 ? std::clamp(z.TrapezHeight() / z.Width(), -1.0, 1.0) : 0.0;
    return QStr(FormatFloatPattern("0.00", std::asin(ratio) * kDegPerRad, Host().FormatSettings()));
}

void TZoneFr::trapeziumLengthCommitted() {
    CommitField(LengthEdit, LengthTrapezEdit->text());
    if (AsignedZone == nullptr) {
        return;
    }
    CommitField(RotAngleZEdit, slopeText());
    Host().ShowMemoryInfo();
}

void TZoneFr::trapeziumWidthCommitted(bool Front) {
    TMappingZone& z = *AsignedZone;
    const double edited = Front ? z.TrapezWidth1() : z.TrapezWidth2();
    const double other = Front ? z.TrapezWidth2() : z.TrapezWidth1();
    Host().LayoutZoneObjects(z);
    if (edited > other) {
        ShowField(DepthEdit);
    }
    Host().ShowMemoryInfo();
}

void TZoneFr::trapeziumHeightCommitted() {
    Host().LayoutZoneObjects(*AsignedZone);
    CommitField(RotAngleZEdit, slopeText());
}

void TZoneFr::setZoneRotation() {
    TMappingZone& z = *AsignedZone;
    Host().LayoutZoneObjects(z);
    if (z.SurfaceType() == TSurfaceType::qzaTrapezium) {
        const double height = std::sin(z.RotationAngle().Z / kDegPerRad) * z.Width();
        CommitField(TrapezHeightEdit,
                    QString::number(height, 'g', 15)
                        .replace(QLatin1Char('.'), QLatin1Char(Host().FormatSettings().DecimalSeparator)));
    }
}

void TZoneFr::nameExit() {
    if (AsignedZone == nullptr || !ZoneNameEdit->property("edited").toBool()) {
        return;
    }
    ZoneNameEdit->setProperty("edited", false);
    AsignedZone->SetName(StdStr(ZoneNameEdit->text()));
    Host().ZoneRenamed(*AsignedZone);
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
    if (AsignedZone->SurfaceType() == TSurfaceType::qzaPicture) {
        // A picture carries no map and no listening height.
        MappingSidesCB->setCurrentIndex(0);
        MappingSidesCB->hide();
        AsignedZone->SetMappingSides(TMappingSides::qzaNoSPLMap);
        AudienceLevelNB->setText(QStringLiteral("0") + QLatin1Char(Host().FormatSettings().DecimalSeparator) +
                                 QStringLiteral("0"));
        AudienceLevelNB->hide();
        AsignedZone->SetListenLevel(0.0f);
        Label13->hide();
        Label16->hide();
    }
}

void TZoneFr::UpdateValues() {
    TMappingZone* zone = AsignedZone;
    if (zone == nullptr) {
        return;
    }
    {
        const TFillScope fill(*this);
        const QString unit = QStr(Host().LengthUnitText());
        ShowLayer(*zone);
        TypeLabel->setText(surfaceTypeName(zone->SurfaceType()));
        ShowFields();
        PositionGroupBox->setTitle(QStringLiteral("Position [ ") + unit + QStringLiteral(" ]"));
        DimmenGroupBox->setTitle(QStringLiteral("Dimensions [ ") + unit + QStringLiteral(" ]"));
        DimmenTrapezGroupBox->setTitle(QStringLiteral("Dimensions [ ") + unit + QStringLiteral(" ]"));
        RotGroupBox->setTitle(QStringLiteral("Rotation [ deg ]"));
        Label32->setText(unit);
        ZoneNameEdit->setText(QStr(zone->Name()));
        ZoneNameEdit->setProperty("edited", false);
    }
    Host().LayoutZoneObjects(*zone);
    UpdateSidesMapping();
    UpdateTextureSidesFloor();
    UpdateLockUnlock();
}

void TZoneFr::UpdateSidesMapping() {
    TMappingZone* zone = AsignedZone;
    if (zone == nullptr) {
        return;
    }
    {
        const QSignalBlocker block(MappingSidesCB);
        MappingSidesCB->setCurrentIndex(std::min(static_cast<int>(zone->MappingSides()), 1));
    }
    const bool mapped = zone->MappingSides() != TMappingSides::qzaNoSPLMap;
    CommitField(HeightEdit, QStr(FormatFloatPattern("0.00", OldThikness * Host().LengthUnits(),
                                                    Host().FormatSettings())));
    if (AsignedZone == nullptr) {
        return;
    }
    HeightEdit->setEnabled(true);
    AudienceLevelNB->setEnabled(mapped);
    SetListeningLevel(mapped ? zone->ListenLevel() : 0.0f);
    zone->ApplyTexture();
}

void TZoneFr::UpdateTextureSidesFloor() {
    if (AsignedZone != nullptr) {
        Host().UpdateTextureSidesFloor(*AsignedZone);
    }
}

void TZoneFr::SetListeningLevel(float) {
    if (AsignedZone == nullptr) {
        return;
    }
    Host().LayoutZoneObjects(*AsignedZone);
    AsignedZone->MyAcousticProject()->RecalcHitPoints();
}

void TZoneFr::SetAudienceLevelText(const std::string& Text) {
    const QSignalBlocker block(AudienceLevelNB);
    AudienceLevelNB->setText(QStr(Text));
}

void TZoneFr::UpdateLockUnlock() {
    if (AsignedZone == nullptr) {
        return;
    }
    const bool locked =
        AsignedZone->IsLocked() || (AsignedZone->MyLayer() != nullptr && AsignedZone->MyLayer()->IsLocked());
    ShowLockState(locked, QStringLiteral("Zone Locked - Press to Unlock"), Panel1);
}

TZoneGuide TZoneFr::FocusedGuide() const {
    const QWidget* focus = focusWidget();
    if (focus == nullptr || !focus->hasFocus()) {
        return TZoneGuide::None;
    }
    if (focus == RotAngleXEdit) {
        return TZoneGuide::RotAngleX;
    }
    if (focus == RotAngleYEdit) {
        return TZoneGuide::RotAngleY;
    }
    if (focus == RotAngleZEdit) {
        return TZoneGuide::RotAngleZ;
    }
    if (focus == TrapezHeightEdit) {
        return TZoneGuide::TrapezHeight;
    }
    return TZoneGuide::None;
}

bool TZoneFr::eventFilter(QObject* Watched, QEvent* Event) {
    // Entering or leaving a field draws the zone again (its guide lines follow the focus).
    if (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut) {
        Host().RepaintView();
    }
    if (Watched == ZoneNameEdit && Event->type() == QEvent::KeyPress) {
        Host().MarkProjectModified();
    }
    return TObjectPanel::eventFilter(Watched, Event);
}

} // namespace vendrel
