#pragma once
// An ini file held in memory: sections of "key=value" lines, read from a file or a text, changed in
// memory and written back as a whole.
//
// Section and key names compare without regard to letter case unless the file is made case-sensitive;
// values keep their case. Sections and keys keep the order in which they first appeared. Numbers are
// written and read in the C locale: integers as signed decimals (a leading '$' or "0x" reads as
// hexadecimal), booleans as 1 and 0, floats with up to 15 significant digits. A value that does not
// read as the asked type gives the caller's default.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vendrel {

class TMemIniFile {
public:
    // Reads FileName when it exists (an unreadable file leaves the object empty).
    explicit TMemIniFile(std::string FileName = {}, bool CaseSensitive = false);
    // Writes the file when AutoSave is set and something changed since the last write; a failure to
    // write is swallowed here (call UpdateFile to see it).
    ~TMemIniFile();
    TMemIniFile(const TMemIniFile&) = delete;
    TMemIniFile& operator=(const TMemIniFile&) = delete;

    const std::string& FileName() const { return FFileName; }
    bool AutoSave = false;
    bool Modified() const { return FModified; }

    // Replaces the content by the parsed text ("[Section]" lines, "key=value" lines; blank lines and
    // lines starting with ';' are ignored; lines before the first section are dropped).
    void SetText(const std::string& Text);
    // The content as file text, one "key=value" line per key, an empty line after each section.
    std::string Text() const;

    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& Section) const;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const;
    // Any integer other than 0 is true; text that is not an integer gives Default.
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    double ReadFloat(const std::string& Section, const std::string& Ident, double Default) const;

    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void WriteFloat(const std::string& Section, const std::string& Ident, double Value);
    void DeleteKey(const std::string& Section, const std::string& Ident);

    // Writes the whole content to FileName through a temporary file renamed over it, so a failed write
    // leaves the previous file. Returns false when the file could not be written.
    bool UpdateFile();

    // Parses an integer as ReadInteger does; false for anything else.
    static bool TryParseInteger(const std::string& Text, int32_t& Value);
    // Parses a C-locale float (blanks around it allowed); false for anything else.
    static bool TryParseFloat(const std::string& Text, double& Value);
    static std::string FormatFloat(double Value);

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };
    bool same(const std::string& a, const std::string& b) const;
    const Section* findSection(const std::string& name) const;
    Section& sectionFor(const std::string& name);

    std::string FFileName;
    bool FCaseSensitive;
    bool FModified = false;
    std::vector<Section> FSections;
};

} // namespace vendrel
