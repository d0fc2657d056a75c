#pragma once
// The per-source design of a steered beam, as pure computations: steering and curvature delays in
// whole samples, the shading of the outer sources (low-pass cut-off and attenuation) and how a
// column's sources are shared among its beams. The beam objects feed these into their filters.
//
// A column is steerable only with at least two sources spaced apart and with angles whose delays are
// finite; CheckSteerable* refuse anything else with EBeamSteeringError, before any state changes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendrel {

// A model or a setting that a beam cannot be steered with.
class EBeamSteeringError : public std::runtime_error {
public:
    explicit EBeamSteeringError(const std::string& what) : std::runtime_error(what) {}
};

// The steering angle limits the design accepts (degrees, inclusive); the beam panel offers -30 .. 30.
inline constexpr double kMaxSteeringAngle = 90.0;
// The curvature angle limits (degrees, exclusive); the panel offers -15 .. 15.
inline constexpr double kMaxCurvatureAngle = 180.0;

// The spacing of a model's first two sources (metres) for a model of NSources sources whose first
// two sit at heights Y0 and Y1; a model of fewer than two sources, or two at the same height, raises.
float SteeringSourceSeparation(const std::string& ModelName, int32_t NSources, double Y0, double Y1);
// Raise unless the angle lies within its limits.
void CheckSteeringAngle(double AngleDegrees);
void CheckCurvatureAngle(double CurvatureDegrees);

// Steering: S[i] = Round(i * (-Sep * sin(Angle) / (c * Ts))), the sine and the angle in single
// precision: source i is advanced by the extra path i * Sep * sin(Angle) that a plane wave leaving the
// column at Angle travels from it, so the main lobe points at Angle. A positive angle advances the
// sources along the column; angle 0 gives zeros.
std::vector<int32_t> SteeringDelays(float AngleDegrees, int32_t N, float Sep, double SpeedOfSound,
                                    double SecondsPerSample);

// Curvature: the outer K = Round(N / 4) sources at each end get Round(y * (K - i)) with
// y = Sep * tan(Curvature / 2) / (c * Ts); the others 0.
std::vector<int32_t> CurvatureDelays(float CurvatureDegrees, int32_t N, float Sep, double SpeedOfSound,
                                     double SecondsPerSample);

// Shading of the outer sources: a low-pass cut-off (Hz; 24000 = none) and an attenuation (dB) per
// source. Below 0.1 degree of curvature every source is left alone.
struct TBeamShading {
    std::vector<int32_t> Cut;
    std::vector<double> Att;
};
TBeamShading BeamShading(float CurvatureDegrees, int32_t N, float Sep);

// The number of sources each of Beams beams takes from a column of TotalSources, in beam order:
// Round(remaining / beams left), so 16 sources over 3 beams give 5, 6, 5.
std::vector<int32_t> BeamSourceCounts(int32_t TotalSources, int32_t Beams);

} // namespace vendrel
