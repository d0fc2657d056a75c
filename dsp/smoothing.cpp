#include "dsp/smoothing.h"

#include "platform/core/numeric.h"

#include <cmath>
#include <limits>
#include <vector>

namespace vendrel {

namespace {

// Points a curve needs per half of its minimum length for each width.
int32_t widthPointCount(TFreqBands bands) {
    switch (bands) {
    case TFreqBands::fbOneOctave:
        return 10;
    case TFreqBands::fbTwoThirdOctave:
        return 15;
    case TFreqBands::fbMediumOctave:
        return 20;
    case TFreqBands::fbOneThirdOctave:
        return 30;
    case TFreqBands::fbOneSixOctave:
        return 60;
    case TFreqBands::fbOneTwelveOctave:
        return 120;
    case TFreqBands::fbOneTwentyFourOctave:
        return 240;
    case TFreqBands::fbTwoOctave:
        return 5;
    case TFreqBands::fbOneThirtySixOctave:
        return 360;
    case TFreqBands::fbOneFortyEigthOctave:
        return 480;
    default:
        return 0;
    }
}

template <typename T> int32_t nearestSorted(std::span<const T> Values, double x) {
    const int64_t H = static_cast<int64_t>(Values.size()) - 1;
    int64_t i = Trunc<int64_t>(static_cast<double>(H) * 0.5);
    int64_t e = i;
    auto value = [&](int64_t k) { return static_cast<double>(At(Values, k)); };
    while (e != 0) {
        if (value(i) == x) {
            break;
        }
        const int64_t step = RoundHalfEven<int64_t>(std::fabs(static_cast<double>(e)) * 0.5);
        e = x > value(i) ? step : -step;
        i += e;
        if (i < 0) {
            i = 0;
        }
        if (i > H) {
            i = H;
        }
    }
    double best = std::fabs(x - value(i));
    int64_t result = best >= 2147483647.0 ? -1 : i;
    if (std::isnan(best)) {
        // The search stopped on a NaN (or looked for one): a NaN is never the nearest value, so the
        // neighbours decide, and without a number among them there is no index.
        result = -1;
        best = std::numeric_limits<double>::infinity();
    }
    if (best == 0.0) {
        return static_cast<int32_t>(i);
    }
    if (i < H && std::fabs(x - value(i + 1)) < best) {
        result = i + 1;
        best = std::fabs(x - value(i + 1));
    }
    if (i > 0 && std::fabs(x - value(i - 1)) < best) {
        return static_cast<int32_t>(i - 1);
    }
    return static_cast<int32_t>(result);
}

} // namespace

void BandFactor(double x, TFreqBands Bands, double& Lo, double& Hi) {
    const double b = std::pow(2.0, BandOctaves(Bands));
    Lo = x / std::sqrt(b);
    Hi = Lo * b;
}

void SmoothFractionalOctave(TFreqBands Bands, std::span<const double> Freqs, std::span<const double> Values,
                            std::span<double> Out) {
    const size_t n = Values.size();
    if (Bands == TFreqBands::fbAlluserPoints) {
        if (Out.size() < n) {
            throw ERangeError();
        }
        for (size_t j = 0; j < n; ++j) {
            Out[j] = Values[j];
        }
        return;
    }
    if (static_cast<int64_t>(n) < 2 * static_cast<int64_t>(widthPointCount(Bands))) {
        return;
    }
    if (Freqs.size() < n || Out.size() < n) {
        throw ERangeError();
    }
    std::vector<double> result(n);
    for (size_t j = 0; j < n; ++j) {
        double lo;
        double hi;
        BandFactor(Freqs[j], Bands, lo, hi);
        if (lo <= Freqs[0]) {
            lo = Freqs[0];
        }
        if (hi >= Freqs[n - 1]) {
            hi = Freqs[n - 1];
        }
        const int64_t a = NearestSortedIndex(Freqs, lo);
        const int64_t e = NearestSortedIndex(Freqs, hi);
        double sum = 0.0;
        int64_t count = 0;
        for (int64_t k = std::max<int64_t>(a, 0); k <= e && k < static_cast<int64_t>(n); ++k) {
            sum += Values[static_cast<size_t>(k)];
            ++count;
        }
        result[j] = count > 0 ? sum / static_cast<double>(count) : Values[j];
    }
    for (size_t k = 0; k < n; ++k) {
        Out[k] = result[k];
    }
}

void SmoothFractionalOctave(TFreqBands Bands, const TDSPSpace& DSPSpace, std::span<const double> Values,
                            std::span<double> Out) {
    const size_t n = static_cast<size_t>(DSPSpace.NRealFreqPoints());
    if (Values.size() < n || Out.size() < n) {
        throw ERangeError();
    }
    if (Bands == TFreqBands::fbAlluserPoints) {
        for (size_t j = 0; j < n; ++j) {
            Out[j] = Values[j];
        }
        return;
    }
    const std::vector<int32_t>& F = DSPSpace.FreqDraw;
    std::vector<double> result(n);
    for (size_t j = 0; j < n; ++j) {
        double lo;
        double hi;
        BandFactor(static_cast<double>(F[j]), Bands, lo, hi);
        int32_t L = RoundHalfEven<int32_t>(lo);
        int32_t U = RoundHalfEven<int32_t>(hi);
        if (L < F[0]) {
            L = F[0];
        }
        if (U > F[n - 1]) {
            U = F[n - 1];
        }
        const int32_t a = NearestSortedIndex(F, static_cast<double>(L));
        const int32_t e = NearestSortedIndex(F, static_cast<double>(U));
        if (e > a) {
            double sum = 0.0;
            for (int32_t k = a; k <= e; ++k) {
                sum += Values[static_cast<size_t>(k)];
            }
            result[j] = sum / static_cast<double>(e - a + 1);
        } else {
            result[j] = Values[j];
        }
    }
    for (size_t k = 0; k < n; ++k) {
        Out[k] = result[k];
    }
}

int32_t NearestValueIndex(std::span<const double> Values, double x) {
    if (Values.empty()) {
        return -1;
    }
    double best = 2147483647.0;
    int32_t result = -1;
    for (size_t i = 0; i < Values.size(); ++i) {
        const double d = std::fabs(x - Values[i]);
        if (d < best) {
            if (d == 0.0) {
                return static_cast<int32_t>(i);
            }
            result = static_cast<int32_t>(i);
            best = d;
        }
    }
    return result;
}

int32_t NearestSortedIndex(std::span<const double> Values, double x) {
    return nearestSorted(Values, x);
}

int32_t NearestSortedIndex(std::span<const int32_t> Values, double x) {
    return nearestSorted(Values, x);
}

} // namespace vendrel
