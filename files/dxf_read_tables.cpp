// Readers of the table entries of the TABLES section.

#include "files/dxf_reader.h"
#include "files/dxf_record_steps.h"

namespace vendrel {

using namespace dxf_steps;

namespace {

// Handle (5, or 105 for DIMSTYLE), owner and first subclass. Application groups after the handle
// (an extension dictionary, reactors) are passed over so the entry's own groups are still read.
void ParseTableEntryHeader(TDxfParser* p, TDxfTableEntry& e) {
    e.Handle = ConsumeStr(p, 5, "");
    if (e.Handle.empty()) {
        e.Handle = ConsumeStr(p, 105, "");
    }
    SkipAppGroups(p);
    e.Owner = ConsumeStr(p, 330, "");
    e.SubClass = ConsumeStr(p, 100, "");
}

void ReadAppId(TDxfParser* p, TDxfAppIdEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.AppData = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
}

void ReadBlockRecord(TDxfParser* p, TDxfBlockRecordEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.BlockName = ConsumeStr(p, 2, "");
    e.LayoutId = ConsumeStr(p, 340, "");
    e.InsertUnit = ConsumeInt(p, 70, 0);
    e.isExplodable = ConsumeInt(p, 280, 0);
    e.isScalable = ConsumeInt(p, 281, 0);
    e.PreviewBin = ConsumeStr(p, 310, "");
    e.XDataApp = ConsumeStr(p, 1001, "");
}

void ReadLayer(TDxfParser* p, TDxfLayerEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.LayerName = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
    e.ColorNum = ConsumeInt(p, 62, 0);
    e.LineType = ConsumeStr(p, 6, "");
    e.isPlotting = ConsumeInt(p, 290, 0);
    e.Lineweight = ConsumeInt(p, 370, 0);
    e.PlotStyleID = ConsumeStr(p, 390, "");
    e.MatObjID = ConsumeStr(p, 347, "");
}

void ReadLType(TDxfParser* p, TDxfLTypeEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.LineType = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
    e.Descr = ConsumeStr(p, 3, "");
    e.AlignCode = ConsumeInt(p, 72, 0);
    e.LineTypeElems = ConsumeInt(p, 73, 0);
    e.TotalPatLen = ConsumeFloat(p, 40, 0.0);
    e.Len = ConsumeFloat(p, 49, 0.0);
    e.Flags2 = ConsumeInt(p, 74, 0);
    e.ShapeNum = ConsumeInt(p, 75, 0);
    e.StyleObjId = ConsumeStr(p, 340, "");
    e.ScaleVal.assign(1, ConsumeFloat(p, 46, 0.0));
    e.RotateVal.assign(1, ConsumeFloat(p, 50, 0.0));
    e.XOfs.assign(1, ConsumeFloat(p, 44, 0.0));
    e.YOfs.assign(1, ConsumeFloat(p, 45, 0.0));
    e.TextStr = ConsumeStr(p, 9, "");
}

void ReadStyle(TDxfParser* p, TDxfStyleEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.StyleName = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
    e.FixedHeight = ConsumeFloat(p, 40, 0.0);
    e.WidthFactor = ConsumeFloat(p, 41, 0.0);
    e.Angle = ConsumeFloat(p, 50, 0.0);
    e.TextFlags = ConsumeInt(p, 71, 0);
    e.LastHeight = ConsumeFloat(p, 42, 0.0);
    e.FontName = ConsumeStr(p, 3, "");
    e.BigFontName = ConsumeStr(p, 4, "");
    e.FullFont = ConsumeStr(p, 1071, "");
}

void ReadUcs(TDxfParser* p, TDxfUCSEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.UCSName = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
    ConsumePoint(p, e.Origin, 10);
    ConsumePoint(p, e.XDir, 11);
    ConsumePoint(p, e.YDir, 12);
    e.Zero = ConsumeInt(p, 79, 0);
    e.Elev = ConsumeFloat(p, 146, 0.0);
    e.BaseUCS = ConsumeStr(p, 346, "");
    e.OrthType = ConsumeInt(p, 71, 0);
    ConsumePoint(p, e.UCSRelOfs, 13);
}

void ReadView(TDxfParser* p, TDxfViewEntry& e) {
    e.SubClass2 = ConsumeStr(p, 100, "");
    e.ViewName = ConsumeStr(p, 2, "");
    e.Flags = ConsumeInt(p, 70, 0);
    e.Height = ConsumeFloat(p, 40, 0.0);
    ConsumePoint(p, e.CenterPoint, 10);
    e.Width = ConsumeFloat(p, 41, 0.0);
    ConsumePoint(p, e.ViewDir, 11);
    ConsumePoint(p, e.TargetPoint, 12);
    e.LensLen = ConsumeFloat(p, 42, 0.0);
    e.FontClipOfs = ConsumeFloat(p, 43, 0.0);
    e.BackClipOfs = ConsumeFloat(p, 44, 0.0);
    e.TwistAngle = ConsumeFloat(p, 50, 0.0);
    e.ViewMode = ConsumeInt(p, 71, 0);
    e.RenderMode = ConsumeInt(p, 281, 0);
    e.isUcsAssoc = ConsumeInt(p, 72, 0);
    e.isCameraPlot = ConsumeInt(p, 73, 0);
    e.BackObjId = ConsumeStr(p, 332, "");
    e.LiveSectId = ConsumeStr(p, 334, "");
    e.StyleId = ConsumeStr(p, 348, "");
    e.OwnerId = ConsumeStr(p, 361, "");
    ConsumePoint(p, e.UCSOrig, 110);
    ConsumePoint(p, e.UCSXAxis, 111);
    ConsumePoint(p, e.UCSYAxis, 112);
    e.OrthType = ConsumeInt(p, 79, 0);
    e.UCSElev = ConsumeFloat(p, 146, 0.0);
    e.UCSID = ConsumeStr(p, 345, "");
    e.UCSBaseID = ConsumeStr(p, 346, "");
}

// Sets one coordinate of Point when Code is c, c + 10 or c + 20; false otherwise.
bool TakeCoordinate(int32_t Code, int32_t c, TDxfPoint& Point, double v) {
    if (Code == c) {
        Point.x = v;
    } else if (Code == c + 10) {
        Point.y = v;
    } else if (Code == c + 20) {
        Point.z = v;
    } else {
        return false;
    }
    return true;
}

bool TakeDimStyleValue(TDxfDimStyleEntry& e, const TDxfScanner& s) {
    TDxfDimensions& d = e.Dim;
    const int32_t c = s.CodeGroup;
    if (c == 100) {
        e.SubClass2 = s.ValStr;
        return true;
    }
    if (c == 70) {
        e.Flags = s.ValInt;
        return true;
    }
    std::string* const texts[] = {&d.StyleName,  &d.Suffix,      &d.AltSuffix,
                                  &d.ArrowBlock, &d.ArrowBlock1, &d.ArrowBlock2};
    if (c >= 2 && c <= 7) {
        *texts[c - 2] = s.ValStr;
        return true;
    }
    double* const reals40[] = {&d.Scale,    &d.ArrowSize,  &d.ExtLineOfs, &d.DimLineInc, &d.ExtLineExt,
                               &d.RoundVal, &d.DimLineExt, &d.PlusToler,  &d.MinusToler};
    if (c >= 40 && c <= 48) {
        *reals40[c - 40] = s.ValFloat;
        return true;
    }
    double* const reals140[] = {&d.TextHeight,  &d.CenterSize,    &d.TickSize, &d.AltScale,   &d.LinearScale,
                                &d.TextVertPos, &d.DispTolerance, &d.LineGap,  &d.RoundValAlt};
    if (c >= 140 && c <= 148) {
        *reals140[c - 140] = s.ValFloat;
        return true;
    }
    int32_t* const ints71[] = {&d.Tolerance, &d.Limits,      &d.isTextIns, &d.isTextOut,     &d.isSupExt1,
                               &d.isSupExt2, &d.isTextAbove, &d.SupZeros,  &d.ZeroSupAngUnit};
    if (c >= 71 && c <= 79) {
        *ints71[c - 71] = s.ValInt;
        return true;
    }
    int32_t* const ints170[] = {&d.isUseAltUnit,   &d.AltDec,        &d.isTextOutExt, &d.isUseSepArrow,
                                &d.isForceTextIns, &d.isSuppOutExt,  &d.LineColor,    &d.ExtLineColor,
                                &d.TextColor,      &d.AngleDecPlaces};
    if (c >= 170 && c <= 179) {
        *ints170[c - 170] = s.ValInt;
        return true;
    }
    int32_t* const ints270[] = {&d.Units_,           &d.DecPlacesPrim, &d.DecPlacesOther, &d.UnitsFormat,
                                &d.DecPlacesAltUnit, &d.AngleFormat,   &d.UnitFrac,       &d.Units,
                                &d.DecSeparator,     &d.TextMove};
    if (c >= 270 && c <= 279) {
        *ints270[c - 270] = s.ValInt;
        return true;
    }
    int32_t* const ints280[] = {
        &d.HorzTextJust,      &d.isSuppLine1,   &d.isSuppLine2,     &d.VertJustTol,      &d.ZeroSupTol,
        &d.ZeroSupAltUnitTol, &d.ZeroSupAltTol, &d.TextArrowPlace_, &d.isEditCursorText, &d.TextArrowPlace};
    if (c >= 280 && c <= 289) {
        *ints280[c - 280] = s.ValInt;
        return true;
    }
    std::string* const ids340[] = {&d.TextStyle, &d.ArrowBlockLead, &d.ArrowBlockId, &d.ArrowBlockId1,
                                   &d.ArrowBlockId2};
    if (c >= 340 && c <= 344) {
        *ids340[c - 340] = s.ValStr;
        return true;
    }
    if (c == 371) {
        d.LineWeight = s.ValInt;
        return true;
    }
    if (c == 372) {
        d.LineWeightExt = s.ValInt;
        return true;
    }
    return false;
}

// Groups in any order up to the next record's start.
void ReadDimStyle(TDxfParser* p, TDxfDimStyleEntry& e) {
    while (InRecord(p)) {
        TakeDimStyleValue(e, *p->scanner);
        if (!PassOver(p)) {
            return;
        }
    }
}

void TakeVPortValue(TDxfVPortEntry& e, const TDxfScanner& s, int& flagsSeen) {
    const int32_t c = s.CodeGroup;
    const double f = s.ValFloat;
    const int32_t i = s.ValInt;
    TDxfPoint* const points[] = {&e.LeftLow,   &e.UpRight,   &e.ViewCenter, &e.SnapBase,
                                 &e.SnapSpace, &e.GridSpace, &e.ViewDir,    &e.ViewTarget};
    for (int32_t k = 0; k < 8; ++k) {
        if (TakeCoordinate(c, 10 + k, *points[k], f)) {
            return;
        }
    }
    if (TakeCoordinate(c, 110, e.UCSOrigin, f) || TakeCoordinate(c, 111, e.UCSXAxis, f) ||
        TakeCoordinate(c, 112, e.UCSYAxis, f)) {
        return;
    }
    switch (c) {
    case 100:
        e.SubClass2 = s.ValStr;
        break;
    case 2:
        e.ViewName = s.ValStr;
        break;
    case 70:
        // The first 70 is the entry's flags, the second the perspective flag.
        if (flagsSeen == 0) {
            e.Flags = i;
        } else if (flagsSeen == 1) {
            e.PerspFlag = i;
        }
        ++flagsSeen;
        break;
    case 42:
        e.LensLen = f;
        break;
    case 43:
        e.FrontClipOfs = f;
        break;
    case 44:
        e.BackClipOfs = f;
        break;
    case 45:
        e.Height = f;
        break;
    case 50:
        e.RotateAngle = f;
        break;
    case 51:
        e.TwistAngle = f;
        break;
    case 72:
        e.CircleSides = i;
        break;
    case 331:
    case 441:
        e.FrozeLayerId = s.ValStr;
        break;
    case 1:
        e.PlotStyle = s.ValStr;
        break;
    case 281:
        e.RenderMode = i;
        break;
    case 71:
        e.ViewMode = i;
        break;
    case 74:
        e.UCSICON = i;
        break;
    case 345:
        e.UCSId = s.ValStr;
        break;
    case 346:
        e.UCSBaseId = s.ValStr;
        break;
    case 79:
        e.OrthType = i;
        break;
    case 146:
        e.Elevation = f;
        break;
    case 170:
        e.PlotShade = i;
        break;
    case 61:
        e.GridLines = i;
        break;
    case 332:
        e.BackObjId = s.ValStr;
        break;
    case 333:
        e.ShadePlotId = s.ValStr;
        break;
    case 348:
        e.VisualStyleId = s.ValStr;
        break;
    case 292:
        e.isDefLight = i;
        break;
    case 282:
        e.DefLightType = i;
        break;
    case 141:
        e.Brightness = f;
        break;
    case 142:
        e.Contract = f;
        break;
    case 63:
        e.Color1 = i;
        break;
    case 421:
        e.Color2 = i;
        break;
    case 431:
        e.Color3 = i;
        break;
    case 40:
        e._40 = f;
        break;
    case 41:
        e._41 = f;
        break;
    default:
        break;
    }
}

void ReadVPort(TDxfParser* p, TDxfVPortEntry& e) {
    int flagsSeen = 0;
    while (InRecord(p)) {
        TakeVPortValue(e, *p->scanner, flagsSeen);
        if (!PassOver(p)) {
            return;
        }
    }
}

template <typename Entry, typename Reader>
std::unique_ptr<TDxfTableEntry> ReadEntry(TDxfParser* p, Reader read) {
    auto e = std::make_unique<Entry>();
    ParseTableEntryHeader(p, *e);
    read(p, *e);
    return e;
}

} // namespace

std::unique_ptr<TDxfTableEntry> ParseTableEntry(TDxfParser* p, const std::string& TableName) {
    if (p == nullptr || p->scanner == nullptr) {
        return nullptr;
    }
    const std::string kind = UpperAscii(TableName);
    std::unique_ptr<TDxfTableEntry> e;
    if (kind == "APPID") {
        e = ReadEntry<TDxfAppIdEntry>(p, ReadAppId);
    } else if (kind == "BLOCK_RECORD") {
        e = ReadEntry<TDxfBlockRecordEntry>(p, ReadBlockRecord);
    } else if (kind == "DIMSTYLE") {
        e = ReadEntry<TDxfDimStyleEntry>(p, ReadDimStyle);
    } else if (kind == "LAYER") {
        e = ReadEntry<TDxfLayerEntry>(p, ReadLayer);
    } else if (kind == "LTYPE") {
        e = ReadEntry<TDxfLTypeEntry>(p, ReadLType);
    } else if (kind == "STYLE") {
        e = ReadEntry<TDxfStyleEntry>(p, ReadStyle);
    } else if (kind == "UCS") {
        e = ReadEntry<TDxfUCSEntry>(p, ReadUcs);
    } else if (kind == "VIEW") {
        e = ReadEntry<TDxfViewEntry>(p, ReadView);
    } else if (kind == "VPORT") {
        e = ReadEntry<TDxfVPortEntry>(p, ReadVPort);
    }
    if (e) {
        e->EntryType = TableName;
    }
    return e;
}

} // namespace vendrel
