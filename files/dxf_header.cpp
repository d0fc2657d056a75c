#include "files/dxf_header.h"

#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "files/dxf_parser.h"

namespace vendrel {

namespace {

using HeaderSetter = void (*)(TDxfParser* p, TDxfHeader& h, int32_t code);

// Takes the current group into one field of one record, with the consume operation of its type.
template <auto Record, auto Field> void setField(TDxfParser* p, TDxfHeader& h, int32_t code) {
    auto& field = (h.*Record).*Field;
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_same_v<T, std::string>) {
        field = ConsumeStr(p, code, "");
    } else if constexpr (std::is_same_v<T, int32_t>) {
        field = ConsumeInt(p, code, 0);
    } else if constexpr (std::is_same_v<T, double>) {
        field = ConsumeFloat(p, code, 0.0);
    } else {
        static_assert(std::is_same_v<T, TDxfPoint>);
        ConsumePoint(p, field, code);
    }
}

struct HeaderVar {
    std::string_view Name;
    int32_t Code; // the group code of the value; a point's x code
    HeaderSetter Set;
};

constexpr HeaderVar kHeaderVars[] = {
    {"$ACADVER", 1, &setField<&TDxfHeader::acad, &TDxfAcadHeader::Version>},
    {"$ACADMAINTVER", 70, &setField<&TDxfHeader::acad, &TDxfAcadHeader::MaintVer>},
    {"$EXTNAMES", 290, &setField<&TDxfHeader::acad, &TDxfAcadHeader::isExtNames>},
    {"$DWGCODEPAGE", 3, &setField<&TDxfHeader::Base, &TDxfBaseHeader::CodePage>},
    {"$INSBASE", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::InsPoint>},
    {"$EXTMIN", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ExtLowLeft>},
    {"$EXTMAX", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ExtUpRight>},
    {"$LIMMIN", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LimLowLeft>},
    {"$LIMMAX", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LimUpRight>},
    {"$ORTHOMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isOrtho>},
    {"$REGENMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isRegen>},
    {"$FILLMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isFill>},
    {"$QTEXTMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isQText>},
    {"$MIRRTEXT", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isMirrText>},
    {"$LTSCALE", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LineTypeScale>},
    {"$ATTMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::AttrVisMode>},
    {"$TEXTSIZE", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::TextHeight>},
    {"$TRACEWID", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::TraceWidth>},
    {"$LUNITS", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::DistFormat>},
    {"$LUPREC", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::DistPrec>},
    {"$SKETCHINC", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SketchInc>},
    {"$FILLETRAD", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::FilletRadius>},
    {"$AUNITS", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::AnglesFormat>},
    {"$AUPREC", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::AnglesPrec>},
    {"$MENU", 1, &setField<&TDxfHeader::Base, &TDxfBaseHeader::MenuName>},
    {"$LIMCHECK", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isLimCheck>},
    {"$CHAMFERA", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ChamferDist1>},
    {"$CHAMFERB", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ChamferDist2>},
    {"$CHAMFERC", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ChamferLen>},
    {"$CHAMFERD", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ChamferAngle>},
    {"$SKPOLY", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isSketchPoly>},
    {"$ANGBASE", 50, &setField<&TDxfHeader::Base, &TDxfBaseHeader::AngleBase>},
    {"$ANGDIR", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isClockWise>},
    {"$PDMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PtDispMode>},
    {"$PDSIZE", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PtDispSize>},
    {"$PLINEWID", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::DefPolyWidth>},
    {"$SPLINETYPE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SplineCurvType>},
    {"$SPLINESEGS", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LineSegments>},
    {"$HANDSEED", 5, &setField<&TDxfHeader::Base, &TDxfBaseHeader::NextHandle>},
    {"$SURFTAB1", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::MeshCount1>},
    {"$SURFTAB2", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::MeshCount2>},
    {"$SURFTYPE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SurfType>},
    {"$SURFU", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SurfDensityM>},
    {"$SURFV", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SurfDensityN>},
    {"$WORLDVIEW", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isWorldView>},
    {"$SHADEDGE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ShadeEdge>},
    {"$SHADEDIF", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ShadeDiffuse>},
    {"$TILEMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isTileMode>},
    {"$MAXACTVP", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::MaxViewPorts>},
    {"$PINSBASE", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperInsPoint>},
    {"$PLIMCHECK", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isPaperLimCheck>},
    {"$PEXTMIN", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperExtLowLeft>},
    {"$PEXTMAX", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperExtUpRight>},
    {"$PLIMMIN", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperLimLowLeft>},
    {"$PLIMMAX", 10, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperLimUpRight>},
    {"$UNITMODE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::UnitMode>},
    {"$VISRETAIN", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isRetainXRefVis>},
    {"$PLINEGEN", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LineTypePatt>},
    {"$PSLTSCALE", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PaperLineScaling>},
    {"$TREEDEPTH", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::SpaceTreeDepth>},
    {"$PROXYGRAPHICS", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isProxyImageSave>},
    {"$MEASUREMENT", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::MeasureUnits>},
    {"$CELWEIGHT", 370, &setField<&TDxfHeader::Base, &TDxfBaseHeader::NewObjLineWeight>},
    {"$ENDCAPS", 280, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LineEndCaps>},
    {"$JOINSTYLE", 280, &setField<&TDxfHeader::Base, &TDxfBaseHeader::LineJointStyle>},
    {"$LWDISPLAY", 290, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isLineShow>},
    {"$INSUNITS", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::DefaultUnits>},
    {"$HYPERLINKBASE", 1, &setField<&TDxfHeader::Base, &TDxfBaseHeader::RelHyperLink>},
    {"$STYLESHEET", 1, &setField<&TDxfHeader::Base, &TDxfBaseHeader::StyleSheet>},
    {"$XEDIT", 290, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isInPlaceEditin>},
    {"$CEPSNTYPE", 380, &setField<&TDxfHeader::Base, &TDxfBaseHeader::PlotStype>},
    {"$PSTYLEMODE", 290, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isColorDepmode>},
    {"$FINGERPRINTGUID", 2, &setField<&TDxfHeader::Base, &TDxfBaseHeader::FingerPrintGuid>},
    {"$VERSIONGUID", 2, &setField<&TDxfHeader::Base, &TDxfBaseHeader::VersionGuild>},
    {"$PSVPSCALE", 40, &setField<&TDxfHeader::Base, &TDxfBaseHeader::ViewPortScale>},
    {"$OLESTARTUP", 70, &setField<&TDxfHeader::Base, &TDxfBaseHeader::isOLEStartup>},
    {"$CLAYER", 8, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::Layer>},
    {"$CMLSTYLE", 2, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::MultiLineStyle>},
    {"$CMLJUST", 70, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::MultiLineJust>},
    {"$CMLSCALE", 40, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::MultiLineScale>},
    {"$CELTYPE", 6, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::EntLineType>},
    {"$TEXTSTYLE", 7, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::TextStyle>},
    {"$CECOLOR", 62, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::EntColor>},
    {"$CELTSCALE", 40, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::EntLineTypeScale>},
    {"$DISPSILH", 70, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::DispSilhMode>},
    {"$ELEVATION", 40, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::Elev>},
    {"$PELEVATION", 40, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::PaperElev>},
    {"$THICKNESS", 40, &setField<&TDxfHeader::Sel, &TDxfCurrentSettings::Thickness>},
    {"$DIMSCALE", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::Scale>},
    {"$DIMASZ", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::ArrowSize>},
    {"$DIMEXO", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::ExtLineOfs>},
    {"$DIMDLI", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::DimLineInc>},
    {"$DIMRND", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::RoundVal>},
    {"$DIMDLE", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::DimLineExt>},
    {"$DIMEXE", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::ExtLineExt>},
    {"$DIMTP", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::PlusToler>},
    {"$DIMTM", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::MinusToler>},
    {"$DIMTXT", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextHeight>},
    {"$DIMCEN", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::CenterSize>},
    {"$DIMTSZ", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::TickSize>},
    {"$DIMTOL", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::Tolerance>},
    {"$DIMLIM", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::Limits>},
    {"$DIMTIH", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isTextIns>},
    {"$DIMTOH", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isTextOut>},
    {"$DIMSE1", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isSupExt1>},
    {"$DIMSE2", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isSupExt2>},
    {"$DIMTAD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isTextAbove>},
    {"$DIMZIN", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::SupZeros>},
    {"$DIMBLK", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::ArrowBlock>},
    {"$DIMASO", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isAssocDim>},
    {"$DIMSHO", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isRecompDim>},
    {"$DIMPOST", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::Suffix>},
    {"$DIMAPOST", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::AltSuffix>},
    {"$DIMALT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isUseAltUnit>},
    {"$DIMALTD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::AltDec>},
    {"$DIMALTF", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::AltScale>},
    {"$DIMLFAC", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::LinearScale>},
    {"$DIMTOFL", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isTextOutExt>},
    {"$DIMTVP", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextVertPos>},
    {"$DIMTIX", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isForceTextIns>},
    {"$DIMSOXD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isSuppOutExt>},
    {"$DIMSAH", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isUseSepArrow>},
    {"$DIMBLK1", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::ArrowBlock1>},
    {"$DIMBLK2", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::ArrowBlock2>},
    {"$DIMSTYLE", 2, &setField<&TDxfHeader::Dim, &TDxfDimensions::StyleName>},
    {"$DIMCLRD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::LineColor>},
    {"$DIMCLRE", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::ExtLineColor>},
    {"$DIMCLRT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextColor>},
    {"$DIMTFAC", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::DispTolerance>},
    {"$DIMGAP", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::LineGap>},
    {"$DIMJUST", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::HorzTextJust>},
    {"$DIMSD1", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isSuppLine1>},
    {"$DIMSD2", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isSuppLine2>},
    {"$DIMTOLJ", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::VertJustTol>},
    {"$DIMTZIN", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::ZeroSupTol>},
    {"$DIMALTZ", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::ZeroSupAltUnitTol>},
    {"$DIMALTTZ", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::ZeroSupAltTol>},
    {"$DIMUPT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::isEditCursorText>},
    {"$DIMDEC", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::DecPlacesPrim>},
    {"$DIMTDEC", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::DecPlacesOther>},
    {"$DIMALTU", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::UnitsFormat>},
    {"$DIMALTTD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::DecPlacesAltUnit>},
    {"$DIMTXSTY", 7, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextStyle>},
    {"$DIMAUNIT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::AngleFormat>},
    {"$DIMADEC", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::AngleDecPlaces>},
    {"$DIMALTRND", 40, &setField<&TDxfHeader::Dim, &TDxfDimensions::RoundValAlt>},
    {"$DIMAZIN", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::ZeroSupAngUnit>},
    {"$DIMDSEP", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::DecSeparator>},
    {"$DIMATFIT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextArrowPlace>},
    {"$DIMLDRBLK", 1, &setField<&TDxfHeader::Dim, &TDxfDimensions::ArrowBlockLead>},
    {"$DIMLUNIT", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::Units>},
    {"$DIMLWD", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::LineWeight>},
    {"$DIMLWE", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::LineWeightExt>},
    {"$DIMTMOVE", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::TextMove>},
    {"$DIMFRAC", 70, &setField<&TDxfHeader::Dim, &TDxfDimensions::UnitFrac>},
    {"$UCSBASE", 2, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::Base>},
    {"$UCSNAME", 2, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::Name>},
    {"$UCSORG", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::Origin>},
    {"$UCSORGBACK", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginBack>},
    {"$UCSORGBOTTOM", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginBottom>},
    {"$UCSORGFRONT", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginFront>},
    {"$UCSORGLEFT", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginLeft>},
    {"$UCSORGRIGHT", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginRight>},
    {"$UCSORGTOP", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OriginTop>},
    {"$UCSORTHOREF", 2, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OrthoRef>},
    {"$UCSORTHOVIEW", 70, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::OrthoView>},
    {"$UCSXDIR", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::XDir>},
    {"$UCSYDIR", 10, &setField<&TDxfHeader::Ucs, &TDxfSpacingHeader::YDir>},
    {"$USERI1", 70, &setField<&TDxfHeader::User, &TDxfUserHeader::I1>},
    {"$USERI2", 70, &setField<&TDxfHeader::User, &TDxfUserHeader::I2>},
    {"$USERI3", 70, &setField<&TDxfHeader::User, &TDxfUserHeader::I3>},
    {"$USERI4", 70, &setField<&TDxfHeader::User, &TDxfUserHeader::I4>},
    {"$USERI5", 70, &setField<&TDxfHeader::User, &TDxfUserHeader::I5>},
    {"$USERR1", 40, &setField<&TDxfHeader::User, &TDxfUserHeader::R1>},
    {"$USERR2", 40, &setField<&TDxfHeader::User, &TDxfUserHeader::R2>},
    {"$USERR3", 40, &setField<&TDxfHeader::User, &TDxfUserHeader::R3>},
    {"$USERR4", 40, &setField<&TDxfHeader::User, &TDxfUserHeader::R4>},
    {"$USERR5", 40, &setField<&TDxfHeader::User, &TDxfUserHeader::R5>},
    {"$TDCREATE", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::CreateTimeLocal>},
    {"$TDUCREATE", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::CreateTimeUniv>},
    {"$TDUPDATE", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::UpdateTimeLocal>},
    {"$TDUUPDATE", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::UpdateTimeUniv>},
    {"$TDINDWG", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::TotalTime>},
    {"$TDUSRTIMER", 40, &setField<&TDxfHeader::Time, &TDxfTimeHeader::ElasedTime>},
    {"$USRTIMER", 70, &setField<&TDxfHeader::Time, &TDxfTimeHeader::isTimerOn>},
    {"$PUCSBASE", 2, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::Base>},
    {"$PUCSNAME", 2, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::Name>},
    {"$PUCSORG", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::Origin>},
    {"$PUCSORGBACK", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginBack>},
    {"$PUCSORGBOTTOM", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginBottom>},
    {"$PUCSORGFRONT", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginFront>},
    {"$PUCSORGLEFT", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginLeft>},
    {"$PUCSORGRIGHT", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginRight>},
    {"$PUCSORGTOP", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OriginTop>},
    {"$PUCSORTHOREF", 2, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OrthoRef>},
    {"$PUCSORTHOVIEW", 70, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::OrthoView>},
    {"$PUCSXDIR", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::XDir>},
    {"$PUCSYDIR", 10, &setField<&TDxfHeader::PUcs, &TDxfSpacingHeader::YDir>},
};

static_assert(std::size(kHeaderVars) == 198);

const HeaderVar* findHeaderVar(std::string_view Name) {
    static const std::unordered_map<std::string_view, const HeaderVar*> index = [] {
        std::unordered_map<std::string_view, const HeaderVar*> m;
        for (const HeaderVar& v : kHeaderVars) {
            m.emplace(v.Name, &v);
        }
        return m;
    }();
    const auto it = index.find(Name);
    return it == index.end() ? nullptr : it->second;
}

} // namespace

void ParseHeaderVar(TDxfParser* p, TDxfHeader* Header) {
    if (p == nullptr || Header == nullptr || p->varName.size() <= 2) {
        return;
    }
    if (const HeaderVar* v = findHeaderVar(p->varName)) {
        v->Set(p, *Header, v->Code);
    }
}

} // namespace vendrel
