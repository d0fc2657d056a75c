#include "panels/mic_panel.h"

#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "editor/measure_responses.h"
#include "panels/row_list.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include <optional>

namespace vendrel {

namespace {

constexpr TAlphaColor kNormal = 0xFF454B55;
constexpr TAlphaColor kSelected = 0xFF87949F;

void paint(QWidget& Row, TAlphaColor Color) {
    QPalette pal = Row.palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(Color));
    Row.setPalette(pal);
}

void fillSwatch(QLabel& Swatch, TAlphaColor Color) {
    const QColor c = QColor::fromRgba(Color);
    Swatch.setStyleSheet(QStringLiteral("background-color: %1; color: %2; border-radius: 3px;")
                             .arg(c.name(QColor::HexRgb), c.lightness() > 128 ? "black" : "white"));
}

// The colour the user picks, starting at Start; nothing when cancelled.
std::optional<TAlphaColor> askColor(QWidget* Parent, TAlphaColor Start) {
    const QColor c = QColorDialog::getColor(QColor::fromRgba(Start), Parent);
    if (!c.isValid()) {
        return std::nullopt;
    }
    return static_cast<TAlphaColor>(c.rgba());
}

QToolButton* smallButton(const QString& Name, const QString& Text, const QString& Hint, QWidget* Parent) {
    auto* b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setText(Text);
    b->setToolTip(Hint);
    b->setFixedSize(22, 22);
    return b;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// A point's row

TSingleMicFr::TSingleMicFr(IPanelHost& Host, TMeasureResponses& Responses, QWidget* Parent)
    : TObjectPanel(Host, Parent), responses_(Responses) {
    setObjectName(QStringLiteral("MicFrame"));
    setFixedHeight(26);
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(3);
    const auto guarded = [this] { return this->Host().ClosingApplication(); };

    TCheckField active;
    active.Get = [this] { return AsignedMic->Visible(); };
    active.Set = [this](bool checked) {
        if (checked == AsignedMic->Visible()) {
            return;
        }
        AsignedMic->SetVisible(checked);
        this->Host().MarkProjectModified();
        responses_.ShowMic(*AsignedMic, checked);
    };
    ActiveCheckBox = CheckBox(QStringLiteral("ActiveCheckBox"), QString(), active, this);
    ActiveCheckBox->setToolTip(QStringLiteral("Show Mic"));
    row->addWidget(ActiveCheckBox);

    ColorRect = new QLabel(this);
    ColorRect->setObjectName(QStringLiteral("ColorRect"));
    ColorRect->setFixedSize(30, 20);
    ColorRect->setAlignment(Qt::AlignCenter);
    ColorRect->installEventFilter(this);
    row->addWidget(ColorRect);

    // The three fields set the whole position from what the three show.
    const auto position = [this](int axis) {
        return [this, axis] {
            const TPoint3D p = AsignedMic->Position();
            return static_cast<double>(axis == 0 ? p.X : axis == 1 ? p.Y : p.Z);
        };
    };
    const auto setPosition = [this](int axis) {
        return [this, axis](double v) {
            TPoint3D p = AsignedMic->Position();
            (axis == 0 ? p.X : axis == 1 ? p.Y : p.Z) = static_cast<float>(v);
            AsignedMic->SetPosition(p);
        };
    };
    TFieldDescriptor length;
    length.Unit = TUnitKind::Length;
    length.Format = "0.000";
    length.Min = -5000;
    length.Max = 5000;
    length.Guard = guarded;
    length.FollowUps = [this] { this->Host().PlacementChanged(*AsignedMic); };
    TFieldDescriptor x = length;
    x.Get = position(0);
    x.Set = setPosition(0);
    MicXBox = NumericField(QStringLiteral("MicXBox"), QStringLiteral("Position X"), x, this);
    TFieldDescriptor z = length;
    z.Get = position(2);
    z.Set = setPosition(2);
    MicZBox = NumericField(QStringLiteral("MicZBox"), QStringLiteral("Position Y"), z, this);
    TFieldDescriptor y = length;
    y.Negated = true;
    y.Get = position(1);
    y.Set = setPosition(1);
    MicYBox = NumericField(QStringLiteral("MicYBox"), QStringLiteral("Position Z"), y, this);
    TFieldDescriptor delay;
    delay.Unit = TUnitKind::Count;
    delay.Format = "0.000";
    delay.Min = -5000;
    delay.Max = 5000;
    delay.Guard = guarded;
    delay.Get = [this] { return static_cast<double>(AsignedMic->MicDelay_ms()); };
    delay.Set = [this](double v) { AsignedMic->SetMicDelay_ms(static_cast<float>(v)); };
    MicDistanceBox = NumericField(QStringLiteral("MicDistanceBox"),
                                  QStringLiteral("Compensation Delay (msec)"), delay, this);
    for (QLineEdit* e : {MicXBox, MicZBox, MicYBox, MicDistanceBox}) {
        e->setAlignment(Qt::AlignCenter);
        e->setFixedWidth(62);
        row->addWidget(e);
    }

    AlignDelayB =
        smallButton(QStringLiteral("AlignDelayB"), QStringLiteral("D"), QStringLiteral("Find delay"), this);
    connect(AlignDelayB, &QToolButton::clicked, this, [this] {
        if (AsignedMic == nullptr) {
            return;
        }
        responses_.FindDelay(*AsignedMic);
        ShowField(MicDistanceBox);
    });
    row->addWidget(AlignDelayB);

    SelCheckBox = CheckBox(
        QStringLiteral("SelCheckBox"), QString(),
        [this](bool checked) {
            if (AsignedMic == nullptr) {
                return;
            }
            responses_.SetTicked(AsignedMic, checked);
            this->Host().SelectRequested(*AsignedMic, checked);
            paintBackground(checked);
        },
        this);
    SelCheckBox->setToolTip(QStringLiteral("Select Mic"));
    row->addWidget(SelCheckBox);

    CaptureCurveB = smallButton(QStringLiteral("CaptureCurveB"), QStringLiteral("O"),
                                QStringLiteral("Set Overlay"), this);
    connect(CaptureCurveB, &QToolButton::clicked, this, [this] {
        if (AsignedMic != nullptr) {
            responses_.CaptureCurve(*AsignedMic);
        }
    });
    row->addWidget(CaptureCurveB);
    row->addStretch(1);
    paintBackground(false);
}

TQzControl3D* TSingleMicFr::ShownObject() const {
    return AsignedMic;
}

std::vector<QWidget*> TSingleMicFr::TitledFields() const {
    return {MicXBox, MicZBox, MicYBox, MicDistanceBox};
}

void TSingleMicFr::paintBackground(bool Selected) {
    paint(*this, Selected ? kSelected : kNormal);
}

void TSingleMicFr::ObjectDetached() {
    AsignedMic = nullptr;
}

void TSingleMicFr::UpdateValues() {
    TMicPoint* mic = AsignedMic;
    if (mic == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    ShowFields();
    ShowColor();
    ShowTick();
    paintBackground(mic->IsObjectSelected());
}

void TSingleMicFr::ShowColor() {
    if (AsignedMic == nullptr) {
        return;
    }
    ColorRect->setText(QString::number(AsignedMic->IDnumber() + 1));
    fillSwatch(*ColorRect, AsignedMic->Color());
}

void TSingleMicFr::ShowTick() {
    if (AsignedMic == nullptr) {
        return;
    }
    const QSignalBlocker block(SelCheckBox);
    SelCheckBox->setChecked(responses_.IsTicked(AsignedMic) || AsignedMic->IsObjectSelected());
}

void TSingleMicFr::ShowSelected(bool Selected) {
    if (AsignedMic != nullptr) {
        responses_.SetTicked(AsignedMic, Selected);
    }
    const QSignalBlocker block(SelCheckBox);
    SelCheckBox->setChecked(Selected);
    paintBackground(Selected);
}

void TSingleMicFr::SetRowVisible(bool Visible) {
    setVisible(Visible);
}

void TSingleMicFr::ScrollIntoView() {
    for (QWidget* p = parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (auto* list = qobject_cast<TRowList*>(p)) {
            list->ScrollTo(this);
            return;
        }
    }
}

void TSingleMicFr::pickColor() {
    if (AsignedMic == nullptr) {
        return;
    }
    if (const std::optional<TAlphaColor> c = askColor(this, AsignedMic->Color())) {
        responses_.SetMicColor(*AsignedMic, *c);
        ShowColor();
    }
}

bool TSingleMicFr::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == ColorRect && Event->type() == QEvent::MouseButtonRelease) {
        pickColor();
        return true;
    }
    return TObjectPanel::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------------------------------------------
// An overlay's row

TOverlayFr::TOverlayFr(IPanelHost& Host, TMeasureResponses& Responses, QWidget* Parent)
    : TObjectPanel(Host, Parent), responses_(Responses) {
    setObjectName(QStringLiteral("OverlayFrame"));
    setFixedHeight(26);
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(3);
    TCheckField shown;
    shown.Get = [this] { return AsignedOverlay->Visible(); };
    shown.Set = [this](bool checked) {
        this->Host().MarkProjectModified();
        responses_.ShowOverlayCurves(*AsignedOverlay, checked);
    };
    OverlayCB = CheckBox(QStringLiteral("OverlayCB"), QString(), shown, this);
    OverlayCB->setToolTip(QStringLiteral("Show Overlay"));
    row->addWidget(OverlayCB);
    ColorRect = new QLabel(this);
    ColorRect->setObjectName(QStringLiteral("ColorRect"));
    ColorRect->setFixedSize(30, 20);
    ColorRect->installEventFilter(this);
    row->addWidget(ColorRect);
    TTextField name;
    name.Get = [this] { return AsignedOverlay->Name(); };
    name.Set = [this](const std::string& text) { AsignedOverlay->SetName(text); };
    NameEdit = TextField(QStringLiteral("NameEdit"), QString(), name, this);
    NameEdit->setMaxLength(15);
    NameEdit->setAlignment(Qt::AlignCenter);
    row->addWidget(NameEdit, 1);
    SelCheckBox = CheckBox(
        QStringLiteral("SelCheckBox"), QString(),
        [this](bool checked) {
            if (AsignedOverlay != nullptr) {
                responses_.SetTicked(AsignedOverlay, checked);
            }
            paintBackground(checked);
        },
        this);
    row->addWidget(SelCheckBox);
    paintBackground(false);
}

TQzControl3D* TOverlayFr::ShownObject() const {
    return AsignedOverlay;
}

void TOverlayFr::ObjectDetached() {
    AsignedOverlay = nullptr;
}

void TOverlayFr::UpdateValues() {
    if (AsignedOverlay == nullptr) {
        return;
    }
    const TFillScope fill(*this);
    NameEdit->setText(QStr(AsignedOverlay->Name()));
    OverlayCB->setChecked(AsignedOverlay->Visible());
    fillSwatch(*ColorRect, AsignedOverlay->Color());
    ShowTick();
}

void TOverlayFr::ShowTick() {
    if (AsignedOverlay == nullptr) {
        return;
    }
    const bool ticked = responses_.IsTicked(AsignedOverlay);
    const QSignalBlocker block(SelCheckBox);
    SelCheckBox->setChecked(ticked);
    paintBackground(ticked);
}

void TOverlayFr::paintBackground(bool Ticked) {
    paint(*this, Ticked ? kSelected : kNormal);
}

void TOverlayFr::pickColor() {
    if (AsignedOverlay == nullptr) {
        return;
    }
    if (const std::optional<TAlphaColor> c = askColor(this, AsignedOverlay->Color())) {
        responses_.SetOverlayColor(*AsignedOverlay, *c);
        fillSwatch(*ColorRect, AsignedOverlay->Color());
    }
}

bool TOverlayFr::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == ColorRect && Event->type() == QEvent::MouseButtonRelease) {
        pickColor();
        return true;
    }
    return TObjectPanel::eventFilter(Watched, Event);
}

} // namespace vendrel
