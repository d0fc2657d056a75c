#pragma once
// Reading a DXF drawing, text or binary, into a TDxfFile: classes, tables and their entries, header
// variables, blocks with their entities, entities and objects. Kept are the entities CIRCLE,
// INSERT, LINE, MTEXT, POLYLINE (without its vertices) and SOLID, the nine standard table kinds and
// eight object kinds; everything else is passed over.

#include <cstdint>
#include <istream>
#include <memory>
#include <string>

#include "files/dxf_document.h"
#include "files/dxf_parser.h"

namespace vendrel {

// Reads the drawing at Stream's position into Dxf, appending to what it holds. Reading stops at
// the drawing's end or at the first error, keeping everything read until then. Returns why it
// stopped early, with where (a text line or a byte offset), or an empty text when the whole
// drawing was read. A stream that fails raises EDxfReadError.
std::string LoadDxfStream(std::istream& Stream, TDxfFile& Dxf);

// The same on a file; a file that cannot be opened raises EFileError.
std::string LoadDxfFile(const std::string& FileName, TDxfFile& Dxf);

// The reading loop over the parser's tokens; nothing for a null parser or document.
void ReadDxf(TDxfParser* p, TDxfFile* Dxf);

// One record each, read from the parser's current group (the first group after the record's
// start); none for a kind that is not kept.
std::unique_ptr<TDxfEntity> ParseEntity(TDxfParser* p);
std::unique_ptr<TDxfTableEntry> ParseTableEntry(TDxfParser* p, const std::string& TableName);
std::unique_ptr<TDxfObject> ParseDxfObject(TDxfParser* p);

// An application group (102 "{NAME" ... 102 "}") at the current group, as a list named after its
// opening text; none when the current group is not a 102 group.
std::unique_ptr<TDxfValuesList> ParseAppGroup(TDxfParser* p);
// Stores List in Obj's Reactors ("{ACAD_REACTORS"), XDict ("{ACAD_XDICTIONARY") or AppCodes,
// replacing what was there.
void AttachAppGroup(TDxfObject& Obj, std::unique_ptr<TDxfValuesList> List);
// Appends the scanner's current group to List by its code's type.
void AddScannerValue(TDxfValuesList& List, const TDxfScanner& Scanner);

} // namespace vendrel
