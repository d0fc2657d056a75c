#pragma once
// Phase and magnitude flattening designer, owned by a TFIR (WithAplanator).
//
// From a measured source curve it derives, on the filter's grid, a magnitude correction (minus the
// smoothed level) and a phase correction (minus the smoothed unwrapped phase with the measurement's
// latency removed), both faded out beyond a working band that two crossovers define. Imported target
// curves move the goal from flat to a chosen shape. While the designer is active the filter
// multiplies its magnitude target by FTargetResponseLin().Mg and adds TargetResponse().Ph to its
// phase target.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dsp/dsp_space.h"
#include "dsp/measure_system.h"
#include "dsp/xover.h"

namespace vendrel {

class TFIR;

class TAplanator {
public:
    // Builds the designer on the filter's grid, which it does not own and which must outlive it.
    explicit TAplanator(TDSPSpace* DSPSpace);
    ~TAplanator();
    TAplanator(const TAplanator&) = delete;
    TAplanator& operator=(const TAplanator&) = delete;

    void Reset();
    void ClearSourceCurve();
    void ClearTargertCurveMg();
    void ClearTargertCurvePh();

    // Loads a curve through the measurement import; a failed import changes nothing further.
    TQzDspResult OpenSourceMeasureFile(const std::string& MainFile, const std::string& PhFile);
    TQzDspResult OpenTargetMeasureFileMg(const std::string& MainFile);
    TQzDspResult OpenTargetMeasureFilePh(const std::string& MainFile);
    // Curves from caller arrays, with the units of TMeasureSystem::Capture.
    void SourceCaptureResponse(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph,
                               bool isdB, bool isDegrees);
    void TargetCaptureResponse(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph,
                               bool isdB, bool isDegrees);

    // Builds the correction and has the attached filter redesign itself.
    void Calculate(bool CalcRefMg, bool CalcRefPh);
    // Builds the correction (and its impulse when attached); the filter calls it when its taps or
    // everything are recalculated.
    void BuildAplanatorCorrection();
    int32_t CalculateSourceReferenceLevel();
    int32_t CalculateTargetReferenceLevel();
    // SourceResponse.Ph := the source phase with LatencySamplesCompensation samples of delay removed.
    void CompensateLatency();
    // The crossovers' cuts at the first and last grid point within 10 dB of the source's peak.
    void CalculateWorkingBand();
    // Level (dB) and unwrapped phase (radians, the half-length bulk delay removed) of the correction
    // impulse at every grid point; N entries each.
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    double GetTargetImportedCurveMg(int32_t Point) const;
    double GetTargetImportedCurvePh(int32_t Point) const;

    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TFreqBands Smooth() const { return FCurveSmoothing; }
    void SetSmooth(TFreqBands Value) { FCurveSmoothing = Value; }
    int32_t MaxDecayOrder() const { return FMaxDecayOrder; }
    void SetMaxDecayOrder(int32_t Value);
    bool CompensatePh() const { return FCompensatePh; }
    void SetCompensatePh(bool Value) { FCompensatePh = Value; }
    bool CompensateMg() const { return FCompensateMg; }
    void SetCompensateMg(bool Value) { FCompensateMg = Value; }
    int32_t TargetCurveTypeMg() const { return FTargetCurveTypeMg; }
    void SetTargetCurveTypeMg(int32_t Value);
    int32_t TargetCurveTypePh() const { return FTargetCurveTypePh; }
    void SetTargetCurveTypePh(int32_t Value);
    bool ApplyTargetMg() const { return FApplyTargetMg; }
    bool ApplyTargetPh() const { return FApplyTargetPh; }
    bool UseUnrollAproximation() const { return FUseUnrollAproximation; }
    void SetUseUnrollAproximation(bool Value);
    int32_t HPFreqCut() const { return FXoverHP->FrequencyCut(); }
    void SetHPFreqCut(int32_t Value) { FXoverHP->SetFrequencyCut(Value); }
    int32_t LPFreqCut() const { return FXoverLP->FrequencyCut(); }
    void SetLPFreqCut(int32_t Value) { FXoverLP->SetFrequencyCut(Value); }
    int32_t RejectedHPDecayOrder() const { return FXoverHP->Order(); }
    void SetRejectedHPDecayOrder(int32_t Value) { FXoverHP->SetOrder(Value); }
    int32_t RejectedLPDecayOrder() const { return FXoverLP->Order(); }
    void SetRejectedLPDecayOrder(int32_t Value) { FXoverLP->SetOrder(Value); }
    int32_t LatencySamplesCompensation() const { return FSourceCurve->ReferenceDelay(); }
    void SetLatencySamplesCompensation(int32_t Value) { FSourceCurve->SetReferenceDelay(Value); }
    TMeasureSystemBrand SourceMeasureSystem() const { return FSourceCurve->MeaSystem(); }
    void SetSourceMeasureSystem(TMeasureSystemBrand Value) { FSourceCurve->SetMeaSystem(Value); }
    const std::string& SourceDialogFilter() const { return FSourceCurve->DialogFilter(); }
    int32_t SourceRefLevel() const { return FSourceCurve->ReferenceSpl(); }
    void SetSourceRefLevel(int32_t Value);
    int32_t TargetRefLevel() const { return FTargetCurveMg->ReferenceSpl(); }
    void SetTargetRefLevel(int32_t Value);

    TMeasureSystem& SourceCurve() const { return *FSourceCurve; }
    TMeasureSystem& TargetMeasureSystemMg() const { return *FTargetCurveMg; }
    TMeasureSystem& TargetMeasureSystemPh() const { return *FTargetCurvePh; }
    TXoverIIR& XoverHP() const { return *FXoverHP; }
    TXoverIIR& XoverLP() const { return *FXoverLP; }
    const std::vector<double>& CorrectionImpulseRe() const { return FCorrectionImpulseRe; }
    // Mg: the linear magnitude correction the filter multiplies by; Ph: the phase correction
    // (radians) as of the last build with phase compensation on.
    const rFrequencyResponse& FTargetResponseLin() const { return FTargetResponseLinData; }

    // The filter the designer is attached to; not owned (the filter sets it when it creates one).
    TFIR* FExternalFIR = nullptr;
    // The source curve for display: Mg in dB, Ph in radians with the latency removed.
    rFrequencyResponse SourceResponse;
    // The corrections: Mg in dB, Ph in radians (what the filter adds).
    rFrequencyResponse TargetResponse;
    // The imported targets: Mg linear (1 = none), Ph in radians (0 = none).
    rFrequencyResponse TargetImportCurveLin;

private:
    // The source phase the latency compensation starts from: unwrapped while kept, else as stored.
    const std::vector<double>& sourcePhase(bool referenced) const;
    double latencyPhase(int32_t i) const;
    int32_t meanOverBand(TMeasureSystem& curve);
    void buildMagnitude(const std::vector<double>& window);
    void buildPhase(const std::vector<double>& window);
    void buildImpulse();

    TDSPSpace* FDSPSpace; // not owned
    TFreqBands FCurveSmoothing = TFreqBands::fbAlluserPoints;
    std::unique_ptr<TDSPSpace> FXoverDSPSpace;
    std::unique_ptr<TXoverIIR> FXoverLP;
    std::unique_ptr<TXoverIIR> FXoverHP;
    int32_t FMaxDecayOrder = 0;
    std::vector<double> FCorrectionImpulseRe;
    std::vector<double> FCorrectionImpulseIm;
    bool FActive = false;
    std::unique_ptr<TMeasureSystem> FSourceCurve;
    bool FCompensatePh = true;
    bool FCompensateMg = true;
    std::unique_ptr<TMeasureSystem> FTargetCurveMg;
    std::unique_ptr<TMeasureSystem> FTargetCurvePh;
    rFrequencyResponse FTargetResponseLinData;
    int32_t FTargetCurveTypeMg = -1;
    int32_t FTargetCurveTypePh = -1;
    bool FApplyTargetPh = false;
    bool FApplyTargetMg = false;
    bool FUseUnrollAproximation = false;
};

} // namespace vendrel
