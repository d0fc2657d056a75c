#pragma once
// A group of cabinets placed by angular or linear distribution (the least the project needs until the full
// class).

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "acoustics/cabinet.h"

namespace vendrel {

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

} // namespace vendrel
