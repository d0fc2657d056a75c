#pragma once
// The array setup wizard's window ("Array Setup Wizard"): four pages without tab headers (mounting and
// series, quantity and model, another model, finish), the total weight and a 3D preview of the array
// with its camera controls. It mirrors the wizard's logic (editor/array_wizard.h) and forwards the
// user's actions to it; closing it with "Insert Array In Project" or "No" is OK, anything else Cancel.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace vendrel {

class TArrayWizard;
class TCabArray;
class TGLView;
class TModelLibrary;

class TArrayWizardDialog : public QDialog {
    Q_OBJECT
public:
    // Wizard and library (for the model pictures; may be null) are not owned and outlive the dialog.
    TArrayWizardDialog(TArrayWizard& Wizard, TModelLibrary* Library, QWidget* Parent = nullptr);
    ~TArrayWizardDialog() override;

    // One run on Array (empty, already in the project): true when the user inserts it.
    bool Run(TCabArray* Array);
    // Shows the wizard's values again (after each of its changes).
    void Refresh();

    QToolButton* FlownButton() const { return flown_; }
    QToolButton* StackedButton() const { return stacked_; }
    QComboBox* SeriesComboBox() const { return series_; }
    QPushButton* NextB0() const { return next0_; }
    QSpinBox* QuantityBox() const { return quantity_; }
    QToolButton* IncB() const { return inc_; }
    QToolButton* DecB() const { return dec_; }
    QListWidget* ArrayListView() const { return list_; }
    QPushButton* NextB1() const { return next1_; }
    QPushButton* YesButton() const { return yes_; }
    QPushButton* NoButton() const { return no_; }
    QPushButton* FinishButton() const { return finish_; }
    // The Back button of the page shown.
    QPushButton* BackButton() const;
    QStackedWidget* Pages() const { return pages_; }
    QLabel* TotalWeightLabel() const { return weight_; }
    TGLView* Preview() const { return view_; }

private:
    QWidget* mountingPage();
    QWidget* modelPage();
    QWidget* anotherPage();
    QWidget* finishPage();
    QWidget* previewArea();
    void quantityExit();

    TArrayWizard& wizard_;
    TModelLibrary* library_;
    bool refreshing_ = false;

    QStackedWidget* pages_ = nullptr;
    QToolButton* flown_ = nullptr;
    QToolButton* stacked_ = nullptr;
    QComboBox* series_ = nullptr;
    QPushButton* next0_ = nullptr;
    QSpinBox* quantity_ = nullptr;
    QToolButton* inc_ = nullptr;
    QToolButton* dec_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* next1_ = nullptr;
    QPushButton* back1_ = nullptr;
    QPushButton* back2_ = nullptr;
    QPushButton* back3_ = nullptr;
    QPushButton* yes_ = nullptr;
    QPushButton* no_ = nullptr;
    QPushButton* finish_ = nullptr;
    QLabel* weight_ = nullptr;
    TGLView* view_ = nullptr;
    QScrollBar* camX_ = nullptr;
    QScrollBar* camY_ = nullptr;
    QRadioButton* perspective_ = nullptr;
    QRadioButton* orthographic_ = nullptr;
};

} // namespace vendrel
