// Feeds arbitrary bytes to the overlay reader. Whatever it accepts must be written again and read back
// to the same bytes; everything else must be refused with EReadError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/overlay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rOverlayFile overlays;
    try {
        if (!ReadOverlayFile(std::span<const uint8_t>(data, size), "Vendrel Test", overlays)) {
            return 0;
        }
    } catch (const EReadError&) {
        return 0;
    }
    const std::vector<uint8_t> written = WriteOverlayFile(overlays);
    rOverlayFile again;
    if (!ReadOverlayFile(written, "Vendrel Test", again) || WriteOverlayFile(again) != written) {
        std::abort();
    }
    return 0;
}
