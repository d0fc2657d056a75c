#pragma once
// Binary measurement files of other analysers and the system's own transfer-function file: the CLIO
// .mls impulse, the WinMF .spk raw data and the QZTF .stf transfer functions. All values are
// little-endian and read field by field at the offsets of each format.
//
// The readers work on the file's bytes: every count and length is checked against the bytes present
// before anything is sized from it, so a damaged or hostile file is refused without allocating more
// than the file could hold.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

// CLIO .mls file: a 956-byte header, then n real and n imaginary singles.
struct rMlsFile {
    uint8_t TimeW = 0;
    uint32_t TimeWb = 0;
    uint32_t TimeWe = 0;          // upper limit of the samples used
    uint32_t numberOfSamples = 0; // n
    uint16_t OldSampleRate = 0;   // Hz
    uint8_t ScaleType = 0;        // a TLevUnit value: the unit of the samples
    uint32_t SampleRate = 0;      // Hz; used only when it is 44100, 48000, 96000 or 192000
    uint8_t MlsStilumi = 0;
    std::vector<float> ImpRe;
    std::vector<float> ImpIm;
};

inline constexpr size_t kMlsHeaderSize = 956;

// WinMF .spk file: a packed 256-byte header, then n real and n imaginary singles (a complex
// spectrum), always from offset 256.
struct rWinmfSpkFile {
    uint32_t numberOfSamples = 0;
    double SampleRate = 0.0;
    uint16_t offset = 0;
    uint8_t numberOfChannels = 0;
    uint8_t channelN = 0;
    bool editAllChannels = false;
    bool preemphasis = false;
    bool leftCursorActive = false;
    bool cursorLineVisable = false;
    bool cursorLock = false;
    uint8_t dataLineStyle = 0;
    uint8_t curveStyle = 0;
    uint8_t weighting = 0;
    uint8_t reservedByte = 0;
    bool normMax0dB = false;
    bool yZoom = false;
    bool xLog = false;
    uint8_t yLog = 0;
    uint8_t versionN = 0;
    uint8_t fftType = 0;
    double voltageRange = 0.0;
    uint8_t reservedBa[52] = {};
    uint8_t msOrigin = 0;
    uint8_t secOrigin = 0;
    uint8_t minOrigin = 0;
    uint8_t hourOrigin = 0;
    uint8_t dayOrigin = 0;
    uint8_t monthOrigin = 0;
    uint16_t yearOrigin = 0;
    uint32_t startData = 0;
    uint8_t xAxisUnitsStr[4] = {};
    uint8_t yAxisUnitsStr[4] = {};
    uint32_t lMargin = 0;
    uint32_t rMargin = 0;
    uint32_t lCursorPositions = 0;
    uint32_t rCursorPositions = 0;
    double basicTerm = 0.0;
    double topLevel = 0.0;
    double dynamicRange = 0.0;
    double voltRef0dB = 0.0;
    uint16_t leftCursOld = 0;
    uint16_t rightCursOld = 0;
    uint8_t addaQuantStr[21] = {};
    std::string commentStr; // at most 71 characters, UTF-8
    std::vector<float> ImpRe;
    std::vector<float> ImpIm;
};

inline constexpr size_t kSpkHeaderSize = 256;

// QZTF header: 108 bytes.
struct rQZTFHeaderFile {
    std::string HardType;
    int32_t FileMajorVer = 0;
    int32_t FileMinorVer = 0;
    std::string BrandName;
    std::string ModelName;
    int32_t SampleRate = 0; // Hz
    int32_t DSPSamplesLatency = 0;
    int32_t NSources = 0;
    int32_t NFrequencyPoints = 0;
    int32_t NPresets = 0;
    int32_t ReferencePreset = 0;
    bool isDelayIncludedInPhase = false;
};

// One transfer function: 252 + 24 L bytes in the file.
struct rQZTFPreset {
    std::string PresetName; // at most 22 characters
    std::string Comments;   // at most 200
    std::string SourceName; // at most 22
    int32_t ProcessDelaySamples = 0;
    int32_t TFLength = 0;   // L
    std::vector<double> Fr; // Hz, NFrequencyPoints entries, zero after the first L
    std::vector<double> Mg; // dB
    std::vector<double> Ph; // radians
};

struct rQZTFFile {
    rQZTFHeaderFile Header;
    std::vector<rQZTFPreset> Presets; // NPresets x NSources, in file order
};

inline constexpr size_t kQZTFHeaderSize = 108;
inline constexpr size_t kQZTFPresetHeaderSize = 252;

// The readers over a file's bytes; false when the bytes are not such a file. Fields read before a
// failure keep their values.
bool ReadMlsBytes(std::span<const uint8_t> Bytes, rMlsFile& File);
bool ReadWinMFspkBytes(std::span<const uint8_t> Bytes, rWinmfSpkFile& File);
bool ReadQZTFBytes(std::span<const uint8_t> Bytes, rQZTFFile& File);

// The whole file's bytes; false when it cannot be read.
bool ReadFileBytes(const std::string& FileName, std::vector<uint8_t>& Bytes);

} // namespace vendrel
