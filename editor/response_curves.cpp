#include "editor/response_curves.h"

#include "acoustics/project.h"
#include "dsp/smoothing.h"
#include "platform/core/numeric.h"
#include "scene/color_helpers.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

void ResponseCurves(const TDSPSpace& Grid, std::span<const double> Magnitude, std::span<const double> Phase,
                    std::span<const double> WeightingTable, std::span<const int32_t> ReadIndex,
                    const TCurveDrawing& Drawing, bool LastPhasePoint, TCurvePoints& MagnitudeOut,
                    TCurvePoints& PhaseOut) {
    const auto n = static_cast<size_t>(Grid.NRealFreqPoints());
    if (Magnitude.size() < n || Phase.size() < n || WeightingTable.size() < n || ReadIndex.size() < n) {
        throw ERangeError("A response curve needs a value, a weighting and a read index per grid point");
    }
    std::vector<double> smoothed(Magnitude.begin(), Magnitude.end());
    SmoothFractionalOctave(Drawing.Smoothing, Grid, Magnitude, smoothed);

    MagnitudeOut.X.resize(n);
    MagnitudeOut.Y.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const auto j = static_cast<size_t>(ReadIndex[i]);
        MagnitudeOut.X[i] = Grid.FreqDraw[i];
        // Only the drawn curve carries the weighting.
        MagnitudeOut.Y[i] =
            At(smoothed, static_cast<int64_t>(j)) + At(WeightingTable, static_cast<int64_t>(j));
    }

    PhaseOut.X.clear();
    PhaseOut.Y.clear();
    const size_t phasePoints = LastPhasePoint ? n : (n > 0 ? n - 1 : 0);
    const double floor = Drawing.ReferenceLevel - Drawing.PhaseThreshold;
    for (size_t i = 0; i < phasePoints; ++i) {
        if (Drawing.HidePhase && !(Magnitude[i] > floor)) {
            continue;
        }
        PhaseOut.X.push_back(Grid.FreqDraw[i]);
        PhaseOut.Y.push_back(Phase[i]);
    }
}

std::vector<int32_t> MagReadIndexOf(const TDSPSpace& Grid) {
    std::vector<int32_t> index(Grid.FreqDraw.size());
    for (size_t i = 0; i < index.size(); ++i) {
        index[i] = NearestSortedIndex(std::span<const int32_t>(Grid.FreqDraw), Grid.FreqDraw[i]);
    }
    return index;
}

double CurveReferenceLevel(const TAcousticProject& Project) {
    return std::max(Project.GetMaxdBSPL(), Project.MaxdBSPL());
}

TLevelAxis LevelAxisAfterResponse(double HighestLevel) {
    const double top = HighestLevel + 10.0;
    return {top - 80.0, top};
}

std::optional<TFreqBands> SmoothingOfItem(int32_t Index) {
    switch (Index) {
    case 0:
        return TFreqBands::fbAlluserPoints;
    case 1:
        return TFreqBands::fbOneTwentyFourOctave;
    case 2:
        return TFreqBands::fbOneTwelveOctave;
    case 3:
        return TFreqBands::fbOneSixOctave;
    case 4:
        return TFreqBands::fbOneThirdOctave;
    case 5:
        return TFreqBands::fbOneOctave;
    case 6:
        return TFreqBands::fbTwoOctave;
    default:
        return std::nullopt;
    }
}

std::vector<TAlphaColor> SpectrumColors(int32_t N, float Luminance) {
    std::vector<TAlphaColor> colors;
    if (N <= 0) {
        return colors;
    }
    const float step = 1.0f / static_cast<float>(N);
    for (int32_t i = 0; i < N; ++i) {
        colors.push_back(HSLtoRGB(static_cast<float>(i) * step, 1.0f, Luminance));
    }
    return colors;
}

std::string ResponseReadout(double Frequency, double Level, double BottomMin, double BottomMax,
                            double LeftMin, double LeftMax, const TFormatSettings& Settings) {
    if (!std::isfinite(Frequency) || !std::isfinite(Level) || Frequency < BottomMin ||
        Frequency > BottomMax || Level < LeftMin || Level > LeftMax) {
        return "";
    }
    const double level = RoundHalfEven(Level * 100.0) / 100.0;
    return std::to_string(RoundHalfEven(Frequency)) + " Hz  |  " +
           FormatFloatPattern("0.0", level, Settings) + " dB";
}

} // namespace vendrel
