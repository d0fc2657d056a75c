// The FIR filter object: construction, reset, setters, window tables, latency and the design driver.

#include "dsp/fir.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale>

#include "dsp/aplanator.h"
#include "dsp/complex.h"
#include "dsp/measure_system.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// log10 of a frequency as the band spreading takes it: of the value in single precision, kept in
// single precision.
double logSingle(int32_t hz) {
    return static_cast<float>(std::log10(static_cast<double>(static_cast<float>(hz))));
}

// 10 x Trunc(10^x / 10): a spread frequency cut down to a multiple of 10 Hz.
int32_t spreadFrequency(double x) {
    return 10 * Trunc<int32_t>(Pow10(x) / 10.0);
}

} // namespace

TFIR::TFIR(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    // The shaping sections and phase points live on a 96 kHz grid with the caller's points, so that
    // their designs stay valid up to the top of any caller grid.
    FDSPSpaceInternal96 = std::make_unique<TDSPSpace>();
    FDSPSpaceInternal96->SetSampleRate(TSampleRate::sr96k);
    FDSPSpaceInternal96->CustomLogspace(FDSPSpace->FreqDraw);
    Active = false;
    FFirType = TFIRType::qztfFCustom;
    PeqMg = std::make_unique<TPeqs>(FDSPSpaceInternal96.get());
    FMgPoints = 10;
    XoverHpMg = std::make_unique<TXoverIIR>(FDSPSpaceInternal96.get());
    XoverHpMg->LpHp = TXoverHPLP::xhlHighPass;
    XoverHpMg->SetFrequencyCut(1000);
    fc1 = 1000;
    XoverLpMg = std::make_unique<TXoverIIR>(FDSPSpaceInternal96.get());
    XoverLpMg->LpHp = TXoverHPLP::xhlLowPass;
    XoverLpMg->SetFrequencyCut(5000);
    fc2 = 5000;
    SetPhPoints(10);
    FphSegments = 10;
    FKBAlpha = 1.0;
    FNMinTaps = 20;
    SetMaxTaps(255);
    SetFixedLatency(RoundHalfEven<int32_t>(FNMaxTaps / 2.0));
    Calculando = false;
    FAplanator.reset();
    Reset();
}

TFIR::~TFIR() = default;

void TFIR::Reset() {
    SetFirType(TFIRType::qztfFCustom);
    fc1 = 1000;
    fc2 = 5000;
    hplp = 0;
    Active = false;
    ResetMagnitude();
    ResetPhasePoints();
    if (FAplanator) {
        FAplanator->Reset();
    }
    MeasureData = nullptr;
    FInfluenceMgLevel = -20.0;
    FInfluenceAutoXover = -6.0;
    FAutoEqXover = false;
    FCalMinMg = 1.0;
    FCalMinPh = 10.0;
    FRefPhBypass = true;
    FRefMgBypass = true;
    FUseAllTaps = true;
    FNCoef = FNMaxTaps;
    FFixedLatency = RoundHalfEven<int32_t>(FNMaxTaps / 2.0);
    std::fill(FReferenceMg.begin(), FReferenceMg.end(), 1.0);
    std::fill(FReferencePh.begin(), FReferencePh.end(), 0.0);
    ResetExtenalCoef();
    FKBAlpha = 1.0;
    CalcWindows();
    CalcFir(true, true);
}

void TFIR::CalcUsableBand() {
    const double sr = FDSPSpace->iSampleRate();
    FMinUsableFreq = Trunc<int32_t>(9.42477796076938 / (2.0 * FNCoef + 1.0) * sr) + 1;
    FMinUsablePhFreq = Trunc<int32_t>(FMinUsableFreq / 2.0);
}

void TFIR::ResetMagnitude() {
    PeqMg->Reset();
    XoverHpMg->Reset();
    XoverLpMg->Reset();
    CalcUsableBand();
    ResetPeqs();
    XoverHpMg->SetFrequencyCut(FMinUsableFreq);
    const int32_t last = PeqMg->Peqs.back()->Frequency();
    XoverLpMg->SetFrequencyCut(last + 10 * Trunc<int32_t>((FDSPSpace->FrequencyMaxValue() - last) / 20.0));
}

void TFIR::ResetPeqs() {
    PeqMg->Reset();
    CalcUsableBand();
    const double a = logSingle(FMinUsableFreq);
    const double b = logSingle(FDSPSpace->FrequencyMaxValue());
    const int32_t n = PeqMg->NPeqs();
    const double step = (b - a) / (n + 1);
    for (int32_t i = 0; i < n; ++i) {
        auto& section = *At(PeqMg->Peqs, i);
        section.Reset();
        section.SetFrequency(spreadFrequency(a + step * (i + 1)));
    }
    CalcFir(true, true);
}

void TFIR::ResetPhasePoints() {
    CalcUsableBand();
    const double a = logSingle(FMinUsableFreq);
    const double b = logSingle(FDSPSpace->FrequencyMaxValue());
    const double step = (b - a) / (FPhPoints + 2);
    for (int32_t i = 0; i < FPhPoints; ++i) {
        auto& point = *At(PhasePoints, i);
        point.SetActive(false);
        point.CalcPoint();
        point.SetFrequency(spreadFrequency(a + step * (i + 2)));
        point.SetDegrees(0.0);
    }
}

void TFIR::ResetPhase() {
    ResetPhasePoints();
    FRefPhBypass = true;
    CalcFir(true, true);
}

void TFIR::ResetCoef() {
    std::fill(FCoef.begin(), FCoef.end(), 0.0);
    if (!FCoef.empty()) {
        FCoef[0] = 1.0;
    }
    FLatency = 0.0;
}

void TFIR::ResetExtenalCoef() {
    if (FExternalCoef.empty()) {
        FExternalCoef.resize(1);
    }
    std::fill(FExternalCoef.begin(), FExternalCoef.end(), 0.0);
    FExternalCoef[0] = 1.0;
    FNExternalCoef = 1;
    FExternalLatency = 0.0;
}

void TFIR::FillCustomLatencyHanning() {
    // A Hanning window centred on the chosen latency, reaching zero NCoef - L taps after it.
    FHanning_Window_CustomLatency.resize(static_cast<size_t>(FNMaxTaps));
    const double L = FFixedLatency;
    const double span = 2.0 * (FNCoef - L);
    for (int32_t i = 0; i < FNMaxTaps; ++i) {
        FHanning_Window_CustomLatency[static_cast<size_t>(i)] = 0.5 + 0.5 * std::cos(kTwoPi * (i - L) / span);
    }
}

void TFIR::SetMaxTaps(int32_t V) {
    if (V == FNMaxTaps) {
        return;
    }
    if (V < 0) {
        throw ERangeError();
    }
    if (V == 0) {
        V = 1;
    }
    FNMaxTaps = V;
    FNCoef = V;
    FFixedLatency = RoundHalfEven<int32_t>(V / 2.0);
    FillCustomLatencyHanning();
    const auto n = static_cast<size_t>(V);
    for (auto* table :
         {&FCoef, &FExternalCoef, &FReferenceMg, &FReferencePh, &FHanning_Window, &FHamming_Window,
          &FBlackman_Window, &FBlackmanHarris_Window, &FKaiserBessel_Window}) {
        table->resize(n, 0.0);
    }
    FFreqToFirRef.resize(static_cast<size_t>(FDSPSpace->FrequencyMaxValue()), 0);
    FFreqDrawFIR.resize(static_cast<size_t>(V / 2 + 1), 0);
    if (FAplanator) {
        FAplanator->BuildAplanatorCorrection();
    }
    CalcWindows();
    const bool wasActive = Active;
    Active = true;
    CalcFir(true, true);
    Active = wasActive;
}

void TFIR::FollowGrid() {
    FDSPSpaceInternal96->CustomLogspace(FDSPSpace->FreqDraw);
    if (FAplanator) {
        FAplanator->BuildAplanatorCorrection();
    }
    const bool wasActive = Active;
    Active = true;
    CalcFir(true, true);
    Active = wasActive;
}

int32_t TFIR::UseNTaps() const {
    return FFirType == TFIRType::qztfFExternCoefs ? FNExternalCoef : FNCoef;
}

void TFIR::SetUseNTaps(int32_t V) {
    // At least the minimum tap count, but never more taps than the tables hold (a filter of fewer
    // than 20 taps uses them all).
    V = std::min(std::max(V, FNMinTaps), FNMaxTaps);
    if (FFirType == TFIRType::qztfFExternCoefs) {
        FNExternalCoef = V;
        return;
    }
    if (V == FNCoef) {
        return;
    }
    FNCoef = V;
    SetFixedLatency(RoundHalfEven<int32_t>(V / 2.0));
    CalcWindows();
    CalcFir(true, true);
}

void TFIR::SetUseAllTaps(bool V) {
    if (V == FUseAllTaps) {
        return;
    }
    FUseAllTaps = V;
    if (V) {
        if (UseNTaps() != FNMaxTaps) {
            SetFixedLatency(RoundHalfEven<int32_t>(FNMaxTaps / 2.0));
        }
        SetUseNTaps(FNMaxTaps);
    }
}

void TFIR::SetFixedLatency(int32_t V) {
    if (V >= FNCoef) {
        V = FNCoef - 1;
    }
    if (V == FFixedLatency) {
        return;
    }
    FFixedLatency = V;
    FillCustomLatencyHanning();
    CalcFir(true, true);
}

void TFIR::SetFirType(TFIRType V) {
    if (V == FFirType) {
        return;
    }
    FFirType = V;
    CalcWindows();
    CalcFir(true, true);
}

void TFIR::SetMgPoints(int32_t V) {
    if (V == FMgPoints) {
        return;
    }
    FMgPoints = V;
    PeqMg->SetNPeqs(V);
    ResetMagnitude();
}

void TFIR::SetPhPoints(int32_t V) {
    if (V == FPhPoints) {
        return;
    }
    PhasePoints.clear();
    FPhPoints = V;
    PhasePoints.reserve(static_cast<size_t>(std::max(V, 0)));
    for (int32_t i = 0; i < V; ++i) {
        PhasePoints.push_back(std::make_unique<TFrPhPoint>(FDSPSpaceInternal96.get()));
    }
    ResetPhasePoints();
}

void TFIR::SetWithAplanator(bool V) {
    if (!V) {
        FAplanator.reset();
        return;
    }
    if (FAplanator) {
        return;
    }
    FAplanator = std::make_unique<TAplanator>(FDSPSpace);
    FAplanator->SourceCurve().SetUseUnrollAproximation(FAplanator->UseUnrollAproximation());
    FAplanator->FExternalFIR = this;
}

void TFIR::SetAplanator(std::unique_ptr<TAplanator> V) {
    FAplanator = std::move(V);
}

void TFIR::SetKBAlpha(double x) {
    if (x == FKBAlpha) {
        return;
    }
    if (x <= 0.0) {
        std::fill(FKaiserBessel_Window.begin(), FKaiserBessel_Window.end(), 1.0);
        return;
    }
    FKBAlpha = x;
    CalcKaiserWindow();
}

void TFIR::CalcWindows() {
    const int32_t N = FNCoef;
    const int32_t M = N / 2;
    CalcUsableBand();
    for (int32_t i = 0; i < N; ++i) {
        const double k = i - M;
        const auto u = static_cast<size_t>(i);
        FHanning_Window[u] = 0.5 + 0.5 * std::cos(kTwoPi * k / N);
        FHamming_Window[u] = 0.54 + 0.46 * std::cos(kTwoPi * k / N);
        if (N > 1) {
            const double d = N - 1;
            FBlackman_Window[u] =
                0.42 + 0.5 * std::cos(kTwoPi * k / d) + 0.08 * std::cos(2.0 * kTwoPi * k / d);
            FBlackmanHarris_Window[u] = 0.35875 + 0.48829 * std::cos(kTwoPi * k / d) +
                                        0.14128 * std::cos(2.0 * kTwoPi * k / d) +
                                        0.01168 * std::cos(3.0 * kTwoPi * k / d);
        } else {
            // A one-tap window has nothing to taper.
            FBlackman_Window[u] = 1.0;
            FBlackmanHarris_Window[u] = 1.0;
        }
    }
    CalcKaiserWindow();
    FillCustomLatencyHanning();

    // FIR drawing grid: M bins from 0 Hz to just below half the sample rate.
    const int32_t sr = FDSPSpace->iSampleRate();
    const double Y = Trunc<int32_t>(sr / 2.0) / static_cast<double>(M + 1);
    if (N >= 1) {
        HwzFIR.resize(static_cast<size_t>(M));
        HwdibuFIR.resize(static_cast<size_t>(M));
        for (int32_t G = 0; G < M; ++G) {
            const auto g = static_cast<size_t>(G);
            FFreqDrawFIR[g] = Trunc<int32_t>(Y * G);
            HwdibuFIR[g] = kTwoPi * Y * G / sr;
            ComplexFromPolar(Complex{0.0, -HwdibuFIR[g]}, HwzFIR[g]);
        }
        FFreqDrawFIR[0] = FDSPSpace->FrequencyMinValue();
        if (M > 0) {
            FFreqDrawFIR[static_cast<size_t>(M)] = Trunc<int32_t>(Y * (M - 1));
        }
    }

    // Hertz-to-bin table: every hertz gets the first bin at or above it.
    const int32_t fMax = FDSPSpace->FrequencyMaxValue();
    int32_t c = 0;
    int32_t stop = M;
    for (int32_t G = 0; G < M; ++G) {
        const double F = sr * HwdibuFIR[static_cast<size_t>(G)] / kTwoPi;
        int32_t h = c;
        while (h <= fMax - 1 && h <= F) {
            FFreqToFirRef[static_cast<size_t>(h)] = G;
            ++h;
        }
        if (h <= fMax - 1) {
            c = h;
        }
        if (F > fMax) {
            stop = G;
            break;
        }
    }
    for (int32_t h = c; h <= fMax - 1; ++h) {
        FFreqToFirRef[static_cast<size_t>(h)] = stop;
    }
}

void TFIR::CalcKaiserWindow() {
    // Kaiser-Bessel-derived window: the square root of the running sum of a Kaiser window of
    // N / 2 + 1 points, mirrored.
    const int32_t N = FNCoef;
    const int32_t H = N / 2;
    double s = 0.0;
    for (int32_t i = 0; i < H; ++i) {
        const double r = 4.0 * i / N - 1.0;
        s += BesselI0(kPi * FKBAlpha * std::sqrt(1.0 - r * r));
        FKaiserBessel_Window[static_cast<size_t>(i)] = s;
    }
    s += BesselI0(0.0);
    for (int32_t i = 0; i < H; ++i) {
        const auto u = static_cast<size_t>(i);
        FKaiserBessel_Window[u] = std::sqrt(FKaiserBessel_Window[u] / s);
        FKaiserBessel_Window[static_cast<size_t>(N - 1 - i)] = FKaiserBessel_Window[u];
    }
    if (N % 2 == 1) {
        FKaiserBessel_Window[static_cast<size_t>(H)] = 1.0; // the centre of an odd window is its peak
    }
    std::fill(FKaiserBessel_Window.begin() + N, FKaiserBessel_Window.end(), 0.0);
}

double TFIR::BesselI0(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    // P(y) in the nested order ((c0 y + c1) y + c2) ... + c14.
    static constexpr double kP[] = {2.10580722890567e-23, 3.80715242345326e-20, 4.794402575483e-17,
                                    4.35125971262668e-14, 3.0093112711296e-11,  1.60224679395361e-8,
                                    6.54858370096785e-6,  0.00202591084143397,  0.463076284721,
                                    75.4337328948189,     8307.92541809429,     571661.130563785,
                                    21641557.2361227,     356644482.244025,     1440482982.27235};
    const double y = x * x;
    double P = kP[0];
    for (size_t i = 1; i < std::size(kP); ++i) {
        P = P * y + kP[i];
    }
    const double Q = y * (y * (y - 3076.46912682801) + 3476263.32405882) - 1440482982.27235;
    return -P / Q;
}

void TFIR::CalcFir(bool CalcRefMg, bool CalcRefPh) {
    Calculando = true;
    if (Active) {
        switch (FFirType) {
        case TFIRType::qztfFRectangular:
        case TFIRType::qztfFHanning:
        case TFIRType::qztfFHamming:
        case TFIRType::qztfFBlackman:
        case TFIRType::qztfFBlackmanHarris:
            CalcWindowedSinc();
            break;
        case TFIRType::qztfFCustom:
            CalculaFIRCustom(CalcRefMg, CalcRefPh);
            break;
        case TFIRType::qztfFCustomLatency:
            CalculaFIRCustomLatency(CalcRefMg, CalcRefPh);
            break;
        case TFIRType::qztfFExternCoefs:
            break;
        }
    } else {
        ResetCoef();
    }
    Calculando = false;
}

void TFIR::FullCalculate() {
    for (int32_t i = 0; i < FMgPoints; ++i) {
        At(PeqMg->Peqs, i)->CalcFilter();
    }
    XoverHpMg->CalcXover();
    XoverLpMg->CalcXover();
    for (int32_t i = 0; i < FPhPoints; ++i) {
        At(PhasePoints, i)->CalcPoint();
    }
    if (FAplanator) {
        FAplanator->BuildAplanatorCorrection();
    }
    if (!Active) {
        CalcReferenceMg();
        CalcReferencePh();
    }
    CalcFir(true, true);
}

double TFIR::Coef(int32_t Tap) const {
    if (Tap >= FNMaxTaps) {
        return 0.0;
    }
    if (!Active) {
        return Tap == 0 ? 1.0 : 0.0;
    }
    return FFirType == TFIRType::qztfFExternCoefs ? At(FExternalCoef, Tap) : At(FCoef, Tap);
}

double TFIR::SamplesLatency() {
    if (!Active) {
        return 0.0;
    }
    if (FFirType != TFIRType::qztfFExternCoefs) {
        return FLatency;
    }
    int32_t best = 0;
    const int32_t n = std::min<int32_t>(FNExternalCoef, static_cast<int32_t>(FExternalCoef.size()));
    for (int32_t i = 1; i < n; ++i) {
        if (std::abs(FExternalCoef[static_cast<size_t>(i)]) >
            std::abs(FExternalCoef[static_cast<size_t>(best)])) {
            best = i;
        }
    }
    FExternalLatency = best;
    return FExternalLatency;
}

double TFIR::Latency() {
    if (!Active) {
        return 0.0;
    }
    return SamplesLatency() * 1000.0 / FDSPSpace->iSampleRate();
}

std::string TFIR::sLatency() {
    // "0.00" in the user's notation: two decimals, the locale's decimal separator.
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", Latency());
    std::string s = text;
    const char* cPoint = std::localeconv()->decimal_point;
    const char separator = std::use_facet<std::numpunct<char>>(std::locale()).decimal_point();
    const auto at = s.find(cPoint != nullptr && cPoint[0] != '\0' ? cPoint[0] : '.');
    if (at != std::string::npos) {
        s[at] = separator;
    }
    return s + " ms";
}

} // namespace vendrel
