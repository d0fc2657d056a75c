#pragma once
// UTF-8 and UTF-16 text, one code point at a time, for the readers of text stored in files. Malformed
// input never stops a reader: it becomes U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace vendrel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void AppendUtf8(std::string& Out, char32_t CodePoint);

// Decodes the UTF-8 sequence at Text[Pos] and moves Pos past it. A malformed sequence (a stray or cut
// byte, an overlong form, a surrogate, a value above U+10FFFF) gives U+FFFD and moves Pos by one byte.
char32_t NextUtf8CodePoint(std::string_view Text, size_t& Pos);

// The bytes as well-formed UTF-8: each byte that belongs to no well-formed sequence becomes U+FFFD.
std::string SanitizeUtf8(std::string_view Bytes);

// Single bytes, each the character of the same code (U+0000 to U+00FF), as UTF-8.
std::string Latin1ToUtf8(std::string_view Bytes);

// UTF-16 code units, little- or big-endian, as UTF-8. An unpaired surrogate and an odd trailing byte
// become U+FFFD.
std::string Utf16ToUtf8(std::string_view Bytes, bool BigEndian);

} // namespace vendrel
