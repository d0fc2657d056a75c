#include "platform/core/unicode.h"

#include <cstdint>

namespace vendrel {

void AppendUtf8(std::string& Out, char32_t CodePoint) {
    const char32_t cp = CodePoint;
    if (cp < 0x80) {
        Out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        Out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        Out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        Out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        Out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        Out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t NextUtf8CodePoint(std::string_view Text, size_t& Pos) {
    const auto b0 = static_cast<uint8_t>(Text[Pos]);
    if (b0 < 0x80) {
        ++Pos;
        return b0;
    }
    size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++Pos;
        return kReplacementCharacter;
    }
    if (Pos + len > Text.size()) {
        ++Pos;
        return kReplacementCharacter;
    }
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<uint8_t>(Text[Pos + k]);
        if ((b & 0xC0) != 0x80) {
            ++Pos;
            return kReplacementCharacter;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++Pos;
        return kReplacementCharacter;
    }
    Pos += len;
    return cp;
}

std::string SanitizeUtf8(std::string_view Bytes) {
    std::string out;
    out.reserve(Bytes.size());
    for (size_t i = 0; i < Bytes.size();) {
        AppendUtf8(out, NextUtf8CodePoint(Bytes, i));
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view Bytes) {
    std::string out;
    out.reserve(Bytes.size());
    for (const char c : Bytes) {
        AppendUtf8(out, static_cast<uint8_t>(c));
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view Bytes, bool BigEndian) {
    std::string out;
    out.reserve(Bytes.size());
    const auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<uint8_t>(Bytes[i]);
        const auto b = static_cast<uint8_t>(Bytes[i + 1]);
        return BigEndian ? char32_t((a << 8) | b) : char32_t((b << 8) | a);
    };
    size_t i = 0;
    while (i + 1 < Bytes.size()) {
        const char32_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < Bytes.size()) {
            const char32_t low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 2;
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacementCharacter : u);
    }
    if (i < Bytes.size()) {
        AppendUtf8(out, kReplacementCharacter); // odd trailing byte
    }
    return out;
}

} // namespace vendrel
