#include "files/dxf_scanner.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

#include "platform/core/numeric.h"
#include "platform/core/unicode.h"
#include "platform/core/windows1252.h"

namespace vendrel {

namespace {

// ---- Text decoding ----------------------------------------------------------------------------

// The drawing's bytes as UTF-8 text. A byte-order mark picks UTF-8 or UTF-16 and stays in the text
// as U+FEFF; without one the bytes are Windows-1252, the code page of drawings written on Windows.
std::string decodeDrawingText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return SanitizeUtf8(bytes);
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return Utf16ToUtf8(bytes, false);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Utf16ToUtf8(bytes, true);
    }
    return Windows1252ToUtf8(bytes);
}

// ---- Value conversion -------------------------------------------------------------------------

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// A decimal integer with an optional sign, blanks around it allowed. False, Out untouched, when the
// text is not exactly that or does not fit Int.
template <typename Int> bool parseDecimal(std::string_view s, Int& Out) {
    s = trimBlanks(s);
    if (s.size() >= 2 && s[0] == '+' && s[1] >= '0' && s[1] <= '9') {
        s.remove_prefix(1);
    }
    Int v{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || s.empty()) {
        return false;
    }
    Out = v;
    return true;
}

// A real number with '.' as decimal separator and an optional exponent, whatever the locale.
bool parseReal(std::string_view s, double& Out) {
    s = trimBlanks(s);
    std::string_view digits = s;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        digits.remove_prefix(1);
    }
    // Digits or a point must follow the sign: no "inf" or "nan" words, no second sign.
    if (digits.empty() || !((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) {
        return false;
    }
    const char* first = s[0] == '-' ? s.data() : digits.data();
    double v = 0.0;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc{} || end != s.data() + s.size()) {
        return false;
    }
    Out = v;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Moves Pos past one line end (LF, CR, CR LF or LF CR). True also at the end of the text.
bool SkipLineEnd(const std::string& Text, size_t& Pos) {
    if (Pos >= Text.size()) {
        return true;
    }
    const char first = Text[Pos];
    if (first != '\n' && first != '\r') {
        return false;
    }
    ++Pos;
    if (Pos < Text.size() && (Text[Pos] == '\n' || Text[Pos] == '\r') && Text[Pos] != first) {
        ++Pos;
    }
    return true;
}

bool startsCode(char c) {
    return c == '+' || c == '-' || (c >= '0' && c <= '9');
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF"; // U+FEFF in UTF-8

} // namespace

// ---- TDxfScanner ------------------------------------------------------------------------------

TDxfScanner::~TDxfScanner() = default;

TDxfScanResult TDxfScanner::Next() {
    ValStr.clear();
    ValInt = 0;
    ValInt64 = 0;
    ValBinLen = 0;
    ValFloat = 0.0;
    CodeGroup = kDxfNoGroup;
    DataType = TDxfType::dtUnknown;
    ErrStr.clear();
    try {
        LastScan = ScanGroup(ErrStr);
    } catch (const std::exception& e) {
        LastScan = TDxfScanResult::scError;
        ErrStr = e.what();
    }
    return LastScan;
}

void TDxfScanner::SetSource(std::istream* ASource) {
    if (ASource == nullptr) {
        return;
    }
    AttachSource(*ASource);
    LastScan = TDxfScanResult::scInit;
}

void TDxfScanner::SetSource(std::unique_ptr<std::istream> ASource) {
    if (!ASource) {
        return;
    }
    AttachSource(*ASource);
    fOwnedSrc = std::move(ASource);
    LastScan = TDxfScanResult::scInit;
}

// ---- TDxfAsciiScanner -------------------------------------------------------------------------

void TDxfAsciiScanner::AttachSource(std::istream& ASource) {
    std::string bytes{std::istreambuf_iterator<char>(ASource), std::istreambuf_iterator<char>()};
    if (ASource.bad()) {
        throw EDxfReadError("Stream read error");
    }
    SetBuf(decodeDrawingText(bytes));
}

void TDxfAsciiScanner::SetBuf(std::string astr) {
    lineNum = 1;
    buf = std::move(astr);
    idx = 0;
    LastScan = TDxfScanResult::scInit;
}

void TDxfAsciiScanner::GetLocationInfo(int32_t& LineNum, int32_t& Offset) const {
    LineNum = lineNum;
    Offset = 0;
}

TDxfScanResult TDxfAsciiScanner::ScanGroup(std::string& ErrMsg) {
    if (idx >= buf.size()) {
        return TDxfScanResult::scEof;
    }
    // Up to the next group code, across lines. Only blanks, line ends and a byte-order mark
    // before the end of the text make a clean end: a drawing's last line end is no group.
    bool onlyBlanks = true;
    while (idx < buf.size() && !startsCode(buf[idx])) {
        const char c = buf[idx];
        if (c == '\n' || c == '\r') {
            SkipLineEnd(buf, idx);
            lineNum = lineNum < std::numeric_limits<int32_t>::max() ? lineNum + 1 : lineNum;
        } else if (std::string_view(buf).substr(idx).starts_with(kByteOrderMark)) {
            idx += kByteOrderMark.size();
        } else {
            onlyBlanks = onlyBlanks && isBlank(c);
            ++idx;
        }
    }
    if (idx >= buf.size() && onlyBlanks) {
        return TDxfScanResult::scEof;
    }

    const size_t codeStart = idx;
    if (idx < buf.size() && (buf[idx] == '+' || buf[idx] == '-')) {
        ++idx;
    }
    while (idx < buf.size() && buf[idx] >= '0' && buf[idx] <= '9') {
        ++idx;
    }
    int32_t code = 0;
    if (!parseDecimal(std::string_view(buf).substr(codeStart, idx - codeStart), code)) {
        ErrMsg = "invalid block code format";
        return TDxfScanResult::scError;
    }
    CodeGroup = code;

    if (idx >= buf.size()) {
        ErrMsg = "unexpected end of file after group code";
        return TDxfScanResult::scError;
    }
    if (!SkipLineEnd(buf, idx)) {
        ErrMsg = "expecting end of line";
        return TDxfScanResult::scError;
    }
    lineNum = lineNum < std::numeric_limits<int32_t>::max() ? lineNum + 1 : lineNum;

    // The value runs to the next line end, blanks included; that line end is left for the next
    // step, which counts it.
    const size_t valueEnd = std::min(buf.find_first_of("\r\n", idx), buf.size());
    ValStr.assign(buf, idx, valueEnd - idx);
    idx = valueEnd;

    ConvertValue();
    return TDxfScanResult::scValue;
}

void TDxfAsciiScanner::ConvertValue() {
    DataType = DxfGroupCodeType(CodeGroup);
    switch (DataType) {
    case TDxfType::dtInt16:
    case TDxfType::dtInt32:
    case TDxfType::dtBoolean:
        if (parseDecimal(ValStr, ValInt)) {
            ValInt64 = ValInt;
        }
        break;
    case TDxfType::dtInt64:
        parseDecimal(ValStr, ValInt64);
        break;
    case TDxfType::dtDouble:
        parseReal(ValStr, ValFloat);
        break;
    case TDxfType::dtBin1: {
        if (ValStr.empty()) {
            break;
        }
        // Pairs of hexadecimal digits; a conversion stops at the first pair that is not one, and
        // ValBin is only ever grown, so bytes past ValBinLen keep earlier chunks' values.
        ValBinLen = static_cast<int32_t>(std::min<size_t>(ValStr.size() / 2, INT32_MAX));
        if (ValBin.size() < static_cast<size_t>(ValBinLen)) {
            ValBin.resize(static_cast<size_t>(ValBinLen));
        }
        if (ValBin.empty()) {
            throw EDxfReadError("invalid binary chunk: a single hexadecimal digit");
        }
        for (size_t i = 0; i < static_cast<size_t>(ValBinLen); ++i) {
            const int hi = hexDigit(ValStr[2 * i]);
            const int lo = hexDigit(ValStr[2 * i + 1]);
            if (hi < 0 || lo < 0) {
                break;
            }
            ValBin[i] = static_cast<uint8_t>((hi << 4) | lo);
        }
        break;
    }
    default:
        break;
    }
}

// ---- TDxfBinaryScanner ------------------------------------------------------------------------

namespace {

// Reads exactly Count bytes or raises; Pos counts the bytes taken.
void readExact(std::istream& s, char* Dest, size_t Count, int64_t& Pos) {
    s.read(Dest, static_cast<std::streamsize>(Count));
    const auto got = static_cast<size_t>(s.gcount());
    Pos += static_cast<int64_t>(got);
    if (got != Count) {
        throw EDxfReadError(s.bad() ? "Stream read error" : "unexpected end of file");
    }
}

template <typename UInt> UInt readLittleEndian(std::istream& s, int64_t& Pos) {
    unsigned char b[sizeof(UInt)];
    readExact(s, reinterpret_cast<char*>(b), sizeof(UInt), Pos);
    UInt v = 0;
    for (size_t i = sizeof(UInt); i-- > 0;) {
        v = static_cast<UInt>((v << 8) | b[i]);
    }
    return v;
}

// A zero-terminated byte string; each byte is the character of the same code (U+0000 to U+00FF),
// stored as UTF-8. Raises when the stream ends before the zero byte.
std::string ReadNullTermString(std::istream& s, int64_t& Pos) {
    std::string out;
    for (;;) {
        const int c = s.get();
        if (c == std::char_traits<char>::eof()) {
            throw EDxfReadError(s.bad() ? "Stream read error" : "unexpected end of file in a string");
        }
        ++Pos;
        if (c == 0) {
            return out;
        }
        AppendUtf8(out, static_cast<char32_t>(c));
    }
}

} // namespace

void TDxfBinaryScanner::AttachSource(std::istream& ASource) {
    src = &ASource;
    const auto pos = static_cast<int64_t>(ASource.tellg());
    srcStart = pos < 0 ? 0 : pos;
    srcPos = srcStart;
    isEof = false;
}

void TDxfBinaryScanner::GetLocationInfo(int32_t& LineNum, int32_t& Offset) const {
    LineNum = 0;
    Offset = src == nullptr ? 0 : CheckedCast<int32_t>(srcPos - srcStart);
}

TDxfScanResult TDxfBinaryScanner::ScanGroup(std::string& ErrMsg) {
    if (src == nullptr) {
        ErrMsg = "no source";
        return TDxfScanResult::scError;
    }
    if (isEof || src->peek() == std::char_traits<char>::eof()) {
        if (src->bad()) {
            throw EDxfReadError("Stream read error");
        }
        return TDxfScanResult::scEof;
    }
    CodeGroup = static_cast<int16_t>(readLittleEndian<uint16_t>(*src, srcPos));
    DataType = DxfGroupCodeType(CodeGroup);
    // Extended data's binary chunk is framed like the chunks of 310-319 in the binary form.
    if (CodeGroup == 1004) {
        DataType = TDxfType::dtBin1;
    }
    switch (DataType) {
    case TDxfType::dtInt16:
        ValInt = static_cast<int16_t>(readLittleEndian<uint16_t>(*src, srcPos));
        break;
    case TDxfType::dtInt32:
        ValInt = static_cast<int32_t>(readLittleEndian<uint32_t>(*src, srcPos));
        break;
    case TDxfType::dtInt64:
        ValInt64 = static_cast<int64_t>(readLittleEndian<uint64_t>(*src, srcPos));
        break;
    case TDxfType::dtDouble:
        ValFloat = std::bit_cast<double>(readLittleEndian<uint64_t>(*src, srcPos));
        break;
    case TDxfType::dtBoolean:
        ValInt = readLittleEndian<uint8_t>(*src, srcPos);
        break;
    case TDxfType::dtBin1: {
        const uint8_t n = readLittleEndian<uint8_t>(*src, srcPos);
        if (n == 0) {
            throw EDxfReadError("binary chunk of length 0");
        }
        ValBin.resize(n);
        readExact(*src, reinterpret_cast<char*>(ValBin.data()), n, srcPos);
        break;
    }
    case TDxfType::dtStr2049:
    case TDxfType::dtStr255:
    case TDxfType::dtStrHex:
    case TDxfType::dtUnknown:
        // Writers store every code they have no binary type for (such as 101) as a string, so an
        // untyped code carries one too; reading nothing would lose the stream's framing.
        ValStr = ReadNullTermString(*src, srcPos);
        isEof = ValStr == "EOF";
        break;
    }
    return TDxfScanResult::scValue;
}

// ---- Factory ----------------------------------------------------------------------------------

namespace {
constexpr char kBinarySentinel[22] = {'A', 'u', 't', 'o', 'C', 'A', 'D', ' ',  'B',  'i',  'n',
                                      'a', 'r', 'y', ' ', 'D', 'X', 'F', '\r', '\n', 0x1A, 0x00};

// Picks the scanner for the stream, which stays where its drawing starts.
std::unique_ptr<TDxfScanner> scannerFor(std::istream& Stream) {
    const auto start = Stream.tellg();
    if (IsBinaryDxfStream(&Stream)) {
        return std::make_unique<TDxfBinaryScanner>();
    }
    Stream.clear(Stream.rdstate() & std::ios::badbit);
    Stream.seekg(start);
    return std::make_unique<TDxfAsciiScanner>();
}
} // namespace

bool IsBinaryDxfStream(std::istream* Stream) {
    if (Stream == nullptr) {
        return false;
    }
    char head[sizeof(kBinarySentinel)];
    Stream->read(head, sizeof(head));
    const auto got = Stream->gcount();
    // A short stream leaves end-of-file set; the caller may still seek on it.
    Stream->clear(Stream->rdstate() & std::ios::badbit);
    return got == static_cast<std::streamsize>(sizeof(head)) &&
           std::memcmp(head, kBinarySentinel, sizeof(head)) == 0;
}

std::unique_ptr<TDxfScanner> CreateDxfScanner(std::istream* Stream) {
    if (Stream == nullptr) {
        return nullptr;
    }
    auto scanner = scannerFor(*Stream);
    scanner->SetSource(Stream);
    return scanner;
}

std::unique_ptr<TDxfScanner> CreateDxfScanner(std::unique_ptr<std::istream> Stream) {
    if (!Stream) {
        return nullptr;
    }
    auto scanner = scannerFor(*Stream);
    scanner->SetSource(std::move(Stream));
    return scanner;
}

} // namespace vendrel
