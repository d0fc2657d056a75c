// Readers of the binary measurement files (CLIO .mls, WinMF .spk, QZTF .stf) and of the CLIO and
// RiTA impulse text exports.

#include "dsp/measure_files.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <system_error>

#include "dsp/measure_system.h"
#include "dsp/text_lines.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Reads fields one after the other from an explicit position; every read checks the bytes left.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Remaining() const { return bytes_.size() - pos_; }
    bool Seek(size_t pos) {
        if (pos > bytes_.size()) {
            return false;
        }
        pos_ = pos;
        return true;
    }
    bool Raw(void* out, size_t n) {
        if (Remaining() < n) {
            return false;
        }
        if (n > 0) {
            std::memcpy(out, bytes_.data() + pos_, n);
        }
        pos_ += n;
        return true;
    }
    template <typename T> bool Read(T& out) {
        uint8_t raw[sizeof(T)];
        if (!Raw(raw, sizeof(T))) {
            return false;
        }
        if constexpr (std::is_same_v<T, bool>) {
            out = raw[0] != 0;
        } else {
            // Little-endian on every machine the program runs on; assembled bytewise all the same.
            uint64_t v = 0;
            for (size_t i = 0; i < sizeof(T); ++i) {
                v |= static_cast<uint64_t>(raw[i]) << (8 * i);
            }
            if constexpr (std::is_same_v<T, float>) {
                out = std::bit_cast<float>(static_cast<uint32_t>(v));
            } else if constexpr (std::is_same_v<T, double>) {
                out = std::bit_cast<double>(v);
            } else {
                out = static_cast<T>(v);
            }
        }
        return true;
    }
    // n singles; the caller has checked that they are present.
    bool Singles(std::vector<float>& out, size_t n) {
        if (Remaining() / 4 < n) {
            return false;
        }
        out.resize(n);
        for (auto& v : out) {
            Read(v);
        }
        return true;
    }
    // A fixed-width text: each byte the character of its code, blanks and control characters
    // trimmed at both ends.
    bool Text(std::string& out, size_t width) {
        std::string raw(width, '\0');
        if (!Raw(raw.data(), width)) {
            return false;
        }
        out = Latin1ToUtf8(TrimText(raw));
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// A sample count of the .mls and .spk formats: not 0, below 2^31, and its real and imaginary
// singles present after the header.
bool sampleCountFits(uint32_t n, size_t remaining) {
    return n != 0 && n <= static_cast<uint32_t>(INT32_MAX) && remaining / 8 >= n;
}

// Presets may announce more points than they carry (the arrays are zero after L); the zero tails of
// all presets together may not take more than this many times the file's own size.
constexpr size_t kQZTFPaddingFactor = 16;
constexpr size_t kQZTFPaddingSlack = size_t{1} << 20;

bool readQZTFHeader(ByteCursor& in, rQZTFHeaderFile& h) {
    uint8_t padding[3];
    return in.Text(h.HardType, 24) && in.Read(h.FileMajorVer) && in.Read(h.FileMinorVer) &&
           in.Text(h.BrandName, 23) && in.Text(h.ModelName, 25) && in.Read(h.SampleRate) &&
           in.Read(h.DSPSamplesLatency) && in.Read(h.NSources) && in.Read(h.NFrequencyPoints) &&
           in.Read(h.NPresets) && in.Read(h.ReferencePreset) && in.Read(h.isDelayIncludedInPhase) &&
           in.Raw(padding, 3);
}

bool readQZTFPreset(ByteCursor& in, int32_t nPoints, rQZTFPreset& p) {
    if (!(in.Text(p.PresetName, 22) && in.Text(p.Comments, 200) && in.Text(p.SourceName, 22) &&
          in.Read(p.ProcessDelaySamples) && in.Read(p.TFLength))) {
        return false;
    }
    const int32_t L = p.TFLength;
    if (L < 0 || L > nPoints || in.Remaining() / 24 < static_cast<size_t>(L)) {
        return false;
    }
    const auto n = static_cast<size_t>(nPoints);
    for (std::vector<double>* values : {&p.Fr, &p.Mg, &p.Ph}) {
        values->assign(n, 0.0);
        for (int32_t i = 0; i < L; ++i) {
            in.Read((*values)[static_cast<size_t>(i)]);
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
    std::error_code ec;
    const auto size = std::filesystem::file_size(FileName, ec);
    if (ec) {
        return false;
    }
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        return false;
    }
    try {
        Bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return Bytes.empty() || static_cast<bool>(in.read(reinterpret_cast<char*>(Bytes.data()),
                                                      static_cast<std::streamsize>(size)));
}

bool ReadMlsBytes(std::span<const uint8_t> Bytes, rMlsFile& File) {
    ByteCursor in(Bytes);
    if (!(in.Seek(797) && in.Read(File.TimeW) && in.Seek(800) && in.Read(File.TimeWb) &&
          in.Read(File.TimeWe) && in.Read(File.numberOfSamples) && in.Read(File.OldSampleRate) &&
          in.Seek(815) && in.Read(File.ScaleType) && in.Read(File.SampleRate) && in.Seek(833) &&
          in.Read(File.MlsStilumi) && in.Seek(kMlsHeaderSize))) {
        return false;
    }
    const uint32_t n = File.numberOfSamples;
    if (!sampleCountFits(n, in.Remaining())) {
        return false;
    }
    return in.Singles(File.ImpRe, n) && in.Singles(File.ImpIm, n);
}

bool ReadWinMFspkBytes(std::span<const uint8_t> Bytes, rWinmfSpkFile& f) {
    ByteCursor in(Bytes);
    uint8_t comment[72];
    const bool header =
        in.Read(f.numberOfSamples) && in.Read(f.SampleRate) && in.Read(f.offset) &&
        in.Read(f.numberOfChannels) && in.Read(f.channelN) && in.Read(f.editAllChannels) &&
        in.Read(f.preemphasis) && in.Read(f.leftCursorActive) && in.Read(f.cursorLineVisable) &&
        in.Read(f.cursorLock) && in.Read(f.dataLineStyle) && in.Read(f.curveStyle) && in.Read(f.weighting) &&
        in.Read(f.reservedByte) && in.Read(f.normMax0dB) && in.Read(f.yZoom) && in.Read(f.xLog) &&
        in.Read(f.yLog) && in.Read(f.versionN) && in.Read(f.fftType) && in.Read(f.voltageRange) &&
        in.Raw(f.reservedBa, sizeof f.reservedBa) && in.Read(f.msOrigin) && in.Read(f.secOrigin) &&
        in.Read(f.minOrigin) && in.Read(f.hourOrigin) && in.Read(f.dayOrigin) && in.Read(f.monthOrigin) &&
        in.Read(f.yearOrigin) && in.Read(f.startData) && in.Raw(f.xAxisUnitsStr, 4) &&
        in.Raw(f.yAxisUnitsStr, 4) && in.Read(f.lMargin) && in.Read(f.rMargin) &&
        in.Read(f.lCursorPositions) && in.Read(f.rCursorPositions) && in.Read(f.basicTerm) &&
        in.Read(f.topLevel) && in.Read(f.dynamicRange) && in.Read(f.voltRef0dB) && in.Read(f.leftCursOld) &&
        in.Read(f.rightCursOld) && in.Raw(f.addaQuantStr, sizeof f.addaQuantStr) && in.Raw(comment, 72);
    if (!header) {
        return false;
    }
    // The comment's length byte may claim more than its 71-character field.
    const size_t length = std::min<size_t>(comment[0], 71);
    f.commentStr = Latin1ToUtf8(std::string_view(reinterpret_cast<const char*>(comment + 1), length));
    // The samples start at 256 whatever startData says.
    const uint32_t n = f.numberOfSamples;
    if (!sampleCountFits(n, in.Remaining())) {
        return false;
    }
    return in.Singles(f.ImpRe, n) && in.Singles(f.ImpIm, n);
}

bool ReadQZTFBytes(std::span<const uint8_t> Bytes, rQZTFFile& File) {
    ByteCursor in(Bytes);
    rQZTFHeaderFile& h = File.Header;
    if (!readQZTFHeader(in, h)) {
        return false;
    }
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
