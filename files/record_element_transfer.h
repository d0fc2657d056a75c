#pragma once
// The field lists of the scene element records (record_elements.h), for the file writers and readers
// of this folder: each Transfer writes, reads or measures one record (files/record_io.h).

#include "files/record_elements.h"
#include "files/record_io.h"

namespace vendrel::record_transfer {

// Capacities of the short strings.
constexpr size_t kName = 40;
constexpr size_t kBrand = 22;
constexpr size_t kClassName = 30;

template <class IO, RecordOf<rPRJCabinet> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Str(r.ModelName, kName, "ModelName");
    io.Str(r.VariantName, kName, "VariantName");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.Bool(r.Active, "Active");
    io.Bool(r.IsSelected, "IsSelected");
    io.Bool(r.IsLocked, "IsLocked");
    io.Enum8(r.PlacementType, "PlacementType");
    io.At(start, 110);
    io.I32(r.CoverageIndex);
    io.I32(r.IntPresetid);
    io.I32(r.ExtDSPid);
    io.I32(r.LayerID);
    io.Str(r.AcousticMaterialName, kName, "AcousticMaterialName");
    io.Str(r.BrandName, kBrand, "BrandName");
    io.Pad(41); // NewData
}

// An item of a line array or cluster; `shortForm`: the item of a sub-arrangement, without
// CabDirection and CoverageIndex.
template <class IO, RecordOf<rPRJArrayItem> R> constexpr void Transfer(IO& io, R& r, bool shortForm = false) {
    io.Str(r.ClassName, kClassName, "ClassName");
    io.Str(r.ModelName, kName, "ModelName");
    io.Str(r.VariantName, kName, "VariantName");
    io.Point(r.Rotation);
    io.Bool(r.Active, "Active");
    io.I32(r.IntPresetid);
    io.I32(r.ExtDSPid);
    if (!shortForm) {
        io.Enum8(r.CabDirection, "CabDirection");
        io.I32(r.CoverageIndex);
    }
    io.Str(r.AcousticMaterialName, kName, "AcousticMaterialName");
    io.Str(r.BrandName, kBrand, "BrandName");
    io.Pad(41); // NewData
}

template <class IO, RecordOf<rPRJCabArray> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Str(r.ClusterName, kName, "ClusterName");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.F64(r.Tilt);
    io.Enum8(r.Mounting, "Mounting");
    io.Bool(r.Active, "Active");
    io.Bool(r.IsSelected, "IsSelected");
    io.Bool(r.IsLocked, "IsLocked");
    io.F64(r.CableWeightPerMeter);
    io.Bool(r.IncludeCableInCalculation, "IncludeCableInCalculation");
    io.I32(r.NMotors);
    if constexpr (IO::kReading) {
        // Flying origins beyond the two the model knows read as the one-point origin.
        uint8_t origin = 0;
        io.U8(origin);
        r.OriginType = static_cast<TOriginType>(origin > 1 ? 1 : origin);
    } else {
        io.Enum8(r.OriginType, "OriginType");
    }
    io.Point(r.OriginPoint);
    io.At(start, 103);
    io.Count(r.ItemList, kPRJArrayItemSize, "line-array items");
    for (auto& item : r.ItemList) {
        Transfer(io, item);
    }
    io.I32(r.LayerID);
    io.Pad(64); // NewData
}

template <class IO, RecordOf<rPRJCluster> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Str(r.ModelName, kName, "ModelName");
    io.Str(r.VariantName, kName, "VariantName");
    io.Str(r.ClusterName, kName, "ClusterName");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.Enum8(r.ClusterMounting, "ClusterMounting");
    io.Enum8(r.ClusterDistribution, "ClusterDistribution");
    io.Enum8(r.CabOrientation, "CabOrientation");
    io.Bool(r.Active, "Active");
    io.Bool(r.IsSelected, "IsSelected");
    io.Bool(r.IsLocked, "IsLocked");
    io.Bool(r.IsSubArrangement, "IsSubArrangement");
    io.Enum8(r.SubArrangementType, "SubArrangementType");
    io.At(start, 155);
    io.Count(r.CabinetList, kPRJArrayItemSize, "cluster cabinets");
    for (auto& item : r.CabinetList) {
        Transfer(io, item);
    }
    io.F32(r.AngularHAngle);
    io.F32(r.AngularVAngle);
    io.F32(r.AngularRadius);
    io.F32(r.LinearHSpace);
    io.F32(r.LinearVSpace);
    io.I32(r.QuantityH);
    io.I32(r.QuantityV);
    io.I32(r.LayerID);
    io.Bool(r.IsInvDirection, "IsInvDirection");
    io.Str(r.BrandName, kBrand, "BrandName");
    io.Pad(40); // NewData
}

template <class IO, RecordOf<rPRJSingleBeam> R> constexpr void Transfer(IO& io, R& r) {
    io.Str(r.Name, kName, "Name");
    io.F32(r.Angle);
    io.Bool(r.LobesOptimize, "LobesOptimize");
    io.Bool(r.Active, "Active");
    io.F32(r.CurvatureAngle); // first four bytes of NewData
    io.Pad(60);               // the rest of NewData
}

template <class IO, RecordOf<rPRJBeamSteering> R> constexpr void Transfer(IO& io, R& r) {
    Transfer(io, r.Main);
    io.Count(r.SingleBeams, kPRJSingleBeamSize, "beams");
    for (auto& beam : r.SingleBeams) {
        Transfer(io, beam);
    }
    io.Pad(64); // NewData
}

// The runs of zone fields that the current and the older zone record share; the older one has no
// IsLocked between the first two.
template <class IO, RecordOf<rPRJMappingZone> R> constexpr void TransferZoneBox(IO& io, R& r) {
    io.Str(r.ZoneName, kName, "ZoneName");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.F64(r.Width);
    io.F64(r.Depth);
    io.F64(r.Height);
    io.Bool(r.Active, "Active");
    io.Bool(r.IsSelected, "IsSelected");
}

template <class IO, RecordOf<rPRJMappingZone> R> constexpr void TransferZoneShapeAndTexture(IO& io, R& r) {
    io.Enum8(r.ZoneType, "ZoneType");
    io.Enum8(r.MappingSides, "MappingSides");
    io.Bool(r.CornerTopLeft, "CornerTopLeft");
    io.F64(r.TLXRadius);
    io.F64(r.TLYRadius);
    io.Enum32(r.TLCornerType, "TLCornerType");
    io.Bool(r.CornerTopRight, "CornerTopRight");
    io.F64(r.TRXRadius);
    io.F64(r.TRYRadius);
    io.Enum32(r.TRCornerType, "TRCornerType");
    io.Bool(r.CornerBotLeft, "CornerBotLeft");
    io.F64(r.BLXRadius);
    io.F64(r.BLYRadius);
    io.Enum32(r.BLCornerType, "BLCornerType");
    io.Bool(r.CornerBotRight, "CornerBotRight");
    io.F64(r.BRXRadius);
    io.F64(r.BRYRadius);
    io.Enum32(r.BRCornerType, "BRCornerType");
    io.F64(r.ListenLevel);
    io.F64(r.TrapezWidth1);
    io.F64(r.TrapezWidth2);
    io.F64(r.TrapezHeight);
    io.Enum8(r.ImageTextureType, "ImageTextureType");
    io.F64(r.ImgTextureOpacity);
    io.F64(r.ImgTextureRot);
    io.U32(r.ImgTextureColor);
    io.Bool(r.ImageTextureHasTransparecy, "ImageTextureHasTransparecy");
    io.U32(r.ImgTransparentColor);
    io.I32(r.ImgTranspTolerance);
    io.Str(r.ImageTextureLibName, kName, "ImageTextureLibName");
    io.Str(r.ImageFileName, kName, "ImageFileName");
}

template <class IO, RecordOf<rPRJMappingZone> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    if constexpr (IO::kReading) {
        r.RotCenter = {}; // not stored
    }
    TransferZoneBox(io, r);
    io.Bool(r.IsLocked, "IsLocked");
    TransferZoneShapeAndTexture(io, r);
    io.At(start, 322);
    io.I32(r.LayerID);
    io.Str(r.AcousticMaterialName, kName, "AcousticMaterialName");
    io.At(start, 367);
    io.Count(r.PolygonPoints, 12, "polygon points");
    for (auto& p : r.PolygonPoints) {
        io.Point(p);
    }
    io.Bool(r.IsTextureSideFront, "IsTextureSideFront");
    io.Bool(r.IsTextureSideShaft, "IsTextureSideShaft");
    io.Bool(r.IsTextureSideBack, "IsTextureSideBack");
    io.F32(r.RefBeginPointX);
    io.F32(r.RefBeginPointY);
    io.F32(r.RefEndPointX);
    io.F32(r.RefEndPointY);
    io.F32(r.RefLength);
    io.Pad(233); // NewData
}

template <class IO, RecordOf<rPRJOrnament> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Str(r.Name, kName, "Name");
    io.Str(r.ModelName, kName, "ModelName");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.F32(r.Width);
    io.F32(r.Height);
    io.F32(r.Depth);
    io.Enum8(r.OrnamentType, "OrnamentType");
    io.Bool(r.Visible, "Visible");
    io.Bool(r.IsSelected, "IsSelected");
    io.Bool(r.IsLocked, "IsLocked");
    io.At(start, 122);
    io.I32(r.LayerID);
    io.Str(r.AcousticMaterialName, kName, "AcousticMaterialName");
    io.Pad(64); // NewData
}

template <class IO, RecordOf<rPRJLayer> R> constexpr void Transfer(IO& io, R& r) {
    io.Str(r.Name, kBrand, "Name");
    io.I32(r.NumID);
    io.U32(r.Color);
    io.Bool(r.IsLocked, "IsLocked");
    io.Bool(r.Visible, "Visible");
    io.Bool(r.Active, "Active");
    io.Pad(32); // NewData
}

template <class IO, RecordOf<rPRJMeasure> R> constexpr void Transfer(IO& io, R& r) {
    io.I32(r.IDnumber);
    io.Str(r.Name, kName, "Name");
    io.Bool(r.Visible, "Visible");
    io.Point(r.Position);
    io.U32(r.Color);
    io.F32(r.MicDelay_ms);
    io.U8(r.LayerID);
    io.Pad(63); // NewData
}

template <class IO, RecordOf<rPRJLight> R> constexpr void Transfer(IO& io, R& r) {
    io.Str(r.Name, 20, "Name");
    io.Enum8(r.LightType, "LightType");
    io.U32(r.Color);
    io.F64(r.SpotCutOff);
    io.F64(r.SpotExponent);
    io.Bool(r.Active, "Active");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.Pad(32); // NewData
}

template <class IO, RecordOf<rPRJSubArrangement> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.Str(r.Name, kName, "Name");
    io.Point(r.Position);
    io.Point(r.Rotation);
    io.Enum8(r.ArrangementType, "ArrangementType");
    io.Bool(r.Active, "Active");
    io.Bool(r.IsSelected, "IsSelected");
    io.Bool(r.IsLocked, "IsLocked");
    io.At(start, 69);
    io.Count(r.ItemList, kPRJSubArrangementItemSize, "sub-arrangement items");
    for (auto& item : r.ItemList) {
        Transfer(io, item, true);
    }
    io.I32(r.LayerID);
    io.Pad(64); // NewData
}

template <class IO, RecordOf<rPRJOverlay> R> constexpr void Transfer(IO& io, R& r) {
    const size_t start = io.Position();
    io.I32(r.IDnumber);
    io.Str(r.Name, kName, "Name");
    io.Bool(r.Visible, "Visible");
    io.Bool(r.IsSelected, "IsSelected");
    io.U32(r.Color);
    // The count only names the response grid the curve was saved on: the values are always the two
    // fixed tables, so any count reads and writes back as it is.
    io.I32(r.NPointsSaved);
    io.At(start, 55);
    for (auto& v : r.MagData) {
        io.F64(v);
    }
    for (auto& v : r.PhaseData) {
        io.F64(v);
    }
    io.Pad(64); // NewData
}

} // namespace vendrel::record_transfer
