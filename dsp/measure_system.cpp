// The measurement object: its lifecycle and setters, the kind of source and the routing of a
// measurement file to its reader and conversion.

#include "dsp/measure_system.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

#include "dsp/text_lines.h"
#include "dsp/wav_reader.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

constexpr double kRadToDeg = 57.29577951308232;

const char* dialogFilterOf(TMeasureSystemBrand kind) {
    switch (kind) {
    case TMeasureSystemBrand::msbClio:
        return "CLIO Freq Data File|*.txt";
    case TMeasureSystemBrand::msbSmaartLive:
        return "Smaart Transfer Function |*.txt";
    case TMeasureSystemBrand::msbAPrecision:
        return "Audio Precision Exported data *.adx|*.adx|all *.*|*.*";
    case TMeasureSystemBrand::msbDaas32:
        return "DAAS32 Exported data *.spl|*.spl|all *.*|*.*";
    case TMeasureSystemBrand::msbSpectraLab:
        return "SpectraLab Exported data *.ovl|*.ovl|all *.*|*.*";
    case TMeasureSystemBrand::msbArta:
        return "ARTA (M+P) Exported data *.csv|*.csv|all *.*|*.*";
    case TMeasureSystemBrand::msbMLS:
        return "CLIO MLS Impulse|*.mls";
    case TMeasureSystemBrand::msbSPK:
        return "Four Audio WinMF Rawdata|*.spk";
    case TMeasureSystemBrand::msbREW:
        return "REW Measurements |*.txt";
    case TMeasureSystemBrand::msbQZTF:
        return "Single Transfer Function|*.stf|All|*.*";
    case TMeasureSystemBrand::msbRitaIR:
        return "RiTA IR |*.txt";
    case TMeasureSystemBrand::msbWavIR:
        return "Wav file impulse |*.wav";
    default:
        return "exported data *.txt|*.txt|all *.*|*.*";
    }
}

bool isImpulseKind(TMeasureSystemBrand kind) {
    return kind == TMeasureSystemBrand::msbMLS || kind == TMeasureSystemBrand::msbClioIR ||
           kind == TMeasureSystemBrand::msbRitaIR || kind == TMeasureSystemBrand::msbWavIR;
}

// Steps up to this many turns are unwrapped turn by turn, exactly as ever.
constexpr double kManyTurns = 64.0;

void unwrap(std::span<const double> Src, std::span<double> Dst, double half, double turn) {
    if (Src.empty()) {
        return;
    }
    if (Dst.size() < Src.size()) {
        throw ERangeError();
    }
    Dst[0] = Src[0];
    for (size_t i = 1; i < Src.size(); ++i) {
        double d = Src[i] - Src[i - 1];
        // An infinite or NaN step cannot be brought into range by whole turns.
        if (std::isfinite(d)) {
            // A step of very many turns is reduced in one go: turning it one turn at a time would take
            // forever, or never end where one turn no longer changes the value.
            if (std::fabs(d) > kManyTurns * turn) {
                d = std::fmod(d, turn);
            }
            while (d > half) {
                d -= turn;
            }
            while (d < -half) {
                d += turn;
            }
        }
        Dst[i] = Dst[i - 1] + d;
    }
}

} // namespace

TMeasureSystem::TMeasureSystem(TDSPSpace* DSPSpace) {
    SetDSPSpace(DSPSpace);
    FAutoCalcRefLevel = false;
    Reset();
}

void TMeasureSystem::SetDSPSpace(TDSPSpace* DSPSpace) {
    FDSPSpace = DSPSpace;
    sizeCurves(FUseUnrollAproximation);
    if (!FUseUnrollAproximation) {
        ResponsePhRadUnWrap.clear();
        FResponsePhDegreesUnRoll.clear();
    }
}

void TMeasureSystem::sizeCurves(bool unwrappedToo) {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    for (auto* curve :
         {&ResponseMgdB, &FResponseMgdB, &ResponsePhRad, &FResponsePhRad, &FResponsePhDegrees}) {
        curve->resize(n, 0.0);
    }
    if (unwrappedToo) {
        ResponsePhRadUnWrap.resize(n, 0.0);
        FResponsePhDegreesUnRoll.resize(n, 0.0);
    }
}

void TMeasureSystem::Reset() {
    FileName.clear();
    MeasureName.clear();
    FMeasureString.clear();
    FMeasureStringPh.clear();
    FUseNFreqPointsForImpulse = false;
    FNFreqPointsForImpulse = 500;
    FImpulseLatency = 0.0;
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    for (auto* curve :
         {&FResponseMgdB, &FResponsePhRad, &FResponsePhDegrees, &ResponseMgdB, &ResponsePhRad}) {
        curve->assign(n, 0.0);
    }
    FUseUnrollAproximation = true;
    FResponsePhDegreesUnRoll.assign(n, 0.0);
    ResponsePhRadUnWrap.assign(n, 0.0);
    FReferenceSpl = 0.0;
    FReferenceDelay = 0;
    DegAzimuth = 0.0;
    DegElevation = 0.0;
    FFTStartFreq = FDSPSpace->FrequencyMinValue();
    ImpulseEnd = kDefaultImpulseEnd;
    ApplySmoothing = TFreqBands::fbAlluserPoints;
}

int32_t TMeasureSystem::ReferenceSpl() const {
    return RoundHalfEven<int32_t>(FReferenceSpl);
}

void TMeasureSystem::SetReferenceSpl(int32_t Value) {
    SetFloatReferenceSpl(static_cast<double>(Value));
}

void TMeasureSystem::SetFloatReferenceSpl(double Value) {
    if (Value == FReferenceSpl) {
        return;
    }
    FReferenceSpl = Value;
    reReference();
}

void TMeasureSystem::reReference() {
    const int32_t n = FDSPSpace->NRealFreqPoints();
    for (int32_t i = 0; i < n; ++i) {
        At(ResponseMgdB, i) = At(FResponseMgdB, i) - FReferenceSpl;
    }
}

void TMeasureSystem::SetUseUnrollAproximation(bool Value) {
    if (Value == FUseUnrollAproximation) {
        return;
    }
    FUseUnrollAproximation = Value;
    if (Value) {
        const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
        ResponsePhRadUnWrap.resize(n, 0.0);
        FResponsePhDegreesUnRoll.resize(n, 0.0);
    } else {
        ResponsePhRadUnWrap.clear();
        FResponsePhDegreesUnRoll.clear();
    }
}

void TMeasureSystem::ImportResponseDataPoint(int32_t Point, double Mg, double Ph, double PhUnWrapped) {
    if (Point >= FDSPSpace->NRealFreqPoints()) {
        return;
    }
    At(FResponseMgdB, Point) = Mg;
    At(ResponseMgdB, Point) = Mg - FReferenceSpl;
    At(FResponsePhRad, Point) = Ph;
    At(FResponsePhDegrees, Point) = Ph * kRadToDeg;
    At(ResponsePhRad, Point) = Ph;
    if (FUseUnrollAproximation) {
        At(ResponsePhRadUnWrap, Point) = PhUnWrapped;
        At(FResponsePhDegreesUnRoll, Point) = PhUnWrapped * kRadToDeg;
    }
}

void TMeasureSystem::SetMeaSystem(TMeasureSystemBrand Value) {
    if (Value == FMeaSystem) {
        return;
    }
    FMeaSystem = Value;
    FDialogFilter = dialogFilterOf(Value);
    std::fill(FResponseMgdB.begin(), FResponseMgdB.end(), 0.0);
    std::fill(FResponsePhRad.begin(), FResponsePhRad.end(), 0.0);
    std::fill(FResponsePhDegrees.begin(), FResponsePhDegrees.end(), 0.0);
    if (FUseUnrollAproximation) {
        std::fill(FResponsePhDegreesUnRoll.begin(), FResponsePhDegreesUnRoll.end(), 0.0);
    }
}

void TMeasureSystem::UnwrapPhaseDegrees(std::span<const double> Src, std::span<double> Dst) {
    unwrap(Src, Dst, 180.0, 360.0);
}

void TMeasureSystem::UnwrapPhaseRadians(std::span<const double> Src, std::span<double> Dst) {
    unwrap(Src, Dst, kPi, kTwoPi);
}

void TMeasureSystem::applyPeakLatency() {
    // The first sample of the largest magnitude is the impulse's time origin, unless the caller set
    // one or the measurement is off-axis in elevation.
    int32_t peak = 0;
    double best = 0.0;
    const int32_t n = std::min<int32_t>(ImpulseEnd, static_cast<int32_t>(RawImpulseRe.size()));
    for (int32_t i = 0; i < n; ++i) {
        const double m = std::fabs(RawImpulseRe[static_cast<size_t>(i)]);
        if (m > best) {
            best = m;
            peak = i;
        }
    }
    if (DegElevation == 0.0 && FImpulseLatency == 0.0) {
        FImpulseLatency = peak;
    }
    IsDelayIncludedInPhase = false;
}

TQzDspResult TMeasureSystem::readMls(const std::string& MeasFile) {
    rMlsFile mls;
    if (!OpenMlsFile(MeasFile, mls)) {
        return TQzDspResult::qzdReadFileError;
    }
    int32_t rate = mls.OldSampleRate;
    if (mls.SampleRate == 44100 || mls.SampleRate == 48000 || mls.SampleRate == 96000 ||
        mls.SampleRate == 192000) {
        rate = static_cast<int32_t>(mls.SampleRate);
    }
    if (rate == 0) {
        return TQzDspResult::qzdReadFileError;
    }
    ImpulseSampleRate = rate;
    ImpulseSize = static_cast<int32_t>(mls.numberOfSamples);
    ImpulseEnd = std::min(ImpulseEnd, ImpulseSize);
    if (mls.TimeWe < static_cast<uint32_t>(ImpulseEnd)) {
        ImpulseEnd = static_cast<int32_t>(mls.TimeWe);
    }
    ImpulseScale = static_cast<TLevUnit>(mls.ScaleType);
    const auto n = static_cast<std::ptrdiff_t>(ImpulseEnd);
    RawImpulseRe.assign(mls.ImpRe.begin(), mls.ImpRe.begin() + n);
    RawImpulseIm.assign(mls.ImpIm.begin(), mls.ImpIm.begin() + n);
    applyPeakLatency();
    return TQzDspResult::qzdOK;
}

TQzDspResult TMeasureSystem::readSpk(const std::string& MeasFile) {
    rWinmfSpkFile spk;
    if (!OpenWinMFspkFile(MeasFile, spk)) {
        return TQzDspResult::qzdReadFileError;
    }
    // A rate that is no positive whole number of hertz cannot place the bins.
    if (!(spk.SampleRate >= 0.5 && spk.SampleRate < INT32_MAX)) {
        return TQzDspResult::qzdReadFileError;
    }
    ImpulseSampleRate = RoundHalfEven<int32_t>(spk.SampleRate);
    ImpulseSize = static_cast<int32_t>(spk.numberOfSamples);
    Comments = spk.commentStr;
    RawImpulseRe.assign(spk.ImpRe.begin(), spk.ImpRe.end());
    RawImpulseIm.assign(spk.ImpIm.begin(), spk.ImpIm.end());
    FImpulseLatency = 0.0;
    return TQzDspResult::qzdOK;
}

TQzDspResult TMeasureSystem::readWav(const std::string& MeasFile) {
    rWAVFile wav;
    if (!ReadWavFile(MeasFile, wav)) {
        return TQzDspResult::qzdReadFileError;
    }
    const int64_t frames = WavFrameCount(wav);
    if (frames < 0) {
        return TQzDspResult::qzdReadFileError;
    }
    ImpulseSampleRate = static_cast<int32_t>(std::min<uint32_t>(wav.Header.SampleRate, INT32_MAX));
    ImpulseSize = static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX));
    ImpulseEnd = std::min(ImpulseEnd, ImpulseSize);
    ImpulseScale = TLevUnit::ludBRel;
    RawImpulseRe.assign(static_cast<size_t>(ImpulseEnd), 0.0);
    RawImpulseIm.assign(static_cast<size_t>(ImpulseEnd), 0.0);
    const TQzDspResult converted = WavSamplesToDouble(wav, RawImpulseRe, ImpulseEnd);
    if (converted != TQzDspResult::qzdOK) {
        return converted;
    }
    applyPeakLatency();
    return TQzDspResult::qzdOK;
}

TQzDspResult TMeasureSystem::readFile(const std::string& MeasFile, const std::string& PhFile) {
    using B = TMeasureSystemBrand;
    // Each impulse import starts from the full length, so a longer file after a shorter one is read
    // whole.
    if (isImpulseKind(FMeaSystem)) {
        ImpulseEnd = kDefaultImpulseEnd;
    }
    switch (FMeaSystem) {
    case B::msbAPrecision:
        if (!LoadTextLines(MeasFile, FMeasureString) || !LoadTextLines(PhFile, FMeasureStringPh)) {
            return TQzDspResult::qzdReadFileError;
        }
        return TQzDspResult::qzdOK;
    case B::msbMLS:
        return readMls(MeasFile);
    case B::msbSPK:
        return readSpk(MeasFile);
    case B::msbQZTF:
        // Read by SetMeasureFile itself, which keeps the first preset for the conversion.
        return TQzDspResult::qzdOK;
    case B::msbMultiQZTF:
        return TQzDspResult::qzdOK;
    case B::msbClioIR:
        if (!LoadTextLines(MeasFile, FMeasureString) || !OpenClioIRFile()) {
            return TQzDspResult::qzdReadFileError;
        }
        applyPeakLatency();
        return TQzDspResult::qzdOK;
    case B::msbRitaIR:
        ImpulseScale = TLevUnit::ludBRel;
        if (!LoadTextLines(MeasFile, FMeasureString) || !OpenRiTAIRFile()) {
            return TQzDspResult::qzdReadFileError;
        }
        applyPeakLatency();
        return TQzDspResult::qzdOK;
    case B::msbWavIR:
        return readWav(MeasFile);
    default:
        if (!LoadTextLines(MeasFile, FMeasureString)) {
            return TQzDspResult::qzdReadFileError;
        }
        return TQzDspResult::qzdOK;
    }
}

TQzDspResult TMeasureSystem::SetMeasureFile(const std::string& MeasFile, const std::string& PhFile) {
    using B = TMeasureSystemBrand;
    IsDelayIncludedInPhase = false;

    // Reading: a file the reader cannot take (also one that trips a bounds check while it is read)
    // ends the import before anything is converted or renamed.
    rQZTFFile qztf;
    try {
        if (FMeaSystem == B::msbQZTF) {
            if (!OpenQZTFFile(MeasFile, qztf) || qztf.Presets.empty()) {
                return TQzDspResult::qzdReadFileError;
            }
            const rQZTFPreset& first = qztf.Presets.front();
            DSPSamplesLatency = qztf.Header.DSPSamplesLatency;
            ProcessDelaySamples = first.ProcessDelaySamples;
            DSPLatencyMsec = static_cast<double>(DSPSamplesLatency) / qztf.Header.SampleRate * 1000.0;
            ProcessDelayMsec = static_cast<double>(ProcessDelaySamples) / qztf.Header.SampleRate * 1000.0;
            MeasureName = first.SourceName;
            PresetName = first.PresetName;
            Comments = first.Comments;
            IsDelayIncludedInPhase = qztf.Header.isDelayIncludedInPhase;
        } else {
            const TQzDspResult read = readFile(MeasFile, PhFile);
            if (read != TQzDspResult::qzdOK) {
                return read;
            }
        }
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdNotEnoughMemoryError;
    } catch (const std::exception&) {
        return TQzDspResult::qzdReadFileError;
    }

    // Conversion: data that cannot be placed on the grid is reported, not raised.
    TQzDspResult result = TQzDspResult::qzdError;
    try {
        switch (FMeaSystem) {
        case B::msbMLS:
        case B::msbClioIR:
        case B::msbRitaIR:
        case B::msbWavIR:
            result = ConvertSourceImpulseToMeaSystem(TFreqBands::fbOneFortyEigthOctave);
            break;
        case B::msbSPK:
            result = ConvertSourceComplexSpectrumToMeaSystem();
            break;
        case B::msbQZTF:
            result = ConvertSourceQOJTFToMeaSystem(qztf.Presets.front());
            break;
        default:
            result = ReadSourceStrToMeaSystem() == TQzDspResult::qzdOK ? ConvertSourceStrToMeaSystem()
                                                                       : TQzDspResult::qzdError;
            break;
        }
    } catch (const std::bad_alloc&) {
        result = TQzDspResult::qzdNotEnoughMemoryError;
    } catch (const std::exception&) {
        result = TQzDspResult::qzdError;
    }

    if (FAutoCalcRefLevel) {
        CalcRefLevel();
    }
    const std::filesystem::path path(MeasFile);
    FileName = path.filename().string();
    MeasureName = path.stem().string();
    return result;
}

} // namespace vendrel
