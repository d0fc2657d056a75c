#pragma once
// A loudspeaker processor's settings as stored in project and sound-system files, one blob per user
// DSP process: a header, then for the processor's inputs ("uses") and outputs a run of optional lists,
// each behind a flag byte and present or absent as a whole, then a short trailer.
//
// Input lists hold one entry per input (`NUses` of the header) and output lists one per output
// (`NOutputs`), both when written and when read. Input names and descriptions are stored as
// blank-padded 6- and 200-character fields, output names as 6-character fields.

#include "files/processor_records.h"
#include "platform/core/byte_stream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel {

// Header of the blob; its first 364 bytes are stored.
struct rDSPHeaderFile {
    std::string HardType; // processor hardware type, at most 23 characters; empty in blobs of this program
    int32_t FileMajorVer = 0;
    int32_t FileMinorVer = 0;
    std::string BrandName;   // at most 22 characters
    std::string ModelName;   // this program writes its software name
    std::string ProjectName; // this program writes the DSP process's name
    std::string Engineer;
    std::string Comments; // at most 200 characters
    uint8_t MajorVersion = 0;
    uint8_t MinorVersion = 0;
    uint8_t ReleaseVersion = 0;
    uint8_t BuildVersion = 0;
    int32_t NUses = 0; // number of inputs: entries of every input list present
    int32_t NPresets = 0;
    int32_t NOutputs = 0; // number of outputs: entries of every output list present
    int32_t DefaultPreset = 0;
    TSampleRate SampleRate{}; // stored as its ordinal in 32 bits
    uint8_t PresetMajorVer = 0;
    uint8_t PresetMinorVer = 0;
    uint8_t PresetReleaseVern = 0;
    uint8_t PresetBuildVer = 0;

    bool operator==(const rDSPHeaderFile&) const = default;
};
inline constexpr size_t kDSPHeaderStoredSize = 364;

struct TDspCabinet {
    rDSPHeaderFile Header;
    bool isEmpty = false;
    bool HasUsesName = false;
    std::vector<std::string> UsesName; // stored as 6 characters
    bool HasUsesInfo = false;
    std::vector<std::string> UsesInfo; // at most 200 characters
    bool HasUsesGain = false;
    std::vector<rGain> UsesGain;
    bool HasUsesDelay = false;
    std::vector<int32_t> UsesDelay; // samples
    bool HasUsesXover = false;
    std::vector<TXoverPair> UsesXover;
    bool HasUsesGeq = false;
    std::vector<rGeq> UsesGeq;
    bool HasUsesPeq = false;
    std::vector<rPeqs> UsesPeq;
    bool HasUsesAirComp = false;
    std::vector<rAirComp> UsesAirComp;
    bool HasUsesFir = false;
    std::vector<rFir> UsesFir;
    bool HasOutputName = false;
    std::vector<std::string> OutputName; // at most 6 characters
    bool HasOutputGain = false;
    std::vector<rGain> OutputGain;
    bool HasOutputDelay = false;
    std::vector<int32_t> OutputDelay; // samples
    bool HasOutputGeq = false;
    std::vector<rGeq> OutputGeq;
    bool HasOutputPeq = false;
    std::vector<rPeqs> OutputPeq;
    bool HasOutputXover = false;
    std::vector<TXoverPair> OutputXover;
    bool HasOutputAirComp = false;
    std::vector<rAirComp> OutputAirComp;
    bool HasOutputFir = false;
    std::vector<rFir> OutputFir;
    bool HasOutputDynRMS = false;
    std::vector<rMDynRMS> OutputDynRMS;
    bool HasOutputDynPeak = false;
    std::vector<rMDynPeak> OutputDynPeak;
    bool HasOutputType = false;
    std::vector<rWayType> OutputType;
    bool HasOutputSpeakerParams = false;
    std::vector<rSPKParams> OutputSpeakerParams;
    bool HasOutputMeasureSystem = false;
    std::vector<rMeasureSystem> OutputMeasureSystems;
    int32_t ReferenceChannel = 0;
    bool OpenClosePswAct = false;
    std::array<uint8_t, 6> OpenClosePsw{}; // the processor's access code, carried unchanged
    int32_t EndUserAllowInputDspControl = 0;
    int32_t EndUserAllowOutputDspControl = 0;

    bool operator==(const TDspCabinet&) const = default;
};

// Stored size of a blob with every flag clear.
inline constexpr size_t kEmptyDspCabinetSize = 534;

// Writes the blob; a list that is present must hold exactly its count of entries (ERangeError).
void WriteDspCabinet(ByteWriter& w, const TDspCabinet& blob);

// Reads a blob. A blob whose hardware type differs from `expectedHardType` (both without leading and
// trailing blanks) is refused, as is anything its records cannot hold (EReadError). On refusal `blob`
// is left as it was. Input crossovers whose filter type is not Butterworth, Linkwitz-Riley or Bessel
// read as Linkwitz-Riley.
void ReadDspCabinet(ByteReader& rd, TDspCabinet& blob, std::string_view expectedHardType);

} // namespace vendrel
