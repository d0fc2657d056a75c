#pragma once
// A measurement point with its computed response (the least the project needs until the full class).

#include <atomic>

#include "acoustics/zone_data.h"

namespace vendrel {

// A measurement point with its computed response.
class TMicPoint {
public:
    TCalcState MicState() const { return FMicState.load(); }
    void SetMicState(TCalcState Value) { FMicState = Value; }

    std::atomic<TCalcState> FMicState{TCalcState::qzaNeedsCalculate};
};

} // namespace vendrel
