#pragma once
// The venue file (".venue"): the architecture of a project without its sound system, meant to travel
// between installations: the venue's dimensions, its zones and drawn surfaces, its layers and its
// ornaments. A program of another software name may import it when the exporter allowed it.
//
// Layout: the header, the 48-byte static block, the zones, the layers, the ornaments and a final int32.
// Files of program versions below 1.3.6 have an older layout (a 40-byte header, a 16-byte static block
// and zones of an older form, nothing after them), which is read and converted to the current form.

#include "files/record_elements.h"
#include "files/record_headers.h"
#include "platform/core/atomic_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

// The static block of a venue file. It is packed: NOrnaments starts at the odd offset 17.
struct rVenueStaticDataFile {
    int32_t VenueLength = 0; // whole metres
    int32_t VenueHeightVer = 0;
    int32_t VenueWidthHor = 0;
    int32_t NMappingZones = 0;
    uint8_t NLayers = 0;
    int32_t NOrnaments = 0;

    bool operator==(const rVenueStaticDataFile&) const = default;
};
inline constexpr size_t kVenueStaticDataSize = 48;

// A whole venue file. Every list holds exactly as many elements as its count in the static block.
struct rVenueFile {
    rPRJHeaderFile Header; // FileMajorVer kVenueFileMajorVer
    rVenueStaticDataFile GlobalStaticData;
    std::vector<rPRJMappingZone> MappingZones;
    std::vector<rPRJLayer> Layers;
    std::vector<rPRJOrnament> Ornaments;
    int32_t NewDataSize = 0;

    bool operator==(const rVenueFile&) const = default;
};

// Stored sizes of the older layout: static block and zone.
inline constexpr size_t kVenueStaticDataV1Size = 16;
inline constexpr size_t kPRJMappingZoneV1Size = 321;

// Reads a zone of the older layout into the current form: the fields it has are copied, the others
// (IsLocked, RotCenter, LayerID, AcousticMaterialName, polygon points, texture sides, picture
// reference) are zero.
void ReadPRJMappingZoneV1(ByteReader& rd, rPRJMappingZone& zone);

// The file's bytes. Raises ERangeError, before anything is written, when a list does not hold its
// count or a value cannot be stored.
std::vector<uint8_t> WriteVenueFile(const rVenueFile& file);
// Reads a venue from bytes of the current or the older layout. Returns false, leaving `file`
// untouched, when it may not be imported: another software name without the exporter's permission
// (old files never give it). Raises EReadError with a message for the user when the bytes are
// damaged, leaving `file` untouched.
bool ReadVenueFile(std::span<const uint8_t> bytes, const std::string& softwareName, rVenueFile& file);

// Saves a venue; a failed save leaves a previous file of that name as it was.
void SaveVenueRecord(const std::filesystem::path& fileName, const rVenueFile& file,
                     IFileSystem& fs = LocalFileSystem());
// Opens a venue (see ReadVenueFile); a damaged or unreadable file raises EReadError or EFileError
// naming it.
bool OpenVenueRecord(const std::filesystem::path& fileName, rVenueFile& file,
                     const std::string& softwareName);

} // namespace vendrel
