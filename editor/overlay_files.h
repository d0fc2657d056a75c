#pragma once
// Overlays carried between projects in overlay files (".overlay"): "Save Overlay" writes the overlays
// whose rows are ticked, "Import Overlay" adds a file's overlays to the project. Each overlay is stored
// on its own response grid and comes back on it.

#include <string>
#include <vector>

namespace vendrel {

class TDocuments;
class TMeasureResponses;
class TOverlay;
struct rPRJOverlay;

class TOverlayFiles {
public:
    // Neither is owned; both outlive this.
    TOverlayFiles(TDocuments& Documents, TMeasureResponses& Responses);

    // "Save Overlay": the save dialog, the extension rule, then the ticked overlays in project order (none
    // ticked: a file of no overlay). True when written; a failure is reported and writes nothing.
    bool SaveOverlayActionExecute();
    // The file name a chosen name is saved under: ".overlay" appended to a name without extension, another
    // extension (compared exactly) replaced by it.
    static std::string WithOverlayExtension(const std::string& Chosen);
    // Writes the overlays; raises when the file cannot hold them or cannot be written.
    void ExportOverlaysFile(const std::string& FileName, const std::vector<TOverlay*>& Overlays);

    // "Import Overlay": the open dialog, then every overlay of the file added to the project. True when
    // the file was read; a damaged file is reported, another program's file imports nothing.
    bool ImportOverlayActionExecute();
    // One stored overlay added with its series and row, numbered by the overlay count after adding it;
    // null when the project cannot take another overlay.
    TOverlay* AddOverlayFromRecord(const rPRJOverlay& Record);

private:
    TDocuments& docs_;
    TMeasureResponses& responses_;
    std::string saveDialogName_;
};

} // namespace vendrel
