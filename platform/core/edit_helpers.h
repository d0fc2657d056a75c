#pragma once
// Reading, checking and rewriting the numbers typed into edit fields, and the small text helpers the
// windows share. The functions work on the field's text; the Qt side (platform/qt/edit_helpers.h)
// binds them to line edits and the user's locale.

#include <locale>
#include <string>

namespace vendrel {

// The locale settings that number text depends on.
struct TFormatSettings {
    char DecimalSeparator = '.';
};

// The decimal separator of a C++ locale (for example std::locale("de_DE.UTF-8") gives ',').
TFormatSettings FormatSettingsFromLocale(const std::locale& loc);

// What a read leaves in the field and hands back: the value is the shown text read back.
struct TEditRead {
    double Value = 0.0;
    std::string Text;
};

// Reads the typed text: '.' and ',' both count as the decimal separator; the value is limited to
// Min..Max; unreadable text gives Default (which is not limited). The text is rewritten with the
// pattern Format ("0", "0.0", "0.00", "0.000": that many decimals, no thousands separator).
TEditRead ReadFloatEdit(const std::string& Text, double Min, double Max, const std::string& Format,
                        double Default, const TFormatSettings& Settings);

// As ReadFloatEdit, with the typed angle folded into (-180, 180] before it is limited.
TEditRead ReadAngleEdit(const std::string& Text, double Min, double Max, const std::string& Format,
                        double Default, const TFormatSettings& Settings);

// Parses a number in the locale's notation (optional sign, digits, decimal separator, exponent;
// blanks around it allowed); false when the text is not such a number or out of double's range.
bool TryTextToFloat(const std::string& Text, double& Value, const TFormatSettings& Settings);

// Formats Value with a "0", "0.0", "0.00" ... pattern after fixing it to four decimals (ties to
// even); the pattern's last decimal is rounded half away from zero. Throws std::invalid_argument for
// any other pattern and ERangeError when Value * 10000 does not fit a 64-bit integer.
std::string FormatFloatPattern(const std::string& Format, double Value, const TFormatSettings& Settings);

// The default text of a number: its shortest form with up to 15 significant digits, in the locale's
// notation ("90", "-90", "0.5", "1E20").
std::string PlainNumberText(double Value, const TFormatSettings& Settings);

// Folds an angle in degrees into (-180, 180].
double NormalizeAngle(double Angle);

// Filters a key typed into a numeric field whose current text is EditText; KeyChar becomes 0 when the
// key is refused. Enter is always swallowed (the dialog handles it itself).
void FilterNumericKey(const std::string& EditText, char16_t& KeyChar, bool NoNegative, bool IntegerOnly,
                      const TFormatSettings& Settings);

// Replaces the characters that file systems or the shell refuse in a file name by blanks.
std::string SanitizeFileName(const std::string& Name);

} // namespace vendrel
