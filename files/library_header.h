#pragma once
// The header that every library model file (cabinet, rigging frame, ornament) starts with, and the
// checks of the producing program's name and versions.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "files/library_bytes.h"

namespace vendrel {

// Software name of the program that makes library model files.
inline constexpr const char* kLibrarySoftType = "Wendrix";

struct rWDXHeaderFile {
    static constexpr size_t kSize = 436;

    std::string SoftType; // sstr(25)
    int32_t FileMajorVer = 0;
    int32_t FileMinorVer = 0;
    std::string BrandName, SerieName, ModelName, PresetName, CreatedBy; // sstr(25)
    std::string Comments;                                               // sstr(200)
    uint8_t MajorVersion = 0, MinorVersion = 0, ReleaseVersion = 0, BuildVersion = 0;
    std::string VariantName; // sstr(20)
    uint8_t ModelUpdateVersion = 0;
    bool IsProjectOnly_NoCopySources = false;
    std::array<bool, 2> Flags{}; // not interpreted
};

// The 436-byte raw image.
rWDXHeaderFile ReadWDXHeader(TLibraryReader& Reader);

// Read the file's header into Header and tell whether its software name is exactly "Wendrix". A file
// shorter than the header raises ELibraryFileError. The three are one test; each kind's check calls
// its own.
bool IsWendrixCabinetFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header);
bool IsWendrixFrameFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header);
bool IsWendrixOrnamentFile(const std::filesystem::path& FileName, rWDXHeaderFile& Header);

// The lowest program version that library files must be made with (application information).
struct TLibraryMinVersion {
    uint8_t Major = 3;
    uint8_t Minor = 0;
    uint8_t Release = 0;
};

// Whether the header's program version (major, minor, release; the build is ignored) is at least the
// minimum.
bool EsVersionCompatibleConVendrel(const rWDXHeaderFile& Header, const TLibraryMinVersion& Min = {});

// Asked only when the running program is itself called "Wendrix": the question about a rigging or
// ornament file of another format version than 3 ("Riggings" or "Ornaments"); true to go on.
bool ConfirmOtherFrameOrOrnamentVersion(const rWDXHeaderFile& Header, const std::string& KindPlural,
                                        const std::string& SoftwareName);

} // namespace vendrel
