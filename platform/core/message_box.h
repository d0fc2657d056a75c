#pragma once
// Modal message boxes, reached through an interface so the core can ask the user and tests can
// answer and record the exact texts.

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

enum class TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum class TMsgDlgBtn : uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };

using TMsgDlgButtons = std::vector<TMsgDlgBtn>;

// Result of a box: the button pressed.
enum class TModalResult : uint8_t { mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type,
                                    const TMsgDlgButtons& buttons) = 0;
    // A plain information box with an OK button.
    void ShowMessage(const std::string& text) {
        MessageDlg(text, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
    }
};

// The box the program uses; set once at start (Qt boxes) or by a test (RecordingMessageBox).
IMessageBox& MessageBoxService();
// Installs box (not owned; nullptr restores the silent default) and returns the one installed before
// (nullptr for the default).
IMessageBox* SetMessageBoxService(IMessageBox* box);

// Installs a box for the guard's life and puts the previous one back on every exit path.
class TScopedMessageBoxService {
public:
    explicit TScopedMessageBoxService(IMessageBox* box) : previous_(SetMessageBoxService(box)) {}
    ~TScopedMessageBoxService() { SetMessageBoxService(previous_); }
    TScopedMessageBoxService(const TScopedMessageBoxService&) = delete;
    TScopedMessageBoxService& operator=(const TScopedMessageBoxService&) = delete;

private:
    IMessageBox* previous_;
};

// Records every box and answers from a queue of results (default: the first button's result).
class RecordingMessageBox : public IMessageBox {
public:
    struct Entry {
        std::string text;
        TMsgDlgType type;
        TMsgDlgButtons buttons;
    };

    TModalResult MessageDlg(const std::string& text, TMsgDlgType type,
                            const TMsgDlgButtons& buttons) override;

    std::vector<Entry> shown;
    std::vector<TModalResult> answers; // consumed front to back
};

// The result a button gives when pressed.
TModalResult ResultOfButton(TMsgDlgBtn b);

} // namespace vendrel
