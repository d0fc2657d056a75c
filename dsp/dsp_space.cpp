#include "dsp/dsp_space.h"

#include "dsp/complex.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vendrel {

namespace {

// Nominal band centres of the fixed fractional-octave grids, in hertz.
constexpr std::array<int32_t, 5> kTwoOctave = {63, 250, 1000, 4000, 16000};
constexpr std::array<int32_t, 10> kOneOctave = {31, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
constexpr std::array<int32_t, 15> kTwoThirdOctave = {25,   40,   63,   100,  160,  250,   400,  630,
                                                     1000, 1600, 2500, 4000, 6300, 10000, 16000};
constexpr std::array<int32_t, 20> kHalfOctave = {22,  31,   45,   63,   90,   125,  180,  250,  355,   500,
                                                 710, 1000, 1400, 2000, 2800, 4000, 5600, 8000, 11200, 16000};
constexpr std::array<int32_t, 31> kOneThirdOctave = {
    20,  25,   31,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};
constexpr std::array<int32_t, 61> kOneSixthOctave = {
    20,   22,   25,   28,   31,   35,   40,    45,    50,    56,    63,    71,    80,   90,   100,  112,
    125,  140,  160,  180,  200,  224,  250,   280,   315,   355,   400,   450,   500,  560,  630,  710,
    800,  900,  1000, 1125, 1250, 1400, 1600,  1800,  2000,  2240,  2500,  2800,  3150, 3550, 4000, 4500,
    5000, 5600, 6300, 7100, 8000, 9000, 10000, 11250, 12500, 14000, 16000, 18000, 20000};
constexpr std::array<int32_t, 121> kOneTwelfthOctave = {
    20,    21,    22,    23,    25,    26,    28,    30,    31,   33,   35,    37,    40,    42,
    45,    47,    50,    53,    56,    60,    63,    67,    71,   75,   80,    85,    90,    95,
    100,   106,   112,   118,   125,   132,   140,   150,   160,  170,  180,   190,   200,   212,
    224,   236,   250,   265,   280,   300,   315,   335,   355,  375,  400,   425,   450,   475,
    500,   530,   560,   600,   630,   670,   710,   750,   800,  850,  900,   950,   1000,  1060,
    1125,  1180,  1250,  1315,  1400,  1500,  1600,  1700,  1800, 1900, 2000,  2120,  2240,  2360,
    2500,  2650,  2800,  3000,  3150,  3350,  3550,  3750,  4000, 4250, 4500,  4750,  5000,  5300,
    5600,  6000,  6300,  6700,  7100,  7500,  8000,  8500,  9000, 9500, 10000, 10600, 11250, 11800,
    12500, 13150, 14000, 15000, 16000, 17000, 18000, 19000, 20000};
constexpr std::array<int32_t, 238> kOneTwentyFourthOctave = {
    20,    21,    22,    23,    24,    25,    26,    27,    28,    29,    30,    31,    32,    33,    34,
    35,    36,    37,    38,    39,    40,    41,    42,    44,    45,    46,    47,    48,    49,    50,
    51,    53,    54,    56,    58,    60,    61,    63,    65,    67,    69,    71,    73,    75,    77,
    80,    82,    85,    87,    90,    92,    95,    97,    100,   103,   106,   109,   112,   115,   118,
    122,   125,   128,   132,   136,   140,   145,   150,   155,   160,   165,   170,   175,   180,   185,
    190,   195,   200,   206,   212,   218,   224,   230,   236,   243,   250,   258,   265,   272,   280,
    290,   300,   307,   315,   325,   335,   345,   355,   365,   375,   387,   400,   412,   425,   437,
    450,   462,   475,   487,   500,   515,   530,   545,   560,   580,   600,   615,   630,   650,   670,
    690,   710,   730,   750,   775,   800,   825,   850,   875,   900,   925,   950,   975,   1000,  1030,
    1060,  1090,  1125,  1150,  1180,  1220,  1250,  1280,  1315,  1360,  1400,  1450,  1500,  1550,  1600,
    1650,  1700,  1750,  1800,  1850,  1900,  1950,  2000,  2060,  2120,  2180,  2240,  2300,  2360,  2430,
    2500,  2580,  2650,  2720,  2800,  2900,  3000,  3070,  3150,  3250,  3350,  3450,  3550,  3650,  3750,
    3870,  4000,  4120,  4250,  4370,  4500,  4620,  4750,  4870,  5000,  5150,  5300,  5450,  5600,  5800,
    6000,  6150,  6300,  6500,  6700,  6900,  7100,  7300,  7500,  7750,  8000,  8250,  8500,  8750,  9000,
    9250,  9500,  9750,  10000, 10300, 10600, 10900, 11250, 11500, 11800, 12200, 12500, 12800, 13150, 13600,
    14000, 14500, 15000, 15500, 16000, 16500, 17000, 17500, 18000, 18500, 19000, 19500, 20000};

std::span<const int32_t> fixedTable(TFreqBands bands) {
    switch (bands) {
    case TFreqBands::fbTwoOctave:
        return kTwoOctave;
    case TFreqBands::fbOneOctave:
        return kOneOctave;
    case TFreqBands::fbTwoThirdOctave:
        return kTwoThirdOctave;
    case TFreqBands::fbMediumOctave:
        return kHalfOctave;
    case TFreqBands::fbOneThirdOctave:
        return kOneThirdOctave;
    case TFreqBands::fbOneSixOctave:
        return kOneSixthOctave;
    case TFreqBands::fbOneTwelveOctave:
        return kOneTwelfthOctave;
    case TFreqBands::fbOneTwentyFourOctave:
        return kOneTwentyFourthOctave;
    default:
        return {};
    }
}

// 10 raised to a number of decimals, raising on overflow.
int32_t decimalMultiplier(int32_t decimals) {
    int32_t m = 1;
    for (int32_t i = 0; i < decimals; ++i) {
        m = CheckedMul<int32_t>(m, 10);
    }
    return m;
}

} // namespace

double BandOctaves(TFreqBands bands) {
    switch (bands) {
    case TFreqBands::fbAlluserPoints:
        return 0.0;
    case TFreqBands::fbOneOctave:
        return 1.0;
    case TFreqBands::fbTwoThirdOctave:
        return 2.0 / 3.0;
    case TFreqBands::fbMediumOctave:
        return 1.0 / 2.0;
    case TFreqBands::fbOneThirdOctave:
        return 1.0 / 3.0;
    case TFreqBands::fbOneSixOctave:
        return 1.0 / 6.0;
    case TFreqBands::fbOneTwelveOctave:
        return 1.0 / 12.0;
    case TFreqBands::fbOneTwentyFourOctave:
        return 1.0 / 24.0;
    case TFreqBands::fbTwoOctave:
        return 2.0;
    case TFreqBands::fbOneThirtySixOctave:
        return 1.0 / 36.0;
    case TFreqBands::fbOneFortyEigthOctave:
        return 1.0 / 48.0;
    }
    throw ERangeError();
}

int32_t SampleRateHz(TSampleRate sr) {
    switch (sr) {
    case TSampleRate::sr44k1:
        return 44100;
    case TSampleRate::sr48k:
        return 48000;
    case TSampleRate::sr96k:
        return 96000;
    case TSampleRate::sr192k:
        return 192000;
    }
    throw ERangeError();
}

TDSPSpace::TDSPSpace() {
    FUseParallelFor = true;
    FMaxDSPInputdB = 20.0;
    FMaxDSPOutputdB = 20.0;
    SetFilterGainPrecision(1);
    SetFilterQPrecision(1);
    FFrequencyMinValue = 20;
    FFrequencyMaxValue = 20000;
    FUserFPoints = 400;
    FBandsPerOctave = TFreqBands::fbAlluserPoints;
    // The sample rate is still 0 Hz, so this builds the grid.
    SetSampleRate(TSampleRate::sr48k);
}

void TDSPSpace::SetSampleRate(TSampleRate value) {
    if (value == FSR) {
        return;
    }
    const int32_t hz = SampleRateHz(value);
    if (hz == FiSR) {
        return;
    }
    FiSR = hz;
    FSR = value;
    FSecondsPerSample = 1.0 / static_cast<double>(hz);
    CalculateLogSpace();
}

void TDSPSpace::SetBandPerOctave(TFreqBands value) {
    if (value == FBandsPerOctave) {
        return;
    }
    FBandsPerOctave = value;
    if (value == TFreqBands::fbAlluserPoints) {
        FBandPerOctaveDouble = 10.0 / static_cast<double>(FNFrequencyPoints - 10);
    } else {
        FBandPerOctaveDouble = BandOctaves(value);
    }
    CalculateLogSpace();
}

void TDSPSpace::SetFilterGainPrecision(int32_t value) {
    const int32_t decimals = std::max(value, 0);
    FFilterGainPrecisionMultiplier = decimalMultiplier(decimals);
    FFilterGainPrecision = decimals;
}

void TDSPSpace::SetFilterQPrecision(int32_t value) {
    const int32_t decimals = std::max(value, 0);
    FFilterQPrecisionMultiplier = decimalMultiplier(decimals);
    FFilterQPrecision = decimals;
}

void TDSPSpace::CalculateLogSpace() {
    switch (FBandsPerOctave) {
    case TFreqBands::fbAlluserPoints:
        Logspace(FFrequencyMinValue, FFrequencyMaxValue, FUserFPoints);
        return;
    case TFreqBands::fbOneThirtySixOctave:
    case TFreqBands::fbOneFortyEigthOctave: {
        const int32_t size = CheckedAdd<int32_t>(RoundHalfEven<int32_t>(10.0 / FBandPerOctaveDouble), 200);
        std::vector<double> centres(static_cast<size_t>(std::max(size, 0)));
        const int32_t count = CalcFreqBands(centres);
        std::vector<int32_t> kept;
        kept.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const int32_t f = RoundHalfEven<int32_t>(centres[static_cast<size_t>(i)]);
            if (kept.empty() || f > kept.back()) {
                kept.push_back(f);
            }
        }
        CustomLogspace(kept);
        return;
    }
    default:
        CustomLogspace(fixedTable(FBandsPerOctave));
        return;
    }
}

void TDSPSpace::setPointFrequency(size_t j, int32_t f) {
    FreqDraw[j] = f;
    const double w = static_cast<double>(f) * kTwoPi / static_cast<double>(FiSR);
    Hwdibu[j] = w;
    ComplexFromPolar(Complex{0.0, -w}, Hwz[j]);
}

void TDSPSpace::Logspace(int32_t Fi, int32_t Fo, int32_t NPoints) {
    if (NPoints < 0 || Fo < 0) {
        throw ERangeError();
    }
    FUserFPoints = NPoints;
    FFrequencyMinValue = Fi;
    FFrequencyMaxValue = Fo;
    const size_t n = static_cast<size_t>(NPoints);
    FreqDraw.assign(n, 0);
    Hwdibu.assign(n, 0.0);
    Hwz.assign(n, Complex{});
    // The logarithms of the range are held in single precision.
    const float a = static_cast<float>(std::log10(static_cast<double>(Fi)));
    const float b = static_cast<float>(std::log10(static_cast<double>(Fo)));
    const double step = (static_cast<double>(b) - static_cast<double>(a)) / static_cast<double>(NPoints);
    size_t kept = 0;
    for (int32_t j = 0; j < NPoints; ++j) {
        const int32_t f = RoundHalfEven<int32_t>(Pow10(static_cast<double>(a) + step * j));
        if (kept == 0 || f > FreqDraw[kept - 1]) {
            setPointFrequency(kept, f);
            ++kept;
        }
    }
    if (kept < n && kept > 0 && FreqDraw[kept - 1] < Fo) {
        setPointFrequency(kept, Fo);
        ++kept;
    }
    FreqDraw.resize(kept);
    Hwdibu.resize(kept);
    Hwz.resize(kept);
    FNFrequencyPoints = static_cast<int32_t>(kept);
    buildPerHertzTables(false);
    FBandPerOctaveDouble = 10.0 / static_cast<double>(FNFrequencyPoints - 10);
}

void TDSPSpace::LogspacePerBand(int32_t Fi, int32_t Fo, TFreqBands Bands) {
    FFrequencyMinValue = Fi;
    FFrequencyMaxValue = Fo;
    if (Bands == FBandsPerOctave) {
        // The spacing setter would do nothing, leaving the new range and the grid apart.
        CalculateLogSpace();
        return;
    }
    SetBandPerOctave(Bands);
}

void TDSPSpace::CustomLogspace(std::span<const int32_t> FreqArray) {
    if (FreqArray.empty()) {
        throw ERangeError();
    }
    const int32_t n = CheckedCast<int32_t>(FreqArray.size());
    FUserFPoints = n;
    FNFrequencyPoints = n;
    FFrequencyMinValue = FreqArray.front();
    FFrequencyMaxValue = FreqArray.back();
    FreqDraw.assign(FreqArray.size(), 0);
    Hwdibu.assign(FreqArray.size(), 0.0);
    Hwz.assign(FreqArray.size(), Complex{});
    for (size_t j = 0; j < FreqArray.size(); ++j) {
        setPointFrequency(j, FreqArray[j]);
    }
    buildPerHertzTables(true);
}

void TDSPSpace::buildPerHertzTables(bool customWeights) {
    if (FFrequencyMaxValue < 0) {
        throw ERangeError();
    }
    const size_t size = static_cast<size_t>(FFrequencyMaxValue);
    FFreqToPoint.assign(size, 0);
    FFreqToNearPercent.assign(size, 0.0);
    if (size == 0) {
        return;
    }
    // An empty grid has no point to map to.
    const int32_t last = CheckedSub<int32_t>(static_cast<int32_t>(FreqDraw.size()), 1);
    if (last < 0) {
        throw ERangeError();
    }
    int32_t j = 0;
    for (size_t h = 0; h < size; ++h) {
        while (j < last && FreqDraw[static_cast<size_t>(j)] < static_cast<int32_t>(h)) {
            ++j;
        }
        FFreqToPoint[h] = j;
    }
    // Weights run from 0 upwards within each run of hertz values that share a grid point. Custom
    // grids write them one hertz lower, except in the last run.
    size_t s = 0;
    while (s < size) {
        size_t e = s;
        while (e < size && FFreqToPoint[e] == FFreqToPoint[s]) {
            ++e;
        }
        const size_t c = e - s;
        const bool lastRun = e == size;
        for (size_t k = 0; k < c; ++k) {
            const double w = static_cast<double>(k) / static_cast<double>(c);
            if (!customWeights || lastRun) {
                FFreqToNearPercent[s + k] = w;
            } else if (s + k >= 1) {
                FFreqToNearPercent[s + k - 1] = w;
            }
        }
        s = e;
    }
}

void TDSPSpace::SetNFrequencyPoints(int32_t value) {
    if (value != FUserFPoints) {
        Logspace(FFrequencyMinValue, FFrequencyMaxValue, value);
    }
}

int32_t TDSPSpace::FreqToPoint(int32_t Freq) const {
    if (Freq < 0) {
        throw ERangeError();
    }
    const int64_t index = std::min<int64_t>(Freq, static_cast<int64_t>(FFreqToPoint.size()) - 1);
    return At(FFreqToPoint, index);
}

float TDSPSpace::FreqToNearPercent(int32_t Freq) const {
    if (Freq < 0) {
        throw ERangeError();
    }
    const int64_t index = std::min<int64_t>(Freq, static_cast<int64_t>(FFreqToNearPercent.size()) - 1);
    return static_cast<float>(At(FFreqToNearPercent, index));
}

double TDSPSpace::GetBandEdgeInf(double Freq) const {
    if (FBandsPerOctave == TFreqBands::fbAlluserPoints) {
        return 0.0;
    }
    return Freq / std::sqrt(std::pow(2.0, FBandPerOctaveDouble));
}

double TDSPSpace::GetBandEdgeSup(double Freq) const {
    if (FBandsPerOctave == TFreqBands::fbAlluserPoints) {
        return 0.0;
    }
    return GetBandEdgeInf(Freq) * std::pow(2.0, FBandPerOctaveDouble);
}

double TDSPSpace::GetBandWidth(double Freq) const {
    if (FBandsPerOctave == TFreqBands::fbAlluserPoints) {
        return 0.0;
    }
    return GetBandEdgeSup(Freq) - GetBandEdgeInf(Freq);
}

double TDSPSpace::GetBandQ() const {
    if (FBandsPerOctave == TFreqBands::fbAlluserPoints) {
        return 0.0;
    }
    const double r = std::pow(2.0, FBandPerOctaveDouble);
    return std::sqrt(r) / (r - 1.0);
}

int32_t TDSPSpace::CalcFreqBands(std::span<double> Freqs) const {
    const int32_t size = CheckedAdd<int32_t>(RoundHalfEven<int32_t>(10.0 / FBandPerOctaveDouble), 200);
    if (size < 1) {
        throw ERangeError();
    }
    const double r = std::pow(2.0, FBandPerOctaveDouble);
    const size_t m = static_cast<size_t>(size);
    std::vector<double> centre(m, 0.0);
    std::vector<double> lower(m, 0.0);
    std::vector<double> upper(m, 0.0);
    centre[0] = 1000.0;
    lower[0] = GetBandEdgeInf(1000.0);
    upper[0] = GetBandEdgeSup(1000.0);
    // Upwards from 1000 Hz, keeping the first centre above the range.
    size_t i = 1;
    for (; i < m; ++i) {
        if (centre[i - 1] > static_cast<double>(FFrequencyMaxValue)) {
            break;
        }
        lower[i] = upper[i - 1];
        upper[i] = lower[i] * r;
        centre[i] = std::sqrt(lower[i] * upper[i]);
    }
    // Then downwards from below 1000 Hz.
    const size_t k = i;
    for (i = k; i < m; ++i) {
        if (i == k) {
            upper[i] = lower[0];
        } else {
            if (centre[i - 1] < static_cast<double>(FFrequencyMinValue)) {
                break;
            }
            upper[i] = lower[i - 1];
        }
        lower[i] = upper[i] / r;
        centre[i] = std::sqrt(lower[i] * upper[i]);
    }
    centre.resize(i);
    std::sort(centre.begin(), centre.end());
    const double top = static_cast<double>(Trunc<int64_t>(static_cast<double>(FiSR) / 2.0));
    int32_t count = 0;
    for (const double c : centre) {
        if (c >= static_cast<double>(FFrequencyMinValue) && c <= top) {
            At(Freqs, count) = c;
            ++count;
        }
    }
    return count;
}

double TDSPSpace::dBToLin(double value) {
    return std::exp(value / 20.0 * kLn10);
}

double TDSPSpace::LinTodB(double value) {
    return 20.0 * std::log10(value);
}

void TDSPSpace::ClearResponse(rFrequencyResponse& Response, bool ClearMg, bool ClearPh) {
    for (size_t i = 0; i < Response.Mg.size(); ++i) {
        if (ClearMg) {
            Response.Mg[i] = 0.0;
        }
        if (ClearPh) {
            At(Response.Ph, static_cast<int64_t>(i)) = 0.0;
        }
    }
}

double TDSPSpace::CalculateReferenceLevel(std::span<const double> Levels) {
    double m = -100.0;
    for (const double v : Levels) {
        if (v > m) {
            m = v;
        }
    }
    const double t = m - 10.0;
    const int64_t n = static_cast<int64_t>(Levels.size());
    int64_t first = n;
    for (int64_t i = 0; i < n; ++i) {
        if (Levels[static_cast<size_t>(i)] > t) {
            first = i;
            break;
        }
    }
    int64_t last = -1;
    for (int64_t i = n - 1; i >= 0; --i) {
        if (Levels[static_cast<size_t>(i)] > t) {
            last = i;
            break;
        }
    }
    double sum = 0.0;
    for (int64_t i = first; i <= last; ++i) {
        sum += Levels[static_cast<size_t>(i)];
    }
    return sum / static_cast<double>(last - first + 1);
}

} // namespace vendrel
