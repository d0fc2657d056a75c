// Feeds arbitrary bytes to the sound-system reader. Whatever it accepts must be written again and read
// back to the same bytes; everything else must be refused with EReadError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/system_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rSystemFile system;
    try {
        ReadSystemFile(std::span<const uint8_t>(data, size), system);
    } catch (const EReadError&) {
        return 0;
    }
    // The picture never holds more than the input gave.
    if (system.SystemImage.size() > size) {
        std::abort();
    }
    const std::vector<uint8_t> written = WriteSystemFile(system);
    rSystemFile again;
    ReadSystemFile(written, again);
    if (WriteSystemFile(again) != written) {
        std::abort();
    }
    return 0;
}
