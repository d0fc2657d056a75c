#include "acoustics/weighting.h"

#include <algorithm>

#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr std::array<float, kWeightingBands> kA = {
    -50.4f, -44.8f, -39.5f, -34.5f, -30.3f, -26.2f, -22.4f, -19.1f, -16.2f, -13.2f, -10.8f,
    -8.7f,  -6.6f,  -4.8f,  -3.2f,  -1.9f,  -0.8f,  0.0f,   0.6f,   1.0f,   1.2f,   1.3f,
    1.2f,   1.0f,   0.6f,   -0.1f,  -1.1f,  -2.5f,  -4.3f,  -6.7f,  -9.3f};

constexpr std::array<float, kWeightingBands> kC = {-6.2f, -4.4f, -3.0f, -2.0f, -1.3f, -0.8f, -0.5f, -0.3f,
                                                   -0.2f, -0.1f, 0.0f,  0.0f,  0.0f,  0.0f,  0.0f,  0.0f,
                                                   0.0f,  0.0f,  0.0f,  -0.1f, -0.2f, -0.3f, -0.5f, -0.8f,
                                                   -1.3f, -2.0f, -3.0f, -4.4f, -6.2f, -8.5f, -11.2f};

} // namespace

const std::array<float, kWeightingBands>& AWeightingTable() {
    return kA;
}
const std::array<float, kWeightingBands>& CWeightingTable() {
    return kC;
}

std::vector<double> WeighteningCurve(TWeightening Weightening, const TDSPSpace& grid) {
    std::vector<double> curve(grid.FreqDraw.size(), 0.0);
    if (Weightening == TWeightening::unWeigthed) {
        return curve;
    }
    const auto& table = Weightening == TWeightening::AWeigthed ? kA : kC;
    // The third-octave grid whose lookup tables place every frequency between two bands.
    TDSPSpace bands;
    bands.SetSampleRate(TSampleRate::sr48k);
    bands.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    for (size_t i = 0; i < curve.size(); ++i) {
        const int32_t f = grid.FreqDraw[i];
        const int64_t k = std::max<int64_t>(bands.FreqToPoint(f), 1);
        // The fraction of f itself between bands k - 1 and k, so that a point on a band takes that
        // band's value (the per-hertz weight table lags one hertz behind and holds 0 on the bands).
        const double f0 = At(bands.FreqDraw, k - 1);
        const double f1 = At(bands.FreqDraw, k);
        const double p = std::clamp((f - f0) / (f1 - f0), 0.0, 1.0);
        curve[i] = At(table, k - 1) * (1.0 - p) + At(table, k) * p;
    }
    return curve;
}

} // namespace vendrel

#include "acoustics/project.h"

namespace vendrel {

void TAcousticProject::SetMicWeightening(TWeightening Value) {
    if (Value == FMicWeightening) {
        return;
    }
    FMicWeightening = Value;
    FWeighteningTable = WeighteningCurve(Value, *FDSPSpaceForMicGraphs);
}

} // namespace vendrel
