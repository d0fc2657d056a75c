// Feeds arbitrary bytes to the WAV chunk walk and the sample conversion.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "dsp/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rWAVFile wav;
    if (!ReadWavBytes(std::span<const uint8_t>(data, size), wav)) {
        return 0;
    }
    // Whatever the header claims, the reader never holds more than the input gave it.
    if (wav.DataBuffer.size() > size ||
        wav.DataBuffer.size() != (wav.DataBuffer.empty() ? 0 : wav.ChunkSize)) {
        std::abort();
    }
    // Widths below one byte give more frames than bytes; none of them converts.
    const int64_t frames = WavFrameCount(wav);
    if (frames > 8 * static_cast<int64_t>(size)) {
        std::abort();
    }
    std::vector<double> out(static_cast<size_t>(std::max<int64_t>(frames, 0)));
    WavSamplesToDouble(wav, out, -1);
    WavSamplesToDouble(wav, out, 3);
    // A destination shorter than the frames must be refused, not overrun.
    std::vector<double> shortOut(out.size() / 2);
    WavSamplesToDouble(wav, shortOut, -1);
    return 0;
}
