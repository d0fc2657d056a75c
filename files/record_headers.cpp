#include "files/record_headers.h"

#include "files/record_io.h"
#include "platform/core/windows1252.h"

namespace vendrel {
namespace {

// The first 40 bytes, shared by both headers and by the header of old files.
template <class IO, class R>
requires RecordOf<R, rPRJHeaderFile> || RecordOf<R, rSysHeaderFile>
constexpr void TransferV1(IO& io, R& h) {
    const size_t start = io.Position();
    io.Str(h.SoftType, kSoftTypeCapacity, "SoftType");
    io.Pad(2);
    io.At(start, 28);
    io.I32(h.FileMajorVer);
    io.I32(h.FileMinorVer);
    io.U8(h.MajorVersion);
    io.U8(h.MinorVersion);
    io.U8(h.ReleaseVersion);
    io.U8(h.BuildVersion);
}

template <class IO, RecordOf<rPRJHeaderFile> R> constexpr void Transfer(IO& io, R& h) {
    TransferV1(io, h);
    io.Bool(h.AllowToUSeInOtherVersions, "AllowToUSeInOtherVersions");
    io.Pad(127); // NewData
}

template <class IO, RecordOf<rSysHeaderFile> R> constexpr void Transfer(IO& io, R& h) {
    const size_t start = io.Position();
    TransferV1(io, h);
    io.Str(h.Name, 22, "Name");
    io.Str(h.Description, 100, "Description");
    io.At(start, 164);
    io.U8(h.UpdateVersion);
    io.Pad(127); // NewData
}

#if VENDREL_STATIC_RECORD_SIZES
static_assert(SizeOf<rPRJHeaderFile>([](auto& s, auto& r) { Transfer(s, r); }) == kPRJHeaderSize);
static_assert(SizeOf<rPRJHeaderFile>([](auto& s, auto& r) { TransferV1(s, r); }) == kPRJHeaderV1Size);
static_assert(SizeOf<rSysHeaderFile>([](auto& s, auto& r) { Transfer(s, r); }) == kSysHeaderSize);
#endif

} // namespace

void WritePRJHeader(ByteWriter& w, const rPRJHeaderFile& h) {
    RecordWriter io(w);
    Transfer(io, h);
}

void ReadPRJHeader(ByteReader& r, rPRJHeaderFile& h) {
    RecordReader io(r);
    Transfer(io, h);
}

void ReadPRJHeaderV1(ByteReader& r, rPRJHeaderFile& h) {
    h = rPRJHeaderFile{};
    RecordReader io(r);
    TransferV1(io, h);
}

void WriteSysHeader(ByteWriter& w, const rSysHeaderFile& h) {
    RecordWriter io(w);
    Transfer(io, h);
}

void ReadSysHeader(ByteReader& r, rSysHeaderFile& h) {
    RecordReader io(r);
    Transfer(io, h);
}

int ProgramVersionNumber(uint8_t major, uint8_t minor, uint8_t release) {
    return major * 100 + minor * 10 + release;
}

void RefuseOldLayoutVersion(uint8_t major, uint8_t minor, uint8_t release) {
    if (ProgramVersionNumber(major, minor, release) < kFirstCurrentLayoutVersion) {
        throw ERangeError("Cannot store a file marked as written by version " + std::to_string(major) + "." +
                          std::to_string(minor) + "." + std::to_string(release) +
                          ": it would be read with the layout of versions before 1.3.6");
    }
}

bool IsSoftType(const std::string& storedSoftType, const std::string& softwareName) {
    std::string asStored = Utf8ToWindows1252(softwareName);
    if (asStored.size() > kSoftTypeCapacity) {
        asStored.resize(kSoftTypeCapacity);
    }
    return storedSoftType == Windows1252ToUtf8(asStored);
}

} // namespace vendrel
