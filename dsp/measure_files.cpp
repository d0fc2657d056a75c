// Readers of the binary measurement files (CLIO .mls, WinMF .spk, QZTF .stf) and of the CLIO and
// RiTA impulse text exports.

#include "dsp/measure_files.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>

#include "dsp/measure_system.h"
#include "dsp/text_lines.h"
#include "platform/core/atomic_file.h"
#include "platform/core/byte_stream.h"
#include "platform/core/numeric.h"
#include "platform/core/unicode.h"

namespace vendrel {

namespace {

// Runs a reader over the bytes; false when the bytes run out or a count does not fit them.
template <typename Read> bool readWith(std::span<const uint8_t> bytes, Read read) {
    ByteReader in(bytes);
    try {
        return read(in);
    } catch (const EReadError&) {
        return false;
    }
}

// n singles.
std::vector<float> singles(ByteReader& in, size_t n) {
    std::vector<float> v(in.CheckCount(static_cast<int64_t>(n), 4, "samples"));
    for (float& x : v) {
        x = in.F32();
    }
    return v;
}

// A fixed-width text: each byte the character of the same code, blanks and control characters
// trimmed at both ends.
std::string fixedText(ByteReader& in, size_t width) {
    const auto raw = in.Bytes(width);
    return Latin1ToUtf8(TrimText(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size())));
}

template <size_t N> void rawBytes(ByteReader& in, uint8_t (&out)[N]) {
    const auto raw = in.Bytes(N);
    std::copy(raw.begin(), raw.end(), out);
}

// A sample count of the .mls and .spk formats: not 0, below 2^31, and its real and imaginary
// singles present after the header.
bool sampleCountFits(uint32_t n, size_t remaining) {
    return n != 0 && n <= static_cast<uint32_t>(INT32_MAX) && remaining / 8 >= n;
}

// Presets may announce more points than they carry (the arrays are zero after L); the zero tails of
// all presets together may not take more than this many times the file's own size.
constexpr size_t kQZTFPaddingFactor = 16;
constexpr size_t kQZTFPaddingSlack = size_t{1} << 20;

void readQZTFHeader(ByteReader& in, rQZTFHeaderFile& h) {
    h.HardType = fixedText(in, 24);
    h.FileMajorVer = in.I32();
    h.FileMinorVer = in.I32();
    h.BrandName = fixedText(in, 23);
    h.ModelName = fixedText(in, 25);
    h.SampleRate = in.I32();
    h.DSPSamplesLatency = in.I32();
    h.NSources = in.I32();
    h.NFrequencyPoints = in.I32();
    h.NPresets = in.I32();
    h.ReferencePreset = in.I32();
    h.isDelayIncludedInPhase = in.U8() != 0;
    in.Skip(3); // padding
}

bool readQZTFPreset(ByteReader& in, int32_t nPoints, rQZTFPreset& p) {
    p.PresetName = fixedText(in, 22);
    p.Comments = fixedText(in, 200);
    p.SourceName = fixedText(in, 22);
    p.ProcessDelaySamples = in.I32();
    p.TFLength = in.I32();
    const int32_t L = p.TFLength;
    if (L < 0 || L > nPoints || in.Remaining() / 24 < static_cast<size_t>(L)) {
        return false;
    }
    const auto n = static_cast<size_t>(nPoints);
    for (std::vector<double>* values : {&p.Fr, &p.Mg, &p.Ph}) {
        values->assign(n, 0.0);
        for (int32_t i = 0; i < L; ++i) {
            (*values)[static_cast<size_t>(i)] = in.F64();
        }
    }
    return true;
}

// Position (1-based) of the first occurrence of what in text, 0 when absent.
size_t pos1(const std::string& text, std::string_view what) {
    const auto at = text.find(what);
    return at == std::string::npos ? 0 : at + 1;
}

// A number with "." as decimal point, whatever the user's locale.
std::optional<double> pointNumber(std::string_view text) {
    return ParseDecimal(text, false);
}

// Lines of an impulse text: the impulse size, the samples the transform uses, and the raw arrays
// sized to them and cleared, so that nothing of an earlier import stays in samples this file does not
// fill. False when the arrays cannot be held.
bool sizeImpulseFromLines(TMeasureSystem& m) {
    const auto samples = static_cast<int32_t>(std::min<size_t>(m.MeasureFile().size() - 1, INT32_MAX));
    m.ImpulseSize = samples;
    m.ImpulseEnd = std::min(m.ImpulseEnd, samples);
    try {
        m.RawImpulseRe.assign(static_cast<size_t>(m.ImpulseEnd), 0.0);
        m.RawImpulseIm.assign(static_cast<size_t>(m.ImpulseEnd), 0.0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

bool ReadFileBytes(const std::string& FileName, std::vector<uint8_t>& Bytes) {
    try {
        Bytes = ReadWholeFile(FileName);
    } catch (const EFileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ReadMlsBytes(std::span<const uint8_t> Bytes, rMlsFile& File) {
    return readWith(Bytes, [&File](ByteReader& in) {
        in.Seek(797);
        File.TimeW = in.U8();
        in.Seek(800);
        File.TimeWb = in.U32();
        File.TimeWe = in.U32();
        File.numberOfSamples = in.U32();
        File.OldSampleRate = in.U16();
        in.Seek(815);
        File.ScaleType = in.U8();
        File.SampleRate = in.U32();
        in.Seek(833);
        File.MlsStilumi = in.U8();
        in.Seek(kMlsHeaderSize);
        const uint32_t n = File.numberOfSamples;
        if (!sampleCountFits(n, in.Remaining())) {
            return false;
        }
        File.ImpRe = singles(in, n);
        File.ImpIm = singles(in, n);
        return true;
    });
}

bool ReadWinMFspkBytes(std::span<const uint8_t> Bytes, rWinmfSpkFile& f) {
    return readWith(Bytes, [&f](ByteReader& in) {
        const auto flag = [&in] { return in.U8() != 0; };
        f.numberOfSamples = in.U32();
        f.SampleRate = in.F64();
        f.offset = in.U16();
        f.numberOfChannels = in.U8();
        f.channelN = in.U8();
        f.editAllChannels = flag();
        f.preemphasis = flag();
        f.leftCursorActive = flag();
        f.cursorLineVisable = flag();
        f.cursorLock = flag();
        f.dataLineStyle = in.U8();
        f.curveStyle = in.U8();
        f.weighting = in.U8();
        f.reservedByte = in.U8();
        f.normMax0dB = flag();
        f.yZoom = flag();
        f.xLog = flag();
        f.yLog = in.U8();
        f.versionN = in.U8();
        f.fftType = in.U8();
        f.voltageRange = in.F64();
        rawBytes(in, f.reservedBa);
        f.msOrigin = in.U8();
        f.secOrigin = in.U8();
        f.minOrigin = in.U8();
        f.hourOrigin = in.U8();
        f.dayOrigin = in.U8();
        f.monthOrigin = in.U8();
        f.yearOrigin = in.U16();
        f.startData = in.U32();
        rawBytes(in, f.xAxisUnitsStr);
        rawBytes(in, f.yAxisUnitsStr);
        f.lMargin = in.U32();
        f.rMargin = in.U32();
        f.lCursorPositions = in.U32();
        f.rCursorPositions = in.U32();
        f.basicTerm = in.F64();
        f.topLevel = in.F64();
        f.dynamicRange = in.F64();
        f.voltRef0dB = in.F64();
        f.leftCursOld = in.U16();
        f.rightCursOld = in.U16();
        rawBytes(in, f.addaQuantStr);
        const auto comment = in.Bytes(72);
        // The comment's length byte may claim more than its 71-character field.
        const size_t length = std::min<size_t>(comment[0], 71);
        f.commentStr =
            Latin1ToUtf8(std::string_view(reinterpret_cast<const char*>(comment.data() + 1), length));
        // The samples start at 256 whatever startData says.
        const uint32_t n = f.numberOfSamples;
        if (!sampleCountFits(n, in.Remaining())) {
            return false;
        }
        f.ImpRe = singles(in, n);
        f.ImpIm = singles(in, n);
        return true;
    });
}

bool ReadQZTFBytes(std::span<const uint8_t> Bytes, rQZTFFile& File) {
    return readWith(Bytes, [&File, &Bytes](ByteReader& in) {
        rQZTFHeaderFile& h = File.Header;
        readQZTFHeader(in, h);
        int32_t count = 0;
        if (h.NPresets < 0 || h.NSources < 0 || h.NFrequencyPoints < 0 ||
            __builtin_mul_overflow(h.NPresets, h.NSources, &count)) {
            return false;
        }
        // Every preset carries at least its fixed part.
        if (in.Remaining() / kQZTFPresetHeaderSize < static_cast<size_t>(count)) {
            return false;
        }
        const size_t budget = kQZTFPaddingFactor * Bytes.size() + kQZTFPaddingSlack;
        const size_t presetBytes = 24 * static_cast<size_t>(h.NFrequencyPoints);
        if (presetBytes > budget || static_cast<size_t>(count) > budget / std::max<size_t>(presetBytes, 1)) {
            return false;
        }
        File.Presets.assign(static_cast<size_t>(count), rQZTFPreset{});
        for (auto& preset : File.Presets) {
            if (!readQZTFPreset(in, h.NFrequencyPoints, preset)) {
                return false;
            }
        }
        return true;
    });
}

bool TMeasureSystem::OpenMlsFile(const std::string& sFile, rMlsFile& MLSFILE) {
    std::vector<uint8_t> bytes;
    return ReadFileBytes(sFile, bytes) && ReadMlsBytes(bytes, MLSFILE);
}

bool TMeasureSystem::OpenWinMFspkFile(const std::string& sFile, rWinmfSpkFile& SPKFILE) {
    std::vector<uint8_t> bytes;
    return ReadFileBytes(sFile, bytes) && ReadWinMFspkBytes(bytes, SPKFILE);
}

bool TMeasureSystem::OpenQZTFFile(const std::string& sFile, rQZTFFile& QZTFFile) {
    std::vector<uint8_t> bytes;
    try {
        return ReadFileBytes(sFile, bytes) && ReadQZTFBytes(bytes, QZTFFile);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TMeasureSystem::OpenClioIRFile() {
    if (FMeaSystem != TMeasureSystemBrand::msbClioIR) {
        return false;
    }
    const std::vector<std::string>& lines = FMeasureString;
    // The unit is named in the header, after the time column.
    const std::string& header = At(lines, 0);
    bool known = false;
    if (pos1(header, "Pa") >= 9) {
        ImpulseScale = TLevUnit::ludBSpl;
        known = true;
    }
    if (pos1(header, "V") >= 9) {
        ImpulseScale = TLevUnit::ludBV;
        known = true;
    }
    if (!known || !sizeImpulseFromLines(*this)) {
        return false;
    }
    // The time of the second sample is the sample period; its column ends at the separator.
    const std::string& second = At(lines, 2);
    char separator = ' ';
    auto period = pointNumber(second.substr(0, second.find(' ')));
    if (!period) {
        separator = '\t';
        period = pointNumber(second.substr(0, second.find('\t')));
    }
    if (!period || !(*period > 0.0)) {
        return false;
    }
    const double rate = 1.0 / *period;
    if (!(rate < INT32_MAX)) {
        return false;
    }
    ImpulseSampleRate = RoundHalfEven<int32_t>(rate);
    for (int32_t L = 1; L <= ImpulseEnd; ++L) {
        const std::string& line = At(lines, L);
        const auto first = line.find(separator);
        std::string rest = TrimText(first == std::string::npos ? line : line.substr(first + 1));
        const auto next = rest.find(separator);
        // Without a further separator there is no real part; the rest is read as the imaginary part.
        if (next != std::string::npos) {
            if (const auto re = pointNumber(rest.substr(0, next))) {
                RawImpulseRe[static_cast<size_t>(L - 1)] = *re;
            }
            rest = TrimText(rest.substr(next + 1));
        }
        if (const auto im = pointNumber(rest)) {
            RawImpulseIm[static_cast<size_t>(L - 1)] = *im;
        }
    }
    FMeasureString.clear();
    return true;
}

bool TMeasureSystem::OpenRiTAIRFile() {
    if (FMeaSystem != TMeasureSystemBrand::msbRitaIR || At(FMeasureString, 0) != "frequency,Values") {
        return false;
    }
    if (!sizeImpulseFromLines(*this)) {
        return false;
    }
    const std::string& second = At(FMeasureString, 2);
    const auto periodMs = pointNumber(second.substr(0, second.find(',')));
    if (!periodMs || !(*periodMs > 0.0)) {
        return false;
    }
    // The rate of the samples themselves (44100 Hz stays 44100, not a whole number of kilohertz).
    const double rate = 1000.0 / *periodMs;
    if (!(rate < INT32_MAX)) {
        return false;
    }
    ImpulseSampleRate = RoundHalfEven<int32_t>(rate);
    for (int32_t L = 1; L <= ImpulseEnd; ++L) {
        const std::string& line = At(FMeasureString, L);
        const auto comma = line.find(',');
        if (const auto v = pointNumber(comma == std::string::npos ? line : line.substr(comma + 1))) {
            RawImpulseRe[static_cast<size_t>(L - 1)] = *v;
        }
    }
    FMeasureString.clear();
    return true;
}

} // namespace vendrel
