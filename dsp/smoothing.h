#pragma once
// Fractional-octave smoothing of curves and nearest-value searches.

#include "dsp/dsp_space.h"

#include <cstdint>
#include <span>

namespace vendrel {

// Band edges around x for a smoothing width: Lo = x / sqrt(b), Hi = Lo * b with b = 2^octaves.
void BandFactor(double x, TFreqBands Bands, double& Lo, double& Hi);

// Smooths Values given at the ascending frequencies Freqs (at least as long as Values) into Out. Out
// may be Values. Curves shorter than twice the width's point count are left untouched.
void SmoothFractionalOctave(TFreqBands Bands, std::span<const double> Freqs, std::span<const double> Values,
                            std::span<double> Out);
// Smooths Values given at the points of a grid into Out. Out may be Values.
void SmoothFractionalOctave(TFreqBands Bands, const TDSPSpace& DSPSpace, std::span<const double> Values,
                            std::span<double> Out);

// Index of the value nearest to x by a linear search (the first of equally near values); -1 when
// the array is empty.
int32_t NearestValueIndex(std::span<const double> Values, double x);
// Index near x in an ascending array by halving steps and a check of the two neighbours; it can end
// up to two indices away from the truly nearest value.
int32_t NearestSortedIndex(std::span<const double> Values, double x);
int32_t NearestSortedIndex(std::span<const int32_t> Values, double x);

} // namespace vendrel
