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
    const size_t points = static_cast<size_t>(m.DSPSpace()->NRealFreqPoints());
    for (int32_t s = 0; s < m.NPolarSets(); ++s) {
        const rPolar& from = r.Polar.at(static_cast<size_t>(s));
        TPolarProperties& to = *m.PolarProperties().at(static_cast<size_t>(s));
        const TPolarProperties& p = *from.PolarProperties;
        to.SetLowFreqCutoff(p.LowFreqCutoff());
        to.SetHiFreqCutoff(p.HiFreqCutoff());
        to.SetName(p.Name().substr(0, kShortNameLength));
        to.SetFileType(p.FileType());
        to.SetID(p.ID());
        to.SetMaxDbuSPL(p.MaxDbuSPL());
        to.SetPhaseCompensated(p.PhaseCompensated());
        to.SetDistanceToMic_meters(p.DistanceToMic_meters());
        for (int32_t e = 0; e < m.NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < m.NPolarAzMeasures(); ++a) {
                const rPolarData& d = from.PolarData.at(static_cast<size_t>(e)).at(static_cast<size_t>(a));
                rPolarData t;
                t.DegAzimuth = d.DegAzimuth;
                t.DegElevation = d.DegElevation;
                t.MagnitudePerFreq.assign(d.MagnitudePerFreq.begin(), d.MagnitudePerFreq.begin() + points);
                t.PhasePerFreq.assign(d.PhasePerFreq.begin(), d.PhasePerFreq.begin() + points);
                m.SetPolarPoint(static_cast<size_t>(s), static_cast<size_t>(e), static_cast<size_t>(a),
                                std::move(t));
            }
        }
    }
}

void copyPresets(const rCabinetFile& r, TCabModel& m) {
    // The list does not own its presets: the model frees the ones it held before.
    for (TUserPreset* old : std::vector<TUserPreset*>(m.DSPPresets())) {
        m.DeleteUserPreset(old);
    }
    const size_t points = static_cast<size_t>(m.DSPSpace()->NRealFreqPoints());
    for (size_t i = 0; i < r.IntDSP.size(); ++i) {
        const rPresetTranferF& p = r.IntDSP[i];
        auto preset = std::make_unique<TUserPreset>(m.DSPSpace());
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
        m.AdoptUserPreset(std::move(preset));
    }
}

void copyArrayRules(const rCabinetFile& r, TCabModel& m) {
    const rWDXStaticDataFile& s = r.GlobalStaticData;
    m.SetNTopAssemblies(static_cast<int32_t>(r.CabAllowedTopAssemblies.size()));
    m.SetNBotAssemblies(static_cast<int32_t>(r.CabAllowedBotAssemblies.size()));
    const size_t top = r.CabAllowedTopAssemblies.size(), bot = r.CabAllowedBotAssemblies.size();
    m.SetAllowedTopAssemblies(r.CabAllowedTopAssemblies);
    m.SetAllowedBotAssemblies(r.CabAllowedBotAssemblies);
    const bool variants = r.TotalSizeCabAllowedVariant >= 1;
    m.SetAllowedTopVariant(filledOr(r.CabAllowedTopVariant, top, variants));
    m.SetAllowedBotVariant(filledOr(r.CabAllowedBotVariant, bot, variants));
    m.SetNTopAdapters(s.NTopAdapters);
    m.SetNBotAdapters(s.NBotAdapters);
    m.SetTopAdapters(r.TopAdapters);
    m.SetBotAdapters(r.BotAdapters);
    std::vector<uint8_t> minCabsTop(r.TopAdapters.size(), 0);
    std::vector<uint8_t> minCabsBot(r.BotAdapters.size(), 0);
    if (variants) {
        for (size_t i = 0; i < r.TopAdapters.size() && i < r.MinCabsToUseTopAdapters.size(); ++i) {
            minCabsTop[i] = r.MinCabsToUseTopAdapters[i];
        }
        for (size_t i = 0; i < r.BotAdapters.size() && i < r.MinCabsToUseBotAdapters.size(); ++i) {
            minCabsBot[i] = r.MinCabsToUseBotAdapters[i];
        }
    }
    m.SetMinCabsToUseTopAdapters(std::move(minCabsTop));
    m.SetMinCabsToUseBotAdapters(std::move(minCabsBot));
    const bool parents = r.TotalSizeCabAllowedIfParentIsLessThan >= 1;
    std::vector<int32_t> parentTop(top, 99);
    std::vector<int32_t> parentBot(bot, 99);
    for (size_t i = 0; parents && i < top && i < r.AllowedTopIfParentIsLessThan.size(); ++i) {
        parentTop[i] = r.AllowedTopIfParentIsLessThan[i];
    }
    for (size_t i = 0; parents && i < bot && i < r.AllowedBotIfParentIsLessThan.size(); ++i) {
        parentBot[i] = r.AllowedBotIfParentIsLessThan[i];
    }
    m.SetAllowedTopIfParentIsLessThan(std::move(parentTop));
    m.SetAllowedBotIfParentIsLessThan(std::move(parentBot));
    m.SetAllowedAnglesFirstCabFlown(r.CabAllowedAnglesOnFirstFlown);
    m.SetAllowedAnglesFlown(r.CabAllowedAnglesFlown);
    m.SetAllowedAnglesFirstCabStack(r.CabAllowedAnglesOnFirstStack);
    m.SetAllowedAnglesStack(r.CabAllowedAnglesStack);
    m.SetAllowedAnglesFirstCabHCluster(r.CabAllowedAnglesOnFirstHCluster);
    m.SetAllowedAnglesHCluster(r.CabAllowedAnglesHCluster);
    m.SetAllowedAnglesBotFlange(r.CabAllowedAnglesBotFlange);
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
    m.SetManufacturer(h.BrandName);
    m.SetSerieName(h.SerieName);
    m.SetModelName(h.ModelName);
    m.SetVariantName(h.VariantName);
    m.SetModelUpdateVersion(h.ModelUpdateVersion);
    m.SetFileName(h.PresetName);
    m.SetCreatedBy(h.CreatedBy);
    m.SetComments(h.Comments);
    m.SetLinkToDataSheet(s.LinkToDataSheet);
    m.SetLinkToManual(s.LinkToManual);
    m.SetCabinetType(static_cast<TCabinetType>(s.CabType));
    m.SetWeight(s.CabWeight);
    m.SetDefaultPlacement(static_cast<TCabPlacement>(s.DefaultPlacement));
    m.SetDirectionOfRotation(static_cast<TDirRotation>(s.DirectionOfRotation));
    m.SetUseMeasSetReference(s.UseMeasSetReference);
    m.SetRefSetSPL(s.RefSetSPL);
    m.SetRefSetLatency(s.RefSetLatency);
    m.SetADDASampleLatency(s.ADDASampleLatency);
    m.SetBeamProcessType(static_cast<TBeamProcessType>(s.BeamProcessType));
    m.SetFIRTapsPerSource(s.FIRTapsPerSource);
    m.SetXm(s.CabCenterX);
    m.SetYm(s.CabCenterY);
    m.SetZm(s.CabCenterZ);
    m.SetGravityCenterXm(s.CabGravityX);
    m.SetGravityCenterYm(s.CabGravityY);
    m.SetGravityCenterZm(s.CabGravityZ);
    m.SetAcousticCenterXm(s.CabAcousticPosX);
    m.SetAcousticCenterYm(s.CabAcousticPosY);
    m.SetAcousticCenterZm(s.CabAcousticPosZ);
    m.SetAcousticRotationRadX(s.CabAcousticRotRadX);
    m.SetAcousticRotationRadY(s.CabAcousticRotRadY);
    m.SetAcousticRotationRadZ(s.CabAcousticRotRadZ);
    m.SetWidth(s.CabWidth);
    m.SetHeight(s.CabHeight);
    m.SetDepth(s.CabDepth);
    m.SetHasModelPicture(r.HasModelImage);
    m.SetHasManufacturerLogo(r.HasManufacturerLogo);
    m.SetHasSerieLogo(r.HasSerieLogo);
    m.SetNOriginCenters(s.NOriginPoints);
    m.SetNSourcePoints(s.NSources);
    // The frequency grid first, so that the polar arrays are sized to it.
    m.DSPSpace()->SetSampleRate(static_cast<TSampleRate>(s.DSPSampleRate));
    m.DSPSpace()->SetBandPerOctave(static_cast<TFreqBands>(s.BandPerOctave));
    m.SetNPolarSets(s.NPolarSets);
    m.SetNPolarAzMeasures(s.NPolarMeasures);
    m.SetNPolarElevSlices(s.NPolarSlices);
    m.SetPolarResolutionDegrees(s.PolarResolutionDegrees);
    m.GiveLengthToPolars();
    m.SetNImportElevPolarSlices(s.NPolarSourceSlices);
    m.SetPolarSourceType(static_cast<TMeasureSystemBrand>(s.PolarSourceType));
    m.SetPolarSourceSymetry(static_cast<TQzPolarSymetry>(s.PolarSourceSymetry));
    m.SetIsWrappedPhase(s.IsWrappedPhase);
    m.SetUseRealPhase(s.UseRealPhase);
    m.SetIsPasive(s.IsPasive);
    m.SetCanChangeDirectionFlown(s.CanChangeDirectionFlown);
    m.SetCanChangeDirectionStack(s.CanChangeDirectionStack);
    m.SetAllowHorizCluster(s.AllowHorizCluster);
    m.SetAllowVertCluster(s.AllowVertCluster);
    m.SetDefaultOriginPoint(s.DefaultOriginPoint);
    for (int32_t i = 0; i < m.NOriginCenters() && static_cast<size_t>(i) < r.OriginCenter.size(); ++i) {
        rOriginCenterPoint o = m.OriginCenters().at(static_cast<size_t>(i));
        const rOriginCenterPoint& from = r.OriginCenter[static_cast<size_t>(i)];
        o.X = from.X;
        o.Y = from.Y;
        o.Z = from.Z;
        o.Name = from.Name.substr(0, kShortNameLength);
        m.SetOriginCenter(static_cast<size_t>(i), std::move(o));
    }
    for (int32_t i = 0; i < m.NSourcePoints(); ++i) {
        TSourcePoint& p = *m.SourcePoint().at(static_cast<size_t>(i));
        const rSourcePoint& from = r.SourcePoint.at(static_cast<size_t>(i));
        p.SetSpeakerInchesSize(from.SpeakerInchSize);
        p.SetRotationRadRel(from.RotationRadRelX, from.RotationRadRelY, from.RotationRadRelZ);
        p.SetXmRel(from.SourceCenterX);
        p.SetYmRel(from.SourceCenterY);
        p.SetZmRel(from.SourceCenterZ);
        p.SetPolarID(from.PolarID);
    }
    m.SetAllowHornRotation(s.AllowHornRotation);
    m.SetSourceOfHornRotation(s.SourceOfHornRotation);
    m.SetDefaultCoverageText(s.DefaultCoverageText);
    m.SetCoverageH(s.CoverageH);
    m.SetSecondCoverageText(s.SecondCoverageText);
    m.SetCoverageV(s.CoverageV);
    m.SetAllowsBeamSteering(s.AllowsBeamSteering);
    copyPolarData(r, m);
    m.SetDefaultPreset(s.DefaultPreset);
    copyPresets(r, m);
    m.SetDefaultPreset(s.DefaultPreset);
    m.SetIsNormalizedPresetReference(s.IsNormalizedPresetReference);
    m.SetIsEmbebedPresetInMeasures(s.IsEmbebedPresetInMeasures);
    m.SetIsMultiPreset(s.IsMultiPreset);
    m.SetNTopRigFrames(static_cast<int32_t>(r.TopRigFrameName.size()));
    m.SetNBotRigFrames(static_cast<int32_t>(r.BotRigFrameName.size()));
    m.SetTopRigFrame(r.TopRigFrameName);
    m.SetBotRigFrame(r.BotRigFrameName);
    m.SetAllowFly(s.AllowFly);
    m.SetAllowStack(s.AllowStack);
    using Setter = void (TCabModel::*)(double);
    const std::array<Setter, 18> points = {
        &TCabModel::SetFrontTopRotPointXm, &TCabModel::SetFrontTopRotPointYm,
        &TCabModel::SetFrontTopRotPointZm, &TCabModel::SetFrontBotRotPointXm,
        &TCabModel::SetFrontBotRotPointYm, &TCabModel::SetFrontBotRotPointZm,
        &TCabModel::SetBackTopRotPointXm,  &TCabModel::SetBackTopRotPointYm,
        &TCabModel::SetBackTopRotPointZm,  &TCabModel::SetBackBotRotPointXm,
        &TCabModel::SetBackBotRotPointYm,  &TCabModel::SetBackBotRotPointZm,
        &TCabModel::SetTopFlangePointXm,   &TCabModel::SetTopFlangePointYm,
        &TCabModel::SetTopFlangePointZm,   &TCabModel::SetBotFlangePointXm,
        &TCabModel::SetBotFlangePointYm,   &TCabModel::SetBotFlangePointZm};
    for (size_t i = 0; i < points.size(); ++i) {
        (m.*points[i])(s.RotAndFlangePoints[i]);
    }
    m.SetJoinType(static_cast<TJoinType>(s.JoinType));
    m.SetHasBotFlange(s.HasBotFlange);
    m.SetHasTopFlange(s.HasTopFlange);
    m.SetNAnglesFlown(s.NAnglesFlown);
    m.SetNAnglesOnFirstCabFlown(s.NAnglesOnFirstCabFlown);
    m.SetNAnglesStack(s.NAnglesStack);
    m.SetNAnglesOnFirstCabStack(s.NAnglesOnFirstCabStack);
    m.SetNAnglesHCluster(s.NAnglesHCluster);
    m.SetNAnglesOnFirstCabHCluster(s.NAnglesOnFirstCabHCluster);
    m.SetNAnglesBotFlange(s.NAnglesBotFlange);
    m.SetMaxSupCabsFlown(s.MaxSupCabsFlown);
    m.SetMaxSupCabsStacked(s.MaxSupCabsStacked);
    m.SetMaxSupCabsHCluster(s.MaxSupCabsHCluster);
    copyArrayRules(r, m);
    m.CheckPolarLayout();

    if (TheModel3D != nullptr) {
        TheModel3D->ClearMeshes();
        sizeModelObject(*TheModel3D, m.Width(), m.Height(), m.Depth());
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
    m.SetManufacturer(r.Header.BrandName);
    m.SetSerieName(r.Header.SerieName);
    m.SetModelName(r.Header.ModelName);
    m.SetVariantName(r.Header.VariantName);
    m.SetFileName(r.Header.PresetName);
    m.SetRiggingType(static_cast<TRiggingType>(s.RiggingType));
    m.SetIsForTopHatUp(s.IsForTopHatUp);
    m.SetIsForTopHatDown(s.IsForTopHatDown);
    m.SetWeight(s.Weight);
    m.SetMaxSupportWeight(s.MaxSupportWeight);
    m.SetGravityCenterXm(s.GravityCenterX);
    m.SetGravityCenterYm(s.GravityCenterY);
    m.SetGravityCenterZm(s.GravityCenterZ);
    m.SetWidth(s.Width);
    m.SetHeight(s.Height);
    m.SetDepth(s.Depth);
    m.SetNPickPoints(static_cast<int32_t>(r.PickPoints.size()));
    m.SetPickPointType(static_cast<TPickPointType>(s.PickPointType));
    if (TheModel3D != nullptr) {
        TheModel3D->ClearMeshes();
        sizeModelObject(*TheModel3D, m.Width(), m.Height(), m.Depth());
        TheModel3D->SetWrapMode(TMeshWrapMode::wmStretch);
        loadMeshes(*TheModel3D, r.Model3D);
        if (HighLightMaterial != nullptr) {
            HighLightMaterial->SetDiffuse(LayerColor);
        }
        TheModel3D->SetAllMaterials(HighLightMaterial);
    }
    using Setter = void (TRigFrameModel::*)(double);
    const std::array<Setter, 12> anchors = {
        &TRigFrameModel::SetFrontTopAnchorPointXm, &TRigFrameModel::SetFrontTopAnchorPointYm,
        &TRigFrameModel::SetFrontTopAnchorPointZm, &TRigFrameModel::SetFrontBotAnchorPointXm,
        &TRigFrameModel::SetFrontBotAnchorPointYm, &TRigFrameModel::SetFrontBotAnchorPointZm,
        &TRigFrameModel::SetBackTopAnchorPointXm,  &TRigFrameModel::SetBackTopAnchorPointYm,
        &TRigFrameModel::SetBackTopAnchorPointZm,  &TRigFrameModel::SetBackBotAnchorPointXm,
        &TRigFrameModel::SetBackBotAnchorPointYm,  &TRigFrameModel::SetBackBotAnchorPointZm};
    for (size_t i = 0; i < anchors.size(); ++i) {
        (m.*anchors[i])(s.AnchorPoints[i]);
    }
    for (size_t i = 0; i < r.PickPoints.size(); ++i) {
        const auto& p = r.PickPoints[i];
        m.SetPickPoint(
            i, TPoint3D(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])));
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
