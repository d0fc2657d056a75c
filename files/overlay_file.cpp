#include "files/overlay_file.h"

#include "files/record_sections.h"
#include "platform/core/cursor_service.h"

namespace vendrel {
namespace record_transfer {

template <class IO, RecordOf<rOverlayFile> R> void TransferBody(IO& io, R& f) {
    io.U8(f.NOverlays);
    Section(io, f.Overlays, f.NOverlays, kPRJOverlaySize, "overlays");
    io.I32(f.NewDataSize);
}

} // namespace record_transfer

using namespace record_transfer;

std::vector<uint8_t> WriteOverlayFile(const rOverlayFile& file) {
    ByteWriter w;
    WritePRJHeader(w, file.Header);
    RecordWriter io(w);
    TransferBody(io, file);
    return w.Take();
}

bool ReadOverlayFile(std::span<const uint8_t> bytes, const std::string& softwareName, rOverlayFile& file) {
    ByteReader r(bytes);
    rOverlayFile read;
    ReadPRJHeader(r, read.Header);
    if (!IsSoftType(read.Header.SoftType, softwareName)) {
        return false;
    }
    RecordReader io(r);
    TransferBody(io, read);
    file = std::move(read);
    return true;
}

void SaveOverlayRecord(const std::filesystem::path& fileName, const rOverlayFile& file, IFileSystem& fs) {
    const auto cursor = TSmartCursor::HourGlass();
    WriteFileAtomically(fileName, WriteOverlayFile(file), fs);
}

bool OpenOverlayRecord(const std::filesystem::path& fileName, rOverlayFile& file,
                       const std::string& softwareName) {
    const auto cursor = TSmartCursor::HourGlass();
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    try {
        return ReadOverlayFile(bytes, softwareName, file);
    } catch (const EReadError& e) {
        throw Named(fileName, e);
    }
}

} // namespace vendrel
