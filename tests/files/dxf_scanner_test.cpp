#include "files/dxf_scanner.h"

#include <clocale>
#include <sstream>

#include <gtest/gtest.h>

#include "dxf_test_util.h"

namespace vendrel {
namespace {

using dxf_test::BinaryDxf;
using enum TDxfScanResult;
using enum TDxfType;

TEST(DxfGroupCodes, TypesFollowTheTableAtEveryRangeBoundary) {
    const std::pair<int32_t, TDxfType> cases[] = {
        {-1, dtUnknown},    {0, dtStr2049},   {9, dtStr2049},    {10, dtDouble},    {59, dtDouble},
        {60, dtInt16},      {79, dtInt16},    {80, dtUnknown},   {89, dtUnknown},   {90, dtInt32},
        {99, dtInt32},      {100, dtStr255},  {101, dtUnknown},  {102, dtStr255},   {104, dtUnknown},
        {105, dtStr255},    {106, dtUnknown}, {110, dtDouble},   {149, dtDouble},   {150, dtUnknown},
        {160, dtInt64},     {169, dtInt64},   {170, dtInt16},    {179, dtInt16},    {180, dtUnknown},
        {209, dtUnknown},   {210, dtDouble},  {239, dtDouble},   {240, dtUnknown},  {270, dtInt16},
        {289, dtInt16},     {290, dtBoolean}, {299, dtBoolean},  {300, dtStr255},   {309, dtStr255},
        {310, dtBin1},      {319, dtBin1},    {320, dtStrHex},   {369, dtStrHex},   {370, dtInt16},
        {389, dtInt16},     {390, dtStrHex},  {399, dtStrHex},   {400, dtInt16},    {409, dtInt16},
        {410, dtStr255},    {419, dtStr255},  {420, dtInt32},    {429, dtInt32},    {430, dtStr255},
        {439, dtStr255},    {440, dtInt32},   {459, dtInt32},    {460, dtDouble},   {469, dtDouble},
        {470, dtStr255},    {479, dtStr255},  {480, dtStrHex},   {489, dtStrHex},   {490, dtUnknown},
        {998, dtUnknown},   {999, dtStr2049}, {1004, dtStr2049}, {1009, dtStr2049}, {1010, dtDouble},
        {1059, dtDouble},   {1060, dtInt16},  {1070, dtInt16},   {1071, dtInt32},   {1072, dtUnknown},
        {65536, dtUnknown},
    };
    for (const auto& [code, type] : cases) {
        EXPECT_EQ(DxfGroupCodeType(code), type) << "code " << code;
    }
}

// ---- Text scanner -----------------------------------------------------------------------------

struct TextScan {
    explicit TextScan(std::string text) { s.SetBuf(std::move(text)); }
    int32_t Line() const {
        int32_t line = 0, offset = 0;
        s.GetLocationInfo(line, offset);
        return line;
    }
    TDxfAsciiScanner s;
};

TEST(DxfTextScanner, ReadsGroupsAndCountsEachKindOfLineEndAsOneLine) {
    // The separator stands between the first value and the second code; one line end is one line,
    // two equal characters are two.
    const std::pair<std::string, int32_t> cases[] = {
        {"\n", 4}, {"\r", 4}, {"\r\n", 4}, {"\n\r", 4}, {"\r\r", 5}, {"\n\n", 5}, {"\r\n\r\n", 5},
    };
    for (const auto& [sep, line] : cases) {
        TextScan t("  0\r\nSECTION" + sep + "  2\r\nHEADER\r\n");
        ASSERT_EQ(t.s.Next(), scValue);
        EXPECT_EQ(t.s.CodeGroup, 0);
        EXPECT_EQ(t.s.ValStr, "SECTION");
        EXPECT_EQ(t.Line(), 2);
        ASSERT_EQ(t.s.Next(), scValue);
        EXPECT_EQ(t.s.CodeGroup, 2);
        EXPECT_EQ(t.s.ValStr, "HEADER");
        EXPECT_EQ(t.Line(), line) << "separator of " << sep.size() << " characters";
        EXPECT_EQ(t.s.Next(), scEof);
    }
}

TEST(DxfTextScanner, MalformedCodesFailWithTheirMessage) {
    const std::pair<std::string, std::string> cases[] = {
        {"0 \nSECTION\n", "expecting end of line"},
        {"x\n", "invalid block code format"},
        {"-\nSECTION\n", "invalid block code format"},
        {"+x\n", "invalid block code format"},
        {"99999999999\nSECTION\n", "invalid block code format"},
        {"  0\nSECTION\nx", "invalid block code format"}, // garbage after the last group
    };
    for (const auto& [text, message] : cases) {
        TextScan t(text);
        TDxfScanResult r = t.s.Next();
        while (r == scValue) {
            r = t.s.Next();
        }
        EXPECT_EQ(r, scError) << text;
        EXPECT_EQ(t.s.ErrStr, message) << text;
        EXPECT_EQ(t.s.LastScan, scError);
    }
    // Digits that end the text have no value line.
    TextScan end("  0");
    EXPECT_EQ(end.s.Next(), scError);
    EXPECT_FALSE(end.s.ErrStr.empty());
}

TEST(DxfTextScanner, EndOfTextIsEofAlsoAfterTrailingLineEndsAndBlanks) {
    for (const std::string& text :
         std::vector<std::string>{"", "  0\nEOF", "  0\nEOF\n", "  0\nEOF\r\n\r\n  \t\n", "\xEF\xBB\xBF"}) {
        TextScan t(text);
        TDxfScanResult r = t.s.Next();
        while (r == scValue) {
            r = t.s.Next();
        }
        EXPECT_EQ(r, scEof) << text.size() << " bytes";
        EXPECT_EQ(t.s.Next(), scEof);
        EXPECT_EQ(t.s.CodeGroup, kDxfNoGroup);
    }
}

TEST(DxfTextScanner, ValuesKeepTheirBlanksAndUnconvertibleNumbersAreNotReported) {
    TextScan t(" 0\n SECTION\n70\n  12abc\n");
    ASSERT_EQ(t.s.Next(), scValue);
    EXPECT_EQ(t.s.ValStr, " SECTION");
    ASSERT_EQ(t.s.Next(), scValue);
    EXPECT_EQ(t.s.DataType, dtInt16);
    EXPECT_EQ(t.s.ValStr, "  12abc");
    EXPECT_EQ(t.s.ValInt, 0);
}

TEST(DxfTextScanner, ConvertsValuesByTheirCodesType) {
    struct Case {
        int code;
        std::string text;
        int32_t i;
        int64_t i64;
        double f;
    };
    const Case cases[] = {
        {70, "  -12", -12, -12, 0.0},  {90, "+2147483647", 2147483647, 2147483647, 0.0},
        {90, "2147483648", 0, 0, 0.0}, // beyond 32 bits
        {290, "1", 1, 1, 0.0},         {160, "-9007199254740993", 0, -9007199254740993LL, 0.0},
        {10, "1.5e3", 0, 0, 1500.0},   {40, " -.25 ", 0, 0, -0.25},
        {20, "0.1", 0, 0, 0.1},        {10, "1,5", 0, 0, 0.0},
        {10, "nan", 0, 0, 0.0},        {10, "inf", 0, 0, 0.0},
        {1, "12", 0, 0, 0.0}, // texts stay texts
    };
    for (const Case& c : cases) {
        TextScan t(std::to_string(c.code) + "\n" + c.text + "\n");
        ASSERT_EQ(t.s.Next(), scValue) << c.text;
        EXPECT_EQ(t.s.ValStr, c.text);
        EXPECT_EQ(t.s.ValInt, c.i) << c.text;
        EXPECT_EQ(t.s.ValInt64, c.i64) << c.text;
        EXPECT_EQ(t.s.ValFloat, c.f) << c.text;
    }
}

TEST(DxfTextScanner, RealsIgnoreTheUsersLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "German locale not installed";
    }
    TextScan t(" 10\n2.5\n 20\n2,5\n");
    t.s.Next();
    const double x = t.s.ValFloat;
    t.s.Next();
    const double y = t.s.ValFloat;
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(x, 2.5);
    EXPECT_EQ(y, 0.0);
}

TEST(DxfTextScanner, HexChunksFillTheGrowingByteBuffer) {
    TextScan t("310\n00FFa0\n310\n0A\n310\n0G\n");
    ASSERT_EQ(t.s.Next(), scValue);
    EXPECT_EQ(t.s.ValBinLen, 3);
    EXPECT_EQ(t.s.ValBin, (std::vector<uint8_t>{0x00, 0xFF, 0xA0}));
    // A shorter chunk overwrites the front only: the buffer never shrinks.
    ASSERT_EQ(t.s.Next(), scValue);
    EXPECT_EQ(t.s.ValBinLen, 1);
    EXPECT_EQ(t.s.ValBin, (std::vector<uint8_t>{0x0A, 0xFF, 0xA0}));
    // A pair that is not hexadecimal stops the conversion quietly.
    ASSERT_EQ(t.s.Next(), scValue);
    EXPECT_EQ(t.s.ValBin, (std::vector<uint8_t>{0x0A, 0xFF, 0xA0}));

    // One digit while nothing was ever converted fails.
    TextScan single("310\nA\n");
    EXPECT_EQ(single.s.Next(), scError);
}

TEST(DxfTextScanner, DecodesByItsByteOrderMarkOrAsWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"2\nB\xFChne \x80\n", "B\xC3\xBChne \xE2\x82\xAC"}, // Windows-1252
        {"2\n\x81\x9F\n", "\xC2\x81\xC5\xB8"},               // undefined byte, Y diaeresis
        {"\xEF\xBB\xBF  2\nB\xC3\xBChne\n", "B\xC3\xBChne"}, // UTF-8 mark
        {"\xEF\xBB\xBF  2\nA\xFF"
         "B\n",
         "A\xEF\xBF\xBD"
         "B"}, // broken UTF-8
        {std::string("\xFF\xFE"
                     "2\0\n\0\xAC\x20\n\0",
                     10),
         "\xE2\x82\xAC"}, // UTF-16 LE mark
        {std::string("\xFE\xFF\0"
                     "2\0\n\xD8\x3D\xDE\x00\0\n",
                     12),
         "\xF0\x9F\x98\x80"}, // UTF-16 BE
    };
    for (const auto& [bytes, value] : cases) {
        TDxfAsciiScanner s;
        std::istringstream in(bytes);
        s.SetSource(&in);
        EXPECT_EQ(s.LastScan, scInit);
        ASSERT_EQ(s.Next(), scValue) << s.ErrStr;
        EXPECT_EQ(s.CodeGroup, 2);
        EXPECT_EQ(s.ValStr, value);
    }
}

// ---- Binary scanner and factory ---------------------------------------------------------------

TEST(DxfScannerFactory, PicksTheScannerByTheSentinelAndKeepsTheStreamPosition) {
    const std::string sentinel(dxf_test::kSentinel, 22);
    std::istringstream binary("xx" + sentinel + "rest");
    binary.seekg(2);
    auto scanner = CreateDxfScanner(&binary);
    ASSERT_NE(dynamic_cast<TDxfBinaryScanner*>(scanner.get()), nullptr);
    EXPECT_EQ(binary.tellg(), 24);
    EXPECT_EQ(scanner->LastScan, scInit);

    // A shorter stream, or one whose sentinel differs, is text, read from where it stood.
    for (const std::string& text : {std::string("xxAutoCAD Binary"), "xx" + sentinel.substr(0, 21) + "!"}) {
        std::istringstream in(text);
        in.seekg(2);
        auto s = CreateDxfScanner(&in);
        ASSERT_NE(dynamic_cast<TDxfAsciiScanner*>(s.get()), nullptr);
    }
    EXPECT_EQ(CreateDxfScanner(static_cast<std::istream*>(nullptr)), nullptr);
    EXPECT_FALSE(IsBinaryDxfStream(nullptr));

    // The text scanner starts at the stream's position, here after "9\n".
    std::istringstream text("9\n  0\nEOF\n");
    text.seekg(2);
    auto s = CreateDxfScanner(&text);
    ASSERT_EQ(s->Next(), scValue);
    EXPECT_EQ(s->CodeGroup, 0);
    EXPECT_EQ(s->ValStr, "EOF");

    // Handed over, the stream lives as long as the scanner.
    auto owning = CreateDxfScanner(std::make_unique<std::istringstream>(binary.str()));
    EXPECT_NE(dynamic_cast<TDxfAsciiScanner*>(owning.get()), nullptr);
}

BinaryDxf EveryType() {
    BinaryDxf b;
    b.Str(0, "SECTION")
        .I16(70, -2)
        .I32(90, -70000)
        .I64(160, -5000000000LL)
        .Real(10, 0.1)
        .Byte(290, 255)
        .Str(330, "1F")
        .Chunk(310, {0x00, 0x01, 0x00})
        .Chunk(1004, {0x00, 0x41, 0x00}) // extended data chunk with zeros inside
        .Str(101, "Embedded Object")     // a code with no type carries a string
        .Real(1010, 2.5)
        .Str(0, "EOF")
        .Str(0, "AFTER");
    return b;
}

TEST(DxfBinaryScanner, ReadsEveryValueTypeAndStaysInStepAfterChunks) {
    std::istringstream in(EveryType().bytes);
    auto s = CreateDxfScanner(&in);
    auto next = [&](int code) {
        EXPECT_EQ(s->Next(), scValue) << s->ErrStr;
        EXPECT_EQ(s->CodeGroup, code);
    };
    next(0);
    EXPECT_EQ(s->ValStr, "SECTION");
    next(70);
    EXPECT_EQ(s->ValInt, -2);
    next(90);
    EXPECT_EQ(s->ValInt, -70000);
    next(160);
    EXPECT_EQ(s->ValInt64, -5000000000LL);
    next(10);
    EXPECT_EQ(s->ValFloat, 0.1);
    next(290);
    EXPECT_EQ(s->ValInt, 255);
    next(330);
    EXPECT_EQ(s->ValStr, "1F");
    next(310);
    EXPECT_EQ(s->ValBin, (std::vector<uint8_t>{0x00, 0x01, 0x00}));
    EXPECT_EQ(s->ValBinLen, 0);
    next(1004);
    EXPECT_EQ(s->DataType, dtBin1);
    EXPECT_EQ(s->ValBin, (std::vector<uint8_t>{0x00, 0x41, 0x00}));
    next(101);
    EXPECT_EQ(s->ValStr, "Embedded Object");
    next(1010);
    EXPECT_EQ(s->ValFloat, 2.5);
    next(0);
    EXPECT_EQ(s->ValStr, "EOF");
    // The drawing ends at its EOF string even though bytes follow.
    EXPECT_EQ(s->Next(), scEof);
    EXPECT_EQ(s->Next(), scEof);
}

TEST(DxfBinaryScanner, StringBytesBecomeTheCharactersOfTheSameCode) {
    std::istringstream in(BinaryDxf().Str(2, "B\xFChne\x80").bytes);
    auto s = CreateDxfScanner(&in);
    ASSERT_EQ(s->Next(), scValue);
    EXPECT_EQ(s->ValStr, "B\xC3\xBChne\xC2\x80");
}

TEST(DxfBinaryScanner, TruncatedDataFailsAtEveryCutAndReportsWhere) {
    const std::string whole = EveryType().bytes;
    const size_t groupData = 22;
    for (size_t cut = groupData; cut < whole.size(); ++cut) {
        std::istringstream in(whole.substr(0, cut));
        auto s = CreateDxfScanner(&in);
        int64_t values = 0;
        TDxfScanResult r = s->Next();
        while (r == scValue && values < 100) {
            ++values;
            r = s->Next();
        }
        ASSERT_NE(r, scValue) << "cut at " << cut;
        if (r == scError) {
            EXPECT_FALSE(s->ErrStr.empty());
            int32_t line = -1, offset = -1;
            s->GetLocationInfo(line, offset);
            EXPECT_EQ(line, 0);
            EXPECT_EQ(offset, static_cast<int32_t>(cut - groupData));
        }
    }
    // A chunk of length 0 fails.
    std::istringstream empty(BinaryDxf().Chunk(310, {}).bytes);
    auto s = CreateDxfScanner(&empty);
    EXPECT_EQ(s->Next(), scError);
}

TEST(DxfScanner, NewScannerHoldsAnErrorUntilItHasASource) {
    TDxfBinaryScanner b;
    EXPECT_EQ(b.LastScan, scError);
    b.SetSource(static_cast<std::istream*>(nullptr));
    EXPECT_EQ(b.LastScan, scError);
    int32_t line = -1, offset = -1;
    b.GetLocationInfo(line, offset);
    EXPECT_EQ(offset, 0);
}

} // namespace
} // namespace vendrel
