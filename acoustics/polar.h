#pragma once
// Polar coordinates and directivity lookups of the prediction: the angle conventions shared by the
// map kernel, the measurement points, the editor and the array placement, the neighbours of a
// direction in a model's polar grid and their bilinear interpolation, and the interpolation of a
// response between two grid frequencies.
//
// Angles are radians. The scene's Y axis points down.

#include <array>
#include <cstdint>
#include <span>

namespace vendrel {

class TDSPSpace;
class TCabModel;

// Radius and two angles; what the angles mean depends on the routine that produced them.
struct TPolarCoords {
    double Radius = 0;
    double Azimuth = 0;
    double Elevation = 0;
};

using TVec3f = std::array<float, 3>;

// 10^(dB/20).
double DBToLinearGain(double dB);
// (r cos e cos a, -r sin e, r cos e sin a).
TVec3f SphericalToVector(double r, double a, double e);
// (|v|, wrap(2pi + atan2(v.y, v.x)), wrap(atan2(v.y, sqrt(v.x^2 + v.z^2)))), wraps into [0, 2pi).
TPolarCoords VectorToSpherical(const TVec3f& v);
// Distance and the two angles of p1 seen from p2.
TPolarCoords PolarBetweenPoints(const TVec3f& p1, const TVec3f& p2);
// p in the frame of a source turned by (rx, ry, rz): the radius, the angle from the source's axis
// (0..pi) and the turn of the plane holding the direction about that axis (in [pi, 3pi)).
TPolarCoords PolarInRotatedFrame(const TVec3f& p, double rx, double ry, double rz);
// The rotated vector itself: ((p x RotY(ry)) x RotZ(rz)) x RotX(rx), single precision.
TVec3f RotateIntoSourceFrame(const TVec3f& p, double rx, double ry, double rz);

// Magnitude and phase of a response at a whole-hertz frequency, interpolated between the two grid
// points around it. With wrapPhase the phases are wrapped into [0, 2pi) and blended the shorter way.
void InterpolateResponseAtFreq(int32_t freq, std::span<const double> mag, std::span<const double> phase,
                               const TDSPSpace& grid, double& outMag, double& outPhase, bool wrapPhase);

// The four polar-grid corners around a direction and the position inside the cell, in tenths of a
// degree. Azimuth indexes of a row that lies on the mirrored half of the sphere are already mirrored.
struct TPolarNeighbours {
    int32_t AzimP1E1 = 0, AzimP2E1 = 0, AzimP1E2 = 0, AzimP2E2 = 0;
    int32_t DecimalPartAz = 0, DecimalPartElev = 0;
    int32_t ElevP1 = 0, ElevP2 = 0;
};

// resolution r (whole degrees), nAz azimuth measures (nAz * r = 360), nEl elevation slices (nEl * r = 180).
TPolarNeighbours PolarPointsToInterpolate(double azimuth, double elevation, int32_t r, int32_t nAz,
                                          int32_t nEl);

// The step per tenth of a degree from one phase to another along the shorter way round (L = 10 r).
double PhaseIncrement(double difference, int32_t tenthsPerCell);

// The directivity of polar set `set` at grid point n: bilinear magnitude; phase either interpolated
// (realPhase) or the on-axis phase of that point. The second row is mirrored once more when it lies
// at exactly 360 degrees.
void PolarMagPhaseAtGridPoint(const TCabModel& model, int32_t set, int32_t n, const TPolarNeighbours& nb,
                              bool realPhase, double& outMag, double& outPhase);

} // namespace vendrel
