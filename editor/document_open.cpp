// Opening a project file: the record is read and checked whole, then the scene is rebuilt from it.

#include "editor/documents.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/user_preset.h"
#include "editor/editor.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/kinds/zone_kind.h"
#include "editor/object_panels.h"
#include "editor/zone_pictures.h"
#include "files/library_scan.h"
#include "files/project_check.h"
#include "files/read_refusal.h"
#include "files/scene_records.h"
#include "platform/core/atomic_file.h"
#include "platform/core/byte_stream.h"
#include "platform/core/camera.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "scene/color_helpers.h"

#include <cmath>
#include <optional>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

TPoint3D plus(const TPoint3D& a, const TPoint3D& b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

// The project flags that hold calculations back while the scene is rebuilt, given back as they were
// when the open fails half-way.
class OpeningGuard {
public:
    OpeningGuard(TAcousticProject& project, TEditorState& state) : p_(project), st_(state) {}
    ~OpeningGuard() {
        if (!done_) {
            st_.IsOpeningProject = false;
            p_.SetEventsEnabled(true);
            p_.SetCalcHitPointEnabled(true);
            p_.SetDontCalcMICS(false);
        }
    }
    void Done() { done_ = true; }

private:
    TAcousticProject& p_;
    TEditorState& st_;
    bool done_ = false;
};

} // namespace

TQzLayer* TDocuments::layerAt(int32_t Index) const {
    return At(ed_.Layers.LayerList, Index);
}

bool TDocuments::openAndCheck(const std::string& FileName, rProjectFile& File) {
    // Every refusal leaves the open project as it was; the user reads what happened first, the
    // reader's detail below it.
    const auto refuse = [](const std::string& text) {
        MessageBoxService().MessageDlg(text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        return false;
    };
    TProjectOpen result = TProjectOpen::Opened;
    try {
        const auto cursor = TSmartCursor::HourGlass();
        result = ReadProjectFile(ReadWholeFile(FileName), FInfo.SoftwareName, File);
    } catch (const std::exception&) {
        return refuse(ReadRefusalMessage(FileName, "project", FInfo.SoftwareName, std::current_exception()));
    }
    switch (result) {
    case TProjectOpen::Opened:
        break;
    case TProjectOpen::NewerVersion:
        MessageBoxService().ShowMessage(NewerProjectMessage(FInfo.SoftwareName));
        return false;
    case TProjectOpen::OtherSoftware:
        // Another program's file, or bytes that only look like a project's beginning.
        return refuse(NotOurFileSentence(FileName, "project", FInfo.SoftwareName) +
                      "\r\nIts header names another program.");
    }
    if (const std::string fault = CheckProjectRecord(File); !fault.empty()) {
        return refuse(NotOurFileSentence(FileName, "project", FInfo.SoftwareName) + "\r\n" + fault + ".");
    }
    return true;
}

bool TDocuments::LoadProjectFile(const std::string& FileName) {
    TEditorState& st = ed_.State;
    const auto cursor = TSmartCursor::HourGlass();
    ed_.Selection.UnSelectAllObjects();
    ed_.Mouse.SetInputPlanesHitTest(false);
    st.IsEndPointSurface = false;
    st.InsertInMousePos_SurfacePoint = false;

    rProjectFile file;
    if (!openAndCheck(FileName, file)) {
        return false;
    }
    OpeningGuard guard(ed_.Project, st);
    loadRecord(FileName, file);
    guard.Done();
    if (const std::string note = ModelOnlyObjectsNote(); !note.empty() && SetStatusText) {
        SetStatusText(note);
    }
    return true;
}

void TDocuments::loadRecord(const std::string& FileName, const rProjectFile& File) {
    TAcousticProject& p = ed_.Project;
    TEditorState& st = ed_.State;
    const rPRJStaticDataFile& s = File.GlobalStaticData;
    const rPRJHeaderFile& h = File.Header;

    st.IsOpeningProject = true;
    UpdateMRUitems(FileName);
    if (SetStatusText) {
        SetStatusText("Opening File: " + FileName);
    }
    if (ed_.Library != nullptr) {
        ed_.Library->ModelsNotFound.clear();
    }
    const fs::path path(FileName);
    std::string folder = path.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    if (fs::path(folder).lexically_normal() != fs::path(FInfo.TemplatesFolder()).lexically_normal()) {
        ActualFolder = folder;
    }
    CurrentFileVersionStr = "(" + std::to_string(h.MajorVersion) + "." + std::to_string(h.MinorVersion) + ")";
    ActiveProjectFileName = FileName;

    p.SetEventsEnabled(false);
    p.SetCalcHitPointEnabled(false);
    p.SetDontCalcMICS(true);
    // The whole rebuild is one edit of what the workers read: none runs until the scene is complete.
    std::optional<TWorkersPause> pause(std::in_place, p);
    ClearProject();

    // Identity, venue and calculation settings.
    p.SetInstallationName(s.InstallationName);
    p.SetGPSCoordinates(s.GPSCoordinates);
    p.SetPRJCreatedBy(s.PRJCreatedBy);
    p.SetPRJDescription(s.PRJDescription);
    p.SetZonasCrecenParriba(s.ZonasCrecenParriba);
    ed_.Grid.RecalculateVenueHeight(s.VenueHeightVer);
    ed_.Grid.RecalculateVenueWidth(s.VenueWidthHor);
    ed_.Grid.RecalculateVenueLength(s.VenueLength);
    loadSettings(File);
    loadCameras(File);
    ed_.Points.NewMicColorID = s.NewMicColorID;
    ed_.Points.NewOverlaysColorID = s.NewOverlaysColorID;
    loadLayers(File);
    // Creating the file's layers takes colours; the next new layer takes the colour the file names.
    ed_.Layers.NewLayerColorID = s.NewLayerColorID;
    p.SetMicWeightening(s.Weighting);
    ed_.Points.DistributionStepsdB = s.DistributionStepsdB == 0 ? 3 : s.DistributionStepsdB;

    // Processes before the cabinets that use them.
    for (size_t i = 0; i < File.DSPProcess.size(); ++i) {
        TGenericDSPProcess* process = p.AddDSPProcess();
        LoadDSPProcessFromRecord(File.DSPProcess[i], *process, File.ProcessActive[i]);
    }

    // Line arrays; an array with a missing cabinet model is removed whole.
    std::vector<const rPRJCabArray*> arrayRecords;
    for (const rPRJCabArray& record : File.CabArrays) {
        if (LoadArrayFromRecord(record, {0, 0, 0}) == nullptr) {
            ed_.Kinds.Get<TLineArrayKind>()->RemoveArray(p.CabArrays().back().get());
        } else {
            arrayRecords.push_back(&record);
        }
    }
    for (const auto& array : p.CabArrays()) {
        array->RecalcMechanics();
    }

    // Clusters and beam-steering arrays: their X rotation is not restored.
    for (const rPRJCluster& record : File.Clusters) {
        if (TCluster* cluster = LoadClusterFromRecord(record, {0, 0, 0})) {
            if (cluster->IsObjectSelected()) {
                st.SelectedObjList.Add(cluster);
            }
            cluster->SetRotationAngle({0, record.Rotation.Y, record.Rotation.Z});
        }
    }
    for (const rPRJBeamSteering& record : File.Beams) {
        if (TBeamContainer* beam = LoadBeamSteeringFromRecord(record, {0, 0, 0})) {
            if (beam->IsObjectSelected()) {
                st.SelectedObjList.Add(beam);
            }
            beam->SetRotationAngle({0, record.Main.Rotation.Y, record.Main.Rotation.Z});
        }
    }

    // The band and centre-frequency lists show the file's choice; the project keeps the file's values.
    TRenderControl& render = ed_.Render;
    render.FreqBandsCombo.SetItemIndex(
        std::min(static_cast<int>(s.MappingBandsType), render.FreqBandsCombo.Count() - 1));
    render.FreqBandsComboChange();
    p.SetMappingBandsType(s.MappingBandsType);
    p.SetFreqToEvaluate(s.FreqToEvaluate);
    ed_.PhysicalSpace.SetSelectedFreqPoint(s.SelectedFreqPoint);
    render.FreqsCombo.SetItemIndex(s.SelectedFreqPoint);

    // The view stored with the project.
    switch (static_cast<int>(s.ViewType)) {
    case 0:
        ed_.Views.SideViewActionExecute();
        break;
    case 1:
        ed_.Views.TopViewActionExecute();
        break;
    case 2:
        ed_.Views.ThreeDviewActionExecute();
        break;
    case 3:
        ed_.Views.FrontViewActionExecute();
        break;
    default:
        break;
    }

    ed_.Colors.ShowPhaseRB.SetChecked(p.OnlyPhase());
    ed_.Colors.ShowMagnitudeRB.SetChecked(!p.OnlyPhase());
    render.ZeroPhaseCheckBox.SetChecked(p.ZeroPhaseStart());
    render.RefreshMsBox.SetValue(p.RefreshTimeMsec());
    render.PistonCBox.SetChecked(p.IdealSpeaker());

    // Loose cabinets; a missing model skips the cabinet.
    std::vector<std::pair<TCabinet*, const rPRJCabinet*>> cabinets;
    for (const rPRJCabinet& record : File.Cabinets) {
        if (TCabinet* cab = LoadCabinetFromRecord(record, {0, 0, 0})) {
            cabinets.emplace_back(cab, &record);
        }
    }

    // Measurement points (their delay was a distance in metres before format 4) and overlays.
    for (const rPRJMeasure& record : File.Measures) {
        float delay = record.MicDelay_ms;
        if (h.FileMajorVer < 4) {
            delay = static_cast<float>(record.MicDelay_ms / ed_.PhysicalSpace.SpeedOfSound() * 1000.0);
        }
        ed_.Points.AddNewMeasurePoint(record.Position, record.Color, false, record.Name, record.Visible,
                                      delay, false, layerAt(record.LayerID));
    }
    if (File.OverlaysSize > 0) {
        for (const rPRJOverlay& record : File.Overlays) {
            TOverlay* overlay = p.AddOverlay(record.Color, false);
            OverlayCurvesFromRecord(record, *overlay);
            overlay->SetName(record.Name);
            overlay->SetVisible(record.Visible);
            overlay->SetIDnumber(record.IDnumber);
            ed_.Points.Responses.AddOverlaySeries(*overlay);
            ed_.Points.Responses.ShowOverlay(overlay);
        }
    }

    // Zones after every source.
    p.SetEventsEnabled(false);
    const fs::path textureFolder = TextureFolderOf(path);
    for (const rPRJMappingZone& record : File.MappingZones) {
        LoadZoneFromRecord(record, FileName, textureFolder, h);
    }
    p.CheckMemoryOnImportZones(ed_.PhysicalSpace.PixelToMeters());
    for (const auto& zone : p.MappingZones()) {
        zone->SetIsMapCleared(false);
        zone->ClearMap();
    }
    render.UpdateRenderControls();

    for (const rPRJOrnament& record : File.Ornaments) {
        const auto cursor = TSmartCursor::HourGlass();
        TQzLayer* layer = layerAt(record.LayerID);
        LoadOrnamentFromRecord(record, {0, 0, 0}, layer);
    }

    // Presets and processes once more, now that everything is in place.
    for (const auto& [cab, record] : cabinets) {
        ApplyPresetAndProcess(*cab, record->IntPresetid, record->ExtDSPid);
        ed_.Objects.RefreshPanel(*cab);
    }
    for (size_t a = 0; a < p.CabArrays().size() && a < arrayRecords.size(); ++a) {
        const auto& list = p.CabArrays()[a]->CabinetList();
        size_t k = 0;
        for (const rPRJArrayItem& item : arrayRecords[a]->ItemList) {
            if (item.ClassName == "TCabinet" && k < list.size()) {
                ApplyPresetAndProcess(*list[k++], item.IntPresetid, item.ExtDSPid);
            }
        }
    }

    st.LockedList.Clear();
    for (TQzLayer* layer : ed_.Layers.LayerList) {
        if (layer->IsLocked()) {
            for (TQzControl3D* member : layer->ObjListInLayer) {
                st.LockedList.Add(member);
            }
        }
    }

    pause.reset();
    p.SetEventsEnabled(true);
    p.SetCalcHitPointEnabled(true);
    p.RecalcHitPoints();
    p.SetDontCalcMICS(false);
    p.ReCalculateAllMics();
    if (ProcessMessages) {
        ProcessMessages();
    }
    if (p.ContinuousRender()) {
        const auto cursor = TSmartCursor::HourGlass();
        p.SetForceCalculation(true);
        p.SetAllCabsNeedsCalculateMapsInZone(-1);
        p.SetForceCalculation(false);
    }
    if (p.NMics() > 0) {
        p.ReCalculateAllMics();
    }

    if (DrawCaption) {
        DrawCaption();
    }
    if (SetStatusText) {
        SetStatusText(" ");
    }
    if (ShowMemoryInfo) {
        ShowMemoryInfo();
    }
    st.IsSelectionChanged = true;
    ed_.Selection.UpdateAllSelection();
    // The venue list shows what the project holds, not only what happens to be selected.
    ed_.PanelSwitching.ListAllVenueObjectsKeepingShown();
    st.IsOpeningProject = false;
    p.SetIsProjectModified(false);
    if (DrawCaption) {
        DrawCaption();
    }
}

void TDocuments::loadSettings(const rProjectFile& File) {
    TAcousticProject& p = ed_.Project;
    const rPRJStaticDataFile& s = File.GlobalStaticData;
    p.SetMappingColorsRes(s.MappingColorsRes);
    p.SetMappingBandsType(s.MappingBandsType);
    p.SetFreqToEvaluate(s.FreqToEvaluate);
    ed_.PhysicalSpace.SetSelectedFreqPoint(s.SelectedFreqPoint);
    p.SetOnlyPhase(s.OnlyPhase);
    p.SetZeroPhaseStart(s.ZeroPhaseStart);
    p.SetIdealSpeaker(s.IdealSpeaker);
    p.SetRefreshTimeMsec(s.RefreshTimeMsec);
    p.SetRenderQuality(s.RenderQuality);
    ed_.PhysicalSpace.StorePixelToMeters(RenderQualityPixelSize(static_cast<int>(s.RenderQuality)));
    p.SetSPLNormalized(s.SPLNormalized);
    // The level scale enters limited as its boxes limit it.
    ed_.Colors.SetLevelScale(s.MaxdBSPL, s.RangedBSPL);
    ed_.Colors.ColorMapStepsdB = s.ColorMapStepsdB;
    // The save stores the same flag twice; the second copy decides.
    p.SetSPLNormalized(s.MaxAuto);
    p.SetPressureSumType(s.PressureSumType);
    p.SetAvoidPhaseAliasing(s.AvoidPhaseAliasing);

    // The palette named by the file (another name leaves the current one), the colour steps and the
    // auto-scale box.
    for (int tag = 0; tag < static_cast<int>(ed_.Colors.PaletteItems().size()); ++tag) {
        if (s.MappingColors == TColorMapping::PaletteNameOf(tag)) {
            ed_.Colors.PaletteItemClick(tag);
        }
    }
    TUIChoice& steps = ed_.Colors.ColorStepsComboBox;
    if (s.ColorMapStepsdB == 0) {
        steps.SetItemIndex(0);
        ed_.Colors.ColorStepsComboBoxChange();
    } else if (const int item = steps.IndexOf(std::to_string(s.ColorMapStepsdB) + " dB"); item >= 0) {
        steps.SetItemIndex(item);
        ed_.Colors.ColorStepsComboBoxChange();
    } else {
        // No item of the box shows these steps: the colouring keeps them, the box shows none.
        steps.SetItemIndex(-1);
    }
    ed_.Colors.AutoScaleCheckBox.SetChecked(p.SPLNormalized());
    p.SetMaxPhase(s.MaxPhase);
    p.SetMinPhase(s.MinPhase);
    NCamerasUser = s.NCamerasUser;
    NLights = s.NLights;
}

void TDocuments::loadCameras(const rProjectFile& File) {
    TEditorScene& sc = ed_.Scene;
    const rPRJStaticDataFile& s = File.GlobalStaticData;
    const auto place = [](TCamera& camera, const rPRJCamera& r) {
        camera.SetPosition(r.Position);
        camera.SetRotationAngle(r.Rotation);
        camera.SetAngleOfView(static_cast<float>(r.AngleOfView));
    };
    place(*sc.CameraSide, s.CameraSide);
    place(*sc.CameraTop, s.CameraTop);
    place(*sc.Camera3D, s.Camera3D);
    place(*sc.CameraFront, s.CameraFront);
    sc.Cam3DDummyX->SetRotationAngleX(s.Camera3D.DummyPos.X);
    sc.Cam3DDummyY->SetRotationAngleY(s.Camera3D.DummyPos.Y);
    if (File.Header.FileMajorVer > 4) {
        TViewsCameras& views = ed_.Views;
        views.RestorePivotRotation(TViewType::qzaSideView, s.CameraSide.DummyRotX, s.CameraSide.DummyRotY);
        views.RestorePivotRotation(TViewType::qzaFrontView, s.CameraFront.DummyRotX, s.CameraFront.DummyRotY);
        views.RestorePivotRotation(TViewType::qzaTopView, s.CameraTop.DummyRotX, s.CameraTop.DummyRotY);
    }
}

void TDocuments::loadLayers(const rProjectFile& File) {
    TLayers& layers = ed_.Layers;
    const auto fill = [](TQzLayer& layer, const rPRJLayer& r, int32_t position) {
        layer.SetName(r.Name);
        // Objects name their layer by its position in the list, which is also its number: a file
        // whose stored numbers differ is read by position, so that the next save stores them right.
        layer.SetNumID(position);
        layer.Color = r.Color;
        layer.SetIsLocked(r.IsLocked);
        layer.SetVisible(r.Visible);
        layer.Active = r.Active;
    };
    fill(*layers.GlobalLayer, File.Layers.at(0), 0);
    for (size_t i = 1; i < File.Layers.size(); ++i) {
        TQzLayer* layer = layers.AddLayer();
        fill(*layer, File.Layers[i], static_cast<int32_t>(i));
    }
    layers.SelectedLayer = layerAt(File.GlobalStaticData.ActiveLayer);
    layers.LastEditedLayer = layers.SelectedLayer;
}

// ---------------------------------------------------------------------------------------------------
// Loaders

void TDocuments::ApplyPresetAndProcess(TCabinet& Cabinet, int32_t IntPresetid, int32_t ExtDSPid) {
    TAcousticProject& p = ed_.Project;
    const TCabModel* model = Cabinet.Model();
    if (model == nullptr || model->NDSPPresets() < 1) {
        Cabinet.SetInternalDSPPreset(nullptr);
    } else {
        int32_t number = IntPresetid;
        if (number < 1 || number > model->NDSPPresets()) {
            number = model->DefaultPreset();
        }
        // A model whose own default preset does not exist takes its first one.
        if (number < 1 || number > model->NDSPPresets()) {
            number = 1;
        }
        Cabinet.SetInternalDSPPreset(model->DSPPresets()[static_cast<size_t>(number - 1)]);
    }
    Cabinet.SetExternalDSPProcess(ExtDSPid == 0 ? p.BypassProcess()
                                                : At(p.DSPProcessList(), ExtDSPid - 1).get());
}

TCabinet* TDocuments::LoadCabinetFromRecord(const rPRJCabinet& Record, const TPoint3D& Offset) {
    const auto cursor = TSmartCursor::HourGlass();
    return ed_.Adding.AddNewCabinet(
        Record.ModelName, Record.VariantName, Record.BrandName, plus(Record.Position, Offset),
        Record.Rotation, Record.IsSelected, Record.PlacementType, Record.CoverageIndex, Record.Active,
        Record.IsLocked, layerAt(Record.LayerID), Record.IntPresetid, Record.ExtDSPid);
}

void TDocuments::LoadZoneFromRecord(const rPRJMappingZone& Record, const std::string& FileName,
                                    const fs::path& TextureFolder, const rPRJHeaderFile& Header) {
    const auto cursor = TSmartCursor::HourGlass();
    TEditorState& st = ed_.State;
    st.SurfacePoints = Record.PolygonPoints;
    TQzLayer* layer = layerAt(Record.LayerID);

    TMappingZone* zone = ed_.Adding.AddNewMappingZone(
        Record.ZoneName, Record.Position, Record.Rotation, static_cast<float>(Record.Width),
        static_cast<float>(Record.Depth), static_cast<float>(Record.Height), Record.IsSelected,
        Record.ZoneType, Record.Active, layer, st.SurfacePoints);
    zone->SetMappingSides(Record.MappingSides);
    if (Header.FileMajorVer > 2) {
        zone->SetTextureSides(
            {Record.IsTextureSideFront, Record.IsTextureSideBack, Record.IsTextureSideShaft});
    } else {
        zone->SetTextureSides({true, false, false});
    }
    zone->SetCornerTopLeft(Record.CornerTopLeft);
    zone->SetTLXRadius(Record.TLXRadius);
    zone->SetTLYRadius(Record.TLYRadius);
    zone->SetTLCornerType(Record.TLCornerType);
    zone->SetCornerTopRight(Record.CornerTopRight);
    zone->SetTRXRadius(Record.TRXRadius);
    zone->SetTRYRadius(Record.TRYRadius);
    zone->SetTRCornerType(Record.TRCornerType);
    zone->SetCornerBotLeft(Record.CornerBotLeft);
    zone->SetBLXRadius(Record.BLXRadius);
    zone->SetBLYRadius(Record.BLYRadius);
    zone->SetBLCornerType(Record.BLCornerType);
    zone->SetCornerBotRight(Record.CornerBotRight);
    zone->SetBRXRadius(Record.BRXRadius);
    zone->SetBRYRadius(Record.BRYRadius);
    zone->SetBRCornerType(Record.BRCornerType);
    zone->SetListenLevel(
        Record.ZoneType == TSurfaceType::qzaPicture ? 0.0f : static_cast<float>(Record.ListenLevel));
    if (Record.ZoneType == TSurfaceType::qzaTrapezium) {
        zone->SetTrapezWidth1(Record.TrapezWidth1);
        zone->SetTrapezWidth2(Record.TrapezWidth2);
        zone->SetTrapezHeight(Record.TrapezHeight);
    }
    zone->SetImageTextureType(Record.ImageTextureType);
    zone->SetImgTextureOpacity(Record.ImgTextureOpacity);
    zone->SetImgTextureRot(Record.ImgTextureRot);
    zone->SetImgTextureColor(Record.ImgTextureColor);
    zone->SetImageTextureHasTransparecy(Record.ImageTextureHasTransparecy);
    zone->SetImgTransparentColor(Record.ImgTransparentColor);
    zone->SetImgTranspTolerance(Record.ImgTranspTolerance);
    zone->SetImageTextureLibName(Record.ImageTextureLibName);
    zone->SetImageTexturePath((TextureFolder / Record.ImageFileName).string());
    zone->SetActive(Record.Active);
    zone->SetIsLocked(Record.IsLocked);
    zone->SetIsObjectSelected(Record.IsSelected);

    // The zone's picture: a library texture, or the user's picture from the texture folder or, failing
    // that, from beside the file.
    std::error_code ec;
    if (Record.ImageTextureType == TTextureType::qzaLibTexture && !Record.ImageTextureLibName.empty()) {
        const fs::path file = LibraryTextureFile(FInfo.AppDataPath, Record.ImageTextureLibName);
        if (fs::is_regular_file(file, ec)) {
            if (std::optional<TBitmap> image = ReadPicture(file)) {
                zone->SetImageTexture(std::make_unique<TBitmap>(std::move(*image)));
            } else {
                // A texture that does not decode is announced; the zone keeps its name of it and opens
                // without the picture.
                MessageBoxService().ShowMessage("Invalid Image format");
            }
        } else {
            zone->SetImageTextureLibName("");
        }
    } else if (Record.ImageTextureType == TTextureType::qzaLoadedImage) {
        fs::path source = zone->ImageTexturePath();
        if (!fs::is_regular_file(source, ec)) {
            const fs::path beside = fs::path(FileName).parent_path() / Record.ImageFileName;
            if (!Record.ImageFileName.empty() && fs::is_regular_file(beside, ec)) {
                source = beside;
                zone->SetImageTexturePath(beside.string());
            } else {
                source.clear();
                MessageBoxService().ShowMessage("User image not found : " +
                                                fs::path(zone->ImageTexturePath()).filename().string());
            }
        }
        if (!source.empty()) {
            if (std::optional<TBitmap> image = ReadPicture(source)) {
                zone->SetImageTexture(std::make_unique<TBitmap>(std::move(*image)));
            } else {
                zone->SetImageTextureLibName("");
            }
        }
    }
    if (zone->ImageTexture() != nullptr) {
        RotatePicture(*zone->ImageTexture(), zone->ImgTextureRot());
        if (zone->ImageTextureHasTransparecy()) {
            MakeColorTransparent(*zone->ImageTexture(), zone->ImgTransparentColor(),
                                 zone->ImgTranspTolerance());
        }
    }
    if (Record.ImageTextureType != TTextureType::qzaColor) {
        zone->SetTextureSize();
        zone->ApplyTexture();
    }
    if (Header.FileMajorVer > 3) {
        zone->SetRefBeginX(Record.RefBeginPointX);
        zone->SetRefBeginY(Record.RefBeginPointY);
        zone->SetRefEndX(Record.RefEndPointX);
        zone->SetRefEndY(Record.RefEndPointY);
        zone->SetRefLength(Record.RefLength);
    } else if (zone->ImageTexture() != nullptr) {
        zone->SetRefBeginX(0);
        zone->SetRefBeginY(0);
        zone->SetRefEndX(zone->ImageTexture()->Width());
        zone->SetRefEndY(0);
        zone->SetRefLength(static_cast<float>(Record.Width));
    }
    zoneLoaded(*zone);
}

void TDocuments::zoneLoaded(TMappingZone& Zone) {
    // The loader set the zone's mapping and texture: their rules apply, then drawing and panel follow.
    ed_.Kinds.Get<TZoneKind>()->ApplyModelRules(Zone);
    ed_.Objects.ObjectChanged(Zone);
    if (auto* panel = PanelOf<IObjectPanel>(Zone)) {
        panel->UpdateLockUnlock();
    }
}

TOrnament* TDocuments::LoadOrnamentFromRecord(const rPRJOrnament& Record, const TPoint3D& Offset,
                                              TQzLayer* Layer) {
    TOrnaModel* model =
        ed_.Library != nullptr ? ed_.Library->GetOrnaModelByName(Record.ModelName, true) : nullptr;
    if (model == nullptr) {
        return nullptr;
    }
    return ed_.Adding.AddNewOrnament(Record.Name, Record.ModelName, plus(Record.Position, Offset),
                                     Record.Rotation, Record.IsSelected, Layer, Record.Width, Record.Depth,
                                     Record.Height, Record.Visible);
}

TCluster* TDocuments::LoadClusterFromRecord(const rPRJCluster& Record, const TPoint3D& Offset) {
    TCabModel* model =
        ed_.Library != nullptr
            ? ed_.Library->GetCabModelByName(Record.ModelName, Record.VariantName, Record.BrandName, true)
            : nullptr;
    if (model == nullptr) {
        return nullptr;
    }
    TAcousticProject& p = ed_.Project;
    p.AddCluster(std::make_unique<TCluster>(&ed_.PhysicalSpace, &p, model, Record.CabOrientation));
    TCluster* cluster = p.Clusters().back().get();
    cluster->SetNumberID(p.NClusters());
    cluster->SetName(Record.ClusterName);
    cluster->SetPosition(plus(Record.Position, Offset));
    cluster->SetRotationAngle(Record.Rotation);
    cluster->SetClusterMounting(Record.ClusterMounting);
    cluster->SetIsInvDirection(Record.IsInvDirection);
    cluster->SetClusterDistribution(Record.ClusterDistribution);
    cluster->SetOrientation(Record.CabOrientation);
    cluster->SetActive(Record.Active);
    cluster->SetIsObjectSelected(Record.IsSelected);
    cluster->SetIsLocked(Record.IsLocked);
    cluster->SetIsSubArrangement(Record.IsSubArrangement);
    cluster->SetSubArrangementType(Record.SubArrangementType);
    cluster->SetAngularHAngle(Record.AngularHAngle);
    cluster->SetAngularVAngle(Record.AngularVAngle);
    cluster->SetAngularRadius(Record.AngularRadius);
    cluster->SetLinearHSpace(Record.LinearHSpace);
    cluster->SetLinearVSpace(Record.LinearVSpace);
    cluster->SetQuantityH(Record.QuantityH);
    cluster->SetQuantityV(Record.QuantityV);
    ed_.SetInEdition(cluster);
    const auto& cabinets = cluster->CabinetList();
    for (size_t i = 0; i < Record.CabinetList.size() && i < cabinets.size(); ++i) {
        const rPRJArrayItem& item = Record.CabinetList[i];
        TCabinet& cab = *cabinets[i];
        cab.SetActive(item.Active);
        ApplyPresetAndProcess(cab, item.IntPresetid, item.ExtDSPid);
        cab.SetCabDirection(item.CabDirection);
        cab.SetHornRotationIndex(item.CoverageIndex);
    }
    ed_.ModelOnly.InsertNewCluster(cluster, layerAt(Record.LayerID), cluster->Active());
    return cluster;
}

TBeamContainer* TDocuments::LoadBeamSteeringFromRecord(const rPRJBeamSteering& Record,
                                                       const TPoint3D& Offset) {
    const rPRJCluster& r = Record.Main;
    TCabModel* model = ed_.Library != nullptr
                           ? ed_.Library->GetCabModelByName(r.ModelName, r.VariantName, r.BrandName, true)
                           : nullptr;
    if (model == nullptr) {
        return nullptr;
    }
    TAcousticProject& p = ed_.Project;
    p.AddBeamSteering(std::make_unique<TBeamContainer>(&ed_.PhysicalSpace, &p, model, r.CabOrientation));
    TBeamContainer* beam = p.Beams().back().get();
    beam->SetNumberID(p.NBeamSteerings());
    beam->SetName(r.ClusterName);
    beam->SetPosition(plus(r.Position, Offset));
    beam->SetRotationAngle(r.Rotation);
    beam->SetClusterMounting(r.ClusterMounting);
    beam->SetIsInvDirection(r.IsInvDirection);
    beam->SetClusterDistribution(r.ClusterDistribution);
    beam->SetOrientation(r.CabOrientation);
    beam->SetActive(r.Active);
    beam->SetIsObjectSelected(r.IsSelected);
    beam->SetIsLocked(r.IsLocked);
    beam->SetIsSubArrangement(r.IsSubArrangement);
    beam->SetSubArrangementType(r.SubArrangementType);
    beam->SetAngularHAngle(r.AngularHAngle);
    beam->SetAngularVAngle(r.AngularVAngle);
    beam->SetAngularRadius(r.AngularRadius);
    beam->SetLinearHSpace(r.LinearHSpace);
    beam->SetLinearVSpace(r.LinearVSpace);
    beam->SetQuantityH(r.QuantityH);
    beam->SetQuantityV(r.QuantityV);
    ed_.SetInEdition(beam);
    const auto& cabinets = beam->CabinetList();
    for (size_t i = 0; i < r.CabinetList.size() && i < cabinets.size(); ++i) {
        const rPRJArrayItem& item = r.CabinetList[i];
        TCabinet& cab = *cabinets[i];
        cab.SetActive(item.Active);
        ApplyPresetAndProcess(cab, item.IntPresetid, item.ExtDSPid);
        cab.SetCabDirection(item.CabDirection);
        cab.SetHornRotationIndex(item.CoverageIndex);
    }
    for (const rPRJSingleBeam& stored : Record.SingleBeams) {
        TSingleBeam* single = beam->AddSingleBeam();
        if (single == nullptr) {
            break;
        }
        single->SetName(stored.Name);
        single->SetAngle(stored.Angle);
        single->SetCurvatureAngle(stored.CurvatureAngle);
        single->SetLobesOptimize(stored.LobesOptimize);
        single->SetActive(stored.Active);
    }
    // A beam-steering array joins the layer selected while it is read.
    ed_.ModelOnly.InsertNewBeamSteeringInterface(beam, ed_.Layers.SelectedLayer, beam->Active());
    return beam;
}

TCabArray* TDocuments::LoadArrayFromRecord(const rPRJCabArray& Record, const TPoint3D& Offset) {
    TAcousticProject& p = ed_.Project;
    p.AddArray(std::make_unique<TCabArray>(&ed_.PhysicalSpace, &p));
    TCabArray* array = p.CabArrays().back().get();
    TCabArray* result = array;
    array->SetNumberID(p.NCabArrays());
    array->SetName(Record.ClusterName);
    array->SetPosition(plus(Record.Position, Offset));
    array->SetMountingType(Record.Mounting);
    array->SetActive(Record.Active);
    array->SetIsLocked(Record.IsLocked);
    array->SetCableWeightPerMeter(Record.CableWeightPerMeter);
    array->SetIncludeCableInCalculation(Record.IncludeCableInCalculation);
    array->SetNMotors(Record.NMotors);
    array->SetOriginType(static_cast<int>(Record.OriginType) > 1 ? TOriginType::qzaFlyOnePoint
                                                                 : Record.OriginType);
    for (const rPRJArrayItem& item : Record.ItemList) {
        if (item.ClassName == "TRiggingFrame") {
            const std::string name =
                item.VariantName.empty() ? item.ModelName : item.ModelName + " (" + item.VariantName + ")";
            TRigFrameModel* frameModel =
                ed_.Library != nullptr ? ed_.Library->GetFrameModelByName(name, true) : nullptr;
            if (frameModel != nullptr) {
                array->AddFrame(frameModel)->SetRotationAngle(item.Rotation);
            }
        } else if (item.ClassName == "TCabinet") {
            TCabModel* model =
                ed_.Library != nullptr
                    ? ed_.Library->GetCabModelByName(item.ModelName, item.VariantName, item.BrandName, true)
                    : nullptr;
            if (model != nullptr) {
                TCabinet* cab = array->AddCabinet(model, item.Active);
                cab->SetCabDirection(item.CabDirection);
                cab->SetRotationAngle(item.Rotation);
                cab->SetHornRotationIndex(item.CoverageIndex);
            } else {
                result = nullptr;
                array->AddDummy()->SetRotationAngle(item.Rotation);
            }
        } else if (item.ClassName == "TQzDummy") {
            array->AddDummy()->SetRotationAngle(item.Rotation);
        }
    }
    p.SetForceCalculation(true);
    array->SetTilt(Record.Tilt);
    array->SetRotationAngleY(Record.Rotation.Y);
    p.SetForceCalculation(false);
    ed_.SetInEdition(array);
    p.SetEventsEnabled(true);
    ed_.Kinds.Get<TLineArrayKind>()->InsertNewArray(array, layerAt(Record.LayerID), array->Active());
    p.SetEventsEnabled(false);
    array->SetArrayOrigin();
    return result;
}

} // namespace vendrel
