#include "panels/cabinet_panel.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/project.h"
#include "acoustics/user_preset.h"
#include "panels/row_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

namespace vendrel {

namespace {

constexpr TAlphaColor kNormal = 0xFF454B55;
constexpr TAlphaColor kSelected = 0xFF87949F;

QString modelText(const TCabModel* m) {
    if (m == nullptr) {
        return {};
    }
    return m->VariantName().empty() ? QStr(m->ModelName())
                                    : QStr(m->ModelName() + " (" + m->VariantName() + ")");
}

} // namespace

TCabinetsFr::TCabinetsFr(IPanelHost& Host, QWidget* Parent) : TObjectPanel(Host, Parent) {
    setObjectName(QStringLiteral("CabinetFrame"));
    setFixedHeight(27);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(3);
    BackgroundRect = this;
    setAutoFillBackground(true);

    const auto guarded = [this] { return this->Host().ClosingApplication(); };
    const auto position = [this](int axis) {
        return [this, axis] {
            const TPoint3D p = AsignedCabinet->Position();
            return static_cast<double>(axis == 0 ? p.X : axis == 1 ? p.Y : p.Z);
        };
    };
    const auto setPosition = [this](int axis) {
        return [this, axis](double v) {
            TPoint3D p = AsignedCabinet->Position();
            (axis == 0 ? p.X : axis == 1 ? p.Y : p.Z) = static_cast<float>(v);
            AsignedCabinet->SetPosition(p);
        };
    };
    const auto placed = [this] { this->Host().PlacementChanged(*AsignedCabinet); };
    TFieldDescriptor length;
    length.Unit = TUnitKind::Length;
    length.Format = "0.000";
    length.Min = -2000;
    length.Max = 2000;
    length.Guard = guarded;
    length.FollowUps = placed;
    TFieldDescriptor turn;
    turn.Unit = TUnitKind::Angle;
    turn.Format = "0.00";
    turn.Min = -180;
    turn.Max = 180;
    turn.Negated = true;
    turn.WrapShown = true;
    turn.ReadAsAngle = true;
    turn.Guard = guarded;
    turn.FollowUps = placed;

    TCheckField active;
    active.Get = [this] { return AsignedCabinet->Active(); };
    active.Set = [this](bool checked) { activeCabCheckBoxClick(checked); };
    ActiveCabCheckBox =
        CheckBox(QStringLiteral("ActiveCabCheckBox"), QStringLiteral("On / Off"), active, this);
    row->addWidget(ActiveCabCheckBox);
    row->addWidget(LockButton());
    row->addWidget(LayerColorRect());
    LayerNameLabel()->setFixedWidth(105);
    row->addWidget(LayerNameLabel());
    TChoiceField insertPoint;
    insertPoint.Items = [this] {
        std::vector<std::string> items;
        const TCabModel* m = AsignedCabinet->Model();
        if (m != nullptr && !m->OriginCenters().empty()) {
            for (const auto& c : m->OriginCenters()) {
                items.push_back(c.Name);
            }
        } else {
            items.push_back("Center");
        }
        return items;
    };
    insertPoint.Get = [this] {
        const TCabModel* m = AsignedCabinet->Model();
        return m != nullptr && !m->OriginCenters().empty()
                   ? static_cast<int>(AsignedCabinet->OriginCenterIndex())
                   : 0;
    };
    InsertPointCB =
        Choice(QStringLiteral("InsertPointCB"), QStringLiteral("Insert point"), insertPoint, this);
    InsertPointCB->hide();
    ModelCabEdit = new QLineEdit(this);
    ModelCabEdit->setObjectName(QStringLiteral("ModelCabEdit"));
    ModelCabEdit->setToolTip(QStringLiteral("Model Name"));
    ModelCabEdit->setReadOnly(true);
    ModelCabEdit->setMinimumWidth(130);
    ModelCabEdit->installEventFilter(this);
    row->addWidget(ModelCabEdit);

    TFieldDescriptor x = length;
    x.Get = position(0);
    x.Set = setPosition(0);
    XCabBox = NumericField(QStringLiteral("XCabBox"), QStringLiteral("Position X"), x, this);
    TFieldDescriptor z = length;
    z.Get = position(2);
    z.Set = setPosition(2);
    ZCabBox = NumericField(QStringLiteral("ZCabBox"), QStringLiteral("Position Y"), z, this);
    TFieldDescriptor y = length;
    y.Negated = true;
    y.Get = position(1);
    y.Set = setPosition(1);
    YCabBox = NumericField(QStringLiteral("YCabBox"), QStringLiteral("Position Z"), y, this);

    TFieldDescriptor rx = turn;
    rx.Get = [this] { return AsignedCabinet->RotX(); };
    rx.Set = [this](double v) {
        AsignedCabinet->SetRotX(v);
        // The placement turns the source pivot to the new X turn.
        AsignedCabinet->SetPlacementType(AsignedCabinet->PlacementType());
    };
    RotXCabBox =
        NumericField(QStringLiteral("RotXCabBox"), QStringLiteral("Rotation on the X axis"), rx, this);
    TFieldDescriptor rz = turn;
    rz.Get = [this] { return AsignedCabinet->RotationAngle().Z; };
    rz.Set = [this](double v) {
        AsignedCabinet->SetRotationAngle({0.0f, AsignedCabinet->RotationAngle().Y, static_cast<float>(v)});
    };
    RotZCabBox =
        NumericField(QStringLiteral("RotZCabBox"), QStringLiteral("Rotation on the Y axis"), rz, this);
    TFieldDescriptor ry = turn;
    ry.Get = [this] { return AsignedCabinet->RotationAngle().Y; };
    ry.Set = [this](double v) {
        AsignedCabinet->SetRotationAngle({0.0f, static_cast<float>(v), AsignedCabinet->RotationAngle().Z});
    };
    RotYCabBox =
        NumericField(QStringLiteral("RotYCabBox"), QStringLiteral("Rotation on the Z axis"), ry, this);
    for (QLineEdit* e : {XCabBox, ZCabBox, YCabBox, RotXCabBox, RotZCabBox, RotYCabBox}) {
        e->setFixedWidth(62);
        row->addWidget(e);
    }

    TCheckField mounting;
    mounting.Get = [this] { return AsignedCabinet->PlacementType() == TCabPlacement::qzaHorizontal; };
    mounting.Set = [this](bool checked) {
        AsignedCabinet->SetPlacementType(checked ? TCabPlacement::qzaHorizontal : TCabPlacement::qzaVertical);
    };
    mounting.FollowUps = [this, placed] {
        this->Host().RenderButtonNeedsCalc();
        placed();
    };
    MountingCabCheckBox =
        CheckBox(QStringLiteral("MountingCabCheckBox"), QStringLiteral("Horiz."), mounting, this);
    row->addWidget(MountingCabCheckBox);
    TChoiceField directivity;
    directivity.Items = [this] {
        const TCabModel* m = AsignedCabinet->Model();
        if (m == nullptr || !m->AllowHornRotation()) {
            return std::vector<std::string>{};
        }
        return std::vector<std::string>{m->DefaultCoverageText(), m->SecondCoverageText()};
    };
    directivity.Get = [this] { return static_cast<int>(AsignedCabinet->HornRotationIndex()); };
    directivity.Set = [this](int index) { AsignedCabinet->SetHornRotationIndex(index); };
    directivity.FollowUps = [this] { this->Host().RenderButtonNeedsCalc(); };
    DirectivityCB =
        Choice(QStringLiteral("DirectivityCB"), QStringLiteral("Directivity Pattern"), directivity, this);
    row->addWidget(DirectivityCB);
    TChoiceField preset;
    preset.Items = [this] {
        const TCabModel* m = AsignedCabinet->Model();
        return m != nullptr ? m->GetInternalPresetNames() : std::vector<std::string>{};
    };
    preset.Get = [this] {
        const TUserPreset* p = AsignedCabinet->InternalDSPPreset();
        return p != nullptr ? static_cast<int>(p->NumberID() - 1) : -1;
    };
    preset.Set = [this](int index) { intProcessChosen(index); };
    IntProcessComboBox = Choice(QStringLiteral("IntProcessComboBox"),
                                QStringLiteral("Internal DSP Preset of the Cabinet"), preset, this);
    IntProcessComboBox->setMinimumWidth(120);
    row->addWidget(IntProcessComboBox);
    TChoiceField process;
    process.Get = [this] {
        const TGenericDSPProcess* p = AsignedCabinet->ExternalDSPProcess();
        return p != nullptr ? static_cast<int>(p->NumberID()) : 0;
    };
    process.Set = [this](int index) { extProcessChosen(index); };
    ExtProcessComboBox = Choice(QStringLiteral("ExtProcessComboBox"),
                                QStringLiteral("External DSP Process (User Process)"), process, this);
    ExtProcessComboBox->setMinimumWidth(110);
    for (const std::string& name : Host.ExtDSPProcessNames()) {
        ExtProcessComboBox->addItem(QStr(name));
    }
    row->addWidget(ExtProcessComboBox);
    TCheckField selected;
    selected.Get = [this] { return AsignedCabinet->IsObjectSelected(); };
    selected.Set = [this](bool checked) {
        this->Host().SelectRequested(*AsignedCabinet, checked);
        paintBackground(checked);
    };
    SelCheckBox = CheckBox(QStringLiteral("SelCheckBox"), QString(), selected, this);
    SelCheckBox->setToolTip(QStringLiteral("Select Cabinet"));
    row->addWidget(SelCheckBox);
    row->addStretch(1);
    paintBackground(false);
}

TQzControl3D* TCabinetsFr::ShownObject() const {
    return AsignedCabinet;
}

std::vector<QWidget*> TCabinetsFr::TitledFields() const {
    return {XCabBox, ZCabBox, YCabBox, RotXCabBox, RotZCabBox, RotYCabBox};
}

void TCabinetsFr::paintBackground(bool Selected) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(Selected ? kSelected : kNormal));
    setPalette(pal);
}

void TCabinetsFr::ObjectDetached() {
    AsignedCabinet = nullptr;
}

void TCabinetsFr::UpdateValues() {
    TCabinet* cabinet = AsignedCabinet;
    if (cabinet == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    const TCabModel* model = cabinet->Model();
    ShowLayer(*cabinet);
    ModelCabEdit->setText(modelText(model));
    ShowFields();
    const bool ceiling = model != nullptr && (model->CabinetType() == TCabinetType::qzaCeiling ||
                                              model->CabinetType() == TCabinetType::qzaCeilingSub);
    MountingCabCheckBox->setVisible(!ceiling);
    DirectivityCB->setVisible(model != nullptr && model->AllowHornRotation());
    IntProcessComboBox->setVisible(model != nullptr && model->NDSPPresets() > 0);
    if (const TUserPreset* preset = cabinet->InternalDSPPreset()) {
        IntProcessComboBox->setToolTip(QStr(preset->Name()));
    }
    paintBackground(cabinet->IsObjectSelected());
    UpdateLockUnlock();
}

void TCabinetsFr::UpdateLockUnlock() {
    if (AsignedCabinet == nullptr) {
        return;
    }
    const bool locked = AsignedCabinet->IsLocked() ||
                        (AsignedCabinet->MyLayer() != nullptr && AsignedCabinet->MyLayer()->IsLocked());
    ShowLockState(locked, QStringLiteral("Cabinet Locked - Press to Unlock"), nullptr);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w != LockButton() && w != LockOverlay()) {
            w->setEnabled(!locked);
        }
    }
}

void TCabinetsFr::ShowSelected(bool Checked) {
    const QSignalBlocker block(SelCheckBox);
    SelCheckBox->setChecked(Checked);
    paintBackground(Checked);
}

void TCabinetsFr::SetRowVisible(bool Visible) {
    setVisible(Visible);
}

void TCabinetsFr::ScrollIntoView() {
    for (QWidget* p = parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (auto* list = qobject_cast<TRowList*>(p)) {
            list->ScrollTo(this);
            return;
        }
    }
}

void TCabinetsFr::activeCabCheckBoxClick(bool Checked) {
    TCabinet* cabinet = AsignedCabinet;
    if (cabinet == nullptr || Checked == cabinet->Active()) {
        return;
    }
    cabinet->SetActive(Checked);
    Host().AppearanceChanged(*cabinet);
    if (cabinet->GraphicalObject != nullptr) {
        cabinet->GraphicalObject->Repaint();
    }
    Host().RenderButtonNeedsCalc();
    if (TAcousticProject* project = cabinet->MyAcousticProject()) {
        project->ClearAllMaps();
    }
}

void TCabinetsFr::intProcessChosen(int Index) {
    TCabinet* cabinet = AsignedCabinet;
    if (cabinet == nullptr || cabinet->Model() == nullptr || Index < 0 ||
        Index >= cabinet->Model()->NDSPPresets()) {
        return;
    }
    TUserPreset* preset = cabinet->Model()->DSPPresets()[static_cast<size_t>(Index)];
    cabinet->SetInternalDSPPreset(preset);
    IntProcessComboBox->setToolTip(QStr(preset->Name()));
    Host().RenderButtonNeedsCalc();
}

void TCabinetsFr::extProcessChosen(int Index) {
    TCabinet* cabinet = AsignedCabinet;
    TAcousticProject* project = cabinet != nullptr ? cabinet->MyAcousticProject() : nullptr;
    if (project != nullptr && Index >= 0) {
        if (Index == 0) {
            cabinet->SetExternalDSPProcess(project->BypassProcess());
        } else if (Index <= project->NDSPProcess()) {
            cabinet->SetExternalDSPProcess(project->DSPProcessList()[static_cast<size_t>(Index - 1)].get());
        }
    }
    Host().RenderButtonNeedsCalc();
}

bool TCabinetsFr::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == ModelCabEdit && Event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(Event);
        if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton &&
            mouse->modifiers() == Qt::NoModifier && AsignedCabinet != nullptr) {
            Host().PopupModels(AsignedCabinet);
        }
        return true;
    }
    return TObjectPanel::eventFilter(Watched, Event);
}

} // namespace vendrel
