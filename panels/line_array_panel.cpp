#include "panels/line_array_panel.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/project.h"
#include "acoustics/user_preset.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/line_array_edits.h"
#include "editor/units.h"
#include "panels/row_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace vendrel {

namespace {

QString modelText(const TCabModel* model) {
    if (model == nullptr) {
        return {};
    }
    std::string text = model->ModelName();
    if (!model->VariantName().empty()) {
        text += " (" + model->VariantName() + ")";
    }
    return QStr(text);
}

QString degreesText(double Degrees) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f\u00BA", Degrees);
    return QString::fromUtf8(buf);
}

QToolButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// A cabinet's row

TCabArrayFr::TCabArrayFr(IPanelHost& Host, ILineArrayCommands& Commands, QWidget* Parent)
    : TObjectPanel(Host, Parent), commands_(Commands) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    TCheckField active;
    active.Get = [this] { return AsignedCabinet->Active(); };
    active.Set = [this](bool checked) {
        SetArrayCabinetActive(*AsignedArray, *AsignedCabinet, checked);
        this->Host().AppearanceChanged(*AsignedArray);
        this->Host().RenderButtonNeedsCalc();
        if (TAcousticProject* p = AsignedArray->MyAcousticProject()) {
            p->ClearAllMaps();
        }
    };
    active.Guard = [this] { return AsignedArray == nullptr; };
    ActiveCabCheckBox = CheckBox(QStringLiteral("ActiveCabCheckBox"), QString(), active, this);
    ActiveCabCheckBox->setToolTip(QStringLiteral("On / Off"));
    row->addWidget(ActiveCabCheckBox);
    NCabLabel = new QLabel(this);
    NCabLabel->setObjectName(QStringLiteral("NCabLabel"));
    NCabLabel->setFixedWidth(24);
    row->addWidget(NCabLabel);
    ModelCabEdit = new QLineEdit(this);
    ModelCabEdit->setObjectName(QStringLiteral("ModelCabEdit"));
    ModelCabEdit->setReadOnly(true);
    ModelCabEdit->setToolTip(QStringLiteral("Model Name"));
    row->addWidget(ModelCabEdit);
    RotCabComboB = Choice(
        QStringLiteral("RotCabComboB"), QStringLiteral("Splay Angle"),
        [this](int index) { splayChosen(index); }, this);
    RotCabComboB->setMaxVisibleItems(20);
    row->addWidget(RotCabComboB);
    AbsLabel = new QLabel(this);
    AbsLabel->setObjectName(QStringLiteral("AbsLabel"));
    AbsLabel->setToolTip(QStringLiteral("Absolute Angle"));
    AbsLabel->setFixedWidth(56);
    row->addWidget(AbsLabel);
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
    preset.Set = [this](int index) {
        TCabModel* m = AsignedCabinet->Model();
        if (m == nullptr || index < 0 || index >= m->NDSPPresets()) {
            return;
        }
        AsignedCabinet->SetInternalDSPPreset(m->DSPPresets()[static_cast<size_t>(index)]);
        IntProcessComboBox->setToolTip(QStr(AsignedCabinet->InternalDSPPreset()->Name()));
    };
    preset.FollowUps = [this] { this->Host().RenderButtonNeedsCalc(); };
    IntProcessComboBox =
        Choice(QStringLiteral("IntProcessComboBox"), QStringLiteral("Cabinet Preset"), preset, this);
    IntProcessComboBox->setMinimumWidth(110);
    row->addWidget(IntProcessComboBox);
    TChoiceField process;
    process.Get = [this] {
        const TGenericDSPProcess* p = AsignedCabinet->ExternalDSPProcess();
        const int index = p != nullptr ? static_cast<int>(p->NumberID()) : 0;
        return index < ExtProcessComboBox->count() ? index : 0;
    };
    process.Set = [this](int index) {
        TAcousticProject* project = AsignedCabinet->MyAcousticProject();
        if (project == nullptr || index < 0) {
            return;
        }
        if (index == 0) {
            AsignedCabinet->SetExternalDSPProcess(project->BypassProcess());
        } else if (index <= project->NDSPProcess()) {
            AsignedCabinet->SetExternalDSPProcess(
                project->DSPProcessList()[static_cast<size_t>(index - 1)].get());
        }
    };
    process.FollowUps = [this] { this->Host().RenderButtonNeedsCalc(); };
    ExtProcessComboBox =
        Choice(QStringLiteral("ExtProcessComboBox"), QStringLiteral("External DSP Process"), process, this);
    ExtProcessComboBox->setMinimumWidth(110);
    for (const std::string& name : Host.ExtDSPProcessNames()) {
        ExtProcessComboBox->addItem(QStr(name));
    }
    row->addWidget(ExtProcessComboBox);
    TCheckField inverted;
    inverted.Get = [this] { return AsignedCabinet->CabDirection() == TCabDirection::qzaInvertedDir; };
    inverted.Set = [this](bool checked) {
        InvertCabinetDirection(*AsignedArray, *AsignedCabinet, checked);
        this->Host().RenderButtonNeedsCalc();
        commands_.ArrayGeometryChanged(*AsignedArray);
    };
    inverted.Guard = [this] { return AsignedArray == nullptr; };
    InvDirectionCB = CheckBox(QStringLiteral("InvDirectionCB"), QString(), inverted, this);
    InvDirectionCB->setToolTip(QStringLiteral("Invert Cabinet direction"));
    row->addWidget(InvDirectionCB);
}

std::vector<QWidget*> TCabArrayFr::TitledFields() const {
    return {ActiveCabCheckBox, NCabLabel,     ModelCabEdit,       RotCabComboB,
            AbsLabel,          DirectivityCB, IntProcessComboBox, ExtProcessComboBox};
}

TQzControl3D* TCabArrayFr::ShownObject() const {
    return AsignedCabinet;
}

void TCabArrayFr::ObjectDetached() {
    AsignedCabinet = nullptr;
}

void TCabArrayFr::UpdateValues() {
    TCabinet* cabinet = AsignedCabinet;
    if (cabinet == nullptr || AsignedArray == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    const TCabModel* model = cabinet->Model();
    const TArrayMounting mounting = AsignedArray->MountingType();
    NCabLabel->setText(QString::number(cabinet->ArrayCabinetPosID()));
    ModelCabEdit->setText(modelText(model));
    choices_ = SplayChoices(*cabinet, mounting);
    RotCabComboB->clear();
    const char separator = Host().FormatSettings().DecimalSeparator;
    for (double angle : choices_) {
        RotCabComboB->addItem(QStr(SplayChoiceText(angle, separator)));
    }
    const int index = ShowCabinetSplay(*cabinet, mounting);
    RotCabComboB->setCurrentIndex(index);
    AbsLabel->setText(degreesText(-cabinet->AbsoluteRotationZ()));
    ShowFields();
    DirectivityCB->setVisible(model != nullptr && model->AllowHornRotation());
    IntProcessComboBox->setVisible(model != nullptr && model->NDSPPresets() > 0);
    if (model != nullptr && mounting == TArrayMounting::qzaFlown) {
        InvDirectionCB->setVisible(model->CanChangeDirectionFlown());
    } else if (model != nullptr && mounting == TArrayMounting::qzaStacked) {
        InvDirectionCB->setVisible(model->CanChangeDirectionStack());
    }
}

void TCabArrayFr::splayChosen(int Index) {
    if (AsignedCabinet == nullptr || AsignedArray == nullptr || Index < 0 ||
        Index >= static_cast<int>(choices_.size()) || !MayCommit({})) {
        return;
    }
    if (!ChooseCabinetSplay(*AsignedCabinet, AsignedArray->MountingType(),
                            choices_[static_cast<size_t>(Index)])) {
        return;
    }
    if (AsignedArray->MountingType() != TArrayMounting::qzaStacked && WarningText && SetWarningText) {
        SetWarningText(QStr(CheckArrayWarnings(*AsignedArray, StdStr(WarningText()), true)));
    }
    Host().RenderButtonNeedsCalc();
    // The panel and its rows are filled again: this row may be refilled from inside its own handler.
    commands_.ArrayGeometryChanged(*AsignedArray);
}

// ---------------------------------------------------------------------------------------------------
// The array's panel

TLineArrayConfigFr::TLineArrayConfigFr(IPanelHost& Host, ILineArrayCommands& Commands, QWidget* Parent)
    : TObjectPanel(Host, Parent), commands_(Commands) {
    setObjectName(QStringLiteral("LineArrayConfigFr"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    // Left column: lock, layer, name, removal, position, flown-from, direction and tilt, warnings.
    auto* left = new QWidget(this);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout();
    top->addWidget(LockButton());
    top->addWidget(LayerColorRect());
    top->addWidget(LayerNameLabel());
    column->addLayout(top);
    auto* form = new QFormLayout();
    TTextField name;
    name.Get = [this] { return AsignedArray->Name(); };
    name.Set = [this](const std::string& text) { AsignedArray->SetName(text); };
    name.FollowUps = [this] { this->Host().NameChanged(*AsignedArray); };
    ArrayNameEdit = TextField(QStringLiteral("ArrayNameEdit"), QString(), name, left);
    ArrayNameEdit->setMaxLength(22);
    form->addRow(QStringLiteral("Name"), ArrayNameEdit);
    column->addLayout(form);
    RemoveButton = button(QStringLiteral("RemoveButton"), QStringLiteral("Remove Array"), left);
    connect(RemoveButton, &QToolButton::clicked, this, [this] {
        if (AsignedArray != nullptr) {
            // The panel goes with its array: nothing of the panel is touched afterwards.
            commands_.RemoveArrayAsked(*AsignedArray);
        }
    });
    column->addWidget(RemoveButton);

    const auto guard = [this] { return AsignedArray == nullptr || this->Host().ClosingApplication(); };
    const auto placed = [this] {
        this->Host().PlacementChanged(*AsignedArray);
        this->Host().RenderButtonNeedsCalc();
    };
    auto* position = new QGroupBox(QStringLiteral("Position"), left);
    position->setObjectName(QStringLiteral("GroupBox7"));
    auto* positionForm = new QFormLayout(position);
    TFieldDescriptor x;
    x.Get = [this] { return AsignedArray->Position().X; };
    x.Set = [this](double v) {
        const TPoint3D p = AsignedArray->Position();
        AsignedArray->SetPosition({static_cast<float>(v), p.Y, p.Z});
    };
    x.FollowUps = placed;
    x.Guard = guard;
    ArraySelX = NumericField(QStringLiteral("ArraySelX"), QStringLiteral("Position X"), x, position);
    positionForm->addRow(QStringLiteral("X"), ArraySelX);
    TFieldDescriptor y = x;
    y.Get = [this] { return AsignedArray->Position().Z; };
    y.Set = [this](double v) {
        const TPoint3D p = AsignedArray->Position();
        AsignedArray->SetPosition({p.X, p.Y, static_cast<float>(v)});
    };
    ArraySelZ = NumericField(QStringLiteral("ArraySelZ"), QStringLiteral("Position Y"), y, position);
    positionForm->addRow(QStringLiteral("Y"), ArraySelZ);
    TFieldDescriptor z = x;
    z.Negated = true;
    z.Get = [this] { return AsignedArray->Position().Y; };
    z.Set = [this](double v) {
        const TPoint3D p = AsignedArray->Position();
        AsignedArray->SetPosition({p.X, static_cast<float>(v), p.Z});
    };
    ArraySelY = NumericField(QStringLiteral("ArraySelY"), QStringLiteral("Position Z"), z, position);
    positionForm->addRow(QStringLiteral("Z"), ArraySelY);
    column->addWidget(position);

    FlownPointsGroupBox = new QGroupBox(QStringLiteral("Flown from"), left);
    FlownPointsGroupBox->setObjectName(QStringLiteral("FlownPointsGroupBox"));
    auto* flown = new QVBoxLayout(FlownPointsGroupBox);
    TChoiceField from;
    from.Get = [this] { return std::min(static_cast<int>(AsignedArray->OriginType()), 1); };
    from.Set = [this](int index) {
        if (!AsignedArray->MechanicalData().RigFrameExists) {
            return;
        }
        AsignedArray->SetOriginType(static_cast<TOriginType>(index));
        AsignedArray->SetNMotors(index == 0 ? 2 : 1);
        commands_.ArrayGeometryChanged(*AsignedArray);
    };
    from.Guard = [this] { return AsignedArray == nullptr || !this->Host().EventsEnabled(); };
    FlownFromCB = Choice(QStringLiteral("FlownFromCB"), QString(), from, FlownPointsGroupBox);
    FlownFromCB->addItems({QStringLiteral("Two Points"), QStringLiteral("One Point")});
    flown->addWidget(FlownFromCB);
    column->addWidget(FlownPointsGroupBox);

    auto* rotation = new QGroupBox(QStringLiteral("Rotation [ deg ]"), left);
    rotation->setObjectName(QStringLiteral("GroupBox3"));
    auto* rotationForm = new QFormLayout(rotation);
    TFieldDescriptor direction;
    direction.Unit = TUnitKind::Angle;
    direction.Format = "0.00";
    direction.Min = -180;
    direction.Max = 180;
    direction.ReadAsAngle = true;
    direction.Get = [this] { return -AsignedArray->RotationAngle().Y; };
    direction.Set = [this](double v) { SetArrayDirection(*AsignedArray, v); };
    direction.FollowUps = placed;
    direction.Guard = guard;
    RotYNumberBox = NumericField(QStringLiteral("RotYNumberBox"),
                                 QStringLiteral("Direction. Rotation on the Z axis"), direction, rotation);
    rotationForm->addRow(QStringLiteral("Direction"), RotYNumberBox);
    TFieldDescriptor tilt;
    tilt.Unit = TUnitKind::Angle;
    tilt.Format = "0.00";
    tilt.Min = -90;
    tilt.Max = 90;
    tilt.Get = [this] { return AsignedArray->Tilt(); };
    tilt.Set = [this](double v) { SetArrayTilt(*AsignedArray, v); };
    tilt.FollowUps = [this] {
        CheckArrayWarnings(true);
        this->Host().RenderButtonNeedsCalc();
        commands_.ArrayGeometryChanged(*AsignedArray);
    };
    tilt.Guard = guard;
    RotZNumberBox = NumericField(QStringLiteral("RotZNumberBox"),
                                 QStringLiteral("Tilt. Rotation on the Y axis"), tilt, rotation);
    rotationForm->addRow(QStringLiteral("Tilt"), RotZNumberBox);
    column->addWidget(rotation);
    WarningLabel = new QLabel(left);
    WarningLabel->setObjectName(QStringLiteral("WarningLabel"));
    WarningLabel->setStyleSheet(QStringLiteral("color: tomato;"));
    WarningLabel->setWordWrap(true);
    column->addWidget(WarningLabel);
    column->addStretch(1);
    outer->addWidget(left);

    // Middle column: the array's commands.
    auto* middle = new QWidget(this);
    auto* commands = new QVBoxLayout(middle);
    commands->setContentsMargins(0, 0, 0, 0);
    AutoSplayArrayB = button(QStringLiteral("AutoSplayArrayB"), QStringLiteral("AutoSplay Array"), middle);
    connect(AutoSplayArrayB, &QToolButton::clicked, this, [this] {
        if (AsignedArray != nullptr) {
            commands_.AutoSplay(*AsignedArray);
        }
    });
    commands->addWidget(AutoSplayArrayB);
    RemoveArrayCabB =
        button(QStringLiteral("RemoveArrayCabB"), QStringLiteral("Remove Last Cabinet"), middle);
    connect(RemoveArrayCabB, &QToolButton::clicked, this, [this] {
        if (AsignedArray != nullptr) {
            const std::string before = StdStr(WarningLabel->text());
            commands_.RemoveLastCabinet(*AsignedArray);
            if (AsignedArray != nullptr) {
                WarningLabel->setText(QStr(vendrel::CheckArrayWarnings(*AsignedArray, before, true)));
            }
        }
    });
    commands->addWidget(RemoveArrayCabB);
    EditArrayCabB =
        button(QStringLiteral("EditArrayCabB"), QStringLiteral("Add one more cabinet to the Array"), middle);
    connect(EditArrayCabB, &QToolButton::clicked, this, [this] {
        if (AsignedArray != nullptr) {
            const std::string before = StdStr(WarningLabel->text());
            commands_.AddAnotherCabinet(*AsignedArray);
            if (AsignedArray != nullptr) {
                WarningLabel->setText(QStr(vendrel::CheckArrayWarnings(*AsignedArray, before, true)));
            }
        }
    });
    commands->addWidget(EditArrayCabB);
    Button4 = button(QStringLiteral("Button4"), QStringLiteral("On / Off"), middle);
    connect(Button4, &QToolButton::clicked, this, [this] {
        if (AsignedArray == nullptr) {
            return;
        }
        ToggleArrayActive(*AsignedArray);
        this->Host().RenderButtonNeedsCalc();
        this->Host().AppearanceChanged(*AsignedArray);
        if (TAcousticProject* p = AsignedArray->MyAcousticProject()) {
            p->ClearAllMaps();
        }
        UpdateValues();
    });
    commands->addWidget(Button4);
    commands->addStretch(1);
    outer->addWidget(middle);

    // Right: a row per cabinet.
    Rows = new TRowList({QStringLiteral("On / Off"), QStringLiteral("Item Number"),
                         QStringLiteral("Model Name"), QStringLiteral("Splay Angle"),
                         QStringLiteral("Absolute Angle"), QStringLiteral("Horn Directivity"),
                         QStringLiteral("DSP Preset"), QStringLiteral("External DSP Process")},
                        this);
    Rows->Rows()->setObjectName(QStringLiteral("FramedScrollBox"));
    outer->addWidget(Rows, 1);
}

void TLineArrayConfigFr::Assign(TCabArray& Array) {
    AsignedArray = &Array;
    AttachPanel(Array, this);
    UpdateValues();
}

TQzControl3D* TLineArrayConfigFr::ShownObject() const {
    return AsignedArray;
}

void TLineArrayConfigFr::ObjectDetached() {
    AsignedArray = nullptr;
    for (TCabArrayFr* row : rows_) {
        row->AsignedArray = nullptr;
    }
}

void TLineArrayConfigFr::syncRows() {
    const auto& cabinets = AsignedArray->CabinetList();
    bool same = cabinets.size() == rows_.size();
    for (size_t i = 0; same && i < cabinets.size(); ++i) {
        same = rows_[i]->AsignedCabinet == cabinets[i];
    }
    if (!same) {
        for (TCabArrayFr* row : rows_) {
            if (row->AsignedCabinet != nullptr) {
                DetachPanel(*row->AsignedCabinet);
            }
            Rows->RemoveRow(row);
        }
        rows_.clear();
        for (TCabinet* cabinet : cabinets) {
            auto* row = new TCabArrayFr(Host(), commands_, Rows->Rows());
            row->setObjectName(QStringLiteral("CabArrayFrame%1").arg(rows_.size() + 1));
            row->AsignedArray = AsignedArray;
            row->AsignedCabinet = cabinet;
            row->WarningText = [this] { return WarningLabel->text(); };
            row->SetWarningText = [this](const QString& text) { WarningLabel->setText(text); };
            AttachPanel(*cabinet, row);
            Rows->AddRow(row, row->TitledFields());
            rows_.push_back(row);
        }
    }
    for (TCabArrayFr* row : rows_) {
        row->UpdateValues();
    }
}

void TLineArrayConfigFr::UpdateValues() {
    WarningLabel->clear();
    if (AsignedArray == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    ShowLayer(*AsignedArray);
    ShowFields();
    FlownPointsGroupBox->setVisible(AsignedArray->MountingType() == TArrayMounting::qzaFlown);
    CheckArrayWarnings(false);
    syncRows();
    UpdateLockUnlock();
}

void TLineArrayConfigFr::CheckArrayWarnings(bool ShowMsg) {
    if (AsignedArray != nullptr) {
        WarningLabel->setText(
            QStr(vendrel::CheckArrayWarnings(*AsignedArray, StdStr(WarningLabel->text()), ShowMsg)));
    }
}

void TLineArrayConfigFr::UpdateLockUnlock() {
    if (AsignedArray == nullptr) {
        return;
    }
    const bool locked = AsignedArray->IsLocked() ||
                        (AsignedArray->MyLayer() != nullptr && AsignedArray->MyLayer()->IsLocked());
    ShowLockState(locked, QStringLiteral("Array Locked - Press to Unlock"), nullptr);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w != LockButton() && w != LockOverlay()) {
            w->setEnabled(!locked);
        }
    }
}

} // namespace vendrel
