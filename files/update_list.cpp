#include "files/update_list.h"

#include <algorithm>
#include <charconv>

namespace vendrel {

namespace {

// A whole number: an optional sign and decimal digits, nothing else, within 32 bits.
bool parseWhole(std::string_view Text, int32_t& Value) {
    if (!Text.empty() && Text.front() == '+') {
        Text.remove_prefix(1);
        if (!Text.empty() && Text.front() == '-') {
            return false;
        }
    }
    if (Text.empty()) {
        return false;
    }
    const char* end = Text.data() + Text.size();
    const auto [ptr, ec] = std::from_chars(Text.data(), end, Value);
    return ec == std::errc() && ptr == end;
}

// Calls Part for every dot-separated part of Text, left to right, while it returns true.
template <typename Fn> bool forEachPart(std::string_view Text, Fn Part) {
    size_t start = 0;
    for (;;) {
        const size_t dot = Text.find('.', start);
        if (dot == std::string_view::npos) {
            return Part(Text.substr(start));
        }
        if (!Part(Text.substr(start, dot - start))) {
            return false;
        }
        start = dot + 1;
    }
}

// Whether every part of a version text is a whole number.
bool isVersionText(std::string_view Text) {
    return forEachPart(Text, [](std::string_view part) {
        int32_t unused = 0;
        return parseWhole(part, unused);
    });
}

// The lines of a text one after the other, each without its LF or CR LF ending.
class LineReader {
public:
    explicit LineReader(std::string_view Text) : text_(Text) {}

    bool Next(std::string_view& Line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        size_t end = text_.find('\n', pos_);
        const size_t next = end == std::string_view::npos ? text_.size() : end + 1;
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        Line = text_.substr(pos_, end - pos_);
        if (!Line.empty() && Line.back() == '\r') {
            Line.remove_suffix(1);
        }
        pos_ = next;
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

int32_t CompareVersionStrings(const std::string& A, const std::string& B, int32_t Parts) {
    std::vector<std::string_view> a;
    std::vector<std::string_view> b;
    forEachPart(A, [&a](std::string_view part) {
        a.push_back(part);
        return true;
    });
    forEachPart(B, [&b](std::string_view part) {
        b.push_back(part);
        return true;
    });
    const size_t n = std::min({static_cast<size_t>(std::max(Parts, 0)), a.size(), b.size()});
    for (size_t i = 0; i < n; ++i) {
        int32_t x = 0;
        int32_t y = 0;
        if (!parseWhole(a[i], x)) {
            throw EVersionTextError(A);
        }
        if (!parseWhole(b[i], y)) {
            throw EVersionTextError(B);
        }
        if (x != y) {
            return x > y ? 1 : -1;
        }
    }
    return 0;
}

bool IsLibFileCompatible(const std::string& Version, const TProgramVersion& Running) {
    int32_t v[3] = {0, 0, 0};
    size_t parts = 0;
    const bool numbers = forEachPart(Version, [&](std::string_view part) {
        if (parts == 3) {
            ++parts;
            return false;
        }
        return parseWhole(part, v[parts++]);
    });
    if (!numbers || parts != 3) {
        v[0] = v[1] = v[2] = 0;
    }
    if (Running.Major != v[0]) {
        return Running.Major > v[0];
    }
    if (Running.Minor != v[1]) {
        return Running.Minor > v[1];
    }
    return Running.Release >= v[2];
}

TUpdateList::TUpdateList(const TUpdateList& Other)
    : NewestVersion(Other.NewestVersion), Installer(Other.Installer), files_(Other.files_) {
    reindex();
}

TUpdateList& TUpdateList::operator=(const TUpdateList& Other) {
    if (this != &Other) {
        NewestVersion = Other.NewestVersion;
        Installer = Other.Installer;
        files_ = Other.files_;
        reindex();
    }
    return *this;
}

void TUpdateList::reindex() {
    first_.clear();
    first_.reserve(files_.size());
    for (size_t i = 0; i < files_.size(); ++i) {
        first_.try_emplace(files_[i].ModelName, i);
    }
}

rInternetLibFile* TUpdateList::FirstNamed(const std::string& Name) {
    const auto found = first_.find(Name);
    return found == first_.end() ? nullptr : &files_[found->second];
}

bool TUpdateList::OffersNewerProgram(const TProgramVersion& Running) const {
    const std::string running = std::to_string(Running.Major) + "." + std::to_string(Running.Minor) + "." +
                                std::to_string(Running.Release);
    return CompareVersionStrings(NewestVersion, running, 3) > 0;
}

std::optional<TUpdateList> ParseUpdateList(std::string_view Text, const std::string& BaseAddress,
                                           const TProgramVersion& Running) {
    LineReader lines(Text);
    std::string_view newest;
    std::string_view installer;
    if (!lines.Next(newest) || newest == "<HTML>" || !isVersionText(newest) || !lines.Next(installer)) {
        return std::nullopt;
    }
    TUpdateList list;
    list.NewestVersion = std::string(newest);
    list.Installer = std::string(installer);
    // A group takes at least four lines.
    list.files_.reserve(static_cast<size_t>(std::count(Text.begin(), Text.end(), '\n')) / 4);
    std::string_view name;
    while (lines.Next(name)) {
        if (name.empty() || name.front() == ';') {
            continue;
        }
        std::string_view version;
        std::string_view link;
        std::string_view since;
        if (!lines.Next(version) || !lines.Next(link) || !lines.Next(since)) {
            return std::nullopt; // a group cut short
        }
        int32_t modelVersion = 0;
        if (!parseWhole(version, modelVersion) || modelVersion < 0 || modelVersion > 255) {
            return std::nullopt;
        }
        rInternetLibFile entry;
        entry.CompatibleSinceVendrelVer = std::string(since);
        if (!IsLibFileCompatible(entry.CompatibleSinceVendrelVer, Running)) {
            continue;
        }
        entry.ModelName = std::string(name);
        entry.ModelUpdateVersion = static_cast<uint8_t>(modelVersion);
        entry.UpdateLink.reserve(BaseAddress.size() + link.size());
        entry.UpdateLink.append(BaseAddress).append(link);
        list.files_.push_back(std::move(entry));
    }
    list.reindex();
    return list;
}

std::string ExtractFileNameURL(const std::string& URL) {
    const size_t slash = URL.rfind('/');
    return slash == std::string::npos ? std::string() : URL.substr(slash + 1);
}

} // namespace vendrel
