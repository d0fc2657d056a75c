#include "files/scene_records.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/response_grids.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/user_preset.h"
#include "dsp/biquad.h"
#include "dsp/complex.h"
#include "dsp/dsp_space.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <optional>
#include <set>
#include <system_error>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

// Gain limit of a user process's PEQ sections, dB (the process's own sections carry it).
constexpr double kProcessSectionMaxGain = 18.0;

int32_t layerNumber(const TQzControl3D& object) {
    return object.MyLayer() != nullptr ? object.MyLayer()->NumID() : 0;
}

TPoint3D wrapped(const TPoint3D& angles) {
    return {static_cast<float>(WrapDegrees180(angles.X)), static_cast<float>(WrapDegrees180(angles.Y)),
            static_cast<float>(WrapDegrees180(angles.Z))};
}

int32_t presetNumber(const TCabinet& cabinet, int32_t none) {
    return cabinet.InternalDSPPreset() != nullptr ? cabinet.InternalDSPPreset()->NumberID() : none;
}

int32_t processNumber(const TCabinet& cabinet) {
    return cabinet.ExternalDSPProcess() != nullptr ? cabinet.ExternalDSPProcess()->NumberID() : 0;
}

// The items of a cluster's (or beam-steering array's) cabinets: a cabinet without a preset keeps 0.
std::vector<rPRJArrayItem> clusterItems(const TCluster& cluster) {
    std::vector<rPRJArrayItem> items;
    items.reserve(cluster.CabinetList().size());
    for (const TCabinet* cab : cluster.CabinetList()) {
        rPRJArrayItem item;
        item.ClassName = "TCabinet";
        item.Active = cab->Active();
        item.IntPresetid = presetNumber(*cab, 0);
        item.ExtDSPid = processNumber(*cab);
        item.CabDirection = cab->CabDirection();
        item.CoverageIndex = cab->HornRotationIndex();
        items.push_back(std::move(item));
    }
    return items;
}

void fillCluster(const TCluster& c, rPRJCluster& r, bool withBrand) {
    r = rPRJCluster{};
    if (const TCabModel* model = c.Model()) {
        r.ModelName = model->ModelName();
        r.VariantName = model->VariantName();
        if (withBrand) {
            r.BrandName = model->Manufacturer();
        }
    }
    r.ClusterName = c.Name();
    r.Position = c.Position();
    r.Rotation = wrapped(c.RotationAngle());
    r.ClusterMounting = c.ClusterMounting();
    r.ClusterDistribution = c.ClusterDistribution();
    r.CabOrientation = c.Orientation();
    r.Active = c.Active();
    r.IsSelected = c.IsObjectSelected();
    r.IsLocked = c.IsLocked();
    r.IsSubArrangement = c.IsSubArrangement();
    r.SubArrangementType = c.SubArrangementType();
    r.AngularHAngle = c.AngularHAngle();
    r.AngularVAngle = c.AngularVAngle();
    r.AngularRadius = c.AngularRadius();
    r.LinearHSpace = c.LinearHSpace();
    r.LinearVSpace = c.LinearVSpace();
    r.QuantityH = c.QuantityH();
    r.QuantityV = c.QuantityV();
    r.LayerID = layerNumber(c);
    r.IsInvDirection = c.IsInvDirection();
    r.CabinetList = clusterItems(c);
}

rPRJArrayItem arrayItem(const TControl3D* element) {
    rPRJArrayItem item;
    // Elements are told apart by their exact class, as the stored class name is that class's name.
    if (const auto* frame = dynamic_cast<const TRiggingFrame*>(element)) {
        item.ClassName = "TRiggingFrame";
        if (const TRigFrameModel* model = frame->Model()) {
            item.ModelName = model->ModelName();
            item.VariantName = model->VariantName();
        }
        item.Rotation = frame->RotationAngle();
        item.Active = frame->Active();
        item.IntPresetid = -1;
        item.ExtDSPid = -1;
        item.CoverageIndex = -1;
    } else if (const auto* cab = dynamic_cast<const TCabinet*>(element)) {
        item.ClassName = "TCabinet";
        if (const TCabModel* model = cab->Model()) {
            item.ModelName = model->ModelName();
            item.VariantName = model->VariantName();
            item.BrandName = model->Manufacturer();
        }
        item.Rotation = cab->RotationAngle();
        item.Active = cab->Active();
        item.IntPresetid = presetNumber(*cab, -1);
        item.ExtDSPid = processNumber(*cab);
        item.CabDirection = cab->CabDirection();
        item.CoverageIndex = cab->HornRotationIndex();
    } else if (dynamic_cast<const TQzDummy*>(element) != nullptr) {
        item.ClassName = "TQzDummy";
        item.Rotation = element->RotationAngle();
        item.IntPresetid = -1;
        item.ExtDSPid = -1;
        item.CoverageIndex = -1;
    }
    return item;
}

bool isPictureZone(const TMappingZone& zone) {
    return zone.ImageTextureType() == TTextureType::qzaLoadedImage;
}

// The same file, also when named by two different paths; false when either cannot be resolved.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

fs::path normalised(const fs::path& p) {
    std::error_code ec;
    const fs::path n = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : n;
}

std::string numberedName(const std::string& name, int n) {
    const fs::path p(name);
    return p.stem().string() + " (" + std::to_string(n) + ")" + p.extension().string();
}

} // namespace

void LayerToRecord(rPRJLayer& Record, const TQzLayer& Layer) {
    Record = rPRJLayer{};
    Record.Name = Layer.Name();
    Record.NumID = Layer.NumID();
    Record.Color = Layer.Color;
    Record.IsLocked = Layer.IsLocked();
    Record.Visible = Layer.Visible();
    Record.Active = Layer.Active;
}

void CabinetToSystemRecord(const TCabinet& Cabinet, rPRJCabinet& Record) {
    Record = rPRJCabinet{};
    if (const TCabModel* model = Cabinet.Model()) {
        Record.ModelName = model->ModelName();
        Record.VariantName = model->VariantName();
        Record.BrandName = model->Manufacturer();
    }
    Record.Position = Cabinet.Position();
    Record.Rotation = {static_cast<float>(Cabinet.RotX()), Cabinet.RotationAngle().Y,
                       Cabinet.RotationAngle().Z};
    Record.Active = Cabinet.Active();
    Record.IsSelected = Cabinet.IsObjectSelected();
    Record.IsLocked = Cabinet.IsLocked();
    Record.PlacementType = Cabinet.PlacementType();
    Record.IntPresetid = presetNumber(Cabinet, -1);
    Record.ExtDSPid = processNumber(Cabinet);
    Record.LayerID = layerNumber(Cabinet);
    Record.CoverageIndex = Cabinet.HornRotationIndex();
}

void CabArrayToRecord(const TCabArray& Array, rPRJCabArray& Record) {
    Record = rPRJCabArray{};
    Record.ClusterName = Array.Name();
    Record.Position = Array.Position();
    Record.Rotation = wrapped(Array.RotationAngle());
    Record.Tilt = Array.Tilt();
    Record.Mounting = Array.MountingType();
    Record.Active = Array.Active();
    Record.IsSelected = false;
    Record.IsLocked = Array.IsLocked();
    Record.CableWeightPerMeter = Array.MechanicalData().CableWeightPerMeter;
    Record.IncludeCableInCalculation = Array.MechanicalData().IncludeCableInCalculation;
    Record.NMotors = Array.MechanicalData().NMotors;
    Record.OriginType = Array.OriginType();
    Record.OriginPoint = Array.OriginPoint();
    const auto& list = Array.ArrayList();
    for (size_t i = 1; i < list.size(); ++i) {
        Record.ItemList.push_back(arrayItem(list[i]));
    }
    // The tilt turns the array above its first element; records keep it as that element's Z turn.
    if (!Record.ItemList.empty()) {
        Record.ItemList.front().Rotation.Z = static_cast<float>(-Array.Tilt());
    }
    Record.LayerID = layerNumber(Array);
}

void ClusterToRecord(const TCluster& Cluster, rPRJCluster& Record) {
    fillCluster(Cluster, Record, true);
}

void BeamSteeringToRecord(const TBeamContainer& Container, rPRJBeamSteering& Record) {
    Record = rPRJBeamSteering{};
    fillCluster(Container, Record.Main, false);
    for (const auto& beam : Container.SingleBeams()) {
        rPRJSingleBeam r;
        r.Name = beam->Name();
        r.Angle = beam->Angle();
        r.LobesOptimize = beam->LobesOptimize();
        r.Active = beam->Active();
        r.CurvatureAngle = beam->CurvatureAngle();
        Record.SingleBeams.push_back(std::move(r));
    }
}

void MicToRecord(rPRJMeasure& Record, const TMicPoint& Mic) {
    Record = rPRJMeasure{};
    Record.IDnumber = Mic.IDnumber();
    Record.Name = Mic.Name();
    Record.Visible = Mic.Visible();
    Record.Position = Mic.Position();
    Record.Color = Mic.Color();
    Record.MicDelay_ms = Mic.MicDelay_ms();
    Record.LayerID = CheckedCast<uint8_t>(layerNumber(Mic));
}

void OverlayToRecord(rPRJOverlay& Record, const TOverlay& Overlay) {
    Record = rPRJOverlay{};
    Record.IDnumber = Overlay.IDnumber();
    Record.Name = Overlay.Name();
    Record.Visible = Overlay.Visible();
    Record.IsSelected = false;
    Record.Color = Overlay.Color();
    const std::vector<double>& mag = Overlay.Mag();
    const std::vector<double>& phase = Overlay.Phase();
    Record.NPointsSaved = static_cast<int32_t>(mag.size());
    for (size_t i = 0; i < mag.size(); ++i) {
        At(Record.MagData, static_cast<int64_t>(i)) = mag[i];
        At(Record.PhaseData, static_cast<int64_t>(i)) = i < phase.size() ? phase[i] : 0.0;
    }
}

void OverlayCurvesFromRecord(const rPRJOverlay& Record, TOverlay& Overlay) {
    const std::optional<TFreqBands> saved = ResponseGridWithPoints(Record.NPointsSaved);
    const TFreqBands spacing = saved ? *saved : Overlay.GridSpacing();
    const auto n = std::min(static_cast<size_t>(ResponseGrid(spacing).NRealFreqPoints()), kOverlayPoints);
    std::vector<double> mag(Record.MagData.begin(), Record.MagData.begin() + static_cast<ptrdiff_t>(n));
    std::vector<double> phase(Record.PhaseData.begin(), Record.PhaseData.begin() + static_cast<ptrdiff_t>(n));
    Overlay.SetCurvesOnGrid(spacing, std::move(mag), std::move(phase));
}

void OrnamentToRecord(rPRJOrnament& Record, const TOrnament& Ornament) {
    Record = rPRJOrnament{};
    Record.Name = Ornament.Name();
    if (const TOrnaModel* model = Ornament.Model()) {
        Record.ModelName = model->ModelName();
    }
    Record.Position = Ornament.Position();
    Record.Rotation = Ornament.RotationAngle();
    Record.Width = Ornament.Width();
    Record.Height = Ornament.Height();
    Record.Depth = Ornament.Depth();
    Record.Visible = Ornament.Visible();
    Record.IsSelected = Ornament.IsObjectSelected();
    Record.IsLocked = Ornament.IsLocked();
    Record.LayerID = layerNumber(Ornament);
}

// ---------------------------------------------------------------------------------------------------
// Zones and their pictures

fs::path TextureFolderOf(const fs::path& DocumentFileName) {
    fs::path folder = DocumentFileName;
    folder.replace_extension();
    return folder;
}

TTextureCopies::TTextureCopies(const fs::path& TextureFolder, const std::vector<const TMappingZone*>& Zones)
    : FFolder(TextureFolder) {
    std::set<std::string> taken;
    std::vector<const TMappingZone*> outside;
    // Pictures already in the folder keep their names (the first one of a name wins).
    for (const TMappingZone* zone : Zones) {
        if (!isPictureZone(*zone)) {
            continue;
        }
        FNeedsFolder = true;
        const fs::path source(zone->ImageTexturePath());
        const std::string name = source.filename().string();
        if (name.empty()) {
            FNames[zone] = "";
            continue;
        }
        const fs::path target = FFolder / name;
        if (normalised(source) == normalised(target) && taken.insert(name).second) {
            FNames[zone] = name;
            FSources[name] = source;
        } else {
            outside.push_back(zone);
        }
    }
    for (const TMappingZone* zone : outside) {
        const fs::path source(zone->ImageTexturePath());
        const std::string name = source.filename().string();
        // The same picture used by two zones is copied once, under one name.
        std::string chosen;
        for (const auto& [stored, from] : FSources) {
            if (normalised(from) == normalised(source)) {
                chosen = stored;
                break;
            }
        }
        for (int n = 1; chosen.empty(); ++n) {
            const std::string candidate = n == 1 ? name : numberedName(name, n);
            if (taken.insert(candidate).second) {
                chosen = candidate;
                FSources[chosen] = source;
            }
        }
        FNames[zone] = chosen;
    }
}

std::string TTextureCopies::NameOf(const TMappingZone& Zone) const {
    const auto it = FNames.find(&Zone);
    return it != FNames.end() ? it->second : fs::path(Zone.ImageTexturePath()).filename().string();
}

void TTextureCopies::Copy() const {
    if (!FNeedsFolder) {
        return;
    }
    std::error_code ec;
    if (!fs::is_directory(FFolder, ec)) {
        fs::create_directory(FFolder, ec);
    }
    for (const auto& [name, source] : FSources) {
        const fs::path target = FFolder / name;
        if (sameFile(source, target)) {
            continue;
        }
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    }
}

void MappingZoneToRecord(rPRJMappingZone& Record, const TMappingZone& Zone, const TTextureCopies& Copies) {
    Record = rPRJMappingZone{};
    Record.ZoneName = Zone.Name();
    Record.Position = {static_cast<float>(Zone.XBegin()), static_cast<float>(Zone.YBegin()),
                       static_cast<float>(Zone.ZBegin())};
    Record.Rotation = Zone.RotationAngle();
    Record.RotCenter = Zone.RotationCenter();
    Record.Width = Zone.Width();
    Record.Depth = Zone.Depth();
    Record.Height = Zone.Height();
    Record.Active = Zone.Active();
    Record.IsSelected = Zone.IsObjectSelected();
    Record.IsLocked = Zone.IsLocked();
    Record.ZoneType = Zone.SurfaceType();
    Record.MappingSides = Zone.MappingSides();
    Record.CornerTopLeft = Zone.CornerTopLeft();
    Record.TLXRadius = Zone.TLXRadius();
    Record.TLYRadius = Zone.TLYRadius();
    Record.TLCornerType = Zone.TLCornerType();
    Record.CornerTopRight = Zone.CornerTopRight();
    Record.TRXRadius = Zone.TRXRadius();
    Record.TRYRadius = Zone.TRYRadius();
    Record.TRCornerType = Zone.TRCornerType();
    Record.CornerBotLeft = Zone.CornerBotLeft();
    Record.BLXRadius = Zone.BLXRadius();
    Record.BLYRadius = Zone.BLYRadius();
    Record.BLCornerType = Zone.BLCornerType();
    Record.CornerBotRight = Zone.CornerBotRight();
    Record.BRXRadius = Zone.BRXRadius();
    Record.BRYRadius = Zone.BRYRadius();
    Record.BRCornerType = Zone.BRCornerType();
    Record.ListenLevel = Zone.ListenLevel();
    Record.TrapezWidth1 = Zone.TrapezWidth1();
    Record.TrapezWidth2 = Zone.TrapezWidth2();
    Record.TrapezHeight = Zone.TrapezHeight();
    Record.ImageTextureType = Zone.ImageTextureType();
    Record.ImgTextureOpacity = Zone.ImgTextureOpacity();
    Record.ImgTextureRot = Zone.ImgTextureRot();
    Record.ImgTextureColor = Zone.ImgTextureColor();
    Record.ImageTextureHasTransparecy = Zone.ImageTextureHasTransparecy();
    Record.ImgTransparentColor = Zone.ImgTransparentColor();
    Record.ImgTranspTolerance = Zone.ImgTranspTolerance();
    Record.ImageTextureLibName = Zone.ImageTextureLibName();
    Record.ImageFileName = Copies.NameOf(Zone);
    Record.LayerID = layerNumber(Zone);
    Record.AcousticMaterialName = Zone.AcousticMaterialName();
    Record.PolygonPoints = Zone.PolygonPoints();
    Record.IsTextureSideFront = Zone.TextureSides().Front;
    Record.IsTextureSideShaft = Zone.TextureSides().Shaft;
    Record.IsTextureSideBack = Zone.TextureSides().Back;
    Record.RefBeginPointX = static_cast<float>(Zone.RefBeginX());
    Record.RefBeginPointY = static_cast<float>(Zone.RefBeginY());
    Record.RefEndPointX = static_cast<float>(Zone.RefEndX());
    Record.RefEndPointY = static_cast<float>(Zone.RefEndY());
    Record.RefLength = Zone.RefLength();
}

// ---------------------------------------------------------------------------------------------------
// User DSP processes

TDspCabinet DSPProcessToRecord(const TGenericDSPProcess& Process, const std::string& SoftwareName) {
    TDspCabinet blob;
    blob.Header.ModelName = SoftwareName;
    blob.Header.ProjectName = Process.Name();
    blob.Header.NUses = 0;
    blob.Header.NOutputs = 1;
    blob.Header.SampleRate = Process.DSPSpace()->SampleRate();
    blob.HasOutputGain = true;
    blob.OutputGain = {rGain{static_cast<int32_t>(Process.Gain()->Polarity), 0, Process.Gain()->dB()}};
    blob.HasOutputDelay = true;
    blob.OutputDelay = {Process.Delay()->Samples()};
    blob.HasOutputPeq = true;
    rPeqs bank;
    bank.Active = false;
    for (const auto& section : Process.PEQS()->Peqs) {
        bank.Peqs.push_back(
            rPeq{section->Active, section->FilterType, section->Frequency(), section->Gain(), section->Q()});
    }
    blob.OutputPeq = {std::move(bank)};
    return blob;
}

void LoadDSPProcessFromRecord(const TDspCabinet& Stored, TGenericDSPProcess& Process, bool Active) {
    Process.SetActive(Active);
    Process.SetName(Stored.Header.ProjectName);
    Process.DSPSpace()->SetSampleRate(Stored.Header.SampleRate);
    if (Stored.HasOutputGain) {
        const rGain& g = Stored.OutputGain.at(0);
        Process.Gain()->Polarity = static_cast<TGainPolarity>(g.Pol);
        Process.Gain()->SetdB(g.Gain);
    }
    if (Stored.HasOutputDelay) {
        Process.Delay()->SetSamples(Stored.OutputDelay.at(0));
    }
    if (Stored.HasOutputPeq) {
        const rPeqs& bank = Stored.OutputPeq.at(0);
        Process.PEQS()->SetNPeqs(static_cast<int32_t>(bank.Peqs.size()));
        for (size_t i = 0; i < bank.Peqs.size() && i < Process.PEQS()->Peqs.size(); ++i) {
            const rPeq& stored = bank.Peqs[i];
            TSOS& section = *Process.PEQS()->Peqs[i];
            // A bank of another size is made anew with the sections' own gain limit; the process's
            // sections take up to 18 dB, as a new process's do, so a stored gain is never cut.
            section.MaxGain = kProcessSectionMaxGain;
            section.FilterType = stored.FilterType;
            section.Active = stored.Active;
            section.SetFrequency(stored.Freq);
            section.SetGain(stored.GdB);
            section.SetQ(stored.Q);
            section.CalcFilter();
        }
    }
    Process.CalculatePEQSResponse();
    Process.CalculateProcess();
}

} // namespace vendrel
