#pragma once
// Text files as line lists and the number reading shared by the readers of coefficient files and of
// other analysers' exports.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel {

// The file's text: a UTF-8 byte-order mark is dropped and UTF-16 text (by its mark) is narrowed to
// single bytes, which keeps every character a number or a header can hold; other files are taken
// as they are. Nothing when the file cannot be read.
std::optional<std::string> LoadText(const std::string& FileName);

// Lines as a string list loads them: CR LF, LF or CR end a line; a final line break adds no line.
std::vector<std::string> SplitLines(const std::string& Text);

// LoadText then SplitLines; false (Lines untouched) when the file cannot be read.
bool LoadTextLines(const std::string& FileName, std::vector<std::string>& Lines);

// Text without the blanks and control characters (codes 0 to 32) at both ends.
std::string TrimText(std::string_view Text);

// A decimal number: optional sign, digits with at most one decimal point, optional exponent; blanks
// around it allowed, nothing else. With CommaIsDecimal a "," counts as the decimal point as well, so
// text written in either notation reads the same whatever the user's locale.
std::optional<double> ParseDecimal(std::string_view Text, bool CommaIsDecimal);

} // namespace vendrel
