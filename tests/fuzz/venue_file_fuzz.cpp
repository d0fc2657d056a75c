// Feeds arbitrary bytes to the venue reader, current and older layout. Whatever it accepts must be
// written again (in the current layout) and read back to the same bytes; everything else must be
// refused with EReadError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/venue_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    rVenueFile venue;
    try {
        if (!ReadVenueFile(std::span<const uint8_t>(data, size), "Vendrel Test", venue)) {
            return 0;
        }
    } catch (const EReadError&) {
        return 0;
    }
    // A converted older venue is written as a current one.
    auto& h = venue.Header;
    if (ProgramVersionNumber(h.MajorVersion, h.MinorVersion, h.ReleaseVersion) < kFirstCurrentLayoutVersion) {
        h.MajorVersion = 1;
        h.MinorVersion = 3;
        h.ReleaseVersion = 6;
    }
    const std::vector<uint8_t> written = WriteVenueFile(venue);
    rVenueFile again;
    if (!ReadVenueFile(written, "Vendrel Test", again) || WriteVenueFile(again) != written) {
        std::abort();
    }
    return 0;
}
