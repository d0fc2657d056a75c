#pragma once
// The program's message boxes on QMessageBox.

#include "platform/core/message_box.h"

class QWidget;

namespace vendrel {

class QtMessageBox : public IMessageBox {
public:
    // Parent: the window the boxes are modal to (may be null).
    explicit QtMessageBox(QWidget* Parent = nullptr) : parent_(Parent) {}
    void SetParent(QWidget* Parent) { parent_ = Parent; }

    // A modal box of the type's icon with the given buttons, the first one the default; closing the box
    // without a button gives mrCancel when a Cancel button is offered, else mrNone.
    TModalResult MessageDlg(const std::string& text, TMsgDlgType type,
                            const TMsgDlgButtons& buttons) override;

private:
    QWidget* parent_;
};

} // namespace vendrel
