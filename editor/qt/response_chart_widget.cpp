#include "editor/qt/response_chart_widget.h"

#include "acoustics/project.h"
#include "editor/measure_responses.h"
#include "editor/response_chart.h"
#include "platform/core/numeric.h"
#include "platform/qt/chart_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

QColor toQColor(TAlphaColor c) {
    return QColor::fromRgba(c);
}

const char* const kShortCuts =
    "Zoom In: Right Mouse (Top to Right)     Zoom Out: Right Mouse (Bottom to Left)    Pan:  Left Mouse";

int weightingIndex(const TAcousticProject& p) {
    return static_cast<int>(p.MicWeightening());
}

int smoothingIndex(TFreqBands bands) {
    for (int i = 0; i < 7; ++i) {
        if (SmoothingOfItem(i) == bands) {
            return i;
        }
    }
    return -1;
}

} // namespace

TResponseChartWidget::TResponseChartWidget(TResponseChart& Chart, TMeasureResponses& Responses,
                                           TAcousticProject& Project, QWidget* Parent)
    : QWidget(Parent), chart_(Chart), responses_(Responses), project_(Project) {
    setObjectName(QStringLiteral("ResponseChart"));
    view_ = new TChartView(this);
    QCustomPlot* plot = view_->Plot();
    view_->SetPlotBackground(QColor(0xFF212121), QColor(0xFF5F5F5F));
    plot->axisRect()->setMinimumMargins(QMargins(6, 25, 8, 14));
    view_->SetFrequencyAxis(20, 20000);
    view_->SetBottomTitle(QStringLiteral("Frequency"));
    view_->SetAxisTitle(TChartAxis::Left, QStringLiteral("dB"));
    view_->SetAxisTitle(TChartAxis::Right, QStringLiteral("Phase"));
    view_->SetAxisRange(TChartAxis::Right, TResponseChart::kPhaseMin, TResponseChart::kPhaseMax);
    view_->SetAxisTickStep(TChartAxis::Right, 10);
    QFont small = plot->yAxis2->tickLabelFont();
    small.setPointSize(10);
    plot->yAxis2->setTickLabelFont(small);
    plot->yAxis->setNumberFormat(QStringLiteral("f"));
    plot->yAxis->setNumberPrecision(0);
    view_->SetRightButtonZoom(true);
    view_->SetLeftButtonPan(Qt::Vertical);
    view_->SetWheelZoom(true);

    smoothLabel_ = new QLabel(QStringLiteral("Mag Smooth:"), this);
    smooth_ = new QComboBox(this);
    smooth_->setObjectName(QStringLiteral("SmoothMagComboBox"));
    smooth_->addItems({"None", "1/24th Oct", "1/12th Oct", "1/6th Oct", "1/3rd Oct", "1 Octave", "2 Octave"});
    weight_ = new QComboBox(this);
    weight_->setObjectName(QStringLiteral("WeightComboBox"));
    weight_->addItems({"UnWeighted (Z)", "A-Weighted", "C-Weighted"});
    for (QSpinBox** box : {&maxLeft_, &minLeft_}) {
        *box = new QSpinBox(this);
        (*box)->setRange(-1000, 1000);
        (*box)->setFixedWidth(48);
    }
    maxLeft_->setObjectName(QStringLiteral("MaxLeftSpinBox"));
    minLeft_->setObjectName(QStringLiteral("MinLeftSpinBox"));
    showPhase_ = new QCheckBox(QStringLiteral("Show Phase"), this);
    showPhase_->setObjectName(QStringLiteral("ShowPhaseCheckBox"));
    showPhase_->setToolTip(QStringLiteral("Show Phase Curve"));
    expand_ = new QToolButton(this);
    expand_->setObjectName(QStringLiteral("ExpandPath"));
    expand_->setText(QStringLiteral("\u2197"));
    expand_->setCursor(Qt::PointingHandCursor);
    coord_ = new QLabel(this);
    coord_->setObjectName(QStringLiteral("CoordLabel"));
    QFont coordFont = coord_->font();
    coordFont.setPointSize(10);
    coord_->setFont(coordFont);
    coord_->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 180);"));
    coord_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shortcuts_ = new QLabel(QString::fromLatin1(kShortCuts), this);
    shortcuts_->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 140);"));
    shortcuts_->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(smooth_, &QComboBox::activated, this, [this](int index) { responses_.SmoothingChosen(index); });
    connect(weight_, &QComboBox::activated, this, [this](int index) { responses_.WeightingChosen(index); });
    connect(showPhase_, &QCheckBox::clicked, this, [this](bool on) { responses_.SetShowPhase(on); });
    connect(maxLeft_, &QSpinBox::valueChanged, this, [this](int v) {
        chart_.MaxLeftOffset = 10 * v;
        applyLeftAxis();
    });
    connect(minLeft_, &QSpinBox::valueChanged, this, [this](int v) {
        chart_.MinLeftOffset = -10 * v;
        applyLeftAxis();
    });
    connect(expand_, &QToolButton::clicked, this, &TResponseChartWidget::ExpandClicked);
    connect(view_, &TChartView::RangesChangedByUser, this, [this] {
        view_->SetAxisRange(TChartAxis::Right, TResponseChart::kPhaseMin, TResponseChart::kPhaseMax);
    });
    connect(view_, &TChartView::MouseMoved, this, &TResponseChartWidget::readout);
    connect(view_, &TChartView::MouseLeft, this, [this] { coord_->clear(); });

    chart_.OnChanged = [this](const TChartSeries* s) { seriesChanged(s); };
    chart_.OnRemoving = [this](const TChartSeries* s) { seriesRemoving(s); };
    Refresh();
    SyncAll();
}

TResponseChartWidget::~TResponseChartWidget() {
    chart_.OnChanged = nullptr;
    chart_.OnRemoving = nullptr;
}

void TResponseChartWidget::Refresh() {
    const QSignalBlocker a(smooth_), b(weight_), c(showPhase_);
    smooth_->setCurrentIndex(smoothingIndex(project_.MicSmoothing()));
    weight_->setCurrentIndex(weightingIndex(project_));
    showPhase_->setChecked(responses_.ShowPhase);
}

void TResponseChartWidget::SyncAll() {
    // Series the chart no longer holds go; every held one is written.
    for (auto it = ids_.begin(); it != ids_.end();) {
        if (!chart_.Holds(it->first)) {
            view_->RemoveSeries(it->second);
            it = ids_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& s : chart_.Series()) {
        seriesChanged(s.get());
    }
    applyLeftAxis();
}

void TResponseChartWidget::seriesChanged(const TChartSeries* Series) {
    if (Series == nullptr) {
        for (const auto& s : chart_.Series()) {
            if (ids_.count(s.get()) == 0) {
                seriesChanged(s.get());
            }
        }
        applyLeftAxis();
        return;
    }
    auto found = ids_.find(Series);
    if (found == ids_.end()) {
        const TChartAxis axis = Series->Axis == TChartSide::Left ? TChartAxis::Left : TChartAxis::Right;
        found = ids_.emplace(Series, view_->AddLine(axis, toQColor(Series->Color), Series->PenWidth)).first;
    }
    const int32_t id = found->second;
    view_->SetData(id, Series->Points.X, Series->Points.Y);
    view_->SetColor(id, toQColor(Series->Color));
    view_->SetVisible(id, Series->Active);
}

void TResponseChartWidget::seriesRemoving(const TChartSeries* Series) {
    const auto found = ids_.find(Series);
    if (found != ids_.end()) {
        view_->RemoveSeries(found->second);
        ids_.erase(found);
    }
}

void TResponseChartWidget::applyLeftAxis() {
    // The offsets are pixels beyond the axis's top and bottom: the scale that leaves them free.
    double lo = chart_.LeftAxis.Min, hi = chart_.LeftAxis.Max;
    const double height = view_->PlotArea().height();
    const double free = height - chart_.MaxLeftOffset - chart_.MinLeftOffset;
    if (height > 0 && free > 10 && hi > lo) {
        const double perPixel = (hi - lo) / free;
        hi += chart_.MaxLeftOffset * perPixel;
        lo -= chart_.MinLeftOffset * perPixel;
    }
    view_->SetAxisRange(TChartAxis::Left, lo, hi);
}

void TResponseChartWidget::readout(QPointF Pos) {
    const TChartRange bottom = view_->BottomRange();
    const TChartRange left = view_->AxisRange(TChartAxis::Left);
    const double level = view_->PixelToValue(TChartAxis::Left, std::round(Pos.y()));
    const double frequency = view_->PixelToBottom(Pos.x());
    TFormatSettings format;
    format.DecimalSeparator = locale().decimalPoint().at(0).toLatin1();
    const std::string text =
        ResponseReadout(frequency, level, bottom.Min, bottom.Max, left.Min, left.Max, format);
    coord_->setText(QString::fromStdString(text));
    coord_->adjustSize();
    coord_->move(int(Pos.x() - coord_->width() / 2.0), int(Pos.y() - 15));
}

void TResponseChartWidget::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    layoutControls();
    applyLeftAxis();
}

void TResponseChartWidget::layoutControls() {
    view_->setGeometry(rect());
    const int w = width(), h = height();
    smoothLabel_->adjustSize();
    smooth_->adjustSize();
    weight_->adjustSize();
    int x = 60;
    smoothLabel_->move(x, 2);
    x += smoothLabel_->width() + 4;
    smooth_->move(x, 0);
    x += smooth_->width() + 8;
    weight_->move(x, 0);
    maxLeft_->move(0, 0);
    minLeft_->move(0, std::max(0, h - maxLeft_->height()));
    expand_->move(std::max(0, w - expand_->width()), 0);
    showPhase_->adjustSize();
    showPhase_->move(std::max(0, w - showPhase_->width() - 4), std::max(0, h - showPhase_->height()));
    shortcuts_->adjustSize();
    shortcuts_->move(60, std::max(0, h - shortcuts_->height()));
}

} // namespace vendrel
