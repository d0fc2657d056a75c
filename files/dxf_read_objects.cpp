// Readers of the non-graphical objects of the OBJECTS section and of application groups.

#include "files/dxf_reader.h"
#include "files/dxf_record_steps.h"

namespace vendrel {

using namespace dxf_steps;

std::unique_ptr<TDxfValuesList> ParseAppGroup(TDxfParser* p) {
    if (!DxfCurrentIs(p, 102)) {
        return nullptr;
    }
    auto list = std::make_unique<TDxfValuesList>();
    list->Name = p->scanner->ValStr;
    if (!PassOver(p)) {
        return list;
    }
    // A group without its closing 102 ends where the next record starts rather than taking it.
    while (InRecord(p) && p->scanner->CodeGroup != 102) {
        AddScannerValue(*list, *p->scanner);
        if (!PassOver(p)) {
            return list;
        }
    }
    if (DxfCurrentIs(p, 102)) {
        p->Next();
    }
    return list;
}

void AttachAppGroup(TDxfObject& Obj, std::unique_ptr<TDxfValuesList> List) {
    if (!List) {
        return;
    }
    if (List->Name == "{ACAD_REACTORS") {
        Obj.Reactors = std::move(List);
    } else if (List->Name == "{ACAD_XDICTIONARY") {
        Obj.XDict = std::move(List);
    } else {
        Obj.AppCodes = std::move(List);
    }
}

void AddScannerValue(TDxfValuesList& List, const TDxfScanner& Scanner) {
    const int32_t code = Scanner.CodeGroup;
    switch (DxfGroupCodeType(code)) {
    case TDxfType::dtInt16:
    case TDxfType::dtInt32:
        List.AddInt(code, Scanner.ValInt);
        break;
    case TDxfType::dtInt64:
        List.AddInt64(code, Scanner.ValInt64);
        break;
    case TDxfType::dtDouble:
        List.AddFloat(code, Scanner.ValFloat);
        break;
    default:
        List.AddStr(code, Scanner.ValStr);
        break;
    }
}

namespace dxf_steps {

void SkipAppGroups(TDxfParser* p) {
    while (DxfCurrentIs(p, 102)) {
        if (!PassOver(p)) {
            return;
        }
        while (InRecord(p) && p->scanner->CodeGroup != 102) {
            if (!PassOver(p)) {
                return;
            }
        }
        if (!DxfCurrentIs(p, 102) || !PassOver(p)) {
            return;
        }
    }
}

std::string UpperAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

} // namespace dxf_steps

namespace {

// Handle, up to three application groups, owner.
void ParseObjectHeader(TDxfParser* p, TDxfObject& o) {
    o.Handle = ConsumeStr(p, 5, "");
    for (int k = 0; k < 3 && DxfCurrentIs(p, 102); ++k) {
        AttachAppGroup(o, ParseAppGroup(p));
    }
    o.Owner = ConsumeStr(p, 330, "");
}

void ReadDictionaryVar(TDxfParser* p, TDxfDictionaryVar& o) {
    o.SubClass2 = ConsumeStr(p, 100, "");
    o.SchemaNum = ConsumeInt(p, 280, 0);
    o.Value = ConsumeStr(p, 1, "");
}

void ReadDictionary(TDxfParser* p, TDxfDictionary& o) {
    o.SubClass2 = ConsumeStr(p, 100, "");
    o.isHardOwner = ConsumeInt(p, 280, 0);
    o.CloneFlag = ConsumeInt(p, 281, 0);
    while (DxfCurrentIs(p, 3)) {
        const std::string name = ConsumeStr(p, 3, "");
        std::string ref = ConsumeStr(p, 350, "");
        if (ref.empty()) {
            ref = ConsumeStr(p, 360, "");
        }
        o.AddEntry(name, ref);
    }
}

void ReadDictionaryWithDefault(TDxfParser* p, TDxfAcDbDictionaryWDFLT& o) {
    o.SubClass2 = ConsumeStr(p, 100, "");
    o.CloneFlag = ConsumeInt(p, 281, 0);
    while (DxfCurrentIs(p, 3)) {
        const std::string name = ConsumeStr(p, 3, "");
        o.AddEntry(name, ConsumeStr(p, 350, ""));
    }
    o.SubClass3 = ConsumeStr(p, 100, "");
    o.DefaultID = ConsumeStr(p, 340, "");
}

void ReadXRecord(TDxfParser* p, TDxfXRecord& o) {
    o.SubClass2 = ConsumeStr(p, 100, "");
    o.CloneFlag = ConsumeInt(p, 280, 0);
    while (InRecord(p)) {
        AddScannerValue(*o.XRec, *p->scanner);
        if (!PassOver(p)) {
            return;
        }
    }
}

void ReadMLineStyle(TDxfParser* p, TDxfMLineStyle& o) {
    o.SubClass2 = ConsumeStr(p, 100, "");
    o.StyleName = ConsumeStr(p, 2, "");
    o.Flags = ConsumeInt(p, 70, 0);
    o.Descr = ConsumeStr(p, 3, "");
    o.FillColor = ConsumeInt(p, 62, 0);
    o.StAngle = ConsumeFloat(p, 51, 0.0);
    o.EndAngle = ConsumeFloat(p, 52, 0.0);
    o.NumElems = ConsumeInt(p, 71, 0);
    TDxfMLineStyleEntry* element = nullptr;
    while (InRecord(p)) {
        const TDxfScanner& s = *p->scanner;
        if (s.CodeGroup == 49) {
            element = o.AddEntry();
            element->Offset = s.ValFloat;
        } else if (element != nullptr && s.CodeGroup == 62) {
            element->Color = s.ValInt;
        } else if (element != nullptr && s.CodeGroup == 6) {
            element->LineType = s.ValStr;
        }
        if (!PassOver(p)) {
            return;
        }
    }
}

bool TakeTableCellValue(TDxfTableCell& cell, const TDxfScanner& s) {
    const int32_t c = s.CodeGroup;
    const int32_t i = s.ValInt;
    int32_t* const bordTypes[] = {&cell.BordType1, &cell.BordType2, &cell.BordType3,
                                  &cell.BordType4, &cell.BordType5, &cell.BordType6};
    int32_t* const bordVis[] = {&cell.isBordVis1, &cell.isBordVis2, &cell.isBordVis3,
                                &cell.isBordVis4, &cell.isBordVis5, &cell.isBordVis6};
    int32_t* const bordColors[] = {&cell.BordColor1, &cell.BordColor2, &cell.BordColor3,
                                   &cell.BordColor4, &cell.BordColor5, &cell.BordColor6};
    if (c >= 274 && c <= 279) {
        *bordTypes[c - 274] = i;
    } else if (c >= 284 && c <= 289) {
        *bordVis[c - 284] = i;
    } else if (c >= 64 && c <= 69) {
        *bordColors[c - 64] = i;
    } else if (c == 140) {
        cell.Height = s.ValFloat;
    } else if (c == 170) {
        cell.Align = i;
    } else if (c == 62) {
        cell.Color = i;
    } else if (c == 63) {
        cell.FillColor = i;
    } else if (c == 283) {
        cell.isUseFillColor = i;
    } else if (c == 90) {
        cell.CellDataType = i;
    } else if (c == 91) {
        cell.CellUnit = i;
    } else {
        return false;
    }
    return true;
}

void ReadTableStyle(TDxfParser* p, TDxfTableStyle& o) {
    int versionFlagsSeen = 0;
    TDxfTableCell* cell = nullptr;
    while (InRecord(p)) {
        const TDxfScanner& s = *p->scanner;
        switch (s.CodeGroup) {
        case 100:
            o.SubClass2 = s.ValStr;
            break;
        case 3:
            o.Descr = s.ValStr;
            break;
        case 40:
            o.HorzMargin = s.ValFloat;
            break;
        case 41:
            o.VertMargin = s.ValFloat;
            break;
        case 70:
            o.FlowDir = s.ValInt;
            break;
        case 71:
            o.Flags = s.ValInt;
            break;
        case 281:
            o.isColHeadSupp = s.ValInt;
            break;
        case 280:
            // The first 280 is the version, the second the title suppression.
            if (versionFlagsSeen == 0) {
                o.VerNum = s.ValInt;
            } else if (versionFlagsSeen == 1) {
                o.isTitleSupp = s.ValInt;
            }
            ++versionFlagsSeen;
            break;
        case 7:
            cell = o.AddCell();
            cell->StyleName = s.ValStr;
            break;
        default:
            if (cell != nullptr) {
                TakeTableCellValue(*cell, s);
            }
            break;
        }
        if (!PassOver(p)) {
            return;
        }
    }
}

bool TakePlotSettingsValue(TDxfPlotSettings& o, const TDxfScanner& s) {
    const int32_t c = s.CodeGroup;
    const double f = s.ValFloat;
    const int32_t i = s.ValInt;
    double* const reals40[] = {&o.MarginLeftMm, &o.MarginBottomMm, &o.MarginRightMm, &o.MarginTopMm,
                               &o.WidthMm,      &o.HeightMm,       &o.OffsetX,       &o.OffsetY,
                               &o.PlotX,        &o.PlotY};
    double* const reals140[] = {&o.PlotX2, &o.PlotY2, &o.Numerator, &o.Denominator};
    double* const reals147[] = {&o.ViewScale, &o.PaperImgOrigX, &o.PaperImgOrigY};
    int32_t* const ints72[] = {&o.PlotUnits,     &o.PlotRotation, &o.PlotType,    &o.StdScale,
                               &o.ShadePlotMode, &o.ShadePlotRes, &o.ShadePlotDPI};
    if (c >= 40 && c <= 49) {
        *reals40[c - 40] = f;
    } else if (c >= 140 && c <= 143) {
        *reals140[c - 140] = f;
    } else if (c >= 147 && c <= 149) {
        *reals147[c - 147] = f;
    } else if (c >= 72 && c <= 78) {
        *ints72[c - 72] = i;
    } else if (c == 70) {
        o.Flags = i;
    } else if (c == 1) {
        o.PageName = s.ValStr;
    } else if (c == 2) {
        o.PrinterName = s.ValStr;
    } else if (c == 4) {
        o.PaperSize = s.ValStr;
    } else if (c == 6) {
        o.PlotViewName = s.ValStr;
    } else if (c == 7) {
        o.StyleSheet = s.ValStr;
    } else if (c == 333) {
        o.ShadePlotID = s.ValStr;
    } else {
        return false;
    }
    return true;
}

// Groups in any order up to the next record's start or the second 100 group (the layout's own
// subclass), both left in place.
void ReadPlotSettings(TDxfParser* p, TDxfPlotSettings& o) {
    bool subClassSeen = false;
    while (InRecord(p)) {
        const TDxfScanner& s = *p->scanner;
        if (s.CodeGroup == 100) {
            if (subClassSeen) {
                return;
            }
            subClassSeen = true;
            o.SubClass2 = s.ValStr;
        } else {
            TakePlotSettingsValue(o, s);
        }
        if (!PassOver(p)) {
            return;
        }
    }
}

void ReadLayout(TDxfParser* p, TDxfLayout& o) {
    ReadPlotSettings(p, o);
    o.SubClass3 = ConsumeStr(p, 100, "");
    o.LayoutName = ConsumeStr(p, 1, "");
    o.LayoutFlags = ConsumeInt(p, 70, 0);
    o.TabOrder = ConsumeInt(p, 71, 0);
    ConsumePoint(p, o.MinLim, 10);
    ConsumePoint(p, o.MaxLim, 11);
    ConsumePoint(p, o.InsBase, 12);
    ConsumePoint(p, o.ExtMin, 14);
    ConsumePoint(p, o.ExtMax, 15);
    o.Elevation = ConsumeFloat(p, 146, 0.0);
    ConsumePoint(p, o.UCSOrig, 13);
    ConsumePoint(p, o.UCSXAxis, 16);
    ConsumePoint(p, o.UCSYAxis, 17);
    o.OrthoTypes = ConsumeInt(p, 76, 0);
    o.PaperId = ConsumeStr(p, 330, "");
    o.LastVPortId = ConsumeStr(p, 331, "");
    o.UcsId = ConsumeStr(p, 345, "");
    o.UcsOrthoId = ConsumeStr(p, 346, "");
    o.ShadePlotId3 = ConsumeStr(p, 333, "");
}

template <typename Object, typename Reader>
std::unique_ptr<TDxfObject> ReadObject(TDxfParser* p, std::unique_ptr<Object> o, Reader read) {
    ParseObjectHeader(p, *o);
    read(p, *o);
    return o;
}

void ReadNothing(TDxfParser*, TDxfObject&) {}

} // namespace

std::unique_ptr<TDxfObject> ParseDxfObject(TDxfParser* p) {
    if (p == nullptr || p->scanner == nullptr) {
        return nullptr;
    }
    const std::string asRead = p->EntityType;
    const std::string kind = UpperAscii(asRead);
    std::unique_ptr<TDxfObject> o;
    if (kind == "ACDBDICTIONARYWDFLT") {
        o = ReadObject(p, std::make_unique<TDxfAcDbDictionaryWDFLT>(kind), ReadDictionaryWithDefault);
    } else if (kind == "ACDBPLACEHOLDER") {
        o = ReadObject(p, std::make_unique<TDxfAcDbPlaceHolder>(kind), ReadNothing);
    } else if (kind == "DICTIONARY") {
        o = ReadObject(p, std::make_unique<TDxfDictionary>(kind), ReadDictionary);
    } else if (kind == "DICTIONARYVAR") {
        o = ReadObject(p, std::make_unique<TDxfDictionaryVar>(kind), ReadDictionaryVar);
    } else if (kind == "LAYOUT") {
        o = ReadObject(p, std::make_unique<TDxfLayout>(kind), ReadLayout);
    } else if (kind == "MLINESTYLE") {
        o = ReadObject(p, std::make_unique<TDxfMLineStyle>(kind), ReadMLineStyle);
    } else if (kind == "TABLESTYLE") {
        o = ReadObject(p, std::make_unique<TDxfTableStyle>(kind), ReadTableStyle);
    } else if (kind == "XRECORD") {
        o = ReadObject(p, std::make_unique<TDxfXRecord>(kind), ReadXRecord);
    }
    // Style and extension records take their type as the file writes it.
    if (o && o->ObjectType.empty()) {
        o->ObjectType = asRead;
    }
    return o;
}

} // namespace vendrel
