#include "editor/response_chart.h"

#include "platform/core/numeric.h"

#include <algorithm>

namespace vendrel {

TChartSeries* TResponseChart::AddSeries(TChartSide Axis, TAlphaColor Color, double PenWidth, bool Active) {
    auto s = std::make_unique<TChartSeries>();
    s->Axis = Axis;
    s->Color = Color;
    s->PenWidth = PenWidth;
    s->Active = Active;
    TChartSeries* raw = s.get();
    series_.push_back(std::move(s));
    Changed(nullptr);
    return raw;
}

void TResponseChart::RemoveSeries(const TObject* Series) {
    const auto at =
        std::find_if(series_.begin(), series_.end(), [&](const auto& s) { return s.get() == Series; });
    if (at == series_.end()) {
        return;
    }
    if (OnRemoving) {
        OnRemoving(at->get());
    }
    series_.erase(at);
    Changed(nullptr);
}

bool TResponseChart::Holds(const TObject* Series) const {
    return std::any_of(series_.begin(), series_.end(), [&](const auto& s) { return s.get() == Series; });
}

bool TResponseChart::HighestLevel(double& Out) const {
    bool any = false;
    for (const auto& s : series_) {
        if (s->Axis != TChartSide::Left || !s->Active) {
            continue;
        }
        for (double y : s->Points.Y) {
            if (!any || y > Out) {
                Out = y;
                any = true;
            }
        }
    }
    return any;
}

void TResponseChart::Changed(const TChartSeries* Series) {
    if (OnChanged) {
        OnChanged(Series);
    }
}

TChartSeries* SeriesOf(const TResponseChart& Chart, TObject* Link) {
    return Chart.Holds(Link) ? static_cast<TChartSeries*>(Link) : nullptr;
}

TAlphaColor WithOpacity(TAlphaColor Color, double Opacity) {
    const auto alpha = static_cast<uint32_t>(RoundHalfEven(std::clamp(Opacity, 0.0, 1.0) * 255.0));
    return (Color & 0x00FFFFFFu) | (alpha << 24);
}

} // namespace vendrel
