#pragma once
// Rigging-frame model files (".rigging"): header, fixed block, 3D model bytes, pick points.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files/library_header.h"

namespace vendrel {

struct rFrameStaticDataFile {
    static constexpr size_t kSize = 264;

    uint8_t RiggingType = 0; // TRiggingType ordinal, passed on unchecked
    double Weight = 0, MaxSupportWeight = 0;
    double GravityCenterX = 0, GravityCenterY = 0, GravityCenterZ = 0;
    double Width = 0, Height = 0, Depth = 0;
    int32_t NPickPoints = 0;
    uint8_t PickPointType = 0; // TPickPointType ordinal
    std::array<float, 3> PickPointOffset{};
    // Front top, front bottom, back top, back bottom; X, Y, Z each (metres).
    std::array<double, 12> AnchorPoints{};
    int32_t SizeModel3D = 0;
    bool IsForTopHatUp = false, IsForTopHatDown = false;
};

struct rFrameFile {
    rWDXHeaderFile Header;
    rFrameStaticDataFile GlobalStaticData;
    std::vector<uint8_t> Model3D;
    std::vector<std::array<double, 3>> PickPoints;
};

rFrameStaticDataFile ReadFrameStaticData(TLibraryReader& Reader);

// Reads the whole file. False when the user declines a file of another format version (asked only
// under the software name "Wendrix"); the record then holds the header. A file that ends early or
// whose sizes do not fit its bytes raises ELibraryFileError.
bool ReadFrameFileRecord(const std::filesystem::path& FileName, rFrameFile& Record,
                         const std::string& SoftwareName);

// The same from bytes in memory.
bool ReadFrameFileBytes(std::span<const uint8_t> Bytes, rFrameFile& Record, const std::string& SoftwareName);

} // namespace vendrel
