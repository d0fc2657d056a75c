#pragma once
// The overlay file (".overlay"): a set of response-curve overlays carried from one project to another.
//
// Layout: the header, the number of overlays in one byte, the overlays and a final int32.

#include "files/record_elements.h"
#include "files/record_headers.h"
#include "platform/core/atomic_file.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

// A whole overlay file; Overlays holds exactly NOverlays curves.
struct rOverlayFile {
    rPRJHeaderFile Header; // FileMajorVer kOverlayFileMajorVer
    uint8_t NOverlays = 0;
    std::vector<rPRJOverlay> Overlays;
    int32_t NewDataSize = 0;

    bool operator==(const rOverlayFile&) const = default;
};

// The file's bytes. Raises ERangeError, before anything is written, when the list does not hold its
// count or a value cannot be stored.
std::vector<uint8_t> WriteOverlayFile(const rOverlayFile& file);
// Reads overlays from bytes; false, leaving `file` untouched, for another program's file (no version
// is tested). Raises EReadError with a message for the user, leaving `file` untouched, when the bytes
// are damaged.
bool ReadOverlayFile(std::span<const uint8_t> bytes, const std::string& softwareName, rOverlayFile& file);

// Saves overlays; a failed save leaves a previous file of that name as it was.
void SaveOverlayRecord(const std::filesystem::path& fileName, const rOverlayFile& file,
                       IFileSystem& fs = LocalFileSystem());
// Opens overlays (see ReadOverlayFile); a damaged or unreadable file raises EReadError or EFileError
// naming it.
bool OpenOverlayRecord(const std::filesystem::path& fileName, rOverlayFile& file,
                       const std::string& softwareName);

} // namespace vendrel
