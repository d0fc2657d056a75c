#pragma once
// The response chart as the editor holds it: the series of the measurement points and overlays (each a
// line on the level or the phase axis, with its colour, width, points and whether it is shown) and the
// axes' ranges. The editor owns the values; the chart widget mirrors them (editor/qt), told of each
// change through OnChanged. Tests read the series without a widget.

#include "editor/response_curves.h"
#include "platform/core/bitmap.h"
#include "platform/core/component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vendrel {

enum class TChartSide : uint8_t { Left, Right };

// One series. A point or overlay names its two series through its MagSerie / PhaseSerie links.
class TChartSeries : public TObject {
public:
    TChartSide Axis = TChartSide::Left;
    TAlphaColor Color = TAlphaColors::White;
    double PenWidth = 1.0;
    bool Active = false;
    TCurvePoints Points;
};

class TResponseChart {
public:
    // The left axis as the program set it last (the top 10 dB above the highest curve, 80 dB deep), and
    // the phase axis, which stays at -181 .. 181.
    TLevelAxis LeftAxis{20.0, 100.0};
    static constexpr double kPhaseMin = -181.0;
    static constexpr double kPhaseMax = 181.0;
    // Pixels the chart adds beyond the left axis's top and bottom ("MaxLeftSpinBox" x 10, "MinLeftSpinBox"
    // x -10).
    int32_t MaxLeftOffset = 0;
    int32_t MinLeftOffset = 0;

    TChartSeries* AddSeries(TChartSide Axis, TAlphaColor Color, double PenWidth, bool Active);
    // Frees the series (nothing for null or a series of another chart).
    void RemoveSeries(const TObject* Series);
    const std::vector<std::unique_ptr<TChartSeries>>& Series() const { return series_; }
    bool Holds(const TObject* Series) const;

    // The highest value of the shown series on the left axis; false when they hold no point.
    bool HighestLevel(double& Out) const;

    // A series changed (its points, colour or visibility; null: the axes or the list of series). The
    // widget redraws.
    void Changed(const TChartSeries* Series);
    std::function<void(const TChartSeries*)> OnChanged;
    std::function<void(const TChartSeries*)> OnRemoving;

private:
    std::vector<std::unique_ptr<TChartSeries>> series_;
};

// The series behind a point's or an overlay's link (null when the link names none of this chart).
TChartSeries* SeriesOf(const TResponseChart& Chart, TObject* Link);

// A colour at the given opacity (0..1), its RGB kept.
TAlphaColor WithOpacity(TAlphaColor Color, double Opacity);

} // namespace vendrel
