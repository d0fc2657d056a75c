// The map kernel of a cabinet: the complex pressure of each of its sources at the centre of every
// pixel of every mapped zone, for every averaged frequency, added into the cabinet's zone buffers.
// Also the cabinet's polar lookups and distance laws, shared with the measurement points.
//
// Loop structure: for each zone and source, whatever depends only on the source and the frequency
// (processing response, the polar table re-laid per averaged frequency) is prepared once; the pixels
// are then visited column by column along the depth run, which is contiguous in the buffers, with the
// geometry of a whole column computed first and the sine, cosine and exponential done on vectors.

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/polar.h"
#include "acoustics/project.h"
#include "acoustics/sound_system.h"
#include "acoustics/source_point.h"
#include "acoustics/user_preset.h"
#include "acoustics/vector_math.h"
#include "acoustics/vector_math_units.h"
#include "dsp/complex.h"
#include "dsp/dsp_space.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr float kOneOver360 = 0.0027777778450399637f;
constexpr double kTwoPiD = 2 * 3.141592653589793;

// 3 x 3 rotation part of a row-vector matrix.
struct Mat3 {
    float m[3][3];
};

Mat3 mul(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
    }
    return r;
}

Mat3 rotX(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return Mat3{{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
}
Mat3 rotY(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return Mat3{{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}};
}
Mat3 rotZ(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return Mat3{{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
}

TVec3f apply(const TVec3f& p, const Mat3& m) {
    return {p[0] * m.m[0][0] + p[1] * m.m[1][0] + p[2] * m.m[2][0],
            p[0] * m.m[0][1] + p[1] * m.m[1][1] + p[2] * m.m[2][1],
            p[0] * m.m[0][2] + p[1] * m.m[1][2] + p[2] * m.m[2][2]};
}

Mat3 transpose(const Mat3& a) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = a.m[j][i];
        }
    }
    return r;
}

// Degrees into [0, 360) as the polar lookup reduces them.
double reduceDegrees(double deg) {
    double v = deg - IntPart(deg * static_cast<double>(kOneOver360)) * 360.0;
    if (v < 0) {
        v += 360.0;
    }
    return v;
}

// Angles already inside [0, 360) (nearly all) skip the reduction.
inline double fastReduceDegrees(double deg) {
    return deg >= 0 && deg < 360.0 ? deg : reduceDegrees(deg);
}

double phaseStep(double d, double l) {
    constexpr double pi = 3.1415927410125732, twoPi = 6.2831854820251465;
    if (std::fabs(d) <= pi) {
        return d / l;
    }
    return d < -pi ? (d + twoPi) / l : (d - twoPi) / l;
}

double wrap2Pi(double x) {
    return WrapRadians2Pi(x);
}

// The zone's scene rotation angles in degrees (X, Y, Z).
TVec3f zoneRotationDegrees(const TMappingZone& zone) {
    const TPoint3D r = zone.MapFrameAngles();
    return {r.X, r.Y, r.Z};
}

void prepareSourceResponse(const TCabinet& cab, int32_t i, std::vector<float>& mag,
                           std::vector<float>& phase);

// The polar data of one source re-laid per averaged frequency: [k][elevation][azimuth] magnitude and
// phase (wrapped), each with its step towards the next azimuth (the phase step already taken the
// shorter way round and divided per tenth of a degree), so that the inner loops read one small table
// per frequency and interpolate along the azimuth without branches.
struct SourceTable {
    int32_t nAz = 0, nEl = 0;
    std::vector<float> mag, dMag, ph, dPh;
    std::vector<float> packed;      // the vector unit's layout: [k][mirrored][e][a] x (m, dm, p, dp)
    std::vector<uint8_t> realPhase; // per k
    std::vector<float> axisPhase;   // per k
    size_t stride() const { return static_cast<size_t>(nEl) * static_cast<size_t>(nAz); }
    size_t at(int32_t k, int32_t e, int32_t a) const {
        return static_cast<size_t>(k) * stride() + static_cast<size_t>(e) * static_cast<size_t>(nAz) +
               static_cast<size_t>(a);
    }
};

// Step per tenth of a degree from corner c1 to corner c2 of a row. The table holds the step towards
// the next azimuth; a mirrored row runs towards the previous one, whose step is recomputed.
inline float rowStep(const float* v, const float* dv, uint32_t c1, uint32_t c2, float l) {
    return c2 == c1 + 1 ? dv[c1] : (v[c2] - v[c1]) / l;
}

inline double phaseRowStep(const float* v, const float* dv, uint32_t c1, uint32_t c2, float l) {
    return c2 == c1 + 1 ? dv[c1] : phaseStep(static_cast<double>(v[c2]) - v[c1], l);
}

// Wraps a phase that lies within one turn of [0, 2pi) back into it.
inline double wrapOnce(double x) {
    if (x < 0) {
        return x + kTwoPi;
    }
    return x >= kTwoPi ? x - kTwoPi : x;
}

} // namespace

// ---- Distance laws ----

double TCabinet::GetLinealGainVsDistance(double iGainIni, double iDistanceMeters, double iAirLoss) const {
    const double d = std::max(iDistanceMeters, 1.0);
    double g = iGainIni / d;
    if (FPhysicalSpace->AirLoss()) {
        g *= DBToLinearGain(-iAirLoss * d);
    }
    return g;
}

double TCabinet::GetDbVsDistance(double dBIni, double DistanceMeters) const {
    const double d = std::max(DistanceMeters, 1.0);
    double v = dBIni - 20 * std::log10(d);
    if (FPhysicalSpace->AirLoss()) {
        v -= FPhysicalSpace->dbHumid() * d;
    }
    return v;
}

double TCabinet::GetPhaseVsDistance(double iPhaseIni, double iDistanceMeters, double iRadiansPerMeter) const {
    return iPhaseIni - (iDistanceMeters - 1) * iRadiansPerMeter;
}

// ---- Polar lookups ----

void TCabinet::GetPolarPointsToInterpolate(double iRadianAngleAzim, double iRadianAngleElev,
                                           int32_t& oAzimP1E1, int32_t& oAzimP2E1, int32_t& oAzimP1E2,
                                           int32_t& oAzimP2E2, int32_t& oDecimalPartAz,
                                           int32_t& oDecimalPartElev, int32_t& oElevP1,
                                           int32_t& oElevP2) const {
    const TPolarNeighbours nb =
        PolarPointsToInterpolate(iRadianAngleAzim, iRadianAngleElev, FModel->PolarResolutionDegrees(),
                                 FModel->NPolarAzMeasures(), FModel->NPolarElevSlices());
    oAzimP1E1 = nb.AzimP1E1;
    oAzimP2E1 = nb.AzimP2E1;
    oAzimP1E2 = nb.AzimP1E2;
    oAzimP2E2 = nb.AzimP2E2;
    oDecimalPartAz = nb.DecimalPartAz;
    oDecimalPartElev = nb.DecimalPartElev;
    oElevP1 = nb.ElevP1;
    oElevP2 = nb.ElevP2;
}

void TCabinet::GetSpeakerMagPhaseAtPoint(int32_t iFromSource, int32_t iFreq, int32_t iAzimP1E1,
                                         int32_t iAzimP2E1, int32_t iAzimP1E2, int32_t iAzimP2E2,
                                         int32_t iDecimalPartAz, int32_t iDecimalPartElev, int32_t iElevP1,
                                         int32_t iElevP2, double& oMagSpeaker, double& oPhaseSpeaker) const {
    const TAcousticProject& project = *FMyAcousticProject;
    const int32_t set = At(FModel->SourcePoint(), iFromSource)->PolarID();
    const int32_t n = FModel->DSPSpace()->FreqToPoint(iFreq);
    const TPolarNeighbours nb{iAzimP1E1,      iAzimP2E1,        iAzimP1E2, iAzimP2E2,
                              iDecimalPartAz, iDecimalPartElev, iElevP1,   iElevP2};
    const bool real =
        FModel->UseRealPhase() && iFreq < project.MaxFreqforRealPhase() && !project.ForceUseAxisPhase();
    PolarMagPhaseAtGridPoint(*FModel, set, n, nb, real, oMagSpeaker, oPhaseSpeaker);
}

void TCabinet::GetSpeakerMagPhaseAtPointPercent(int32_t iFromSource, int32_t iFreq, int32_t iAzimP1E1,
                                                int32_t iAzimP2E1, int32_t iAzimP1E2, int32_t iAzimP2E2,
                                                int32_t iDecimalPartAz, int32_t iDecimalPartElev,
                                                int32_t iElevP1, int32_t iElevP2, double& oMagSpeaker,
                                                double& oPhaseSpeaker, float& oPoint1Percent,
                                                float& oPoint2Percent, int32_t& oNext) const {
    const TAcousticProject& project = *FMyAcousticProject;
    const TDSPSpace& grid = *FModel->DSPSpace();
    const int32_t set = At(FModel->SourcePoint(), iFromSource)->PolarID();
    const int32_t v = std::max(0, grid.FreqToPoint(iFreq) - 1);
    oNext = v < grid.NRealFreqPoints() - 1 ? 1 : 0;
    const double w = grid.FreqToNearPercent(iFreq - 1);
    oPoint2Percent = static_cast<float>(w);
    oPoint1Percent = static_cast<float>(1 - w);
    const TPolarNeighbours nb{iAzimP1E1,      iAzimP2E1,        iAzimP1E2, iAzimP2E2,
                              iDecimalPartAz, iDecimalPartElev, iElevP1,   iElevP2};
    const bool real = FModel->UseRealPhase() && !project.ForceUseAxisPhase();
    double m1 = 0, p1 = 0, m2 = 0, p2 = 0;
    PolarMagPhaseAtGridPoint(*FModel, set, v, nb, real, m1, p1);
    PolarMagPhaseAtGridPoint(*FModel, set, v + oNext, nb, real, m2, p2);
    oMagSpeaker = m1 * (1 - w) + m2 * w;
    if (p2 - p1 < -kPi) {
        p1 -= kTwoPiD;
    } else if (p2 - p1 > kPi) {
        p1 += kTwoPiD;
    }
    oPhaseSpeaker = wrap2Pi(p1 * (1 - w) + p2 * w);
}

// ---- The kernel ----

bool TCabinet::GetMap3D(int32_t FromSource, int32_t ZoneIndex) {
    TAcousticProject& project = *FMyAcousticProject;
    const TPhysicalSpace& medium = *FPhysicalSpace;
    const TCabModel& model = *FModel;
    const int32_t nK = project.NFreqsAverage();
    const std::vector<int32_t>& freqs = project.FreqsAverage();
    const int32_t r = model.PolarResolutionDegrees();
    const int32_t nAz = model.NPolarAzMeasures(), nEl = model.NPolarElevSlices();
    const double tenths = 10.0 * r;
    const double perCell = 1.0 / r; // cells per degree
    const float s = static_cast<float>(medium.PixelToMeters());

    // Per averaged frequency: radians per metre and air loss in dB per metre.
    std::vector<double> kf(static_cast<size_t>(nK)), alpha(static_cast<size_t>(nK));
    for (int32_t k = 0; k < nK; ++k) {
        const TFreqConstants fc = medium.GetFreqConstants(At(freqs, k));
        kf[static_cast<size_t>(k)] = fc.RadiansPerMeter;
        alpha[static_cast<size_t>(k)] = medium.AirLoss() ? fc.dBPerMeter : 0.0;
    }

    const int32_t firstZone = ZoneIndex == -1 ? 0 : ZoneIndex;
    const int32_t lastZone = ZoneIndex == -1 ? project.NMappingZones() - 1 : ZoneIndex;
    const int32_t firstSource = FromSource == -1 ? 0 : FromSource;
    const int32_t lastSource = FromSource == -1 ? model.NSourcePoints() - 1 : FromSource;

    std::vector<float> procMag(static_cast<size_t>(nK)), procPh(static_cast<size_t>(nK));
    SourceTable table; // re-filled per source, its storage kept
    const bool vectorColumn = PolarColumnAvailable();

    for (int32_t z = firstZone; z <= lastZone; ++z) {
        TMappingZone& zone = *At(project.MappingZones(), z);
        TZoneData& buffer = *At(FMapData, z);
        if (zone.MappingSides() == TMappingSides::qzaNoSPLMap ||
            zone.SurfaceType() == TSurfaceType::qzaPicture || !zone.Active() || buffer.ZoneCalculated()) {
            continue;
        }
        // Zone frame: M = RotY(-ry) x RotX(rx) x RotZ(rz), origin O = (Xb, -Yb, -Zb) x M.
        const TVec3f rot = zoneRotationDegrees(zone);
        const Mat3 m = mul(
            mul(rotY(static_cast<float>(-rot[1] * kDegToRad)), rotX(static_cast<float>(rot[0] * kDegToRad))),
            rotZ(static_cast<float>(rot[2] * kDegToRad)));
        const Mat3 inv = transpose(m);
        const TVec3f o = apply({zone.PosBeginPx().X, -zone.PosBeginPx().Y, -zone.PosBeginPx().Z}, m);
        const int32_t W = buffer.WidthPixels(), D = buffer.DepthPixels();
        const float h = static_cast<float>(zone.DepthPixels()) / 2.0f;
        buffer.ClearData();
        if (buffer.MapRealFreq().Empty() || buffer.MapRealFreq().NFreqs() < nK) {
            throw ERangeError("Zone " + std::to_string(z + 1) + ": " + zone.Name() +
                              ": its map buffer holds no pixels for this render");
        }

        // Column staging, reused for every source.
        const size_t ds = static_cast<size_t>(D);
        std::vector<float> dist(ds), yAz(ds), xAz(ds), yEl(ds), xEl(ds), az(ds), el(ds);
        std::vector<int32_t> dAz(ds), dEl(ds);
        std::vector<uint32_t> o11(ds), o21(ds), o12(ds), o22(ds); // table cells of the four corners at k = 0
        std::vector<uint32_t> row1(ds), row2(ds); // the vector unit's row entries of the first corners
        std::vector<float> amp(ds), ph(ds), loss(ds), invSpread(ds);

        for (int32_t i = firstSource; i <= lastSource; ++i) {
            const TSourcePoint& src = *At(FSourcePoints, i);
            if (!src.Active()) {
                continue;
            }
            prepareSourceResponse(*this, i, procMag, procPh);
            // The polar table of this source per averaged frequency.
            table.nAz = nAz;
            table.nEl = nEl;
            const size_t cells =
                static_cast<size_t>(nK) * static_cast<size_t>(nEl) * static_cast<size_t>(nAz);
            table.mag.resize(cells);
            table.dMag.resize(cells);
            table.ph.resize(cells);
            table.dPh.resize(cells);
            table.packed.resize(vectorColumn ? cells * 2 * 4 : 0);
            table.realPhase.resize(static_cast<size_t>(nK));
            table.axisPhase.resize(static_cast<size_t>(nK));
            const int32_t set = At(model.SourcePoint(), i)->PolarID();
            const auto& slices = At(model.PolarData(), set);
            std::vector<int32_t> gridPoint(static_cast<size_t>(nK));
            int32_t maxPoint = 0;
            for (int32_t k = 0; k < nK; ++k) {
                gridPoint[static_cast<size_t>(k)] =
                    model.DSPSpace()->FreqToPoint(freqs[static_cast<size_t>(k)]);
                maxPoint = std::max(maxPoint, gridPoint[static_cast<size_t>(k)]);
            }
            // Direction by direction, every frequency of it at once (each direction's arrays are read
            // once); the lengths are verified per direction.
            for (int32_t e = 0; e < nEl; ++e) {
                for (int32_t a = 0; a < nAz; ++a) {
                    const rPolarData& d = At(At(slices, e), a);
                    (void)At(d.MagnitudePerFreq, maxPoint);
                    (void)At(d.PhasePerFreq, maxPoint);
                    for (int32_t k = 0; k < nK; ++k) {
                        const size_t n = static_cast<size_t>(gridPoint[static_cast<size_t>(k)]);
                        table.mag[table.at(k, e, a)] = d.MagnitudePerFreq[n];
                        const double p0 = d.PhasePerFreq[n];
                        table.ph[table.at(k, e, a)] =
                            static_cast<float>(p0 >= 0 && p0 < kTwoPi ? p0 : wrap2Pi(p0));
                    }
                }
            }
            for (int32_t k = 0; k < nK; ++k) {
                const int32_t f = freqs[static_cast<size_t>(k)];
                if (vectorColumn) {
                    // Row entries for the vector unit: forward rows step to the next azimuth, mirrored
                    // rows (the other half of the sphere) to the previous one.
                    float* out = table.packed.data() + static_cast<size_t>(k) * 2 * table.stride() * 4;
                    for (int32_t v = 0; v < 2; ++v) {
                        for (int32_t e = 0; e < nEl; ++e) {
                            for (int32_t a = 0; a < nAz; ++a) {
                                const int32_t b = v == 0 ? (a + 1) % nAz : (a + nAz - 1) % nAz;
                                const size_t c = table.at(k, e, a), nb = table.at(k, e, b);
                                float* entry = out + ((static_cast<size_t>(v) * nEl + e) * nAz + a) * 4;
                                entry[0] = table.mag[c];
                                entry[1] = table.mag[nb] - table.mag[c];
                                entry[2] = table.ph[c];
                                entry[3] = static_cast<float>(
                                    phaseStep(static_cast<double>(table.ph[nb]) - table.ph[c], 1.0));
                            }
                        }
                    }
                } else {
                    for (int32_t e = 0; e < nEl; ++e) {
                        for (int32_t a = 0; a < nAz; ++a) {
                            const size_t c = table.at(k, e, a), next = table.at(k, e, (a + 1) % nAz);
                            table.dMag[c] = static_cast<float>(
                                (static_cast<double>(table.mag[next]) - table.mag[c]) / tenths);
                            table.dPh[c] = static_cast<float>(
                                phaseStep(static_cast<double>(table.ph[next]) - table.ph[c], tenths));
                        }
                    }
                }
                table.realPhase[static_cast<size_t>(k)] =
                    model.UseRealPhase() && f < project.MaxFreqforRealPhase() && !project.ForceUseAxisPhase();
                table.axisPhase[static_cast<size_t>(k)] = table.ph[table.at(k, 0, 0)];
            }
            const float zPolar = FZeroPhaseStart ? 0.0f : 1.0f;
            const float X = static_cast<float>(src.XpixAbs()), Y = static_cast<float>(src.YpixAbs()),
                        Z = static_cast<float>(src.ZpixAbs());
            // ((p x RotY) x RotZ) x RotX as one matrix.
            const Mat3 toSource = mul(mul(rotY(static_cast<float>(src.AbsoluteRotationRadY())),
                                          rotZ(static_cast<float>(src.AbsoluteRotationRadZ()))),
                                      rotX(static_cast<float>(src.AbsoluteRotationRadX())));

            for (int32_t w = 0; w < W; ++w) {
                if (project.AbortCalculation() ||
                    (FMapThread != nullptr && FMapThread->IsCurrentThread() && FMapThread->Cancelled())) {
                    if (FMapThread != nullptr && FMapThread->IsCurrentThread()) {
                        FMapThread->Stop();
                    }
                    FMapState = TCalcState::qzaNeedsCalculate;
                    zone.StoreMapState(TCalcState::qzaNeedsCalculate);
                    buffer.SetZoneCalculated(false);
                    project.SetAllMapsState(TCalcState::qzaNeedsCalculate);
                    return false;
                }
                if (vectorColumn) {
                    // The offset from the source in its frame is linear along the column.
                    const auto offsetAt = [&](float l) {
                        const TVec3f q =
                            apply({static_cast<float>(w) + o[0] + 0.5f, o[1], l - h + o[2] + 0.5f}, inv);
                        return apply({(q[0] - X) * s, (q[1] + Y) * s, (q[2] + Z) * s}, toSource);
                    };
                    const TVec3f t0 = offsetAt(0.0f);
                    const TVec3f tEnd = offsetAt(static_cast<float>(std::max(D - 1, 1)));
                    vecmath::TPolarGeometry g{};
                    g.n = D;
                    for (int c = 0; c < 3; ++c) {
                        g.t0[c] = t0[static_cast<size_t>(c)];
                        g.dt[c] = (tEnd[static_cast<size_t>(c)] - t0[static_cast<size_t>(c)]) /
                                  static_cast<float>(std::max(D - 1, 1));
                    }
                    g.r = r;
                    g.nAz = nAz;
                    g.nEl = nEl;
                    g.dist = dist.data();
                    g.invSpread = invSpread.data();
                    g.dAz = dAz.data();
                    g.dEl = dEl.data();
                    g.row1 = row1.data();
                    g.row2 = row2.data();
                    PolarGeometry(g);
                } else {
                    // Geometry of the column.
                    for (int32_t l = 0; l < D; ++l) {
                        const TVec3f p{static_cast<float>(w) + o[0] + 0.5f, o[1],
                                       static_cast<float>(l) - h + o[2] + 0.5f};
                        const TVec3f q = apply(p, inv);
                        const TVec3f dv{(q[0] - X) * s, (q[1] + Y) * s, (q[2] + Z) * s};
                        const TVec3f t = apply(dv, toSource);
                        const size_t li = static_cast<size_t>(l);
                        dist[li] = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
                        invSpread[li] = 1.0f / std::max(dist[li], 1.0f);
                        yAz[li] = std::sqrt(t[2] * t[2] + t[1] * t[1]);
                        xAz[li] = t[0];
                        yEl[li] = t[1];
                        xEl[li] = -t[2];
                    }
                    Atan2Array(yAz.data(), xAz.data(), az.data(), D);
                    Atan2Array(yEl.data(), xEl.data(), el.data(), D);
                    for (size_t li = 0; li < ds; ++li) {
                        const double azDeg = fastReduceDegrees(static_cast<double>(az[li]) * kRadToDeg);
                        const double elDeg =
                            fastReduceDegrees((2 * kPi - static_cast<double>(el[li])) * kRadToDeg);
                        const double azCell = azDeg * perCell, elCell = elDeg * perCell;
                        const int32_t p1 = static_cast<int32_t>(azCell);
                        const int32_t p2 = p1 + 1 > nAz - 1 ? p1 + 1 - nAz : p1 + 1;
                        dAz[li] = static_cast<int32_t>((azCell - p1) * tenths);
                        int32_t ep1 = static_cast<int32_t>(elCell);
                        int32_t ep2 = ep1 + 1;
                        dEl[li] = static_cast<int32_t>((elCell - ep1) * tenths);
                        const auto mirror = [nAz](int32_t a) { return (nAz - a) % nAz; };
                        int32_t b11 = p1, b21 = p2, b12 = p1, b22 = p2;
                        bool mir1 = false, mir2 = false; // rows on the mirrored half of the sphere
                        if (ep1 > nEl - 1) {
                            b11 = mirror(p1);
                            b21 = mirror(p2);
                            ep1 -= nEl;
                            mir1 = true;
                        }
                        if (ep2 > nEl - 1) {
                            b12 = mirror(p1);
                            b22 = mirror(p2);
                            ep2 -= nEl;
                            mir2 = true;
                            if (ep2 > nEl - 1) {
                                ep2 -= nEl;
                                b12 = mirror(b12);
                                b22 = mirror(b22);
                                mir2 = false;
                            }
                        }
                        row1[li] = static_cast<uint32_t>((mir1 ? nEl * nAz : 0) + ep1 * nAz + b11);
                        row2[li] = static_cast<uint32_t>((mir2 ? nEl * nAz : 0) + ep2 * nAz + b12);
                        o11[li] = static_cast<uint32_t>(table.at(0, ep1, b11));
                        o21[li] = static_cast<uint32_t>(table.at(0, ep1, b21));
                        o12[li] = static_cast<uint32_t>(table.at(0, ep2, b12));
                        o22[li] = static_cast<uint32_t>(table.at(0, ep2, b22));
                    }
                }
                for (int32_t k = 0; k < nK; ++k) {
                    const size_t ks = static_cast<size_t>(k);
                    const bool real = table.realPhase[ks] != 0;
                    const float axis = table.axisPhase[ks];
                    const float pm = procMag[ks], pp = procPh[ks];
                    const double kr = kf[ks];
                    const float lossPerM = static_cast<float>(-alpha[ks] * kLn10 / 20.0);
                    const size_t base = ks * table.stride();
                    const float* tm = table.mag.data() + base;
                    const float* tdm = table.dMag.data() + base;
                    const float* tp = table.ph.data() + base;
                    const float* tdp = table.dPh.data() + base;
                    const float lf = static_cast<float>(tenths);
                    vecmath::TPolarColumn column{};
                    column.n = D;
                    column.packed =
                        vectorColumn ? table.packed.data() + ks * 2 * table.stride() * 4 : nullptr;
                    column.row1 = row1.data();
                    column.row2 = row2.data();
                    column.dAz = dAz.data();
                    column.dEl = dEl.data();
                    column.dist = dist.data();
                    column.invSpread = invSpread.data();
                    column.tenths = lf;
                    column.procMag = pm;
                    column.procPhase = pp;
                    column.polarPhaseFactor = zPolar;
                    column.axisPhase = axis;
                    column.realPhase = real;
                    column.krHi = static_cast<float>(kr);
                    column.krLo = static_cast<float>(kr - static_cast<double>(column.krHi));
                    column.lossPerMeter = lossPerM;
                    column.re = buffer.MapRealFreq().Row(k, w);
                    column.im = buffer.MapImagFreq().Row(k, w);
                    if (PolarColumn(column)) {
                        continue;
                    }
                    for (size_t li = 0; li < ds; ++li) {
                        // Rows are interpolated from the left corner by the precomputed azimuth steps; the
                        // second row is the one the mirror rule gave (its step runs the mirrored way).
                        const uint32_t c11 = o11[li], c12 = o12[li];
                        const float fa = static_cast<float>(dAz[li]), fe = static_cast<float>(dEl[li]);
                        const float m1 = tm[c11] + fa * rowStep(tm, tdm, c11, o21[li], lf);
                        const float m2 = tm[c12] + fa * rowStep(tm, tdm, c12, o22[li], lf);
                        const float mag = m1 + fe * (m2 - m1) / lf;
                        double phase = axis;
                        if (real) {
                            const double q1 =
                                wrapOnce(tp[c11] + fa * phaseRowStep(tp, tdp, c11, o21[li], lf));
                            const double q2 =
                                wrapOnce(tp[c12] + fa * phaseRowStep(tp, tdp, c12, o22[li], lf));
                            phase = wrapOnce(q1 + fe * phaseStep(q2 - q1, lf));
                        }
                        const float d = dist[li];
                        const float dc = std::max(d, 1.0f);
                        amp[li] = mag * pm / dc;
                        loss[li] = lossPerM * dc;
                        ph[li] =
                            static_cast<float>(phase * zPolar + pp - (static_cast<double>(d) - 1.0) * kr);
                    }
                    ExpInPlace(loss.data(), D);
                    for (size_t li = 0; li < ds; ++li) {
                        amp[li] *= loss[li];
                    }
                    SinCosAccumulate(amp.data(), ph.data(), buffer.MapRealFreq().Row(k, w),
                                     buffer.MapImagFreq().Row(k, w), D);
                }
            }
        }
        if (buffer.LowerCalcCounter() <= 0) {
            buffer.SetZoneCalculated(true);
        }
    }
    return true;
}

// Processing response of source i at every averaged frequency: the internal preset, the user
// process and the beam filter, each read between its grid points as the measurement points read it.
namespace {

void prepareSourceResponse(const TCabinet& cab, int32_t i, std::vector<float>& mag,
                           std::vector<float>& phase) {
    const TAcousticProject& project = *cab.MyAcousticProject();
    const int32_t nK = project.NFreqsAverage();
    const TGenericDSPProcess& process = *cab.ExternalDSPProcess();
    for (int32_t k = 0; k < nK; ++k) {
        const int32_t f = At(project.FreqsAverage(), k);
        double um = 0, up = 0;
        InterpolateResponseAtFreq(f, process.AllProcessResponseMg(), process.AllProcessResponsePh(),
                                  *process.DSPSpace(), um, up, true);
        double m = um, p = up;
        if (cab.InternalDSPPreset() != nullptr) {
            const TTransferFunctionProcess& t = *At(cab.InternalDSPPreset()->EQTransferFunction(), i);
            double tm = 0, tp = 0;
            InterpolateResponseAtFreq(f, t.ResponseMg(), t.ResponsePhRad(),
                                      *cab.InternalDSPPreset()->DSPSpace(), tm, tp, true);
            m = tm * t.LinReferenceSpl() * um;
            p = tp + up;
        }
        if (!cab.SingleBeamList().empty()) {
            const TSourcePoint& src = *At(cab.SourcePoints(), i);
            double bm = 0, bp = 0;
            InterpolateResponseAtFreq(f, src.BeamFIRResponseMg(), src.BeamFIRResponsePh(), *cab.DSPSpace(),
                                      bm, bp, true);
            const double latency = cab.SingleBeamList().front()->BeamFIRSampleLatency();
            m *= bm;
            p += bp - latency * kTwoPiD * f / cab.DSPSpace()->iSampleRate();
        }
        At(mag, k) = static_cast<float>(m);
        At(phase, k) = static_cast<float>(p);
    }
}

} // namespace

} // namespace vendrel
