#pragma once
// The level distribution of the computed maps: how many map pixels fall into each level band of 1, 3
// or 6 dB below the level scale's maximum, each band's share, and the mean level with one sample
// standard deviation either side. The distribution chart draws it; this is its arithmetic, without Qt.
//
// Band k holds the levels in (Edges[k + 1], Edges[k]]: a level on an edge belongs to the band whose top
// it is. Edges[k] = RoundHalfEven(MaxdB - k * StepdB) for the n = RoundHalfEven(RangedB / StepdB) bands
// and Edges[n] = 0, so the last band reaches down to just above 0 dB. Levels above Edges[0], and of 0 dB
// or below, count in the statistics but in no band. A pixel that holds no number (NaN) counts nowhere.

#include "platform/core/bitmap.h"
#include "platform/core/edit_helpers.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TMappingZone;
class TObjectList;

// The level scale and palette the bands are drawn with.
struct TLevelScale {
    double MaxdB = 0.0;                   // the scale's maximum (the project's MaxdBSPL)
    double RangedB = 0.0;                 // the scale's range (RangedBSPL)
    int32_t StepdB = 3;                   // band width
    std::span<const TAlphaColor> Palette; // MappingColors, entry 0 the maximum's colour
    int32_t PaletteRes = 0;               // MappingColorsRes
};

struct TLevelDistribution {
    // False without any counted pixel: the chart is hidden and the three texts stay empty.
    bool Visible = false;
    int32_t StepdB = 0;
    std::vector<int32_t> Edges;      // n + 1 band edges, descending, the last 0
    std::vector<float> Counts;       // pixels per band
    std::vector<TAlphaColor> Colors; // per band: the palette entry at the band's top level
    int64_t Total = 0;               // every counted pixel, in a band or not
    double Mean = 0.0;
    double Deviation = 0.0;     // sample standard deviation; 0 for a single pixel
    std::string AverageText;    // "Average: 86.4 dB"
    std::string PlusDeviation;  // "Av+Std dev: 90.1 dB"
    std::string MinusDeviation; // "Av-Std dev: 82.7 dB"
    TFormatSettings Format;     // the user's decimal separator, for the labels

    int32_t NBands() const { return static_cast<int32_t>(Counts.size()); }
    // The bar of band k: its centre on the dB axis and its label, the band's share of all bars
    // ("##0.# %").
    double BarX(int32_t k) const;
    std::string BarLabel(int32_t k) const;
    // The dB axis: from the last band's bottom to the first band's top, marked at every top edge.
    double AxisMin() const;
    double AxisMax() const;
};

// The distribution of the levels of the given zones' maps (each span one zone's pixels).
TLevelDistribution LevelDistribution(const TLevelScale& Scale,
                                     const std::vector<std::span<const float>>& Zones,
                                     const TFormatSettings& Settings);

// Every second bar label is shown when the bands are 1 dB wide on a chart under 1000 pixels wide.
int32_t BarLabelStep(int32_t StepdB, double ChartWidth);

// The zones whose pixels count: the selected mapping zones in selection order when any zone is
// selected, otherwise every zone of the project.
std::vector<const TMappingZone*> DistributionZones(const TAcousticProject& Project,
                                                   const TObjectList& Selection);
// The level pixels of those zones that have a level map and are summed, one span per zone.
std::vector<std::span<const float>> SummedZoneLevels(const std::vector<const TMappingZone*>& Zones);

// The distribution chart's values: redrawn after every calculation and when the zone selection, the tab
// or the band width changes; the window mirrors Current() (bars, marks, the three texts, or the "No
// mapping data in selected zones" label when nothing counts).
class TDistributionChart {
public:
    // Project, selection and format are not owned and outlive the chart.
    TDistributionChart(const TAcousticProject& Project, const TObjectList& Selection,
                       const TFormatSettings& Format);

    // Rebuilds the distribution with bands of StepsdB.
    void ShowDistribution(int32_t StepsdB);
    const TLevelDistribution& Current() const { return current_; }
    // The band widths of the "Distribution Steps" list ("1 dB", "3 dB", "6 dB"); 0 for another index.
    static int32_t StepsOfItem(int32_t Index);
    // Number of drawings so far (each rebuilds the bars once).
    int64_t Drawings() const { return drawings_; }

    std::function<void()> OnChanged;

private:
    const TAcousticProject& project_;
    const TObjectList& selection_;
    const TFormatSettings& format_;
    TLevelDistribution current_;
    int64_t drawings_ = 0;
};

} // namespace vendrel
