#pragma once
// A project record holding every kind of object the window keeps, over the sample library's models.

#include "files/project_file.h"
#include "files/record_enums.h"

#include <string>
#include <vector>

namespace vendrel::testing {

template <typename E> E Ord(int v) {
    return static_cast<E>(v);
}

inline rPRJArrayItem CabItem(const char* model, const char* variant, int preset, int process) {
    rPRJArrayItem item;
    item.ClassName = "TCabinet";
    item.ModelName = model;
    item.VariantName = variant;
    item.BrandName = "Sample Acoustics";
    item.Active = true;
    item.IntPresetid = preset;
    item.ExtDSPid = process;
    item.CoverageIndex = 0;
    return item;
}

inline TDspCabinet ProcessBlob(const std::string& name, double gain, int32_t delay,
                               std::vector<rPeq> sections) {
    TDspCabinet b;
    b.Header.ModelName = "Vendrel";
    b.Header.ProjectName = name;
    b.Header.NOutputs = 1;
    b.Header.SampleRate = Ord<TSampleRate>(1);
    b.HasOutputGain = true;
    b.OutputGain = {rGain{1, 0, gain}};
    b.HasOutputDelay = true;
    b.OutputDelay = {delay};
    b.HasOutputPeq = true;
    b.OutputPeq = {rPeqs{false, std::move(sections)}};
    return b;
}

// A project of every kind the window keeps: three layers, two processes, a loose cabinet, a line
// array with frame, cabinets and a spacer, a cluster, a beam-steering array, a textured zone and a
// drawn outline, and an ornament. Values sit where the program keeps them (quantised gains and Qs,
// cameras as the views leave them), so that a save of the opened project can store them unchanged.
inline rProjectFile EveryKind() {
    rProjectFile p;
    p.Header.SoftType = "Vendrel";
    p.Header.FileMajorVer = kProjectFileMajorVer;
    p.Header.MajorVersion = 3;
    p.Header.MinorVersion = 1;
    p.Header.ReleaseVersion = 0;
    p.Header.BuildVersion = 123;
    rPRJStaticDataFile& s = p.GlobalStaticData;
    s.InstallationName = "Hall";
    s.GPSCoordinates = "48.87N 2.30E";
    s.PRJCreatedBy = "Engineer";
    s.PRJDescription = "Every kind";
    s.VenueLength = 40;
    s.VenueHeightVer = 15;
    s.VenueWidthHor = 30;
    s.MappingColorsRes = 300;
    s.MappingBandsType = Ord<TMappingBands>(2);
    s.FreqToEvaluate = 1000;
    s.SelectedFreqPoint = 4;
    s.ViewType = Ord<TViewType>(1);
    s.RefreshTimeMsec = 500;
    s.RenderQuality = Ord<TRenderQuality>(1);
    s.MaxdBSPL = 110;
    s.RangedBSPL = 36;
    s.PressureSumType = Ord<TPressureSumType>(1);
    s.ColorMapStepsdB = 3;
    s.MappingColors = "MapFire";
    s.AvoidPhaseAliasing = true;
    s.Weighting = Ord<TWeightening>(1);
    s.DistributionStepsdB = 6;
    s.ZonasCrecenParriba = true;
    s.NewLayerColorID = 3;
    s.NewMicColorID = 2;
    s.NewOverlaysColorID = 7;
    s.ActiveLayer = 1;
    s.CameraSide = {"Side Camera", {0, 0, 0}, {2, -3, -400}, {0, 0, 0}, 1, 0, 180};
    s.CameraTop = {"Top Camera", {0, 0, 0}, {1, 4, -380}, {0, 0, 0}, 1, 270, 0};
    s.Camera3D = {"3D Camera", {-20, 30, 0}, {0, -2, -40}, {0, 0, 0}, 23, 0, 0};
    s.CameraFront = {"Front Camera", {0, 0, 0}, {0, 1, -300}, {0, 0, 0}, 1, 0, 90};

    p.Layers = {{"Layer 0 (Global)", 0, 0xFFFF00FF, false, true, true},
                {"Stage", 1, 0xFF00FF00, false, true, true},
                {"Hall", 2, 0xFF0000FF, true, true, true}};
    p.DSPProcess = {ProcessBlob("Front fill", 3.0, 48,
                                {{true, Ord<TPeqType>(0), 125, -3.0, 1.0},
                                 {true, Ord<TPeqType>(0), 2000, 2.0, 2.0},
                                 {false, Ord<TPeqType>(0), 8000, 0.0, 0.7}}),
                    ProcessBlob("Delay", -6.0, 960, {{true, Ord<TPeqType>(0), 63, 4.5, 1.5}})};
    p.ProcessActive = {true, false};

    rPRJCabinet cab;
    cab.ModelName = "SP12";
    cab.BrandName = "Sample Acoustics";
    cab.Position = {3, -4, 5};
    cab.Rotation = {0, 30, -10};
    cab.Active = true;
    cab.IntPresetid = 2;
    cab.ExtDSPid = 1;
    cab.LayerID = 1;
    p.Cabinets = {cab};

    rPRJCabArray array;
    array.ClusterName = "Main L";
    array.Position = {-6, -9, 2};
    array.Rotation = {0, 15, 0};
    array.Tilt = -4;
    array.Mounting = Ord<TArrayMounting>(0);
    array.Active = true;
    array.CableWeightPerMeter = 1.5;
    array.IncludeCableInCalculation = true;
    array.NMotors = 2;
    array.OriginType = Ord<TOriginType>(1);
    rPRJArrayItem frame;
    frame.ClassName = "TRiggingFrame";
    frame.ModelName = "LA10-Frame";
    frame.IntPresetid = -1;
    frame.ExtDSPid = -1;
    frame.CoverageIndex = -1;
    frame.Rotation = {0, 0, 4}; // the array's tilt turns its first element
    rPRJArrayItem dummy;
    dummy.ClassName = "TQzDummy";
    dummy.IntPresetid = -1;
    dummy.ExtDSPid = -1;
    dummy.CoverageIndex = -1;
    array.ItemList = {frame, CabItem("LA10", "90", 1, 2), CabItem("LA10", "90", 1, 0), dummy,
                      CabItem("LA10", "90", 1, 2)};
    array.LayerID = 2;
    p.CabArrays = {array};

    rPRJCluster cluster;
    cluster.ModelName = "SB18";
    cluster.BrandName = "Sample Acoustics";
    cluster.ClusterName = "Subs";
    cluster.Position = {0, 0, 8};
    cluster.Rotation = {0, 90, 0};
    cluster.ClusterMounting = Ord<TArrayMounting>(2);
    cluster.ClusterDistribution = Ord<TClusterDistribution>(1);
    cluster.Active = true;
    cluster.LinearHSpace = 0.5f;
    cluster.QuantityH = 2;
    cluster.QuantityV = 1;
    cluster.LayerID = 1;
    cluster.CabinetList = {CabItem("", "", 1, 2), CabItem("", "", 1, 0)};
    for (auto& item : cluster.CabinetList) {
        item.ModelName.clear();
        item.VariantName.clear();
        item.BrandName.clear();
    }
    p.Clusters = {cluster};

    rPRJBeamSteering beam;
    beam.Main = cluster;
    beam.Main.ModelName = "CL8";
    beam.Main.BrandName.clear();
    beam.Main.ClusterName = "Column";
    beam.Main.ClusterMounting = Ord<TArrayMounting>(3);
    beam.Main.QuantityH = 1;
    beam.Main.QuantityV = 2;
    beam.Main.LayerID = 1; // the layer selected when the file is read
    beam.Main.CabinetList = {cluster.CabinetList[0], cluster.CabinetList[1]};
    beam.SingleBeams = {{"Upper", 5.0f, true, true, 2.5f}, {"Lower", -10.0f, false, true, 0.0f}};
    p.Beams = {beam};

    rPRJMeasure mic;
    mic.IDnumber = 0;
    mic.Name = "FOH";
    mic.Visible = true;
    mic.Position = {0, -1.5f, 20};
    mic.Color = 0xFFFF8000;
    mic.MicDelay_ms = 12.5f;
    mic.LayerID = 1;
    rPRJMeasure hidden = mic;
    hidden.IDnumber = 1;
    hidden.Name = "Balcony";
    hidden.Visible = false;
    hidden.MicDelay_ms = 0;
    hidden.LayerID = 0;
    p.Measures = {mic, hidden};

    rPRJMappingZone zone;
    zone.ZoneName = "Floor";
    zone.Position = {-10, 0, 0};
    zone.Width = 20;
    zone.Depth = 10;
    zone.Height = 0.125;
    zone.Active = true;
    zone.ZoneType = Ord<TSurfaceType>(0);
    zone.MappingSides = Ord<TMappingSides>(1);
    zone.TLXRadius = zone.TLYRadius = zone.TRXRadius = zone.TRYRadius = 2;
    zone.BLXRadius = zone.BLYRadius = zone.BRXRadius = zone.BRYRadius = 2;
    zone.ListenLevel = 1.25;
    zone.TrapezWidth1 = zone.TrapezWidth2 = 1e-5;
    zone.ImageTextureType = Ord<TTextureType>(0);
    zone.ImgTextureOpacity = 0.5;
    zone.ImgTextureColor = 0xFF808080;
    zone.ImgTranspTolerance = 35;
    zone.ImageFileName = "floor.png";
    zone.IsTextureSideFront = true;
    zone.RefEndPointX = 4;
    zone.RefLength = 10;
    zone.LayerID = 2;
    rPRJMappingZone outline = zone;
    outline.ZoneName = "Balcony";
    outline.ZoneType = Ord<TSurfaceType>(2);
    outline.Position = {5, -3, 12};
    outline.ListenLevel = 0;
    outline.ImageTextureType = Ord<TTextureType>(2);
    outline.ImageFileName.clear();
    outline.ImgTextureOpacity = 1;
    outline.RefEndPointX = 0;
    outline.RefLength = 0;
    outline.PolygonPoints = {{0, 0, 0}, {8, 0, 0}, {8, 4, 0}};
    outline.LayerID = 0;
    p.MappingZones = {zone, outline};

    rPRJOrnament orna;
    orna.Name = "Truss";
    orna.ModelName = "Truss Block";
    orna.Position = {1, -6, 3};
    orna.Rotation = {0, 45, 0};
    orna.Width = 2;
    orna.Height = 0.3f;
    orna.Depth = 0.3f;
    orna.Visible = true;
    orna.LayerID = 1;
    p.Ornaments = {orna};

    s.NLayers = static_cast<int32_t>(p.Layers.size());
    s.NDSPProcess = static_cast<int32_t>(p.DSPProcess.size());
    s.NCabinets = 1;
    s.NCabArrays = 1;
    s.NClusters = 1;
    s.NBeams = 1;
    s.NMappingZones = 2;
    s.NOrnaments = 1;
    s.NMics = 2;
    s.NCabsInProject = 1 + 3 + 2 + 2;
    return p;
}

} // namespace vendrel::testing
