#include "acoustics/mapping_bands.h"

#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

const std::vector<int32_t>& MapFrequencySeries() {
    static const std::vector<int32_t> series{
        20,   22,   25,   28,   31,   35,   40,    45,    50,    56,    63,    71,    80,   90,   100,  112,
        125,  140,  160,  180,  200,  224,  250,   280,   315,   355,   400,   450,   500,  560,  630,  710,
        800,  900,  1000, 1125, 1250, 1400, 1600,  1800,  2000,  2240,  2500,  2800,  3150, 3550, 4000, 4500,
        5000, 5600, 6300, 7100, 8000, 9000, 10000, 11250, 12500, 14000, 16000, 18000, 20000};
    return series;
}

const std::vector<int32_t>& FullBandFrequencies() {
    static const std::vector<int32_t> freqs{40,   63,   100,  160,  250,  400,   630,
                                            1000, 1600, 2500, 4000, 6300, 10000, 16000};
    return freqs;
}

namespace {

double bandRatio(TMappingBands band) {
    switch (band) {
    case TMappingBands::mbTwoOctave:
        return 4.0;
    case TMappingBands::mbOneOctave:
        return 2.0;
    case TMappingBands::mbTwoThirdOctave:
        return std::pow(2.0, 2.0 / 3.0);
    case TMappingBands::mbOneThirdOctave:
        return std::pow(2.0, 1.0 / 3.0);
    case TMappingBands::mbOneSixOctave:
        return std::pow(2.0, 1.0 / 6.0);
    case TMappingBands::mbFullBand:
        break;
    }
    return 1.0;
}

// The run of the series from `from` to `to` inclusive, optionally leaving one value out.
std::vector<int32_t> seriesRun(int32_t from, int32_t to, int32_t without = -1) {
    std::vector<int32_t> out;
    for (const int32_t f : MapFrequencySeries()) {
        if (f >= from && f <= to && f != without) {
            out.push_back(f);
        }
    }
    return out;
}

} // namespace

void GetBandEdges(TMappingBands band, int32_t fc, int32_t& fl, int32_t& fh) {
    if (band == TMappingBands::mbFullBand) {
        fl = 20;
        fh = 20000;
        return;
    }
    const double r = bandRatio(band);
    fl = RoundHalfEven<int32_t>(fc / std::sqrt(r));
    fh = RoundHalfEven<int32_t>(fl * r);
}

std::vector<int32_t> AverageFrequencies(TMappingBands band, int32_t fc, const std::vector<int32_t>& series) {
    if (band == TMappingBands::mbFullBand) {
        return FullBandFrequencies();
    }
    if (band == TMappingBands::mbOneSixOctave) {
        return {fc};
    }
    int32_t fl = 0;
    int32_t fh = 0;
    GetBandEdges(band, fc, fl, fh);
    std::vector<int32_t> out;
    for (const int32_t f : series) {
        if (f >= fl && f <= fh) {
            out.push_back(f);
        }
    }
    return out;
}

std::vector<int32_t> SelectableCentreFrequencies(TMappingBands band, const std::vector<int32_t>& current) {
    switch (band) {
    case TMappingBands::mbFullBand:
        return {current.empty() ? 0 : current.front()};
    case TMappingBands::mbTwoOctave:
        return seriesRun(40, 10000);
    case TMappingBands::mbOneOctave:
        return seriesRun(31, 14000);
    case TMappingBands::mbTwoThirdOctave:
        return seriesRun(31, 16000);
    case TMappingBands::mbOneThirdOctave:
        return seriesRun(25, 18000, 28);
    case TMappingBands::mbOneSixOctave:
        break;
    }
    return MapFrequencySeries();
}

} // namespace vendrel
