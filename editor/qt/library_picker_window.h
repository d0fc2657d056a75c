#pragma once
// The library picker's window: the picker's items as a list with their pictures and details, its
// caption and button from the picker. A click on an item is the picker's choice; the button closes the
// window as OK; closing it in any way closes the picker (a pending ornament insertion ends).

#include <QDialog>

class QListWidget;
class QPushButton;

namespace vendrel {

class TLibraryPicker;

class TLibraryPickerWindow : public QDialog {
    Q_OBJECT
public:
    TLibraryPickerWindow(TLibraryPicker& Picker, QWidget* Parent);

    // Shows the picker's items (filled by the picker) without waiting, in front.
    void ShowItems();

    QListWidget* LibListView = nullptr;
    QPushButton* OkButton = nullptr;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    TLibraryPicker& picker_;
};

} // namespace vendrel
