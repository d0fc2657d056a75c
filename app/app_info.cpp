#include "app/app_info.h"

#include "platform/core/mem_ini_file.h"
#include "platform/core/numeric.h"

#include <cstdlib>
#include <filesystem>

namespace vendrel {

void TApplicationInfo::BuildFilters() {
    ProjectFilter = SoftwareName + " Project File|*" + ProjectFileExt;
    ProjectAllFilter = ProjectFilter + "|All|*.*";
    VenueFilter = std::string("Venue File|*") + kVenueExt;
}

void ReadApplicationInfo(const TMemIniFile& AppInfo, TApplicationInfo& Info) {
    const char* s = "AppInfo";
    Info.SoftwareName = AppInfo.ReadString(s, "SOFTWARE_NAME", "AppName");
    Info.AppCaption = AppInfo.ReadString(s, "APP_CAPTION", "");
    Info.Copyright = AppInfo.ReadString(s, "COPYRIGHT", "");
    Info.AppFolder = AppInfo.ReadString(s, "APP_FOLDER", "");
    Info.AppPrjFolder = AppInfo.ReadString(s, "APPPRJ_FOLDER", "");
    Info.NameFileVersion = AppInfo.ReadString(s, "NAME_FILEVERSION", "");
    Info.UrlDescarga = AppInfo.ReadString(s, "URL_DESCARGA", "");
    Info.ProjectFileExt = AppInfo.ReadString(s, "PROJECTFILE_EXT", ".V3DPrj");
    const auto part = [&](const char* key, int32_t def) {
        const int32_t v = AppInfo.ReadInteger(s, key, def);
        if (v < 0 || v > 255) {
            throw ERangeError();
        }
        return static_cast<uint8_t>(v);
    };
    Info.MinVerMajor = part("MIN_VER_FOR_VENDREL_MAJOR", 3);
    Info.MinVerMinor = part("MIN_VER_FOR_VENDREL_MINOR", 0);
    Info.MinVerRelease = part("MIN_VER_FOR_VENDREL_RELEASE", 0);
    Info.ImportVenueOtherVersions = AppInfo.ReadBool(s, "IMPORT_VENUE_IN_OTHER_VENDREL_VERSIONS", true);
    Info.BuildFilters();
}

TAppVersion SplitAppVersion(const std::string& VersionText) {
    TAppVersion v;
    v.AppVersionStr = VersionText;
    std::string* parts[] = {&v.AppMajorVersion, &v.AppMinorVersion, &v.AppReleaseVersion, &v.AppBuildVersion};
    size_t part = 0;
    for (char c : VersionText) {
        if (c == '.') {
            if (++part == 4) {
                break;
            }
            continue;
        }
        *parts[part] += c;
    }
    const auto parse = [](const std::string& t) {
        int32_t n = 0;
        return TMemIniFile::TryParseInteger(t, n) ? n : 0;
    };
    v.Major_Version = parse(v.AppMajorVersion);
    v.Minor_Version = parse(v.AppMinorVersion);
    v.Release_Version = parse(v.AppReleaseVersion);
    return v;
}

std::string ApplicationDataPath(const std::string& AppFolder) {
    namespace fs = std::filesystem;
    fs::path base;
    if (const char* appData = std::getenv("APPDATA"); appData != nullptr && *appData != '\0') {
        base = appData;
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = fs::path(home) / ".local" / "share";
    } else {
        base = fs::temp_directory_path();
    }
    return AppFolder.empty() ? base.string() : (base / AppFolder).string();
}

} // namespace vendrel
