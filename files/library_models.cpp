#include "files/library_models.h"

#include <algorithm>
#include <memory>

#include "acoustics/cab_model.h"
#include "acoustics/ornament.h"
#include "acoustics/source_point.h"
#include "acoustics/user_preset.h"
#include "dsp/dsp_space.h"
#include "files/cabinet_file.h"
#include "files/ornament_file.h"
#include "files/rigging_file.h"
#include "platform/core/component_stream.h"
#include "platform/core/image_decoder.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "platform/core/message_box.h"

namespace vendrel {

namespace {

constexpr uint8_t kLastSampleRate = static_cast<uint8_t>(TSampleRate::sr192k);
constexpr uint8_t kLastBands = static_cast<uint8_t>(TFreqBands::fbOneFortyEigthOctave);

[[noreturn]] void refuse(const std::string& what) {
    throw ELibraryFileError(what);
}

// The number of points of the grid a cabinet file names.
int32_t gridPoints(const rWDXStaticDataFile& s) {
    TDSPSpace grid;
    grid.SetSampleRate(static_cast<TSampleRate>(s.DSPSampleRate));
    grid.SetBandPerOctave(static_cast<TFreqBands>(s.BandPerOctave));
    return grid.NRealFreqPoints();
}

// Loads the meshes, reporting a stream that does not decode; the object is left without meshes then.
void loadMeshes(TModel3D& model, const std::vector<uint8_t>& bytes) {
    try {
        LoadModelMeshes(model, bytes);
    } catch (const EComponentStreamError&) {
        MessageBoxService().ShowMessage("Model 3D invalid format");
    }
}

void decodePicture(const std::vector<uint8_t>& bytes, std::optional<TBitmap>* slot) {
    TBitmap image;
    if (!DecodeImage(bytes, image)) {
        MessageBoxService().ShowMessage("Invalid Image format");
        return;
    }
    if (slot != nullptr) {
        *slot = std::move(image);
    }
}

void sizeModelObject(TModel3D& model, double width, double height, double depth) {
    model.SetWidth(static_cast<float>(width));
    model.SetHeight(static_cast<float>(height));
    model.SetDepth(static_cast<float>(depth));
}

std::vector<std::string> filledOr(const std::vector<std::string>& from, size_t n, bool use) {
    std::vector<std::string> v(n);
    for (size_t i = 0; use && i < n && i < from.size(); ++i) {
        v[i] = from[i];
    }
    return v;
}

void copyPolarData(const rCabinetFile& r, TCabModel& m) {
    const size_t points = static_cast<size_t>(m.DSPSpace->NRealFreqPoints());
    for (int32_t s = 0; s < m.NPolarSets(); ++s) {
        const rPolar& from = r.Polar.at(static_cast<size_t>(s));
        TPolarProperties& to = *m.PolarProperties.at(static_cast<size_t>(s));
        const TPolarProperties& p = *from.PolarProperties;
        to.LowFreqCutoff = p.LowFreqCutoff;
        to.HiFreqCutoff = p.HiFreqCutoff;
        to.Name = p.Name.substr(0, kShortNameLength);
        to.FileType = p.FileType;
        to.ID = p.ID;
        to.MaxDbuSPL = p.MaxDbuSPL;
        to.PhaseCompensated = p.PhaseCompensated;
        to.DistanceToMic_meters = p.DistanceToMic_meters;
        for (int32_t e = 0; e < m.NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < m.NPolarAzMeasures(); ++a) {
                const rPolarData& d = from.PolarData.at(static_cast<size_t>(e)).at(static_cast<size_t>(a));
                rPolarData& t = m.PolarData.at(static_cast<size_t>(s))
                                    .at(static_cast<size_t>(e))
                                    .at(static_cast<size_t>(a));
                t.DegAzimuth = d.DegAzimuth;
                t.DegElevation = d.DegElevation;
                t.MagnitudePerFreq.assign(d.MagnitudePerFreq.begin(), d.MagnitudePerFreq.begin() + points);
                t.PhasePerFreq.assign(d.PhasePerFreq.begin(), d.PhasePerFreq.begin() + points);
            }
        }
    }
}

void copyPresets(const rCabinetFile& r, TCabModel& m) {
    // The list does not own its presets: the model frees the ones it held before.
    for (TUserPreset* old : std::vector<TUserPreset*>(m.DSPPresets)) {
        m.DeleteUserPreset(old);
    }
    const size_t points = static_cast<size_t>(m.DSPSpace->NRealFreqPoints());
    for (size_t i = 0; i < r.IntDSP.size(); ++i) {
        const rPresetTranferF& p = r.IntDSP[i];
        auto preset = std::make_unique<TUserPreset>(m.DSPSpace.get());
        preset->SetName(p.Name);
        preset->SetInfo(p.Info);
        preset->SetNSourcePoints(p.NSources);
        preset->SetNumberID(static_cast<int32_t>(i) + 1);
        preset->SetTypeIndex(p.TypeIndex);
        for (int32_t j = 0; j < preset->NSourcePoints(); ++j) {
            const rTransferFunction& f = p.EQTransferFunction.at(static_cast<size_t>(j));
            TTransferFunctionProcess& t = *preset->EQTransferFunction().at(static_cast<size_t>(j));
            t.SetLinReferenceSpl(f.LinReferenceSpl);
            t.SetMaxSpl(f.MaxSpl);
            t.SetOffsetSpl(f.OffsetSpl);
            t.SetDelaySamples(f.DelaySamples);
            t.SetIsLoaded(f.IsLoaded);
            t.SetFileName(f.FileName);
            t.SetIsDelayIncludedinPhase(f.IsDelayIncludedinPhase);
            t.SetResponse(
                std::vector<double>(f.MagnitudePerFreq.begin(), f.MagnitudePerFreq.begin() + points),
                std::vector<double>(f.PhasePerFreq.begin(), f.PhasePerFreq.begin() + points));
        }
        m.DSPPresets.push_back(preset.release());
    }
}

void copyArrayRules(const rCabinetFile& r, TCabModel& m) {
    const rWDXStaticDataFile& s = r.GlobalStaticData;
    m.NTopAssemblies = static_cast<int32_t>(r.CabAllowedTopAssemblies.size());
    m.NBotAssemblies = static_cast<int32_t>(r.CabAllowedBotAssemblies.size());
    const size_t top = r.CabAllowedTopAssemblies.size(), bot = r.CabAllowedBotAssemblies.size();
    m.AllowedTopAssemblies = r.CabAllowedTopAssemblies;
    m.AllowedBotAssemblies = r.CabAllowedBotAssemblies;
    const bool variants = r.TotalSizeCabAllowedVariant >= 1;
    m.AllowedTopVariant = filledOr(r.CabAllowedTopVariant, top, variants);
    m.AllowedBotVariant = filledOr(r.CabAllowedBotVariant, bot, variants);
    m.NTopAdapters = s.NTopAdapters;
    m.NBotAdapters = s.NBotAdapters;
    m.TopAdapters = r.TopAdapters;
    m.BotAdapters = r.BotAdapters;
    m.MinCabsToUseTopAdapters.assign(r.TopAdapters.size(), 0);
    m.MinCabsToUseBotAdapters.assign(r.BotAdapters.size(), 0);
    if (variants) {
        for (size_t i = 0; i < r.TopAdapters.size() && i < r.MinCabsToUseTopAdapters.size(); ++i) {
            m.MinCabsToUseTopAdapters[i] = r.MinCabsToUseTopAdapters[i];
        }
        for (size_t i = 0; i < r.BotAdapters.size() && i < r.MinCabsToUseBotAdapters.size(); ++i) {
            m.MinCabsToUseBotAdapters[i] = r.MinCabsToUseBotAdapters[i];
        }
    }
    const bool parents = r.TotalSizeCabAllowedIfParentIsLessThan >= 1;
    m.AllowedTopIfParentIsLessThan.assign(top, 99);
    m.AllowedBotIfParentIsLessThan.assign(bot, 99);
    for (size_t i = 0; parents && i < top && i < r.AllowedTopIfParentIsLessThan.size(); ++i) {
        m.AllowedTopIfParentIsLessThan[i] = r.AllowedTopIfParentIsLessThan[i];
    }
    for (size_t i = 0; parents && i < bot && i < r.AllowedBotIfParentIsLessThan.size(); ++i) {
        m.AllowedBotIfParentIsLessThan[i] = r.AllowedBotIfParentIsLessThan[i];
    }
    m.AllowedAnglesFirstCabFlown = r.CabAllowedAnglesOnFirstFlown;
    m.AllowedAnglesFlown = r.CabAllowedAnglesFlown;
    m.AllowedAnglesFirstCabStack = r.CabAllowedAnglesOnFirstStack;
    m.AllowedAnglesStack = r.CabAllowedAnglesStack;
    m.AllowedAnglesFirstCabHCluster = r.CabAllowedAnglesOnFirstHCluster;
    m.AllowedAnglesHCluster = r.CabAllowedAnglesHCluster;
    m.AllowedAnglesBotFlange = r.CabAllowedAnglesBotFlange;
}

} // namespace

void CheckCabinetRecordLoadable(const rCabinetFile& r) {
    const rWDXStaticDataFile& s = r.GlobalStaticData;
    if (s.DSPSampleRate > kLastSampleRate || s.BandPerOctave > kLastBands ||
        s.BandPerOctave == static_cast<uint8_t>(TFreqBands::fbAlluserPoints)) {
        refuse("Unknown frequency grid of the cabinet model");
    }
    if (s.NFreqPoints != gridPoints(s)) {
        refuse("The cabinet model's " + std::to_string(s.NFreqPoints) +
               " frequency points do not fit its grid of " + std::to_string(gridPoints(s)));
    }
    const int32_t res = s.PolarResolutionDegrees;
    if (res <= 0 || 180 % res != 0 || 360 % res != 0) {
        refuse("Polar resolution of " + std::to_string(res) + " degrees does not divide 180 and 360 degrees");
    }
    if (s.NPolarSlices != 180 / res || s.NPolarMeasures != 360 / res) {
        refuse("Polar data of the cabinet model does not cover the sphere at its resolution");
    }
    if (s.NSources < 1 || s.NPolarSets < 1) {
        refuse("Cabinet model without sources or polar data");
    }
    for (const rSourcePoint& p : r.SourcePoint) {
        if (p.PolarID < 0 || p.PolarID >= s.NPolarSets) {
            refuse("A source of the cabinet model names no polar set");
        }
    }
    for (const rPresetTranferF& p : r.IntDSP) {
        if (p.NSources != s.NSources) {
            refuse("Preset \"" + p.Name + "\" does not hold one transfer function per source");
        }
    }
    // Each decimal digit of a rotatable horn's source number names one of the model's source points.
    if (s.AllowHornRotation) {
        const std::string digits = std::to_string(s.SourceOfHornRotation);
        if (s.SourceOfHornRotation < 0 ||
            std::any_of(digits.begin(), digits.end(), [&](char d) { return d - '0' >= s.NSources; })) {
            refuse("The cabinet model's horn rotation source " + digits + " is not one of its " +
                   std::to_string(s.NSources) + " sources");
        }
    }
    // A placed cabinet may turn about the default origin point.
    if (s.NOriginPoints > 0 && s.DefaultOriginPoint >= s.NOriginPoints) {
        refuse("The cabinet model's default origin point " + std::to_string(s.DefaultOriginPoint) +
               " is not one of its " + std::to_string(s.NOriginPoints) + " origin points");
    }
    // A placed cabinet starts on the default preset, counted from 1.
    if (!r.IntDSP.empty() &&
        (s.DefaultPreset < 1 || static_cast<size_t>(s.DefaultPreset) > r.IntDSP.size())) {
        refuse("The cabinet model's default preset " + std::to_string(s.DefaultPreset) +
               " is not one of its " + std::to_string(r.IntDSP.size()) + " presets");
    }
}

void FillCabModelFromRecord(const rCabinetFile& r, TCabModel& m, TModel3D* TheModel3D,
                            TMaterialSource* HighLightMaterial, const TCabModelPictures& Pictures) {
    const rWDXHeaderFile& h = r.Header;
    const rWDXStaticDataFile& s = r.GlobalStaticData;
    m.Manufacturer = h.BrandName;
    m.SerieName = h.SerieName;
    m.ModelName = h.ModelName;
    m.VariantName = h.VariantName;
    m.ModelUpdateVersion = h.ModelUpdateVersion;
    m.FileName = h.PresetName;
    m.CreatedBy = h.CreatedBy;
    m.Comments = h.Comments;
    m.LinkToDataSheet = s.LinkToDataSheet;
    m.LinkToManual = s.LinkToManual;
    m.CabinetType = static_cast<TCabinetType>(s.CabType);
    m.Weight = s.CabWeight;
    m.DefaultPlacement = static_cast<TCabPlacement>(s.DefaultPlacement);
    m.DirectionOfRotation = static_cast<TDirRotation>(s.DirectionOfRotation);
    m.UseMeasSetReference = s.UseMeasSetReference;
    m.RefSetSPL = s.RefSetSPL;
    m.RefSetLatency = s.RefSetLatency;
    m.ADDASampleLatency = s.ADDASampleLatency;
    m.BeamProcessType = static_cast<TBeamProcessType>(s.BeamProcessType);
    m.FIRTapsPerSource = s.FIRTapsPerSource;
    m.SetXm(s.CabCenterX);
    m.SetYm(s.CabCenterY);
    m.SetZm(s.CabCenterZ);
    m.GravityCenterXm = s.CabGravityX;
    m.GravityCenterYm = s.CabGravityY;
    m.GravityCenterZm = s.CabGravityZ;
    m.AcousticCenterXm = s.CabAcousticPosX;
    m.AcousticCenterYm = s.CabAcousticPosY;
    m.AcousticCenterZm = s.CabAcousticPosZ;
    m.AcousticRotationRadX = s.CabAcousticRotRadX;
    m.AcousticRotationRadY = s.CabAcousticRotRadY;
    m.AcousticRotationRadZ = s.CabAcousticRotRadZ;
    m.Width = s.CabWidth;
    m.Height = s.CabHeight;
    m.Depth = s.CabDepth;
    m.HasModelPicture = r.HasModelImage;
    m.HasManufacturerLogo = r.HasManufacturerLogo;
    m.HasSerieLogo = r.HasSerieLogo;
    m.SetNOriginCenters(s.NOriginPoints);
    m.SetNSourcePoints(s.NSources);
    // The frequency grid first, so that the polar arrays are sized to it.
    m.DSPSpace->SetSampleRate(static_cast<TSampleRate>(s.DSPSampleRate));
    m.DSPSpace->SetBandPerOctave(static_cast<TFreqBands>(s.BandPerOctave));
    m.SetNPolarSets(s.NPolarSets);
    m.SetNPolarAzMeasures(s.NPolarMeasures);
    m.SetNPolarElevSlices(s.NPolarSlices);
    m.SetPolarResolutionDegrees(s.PolarResolutionDegrees);
    m.GiveLengthToPolars();
    m.NImportElevPolarSlices = s.NPolarSourceSlices;
    m.PolarSourceType = static_cast<TMeasureSystemBrand>(s.PolarSourceType);
    m.PolarSourceSymetry = static_cast<TQzPolarSymetry>(s.PolarSourceSymetry);
    m.IsWrappedPhase = s.IsWrappedPhase;
    m.UseRealPhase = s.UseRealPhase;
    m.IsPasive = s.IsPasive;
    m.CanChangeDirectionFlown = s.CanChangeDirectionFlown;
    m.CanChangeDirectionStack = s.CanChangeDirectionStack;
    m.AllowHorizCluster = s.AllowHorizCluster;
    m.AllowVertCluster = s.AllowVertCluster;
    m.DefaultOriginPoint = s.DefaultOriginPoint;
    for (int32_t i = 0; i < m.NOriginCenters() && static_cast<size_t>(i) < r.OriginCenter.size(); ++i) {
        rOriginCenterPoint& o = m.OriginCenters.at(static_cast<size_t>(i));
        const rOriginCenterPoint& from = r.OriginCenter[static_cast<size_t>(i)];
        o.X = from.X;
        o.Y = from.Y;
        o.Z = from.Z;
        o.Name = from.Name.substr(0, kShortNameLength);
    }
    for (int32_t i = 0; i < m.NSourcePoints(); ++i) {
        TSourcePoint& p = *m.SourcePoint.at(static_cast<size_t>(i));
        const rSourcePoint& from = r.SourcePoint.at(static_cast<size_t>(i));
        p.SetSpeakerInchesSize(from.SpeakerInchSize);
        p.SetRotationRadRel(from.RotationRadRelX, from.RotationRadRelY, from.RotationRadRelZ);
        p.SetXmRel(from.SourceCenterX);
        p.SetYmRel(from.SourceCenterY);
        p.SetZmRel(from.SourceCenterZ);
        p.SetPolarID(from.PolarID);
    }
    m.AllowHornRotation = s.AllowHornRotation;
    m.SourceOfHornRotation = s.SourceOfHornRotation;
    m.DefaultCoverageText = s.DefaultCoverageText;
    m.CoverageH = s.CoverageH;
    m.SecondCoverageText = s.SecondCoverageText;
    m.CoverageV = s.CoverageV;
    m.AllowsBeamSteering = s.AllowsBeamSteering;
    copyPolarData(r, m);
    m.DefaultPreset = s.DefaultPreset;
    copyPresets(r, m);
    m.DefaultPreset = s.DefaultPreset;
    m.IsNormalizedPresetReference = s.IsNormalizedPresetReference;
    m.IsEmbebedPresetInMeasures = s.IsEmbebedPresetInMeasures;
    m.IsMultiPreset = s.IsMultiPreset;
    m.NTopRigFrames = static_cast<int32_t>(r.TopRigFrameName.size());
    m.NBotRigFrames = static_cast<int32_t>(r.BotRigFrameName.size());
    m.TopRigFrame = r.TopRigFrameName;
    m.BotRigFrame = r.BotRigFrameName;
    m.AllowFly = s.AllowFly;
    m.AllowStack = s.AllowStack;
    const std::array<double*, 18> points = {
        &m.FrontTopRotPointXm, &m.FrontTopRotPointYm, &m.FrontTopRotPointZm, &m.FrontBotRotPointXm,
        &m.FrontBotRotPointYm, &m.FrontBotRotPointZm, &m.BackTopRotPointXm,  &m.BackTopRotPointYm,
        &m.BackTopRotPointZm,  &m.BackBotRotPointXm,  &m.BackBotRotPointYm,  &m.BackBotRotPointZm,
        &m.TopFlangePointXm,   &m.TopFlangePointYm,   &m.TopFlangePointZm,   &m.BotFlangePointXm,
        &m.BotFlangePointYm,   &m.BotFlangePointZm};
    for (size_t i = 0; i < points.size(); ++i) {
        *points[i] = s.RotAndFlangePoints[i];
    }
    m.JoinType = static_cast<TJoinType>(s.JoinType);
    m.HasBotFlange = s.HasBotFlange;
    m.HasTopFlange = s.HasTopFlange;
    m.NAnglesFlown = s.NAnglesFlown;
    m.NAnglesOnFirstCabFlown = s.NAnglesOnFirstCabFlown;
    m.NAnglesStack = s.NAnglesStack;
    m.NAnglesOnFirstCabStack = s.NAnglesOnFirstCabStack;
    m.NAnglesHCluster = s.NAnglesHCluster;
    m.NAnglesOnFirstCabHCluster = s.NAnglesOnFirstCabHCluster;
    m.NAnglesBotFlange = s.NAnglesBotFlange;
    m.MaxSupCabsFlown = s.MaxSupCabsFlown;
    m.MaxSupCabsStacked = s.MaxSupCabsStacked;
    m.MaxSupCabsHCluster = s.MaxSupCabsHCluster;
    copyArrayRules(r, m);
    m.CheckPolarLayout();

    if (TheModel3D != nullptr) {
        TheModel3D->ClearMeshes();
        sizeModelObject(*TheModel3D, m.Width, m.Height, m.Depth);
        TheModel3D->SetWrapMode(TMeshWrapMode::wmStretch);
        loadMeshes(*TheModel3D, r.Model3D);
        TheModel3D->SetAllMaterials(HighLightMaterial);
    }
    if (r.HasModelImage) {
        decodePicture(r.ModelImage, Pictures.Image);
    }
    if (r.HasManufacturerLogo) {
        decodePicture(r.ManufacturerLogo, Pictures.ManufacturerLogo);
    }
    if (r.HasSerieLogo) {
        decodePicture(r.SerieLogo, Pictures.SerieLogo);
    }
}

bool OpenCabinetFile(const std::filesystem::path& FileName, TCabModel& CabModel, TModel3D* TheModel3D,
                     TMaterialSource* HighLightMaterial, const TCabModelPictures& Pictures,
                     const std::string& SoftwareName) {
    rCabinetFile record;
    if (!ReadCabinetFileRecord(FileName, record, SoftwareName)) {
        return false;
    }
    CheckCabinetRecordLoadable(record);
    FillCabModelFromRecord(record, CabModel, TheModel3D, HighLightMaterial, Pictures);
    return true;
}

void FillFrameModelFromRecord(const rFrameFile& r, TRigFrameModel& m, TModel3D* TheModel3D,
                              TLightMaterialSource* HighLightMaterial, TAlphaColor LayerColor) {
    const rFrameStaticDataFile& s = r.GlobalStaticData;
    m.Manufacturer = r.Header.BrandName;
    m.SerieName = r.Header.SerieName;
    m.ModelName = r.Header.ModelName;
    m.VariantName = r.Header.VariantName;
    m.FileName = r.Header.PresetName;
    m.RiggingType = static_cast<TRiggingType>(s.RiggingType);
    m.IsForTopHatUp = s.IsForTopHatUp;
    m.IsForTopHatDown = s.IsForTopHatDown;
    m.Weight = s.Weight;
    m.MaxSupportWeight = s.MaxSupportWeight;
    m.GravityCenterXm = s.GravityCenterX;
    m.GravityCenterYm = s.GravityCenterY;
    m.GravityCenterZm = s.GravityCenterZ;
    m.Width = s.Width;
    m.Height = s.Height;
    m.Depth = s.Depth;
    m.SetNPickPoints(static_cast<int32_t>(r.PickPoints.size()));
    m.PickPointType = static_cast<TPickPointType>(s.PickPointType);
    if (TheModel3D != nullptr) {
        TheModel3D->ClearMeshes();
        sizeModelObject(*TheModel3D, m.Width, m.Height, m.Depth);
        TheModel3D->SetWrapMode(TMeshWrapMode::wmStretch);
        loadMeshes(*TheModel3D, r.Model3D);
        if (HighLightMaterial != nullptr) {
            HighLightMaterial->SetDiffuse(LayerColor);
        }
        TheModel3D->SetAllMaterials(HighLightMaterial);
    }
    const std::array<double*, 12> anchors = {
        &m.FrontTopAnchorPointXm, &m.FrontTopAnchorPointYm, &m.FrontTopAnchorPointZm,
        &m.FrontBotAnchorPointXm, &m.FrontBotAnchorPointYm, &m.FrontBotAnchorPointZm,
        &m.BackTopAnchorPointXm,  &m.BackTopAnchorPointYm,  &m.BackTopAnchorPointZm,
        &m.BackBotAnchorPointXm,  &m.BackBotAnchorPointYm,  &m.BackBotAnchorPointZm};
    for (size_t i = 0; i < anchors.size(); ++i) {
        *anchors[i] = s.AnchorPoints[i];
    }
    for (size_t i = 0; i < r.PickPoints.size(); ++i) {
        const auto& p = r.PickPoints[i];
        m.PickPoints.at(i) =
            TPoint3D(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]));
    }
}

bool OpenFrameFile(const std::filesystem::path& FileName, TRigFrameModel& FrameModel, TModel3D* TheModel3D,
                   TLightMaterialSource* HighLightMaterial, TAlphaColor LayerColor,
                   const std::string& SoftwareName) {
    rFrameFile record;
    if (!ReadFrameFileRecord(FileName, record, SoftwareName)) {
        return false;
    }
    FillFrameModelFromRecord(record, FrameModel, TheModel3D, HighLightMaterial, LayerColor);
    return true;
}

void FillOrnaModelFromRecord(const rOrnamentFile& r, TOrnaModel& m, TModel3D* TheModel3D,
                             TLightMaterialSource* Material) {
    const rOrnamentStaticDataFile& s = r.GlobalStaticData;
    m.SetManufacturer(r.Header.BrandName);
    m.SetGroupName(r.Header.SerieName);
    m.SetModelName(r.Header.ModelName);
    m.SetVariantName(r.Header.VariantName);
    m.SetFileName(r.Header.PresetName);
    m.SetWeight(s.Weight);
    m.SetGravityCenterXm(s.GravityCenterX);
    m.SetGravityCenterYm(s.GravityCenterY);
    m.SetGravityCenterZm(s.GravityCenterZ);
    m.SetWidth(s.Width);
    m.SetHeight(s.Height);
    m.SetDepth(s.Depth);
    std::optional<TBitmap> texture;
    if (r.HasTexture) {
        decodePicture(r.TextureImage, &texture);
    }
    if (TheModel3D != nullptr) {
        sizeModelObject(*TheModel3D, m.Width(), m.Height(), m.Depth());
        TheModel3D->ClearMeshes();
        loadMeshes(*TheModel3D, r.Model3D);
    }
    if (texture && Material != nullptr) {
        Material->SetTexture(*texture);
    }
    if (TheModel3D != nullptr) {
        TheModel3D->SetAllMaterials(Material);
        TheModel3D->SetWrapMode(TMeshWrapMode::wmStretch);
    }
    m.SetOriginCenter(TPoint3D(static_cast<float>(s.OriginX), static_cast<float>(s.OriginY),
                               static_cast<float>(s.OriginZ)));
    m.SetIsSizeable(s.IsSizeable);
}

bool OpenOrnamentFile(const std::filesystem::path& FileName, TOrnaModel& OrnamentModel, TModel3D* TheModel3D,
                      TLightMaterialSource* Material, const std::string& SoftwareName) {
    rOrnamentFile record;
    if (!ReadOrnamentFileRecord(FileName, record, SoftwareName)) {
        return false;
    }
    FillOrnaModelFromRecord(record, OrnamentModel, TheModel3D, Material);
    return true;
}

} // namespace vendrel
