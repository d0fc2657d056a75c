#include "editor/qt/distribution_panel.h"

#include "editor/level_distribution.h"
#include "platform/qt/chart_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace vendrel {

namespace {

const QColor kAxisText(0xDD, 0xDD, 0xDD);

} // namespace

TDistributionPanel::TDistributionPanel(TDistributionChart& Chart, std::function<int32_t()> StepsdB,
                                       std::function<void(int32_t)> SetStepsdB, QWidget* Parent)
    : QWidget(Parent), chart_(Chart), stepsdB_(std::move(StepsdB)), setStepsdB_(std::move(SetStepsdB)) {
    setObjectName(QStringLiteral("PanelDistribution"));
    auto* column = new QVBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Distribution Steps"), this);
    steps_ = new QComboBox(this);
    steps_->setObjectName(QStringLiteral("DistributionComboBox"));
    steps_->setToolTip(QStringLiteral("Distribution by Steps"));
    steps_->addItems({"1 dB", "3 dB", "6 dB"});
    steps_->setCurrentIndex(1);
    column->addWidget(caption);
    column->addWidget(steps_);
    for (QLabel** line : {&av_, &plus_, &minus_}) {
        *line = new QLabel(this);
        (*line)->setAlignment(Qt::AlignRight);
        column->addWidget(*line);
    }
    av_->setObjectName(QStringLiteral("AvLabel"));
    plus_->setObjectName(QStringLiteral("AvpluSTD"));
    minus_->setObjectName(QStringLiteral("AvminusSTD"));
    column->addStretch(1);

    auto* chartArea = new QWidget(this);
    auto* stack = new QStackedLayout(chartArea);
    stack->setStackingMode(QStackedLayout::StackAll);
    view_ = new TChartView(chartArea);
    view_->setObjectName(QStringLiteral("DistributionChart"));
    view_->SetBottomTitle(QStringLiteral("dB SPL"));
    view_->SetAxisTitle(TChartAxis::Left, QStringLiteral("Data Points"));
    view_->SetAxisVisible(TChartAxis::Right, false);
    QCustomPlot* plot = view_->Plot();
    plot->xAxis->setTickLabelColor(kAxisText);
    plot->xAxis->setLabelColor(kAxisText);
    noData_ = new QLabel(QStringLiteral("No mapping data in selected zones"), chartArea);
    noData_->setAlignment(Qt::AlignCenter);
    stack->addWidget(view_);
    stack->addWidget(noData_);
    expand_ = new QToolButton(chartArea);
    expand_->setObjectName(QStringLiteral("ExpandPath"));
    expand_->setText(QStringLiteral("\u2197"));
    expand_->setCursor(Qt::PointingHandCursor);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addLayout(column);
    row->addWidget(chartArea, 1);

    connect(steps_, &QComboBox::activated, this, [this](int index) {
        const int32_t w = TDistributionChart::StepsOfItem(index);
        if (w > 0) {
            setStepsdB_(w);
            chart_.ShowDistribution(w);
        }
    });
    connect(expand_, &QToolButton::clicked, this, &TDistributionPanel::ExpandClicked);
    chart_.OnChanged = [this] { Mirror(); };
    Mirror();
}

TDistributionPanel::~TDistributionPanel() {
    chart_.OnChanged = nullptr;
}

void TDistributionPanel::Mirror() {
    const TLevelDistribution& d = chart_.Current();
    {
        const QSignalBlocker quiet(steps_);
        const int32_t w = stepsdB_();
        steps_->setCurrentIndex(w == 1 ? 0 : w == 6 ? 2 : 1);
    }
    av_->setText(QString::fromStdString(d.AverageText));
    plus_->setText(QString::fromStdString(d.PlusDeviation));
    minus_->setText(QString::fromStdString(d.MinusDeviation));
    view_->setVisible(d.Visible);
    noData_->setVisible(!d.Visible);
    if (!d.Visible) {
        view_->ClearBars();
        return;
    }
    std::vector<TChartMark> marks;
    std::vector<double> x, heights;
    std::vector<QColor> colors;
    std::vector<QString> labels;
    double tallest = 0.0;
    for (int32_t k = 0; k < d.NBands(); ++k) {
        marks.push_back({static_cast<double>(d.Edges[static_cast<size_t>(k)]),
                         QString::number(d.Edges[static_cast<size_t>(k)])});
        x.push_back(d.BarX(k));
        heights.push_back(d.Counts[static_cast<size_t>(k)]);
        tallest = std::max(tallest, heights.back());
        colors.push_back(QColor::fromRgba(d.Colors[static_cast<size_t>(k)]));
        labels.push_back(QString::fromStdString(d.BarLabel(k)));
    }
    view_->SetBottomMarks(marks);
    view_->SetBottomRange(d.AxisMin(), d.AxisMax());
    view_->SetAxisRange(TChartAxis::Left, 0, tallest > 0 ? tallest * 1.05 : 1.0);
    view_->SetBars(x, heights, colors, labels, d.StepdB * 0.99);
    view_->SetBarLabelStep(BarLabelStep(d.StepdB, view_->width()));
}

void TDistributionPanel::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    view_->SetBarLabelStep(BarLabelStep(chart_.Current().StepdB, view_->width()));
    expand_->move(std::max(0, expand_->parentWidget()->width() - expand_->width()), 0);
    expand_->raise();
}

} // namespace vendrel
