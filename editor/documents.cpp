#include "editor/documents.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/kinds/cabinet_kind.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/kinds/ornament_kind.h"
#include "editor/kinds/zone_kind.h"
#include "files/library_scan.h"
#include "files/scene_records.h"
#include "platform/core/camera.h"
#include "platform/core/cursor_service.h"
#include "platform/core/file_dialog.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "platform/core/system_helpers.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMainSection = "MainForm";

// A version part as stored in one byte of a header; a part that is no number or above 255 cannot be
// stored.
uint8_t versionByte(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) {
        throw ERangeError("The program version part \"" + text + "\" does not fit a project file");
    }
    return static_cast<uint8_t>(value);
}

std::string folderWithSeparator(const fs::path& file) {
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

rPRJCamera cameraRecord(const char* name, const TCamera& camera, const TPoint3D* pivotRotation) {
    rPRJCamera r;
    r.Name = name;
    r.Position = camera.Position();
    r.Rotation = camera.RotationAngle();
    r.AngleOfView = camera.AngleOfView();
    if (pivotRotation != nullptr) {
        r.DummyRotX = pivotRotation->X;
        r.DummyRotY = pivotRotation->Y;
    }
    return r;
}

void warn(const std::string& text) {
    MessageBoxService().MessageDlg(text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
}

} // namespace

std::string TDocumentInfo::ProjectFilter() const {
    return SoftwareName + " Project File|*" + ProjectFileExt + "|All|*.*";
}

std::string TDocumentInfo::TemplatesFolder() const {
    return folderWithSeparator(fs::path(AppDataPath) / "Templates" / "x");
}

TDocuments::TDocuments(TEditor& Editor, TDocumentInfo Info) : ed_(Editor), FInfo(std::move(Info)) {
    ActiveProjectFileName = FInfo.DefaultProjectFileName();
    ActualFolder = FInfo.ProjectFolder;
    NewActionResponse = TModalResult::mrNone;
    NewAction.OnExecute = [this] { NewActionExecute(); };
    OpenAction.OnExecute = [this] { OpenActionExecute(); };
    OpenTemplateItem.OnExecute = [this] { OpenTemplateItemClick(); };
    SaveAction.OnExecute = [this] { SaveActionExecute(); };
    SaveAsAction.OnExecute = [this] { SaveAsActionExecute(); };
}

TDocuments::~TDocuments() = default;

// ---------------------------------------------------------------------------------------------------
// Saving

TModalResult TDocuments::AskSaveCurrentProject() {
    if (!ed_.Project.IsProjectModified()) {
        return TModalResult::mrNo;
    }
    return MessageBoxService().MessageDlg("Do you want to Save the current project?", TMsgDlgType::mtWarning,
                                          {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel});
}

bool TDocuments::SaveActionExecute() {
    const fs::path current(ActiveProjectFileName);
    const bool named =
        !ActiveProjectFileName.empty() && ActiveProjectFileName != FInfo.DefaultProjectFileName();
    // A template is never overwritten by "Save": it is saved under a name the user chooses.
    if (named && fs::path(folderWithSeparator(current)).lexically_normal() !=
                     fs::path(FInfo.TemplatesFolder()).lexically_normal()) {
        return SaveProjectFile(ActiveProjectFileName);
    }
    return SaveAsActionExecute();
}

std::string TDocuments::WithProjectExtension(const std::string& Chosen) const {
    fs::path p(Chosen);
    if (p.extension().string() == FInfo.ProjectFileExt) {
        return Chosen;
    }
    if (p.has_extension()) {
        p.replace_extension();
    }
    return p.string() + FInfo.ProjectFileExt;
}

bool TDocuments::SaveAsActionExecute() {
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdSave;
    request.Filter = FInfo.ProjectFilter();
    request.InitialDir = ActualFolder;
    if (!ActiveProjectFileName.empty() && ActiveProjectFileName != FInfo.DefaultProjectFileName()) {
        FSaveDialogName = fs::path(ActiveProjectFileName).filename().string();
    }
    request.FileName = FSaveDialogName;
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    if (!chosen) {
        return false;
    }
    FSaveDialogName = fs::path(*chosen).filename().string();
    return SaveProjectFile(WithProjectExtension(*chosen));
}

std::string TDocuments::CheckProjectForSave() const {
    const TAcousticProject& p = ed_.Project;
    if (p.NOverlays() > 255) {
        return "it holds " + std::to_string(p.NOverlays()) +
               " overlays, and a project file stores at most 255. Remove some overlays and save again.";
    }
    if (p.NBeamSteerings() > 255) {
        return "it holds " + std::to_string(p.NBeamSteerings()) +
               " beam-steering arrays, and a project file stores at most 255. Remove some and save again.";
    }
    try {
        for (const std::string& part :
             {FInfo.Version[0], FInfo.Version[1], FInfo.Version[2], FInfo.Version[3]}) {
            versionByte(part);
        }
    } catch (const ERangeError& e) {
        return e.what();
    }
    return {};
}

rProjectFile TDocuments::BuildProjectRecord(const std::string& F,
                                            std::unique_ptr<TTextureCopies>& Copies) const {
    const TAcousticProject& p = ed_.Project;
    const TEditorScene& sc = ed_.Scene;
    const TLayers& layers = ed_.Layers;
    rProjectFile r;

    rPRJHeaderFile& h = r.Header;
    h.SoftType = FInfo.SoftwareName.substr(0, kSoftTypeCapacity);
    h.FileMajorVer = kProjectFileMajorVer;
    h.FileMinorVer = 0;
    h.MajorVersion = versionByte(FInfo.Version[0]);
    h.MinorVersion = versionByte(FInfo.Version[1]);
    h.ReleaseVersion = versionByte(FInfo.Version[2]);
    h.BuildVersion = versionByte(FInfo.Version[3]);
    h.AllowToUSeInOtherVersions = false;

    rPRJStaticDataFile& s = r.GlobalStaticData;
    s.InstallationName = p.InstallationName();
    s.GPSCoordinates = p.GPSCoordinates();
    s.PRJCreatedBy = p.PRJCreatedBy();
    s.PRJDescription = p.PRJDescription();
    s.VenueLength = ed_.PhysicalSpace.VenueLength();
    s.VenueHeightVer = ed_.PhysicalSpace.VenueHeightVer();
    s.VenueWidthHor = ed_.PhysicalSpace.VenueWidthHor();
    s.MappingColorsRes = p.MappingColorsRes();
    s.MappingBandsType = p.MappingBandsType();
    s.FreqToEvaluate = p.FreqToEvaluate();
    s.SelectedFreqPoint = ed_.PhysicalSpace.SelectedFreqPoint();
    s.ViewType = p.ViewType();
    s.OnlyPhase = p.OnlyPhase();
    s.ZeroPhaseStart = p.ZeroPhaseStart();
    s.IdealSpeaker = p.IdealSpeaker();
    s.ContinuousRender = p.ContinuousRender();
    s.RefreshTimeMsec = p.RefreshTimeMsec();
    s.RenderQuality = p.RenderQuality();
    s.SPLNormalized = p.SPLNormalized();
    s.MaxdBSPL = p.MaxdBSPL();
    s.RangedBSPL = p.RangedBSPL();
    s.MaxPhase = p.MaxPhase();
    s.MinPhase = p.MinPhase();
    s.PressureSumType = p.PressureSumType();
    s.MaxFreqForComplexSum = 0;
    s.ColorMapStepsdB = ed_.Colors.ColorMapStepsdB;
    s.MappingColors.clear();
    const std::vector<TUIAction*> palettes = ed_.Colors.PaletteItems();
    for (size_t i = 0; i < palettes.size(); ++i) {
        if (palettes[i]->Checked()) {
            s.MappingColors = TColorMapping::PaletteNameOf(static_cast<int>(i));
            break;
        }
    }
    s.MaxAuto = p.SPLNormalized();
    s.GenNoiseType = p.GenNoiseType();
    s.GenGain = p.GenGain();
    s.NCabsInProject = p.TotalCabinets();
    s.NCabinets = p.NCabinets();
    s.NCabArrays = p.NCabArrays();
    s.NMappingZones = p.NMappingZones();
    s.NMics = p.NMics();
    s.NDSPProcess = p.NDSPProcess();
    s.NSubArrangements = p.NSubArrangements();
    s.NOrnaments = p.NOrnaments();
    s.NClusters = p.NClusters();
    s.NCamerasUser = NCamerasUser;
    s.NLights = NLights;
    s.NLayers = static_cast<int32_t>(layers.LayerList.size());
    const TPoint3D side = ed_.Views.StoredPivotRotation(TViewType::qzaSideView);
    const TPoint3D top = ed_.Views.StoredPivotRotation(TViewType::qzaTopView);
    const TPoint3D front = ed_.Views.StoredPivotRotation(TViewType::qzaFrontView);
    s.CameraSide = cameraRecord("Side Camera", *sc.CameraSide, &side);
    s.CameraTop = cameraRecord("Top Camera", *sc.CameraTop, &top);
    s.CameraFront = cameraRecord("Front Camera", *sc.CameraFront, &front);
    s.Camera3D = cameraRecord("3D Camera", *sc.Camera3D, nullptr);
    s.Camera3D.DummyPos = {sc.Cam3DDummyX->RotationAngle().X, sc.Cam3DDummyY->RotationAngle().Y, 0.0f};
    s.AvoidPhaseAliasing = p.AvoidPhaseAliasing();
    s.ActiveLayer = layers.SelectedLayer != nullptr ? layers.SelectedLayer->NumID() : 0;
    s.NOverlays = CheckedCast<uint8_t>(p.NOverlays());
    s.Weighting = p.MicWeightening();
    s.DistributionStepsdB = ed_.Points.DistributionStepsdB;
    s.ZonasCrecenParriba = p.ZonasCrecenParriba();
    s.NBeams = CheckedCast<uint8_t>(p.NBeamSteerings());
    s.NewLayerColorID = layers.NewLayerColorID;
    s.NewMicColorID = ed_.Points.NewMicColorID;
    s.NewOverlaysColorID = ed_.Points.NewOverlaysColorID;

    r.CameraUser.assign(static_cast<size_t>(std::max(NCamerasUser, 0)), rPRJCamera{});
    rPRJLight light;
    light.LightType = static_cast<TLightType>(1);
    light.Color = 0xFFFFFFFF;
    light.SpotCutOff = 180.0;
    light.SpotExponent = 100.0;
    light.Active = true;
    r.Lights.assign(static_cast<size_t>(std::max(NLights, 0)), light);

    for (const TQzLayer* layer : layers.LayerList) {
        LayerToRecord(r.Layers.emplace_back(), *layer);
    }
    for (const auto& cab : p.Cabinets()) {
        CabinetToSystemRecord(*cab, r.Cabinets.emplace_back());
    }
    for (const auto& array : p.CabArrays()) {
        CabArrayToRecord(*array, r.CabArrays.emplace_back());
    }
    std::vector<const TMappingZone*> zones;
    for (const auto& zone : p.MappingZones()) {
        zones.push_back(zone.get());
    }
    Copies = std::make_unique<TTextureCopies>(TextureFolderOf(F), zones);
    for (const TMappingZone* zone : zones) {
        MappingZoneToRecord(r.MappingZones.emplace_back(), *zone, *Copies);
    }
    for (const auto& ornament : p.Ornaments()) {
        OrnamentToRecord(r.Ornaments.emplace_back(), *ornament);
    }
    for (const auto& cluster : p.Clusters()) {
        ClusterToRecord(*cluster, r.Clusters.emplace_back());
    }
    for (const auto& beam : p.Beams()) {
        BeamSteeringToRecord(*beam, r.Beams.emplace_back());
    }
    for (const auto& mic : p.Mics()) {
        MicToRecord(r.Measures.emplace_back(), *mic);
    }
    for (const auto& process : p.DSPProcessList()) {
        r.ProcessActive.push_back(process->Active());
        r.DSPProcess.push_back(DSPProcessToRecord(*process, FInfo.SoftwareName));
    }
    r.SubArrangements.assign(static_cast<size_t>(p.NSubArrangements()), rPRJSubArrangement{});
    for (const auto& overlay : p.Overlays()) {
        OverlayToRecord(r.Overlays.emplace_back(), *overlay);
    }
    r.OverlaysSize = static_cast<int32_t>(r.Overlays.size()) * kOverlaySizeCounted;
    r.NewDataSize = 0;
    return r;
}

void TDocuments::writeProject(const std::string& F) {
    std::unique_ptr<TTextureCopies> copies;
    const rProjectFile record = BuildProjectRecord(F, copies);
    copies->Copy();
    SaveProjectRecord(F, record, FileSystem != nullptr ? *FileSystem : LocalFileSystem());
}

bool TDocuments::SaveProjectFile(const std::string& F) {
    const auto cursor = TSmartCursor::HourGlass();
    if (const std::string reason = CheckProjectForSave(); !reason.empty()) {
        warn("The project cannot be saved: " + reason);
        return false;
    }
    try {
        writeProject(F);
    } catch (const std::exception& e) {
        // The file on the disk is the one before the save (the writer replaces it only when complete),
        // and the project keeps its name and its modified mark.
        warn("The project could not be saved as \"" + F + "\".\r\n\r\n" + e.what() +
             "\r\n\r\nThe project is still open; save it in another folder or under another name.");
        return false;
    }
    ActiveProjectFileName = F;
    CurrentFileVersionStr = "(" + std::to_string(versionByte(FInfo.Version[0])) + "." +
                            std::to_string(versionByte(FInfo.Version[1])) + ")";
    ed_.Project.SetIsProjectModified(false);
    if (DrawCaption) {
        DrawCaption();
    }
    UpdateMRUitems(F);
    ActualFolder = folderWithSeparator(fs::path(F));
    return true;
}

void TDocuments::SaveBackup(const std::string& F) {
    if (const std::string reason = CheckProjectForSave(); !reason.empty()) {
        throw ERangeError(reason);
    }
    writeProject(F);
}

// ---------------------------------------------------------------------------------------------------
// Recent files

void TDocuments::UpdateMRUitems(const std::string& Path) {
    const auto found = std::find(MRU.begin(), MRU.end(), Path);
    if (found != MRU.end()) {
        std::rotate(MRU.begin(), found, found + 1);
    } else {
        std::rotate(MRU.begin(), MRU.end() - 1, MRU.end());
        MRU.front() = Path;
    }
    if (SettingsIni != nullptr) {
        for (size_t i = 0; i < MRU.size(); ++i) {
            SettingsIni->WriteString(kMainSection, "MRUPath" + std::to_string(i + 1), MRU[i]);
        }
        SettingsIni->UpdateFile();
    }
    if (CreateMRUItems) {
        CreateMRUItems();
    }
}

// ---------------------------------------------------------------------------------------------------
// New project and clearing

void TDocuments::NewActionExecute() {
    ed_.Adding.EndInsertionInViewPort3D();
    if (CloseSecondaryWindows) {
        CloseSecondaryWindows();
    }
    const TModalResult r = AskSaveCurrentProject();
    NewActionResponse = r;
    if (r == TModalResult::mrCancel || r == TModalResult::mrNone) {
        NewActionResponse = TModalResult::mrCancel;
        return;
    }
    // A save that did not complete (cancelled or failed) keeps the project: nothing is lost.
    if (r == TModalResult::mrYes && !SaveActionExecute()) {
        NewActionResponse = TModalResult::mrCancel;
        return;
    }
    TAcousticProject& p = ed_.Project;
    if (SetStatusText) {
        SetStatusText("Creating New Project...");
    }
    ed_.Selection.UnSelectAllObjects();
    ed_.Mouse.SetInputPlanesHitTest(false);
    {
        const auto cursor = TSmartCursor::HourGlass();
        ActiveProjectFileName = FInfo.DefaultProjectFileName();
        CurrentFileVersionStr = "(" + FInfo.Version[0] + "." + FInfo.Version[1] + ")";
        if (DrawCaption) {
            DrawCaption();
        }
        const bool continuous = p.ContinuousRender();
        p.SetEventsEnabled(false);
        p.SetContinuousRender(false);
        NCamerasUser = 0;
        NLights = 0;
        ClearProject();
        ed_.Layers.GlobalLayer->SetName("Layer 0 (Global)");
        p.SetZonasCrecenParriba(true);
        p.SetEventsEnabled(true);
        p.SetIsProjectModified(false);
        p.SetContinuousRender(continuous);
    }
    if (SetStatusText) {
        SetStatusText(" ");
    }
    ed_.SetViewCursor(crDefault);
    if (ShowMemoryInfo) {
        ShowMemoryInfo();
    }
}

void TDocuments::ClearProject() {
    TAcousticProject& p = ed_.Project;
    TEditorState& st = ed_.State;
    TLayers& layers = ed_.Layers;
    // Every reference the editor keeps to a scene object goes before the objects do.
    const auto purge = [this](TQzControl3D& object) { ed_.Removal.ForgetObject(&object); };
    const TWorkersPause pause(p);

    st.CopyObjList.Clear();
    st.LockedList.Clear();
    layers.NewLayerColorID = 0;
    ed_.Points.NewMicColorID = 0;
    ed_.Points.NewOverlaysColorID = 5;
    if (ProcessMessages) {
        ProcessMessages();
    }
    p.SetDontSumAllMaps(true);
    p.SetAllCabsCalculated();
    st.ChangeTab = true;

    while (!p.MappingZones().empty()) {
        TMappingZone* zone = p.MappingZones().back().get();
        zone->SetImageTexture(nullptr);
        ed_.Kinds.Get<TZoneKind>()->RemoveSurface(zone);
    }
    while (!p.Overlays().empty()) {
        TOverlay* overlay = p.Overlays().back().get();
        purge(*overlay);
        ed_.Points.Responses.RemoveOverlay(overlay);
    }
    while (!p.Mics().empty()) {
        ed_.Points.RemoveMic(p.Mics().back().get());
    }

    while (!p.Cabinets().empty()) {
        ed_.Kinds.Get<TCabinetKind>()->RemoveCabinet(p.Cabinets().back().get());
    }
    if (p.ProgressBar() != nullptr) {
        p.ProgressBar()->SetMax(p.TotalCabinets());
    }
    while (!p.CabArrays().empty()) {
        ed_.Kinds.Get<TLineArrayKind>()->RemoveArray(p.CabArrays().back().get());
    }
    while (!p.Clusters().empty()) {
        ed_.ModelOnly.RemoveCluster(p.Clusters().back().get());
    }
    while (!p.Beams().empty()) {
        ed_.ModelOnly.RemoveBeamSteering(p.Beams().back().get());
    }

    std::vector<TGenericDSPProcess*> processes;
    for (const auto& process : p.DSPProcessList()) {
        processes.push_back(process.get());
    }
    p.RemoveDSPProcess(processes, static_cast<int32_t>(processes.size()));

    while (!p.Ornaments().empty()) {
        ed_.Kinds.Get<TOrnamentKind>()->RemoveOrnament(p.Ornaments().back().get());
    }

    while (layers.LayerList.size() > 1) {
        TQzLayer* layer = layers.LayerList.back();
        layers.LayerList.pop_back();
        layer->FreeClass();
    }
    layers.LayerListNotify();
    TQzLayer* base = layers.GlobalLayer;
    base->ObjListInLayer.clear();
    base->SetVisible(true);
    base->SetIsLocked(false);
    layers.SelectedLayer = base;
    layers.LastEditedLayer = base;

    st.SelectedObjList.Clear();
    st.AcousticPrjItemClicked = nullptr;
    st.HighLightObj = nullptr;

    p.SetMemInitial(static_cast<double>(GetProcessWorkingSet(static_cast<uint32_t>(getpid()))) / 1048576.0);
    p.SetDontSumAllMaps(false);
}

// ---------------------------------------------------------------------------------------------------
// Open commands

bool TDocuments::askSaveBeforeOpening() {
    if (ActiveProjectFileName.empty()) {
        return true;
    }
    const TModalResult r = AskSaveCurrentProject();
    if (r == TModalResult::mrCancel || r == TModalResult::mrNone) {
        return false;
    }
    // A save that did not complete keeps the project open: opening another one would lose it.
    return r != TModalResult::mrYes || SaveActionExecute();
}

void TDocuments::OpenActionExecute() {
    ed_.Adding.EndInsertionInViewPort3D();
    if (CloseSecondaryWindows) {
        CloseSecondaryWindows();
    }
    if (!askSaveBeforeOpening()) {
        return;
    }
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdOpen;
    request.Filter = FInfo.ProjectFilter();
    request.InitialDir = ActualFolder;
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    std::error_code ec;
    if (chosen && fs::is_regular_file(*chosen, ec)) {
        LoadProjectFile(*chosen);
    }
}

void TDocuments::OpenTemplateItemClick() {
    if (!askSaveBeforeOpening()) {
        return;
    }
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdOpen;
    request.Filter = FInfo.ProjectFilter();
    request.InitialDir = FInfo.TemplatesFolder();
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    std::error_code ec;
    if (chosen && fs::is_regular_file(*chosen, ec)) {
        LoadProjectFile(*chosen);
    }
}

void TDocuments::ReOpenItemClick(const std::string& Path) {
    ed_.Adding.EndInsertionInViewPort3D();
    if (CloseSecondaryWindows) {
        CloseSecondaryWindows();
    }
    std::error_code ec;
    if (!fs::is_regular_file(Path, ec)) {
        MessageBoxService().ShowMessage("File not found : " + Path);
        return;
    }
    if (!askSaveBeforeOpening()) {
        return;
    }
    LoadProjectFile(Path);
}

std::string TDocuments::ModelOnlyObjectsNote() const {
    const TAcousticProject& p = ed_.Project;
    std::vector<std::string> kinds;
    const auto add = [&kinds](int32_t n, const char* one, const char* many) {
        if (n > 0) {
            kinds.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
        }
    };
    add(p.NCabArrays(), "line array", "line arrays");
    add(p.NClusters(), "cluster", "clusters");
    add(p.NBeamSteerings(), "beam-steering array", "beam-steering arrays");
    add(p.NOrnaments(), "ornament", "ornaments");
    add(p.NMics(), "measurement point", "measurement points");
    add(p.NOverlays(), "overlay", "overlays");
    if (kinds.empty()) {
        return {};
    }
    std::string list;
    for (size_t i = 0; i < kinds.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == kinds.size() ? " and " : ", ") + kinds[i];
    }
    return "Shown but not editable yet: " + list + " (they are kept and saved unchanged).";
}

} // namespace vendrel
