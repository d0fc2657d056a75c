#pragma once
// Reader of RIFF WAVE files: impulse responses for the measurement import and FIR coefficients.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/dsp_space.h"

namespace vendrel {

// The canonical WAVE header, field by field. Kept in memory only; the reader fills it from the
// file's "RIFF", "WAVE" and "fmt " chunks.
struct rWAVHeaderFile {
    char RIFF[4] = {};
    uint32_t FileSize = 0;
    char WAVE[4] = {};
    char fmt[4] = {};
    uint32_t fmtSize = 0;
    uint16_t AudioFormat = 0; // 1 integer PCM, 3 IEEE float, 65534 extensible
    uint16_t NumChannels = 0;
    uint32_t SampleRate = 0; // Hz
    uint32_t ByteRate = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

struct rWAVFile {
    rWAVHeaderFile Header;
    char ChunkID[4] = {};
    uint32_t ChunkSize = 0;          // bytes of sample data
    std::vector<uint8_t> DataBuffer; // the data chunk's content as stored
    // Format code of a WAVE_FORMAT_EXTENSIBLE file (first two bytes of its sub-format GUID);
    // 0 for a plain header.
    uint16_t SubFormat = 0;
};

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatFloat = 3;
inline constexpr uint16_t kWaveFormatExtensible = 65534;

// Walks the chunks of a RIFF WAVE file into Wav (which the caller passes cleared). False when the
// file cannot be opened, is not RIFF WAVE, or a format or data chunk does not fit in the file;
// nothing is allocated beyond the bytes the file holds. True otherwise, also when no data chunk
// was found (DataBuffer stays empty). Chunks after the data chunk are not read.
bool ReadWavFile(const std::string& FileName, rWAVFile& Wav);

// The same walk over bytes already in memory.
bool ReadWavBytes(std::span<const uint8_t> Bytes, rWAVFile& Wav);

// Converts the first channel of Wav's data to doubles scaled to +-1. Count <= 0 asks for every
// frame, a positive Count below the frame count limits the conversion to Count samples.
// qzdOK after a conversion; qzdError for 8-bit data (Dest untouched) or a destination too short
// (the first entries are zeroed); qzdReadFileError, Dest untouched, for anything it cannot
// convert: no channels or bits, an unsupported width or format, no frames.
TQzDspResult WavSamplesToDouble(const rWAVFile& Wav, std::span<double> Dest, int Count);

// Frames in the data chunk: ChunkSize (at most the bytes held) over the frame's bytes, truncated;
// -1 when the format has no channels or no bits per sample.
int64_t WavFrameCount(const rWAVFile& Wav);

} // namespace vendrel
