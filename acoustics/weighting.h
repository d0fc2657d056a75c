#pragma once
// Weighting curves of measurement-point responses: A and C weighting tabulated at the 31 nominal
// third-octave bands and interpolated onto a response grid.

#include <array>
#include <vector>

#include "dsp/dsp_space.h"

namespace vendrel {

inline constexpr size_t kWeightingBands = 31;

// dB at the nominal third-octave bands 20 Hz .. 20 kHz, in order of frequency.
const std::array<float, kWeightingBands>& AWeightingTable();
const std::array<float, kWeightingBands>& CWeightingTable();

// The weighting in dB at every point of grid: 0 everywhere when unweighted, otherwise the table
// interpolated between the two third-octave bands around each point's whole-hertz frequency.
std::vector<double> WeighteningCurve(TWeightening Weightening, const TDSPSpace& grid);

} // namespace vendrel
