// The phase and magnitude flattening designer: curves, working band, reference levels, the
// correction builder and the response of the correction impulse.

#include "dsp/aplanator.h"

#include <algorithm>
#include <cmath>

#include "dsp/complex.h"
#include "dsp/fir.h"
#include "dsp/parallel_for.h"
#include "dsp/smoothing.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kDegToRad = 0.017453292519943295;
// The exact double nearest 2 pi, used where the phase's mean is counted in whole turns.
constexpr double kExactTwoPi = 6.283185307179586;
// Levels of the correction impulse's response this close to 0 dB read as 0, in serial and parallel
// runs alike.
constexpr double kZeroLevelDb = 0.01;

void sizeResponse(rFrequencyResponse& r, size_t n, double mg, double ph) {
    r.Mg.assign(n, mg);
    r.Ph.assign(n, ph);
}

} // namespace

TAplanator::TAplanator(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    FSourceCurve = std::make_unique<TMeasureSystem>(DSPSpace);
    FTargetCurveMg = std::make_unique<TMeasureSystem>(DSPSpace);
    FTargetCurvePh = std::make_unique<TMeasureSystem>(DSPSpace);
    SetUseUnrollAproximation(false);
    // The crossovers work at 96 kHz on exactly the filter's frequencies, so one index serves both.
    FXoverDSPSpace = std::make_unique<TDSPSpace>();
    FXoverDSPSpace->SetSampleRate(TSampleRate::sr96k);
    FXoverDSPSpace->CustomLogspace(DSPSpace->FreqDraw);
    FXoverHP = std::make_unique<TXoverIIR>(FXoverDSPSpace.get());
    FXoverLP = std::make_unique<TXoverIIR>(FXoverDSPSpace.get());
    FMaxDecayOrder = FXoverHP->MaxOrder();
    Reset();
}

TAplanator::~TAplanator() = default;

void TAplanator::Reset() {
    FActive = false;
    ClearSourceCurve();
    SetTargetCurveTypeMg(-1);
    FTargetCurveMg->Reset();
    FTargetCurveMg->SetUseUnrollAproximation(FUseUnrollAproximation);
    FApplyTargetMg = false;
    SetTargetCurveTypePh(-1);
    FTargetCurvePh->Reset();
    FTargetCurvePh->SetUseUnrollAproximation(FUseUnrollAproximation);
    FApplyTargetPh = false;
    FCurveSmoothing = TFreqBands::fbAlluserPoints;
    SetLatencySamplesCompensation(0);
    for (auto* xover : {FXoverHP.get(), FXoverLP.get()}) {
        xover->SetXoverType(TXoverType::XButtw);
        xover->SetOrder(4);
        xover->Active = true;
    }
    FXoverHP->LpHp = TXoverHPLP::xhlHighPass;
    FXoverHP->SetFrequencyCut(80);
    FXoverLP->LpHp = TXoverHPLP::xhlLowPass;
    FXoverLP->SetFrequencyCut(18000);
    FCompensateMg = true;
    FCompensatePh = true;
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    sizeResponse(FTargetResponseLinData, n, 1.0, 0.0);
    sizeResponse(TargetResponse, n, 0.0, 0.0);
    sizeResponse(TargetImportCurveLin, n, 1.0, 0.0);
}

void TAplanator::ClearSourceCurve() {
    FSourceCurve->Reset();
    FSourceCurve->SetUseUnrollAproximation(FUseUnrollAproximation);
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    sizeResponse(SourceResponse, n, 0.0, 0.0);
    sizeResponse(TargetResponse, n, 0.0, 0.0);
    SetLatencySamplesCompensation(0);
}

void TAplanator::ClearTargertCurveMg() {
    FTargetCurveMg->Reset();
    FTargetCurveMg->SetUseUnrollAproximation(FUseUnrollAproximation);
    TargetImportCurveLin.Mg.assign(static_cast<size_t>(FDSPSpace->NRealFreqPoints()), 1.0);
    FApplyTargetMg = false;
}

void TAplanator::ClearTargertCurvePh() {
    FTargetCurvePh->Reset();
    FTargetCurvePh->SetUseUnrollAproximation(FUseUnrollAproximation);
    TargetImportCurveLin.Ph.assign(static_cast<size_t>(FDSPSpace->NRealFreqPoints()), 0.0);
    FApplyTargetPh = false;
}

void TAplanator::SetTargetCurveTypeMg(int32_t Value) {
    if (Value == FTargetCurveTypeMg) {
        return;
    }
    FTargetCurveTypeMg = Value;
    FTargetCurveMg->Reset();
    if (Value == -1) {
        FApplyTargetMg = false;
        std::fill(TargetImportCurveLin.Mg.begin(), TargetImportCurveLin.Mg.end(), 1.0);
    } else {
        FApplyTargetMg = true;
    }
}

void TAplanator::SetTargetCurveTypePh(int32_t Value) {
    if (Value == FTargetCurveTypePh) {
        return;
    }
    FTargetCurveTypePh = Value;
    FTargetCurvePh->Reset();
    if (Value == -1) {
        FApplyTargetPh = false;
        std::fill(TargetImportCurveLin.Ph.begin(), TargetImportCurveLin.Ph.end(), 0.0);
    } else {
        FApplyTargetPh = true;
    }
}

void TAplanator::SetUseUnrollAproximation(bool Value) {
    FUseUnrollAproximation = Value;
    for (auto* curve : {FSourceCurve.get(), FTargetCurveMg.get(), FTargetCurvePh.get()}) {
        curve->SetUseUnrollAproximation(Value);
    }
}

void TAplanator::SetMaxDecayOrder(int32_t Value) {
    if (Value == FMaxDecayOrder) {
        return;
    }
    FMaxDecayOrder = Value;
    FXoverHP->SetMaxOrder(Value);
    FXoverLP->SetMaxOrder(Value);
}

void TAplanator::SetSourceRefLevel(int32_t Value) {
    FSourceCurve->SetReferenceSpl(Value);
    SourceResponse.Mg = FSourceCurve->ResponseMgdB;
}

void TAplanator::SetTargetRefLevel(int32_t Value) {
    FTargetCurveMg->SetReferenceSpl(Value);
    const int32_t n = FDSPSpace->NRealFreqPoints();
    for (int32_t i = 0; i < n; ++i) {
        At(TargetImportCurveLin.Mg, i) = TDSPSpace::dBToLin(At(FTargetCurveMg->ResponseMgdB, i));
    }
}

const std::vector<double>& TAplanator::sourcePhase(bool referenced) const {
    if (FSourceCurve->UseUnrollAproximation()) {
        return FSourceCurve->ResponsePhRadUnWrap;
    }
    return referenced ? FSourceCurve->ResponsePhRad : FSourceCurve->FResponsePhRad;
}

double TAplanator::latencyPhase(int32_t i) const {
    // Adding 2 pi f L / fs takes a delay of L samples out of a phase.
    return LatencySamplesCompensation() * kTwoPi * FDSPSpace->FreqDraw[static_cast<size_t>(i)] /
           FDSPSpace->iSampleRate();
}

void TAplanator::CompensateLatency() {
    const std::vector<double>& p = sourcePhase(false);
    const int32_t n = FDSPSpace->NRealFreqPoints();
    SourceResponse.Ph.resize(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        SourceResponse.Ph[static_cast<size_t>(i)] = At(p, i) + latencyPhase(i);
    }
}

void TAplanator::CalculateWorkingBand() {
    const std::vector<double>& level = FSourceCurve->ResponseMgdB;
    const int32_t n = FDSPSpace->NRealFreqPoints();
    double peak = -100.0;
    for (int32_t i = 0; i < n; ++i) {
        peak = std::max(peak, At(level, i));
    }
    const double threshold = peak - 10.0;
    int32_t lo = -1;
    int32_t hi = -1;
    for (int32_t i = 0; i < n; ++i) {
        if (level[static_cast<size_t>(i)] > threshold) {
            lo = lo < 0 ? i : lo;
            hi = i;
        }
    }
    // A source lying wholly 110 dB down has no band; the cuts stay where they are.
    if (lo < 0) {
        return;
    }
    SetHPFreqCut(FDSPSpace->FreqDraw[static_cast<size_t>(lo)]);
    SetLPFreqCut(FDSPSpace->FreqDraw[static_cast<size_t>(hi)]);
}

int32_t TAplanator::meanOverBand(TMeasureSystem& curve) {
    curve.SetReferenceSpl(0);
    const int32_t iHP = FDSPSpace->FreqToPoint(HPFreqCut());
    const int32_t iLP = FDSPSpace->FreqToPoint(LPFreqCut());
    // An empty band (the cuts crossed) gives no mean; the reference stays 0.
    if (iLP < iHP) {
        return 0;
    }
    double sum = 0.0;
    for (int32_t i = iHP; i <= iLP; ++i) {
        sum += At(curve.ResponseMgdB, i);
    }
    const double mean = sum / (iLP - iHP + 1);
    curve.SetReferenceSpl(std::isfinite(mean) ? RoundHalfEven<int32_t>(mean) : 0);
    return curve.ReferenceSpl();
}

int32_t TAplanator::CalculateSourceReferenceLevel() {
    const int32_t level = meanOverBand(*FSourceCurve);
    SourceResponse.Mg = FSourceCurve->ResponseMgdB;
    return level;
}

int32_t TAplanator::CalculateTargetReferenceLevel() {
    const int32_t level = meanOverBand(*FTargetCurveMg);
    SetTargetRefLevel(level);
    return level;
}

double TAplanator::GetTargetImportedCurveMg(int32_t Point) const {
    return At(FTargetCurveMg->ResponseMgdB, Point);
}

double TAplanator::GetTargetImportedCurvePh(int32_t Point) const {
    return At(FTargetCurvePh->ResponsePhRad, Point);
}

TQzDspResult TAplanator::OpenSourceMeasureFile(const std::string& MainFile, const std::string& PhFile) {
    const TQzDspResult result = FSourceCurve->SetMeasureFile(MainFile, PhFile);
    if (result == TQzDspResult::qzdOK) {
        CompensateLatency();
        CalculateWorkingBand();
        CalculateSourceReferenceLevel();
    }
    return result;
}

TQzDspResult TAplanator::OpenTargetMeasureFileMg(const std::string& MainFile) {
    const TQzDspResult result = FTargetCurveMg->SetMeasureFile(MainFile, std::string());
    if (result == TQzDspResult::qzdOK) {
        CalculateTargetReferenceLevel();
        FApplyTargetMg = true;
    }
    return result;
}

TQzDspResult TAplanator::OpenTargetMeasureFilePh(const std::string& MainFile) {
    const TQzDspResult result = FTargetCurvePh->SetMeasureFile(MainFile, MainFile);
    if (result == TQzDspResult::qzdOK) {
        const int32_t n = FDSPSpace->NRealFreqPoints();
        for (int32_t i = 0; i < n; ++i) {
            At(TargetImportCurveLin.Ph, i) = At(FTargetCurvePh->ResponsePhRad, i);
        }
        FApplyTargetPh = true;
    }
    return result;
}

void TAplanator::SourceCaptureResponse(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph,
                                       bool isdB, bool isDegrees) {
    FSourceCurve->Capture(std::move(Fr), std::move(Mg), std::move(Ph), isdB, isDegrees);
    const std::vector<double>& p = sourcePhase(false);
    const int32_t n = FDSPSpace->NRealFreqPoints();
    for (int32_t i = 0; i < n; ++i) {
        At(SourceResponse.Mg, i) = At(FSourceCurve->FResponseMgdB, i);
        At(SourceResponse.Ph, i) = At(p, i);
    }
    CompensateLatency();
}

void TAplanator::TargetCaptureResponse(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph,
                                       bool isdB, bool isDegrees) {
    std::vector<double> zeros(Fr.size(), 0.0);
    FTargetCurveMg->Capture(Fr, std::move(Mg), zeros, isdB, isDegrees);
    // The phase curve gets a flat 0 dB magnitude.
    FTargetCurvePh->Capture(std::move(Fr), std::move(zeros), std::move(Ph), true, isDegrees);
    const TMeasureSystem& mg = *FTargetCurveMg;
    const TMeasureSystem& ph = *FTargetCurvePh;
    const std::vector<double>& phase =
        ph.UseUnrollAproximation() ? ph.ResponsePhRadUnWrap : ph.FResponsePhRad;
    const int32_t n = FDSPSpace->NRealFreqPoints();
    for (int32_t i = 0; i < n; ++i) {
        At(TargetResponse.Mg, i) = At(mg.FResponseMgdB, i);
        At(TargetResponse.Ph, i) = At(phase, i);
        At(TargetImportCurveLin.Mg, i) = TDSPSpace::dBToLin(At(mg.ResponseMgdB, i));
        At(TargetImportCurveLin.Ph, i) = At(ph.ResponsePhRad, i);
    }
}

void TAplanator::buildMagnitude(const std::vector<double>& window) {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    if (!FCompensateMg) {
        std::fill(TargetResponse.Mg.begin(), TargetResponse.Mg.end(), 0.0);
        std::fill(FTargetResponseLinData.Mg.begin(), FTargetResponseLinData.Mg.end(), 1.0);
        return;
    }
    std::vector<double> smoothed(n);
    SmoothFractionalOctave(FCurveSmoothing, *FDSPSpace, FSourceCurve->ResponseMgdB, smoothed);
    for (size_t i = 0; i < n; ++i) {
        double t = -smoothed[i];
        if (FApplyTargetMg) {
            t += TDSPSpace::LinTodB(At(TargetImportCurveLin.Mg, static_cast<int64_t>(i)));
        }
        t *= window[i];
        TargetResponse.Mg[i] = t;
        FTargetResponseLinData.Mg[i] = TDSPSpace::dBToLin(t);
    }
}

void TAplanator::buildPhase(const std::vector<double>& window) {
    const int32_t n = FDSPSpace->NRealFreqPoints();
    if (!FCompensatePh) {
        std::fill(TargetResponse.Ph.begin(), TargetResponse.Ph.end(), 0.0);
        return;
    }
    const std::vector<double>& p = sourcePhase(true);
    for (int32_t i = 0; i < n; ++i) {
        TargetResponse.Ph[static_cast<size_t>(i)] = At(p, i) + latencyPhase(i);
    }
    std::vector<double> P(static_cast<size_t>(n));
    SmoothFractionalOctave(FCurveSmoothing, *FDSPSpace, TargetResponse.Ph, P);
    if (FApplyTargetPh) {
        for (int32_t i = 0; i < n; ++i) {
            P[static_cast<size_t>(i)] -= At(TargetImportCurveLin.Ph, i);
        }
    }
    // Whole turns: the phase to correct is moved so that its mean over the working band lies within
    // half a turn of zero.
    const int32_t iHP = FDSPSpace->FreqToPoint(HPFreqCut());
    const int32_t iLP = FDSPSpace->FreqToPoint(LPFreqCut());
    if (iHP <= iLP) {
        double sum = 0.0;
        for (int32_t i = iHP; i <= iLP; ++i) {
            sum += P[static_cast<size_t>(i)];
        }
        const double mean = sum / (iLP - iHP + 1);
        if (std::isfinite(mean)) {
            const auto turns = static_cast<double>(RoundHalfEven<int64_t>(mean / kExactTwoPi));
            for (double& v : P) {
                v -= turns * kTwoPi;
            }
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        const auto u = static_cast<size_t>(i);
        const double correction = -P[u] * window[u];
        TargetResponse.Ph[u] = correction;
        FTargetResponseLinData.Ph[u] = correction;
    }
}

void TAplanator::buildImpulse() {
    if (FExternalFIR == nullptr) {
        return;
    }
    const int32_t T = FExternalFIR->UseNTaps();
    const auto size = static_cast<size_t>(std::max(FExternalFIR->MaxTaps(), 0));
    FCorrectionImpulseRe.resize(size, 0.0);
    FCorrectionImpulseIm.resize(size, 0.0);
    FreqResponseToImpulse(FTargetResponseLinData.Mg, TargetResponse.Ph, *FDSPSpace,
                          RoundHalfEven<int32_t>(T / 2.0), T, T, FDSPSpace->iSampleRate(),
                          FCorrectionImpulseRe, FCorrectionImpulseIm);
}

void TAplanator::BuildAplanatorCorrection() {
    CompensateLatency();
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    for (auto* r : {&FTargetResponseLinData, &TargetResponse}) {
        r->Mg.resize(n, 0.0);
        r->Ph.resize(n, 0.0);
    }
    if (!FActive) {
        std::fill(FTargetResponseLinData.Mg.begin(), FTargetResponseLinData.Mg.end(), 1.0);
        std::fill(FTargetResponseLinData.Ph.begin(), FTargetResponseLinData.Ph.end(), 0.0);
        std::fill(TargetResponse.Mg.begin(), TargetResponse.Mg.end(), 0.0);
        std::fill(TargetResponse.Ph.begin(), TargetResponse.Ph.end(), 0.0);
        return;
    }
    // Band window: the square of the two crossovers' magnitudes, 1 inside the band.
    std::vector<double> hp(n), lp(n), phase(n), window(n);
    FXoverHP->CalcXover();
    FXoverHP->CalcResponse(hp, phase);
    FXoverLP->CalcXover();
    FXoverLP->CalcResponse(lp, phase);
    for (size_t i = 0; i < n; ++i) {
        window[i] = TDSPSpace::dBToLin(2.0 * (hp[i] + lp[i]));
    }
    buildMagnitude(window);
    buildPhase(window);
    buildImpulse();
}

void TAplanator::Calculate(bool CalcRefMg, bool CalcRefPh) {
    BuildAplanatorCorrection();
    if (FExternalFIR != nullptr) {
        FExternalFIR->CalcFir(CalcRefMg, CalcRefPh);
    }
}

void TAplanator::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    if (FExternalFIR == nullptr) {
        throw ERangeError();
    }
    const int32_t N = FDSPSpace->NRealFreqPoints();
    const int32_t T = FExternalFIR->UseNTaps();
    if (T < 0 || FCorrectionImpulseRe.size() < static_cast<size_t>(T) ||
        GrafdBin.size() < static_cast<size_t>(N) || GrafPhin.size() < static_cast<size_t>(N)) {
        throw ERangeError();
    }
    std::vector<Complex> sums(static_cast<size_t>(N));
    const auto point = [&](int32_t a) {
        const auto u = static_cast<size_t>(a);
        const double w = FDSPSpace->Hwdibu[u];
        double C = 0.0;
        double D = 0.0;
        for (int32_t t = 0; t < T; ++t) {
            const double h = FCorrectionImpulseRe[static_cast<size_t>(t)];
            C += h * std::cos(w * t);
            D += h * std::sin(w * t);
        }
        sums[u] = Complex{C, D};
        const double dB = 20.0 * std::log10(std::sqrt(C * C + D * D));
        GrafdBin[u] = std::fabs(dB) < kZeroLevelDb ? 0.0 : dB;
    };
    ForEachIndex(FDSPSpace->UseParallelFor(), 0, N, point);
    // The bulk delay of half the taps is taken out; jumps across the +-90 degree bands are unwrapped.
    const double halfTaps = T / 2.0;
    const double rate = FDSPSpace->iSampleRate();
    double offset = 0.0;
    double previous = 0.0;
    for (int32_t a = 0; a < N; ++a) {
        const auto u = static_cast<size_t>(a);
        const double phi =
            PhaseOf(sums[u].Re, -sums[u].Im) + halfTaps * kTwoPi * FDSPSpace->FreqDraw[u] / rate;
        const double d = WrapDegrees180(phi * kRadToDeg);
        if (a > 0) {
            if (previous > 90.0 && d < -90.0) {
                offset += 360.0;
            } else if (previous < -90.0 && d > 90.0) {
                offset -= 360.0;
            }
        }
        GrafPhin[u] = (d + offset) * kDegToRad;
        previous = d;
    }
}

} // namespace vendrel
