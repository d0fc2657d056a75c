#pragma once
// The project as a document: saving it into a project file, opening one, clearing the scene and
// starting a new project, the save question, and the list of recent files.
//
// Every save builds one project record from the scene through the record converters and hands it to
// the project-file writer, which writes a temporary file and renames it over the target; every open
// ends in LoadProjectFile, which reads and checks the whole record before it touches the open project,
// then rebuilds the scene through the loaders below.
//
// A save that fails (a file that cannot be written, a project the format cannot hold) is reported and
// changes nothing: the project keeps its file name, caption and modified mark. A file that cannot be
// read or checked is refused with its reason and the open project stays as it was. The callers of the
// save question treat a save that did not complete as Cancel.
//
// The window is reached through the hooks below; file names come from the file-dialog service and
// questions go through the message-box service, so tests drive all of it without a window.

#include "editor/ui_values.h"
#include "files/project_file.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TMemIniFile;
class TQzLayer;
class TCabinet;
class TCabArray;
class TCluster;
class TBeamContainer;
class TOrnament;
class TMappingZone;
class TTextureCopies;
class IFileSystem;
enum class TModalResult : uint8_t;

// What the documents read of the application information.
struct TDocumentInfo {
    std::string SoftwareName;   // the files' software name
    std::string ProjectFileExt; // ".V3DPrj"
    std::string AppDataPath;    // holds the "Templates" library folder
    std::string ProjectFolder;  // the projects folder under the user's documents
    // The running program's version parts as decimal texts (major, minor, release, build).
    std::array<std::string, 4> Version;

    std::string DefaultProjectFileName() const { return "NewProject" + ProjectFileExt; }
    // "<software name> Project File|*<ext>|All|*.*".
    std::string ProjectFilter() const;
    // The templates folder with a trailing separator.
    std::string TemplatesFolder() const;
};

// Number of entries of the recent-files list.
inline constexpr size_t kRecentFiles = 10;

class TDocuments {
public:
    // The editor is not owned and outlives the documents; models are looked up in its library.
    TDocuments(TEditor& Editor, TDocumentInfo Info);
    ~TDocuments();
    TDocuments(const TDocuments&) = delete;
    TDocuments& operator=(const TDocuments&) = delete;

    TEditor& Editor() const { return ed_; }
    const TDocumentInfo& Info() const { return FInfo; }

    // ---- The File commands ----
    TUIAction NewAction{"New Project", "Ctrl+N"};
    TUIAction OpenAction{"Open Project", "Ctrl+O"};
    TUIAction OpenTemplateItem{"Open Template"};
    TUIAction SaveAction{"Save", "Ctrl+S"};
    TUIAction SaveAsAction{"Save as", "Ctrl+Shift+S"};

    // ---- Window hooks (each may be empty) ----
    std::function<void()> DrawCaption;
    std::function<void(const std::string&)> SetStatusText;
    std::function<void()> ShowMemoryInfo;
    // The recent-files list changed: the menu is rebuilt (CreateMRUItems).
    std::function<void()> CreateMRUItems;
    // Closes the detached response window and the DSP process editor.
    std::function<void()> CloseSecondaryWindows;
    // Runs the pending queued calls with user input excluded.
    std::function<void()> ProcessMessages;
    // The settings file the recent files are written to (not owned; may be null).
    TMemIniFile* SettingsIni = nullptr;
    // The file system saves write through (not owned; null: the machine's own).
    IFileSystem* FileSystem = nullptr;

    // ---- Document state ----
    std::string ActiveProjectFileName;
    std::string CurrentFileVersionStr;
    std::string ActualFolder; // the folder file dialogs open in
    std::array<std::string, kRecentFiles> MRU;
    TModalResult NewActionResponse{};
    int32_t NCamerasUser = 0;
    int32_t NLights = 0;

    // ---- Saving ----
    // The save question: mrNo without asking when the project is not modified.
    TModalResult AskSaveCurrentProject();
    // "Save": Save as for a never-saved project or a template. True when the project was saved.
    bool SaveActionExecute();
    // "Save as": the save dialog, the extension rule, then the save. True when saved.
    bool SaveAsActionExecute();
    // Saves to F; true when written. A failure is reported and leaves name, caption and modified flag.
    bool SaveProjectFile(const std::string& F);
    // The crash handler's copy: written like a save, the project keeping its name; raises on failure.
    void SaveBackup(const std::string& F);
    // The whole record of the scene for the file F; Copies receives the zone pictures to copy.
    // Raises ERangeError when the project holds more than the format can store.
    rProjectFile BuildProjectRecord(const std::string& F, std::unique_ptr<TTextureCopies>& Copies) const;
    // The reason the project cannot be stored; empty when it can.
    std::string CheckProjectForSave() const;
    // The extension rule of the save dialogs (case-sensitive).
    std::string WithProjectExtension(const std::string& Chosen) const;

    // ---- New project and clearing ----
    void NewActionExecute();
    void ClearProject();

    // ---- Opening ----
    // Open, Open Template and a recent file; each asks to save first.
    void OpenActionExecute();
    void OpenTemplateItemClick();
    void ReOpenItemClick(const std::string& Path);
    // The common end of every open; true when the project was opened.
    bool LoadProjectFile(const std::string& FileName);
    // Moves the path to the head of the recent files, writes the list and rebuilds the menu.
    void UpdateMRUitems(const std::string& Path);

    // ---- Loaders of the scene objects (the project open; later the sound-system insert) ----
    void LoadZoneFromRecord(const rPRJMappingZone& Record, const std::string& FileName,
                            const std::filesystem::path& TextureFolder, const rPRJHeaderFile& Header);
    TOrnament* LoadOrnamentFromRecord(const rPRJOrnament& Record, const TPoint3D& Offset, TQzLayer* Layer);
    TCluster* LoadClusterFromRecord(const rPRJCluster& Record, const TPoint3D& Offset);
    TBeamContainer* LoadBeamSteeringFromRecord(const rPRJBeamSteering& Record, const TPoint3D& Offset);
    // The array is always added; nil when a cabinet model of it is missing.
    TCabArray* LoadArrayFromRecord(const rPRJCabArray& Record, const TPoint3D& Offset);
    // A loose cabinet; nil when its model is missing.
    TCabinet* LoadCabinetFromRecord(const rPRJCabinet& Record, const TPoint3D& Offset);
    // The preset and process of a cabinet from its record's numbers.
    void ApplyPresetAndProcess(TCabinet& Cabinet, int32_t IntPresetid, int32_t ExtDSPid);

    // Short text for the status line about objects that are shown but cannot be edited yet; empty
    // when there are none.
    std::string ModelOnlyObjectsNote() const;

private:
    // The save itself: record, pictures, file. Raises on failure.
    void writeProject(const std::string& F);
    // Asks to save before a command discards the project; false when the command must stop.
    bool askSaveBeforeOpening();
    bool openAndCheck(const std::string& FileName, rProjectFile& File);
    void loadRecord(const std::string& FileName, const rProjectFile& File);
    void loadSettings(const rProjectFile& File);
    void loadCameras(const rProjectFile& File);
    void loadLayers(const rProjectFile& File);
    TQzLayer* layerAt(int32_t Index) const;
    // The zone's drawn objects and panel follow what its loader set.
    void zoneLoaded(TMappingZone& Zone);

    TEditor& ed_;
    TDocumentInfo FInfo;
    std::string FSaveDialogName; // the save dialog keeps the name of its previous use
};

} // namespace vendrel
