// FIR designs: windowed sinc, the targets built from the shaping sections, frequency sampling of the
// targets, and the conversion of a sampled response into external taps.

#include <algorithm>
#include <cmath>

#include "dsp/aplanator.h"
#include "dsp/complex.h"
#include "dsp/fir.h"
#include "dsp/parallel_for.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// |H| of a biquad at the unit delay z, evaluated as the section itself does:
// ((b2 z + b1) z + b0) / ((-a2 z - a1) z + 1).
double sectionMagnitude(const TSOS& s, const Complex& z) {
    Complex num{s.b2 * z.Re + s.b1, s.b2 * z.Im};
    ComplexMul(num, z, num);
    num.Re += s.b0;
    Complex den{-s.a2 * z.Re - s.a1, -s.a2 * z.Im};
    ComplexMul(den, z, den);
    den.Re += 1.0;
    Complex h;
    ComplexDiv(num, den, h);
    return ComplexAbs(h);
}

void multiplyBySection(std::vector<double>& target, const TSOS& s, const TDSPSpace& grid) {
    for (size_t i = 0; i < target.size(); ++i) {
        target[i] *= sectionMagnitude(s, At(grid.Hwz, static_cast<int64_t>(i)));
    }
}

// Index of the largest value (signed comparison, the first one wins).
int32_t largestIndex(std::span<const double> v) {
    int32_t best = 0;
    for (size_t i = 1; i < v.size(); ++i) {
        if (v[i] > v[static_cast<size_t>(best)]) {
            best = static_cast<int32_t>(i);
        }
    }
    return best;
}

// Runs body(n) for n = 0 .. count - 1, on the thread pool when parallel; each n writes only its own
// output, so both ways give the same bits.
template <typename Body> void forEachIndex(bool parallel, int32_t count, const Body& body) {
    ForEachIndex(parallel, 0, count, body);
}

} // namespace

void TFIR::CalcWindowedSinc() {
    const int32_t N = FNCoef;
    const int32_t M = N / 2;
    double t = 0.0;
    const std::vector<double>* window = nullptr;
    switch (FFirType) {
    case TFIRType::qztfFRectangular:
        t = 0.9 / N;
        break;
    case TFIRType::qztfFHanning:
        t = 3.1 / N;
        window = &FHanning_Window;
        break;
    case TFIRType::qztfFHamming:
        t = 3.3 / N;
        window = &FHamming_Window;
        break;
    case TFIRType::qztfFBlackman:
        t = 5.5 / N;
        window = &FBlackman_Window;
        break;
    case TFIRType::qztfFBlackmanHarris:
        t = 5.5 / N;
        window = &FBlackmanHarris_Window;
        break;
    default:
        return;
    }
    const double sr = FDSPSpace->iSampleRate();
    double f = 0.0;
    double sign = 1.0;
    double f1 = 0.0;
    double f2 = 0.0;
    switch (hplp) {
    case 0:
        f = fc1 / sr + t / 2.0;
        break;
    case 1:
        f = fc1 / sr - t / 2.0;
        sign = -1.0;
        break;
    default:
        f1 = fc1 / sr - t / 2.0;
        f2 = fc2 / sr + t / 2.0;
        break;
    }
    // The sinc is centred one tap past the window's centre M.
    for (int32_t i = 0; i < N; ++i) {
        const double w = window ? (*window)[static_cast<size_t>(i)] : 1.0;
        const double n = i - M - 1;
        double tap;
        if (i == M + 1) {
            tap = hplp == 0 ? 2.0 * f * w : hplp == 1 ? (1.0 - 2.0 * f) * w : 2.0 * (f2 - f1) * w;
        } else if (hplp == 0 || hplp == 1) {
            tap = sign * w * std::sin(kTwoPi * f * n) / (kPi * n);
        } else {
            tap = w * (std::sin(kTwoPi * f2 * n) - std::sin(kTwoPi * f1 * n)) / (kPi * n);
        }
        FCoef[static_cast<size_t>(i)] = tap;
    }
    std::fill(FCoef.begin() + N, FCoef.end(), 0.0);
    FLatency = largestIndex(FCoef);
}

void TFIR::CalcReferenceMg() {
    const TDSPSpace& grid = *FDSPSpaceInternal96;
    FRefMgBypass = true;
    FReferenceMg.assign(static_cast<size_t>(grid.NRealFreqPoints()), 1.0);
    for (const TXoverIIR* xover : {XoverHpMg.get(), XoverLpMg.get()}) {
        for (int32_t s = 0; s < xover->MaxOrder(); ++s) {
            if (xover->Active) {
                FRefMgBypass = false;
                multiplyBySection(FReferenceMg, *At(xover->XSOS, s), grid);
            }
        }
    }
    for (int32_t s = 0; s < PeqMg->NPeqs(); ++s) {
        const TSOS& section = *At(PeqMg->Peqs, s);
        if (section.Active) {
            FRefMgBypass = false;
            multiplyBySection(FReferenceMg, section, grid);
        }
    }
    if (FAplanator && FAplanator->Active()) {
        FRefMgBypass = false;
        for (int32_t i = 0; i < FDSPSpace->NRealFreqPoints(); ++i) {
            At(FReferenceMg, i) *= At(FAplanator->FTargetResponseLin().Mg, i);
        }
    }
    for (double& v : FReferenceMg) {
        if (v > 0.999 && v < 1.001) {
            v = 1.0;
        }
    }
}

void TFIR::CalcReferencePh() {
    const TDSPSpace& grid = *FDSPSpaceInternal96;
    FRefPhBypass = true;
    FReferencePh.assign(static_cast<size_t>(grid.NRealFreqPoints()), 1.0);
    for (int32_t p = 0; p < FPhPoints; ++p) {
        const TSOS& section = At(PhasePoints, p)->SOS();
        if (section.Active) {
            FRefPhBypass = false;
            multiplyBySection(FReferencePh, section, grid);
        }
    }
    // The points' bell and shelf curves in dB become phase: 15 dB stand for pi radians.
    for (double& v : FReferencePh) {
        v = std::log10(v) * 62.83185307179586 / 15.0;
    }
    if (FAplanator && FAplanator->Active()) {
        FRefPhBypass = false;
        for (int32_t i = 0; i < FDSPSpace->NRealFreqPoints(); ++i) {
            At(FReferencePh, i) += At(FAplanator->TargetResponse.Ph, i);
        }
    }
    for (double& v : FReferencePh) {
        if (v > -0.001 && v < 0.001) {
            v = 0.0;
        }
    }
}

// Both custom designs: refresh the targets asked for, then design about the given centre tap, or
// give the unit impulse when both targets are bypassed.
void TFIR::designCustom(bool CalcRefMg, bool CalcRefPh, int32_t centre) {
    if (CalcRefMg) {
        CalcReferenceMg();
    }
    if (CalcRefPh) {
        CalcReferencePh();
    }
    if (FRefMgBypass && FRefPhBypass) {
        ResetCoef();
        return;
    }
    DesignFromTargets(centre, TargetLayout::GridPoints);
}

void TFIR::CalculaFIRCustom(bool CalcRefMg, bool CalcRefPh) {
    designCustom(CalcRefMg, CalcRefPh, FNCoef / 2);
}

void TFIR::CalculaFIRCustomLatency(bool CalcRefMg, bool CalcRefPh) {
    designCustom(CalcRefMg, CalcRefPh, FFixedLatency);
}

void TFIR::DesignFromTargets(int32_t L, TargetLayout layout) {
    const int32_t N = FNCoef;
    const double sr = FDSPSpace->iSampleRate();
    const double spacing = sr / (2.0 * N);
    std::vector<double> MagLin(static_cast<size_t>(N));
    std::vector<double> PhaseRad(static_cast<size_t>(N));

    // Targets resampled once to the N design frequencies k * SR / (2N).
    if (layout == TargetLayout::GridPoints) {
        for (int32_t k = 0; k < N; ++k) {
            const int32_t F = RoundHalfEven<int32_t>(k * spacing);
            int32_t p = FDSPSpace->FreqToPoint(F);
            const double u = FDSPSpace->FreqToNearPercent(F);
            if (p == 0) {
                p = 1;
            }
            const auto q = static_cast<size_t>(k);
            MagLin[q] = At(FReferenceMg, p - 1) * (1.0 - u) + At(FReferenceMg, p) * u;
            PhaseRad[q] = At(FReferencePh, p - 1) * (1.0 - u) + At(FReferencePh, p) * u;
        }
    } else {
        // Per-bin targets of ConvertToCoefs: entry b at FFreqDrawFIR[b] hertz, b = 0 .. H - 1;
        // linear interpolation between bins, the end values held beyond them.
        const int32_t H = N / 2;
        int32_t b = 1;
        for (int32_t k = 0; k < N; ++k) {
            const int32_t F = RoundHalfEven<int32_t>(k * spacing);
            const auto q = static_cast<size_t>(k);
            if (H <= 1 || F <= At(FFreqDrawFIR, 0)) {
                MagLin[q] = At(FReferenceMg, 0);
                PhaseRad[q] = At(FReferencePh, 0);
                continue;
            }
            while (b < H && FFreqDrawFIR[static_cast<size_t>(b)] < F) {
                ++b;
            }
            if (b >= H) {
                MagLin[q] = At(FReferenceMg, H - 1);
                PhaseRad[q] = At(FReferencePh, H - 1);
                continue;
            }
            const double f0 = FFreqDrawFIR[static_cast<size_t>(b - 1)];
            const double f1 = FFreqDrawFIR[static_cast<size_t>(b)];
            const double w = f1 > f0 ? (F - f0) / (f1 - f0) : 1.0;
            MagLin[q] = FReferenceMg[static_cast<size_t>(b - 1)] * (1.0 - w) +
                        FReferenceMg[static_cast<size_t>(b)] * w;
            PhaseRad[q] = FReferencePh[static_cast<size_t>(b - 1)] * (1.0 - w) +
                          FReferencePh[static_cast<size_t>(b)] * w;
        }
    }

    std::vector<double> TapsResult(static_cast<size_t>(N));
    forEachIndex(FDSPSpace->UseParallelFor(), N, [&](int32_t n) {
        const double theta = (n - L) * kTwoPi / (2.0 * N);
        double s = 0.0;
        for (int32_t k = 1; k < N; ++k) {
            s += MagLin[static_cast<size_t>(k)] * std::cos(theta * k + PhaseRad[static_cast<size_t>(k)]);
        }
        TapsResult[static_cast<size_t>(n)] = (1.0 / N) * (0.5 * MagLin[0] + s);
    });
    std::copy(TapsResult.begin(), TapsResult.end(), FCoef.begin());
    std::fill(FCoef.begin() + N, FCoef.end(), 0.0);
    FLatency = L < 0 ? 0 : L;
}

void TFIR::CalculaFIRCustomLatencyExternalRef(std::span<const double> RefMg, std::span<const double> RefPh) {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    if (RefMg.size() < n || RefPh.size() < n) {
        throw ERangeError();
    }
    FReferenceMg.assign(RefMg.begin(), RefMg.begin() + static_cast<std::ptrdiff_t>(n));
    FReferencePh.assign(RefPh.begin(), RefPh.begin() + static_cast<std::ptrdiff_t>(n));
    FRefMgBypass = false;
    FRefPhBypass = false;
    CalculaFIRCustomLatency(false, false);
}

void TFIR::ConvertToCoefs(std::span<const int32_t> FreqRef, std::span<const double> MgRef,
                          std::span<const double> PhRef, bool isLineal, bool isRadSeg) {
    std::vector<double> mg(MgRef.begin(), MgRef.end());
    std::vector<double> ph(PhRef.begin(), PhRef.end());
    if (!isLineal) {
        for (double& v : mg) {
            v = Pow10(v / 20.0);
        }
    }
    if (!isRadSeg) {
        for (double& v : ph) {
            v *= 0.017453292519943295;
        }
    }
    if (mg.empty() || ph.empty() || FreqRef.size() < 2) {
        throw ERangeError();
    }
    const int32_t last = static_cast<int32_t>(FreqRef.size()) - 1;
    const int32_t H = FNCoef / 2;
    // The targets are laid out per FIR drawing bin here: a grid of fewer points than the filter has
    // bins (a model's 1/6-octave grid under a steering filter of 255 taps) still takes every bin.
    if (static_cast<int32_t>(FReferenceMg.size()) < H) {
        FReferenceMg.resize(static_cast<size_t>(H), 1.0);
    }
    if (static_cast<int32_t>(FReferencePh.size()) < H) {
        FReferencePh.resize(static_cast<size_t>(H), 0.0);
    }
    // The targets laid out per FIR drawing bin: first and last reference values at the ends.
    At(FReferenceMg, 0) = mg[0];
    At(FReferencePh, 0) = ph[0];
    At(FReferenceMg, H - 1) = At(mg, last);
    At(FReferencePh, H - 1) = At(ph, last);
    int32_t j = 0;
    int32_t J = 1;
    for (int32_t k = 1; k <= H - 2; ++k) {
        const double T = At(FFreqDrawFIR, k);
        while (T > FreqRef[static_cast<size_t>(j)] && j < last) {
            ++j;
            J = j;
        }
        if (j == J) {
            j = J - 1;
        }
        if (T > FreqRef[static_cast<size_t>(last)] || J >= last) {
            FReferenceMg[static_cast<size_t>(k)] = At(mg, last);
            FReferencePh[static_cast<size_t>(k)] = At(ph, last);
            continue;
        }
        const double fj = FreqRef[static_cast<size_t>(j)];
        const double span = FreqRef[static_cast<size_t>(J)] - fj;
        FReferenceMg[static_cast<size_t>(k)] = At(mg, j) + (T - fj) * (At(mg, J) - At(mg, j)) / span;
        FReferencePh[static_cast<size_t>(k)] = At(ph, j) + (T - fj) * (At(ph, J) - At(ph, j)) / span;
    }
    SetFirType(TFIRType::qztfFExternCoefs);
    // The targets given here are the design's, whatever the shaping sections say; they are read per
    // bin, as they were laid out above.
    FRefMgBypass = false;
    FRefPhBypass = false;
    DesignFromTargets(FNCoef / 2, TargetLayout::FirBins);
    for (int32_t i = 0; i < FNMaxTaps; ++i) {
        At(FExternalCoef, i) = FCoef[static_cast<size_t>(i)];
    }
    FNExternalCoef = FNCoef;
    FExternalLatency = largestIndex(FExternalCoef);
}

int32_t TFIR::FreqToFirRef(int32_t Value) const {
    Value = std::clamp(Value, FDSPSpace->FrequencyMinValue(), FDSPSpace->FrequencyMaxValue() - 1);
    return At(FFreqToFirRef, Value);
}

} // namespace vendrel
