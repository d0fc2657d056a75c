#pragma once
// The headers of the program's own record files (projects, venues, sound systems, overlays) and the
// rules they share.
//
// A record file is a plain run of records: no magic number, no checksum, no lengths in front of
// records; every list's length is a count stored earlier in the same file. The only identification is
// the software name (`SoftType`) at the start of the header. Headers are stored as the memory image of
// the record: every field at its natural alignment, with zeros in the padding.

#include "platform/core/byte_stream.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vendrel {

// Format major versions written in each file kind.
inline constexpr int32_t kProjectFileMajorVer = 5;
inline constexpr int32_t kVenueFileMajorVer = 4;
inline constexpr int32_t kSystemFileMajorVer = 1;
inline constexpr int32_t kOverlayFileMajorVer = 3;

// Capacity of `SoftType`: longer software names are stored cut.
inline constexpr size_t kSoftTypeCapacity = 25;

// Header of project, venue and overlay files.
struct rPRJHeaderFile {
    std::string SoftType; // software name of the writing program
    int32_t FileMajorVer = 0;
    int32_t FileMinorVer = 0;
    uint8_t MajorVersion = 0; // program version of the writer
    uint8_t MinorVersion = 0;
    uint8_t ReleaseVersion = 0;
    uint8_t BuildVersion = 0;
    // Venue files: whether a program of another software name may import the file.
    bool AllowToUSeInOtherVersions = false;

    bool operator==(const rPRJHeaderFile&) const = default;
};
inline constexpr size_t kPRJHeaderSize = 168;
// Files of program versions below 1.3.6 have only the first 40 bytes (`SoftType` to `BuildVersion`).
inline constexpr size_t kPRJHeaderV1Size = 40;

// Header of sound-system files.
struct rSysHeaderFile {
    std::string SoftType;
    int32_t FileMajorVer = 0;
    int32_t FileMinorVer = 0;
    uint8_t MajorVersion = 0;
    uint8_t MinorVersion = 0;
    uint8_t ReleaseVersion = 0;
    uint8_t BuildVersion = 0;
    std::string Name;          // name of the sound system, at most 22 characters
    std::string Description;   // at most 100 characters
    uint8_t UpdateVersion = 0; // a library sound system is replaced by one with a higher number

    bool operator==(const rSysHeaderFile&) const = default;
};
inline constexpr size_t kSysHeaderSize = 292;

void WritePRJHeader(ByteWriter& w, const rPRJHeaderFile& h);
void ReadPRJHeader(ByteReader& r, rPRJHeaderFile& h);
// Reads the 40-byte header of files of program versions below 1.3.6; the other fields are cleared.
void ReadPRJHeaderV1(ByteReader& r, rPRJHeaderFile& h);
void WriteSysHeader(ByteWriter& w, const rSysHeaderFile& h);
void ReadSysHeader(ByteReader& r, rSysHeaderFile& h);

// The writer's program version as one number: major x 100 + minor x 10 + release (the build is not
// counted), so 1.3.6 gives 136 and 1.10.0 gives 200. Files below kFirstCurrentLayoutVersion have the
// older layouts.
int ProgramVersionNumber(uint8_t major, uint8_t minor, uint8_t release);
inline constexpr int kFirstCurrentLayoutVersion = 136;

// Venue and sound-system files marked with a version below 1.3.6 would be read with the older layout,
// so their writers refuse such a header (ERangeError).
void RefuseOldLayoutVersion(uint8_t major, uint8_t minor, uint8_t release);

// Whether a stored `SoftType` names the given program. The name is compared as the file stores it,
// in Windows-1252 and cut to 25 characters, so a program with a longer name still knows its files.
bool IsSoftType(const std::string& storedSoftType, const std::string& softwareName);

} // namespace vendrel
