#pragma once
// Sample records holding one of every element, with distinct values in every field so that a field
// out of place shows. make_record_fixtures.py writes the same values into tests/files/fixtures.

#include "files/dsp_cabinet.h"
#include "files/overlay_file.h"
#include "files/project_file.h"
#include "files/system_file.h"
#include "files/venue_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vendrel::samples {

inline const std::string kSoftware = "Vendrel Test";

// An enumeration value by its ordinal (the names are in files/record_enums.h).
template <typename E> constexpr E Ord(int v) {
    return static_cast<E>(v);
}

inline std::vector<uint8_t> Fixture(const std::string& name) {
    std::ifstream in(std::filesystem::path(TEST_DATA_DIR) / "fixtures" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline rPRJHeaderFile Header(int32_t major) {
    rPRJHeaderFile h;
    h.SoftType = kSoftware;
    h.FileMajorVer = major;
    h.MajorVersion = 1;
    h.MinorVersion = 4;
    h.ReleaseVersion = 2;
    h.BuildVersion = 7;
    return h;
}

inline rPRJCabinet Cabinet(const std::string& model = "Line 12 – Top") {
    rPRJCabinet c;
    c.ModelName = model;
    c.VariantName = "90x10";
    c.Position = {1.5f, -2.25f, 3};
    c.Rotation = {0, 45, -10};
    c.Active = true;
    c.IsLocked = true;
    c.PlacementType = Ord<TCabPlacement>(1);
    c.CoverageIndex = 2;
    c.IntPresetid = 7;
    c.ExtDSPid = 1;
    c.LayerID = 1;
    c.AcousticMaterialName = "Felt";
    c.BrandName = "Brand Ü";
    return c;
}

inline rPRJArrayItem Item(std::string cls, std::string model, std::string variant, TPoint3D rot, bool active,
                          int32_t preset, int32_t ext, int direction, int32_t coverage, std::string material,
                          std::string brand) {
    rPRJArrayItem i;
    i.ClassName = std::move(cls);
    i.ModelName = std::move(model);
    i.VariantName = std::move(variant);
    i.Rotation = rot;
    i.Active = active;
    i.IntPresetid = preset;
    i.ExtDSPid = ext;
    i.CabDirection = Ord<TCabDirection>(direction);
    i.CoverageIndex = coverage;
    i.AcousticMaterialName = std::move(material);
    i.BrandName = std::move(brand);
    return i;
}

inline rPRJCabArray CabArray() {
    rPRJCabArray a;
    a.ClusterName = "Main L";
    a.Position = {0, -8, 4};
    a.Rotation = {0, -15, 0};
    a.Tilt = -2.5;
    a.Mounting = Ord<TArrayMounting>(1);
    a.Active = true;
    a.CableWeightPerMeter = 1.25;
    a.IncludeCableInCalculation = true;
    a.NMotors = 2;
    a.OriginType = Ord<TOriginType>(1);
    a.OriginPoint = {0.5f, -9, 4};
    a.ItemList = {Item("TRiggingFrame", "Frame A", "", {0, 0, 0}, true, -1, -1, 0, -1, "", ""),
                  Item("TCabinet", "Line 12", "90x10", {0, 0, -3}, true, 2, 0, 1, 1, "Wood", "Brand")};
    a.LayerID = 2;
    return a;
}

inline rPRJCluster Cluster() {
    rPRJCluster c;
    c.ModelName = "Sub 18";
    c.VariantName = "Cardioid";
    c.ClusterName = "Subs";
    c.Position = {2, 0.5f, -1};
    c.Rotation = {0, 90, 0};
    c.ClusterMounting = Ord<TArrayMounting>(4);
    c.ClusterDistribution = Ord<TClusterDistribution>(3);
    c.CabOrientation = Ord<TCabPlacement>(1);
    c.Active = true;
    c.IsSelected = true;
    c.IsSubArrangement = true;
    c.SubArrangementType = Ord<TSubArrangementType>(4);
    c.CabinetList = {Item("TCabinet", "", "", {0, 0, 0}, true, 0, 1, 1, 0, "", "")};
    c.AngularHAngle = 5;
    c.AngularVAngle = 2.5f;
    c.AngularRadius = 3.75f;
    c.LinearHSpace = 0.6f;
    c.LinearVSpace = 0.7f;
    c.QuantityH = 3;
    c.QuantityV = 1;
    c.LayerID = 1;
    c.IsInvDirection = true;
    c.BrandName = "Brand";
    return c;
}

inline rPRJBeamSteering Beam() {
    rPRJBeamSteering b;
    rPRJCluster& m = b.Main;
    m.ModelName = "Column";
    m.ClusterName = "Beam 1";
    m.Position = {0, -3, 6};
    m.Rotation = {0, 180, 0};
    m.ClusterDistribution = Ord<TClusterDistribution>(1);
    m.Active = true;
    m.IsLocked = true;
    m.CabinetList = {Item("TCabinet", "", "", {0, 0, 0}, true, 0, 0, 0, 0, "", ""),
                     Item("TCabinet", "", "", {0, 0, 0}, false, 0, 0, 0, 0, "", "")};
    m.LinearVSpace = 0.25f;
    m.QuantityH = 1;
    m.QuantityV = 2;
    b.SingleBeams = {{"Upper", 12.5f, true, true, 7.5f}, {"Lower", -4, false, true, -3.0f}};
    return b;
}

inline rPRJMappingZone Zone() {
    rPRJMappingZone z;
    z.ZoneName = "Stalls";
    z.Position = {-10, 0, 5};
    z.Rotation = {0, 0, 2.5f};
    z.Width = 20;
    z.Depth = 15.5;
    z.Height = 0.1;
    z.Active = true;
    z.IsLocked = true;
    z.ZoneType = Ord<TSurfaceType>(2);
    z.MappingSides = Ord<TMappingSides>(2);
    z.CornerTopLeft = true;
    z.TLXRadius = 2;
    z.TLYRadius = 1.5;
    z.TLCornerType = Ord<TCornerType>(2);
    z.TRXRadius = 0.5;
    z.TRYRadius = 0.25;
    z.TRCornerType = Ord<TCornerType>(1);
    z.CornerBotLeft = true;
    z.BLXRadius = 3;
    z.BLYRadius = 3;
    z.BLCornerType = Ord<TCornerType>(3);
    z.BRXRadius = 1;
    z.BRYRadius = 1;
    z.ListenLevel = 1.2;
    z.TrapezWidth1 = 10;
    z.TrapezWidth2 = 12;
    z.TrapezHeight = 8;
    z.ImgTextureOpacity = 0.75;
    z.ImgTextureRot = 90;
    z.ImgTextureColor = 0xFF336699;
    z.ImageTextureHasTransparecy = true;
    z.ImgTransparentColor = 0xFFFFFFFF;
    z.ImgTranspTolerance = 12;
    z.ImageTextureLibName = "Carpet";
    z.ImageFileName = "floor.png";
    z.LayerID = 3;
    z.AcousticMaterialName = "Audience";
    z.PolygonPoints = {{0, 0, 0}, {20, 0, 0}, {10, 15, 0}};
    z.IsTextureSideFront = true;
    z.IsTextureSideBack = true;
    z.RefBeginPointX = 1;
    z.RefBeginPointY = 2;
    z.RefEndPointX = 3;
    z.RefEndPointY = 4;
    z.RefLength = 5;
    return z;
}

inline rPRJMappingZone RectangleZone() {
    rPRJMappingZone z = Zone();
    z.ZoneType = Ord<TSurfaceType>(0);
    z.PolygonPoints.clear();
    return z;
}

inline rPRJMappingZone BalconyZone() {
    rPRJMappingZone z;
    z.ZoneName = "Balcony";
    z.Position = {0, -6, 20};
    z.Rotation = {-10, 0, 0};
    z.Width = 18;
    z.Depth = 5;
    z.Height = 0.2;
    z.Active = true;
    z.IsSelected = true;
    z.ZoneType = Ord<TSurfaceType>(1);
    z.MappingSides = Ord<TMappingSides>(1);
    z.ListenLevel = 1.1;
    z.TrapezWidth1 = 16;
    z.TrapezWidth2 = 18;
    z.TrapezHeight = 5;
    z.ImageTextureType = Ord<TTextureType>(2);
    z.ImgTextureOpacity = 1;
    z.ImgTextureColor = 0xFF202020;
    return z;
}

// A zone as the older layout keeps it: what it lacks reads as zero.
inline rPRJMappingZone AsOldZone(rPRJMappingZone z) {
    z.IsLocked = false;
    z.LayerID = 0;
    z.AcousticMaterialName.clear();
    z.PolygonPoints.clear();
    z.IsTextureSideFront = z.IsTextureSideShaft = z.IsTextureSideBack = false;
    z.RefBeginPointX = z.RefBeginPointY = z.RefEndPointX = z.RefEndPointY = z.RefLength = 0;
    return z;
}

inline rPRJLight Light() {
    return {"Key", Ord<TLightType>(2), 0xFFFFEEDD, 30, 2, true, {1, 2, 3}, {4, 5, 6}};
}

inline rPRJMeasure Measure() {
    return {3, "FOH", true, {0, -1.2f, 25}, 0xFF00FF00, 12.5f, 4};
}

inline rPRJSubArrangement SubArrangement() {
    rPRJSubArrangement s;
    s.Name = "Cardioid pair";
    s.Position = {3, 0, 2};
    s.ArrangementType = Ord<TSubArrangementType>(2);
    s.Active = true;
    s.ItemList = {Item("TCabinet", "Sub 18", "", {0, 180, 0}, true, 3, 2, 0, 0, "", "Brand")};
    return s;
}

inline std::vector<rPRJLayer> Layers() {
    return {{"Layer 0 (Global)", 0, 0xFF808080, false, true, true},
            {"Rigging", 1, 0xFFFF0000, true, false, false}};
}

inline rPRJOrnament Ornament() {
    rPRJOrnament o;
    o.Name = "Stage";
    o.ModelName = "Stage Deck";
    o.Position = {0, 0, -2};
    o.Width = 12;
    o.Height = 1.2f;
    o.Depth = 8;
    o.Visible = true;
    o.IsLocked = true;
    o.LayerID = 1;
    o.AcousticMaterialName = "Wood";
    return o;
}

inline rPRJOverlay Overlay() {
    rPRJOverlay o;
    o.IDnumber = 1;
    o.Name = "Measured FOH";
    o.Visible = true;
    o.Color = 0xFF0000FF;
    o.NPointsSaved = 3;
    o.MagData[0] = 90;
    o.MagData[1] = 91.5;
    o.MagData[2] = 93;
    o.PhaseData[0] = -10;
    o.PhaseData[2] = 45;
    return o;
}

inline rPRJOverlay SimulationOverlay() {
    rPRJOverlay o;
    o.IDnumber = 2;
    o.Name = "Simulation";
    o.IsSelected = true;
    o.Color = 0xFFFF8000;
    o.NPointsSaved = 1001;
    for (size_t k = 0; k < kOverlayPoints; ++k) {
        o.MagData[k] = 0.25 * static_cast<double>(k);
        o.PhaseData[k] = -0.5 * static_cast<double>(k);
    }
    return o;
}

inline rPeq Peq(bool active, int type, int32_t freq, double gdb, double q) {
    return {active, Ord<TPeqType>(type), freq, gdb, q};
}

inline rXoverIIR Xover(bool active, int type, int32_t fc, int32_t order, int hplp) {
    return {active, Ord<TXoverType>(type), fc, order, Ord<TXoverHPLP>(hplp)};
}

// A user DSP process as the program stores it: one output with gain, delay and a PEQ bank.
inline TDspCabinet ProcessBlob() {
    TDspCabinet b;
    b.Header.ModelName = kSoftware;
    b.Header.ProjectName = "EQ Mains";
    b.Header.NOutputs = 1;
    b.Header.SampleRate = Ord<TSampleRate>(1);
    b.HasOutputGain = true;
    b.OutputGain = {{1, 0, -3.5}};
    b.HasOutputDelay = true;
    b.OutputDelay = {48};
    b.HasOutputPeq = true;
    b.OutputPeq = {{false, {Peq(true, 1, 100, -2.5, 1.4), Peq(false, 5, 8000, 3, 0.7)}}};
    return b;
}

// A blob with every list present: one input, one output.
inline TDspCabinet RichBlob() {
    TDspCabinet b;
    rDSPHeaderFile& h = b.Header;
    h.FileMajorVer = 2;
    h.FileMinorVer = 1;
    h.BrandName = "Brand";
    h.ModelName = kSoftware;
    h.ProjectName = "All lists";
    h.Engineer = "Eng";
    h.Comments = "Every list present";
    h.MajorVersion = 1;
    h.MinorVersion = 2;
    h.ReleaseVersion = 3;
    h.BuildVersion = 4;
    h.NUses = 1;
    h.NPresets = 1;
    h.NOutputs = 1;
    h.SampleRate = Ord<TSampleRate>(2);
    h.PresetMajorVer = 5;
    h.PresetMinorVer = 6;
    h.PresetReleaseVern = 7;
    h.PresetBuildVer = 8;
    b.HasUsesName = b.HasUsesInfo = b.HasUsesGain = b.HasUsesDelay = b.HasUsesXover = true;
    b.HasUsesGeq = b.HasUsesPeq = b.HasUsesAirComp = b.HasUsesFir = true;
    b.HasOutputName = b.HasOutputGain = b.HasOutputDelay = b.HasOutputGeq = b.HasOutputPeq = true;
    b.HasOutputXover = b.HasOutputAirComp = b.HasOutputFir = b.HasOutputDynRMS = b.HasOutputDynPeak = true;
    b.HasOutputType = b.HasOutputSpeakerParams = b.HasOutputMeasureSystem = true;
    b.UsesName = {"In A"};
    b.UsesInfo = {"Left input"};
    b.UsesGain = {{0, 1, 2.5}};
    b.UsesDelay = {12};
    b.UsesXover = {{Xover(true, 0, 80, 2, 1), Xover(true, 1, 18000, 4, 0)}};
    rGeq inGeq{true, Ord<TGeqType>(1), Ord<TGeqBands>(3), {}};
    for (int k = 0; k < 10; ++k) {
        inGeq.Gains.push_back(-4.5 + 0.5 * k);
    }
    b.UsesGeq = {inGeq};
    b.UsesPeq = {{false, {Peq(true, 2, 250, -1.5, 2)}}};
    b.UsesAirComp = {{true, 40, 22.5, 30}};
    rFir fir;
    fir.Active = true;
    fir.FirType = Ord<TFIRType>(5);
    fir.fc1 = 100;
    fir.fc2 = 1000;
    fir.hplp = 1;
    fir.AutoLatency = true;
    fir.MgPoints = {Peq(true, 1, 500, 3, 1)};
    fir.MgXoverHP = Xover(true, 1, 50, 4, 1);
    fir.PhPoints = {{true, Ord<TPointFirType>(1), 2000, -45, 0.7, true}};
    fir.Coefs = {0.5, -0.25, 0.125};
    b.UsesFir = {fir};
    b.OutputName = {"Out 1"};
    b.OutputGain = {{1, 0, -6}};
    b.OutputDelay = {96};
    rGeq outGeq{false, Ord<TGeqType>(0), Ord<TGeqBands>(2), {}};
    for (int k = 0; k < 15; ++k) {
        outGeq.Gains.push_back(0.25 * k);
    }
    b.OutputGeq = {outGeq};
    b.OutputPeq = {{}};
    b.OutputXover = {{Xover(true, 2, 100, 3, 1), Xover(true, 2, 5000, 3, 0)}};
    b.OutputAirComp = {{false, 50, 20, 10}};
    b.OutputFir = {rFir{}};
    rDynRMS rms{true, Ord<TDynType>(1),      3, true, -60, true, 500, 28.28, 0.005, 0.01, 0.2, -3, 6,
                4,    Ord<TThresholdType>(2)};
    b.OutputDynRMS = {{{{Xover(true, 1, 60, 4, 1), Xover(true, 1, 120, 4, 0)}}, {rms}}};
    rDynPeak peak{true, false, 800, 40, 0.002, 0.05, 0, 3, Ord<TThresholdType>(1)};
    b.OutputDynPeak = {{{TXoverPair{}}, {peak}}};
    b.OutputType = {{Ord<TWayType>(3), true}};
    b.OutputSpeakerParams = {{600, 1200, true, 2, 1.5, 3.52, Ord<TSPKImpedance>(4), 8.0, true}};
    b.OutputMeasureSystems = {
        {Ord<TMeasureSystemBrand>(16), 94.0, {100, 1000}, {90, 95}, {0.1, -0.2}, {0.1, -6.4}}};
    b.ReferenceChannel = 1;
    b.OpenClosePswAct = true;
    b.OpenClosePsw = {'a', 'b', '1', '2', 'C', 'D'};
    b.EndUserAllowInputDspControl = 1;
    return b;
}

inline rProjectFile Project() {
    rProjectFile p;
    p.Header = Header(kProjectFileMajorVer);
    rPRJStaticDataFile& s = p.GlobalStaticData;
    s.InstallationName = "Salle Pleyel – Bühne";
    s.GPSCoordinates = "48.87N 2.30E";
    s.PRJCreatedBy = "A. Engineer";
    s.PRJDescription = "Test project with one of every element";
    s.VenueLength = 40;
    s.VenueHeightVer = 15;
    s.VenueWidthHor = 30;
    s.MappingColorsRes = 64;
    s.MappingBandsType = Ord<TMappingBands>(4);
    s.FreqToEvaluate = 1000;
    s.SelectedFreqPoint = 30;
    s.ViewType = Ord<TViewType>(2);
    s.ZeroPhaseStart = true;
    s.ContinuousRender = true;
    s.RefreshTimeMsec = 500;
    s.RenderQuality = Ord<TRenderQuality>(3);
    s.SPLNormalized = true;
    s.MaxdBSPL = 110.5;
    s.RangedBSPL = 30;
    s.MaxPhase = 180;
    s.MinPhase = -180;
    s.PressureSumType = Ord<TPressureSumType>(1);
    s.ColorMapStepsdB = 3;
    s.MappingColors = "MapFire";
    s.MaxAuto = true;
    s.GenNoiseType = Ord<TGenNoiseType>(1);
    s.GenGain = -6.5f;
    s.NCabsInProject = 6;
    s.NCabinets = s.NCabArrays = s.NMappingZones = s.NMics = s.NLights = s.NDSPProcess = 1;
    s.NSubArrangements = s.NOrnaments = s.NClusters = 1;
    s.NLayers = 2;
    s.CameraSide = {"Side", {0, 0, 0}, {-30, 0, 0}, {0, 90, 0}, 45, 10, 20};
    s.CameraTop = {"Top", {0, 0, 0}, {0, -30, 0}, {90, 0, 0}, 40, 0, 0};
    s.Camera3D = {"3D", {15, -20, 0}, {0, -5, -40}, {0, 0, 0}, 35, 0, 0};
    s.CameraFront = {"Front", {0, 0, 0}, {0, 0, -30}, {0, 0, 0}, 50, 1.5f, -2.5f};
    s.AvoidPhaseAliasing = true;
    s.ActiveLayer = 1;
    s.NOverlays = 1;
    s.Weighting = Ord<TWeightening>(1);
    s.DistributionStepsdB = 3;
    s.ZonasCrecenParriba = true;
    s.NBeams = 1;
    s.NewLayerColorID = 2;
    s.NewMicColorID = 5;
    s.NewOverlaysColorID = 1;
    p.Cabinets = {Cabinet()};
    p.CabArrays = {CabArray()};
    p.Clusters = {Cluster()};
    p.Beams = {Beam()};
    p.MappingZones = {Zone()};
    p.Lights = {Light()};
    p.Measures = {Measure()};
    p.ProcessActive = {true};
    p.DSPProcess = {ProcessBlob()};
    p.SubArrangements = {SubArrangement()};
    p.Layers = Layers();
    p.Ornaments = {Ornament()};
    p.OverlaysSize = kOverlaySizeCounted;
    p.Overlays = {Overlay()};
    return p;
}

inline rVenueFile Venue() {
    rVenueFile v;
    v.Header.SoftType = "Other Program";
    v.Header.FileMajorVer = kVenueFileMajorVer;
    v.Header.MajorVersion = 1;
    v.Header.MinorVersion = 4;
    v.Header.AllowToUSeInOtherVersions = true;
    v.GlobalStaticData = {25, 12, 18, 2, 3, 1};
    v.MappingZones = {RectangleZone(), BalconyZone()};
    v.Layers = Layers();
    v.Layers.push_back({"Delay towers", 2, 0xFF00FFFF, false, true, false});
    v.Ornaments = {Ornament()};
    return v;
}

// What the older venue fixtures read as.
inline rVenueFile OldVenue(bool withZones) {
    rVenueFile v;
    v.Header.SoftType = kSoftware;
    v.Header.FileMajorVer = 2;
    v.Header.MajorVersion = 1;
    v.Header.MinorVersion = 3;
    v.Header.ReleaseVersion = 5;
    v.GlobalStaticData = {25, 12, 18, withZones ? 2 : 0, 0, 0};
    if (withZones) {
        v.MappingZones = {AsOldZone(RectangleZone()), AsOldZone(BalconyZone())};
    }
    return v;
}

inline rSysHeaderFile SysHeader(std::string name, std::string description, uint8_t update) {
    rSysHeaderFile h;
    h.SoftType = kSoftware;
    h.FileMajorVer = kSystemFileMajorVer;
    h.MajorVersion = 1;
    h.MinorVersion = 4;
    h.ReleaseVersion = 2;
    h.BuildVersion = 7;
    h.Name = std::move(name);
    h.Description = std::move(description);
    h.UpdateVersion = update;
    return h;
}

inline rSystemStaticDataFile SystemStatic() {
    rSystemStaticDataFile s;
    s.NumID = 1;
    s.Depth = 2;
    s.Height = 1;
    s.Width = 4;
    s.CenterPoint = {0, -1, 0};
    s.Position = {5, 0, 0};
    s.Rotation = {0, 90, 0};
    return s;
}

inline rSystemFile SystemTwoCabinets() {
    rSystemFile f;
    f.Header = SysHeader("Club system", "Two tops – demo", 3);
    f.GlobalStaticData = SystemStatic();
    f.GlobalStaticData.NCabinets = 2;
    f.Cabinets = {Cabinet(), Cabinet("Line 12 – Top R")};
    return f;
}

inline rSystemFile SystemFull() {
    rSystemFile f;
    f.Header = SysHeader("Full system", "Every section", 1);
    rSystemStaticDataFile& s = f.GlobalStaticData;
    s = SystemStatic();
    s.NClusters = s.NMappingZones = s.NOrnaments = 1;
    s.HasSystemImage = true;
    f.SystemImage = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x2A};
    s.SizeSystemImage = static_cast<int32_t>(f.SystemImage.size());
    s.NDSPs = 1;
    s.NBeams = 1;
    f.Clusters = {Cluster()};
    f.MappingZones = {Zone()};
    f.Ornaments = {Ornament()};
    f.ProcessActive = {false};
    f.DSPProcess = {RichBlob()};
    f.Beams = {Beam()};
    return f;
}

inline rOverlayFile OverlayFile() {
    rOverlayFile f;
    f.Header = Header(kOverlayFileMajorVer);
    f.NOverlays = 2;
    f.Overlays = {Overlay(), SimulationOverlay()};
    return f;
}

} // namespace vendrel::samples
