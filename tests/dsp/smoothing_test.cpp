#include "dsp/smoothing.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vendrel {
namespace {

TEST(NearestSearch, SortedSearchAsDefined) {
    const double four[] = {0, 1, 2, 3};
    struct Case {
        double x;
        int32_t index;
    };
    // x = 3 ends at 2: the search starts at index 1, its first step rounds to 0 and the neighbour
    // check reaches only index 2.
    for (const Case c : {Case{3, 2}, Case{2.4, 2}, Case{0, 0}, Case{1, 1}, Case{-5, 0}, Case{0.6, 1}}) {
        EXPECT_EQ(NearestSortedIndex(four, c.x), c.index) << c.x;
    }
    const double one[] = {42};
    EXPECT_EQ(NearestSortedIndex(one, -1e9), 0);
    // The halving steps 2, 1, 0 from index 5 stop at 8 (or 2), and the neighbour check moves one index
    // only: the ends 100 and 0 are found one index short.
    const double wide[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    for (const Case c : {Case{100, 9}, Case{0, 1}, Case{44, 4}, Case{46, 5}, Case{71, 7}, Case{12, 1}}) {
        EXPECT_EQ(NearestSortedIndex(wide, c.x), c.index) << c.x;
    }
    const int32_t ints[] = {20, 25, 31, 40};
    EXPECT_EQ(NearestSortedIndex(ints, 28.0), 1); // 3 Hz from 25 and from 31: the nearer test is strict
    EXPECT_EQ(NearestSortedIndex(ints, 22.0), 0);
    // Too far away from every value: no index.
    EXPECT_EQ(NearestSortedIndex(one, 3e9), -1);
    // A NaN is never the nearest value: a search that stops on one takes a neighbour, and a search
    // among NaNs only (or for a NaN) finds no index.
    const double nan = std::nan("");
    const double holed[] = {0, nan, 2, 3};
    EXPECT_EQ(NearestSortedIndex(holed, 1.2), 2);
    EXPECT_EQ(NearestSortedIndex(holed, 0.9), 0);
    const double none[] = {nan, nan};
    EXPECT_EQ(NearestSortedIndex(none, 1.0), -1);
    EXPECT_EQ(NearestSortedIndex(four, nan), -1);
    EXPECT_THROW(NearestSortedIndex(std::span<const double>{}, 1.0), ERangeError);
}

TEST(NearestSearch, LinearSearch) {
    const double v[] = {5, 1, 1, 5};
    EXPECT_EQ(NearestValueIndex(v, 0.9), 1);
    EXPECT_EQ(NearestValueIndex(v, 1.0), 1);
    EXPECT_EQ(NearestValueIndex(v, 5.0), 0);
    EXPECT_EQ(NearestValueIndex(v, 3.0), 0);
    EXPECT_EQ(NearestValueIndex({}, 3.0), -1);
    const double nan[] = {std::nan(""), 7};
    EXPECT_EQ(NearestValueIndex(nan, 0.0), 1);
}

TEST(Smoothing, BandFactors) {
    double lo, hi;
    BandFactor(1000, TFreqBands::fbOneOctave, lo, hi);
    EXPECT_NEAR(lo, 707.1067811865475, 1e-9);
    EXPECT_NEAR(hi, 1414.213562373095, 1e-9);
    BandFactor(1000, TFreqBands::fbAlluserPoints, lo, hi);
    EXPECT_EQ(lo, 1000.0);
    EXPECT_EQ(hi, 1000.0);
    BandFactor(1000, TFreqBands::fbTwoOctave, lo, hi);
    EXPECT_NEAR(lo, 500.0, 1e-12);
    EXPECT_NEAR(hi, 2000.0, 1e-12);
}

TEST(Smoothing, GridOverloadAgainstHandMeans) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = static_cast<double>(i * i);
    }
    std::vector<double> out(n);
    SmoothFractionalOctave(TFreqBands::fbOneThirdOctave, s, v, out);
    // 20 Hz and 31 Hz: both band edges find the same point. 25 Hz: 22..28 Hz finds 20 and 31 Hz
    // (28 is as near 25 as 31 and the search settles on 31).
    EXPECT_EQ(out[0], v[0]);
    EXPECT_EQ(out[2], v[2]);
    EXPECT_EQ(out[1], (v[0] + v[1] + v[2]) / 3);
    SmoothFractionalOctave(TFreqBands::fbOneOctave, s, v, out);
    EXPECT_EQ(out[n - 1], (v[n - 3] + v[n - 2] + v[n - 1]) / 3);
    // Smoothing in place, and a constant stays constant.
    std::vector<double> flat(n, 4.5);
    SmoothFractionalOctave(TFreqBands::fbOneSixOctave, s, flat, flat);
    EXPECT_EQ(flat, std::vector<double>(n, 4.5));
    SmoothFractionalOctave(TFreqBands::fbAlluserPoints, s, v, out);
    EXPECT_EQ(out, v);
    std::vector<double> shortOut(n - 1);
    EXPECT_THROW(SmoothFractionalOctave(TFreqBands::fbOneOctave, s, v, shortOut), ERangeError);
}

TEST(Smoothing, ArrayOverloadNeedsTwiceTheWidthPoints) {
    // 59 values at 1/36 octave (360 points per half) are left alone.
    std::vector<double> f(59), v(59), out(59, -1);
    for (size_t i = 0; i < f.size(); ++i) {
        f[i] = 20.0 * std::pow(2.0, static_cast<double>(i) / 6);
        v[i] = static_cast<double>(i);
    }
    SmoothFractionalOctave(TFreqBands::fbOneThirtySixOctave, f, v, out);
    EXPECT_EQ(out, std::vector<double>(59, -1));
    // At one octave (10 per half) they are smoothed: a point 1/6 octave apart from its neighbours
    // averages the 7 points within half an octave on each side (3 each way), fewer at the ends.
    SmoothFractionalOctave(TFreqBands::fbOneOctave, f, v, out);
    EXPECT_DOUBLE_EQ(out[30], 30.0);
    EXPECT_DOUBLE_EQ(out[0], (0 + 1 + 2 + 3) / 4.0);
    EXPECT_DOUBLE_EQ(out[58], (55 + 56 + 57 + 58) / 4.0);
    std::vector<double> flat(59, 2.0);
    SmoothFractionalOctave(TFreqBands::fbOneOctave, f, flat, flat);
    EXPECT_EQ(flat, std::vector<double>(59, 2.0));
    const std::vector<double> shortF(58);
    EXPECT_THROW(SmoothFractionalOctave(TFreqBands::fbOneOctave, shortF, v, out), ERangeError);
}

} // namespace
} // namespace vendrel
