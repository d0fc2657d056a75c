#pragma once
// Text in the program's single-byte files is Windows-1252; in memory it is UTF-8.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the
// control characters of the same number, as Windows itself maps them, so every byte survives a read
// and a write unchanged.

#include <string>
#include <string_view>

namespace vendrel {

// Decodes Windows-1252 bytes into UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

// Encodes UTF-8 text as Windows-1252, one byte per character. Characters that Windows-1252 lacks and
// bytes that are not valid UTF-8 become '?'.
std::string Utf8ToWindows1252(std::string_view utf8);

} // namespace vendrel
