#include "acoustics/beam_design.h"

#include <cmath>
#include <limits>

#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr double kDegToRadians = 3.141592653589793 / 180.0;

// Whole samples of a delay; one that no sample count can hold means the setting cannot be realised.
int32_t wholeSamples(double samples) {
    if (!std::isfinite(samples) || std::fabs(samples) > std::numeric_limits<int32_t>::max()) {
        throw EBeamSteeringError("The beam cannot be steered: its delays are too long for the filters.");
    }
    return RoundHalfEven<int32_t>(samples);
}

void checkSizes(int32_t N, double SpeedOfSound, double SecondsPerSample) {
    if (N < 0) {
        throw ERangeError();
    }
    if (!(SpeedOfSound > 0) || !(SecondsPerSample > 0)) {
        throw EBeamSteeringError("The beam cannot be steered without a speed of sound and a sample rate.");
    }
}

} // namespace

float SteeringSourceSeparation(const std::string& ModelName, int32_t NSources, double Y0, double Y1) {
    if (NSources < 2) {
        throw EBeamSteeringError("The model \"" + ModelName +
                                 "\" cannot be steered: a steered column needs at least two sources per "
                                 "cabinet.");
    }
    const float sep = static_cast<float>(std::fabs(Y0 - Y1));
    if (!(sep > 0) || !std::isfinite(sep)) {
        throw EBeamSteeringError("The model \"" + ModelName +
                                 "\" cannot be steered: its first two sources are not spaced apart.");
    }
    return sep;
}

void CheckSteeringAngle(double AngleDegrees) {
    if (!(std::fabs(AngleDegrees) <= kMaxSteeringAngle)) {
        throw EBeamSteeringError("A beam can be steered by at most 90 degrees either way.");
    }
}

void CheckCurvatureAngle(double CurvatureDegrees) {
    if (!(std::fabs(CurvatureDegrees) < kMaxCurvatureAngle)) {
        throw EBeamSteeringError("A beam can be curved by less than 180 degrees either way.");
    }
}

std::vector<int32_t> SteeringDelays(float AngleDegrees, int32_t N, float Sep, double SpeedOfSound,
                                    double SecondsPerSample) {
    checkSizes(N, SpeedOfSound, SecondsPerSample);
    CheckSteeringAngle(AngleDegrees);
    // The path difference of neighbouring sources towards the angle: Sep sin(angle).
    const float s = std::sin(static_cast<float>(AngleDegrees * kDegToRadians));
    const double perSource = -static_cast<double>(Sep) * s / (SpeedOfSound * SecondsPerSample);
    std::vector<int32_t> delays(static_cast<size_t>(N), 0);
    for (int32_t i = 0; i < N; ++i) {
        delays[static_cast<size_t>(i)] = wholeSamples(i * perSource);
    }
    return delays;
}

std::vector<int32_t> CurvatureDelays(float CurvatureDegrees, int32_t N, float Sep, double SpeedOfSound,
                                     double SecondsPerSample) {
    checkSizes(N, SpeedOfSound, SecondsPerSample);
    CheckCurvatureAngle(CurvatureDegrees);
    const double t2 = std::tan(CurvatureDegrees / 2.0 * kDegToRadians);
    const double y = Sep * t2 / (SpeedOfSound * SecondsPerSample);
    const int32_t K = RoundHalfEven<int32_t>(N / 4.0);
    std::vector<int32_t> delays(static_cast<size_t>(N), 0);
    for (int32_t i = 0; i < K; ++i) {
        const int32_t e = wholeSamples(y * (K - i));
        delays[static_cast<size_t>(i)] = e;
        delays[static_cast<size_t>(N - 1 - i)] = e;
    }
    return delays;
}

TBeamShading BeamShading(float CurvatureDegrees, int32_t N, float Sep) {
    if (N < 0) {
        throw ERangeError();
    }
    constexpr int32_t kNoCut = 24000;
    TBeamShading s;
    s.Cut.assign(static_cast<size_t>(N), kNoCut);
    s.Att.assign(static_cast<size_t>(N), 0.0);
    if (CurvatureDegrees < 0.1f) {
        return s;
    }
    if (!(Sep > 0)) {
        throw EBeamSteeringError("The beam cannot be shaded: its sources are not spaced apart.");
    }
    const double h = CurvatureDegrees / 2.0;
    const int32_t K = RoundHalfEven<int32_t>(N * 0.25);
    for (int32_t i = 0; i < K; ++i) {
        // The cut-off falls with the source's distance from the centre; above 24 kHz it is none.
        const double cut = 12000.0 / (Sep * (K - i) * h);
        const int32_t c = cut > kNoCut ? kNoCut : Trunc<int32_t>(cut);
        const size_t a = static_cast<size_t>(i), b = static_cast<size_t>(N - 1 - i);
        s.Cut[a] = c;
        s.Cut[b] = c;
        s.Att[a] = (K - i) * 1.5;
        s.Att[b] = s.Att[a];
    }
    for (double& att : s.Att) {
        att -= K * 0.375;
    }
    return s;
}

std::vector<int32_t> BeamSourceCounts(int32_t TotalSources, int32_t Beams) {
    if (TotalSources < 0 || Beams < 0) {
        throw ERangeError();
    }
    std::vector<int32_t> counts(static_cast<size_t>(Beams), 0);
    int32_t remaining = TotalSources;
    for (int32_t l = 0; l < Beams; ++l) {
        const int32_t n = RoundHalfEven<int32_t>(static_cast<double>(remaining) / (Beams - l));
        counts[static_cast<size_t>(l)] = n;
        remaining -= n;
    }
    return counts;
}

} // namespace vendrel
