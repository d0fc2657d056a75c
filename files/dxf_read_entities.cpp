// Readers of the entities, of the ENTITIES section and of blocks.

#include "files/dxf_reader.h"
#include "files/dxf_record_steps.h"

namespace vendrel {

using namespace dxf_steps;

namespace {

// The groups every entity starts with. Application groups after the handle (reactors, an extension
// dictionary) are passed over, so an entity that carries them still gets its own groups.
void ParseEntityHeader(TDxfParser* p, TDxfEntity& e) {
    e.Handle = ConsumeStr(p, 5, "");
    SkipAppGroups(p);
    e.Owner = ConsumeStr(p, 330, "");
    e.SubClass = ConsumeStr(p, 100, "");
    e.SpaceFlag = ConsumeInt(p, 67, 0);
    e.AppTableLayout = ConsumeStr(p, 410, "");
    e.LayerName = ConsumeStr(p, 8, "");
    e.LineTypeName = ConsumeStr(p, 6, "BYLAYER");
    e.HardPtrId = ConsumeStr(p, 347, "BYLAYER");
    e.ColorNumber = ConsumeInt(p, 62, 256);
    e.LineWidth = ConsumeInt(p, 370, 0);
    e.LineScale = ConsumeFloat(p, 48, 1.0);
    e.isHidden = ConsumeInt(p, 60, 0);
    e.ProxyBytesCount = ConsumeInt(p, 92, 0);
    e.Color = ConsumeInt(p, 420, 0);
    e.ColorName = ConsumeStr(p, 430, "");
    e.Transperancy = ConsumeInt(p, 440, 0);
    e.PlotObj = ConsumeStr(p, 390, "");
    e.ShadowMode = ConsumeInt(p, 284, 0);
    e.Subclass2 = ConsumeStr(p, 100, "");
}

void ReadLine(TDxfParser* p, TDxfLine& e) {
    e.Thickness = ConsumeFloat(p, 39, 0.0);
    ConsumePoint(p, e.StartPoint, 10);
    ConsumePoint(p, e.EndPoint, 11);
    ConsumeExtrusion(p, e.Extrusion);
}

void ReadCircle(TDxfParser* p, TDxfCircle& e) {
    e.Thickness = ConsumeFloat(p, 39, 0.0);
    ConsumePoint(p, e.CenterPoint, 10);
    e.Radius = ConsumeFloat(p, 40, 0.0);
    ConsumeExtrusion(p, e.Extrusion);
}

void ReadSolid(TDxfParser* p, TDxfSolid& e) {
    ConsumePoint(p, e.Corner1, 10);
    ConsumePoint(p, e.Corner2, 11);
    ConsumePoint(p, e.Corner3, 12);
    ConsumePoint(p, e.Corner4, 13);
    e.Thickness = ConsumeFloat(p, 39, 0.0);
    ConsumeExtrusion(p, e.Extrusion);
}

void ReadMText(TDxfParser* p, TDxfMText& e) {
    ConsumePoint(p, e.InsPoint, 10);
    e.InitHeight = ConsumeFloat(p, 40, 0.0);
    e.RefWidth = ConsumeFloat(p, 41, 0.0);
    e.AttachPoint = ConsumeInt(p, 71, 0);
    e.DrawDir = ConsumeInt(p, 72, 0);
    e.Text = ConsumeStr(p, 1, "");
    e.TextStyle = ConsumeStr(p, 7, "STANDARD");
    ConsumeExtrusion(p, e.Extrusion);
    e.Rotatation = ConsumeFloat(p, 50, 0.0);
    e.LineSpacing = ConsumeInt(p, 73, 0);
    e.SpacingFactor = ConsumeFloat(p, 44, 0.0);
}

void ReadInsert(TDxfParser* p, TDxfInsert& e) {
    e.AttrFlag = ConsumeInt(p, 66, 0);
    e.BlockName = ConsumeStr(p, 2, "");
    ConsumePoint(p, e.InsPoint, 10);
    ConsumePointSeq(p, e.Scale, 41);
    e.Rotation = ConsumeFloat(p, 50, 0.0);
    e.ColCount = ConsumeInt(p, 70, 1);
    e.RowCount = ConsumeInt(p, 71, 1);
    e.ColSpace = ConsumeFloat(p, 44, 0.0);
    e.RowSpace = ConsumeFloat(p, 45, 0.0);
    ConsumeExtrusion(p, e.Extrusion);
}

void ReadPolyLine(TDxfParser* p, TDxfPolyLine& e) {
    e.ObsFlag = ConsumeInt(p, 66, 0);
    ConsumePoint(p, e.ElevPoint, 10);
    e.Thickness = ConsumeFloat(p, 39, 0.0);
    e.PolyFlags = ConsumeInt(p, 70, 0);
    e.StartWidth = ConsumeFloat(p, 40, 0.0);
    e.EndWidth = ConsumeFloat(p, 41, 0.0);
    e.MCount = ConsumeInt(p, 71, 0);
    e.NCount = ConsumeInt(p, 72, 0);
    e.MDensity = ConsumeInt(p, 73, 0);
    e.NDensity = ConsumeInt(p, 74, 0);
    e.SurfType = ConsumeInt(p, 75, 0);
    ConsumeExtrusion(p, e.Extrusion);
}

template <typename Entity, typename Reader>
std::unique_ptr<TDxfEntity> ReadEntity(TDxfParser* p, std::unique_ptr<Entity> e, Reader read) {
    ParseEntityHeader(p, *e);
    read(p, *e);
    return e;
}

} // namespace

std::unique_ptr<TDxfEntity> ParseEntity(TDxfParser* p) {
    if (p == nullptr || p->scanner == nullptr) {
        return nullptr;
    }
    const std::string kind = UpperAscii(p->EntityType);
    if (kind == "LINE") {
        return ReadEntity(p, std::make_unique<TDxfLine>(kind), ReadLine);
    }
    if (kind == "POLYLINE") {
        return ReadEntity(p, std::make_unique<TDxfPolyLine>("AcDb2dPolyline", kind), ReadPolyLine);
    }
    if (kind == "CIRCLE") {
        return ReadEntity(p, std::make_unique<TDxfCircle>(kind), ReadCircle);
    }
    if (kind == "INSERT") {
        return ReadEntity(p, std::make_unique<TDxfInsert>(kind), ReadInsert);
    }
    if (kind == "MTEXT") {
        return ReadEntity(p, std::make_unique<TDxfMText>(kind), ReadMText);
    }
    if (kind == "SOLID") {
        return ReadEntity(p, std::make_unique<TDxfSolid>(kind), ReadSolid);
    }
    return nullptr;
}

} // namespace vendrel
