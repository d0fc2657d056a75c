#pragma once
// The HEADER section of a DXF drawing: the values of the known header variables, and the step that
// stores one variable when the parser has just read its name.

#include <cstdint>
#include <string>

#include "files/dxf_types.h"

namespace vendrel {

class TDxfParser;

// Each record lists its fields in the design's order; the header variable and group code that fill
// a field are in the table of dxf_header.cpp. Fields the header does not fill stay at their zero.
struct TDxfAcadHeader {
    std::string Version;
    int32_t MaintVer = 0;
    int32_t isExtNames = 0;
    bool operator==(const TDxfAcadHeader&) const = default;
};

struct TDxfBaseHeader {
    std::string CodePage;
    TDxfPoint InsPoint;
    TDxfPoint ExtLowLeft;
    TDxfPoint ExtUpRight;
    TDxfPoint LimLowLeft;
    TDxfPoint LimUpRight;
    int32_t isOrtho = 0;
    int32_t isRegen = 0;
    int32_t isFill = 0;
    int32_t isQText = 0;
    int32_t isMirrText = 0;
    double LineTypeScale = 0.0;
    int32_t AttrVisMode = 0;
    double TextHeight = 0.0;
    double TraceWidth = 0.0;
    int32_t DistFormat = 0;
    int32_t DistPrec = 0;
    double SketchInc = 0.0;
    double FilletRadius = 0.0;
    int32_t AnglesFormat = 0;
    int32_t AnglesPrec = 0;
    std::string MenuName;
    int32_t isLimCheck = 0;
    double ChamferDist1 = 0.0;
    double ChamferDist2 = 0.0;
    double ChamferLen = 0.0;
    double ChamferAngle = 0.0;
    int32_t isSketchPoly = 0;
    double AngleBase = 0.0;
    int32_t isClockWise = 0;
    int32_t PtDispMode = 0;
    double PtDispSize = 0.0;
    double DefPolyWidth = 0.0;
    int32_t SplineFrame = 0;
    int32_t SplineCurvType = 0;
    int32_t LineSegments = 0;
    std::string NextHandle;
    int32_t MeshCount1 = 0;
    int32_t MeshCount2 = 0;
    int32_t SurfType = 0;
    int32_t SurfDensityM = 0;
    int32_t SurfDensityN = 0;
    int32_t isWorldView = 0;
    int32_t ShadeEdge = 0;
    int32_t ShadeDiffuse = 0;
    int32_t isTileMode = 0;
    int32_t MaxViewPorts = 0;
    TDxfPoint PaperInsPoint;
    int32_t isPaperLimCheck = 0;
    TDxfPoint PaperExtLowLeft;
    TDxfPoint PaperExtUpRight;
    TDxfPoint PaperLimLowLeft;
    TDxfPoint PaperLimUpRight;
    int32_t UnitMode = 0;
    int32_t isRetainXRefVis = 0;
    int32_t LineTypePatt = 0;
    int32_t PaperLineScaling = 0;
    int32_t SpaceTreeDepth = 0;
    int32_t isProxyImageSave = 0;
    int32_t MeasureUnits = 0;
    int32_t NewObjLineWeight = 0;
    int32_t LineEndCaps = 0;
    int32_t LineJointStyle = 0;
    int32_t isLineShow = 0;
    int32_t DefaultUnits = 0;
    std::string RelHyperLink;
    std::string StyleSheet;
    int32_t isInPlaceEditin = 0;
    int32_t PlotStype = 0;
    int32_t isColorDepmode = 0;
    std::string FingerPrintGuid;
    std::string VersionGuild;
    double ViewPortScale = 0.0;
    int32_t isOLEStartup = 0;
    bool operator==(const TDxfBaseHeader&) const = default;
};

struct TDxfCurrentSettings {
    std::string Layer;
    std::string MultiLineStyle;
    int32_t MultiLineJust = 0;
    double MultiLineScale = 0.0;
    std::string EntLineType;
    std::string TextStyle;
    int32_t EntColor = 0;
    double EntLineTypeScale = 0.0;
    int32_t DispSilhMode = 0;
    double Elev = 0.0;
    double PaperElev = 0.0;
    double Thickness = 0.0;
    bool operator==(const TDxfCurrentSettings&) const = default;
};

// Also the dimension values of a DIMSTYLE table entry. Units_ and TextArrowPlace_ are filled by
// the DIMSTYLE reader only.
struct TDxfDimensions {
    double Scale = 0.0;
    double ArrowSize = 0.0;
    double ExtLineOfs = 0.0;
    double DimLineInc = 0.0;
    double RoundVal = 0.0;
    double DimLineExt = 0.0;
    double ExtLineExt = 0.0;
    double PlusToler = 0.0;
    double MinusToler = 0.0;
    double TextHeight = 0.0;
    double CenterSize = 0.0;
    double TickSize = 0.0;
    int32_t Tolerance = 0;
    int32_t Limits = 0;
    int32_t isTextIns = 0;
    int32_t isTextOut = 0;
    int32_t isSupExt1 = 0;
    int32_t isSupExt2 = 0;
    int32_t isTextAbove = 0;
    int32_t SupZeros = 0;
    std::string ArrowBlock;
    int32_t isAssocDim = 0;
    int32_t isRecompDim = 0;
    std::string Suffix;
    std::string AltSuffix;
    int32_t isUseAltUnit = 0;
    int32_t AltDec = 0;
    double AltScale = 0.0;
    double LinearScale = 0.0;
    int32_t isTextOutExt = 0;
    double TextVertPos = 0.0;
    int32_t isForceTextIns = 0;
    int32_t isSuppOutExt = 0;
    int32_t isUseSepArrow = 0;
    std::string ArrowBlock1;
    std::string ArrowBlock2;
    std::string StyleName;
    int32_t LineColor = 0;
    int32_t ExtLineColor = 0;
    int32_t TextColor = 0;
    double DispTolerance = 0.0;
    double LineGap = 0.0;
    int32_t HorzTextJust = 0;
    int32_t isSuppLine1 = 0;
    int32_t isSuppLine2 = 0;
    int32_t VertJustTol = 0;
    int32_t ZeroSupTol = 0;
    int32_t ZeroSupAltUnitTol = 0;
    int32_t ZeroSupAltTol = 0;
    int32_t isEditCursorText = 0;
    int32_t DecPlacesPrim = 0;
    int32_t DecPlacesOther = 0;
    int32_t UnitsFormat = 0;
    int32_t DecPlacesAltUnit = 0;
    std::string TextStyle;
    int32_t AngleFormat = 0;
    int32_t AngleDecPlaces = 0;
    double RoundValAlt = 0.0;
    int32_t ZeroSupAngUnit = 0;
    int32_t DecSeparator = 0;
    int32_t TextArrowPlace = 0;
    std::string ArrowBlockLead;
    int32_t Units = 0;
    int32_t LineWeight = 0;
    int32_t LineWeightExt = 0;
    int32_t TextMove = 0;
    int32_t UnitFrac = 0;
    std::string ArrowBlockId;
    std::string ArrowBlockId1;
    std::string ArrowBlockId2;
    int32_t Units_ = 0;
    int32_t TextArrowPlace_ = 0;
    bool operator==(const TDxfDimensions&) const = default;
};

struct TDxfSpacingHeader {
    std::string Base;
    std::string Name;
    TDxfPoint Origin;
    TDxfPoint OriginBack;
    TDxfPoint OriginBottom;
    TDxfPoint OriginFront;
    TDxfPoint OriginLeft;
    TDxfPoint OriginRight;
    TDxfPoint OriginTop;
    std::string OrthoRef;
    int32_t OrthoView = 0;
    TDxfPoint XDir;
    TDxfPoint YDir;
    bool operator==(const TDxfSpacingHeader&) const = default;
};

struct TDxfUserHeader {
    int32_t I1 = 0;
    int32_t I2 = 0;
    int32_t I3 = 0;
    int32_t I4 = 0;
    int32_t I5 = 0;
    double R1 = 0.0;
    double R2 = 0.0;
    double R3 = 0.0;
    double R4 = 0.0;
    double R5 = 0.0;
    bool operator==(const TDxfUserHeader&) const = default;
};

struct TDxfTimeHeader {
    double CreateTimeLocal = 0.0;
    double CreateTimeUniv = 0.0;
    double UpdateTimeLocal = 0.0;
    double UpdateTimeUniv = 0.0;
    double TotalTime = 0.0;
    double ElasedTime = 0.0;
    int32_t isTimerOn = 0;
    bool operator==(const TDxfTimeHeader&) const = default;
};
// The known header variables of a drawing. Only DefaultUnits ("$INSUNITS") is used by the program;
// the rest is kept as read.
struct TDxfHeader {
    TDxfAcadHeader acad;
    TDxfBaseHeader Base;
    TDxfCurrentSettings Sel;
    TDxfDimensions Dim;
    TDxfSpacingHeader Ucs;
    TDxfSpacingHeader PUcs;
    TDxfUserHeader User;
    TDxfTimeHeader Time;
    bool operator==(const TDxfHeader&) const = default;
};

// Stores the variable the parser has just named (its varName; the scanner's current group is the
// first value group) into Header. The value is taken with the consume operation of the field's
// type and code, so a group with another code gives the field its zero and is left in place.
// Names are compared exactly; unknown names, names of two characters or fewer and a null parser or
// header do nothing.
void ParseHeaderVar(TDxfParser* p, TDxfHeader* Header);

} // namespace vendrel
