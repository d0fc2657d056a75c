#include "files/system_file.h"

#include "files/record_sections.h"
#include "platform/core/cursor_service.h"

namespace vendrel {
namespace record_transfer {

template <class IO, RecordOf<rSystemStaticDataFile> R> constexpr void Transfer(IO& io, R& s) {
    const size_t start = io.Position();
    io.I32(s.NumID);
    io.F32(s.Depth);
    io.F32(s.Height);
    io.F32(s.Width);
    io.Point(s.CenterPoint);
    io.Point(s.Position);
    io.Point(s.Rotation);
    io.At(start, 52);
    io.I32(s.NCabinets);
    io.I32(s.NCabArrays);
    io.I32(s.NClusters);
    io.I32(s.NMappingZones);
    io.I32(s.NOrnaments);
    io.Bool(s.HasSystemImage, "HasSystemImage");
    io.Pad(3);
    io.I32(s.SizeSystemImage);
    io.U8(s.NDSPs);
    io.U8(s.NBeams);
    io.At(start, 82);
    io.Pad(126); // NewData
}

template <class IO, RecordOf<rSystemFile> R> void TransferBody(IO& io, R& f) {
    Transfer(io, f.GlobalStaticData);
    auto& s = f.GlobalStaticData;
    Section(io, f.Cabinets, s.NCabinets, kPRJCabinetSize, "cabinets");
    Section(io, f.CabArrays, s.NCabArrays, kPRJCabArraySize, "line arrays");
    Section(io, f.Clusters, s.NClusters, kPRJClusterSize, "clusters");
    Section(io, f.MappingZones, s.NMappingZones, kPRJMappingZoneSize, "zones");
    Section(io, f.Ornaments, s.NOrnaments, kPRJOrnamentSize, "ornaments");
    // The picture flag again, as the byte that decides whether the picture follows.
    io.Bool(s.HasSystemImage, "HasSystemImage");
    if (s.HasSystemImage) {
        io.ForCount(f.SystemImage, s.SizeSystemImage, 1, "picture bytes");
        io.Bytes(f.SystemImage);
    }
    ProcessSection(io, f.ProcessActive, f.DSPProcess, s.NDSPs);
    Section(io, f.Beams, s.NBeams, kPRJBeamSteeringSize, "beam-steering arrays");
    io.I32(f.NewDataSize);
}

#if VENDREL_STATIC_RECORD_SIZES
static_assert(SizeOf<rSystemStaticDataFile>([](auto& io, auto& r) { Transfer(io, r); }) ==
              kSystemStaticDataSize);
#endif

} // namespace record_transfer

using namespace record_transfer;

std::vector<uint8_t> WriteSystemFile(const rSystemFile& file) {
    RefuseOldLayoutVersion(file.Header.MajorVersion, file.Header.MinorVersion, file.Header.ReleaseVersion);
    ByteWriter w;
    WriteSysHeader(w, file.Header);
    RecordWriter io(w);
    TransferBody(io, file);
    return w.Take();
}

void ReadSystemFile(std::span<const uint8_t> bytes, rSystemFile& file) {
    ByteReader r(bytes);
    rSystemFile read;
    ReadSysHeader(r, read.Header);
    const auto& h = read.Header;
    const int version = ProgramVersionNumber(h.MajorVersion, h.MinorVersion, h.ReleaseVersion);
    if (version < kFirstCurrentLayoutVersion) {
        throw EReadError("The sound system was saved by version " + std::to_string(h.MajorVersion) + "." +
                             std::to_string(h.MinorVersion) + "." + std::to_string(h.ReleaseVersion) +
                             " of the program, whose sound-system files cannot be read.",
                         TReadFault::OldVersion);
    }
    RecordReader io(r);
    TransferBody(io, read);
    file = std::move(read);
}

void SaveSystemRecord(const std::filesystem::path& fileName, const rSystemFile& file, IFileSystem& fs) {
    const auto cursor = TSmartCursor::HourGlass();
    WriteFileAtomically(fileName, WriteSystemFile(file), fs);
}

void OpenSystemRecord(const std::filesystem::path& fileName, rSystemFile& file) {
    const auto cursor = TSmartCursor::HourGlass();
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    try {
        ReadSystemFile(bytes, file);
    } catch (const EReadError& e) {
        throw Named(fileName, e);
    }
}

bool CheckSystemRecordFile(const std::filesystem::path& fileName, rSystemFile& file,
                           const std::string& softwareName) {
    const std::vector<uint8_t> bytes = ReadFileHead(fileName, kSysHeaderSize);
    ByteReader r(bytes);
    rSysHeaderFile header;
    try {
        ReadSysHeader(r, header);
    } catch (const EReadError& e) {
        throw Named(fileName, e);
    }
    file.Header = std::move(header);
    return IsSoftType(file.Header.SoftType, softwareName);
}

} // namespace vendrel
