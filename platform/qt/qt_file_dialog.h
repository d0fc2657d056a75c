#pragma once
// The program's open and save dialogs on QFileDialog.

#include "platform/core/file_dialog.h"

class QWidget;

namespace vendrel {

class QtFileDialog : public IFileDialog {
public:
    explicit QtFileDialog(QWidget* Parent = nullptr) : parent_(Parent) {}
    void SetParent(QWidget* Parent) { parent_ = Parent; }

    std::optional<std::string> Execute(const TFileDialogRequest& Request) override;

    // "Caption|*.a|All|*.*" as Qt's filter list "Caption (*.a);;All (*.*)".
    static std::string QtFilter(const std::string& Filter);

private:
    QWidget* parent_;
};

} // namespace vendrel
