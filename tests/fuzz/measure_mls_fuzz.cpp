// Feeds arbitrary bytes to the CLIO .mls reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dsp/measure_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rMlsFile file;
    if (!ReadMlsBytes(std::span<const uint8_t>(data, size), file)) {
        return 0;
    }
    // Whatever the header claims, the samples read are the ones the input holds.
    const size_t n = file.numberOfSamples;
    if (n == 0 || file.ImpRe.size() != n || file.ImpIm.size() != n || kMlsHeaderSize + 8 * n > size) {
        std::abort();
    }
    return 0;
}
