#include "platform/core/message_box.h"

#include <atomic>

namespace vendrel {

namespace {

// Without a user interface nobody answers: every box takes its first button.
class SilentMessageBox : public IMessageBox {
public:
    TModalResult MessageDlg(const std::string&, TMsgDlgType, const TMsgDlgButtons& buttons) override {
        return buttons.empty() ? TModalResult::mrOk : ResultOfButton(buttons.front());
    }
};

SilentMessageBox silentBox;
std::atomic<IMessageBox*> currentBox{&silentBox};

} // namespace

IMessageBox& MessageBoxService() {
    return *currentBox.load();
}

IMessageBox* SetMessageBoxService(IMessageBox* box) {
    IMessageBox* previous = currentBox.exchange(box ? box : &silentBox);
    return previous == &silentBox ? nullptr : previous;
}

TModalResult ResultOfButton(TMsgDlgBtn b) {
    switch (b) {
    case TMsgDlgBtn::mbYes:
        return TModalResult::mrYes;
    case TMsgDlgBtn::mbNo:
        return TModalResult::mrNo;
    case TMsgDlgBtn::mbOK:
        return TModalResult::mrOk;
    case TMsgDlgBtn::mbCancel:
        return TModalResult::mrCancel;
    case TMsgDlgBtn::mbAbort:
        return TModalResult::mrAbort;
    case TMsgDlgBtn::mbRetry:
        return TModalResult::mrRetry;
    case TMsgDlgBtn::mbIgnore:
        return TModalResult::mrIgnore;
    }
    return TModalResult::mrNone;
}

TModalResult RecordingMessageBox::MessageDlg(const std::string& text, TMsgDlgType type,
                                             const TMsgDlgButtons& buttons) {
    shown.push_back({text, type, buttons});
    if (!answers.empty()) {
        const TModalResult r = answers.front();
        answers.erase(answers.begin());
        return r;
    }
    return buttons.empty() ? TModalResult::mrOk : ResultOfButton(buttons.front());
}

} // namespace vendrel
