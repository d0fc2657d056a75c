#pragma once
// The application information: process-wide values read once from the program's data file app.dat
// (an ini text with the section AppInfo) and the fixed values of the same group, read by many parts
// of the program. Also the program's own version split into its four parts.

#include <cstdint>
#include <string>

namespace vendrel {

class TMemIniFile;

struct TApplicationInfo {
    std::string SoftwareName = "AppName";
    std::string AppCaption;
    std::string Copyright;
    std::string AppFolder;
    std::string AppPrjFolder;
    std::string NameFileVersion; // update list file name
    std::string UrlDescarga;     // update base address
    std::string ProjectFileExt = ".V3DPrj";
    uint8_t MinVerMajor = 3;
    uint8_t MinVerMinor = 0;
    uint8_t MinVerRelease = 0;
    bool ImportVenueOtherVersions = true;

    // File-dialog filters (the project ones built from the values read).
    std::string ProjectFilter;
    std::string ProjectAllFilter;
    std::string VenueFilter = "Venue File|*.venue";
    std::string OverlayFilter = "Overlay File|*.overlay";
    std::string SoundSystemFilter = "Sound System File|*.system";
    std::string LibraryImportFilter =
        "All Types |*.cabinet;*.rigging;*.ornament;*.system;*.png;*.jpeg;*.jpg|Cabinet Model|*.cabinet|"
        "Rigging Model|*.rigging|Ornament Model|*.ornament|Sound System|*.system|PNG Texture|*.png|"
        "JPEG Texture|*.jpeg|JPG Texture|*.jpg|All|*.*";

    // "NewProject" followed by the project extension.
    std::string DefaultProjectFileName() const { return "NewProject" + ProjectFileExt; }
    void BuildFilters();
};

// Library sub-folders of the application data folder, and the fixed extensions.
inline constexpr const char* kLibraryFolders[] = {"Cabinets",     "Riggings",  "Textures",
                                                  "SoundSystems", "Ornaments", "Templates"};
inline constexpr const char* kVenueExt = ".venue";
inline constexpr const char* kOverlayExt = ".overlay";

// Reads the keys of AppInfo in their order; a missing key gives its default. A minimum version part
// outside 0 to 255 raises ERangeError.
void ReadApplicationInfo(const TMemIniFile& AppInfo, TApplicationInfo& Info);

// The program's version as four part strings and the first three parsed.
struct TAppVersion {
    std::string AppVersionStr;
    std::string AppMajorVersion;
    std::string AppMinorVersion;
    std::string AppReleaseVersion;
    std::string AppBuildVersion;
    int32_t Major_Version = 0;
    int32_t Minor_Version = 0;
    int32_t Release_Version = 0;
};

// Splits a version text "major.minor.release.build" at its dots; parts that are not numbers parse
// as 0.
TAppVersion SplitAppVersion(const std::string& VersionText);

// The application data folder: $APPDATA when set, else $XDG_DATA_HOME, else ~/.local/share; followed
// by the application folder name (none when empty).
std::string ApplicationDataPath(const std::string& AppFolder);

} // namespace vendrel
