// Feeds arbitrary bytes to the rigging model file reader.

#include <cstddef>
#include <cstdint>
#include <span>

#include "files/rigging_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::span<const uint8_t> bytes(data, size);
    rFrameFile record;
    try {
        ReadFrameFileBytes(bytes, record, "Vendrel");
    } catch (const EReadError&) {
    }
    return 0;
}
