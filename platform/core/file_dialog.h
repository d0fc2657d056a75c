#pragma once
// Open and save file dialogs, reached through an interface as the message boxes are, so that the core
// can ask for a file name and tests can answer and record the requests.

#include <optional>
#include <string>
#include <vector>

namespace vendrel {

enum class TFileDialogKind : uint8_t { fdOpen, fdSave };

struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::fdOpen;
    // Pairs of caption and pattern separated by "|": "Vendrel Project File|*.V3DPrj|All|*.*".
    std::string Filter;
    std::string InitialDir;
    // The proposed name (a save dialog); empty for none.
    std::string FileName;
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // The chosen file's full path; nothing when the user cancelled. A save dialog asks before it names
    // a file that exists.
    virtual std::optional<std::string> Execute(const TFileDialogRequest& Request) = 0;
};

// The dialogs the program uses; set once at start (Qt dialogs) or by a test (RecordingFileDialog).
IFileDialog& FileDialogService();
void SetFileDialogService(IFileDialog* dialog); // not owned; nullptr restores the default, which cancels

// Records every request and answers from a queue (nothing left: cancelled).
class RecordingFileDialog : public IFileDialog {
public:
    std::optional<std::string> Execute(const TFileDialogRequest& Request) override;

    std::vector<TFileDialogRequest> requests;
    std::vector<std::optional<std::string>> answers; // consumed front to back
};

} // namespace vendrel
