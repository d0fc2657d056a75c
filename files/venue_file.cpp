#include "files/venue_file.h"

#include "files/record_sections.h"
#include "platform/core/cursor_service.h"

namespace vendrel {
namespace record_transfer {

template <class IO, RecordOf<rVenueStaticDataFile> R> constexpr void Transfer(IO& io, R& s) {
    const size_t start = io.Position();
    io.I32(s.VenueLength);
    io.I32(s.VenueHeightVer);
    io.I32(s.VenueWidthHor);
    io.I32(s.NMappingZones);
    io.U8(s.NLayers);
    io.At(start, 17);
    io.I32(s.NOrnaments);
    io.Pad(27); // NewData
}

// The static block of the older layout: the venue's size and the number of zones.
template <class IO, RecordOf<rVenueStaticDataFile> R> constexpr void TransferV1(IO& io, R& s) {
    io.I32(s.VenueLength);
    io.I32(s.VenueHeightVer);
    io.I32(s.VenueWidthHor);
    io.I32(s.NMappingZones);
}

// A zone of the older layout: no IsLocked, and nothing after the image file name.
template <class IO, RecordOf<rPRJMappingZone> R> constexpr void TransferV1(IO& io, R& r) {
    const size_t start = io.Position();
    TransferZoneBox(io, r);
    io.At(start, 91);
    TransferZoneShapeAndTexture(io, r);
}

template <class IO, RecordOf<rVenueFile> R> void TransferBody(IO& io, R& f) {
    Transfer(io, f.GlobalStaticData);
    const auto& s = f.GlobalStaticData;
    Section(io, f.MappingZones, s.NMappingZones, kPRJMappingZoneSize, "zones");
    Section(io, f.Layers, s.NLayers, kPRJLayerSize, "layers");
    Section(io, f.Ornaments, s.NOrnaments, kPRJOrnamentSize, "ornaments");
    io.I32(f.NewDataSize);
}

#if VENDREL_STATIC_RECORD_SIZES
static_assert(SizeOf<rVenueStaticDataFile>([](auto& io, auto& r) { Transfer(io, r); }) ==
              kVenueStaticDataSize);
static_assert(SizeOf<rVenueStaticDataFile>([](auto& io, auto& r) { TransferV1(io, r); }) ==
              kVenueStaticDataV1Size);
static_assert(SizeOf<rPRJMappingZone>([](auto& io, auto& r) { TransferV1(io, r); }) == kPRJMappingZoneV1Size);
#endif

// The older layout, after its 40-byte header.
void ReadBodyV1(RecordReader& io, rVenueFile& f) {
    TransferV1(io, f.GlobalStaticData);
    io.ForCount(f.MappingZones, f.GlobalStaticData.NMappingZones, kPRJMappingZoneV1Size, "zones");
    for (auto& zone : f.MappingZones) {
        TransferV1(io, zone);
    }
}

} // namespace record_transfer

using namespace record_transfer;

void ReadPRJMappingZoneV1(ByteReader& rd, rPRJMappingZone& zone) {
    ReadRecord(rd, zone, [](auto& io, auto& r) { TransferV1(io, r); });
}

std::vector<uint8_t> WriteVenueFile(const rVenueFile& file) {
    RefuseOldLayoutVersion(file.Header.MajorVersion, file.Header.MinorVersion, file.Header.ReleaseVersion);
    ByteWriter w;
    WritePRJHeader(w, file.Header);
    RecordWriter io(w);
    TransferBody(io, file);
    return w.Take();
}

bool ReadVenueFile(std::span<const uint8_t> bytes, const std::string& softwareName, rVenueFile& file) {
    ByteReader r(bytes);
    rVenueFile read;
    RecordReader io(r);
    // The program version sits in the first 40 bytes of both layouts and chooses between them.
    ReadPRJHeaderV1(r, read.Header);
    const auto& h = read.Header;
    if (ProgramVersionNumber(h.MajorVersion, h.MinorVersion, h.ReleaseVersion) < kFirstCurrentLayoutVersion) {
        if (!IsSoftType(h.SoftType, softwareName)) {
            return false;
        }
        ReadBodyV1(io, read);
    } else {
        r.Seek(0);
        ReadPRJHeader(r, read.Header);
        if (!IsSoftType(h.SoftType, softwareName) && !h.AllowToUSeInOtherVersions) {
            return false;
        }
        TransferBody(io, read);
    }
    file = std::move(read);
    return true;
}

void SaveVenueRecord(const std::filesystem::path& fileName, const rVenueFile& file, IFileSystem& fs) {
    const auto cursor = TSmartCursor::HourGlass();
    WriteFileAtomically(fileName, WriteVenueFile(file), fs);
}

bool OpenVenueRecord(const std::filesystem::path& fileName, rVenueFile& file,
                     const std::string& softwareName) {
    const auto cursor = TSmartCursor::HourGlass();
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    try {
        return ReadVenueFile(bytes, softwareName, file);
    } catch (const EReadError& e) {
        throw Named(fileName, e);
    }
}

} // namespace vendrel
