#pragma once
// A chart widget on QCustomPlot for the program's charts: the measurement-point responses, the DSP
// process responses and the level distribution. Two value axes (left and right) share one bottom
// axis; the bottom axis is either a frequency axis (logarithmic, with the program's 29 frequency marks)
// or a linear axis with marks chosen by the caller.
//
// Series are addressed by a handle (an id that is never reused): lines, lines whose area is filled
// down to value 0 of their axis (0 dB on a level axis), labelled points (a marker with a text beside
// it, each hit-testable) and coloured bars with a centred text. The chart converts between pixels
// (widget coordinates) and values, and finds the point of a series under the mouse.
//
// Interaction, each switched on by the caller: a right-button drag zooms in to its rectangle when it
// runs right and down, and back to the ranges the program set last when it runs any other way (the
// ranges set through this class, not the user's); a left-button
// drag pans the axes chosen; the wheel zooms at the mouse. Every such change of the ranges by the user
// emits RangesChangedByUser once, after the ranges changed; the right axis never zooms or pans with
// the user (it shows the phase of a frequency chart, which keeps its scale).
//
// A line's colour may be translucent: it is drawn as that colour laid over the plot's background, opaque
// (a translucent wide pen over hundreds of points makes Qt stroke the whole curve as one path, some forty
// times slower). Color() gives the colour as it was set.
//
// Changes are drawn on the next event-loop turn (one redraw for many changes); Replot draws at once.

#include <QColor>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPAbstractPlottable;
class QCPItemText;
class QMouseEvent;
class QRubberBand;

namespace vendrel {

enum class TChartAxis : uint8_t { Left, Right };

// One mark of an axis: its value and its label (an empty label draws the grid line without text).
struct TChartMark {
    double Value = 0.0;
    QString Label;
};

struct TChartRange {
    double Min = 0.0;
    double Max = 0.0;
};

class TChartView : public QWidget {
    Q_OBJECT
public:
    using TSeriesId = int32_t;

    explicit TChartView(QWidget* Parent = nullptr);
    ~TChartView() override;
    TChartView(const TChartView&) = delete;
    TChartView& operator=(const TChartView&) = delete;

    // The plot itself, for colours, fonts and titles the wrapper does not cover.
    QCustomPlot* Plot() const { return plot_; }

    // ---- Axes ----
    // The frequency marks of every frequency chart, in order: 20, 30, 40, 50, 60 ... 20000 Hz.
    static const std::vector<TChartMark>& FrequencyMarks();
    // The bottom axis logarithmic from Min to Max hertz with FrequencyMarks: no minor ticks or grid,
    // labels of size 10 in $FFC0C0C0.
    void SetFrequencyAxis(double Min = 20.0, double Max = 20000.0);
    // The bottom axis linear with the given marks only.
    void SetBottomMarks(const std::vector<TChartMark>& Marks);
    void SetBottomRange(double Min, double Max);
    void SetAxisRange(TChartAxis Axis, double Min, double Max);
    TChartRange BottomRange() const;
    TChartRange AxisRange(TChartAxis Axis) const;
    void SetAxisTitle(TChartAxis Axis, const QString& Title);
    void SetBottomTitle(const QString& Title);
    void SetAxisVisible(TChartAxis Axis, bool Visible);
    // Marks every Step on a value axis (0: chosen by the chart).
    void SetAxisTickStep(TChartAxis Axis, double Step);
    // The colour behind the curves (translucent lines are laid over it) and around the plot.
    void SetPlotBackground(QColor Plot, QColor Around);

    // ---- Series ----
    TSeriesId AddLine(TChartAxis Axis, QColor Color, double Width);
    // A line whose area down to value 0 of its axis is filled with Fill.
    TSeriesId AddArea(TChartAxis Axis, QColor Color, double Width, QColor Fill);
    // Markers of Size pixels, each with its label beside it.
    TSeriesId AddLabelledPoints(TChartAxis Axis, QColor Color, double Size);
    // Lines and areas: the points in order of X (X and Y of one length). Labelled points also take
    // their labels (as many as points, or none).
    void SetData(TSeriesId Id, std::span<const double> X, std::span<const double> Y);
    void SetLabelledData(TSeriesId Id, std::span<const double> X, std::span<const double> Y,
                         const std::vector<QString>& Labels);
    void SetColor(TSeriesId Id, QColor Color);
    void SetVisible(TSeriesId Id, bool Visible);
    bool IsVisible(TSeriesId Id) const;
    // The number of points a series holds, and its points (for checks).
    int32_t PointCount(TSeriesId Id) const;
    std::vector<std::pair<double, double>> Points(TSeriesId Id) const;
    QColor Color(TSeriesId Id) const;
    void RemoveSeries(TSeriesId Id);
    bool HasSeries(TSeriesId Id) const;
    // The extent of Y over the visible series on an axis (nothing when they hold no point).
    bool ValueExtent(TChartAxis Axis, TChartRange& Out) const;

    // Bars on the left axis, one per X, each as wide as Width (axis units) in its own colour, with its
    // label centred in bold white; replaces the bars shown before.
    void SetBars(std::span<const double> X, std::span<const double> Heights,
                 const std::vector<QColor>& Colors, const std::vector<QString>& Labels, double Width);
    // Only every Step-th bar label is shown (the first one always).
    void SetBarLabelStep(int32_t Step);
    int32_t BarCount() const { return static_cast<int32_t>(bars_.size()); }
    QString BarLabel(int32_t Index) const;
    bool BarLabelVisible(int32_t Index) const;
    void ClearBars();

    // ---- Pixels and values (widget coordinates) ----
    double PixelToBottom(double X) const;
    double BottomToPixel(double Value) const;
    double PixelToValue(TChartAxis Axis, double Y) const;
    double ValueToPixel(TChartAxis Axis, double Value) const;
    // The plotting rectangle in widget coordinates.
    QRect PlotArea() const;
    // The index of the point of series Id nearest to Pos within Radius pixels, or -1.
    int32_t HitTest(TSeriesId Id, QPointF Pos, double Radius) const;

    // ---- Interaction ----
    void SetRightButtonZoom(bool On);
    void SetLeftButtonPan(Qt::Orientations Orientations);
    void SetWheelZoom(bool On);

    // Draws at once (tests, pictures); otherwise changes are drawn on the next event-loop turn.
    void Replot();
    // The chart drawn into an image of the given size (the report, screenshots).
    QImage ToImage(int Width, int Height);

signals:
    // The user zoomed, panned or wheeled: the ranges are already changed.
    void RangesChangedByUser();
    // The mouse moved over the chart (widget coordinates), or left it.
    void MouseMoved(QPointF Pos);
    void MouseLeft();
    // A press or a release of any button over the chart, before the chart's own handling.
    void MousePressed(QMouseEvent* Event);
    void MouseReleased(QMouseEvent* Event);

private:
    class TPlot;

    struct Series {
        QCPAbstractPlottable* Plottable = nullptr;
        TChartAxis Axis = TChartAxis::Left;
        QColor Color; // as set
        std::vector<QCPItemText*> Labels;
    };
    struct Bar {
        QCPAbstractPlottable* Plottable = nullptr;
        QCPItemText* Label = nullptr;
    };

    QCPAxis* axis(TChartAxis Axis) const;
    QColor drawnColor(QColor Color) const;
    void applyColor(Series& S);
    const Series& series(TSeriesId Id) const;
    TSeriesId addGraph(TChartAxis Axis, QColor Color, double Width);
    void clearLabels(Series& S);
    void queueReplot();
    // Mouse events of the plot, in the plot's coordinates; true when the event is taken here.
    bool plotPress(QMouseEvent* Event);
    bool plotMove(QMouseEvent* Event);
    bool plotRelease(QMouseEvent* Event);
    void plotWheelDone();
    void plotLeft();
    void updateBarLabels();

    TPlot* plotImpl_ = nullptr;
    QCustomPlot* plot_ = nullptr; // child widget, owned through Qt's parent
    std::map<TSeriesId, Series> series_;
    TSeriesId nextId_ = 1;
    std::vector<Bar> bars_;
    int32_t barLabelStep_ = 1;
    bool rightZoom_ = false;
    bool wheelZoom_ = false;
    Qt::Orientations pan_;
    bool zooming_ = false;
    QPoint zoomStart_;
    QRubberBand* zoomBand_ = nullptr; // child of the plot
    bool leftPressed_ = false;
    QPoint leftStart_;
    TChartRange homeBottom_{20.0, 20000.0};
    TChartRange homeLeft_{0.0, 100.0};
    QColor background_{Qt::white};
};

} // namespace vendrel
