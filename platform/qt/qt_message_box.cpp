#include "platform/qt/qt_message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace vendrel {

namespace {

QMessageBox::Icon iconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardOf(TMsgDlgBtn b) {
    switch (b) {
    case TMsgDlgBtn::mbYes:
        return QMessageBox::Yes;
    case TMsgDlgBtn::mbNo:
        return QMessageBox::No;
    case TMsgDlgBtn::mbOK:
        return QMessageBox::Ok;
    case TMsgDlgBtn::mbCancel:
        return QMessageBox::Cancel;
    case TMsgDlgBtn::mbAbort:
        return QMessageBox::Abort;
    case TMsgDlgBtn::mbRetry:
        return QMessageBox::Retry;
    case TMsgDlgBtn::mbIgnore:
        return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

const char* titleOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return "Warning";
    case TMsgDlgType::mtError:
        return "Error";
    case TMsgDlgType::mtInformation:
        return "Information";
    case TMsgDlgType::mtConfirmation:
        return "Confirm";
    case TMsgDlgType::mtCustom:
        break;
    }
    return "";
}

} // namespace

TModalResult QtMessageBox::MessageDlg(const std::string& text, TMsgDlgType type,
                                      const TMsgDlgButtons& buttons) {
    QMessageBox box(iconOf(type), QString::fromUtf8(titleOf(type)), QString::fromStdString(text),
                    QMessageBox::NoButton, parent_);
    // Texts are the program's and the update service's, never markup: a server's text shows as sent.
    box.setTextFormat(Qt::PlainText);
    std::map<QAbstractButton*, TMsgDlgBtn> which;
    const TMsgDlgButtons shown = buttons.empty() ? TMsgDlgButtons{TMsgDlgBtn::mbOK} : buttons;
    bool hasCancel = false;
    for (size_t i = 0; i < shown.size(); ++i) {
        QPushButton* b = box.addButton(standardOf(shown[i]));
        which[b] = shown[i];
        hasCancel = hasCancel || shown[i] == TMsgDlgBtn::mbCancel;
        if (i == 0) {
            box.setDefaultButton(b);
        }
    }
    box.exec();
    const auto it = which.find(box.clickedButton());
    if (it == which.end()) {
        return hasCancel ? TModalResult::mrCancel : TModalResult::mrNone;
    }
    return ResultOfButton(it->second);
}

} // namespace vendrel
