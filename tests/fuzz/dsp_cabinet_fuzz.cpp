// Feeds arbitrary bytes to the processor blob reader, the part of project and sound-system files with
// the most nested counts. Whatever it accepts must be written again and read back to the same bytes;
// everything else must be refused with EReadError.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/dsp_cabinet.h"
#include "platform/core/byte_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    TDspCabinet blob;
    try {
        ByteReader r(std::span<const uint8_t>(data, size));
        ReadDspCabinet(r, blob, "");
    } catch (const EReadError&) {
        return 0;
    }
    ByteWriter w;
    WriteDspCabinet(w, blob);
    const std::vector<uint8_t> written = w.Take();
    TDspCabinet again;
    ByteReader r(written);
    ReadDspCabinet(r, again, "");
    ByteWriter w2;
    WriteDspCabinet(w2, again);
    if (w2.Data() != written || r.Remaining() != 0) {
        std::abort();
    }
    return 0;
}
