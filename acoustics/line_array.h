#pragma once
// A line array or stack: its cabinets in order (the least the project needs until the full class).

#include <atomic>
#include <memory>
#include <vector>

#include "acoustics/cabinet.h"
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

} // namespace vendrel
