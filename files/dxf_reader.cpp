#include "files/dxf_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "files/dxf_record_steps.h"
#include "platform/core/atomic_file.h"
#include "platform/core/numeric.h"

namespace vendrel {

using namespace dxf_steps;

namespace {

void ReadClass(TDxfParser* p, TDxfClass& c) {
    c.recName = ConsumeStr(p, 1, "");
    c.cppName = ConsumeStr(p, 2, "");
    c.appName = ConsumeStr(p, 3, "");
    c.ProxyFlags = ConsumeInt(p, 90, 0);
    c.InstCount = ConsumeInt(p, 91, 0);
    c.WasProxy = ConsumeInt(p, 280, 0);
    c.IsAnEntity = ConsumeInt(p, 281, 0);
}

// The table's own groups after 0 TABLE; application groups after its handle are passed over.
void ReadTable(TDxfParser* p, TDxfTable& t) {
    t.Name = ConsumeStr(p, 2, "");
    t.Handle = ConsumeStr(p, 5, "");
    SkipAppGroups(p);
    t.Owner = ConsumeStr(p, 330, "");
    t.SubClass = ConsumeStr(p, 100, "");
    t.MaxNumber = ConsumeInt(p, 70, 0);
    t.SubClass2 = ConsumeStr(p, 100, "");
    t.IntVal2 = ConsumeInt(p, 71, 0);
    t.Owner2 = ConsumeStr(p, 340, "");
}

// The groups a block's start and its end share.
void ParseBlockEntityHeader(TDxfParser* p, TDxfBlockEntity& b) {
    b.Handle = ConsumeStr(p, 5, "");
    b.appDefGroup.clear();
    SkipAppGroups(p);
    b.Owner = ConsumeStr(p, 330, "");
    b.SubClass = ConsumeStr(p, 100, "");
    b.SpaceFlag = ConsumeInt(p, 67, 0);
    b.LayerName = ConsumeStr(p, 8, "");
    b.Subclass2 = ConsumeStr(p, 100, "");
}

void ReadBlock(TDxfParser* p, TDxfBlock& b) {
    ParseBlockEntityHeader(p, b);
    b.BlockName = ConsumeStr(p, 2, "");
    b.BlockFlags = ConsumeInt(p, 70, 0);
    ConsumePoint(p, b.BasePoint, 10);
    b.BlockName2 = ConsumeStr(p, 3, "");
    b.XRef = ConsumeStr(p, 1, "");
    b.Descr = ConsumeStr(p, 4, "");
}

} // namespace

void ReadDxf(TDxfParser* p, TDxfFile* Dxf) {
    if (p == nullptr || Dxf == nullptr) {
        return;
    }
    using enum TDxfParseToken;
    TDxfTable* table = nullptr;     // current table, not owned
    TDxfFileBlock* block = nullptr; // current block, not owned
    TDxfBlockEnd strayBlockEnd;     // takes an ENDBLK outside any block
    for (;;) {
        const TDxfParseToken t = p->Next();
        if (t == prError || t == prEof) {
            return;
        }
        switch (t) {
        case prClassStart:
            ReadClass(p, *Dxf->AddClass());
            break;
        case prTableStart:
            table = Dxf->AddTable();
            ReadTable(p, *table);
            break;
        case prTableEntry:
            if (table != nullptr) {
                table->AddItem(ParseTableEntry(p, table->Name));
            }
            break;
        case prTableEnd:
        case prSecEnd:
            table = nullptr;
            break;
        case prVarName:
            ParseHeaderVar(p, &Dxf->header);
            break;
        case prBlockStart:
            block = Dxf->AddBlock();
            ReadBlock(p, *block);
            break;
        case prEntityStart:
        case prEntityInBlock:
            if (block != nullptr) {
                block->AddEntity(ParseEntity(p));
            } else {
                Dxf->AddEntity(ParseEntity(p));
            }
            break;
        case prBlockEnd:
            ParseBlockEntityHeader(p, block != nullptr ? *block->_blockEnd : strayBlockEnd);
            block = nullptr;
            break;
        case prObjStart:
            Dxf->AddObject(ParseDxfObject(p));
            break;
        default:
            break;
        }
    }
}

std::string LoadDxfStream(std::istream& Stream, TDxfFile& Dxf) {
    const std::unique_ptr<TDxfScanner> scanner = CreateDxfScanner(&Stream);
    TDxfParser parser;
    parser.scanner = scanner.get();
    ReadDxf(&parser, &Dxf);
    if (parser.token != TDxfParseToken::prError) {
        return {};
    }
    int32_t line = 0;
    int32_t offset = 0;
    try {
        scanner->GetLocationInfo(line, offset);
    } catch (const ERangeError&) {
        return parser.ErrStr; // beyond 2 GiB of binary data: no offset to give
    }
    if (line > 0) {
        return parser.ErrStr + " (line " + std::to_string(line) + ")";
    }
    return parser.ErrStr + " (byte " + std::to_string(offset) + " of the binary data)";
}

std::string LoadDxfFile(const std::string& FileName, TDxfFile& Dxf) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        throw EFileError("Cannot open the file \"" + FileName + "\": " + std::strerror(errno));
    }
    // A folder opens like a file here but reads as empty.
    std::error_code ec;
    if (std::filesystem::is_directory(FileName, ec)) {
        throw EFileError("Cannot open the file \"" + FileName + "\": it is a folder");
    }
    return LoadDxfStream(in, Dxf);
}

} // namespace vendrel
