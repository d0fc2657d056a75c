#pragma once
// What the response chart draws for a measurement point and an overlay: the curves' points, the level
// axis after a response arrives, the read-out under the mouse and the automatic point colours. Pure
// functions without Qt; the chart widget only shows their results.
//
// A magnitude curve is the stored level smoothed over the chosen width on the curve's grid, plus the
// chosen weighting (the stored levels stay unweighted), read through the grid's read index (for each
// drawn point, the index of the smoothed value it shows). A phase point is drawn only where the stored,
// unsmoothed and unweighted level lies above the reference level minus the threshold, or everywhere when
// hiding is off. A measurement point's phase stops before the grid's last point; an overlay's reaches it.

#include "dsp/dsp_space.h"
#include "platform/core/bitmap.h"
#include "platform/core/edit_helpers.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;

struct TCurvePoints {
    std::vector<double> X; // hertz
    std::vector<double> Y; // dB or degrees
};

// How curves are drawn: the project's smoothing, the reference level and the preferences' phase rule.
struct TCurveDrawing {
    TFreqBands Smoothing = TFreqBands::fbAlluserPoints;
    double ReferenceLevel = 0.0;  // the larger of the maps' maximum and the level scale's maximum
    bool HidePhase = true;        // "Hide Phase if magnitude downs:"
    double PhaseThreshold = 24.0; // dB below the reference level
};

// The curves of one response on Grid: Magnitude and Phase hold at least the grid's points,
// WeightingTable (dB) and ReadIndex one entry per grid point. LastPhasePoint says whether the phase
// reaches the grid's last point (overlays) or stops before it (measurement points).
void ResponseCurves(const TDSPSpace& Grid, std::span<const double> Magnitude, std::span<const double> Phase,
                    std::span<const double> WeightingTable, std::span<const int32_t> ReadIndex,
                    const TCurveDrawing& Drawing, bool LastPhasePoint, TCurvePoints& MagnitudeOut,
                    TCurvePoints& PhaseOut);

// For each point of a grid, the grid's own search of its frequency: the read index of that grid.
std::vector<int32_t> MagReadIndexOf(const TDSPSpace& Grid);

// The reference level of the curves: the larger of the project's two maxima.
double CurveReferenceLevel(const TAcousticProject& Project);

// The level axis after a response arrives: its top 10 dB above the highest level shown, 80 dB deep.
struct TLevelAxis {
    double Min = 0.0;
    double Max = 0.0;
};
TLevelAxis LevelAxisAfterResponse(double HighestLevel);

// The smoothing of the panel's list ("None", "1/24th Oct" ... "2 Octave"); nothing for another index.
std::optional<TFreqBands> SmoothingOfItem(int32_t Index);

// N colours spread over the hue circle at full saturation and the given luminance: colour i has hue
// i x (1 / N) with the step in single precision. None for N = 0.
std::vector<TAlphaColor> SpectrumColors(int32_t N, float Luminance);

// The read-out at the mouse: "<hertz> Hz  |  <level> dB" with the frequency a whole number and the
// level with one decimal (rounded to 0.01 dB first), or empty when the frequency or the level lies
// outside the axes' ranges.
std::string ResponseReadout(double Frequency, double Level, double BottomMin, double BottomMax,
                            double LeftMin, double LeftMax, const TFormatSettings& Settings);

} // namespace vendrel
