#include "acoustics/polar.h"

#include "acoustics/cab_model.h"
#include "dsp/complex.h"
#include "dsp/dsp_space.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr double kTwoPiSingle = 6.2831854820251465; // 2 pi as a single, widened
constexpr double kPiSingle = 3.1415927410125732;
constexpr double kRadToDeg = 57.29577951308232;
constexpr float kOneOver360 = 0.0027777778450399637f;

// Degrees reduced into [0, 360): x - Int(x / 360) * 360, plus 360 when negative.
double reduceDegrees(double deg) {
    double v = deg - IntPart(deg * static_cast<double>(kOneOver360)) * 360.0;
    if (v < 0) {
        v += 360.0;
    }
    return v;
}

} // namespace

double DBToLinearGain(double dB) {
    return std::exp(dB / 20.0 * kLn10);
}

TVec3f SphericalToVector(double r, double a, double e) {
    return {static_cast<float>(r * std::cos(e) * std::cos(a)), static_cast<float>(-r * std::sin(e)),
            static_cast<float>(r * std::cos(e) * std::sin(a))};
}

TPolarCoords VectorToSpherical(const TVec3f& v) {
    const double x = v[0], y = v[1], z = v[2];
    TPolarCoords c;
    c.Radius = std::sqrt(x * x + y * y + z * z);
    c.Azimuth = WrapRadians2Pi(kTwoPiSingle + std::atan2(y, x));
    c.Elevation = WrapRadians2Pi(std::atan2(y, std::sqrt(x * x + z * z)));
    return c;
}

TPolarCoords PolarBetweenPoints(const TVec3f& p1, const TVec3f& p2) {
    const double dx = static_cast<double>(p1[0]) - p2[0];
    const double dy = static_cast<double>(p1[1]) - p2[1];
    const double dz = static_cast<double>(p1[2]) - p2[2];
    TPolarCoords c;
    c.Radius = std::sqrt(dx * dx + dy * dy + dz * dz);
    c.Azimuth = WrapRadians2Pi(std::atan2(dz, dx));
    c.Elevation = WrapRadians2Pi(std::acos(dy / c.Radius) - kPi / 2);
    return c;
}

TVec3f RotateIntoSourceFrame(const TVec3f& p, double rx, double ry, double rz) {
    // Row vectors times the platform's rotation matrices, whose angles are singles.
    const float fy = static_cast<float>(ry), fz = static_cast<float>(rz), fx = static_cast<float>(rx);
    const float cy = std::cos(fy), sy = std::sin(fy);
    const float cz = std::cos(fz), sz = std::sin(fz);
    const float cx = std::cos(fx), sx = std::sin(fx);
    // p x RotY: rows (cy, 0, -sy), (0, 1, 0), (sy, 0, cy)
    const float ax = p[0] * cy + p[2] * sy, ay = p[1], az = -p[0] * sy + p[2] * cy;
    // x RotZ: rows (cz, sz, 0), (-sz, cz, 0), (0, 0, 1)
    const float bx = ax * cz - ay * sz, by = ax * sz + ay * cz, bz = az;
    // x RotX: rows (1, 0, 0), (0, cx, sx), (0, -sx, cx)
    return {bx, by * cx - bz * sx, by * sx + bz * cx};
}

TPolarCoords PolarInRotatedFrame(const TVec3f& p, double rx, double ry, double rz) {
    const TVec3f q = RotateIntoSourceFrame(p, rx, ry, rz);
    const double x = q[0], y = q[1], z = q[2];
    TPolarCoords c;
    c.Radius = std::sqrt(x * x + y * y + z * z);
    c.Azimuth = std::atan2(std::sqrt(z * z + y * y), x);
    c.Elevation = 2 * kPi - std::atan2(y, -z);
    return c;
}

void InterpolateResponseAtFreq(int32_t freq, std::span<const double> mag, std::span<const double> phase,
                               const TDSPSpace& grid, double& outMag, double& outPhase, bool wrapPhase) {
    const int32_t points = grid.NRealFreqPoints();
    const int32_t i = std::max(0, grid.FreqToPoint(freq) - 1);
    const int32_t j = i < points - 1 ? i + 1 : i;
    const double w = grid.FreqToNearPercent(freq - 1);
    outMag = At(mag, i) * (1 - w) + At(mag, j) * w;
    if (!wrapPhase) {
        outPhase = At(phase, i) * (1 - w) + At(phase, j) * w;
        return;
    }
    double g = WrapRadians2Pi(At(phase, i));
    const double h = WrapRadians2Pi(At(phase, j));
    if (h - g < -kPi) {
        g -= 2 * kPi;
    } else if (h - g > kPi) {
        g += 2 * kPi;
    }
    outPhase = WrapRadians2Pi(g * (1 - w) + h * w);
}

TPolarNeighbours PolarPointsToInterpolate(double azimuth, double elevation, int32_t r, int32_t nAz,
                                          int32_t nEl) {
    const double az = reduceDegrees(azimuth * kRadToDeg);
    const double el = reduceDegrees(elevation * kRadToDeg);
    TPolarNeighbours nb;
    const int32_t azP1 = Trunc<int32_t>(az / r);
    int32_t azP2 = azP1 + 1;
    if (azP2 > nAz - 1) {
        azP2 -= nAz;
    }
    nb.DecimalPartAz = Trunc<int32_t>(Frac(az / r) * 10 * r);
    nb.ElevP1 = Trunc<int32_t>(el / r);
    nb.ElevP2 = nb.ElevP1 + 1;
    nb.DecimalPartElev = Trunc<int32_t>(Frac(el / r) * 10 * r);
    const auto mirror = [nAz](int32_t a) { return ((nAz - a) % nAz + nAz) % nAz; };
    if (nb.ElevP1 > nEl - 1) {
        nb.AzimP1E1 = mirror(azP1);
        nb.AzimP2E1 = mirror(azP2);
        nb.ElevP1 -= nEl;
    } else {
        nb.AzimP1E1 = azP1;
        nb.AzimP2E1 = azP2;
    }
    if (nb.ElevP2 > nEl - 1) {
        nb.AzimP1E2 = mirror(azP1);
        nb.AzimP2E2 = mirror(azP2);
        nb.ElevP2 -= nEl;
    } else {
        nb.AzimP1E2 = azP1;
        nb.AzimP2E2 = azP2;
    }
    return nb;
}

double PhaseIncrement(double difference, int32_t tenthsPerCell) {
    const double l = tenthsPerCell;
    if (std::fabs(difference) <= kPiSingle) {
        return difference / l;
    }
    if (difference < -kPiSingle) {
        return (difference + kTwoPiSingle) / l;
    }
    return (difference - kTwoPiSingle) / l;
}

void PolarMagPhaseAtGridPoint(const TCabModel& model, int32_t set, int32_t n, const TPolarNeighbours& nb,
                              bool realPhase, double& outMag, double& outPhase) {
    const int32_t r = model.PolarResolutionDegrees();
    const int32_t nAz = model.NPolarAzMeasures();
    const int32_t nEl = model.NPolarElevSlices();
    const int32_t l = 10 * r;
    const auto& slices = At(model.PolarData(), set);

    const auto row = [&](int32_t elev, int32_t a1, int32_t a2, double& m, double& p) {
        const rPolarData& d1 = At(At(slices, elev), a1);
        const rPolarData& d2 = At(At(slices, elev), a2);
        const double m1 = At(d1.MagnitudePerFreq, n), m2 = At(d2.MagnitudePerFreq, n);
        const double p1 = WrapRadians2Pi(At(d1.PhasePerFreq, n));
        const double p2 = WrapRadians2Pi(At(d2.PhasePerFreq, n));
        m = m1 + nb.DecimalPartAz * (m2 - m1) / l;
        p = WrapRadians2Pi(p1 + nb.DecimalPartAz * PhaseIncrement(p2 - p1, l));
    };

    double m1 = 0, p1 = 0, m2 = 0, p2 = 0;
    row(nb.ElevP1, nb.AzimP1E1, nb.AzimP2E1, m1, p1);
    int32_t elevP2 = nb.ElevP2, a1 = nb.AzimP1E2, a2 = nb.AzimP2E2;
    if (elevP2 > nEl - 1) {
        // exactly 360 degrees of elevation: mirrored once more
        elevP2 -= nEl;
        a1 = ((nAz - a1) % nAz + nAz) % nAz;
        a2 = ((nAz - a2) % nAz + nAz) % nAz;
    }
    row(elevP2, a1, a2, m2, p2);
    outMag = m1 + nb.DecimalPartElev * (m2 - m1) / l;
    if (realPhase) {
        outPhase = WrapRadians2Pi(p1 + nb.DecimalPartElev * PhaseIncrement(p2 - p1, l));
    } else {
        outPhase = WrapRadians2Pi(At(At(At(slices, 0), 0).PhasePerFreq, n));
    }
}

} // namespace vendrel
