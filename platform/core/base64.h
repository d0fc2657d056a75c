#pragma once
// Standard Base64 (alphabet "A"-"Z", "a"-"z", "0"-"9", "+", "/", "=" as padding), as the program's own
// data files store their content: one unbroken run of characters.

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

// Decodes Length characters of Text into Output, which must hold at least Length / 4 * 3 bytes, and
// returns the number of bytes written. The text is taken in groups of four characters; a remainder of
// fewer than four is ignored. A group whose third character is '=' gives one byte, one whose fourth
// alone is '=' gives two, any other group three. A character outside the alphabet counts as 0.
size_t DecodeBase64Block(const uint8_t* Text, uint8_t* Output, size_t Length);

// The decoded content of a whole text.
std::vector<uint8_t> DecodeBase64(const std::string& Text);

// Encodes bytes as one unbroken run of Base64 characters with '=' padding.
std::string EncodeBase64(const uint8_t* Data, size_t Length);

// Reads a data file and returns its decoded content. Raises std::runtime_error when the file cannot
// be read.
std::vector<uint8_t> DecodeDataFile(const std::string& FilePath);

} // namespace vendrel
