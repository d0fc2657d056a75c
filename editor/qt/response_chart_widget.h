#pragma once
// The chart of the response panel: the chart widget mirroring the editor's response chart (every point's
// and overlay's level and phase curves, the level axis the program set with the offsets of the two spin
// boxes, the phase axis fixed at -181 .. 181), and the controls drawn over it: "Mag Smooth:" and its list,
// the weighting list, the two spin boxes at the left edge, the detach icon, "Show Phase", the read-out
// under the mouse and the help line. Zooming and panning change frequency and level only.

#include <QWidget>

#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

namespace vendrel {

class TAcousticProject;
class TChartSeries;
class TChartView;
class TMeasureResponses;
class TResponseChart;

class TResponseChartWidget : public QWidget {
    Q_OBJECT
public:
    // None is owned; all outlive the widget.
    TResponseChartWidget(TResponseChart& Chart, TMeasureResponses& Responses, TAcousticProject& Project,
                         QWidget* Parent = nullptr);
    ~TResponseChartWidget() override;

    TChartView* Chart() const { return view_; }
    QComboBox* SmoothMagComboBox() const { return smooth_; }
    QComboBox* WeightComboBox() const { return weight_; }
    QSpinBox* MaxLeftSpinBox() const { return maxLeft_; }
    QSpinBox* MinLeftSpinBox() const { return minLeft_; }
    QCheckBox* ShowPhaseCheckBox() const { return showPhase_; }
    QLabel* CoordLabel() const { return coord_; }
    QToolButton* ExpandPath() const { return expand_; }

    // The controls follow the project and the facet (after an open, a settings read).
    void Refresh();
    // The chart follows the editor's chart at once (otherwise on its change events).
    void SyncAll();

signals:
    void ExpandClicked();

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void seriesChanged(const TChartSeries* Series);
    void seriesRemoving(const TChartSeries* Series);
    void applyLeftAxis();
    void readout(QPointF Pos);
    void layoutControls();

    TResponseChart& chart_;
    TMeasureResponses& responses_;
    TAcousticProject& project_;
    TChartView* view_ = nullptr;
    QComboBox* smooth_ = nullptr;
    QComboBox* weight_ = nullptr;
    QLabel* smoothLabel_ = nullptr;
    QSpinBox* maxLeft_ = nullptr;
    QSpinBox* minLeft_ = nullptr;
    QCheckBox* showPhase_ = nullptr;
    QLabel* coord_ = nullptr;
    QLabel* shortcuts_ = nullptr;
    QToolButton* expand_ = nullptr;
    std::map<const TChartSeries*, int32_t> ids_;
};

} // namespace vendrel
