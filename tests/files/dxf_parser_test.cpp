#include "files/dxf_parser.h"

#include <gtest/gtest.h>

#include "dxf_test_util.h"

namespace vendrel {
namespace {

using dxf_test::DxfText;
using enum TDxfParseToken;

struct Parse {
    explicit Parse(const std::vector<std::pair<int, std::string>>& Groups) {
        scanner.SetBuf(DxfText(Groups));
        parser.scanner = &scanner;
    }
    // Tokens until the first prEof or prError, that one included.
    std::vector<TDxfParseToken> Tokens(size_t Max = 100) {
        std::vector<TDxfParseToken> out;
        while (out.size() < Max) {
            out.push_back(parser.Next());
            if (out.back() == prEof || out.back() == prError) {
                break;
            }
        }
        return out;
    }
    TDxfAsciiScanner scanner;
    TDxfParser parser;
};

TEST(DxfParser, ClassifiesGroupsBySection) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::string>> groups;
        std::vector<TDxfParseToken> tokens;
    };
    const Case cases[] = {
        {"entities",
         {{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "WALLS"}, {0, "ENDSEC"}, {0, "EOF"}},
         {prSecStart, prEntityStart, prEntityAttr, prSecEnd, prEof}},
        {"header",
         {{0, "SECTION"}, {2, "HEADER"}, {7, "x"}, {9, "$INSUNITS"}, {70, "4"}},
         {prSecStart, prUnknown, prVarName, prVarValue, prEof}},
        {"classes",
         {{0, "SECTION"}, {2, "CLASSES"}, {0, "CLASS"}, {1, "ACDBDICTIONARYWDFLT"}, {0, "ENDSEC"}},
         {prSecStart, prClassStart, prClassAttr, prSecEnd, prEof}},
        {"tables",
         {{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {0, "ENDTAB"}},
         {prSecStart, prTableStart, prTableAttr, prTableEntry, prTableEnd, prEof}},
        {"blocks",
         {{0, "SECTION"},
          {2, "BLOCKS"},
          {0, "BLOCK"},
          {2, "DOOR"},
          {0, "LINE"},
          {8, "0"},
          {0, "ENDBLK"},
          {0, "BLOCK"}},
         {prSecStart, prBlockStart, prBlockAttr, prEntityStart, prEntityAttr, prBlockEnd, prBlockStart,
          prEof}},
        {"objects",
         {{0, "SECTION"}, {2, "OBJECTS"}, {0, "DICTIONARY"}, {5, "C"}, {0, "ENDSEC"}},
         {prSecStart, prObjStart, prObjAttr, prSecEnd, prEof}},
        {"unknown section",
         {{0, "SECTION"}, {2, "THUMBNAILIMAGE"}, {90, "3"}, {0, "LINE"}, {0, "ENDSEC"}, {0, "LINE"}},
         {prSecStart, prUnknown, prUnknown, prSecEnd, prUnknown, prEof}},
        {"nested in an unknown section",
         {{0, "SECTION"}, {2, "ACDSDATA"}, {0, "SECTION"}, {2, "HEADER"}},
         {prSecStart, prError}},
        {"section inside entities starts an entity",
         {{0, "SECTION"}, {2, "ENTITIES"}, {0, "SECTION"}, {2, "HEADER"}},
         {prSecStart, prEntityStart, prEntityAttr, prEof}},
        {"no section name", {{0, "SECTION"}, {1, "HEADER"}}, {prError}},
        {"comments anywhere",
         {{999, "a"}, {0, "SECTION"}, {2, "TABLES"}, {999, "b"}, {0, "ENDSEC"}},
         {prComment, prSecStart, prComment, prSecEnd, prEof}},
        {"names compare exactly",
         {{0, "section"}, {0, "SECTION "}, {0, "EOF"}},
         {prUnknown, prUnknown, prEof}},
    };
    for (const Case& c : cases) {
        Parse p(c.groups);
        EXPECT_EQ(p.Tokens(), c.tokens) << c.name;
    }
}

TEST(DxfParser, TracksSectionsBlocksAndNames) {
    Parse p({{0, "SECTION"},
             {2, "BLOCKS"},
             {0, "BLOCK"},
             {0, "line"},
             {0, "ENDBLK"},
             {0, "ENDSEC"},
             {0, "SECTION"},
             {2, "HEADER"},
             {9, "$INSUNITS"},
             {999, "note"},
             {0, "ENDSEC"}});
    TDxfParser& q = p.parser;
    q.Next();
    EXPECT_EQ(q.inSec, 1);
    EXPECT_EQ(q.secName, "BLOCKS");
    EXPECT_EQ(q.mode, kDxfModeBlocks);
    q.Next();
    EXPECT_EQ(q.Next(), prEntityStart);
    EXPECT_EQ(q.mode, kDxfModeBlockEntities);
    EXPECT_EQ(q.EntityType, "line");
    EXPECT_EQ(q.Next(), prBlockEnd);
    EXPECT_EQ(q.mode, kDxfModeBlocks);
    q.Next();
    EXPECT_EQ(q.inSec, 0);
    EXPECT_EQ(q.mode, kDxfModeNone);
    q.Next();
    EXPECT_EQ(q.mode, kDxfModeHeader);
    q.Next();
    EXPECT_EQ(q.varName, "$INSUNITS");
    EXPECT_EQ(q.Next(), prComment);
    EXPECT_EQ(q.Comment, "note");
    EXPECT_EQ(q.mode, kDxfModeHeader);
}

TEST(DxfParser, ErrorsCarryTheirMessageAndAScannerErrorRepeats) {
    Parse nested({{0, "SECTION"}, {2, "X"}, {0, "SECTION"}});
    nested.Tokens();
    EXPECT_EQ(nested.parser.ErrStr, "nested section is not allowed");

    Parse unnamed({{0, "SECTION"}, {1, "HEADER"}});
    unnamed.Tokens();
    EXPECT_EQ(unnamed.parser.ErrStr, "expected section name");

    TDxfAsciiScanner s;
    s.SetBuf("  0 \nSECTION\n");
    TDxfParser broken;
    broken.scanner = &s;
    EXPECT_EQ(broken.Next(), prError);
    EXPECT_EQ(broken.Next(), prError);
    EXPECT_EQ(broken.ErrStr, "scanner error: expecting end of line");

    TDxfParser none;
    EXPECT_EQ(none.Next(), prError);
    EXPECT_EQ(none.ErrStr, "no scanner");
}

TEST(DxfParser, ConsumeTakesOnlyTheAskedCodeAndMovesOn) {
    Parse p(
        {{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "WALLS"}, {10, "1.5"}, {20, "2.5"}, {0, "EOF"}});
    TDxfParser* q = &p.parser;
    q->Next();
    q->Next(); // LINE; the current group is 8
    EXPECT_EQ(ConsumeInt(q, 62, 256), 256);
    EXPECT_EQ(p.scanner.CodeGroup, 8);
    EXPECT_EQ(ConsumeStr(q, 8, ""), "WALLS");
    TDxfPoint pt{9, 9, 9};
    ConsumePoint(q, pt, 10);
    EXPECT_EQ(pt, (TDxfPoint{1.5, 2.5, 0.0}));
    TDxfPoint ext;
    ConsumeExtrusion(q, ext);
    EXPECT_EQ(ext, (TDxfPoint{0.0, 0.0, 1.0}));
    EXPECT_EQ(ConsumeFloat(nullptr, 10, 7.0), 7.0);
    EXPECT_EQ(q->Next(), prEof);
    // After the end nothing matches, not even the code the end group had.
    EXPECT_EQ(ConsumeStr(q, 0, "none"), "none");
}

TEST(DxfParser, PointSequenceTakesConsecutiveCodes) {
    Parse p({{0, "SECTION"}, {2, "ENTITIES"}, {0, "INSERT"}, {41, "2"}, {43, "4"}});
    p.parser.Next();
    p.parser.Next();
    TDxfPoint scale{9, 9, 9};
    ConsumePointSeq(&p.parser, scale, 41);
    EXPECT_EQ(scale, (TDxfPoint{2.0, 0.0, 4.0}));
}

} // namespace
} // namespace vendrel
