#include "acoustics/overlay.h"

#include "acoustics/project.h"
#include "platform/core/numeric.h"
#include "scene/color_helpers.h"

namespace vendrel {

TOverlay::TOverlay(const TAcousticProject& AcousticProjectOwner, int32_t Value, TAlphaColor MyColor,
                   bool AutoColor)
    : TQzControl3D(nullptr) {
    FIDnumber = Value;
    FName = "Overlay" + std::to_string(Value);
    FColor = AutoColor ? RandomHueColor(0.4f) : MyColor;
    const size_t points = static_cast<size_t>(AcousticProjectOwner.NFreqPointsMicGraph());
    FMag.assign(points, 0.0);
    FPhase.assign(points, 0.0);
    SetVisible(true);
}

void TOverlay::SetCurves(std::vector<double> Magnitude, std::vector<double> PhaseDegrees) {
    if (Magnitude.size() != FMag.size() || PhaseDegrees.size() != FPhase.size()) {
        throw ERangeError("An overlay holds one value per point of the response grid");
    }
    FMag = std::move(Magnitude);
    FPhase = std::move(PhaseDegrees);
}

} // namespace vendrel
