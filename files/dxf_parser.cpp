#include "files/dxf_parser.h"

namespace vendrel {

using enum TDxfParseToken;

TDxfParseToken TDxfParser::Next() {
    token = ParseNextToken();
    return token;
}

TDxfParseToken TDxfParser::ParseNextToken() {
    if (scanner == nullptr) {
        ErrStr = "no scanner";
        return prError;
    }
    if (scanner->LastScan == TDxfScanResult::scInit) {
        scanner->Next();
    }
    if (scanner->LastScan == TDxfScanResult::scError) {
        ErrStr = "scanner error: " + scanner->ErrStr;
        return prError;
    }
    if (scanner->LastScan == TDxfScanResult::scEof) {
        return prEof;
    }

    TDxfParseToken t = prUnknown;
    const int32_t code = scanner->CodeGroup;
    if (code == 999) {
        Comment = scanner->ValStr;
        t = prComment;
    } else if (code == 0 && scanner->ValStr == "ENDSEC") {
        t = prSecEnd;
    } else if (code == 0 && scanner->ValStr == "EOF") {
        t = prEof;
    } else {
        switch (mode) {
        case kDxfModeNone:
            t = ParseSectionGroup();
            break;
        case kDxfModeHeader:
            t = ParseHeaderGroup();
            break;
        case kDxfModeClasses:
            t = ParseClassGroup();
            break;
        case kDxfModeTables:
            t = ParseTableGroup();
            break;
        case kDxfModeBlocks:
            t = ParseBlockGroup();
            break;
        case kDxfModeEntities:
        case kDxfModeBlockEntities:
            t = ParseEntityGroup();
            break;
        case kDxfModeObjects:
            t = ParseObjectGroup();
            break;
        default:
            break;
        }
    }

    if (t == prSecStart) {
        ++inSec;
    } else if (t == prSecEnd) {
        --inSec;
        mode = kDxfModeNone;
    }
    scanner->Next();
    return t;
}

TDxfParseToken TDxfParser::ParseSectionGroup() {
    if (scanner->CodeGroup != 0 || scanner->ValStr != "SECTION") {
        return prUnknown;
    }
    if (inSec >= 1) {
        ErrStr = "nested section is not allowed";
        return prError;
    }
    if (!ScanCodeStr(scanner, 2, secName)) {
        ErrStr = "expected section name";
        return prError;
    }
    if (secName == "HEADER") {
        mode = kDxfModeHeader;
    } else if (secName == "CLASSES") {
        mode = kDxfModeClasses;
    } else if (secName == "TABLES") {
        mode = kDxfModeTables;
    } else if (secName == "BLOCKS") {
        mode = kDxfModeBlocks;
    } else if (secName == "ENTITIES") {
        mode = kDxfModeEntities;
    } else if (secName == "OBJECTS") {
        mode = kDxfModeObjects;
    }
    return prSecStart;
}

TDxfParseToken TDxfParser::ParseHeaderGroup() {
    if (scanner->CodeGroup == 9) {
        varName = scanner->ValStr;
        return prVarName;
    }
    return varName.empty() ? prUnknown : prVarValue;
}

TDxfParseToken TDxfParser::ParseClassGroup() const {
    return scanner->ValStr == "CLASS" ? prClassStart : prClassAttr;
}

TDxfParseToken TDxfParser::ParseTableGroup() const {
    if (scanner->CodeGroup != 0) {
        return prTableAttr;
    }
    if (scanner->ValStr == "TABLE") {
        return prTableStart;
    }
    if (scanner->ValStr == "ENDTAB") {
        return prTableEnd;
    }
    return prTableEntry;
}

TDxfParseToken TDxfParser::ParseBlockGroup() {
    if (scanner->CodeGroup != 0) {
        return prBlockAttr;
    }
    if (scanner->ValStr == "BLOCK") {
        return prBlockStart;
    }
    if (scanner->ValStr == "ENDBLK") {
        return prBlockEnd;
    }
    const TDxfParseToken t = ParseEntityGroup();
    mode = kDxfModeBlockEntities;
    return t;
}

TDxfParseToken TDxfParser::ParseEntityGroup() {
    if (scanner->CodeGroup != 0) {
        return prEntityAttr;
    }
    if (mode == kDxfModeBlockEntities && scanner->ValStr == "ENDBLK") {
        mode = kDxfModeBlocks;
        return prBlockEnd;
    }
    EntityType = scanner->ValStr;
    return prEntityStart;
}

TDxfParseToken TDxfParser::ParseObjectGroup() {
    if (scanner->CodeGroup != 0) {
        return prObjAttr;
    }
    EntityType = scanner->ValStr;
    return prObjStart;
}

bool DxfCurrentIs(const TDxfParser* p, int32_t Code) {
    return p != nullptr && p->scanner != nullptr && p->scanner->LastScan == TDxfScanResult::scValue &&
           p->scanner->CodeGroup == Code;
}

std::string ConsumeStr(TDxfParser* p, int32_t Code, const std::string& Def) {
    if (!DxfCurrentIs(p, Code)) {
        return Def;
    }
    std::string v = p->scanner->ValStr;
    p->Next();
    return v;
}

int32_t ConsumeInt(TDxfParser* p, int32_t Code, int32_t Def) {
    if (!DxfCurrentIs(p, Code)) {
        return Def;
    }
    const int32_t v = p->scanner->ValInt;
    p->Next();
    return v;
}

double ConsumeFloat(TDxfParser* p, int32_t Code, double Def) {
    if (!DxfCurrentIs(p, Code)) {
        return Def;
    }
    const double v = p->scanner->ValFloat;
    p->Next();
    return v;
}

void ConsumePointDef(TDxfParser* p, TDxfPoint& Point, int32_t c, const TDxfPoint& Def) {
    Point.x = ConsumeFloat(p, c, Def.x);
    Point.y = ConsumeFloat(p, c + 10, Def.y);
    Point.z = ConsumeFloat(p, c + 20, Def.z);
}

void ConsumePoint(TDxfParser* p, TDxfPoint& Point, int32_t c) {
    ConsumePointDef(p, Point, c, TDxfPoint{});
}

void ConsumeExtrusion(TDxfParser* p, TDxfPoint& Point) {
    ConsumePointDef(p, Point, 210, TDxfPoint{0.0, 0.0, 1.0});
}

void ConsumePointSeq(TDxfParser* p, TDxfPoint& Point, int32_t c) {
    Point.x = ConsumeFloat(p, c, 0.0);
    Point.y = ConsumeFloat(p, c + 1, 0.0);
    Point.z = ConsumeFloat(p, c + 2, 0.0);
}

bool ScanCodeStr(TDxfScanner* Scanner, int32_t Code, std::string& Str) {
    if (Scanner == nullptr) {
        return false;
    }
    if (Scanner->Next() != TDxfScanResult::scValue || Scanner->CodeGroup != Code) {
        return false;
    }
    Str = Scanner->ValStr;
    return true;
}

} // namespace vendrel
