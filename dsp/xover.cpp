#include "dsp/xover.h"

#include "dsp/peqs.h"
#include "platform/core/numeric.h"

#include <array>
#include <cmath>

namespace vendrel {

namespace {

struct BesselFactor {
    double b; // coefficient of s^2 (0 for the real pole)
    double a; // coefficient of s
};

// Factors 1 + a s + b s^2 of the -3 dB-normalised Bessel low-passes of orders 1 to 8, one table;
// odd orders start with their real pole. Entry 0 is unused so that the start indices read 1-based.
constexpr std::array<BesselFactor, 21> kBesselFactors = {{
    {0, 0},           {0, 1.0},         {0.618, 1.3617},  {0, 0.756},       {0.4772, 0.9996},
    {0.4889, 1.3397}, {0.389, 0.7743},  {0, 0.6656},      {0.4128, 1.1402}, {0.3245, 0.6216},
    {0.3887, 1.2217}, {0.3505, 0.9686}, {0.2756, 0.5131}, {0, 0.5937},      {0.3395, 1.0944},
    {0.3011, 0.8304}, {0.2381, 0.4332}, {0.3162, 1.1112}, {0.2979, 0.9754}, {0.2621, 0.7202},
    {0.2087, 0.3728},
}};
// By order 1 .. 8 (index 0 unused): first table entry, low-pass cut-off cap, real-pole factor.
constexpr std::array<int32_t, 9> kBesselStart = {0, 1, 2, 3, 5, 7, 10, 13, 17};
constexpr std::array<int32_t, 9> kBesselCap = {0, 20000, 18800, 16500, 14900, 13650, 12550, 11650, 10900};
constexpr std::array<double, 9> kBesselFirstOrder = {0, 1.0, 0, 1.323, 0, 1.502, 0, 1.684, 0};

struct Coefs {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

Coefs coefsOf(const TSOS& s) {
    return Coefs{s.b0, s.b1, s.b2, s.a1, s.a2};
}

void setCoefs(TSOS& s, const Coefs& c) {
    s.b0 = c.b0;
    s.b1 = c.b1;
    s.b2 = c.b2;
    s.a1 = c.a1;
    s.a2 = c.a2;
}

} // namespace

TXoverIIR::TXoverIIR(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    FMaxOrder = 8;
    for (int32_t i = 0; i < FMaxOrder; ++i) {
        XSOS.push_back(std::make_unique<TSOS>(FDSPSpace));
    }
    Reset();
}

void TXoverIIR::Reset() {
    for (auto& s : XSOS) {
        s->Reset();
    }
    FFrequencyCut = 1000;
    FOrder = 2;
    Active = false;
    allBypassActive();
    SetXoverType(TXoverType::XLRiley);
}

void TXoverIIR::allBypassActive() {
    for (auto& s : XSOS) {
        s->Active = true;
        setCoefs(*s, Coefs{});
    }
}

void TXoverIIR::SetMaxOrder(int32_t value) {
    if (value < 0) {
        throw ERangeError();
    }
    XSOS.clear();
    FMaxOrder = value;
    for (int32_t i = 0; i < value; ++i) {
        XSOS.push_back(std::make_unique<TSOS>(FDSPSpace));
    }
}

void TXoverIIR::SetFrequencyCut(int32_t value) {
    if (value == FFrequencyCut) {
        return;
    }
    if (value > FDSPSpace->FrequencyMaxValue()) {
        value = FDSPSpace->FrequencyMaxValue();
    }
    if (value < FDSPSpace->FrequencyMinValue()) {
        value = FDSPSpace->FrequencyMinValue();
    }
    FFrequencyCut = value;
}

void TXoverIIR::SetOrder(int32_t value) {
    if (value == FOrder) {
        return;
    }
    if (value < 1) {
        value = 1;
    }
    if (FXoverType == TXoverType::XLRiley && value % 2 != 0) {
        ++value;
    }
    if (value > FMaxOrder) {
        value = FMaxOrder;
    }
    FOrder = value;
}

void TXoverIIR::SetXoverType(TXoverType value) {
    if (value == FXoverType) {
        return;
    }
    if (FOrder < 1) {
        FOrder = 1;
    }
    if (value == TXoverType::XLRiley && FOrder % 2 != 0) {
        ++FOrder;
    }
    if (FOrder > FMaxOrder) {
        FOrder = FMaxOrder;
    }
    FXoverType = value;
}

std::string TXoverIIR::TypeShortString() const {
    switch (FXoverType) {
    case TXoverType::XButtw:
        return "Butterw";
    case TXoverType::XLRiley:
        return "L-Riley";
    case TXoverType::XBessel:
        return "Bessel";
    }
    return "";
}

std::string TXoverIIR::TypeLongString() const {
    switch (FXoverType) {
    case TXoverType::XButtw:
        return "Butterworth";
    case TXoverType::XLRiley:
        return "Linkwitz Riley";
    case TXoverType::XBessel:
        return "Bessel";
    }
    return "";
}

void TXoverIIR::CalcXover() {
    if (!Active) {
        allBypassActive();
        return;
    }
    switch (FXoverType) {
    case TXoverType::XButtw:
        designButterworth();
        return;
    case TXoverType::XLRiley:
        designLinkwitzRiley();
        return;
    case TXoverType::XBessel:
        designBessel();
        return;
    }
}

// Bilinear transform with prewarping; the sections are written from index 1 on.
void TXoverIIR::designButterworth() {
    allBypassActive();
    const double w =
        kTwoPi * static_cast<double>(FFrequencyCut) / static_cast<double>(FDSPSpace->iSampleRate());
    const bool low = LpHp == TXoverHPLP::xhlLowPass;
    const double K = low ? std::tan(w / 2.0) : 1.0 / std::tan(w / 2.0);
    const double sigma = low ? 1.0 : -1.0;
    const int32_t N = FOrder;
    const int32_t r = N % 2;
    const int32_t P = (N - r) / 2;
    int64_t index = 1;
    if (r == 1) {
        TSOS& s = *At(XSOS, index++);
        s.b0 = K / (K + 1.0);
        s.b1 = sigma * s.b0;
        s.b2 = 0.0;
        s.a1 = -sigma * (K - 1.0) / (K + 1.0);
        s.a2 = 0.0;
        s.SetFrequency(FFrequencyCut);
    }
    for (int32_t k = 1; k <= P; ++k) {
        TSOS& s = *At(XSOS, index++);
        const double theta = kPi * static_cast<double>(N - 1 + 2 * k) / static_cast<double>(2 * N);
        const double D = 1.0 - 2.0 * K * std::cos(theta) + K * K;
        s.b0 = K * K / D;
        s.b1 = 2.0 * sigma * s.b0;
        s.b2 = s.b0;
        s.a1 = -2.0 * sigma * (K * K - 1.0) / D;
        s.a2 = -(1.0 + 2.0 * K * std::cos(theta) + K * K) / D;
        s.SetFrequency(FFrequencyCut);
    }
}

// The Butterworth design of half the order, applied twice.
void TXoverIIR::designLinkwitzRiley() {
    std::vector<Coefs> work(static_cast<size_t>(FMaxOrder));
    if (FOrder == 3 || FOrder == 5 || FOrder == 7) {
        ++FOrder;
    }
    const int32_t N = FOrder;
    if (N == 2) {
        FOrder = 1;
        designButterworth();
        FOrder = N;
        At(work, 0) = coefsOf(*At(XSOS, 1));
        At(work, 1) = coefsOf(*At(XSOS, 1));
    } else {
        FOrder = RoundHalfEven<int32_t>(N / 2.0);
        designButterworth();
        FOrder = N;
        const Coefs second = coefsOf(*At(XSOS, 1));
        const Coefs third = coefsOf(*At(XSOS, 2));
        At(work, 0) = second;
        At(work, 1) = third;
        At(work, 2) = second;
        At(work, 3) = third;
    }
    const int32_t half = FMaxOrder / 2;
    for (int32_t i = 0; i < half; ++i) {
        setCoefs(*At(XSOS, i), At(work, i));
    }
    if (N == 4) {
        setCoefs(*At(XSOS, 1), At(work, 2));
        for (int32_t i = 2; i < half; ++i) {
            setCoefs(*At(XSOS, i), Coefs{});
        }
    }
}

void TXoverIIR::designBessel() {
    allBypassActive();
    const bool low = LpHp == TXoverHPLP::xhlLowPass;
    const int32_t N = FOrder;
    if (N < 1) {
        throw ERangeError();
    }
    if (low && FFrequencyCut > At(kBesselCap, N)) {
        SetFrequencyCut(At(kBesselCap, N));
    }
    const double fc = static_cast<double>(FFrequencyCut);
    int32_t entry = At(kBesselStart, N);
    int64_t index = 1;
    if (N % 2 == 1) {
        const double p = At(kBesselFirstOrder, N);
        TSOS& s = *At(XSOS, index++);
        if (low) {
            s.SetFrequency(RoundHalfEven<int32_t>(fc * p));
            s.CalcFirstOrderLowPass();
        } else {
            s.SetFrequency(RoundHalfEven<int32_t>(fc / p));
            s.CalcFirstOrderHighPass();
        }
        ++entry;
    }
    for (int32_t k = 0; k < N / 2; ++k) {
        const BesselFactor& f = At(kBesselFactors, entry++);
        TSOS& s = *At(XSOS, index++);
        const double root = std::sqrt(f.b);
        if (low) {
            s.SetFrequency(RoundHalfEven<int32_t>(fc / root));
            s.SetQ(root / f.a);
            s.FilterType = TPeqType::FPASOBAJOQ;
        } else {
            s.SetFrequency(RoundHalfEven<int32_t>(fc * root));
            s.SetQ(root / f.a);
            s.FilterType = TPeqType::FPASOALTOQ;
        }
        s.CalcFilter();
    }
}

void TXoverIIR::CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CascadeResponse(XSOS, *FDSPSpace, GrafdBin, GrafPhin, false);
}

void TXoverIIR::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CascadeResponseUnWrapped(XSOS, *FDSPSpace, GrafdBin, GrafPhin);
}

void TXoverIIR::CalcResponseComplex(std::span<Complex> Graf) const {
    CascadeResponseComplex(XSOS, *FDSPSpace, Graf);
}

} // namespace vendrel
