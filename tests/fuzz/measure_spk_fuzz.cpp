// Feeds arbitrary bytes to the WinMF .spk reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dsp/measure_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rWinmfSpkFile file;
    if (!ReadWinMFspkBytes(std::span<const uint8_t>(data, size), file)) {
        return 0;
    }
    // The comment stays within its field (71 characters, at most two UTF-8 bytes each) and the bins
    // read are the ones the input holds.
    const size_t n = file.numberOfSamples;
    if (file.commentStr.size() > 142 || file.ImpRe.size() != n || file.ImpIm.size() != n ||
        kSpkHeaderSize + 8 * n > size) {
        std::abort();
    }
    return 0;
}
