// Feeds arbitrary bytes to the ornament model file reader.

#include <cstddef>
#include <cstdint>
#include <span>

#include "files/ornament_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::span<const uint8_t> bytes(data, size);
    rOrnamentFile record;
    try {
        ReadOrnamentFileBytes(bytes, record, "Vendrel");
    } catch (const EReadError&) {
    }
    return 0;
}
