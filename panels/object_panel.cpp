#include "panels/object_panel.h"

#include "editor/units.h"
#include "scene/scene_object.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vendrel {

QString QStr(const std::string& Text) {
    return QString::fromStdString(Text);
}

std::string StdStr(const QString& Text) {
    return Text.toStdString();
}

namespace {

constexpr int kKeyUp = Qt::Key_Up;
constexpr int kKeyDown = Qt::Key_Down;

QString colorStyle(TAlphaColor c) {
    return QStringLiteral("background-color: #%1; border: 1px solid #202020;")
        .arg(c & 0x00FFFFFFu, 6, 16, QLatin1Char('0'));
}

} // namespace

TObjectPanel::TObjectPanel(IPanelHost& Host, QWidget* Parent) : QFrame(Parent), host_(Host) {
    lockButton_ = new QToolButton(this);
    lockButton_->setObjectName(QStringLiteral("LockButton"));
    lockButton_->setAutoRaise(true);
    layerColorRect_ = new QLabel(this);
    layerColorRect_->setObjectName(QStringLiteral("LayerColorRect"));
    layerColorRect_->setFixedSize(14, 14);
    layerNameLabel_ = new QLabel(this);
    layerNameLabel_->setObjectName(QStringLiteral("LayerNameLabel"));
    for (QLabel* l : {layerColorRect_, layerNameLabel_}) {
        l->installEventFilter(this);
        l->setCursor(Qt::PointingHandCursor);
    }
    // The lock overlay: red at opacity 0.2 over the whole panel, with the forbidden cursor.
    lockOverlay_ = new QWidget(this);
    lockOverlay_->setObjectName(QStringLiteral("Rectangle1"));
    lockOverlay_->setStyleSheet(QStringLiteral("background-color: rgba(255, 0, 0, 51);"));
    lockOverlay_->setCursor(Qt::ForbiddenCursor);
    lockOverlay_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    lockOverlay_->hide();
}

TObjectPanel::~TObjectPanel() = default;

bool TObjectPanel::MayCommit(const std::function<bool()>& Guard) const {
    return ShownObject() != nullptr && !host_.DisableOnChange() && !(Guard && Guard());
}

TObjectPanel::Binding* TObjectPanel::bindingOf(const QObject* Edit) {
    for (Binding& b : fields_) {
        if (b.Edit == Edit) {
            return &b;
        }
    }
    return nullptr;
}

TObjectPanel::TextBinding* TObjectPanel::textBindingOf(const QObject* Edit) {
    for (TextBinding& b : texts_) {
        if (b.Edit == Edit) {
            return &b;
        }
    }
    return nullptr;
}

const TFieldDescriptor* TObjectPanel::FieldOf(const QLineEdit* Edit) const {
    for (const Binding& b : fields_) {
        if (b.Edit == Edit) {
            return &b.Field;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Numeric fields

QLineEdit* TObjectPanel::NumericField(const QString& Name, const QString& Hint, TFieldDescriptor Field,
                                      QWidget* Parent) {
    auto* edit = new QLineEdit(Parent != nullptr ? Parent : this);
    edit->setObjectName(Name);
    edit->setToolTip(Hint);
    edit->installEventFilter(this);
    fields_.push_back({edit, std::move(Field), false});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] {
        if (Binding* b = bindingOf(edit)) {
            b->Edited = true;
        }
        host_.RenderButtonNeedsCalc();
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
        if (Binding* b = bindingOf(edit)) {
            exitField(*b);
        }
    });
    return edit;
}

void TObjectPanel::exitField(Binding& B) {
    // Only a text the user typed is read: a field left as the program filled it commits nothing.
    if (!B.Edited) {
        return;
    }
    B.Edited = false;
    runExit(B, StdStr(B.Edit->text()));
}

void TObjectPanel::runExit(Binding& B, const std::string& Text) {
    QLineEdit* edit = B.Edit;
    if (!MayCommit(B.Field.Guard)) {
        return;
    }
    const TExitResult r = ExitField(B.Field, Text, host_.Units().LengthUnits, host_.FormatSettings());
    if (r.Committed) {
        ++commits_;
    }
    {
        const QSignalBlocker block(edit);
        edit->setText(QStr(r.Text));
    }
    // After a commit every field shows the object again: a setter may have adjusted the value, and one
    // value may imply others (a trapezium's height and slope). A field that hands its text on keeps the
    // text; a commit may have removed the panel's object.
    if (r.Committed && ShownObject() != nullptr) {
        const TFillScope fill(*this);
        for (Binding& other : fields_) {
            if (other.Edit != edit || !B.Field.AlwaysCommit) {
                ShowField(other.Edit);
            }
        }
    }
}

void TObjectPanel::ShowField(QLineEdit* Edit) {
    Binding* b = bindingOf(Edit);
    if (b == nullptr || !b->Field.Get || ShownObject() == nullptr) {
        return;
    }
    b->Edited = false;
    const QSignalBlocker block(Edit);
    Edit->setText(QStr(ShownText(b->Field, host_.Units().LengthUnits, host_.FormatSettings())));
}

double TObjectPanel::stepOf(const Binding& B) const {
    switch (B.Field.Unit) {
    case TUnitKind::Length:
        return host_.GlobalPosSteps();
    case TUnitKind::Angle:
        return host_.GlobalRotSteps();
    case TUnitKind::Count:
        return 1.0;
    }
    return 1.0;
}

// ---------------------------------------------------------------------------------------------------
// Texts, choices, checks

QLineEdit* TObjectPanel::TextField(const QString& Name, const QString& Hint, TTextField Field,
                                   QWidget* Parent) {
    auto* edit = new QLineEdit(Parent != nullptr ? Parent : this);
    edit->setObjectName(Name);
    edit->setToolTip(Hint);
    edit->installEventFilter(this);
    texts_.push_back({edit, std::move(Field), false});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] {
        if (TextBinding* b = textBindingOf(edit)) {
            b->Edited = true;
        }
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
        if (TextBinding* b = textBindingOf(edit)) {
            exitText(*b);
        }
    });
    return edit;
}

void TObjectPanel::exitText(TextBinding& B) {
    if (!B.Edited) {
        return;
    }
    B.Edited = false;
    if (!MayCommit(B.Field.Guard)) {
        return;
    }
    ++commits_;
    if (B.Field.Set) {
        B.Field.Set(StdStr(B.Edit->text()));
    }
    if (B.Field.FollowUps) {
        B.Field.FollowUps();
    }
}

QComboBox* TObjectPanel::Choice(const QString& Name, const QString& Hint, TChoiceField Field,
                                QWidget* Parent) {
    auto* box = new QComboBox(Parent != nullptr ? Parent : this);
    box->setObjectName(Name);
    box->setToolTip(Hint);
    choices_.push_back({box, std::move(Field)});
    connect(box, &QComboBox::activated, this, [this, box](int index) {
        for (ChoiceBinding& b : choices_) {
            if (b.Box != box || !MayCommit(b.Field.Guard)) {
                continue;
            }
            ++commits_;
            if (b.Field.Set) {
                b.Field.Set(index);
            }
            if (b.Field.FollowUps) {
                b.Field.FollowUps();
            }
        }
    });
    return box;
}

QComboBox* TObjectPanel::Choice(const QString& Name, const QString& Hint, std::function<void(int)> OnChosen,
                                QWidget* Parent) {
    TChoiceField field;
    field.Set = std::move(OnChosen);
    return Choice(Name, Hint, std::move(field), Parent);
}

QCheckBox* TObjectPanel::CheckBox(const QString& Name, const QString& Text, TCheckField Field,
                                  QWidget* Parent) {
    auto* box = new QCheckBox(Text, Parent != nullptr ? Parent : this);
    box->setObjectName(Name);
    checks_.push_back({box, std::move(Field)});
    connect(box, &QCheckBox::clicked, this, [this, box](bool checked) {
        for (CheckBinding& b : checks_) {
            if (b.Box != box) {
                continue;
            }
            if (!MayCommit(b.Field.Guard)) {
                // Nothing was committed: the box shows the object's state again.
                if (b.Field.Get && ShownObject() != nullptr) {
                    const QSignalBlocker block(box);
                    box->setChecked(b.Field.Get());
                }
                continue;
            }
            ++commits_;
            if (b.Field.Set) {
                b.Field.Set(checked);
            }
            if (b.Field.FollowUps) {
                b.Field.FollowUps();
            }
        }
    });
    return box;
}

QCheckBox* TObjectPanel::CheckBox(const QString& Name, const QString& Text,
                                  std::function<void(bool)> OnClicked, QWidget* Parent) {
    TCheckField field;
    field.Set = std::move(OnClicked);
    return CheckBox(Name, Text, std::move(field), Parent);
}

void TObjectPanel::ShowFields() {
    if (ShownObject() == nullptr) {
        return;
    }
    for (Binding& b : fields_) {
        ShowField(b.Edit);
    }
    for (TextBinding& b : texts_) {
        b.Edited = false;
        if (b.Field.Get) {
            const QSignalBlocker block(b.Edit);
            b.Edit->setText(QStr(b.Field.Get()));
        }
    }
    for (ChoiceBinding& b : choices_) {
        const QSignalBlocker block(b.Box);
        if (b.Field.Items) {
            b.Box->clear();
            for (const std::string& item : b.Field.Items()) {
                b.Box->addItem(QStr(item));
            }
        }
        if (b.Field.Get) {
            b.Box->setCurrentIndex(b.Field.Get());
        }
    }
    for (CheckBinding& b : checks_) {
        if (b.Field.Get) {
            const QSignalBlocker block(b.Box);
            b.Box->setChecked(b.Field.Get());
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Keys

bool TObjectPanel::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::MouseButtonPress &&
        (Watched == layerColorRect_ || Watched == layerNameLabel_)) {
        if (TQzControl3D* target = ShownObject()) {
            host_.PopupChangeLayer(target);
        }
        return true;
    }
    if (Event->type() != QEvent::KeyPress) {
        return QFrame::eventFilter(Watched, Event);
    }
    if (textBindingOf(Watched) != nullptr) {
        host_.MarkProjectModified();
        return QFrame::eventFilter(Watched, Event);
    }
    Binding* b = bindingOf(Watched);
    if (b == nullptr) {
        return QFrame::eventFilter(Watched, Event);
    }
    auto* key = static_cast<QKeyEvent*>(Event);
    host_.MarkProjectModified();
    const QString text = key->text();
    const QChar separator = QLatin1Char(host_.FormatSettings().DecimalSeparator);
    if ((text == QLatin1String(".") || text == QLatin1String(",")) && text.at(0) != separator) {
        b->Edit->insert(separator);
        b->Edited = true;
        host_.RenderButtonNeedsCalc();
        return true;
    }
    if (key->key() == kKeyUp || key->key() == kKeyDown) {
        const double step = key->key() == kKeyUp ? stepOf(*b) : -stepOf(*b);
        std::string stepped;
        if (StepFieldText(StdStr(b->Edit->text()), step, StepFormat, host_.FormatSettings(), stepped)) {
            b->Edited = false;
            QLineEdit* edit = b->Edit;
            {
                const QSignalBlocker block(edit);
                edit->setText(QStr(stepped));
            }
            runExit(*b, stepped);
        }
        return true;
    }
    return QFrame::eventFilter(Watched, Event);
}

TObjectPanel::TFillScope::TFillScope(TObjectPanel& Panel) {
    blockers_.push_back(std::make_unique<QSignalBlocker>(&Panel));
    for (QWidget* w : Panel.findChildren<QWidget*>()) {
        blockers_.push_back(std::make_unique<QSignalBlocker>(w));
    }
    for (Binding& b : Panel.fields_) {
        b.Edited = false;
    }
    for (TextBinding& b : Panel.texts_) {
        b.Edited = false;
    }
}

std::string TObjectPanel::FocusedField() const {
    const QWidget* focus = focusWidget();
    if (focus == nullptr || !focus->hasFocus()) {
        return {};
    }
    return StdStr(focus->objectName());
}

// ---------------------------------------------------------------------------------------------------
// Lock and layer

void TObjectPanel::ShowLockState(bool Locked, const QString& LockedHint, QWidget* WorkArea) {
    if (WorkArea != nullptr) {
        WorkArea->setEnabled(!Locked);
        WorkArea->setCursor(Locked ? Qt::ForbiddenCursor : Qt::ArrowCursor);
    }
    lockOverlay_->setGeometry(rect());
    lockOverlay_->setVisible(Locked);
    if (Locked) {
        lockOverlay_->raise();
        lockButton_->raise();
    }
    lockButton_->setText(Locked ? QStringLiteral("\u25A0") : QStringLiteral("\u25A1"));
    lockButton_->setToolTip(Locked ? LockedHint : QStringLiteral("Press to lock"));
}

void TObjectPanel::resizeEvent(QResizeEvent* Event) {
    QFrame::resizeEvent(Event);
    lockOverlay_->setGeometry(rect());
}

void TObjectPanel::ShowLayer(const TQzControl3D& Obj) {
    const TQzLayer* layer = Obj.MyLayer();
    // A name longer than a fixed-width label ends in an ellipsis; the hint holds it whole.
    const QString name = QStr(Obj.LayerName());
    const int room = layerNameLabel_->maximumWidth();
    layerNameLabel_->setText(room < QWIDGETSIZE_MAX
                                 ? layerNameLabel_->fontMetrics().elidedText(name, Qt::ElideRight, room)
                                 : name);
    layerNameLabel_->setToolTip(name);
    layerColorRect_->setStyleSheet(colorStyle(layer != nullptr ? layer->Color : TAlphaColors::Gray));
}

} // namespace vendrel
