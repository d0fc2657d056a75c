#include "dsp/biquad.h"

#include "dsp/complex.h"
#include "dsp/peqs.h"
#include "platform/core/numeric.h"

#include <cmath>

namespace vendrel {

namespace {

// Rounds to a number of decimals given by its multiplier (10^decimals), halves to even.
double quantise(double x, int32_t multiplier) {
    return static_cast<double>(RoundHalfEven<int64_t>(x * multiplier)) / static_cast<double>(multiplier);
}

// Shelf steepness from a slope S (0.5, or the section's Q).
double betaFromSlope(double A, double S) {
    const double t = (A * A + 1.0) / S - (A - 1.0) * (A - 1.0);
    return t < 0.1 ? 0.1 : std::sqrt(t);
}

} // namespace

TSOS::TSOS(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    FParent = nullptr;
    Slew = 0.05;
    MaxGain = 15.0;
    MinGain = -15.0;
    MaxQ = 20.0;
    MinQ = 0.1;
    Reset();
}

void TSOS::Reset() {
    FilterType = TPeqType::FPARAMETRICOQA;
    SetQ(0.7);
    FGain = 0.0;
    FFrequency = 1000;
    setBypass();
    Active = false;
    CalcFilter();
}

void TSOS::setBypass() {
    b0 = 1.0;
    b1 = 0.0;
    b2 = 0.0;
    a1 = 0.0;
    a2 = 0.0;
}

void TSOS::SetFrequency(int32_t value) {
    if (value == FFrequency) {
        return;
    }
    if (value > FDSPSpace->FrequencyMaxValue()) {
        value = FDSPSpace->FrequencyMaxValue();
    }
    if (value < FDSPSpace->FrequencyMinValue()) {
        value = FDSPSpace->FrequencyMinValue();
    }
    FFrequency = value;
}

void TSOS::SetGain(double value) {
    if (value == FGain) {
        return;
    }
    double g = quantise(value, FDSPSpace->FilterGainPrecisionMultiplier());
    if (g > MaxGain) {
        g = MaxGain;
    }
    if (g < MinGain) {
        g = MinGain;
    }
    FGain = g;
}

void TSOS::SetQ(double value) {
    if (value == FQ) {
        return;
    }
    double q = quantise(value, FDSPSpace->FilterQPrecisionMultiplier());
    if (q > MaxQ) {
        q = MaxQ;
    }
    if (q < MinQ) {
        q = MinQ;
    }
    FQ = q;
}

double TSOS::BandwidthOct() const {
    double q;
    if (FilterType == TPeqType::FPARAMETRICOQA) {
        q = FQ;
    } else if (FilterType == TPeqType::FPARAMETRICOQC) {
        q = FQ / (Pow10(std::fabs(FGain) / 20.0) / 2.0);
    } else {
        return -1.0;
    }
    const double q2 = q * q;
    const double inv = 1.0 / q2 + 2.0;
    const double y = (2.0 * q2 + 1.0) / (2.0 * q2) + std::sqrt(inv * inv / 4.0 - 1.0);
    return std::log10(y) / 0.301029995663981;
}

void TSOS::SetBandwidthOct(double value) {
    const double r = std::pow(2.0, value);
    if (FilterType == TPeqType::FPARAMETRICOQA) {
        SetQ(std::pow(2.0, value / 2.0) / (r - 1.0));
    } else if (FilterType == TPeqType::FPARAMETRICOQC) {
        SetQ((std::sqrt(r) / (r - 1.0)) * (Pow10(std::fabs(FGain) / 20.0) / 2.0));
    }
}

void TSOS::SetCustomCoef(double ca0, double ca1, double ca2, double cb0, double cb1, double cb2) {
    Fa0_Custom = ca0;
    Fa1_Custom = ca1;
    Fa2_Custom = ca2;
    Fb0_Custom = cb0;
    Fb1_Custom = cb1;
    Fb2_Custom = cb2;
}

void TSOS::lowShelf(double A, double w, double beta) {
    const double s = std::sin(w);
    const double c = std::cos(w);
    const double a0 = (A + 1.0) + (A - 1.0) * c + beta * s;
    b0 = A * ((A + 1.0) - (A - 1.0) * c + beta * s) / a0;
    b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c) / a0;
    b2 = A * ((A + 1.0) - (A - 1.0) * c - beta * s) / a0;
    a1 = 2.0 * ((A - 1.0) + (A + 1.0) * c) / a0;
    a2 = -((A + 1.0) + (A - 1.0) * c - beta * s) / a0;
}

void TSOS::highShelf(double A, double w, double beta) {
    const double s = std::sin(w);
    const double c = std::cos(w);
    const double a0 = (A + 1.0) - (A - 1.0) * c + beta * s;
    b0 = A * ((A + 1.0) + (A - 1.0) * c + beta * s) / a0;
    b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c) / a0;
    b2 = A * ((A + 1.0) + (A - 1.0) * c - beta * s) / a0;
    a1 = -2.0 * ((A - 1.0) - (A + 1.0) * c) / a0;
    a2 = -((A + 1.0) - (A - 1.0) * c - beta * s) / a0;
}

void TSOS::CalcFilter() {
    if (!Active || (FParent != nullptr && !FParent->Active())) {
        setBypass();
        return;
    }
    const double f = static_cast<double>(FFrequency);
    const double fs = static_cast<double>(FDSPSpace->iSampleRate());
    const double G = FGain;
    const double A = Pow10(G / 40.0);
    const double w = kTwoPi * f / fs;
    const double s = std::sin(w);
    const double c = std::cos(w);
    // The shelves "12" are designed at sqrt(2) times their frequency: 8.885765876316738 = 2*pi*sqrt(2).
    const double wRoot2 = 8.885765876316738 * f / fs;

    switch (FilterType) {
    case TPeqType::FBYPASS:
        setBypass();
        return;
    case TPeqType::FPARAMETRICOQA: {
        const double alpha = s / (2.0 * FQ);
        const double d = 1.0 + alpha / A;
        b0 = (1.0 + alpha * A) / d;
        b1 = -2.0 * c / d;
        b2 = (1.0 - alpha * A) / d;
        a1 = 2.0 * c / d;
        a2 = -(1.0 - alpha / A) / d;
        return;
    }
    case TPeqType::FPARAMETRICOQC: {
        // A section at exactly 12000 Hz is designed at 12000.5 Hz (37700.68263940431 = pi * 12000.5).
        const double K =
            FFrequency == 12000 ? 1.0 / std::tan(37700.68263940431 / fs) : 1.0 / std::tan(kPi * f / fs);
        double V1;
        double V2;
        if (G >= 0.0) {
            V1 = Pow10(G / 20.0);
            V2 = 1.0;
        } else {
            V1 = 1.0;
            V2 = Pow10(-G / 20.0);
        }
        const double u = V1 / FQ;
        const double v = V2 / FQ;
        const double D = 1.0 + v * K + K * K;
        b0 = (1.0 + u * K + K * K) / D;
        b1 = 2.0 * (1.0 - K * K) / D;
        b2 = (1.0 - u * K + K * K) / D;
        a1 = -2.0 * (1.0 - K * K) / D;
        a2 = -(1.0 - v * K + K * K) / D;
        return;
    }
    case TPeqType::FSHELVINGPB6:
        lowShelf(A, w, betaFromSlope(A, 0.5));
        return;
    case TPeqType::FSHELVINGPA6:
        highShelf(A, w, betaFromSlope(A, 0.5));
        return;
    case TPeqType::FSHELVINGPB12:
        lowShelf(A, wRoot2, std::sqrt(A) / 0.7);
        return;
    case TPeqType::FSHELVINGPA12:
        highShelf(A, wRoot2, std::sqrt(A) / 0.7);
        return;
    case TPeqType::FSHELVINGPB12Q:
        lowShelf(A, w, betaFromSlope(A, FQ));
        return;
    case TPeqType::FSHELVINGPA12Q:
        highShelf(A, w, betaFromSlope(A, FQ));
        return;
    case TPeqType::FSHELVINGPB12STD:
        lowShelf(A, w, std::sqrt(A) / 0.7);
        return;
    case TPeqType::FSHELVINGPA12STD:
        highShelf(A, w, std::sqrt(A) / 0.7);
        return;
    case TPeqType::FPASOBAJO:
    case TPeqType::FPASOALTO: {
        const double r = std::sqrt(2.0);
        const double d = 2.0 + r * s;
        b0 = (FilterType == TPeqType::FPASOBAJO ? 1.0 - c : 1.0 + c) / d;
        b1 = FilterType == TPeqType::FPASOBAJO ? 2.0 * b0 : -2.0 * b0;
        b2 = b0;
        a1 = 4.0 * c / d;
        a2 = -(2.0 - r * s) / d;
        FGain = 0.0;
        return;
    }
    case TPeqType::FPASOBAJOQ:
    case TPeqType::FPASOALTOQ: {
        const double alpha = s / (2.0 * FQ);
        const double d = 2.0 * (1.0 + alpha);
        b0 = (FilterType == TPeqType::FPASOBAJOQ ? 1.0 - c : 1.0 + c) / d;
        b1 = FilterType == TPeqType::FPASOBAJOQ ? 2.0 * b0 : -2.0 * b0;
        b2 = b0;
        a1 = 4.0 * c / d;
        a2 = -2.0 * (1.0 - alpha) / d;
        FGain = 0.0;
        return;
    }
    case TPeqType::FPASOBANDA:
    case TPeqType::FELIMINABANDA: {
        double q = FQ;
        if (q < 1.0) {
            q = 1.0;
        }
        if (q < 2.0 * f / fs) {
            q = 2.0 * f / fs;
        }
        const double beta = 1.0 / (1.0 + std::tan(w / q / 2.0));
        if (FilterType == TPeqType::FPASOBANDA) {
            const double g = Pow10(G / 20.0);
            b0 = (1.0 - beta) * g;
            b1 = 0.0;
            b2 = -(1.0 - beta) * g;
        } else {
            b0 = beta;
            b1 = -2.0 * beta * std::cos(w);
            b2 = beta;
        }
        a1 = 2.0 * beta * std::cos(w);
        a2 = -(2.0 * beta - 1.0);
        return;
    }
    case TPeqType::FBYPASS180: {
        const double K = 1.0 / std::tan(kPi * f / fs);
        b0 = (1.0 - K) / (1.0 + K);
        b1 = (1.0 + K) / (1.0 + K);
        b2 = 0.0;
        a1 = -(1.0 - K) / (1.0 + K);
        a2 = 0.0;
        FGain = 0.0;
        return;
    }
    case TPeqType::FBYPASS360: {
        const double K = 1.0 / std::tan(kPi * f / fs);
        const double D = 1.0 + K / FQ + K * K;
        b0 = (1.0 - K / FQ + K * K) / D;
        b1 = 2.0 * (1.0 - K * K) / D;
        b2 = (1.0 + K / FQ + K * K) / D;
        a1 = -2.0 * (1.0 - K * K) / D;
        a2 = -(1.0 - K / FQ + K * K) / D;
        FGain = 0.0;
        return;
    }
    case TPeqType::FCoefIIR:
        b0 = Fb0_Custom / Fa0_Custom;
        b1 = Fb1_Custom / Fa0_Custom;
        b2 = Fb2_Custom / Fa0_Custom;
        a1 = Fa1_Custom / Fa0_Custom;
        a2 = Fa2_Custom / Fa0_Custom;
        return;
    }
}

void TSOS::CalcFirstOrderLowPass() {
    const double w = kTwoPi * static_cast<double>(FFrequency) / static_cast<double>(FDSPSpace->iSampleRate());
    const double t = std::tan(w / 2.0);
    const double p = (1.0 - t) / (1.0 + t);
    b0 = (1.0 - p) / 2.0;
    b1 = b0;
    b2 = 0.0;
    a1 = p;
    a2 = 0.0;
    FGain = 0.0;
}

void TSOS::CalcFirstOrderHighPass() {
    const double w = kTwoPi * static_cast<double>(FFrequency) / static_cast<double>(FDSPSpace->iSampleRate());
    const double t = std::tan(w / 2.0);
    const double p = (1.0 - t) / (1.0 + t);
    b0 = (1.0 + p) / 2.0;
    b1 = -(1.0 + p) / 2.0;
    b2 = 0.0;
    a1 = p;
    a2 = 0.0;
    FGain = 0.0;
}

Complex TSOS::ResponseAt(size_t i) const {
    const Complex z = At(FDSPSpace->Hwz, static_cast<int64_t>(i));
    Complex num{b2 * z.Re + b1, b2 * z.Im};
    ComplexMul(num, z, num);
    num.Re += b0;
    Complex den{-a2 * z.Re - a1, -a2 * z.Im};
    ComplexMul(den, z, den);
    den.Re += 1.0;
    Complex H;
    ComplexDiv(num, den, H);
    return H;
}

void TSOS::CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    const size_t n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    if (GrafdBin.size() < n || GrafPhin.size() < n) {
        throw ERangeError();
    }
    for (size_t i = 0; i < n; ++i) {
        GrafdBin[i] = 0.0;
        GrafPhin[i] = 0.0;
    }
    for (size_t i = 0; i < n; ++i) {
        const Complex H = ResponseAt(i);
        double m = ComplexAbs(H);
        if (m == 0.0) {
            m = 1e-11;
        }
        double dB = 20.0 * std::log10(m);
        if (std::fabs(dB) < 0.001) {
            dB = 0.0;
        }
        GrafdBin[i] = dB;
        GrafPhin[i] = PhaseOf(H.Re, H.Im);
    }
}

void TSOS::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CalcResponse(GrafdBin, GrafPhin);
}

void TSOS::CalcResponseComplex(std::span<Complex> Graf) const {
    const size_t n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    if (Graf.size() < n) {
        throw ERangeError();
    }
    for (size_t i = 0; i < n; ++i) {
        Graf[i] = ResponseAt(i);
    }
}

} // namespace vendrel
