#include "editor/overlay_files.h"

#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/measure_responses.h"
#include "files/overlay_file.h"
#include "files/scene_records.h"
#include "platform/core/cursor_service.h"
#include "platform/core/file_dialog.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOverlayFilter = "Overlay File|*.overlay";

uint8_t versionByte(const std::string& Text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (ec != std::errc() || end != Text.data() + Text.size() || value < 0 || value > 255) {
        throw ERangeError("The program version part \"" + Text + "\" does not fit an overlay file");
    }
    return static_cast<uint8_t>(value);
}

} // namespace

TOverlayFiles::TOverlayFiles(TDocuments& Documents, TMeasureResponses& Responses)
    : docs_(Documents), responses_(Responses) {}

std::string TOverlayFiles::WithOverlayExtension(const std::string& Chosen) {
    fs::path p(Chosen);
    if (p.extension().string() == ".overlay") {
        return Chosen;
    }
    p.replace_extension(".overlay");
    return p.string();
}

void TOverlayFiles::ExportOverlaysFile(const std::string& FileName, const std::vector<TOverlay*>& Overlays) {
    if (docs_.SetStatusText) {
        docs_.SetStatusText("Exporting Overlays: " + FileName);
    }
    const TDocumentInfo& info = docs_.Info();
    rOverlayFile file;
    file.Header.SoftType = info.SoftwareName;
    file.Header.FileMajorVer = kOverlayFileMajorVer;
    file.Header.FileMinorVer = 0;
    file.Header.MajorVersion = versionByte(info.Version[0]);
    file.Header.MinorVersion = versionByte(info.Version[1]);
    file.Header.ReleaseVersion = versionByte(info.Version[2]);
    file.Header.BuildVersion = versionByte(info.Version[3]);
    file.Header.AllowToUSeInOtherVersions = false;
    if (Overlays.size() > 255) {
        throw ERangeError("An overlay file stores at most 255 overlays");
    }
    file.NOverlays = static_cast<uint8_t>(Overlays.size());
    for (const TOverlay* o : Overlays) {
        OverlayToRecord(file.Overlays.emplace_back(), *o);
    }
    file.NewDataSize = 0;
    {
        const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
        if (docs_.FileSystem != nullptr) {
            SaveOverlayRecord(FileName, file, *docs_.FileSystem);
        } else {
            SaveOverlayRecord(FileName, file);
        }
    }
    if (docs_.SetStatusText) {
        docs_.SetStatusText("Exported Overlay: " + FileName);
    }
}

bool TOverlayFiles::SaveOverlayActionExecute() {
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdSave;
    request.Filter = kOverlayFilter;
    request.InitialDir = docs_.ActualFolder;
    request.FileName = saveDialogName_;
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    if (!chosen) {
        return false;
    }
    saveDialogName_ = fs::path(*chosen).filename().string();
    const std::string name = WithOverlayExtension(*chosen);
    try {
        ExportOverlaysFile(name, responses_.TickedOverlays());
    } catch (const std::exception& e) {
        MessageBoxService().MessageDlg("The overlays could not be saved to \"" + name + "\".\n\n" + e.what(),
                                       TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        if (docs_.SetStatusText) {
            docs_.SetStatusText("");
        }
        return false;
    }
    return true;
}

TOverlay* TOverlayFiles::AddOverlayFromRecord(const rPRJOverlay& Record) {
    TOverlay* o = responses_.AddOverlay(Record.MagData, Record.PhaseData, Record.Color, false, Record.Name,
                                        Record.Visible, false);
    if (o == nullptr) {
        return nullptr;
    }
    OverlayCurvesFromRecord(Record, *o);
    o->SetIDnumber(docs_.Editor().Project.NOverlays());
    responses_.ShowOverlay(o);
    return o;
}

bool TOverlayFiles::ImportOverlayActionExecute() {
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::fdOpen;
    request.Filter = kOverlayFilter;
    request.InitialDir = docs_.ActualFolder;
    const std::optional<std::string> chosen = FileDialogService().Execute(request);
    std::error_code ec;
    if (!chosen || !fs::exists(*chosen, ec)) {
        return false;
    }
    rOverlayFile file;
    try {
        if (!OpenOverlayRecord(*chosen, file, docs_.Info().SoftwareName)) {
            return false;
        }
    } catch (const std::exception& e) {
        MessageBoxService().MessageDlg(e.what(), TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return false;
    }
    for (const rPRJOverlay& record : file.Overlays) {
        if (AddOverlayFromRecord(record) == nullptr) {
            break; // the project is full: told once
        }
    }
    if (docs_.ShowMemoryInfo) {
        docs_.ShowMemoryInfo();
    }
    return true;
}

} // namespace vendrel
