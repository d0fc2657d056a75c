#include "editor/qt/view_tools.h"

#include "editor/editor.h"
#include "editor/qt/tool_controls.h"
#include "editor/qt/ui_bindings.h"
#include "editor/units.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace vendrel {

namespace {

QToolButton* toolButton(QWidget* parent, QAction* action, const char* name = nullptr) {
    auto* b = new QToolButton(parent);
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (name != nullptr) {
        b->setObjectName(QString::fromLatin1(name));
    }
    return b;
}

} // namespace

TViewTools::TViewTools(TEditor& Editor, TActionTable& Actions, QWidget* Parent)
    : QFrame(Parent), ed_(Editor) {
    TViewsCameras& v = ed_.Views;
    setObjectName(QStringLiteral("PanelViewTools"));
    setFixedWidth(190);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ViewToolsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    frame->addWidget(scroll);
    auto* column = new QWidget(scroll);
    auto* tools = new QVBoxLayout(column);
    tools->setContentsMargins(4, 4, 4, 4);
    tools->setSpacing(1);

    // The four views two by two.
    auto* views = new QGridLayout();
    views->setSpacing(1);
    int index = 0;
    for (TUIAction* a : {&v.ThreeDviewAction, &v.SideViewAction, &v.TopViewAction, &v.FrontViewAction}) {
        views->addWidget(toolButton(column, Actions.Of(*a)), index / 2, index % 2);
        ++index;
    }
    tools->addLayout(views);
    tools->addSpacing(4);
    for (TUIAction* a : {&v.DefaultMouseB, &v.CamRotB, &v.CamPanB}) {
        tools->addWidget(toolButton(column, Actions.Of(*a)));
    }
    tools->addSpacing(4);
    tools->addWidget(toolButton(column, Actions.Of(v.ZoomToObjectB)));
    tools->addWidget(toolButton(column, Actions.Of(v.CameraOnSelectionB)));
    tools->addWidget(toolButton(column, Actions.Of(ed_.Render.IntersectListeningCB), "IntersectListeningCB"));
    tools->addWidget(toolButton(column, Actions.Of(ed_.Moving.MagneticObjectsB), "MagneticObjectsB"));
    tools->addSpacing(4);

    // One form for the offsets, so that their captions and fields line up; the view decides which of
    // the three length offsets is shown.
    auto* offsets = new QGroupBox(QStringLiteral("Insert Offset"), column);
    offsets->setObjectName(QStringLiteral("InsertOffset"));
    auto* offsetForm = new QFormLayout(offsets);
    offsetForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    offsetForm->setContentsMargins(6, 4, 6, 4);
    offsetForm->setVerticalSpacing(3);
    for (TUIText* field : {&v.LengthOffset, &v.DepthOffset, &v.HeightOffset}) {
        auto* caption = new QLabel(QString::fromStdString(field->Text()), offsets);
        auto* edit = new QLineEdit(QStringLiteral("0.000"), offsets);
        offsetForm->addRow(caption, edit);
        BindVisible({caption, edit}, *field);
    }
    AddInsertRotationOffsets(ed_, offsetForm, offsets);
    tools->addWidget(offsets);

    auto* steps = new QGroupBox(QStringLiteral("Step Resolution:"), column);
    steps->setObjectName(QStringLiteral("StepResolution"));
    auto* stepForm = new QFormLayout(steps);
    stepForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    stepForm->setContentsMargins(6, 4, 6, 4);
    stepForm->setVerticalSpacing(3);
    posSteps_ = new QComboBox(steps);
    posSteps_->setObjectName(QStringLiteral("GlobalPosStepsCB"));
    posSteps_->setToolTip(QStringLiteral("Global Position Increment"));
    for (const std::string& text : PosStepTexts(true)) {
        posSteps_->addItem(QString::fromStdString(text));
    }
    BindStepSelector(posSteps_, ed_.Keys.GlobalPosStepsCB);
    auto* rotSteps = new QComboBox(steps);
    rotSteps->setObjectName(QStringLiteral("GlobalRotStepsCB"));
    rotSteps->setToolTip(QStringLiteral("Global Rotation Increment"));
    for (const std::string& text : RotStepTexts()) {
        rotSteps->addItem(QString::fromStdString(text));
    }
    BindStepSelector(rotSteps, ed_.Keys.GlobalRotStepsCB);
    stepForm->addRow(QStringLiteral("Pos"), posSteps_);
    stepForm->addRow(QStringLiteral("Rot"), rotSteps);
    tools->addWidget(steps);
    tools->addStretch(1);
    scroll->setWidget(column);
}

void TViewTools::ShowPosStepTexts(bool Metric) {
    const QSignalBlocker block(posSteps_);
    posSteps_->clear();
    for (const std::string& text : PosStepTexts(Metric)) {
        posSteps_->addItem(QString::fromStdString(text));
    }
    posSteps_->setCurrentIndex(static_cast<int>(ed_.Keys.GlobalPosStepsCB.Value()));
}

} // namespace vendrel
