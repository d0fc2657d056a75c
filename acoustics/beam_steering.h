#pragma once
// Steered column arrays and their beams (the least the project needs until the full classes).

#include <atomic>
#include <memory>
#include <vector>

#include "acoustics/cluster.h"

namespace vendrel {

class TBeamContainer;

// One steered beam of a beam-steering array.
class TSingleBeam {
public:
    void CalcHitPoint() {}
    bool Active() const { return FActive.load(); }
    void SetActive(bool Value) { FActive = Value; }

    std::vector<TCabinet*> CabinetList; // not owned
    TBeamContainer* MyBeamContainer = nullptr;
    double BeamFIRSampleLatency = 0.0;

private:
    std::atomic<bool> FActive{true};
};

// A steered column array: a cluster that also holds its beams.
class TBeamContainer : public TCluster {
public:
    using TCluster::TCluster;
    // The cabinets go while the beams they name still exist.
    ~TBeamContainer() override { FreeClass(); }

    std::vector<std::unique_ptr<TSingleBeam>> SingleBeams;
};

} // namespace vendrel
