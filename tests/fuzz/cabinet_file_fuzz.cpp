// Feeds arbitrary bytes to the cabinet model file reader.

#include <cstddef>
#include <cstdint>
#include <span>

#include "files/cabinet_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::span<const uint8_t> bytes(data, size);
    rCabinetFile record;
    try {
        ReadCabinetFileBytes(bytes, "fuzz.cabinet", record, "Vendrel");
    } catch (const EReadError&) {
    }
    return 0;
}
