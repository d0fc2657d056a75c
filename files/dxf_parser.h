#pragma once
// The DXF parser: classifies the groups of a scanner by the section they stand in, and the consume
// operations through which the record readers take the groups of one record.

#include <cstdint>
#include <string>

#include "files/dxf_scanner.h"
#include "files/dxf_types.h"

namespace vendrel {

// What a group means where it stands. The ordinals follow the design's order.
enum class TDxfParseToken : uint8_t {
    prUnknown,
    prError,
    prEof,
    prSecStart,
    prSecEnd,
    prClassStart,
    prClassAttr,
    prTableStart,
    prTableAttr,
    prTableEnd,
    prTableEntry,
    prTableEntryAttr, // not produced
    prVarName,
    prVarValue,
    prBlockStart,
    prBlockAttr,
    prEntityInBlock, // not produced
    prBlockEnd,
    prEntityAttr,
    prEntityStart,
    prObjStart,
    prObjAttr,
    prComment,
};

// Section states of the parser's `mode`.
enum : int32_t {
    kDxfModeNone = 0, // outside any section, or in one the parser does not know
    kDxfModeHeader = 1,
    kDxfModeClasses = 2,
    kDxfModeTables = 3,
    kDxfModeBlocks = 4,
    kDxfModeEntities = 5,
    kDxfModeObjects = 6,
    kDxfModeBlockEntities = 7, // among the entities of a block
};

// The parser is one group ahead of its caller: the scanner's current group is the next one not yet
// parsed. Next classifies it and then moves the scanner on. Errors never raise: they give prError
// with ErrStr set, and a scanner error repeats on every further call.
class TDxfParser {
public:
    TDxfParseToken Next();

    int32_t mode = kDxfModeNone;
    int32_t inSec = 0; // sections started minus sections ended
    TDxfParseToken token = TDxfParseToken::prUnknown;
    TDxfScanner* scanner = nullptr; // set by the creator; not owned
    std::string secName;            // name of the last section started
    std::string varName;            // current header variable
    std::string Comment;            // value of the last 999 group
    std::string ErrStr;
    std::string EntityType; // type of the current entity or object, as read

private:
    TDxfParseToken ParseNextToken();
    TDxfParseToken ParseSectionGroup();
    TDxfParseToken ParseHeaderGroup();
    TDxfParseToken ParseClassGroup() const;
    TDxfParseToken ParseTableGroup() const;
    TDxfParseToken ParseBlockGroup();
    TDxfParseToken ParseEntityGroup();
    TDxfParseToken ParseObjectGroup();
};

// True when the parser's current group is a group read by its scanner with code Code.
bool DxfCurrentIs(const TDxfParser* p, int32_t Code);

// Each consume operation takes the current group's value and moves the parser on when the group
// has the code asked for; otherwise it returns the default and leaves the parser alone. Called one
// after the other they read an ordered run of optional groups.
std::string ConsumeStr(TDxfParser* p, int32_t Code, const std::string& Def);
int32_t ConsumeInt(TDxfParser* p, int32_t Code, int32_t Def);
double ConsumeFloat(TDxfParser* p, int32_t Code, double Def);
// x, y and z from the codes c, c + 10 and c + 20.
void ConsumePointDef(TDxfParser* p, TDxfPoint& Point, int32_t c, const TDxfPoint& Def);
void ConsumePoint(TDxfParser* p, TDxfPoint& Point, int32_t c);
// 210, 220, 230 with the default (0, 0, 1).
void ConsumeExtrusion(TDxfParser* p, TDxfPoint& Point);
// x, y and z from the codes c, c + 1 and c + 2.
void ConsumePointSeq(TDxfParser* p, TDxfPoint& Point, int32_t c);

// Steps the scanner; true, with the group's text in Str, when it gives a group with code Code.
bool ScanCodeStr(TDxfScanner* Scanner, int32_t Code, std::string& Str);

} // namespace vendrel
