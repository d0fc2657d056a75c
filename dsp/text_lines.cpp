#include "dsp/text_lines.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>

namespace vendrel {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::string> LoadText(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) {
        return bytes.substr(3);
    }
    if (bytes.size() >= 2 &&
        ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool little = byteAt(0) == 0xFF;
        std::string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit =
                little ? byteAt(i) | (byteAt(i + 1) << 8) : (byteAt(i) << 8) | byteAt(i + 1);
            text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        }
        return text;
    }
    return bytes;
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < Text.size()) {
        const char c = Text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            i += (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        line.push_back(c);
        ++i;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

bool LoadTextLines(const std::string& FileName, std::vector<std::string>& Lines) {
    const auto text = LoadText(FileName);
    if (!text) {
        return false;
    }
    Lines = SplitLines(*text);
    return true;
}

std::string TrimText(std::string_view Text) {
    size_t b = 0;
    size_t e = Text.size();
    while (b < e && isBlankOrControl(Text[b])) {
        ++b;
    }
    while (e > b && isBlankOrControl(Text[e - 1])) {
        --e;
    }
    return std::string(Text.substr(b, e - b));
}

std::optional<double> ParseDecimal(std::string_view Text, bool CommaIsDecimal) {
    std::string s = TrimText(Text);
    if (CommaIsDecimal) {
        std::replace(s.begin(), s.end(), ',', '.');
    }
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i, ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            ++i, ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace vendrel
