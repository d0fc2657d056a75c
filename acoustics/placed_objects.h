#pragma once
// The least of the project's other placed objects that the project needs to own, count, reset and
// release them: line arrays, clusters, beam-steering arrays and their beams, measurement points,
// overlays, sound systems, ornaments and materials. Each is replaced by its full class when
// that class is written; the members here are named as the full classes name them.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/cabinet.h"
#include "acoustics/piston.h"
#include "acoustics/zone_data.h"

namespace vendrel {

// A line array or stack: its cabinets in order.
class TCabArray {
public:
    virtual ~TCabArray() = default;
    void Reset() {}
    void FreeClass() { CabinetList.clear(); }
    bool Active() const { return FActive.load(); }

    std::vector<std::unique_ptr<TCabinet>> CabinetList;
    std::atomic<bool> FActive{true};
    std::atomic<TCalcState> FMapState{TCalcState::qzaNeedsCalculate};
};

// A group of cabinets placed by angular or linear distribution.
class TCluster {
public:
    virtual ~TCluster() = default;
    void Reset() {}
    void FreeClass() { CabinetList.clear(); }
    int32_t NCabinets() const { return static_cast<int32_t>(CabinetList.size()); }
    bool Active() const { return FActive.load(); }

    std::vector<std::unique_ptr<TCabinet>> CabinetList;
    std::atomic<bool> FActive{true};
};

class TBeamContainer;

// One steered beam of a beam-steering array.
class TSingleBeam {
public:
    void CalcHitPoint() {}

    std::vector<TCabinet*> CabinetList; // not owned
    TBeamContainer* MyBeamContainer = nullptr;
    std::atomic<bool> FActive{true};
    double BeamFIRSampleLatency = 0.0;
};

// A steered column array: a cluster that also holds its beams.
class TBeamContainer : public TCluster {
public:
    std::vector<std::unique_ptr<TSingleBeam>> SingleBeams;
};

// A measurement point with its computed response.
class TMicPoint {
public:
    TCalcState MicState() const { return FMicState.load(); }
    void SetMicState(TCalcState Value) { FMicState = Value; }

    std::atomic<TCalcState> FMicState{TCalcState::qzaNeedsCalculate};
};

// A stored response curve shown beside the computed ones.
class TOverlay {};

class TSystem {
public:
    void FreeClass() {}
};

class TOrnament {
public:
    void FreeClass() {}
};

class TAcousticMaterial {
public:
    void FreeClass() {}
};

} // namespace vendrel
