#include "platform/core/file_dialog.h"

#include <atomic>

namespace vendrel {

namespace {

// Without a user interface nobody chooses a file.
class CancellingFileDialog : public IFileDialog {
public:
    std::optional<std::string> Execute(const TFileDialogRequest&) override { return std::nullopt; }
};

CancellingFileDialog cancelling;
std::atomic<IFileDialog*> current{&cancelling};

} // namespace

IFileDialog& FileDialogService() {
    return *current.load();
}

void SetFileDialogService(IFileDialog* dialog) {
    current.store(dialog ? dialog : &cancelling);
}

std::optional<std::string> RecordingFileDialog::Execute(const TFileDialogRequest& Request) {
    requests.push_back(Request);
    if (answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

} // namespace vendrel
