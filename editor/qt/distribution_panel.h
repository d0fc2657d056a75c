#pragma once
// The distribution tab's panel: the band width list ("Distribution Steps"), the three statistics lines,
// the bar chart of the level bands (each bar in the palette's colour of its top level, labelled with its
// share) and its detach icon; "No mapping data in selected zones" shows whenever the chart is hidden. The
// panel mirrors the editor's TDistributionChart.

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QToolButton;

namespace vendrel {

class TChartView;
class TDistributionChart;

class TDistributionPanel : public QWidget {
    Q_OBJECT
public:
    // The chart is not owned and outlives the panel. StepsdB is the band width the window keeps
    // (DistributionStepsdB), read and written here.
    TDistributionPanel(TDistributionChart& Chart, std::function<int32_t()> StepsdB,
                       std::function<void(int32_t)> SetStepsdB, QWidget* Parent = nullptr);
    ~TDistributionPanel() override;

    TChartView* Chart() const { return view_; }
    QComboBox* DistributionComboBox() const { return steps_; }
    QLabel* AvLabel() const { return av_; }
    QLabel* AvpluSTD() const { return plus_; }
    QLabel* AvminusSTD() const { return minus_; }
    QLabel* NoDataLabel() const { return noData_; }
    QToolButton* ExpandPath() const { return expand_; }

    // Draws what the editor's chart holds now.
    void Mirror();

signals:
    void ExpandClicked();

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    TDistributionChart& chart_;
    std::function<int32_t()> stepsdB_;
    std::function<void(int32_t)> setStepsdB_;
    TChartView* view_ = nullptr;
    QComboBox* steps_ = nullptr;
    QLabel* av_ = nullptr;
    QLabel* plus_ = nullptr;
    QLabel* minus_ = nullptr;
    QLabel* noData_ = nullptr;
    QToolButton* expand_ = nullptr;
};

} // namespace vendrel
