#include "acoustics/mapping_bands.h"

#include <gtest/gtest.h>

using namespace vendrel;

namespace {
using Freqs = std::vector<int32_t>;
}

// Edges checked by hand: Fl = Round(Fc / sqrt(r)), Fh = Round(Fl * r) from the rounded Fl.
TEST(MappingBands, EdgesAndAveragedFrequencies) {
    struct Case {
        TMappingBands band;
        int32_t fc;
        int32_t fl, fh;
        Freqs freqs;
    };
    const Case cases[] = {
        {TMappingBands::mbOneOctave, 1000, 707, 1414, {710, 800, 900, 1000, 1125, 1250, 1400}},
        {TMappingBands::mbOneThirdOctave, 1000, 891, 1123, {900, 1000}},
        {TMappingBands::mbTwoThirdOctave, 1000, 794, 1260, {800, 900, 1000, 1125, 1250}},
        {TMappingBands::mbTwoOctave,
         1000,
         500,
         2000,
         {500, 560, 630, 710, 800, 900, 1000, 1125, 1250, 1400, 1600, 1800, 2000}},
        {TMappingBands::mbOneOctave, 31, 22, 44, {22, 25, 28, 31, 35, 40}},
        {TMappingBands::mbTwoOctave, 20000, 10000, 40000, {10000, 11250, 12500, 14000, 16000, 18000, 20000}},
        {TMappingBands::mbFullBand, 1000, 20, 20000, FullBandFrequencies()},
        {TMappingBands::mbFullBand, 63, 20, 20000, FullBandFrequencies()},
    };
    for (const auto& c : cases) {
        int32_t fl = 0, fh = 0;
        GetBandEdges(c.band, c.fc, fl, fh);
        EXPECT_EQ(fl, c.fl) << static_cast<int>(c.band) << " at " << c.fc;
        EXPECT_EQ(fh, c.fh) << static_cast<int>(c.band) << " at " << c.fc;
        EXPECT_EQ(AverageFrequencies(c.band, c.fc, MapFrequencySeries()), c.freqs);
    }
    // A sixth octave averages the centre itself, even off the series.
    EXPECT_EQ(AverageFrequencies(TMappingBands::mbOneSixOctave, 1003, MapFrequencySeries()), Freqs{1003});
    EXPECT_EQ(FullBandFrequencies().size(), 14u);
}

TEST(MappingBands, SelectableCentreFrequencies) {
    const Freqs current{63, 80};
    struct Case {
        TMappingBands band;
        size_t count;
        int32_t first, last;
    };
    const Case cases[] = {
        {TMappingBands::mbTwoOctave, 49, 40, 10000},      {TMappingBands::mbOneOctave, 54, 31, 14000},
        {TMappingBands::mbTwoThirdOctave, 55, 31, 16000}, {TMappingBands::mbOneThirdOctave, 57, 25, 18000},
        {TMappingBands::mbOneSixOctave, 61, 20, 20000},   {TMappingBands::mbFullBand, 1, 63, 63},
    };
    for (const auto& c : cases) {
        const Freqs list = SelectableCentreFrequencies(c.band, current);
        ASSERT_EQ(list.size(), c.count) << static_cast<int>(c.band);
        EXPECT_EQ(list.front(), c.first);
        EXPECT_EQ(list.back(), c.last);
    }
    const Freqs third = SelectableCentreFrequencies(TMappingBands::mbOneThirdOctave, current);
    EXPECT_EQ(third[1], 31) << "28 Hz is not offered for third octaves";
    EXPECT_EQ(SelectableCentreFrequencies(TMappingBands::mbFullBand, {}), Freqs{0});
}
