#pragma once
// Steps shared by the DXF record readers (not used outside files/).

#include <cstdint>
#include <string>

#include "files/dxf_parser.h"

namespace vendrel::dxf_steps {

// True while the current group belongs to the record being read by a loop reader: a group was
// read and it does not start the next record (code 0).
inline bool InRecord(const TDxfParser* p) {
    return p->scanner->LastScan == TDxfScanResult::scValue && p->scanner->CodeGroup != 0;
}

// Passes over the current group; false when that ends the drawing or fails.
inline bool PassOver(TDxfParser* p) {
    const TDxfParseToken t = p->Next();
    return t != TDxfParseToken::prError && t != TDxfParseToken::prEof;
}

// Passes over every application group (102 "{NAME" ... 102 "}") at the current group. A group that
// misses its closing 102 ends at the next record's start.
void SkipAppGroups(TDxfParser* p);

// The text with its ASCII letters in capitals.
std::string UpperAscii(std::string s);

} // namespace vendrel::dxf_steps
