// Frequency response of the taps in use at every point of the filter's grid, by direct sums.

#include <cmath>

#include "dsp/complex.h"
#include "dsp/fir.h"
#include "dsp/parallel_for.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

double magnitudeOf(const Complex& S) {
    return ComplexAbs(Complex{S.Re, -S.Im});
}

// The sum S = sum of Coef(t) (cos wt, sin wt) gives H = (Re S, -Im S).
double phaseOf(const Complex& S) {
    return PhaseOf(S.Re, -S.Im);
}

double dBOrZero(double magnitude, double threshold) {
    const double dB = 20.0 * std::log10(magnitude);
    return std::abs(dB) < threshold ? 0.0 : dB;
}

void checkOutput(size_t size, int32_t points) {
    if (size < static_cast<size_t>(points)) {
        throw ERangeError();
    }
}

} // namespace

void TFIR::EvaluateSums(std::vector<Complex>& S) const {
    const int32_t P = FDSPSpace->NRealFreqPoints();
    const int32_t taps = UseNTaps();
    std::vector<double> coefs(static_cast<size_t>(std::max(taps, 0)));
    for (int32_t t = 0; t < taps; ++t) {
        coefs[static_cast<size_t>(t)] = Coef(t);
    }
    S.assign(static_cast<size_t>(P), Complex{});
    const auto point = [&](int32_t a) {
        const double w = At(FDSPSpace->Hwdibu, a);
        Complex sum{};
        for (int32_t t = 0; t < taps; ++t) {
            const double c = coefs[static_cast<size_t>(t)];
            sum.Re += c * std::cos(w * t);
            sum.Im += c * std::sin(w * t);
        }
        S[static_cast<size_t>(a)] = sum;
    };
    ForEachIndex(FDSPSpace->UseParallelFor(), 0, P, point);
}

void TFIR::CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) {
    const int32_t P = FDSPSpace->NRealFreqPoints();
    checkOutput(std::min(GrafdBin.size(), GrafPhin.size()), P);
    std::vector<Complex> S;
    EvaluateSums(S);
    for (int32_t a = 0; a < P; ++a) {
        const auto i = static_cast<size_t>(a);
        GrafdBin[i] = dBOrZero(magnitudeOf(S[i]), 0.01);
        GrafPhin[i] = phaseOf(S[i]);
    }
}

void TFIR::CalcResponseLineal(std::span<double> GrafLinIn, std::span<double> GrafPhin) {
    const int32_t P = FDSPSpace->NRealFreqPoints();
    checkOutput(std::min(GrafLinIn.size(), GrafPhin.size()), P);
    std::vector<Complex> S;
    EvaluateSums(S);
    for (int32_t a = 0; a < P; ++a) {
        const auto i = static_cast<size_t>(a);
        GrafLinIn[i] = magnitudeOf(S[i]);
        GrafPhin[i] = phaseOf(S[i]);
    }
}

void TFIR::CalcResponseLinealAt(std::span<const int32_t> Freqs, std::span<double> GrafLinIn,
                                std::span<double> GrafPhin) const {
    const auto n = static_cast<int32_t>(Freqs.size());
    checkOutput(std::min(GrafLinIn.size(), GrafPhin.size()), n);
    const int32_t taps = UseNTaps();
    std::vector<double> coefs(static_cast<size_t>(std::max(taps, 0)));
    for (int32_t t = 0; t < taps; ++t) {
        coefs[static_cast<size_t>(t)] = Coef(t);
    }
    const double rate = FDSPSpace->iSampleRate();
    for (size_t i = 0; i < Freqs.size(); ++i) {
        // S = sum of c(t) e^(jwt) by Horner's rule from the last tap down: one rotation per tap keeps
        // a long filter cheap at many frequencies, and |e^(jw)| = 1 keeps it exact to rounding.
        const double w = kTwoPi * Freqs[i] / rate;
        const double zr = std::cos(w), zi = std::sin(w);
        double re = 0.0, im = 0.0;
        for (int32_t t = taps - 1; t >= 0; --t) {
            const double r = re * zr - im * zi + coefs[static_cast<size_t>(t)];
            im = re * zi + im * zr;
            re = r;
        }
        const Complex S{re, im};
        GrafLinIn[i] = magnitudeOf(S);
        GrafPhin[i] = phaseOf(S);
    }
}

void TFIR::UnwrapAboutLatency(std::span<const Complex> S, std::span<double> Mg, std::span<double> Ph,
                              bool dB) {
    // The latency's linear phase is taken out before unwrapping and put back after it, so only the
    // filter's own phase is unwrapped; jumps are detected across the +-90 degree bands.
    const int32_t P = FDSPSpace->NRealFreqPoints();
    const double tau = SamplesLatency() * kTwoPi / FDSPSpace->iSampleRate();
    double offset = 0.0;
    double previous = 0.0;
    for (int32_t a = 0; a < P; ++a) {
        const auto i = static_cast<size_t>(a);
        const double m = magnitudeOf(S[i]);
        if (dB) {
            Mg[i] = dBOrZero(m, 0.05);
        } else {
            Mg[i] = (m > 0.999 && m < 1.001) ? 1.0 : m;
        }
        const double lambda = tau * FDSPSpace->FreqDraw[i];
        const double e = WrapDegrees180((phaseOf(S[i]) + lambda) * 57.29577951308232);
        if (a > 0) {
            if (previous > 90.0 && e < -90.0) {
                offset += 360.0;
            } else if (previous < -90.0 && e > 90.0) {
                offset -= 360.0;
            }
        }
        Ph[i] = (e + offset) * 0.017453292519943295 - lambda;
        previous = e;
    }
}

void TFIR::CalcResponseLinealUnWrapped(std::span<double> GrafLinIn, std::span<double> GrafPhin) {
    checkOutput(std::min(GrafLinIn.size(), GrafPhin.size()), FDSPSpace->NRealFreqPoints());
    std::vector<Complex> S;
    EvaluateSums(S);
    UnwrapAboutLatency(S, GrafLinIn, GrafPhin, false);
}

void TFIR::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) {
    checkOutput(std::min(GrafdBin.size(), GrafPhin.size()), FDSPSpace->NRealFreqPoints());
    std::vector<Complex> S;
    EvaluateSums(S);
    UnwrapAboutLatency(S, GrafdBin, GrafPhin, true);
}

void TFIR::CalcResponseComplex(std::span<Complex> Graf) {
    const int32_t P = FDSPSpace->NRealFreqPoints();
    checkOutput(Graf.size(), P);
    std::vector<Complex> S;
    EvaluateSums(S);
    for (int32_t a = 0; a < P; ++a) {
        const auto i = static_cast<size_t>(a);
        Graf[i] = Complex{S[i].Re, -S[i].Im};
    }
}

double TFIR::CalculaHw_ph_FIR_pto(int32_t punto) const {
    const double w = At(FDSPSpace->Hwdibu, punto);
    Complex sum{};
    for (int32_t t = 0; t < FNCoef; ++t) {
        const double c = Coef(t);
        sum.Re += c * std::cos(w * t);
        sum.Im += c * std::sin(w * t);
    }
    return dBOrZero(magnitudeOf(sum), 0.001);
}

} // namespace vendrel
