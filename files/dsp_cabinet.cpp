#include "files/dsp_cabinet.h"

#include "files/processor_transfer.h"

namespace vendrel {

using namespace record_transfer;

#if VENDREL_STATIC_RECORD_SIZES
static_assert(SizeOf<rDSPHeaderFile>([](auto& io, auto& r) { Transfer(io, r); }) == kDSPHeaderStoredSize);
static_assert(SizeOf<TDspCabinet>([](auto& io, auto& r) { Transfer(io, r); }) == kEmptyDspCabinetSize);
#endif

void WriteDspCabinet(ByteWriter& w, const TDspCabinet& blob) {
    WriteRecord(w, blob, [](auto& io, auto& r) { Transfer(io, r); });
}

void ReadDspCabinet(ByteReader& rd, TDspCabinet& blob, std::string_view expectedHardType) {
    ReadRecord(rd, blob, [expectedHardType](auto& io, auto& r) { Transfer(io, r, expectedHardType); });
}

} // namespace vendrel
