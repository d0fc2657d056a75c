#pragma once
// The grids a measurement-point response can lie on: 48 kHz, 20 Hz to 20 kHz, spaced 1/48, 1/24 or
// 1/12 octave (the project's measurement-point grid is one of them). Their point counts differ, so a
// stored curve's point count names the grid it was stored on. Each grid is built once and never
// changes, so any thread may read it.

#include <array>
#include <cstdint>
#include <optional>

#include "dsp/dsp_space.h"

namespace vendrel {

// The spacings of the response grids, finest first.
inline constexpr std::array<TFreqBands, 3> kResponseGridSpacings{
    TFreqBands::fbOneFortyEigthOctave, TFreqBands::fbOneTwentyFourOctave, TFreqBands::fbOneTwelveOctave};

// The response grid of that spacing; another spacing raises ERangeError.
const TDSPSpace& ResponseGrid(TFreqBands Spacing);
// The spacing of the response grid with Count points, if one has that many.
std::optional<TFreqBands> ResponseGridWithPoints(int32_t Count);

} // namespace vendrel
