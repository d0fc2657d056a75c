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
#include "acoustics/parallel_columns.h"
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
#include <atomic>
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

namespace {

// Columns per block when a cabinet's columns are split across the pool: small, so that a cancelled
// pass is left by every thread within a column or two.
constexpr int32_t kKernelColumnGrain = 2;

// Per averaged frequency: radians per metre and air loss in dB per metre.
struct FrequencyConstants {
    std::vector<double> kf, alpha;
};

FrequencyConstants frequencyConstants(const TPhysicalSpace& medium, const std::vector<int32_t>& freqs,
                                      int32_t nK) {
    FrequencyConstants c;
    c.kf.resize(static_cast<size_t>(nK));
    c.alpha.resize(static_cast<size_t>(nK));
    for (int32_t k = 0; k < nK; ++k) {
        const TFreqConstants fc = medium.GetFreqConstants(At(freqs, k));
        c.kf[static_cast<size_t>(k)] = fc.RadiansPerMeter;
        c.alpha[static_cast<size_t>(k)] = medium.AirLoss() ? fc.dBPerMeter : 0.0;
    }
    return c;
}

// Where a zone's pixels lie: M = RotY(-ry) x RotX(rx) x RotZ(rz) and the origin O = (Xb, -Yb, -Zb) x M;
// a pixel (w, l) sits at (w + Ox + 1/2, Oy, l - h + Oz + 1/2) x M^T, h being half the zone's depth.
struct ZoneFrame {
    Mat3 inv{};
    TVec3f o{};
    float h = 0;
    int32_t W = 0, D = 0;
};

ZoneFrame zoneFrame(const TMappingZone& zone, const TZoneData& buffer) {
    const TVec3f rot = zoneRotationDegrees(zone);
    const Mat3 m =
        mul(mul(rotY(static_cast<float>(-rot[1] * kDegToRad)), rotX(static_cast<float>(rot[0] * kDegToRad))),
            rotZ(static_cast<float>(rot[2] * kDegToRad)));
    ZoneFrame f;
    f.inv = transpose(m);
    f.o = apply({zone.PosBeginPx().X, -zone.PosBeginPx().Y, -zone.PosBeginPx().Z}, m);
    f.W = buffer.WidthPixels();
    f.D = buffer.DepthPixels();
    f.h = static_cast<float>(zone.DepthPixels()) / 2.0f;
    return f;
}

// The polar data of source i re-laid per averaged frequency (see SourceTable), its storage reused.
void fillSourceTable(const TCabModel& model, const TAcousticProject& project, int32_t i, bool vectorColumn,
                     SourceTable& table) {
    const int32_t nK = project.NFreqsAverage();
    const std::vector<int32_t>& freqs = project.FreqsAverage();
    const int32_t nAz = model.NPolarAzMeasures(), nEl = model.NPolarElevSlices();
    const double tenths = 10.0 * model.PolarResolutionDegrees();
    table.nAz = nAz;
    table.nEl = nEl;
    const size_t cells = static_cast<size_t>(nK) * static_cast<size_t>(nEl) * static_cast<size_t>(nAz);
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
        gridPoint[static_cast<size_t>(k)] = model.DSPSpace()->FreqToPoint(freqs[static_cast<size_t>(k)]);
        maxPoint = std::max(maxPoint, gridPoint[static_cast<size_t>(k)]);
    }
    // Direction by direction, every frequency of it at once (each direction's arrays are read once);
    // the lengths are verified per direction.
    for (int32_t e = 0; e < nEl; ++e) {
        for (int32_t a = 0; a < nAz; ++a) {
            const rPolarData& d = At(At(slices, e), a);
            (void)At(d.MagnitudePerFreq, maxPoint);
            (void)At(d.PhasePerFreq, maxPoint);
            for (int32_t k = 0; k < nK; ++k) {
                const size_t n = static_cast<size_t>(gridPoint[static_cast<size_t>(k)]);
                table.mag[table.at(k, e, a)] = d.MagnitudePerFreq[n];
                const double p0 = d.PhasePerFreq[n];
                table.ph[table.at(k, e, a)] = static_cast<float>(p0 >= 0 && p0 < kTwoPi ? p0 : wrap2Pi(p0));
            }
        }
    }
    for (int32_t k = 0; k < nK; ++k) {
        const int32_t f = freqs[static_cast<size_t>(k)];
        if (vectorColumn) {
            // Row entries for the vector unit: forward rows step to the next azimuth, mirrored rows
            // (the other half of the sphere) to the previous one.
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
                    table.dMag[c] =
                        static_cast<float>((static_cast<double>(table.mag[next]) - table.mag[c]) / tenths);
                    table.dPh[c] = static_cast<float>(
                        phaseStep(static_cast<double>(table.ph[next]) - table.ph[c], tenths));
                }
            }
        }
        table.realPhase[static_cast<size_t>(k)] =
            model.UseRealPhase() && f < project.MaxFreqforRealPhase() && !project.ForceUseAxisPhase();
        table.axisPhase[static_cast<size_t>(k)] = table.ph[table.at(k, 0, 0)];
    }
}

// What every column of one source over one zone reads, fixed before the columns run.
struct SourcePass {
    const SourceTable* table = nullptr;
    const FrequencyConstants* constants = nullptr;
    const float* procMag = nullptr;
    const float* procPh = nullptr;
    ZoneFrame frame;
    int32_t nK = 0, r = 0, nAz = 0, nEl = 0;
    double tenths = 0, perCell = 0;
    float s = 0;               // metres per pixel
    float zPolar = 1;          // 0 with zero-phase start
    float X = 0, Y = 0, Z = 0; // the source in pixels
    Mat3 toSource{};           // ((p x RotY) x RotZ) x RotX as one matrix
    bool vectorColumn = false;
};

// A thread's column staging, reused for every column it computes.
struct ColumnStaging {
    std::vector<float> dist, yAz, xAz, yEl, xEl, az, el, amp, ph, loss, invSpread;
    std::vector<int32_t> dAz, dEl;
    std::vector<uint32_t> o11, o21, o12, o22; // table cells of the four corners at k = 0
    std::vector<uint32_t> row1, row2;         // the vector unit's row entries of the first corners
    void size(int32_t D) {
        const size_t d = static_cast<size_t>(D);
        if (dist.size() >= d) {
            return;
        }
        for (auto* v : {&dist, &yAz, &xAz, &yEl, &xEl, &az, &el, &amp, &ph, &loss, &invSpread}) {
            v->resize(d);
        }
        dAz.resize(d);
        dEl.resize(d);
        for (auto* v : {&o11, &o21, &o12, &o22, &row1, &row2}) {
            v->resize(d);
        }
    }
};

ColumnStaging& threadStaging() {
    thread_local ColumnStaging staging;
    return staging;
}

// The geometry of column w: each pixel's distance, spreading and place in the polar table.
void columnGeometry(const SourcePass& sp, int32_t w, ColumnStaging& st) {
    const ZoneFrame& f = sp.frame;
    const int32_t D = f.D, nAz = sp.nAz, nEl = sp.nEl;
    if (sp.vectorColumn) {
        // The offset from the source in its frame is linear along the column.
        const auto offsetAt = [&](float l) {
            const TVec3f q =
                apply({static_cast<float>(w) + f.o[0] + 0.5f, f.o[1], l - f.h + f.o[2] + 0.5f}, f.inv);
            return apply({(q[0] - sp.X) * sp.s, (q[1] + sp.Y) * sp.s, (q[2] + sp.Z) * sp.s}, sp.toSource);
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
        g.r = sp.r;
        g.nAz = nAz;
        g.nEl = nEl;
        g.dist = st.dist.data();
        g.invSpread = st.invSpread.data();
        g.dAz = st.dAz.data();
        g.dEl = st.dEl.data();
        g.row1 = st.row1.data();
        g.row2 = st.row2.data();
        PolarGeometry(g);
        return;
    }
    for (int32_t l = 0; l < D; ++l) {
        const TVec3f p{static_cast<float>(w) + f.o[0] + 0.5f, f.o[1],
                       static_cast<float>(l) - f.h + f.o[2] + 0.5f};
        const TVec3f q = apply(p, f.inv);
        const TVec3f dv{(q[0] - sp.X) * sp.s, (q[1] + sp.Y) * sp.s, (q[2] + sp.Z) * sp.s};
        const TVec3f t = apply(dv, sp.toSource);
        const size_t li = static_cast<size_t>(l);
        st.dist[li] = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
        st.invSpread[li] = 1.0f / std::max(st.dist[li], 1.0f);
        st.yAz[li] = std::sqrt(t[2] * t[2] + t[1] * t[1]);
        st.xAz[li] = t[0];
        st.yEl[li] = t[1];
        st.xEl[li] = -t[2];
    }
    Atan2Array(st.yAz.data(), st.xAz.data(), st.az.data(), D);
    Atan2Array(st.yEl.data(), st.xEl.data(), st.el.data(), D);
    const SourceTable& table = *sp.table;
    for (size_t li = 0; li < static_cast<size_t>(D); ++li) {
        const double azDeg = fastReduceDegrees(static_cast<double>(st.az[li]) * kRadToDeg);
        const double elDeg = fastReduceDegrees((2 * kPi - static_cast<double>(st.el[li])) * kRadToDeg);
        const double azCell = azDeg * sp.perCell, elCell = elDeg * sp.perCell;
        const int32_t p1 = static_cast<int32_t>(azCell);
        const int32_t p2 = p1 + 1 > nAz - 1 ? p1 + 1 - nAz : p1 + 1;
        st.dAz[li] = static_cast<int32_t>((azCell - p1) * sp.tenths);
        int32_t ep1 = static_cast<int32_t>(elCell);
        int32_t ep2 = ep1 + 1;
        st.dEl[li] = static_cast<int32_t>((elCell - ep1) * sp.tenths);
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
        st.row1[li] = static_cast<uint32_t>((mir1 ? nEl * nAz : 0) + ep1 * nAz + b11);
        st.row2[li] = static_cast<uint32_t>((mir2 ? nEl * nAz : 0) + ep2 * nAz + b12);
        st.o11[li] = static_cast<uint32_t>(table.at(0, ep1, b11));
        st.o21[li] = static_cast<uint32_t>(table.at(0, ep1, b21));
        st.o12[li] = static_cast<uint32_t>(table.at(0, ep2, b12));
        st.o22[li] = static_cast<uint32_t>(table.at(0, ep2, b22));
    }
}

// The source's pressure at every pixel of column w, every averaged frequency, added into the buffer.
void addColumn(const SourcePass& sp, int32_t w, ColumnStaging& st, TZoneData& buffer) {
    const SourceTable& table = *sp.table;
    const int32_t D = sp.frame.D;
    const size_t ds = static_cast<size_t>(D);
    for (int32_t k = 0; k < sp.nK; ++k) {
        const size_t ks = static_cast<size_t>(k);
        const bool real = table.realPhase[ks] != 0;
        const float axis = table.axisPhase[ks];
        const float pm = sp.procMag[ks], pp = sp.procPh[ks];
        const double kr = sp.constants->kf[ks];
        const float lossPerM = static_cast<float>(-sp.constants->alpha[ks] * kLn10 / 20.0);
        const size_t base = ks * table.stride();
        const float* tm = table.mag.data() + base;
        const float* tdm = table.dMag.data() + base;
        const float* tp = table.ph.data() + base;
        const float* tdp = table.dPh.data() + base;
        const float lf = static_cast<float>(sp.tenths);
        vecmath::TPolarColumn column{};
        column.n = D;
        column.packed = sp.vectorColumn ? table.packed.data() + ks * 2 * table.stride() * 4 : nullptr;
        column.row1 = st.row1.data();
        column.row2 = st.row2.data();
        column.dAz = st.dAz.data();
        column.dEl = st.dEl.data();
        column.dist = st.dist.data();
        column.invSpread = st.invSpread.data();
        column.tenths = lf;
        column.procMag = pm;
        column.procPhase = pp;
        column.polarPhaseFactor = sp.zPolar;
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
            // Rows are interpolated from the left corner by the precomputed azimuth steps; the second
            // row is the one the mirror rule gave (its step runs the mirrored way).
            const uint32_t c11 = st.o11[li], c12 = st.o12[li];
            const float fa = static_cast<float>(st.dAz[li]), fe = static_cast<float>(st.dEl[li]);
            const float m1 = tm[c11] + fa * rowStep(tm, tdm, c11, st.o21[li], lf);
            const float m2 = tm[c12] + fa * rowStep(tm, tdm, c12, st.o22[li], lf);
            const float mag = m1 + fe * (m2 - m1) / lf;
            double phase = axis;
            if (real) {
                const double q1 = wrapOnce(tp[c11] + fa * phaseRowStep(tp, tdp, c11, st.o21[li], lf));
                const double q2 = wrapOnce(tp[c12] + fa * phaseRowStep(tp, tdp, c12, st.o22[li], lf));
                phase = wrapOnce(q1 + fe * phaseStep(q2 - q1, lf));
            }
            const float d = st.dist[li];
            const float dc = std::max(d, 1.0f);
            st.amp[li] = mag * pm / dc;
            st.loss[li] = lossPerM * dc;
            st.ph[li] = static_cast<float>(phase * sp.zPolar + pp - (static_cast<double>(d) - 1.0) * kr);
        }
        ExpInPlace(st.loss.data(), D);
        for (size_t li = 0; li < ds; ++li) {
            st.amp[li] *= st.loss[li];
        }
        SinCosAccumulate(st.amp.data(), st.ph.data(), buffer.MapRealFreq().Row(k, w),
                         buffer.MapImagFreq().Row(k, w), D);
    }
}

// The settings of a cabinet's pass that hold for every zone and source.
SourcePass cabinetPass(const TCabModel& model, const TPhysicalSpace& medium,
                       const FrequencyConstants& constants, int32_t nK, bool zeroPhaseStart) {
    SourcePass sp;
    sp.constants = &constants;
    sp.nK = nK;
    sp.r = model.PolarResolutionDegrees();
    sp.nAz = model.NPolarAzMeasures();
    sp.nEl = model.NPolarElevSlices();
    sp.tenths = 10.0 * sp.r;
    sp.perCell = 1.0 / sp.r; // cells per degree
    sp.s = static_cast<float>(medium.PixelToMeters());
    sp.zPolar = zeroPhaseStart ? 0.0f : 1.0f;
    sp.vectorColumn = PolarColumnAvailable();
    return sp;
}

// A zone the cabinet computes no map for: one without a level map, a picture, an inactive zone, or
// one whose buffer is already calculated.
bool zoneWithoutPass(const TMappingZone& zone, const TZoneData& buffer) {
    return zone.MappingSides() == TMappingSides::qzaNoSPLMap ||
           zone.SurfaceType() == TSurfaceType::qzaPicture || !zone.Active() || buffer.ZoneCalculated();
}

// The source's place in pixels and the turn into its frame: ((p x RotY) x RotZ) x RotX.
void aimAtSource(const TSourcePoint& src, SourcePass& sp) {
    sp.X = static_cast<float>(src.XpixAbs());
    sp.Y = static_cast<float>(src.YpixAbs());
    sp.Z = static_cast<float>(src.ZpixAbs());
    sp.toSource = mul(mul(rotY(static_cast<float>(src.AbsoluteRotationRadY())),
                          rotZ(static_cast<float>(src.AbsoluteRotationRadZ()))),
                      rotX(static_cast<float>(src.AbsoluteRotationRadX())));
}

// Every column of the zone for the source the pass is aimed at, added into the buffer. The columns are
// independent: they are computed on every core, each by one thread. False when the pass was left
// because of an abort or the cancellation of the cabinet's own thread (`passThread`, may be null).
bool addEveryColumn(const SourcePass& sp, const TAcousticProject& project, const TWorkerThread* passThread,
                    TZoneData& buffer) {
    std::atomic<bool> leave{false};
    parallelColumns(sp.frame.W, kKernelColumnGrain, [&](int32_t begin, int32_t end) {
        ColumnStaging& staging = threadStaging();
        staging.size(sp.frame.D);
        for (int32_t w = begin; w != end; ++w) {
            if (leave.load(std::memory_order_relaxed)) {
                return;
            }
            if (project.AbortCalculation() || (passThread != nullptr && passThread->Cancelled())) {
                leave = true;
                return;
            }
            columnGeometry(sp, w, staging);
            addColumn(sp, w, staging, buffer);
        }
    });
    return !leave;
}

} // namespace

bool TCabinet::GetMap3D(int32_t FromSource, int32_t ZoneIndex) {
    TAcousticProject& project = *FMyAcousticProject;
    const TCabModel& model = *FModel;
    const int32_t nK = project.NFreqsAverage();
    const FrequencyConstants constants = frequencyConstants(*FPhysicalSpace, project.FreqsAverage(), nK);
    const int32_t firstZone = ZoneIndex == -1 ? 0 : ZoneIndex;
    const int32_t lastZone = ZoneIndex == -1 ? project.NMappingZones() - 1 : ZoneIndex;
    const int32_t firstSource = FromSource == -1 ? 0 : FromSource;
    const int32_t lastSource = FromSource == -1 ? model.NSourcePoints() - 1 : FromSource;
    // The pass on the cabinet's own thread leaves early when that thread is cancelled.
    TWorkerThread* const passThread =
        FMapThread != nullptr && FMapThread->IsCurrentThread() ? FMapThread : nullptr;

    std::vector<float> procMag(static_cast<size_t>(nK)), procPh(static_cast<size_t>(nK));
    SourceTable table; // re-filled per source, its storage kept
    SourcePass sp = cabinetPass(model, *FPhysicalSpace, constants, nK, FZeroPhaseStart);
    sp.table = &table;
    sp.procMag = procMag.data();
    sp.procPh = procPh.data();

    for (int32_t z = firstZone; z <= lastZone; ++z) {
        TMappingZone& zone = *At(project.MappingZones(), z);
        TZoneData& buffer = *At(FMapData, z);
        if (zoneWithoutPass(zone, buffer)) {
            continue;
        }
        sp.frame = zoneFrame(zone, buffer);
        buffer.ClearData();
        if (buffer.MapRealFreq().Empty() || buffer.MapRealFreq().NFreqs() < nK) {
            throw ERangeError("Map buffer of zone " + std::to_string(z) + " is not sized");
        }
        for (int32_t i = firstSource; i <= lastSource; ++i) {
            const TSourcePoint& src = *At(FSourcePoints, i);
            if (!src.Active()) {
                continue;
            }
            prepareSourceResponse(*this, i, procMag, procPh);
            fillSourceTable(model, project, i, sp.vectorColumn, table);
            aimAtSource(src, sp);
            if (!addEveryColumn(sp, project, passThread, buffer)) {
                // Aborted or cancelled: the zone's buffer is incomplete and the cabinet needs its maps.
                if (passThread != nullptr) {
                    passThread->Stop();
                }
                FMapState = TCalcState::qzaNeedsCalculate;
                zone.StoreMapState(TCalcState::qzaNeedsCalculate);
                buffer.SetZoneCalculated(false);
                project.SetAllMapsState(TCalcState::qzaNeedsCalculate);
                return false;
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
