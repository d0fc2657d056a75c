#include "platform/qt/chart_view.h"

#include <qcustomplot.h>

#include <QMouseEvent>
#include <QRubberBand>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vendrel {

namespace {

// A right-button drag shorter than this (pixels, on either axis) is a click: it changes nothing.
constexpr int kMinZoomDrag = 4;

const QColor kMarkLabelColor(0xC0, 0xC0, 0xC0);

QVector<double> toVector(std::span<const double> Values) {
    return QVector<double>(Values.begin(), Values.end());
}

} // namespace

// The plot hands its mouse events to the chart first; what the chart does not take goes on to the
// plot's own handling (panning, wheel zoom).
class TChartView::TPlot : public QCustomPlot {
public:
    TPlot(TChartView& Owner) : QCustomPlot(&Owner), owner_(Owner) {}

protected:
    void mousePressEvent(QMouseEvent* Event) override {
        if (!owner_.plotPress(Event)) {
            QCustomPlot::mousePressEvent(Event);
        }
    }
    void mouseMoveEvent(QMouseEvent* Event) override {
        if (!owner_.plotMove(Event)) {
            QCustomPlot::mouseMoveEvent(Event);
        }
    }
    void mouseReleaseEvent(QMouseEvent* Event) override {
        if (!owner_.plotRelease(Event)) {
            QCustomPlot::mouseReleaseEvent(Event);
        }
    }
    void wheelEvent(QWheelEvent* Event) override {
        QCustomPlot::wheelEvent(Event);
        owner_.plotWheelDone();
    }
    void leaveEvent(QEvent* Event) override {
        QCustomPlot::leaveEvent(Event);
        owner_.plotLeft();
    }

private:
    TChartView& owner_;
};

TChartView::TChartView(QWidget* Parent) : QWidget(Parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plotImpl_ = new TPlot(*this);
    plot_ = plotImpl_;
    layout->addWidget(plot_);
    plot_->setMouseTracking(true);
    // Wide pens over hundreds of points: one polyline per curve instead of segment by segment, which
    // Qt's stroker draws about twenty times faster.
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    plot_->yAxis2->setVisible(true);
    plot_->xAxis->setRange(homeBottom_.Min, homeBottom_.Max);
    plot_->yAxis->setRange(homeLeft_.Min, homeLeft_.Max);
    plot_->axisRect()->setRangeDragAxes(plot_->xAxis, plot_->yAxis);
    plot_->axisRect()->setRangeZoomAxes(plot_->xAxis, plot_->yAxis);
    zoomBand_ = new QRubberBand(QRubberBand::Rectangle, plot_);
    zoomBand_->hide();
}

TChartView::~TChartView() = default;

const std::vector<TChartMark>& TChartView::FrequencyMarks() {
    static const std::vector<TChartMark> marks{
        {20, "20"},   {30, "30"},   {40, "40"},     {50, ""},       {60, "60"},    {70, ""},
        {80, "80"},   {90, ""},     {100, "100"},   {200, "200"},   {300, "300"},  {400, "400"},
        {500, ""},    {600, "600"}, {700, ""},      {800, ""},      {900, ""},     {1000, "1k"},
        {2000, "2k"}, {3000, "3k"}, {4000, "4k"},   {5000, ""},     {6000, "6k"},  {7000, ""},
        {8000, ""},   {9000, ""},   {10000, "10k"}, {15000, "15k"}, {20000, "20k"}};
    return marks;
}

void TChartView::SetFrequencyAxis(double Min, double Max) {
    SetBottomMarks(FrequencyMarks());
    plot_->xAxis->setScaleType(QCPAxis::stLogarithmic);
    QFont font = plot_->xAxis->tickLabelFont();
    font.setPointSize(10);
    plot_->xAxis->setTickLabelFont(font);
    plot_->xAxis->setTickLabelColor(kMarkLabelColor);
    SetBottomRange(Min, Max);
}

void TChartView::SetBottomMarks(const std::vector<TChartMark>& Marks) {
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (const TChartMark& m : Marks) {
        ticker->addTick(m.Value, m.Label);
    }
    ticker->setSubTickCount(0);
    plot_->xAxis->setScaleType(QCPAxis::stLinear);
    plot_->xAxis->setTicker(ticker);
    plot_->xAxis->grid()->setSubGridVisible(false);
    queueReplot();
}

void TChartView::SetBottomRange(double Min, double Max) {
    plot_->xAxis->setRange(Min, Max);
    homeBottom_ = {Min, Max};
    queueReplot();
}

void TChartView::SetAxisRange(TChartAxis Axis, double Min, double Max) {
    axis(Axis)->setRange(Min, Max);
    if (Axis == TChartAxis::Left) {
        homeLeft_ = {Min, Max};
    }
    queueReplot();
}

TChartRange TChartView::BottomRange() const {
    const QCPRange r = plot_->xAxis->range();
    return {r.lower, r.upper};
}

TChartRange TChartView::AxisRange(TChartAxis Axis) const {
    const QCPRange r = axis(Axis)->range();
    return {r.lower, r.upper};
}

void TChartView::SetAxisTitle(TChartAxis Axis, const QString& Title) {
    axis(Axis)->setLabel(Title);
    queueReplot();
}

void TChartView::SetBottomTitle(const QString& Title) {
    plot_->xAxis->setLabel(Title);
    queueReplot();
}

void TChartView::SetAxisVisible(TChartAxis Axis, bool Visible) {
    axis(Axis)->setVisible(Visible);
    queueReplot();
}

void TChartView::SetAxisTickStep(TChartAxis Axis, double Step) {
    if (Step > 0) {
        auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setTickStep(Step);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        axis(Axis)->setTicker(ticker);
    } else {
        axis(Axis)->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
    queueReplot();
}

void TChartView::SetPlotBackground(QColor Plot, QColor Around) {
    background_ = Plot;
    plot_->axisRect()->setBackground(Plot);
    plot_->setBackground(Around);
    for (auto& [id, s] : series_) {
        applyColor(s);
    }
    queueReplot();
}

QColor TChartView::drawnColor(QColor Color) const {
    if (Color.alpha() == 255) {
        return Color;
    }
    const double a = Color.alphaF();
    const auto mix = [a](int c, int b) { return static_cast<int>(std::lround(c * a + b * (1.0 - a))); };
    return QColor(mix(Color.red(), background_.red()), mix(Color.green(), background_.green()),
                  mix(Color.blue(), background_.blue()));
}

void TChartView::applyColor(Series& S) {
    auto* g = static_cast<QCPGraph*>(S.Plottable);
    const QColor drawn = drawnColor(S.Color);
    QPen pen = g->pen();
    pen.setColor(drawn);
    g->setPen(pen);
    if (g->scatterStyle().shape() != QCPScatterStyle::ssNone) {
        QCPScatterStyle style = g->scatterStyle();
        style.setPen(QPen(drawn));
        style.setBrush(drawn);
        g->setScatterStyle(style);
    }
    for (QCPItemText* t : S.Labels) {
        t->setColor(drawn);
    }
}

QCPAxis* TChartView::axis(TChartAxis Axis) const {
    return Axis == TChartAxis::Left ? plot_->yAxis : plot_->yAxis2;
}

const TChartView::Series& TChartView::series(TSeriesId Id) const {
    const auto found = series_.find(Id);
    if (found == series_.end()) {
        throw std::out_of_range("No chart series " + std::to_string(Id));
    }
    return found->second;
}

TChartView::TSeriesId TChartView::addGraph(TChartAxis Axis, QColor Color, double Width) {
    QCPGraph* g = plot_->addGraph(plot_->xAxis, axis(Axis));
    g->setPen(QPen(drawnColor(Color), Width));
    g->setLineStyle(QCPGraph::lsLine);
    const TSeriesId id = nextId_++;
    series_[id] = Series{g, Axis, Color, {}};
    queueReplot();
    return id;
}

TChartView::TSeriesId TChartView::AddLine(TChartAxis Axis, QColor Color, double Width) {
    return addGraph(Axis, Color, Width);
}

TChartView::TSeriesId TChartView::AddArea(TChartAxis Axis, QColor Color, double Width, QColor Fill) {
    const TSeriesId id = addGraph(Axis, Color, Width);
    // Without a channel graph the fill reaches down to value 0 of the graph's axis.
    static_cast<QCPGraph*>(series_[id].Plottable)->setBrush(Fill);
    return id;
}

TChartView::TSeriesId TChartView::AddLabelledPoints(TChartAxis Axis, QColor Color, double Size) {
    const TSeriesId id = addGraph(Axis, Color, 1.0);
    auto* g = static_cast<QCPGraph*>(series_[id].Plottable);
    g->setLineStyle(QCPGraph::lsNone);
    g->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCircle, drawnColor(Color), drawnColor(Color), Size));
    return id;
}

void TChartView::SetData(TSeriesId Id, std::span<const double> X, std::span<const double> Y) {
    SetLabelledData(Id, X, Y, {});
}

void TChartView::SetLabelledData(TSeriesId Id, std::span<const double> X, std::span<const double> Y,
                                 const std::vector<QString>& Labels) {
    if (X.size() != Y.size() || (!Labels.empty() && Labels.size() != X.size())) {
        throw std::invalid_argument("A chart series takes one value and at most one label per point");
    }
    Series& s = const_cast<Series&>(series(Id));
    auto* g = static_cast<QCPGraph*>(s.Plottable);
    g->setData(toVector(X), toVector(Y), std::is_sorted(X.begin(), X.end()));
    clearLabels(s);
    for (size_t i = 0; i < Labels.size(); ++i) {
        auto* text = new QCPItemText(plot_);
        text->position->setAxes(plot_->xAxis, axis(s.Axis));
        text->position->setCoords(X[i], Y[i]);
        text->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
        text->setText(Labels[i]);
        text->setColor(drawnColor(s.Color));
        text->setVisible(g->visible());
        s.Labels.push_back(text);
    }
    queueReplot();
}

void TChartView::clearLabels(Series& S) {
    for (QCPItemText* t : S.Labels) {
        plot_->removeItem(t);
    }
    S.Labels.clear();
}

void TChartView::SetColor(TSeriesId Id, QColor Color) {
    Series& s = const_cast<Series&>(series(Id));
    if (s.Color == Color) {
        return;
    }
    s.Color = Color;
    applyColor(s);
    queueReplot();
}

void TChartView::SetVisible(TSeriesId Id, bool Visible) {
    const Series& s = series(Id);
    s.Plottable->setVisible(Visible);
    for (QCPItemText* t : s.Labels) {
        t->setVisible(Visible);
    }
    queueReplot();
}

bool TChartView::IsVisible(TSeriesId Id) const {
    return series(Id).Plottable->visible();
}

int32_t TChartView::PointCount(TSeriesId Id) const {
    return static_cast<QCPGraph*>(series(Id).Plottable)->dataCount();
}

std::vector<std::pair<double, double>> TChartView::Points(TSeriesId Id) const {
    const auto* g = static_cast<QCPGraph*>(series(Id).Plottable);
    std::vector<std::pair<double, double>> out;
    out.reserve(static_cast<size_t>(g->dataCount()));
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) {
        out.emplace_back(it->key, it->value);
    }
    return out;
}

QColor TChartView::Color(TSeriesId Id) const {
    return series(Id).Color;
}

void TChartView::RemoveSeries(TSeriesId Id) {
    const auto found = series_.find(Id);
    if (found == series_.end()) {
        return;
    }
    clearLabels(found->second);
    plot_->removePlottable(found->second.Plottable);
    series_.erase(found);
    queueReplot();
}

bool TChartView::HasSeries(TSeriesId Id) const {
    return series_.count(Id) != 0;
}

bool TChartView::ValueExtent(TChartAxis Axis, TChartRange& Out) const {
    bool any = false;
    for (const auto& [id, s] : series_) {
        if (s.Axis != Axis || !s.Plottable->visible()) {
            continue;
        }
        bool found = false;
        const QCPRange r = static_cast<QCPGraph*>(s.Plottable)->getValueRange(found);
        if (!found) {
            continue;
        }
        if (!any) {
            Out = {r.lower, r.upper};
            any = true;
        } else {
            Out.Min = std::min(Out.Min, r.lower);
            Out.Max = std::max(Out.Max, r.upper);
        }
    }
    return any;
}

// ---- Bars ----

void TChartView::SetBars(std::span<const double> X, std::span<const double> Heights,
                         const std::vector<QColor>& Colors, const std::vector<QString>& Labels,
                         double Width) {
    if (X.size() != Heights.size() || Colors.size() != X.size() || Labels.size() != X.size()) {
        throw std::invalid_argument("A bar takes one position, height, colour and label");
    }
    ClearBars();
    QFont bold = font();
    bold.setBold(true);
    for (size_t i = 0; i < X.size(); ++i) {
        // One bar plottable per bar: each bar has its own colour.
        auto* bar = new QCPBars(plot_->xAxis, plot_->yAxis);
        bar->setWidth(Width);
        bar->setBrush(Colors[i]);
        bar->setPen(Qt::NoPen);
        bar->setData(QVector<double>{X[i]}, QVector<double>{Heights[i]}, true);
        auto* label = new QCPItemText(plot_);
        label->position->setAxes(plot_->xAxis, plot_->yAxis);
        label->position->setCoords(X[i], Heights[i] / 2);
        label->setPositionAlignment(Qt::AlignCenter);
        label->setText(Labels[i]);
        label->setFont(bold);
        label->setColor(Qt::white);
        bars_.push_back(Bar{bar, label});
    }
    updateBarLabels();
    queueReplot();
}

void TChartView::SetBarLabelStep(int32_t Step) {
    barLabelStep_ = std::max(Step, 1);
    updateBarLabels();
    queueReplot();
}

void TChartView::updateBarLabels() {
    for (size_t i = 0; i < bars_.size(); ++i) {
        bars_[i].Label->setVisible(i % static_cast<size_t>(barLabelStep_) == 0);
    }
}

QString TChartView::BarLabel(int32_t Index) const {
    return bars_.at(static_cast<size_t>(Index)).Label->text();
}

bool TChartView::BarLabelVisible(int32_t Index) const {
    return bars_.at(static_cast<size_t>(Index)).Label->visible();
}

void TChartView::ClearBars() {
    for (const Bar& b : bars_) {
        plot_->removeItem(b.Label);
        plot_->removePlottable(b.Plottable);
    }
    bars_.clear();
    queueReplot();
}

// ---- Pixels and values ----

double TChartView::PixelToBottom(double X) const {
    return plot_->xAxis->pixelToCoord(X - plot_->x());
}

double TChartView::BottomToPixel(double Value) const {
    return plot_->xAxis->coordToPixel(Value) + plot_->x();
}

double TChartView::PixelToValue(TChartAxis Axis, double Y) const {
    return axis(Axis)->pixelToCoord(Y - plot_->y());
}

double TChartView::ValueToPixel(TChartAxis Axis, double Value) const {
    return axis(Axis)->coordToPixel(Value) + plot_->y();
}

QRect TChartView::PlotArea() const {
    return plot_->axisRect()->rect().translated(plot_->pos());
}

int32_t TChartView::HitTest(TSeriesId Id, QPointF Pos, double Radius) const {
    const Series& s = series(Id);
    if (!s.Plottable->visible()) {
        return -1;
    }
    const auto* g = static_cast<QCPGraph*>(s.Plottable);
    int32_t best = -1;
    double bestDistance = Radius;
    int32_t i = 0;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it, ++i) {
        const double dx = BottomToPixel(it->key) - Pos.x();
        const double dy = ValueToPixel(s.Axis, it->value) - Pos.y();
        const double d = std::hypot(dx, dy);
        if (d <= bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// ---- Interaction ----

void TChartView::SetRightButtonZoom(bool On) {
    rightZoom_ = On;
}

void TChartView::SetLeftButtonPan(Qt::Orientations Orientations) {
    pan_ = Orientations;
    plot_->axisRect()->setRangeDrag(Orientations);
    plot_->setInteraction(QCP::iRangeDrag, Orientations != Qt::Orientations());
}

void TChartView::SetWheelZoom(bool On) {
    wheelZoom_ = On;
    plot_->axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    plot_->setInteraction(QCP::iRangeZoom, On);
}

bool TChartView::plotPress(QMouseEvent* Event) {
    emit MousePressed(Event);
    if (Event->button() == Qt::LeftButton) {
        leftPressed_ = true;
        leftStart_ = Event->pos();
        return false;
    }
    if (Event->button() != Qt::RightButton || !rightZoom_) {
        return false;
    }
    zooming_ = true;
    zoomStart_ = Event->pos();
    zoomBand_->setGeometry(QRect(zoomStart_, QSize()));
    zoomBand_->show();
    return true;
}

bool TChartView::plotMove(QMouseEvent* Event) {
    emit MouseMoved(QPointF(Event->pos()) + plot_->pos());
    if (!zooming_) {
        return false;
    }
    zoomBand_->setGeometry(QRect(zoomStart_, Event->pos()).normalized());
    return true;
}

bool TChartView::plotRelease(QMouseEvent* Event) {
    emit MouseReleased(Event);
    if (Event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (pan_ != Qt::Orientations() && Event->pos() != leftStart_) {
            emit RangesChangedByUser();
        }
        return false;
    }
    if (Event->button() != Qt::RightButton || !zooming_) {
        return false;
    }
    zooming_ = false;
    zoomBand_->hide();
    const QPoint end = Event->pos();
    const int dx = end.x() - zoomStart_.x();
    const int dy = end.y() - zoomStart_.y();
    if (std::abs(dx) < kMinZoomDrag && std::abs(dy) < kMinZoomDrag) {
        return true;
    }
    if (dx > 0 && dy > 0) {
        // Down and to the right: the rectangle becomes the bottom and left ranges.
        const double x1 = plot_->xAxis->pixelToCoord(zoomStart_.x());
        const double x2 = plot_->xAxis->pixelToCoord(end.x());
        const double y1 = plot_->yAxis->pixelToCoord(end.y());
        const double y2 = plot_->yAxis->pixelToCoord(zoomStart_.y());
        plot_->xAxis->setRange(x1, x2);
        plot_->yAxis->setRange(y1, y2);
    } else {
        plot_->xAxis->setRange(homeBottom_.Min, homeBottom_.Max);
        plot_->yAxis->setRange(homeLeft_.Min, homeLeft_.Max);
    }
    emit RangesChangedByUser();
    queueReplot();
    return true;
}

void TChartView::plotWheelDone() {
    if (wheelZoom_) {
        emit RangesChangedByUser();
    }
}

void TChartView::plotLeft() {
    emit MouseLeft();
}

void TChartView::queueReplot() {
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void TChartView::Replot() {
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

QImage TChartView::ToImage(int Width, int Height) {
    return plot_->toPixmap(Width, Height).toImage();
}

} // namespace vendrel
