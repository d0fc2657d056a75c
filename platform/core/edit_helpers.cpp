#include "platform/core/edit_helpers.h"

#include "platform/core/numeric.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <locale>
#include <stdexcept>

namespace vendrel {

TFormatSettings FormatSettingsFromLocale(const std::locale& loc) {
    TFormatSettings fs;
    fs.DecimalSeparator = std::use_facet<std::numpunct<char>>(loc).decimal_point();
    return fs;
}

bool TryTextToFloat(const std::string& Text, double& Value, const TFormatSettings& Settings) {
    size_t i = 0, end = Text.size();
    while (i < end && Text[i] == ' ') {
        ++i;
    }
    while (end > i && Text[end - 1] == ' ') {
        --end;
    }
    // Rebuild the number in C notation, accepting only sign, digits, one separator and an exponent.
    std::string c;
    auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (i < end && (Text[i] == '+' || Text[i] == '-')) {
        if (Text[i] == '-') {
            c += '-';
        }
        ++i;
    }
    int digits = 0;
    while (i < end && isDigit(Text[i])) {
        c += Text[i++];
        ++digits;
    }
    if (i < end && Text[i] == Settings.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < end && isDigit(Text[i])) {
            c += Text[i++];
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < end && (Text[i] == 'e' || Text[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < end && (Text[i] == '+' || Text[i] == '-')) {
            c += Text[i++];
        }
        int expDigits = 0;
        while (i < end && isDigit(Text[i])) {
            c += Text[i++];
            ++expDigits;
        }
        if (expDigits == 0) {
            return false;
        }
    }
    if (i != end) {
        return false;
    }
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (ec != std::errc() || ptr != c.data() + c.size() || !std::isfinite(v)) {
        return false;
    }
    Value = v;
    return true;
}

std::string FormatFloatPattern(const std::string& Format, double Value, const TFormatSettings& Settings) {
    int intDigits = 0, decimals = 0;
    bool afterPoint = false;
    for (const char ch : Format) {
        if (ch == '0') {
            (afterPoint ? decimals : intDigits)++;
        } else if (ch == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            throw std::invalid_argument("Unsupported number pattern: " + Format);
        }
    }
    if (intDigits == 0 || (afterPoint && decimals == 0)) {
        throw std::invalid_argument("Unsupported number pattern: " + Format);
    }

    // The value as a fixed-point amount of ten-thousandths, then rounded to the pattern's decimals.
    int64_t fixed = RoundHalfEven<int64_t>(Value * 10000.0);
    const bool negative = fixed < 0;
    uint64_t mag = negative ? 0 - static_cast<uint64_t>(fixed) : static_cast<uint64_t>(fixed);
    int shown = decimals;
    if (decimals < 4) {
        uint64_t div = 1;
        for (int k = decimals; k < 4; ++k) {
            div *= 10;
        }
        mag = (mag + div / 2) / div; // half away from zero
    } else {
        shown = 4;
    }
    std::string digits = std::to_string(mag);
    if (static_cast<int>(digits.size()) < shown + intDigits) {
        digits.insert(0, static_cast<size_t>(shown + intDigits) - digits.size(), '0');
    }
    std::string out = digits.substr(0, digits.size() - static_cast<size_t>(shown));
    if (decimals > 0) {
        out += Settings.DecimalSeparator;
        out += digits.substr(digits.size() - static_cast<size_t>(shown));
        out.append(static_cast<size_t>(decimals - shown), '0');
    }
    if (negative && mag != 0) {
        out.insert(0, 1, '-');
    }
    return out;
}

std::string PlainNumberText(double Value, const TFormatSettings& Settings) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", Value == 0.0 ? 0.0 : Value);
    std::string text(buf);
    for (char& c : text) {
        if (c == '.') {
            c = Settings.DecimalSeparator;
        }
    }
    // "1E+20" is written "1E20", as reading accepts both.
    const size_t e = text.find("E+");
    if (e != std::string::npos) {
        text.erase(e + 1, 1);
    }
    return text;
}

double NormalizeAngle(double Angle) {
    // 1/360 as stored in single precision; the fold relies on its exact value.
    constexpr double k = static_cast<double>(1.0f / 360.0f);
    double a = Angle - IntPart(Angle * k) * 360.0;
    if (a < 0.0) {
        a += 360.0;
    }
    if (a > 180.0) {
        a -= 360.0;
    }
    return a;
}

namespace {

TEditRead ReadEdit(const std::string& Text, double Min, double Max, const std::string& Format, double Default,
                   const TFormatSettings& Settings, bool angle) {
    std::string typed = Text;
    for (char& ch : typed) {
        if (ch == '.' || ch == ',') {
            ch = Settings.DecimalSeparator;
        }
    }
    double value = 0.0;
    if (TryTextToFloat(typed, value, Settings)) {
        if (angle) {
            value = NormalizeAngle(value);
        }
        if (value < Min) {
            value = Min;
        }
        if (value > Max) {
            value = Max;
        }
    } else {
        value = Default;
    }
    TEditRead r;
    r.Text = FormatFloatPattern(Format, value, Settings);
    if (!TryTextToFloat(r.Text, r.Value, Settings)) {
        throw std::invalid_argument("'" + r.Text + "' is not a valid floating point value");
    }
    return r;
}

} // namespace

TEditRead ReadFloatEdit(const std::string& Text, double Min, double Max, const std::string& Format,
                        double Default, const TFormatSettings& Settings) {
    return ReadEdit(Text, Min, Max, Format, Default, Settings, false);
}

TEditRead ReadAngleEdit(const std::string& Text, double Min, double Max, const std::string& Format,
                        double Default, const TFormatSettings& Settings) {
    return ReadEdit(Text, Min, Max, Format, Default, Settings, true);
}

void FilterNumericKey(const std::string& EditText, char16_t& KeyChar, bool NoNegative, bool IntegerOnly,
                      const TFormatSettings& Settings) {
    constexpr char16_t kBackspace = 8, kEnter = 13, kNone = 0;
    const char16_t sep = static_cast<unsigned char>(Settings.DecimalSeparator);
    const char16_t k = KeyChar;
    const bool allowed =
        k == kBackspace || k == kEnter || k == u',' || k == u'-' || k == u'.' || (k >= u'0' && k <= u'9');
    if (!allowed) {
        KeyChar = kNone;
    }
    if (IntegerOnly && (KeyChar == u',' || KeyChar == u'.')) {
        KeyChar = kNone;
    }
    if (KeyChar == u'.' || KeyChar == u',') {
        KeyChar = sep;
    }
    if (NoNegative && KeyChar == u'-') {
        KeyChar = kNone;
    }
    if (KeyChar == sep && KeyChar != kNone && EditText.find(Settings.DecimalSeparator) != std::string::npos) {
        KeyChar = kNone;
    }
    if (KeyChar == u'-' && EditText.find('-') != std::string::npos) {
        KeyChar = kNone;
    }
    if (KeyChar == kEnter) {
        KeyChar = kNone;
    }
}

std::string SanitizeFileName(const std::string& Name) {
    std::string out = Name;
    for (char& ch : out) {
        switch (ch) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '/':
        case '\\':
        case '|':
        case '?':
        case '*':
        case '&':
            ch = ' ';
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace vendrel
