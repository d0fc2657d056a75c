#pragma once
// A DXF drawing in memory: header, class definitions, tables with their entries, blocks with their
// entities, the drawing's entities and its non-graphical objects. Plain data holders: the readers
// of dxf_reader.h fill them. Beside each field stands the group code that fills it (a point's code
// c stands for c, c + 10 and c + 20 unless said otherwise); fields without a code are not filled.
//
// Links named with a leading underscore and a capital in the design (reserved names in C++) carry
// the underscore at the end here: Owner_, Items_, Ref_, Entries_.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/dxf_header.h"
#include "files/dxf_types.h"

namespace vendrel {

// Base of tables, table entries, entities, block headers and ends, and objects.
class TDxfBase {
public:
    TDxfBase() = default;
    TDxfBase(const TDxfBase&) = delete;
    TDxfBase& operator=(const TDxfBase&) = delete;
    virtual ~TDxfBase();

    std::string Handle;         // 5 (table entries: 105 when 5 is absent)
    std::string Owner;          // 330: the owner's handle
    TDxfBase* Owner_ = nullptr; // the model object holding this one; not owned
};

// ---- Table entries ----------------------------------------------------------------------------

class TDxfTableEntry : public TDxfBase {
public:
    // The entry's name as a user would see it; the table's name for the base class.
    virtual std::string DisplayName() const;

    std::string EntryType; // the table's name, as read
    std::string SubClass;  // 100
};

class TDxfAppIdEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2; // second 100
    std::string AppData;   // 2
    int32_t Flags = 0;     // 70
};

class TDxfBlockRecordEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;    // second 100
    std::string BlockName;    // 2
    std::string LayoutId;     // 340
    int32_t InsertUnit = 0;   // 70
    int32_t isExplodable = 0; // 280
    int32_t isScalable = 0;   // 281
    std::string PreviewBin;   // 310, the hexadecimal text
    std::string XDataApp;     // 1001
};

class TDxfDimStyleEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2; // second 100
    int32_t Flags = 0;     // 70
    TDxfDimensions Dim;    // codes in the DIMSTYLE reader
};

class TDxfLayerEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;   // second 100
    std::string LayerName;   // 2
    int32_t Flags = 0;       // 70
    int32_t ColorNum = 0;    // 62
    std::string LineType;    // 6
    int32_t isPlotting = 0;  // 290
    int32_t Lineweight = 0;  // 370
    std::string PlotStyleID; // 390
    std::string MatObjID;    // 347
};

class TDxfLTypeEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;         // second 100
    std::string LineType;          // 2
    int32_t Flags = 0;             // 70
    std::string Descr;             // 3
    int32_t AlignCode = 0;         // 72
    int32_t LineTypeElems = 0;     // 73
    double TotalPatLen = 0.0;      // 40
    double Len = 0.0;              // 49
    int32_t Flags2 = 0;            // 74
    int32_t ShapeNum = 0;          // 75
    std::string StyleObjId;        // 340
    std::vector<double> ScaleVal;  // 46
    std::vector<double> RotateVal; // 50
    std::vector<double> XOfs;      // 44
    std::vector<double> YOfs;      // 45
    std::string TextStr;           // 9
};

class TDxfStyleEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;    // second 100
    std::string StyleName;    // 2
    int32_t Flags = 0;        // 70
    double FixedHeight = 0.0; // 40
    double WidthFactor = 0.0; // 41
    double Angle = 0.0;       // 50
    int32_t TextFlags = 0;    // 71
    double LastHeight = 0.0;  // 42
    std::string FontName;     // 3
    std::string BigFontName;  // 4
    std::string FullFont;     // 1071, its value text
};

class TDxfUCSEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2; // second 100
    std::string UCSName;   // 2
    int32_t Flags = 0;     // 70
    TDxfPoint Origin;      // 10
    TDxfPoint XDir;        // 11
    TDxfPoint YDir;        // 12
    int32_t Zero = 0;      // 79
    double Elev = 0.0;     // 146
    std::string BaseUCS;   // 346
    int32_t OrthType = 0;  // 71
    TDxfPoint UCSRelOfs;   // 13
};

class TDxfViewEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;    // second 100
    std::string ViewName;     // 2
    int32_t Flags = 0;        // 70
    double Height = 0.0;      // 40
    TDxfPoint CenterPoint;    // 10
    double Width = 0.0;       // 41
    TDxfPoint ViewDir;        // 11
    TDxfPoint TargetPoint;    // 12
    double LensLen = 0.0;     // 42
    double FontClipOfs = 0.0; // 43
    double BackClipOfs = 0.0; // 44
    double TwistAngle = 0.0;  // 50
    int32_t ViewMode = 0;     // 71
    int32_t RenderMode = 0;   // 281
    int32_t isUcsAssoc = 0;   // 72
    int32_t isCameraPlot = 0; // 73
    std::string BackObjId;    // 332
    std::string LiveSectId;   // 334
    std::string StyleId;      // 348
    std::string OwnerId;      // 361
    TDxfPoint UCSOrig;        // 110
    TDxfPoint UCSXAxis;       // 111
    TDxfPoint UCSYAxis;       // 112
    int32_t OrthType = 0;     // 79
    double UCSElev = 0.0;     // 146
    std::string UCSID;        // 345
    std::string UCSBaseID;    // 346
};

class TDxfVPortEntry : public TDxfTableEntry {
public:
    std::string DisplayName() const override;

    std::string SubClass2;     // second 100
    std::string ViewName;      // 2
    int32_t Flags = 0;         // first 70
    TDxfPoint LeftLow;         // 10
    TDxfPoint UpRight;         // 11
    TDxfPoint ViewCenter;      // 12
    TDxfPoint SnapBase;        // 13
    TDxfPoint SnapSpace;       // 14
    TDxfPoint GridSpace;       // 15
    TDxfPoint ViewDir;         // 16
    TDxfPoint ViewTarget;      // 17
    double LensLen = 0.0;      // 42
    double FrontClipOfs = 0.0; // 43
    double BackClipOfs = 0.0;  // 44
    double Height = 0.0;       // 45
    double RotateAngle = 0.0;  // 50
    double TwistAngle = 0.0;   // 51
    int32_t CircleSides = 0;   // 72
    std::string FrozeLayerId;  // 331 or 441
    int32_t PerspFlag = 0;     // second 70
    std::string PlotStyle;     // 1
    int32_t RenderMode = 0;    // 281
    int32_t ViewMode = 0;      // 71
    int32_t UCSICON = 0;       // 74
    TDxfPoint UCSOrigin;       // 110
    TDxfPoint UCSXAxis;        // 111
    TDxfPoint UCSYAxis;        // 112
    std::string UCSId;         // 345
    std::string UCSBaseId;     // 346
    int32_t OrthType = 0;      // 79
    double Elevation = 0.0;    // 146
    int32_t PlotShade = 0;     // 170
    int32_t GridLines = 0;     // 61
    std::string BackObjId;     // 332
    std::string ShadePlotId;   // 333
    std::string VisualStyleId; // 348
    int32_t isDefLight = 0;    // 292
    int32_t DefLightType = 0;  // 282
    double Brightness = 0.0;   // 141
    double Contract = 0.0;     // 142
    int32_t Color1 = 0;        // 63
    int32_t Color2 = 0;        // 421
    int32_t Color3 = 0;        // 431
    double _40 = 0.0;          // 40
    double _41 = 0.0;          // 41
    int32_t _73 = 0;
    int32_t _75 = 0;
    int32_t _76 = 0;
    int32_t _77 = 0;
    int32_t _78 = 0;
    int32_t _65 = 0;
};

// A table of the TABLES section; owns its entries.
class TDxfTable : public TDxfBase {
public:
    TDxfTable();
    ~TDxfTable() override;

    // Appends Entry (owned from now on) with the table as its Owner_; its index, or -1 for none.
    int32_t AddItem(std::unique_ptr<TDxfTableEntry> Entry);
    // The entry at i (from 0), or none when i is outside the list.
    TDxfTableEntry* GetObject(int32_t i) const;
    int32_t Count() const;
    void Clear();

    std::vector<std::unique_ptr<TDxfTableEntry>> Items_;
    std::string Name;      // 2
    std::string SubClass;  // 100
    int32_t MaxNumber = 0; // 70
    std::string SubClass2; // second 100
    int32_t IntVal2 = 0;   // 71
    std::string Owner2;    // 340
};

// ---- Values of application groups and extension records ---------------------------------------

enum class TDxfValueType : uint8_t {
    dvtStr,
    dvtInt,
    dvtInt64,
    dvtFloat,
};

// One group kept as a value: only the field of its type is meaningful.
struct TDxfValue {
    int32_t cg = 0; // group code
    TDxfValueType valType = TDxfValueType::dvtStr;
    std::string s;
    int32_t i = 0;
    int64_t i64 = 0;
    double f = 0.0;
};

class TDxfValuesList {
public:
    TDxfValue* AddStr(int32_t codeGroup, const std::string& s);
    TDxfValue* AddInt(int32_t codeGroup, int32_t v);
    TDxfValue* AddInt64(int32_t codeGroup, int64_t v);
    TDxfValue* AddFloat(int32_t codeGroup, double f);
    int32_t Count() const;

    std::vector<std::unique_ptr<TDxfValue>> values;
    std::string Name; // an application group's opening text, such as "{ACAD_REACTORS"

private:
    TDxfValue* AddValue(int32_t codeGroup, TDxfValueType t);
};

// ---- Entities ---------------------------------------------------------------------------------

class TDxfEntity : public TDxfBase {
public:
    explicit TDxfEntity(std::string AEntityType);

    std::string EntityType;
    std::string appName;
    std::unique_ptr<TDxfValuesList> appValues;     // no reader fills it
    std::unique_ptr<TDxfValuesList> ACAD_Reactors; // no reader fills it
    std::unique_ptr<TDxfValuesList> ACAD_XDict;    // no reader fills it
    std::string SubClass = "AcDbEntity";           // 100
    int32_t SpaceFlag = 0;                         // 67
    std::string AppTableLayout;                    // 410
    std::string LayerName;                         // 8
    std::string LineTypeName;                      // 6
    std::string HardPtrId;                         // 347
    int32_t ColorNumber = 0;                       // 62
    int32_t LineWidth = 0;                         // 370
    double LineScale = 0.0;                        // 48
    int32_t isHidden = 0;                          // 60
    int32_t ProxyBytesCount = 0;                   // 92
    std::vector<uint8_t> ProxyGraph;
    int32_t Color = 0;        // 420
    std::string ColorName;    // 430
    int32_t Transperancy = 0; // 440
    std::string PlotObj;      // 390
    int32_t ShadowMode = 0;   // 284
    std::string Subclass2;    // second 100
};

class TDxfLine : public TDxfEntity {
public:
    explicit TDxfLine(std::string AEntityType);

    double Thickness = 0.0; // 39
    TDxfPoint StartPoint;   // 10
    TDxfPoint EndPoint;     // 11
    TDxfPoint Extrusion;    // 210
};

class TDxfCircle : public TDxfEntity {
public:
    using TDxfEntity::TDxfEntity;

    double Thickness = 0.0; // 39
    TDxfPoint CenterPoint;  // 10
    double Radius = 0.0;    // 40
    TDxfPoint Extrusion;    // 210
};

class TDxfSolid : public TDxfEntity {
public:
    using TDxfEntity::TDxfEntity;

    TDxfPoint Corner1;      // 10
    TDxfPoint Corner2;      // 11
    TDxfPoint Corner3;      // 12
    TDxfPoint Corner4;      // 13
    double Thickness = 0.0; // 39
    TDxfPoint Extrusion;    // 210
};

class TDxfMText : public TDxfEntity {
public:
    explicit TDxfMText(std::string AEntityType);

    TDxfPoint InsPoint;         // 10
    double InitHeight = 0.0;    // 40
    double RefWidth = 0.0;      // 41
    int32_t AttachPoint = 0;    // 71
    int32_t DrawDir = 0;        // 72
    std::string Text;           // 1
    std::string TextStyle;      // 7
    TDxfPoint Extrusion;        // 210
    double Rotatation = 0.0;    // 50
    int32_t LineSpacing = 0;    // 73
    double SpacingFactor = 0.0; // 44
};

class TDxfInsert : public TDxfEntity {
public:
    using TDxfEntity::TDxfEntity;

    int32_t AttrFlag = 0;  // 66
    std::string BlockName; // 2
    TDxfPoint InsPoint;    // 10
    TDxfPoint Scale;       // 41, 42, 43
    double Rotation = 0.0; // 50
    int32_t ColCount = 0;  // 70
    int32_t RowCount = 0;  // 71
    double ColSpace = 0.0; // 44
    double RowSpace = 0.0; // 45
    TDxfPoint Extrusion;   // 210
};

// The polyline's own record; its vertices are separate VERTEX entities, which the reader passes
// over.
class TDxfPolyLine : public TDxfEntity {
public:
    TDxfPolyLine(const std::string& PLineClass, std::string AEntityType);

    int32_t ObsFlag = 0;     // 66
    TDxfPoint ElevPoint;     // 10
    double Thickness = 0.0;  // 39
    int32_t PolyFlags = 0;   // 70
    double StartWidth = 0.0; // 40
    double EndWidth = 0.0;   // 41
    int32_t MCount = 0;      // 71
    int32_t NCount = 0;      // 72
    int32_t MDensity = 0;    // 73
    int32_t NDensity = 0;    // 74
    int32_t SurfType = 0;    // 75
    TDxfPoint Extrusion;     // 210
};

// No reader creates vertices.
class TDxfVertex : public TDxfEntity {
public:
    TDxfVertex(std::string VtxClass, std::string AEntityType);

    std::string SubClass3;
    TDxfPoint Location;
    double StartWidth = 0.0;
    double EndWidth = 0.0;
    double Buldge = 0.0;
    int32_t Flags = 0;
    double TangentDir = 0.0;
    std::array<uint8_t, 16> PolyFace{};
    int32_t VertexId = 0;
};

// ---- Classes and blocks -----------------------------------------------------------------------

struct TDxfClass {
    std::string recName;    // 1
    std::string cppName;    // 2
    std::string appName;    // 3
    int32_t ProxyFlags = 0; // 90
    int32_t InstCount = 0;  // 91
    int32_t WasProxy = 0;   // 280
    int32_t IsAnEntity = 0; // 281
};

// Header groups shared by a block's start and its end.
class TDxfBlockEntity : public TDxfBase {
public:
    std::string appDefGroup;
    std::string SubClass;  // 100
    int32_t SpaceFlag = 0; // 67
    std::string LayerName; // 8
    std::string Subclass2; // second 100
};

class TDxfBlock : public TDxfBlockEntity {
public:
    std::string BlockName;  // 2
    int32_t BlockFlags = 0; // 70
    TDxfPoint BasePoint;    // 10
    std::string BlockName2; // 3
    std::string XRef;       // 1
    std::string Descr;      // 4
};

class TDxfBlockEnd : public TDxfBlockEntity {};

// A block of the BLOCKS section with its entities and its end record, all owned.
class TDxfFileBlock : public TDxfBlock {
public:
    TDxfFileBlock();

    // Appends Entity (owned from now on); its Owner_ is left as it is. None is ignored.
    void AddEntity(std::unique_ptr<TDxfEntity> Entity);

    std::vector<std::unique_ptr<TDxfEntity>> _entities;
    std::unique_ptr<TDxfBlockEnd> _blockEnd;
};

// ---- Objects ----------------------------------------------------------------------------------

class TDxfObject : public TDxfBase {
public:
    explicit TDxfObject(std::string AObjectType);

    std::string ObjectType;
    std::unique_ptr<TDxfValuesList> AppCodes; // application groups other than the two below
    std::unique_ptr<TDxfValuesList> Reactors; // "{ACAD_REACTORS"
    std::unique_ptr<TDxfValuesList> XDict;    // "{ACAD_XDICTIONARY"
};

class TDxfDictionaryBase;

class TDxfDictionaryEntry {
public:
    explicit TDxfDictionaryEntry(TDxfDictionaryBase* AOwner) : Owner_(AOwner) {}

    // The object the entry refers to (not owned). Setting it makes the entry's dictionary that
    // object's Owner_. The reader resolves no handles, so it stays none after reading.
    TDxfBase* Ref_() const { return fRef; }
    void SetRef_(TDxfBase* Obj);

    TDxfDictionaryBase* Owner_ = nullptr; // the dictionary holding the entry; not owned
    std::string EntryName;                // 3
    std::string RefId;                    // 350, or 360 when 350 is absent

private:
    TDxfBase* fRef = nullptr;
};

class TDxfDictionaryBase : public TDxfObject {
public:
    using TDxfObject::TDxfObject;

    TDxfDictionaryEntry* AddEntry();
    TDxfDictionaryEntry* AddEntry(const std::string& aid, const std::string& aowner);
    void Clear();

    std::vector<std::unique_ptr<TDxfDictionaryEntry>> Entries;
};

class TDxfDictionary : public TDxfDictionaryBase {
public:
    using TDxfDictionaryBase::TDxfDictionaryBase;

    std::string SubClass2 = "AcDbDictionary"; // 100
    int32_t isHardOwner = 0;                  // 280
    int32_t CloneFlag = 0;                    // 281
};

class TDxfAcDbDictionaryWDFLT : public TDxfDictionaryBase {
public:
    using TDxfDictionaryBase::TDxfDictionaryBase;

    std::string SubClass2; // 100
    int32_t CloneFlag = 0; // 281
    std::string SubClass3; // second 100
    std::string DefaultID; // 340
};

class TDxfDictionaryVar : public TDxfObject {
public:
    using TDxfObject::TDxfObject;

    std::string SubClass2; // 100
    int32_t SchemaNum = 0; // 280
    std::string Value;     // 1
};

class TDxfAcDbPlaceHolder : public TDxfObject {
public:
    using TDxfObject::TDxfObject;
};

struct TDxfMLineStyleEntry {
    double Offset = 0.0;  // 49
    int32_t Color = 0;    // 62
    std::string LineType; // 6
};

class TDxfMLineStyle : public TDxfObject {
public:
    // The type is set by the reader, from the file.
    explicit TDxfMLineStyle(const std::string& AObjectType);

    TDxfMLineStyleEntry* AddEntry();
    void Clear();
    int32_t Count() const;

    std::string SubClass2; // 100
    std::string StyleName; // 2
    int32_t Flags = 0;     // 70
    std::string Descr;     // 3
    int32_t FillColor = 0; // 62
    double StAngle = 0.0;  // 51
    double EndAngle = 0.0; // 52
    int32_t NumElems = 0;  // 71
    std::vector<std::unique_ptr<TDxfMLineStyleEntry>> Entries_;
};

class TDxfPlotSettings : public TDxfObject {
public:
    using TDxfObject::TDxfObject;

    std::string SubClass2;       // 100
    std::string PageName;        // 1
    std::string PrinterName;     // 2
    std::string PaperSize;       // 4
    std::string PlotViewName;    // 6
    double MarginLeftMm = 0.0;   // 40
    double MarginBottomMm = 0.0; // 41
    double MarginRightMm = 0.0;  // 42
    double MarginTopMm = 0.0;    // 43
    double WidthMm = 0.0;        // 44
    double HeightMm = 0.0;       // 45
    double OffsetX = 0.0;        // 46
    double OffsetY = 0.0;        // 47
    double PlotX = 0.0;          // 48
    double PlotY = 0.0;          // 49
    double PlotX2 = 0.0;         // 140
    double PlotY2 = 0.0;         // 141
    double Numerator = 0.0;      // 142
    double Denominator = 0.0;    // 143
    int32_t Flags = 0;           // 70
    int32_t PlotUnits = 0;       // 72
    int32_t PlotRotation = 0;    // 73
    int32_t PlotType = 0;        // 74
    std::string StyleSheet;      // 7
    int32_t StdScale = 0;        // 75
    int32_t ShadePlotMode = 0;   // 76
    int32_t ShadePlotRes = 0;    // 77
    int32_t ShadePlotDPI = 0;    // 78
    double ViewScale = 0.0;      // 147
    double PaperImgOrigX = 0.0;  // 148
    double PaperImgOrigY = 0.0;  // 149
    std::string ShadePlotID;     // 333
};

class TDxfLayout : public TDxfPlotSettings {
public:
    using TDxfPlotSettings::TDxfPlotSettings;

    std::string SubClass3;    // 100
    std::string LayoutName;   // 1
    int32_t LayoutFlags = 0;  // 70
    int32_t TabOrder = 0;     // 71
    TDxfPoint MinLim;         // 10
    TDxfPoint MaxLim;         // 11
    TDxfPoint InsBase;        // 12
    TDxfPoint ExtMin;         // 14
    TDxfPoint ExtMax;         // 15
    double Elevation = 0.0;   // 146
    TDxfPoint UCSOrig;        // 13
    TDxfPoint UCSXAxis;       // 16
    TDxfPoint UCSYAxis;       // 17
    int32_t OrthoTypes = 0;   // 76
    std::string PaperId;      // 330
    std::string LastVPortId;  // 331
    std::string UcsId;        // 345
    std::string UcsOrthoId;   // 346
    std::string ShadePlotId3; // 333
};

struct TDxfTableCell {
    std::string StyleName;      // 7
    double Height = 0.0;        // 140
    int32_t Align = 0;          // 170
    int32_t Color = 0;          // 62
    int32_t FillColor = 0;      // 63
    int32_t isUseFillColor = 0; // 283
    int32_t CellDataType = 0;   // 90
    int32_t CellUnit = 0;       // 91
    int32_t BordType1 = 0;      // 274 ... 279
    int32_t BordType2 = 0;
    int32_t BordType3 = 0;
    int32_t BordType4 = 0;
    int32_t BordType5 = 0;
    int32_t BordType6 = 0;
    int32_t isBordVis1 = 0; // 284 ... 289
    int32_t isBordVis2 = 0;
    int32_t isBordVis3 = 0;
    int32_t isBordVis4 = 0;
    int32_t isBordVis5 = 0;
    int32_t isBordVis6 = 0;
    int32_t BordColor1 = 0; // 64 ... 69
    int32_t BordColor2 = 0;
    int32_t BordColor3 = 0;
    int32_t BordColor4 = 0;
    int32_t BordColor5 = 0;
    int32_t BordColor6 = 0;
};

class TDxfTableStyle : public TDxfObject {
public:
    // The type is set by the reader, from the file.
    explicit TDxfTableStyle(const std::string& AObjectType);

    TDxfTableCell* AddCell();
    void Clear();

    std::string SubClass2;     // 100
    int32_t VerNum = 0;        // first 280
    std::string Descr;         // 3
    int32_t FlowDir = 0;       // 70
    int32_t Flags = 0;         // 71
    double HorzMargin = 0.0;   // 40
    double VertMargin = 0.0;   // 41
    int32_t isTitleSupp = 0;   // second 280
    int32_t isColHeadSupp = 0; // 281
    std::vector<std::unique_ptr<TDxfTableCell>> Cells;
};

class TDxfXRecord : public TDxfObject {
public:
    // The type is set by the reader, from the file.
    explicit TDxfXRecord(const std::string& AObjectType);

    std::string SubClass2; // 100
    int32_t CloneFlag = 0; // 280
    std::unique_ptr<TDxfValuesList> XRec;
};

// ---- The document -----------------------------------------------------------------------------

// A drawing in memory; owns everything in it. Items are only ever appended.
class TDxfFile {
public:
    TDxfTable* AddTable();
    TDxfFileBlock* AddBlock();
    TDxfClass* AddClass();
    // Appends Entity (owned from now on) with no Owner_. None is ignored.
    void AddEntity(std::unique_ptr<TDxfEntity> Entity);
    // Appends Object (owned from now on). None is ignored.
    void AddObject(std::unique_ptr<TDxfObject> Object);
    // Frees every table and entity; header, classes, blocks and objects stay.
    void Clear();

    TDxfHeader header;
    std::vector<std::unique_ptr<TDxfClass>> classes;
    std::vector<std::unique_ptr<TDxfTable>> tables;
    std::vector<std::unique_ptr<TDxfEntity>> entities; // the ENTITIES section
    std::vector<std::unique_ptr<TDxfFileBlock>> blocks;
    std::vector<std::unique_ptr<TDxfObject>> objects;
};

} // namespace vendrel
