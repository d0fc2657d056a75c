#include "acoustics/overlay.h"

#include "acoustics/project.h"
#include "acoustics/response_grids.h"
#include "platform/core/numeric.h"
#include "scene/color_helpers.h"

namespace vendrel {

TOverlay::TOverlay(const TAcousticProject& AcousticProjectOwner, int32_t Value, TAlphaColor MyColor,
                   bool AutoColor)
    : TQzControl3D(nullptr) {
    FIDnumber = Value;
    FName = "Overlay" + std::to_string(Value);
    FColor = AutoColor ? RandomHueColor(0.4f) : MyColor;
    FGridSpacing = AcousticProjectOwner.DSPSpaceForMicGraphs()->BandPerOctave();
    const size_t points = static_cast<size_t>(AcousticProjectOwner.NFreqPointsMicGraph());
    FMag.assign(points, 0.0);
    FPhase.assign(points, 0.0);
    SetVisible(true);
}

const TDSPSpace& TOverlay::Grid() const {
    return ResponseGrid(FGridSpacing);
}

void TOverlay::SetCurves(std::vector<double> Magnitude, std::vector<double> PhaseDegrees) {
    SetCurvesOnGrid(FGridSpacing, std::move(Magnitude), std::move(PhaseDegrees));
}

void TOverlay::SetCurvesOnGrid(TFreqBands Spacing, std::vector<double> Magnitude,
                               std::vector<double> PhaseDegrees) {
    const auto points = static_cast<size_t>(ResponseGrid(Spacing).NRealFreqPoints());
    if (Magnitude.size() != points || PhaseDegrees.size() != points) {
        throw ERangeError("An overlay holds one value per point of its response grid");
    }
    FGridSpacing = Spacing;
    FMag = std::move(Magnitude);
    FPhase = std::move(PhaseDegrees);
}

} // namespace vendrel
