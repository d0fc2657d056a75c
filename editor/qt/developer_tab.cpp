#include "editor/qt/developer_tab.h"

#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>

namespace vendrel {

TDeveloperTab::TDeveloperTab(TEditor& Editor, QWidget* Parent) : QWidget(Parent), ed_(Editor) {
    TEditor& ed = ed_;
    TViewsCameras& v = ed.Views;
    QWidget* tab = this;
    auto* line = new QHBoxLayout(tab);

    auto* camera = new QGroupBox(QStringLiteral("CAMERA"), tab);
    auto* cameraForm = new QFormLayout(camera);
    const auto slider = [&](QWidget* parent, TUIRange& range, double units) {
        auto* s = new QSlider(Qt::Horizontal, parent);
        BindRange(s, range, units);
        return s;
    };
    cameraForm->addRow(QStringLiteral("X"), slider(camera, v.CamXTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Y"), slider(camera, v.CamYTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Z"), slider(camera, v.CamZTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Angle OF View"), slider(camera, v.TrackBar4, 10));
    auto* memo = new QPlainTextEdit(camera);
    memo->setReadOnly(true);
    BindText(memo, v.Memo1);
    cameraForm->addRow(memo);
    line->addWidget(camera);

    auto* lights = new QGroupBox(QStringLiteral("LIGHTS"), tab);
    auto* lightForm = new QFormLayout(lights);
    lightForm->addRow(QStringLiteral("Rotation X"), slider(lights, v.TrackX, 1));
    lightForm->addRow(QStringLiteral("Rotation Y"), slider(lights, v.TrackY, 1));
    lightForm->addRow(QStringLiteral("Rotation Z"), slider(lights, v.TrackZ, 1));
    auto* type = new QComboBox(lights);
    type->addItems({QStringLiteral("Directional"), QStringLiteral("Point"), QStringLiteral("Spot")});
    type->setCurrentIndex(static_cast<int>(v.LightTypeCB.Value()));
    QObject::connect(type, &QComboBox::activated, this, [&v](int index) { v.LightTypeCB.SetValue(index); });
    lightForm->addRow(QStringLiteral("Type"), type);
    auto* color = new QLineEdit(lights);
    BindText(color, v.LightColorEdit, [&v] { v.UpdateLightsNBChange(); });
    lightForm->addRow(QStringLiteral("Colour"), color);
    const auto number = [&](QWidget* parent, TUIRange& range) {
        auto* n = new QDoubleSpinBox(parent);
        BindRange(n, range, 0);
        return n;
    };
    lightForm->addRow(QStringLiteral("Distance"), number(lights, v.LightDistanceNB));
    lightForm->addRow(QStringLiteral("Spot Cutoff"), number(lights, v.SpotCutoffNB));
    lightForm->addRow(QStringLiteral("Focus"), number(lights, v.LightFocusNB));
    lightForm->addRow(QStringLiteral("Shininess"), number(lights, v.ShininessNB));
    line->addWidget(lights);

    auto* labels = new QGroupBox(QStringLiteral("AXIS LABELS"), tab);
    auto* labelForm = new QFormLayout(labels);
    labelForm->addRow(QStringLiteral("Elevation"), number(labels, ed.Grid.ElevDegreeNB));
    labelForm->addRow(QStringLiteral("Azimuth"), number(labels, ed.Grid.AzimDegreeNB));
    labelForm->addRow(QStringLiteral("Radius (m)"), number(labels, ed.Grid.RadiusNB));
    label_ = new QLabel(labels);
    labelForm->addRow(label_);
    line->addWidget(labels);
    line->addWidget(buildRenderKnobs(tab));
    line->addStretch(1);
}

QWidget* TDeveloperTab::buildRenderKnobs(QWidget* Parent) {
    TEditor& ed = ed_;
    TRenderControl& r = ed.Render;
    auto* group = new QGroupBox(QStringLiteral("RENDER"), Parent);
    auto* form = new QFormLayout(group);
    const auto number = [&](TUIRange& range, int decimals) {
        auto* n = new QDoubleSpinBox(group);
        n->setKeyboardTracking(false);
        BindRange(n, range, decimals);
        return n;
    };
    const auto check = [&](TUIAction& action) {
        auto* box = new QCheckBox(QString::fromStdString(action.Caption()), group);
        BindAction(box, action);
        return box;
    };
    form->addRow(QStringLiteral("Max Freq for Real Phase (Hz)"), number(r.FrecEdit, 0));
    form->addRow(check(r.UseAxisPhaseCheckBox));
    form->addRow(check(r.ZeroPhaseCheckBox));
    form->addRow(check(r.PistonCBox));
    form->addRow(QStringLiteral("Refresh (msec)"), number(r.RefreshMsBox, 3));
    QDoubleSpinBox* waiting = number(r.AllMapsWaitingMsecNB, 0);
    waiting->setToolTip(
        QStringLiteral("tiempo de espera en miliseg antes de hacer la suma de todos los mapas"));
    form->addRow(QStringLiteral("Sum wait (msec)"), waiting);
    form->addRow(QStringLiteral("Pixel (m)"), number(r.NumberBox2, 1));
    auto* show = new QWidget(group);
    auto* showRow = new QHBoxLayout(show);
    showRow->setContentsMargins(0, 0, 0, 0);
    for (TUIAction* option : {&ed.Colors.ShowMagnitudeRB, &ed.Colors.ShowPhaseRB}) {
        auto* radio = new QToolButton(show);
        radio->setText(QString::fromStdString(option->Caption()));
        BindAction(radio, *option);
        showRow->addWidget(radio);
    }
    form->addRow(QStringLiteral("Show"), show);
    return group;
}

void TDeveloperTab::ShowInputHitTest() {
    label_->setText(QStringLiteral("InputTop.HitTest = ") +
                    (ed_.Scene.InputTop->HitTest ? QStringLiteral("True") : QStringLiteral("False")));
}

} // namespace vendrel
