#include "platform/core/mem_ini_file.h"

#include "platform/core/atomic_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
#include <sstream>
#include <system_error>

namespace vendrel {

namespace {

std::string trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])) != 0) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])) != 0) {
        --e;
    }
    return s.substr(b, e - b);
}

bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

TMemIniFile::TMemIniFile(std::string FileName, bool CaseSensitive)
    : FFileName(std::move(FileName)), FCaseSensitive(CaseSensitive) {
    if (FFileName.empty()) {
        return;
    }
    std::ifstream in(FFileName, std::ios::binary);
    if (!in) {
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    SetText(text.str());
}

TMemIniFile::~TMemIniFile() {
    if (AutoSave && FModified) {
        UpdateFile();
    }
}

bool TMemIniFile::same(const std::string& a, const std::string& b) const {
    return FCaseSensitive ? a == b : equalNoCase(a, b);
}

const TMemIniFile::Section* TMemIniFile::findSection(const std::string& name) const {
    for (const Section& s : FSections) {
        if (same(s.Name, name)) {
            return &s;
        }
    }
    return nullptr;
}

TMemIniFile::Section& TMemIniFile::sectionFor(const std::string& name) {
    for (Section& s : FSections) {
        if (same(s.Name, name)) {
            return s;
        }
    }
    FSections.push_back({name, {}});
    return FSections.back();
}

void TMemIniFile::SetText(const std::string& Text) {
    FSections.clear();
    Section* current = nullptr;
    std::istringstream in(Text);
    std::string raw;
    while (std::getline(in, raw)) {
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            current = &sectionFor(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const size_t eq = line.find('=');
        const std::string key = trim(eq == std::string::npos ? line : line.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        bool replaced = false;
        for (auto& [k, v] : current->Values) {
            if (same(k, key)) {
                v = value;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            current->Values.emplace_back(key, value);
        }
    }
    FModified = false;
}

std::string TMemIniFile::Text() const {
    std::string out;
    for (const Section& s : FSections) {
        out += '[' + s.Name + "]\n";
        for (const auto& [k, v] : s.Values) {
            out += k + '=' + v + '\n';
        }
        out += '\n';
    }
    return out;
}

bool TMemIniFile::SectionExists(const std::string& Section) const {
    return findSection(Section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    const auto* s = findSection(Section);
    if (s == nullptr) {
        return false;
    }
    return std::any_of(s->Values.begin(), s->Values.end(),
                       [&](const auto& kv) { return same(kv.first, Ident); });
}

std::vector<std::string> TMemIniFile::Sections() const {
    std::vector<std::string> names;
    for (const Section& s : FSections) {
        names.push_back(s.Name);
    }
    return names;
}

std::vector<std::string> TMemIniFile::Keys(const std::string& Section) const {
    std::vector<std::string> keys;
    if (const auto* s = findSection(Section)) {
        for (const auto& kv : s->Values) {
            keys.push_back(kv.first);
        }
    }
    return keys;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    if (const auto* s = findSection(Section)) {
        for (const auto& [k, v] : s->Values) {
            if (same(k, Ident)) {
                return v;
            }
        }
    }
    return Default;
}

bool TMemIniFile::TryParseInteger(const std::string& Text, int32_t& Value) {
    const std::string t = trim(Text);
    if (t.empty()) {
        return false;
    }
    size_t pos = 0;
    bool negative = false;
    if (t[pos] == '+' || t[pos] == '-') {
        negative = t[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (t.compare(pos, 1, "$") == 0) {
        base = 16;
        pos += 1;
    } else if (t.size() > pos + 1 && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= t.size()) {
        return false;
    }
    uint64_t magnitude = 0;
    const char* first = t.data() + pos;
    const char* last = t.data() + t.size();
    const auto [end, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || end != last) {
        return false;
    }
    if (base == 16 && !negative && magnitude <= 0xFFFFFFFFull) {
        // Hexadecimal reads as the 32-bit pattern ($FF161819 is an opaque colour).
        Value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return true;
    }
    const int64_t limit = negative ? int64_t(std::numeric_limits<int32_t>::max()) + 1
                                   : int64_t(std::numeric_limits<int32_t>::max());
    if (magnitude > static_cast<uint64_t>(limit)) {
        return false;
    }
    Value =
        static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    return true;
}

bool TMemIniFile::TryParseFloat(const std::string& Text, double& Value) {
    const std::string t = trim(Text);
    if (t.empty()) {
        return false;
    }
    const char* first = t.data();
    if (*first == '+') {
        ++first;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) {
        return false;
    }
    Value = v;
    return true;
}

std::string TMemIniFile::FormatFloat(double Value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", Value);
    return buf;
}

int32_t TMemIniFile::ReadInteger(const std::string& Section, const std::string& Ident,
                                 int32_t Default) const {
    int32_t v = 0;
    return TryParseInteger(ReadString(Section, Ident, {}), v) ? v : Default;
}

bool TMemIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) const {
    double v = 0;
    return TryParseFloat(ReadString(Section, Ident, {}), v) ? v : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    auto& s = sectionFor(Section);
    for (auto& [k, v] : s.Values) {
        if (same(k, Ident)) {
            if (v != Value) {
                v = Value;
                FModified = true;
            }
            return;
        }
    }
    s.Values.emplace_back(Ident, Value);
    FModified = true;
}

void TMemIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TMemIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TMemIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FormatFloat(Value));
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    for (TMemIniFile::Section& s : FSections) {
        if (!same(s.Name, Section)) {
            continue;
        }
        const auto before = s.Values.size();
        std::erase_if(s.Values, [&](const auto& kv) { return same(kv.first, Ident); });
        FModified = FModified || s.Values.size() != before;
    }
}

bool TMemIniFile::UpdateFile() {
    if (FFileName.empty()) {
        return false;
    }
    // Through a temporary file: a failed write keeps the previous settings, and a replaced file
    // keeps its permissions.
    const std::string text = Text();
    try {
        WriteFileAtomically(FFileName, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    } catch (const EFileError&) {
        return false;
    }
    FModified = false;
    return true;
}

} // namespace vendrel
