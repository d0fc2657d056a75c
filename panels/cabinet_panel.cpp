#include "panels/cabinet_panel.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/project.h"
#include "acoustics/user_preset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
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

    const auto guarded = [this] { return this->Host().ClosingApplication() || AsignedCabinet == nullptr; };
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
            if (AsignedCabinet->GraphicalObject != nullptr) {
                AsignedCabinet->GraphicalObject->SetPosition(AsignedCabinet->Position());
            }
        };
    };
    TFieldDescriptor length;
    length.Unit = TUnitKind::Length;
    length.Format = "0.000";
    length.Min = -2000;
    length.Max = 2000;
    length.Guard = guarded;
    TFieldDescriptor turn;
    turn.Unit = TUnitKind::Angle;
    turn.Format = "0.00";
    turn.Min = -180;
    turn.Max = 180;
    turn.Negated = true;
    turn.WrapShown = true;
    turn.ReadAsAngle = true;
    turn.Guard = guarded;

    ActiveCabCheckBox = CheckBox(
        QStringLiteral("ActiveCabCheckBox"), QStringLiteral("On / Off"),
        [this](bool checked) { activeCabCheckBoxClick(checked); }, this);
    row->addWidget(ActiveCabCheckBox);
    row->addWidget(LockButton());
    row->addWidget(LayerColorRect());
    LayerNameLabel()->setFixedWidth(105);
    row->addWidget(LayerNameLabel());
    InsertPointCB = Choice(QStringLiteral("InsertPointCB"), QStringLiteral("Insert point"), nullptr, this);
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
    rx.FollowUps = [this] { SetObj3DRotation(); };
    RotXCabBox =
        NumericField(QStringLiteral("RotXCabBox"), QStringLiteral("Rotation on the X axis"), rx, this);
    TFieldDescriptor rz = turn;
    rz.Get = [this] { return AsignedCabinet->RotationAngle().Z; };
    rz.Set = [this](double v) { turnCommitted(AsignedCabinet->RotationAngle().Y, v); };
    rz.FollowUps = [this] { SetObj3DRotation(); };
    RotZCabBox =
        NumericField(QStringLiteral("RotZCabBox"), QStringLiteral("Rotation on the Y axis"), rz, this);
    TFieldDescriptor ry = turn;
    ry.Get = [this] { return AsignedCabinet->RotationAngle().Y; };
    ry.Set = [this](double v) { turnCommitted(v, AsignedCabinet->RotationAngle().Z); };
    ry.FollowUps = [this] { SetObj3DRotation(); };
    RotYCabBox =
        NumericField(QStringLiteral("RotYCabBox"), QStringLiteral("Rotation on the Z axis"), ry, this);
    for (QLineEdit* e : {XCabBox, ZCabBox, YCabBox, RotXCabBox, RotZCabBox, RotYCabBox}) {
        e->setFixedWidth(62);
        row->addWidget(e);
    }

    MountingCabCheckBox = CheckBox(
        QStringLiteral("MountingCabCheckBox"), QStringLiteral("Horiz."),
        [this](bool checked) {
            if (AsignedCabinet == nullptr) {
                return;
            }
            AsignedCabinet->SetPlacementType(checked ? TCabPlacement::qzaHorizontal
                                                     : TCabPlacement::qzaVertical);
            this->Host().RenderButtonNeedsCalc();
            SetObj3DRotation();
        },
        this);
    row->addWidget(MountingCabCheckBox);
    DirectivityCB = Choice(
        QStringLiteral("DirectivityCB"), QStringLiteral("Directivity Pattern"),
        [this](int index) {
            if (AsignedCabinet == nullptr) {
                return;
            }
            AsignedCabinet->SetHornRotationIndex(index);
            this->Host().RenderButtonNeedsCalc();
        },
        this);
    row->addWidget(DirectivityCB);
    IntProcessComboBox = Choice(
        QStringLiteral("IntProcessComboBox"), QStringLiteral("Internal DSP Preset of the Cabinet"),
        [this](int index) { intProcessChosen(index); }, this);
    IntProcessComboBox->setMinimumWidth(120);
    row->addWidget(IntProcessComboBox);
    ExtProcessComboBox = Choice(
        QStringLiteral("ExtProcessComboBox"), QStringLiteral("External DSP Process (User Process)"),
        [this](int index) { extProcessChosen(index); }, this);
    ExtProcessComboBox->setMinimumWidth(110);
    for (const std::string& name : Host.ExtDSPProcessNames()) {
        ExtProcessComboBox->addItem(QStr(name));
    }
    row->addWidget(ExtProcessComboBox);
    SelCheckBox = CheckBox(
        QStringLiteral("SelCheckBox"), QString(),
        [this](bool checked) {
            if (AsignedCabinet == nullptr) {
                return;
            }
            this->Host().SelectFromPanel(*AsignedCabinet, checked);
            paintBackground(checked);
        },
        this);
    SelCheckBox->setToolTip(QStringLiteral("Select Cabinet"));
    row->addWidget(SelCheckBox);
    row->addStretch(1);
    paintBackground(false);
}

TObject* TCabinetsFr::LayerTarget() const {
    return AsignedCabinet;
}

void TCabinetsFr::paintBackground(bool Selected) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(Selected ? kSelected : kNormal));
    setPalette(pal);
}

void TCabinetsFr::turnCommitted(double Y, double Z) {
    AsignedCabinet->SetRotationAngle({0.0f, static_cast<float>(Y), static_cast<float>(Z)});
}

void TCabinetsFr::ObjectDetached() {
    AsignedCabinet = nullptr;
}

void TCabinetsFr::SetObj3DRotation() {
    if (AsignedCabinet != nullptr) {
        Host().SetObj3DRotation(*AsignedCabinet);
    }
}

void TCabinetsFr::SetMaterialInCabinet() {
    if (AsignedCabinet != nullptr) {
        Host().SetMaterialInCabinet(*AsignedCabinet);
    }
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
    MountingCabCheckBox->setChecked(cabinet->PlacementType() == TCabPlacement::qzaHorizontal);

    InsertPointCB->clear();
    if (model != nullptr && !model->OriginCenters().empty()) {
        for (const auto& c : model->OriginCenters()) {
            InsertPointCB->addItem(QStr(c.Name));
        }
        InsertPointCB->setCurrentIndex(cabinet->OriginCenterIndex());
        cabinet->SetRotationCenter();
    } else {
        InsertPointCB->addItem(QStringLiteral("Center"));
        InsertPointCB->setCurrentIndex(0);
        cabinet->TControl3D::SetRotationCenter({0, 0, 0});
    }

    DirectivityCB->clear();
    if (model != nullptr && model->AllowHornRotation()) {
        DirectivityCB->addItem(QStr(model->DefaultCoverageText()));
        DirectivityCB->addItem(QStr(model->SecondCoverageText()));
        DirectivityCB->setCurrentIndex(cabinet->HornRotationIndex());
        DirectivityCB->show();
    } else {
        DirectivityCB->setCurrentIndex(-1);
        DirectivityCB->hide();
    }

    const TGenericDSPProcess* process = cabinet->ExternalDSPProcess();
    ExtProcessComboBox->setCurrentIndex(process != nullptr ? process->NumberID() : 0);

    IntProcessComboBox->clear();
    if (model == nullptr || model->NDSPPresets() == 0) {
        IntProcessComboBox->hide();
        cabinet->SetInternalDSPPreset(nullptr);
    } else {
        IntProcessComboBox->show();
        for (const std::string& name : model->GetInternalPresetNames()) {
            IntProcessComboBox->addItem(QStr(name));
        }
        if (const TUserPreset* preset = cabinet->InternalDSPPreset()) {
            IntProcessComboBox->setCurrentIndex(preset->NumberID() - 1);
            IntProcessComboBox->setToolTip(QStr(preset->Name()));
        }
    }

    SetObj3DRotation();
    ActiveCabCheckBox->setChecked(cabinet->Active());
    SetMaterialInCabinet();
    SelCheckBox->setChecked(cabinet->IsObjectSelected());
    paintBackground(SelCheckBox->isChecked());
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

void TCabinetsFr::SetSelChecked(bool Checked) {
    const QSignalBlocker block(SelCheckBox);
    SelCheckBox->setChecked(Checked);
    paintBackground(Checked);
}

void TCabinetsFr::SetRowVisible(bool Visible) {
    setVisible(Visible);
}

void TCabinetsFr::ScrollIntoView() {
    for (QWidget* p = parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(p)) {
            scroll->ensureWidgetVisible(this, 0, scroll->viewport()->height() / 2);
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
    SetMaterialInCabinet();
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
