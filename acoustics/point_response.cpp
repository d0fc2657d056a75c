// The response at a point: per source, the polar lookup is done once (its neighbours in the polar
// grid, then its values at the few model-grid frequencies the point's grid falls between), and the
// per-frequency work is a blend of those values with the processing responses, the spreading, the
// air absorption and the propagation phase. Processing responses and frequency constants are looked
// up once per computation.

#include "acoustics/point_response.h"

#include <algorithm>
#include <cmath>

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/physical_space.h"
#include "acoustics/polar.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "acoustics/user_preset.h"
#include "dsp/complex.h"
#include "dsp/dsp_space.h"
#include "dsp/fir.h"
#include "dsp/gain_delay.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr double kTwoPiExact = 2 * 3.141592653589793;
constexpr double kRadiansToDegrees = 180.0 / 3.141592653589793;

bool isSubwoofer(TCabinetType type) {
    return type == TCabinetType::qzaLineArraySub || type == TCabinetType::qzaSub ||
           type == TCabinetType::qzaColumnSub || type == TCabinetType::qzaCeilingSub;
}

// Every cabinet of the project in the order the arrival search visits them: loose cabinets, then
// those of every line array, cluster and beam-steering array.
template <typename Fn> void forEachCabinet(const TAcousticProject& p, Fn fn) {
    for (const auto& cab : p.Cabinets()) {
        fn(*cab);
    }
    for (const auto& array : p.CabArrays()) {
        for (const TCabinet* cab : array->CabinetList()) {
            fn(*cab);
        }
    }
    for (const auto& cluster : p.Clusters()) {
        for (const TCabinet* cab : cluster->CabinetList()) {
            fn(*cab);
        }
    }
    for (const auto& beam : p.Beams()) {
        for (const TCabinet* cab : beam->CabinetList()) {
            fn(*cab);
        }
    }
}

} // namespace

TPointResponse::TPointResponse(const TAcousticProject& Project)
    : project_(Project), medium_(*Project.PhysicalSpace()), grid_(*Project.DSPSpaceForMicGraphs()) {
    c_ = medium_.SpeedOfSound();
    airLoss_ = medium_.AirLoss();
    complexSum_ = project_.IsComplexSum();
    zeroPhaseStart_ = project_.ZeroPhaseStart();
    axisPhaseOnly_ = project_.ForceUseAxisPhase();
    const int32_t n = project_.NFreqPointsMicGraph();
    freq_.resize(static_cast<size_t>(n));
    radPerMeter_.resize(freq_.size());
    airLossPerM_.resize(freq_.size());
    beamLatencyW_.resize(freq_.size());
    for (int32_t i = 0; i < n; ++i) {
        const int32_t f = At(grid_.FreqDraw, i);
        const TFreqConstants fc = medium_.GetFreqConstants(f);
        const size_t u = static_cast<size_t>(i);
        freq_[u] = f;
        radPerMeter_[u] = fc.RadiansPerMeter;
        airLossPerM_[u] = fc.dBPerMeter;
        beamLatencyW_[u] = kTwoPiExact * f / grid_.iSampleRate();
    }
}

const TPointResponse::ModelGridWeights& TPointResponse::gridWeights(const TDSPSpace& grid) {
    const auto found = weights_.find(&grid);
    if (found != weights_.end()) {
        return found->second;
    }
    ModelGridWeights g;
    const size_t n = freq_.size();
    g.k.resize(n);
    g.step.resize(n);
    g.w.resize(n);
    g.wLo.resize(n);
    g.wHi.resize(n);
    g.lowest = grid.NRealFreqPoints();
    for (size_t i = 0; i < n; ++i) {
        const int32_t f = freq_[i];
        const int32_t k = std::max(0, grid.FreqToPoint(f) - 1);
        const int32_t step = k < grid.NRealFreqPoints() - 1 ? 1 : 0;
        const double w = grid.FreqToNearPercent(f - 1);
        g.k[i] = k;
        g.step[i] = step;
        g.w[i] = w;
        g.wHi[i] = static_cast<float>(w);
        g.wLo[i] = static_cast<float>(1 - w);
        g.lowest = std::min(g.lowest, k);
        g.highest = std::max(g.highest, k + step);
    }
    return weights_.emplace(&grid, std::move(g)).first->second;
}

const TPointResponse::ProcessResponse& TPointResponse::processResponse(const TGenericDSPProcess& process) {
    const auto found = processes_.find(&process);
    if (found != processes_.end()) {
        return found->second;
    }
    ProcessResponse r;
    r.mag.resize(freq_.size());
    r.phase.resize(freq_.size());
    for (size_t i = 0; i < freq_.size(); ++i) {
        InterpolateResponseAtFreq(freq_[i], process.AllProcessResponseMg(), process.AllProcessResponsePh(),
                                  *process.DSPSpace(), r.mag[i], r.phase[i], false);
    }
    return processes_.emplace(&process, std::move(r)).first->second;
}

const TPointResponse::ProcessResponse* TPointResponse::beamFilterResponse(const TCabinet& Cabinet,
                                                                          const TSourcePoint& Source) {
    for (const TSingleBeam* beam : Cabinet.SingleBeamList()) {
        if (beam->BeamProcessType() != TBeamProcessType::qzaFIRProcess) {
            continue;
        }
        const auto& sources = beam->pSourcePoints();
        const auto at = std::find(sources.begin(), sources.end(), &Source);
        if (at == sources.end()) {
            continue;
        }
        const auto i = static_cast<size_t>(at - sources.begin());
        if (i >= beam->FIRprocess().size()) {
            return nullptr;
        }
        const TFIR& fir = *beam->FIRprocess()[i];
        const auto found = beamFilters_.find(&fir);
        if (found != beamFilters_.end()) {
            return &found->second;
        }
        ProcessResponse r;
        r.mag.resize(freq_.size());
        r.phase.resize(freq_.size());
        fir.CalcResponseLinealAt(freq_, r.mag, r.phase);
        // As stored in the source: the steering without the filter's own latency.
        const double rate = fir.SampleRate();
        for (size_t k = 0; k < freq_.size(); ++k) {
            r.phase[k] += beam->BeamFIRSampleLatency() * kTwoPiExact * freq_[k] / rate;
        }
        return &beamFilters_.emplace(&fir, std::move(r)).first->second;
    }
    return nullptr;
}

void TPointResponse::sourceTerms(const TCabinet& Cabinet, int32_t s, const TPoint3D& Point, bool polarPhase,
                                 std::span<const double> Compensation, double* re, double* im, double* mg,
                                 double* ph) {
    const TCabModel& model = *Cabinet.Model();
    const TSourcePoint& src = *At(Cabinet.SourcePoints(), s);

    // Where the point lies in the source's frame (the scene's Z counted the other way).
    const TPoint3D at = src.AbsolutePosition();
    const TVec3f rel{Point.X - at.X, Point.Y - at.Y, at.Z - Point.Z};
    const TPolarCoords polar = PolarInRotatedFrame(rel, static_cast<float>(src.AbsoluteRotationRadX()),
                                                   static_cast<float>(src.AbsoluteRotationRadY()),
                                                   static_cast<float>(src.AbsoluteRotationRadZ()));
    const double d = polar.Radius;
    const TPolarNeighbours nb =
        PolarPointsToInterpolate(polar.Azimuth, polar.Elevation, model.PolarResolutionDegrees(),
                                 model.NPolarAzMeasures(), model.NPolarElevSlices());

    // The polar values at every model-grid point the point's grid falls between.
    const ModelGridWeights& g = gridWeights(*model.DSPSpace());
    const int32_t set = At(model.SourcePoint(), s)->PolarID();
    const bool realPhase = model.UseRealPhase() && !axisPhaseOnly_;
    polarMag_.resize(static_cast<size_t>(std::max(g.highest + 1, 0)));
    polarPhase_.resize(polarMag_.size());
    for (int32_t n = g.lowest; n <= g.highest; ++n) {
        PolarMagPhaseAtGridPoint(model, set, n, nb, realPhase, polarMag_[static_cast<size_t>(n)],
                                 polarPhase_[static_cast<size_t>(n)]);
    }

    const TGenericDSPProcess& process = *Cabinet.ExternalDSPProcess();
    const ProcessResponse& pr = processResponse(process);
    const TTransferFunctionProcess* tf = nullptr;
    if (const TUserPreset* preset = Cabinet.InternalDSPPreset()) {
        tf = At(preset->EQTransferFunction(), s).get();
    }
    const bool beam = !Cabinet.SingleBeamList().empty() && !src.BeamFIRResponseMg().empty();
    const double beamLatency = beam ? Cabinet.SingleBeamList().front()->BeamFIRSampleLatency() : 0.0;
    // A steering filter turns its phase by many half turns between the model's grid points, so it is
    // evaluated at the point's own frequencies; other beam responses are stored with their phase
    // unwrapped and interpolated as they are.
    const ProcessResponse* beamFilter = beam ? beamFilterResponse(Cabinet, src) : nullptr;

    const double dc = std::max(d, 1.0);
    const size_t n = freq_.size();
    for (size_t i = 0; i < n; ++i) {
        const int32_t k = g.k[i];
        const int32_t k2 = k + g.step[i];
        const double w = g.w[i];
        const double mp =
            polarMag_[static_cast<size_t>(k)] * (1 - w) + polarMag_[static_cast<size_t>(k2)] * w;
        double p1 = polarPhase_[static_cast<size_t>(k)];
        const double p2 = polarPhase_[static_cast<size_t>(k2)];
        if (p2 - p1 < -kPi) {
            p1 -= kTwoPiExact;
        } else if (p2 - p1 > kPi) {
            p1 += kTwoPiExact;
        }
        const double pp = polarPhase ? WrapRadians2Pi(p1 * (1 - w) + p2 * w) : 0.0;

        double m = mp;
        double p = pp;
        if (tf != nullptr) {
            const double mt = (At(tf->ResponseMg(), k) * g.wLo[i] + At(tf->ResponseMg(), k2) * g.wHi[i]) *
                              tf->LinReferenceSpl();
            const double pt = At(tf->ResponsePhRad(), k) * g.wLo[i] + At(tf->ResponsePhRad(), k2) * g.wHi[i];
            m *= mt;
            p += pt;
        }
        m *= pr.mag[i];
        p += pr.phase[i];
        if (beam) {
            double mb = 0, pb = 0;
            if (beamFilter != nullptr) {
                mb = beamFilter->mag[i];
                pb = beamFilter->phase[i];
            } else {
                InterpolateResponseAtFreq(freq_[i], src.BeamFIRResponseMg(), src.BeamFIRResponsePh(),
                                          *Cabinet.DSPSpace(), mb, pb, false);
            }
            m *= mb;
            p += pb - beamLatency * beamLatencyW_[i];
        }
        p += Compensation[i];

        double a = m / dc;
        if (airLoss_) {
            a *= DBToLinearGain(-airLossPerM_[i] * dc);
        }
        const double phi = p - (d - 1) * radPerMeter_[i];
        if (mg != nullptr) {
            mg[i] = a;
            ph[i] = phi;
        } else {
            re[i] += a * std::cos(phi);
            im[i] += a * std::sin(phi);
        }
    }
}

void TPointResponse::SumCabinetSources(const TCabinet& Cabinet, const TPoint3D& Point, std::span<double> Re,
                                       std::span<double> Im, std::span<const double> Compensation) {
    if (!Cabinet.Active()) {
        return;
    }
    if (Re.size() < freq_.size() || Im.size() < freq_.size() || Compensation.size() < freq_.size()) {
        throw ERangeError();
    }
    const int32_t sources = Cabinet.Model()->NSourcePoints();
    for (int32_t s = 0; s < sources; ++s) {
        if (!At(Cabinet.SourcePoints(), s)->Active()) {
            continue;
        }
        sourceTerms(Cabinet, s, Point, !zeroPhaseStart_, Compensation, Re.data(), Im.data(), nullptr,
                    nullptr);
    }
}

bool TPointResponse::Compute(const TPoint3D& Point, double Delay_ms, std::vector<double>& Magnitude,
                             std::vector<double>& Phase, const std::function<bool()>& Cancelled) {
    const size_t n = freq_.size();
    std::vector<double> re(n, 0.0), im(n, 0.0), comp(n), cabRe(n), cabIm(n);
    for (size_t i = 0; i < n; ++i) {
        // The phase lead of Delay_ms at this frequency, on the single-precision wave number.
        const float waveLength = static_cast<float>(c_ / freq_[i]);
        const float waveNumber = 6.2831855f / waveLength;
        comp[i] = Delay_ms * 0.001 * c_ * waveNumber;
    }
    const auto cancelled = [&] { return Cancelled && Cancelled(); };
    const auto addSum = [&] {
        for (size_t i = 0; i < n; ++i) {
            if (complexSum_) {
                re[i] += cabRe[i];
                im[i] += cabIm[i];
            } else {
                re[i] += std::hypot(cabRe[i], cabIm[i]);
            }
        }
    };

    for (const auto& cab : project_.Cabinets()) {
        if (cancelled()) {
            return false;
        }
        std::fill(cabRe.begin(), cabRe.end(), 0.0);
        std::fill(cabIm.begin(), cabIm.end(), 0.0);
        SumCabinetSources(*cab, Point, cabRe, cabIm, comp);
        addSum();
    }
    // A group's cabinets add as pressures whatever the option; the group then adds as one source.
    const auto addGroup = [&](const auto& groups) {
        for (const auto& group : groups) {
            if (!group->Active()) {
                continue;
            }
            std::fill(cabRe.begin(), cabRe.end(), 0.0);
            std::fill(cabIm.begin(), cabIm.end(), 0.0);
            for (const TCabinet* cab : group->CabinetList()) {
                if (cancelled()) {
                    return false;
                }
                SumCabinetSources(*cab, Point, cabRe, cabIm, comp);
            }
            addSum();
        }
        return true;
    };
    if (!addGroup(project_.CabArrays()) || !addGroup(project_.Clusters()) || !addGroup(project_.Beams())) {
        return false;
    }

    const double offset = complexSum_ ? 0.0 : -3.0;
    Magnitude.resize(n);
    Phase.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double h = std::hypot(re[i], im[i]);
        Magnitude[i] = h > 0 ? 20 * std::log10(h) + offset : kSilentPointLevel;
        double deg = PhaseOf(re[i], im[i]) * kRadiansToDegrees;
        Phase[i] = deg <= -180.0 ? deg + 360.0 : deg;
    }
    return true;
}

void TPointResponse::SourceResponseAtPoint(const TCabinet& Cabinet, int32_t p, const TPoint3D& Point,
                                           std::span<double> Mg, std::span<double> Ph, double DistanceToComp,
                                           double DSPDelay) {
    const size_t n = freq_.size();
    if (Mg.size() < n || Ph.size() < n) {
        throw ERangeError();
    }
    if (!At(Cabinet.SourcePoints(), p)->Active()) {
        std::fill_n(Mg.begin(), n, 0.0);
        std::fill_n(Ph.begin(), n, 0.0);
        return;
    }
    const double D = DistanceToComp + DSPDelay * 0.001 * c_;
    std::vector<double> comp(n);
    for (size_t i = 0; i < n; ++i) {
        comp[i] = D * kTwoPiExact / (c_ / freq_[i]);
    }
    sourceTerms(Cabinet, p, Point, true, comp, nullptr, nullptr, Mg.data(), Ph.data());
}

std::optional<double> TPointResponse::CaptureDelay(const TPoint3D& Point, double impLatency,
                                                   int32_t ImpulseSize, int32_t ImpulseEnd,
                                                   int32_t ImpSampleRate) {
    if (ImpSampleRate <= 0) {
        throw ERangeError("The impulse of an arrival needs a sample rate");
    }
    const size_t n = freq_.size();
    std::vector<double> mg(n), ph(n);
    double best = 0.0, bestDistance = 0.0, bestDelay = 0.0;
    bool found = false;
    forEachCabinet(project_, [&](const TCabinet& cab) {
        if (!cab.Active()) {
            return;
        }
        const TCabModel& model = *cab.Model();
        const TUserPreset* preset = cab.InternalDSPPreset();
        const TGenericDSPProcess& process = *cab.ExternalDSPProcess();
        for (int32_t s = 0; s < model.NSourcePoints(); ++s) {
            const TSourcePoint& src = *At(cab.SourcePoints(), s);
            const TPoint3D at = src.AbsolutePosition();
            const float dx = Point.X - at.X, dy = Point.Y - at.Y, dz = Point.Z - at.Z;
            const double dm = static_cast<double>(std::sqrt(dx * dx + dy * dy + dz * dz)) - 1;
            // The processing latency (ms) and the rate of the grid it is counted on.
            double latency = 0.0;
            int32_t rate = cab.DSPSpace()->iSampleRate();
            if (preset != nullptr) {
                const TTransferFunctionProcess& tf = *At(preset->EQTransferFunction(), s);
                rate = tf.DSPSpace()->iSampleRate();
                latency = (model.ADDASampleLatency() + tf.DelaySamples()) *
                          tf.DSPSpace()->SecondsPerSample() * 1000;
            }
            if (!cab.SingleBeamList().empty()) {
                const TSingleBeam& beam = *cab.SingleBeamList().front();
                const TDSPSpace* beamGrid = beam.DSPSpace() != nullptr ? beam.DSPSpace() : cab.DSPSpace();
                latency += beam.BeamFIRSampleLatency() * beamGrid->SecondsPerSample() * 1000;
            }
            if (process.Active()) {
                latency += process.Delay()->ms();
            }
            SourceResponseAtPoint(cab, s, Point, mg, ph, dm, latency);
            const int32_t sr = isSubwoofer(model.CabinetType()) ? 4000 : ImpSampleRate;
            const double q = static_cast<double>(rate) / sr;
            const TImpulsePeak peak =
                FreqResponseToImpulse(mg, ph, grid_, impLatency, ImpulseSize, ImpulseEnd, sr);
            const double normalised = peak.ImpulsePeak / q;
            if (normalised > best) {
                best = normalised;
                bestDistance = dm;
                bestDelay = latency + peak.PeakSampleDelay * 1000.0 / sr;
                found = true;
            }
        }
    });
    if (!found) {
        return std::nullopt;
    }
    return bestDistance / c_ * 1000 + bestDelay;
}

} // namespace vendrel
