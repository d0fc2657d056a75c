#pragma once
// One measured loudspeaker response on a frequency grid: magnitude in dB, phase in radians and
// degrees, unwrapped phase, a reference level the magnitude is shown relative to, and the raw data it
// came from (an impulse, a complex spectrum, a transfer function or an analyser's text export).
//
// The object is filled by SetMeasureFile, which reads a file with the reader of its kind
// (MeaSystem) and converts the raw data onto the grid, or directly from caller arrays (Capture,
// ImportResponseDataPoint). Impulses are evaluated by direct sums on a temporary fine grid; every
// source is then resampled onto the object's grid by straight lines.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/dsp_space.h"
#include "dsp/measure_files.h"

namespace vendrel {

// Where a measurement came from. The values are stored in files: the order is fixed.
enum class TMeasureSystemBrand : uint8_t {
    msbInternalCapture, // set by Capture
    msbClio,
    msbSmaartLive,
    msbSatLive,
    msbLinearX,
    msbAPrecision,
    msbMelissa,
    msbDaas32,
    msbAcousticlizerFFT,
    msbAcousticlizer1_3,
    msbWinAir,
    msbCalsod,
    msbSpectraLab,
    msbArta,
    msbMLS, // CLIO .mls impulse
    msbSPK, // WinMF .spk complex spectrum
    msbREW,
    msbQZTF,      // the system's own transfer-function file
    msbMultiQZTF, // a transfer-function source of several presets (not read from a file)
    msbClioIR,
    msbRitaIR,
    msbWavIR
};

// Samples of an impulse that the transform uses after Reset and before each impulse import.
inline constexpr int32_t kDefaultImpulseEnd = 524288;

class TMeasureSystem {
public:
    // Builds the object on the caller's grid, which it does not own and which must outlive it.
    explicit TMeasureSystem(TDSPSpace* DSPSpace);

    // Names, text, response (all zero, reference 0, unwrapped phase on) and impulse settings back to
    // their defaults; the kind, the raw impulse and the parsed export stay.
    void Reset();

    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    int32_t NFrequencyPoints() const { return FDSPSpace->NRealFreqPoints(); }

    // The reference level rounded to an integer (halves to even); a changed level re-references
    // ResponseMgdB from FResponseMgdB.
    int32_t ReferenceSpl() const;
    void SetReferenceSpl(int32_t Value);
    double FloatReferenceSpl() const { return FReferenceSpl; }
    void SetFloatReferenceSpl(double Value);
    int32_t ReferenceDelay() const { return FReferenceDelay; }
    void SetReferenceDelay(int32_t Value) { FReferenceDelay = Value; }
    // Keeps the unwrapped-phase curves: N entries while on (new ones 0), empty while off.
    bool UseUnrollAproximation() const { return FUseUnrollAproximation; }
    void SetUseUnrollAproximation(bool Value);
    double ImpulseLatency() const { return FImpulseLatency; }
    void SetImpulseLatency(double Value) { FImpulseLatency = Value; }
    bool UseNFreqPointsForImpulse() const { return FUseNFreqPointsForImpulse; }
    void SetUseNFreqPointsForImpulse(bool Value) { FUseNFreqPointsForImpulse = Value; }
    int32_t NFreqPointsForImpulse() const { return FNFreqPointsForImpulse; }
    void SetNFreqPointsForImpulse(int32_t Value) { FNFreqPointsForImpulse = Value; }
    bool AutoCalcRefLevel() const { return FAutoCalcRefLevel; }
    void SetAutoCalcRefLevel(bool Value) { FAutoCalcRefLevel = Value; }

    // Kind of source; a new kind sets the open-file filter and zeroes the un-referenced curves.
    TMeasureSystemBrand MeaSystem() const { return FMeaSystem; }
    void SetMeaSystem(TMeasureSystemBrand Value);
    const std::string& DialogFilter() const { return FDialogFilter; }

    // The text of an imported file and of a separate phase file, line by line.
    std::vector<std::string>& MeasureFile() { return FMeasureString; }
    std::vector<std::string>& MeasureFilePh() { return FMeasureStringPh; }

    // Sets one grid point (Mg in dB, both phases in radians); a Point at or beyond N is ignored.
    void ImportResponseDataPoint(int32_t Point, double Mg, double Ph, double PhUnWrapped);

    // Reads MeasFile (and, for Audio Precision, PhFile) with the reader of MeaSystem, converts it
    // onto the grid and names the measurement after the file. qzdReadFileError when the file cannot
    // be read or its reader rejects it (nothing changes then but the fields the reader had filled);
    // qzdError when a text export is rejected or the data cannot be converted;
    // qzdNotEnoughMemoryError when the raw data cannot be held.
    TQzDspResult SetMeasureFile(const std::string& MeasFile, const std::string& PhFile);

    // Analyser text exports: checks MeasureFile against the kind's header and parses its columns
    // into the working arrays, then maps them onto the grid.
    TQzDspResult ReadSourceStrToMeaSystem();
    TQzDspResult ConvertSourceStrToMeaSystem();

    // Binary and impulse files. The binary readers fill a record; the impulse text readers parse
    // MeasureFile into the raw impulse. False when the file is not read.
    bool OpenMlsFile(const std::string& sFile, rMlsFile& MLSFILE);
    bool OpenWinMFspkFile(const std::string& sFile, rWinmfSpkFile& SPKFILE);
    bool OpenQZTFFile(const std::string& sFile, rQZTFFile& QZTFFile);
    bool OpenClioIRFile();
    bool OpenRiTAIRFile();

    // Conversions of the raw data onto the grid.
    TQzDspResult ConvertSourceComplexSpectrumToMeaSystem();
    TQzDspResult ConvertSourceQOJTFToMeaSystem(const rQZTFPreset& TF);
    TQzDspResult ConvertSourceImpulseToMeaSystem(TFreqBands nBands);
    // Level (dB), phase and frequency of every bin of the complex spectrum; ImpulseSize entries each.
    void CalcFreqResponseFromComplex(std::span<double> GrafdBin, std::span<double> GrafPhin,
                                     std::span<double> GrafFreq) const;
    // Level (dB by ImpulseScale), phase and frequency of the impulse at every point of HiResDSPSpace,
    // by the direct transform at the impulse's own sample rate; points below FFTStartFreq get -999 dB.
    void CalcFreqResponseFromImpulse(std::span<double> GrafdBin, std::span<double> GrafPhin,
                                     std::span<double> GrafFreq, const TDSPSpace& HiResDSPSpace) const;

    // The grid curves from caller arrays: Mg in dB when isdB (else linear), Ph in degrees when
    // isDegrees (else radians); then the reference level is found.
    void Capture(std::vector<double> Fr, std::vector<double> Mg, std::vector<double> Ph, bool isdB,
                 bool isDegrees);
    // Finds the reference level of the un-referenced magnitude, re-references ResponseMgdB to it and
    // returns it.
    double CalcRefLevel();
    // Synthesises the response as an impulse into RawImpulseRe and RawImpulseIm.
    TQzDspResult ConvertFreqResponseToImpulse(double OutLatency, int32_t OutImpulseSize,
                                              int32_t theImpulseEnd, int32_t OutSampleRate,
                                              double CompGainLin, bool InvertPhase);
    // Writes the first ImpulseEnd samples of the raw impulse as "IR <MeasureName>.txt" in the folder
    // OutPath: time, real and imaginary part per line; false when the file cannot be written.
    bool SaveImpulseToClioTxt(const std::string& OutPath) const;

    // Dst[i] is Src[i] moved by whole turns so that no step between neighbours exceeds half a turn
    // (a step of exactly half a turn stays). Dst must hold at least as many entries as Src.
    static void UnwrapPhaseDegrees(std::span<const double> Src, std::span<double> Dst);
    static void UnwrapPhaseRadians(std::span<const double> Src, std::span<double> Dst);

    // The points of the last parsed text export: frequency (Hz), level (dB), phase in the export's
    // unit and that phase unwrapped.
    const std::vector<double>& Frecm() const { return Ffrecm; }
    const std::vector<double>& dBm() const { return FdBm; }
    const std::vector<double>& FaseDegm() const { return FfaseDegm; }
    const std::vector<double>& FaseDegmUnroll() const { return FfaseDegmUnroll; }

    // Grid curves, one entry per grid point: the un-referenced magnitude (dB), the phase (radians and
    // degrees) and, while UseUnrollAproximation is on, the unwrapped phase in degrees.
    std::vector<double> FResponseMgdB;
    std::vector<double> FResponsePhRad;
    std::vector<double> FResponsePhDegrees;
    std::vector<double> FResponsePhDegreesUnRoll;
    // Magnitude relative to the reference level, a copy of the phase, and the unwrapped phase in
    // radians (while UseUnrollAproximation is on).
    std::vector<double> ResponseMgdB;
    std::vector<double> ResponsePhRad;
    std::vector<double> ResponsePhRadUnWrap;

    // Raw data as the reader left it: impulse samples, or the bins of a complex spectrum.
    std::vector<double> RawImpulseRe;
    std::vector<double> RawImpulseIm;
    int32_t FFTStartFreq = 0; // lowest frequency the impulse transform evaluates, Hz
    int32_t ImpulseSize = 0;  // raw samples or bins
    TLevUnit ImpulseScale = TLevUnit::luVrms;
    int32_t ImpulseSampleRate = 0; // Hz
    // Leading samples the transform uses (the smaller of this and ImpulseSize); also the rows of an
    // exported impulse.
    int32_t ImpulseEnd = kDefaultImpulseEnd;
    TFreqBands ApplySmoothing = TFreqBands::fbAlluserPoints; // smoothing before resampling
    // Latency and processing delay of a measured processor (transfer-function files).
    int32_t DSPSamplesLatency = 0;
    double DSPLatencyMsec = 0.0;
    int32_t ProcessDelaySamples = 0;
    double ProcessDelayMsec = 0.0;
    bool IsDelayIncludedInPhase = false;
    double DegAzimuth = 0.0;
    double DegElevation = 0.0;
    std::string FileName;
    std::string MeasureName;
    std::string Comments;
    std::string PresetName;

private:
    // Sizes the grid curves to the grid's point count, keeping leading values.
    void SetDSPSpace(TDSPSpace* DSPSpace);
    void sizeCurves(bool unwrappedToo);
    void reReference();
    // The straight-line walk of source points (frequencies SF ascending, levels SM in dB, phases SP
    // in radians) onto the grid, with the holds of the conversion, then the referenced curves.
    void resampleOntoGrid(std::span<const double> SF, std::span<const double> SM, std::span<const double> SP,
                          bool nyquistHold, bool lowHold);
    // Grid curves sized for a conversion; the unwrapped pair only while the flag is on.
    void prepareCurves();
    // The steps shared by the spectrum and impulse conversions: `calc` fills level (dB), phase and
    // frequency of `points` work points, whose phase is unwrapped, smoothed with the level and
    // resampled onto the grid with the Nyquist hold (and the low hold when asked).
    template <typename Calc> TQzDspResult convertRawResponse(size_t points, Calc calc, bool lowHold);
    // The reading step of SetMeasureFile, with a step of its own for each binary kind.
    TQzDspResult readFile(const std::string& MeasFile, const std::string& PhFile);
    TQzDspResult readMls(const std::string& MeasFile);
    TQzDspResult readSpk(const std::string& MeasFile);
    TQzDspResult readWav(const std::string& MeasFile);
    void applyPeakLatency();

    TDSPSpace* FDSPSpace; // not owned
    double FReferenceSpl = 0.0;
    int32_t FReferenceDelay = 0;
    std::vector<std::string> FMeasureString;
    std::vector<std::string> FMeasureStringPh;
    TMeasureSystemBrand FMeaSystem = TMeasureSystemBrand::msbInternalCapture;
    std::string FDialogFilter;
    double FImpulseLatency = 0.0;
    bool FUseUnrollAproximation = false;
    bool FUseNFreqPointsForImpulse = false;
    int32_t FNFreqPointsForImpulse = 500;
    bool FAutoCalcRefLevel = false;
    std::vector<double> Ffrecm;
    std::vector<double> FdBm;
    std::vector<double> FfaseDegm;
    std::vector<double> FfaseDegmUnroll;
};

} // namespace vendrel
