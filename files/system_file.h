#pragma once
// The sound-system file (".system"): a reusable group of sources with its picture (loose cabinets, line
// arrays, clusters, beam-steering arrays, the zones and ornaments of the group and the DSP processes
// its cabinets use) under a name, a description and an update number. Library sound systems live in
// the library folder "SoundSystems".
//
// Layout: the header, the 208-byte static block, cabinets, line arrays, clusters, zones, ornaments, a
// picture flag byte, the picture when the flag is set, the DSP processes (an active byte and a
// processor blob each), the beam-steering arrays and a final int32.

#include "files/dsp_cabinet.h"
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

// The static block of a sound-system file.
struct rSystemStaticDataFile {
    int32_t NumID = 0;
    float Depth = 0; // extent of the group, metres
    float Height = 0;
    float Width = 0;
    TPoint3D CenterPoint;
    TPoint3D Position;
    TPoint3D Rotation;
    int32_t NCabinets = 0;
    int32_t NCabArrays = 0;
    int32_t NClusters = 0;
    int32_t NMappingZones = 0;
    int32_t NOrnaments = 0;
    bool HasSystemImage = false;
    int32_t SizeSystemImage = 0; // bytes of the picture
    uint8_t NDSPs = 0;
    uint8_t NBeams = 0;

    bool operator==(const rSystemStaticDataFile&) const = default;
};
inline constexpr size_t kSystemStaticDataSize = 208;

// A whole sound-system file. Every list holds exactly as many elements as its count in the static
// block; with HasSystemImage set, SystemImage holds SizeSystemImage bytes (a PNG picture).
struct rSystemFile {
    rSysHeaderFile Header; // FileMajorVer kSystemFileMajorVer
    rSystemStaticDataFile GlobalStaticData;
    std::vector<rPRJCabinet> Cabinets;
    std::vector<rPRJCabArray> CabArrays;
    std::vector<rPRJCluster> Clusters;
    std::vector<rPRJMappingZone> MappingZones;
    std::vector<rPRJOrnament> Ornaments;
    std::vector<uint8_t> SystemImage;
    std::vector<bool> ProcessActive;
    std::vector<TDspCabinet> DSPProcess;
    std::vector<rPRJBeamSteering> Beams;
    int32_t NewDataSize = 0;

    bool operator==(const rSystemFile&) const = default;
};

// The file's bytes. Raises ERangeError, before anything is written, when a list does not hold its
// count or a value cannot be stored.
std::vector<uint8_t> WriteSystemFile(const rSystemFile& file);
// Reads a sound system from bytes, whatever its software name. Raises EReadError with a message for the
// user, leaving `file` untouched, when the bytes are damaged, and also for files of program versions
// below 1.3.6, whose layout is not known.
void ReadSystemFile(std::span<const uint8_t> bytes, rSystemFile& file);

// Saves a sound system; a failed save leaves a previous file of that name as it was.
void SaveSystemRecord(const std::filesystem::path& fileName, const rSystemFile& file,
                      IFileSystem& fs = LocalFileSystem());
// Opens a sound system (see ReadSystemFile); refusals raise EReadError or EFileError naming the file.
// Callers that take only this program's files ask CheckSystemRecordFile first.
void OpenSystemRecord(const std::filesystem::path& fileName, rSystemFile& file);
// Reads only the header into `file` and tells whether the file is one of this program
// (`softwareName`). A file shorter than the header raises EReadError.
bool CheckSystemRecordFile(const std::filesystem::path& fileName, rSystemFile& file,
                           const std::string& softwareName);

} // namespace vendrel
