#pragma once
// One FIR filter on the frequency grid of a TDSPSpace: its taps and latency, the window tables, the
// magnitude target shaped by a PEQ bank and two crossovers, the phase target shaped by phase points,
// and a set of external taps (loaded from a file or converted from a sampled response).
//
// Designs and responses are direct sums (no fast transform); with the grid's UseParallelFor the long
// loops run one output value per iteration on the thread pool and give the same bits as the plain loop.

#include "platform/core/view_link.h"
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "dsp/peqs.h"
#include "dsp/phase_points.h"
#include "dsp/xover.h"

namespace vendrel {

class TAplanator;
class TMeasureSystem;

enum class TFIRType : uint8_t {
    qztfFRectangular,    // windowed sinc, rectangular window
    qztfFHanning,        // windowed sinc, Hanning window
    qztfFHamming,        // windowed sinc, Hamming window
    qztfFBlackman,       // windowed sinc, Blackman window
    qztfFBlackmanHarris, // windowed sinc, Blackman-Harris window
    qztfFCustom,         // frequency sampling of the targets, latency NCoef / 2
    qztfFExternCoefs,    // external taps
    qztfFCustomLatency   // frequency sampling of the targets, latency FixedLatency
};

class TFIR {
public:
    // Builds the filter on the caller's grid, which it does not own and which must outlive it.
    explicit TFIR(TDSPSpace* DSPSpace);
    ~TFIR();
    TFIR(const TFIR&) = delete;
    TFIR& operator=(const TFIR&) = delete;

    void Reset();
    // External taps become a one-tap unit impulse.
    void ResetExtenalCoef();
    void ResetPhase();
    // Spreads the shaping sections over the usable band, then redesigns.
    void ResetPeqs();
    void FullCalculate();
    // Runs the design of the current type; an inactive filter gets a unit impulse.
    void CalcFir(bool CalcRefMg, bool CalcRefPh);
    // Tap value in use: 0 at or beyond MaxTaps, a unit impulse while inactive.
    double Coef(int32_t Tap) const;

    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    int32_t MaxTaps() const { return FNMaxTaps; }
    void SetMaxTaps(int32_t V);
    // The caller's grid took other points: the shaping grid takes them too and the design is redone.
    void FollowGrid();
    int32_t UseNTaps() const;
    void SetUseNTaps(int32_t V);
    bool UseAllTaps() const { return FUseAllTaps; }
    void SetUseAllTaps(bool V);
    int32_t FixedLatency() const { return FFixedLatency; }
    void SetFixedLatency(int32_t V);
    TFIRType FirType() const { return FFirType; }
    void SetFirType(TFIRType V);
    int32_t MgPoints() const { return FMgPoints; }
    void SetMgPoints(int32_t V);
    int32_t PhPoints() const { return FPhPoints; }
    void SetPhPoints(int32_t V);
    double KBAlpha() const { return FKBAlpha; }
    void SetKBAlpha(double x);
    bool WithAplanator() const { return FAplanator != nullptr; }
    void SetWithAplanator(bool V);
    TAplanator* Aplanator() const { return FAplanator.get(); }
    void SetAplanator(std::unique_ptr<TAplanator> V);

    // Latency of the taps in use, in samples (0 while inactive). For external taps it rescans them
    // and stores the index of the first tap of largest magnitude.
    double SamplesLatency();
    // The same in milliseconds, and as text "2.65 ms" with the user's decimal separator.
    double Latency();
    std::string sLatency();
    int32_t SampleRate() const { return FDSPSpace->iSampleRate(); }
    int32_t MinUsableFreq() const { return FMinUsableFreq; }
    int32_t MinUsablePhFreq() const { return FMinUsablePhFreq; }
    int32_t PhSegments() const { return FphSegments; }

    // Designs from caller targets (linear magnitude and radians, one per grid point), whatever the
    // shaping sections say.
    void CalculaFIRCustomLatencyExternalRef(std::span<const double> RefMg, std::span<const double> RefPh);
    // External taps from a sampled response: FreqRef in hertz (increasing), MgRef in dB unless
    // isLineal, PhRef in degrees unless isRadSeg. The taps carry that response with the latency
    // NCoef / 2; FirType becomes qztfFExternCoefs.
    void ConvertToCoefs(std::span<const int32_t> FreqRef, std::span<const double> MgRef,
                        std::span<const double> PhRef, bool isLineal, bool isRadSeg);
    // First FIR drawing bin at or above Value hertz (Value limited to the grid's range).
    int32_t FreqToFirRef(int32_t Value) const;

    // Responses of the taps in use at every grid point; the outputs need at least one entry per
    // point (entries beyond are left alone). Phases in radians.
    void CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin);
    void CalcResponseLineal(std::span<double> GrafLinIn, std::span<double> GrafPhin);
    void CalcResponseLinealUnWrapped(std::span<double> GrafLinIn, std::span<double> GrafPhin);
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin);
    void CalcResponseComplex(std::span<Complex> Graf);
    // Linear magnitude and phase (radians, as CalcResponseLineal gives them) of the taps in use at any
    // whole-hertz frequencies on the filter's sample rate, not only at the grid's points; the outputs
    // need one entry per frequency.
    void CalcResponseLinealAt(std::span<const int32_t> Freqs, std::span<double> GrafLinIn,
                              std::span<double> GrafPhin) const;
    // Level in dB of the first NCoef taps at one grid point.
    double CalculaHw_ph_FIR_pto(int32_t punto) const;

    // External taps from an array, a coefficient file (text or .wav) or one at a time. Loading does
    // not change FirType.
    TQzDspResult LoadCoefFromArray(std::span<const double> Source, int32_t NSourceCoef);
    TQzDspResult LoadCoefFile(const std::string& sFile);
    void SetExternalCoef(int32_t Tap, double Value);

    // Automatic equalisation against MeasureData (same grid): the magnitude pass picks the crossover
    // orders and places parametric sections at the largest remaining deviations, the phase pass
    // compensates the measurement's phase wraps and places bell phase points. Elements already active
    // are kept. Redesigns the filter and returns the band's mean level of measurement plus filter
    // minus the crossovers (dB). Without a measurement, or with UseNPoints <= 0, the passes do nothing.
    double AutoEq(bool AutoMg, bool AutoPh, int32_t UseNPoints);
    // Moving average of a curve over Smooth percent of the grid's points (at most 100) into AEQSMA;
    // the first and last grid points never contribute. Only with a measurement assigned.
    void SmoothResponse(double Smooth, std::span<const double> ResponseMg);
    int32_t AEQFreqMin() const { return FAEQFreqMin; }
    int32_t AEQFreqMax() const { return FAEQFreqMax; }
    double AEQLevelAverage() const { return FAEQLevelAverage; }
    double InfluenceMgLevel() const { return FInfluenceMgLevel; }
    int32_t EqMgPoints() const { return FEqMgPoints; }
    int32_t EqPhPoints() const { return FEqPhPoints; }
    const std::vector<double>& AEQSMA() const { return FAEQSMA; }

    // Kaiser-Bessel I0 by the engine's rational approximation.
    static double BesselI0(double x);

    // Read access to the filter's tables (for display and checks).
    int32_t NCoef() const { return FNCoef; }
    int32_t NExternalCoef() const { return FNExternalCoef; }
    double ExternalLatency() const { return FExternalLatency; }
    bool RefMgBypass() const { return FRefMgBypass; }
    bool RefPhBypass() const { return FRefPhBypass; }
    const std::vector<double>& ReferenceMg() const { return FReferenceMg; }
    const std::vector<double>& ReferencePh() const { return FReferencePh; }
    const std::vector<double>& DesignedCoefs() const { return FCoef; }
    const std::vector<double>& ExternalCoefs() const { return FExternalCoef; }
    const std::vector<double>& HanningWindow() const { return FHanning_Window; }
    const std::vector<double>& HammingWindow() const { return FHamming_Window; }
    const std::vector<double>& BlackmanWindow() const { return FBlackman_Window; }
    const std::vector<double>& BlackmanHarrisWindow() const { return FBlackmanHarris_Window; }
    const std::vector<double>& KaiserBesselWindow() const { return FKaiserBessel_Window; }
    const std::vector<double>& HanningWindowCustomLatency() const { return FHanning_Window_CustomLatency; }
    const std::vector<int32_t>& FreqDrawFIR() const { return FFreqDrawFIR; }
    const std::vector<int32_t>& FreqToFirRefTable() const { return FFreqToFirRef; }
    const std::vector<double>& HwdibuFIRTable() const { return HwdibuFIR; }
    const TDSPSpace& DSPSpaceInternal96() const { return *FDSPSpaceInternal96; }

    // Cut-off frequencies of the windowed-sinc designs in hertz (fc2 for band-pass only) and their
    // shape: 0 low-pass, 1 high-pass, 2 band-pass.
    int32_t fc1 = 1000;
    int32_t fc2 = 5000;
    int32_t hplp = 0;
    bool AutoLatency = false; // kept for the file records
    bool Calculando = false;  // true while CalcFir runs
    bool Active = false;      // an inactive filter behaves as a unit impulse
    std::unique_ptr<TPeqs> PeqMg;
    std::vector<std::unique_ptr<TFrPhPoint>> PhasePoints;
    std::unique_ptr<TXoverIIR> XoverHpMg;
    std::unique_ptr<TXoverIIR> XoverLpMg;
    TMeasureSystem* MeasureData = nullptr; // not owned
    TViewLink GraphicalInterface;          // the panel that shows the filter; not owned

private:
    void ResetMagnitude();
    void ResetPhasePoints();
    void ResetCoef();
    void CalcWindows();
    void CalcKaiserWindow();
    void CalcUsableBand();
    void FillCustomLatencyHanning();
    void CalcWindowedSinc();
    void CalcReferenceMg();
    void CalcReferencePh();
    void CalculaFIRCustom(bool CalcRefMg, bool CalcRefPh);
    void CalculaFIRCustomLatency(bool CalcRefMg, bool CalcRefPh);
    void designCustom(bool CalcRefMg, bool CalcRefPh, int32_t centre);
    // The frequency-sampling sum: N taps of latency L from the targets resampled to the design
    // frequencies; from the per-point layout of the grid or, for ConvertToCoefs, the per-bin layout
    // of the FIR drawing grid.
    enum class TargetLayout { GridPoints, FirBins };
    void DesignFromTargets(int32_t L, TargetLayout layout);
    void EvaluateSums(std::vector<Complex>& S) const;
    void UnwrapAboutLatency(std::span<const Complex> S, std::span<double> Mg, std::span<double> Ph, bool dB);
    // Automatic equalisation steps.
    void CrossoverResponses(std::vector<double>& HP, std::vector<double>& LP);
    void CalcAutoEqBand();
    void CalcAutoEqLevel(std::span<const double> R);
    double BandSquaredError(std::span<const double> A, std::span<const double> B) const;
    // Frequency and signed size (T - R) of the largest band deviation within Limit at or above
    // FromFreq; (0, 0) when none qualifies.
    std::pair<int32_t, double> FindCorrection(std::span<const double> R, std::span<const double> T,
                                              double Limit, int32_t FromFreq) const;
    std::pair<int32_t, double> FindMgCorrection(std::span<const double> R, std::span<const double> T) const;
    std::pair<int32_t, double> FindPhCorrection(std::span<const double> R, std::span<const double> T) const;
    void CalcPhasePointsDegrees(std::vector<double>& D) const;
    void FindPhaseWraps(std::vector<double>& Ph, std::vector<int32_t>& Wraps, int32_t UseNPoints) const;
    // Orders of the active crossovers for measurement M (dB), crossover sum X, target T and mean level A.
    void ChooseCrossoverOrders(std::span<const double> M, std::span<const double> X,
                               std::span<const double> T, double A);
    void AutoEqMagnitude(int32_t UseNPoints);
    void AutoEqPhase(int32_t UseNPoints);

    TDSPSpace* FDSPSpace;
    std::unique_ptr<TDSPSpace> FDSPSpaceInternal96;
    TFIRType FFirType = TFIRType::qztfFCustom;
    int32_t FNMaxTaps = 0;
    int32_t FNMinTaps = 20;
    int32_t FMgPoints = 0;
    int32_t FPhPoints = 0;
    int32_t FphSegments = 10;
    std::vector<double> FReferenceMg;
    std::vector<double> FReferencePh;
    bool FRefMgBypass = true;
    bool FRefPhBypass = true;
    std::vector<double> FCoef;
    std::vector<double> FExternalCoef;
    int32_t FNCoef = 0;
    bool FUseAllTaps = true;
    int32_t FNExternalCoef = 0;
    double FLatency = 0.0;
    double FExternalLatency = 0.0;
    int32_t FMinUsableFreq = 0;
    int32_t FMinUsablePhFreq = 0;
    std::vector<Complex> HwzFIR;
    [[maybe_unused]] std::vector<Complex> HiResHwzFIR; // not filled by the filter itself
    std::vector<double> HwdibuFIR;
    std::vector<int32_t> FFreqToFirRef;
    std::vector<int32_t> FFreqDrawFIR;
    std::vector<double> FHanning_Window_CustomLatency;
    std::vector<double> FHanning_Window;
    std::vector<double> FHamming_Window;
    std::vector<double> FBlackman_Window;
    std::vector<double> FBlackmanHarris_Window;
    std::vector<double> FKaiserBessel_Window;
    double FKBAlpha = 1.0;
    // Automatic equalisation: its band, mean level, section and point counts, smoothed curve.
    int32_t FAEQFreqMax = 0;
    int32_t FAEQFreqMin = 0;
    double FAEQLevelAverage = 0.0;
    int32_t FEqMgPoints = 0;
    int32_t FEqPhPoints = 0;
    double FInfluenceMgLevel = -20.0;
    double FCalMinMg = 1.0;
    double FCalMinPh = 10.0;
    bool FAutoEqXover = false;
    double FInfluenceAutoXover = -6.0;
    int32_t FFixedLatency = 0;
    std::unique_ptr<TAplanator> FAplanator;
    std::vector<double> FAEQSMA;
};

} // namespace vendrel
