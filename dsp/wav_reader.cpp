#include "dsp/wav_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vendrel {

namespace {

uint16_t readU16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t readU32(std::span<const uint8_t> b, size_t at) {
    return le32(&b[at]);
}

bool idIs(std::span<const uint8_t> b, size_t at, const char* id) {
    return std::memcmp(&b[at], id, 4) == 0;
}

// Size of the fixed part of a "fmt " chunk, and of the extension that carries the sub-format of a
// WAVE_FORMAT_EXTENSIBLE header (cbSize, valid bits, channel mask, GUID).
constexpr uint32_t kFmtBaseSize = 16;
constexpr uint32_t kFmtExtensibleSize = 40;

} // namespace

bool ReadWavBytes(std::span<const uint8_t> Bytes, rWAVFile& Wav) {
    const size_t size = Bytes.size();
    if (size < 12 || !idIs(Bytes, 0, "RIFF")) {
        return false;
    }
    std::memcpy(Wav.Header.RIFF, "RIFF", 4);
    Wav.Header.FileSize = readU32(Bytes, 4);
    if (!idIs(Bytes, 8, "WAVE")) {
        return false;
    }
    std::memcpy(Wav.Header.WAVE, "WAVE", 4);

    size_t pos = 12;
    // A chunk header needs eight bytes; fewer trailing bytes end the walk.
    while (size - pos >= 8) {
        const size_t idAt = pos;
        const uint32_t length = readU32(Bytes, pos + 4);
        pos += 8;
        const size_t remaining = size - pos;
        // Lengths are signed 32-bit in the format; a negative one, or one that runs past the end of
        // the file, means the header does not describe this file.
        if (length > static_cast<uint32_t>(INT32_MAX) || length > remaining) {
            return false;
        }
        if (idIs(Bytes, idAt, "fmt ")) {
            if (length < kFmtBaseSize) {
                return false;
            }
            std::memcpy(Wav.Header.fmt, "fmt ", 4);
            Wav.Header.fmtSize = length;
            Wav.Header.AudioFormat = readU16(Bytes, pos);
            Wav.Header.NumChannels = readU16(Bytes, pos + 2);
            Wav.Header.SampleRate = readU32(Bytes, pos + 4);
            Wav.Header.ByteRate = readU32(Bytes, pos + 8);
            Wav.Header.BlockAlign = readU16(Bytes, pos + 12);
            Wav.Header.BitsPerSample = readU16(Bytes, pos + 14);
            Wav.SubFormat = 0;
            if (Wav.Header.AudioFormat == kWaveFormatExtensible && length >= kFmtExtensibleSize) {
                Wav.SubFormat = readU16(Bytes, pos + 24);
            }
        } else if (idIs(Bytes, idAt, "data")) {
            if (length == 0) {
                return false;
            }
            std::memcpy(Wav.ChunkID, "data", 4);
            Wav.ChunkSize = length;
            Wav.DataBuffer.assign(Bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                                  Bytes.begin() + static_cast<std::ptrdiff_t>(pos + length));
            return true;
        }
        pos += length;
        // RIFF pads odd chunks to an even length; writers that omit the pad byte go on directly
        // with the next identifier, which never starts with a zero byte.
        if ((length & 1u) != 0 && pos < size && Bytes[pos] == 0) {
            ++pos;
        }
    }
    return true;
}

bool ReadWavFile(const std::string& FileName, rWAVFile& Wav) {
    std::error_code ec;
    const auto fileSize = std::filesystem::file_size(FileName, ec);
    if (ec) {
        return false;
    }
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(fileSize));
    if (!bytes.empty() &&
        !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        return false;
    }
    return ReadWavBytes(bytes, Wav);
}

int64_t WavFrameCount(const rWAVFile& Wav) {
    const auto channels = Wav.Header.NumChannels;
    const auto bits = Wav.Header.BitsPerSample;
    if (channels == 0 || bits == 0) {
        return -1;
    }
    const double held = static_cast<double>(std::min<size_t>(Wav.ChunkSize, Wav.DataBuffer.size()));
    return static_cast<int64_t>(std::trunc(held / (channels * (bits / 8.0))));
}

TQzDspResult WavSamplesToDouble(const rWAVFile& Wav, std::span<double> Dest, int Count) {
    const int64_t frames = WavFrameCount(Wav);
    if (frames <= 0) {
        return TQzDspResult::qzdReadFileError;
    }
    const int64_t n = (Count > 0 && Count < frames) ? Count : frames;
    const unsigned bits = Wav.Header.BitsPerSample;
    if (bits == 8) {
        return TQzDspResult::qzdError;
    }
    // An extensible header names its sample format in the sub-format.
    const uint16_t format =
        Wav.Header.AudioFormat == kWaveFormatExtensible ? Wav.SubFormat : Wav.Header.AudioFormat;
    const bool known = bits == 16 || bits == 24 ||
                       (bits == 32 && (format == kWaveFormatPcm || format == kWaveFormatFloat)) ||
                       (bits == 64 && format == kWaveFormatFloat);
    if (!known) {
        return TQzDspResult::qzdReadFileError;
    }
    if (static_cast<uint64_t>(n) > Dest.size()) {
        std::fill(Dest.begin(), Dest.end(), 0.0);
        return TQzDspResult::qzdError;
    }

    const size_t sampleBytes = bits / 8;
    const size_t stride = sampleBytes * Wav.Header.NumChannels;
    const uint8_t* data = Wav.DataBuffer.data();
    for (int64_t i = 0; i < n; ++i) {
        const uint8_t* p = data + static_cast<size_t>(i) * stride;
        double v = 0.0;
        switch (bits) {
        case 16:
            v = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))) / 32768.0;
            break;
        case 24: {
            // Sign-extend bit 23 by placing the three bytes in the top of a 32-bit word.
            const uint32_t u = (static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                               (static_cast<uint32_t>(p[2]) << 24);
            v = static_cast<double>(static_cast<int32_t>(u) >> 8) / 8388608.0;
            break;
        }
        case 32: {
            const uint32_t u = le32(p);
            v = format == kWaveFormatPcm ? static_cast<int32_t>(u) / 2147483648.0
                                         : static_cast<double>(std::bit_cast<float>(u));
            break;
        }
        default: // 64-bit float
            v = std::bit_cast<double>(static_cast<uint64_t>(le32(p)) |
                                      (static_cast<uint64_t>(le32(p + 4)) << 32));
            break;
        }
        Dest[static_cast<size_t>(i)] = v;
    }
    return TQzDspResult::qzdOK;
}

} // namespace vendrel
