#pragma once
// The pages of the window's main tab control, in the order the tab control holds them. Code names a
// page by this value, never by a tab number.

#include <cstdint>

namespace vendrel {

enum class TMainPage : int32_t {
    LineArrayTabItem = 0,
    VenueAndZonesTabItem = 1,
    CabinetsTabItem = 2,
    BeamSteeringTabItem = 3,
    SoundSystemTabItem = 4,
    DSPTabItem = 5,
    FreqRespTabItem = 6,
    DistributionTabItem = 7,
    DeveloperTabItem = 8,
};

inline constexpr int32_t kMainPageCount = 9;

} // namespace vendrel
