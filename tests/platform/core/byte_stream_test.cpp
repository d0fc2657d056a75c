#include "platform/core/byte_stream.h"

#include "platform/core/numeric.h"
#include "platform/core/windows1252.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vendrel {
namespace {

TEST(ByteStream, ValuesAreLittleEndianAndReadBackUnchanged) {
    ByteWriter w;
    w.U8(0xAB);
    w.I16(-2);
    w.I32(0x01020304);
    w.U32(0xFF8000FFu);
    w.I64(-5);
    w.F32(1.5f);
    w.F64(-0.1);
    w.Bool8(true);
    const std::vector<uint8_t> expected = {0xAB, 0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01, 0xFF, 0x00, 0x80, 0xFF,
                                           0xFB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0,
                                           0x3F, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0xBF, 0x01};
    ASSERT_EQ(w.Data(), expected);

    ByteReader r(w.Data());
    EXPECT_EQ(r.U8(), 0xAB);
    EXPECT_EQ(r.I16(), -2);
    EXPECT_EQ(r.I32(), 0x01020304);
    EXPECT_EQ(r.U32(), 0xFF8000FFu);
    EXPECT_EQ(r.I64(), -5);
    EXPECT_EQ(r.F32(), 1.5f);
    EXPECT_EQ(r.F64(), -0.1);
    EXPECT_TRUE(r.Bool8("flag"));
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteStream, ReadingPastTheEndIsRefusedWithoutMovingOn) {
    const std::vector<uint8_t> data = {1, 2, 3};
    ByteReader r(data);
    r.U8();
    EXPECT_THROW(r.I32(), EReadError);
    EXPECT_EQ(r.Position(), 1u);
    EXPECT_THROW(r.Skip(3), EReadError);
    EXPECT_THROW(r.Seek(4), EReadError);
    EXPECT_EQ(r.U16(), 0x0302);
    EXPECT_THROW(r.U8(), EReadError);
}

TEST(ByteStream, InvalidBooleansOrdinalsAndStringLengthsAreRefusedNamingTheField) {
    struct Case {
        std::vector<uint8_t> bytes;
        int kind; // 0 bool, 1 ordinal of 3 values in a byte, 2 ordinal in 32 bits, 3 sstr(4)
        bool ok;
    };
    const Case cases[] = {
        {{0}, 0, true},
        {{1}, 0, true},
        {{2}, 0, false},
        {{255}, 0, false},
        {{2}, 1, true},
        {{3}, 1, false},
        {{2, 0, 0, 0}, 2, true},
        {{2, 0, 0, 1}, 2, false},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 2, false},
        {{4, 'a', 'b', 'c', 'd'}, 3, true},
        {{5, 'a', 'b', 'c', 'd'}, 3, false},
    };
    for (const auto& c : cases) {
        ByteReader r(c.bytes);
        auto read = [&] {
            switch (c.kind) {
            case 0:
                r.Bool8("Active");
                break;
            case 1:
                r.Ordinal8(3, "Active");
                break;
            case 2:
                r.Ordinal32(3, "Active");
                break;
            default:
                r.ShortString(4, "Active");
            }
        };
        if (c.ok) {
            EXPECT_NO_THROW(read());
        } else {
            try {
                read();
                ADD_FAILURE() << "accepted case " << (&c - cases);
            } catch (const EReadError& e) {
                EXPECT_NE(std::string(e.what()).find("Active"), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find("(byte 0)"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(ByteStream, CountsAreCheckedAgainstTheBytesThatRemain) {
    const std::vector<uint8_t> data(100);
    ByteReader r(data);
    r.Skip(20);
    EXPECT_EQ(r.CheckCount(10, 8, "points"), 10u);
    EXPECT_EQ(r.CheckCount(0, 8, "points"), 0u);
    EXPECT_THROW(r.CheckCount(11, 8, "points"), EReadError);
    EXPECT_THROW(r.CheckCount(-1, 8, "points"), EReadError);
    EXPECT_THROW(r.CheckCount(std::numeric_limits<int32_t>::max(), 1, "points"), EReadError);
    EXPECT_THROW(r.CheckCount(std::numeric_limits<int64_t>::max(), 8, "points"), EReadError);
}

TEST(ByteStream, ShortStringsAreCutToCapacityPaddedAndDecoded) {
    ByteWriter w;
    w.ShortString("Bühne €", 10);
    w.ShortString("0123456789AB", 10);
    w.ShortString("", 2);
    const std::vector<uint8_t> expected = {7,   'B', 0xFC, 'h', 'n', 'e', ' ', 0x80, 0,   0, 0, 10, '0',
                                           '1', '2', '3',  '4', '5', '6', '7', '8',  '9', 0, 0, 0};
    ASSERT_EQ(w.Data(), expected);
    ByteReader r(w.Data());
    EXPECT_EQ(r.ShortString(10, "a"), "Bühne €");
    EXPECT_EQ(r.ShortString(10, "b"), "0123456789");
    EXPECT_EQ(r.ShortString(2, "c"), "");
}

TEST(ByteStream, BytesAfterAStringsLengthAreIgnored) {
    const std::vector<uint8_t> data = {2, 'o', 'k', 'x', 'y'};
    ByteReader r(data);
    EXPECT_EQ(r.ShortString(4, "Name"), "ok");
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Windows1252, DecodesAndEncodesEveryByteBothWays) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Windows1252ToUtf8("\x80\x8A\x9F\xE9\x81"), "€ŠŸé\xC2\x81");
}

TEST(Windows1252, CharactersItLacksAndBrokenUtf8BecomeQuestionMarks) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"中文", "??"},
        {"a\xFF"
         "b",
         "a?b"},
        {"\xC3", "?"},
        {"\xC0\xAF", "??"},      // overlong '/'
        {"\xED\xA0\x80", "???"}, // a surrogate
        {"😀x", "?x"},
        {"–", "\x96"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.cp1252) << c.utf8;
    }
}

} // namespace
} // namespace vendrel
