#pragma once
// The array setup wizard's logic: it builds a new line array step by step on the array it is given
// (the window's array in edition), choosing the mounting, the series, how many cabinets of which model
// and further models joined below (flown) or above (stacked) the previous one, each with the rigging
// frame, adapter or spacer the library models prescribe. Every choice adds or removes elements of
// that array at once, so the total weight and the preview always show the array as it is; the
// wizard itself never puts anything into the scene.
//
// The dialog (panels/array_wizard_dialog) mirrors the values kept here (tab shown, buttons enabled,
// lists, texts, camera) and forwards the user's actions; tests drive this class without a window.
//
// Loads are checked against the array's frame (the flying frame of a flown array, the stacking frame
// of a stack): what hangs from or stands on it, adapters included, may reach its rating but not pass
// it, for every block whether or not its model has frames of its own.

#include "acoustics/array_types.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/geometry3d.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TCabArray;
class TCabModel;
class TCabinet;
class TControl3D;
class TRigFrameModel;
class TModelLibrary;
class TDummy;
class TViewport3D;
class TCamera;
class TGrid3D;
class TLightMaterialSource;

// The wizard's pages, in the order a run goes through them.
enum class TWizardTab : uint8_t { Mounting, Model, AnotherModel, Finish };

// One entry of the model list's records: a model of a series, or a model that may join the previous
// one with the adapter and threshold of that join.
struct TModelInfo {
    int32_t ModelID = -1; // index in the project's detected models
    std::string ModelName;
    std::string VariantName;
    std::string AdapterName;       // rigging frame between the previous model and this one; empty: a spacer
    int32_t IfMoreThan = 0;        // the adapter only when more cabinets than this are inserted
    TCabModel* CabModel = nullptr; // a series list: the model; a join list: the model joined
    TRigFrameModel* AdapterModel = nullptr; // the library frame named AdapterName, if any
    int32_t AllowedIfParentIsLessThan = 99; // a join: allowed while the array holds fewer cabinets
};

// One entry of the model list as the dialog shows it.
struct TWizardListItem {
    int32_t Tag = -1;      // the model index
    std::string TagString; // the adapter name
    std::string Text;      // model name, with " (variant)"
    std::string Detail;    // adapter, series, weight, sizes, description; lines joined by CR LF
    size_t Record = 0;     // its record in ModelInfoList: the join's position among the parent's joins
};

// One snapshot of the wizard, taken when a page is left forwards. The element lists refer to the
// array's elements and own nothing.
struct TBackState {
    TWizardTab FromTab = TWizardTab::Mounting;
    bool IsFirstModel = false;
    int32_t InsertPosition = -1;
    int32_t QuantityCabs = 0;
    TArrayMounting SelectedMounting = TArrayMounting::qzaFlown;
    int32_t SelectedModelID = -1;
    std::string SelectedAdapter;
    int32_t NModelsInserted = -1;
    TRigFrameModel* FlyingFrame = nullptr;
    TRigFrameModel* StackFrame = nullptr;
    std::vector<TControl3D*> ArrayList; // entry 0 is the array itself
    std::vector<TCabinet*> CabinetList;
};

// The preview's camera: the rig's two turns, the camera's distance and offsets, its angle of view.
struct TWizardCamera {
    float DummyXRotation = -20.0f; // degrees about X, the view's pitch
    float DummyYRotation = 30.0f;  // degrees about Y, the view's heading
    float Distance = -12.0f;       // the camera's Z
    float OffsetX = 0.0f;          // the horizontal scroll bar, -3 .. 3
    float OffsetY = -1.0f;         // the vertical scroll bar, -8 .. 0
    float AngleOfView = 45.0f;     // 1: orthographic
    bool Perspective() const { return AngleOfView != 1.0f; }
    TPoint3D Position() const { return {OffsetX, OffsetY, Distance}; }
};

class TArrayWizard {
public:
    // Project, library (for the frame lookups and their messages) and settings (the user's decimal
    // separator) are not owned and outlive the wizard.
    TArrayWizard(TAcousticProject& Project, TModelLibrary* Library);
    ~TArrayWizard();
    TArrayWizard(const TArrayWizard&) = delete;
    TArrayWizard& operator=(const TArrayWizard&) = delete;

    // Prepares a run on Array (empty, in the project, not owned): no snapshot, no mounting chosen,
    // quantity 4, no model, the mounting page, the preview camera reset.
    void NewArrayInit(TCabArray* Array);
    // The dialog closes, with OK or not: the snapshots and the preview go.
    void FormClose();

    // ---- The user's actions ----
    void FlownButtonClick();
    void StackedButtonClick();
    // Next on the mounting page; SeriesIndex is the series chosen (-1: none, every series).
    void NextB0Click(int SeriesIndex);
    // A click on entry Index of the model list.
    void ArrayListViewItemClick(int Index);
    // The quantity box is left (or Enter, or a step button): Value is what it shows, kept to 1 .. 99.
    void QuantityBoxExit(int Value);
    void IncBClick() { QuantityBoxExit(FQuantityBox + 1); }
    void DecBClick() { QuantityBoxExit(FQuantityBox - 1); }
    void NextB1Click();
    // "Yes" on the another-model page.
    void InsertAnotherModelButtonClick();
    // Any of the Back buttons.
    void BackB1Click() { GoBack(); }

    // ---- The preview's camera ----
    void CamXScrollBarChange(float Value);
    void CamYScrollBarChange(float Value);
    // A drag over the preview by (dx, dy) pixels with the left button: turns, or pans with Shift.
    void PreviewDrag(float dx, float dy, bool Shift);
    void PreviewWheel(int WheelDelta);
    void OrthographicRadioButtonClick();
    void PerspectiveRadioButtonClick();

    // ---- What the dialog shows ----
    TWizardTab ActiveTab() const { return FActiveTab; }
    bool FlownPressed() const { return FFlownPressed; }
    bool StackedPressed() const { return FStackedPressed; }
    bool NextB0Enabled() const { return FNextB0Enabled; }
    bool NextB1Enabled() const { return FNextB1Enabled; }
    int QuantityBox() const { return FQuantityBox; }
    const std::vector<std::string>& SeriesList() const { return FSeriesList; }
    // The series the model list was filled for (-1: all of them).
    int SeriesIndex() const { return FSeriesIndex; }
    const std::vector<TWizardListItem>& ModelList() const { return FModelList; }
    int SelectedItem() const { return FSelectedItem; }
    const std::vector<TModelInfo>& ModelInfoList() const { return FModelInfoList; }
    const std::string& TotalWeightText() const { return FTotalWeightText; }
    const TWizardCamera& Camera() const { return FCamera; }
    // The preview's scene, drawn by the dialog's 3D view: a camera on a rig of two turning dummies, a
    // light, the ground grid and the preview container, which holds a drawing of each element of the
    // array in edition where the array places it (null before the first assembly; rebuilt by every
    // change of the array).
    TViewport3D& PreviewView() { return *FView; }
    TDummy* PreviewContainer() const { return FPreviewContainer; }
    TGrid3D& GroundGrid() { return *FGroundGrid; }

    // ---- The state of the run ----
    bool IsFirstModel() const { return FIsFirstModel; }
    int32_t InsertPosition() const { return FInsertPosition; }
    int32_t QuantityCabs() const { return FQuantityCabs; }
    TArrayMounting SelectedMounting() const { return FSelectedMounting; }
    int32_t SelectedModelID() const { return FSelectedModelID; }
    const std::string& SelectedAdapter() const { return FSelectedAdapter; }
    int32_t NModelsInserted() const { return FNModelsInserted; }
    TRigFrameModel* FlyingFrame() const { return FFlyingFrame; }
    TRigFrameModel* StackFrame() const { return FStackFrame; }
    size_t BackStackSize() const { return FBackStack.size(); }
    TCabArray* Array() const { return FArray; }

    // The user's decimal separator for the weight text.
    TFormatSettings FormatSettings;
    // Runs when the memory check changed the map resolution (the window's render-quality controls).
    std::function<void()> OnUpdateRenderControls;
    // Runs after every change of what the dialog shows.
    std::function<void()> OnChanged;

    // ---- The list fillers (also run by the actions above) ----
    std::vector<std::string> FillSeriesCombo(TArrayMounting Mounting);
    void FillModelList(const std::string& Series);
    void ShowCompatibleModels(int32_t ParentModelID, TArrayMounting Mounting);
    void ShowArrayPreview();
    // The model that may follow Model (a model index) in the mounting.
    bool HasNextVariants(int32_t Model, TArrayMounting Mounting) const;

private:
    TCabModel* model(int32_t Index) const;
    void addModelListItem(size_t Record);
    void selectEntry(bool matchAdapter);
    bool checkAllowedIfParent(int32_t Parent, int32_t Model, size_t Record);
    void checkMaxQuantity();
    void checkFrameWeight(int32_t Position);
    void assembleArray(int32_t Position);
    std::string selectedAdapterText() const;
    void removeFrom(int32_t Position);
    void pushBackState();
    void goBack();
    void rebuildFromBackState(const TBackState& S);
    void setQuantity(int32_t Value);
    void setTotalWeightText(bool BlankBeforeUnit);
    void clearPreview();
    void updateWizardCamera();
    void changed();
    TRigFrameModel* arrayFrame() const;
    void GoBack() { goBack(); }

    TAcousticProject& FProject;
    TModelLibrary* FLibrary; // not owned
    TCabArray* FArray = nullptr;

    TWizardTab FActiveTab = TWizardTab::Mounting;
    bool FFlownPressed = false, FStackedPressed = false;
    bool FNextB0Enabled = false, FNextB1Enabled = false;
    int FQuantityBox = 4;
    std::vector<std::string> FSeriesList;
    int FSeriesIndex = -1;
    std::vector<TModelInfo> FModelInfoList;
    std::vector<TWizardListItem> FModelList;
    int FSelectedItem = -1;
    std::string FTotalWeightText = "TotalWeight = 0";

    bool FIsFirstModel = true;
    int32_t FInsertPosition = 1;
    int32_t FQuantityCabs = 4;
    TArrayMounting FSelectedMounting = TArrayMounting::qzaFlown;
    int32_t FSelectedModelID = -1;
    std::string FSelectedAdapter;
    int32_t FNModelsInserted = 0;
    TRigFrameModel* FFlyingFrame = nullptr; // library frames, not owned
    TRigFrameModel* FStackFrame = nullptr;
    std::vector<std::unique_ptr<TBackState>> FBackStack;

    TWizardCamera FCamera;
    // The preview scene; the view owns its nodes.
    std::unique_ptr<TViewport3D> FView;
    TDummy* FDummyY = nullptr;
    TDummy* FDummyX = nullptr;
    TCamera* FCamera3D = nullptr;
    TGrid3D* FGroundGrid = nullptr;
    TDummy* FTheDummy = nullptr;         // the parent of the preview
    TDummy* FPreviewContainer = nullptr; // owned by FTheDummy
    TLightMaterialSource* FBoxMaterial = nullptr;
};

} // namespace vendrel
