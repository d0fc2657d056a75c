#include "editor/array_wizard.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/events_held_back.h"
#include "acoustics/line_array.h"
#include "acoustics/model_registry.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "editor/array_drawing.h"
#include "files/library_scan.h"
#include "platform/core/camera.h"
#include "platform/core/cursor_service.h"
#include "platform/core/material.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "platform/core/shapes3d.h"
#include "platform/core/viewport3d.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

// A scroll bar keeps its value within its range.
float clampTo(float value, float lo, float hi) {
    return std::min(std::max(value, lo), hi);
}

constexpr float kCamXMin = -3.0f, kCamXMax = 3.0f;
constexpr float kCamYMin = -8.0f, kCamYMax = 0.0f;
// The rig's turns as the dialog is built: the array seen a little from above and from its side.
constexpr float kDesignRotationX = -15.0f;
constexpr float kDesignRotationY = 30.0f;
constexpr float kDesignDistance = -12.0f;

// The entry at Index of a per-join list, or Default where the list is shorter than the joins.
template <typename T, typename D> T joinEntry(const std::vector<T>& List, size_t Index, const D& Default) {
    return Index < List.size() ? List[Index] : T(Default);
}

// Sets the project's events or rendering switch for a scope and gives back what it held.
class SwitchScope {
public:
    SwitchScope(TAcousticProject& Project, bool Events, bool Rendering)
        : project_(Project), events_(Project.EventsEnabled()), rendering_(Project.AllowRendering()) {
        project_.SetEventsEnabled(Events);
        project_.SetAllowRendering(Rendering);
    }
    ~SwitchScope() {
        project_.SetEventsEnabled(events_);
        project_.SetAllowRendering(rendering_);
    }
    SwitchScope(const SwitchScope&) = delete;
    SwitchScope& operator=(const SwitchScope&) = delete;

private:
    TAcousticProject& project_;
    bool events_, rendering_;
};

std::string wholeMillimetres(double Metres) {
    return FormatFloatPattern("0", Metres * 1000.0, TFormatSettings{});
}

} // namespace

TArrayWizard::TArrayWizard(TAcousticProject& Project, TModelLibrary* Library)
    : FProject(Project), FLibrary(Library), FView(std::make_unique<TViewport3D>()) {
    TViewport3D& v = *FView;
    v.Color = 0xFFD0D0D0;
    FDummyY = new TDummy(&v);
    FDummyY->SetParent(&v);
    FDummyX = new TDummy(&v);
    FDummyX->SetParent(FDummyY);
    FCamera3D = new TCamera(&v);
    FCamera3D->SetParent(FDummyX);
    auto* light = new TLight(&v);
    light->SetParent(FCamera3D);
    light->SetLightType(TLightType::ltDirectional);
    v.SetCamera(FCamera3D);
    FGroundGrid = new TGrid3D(&v);
    FGroundGrid->SetParent(&v);
    FGroundGrid->SetRotationAngleX(270); // lying flat
    FGroundGrid->SetWidth(20);
    FGroundGrid->SetHeight(20);
    FGroundGrid->SetFrequency(1);
    FGroundGrid->SetOpacity(0.5f);
    FGroundGrid->HitTest = false; // a drag over the preview turns the camera
    FTheDummy = new TDummy(&v);
    FTheDummy->SetParent(&v);
    FBoxMaterial = new TLightMaterialSource(&v);
    FBoxMaterial->SetDiffuse(0xFFB0B0B8);
    updateWizardCamera();
}

TArrayWizard::~TArrayWizard() {
    clearPreview();
}

TCabModel* TArrayWizard::model(int32_t Index) const {
    const auto& models = FProject.ModelsDetected()->CabModel();
    if (Index < 0 || static_cast<size_t>(Index) >= models.size()) {
        return nullptr;
    }
    return models[static_cast<size_t>(Index)].get();
}

void TArrayWizard::changed() {
    if (OnChanged) {
        OnChanged();
    }
}

// ---------------------------------------------------------------------------------------------------
// A run

void TArrayWizard::NewArrayInit(TCabArray* Array) {
    FArray = Array;
    FBackStack.clear();
    FFlownPressed = FStackedPressed = false;
    FSeriesList.clear();
    FSeriesIndex = -1;
    FModelList.clear();
    FModelInfoList.clear();
    FSelectedItem = -1;
    FNextB0Enabled = FNextB1Enabled = false;
    FQuantityBox = 4;
    FQuantityCabs = 4;
    FNModelsInserted = 0;
    FSelectedModelID = -1;
    FSelectedAdapter.clear();
    FInsertPosition = 1;
    FIsFirstModel = true;
    FFlyingFrame = FStackFrame = nullptr;
    FTotalWeightText = "TotalWeight = 0";
    FActiveTab = TWizardTab::Mounting;
    clearPreview();
    FCamera = TWizardCamera{};
    FCamera.DummyXRotation = kDesignRotationX;
    FCamera.DummyYRotation = kDesignRotationY;
    FCamera.Distance = kDesignDistance;
    updateWizardCamera();
    changed();
}

void TArrayWizard::FormClose() {
    // Snapshots refer to the array's elements and own none of them.
    FBackStack.clear();
    clearPreview();
}

void TArrayWizard::FlownButtonClick() {
    FNextB0Enabled = true;
    FSelectedMounting = TArrayMounting::qzaFlown;
    FFlownPressed = true;
    FStackedPressed = false;
    FSeriesList = FillSeriesCombo(FSelectedMounting);
    FSeriesIndex = -1;
    changed();
}

void TArrayWizard::StackedButtonClick() {
    FNextB0Enabled = true;
    FSelectedMounting = TArrayMounting::qzaStacked;
    FStackedPressed = true;
    FFlownPressed = false;
    FSeriesList = FillSeriesCombo(FSelectedMounting);
    FSeriesIndex = -1;
    changed();
}

void TArrayWizard::NextB0Click(int SeriesIndex) {
    FSeriesIndex =
        SeriesIndex >= 0 && static_cast<size_t>(SeriesIndex) < FSeriesList.size() ? SeriesIndex : -1;
    pushBackState();
    FActiveTab = TWizardTab::Model;
    FillModelList(FSeriesIndex >= 0 ? FSeriesList[static_cast<size_t>(FSeriesIndex)] : "ALLSERIES");
    changed();
}

void TArrayWizard::ArrayListViewItemClick(int Index) {
    if (Index < 0 || static_cast<size_t>(Index) >= FModelList.size()) {
        return;
    }
    const TWizardListItem& item = FModelList[static_cast<size_t>(Index)];
    const int32_t previousModel = FSelectedModelID;
    const std::string previousAdapter = FSelectedAdapter;
    FSelectedItem = Index;
    FSelectedModelID = item.Tag;
    FSelectedAdapter = item.TagString;
    if (FSelectedModelID == previousModel && FSelectedAdapter == previousAdapter) {
        changed();
        return;
    }
    if (FQuantityCabs <= 0) {
        changed();
        return;
    }
    removeFrom(FInsertPosition);
    const int32_t parent = FBackStack.empty() ? -1 : FBackStack.back()->SelectedModelID;
    if (!checkAllowedIfParent(parent, FSelectedModelID, item.Record)) {
        changed();
        return;
    }
    checkMaxQuantity();
    FInsertPosition = FArray->NObjects() + 1;
    assembleArray(FInsertPosition);
    FNextB1Enabled = true;
    changed();
}

void TArrayWizard::QuantityBoxExit(int Value) {
    FQuantityBox = std::clamp(Value, 1, 99);
    if (FQuantityBox == FQuantityCabs) {
        changed();
        return;
    }
    FQuantityCabs = FQuantityBox;
    const bool selected = FSelectedItem >= 0 && static_cast<size_t>(FSelectedItem) < FModelList.size();
    if (selected) {
        FSelectedModelID = FModelList[static_cast<size_t>(FSelectedItem)].Tag;
    }
    checkMaxQuantity();
    removeFrom(FInsertPosition);
    checkFrameWeight(FInsertPosition);
    if (FQuantityCabs <= 0 || !selected) {
        setTotalWeightText(true);
        ShowArrayPreview();
        changed();
        return;
    }
    assembleArray(FInsertPosition);
    FNextB1Enabled = true;
    changed();
}

void TArrayWizard::NextB1Click() {
    pushBackState();
    FInsertPosition = FArray->NObjects() + 1;
    ++FNModelsInserted;
    FActiveTab =
        HasNextVariants(FSelectedModelID, FSelectedMounting) ? TWizardTab::AnotherModel : TWizardTab::Finish;
    changed();
}

void TArrayWizard::InsertAnotherModelButtonClick() {
    pushBackState();
    // Nothing more may hang from (or stand on) a frame that carries its rating already.
    if (const TRigFrameModel* frame = arrayFrame();
        frame != nullptr && FArray->GetTotalWeight() - frame->Weight() >= frame->MaxSupportWeight()) {
        MessageBoxService().ShowMessage(
            "The maximum weight supported has been reached, no more cabinets can be added");
        FActiveTab = TWizardTab::Finish;
        changed();
        return;
    }
    ShowCompatibleModels(FSelectedModelID, FSelectedMounting);
    FSelectedModelID = -1;
    FNextB1Enabled = false;
    changed();
}

// ---------------------------------------------------------------------------------------------------
// Checks

bool TArrayWizard::checkAllowedIfParent(int32_t Parent, int32_t Model, size_t Record) {
    if (FIsFirstModel) {
        return true;
    }
    // The limit of the join the entry stands for: its record's position among the parent's joins,
    // whatever entries before it were left out.
    const TCabModel* parent = model(Parent);
    int32_t limit = 99;
    if (parent != nullptr) {
        const std::vector<int32_t>& limits = FSelectedMounting == TArrayMounting::qzaStacked
                                                 ? parent->AllowedTopIfParentIsLessThan()
                                                 : parent->AllowedBotIfParentIsLessThan();
        limit = joinEntry(limits, Record, 99);
    }
    if (FArray->NCabinets() < limit) {
        return true;
    }
    ShowArrayPreview();
    FSelectedItem = -1;
    const TCabModel* chosen = model(Model);
    MessageBoxService().ShowMessage((chosen != nullptr ? chosen->ModelName() : std::string()) +
                                    " is allowed if previous cabinets quantity is less than " +
                                    std::to_string(limit));
    return false;
}

void TArrayWizard::checkMaxQuantity() {
    const TCabModel* m = model(FSelectedModelID);
    if (m == nullptr) {
        return;
    }
    const int32_t maximum =
        FSelectedMounting == TArrayMounting::qzaStacked ? m->MaxSupCabsStacked() : m->MaxSupCabsFlown();
    if (FQuantityCabs <= maximum) {
        return;
    }
    setQuantity(maximum);
    MessageBoxService().ShowMessage("The maximum quantity allowed for this Model is " +
                                    std::to_string(maximum));
}

// The frame every block hangs from (flown) or stands on (stacked).
TRigFrameModel* TArrayWizard::arrayFrame() const {
    return FSelectedMounting == TArrayMounting::qzaStacked ? FStackFrame : FFlyingFrame;
}

// The block that starts at Position would bring the frame's load above its rating: fewer cabinets.
// The load is everything already on the frame (the elements before the block, the frame itself
// apart), the block's own adapter and its cabinets; it may reach the rating.
void TArrayWizard::checkFrameWeight(int32_t Position) {
    const TCabModel* m = model(FSelectedModelID);
    if (m == nullptr || FQuantityCabs <= 0) {
        return;
    }
    // A first block is checked against the frame it brings.
    TRigFrameModel* frame = arrayFrame();
    if (Position == 1) {
        const bool stacked = FSelectedMounting == TArrayMounting::qzaStacked;
        const std::vector<std::string>& names = stacked ? m->BotRigFrame() : m->TopRigFrame();
        frame = !names.empty() && FLibrary != nullptr ? FLibrary->GetFrameModelByName(names.front(), false)
                                                      : nullptr;
    }
    if (frame == nullptr) {
        return;
    }
    double carried = FArray->GetTotalWeight();
    const auto& list = FArray->ArrayList();
    if (list.size() > 1) {
        if (const auto* first = dynamic_cast<const TRiggingFrame*>(list[1]);
            first != nullptr && first->Model()) {
            carried -= first->Model()->Weight();
        }
    }
    double adapter = 0.0;
    if (Position > 1) {
        const std::string name = selectedAdapterText();
        if (!name.empty() && FLibrary != nullptr) {
            if (const TRigFrameModel* a = FLibrary->GetFrameModelByName(name, false)) {
                adapter = a->Weight();
            }
        }
    }
    const double W = m->Weight();
    const double load = carried + adapter + FQuantityCabs * W;
    if (!RiggingLoadExceeded(load, frame->MaxSupportWeight()) || W <= 0.0) {
        return;
    }
    // The fewest cabinets to leave out; a hair of rounding in the weights must not cost one more.
    const double excess = load - frame->MaxSupportWeight();
    const int32_t fewer = static_cast<int32_t>(std::ceil(excess / W - 1e-9));
    setQuantity(std::max(0, FQuantityCabs - fewer));
    char max[32];
    std::snprintf(max, sizeof max, "%.15g", frame->MaxSupportWeight());
    const std::string head = "The maximum Weight supported by: " + frame->ModelName() + " is " + max;
    MessageBoxService().ShowMessage(FQuantityCabs == 0 ? head + " kg. No more cabinets can be added."
                                                       : head + " kg. Only " + std::to_string(FQuantityCabs) +
                                                             " cabinets will be added");
}

std::string TArrayWizard::selectedAdapterText() const {
    if (FSelectedItem < 0 || static_cast<size_t>(FSelectedItem) >= FModelList.size()) {
        return {};
    }
    const TModelInfo& info = FModelInfoList.at(FModelList[static_cast<size_t>(FSelectedItem)].Record);
    if (info.AdapterName.empty() || FQuantityCabs <= info.IfMoreThan) {
        return {};
    }
    return info.AdapterName;
}

bool TArrayWizard::HasNextVariants(int32_t Model, TArrayMounting Mounting) const {
    const TCabModel* m = model(Model);
    if (m == nullptr) {
        return false;
    }
    if (Mounting == TArrayMounting::qzaFlown) {
        return !m->AllowedBotAssemblies().empty();
    }
    if (Mounting == TArrayMounting::qzaStacked) {
        return !m->AllowedTopAssemblies().empty();
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------
// The array

void TArrayWizard::setQuantity(int32_t Value) {
    FQuantityCabs = Value;
    FQuantityBox = Value;
}

void TArrayWizard::setTotalWeightText(bool BlankBeforeUnit) {
    FTotalWeightText =
        "Total Weight = " + FormatFloatPattern("0.0", FArray->GetTotalWeight(), FormatSettings) +
        (BlankBeforeUnit ? " kg" : "kg");
}

// Takes the elements from the last down to Position out of the array, through the project: each
// leaves its process and its layer and is freed.
void TArrayWizard::removeFrom(int32_t Position) {
    while (FArray->NObjects() >= std::max(Position, 1)) {
        FProject.RemoveElementFromArray(FArray->ArrayList().back(), FArray);
    }
}

void TArrayWizard::assembleArray(int32_t Position) {
    TCabModel* m = model(FSelectedModelID);
    if (m == nullptr) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    {
        const SwitchScope quiet(FProject, false, false);
        FArray->SetMountingType(FSelectedMounting);
        const bool stacked = FSelectedMounting == TArrayMounting::qzaStacked;
        if (Position == 1) {
            // The first block brings the array's frame (or none).
            const std::vector<std::string>& names = stacked ? m->BotRigFrame() : m->TopRigFrame();
            TRigFrameModel* frame = !names.empty() && FLibrary != nullptr
                                        ? FLibrary->GetFrameModelByName(names.front(), true)
                                        : nullptr;
            (stacked ? FStackFrame : FFlyingFrame) = frame;
        }
        removeFrom(Position);
        checkFrameWeight(Position);
        if (FQuantityCabs > 0) {
            // The adapter follows the quantity the weight left.
            TRigFrameModel* frame = Position == 1 ? arrayFrame() : nullptr;
            if (Position > 1) {
                const std::string adapter = selectedAdapterText();
                frame = !adapter.empty() && FLibrary != nullptr ? FLibrary->GetFrameModelByName(adapter, true)
                                                                : nullptr;
            }
            if (frame != nullptr) {
                FArray->AddFrame(frame);
            } else {
                FArray->AddDummy();
            }
            {
                const SwitchScope events(FProject, true, false);
                if (FProject.CheckMemoryForNCabinets(FProject.PhysicalSpace()->PixelToMeters(),
                                                     FQuantityCabs) &&
                    OnUpdateRenderControls) {
                    OnUpdateRenderControls();
                }
            }
            for (int32_t i = 0; i < FQuantityCabs; ++i) {
                FArray->AddCabinet(m, false);
            }
        }
        setTotalWeightText(true);
        FArray->SetPositionsInsideArray();
        ShowArrayPreview();
    }
}

// ---------------------------------------------------------------------------------------------------
// Back

void TArrayWizard::pushBackState() {
    auto s = std::make_unique<TBackState>();
    s->FromTab = FActiveTab;
    s->IsFirstModel = FIsFirstModel;
    s->InsertPosition = FInsertPosition;
    s->QuantityCabs = FQuantityCabs;
    s->SelectedMounting = FSelectedMounting;
    s->SelectedModelID = FSelectedModelID;
    s->SelectedAdapter = FSelectedAdapter;
    s->NModelsInserted = FNModelsInserted;
    s->FlyingFrame = FFlyingFrame;
    s->StackFrame = FStackFrame;
    s->ArrayList = FArray->ArrayList();
    s->CabinetList = FArray->CabinetList();
    FBackStack.push_back(std::move(s));
}

void TArrayWizard::goBack() {
    if (FBackStack.empty()) {
        return;
    }
    const TBackState& S = *FBackStack.back();
    const TBackState* R = FBackStack.size() > 1 ? FBackStack[FBackStack.size() - 2].get() : nullptr;
    FIsFirstModel = S.IsFirstModel;
    FInsertPosition = S.InsertPosition;
    setQuantity(S.QuantityCabs);
    FSelectedMounting = S.SelectedMounting;
    FSelectedModelID = S.SelectedModelID;
    FSelectedAdapter = S.SelectedAdapter;
    FNModelsInserted = S.NModelsInserted;
    FFlyingFrame = S.FlyingFrame;
    FStackFrame = S.StackFrame;
    FActiveTab = S.FromTab;
    rebuildFromBackState(S);
    if (FIsFirstModel) {
        FillModelList(FSeriesIndex >= 0 ? FSeriesList[static_cast<size_t>(FSeriesIndex)] : "ALLSERIES");
    } else if (S.FromTab == TWizardTab::AnotherModel) {
        ShowCompatibleModels(S.SelectedModelID, FSelectedMounting);
        FActiveTab = TWizardTab::AnotherModel;
    } else {
        // The model of the page left joins the one chosen before it.
        ShowCompatibleModels(R != nullptr ? R->SelectedModelID : -1, FSelectedMounting);
    }
    FActiveTab = S.FromTab;
    FNextB1Enabled = FSelectedModelID != -1;
    FBackStack.pop_back();
    changed();
}

// The array holds again what it held when S was taken. Snapshots are taken going forwards, and a
// later page only adds elements after the earlier ones, so S lists the first elements of the array;
// the elements added since go through the project, out of their processes and layers.
void TArrayWizard::rebuildFromBackState(const TBackState& S) {
    const auto cursor = TSmartCursor::HourGlass();
    const SwitchScope quiet(FProject, false, false);
    FArray->SetMountingType(S.SelectedMounting);
    std::vector<TControl3D*> doomed;
    for (TControl3D* element : FArray->ArrayList()) {
        if (std::find(S.ArrayList.begin(), S.ArrayList.end(), element) == S.ArrayList.end()) {
            doomed.push_back(element);
        }
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        FProject.RemoveElementFromArray(*it, FArray);
    }
    setTotalWeightText(false);
    FArray->SetPositionsInsideArray();
    ShowArrayPreview();
}

// ---------------------------------------------------------------------------------------------------
// Lists

std::vector<std::string> TArrayWizard::FillSeriesCombo(TArrayMounting Mounting) {
    std::vector<std::string> series;
    for (const auto& owned : FProject.ModelsDetected()->CabModel()) {
        const TCabModel& m = *owned;
        const bool lineArray =
            m.CabinetType() == TCabinetType::qzaLineArray || m.CabinetType() == TCabinetType::qzaLineArraySub;
        const bool mounts = Mounting == TArrayMounting::qzaFlown ? m.AllowFly() : m.AllowStack();
        if (lineArray && mounts && std::find(series.begin(), series.end(), m.SerieName()) == series.end()) {
            series.push_back(m.SerieName());
        }
    }
    return series;
}

void TArrayWizard::FillModelList(const std::string& Series) {
    FIsFirstModel = true;
    FModelList.clear();
    FSelectedItem = -1;
    FModelInfoList.clear();
    const auto& models = FProject.ModelsDetected()->CabModel();
    for (size_t i = 0; i < models.size(); ++i) {
        TCabModel& m = *models[i];
        const bool lineArray =
            m.CabinetType() == TCabinetType::qzaLineArray || m.CabinetType() == TCabinetType::qzaLineArraySub;
        const bool inSeries = Series == "ALLSERIES" || m.SerieName() == Series;
        const bool mounts = FSelectedMounting == TArrayMounting::qzaFlown ? m.AllowFly() : m.AllowStack();
        if (!lineArray || !inSeries || !mounts) {
            continue;
        }
        TModelInfo info;
        info.ModelID = static_cast<int32_t>(i);
        info.ModelName = m.ModelName();
        info.VariantName = m.VariantName();
        info.CabModel = &m;
        FModelInfoList.push_back(std::move(info));
        addModelListItem(FModelInfoList.size() - 1);
    }
    selectEntry(false);
}

void TArrayWizard::ShowCompatibleModels(int32_t ParentModelID, TArrayMounting Mounting) {
    FIsFirstModel = false;
    FActiveTab = TWizardTab::Model;
    TCabModel* parent = model(ParentModelID);
    if (parent == nullptr) {
        return;
    }
    FModelList.clear();
    FSelectedItem = -1;
    FModelInfoList.clear();
    const bool stacked = Mounting == TArrayMounting::qzaStacked;
    const std::vector<std::string>& names =
        stacked ? parent->AllowedTopAssemblies() : parent->AllowedBotAssemblies();
    const std::vector<std::string>& variants =
        stacked ? parent->AllowedTopVariant() : parent->AllowedBotVariant();
    const std::vector<std::string>& adapters = stacked ? parent->TopAdapters() : parent->BotAdapters();
    const std::vector<uint8_t>& thresholds =
        stacked ? parent->MinCabsToUseTopAdapters() : parent->MinCabsToUseBotAdapters();
    const std::vector<int32_t>& limits =
        stacked ? parent->AllowedTopIfParentIsLessThan() : parent->AllowedBotIfParentIsLessThan();
    // The lists describe one join per position; a list shorter than the joins leaves its entry empty.
    for (size_t i = 0; i < names.size(); ++i) {
        TModelInfo info;
        info.AdapterName = joinEntry(adapters, i, "");
        info.ModelName = names[i];
        info.VariantName = joinEntry(variants, i, "");
        info.IfMoreThan = joinEntry(thresholds, i, 0);
        info.AllowedIfParentIsLessThan = joinEntry(limits, i, 99);
        info.CabModel = parent;
        info.AdapterModel = !info.AdapterName.empty() && FLibrary != nullptr
                                ? FLibrary->GetFrameModelByName(info.AdapterName, true)
                                : nullptr;
        FModelInfoList.push_back(std::move(info));
    }
    const auto& models = FProject.ModelsDetected()->CabModel();
    for (size_t r = 0; r < FModelInfoList.size(); ++r) {
        TModelInfo& info = FModelInfoList[r];
        for (size_t k = 0; k < models.size(); ++k) {
            if (models[k]->ModelName() == info.ModelName && models[k]->VariantName() == info.VariantName) {
                info.ModelID = static_cast<int32_t>(k);
                addModelListItem(r);
                break;
            }
        }
    }
    if (FSelectedModelID > -1) {
        selectEntry(true);
    }
}

void TArrayWizard::addModelListItem(size_t Record) {
    const TModelInfo& info = FModelInfoList.at(Record);
    const TCabModel* m = model(info.ModelID);
    if (m == nullptr) {
        return;
    }
    TWizardListItem item;
    item.Tag = info.ModelID;
    item.TagString = info.AdapterName;
    item.Record = Record;
    item.Text = m->ModelName() + (info.VariantName.empty() ? "" : " (" + info.VariantName + ")");
    std::string detail;
    if (!info.AdapterName.empty()) {
        detail += "Adapter: " + info.AdapterName;
        if (info.IfMoreThan != 0) {
            detail += " (if Qty > " + std::to_string(info.IfMoreThan) + ")";
        }
        detail += "\r\n";
    }
    char weight[32];
    std::snprintf(weight, sizeof weight, "%.15g", m->Weight());
    detail += "Serie: " + m->SerieName() + "\r\n";
    detail += std::string("Weight: ") + weight + " Kg\r\n";
    detail += "Width: " + wholeMillimetres(m->Width()) + " mm; Height: " + wholeMillimetres(m->Height()) +
              " mm; Depth: " + wholeMillimetres(m->Depth()) + " mm;\r\n";
    detail += "Description: " + m->Comments();
    item.Detail = std::move(detail);
    FModelList.push_back(std::move(item));
}

void TArrayWizard::selectEntry(bool matchAdapter) {
    if (FSelectedModelID < 0) {
        return;
    }
    for (size_t i = 0; i < FModelList.size(); ++i) {
        if (FModelList[i].Tag == FSelectedModelID &&
            (!matchAdapter || FModelList[i].TagString == FSelectedAdapter)) {
            FSelectedItem = static_cast<int>(i);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Preview

void TArrayWizard::clearPreview() {
    delete FPreviewContainer;
    FPreviewContainer = nullptr;
}

void TArrayWizard::ShowArrayPreview() {
    clearPreview();
    if (FArray == nullptr) {
        return;
    }
    TViewport3D& v = *FView;
    FPreviewContainer = new TDummy(&v);
    FPreviewContainer->SetParent(FTheDummy);
    FPreviewContainer->SetScale({2, 2, 2});
    // Each element drawn where the array places it, seen from the array's own origin.
    const auto& elements = FArray->ArrayList();
    for (size_t i = 1; i < elements.size(); ++i) {
        DrawArrayElement(*FPreviewContainer, *FArray, *elements[i], FArray, FBoxMaterial);
    }
    // The array itself: flown with its top 4 m above its height, stacked standing on the floor.
    const double H = FArray->GetHeight();
    const bool flown = FArray->MountingType() != TArrayMounting::qzaStacked;
    if (flown) {
        FArray->SetPosition({2.0f, static_cast<float>(-4.0 - H), 0.0f});
        FPreviewContainer->SetPosition({0.0f, static_cast<float>(-2.0 * H), 0.0f});
    } else if (elements.size() > 1) {
        double h = 0.0;
        if (const auto* frame = dynamic_cast<const TRiggingFrame*>(elements[1]); frame && frame->Model()) {
            h = frame->Model()->Height();
        } else if (const auto* cab = dynamic_cast<const TCabinet*>(elements[1]); cab && cab->Model()) {
            h = cab->Model()->Height();
        }
        FArray->SetPosition({2.0f, static_cast<float>(-h / 2), 0.0f});
        FPreviewContainer->SetPosition({0.0f, static_cast<float>(-h), 0.0f});
    }
    CamYScrollBarChange(FPreviewContainer->Position().Y / 2);
}

// ---------------------------------------------------------------------------------------------------
// Camera

void TArrayWizard::updateWizardCamera() {
    FDummyX->SetRotationAngleX(FCamera.DummyXRotation);
    FDummyY->SetRotationAngleY(FCamera.DummyYRotation);
    FCamera3D->SetAngleOfView(FCamera.AngleOfView);
    FCamera3D->SetPosition(FCamera.Position());
    // Near and far planes from the camera's distance: a narrow view far away still sees the array.
    const float d = std::abs(FCamera.Distance);
    FCamera3D->SetPlanes(std::max(0.01f, d / 1000.0f), d + 1000.0f);
}

void TArrayWizard::CamXScrollBarChange(float Value) {
    FCamera.OffsetX = clampTo(Value, kCamXMin, kCamXMax);
    updateWizardCamera();
    changed();
}

void TArrayWizard::CamYScrollBarChange(float Value) {
    FCamera.OffsetY = clampTo(Value, kCamYMin, kCamYMax);
    updateWizardCamera();
    changed();
}

void TArrayWizard::PreviewDrag(float dx, float dy, bool Shift) {
    if (Shift) {
        FCamera.OffsetX = clampTo(FCamera.OffsetX - 0.01f * dx, kCamXMin, kCamXMax);
        FCamera.OffsetY = clampTo(FCamera.OffsetY - 0.01f * dy, kCamYMin, kCamYMax);
    } else {
        FCamera.DummyXRotation -= 0.3f * dy;
        FCamera.DummyYRotation += 0.3f * dx;
    }
    updateWizardCamera();
    changed();
}

void TArrayWizard::PreviewWheel(int WheelDelta) {
    FCamera.Distance += static_cast<float>(WheelDelta) / 120.0f * 0.3f * 45.0f / FCamera.AngleOfView;
    updateWizardCamera();
    changed();
}

void TArrayWizard::OrthographicRadioButtonClick() {
    if (!FCamera.Perspective()) {
        return;
    }
    FCamera.AngleOfView = 1.0f;
    FCamera.Distance *= 45.0f;
    updateWizardCamera();
    changed();
}

void TArrayWizard::PerspectiveRadioButtonClick() {
    if (FCamera.Perspective()) {
        return;
    }
    FCamera.AngleOfView = 45.0f;
    FCamera.Distance /= 45.0f;
    updateWizardCamera();
    changed();
}

} // namespace vendrel
