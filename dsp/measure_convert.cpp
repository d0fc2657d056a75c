// Conversions of a measurement's raw data onto its grid (complex spectrum, transfer function,
// impulse), capture from caller arrays, the reference level, and the impulse synthesis and export.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>

#include "dsp/complex.h"
#include "dsp/measure_system.h"
#include "dsp/parallel_for.h"
#include "dsp/smoothing.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kDegToRad = 0.017453292519943295;

// Level of a transform magnitude in the unit of the raw data; within 0.05 dB of 0 it is 0.
double levelOf(double m, TLevUnit unit) {
    double dB;
    switch (unit) {
    case TLevUnit::ludBu:
        dB = 20.0 * std::log10(m / 0.774596669241);
        break;
    case TLevUnit::ludBSpl:
        dB = 20.0 * std::log10(m / 0.00002);
        break;
    default:
        dB = 20.0 * std::log10(m);
        break;
    }
    return std::fabs(dB) < 0.05 ? 0.0 : dB;
}

// The value at f of the straight line through source points pos and pos + 1.
double lineAt(std::span<const double> SF, std::span<const double> V, size_t pos, double f) {
    return V[pos] + (V[pos + 1] - V[pos]) / (SF[pos + 1] - SF[pos]) * (f - SF[pos]);
}

// "0.000000E+00": one digit, six decimals, the exponent's sign and at least two exponent digits,
// with "." whatever the locale.
std::string scientific(double v) {
    if (v == 0.0) {
        v = 0.0; // no "-0"
    }
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 6);
    if (ec != std::errc()) {
        return "NAN";
    }
    std::string s(text, end);
    std::replace(s.begin(), s.end(), 'e', 'E');
    return s;
}

} // namespace

void TMeasureSystem::prepareCurves() {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    for (auto* curve :
         {&FResponseMgdB, &FResponsePhRad, &FResponsePhDegrees, &ResponseMgdB, &ResponsePhRad}) {
        curve->resize(n, 0.0);
    }
    if (FUseUnrollAproximation) {
        ResponsePhRadUnWrap.resize(n, 0.0);
        FResponsePhDegreesUnRoll.resize(n, 0.0);
    } else {
        ResponsePhRadUnWrap.clear();
        FResponsePhDegreesUnRoll.clear();
    }
}

void TMeasureSystem::resampleOntoGrid(std::span<const double> SF, std::span<const double> SM,
                                      std::span<const double> SP, bool nyquistHold, bool lowHold) {
    const size_t L = SF.size();
    if (L < 2 || SM.size() < L || SP.size() < L) {
        throw ERangeError();
    }
    const int32_t N = FDSPSpace->NRealFreqPoints();
    const std::vector<int32_t>& F = FDSPSpace->FreqDraw;

    // The walk itself: the source segment only moves up, the last one is extended above the top.
    std::vector<double> mg(static_cast<size_t>(N));
    std::vector<double> ph(static_cast<size_t>(N));
    size_t pos = 0;
    bool advancing = true;
    for (int32_t i = 0; i < N; ++i) {
        const auto u = static_cast<size_t>(i);
        const double f = At(F, i);
        while (advancing && SF[pos] < f && SF[pos + 1] <= f) {
            ++pos;
            if (pos >= L - 1) {
                pos = L - 2;
                advancing = false;
            }
        }
        mg[u] = lineAt(SF, SM, pos, f);
        ph[u] = lineAt(SF, SP, pos, f);
    }

    // Holds: above half the sample rate a point repeats the previous one; below the first source
    // frequency it takes the values the walk gives at that frequency's grid point.
    const auto nyquist = static_cast<float>(Trunc<int32_t>(ImpulseSampleRate / 2.0));
    const auto firstSource = static_cast<float>(SF[0]);
    const int32_t lowPoint =
        lowHold ? FDSPSpace->FreqToPoint(std::max<int32_t>(RoundHalfEven<int32_t>(SF[0]), 0)) : 0;
    for (int32_t i = 0; i < N; ++i) {
        const auto u = static_cast<size_t>(i);
        FResponseMgdB[u] = mg[u];
        FResponsePhRad[u] = ph[u];
        FResponsePhDegrees[u] = ph[u] * kRadToDeg;
        // The first grid point has no previous point to repeat and keeps its own values.
        if (nyquistHold && i > 0 && static_cast<float>(F[u]) > nyquist) {
            FResponseMgdB[u] = FResponseMgdB[u - 1];
            FResponsePhRad[u] = FResponsePhRad[u - 1];
            FResponsePhDegrees[u] = FResponsePhDegrees[u - 1];
        }
        if (lowHold && firstSource > static_cast<float>(F[u])) {
            const auto k = static_cast<size_t>(lowPoint);
            FResponseMgdB[u] = mg[k];
            FResponsePhRad[u] = ph[k];
            FResponsePhDegrees[u] = ph[k] * kRadToDeg;
        }
        ResponseMgdB[u] = FResponseMgdB[u] - FReferenceSpl;
        ResponsePhRad[u] = FResponsePhRad[u];
        // The stored phase is the unwrapped one: the unwrapped curves carry the same values.
        if (FUseUnrollAproximation) {
            ResponsePhRadUnWrap[u] = FResponsePhRad[u];
            FResponsePhDegreesUnRoll[u] = FResponsePhDegrees[u];
        }
    }
}

template <typename Calc>
TQzDspResult TMeasureSystem::convertRawResponse(size_t points, Calc calc, bool lowHold) {
    std::vector<double> freq, dB, ph, unwrapped;
    try {
        freq.resize(points);
        dB.resize(points);
        ph.resize(points);
        unwrapped.resize(points);
        prepareCurves();
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdError;
    }
    calc(dB, ph, freq);
    UnwrapPhaseRadians(ph, unwrapped);
    if (ApplySmoothing != TFreqBands::fbAlluserPoints) {
        SmoothFractionalOctave(ApplySmoothing, freq, dB, dB);
        SmoothFractionalOctave(ApplySmoothing, freq, unwrapped, unwrapped);
    }
    resampleOntoGrid(freq, dB, unwrapped, true, lowHold);
    return TQzDspResult::qzdOK;
}

void TMeasureSystem::CalcFreqResponseFromComplex(std::span<double> GrafdBin, std::span<double> GrafPhin,
                                                 std::span<double> GrafFreq) const {
    const double step = ImpulseSampleRate * 0.5 / ImpulseSize;
    for (int32_t k = 0; k < ImpulseSize; ++k) {
        const double re = At(RawImpulseRe, k);
        const double im = At(RawImpulseIm, k);
        At(GrafFreq, k) = step * k;
        At(GrafdBin, k) = 20.0 * std::log10(std::sqrt(re * re + im * im));
        At(GrafPhin, k) = PhaseOf(re, im);
    }
}

void TMeasureSystem::CalcFreqResponseFromImpulse(std::span<double> GrafdBin, std::span<double> GrafPhin,
                                                 std::span<double> GrafFreq,
                                                 const TDSPSpace& HiResDSPSpace) const {
    const TDSPSpace& G = HiResDSPSpace;
    const int32_t M = G.NRealFreqPoints();
    if (GrafdBin.size() < static_cast<size_t>(M) || GrafPhin.size() < static_cast<size_t>(M) ||
        GrafFreq.size() < static_cast<size_t>(M)) {
        throw ERangeError();
    }
    const int32_t n = std::min(ImpulseEnd, ImpulseSize);
    if (n > 0 &&
        (RawImpulseRe.size() < static_cast<size_t>(n) || RawImpulseIm.size() < static_cast<size_t>(n))) {
        throw ERangeError();
    }
    const int32_t s = G.FreqToPoint(FFTStartFreq);
    const double latency = FImpulseLatency;
    const double rate = ImpulseSampleRate;
    std::vector<Complex> X(static_cast<size_t>(M));
    std::vector<double> level(static_cast<size_t>(M));
    // One grid point per iteration: the angular frequency per sample at the impulse's own rate.
    const auto point = [&](int32_t a) {
        const auto u = static_cast<size_t>(a);
        const double w = G.FreqDraw[u] * kTwoPi / rate;
        double sumRe = 0.0;
        double sumIm = 0.0;
        for (int32_t t = 0; t < n; ++t) {
            const double re = RawImpulseRe[static_cast<size_t>(t)];
            const double im = RawImpulseIm[static_cast<size_t>(t)];
            const double theta = w * (t - latency);
            const double c = std::cos(theta);
            const double sn = std::sin(theta);
            sumRe += re * c + im * sn;
            sumIm += im * c - re * sn;
        }
        X[u] = Complex{sumRe, sumIm};
        level[u] = levelOf(std::sqrt(sumRe * sumRe + sumIm * sumIm), ImpulseScale);
    };
    ForEachIndex(G.UseParallelFor(), s, M, point);
    const double startPhase =
        s < M ? PhaseOf(X[static_cast<size_t>(s)].Re, X[static_cast<size_t>(s)].Im) : 0.0;
    for (int32_t i = 0; i < M; ++i) {
        const auto u = static_cast<size_t>(i);
        GrafFreq[u] = G.FreqDraw[u];
        if (i < s) {
            GrafdBin[u] = -999.0;
            GrafPhin[u] = startPhase;
        } else {
            GrafdBin[u] = level[u];
            GrafPhin[u] = PhaseOf(X[u].Re, X[u].Im);
        }
    }
}

TQzDspResult TMeasureSystem::ConvertSourceComplexSpectrumToMeaSystem() {
    if (ImpulseSize < 2) {
        return TQzDspResult::qzdError;
    }
    return convertRawResponse(
        static_cast<size_t>(ImpulseSize),
        [this](std::span<double> dB, std::span<double> ph, std::span<double> freq) {
            CalcFreqResponseFromComplex(dB, ph, freq);
        },
        false);
}

TQzDspResult TMeasureSystem::ConvertSourceQOJTFToMeaSystem(const rQZTFPreset& TF) {
    const int32_t L = TF.TFLength;
    if (L < 2 || TF.Fr.size() < static_cast<size_t>(L) || TF.Mg.size() < static_cast<size_t>(L) ||
        TF.Ph.size() < static_cast<size_t>(L)) {
        return TQzDspResult::qzdError;
    }
    std::vector<double> unwrapped;
    try {
        unwrapped.resize(static_cast<size_t>(L));
        prepareCurves();
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdError;
    }
    const auto first = [L](const std::vector<double>& v) { return std::span<const double>(v.data(), L); };
    UnwrapPhaseRadians(first(TF.Ph), unwrapped);
    resampleOntoGrid(first(TF.Fr), first(TF.Mg), unwrapped, false, false);
    return TQzDspResult::qzdOK;
}

TQzDspResult TMeasureSystem::ConvertSourceImpulseToMeaSystem(TFreqBands nBands) {
    if (ImpulseSampleRate <= 0) {
        return TQzDspResult::qzdError;
    }
    // The fine grid on which the impulse is evaluated, over the object's range.
    TDSPSpace G;
    G.SetUseParallelFor(FDSPSpace->UseParallelFor());
    const int32_t lo = FDSPSpace->FrequencyMinValue();
    const int32_t hi = FDSPSpace->FrequencyMaxValue();
    if (FUseNFreqPointsForImpulse) {
        G.Logspace(lo, hi, FNFreqPointsForImpulse);
    } else {
        G.LogspacePerBand(lo, hi, nBands);
    }
    const int32_t sr = ImpulseSampleRate;
    if (sr > 44000 && sr < 44200) {
        G.SetSampleRate(TSampleRate::sr44k1);
    } else if (sr > 47000 && sr < 49000) {
        G.SetSampleRate(TSampleRate::sr48k);
    } else if (sr > 95000 && sr < 97000) {
        G.SetSampleRate(TSampleRate::sr96k);
    } else if (sr > 191000 && sr < 193000) {
        G.SetSampleRate(TSampleRate::sr192k);
    }
    const int32_t M = G.NRealFreqPoints();
    if (M < 2) {
        return TQzDspResult::qzdError;
    }
    return convertRawResponse(
        static_cast<size_t>(M),
        [this, &G](std::span<double> dB, std::span<double> ph, std::span<double> freq) {
            CalcFreqResponseFromImpulse(dB, ph, freq, G);
        },
        true);
}

void TMeasureSystem::Capture(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph,
                             bool isdB, bool isDegrees) {
    FMeaSystem = TMeasureSystemBrand::msbInternalCapture;
    prepareCurves();
    std::vector<double> U(Ph.size(), 0.0);
    if (FUseUnrollAproximation) {
        if (isDegrees) {
            UnwrapPhaseDegrees(Ph, U);
        } else {
            UnwrapPhaseRadians(Ph, U);
        }
    }
    const int32_t N = FDSPSpace->NRealFreqPoints();
    const auto take = [&](int32_t i, int32_t s) {
        const auto u = static_cast<size_t>(i);
        const double m = isdB ? At(Mg, s) : 20.0 * std::log10(At(Mg, s));
        FResponseMgdB[u] = m;
        ResponseMgdB[u] = m;
        const double p = At(Ph, s);
        FResponsePhRad[u] = isDegrees ? p * kDegToRad : p;
        if (FUseUnrollAproximation) {
            const double w = At(U, s);
            ResponsePhRadUnWrap[u] = isDegrees ? w * kDegToRad : w;
            FResponsePhDegreesUnRoll[u] = isDegrees ? w : w * kRadToDeg;
        }
        ResponsePhRad[u] = FResponsePhRad[u];
    };
    const auto L = static_cast<int32_t>(Fr.size());
    if (L == N) {
        // Arrays of the grid's length are taken point by point, whatever their frequencies.
        for (int32_t i = 0; i < N; ++i) {
            take(i, i);
        }
    } else {
        // Each grid point takes the nearer of the two source points around it; the walk ends when
        // the source is used up and the remaining grid points keep what they held.
        int32_t u = 1;
        bool searching = true;
        for (int32_t i = 0; i < N; ++i) {
            const double f = FDSPSpace->FreqDraw[static_cast<size_t>(i)];
            while (searching && RoundHalfEven<int64_t>((At(Fr, u - 1) + At(Fr, u)) / 2.0) < f) {
                ++u;
                if (u >= L - 1) {
                    u = L - 1;
                    searching = false;
                }
            }
            if (u < L - 2 && std::fabs(At(Fr, u) - f) > std::fabs(At(Fr, u - 1) - f)) {
                --u;
            }
            take(i, u);
            ++u;
            if (u >= L) {
                break;
            }
        }
    }
    CalcRefLevel();
}

double TMeasureSystem::CalcRefLevel() {
    // The level is found on the un-referenced magnitude, so the reference in force does not shift it.
    const int32_t N = FDSPSpace->NRealFreqPoints();
    double peak = -100.0;
    for (int32_t i = 0; i < N; ++i) {
        peak = std::max(peak, At(FResponseMgdB, i));
    }
    const double threshold = peak - 10.0;
    int32_t lo = N;
    int32_t hi = -1;
    for (int32_t i = 0; i < N; ++i) {
        if (FResponseMgdB[static_cast<size_t>(i)] > threshold) {
            lo = std::min(lo, i);
            hi = i;
        }
    }
    double sum = 0.0;
    for (int32_t i = lo; i <= hi; ++i) {
        sum += FResponseMgdB[static_cast<size_t>(i)];
    }
    const double mean = sum / (hi - lo + 1);
    // A span that holds a level of minus infinity (a zero magnitude) has no mean level.
    FReferenceSpl = std::isfinite(mean) ? RoundHalfEven<int32_t>(mean) : 0.0;
    reReference();
    return FReferenceSpl;
}

TQzDspResult TMeasureSystem::ConvertFreqResponseToImpulse(double OutLatency, int32_t OutImpulseSize,
                                                          int32_t theImpulseEnd, int32_t OutSampleRate,
                                                          double CompGainLin, bool InvertPhase) {
    ImpulseSampleRate = OutSampleRate;
    try {
        const auto n = static_cast<size_t>(std::max(theImpulseEnd, 0));
        RawImpulseRe.resize(n, 0.0);
        RawImpulseIm.resize(n, 0.0);
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdNotEnoughMemoryError;
    } catch (const std::length_error&) {
        return TQzDspResult::qzdNotEnoughMemoryError;
    }
    if (InvertPhase) {
        for (double& p : ResponsePhRad) {
            p += kPi;
        }
    }
    std::vector<double> linear(ResponseMgdB.size());
    for (size_t i = 0; i < linear.size(); ++i) {
        linear[i] = Pow10(ResponseMgdB[i] * CompGainLin / 20.0);
    }
    FreqResponseToImpulse(linear, ResponsePhRad, *FDSPSpace, OutLatency, OutImpulseSize, theImpulseEnd,
                          OutSampleRate, RawImpulseRe, RawImpulseIm);
    return TQzDspResult::qzdOK;
}

bool TMeasureSystem::SaveImpulseToClioTxt(const std::string& OutPath) const {
    if (ImpulseEnd < 0 || RawImpulseRe.size() < static_cast<size_t>(ImpulseEnd) ||
        RawImpulseIm.size() < static_cast<size_t>(ImpulseEnd)) {
        throw ERangeError();
    }
    std::string text = "Time[s]         Real[V]        Imag[V]\r\n";
    const double period = 1.0 / ImpulseSampleRate;
    double time = 0.0;
    for (int32_t i = 0; i < ImpulseEnd; ++i) {
        const double re = RawImpulseRe[static_cast<size_t>(i)];
        // The imaginary column starts at the same place whether or not the real part has a sign.
        text += scientific(time) + "    " + scientific(re) + (re < 0.0 ? "   " : "    ") +
                scientific(RawImpulseIm[static_cast<size_t>(i)]) + "\r\n";
        time += period;
    }
    try {
        const std::filesystem::path name = std::filesystem::path(OutPath) / ("IR " + MeasureName + ".txt");
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out.flush());
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace vendrel
