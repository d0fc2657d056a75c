#pragma once
// The element records of the scene, shared by project, venue, sound-system and overlay files: loose
// cabinets, line arrays and clusters with their items, beam-steering arrays with their beams, mapping
// zones with their polygon points, ornaments, layers, measurement points, lights, sub-arrangements and
// overlay curves.
//
// Elements are stored field by field with no padding, in a fixed order (record_elements.cpp lists it),
// followed by part of a zeroed reserve. A nested list is stored as an int32 count followed by its
// elements; in memory the list's length is the count. Names are short strings of a fixed capacity,
// cut to it when written (40 characters for names, 22 for brand and layer names, 30 for class names).
// Positions are metres, rotations degrees, colours 32-bit ARGB.

#include "files/record_enums.h"
#include "platform/core/byte_stream.h"
#include "platform/core/geometry3d.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

// A loose cabinet.
struct rPRJCabinet {
    std::string ModelName;
    std::string VariantName;
    TPoint3D Position;
    TPoint3D Rotation;
    bool Active = false;
    bool IsSelected = false;
    bool IsLocked = false;
    TCabPlacement PlacementType{};
    int32_t CoverageIndex = 0; // coverage (horn rotation) option of the model; stored before the preset
    int32_t IntPresetid = 0;   // internal preset of the model
    int32_t ExtDSPid = 0;      // 0 none (the bypass process), else the 1-based user process of the file
    int32_t LayerID = 0;
    std::string AcousticMaterialName;
    std::string BrandName;

    bool operator==(const rPRJCabinet&) const = default;
};

// One element of a line array or cluster (a cabinet, a rigging frame or a spacer). Items of
// sub-arrangements are stored without `CabDirection` and `CoverageIndex`, which read back as zero.
struct rPRJArrayItem {
    std::string ClassName; // class of the element object, "TCabinet", "TRiggingFrame", "TQzDummy"
    std::string ModelName;
    std::string VariantName;
    TPoint3D Rotation;
    bool Active = false;
    int32_t IntPresetid = 0;
    int32_t ExtDSPid = 0;
    TCabDirection CabDirection{};
    int32_t CoverageIndex = 0;
    std::string AcousticMaterialName;
    std::string BrandName;

    bool operator==(const rPRJArrayItem&) const = default;
};

// A line array.
struct rPRJCabArray {
    std::string ClusterName;
    TPoint3D Position;
    TPoint3D Rotation;
    double Tilt = 0; // degrees
    TArrayMounting Mounting{};
    bool Active = false;
    bool IsSelected = false;
    bool IsLocked = false;
    double CableWeightPerMeter = 0; // kg per metre
    bool IncludeCableInCalculation = false;
    int32_t NMotors = 0;
    TOriginType OriginType{};
    TPoint3D OriginPoint;
    std::vector<rPRJArrayItem> ItemList; // stored count: NObjects
    int32_t LayerID = 0;

    bool operator==(const rPRJCabArray&) const = default;
};

// A cluster of one cabinet model (also the main part of a beam-steering array).
struct rPRJCluster {
    std::string ModelName;
    std::string VariantName;
    std::string ClusterName;
    TPoint3D Position;
    TPoint3D Rotation;
    TArrayMounting ClusterMounting{};
    TClusterDistribution ClusterDistribution{};
    TCabPlacement CabOrientation{};
    bool Active = false;
    bool IsSelected = false;
    bool IsLocked = false;
    bool IsSubArrangement = false;
    TSubArrangementType SubArrangementType{};
    std::vector<rPRJArrayItem> CabinetList; // stored count: NCabinets
    float AngularHAngle = 0;                // degrees
    float AngularVAngle = 0;
    float AngularRadius = 0; // metres
    float LinearHSpace = 0;
    float LinearVSpace = 0;
    int32_t QuantityH = 0;
    int32_t QuantityV = 0;
    int32_t LayerID = 0;
    bool IsInvDirection = false;
    std::string BrandName;

    bool operator==(const rPRJCluster&) const = default;
};

// One beam of a beam-steering array.
struct rPRJSingleBeam {
    std::string Name;
    float Angle = 0; // steering angle, degrees
    bool LobesOptimize = false;
    bool Active = false;
    // Curvature (spread) angle, degrees. Kept in the first four bytes of the beam's reserve (stored
    // bytes 47 to 50, a float32), which files of earlier versions leave at zero: no curvature.
    float CurvatureAngle = 0;

    bool operator==(const rPRJSingleBeam&) const = default;
};

// A beam-steering array: its cluster part, then its beams.
struct rPRJBeamSteering {
    rPRJCluster Main;
    std::vector<rPRJSingleBeam> SingleBeams; // stored count: NSingleBeams

    bool operator==(const rPRJBeamSteering&) const = default;
};

// An audience zone or drawn surface.
struct rPRJMappingZone {
    std::string ZoneName;
    TPoint3D Position;
    TPoint3D Rotation;
    TPoint3D RotCenter; // not stored: a zone read from a file has it zero
    double Width = 0;
    double Depth = 0;
    double Height = 0;
    bool Active = false;
    bool IsSelected = false;
    bool IsLocked = false;
    TSurfaceType ZoneType{};
    TMappingSides MappingSides{};
    bool CornerTopLeft = false;
    double TLXRadius = 0;
    double TLYRadius = 0;
    TCornerType TLCornerType{};
    bool CornerTopRight = false;
    double TRXRadius = 0;
    double TRYRadius = 0;
    TCornerType TRCornerType{};
    bool CornerBotLeft = false;
    double BLXRadius = 0;
    double BLYRadius = 0;
    TCornerType BLCornerType{};
    bool CornerBotRight = false;
    double BRXRadius = 0;
    double BRYRadius = 0;
    TCornerType BRCornerType{};
    double ListenLevel = 0; // listening height above the zone, metres
    double TrapezWidth1 = 0;
    double TrapezWidth2 = 0;
    double TrapezHeight = 0;
    TTextureType ImageTextureType{};
    double ImgTextureOpacity = 0;
    double ImgTextureRot = 0;
    uint32_t ImgTextureColor = 0;
    bool ImageTextureHasTransparecy = false;
    uint32_t ImgTransparentColor = 0;
    int32_t ImgTranspTolerance = 0;
    std::string ImageTextureLibName;
    std::string ImageFileName;
    int32_t LayerID = 0;
    std::string AcousticMaterialName;
    std::vector<TPoint3D> PolygonPoints; // stored count: NPolygonPoints
    bool IsTextureSideFront = false;
    bool IsTextureSideShaft = false;
    bool IsTextureSideBack = false;
    float RefBeginPointX = 0; // picture scale reference
    float RefBeginPointY = 0;
    float RefEndPointX = 0;
    float RefEndPointY = 0;
    float RefLength = 0; // metres

    bool operator==(const rPRJMappingZone&) const = default;
};

struct rPRJOrnament {
    std::string Name;
    std::string ModelName;
    TPoint3D Position;
    TPoint3D Rotation;
    float Width = 0;
    float Height = 0;
    float Depth = 0;
    TOrnamentType OrnamentType{};
    bool Visible = false;
    bool IsSelected = false;
    bool IsLocked = false;
    int32_t LayerID = 0;
    std::string AcousticMaterialName;

    bool operator==(const rPRJOrnament&) const = default;
};

struct rPRJLayer {
    std::string Name;
    int32_t NumID = 0; // the layer number that other records' LayerID refer to
    uint32_t Color = 0;
    bool IsLocked = false;
    bool Visible = false;
    bool Active = false;

    bool operator==(const rPRJLayer&) const = default;
};

// A measurement point.
struct rPRJMeasure {
    int32_t IDnumber = 0;
    std::string Name;
    bool Visible = false;
    TPoint3D Position;
    uint32_t Color = 0;
    float MicDelay_ms = 0;
    uint8_t LayerID = 0; // a single byte in this record

    bool operator==(const rPRJMeasure&) const = default;
};

struct rPRJLight {
    std::string Name;
    TLightType LightType{};
    uint32_t Color = 0;
    double SpotCutOff = 0;
    double SpotExponent = 0;
    bool Active = false;
    TPoint3D Position;
    TPoint3D Rotation;

    bool operator==(const rPRJLight&) const = default;
};

// A sub-woofer arrangement.
struct rPRJSubArrangement {
    std::string Name;
    TPoint3D Position;
    TPoint3D Rotation;
    TSubArrangementType ArrangementType{};
    bool Active = false;
    bool IsSelected = false;
    bool IsLocked = false;
    std::vector<rPRJArrayItem> ItemList; // stored count: NObjects; items without CabDirection, CoverageIndex
    int32_t LayerID = 0;

    bool operator==(const rPRJSubArrangement&) const = default;
};

// Points of an overlay curve.
inline constexpr size_t kOverlayPoints = 1001;

// A stored response curve.
struct rPRJOverlay {
    int32_t IDnumber = 0;
    std::string Name;
    bool Visible = false;
    bool IsSelected = false;
    uint32_t Color = 0;
    int32_t NPointsSaved = 0;                       // points of the curve, 0 to 1001
    std::array<double, kOverlayPoints> MagData{};   // dB
    std::array<double, kOverlayPoints> PhaseData{}; // phase

    bool operator==(const rPRJOverlay&) const = default;
};

// Stored sizes (n items, m beams, k polygon points).
inline constexpr size_t kPRJCabinetSize = 231;
inline constexpr size_t kPRJArrayItemSize = 244;
inline constexpr size_t kPRJSubArrangementItemSize = 239;
inline constexpr size_t kPRJCabArraySize = 175;     // + 244 n
inline constexpr size_t kPRJClusterSize = 255;      // + 244 n
inline constexpr size_t kPRJBeamSteeringSize = 323; // + 244 n + 111 m
inline constexpr size_t kPRJSingleBeamSize = 111;
inline constexpr size_t kPRJMappingZoneSize = 627; // + 12 k
inline constexpr size_t kPRJOrnamentSize = 231;
inline constexpr size_t kPRJLayerSize = 66;
inline constexpr size_t kPRJMeasureSize = 130;
inline constexpr size_t kPRJLightSize = 99;
inline constexpr size_t kPRJSubArrangementSize = 141; // + 239 n
inline constexpr size_t kPRJOverlaySize = 16135;

// Writers and readers. A reader refuses (EReadError) what its record cannot hold; a writer refuses
// (ERangeError) a record that would not read back. Files are built in memory and saved whole, so a
// refused record never reaches the disk.
void WritePRJCabinet(ByteWriter& w, const rPRJCabinet& r);
void ReadPRJCabinet(ByteReader& rd, rPRJCabinet& r);
void WritePRJCabArray(ByteWriter& w, const rPRJCabArray& r);
void ReadPRJCabArray(ByteReader& rd, rPRJCabArray& r);
void WritePRJCluster(ByteWriter& w, const rPRJCluster& r);
void ReadPRJCluster(ByteReader& rd, rPRJCluster& r);
void WritePRJBeamSteering(ByteWriter& w, const rPRJBeamSteering& r);
void ReadPRJBeamSteering(ByteReader& rd, rPRJBeamSteering& r);
void WritePRJMappingZone(ByteWriter& w, const rPRJMappingZone& r);
void ReadPRJMappingZone(ByteReader& rd, rPRJMappingZone& r);
void WritePRJOrnament(ByteWriter& w, const rPRJOrnament& r);
void ReadPRJOrnament(ByteReader& rd, rPRJOrnament& r);
void WritePRJLayer(ByteWriter& w, const rPRJLayer& r);
void ReadPRJLayer(ByteReader& rd, rPRJLayer& r);
void WritePRJMeasure(ByteWriter& w, const rPRJMeasure& r);
void ReadPRJMeasure(ByteReader& rd, rPRJMeasure& r);
void WritePRJLight(ByteWriter& w, const rPRJLight& r);
void ReadPRJLight(ByteReader& rd, rPRJLight& r);
void WritePRJSubArrangement(ByteWriter& w, const rPRJSubArrangement& r);
void ReadPRJSubArrangement(ByteReader& rd, rPRJSubArrangement& r);
void WritePRJOverlay(ByteWriter& w, const rPRJOverlay& r);
void ReadPRJOverlay(ByteReader& rd, rPRJOverlay& r);

} // namespace vendrel
