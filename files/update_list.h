#pragma once
// The update list of the update service: a text of lines naming the newest program version, its
// installer and the library models that can be downloaded, in groups of four lines (name, model
// version, link relative to the service's address, lowest program version that can use the model).
// Also the version comparisons the update check makes.
//
// A list is read whole or not at all: a list that is not well formed (an error page, a version that
// is not numbers, a model version outside 0..255, a group cut short) counts as not read, so nothing
// from it reaches the library.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vendrel {

// One downloadable model of the list.
struct rInternetLibFile {
    std::string ModelName;
    uint8_t ModelUpdateVersion = 0;
    std::string UpdateLink;                // the service's address followed by the list's link
    std::string CompatibleSinceVendrelVer; // major.minor.release
    bool IsNewVersion = false;             // the library holds this model in a lower version
    bool IsNewModel = false;               // the library holds no model of this name
};

// The running program's version: major, minor, release.
struct TProgramVersion {
    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Release = 0;
};

// Raised by a version text with a part that is not a whole number.
class EVersionTextError : public std::runtime_error {
public:
    explicit EVersionTextError(const std::string& Text)
        : std::runtime_error("'" + Text + "' is not a valid version") {}
};

// Compares the first Parts dot-separated parts of A and B (fewer when either has fewer): 1 when A is
// newer, -1 when older, 0 when equal; the first part that differs decides. A part that is not a whole
// number raises EVersionTextError.
int32_t CompareVersionStrings(const std::string& A, const std::string& B, int32_t Parts);

// Whether the running program can use a model made for Version ("major.minor.release"). A text of
// another number of parts, or with a part that is not a number, counts as 0.0.0.
bool IsLibFileCompatible(const std::string& Version, const TProgramVersion& Running);

// What the update check read: the newest program version with its installer, and the downloadable
// models that the running program can use, in the list's order.
class TUpdateList {
public:
    TUpdateList() = default;
    TUpdateList(const TUpdateList& Other);
    TUpdateList& operator=(const TUpdateList& Other);
    TUpdateList(TUpdateList&&) noexcept = default;
    TUpdateList& operator=(TUpdateList&&) noexcept = default;

    std::string NewestVersion;
    std::string Installer;

    std::vector<rInternetLibFile>& InternetLibFiles() { return files_; }
    const std::vector<rInternetLibFile>& InternetLibFiles() const { return files_; }
    // The first entry of that name (exact, case-sensitive), or null.
    rInternetLibFile* FirstNamed(const std::string& Name);
    // Whether the newest version is newer than Running, compared on three parts at most.
    bool OffersNewerProgram(const TProgramVersion& Running) const;

private:
    friend std::optional<TUpdateList> ParseUpdateList(std::string_view Text, const std::string& BaseAddress,
                                                      const TProgramVersion& Running);
    void reindex();
    std::vector<rInternetLibFile> files_;
    // The first entry of each name; the keys view the entries' names (a move keeps them in place).
    std::unordered_map<std::string_view, size_t> first_;
};

// Reads the list text (lines ended by LF or CR LF). Nothing when the list is not well formed: a first
// line "<HTML>" (an error page), fewer than two lines, a newest version whose parts are not whole
// numbers, a model version that is not a whole number from 0 to 255, or a group of fewer than four
// lines at the end. Empty lines and lines beginning with ";" before a group are skipped. Models the
// running program cannot use are left out.
std::optional<TUpdateList> ParseUpdateList(std::string_view Text, const std::string& BaseAddress,
                                           const TProgramVersion& Running);

// The text after the last "/" of an address, or empty when it holds none.
std::string ExtractFileNameURL(const std::string& URL);

} // namespace vendrel
