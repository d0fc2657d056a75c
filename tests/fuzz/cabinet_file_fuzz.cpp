// Feeds arbitrary bytes to the cabinet model file reader and the checks a model passes before it loads.

#include <cstddef>
#include <cstdint>
#include <span>

#include "files/cabinet_file.h"
#include "files/library_models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const std::span<const uint8_t> bytes(data, size);
    rCabinetFile record;
    try {
        if (ReadCabinetFileBytes(bytes, "fuzz.cabinet", record, "Vendrel")) {
            CheckCabinetRecordLoadable(record);
        }
    } catch (const EReadError&) {
    }
    return 0;
}
