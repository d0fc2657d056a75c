#pragma once
// Ornament model files (".ornament"): header, fixed block, optional texture picture, 3D model bytes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files/library_header.h"

namespace vendrel {

struct rOrnamentStaticDataFile {
    static constexpr size_t kSize = 304;

    uint8_t OrnamentType = 0; // ordinal, not interpreted
    double GravityCenterX = 0, GravityCenterY = 0, GravityCenterZ = 0;
    float Width = 0, Height = 0, Depth = 0, Weight = 0;
    std::array<double, 12> AnchorPoints{}; // front top, front bottom, back top, back bottom; X, Y, Z
    int32_t SizeTextureImage = 0;
    int32_t SizeModel3D = 0;
    double OriginX = 0, OriginY = 0, OriginZ = 0;
    bool IsSizeable = false;
};

struct rOrnamentFile {
    rWDXHeaderFile Header;
    rOrnamentStaticDataFile GlobalStaticData;
    bool HasTexture = false;
    std::vector<uint8_t> TextureImage;
    std::vector<uint8_t> Model3D;
};

rOrnamentStaticDataFile ReadOrnamentStaticData(TLibraryReader& Reader);

// As ReadFrameFileRecord, for ornament files.
bool ReadOrnamentFileRecord(const std::filesystem::path& FileName, rOrnamentFile& Record,
                            const std::string& SoftwareName);

// The same from bytes in memory.
bool ReadOrnamentFileBytes(std::span<const uint8_t> Bytes, rOrnamentFile& Record,
                           const std::string& SoftwareName);

} // namespace vendrel
