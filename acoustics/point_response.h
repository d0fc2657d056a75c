#pragma once
// The frequency response that the active sources of a project produce at one point of the venue, on
// the measurement-point grid (the project's DSPSpaceForMicGraphs): every source's pressure from its
// polar data, its preset, its user process and its beam filter, spread, absorbed by the air and
// delayed by its distance, summed as complex pressures or as energies. Also the response of one
// source with its propagation and processing delays removed, and the arrival time of the strongest
// source.
//
// A TPointResponse reads the project, its cabinets, models and processes; the caller makes sure
// nothing it reads changes meanwhile (the user-interface thread, or a measurement point's worker,
// which edits pause). It writes only its own buffers and the arrays it is given.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/core/geometry3d.h"

namespace vendrel {

class TAcousticProject;
class TCabinet;
class TDSPSpace;
class TFIR;
class TGenericDSPProcess;
class TPhysicalSpace;
class TSourcePoint;

// The level reported where the summed pressure is exactly zero (no active source), in dB.
inline constexpr double kSilentPointLevel = -200.0;

class TPointResponse {
public:
    // Takes the project's grid, medium and summation options as they are now.
    explicit TPointResponse(const TAcousticProject& Project);

    // Grid points (the length of every array below).
    int32_t NPoints() const { return static_cast<int32_t>(freq_.size()); }

    // Adds the complex pressure of every active source of an active cabinet at Point into Re and Im;
    // Compensation[i] (radians) is added to every source's phase at point i.
    void SumCabinetSources(const TCabinet& Cabinet, const TPoint3D& Point, std::span<double> Re,
                           std::span<double> Im, std::span<const double> Compensation);

    // Level (dB) and phase (degrees, (-180, 180]) of every active source at Point, each source's arrival
    // advanced by Delay_ms. Loose cabinets sum as the project's option says; the cabinets of a line
    // array, cluster or beam-steering array always sum as pressures first, an inactive group counting
    // for nothing. Returns false, leaving the outputs as they were, when Cancelled says so between
    // cabinets.
    bool Compute(const TPoint3D& Point, double Delay_ms, std::vector<double>& Magnitude,
                 std::vector<double>& Phase, const std::function<bool()>& Cancelled = {});

    // Source p of Cabinet at Point: linear magnitude and phase in radians (not wrapped), with the
    // distance DistanceToComp (m) plus the delay DSPDelay (ms) taken off its phase. An inactive source
    // gives zeros.
    void SourceResponseAtPoint(const TCabinet& Cabinet, int32_t p, const TPoint3D& Point,
                               std::span<double> Mg, std::span<double> Ph, double DistanceToComp,
                               double DSPDelay);

    // Arrival time (ms) at Point of the source whose impulse peaks highest, or nothing when no
    // active cabinet has a source.
    std::optional<double> CaptureDelay(const TPoint3D& Point, double impLatency, int32_t ImpulseSize,
                                       int32_t ImpulseEnd, int32_t ImpSampleRate);

private:
    // What a source's sum needs per grid point of its cabinet's model grid.
    struct ModelGridWeights {
        std::vector<int32_t> k;    // grid point at or below the frequency
        std::vector<int32_t> step; // 1, or 0 at the grid's last point
        std::vector<double> w;     // weight of the upper point
        std::vector<float> wLo, wHi;
        int32_t lowest = 0, highest = 0; // range of grid points read
    };
    struct ProcessResponse {
        std::vector<double> mag, phase;
    };

    const ModelGridWeights& gridWeights(const TDSPSpace& grid);
    const ProcessResponse& processResponse(const TGenericDSPProcess& process);
    // The steering filter of a source designed as taps, evaluated at the grid's own frequencies (its
    // phase as the source stores it, with the filter's latency taken off); null for a source whose
    // beam has no taps for it.
    const ProcessResponse* beamFilterResponse(const TCabinet& Cabinet, const TSourcePoint& Source);
    // Adds source s of Cabinet into (re, im), or writes its amplitude and phase when mg is given.
    void sourceTerms(const TCabinet& Cabinet, int32_t s, const TPoint3D& Point, bool polarPhase,
                     std::span<const double> Compensation, double* re, double* im, double* mg, double* ph);

    const TAcousticProject& project_;
    const TPhysicalSpace& medium_;
    const TDSPSpace& grid_;
    double c_ = 0.0;
    bool airLoss_ = true;
    bool complexSum_ = true;
    bool zeroPhaseStart_ = false;
    bool axisPhaseOnly_ = false;
    std::vector<int32_t> freq_;        // whole hertz per grid point
    std::vector<double> radPerMeter_;  // wave number per grid point
    std::vector<double> airLossPerM_;  // dB per metre per grid point
    std::vector<double> beamLatencyW_; // 2 pi f / (the grid's sample rate) per grid point
    std::unordered_map<const TDSPSpace*, ModelGridWeights> weights_;
    std::unordered_map<const TGenericDSPProcess*, ProcessResponse> processes_;
    std::unordered_map<const TFIR*, ProcessResponse> beamFilters_;
    std::vector<double> polarMag_, polarPhase_; // one source's polar values per model grid point
};

} // namespace vendrel
