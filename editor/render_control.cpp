#include "editor/render_control.h"

#include "acoustics/events_held_back.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/scopes.h"
#include "platform/core/cursor_service.h"
#include "platform/core/dispatcher.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/numeric.h"

#include <cmath>

namespace vendrel {

namespace {

constexpr int kImageCalculated = 41;
constexpr int kImageNeedsCalc = 42;
constexpr int kImageBusy = -1;
constexpr const char* kStyleNeutral = "CornerButtonRenderStyle";
constexpr const char* kStyleRed = "CornerButtonRenderRedStyle";
constexpr const char* kStyleGreen = "CornerButtonRenderGreenStyle";

} // namespace

// ---- TRenderButton ----

void TRenderButton::mirror() const {
    if (OnMirror) {
        OnMirror();
    }
}

void TRenderButton::SetImageIndex(int Value) {
    if (Value != FImageIndex) {
        FImageIndex = Value;
        mirror();
    }
}

void TRenderButton::SetStyleLookup(const std::string& Value) {
    if (Value != FStyleLookup) {
        FStyleLookup = Value;
        mirror();
    }
}

void TRenderButton::SetIndicatorEnabled(bool Value) {
    if (Value != FIndicatorEnabled) {
        FIndicatorEnabled = Value;
        mirror();
    }
}

void TRenderButton::SetIndicatorVisible(bool Value) {
    if (Value != FIndicatorVisible) {
        FIndicatorVisible = Value;
        mirror();
    }
}

void TRenderButton::SetLabel(const std::string& Value) {
    if (Value != FLabel) {
        FLabel = Value;
        mirror();
    }
}

// ---- TRenderControl ----

TRenderControl::TRenderControl(TEditor& Editor) : ed_(Editor) {
    ContinuousRenderItem.Checkable = true;
    ContinuousRenderItem.AutoCheck = true;
    ContinuousRenderItem.SetChecked(true);
    for (TUIAction* item : RenderQualityItems()) {
        item->Checkable = true;
    }
    MidItem.SetChecked(true);
    AirAbsoptionItem.Checkable = true;
    AirAbsoptionItem.AutoCheck = true;
    AirAbsoptionItem.SetChecked(true);
    UseListeningPlaneFoRaysMenuItem.Checkable = true;
    UseListeningPlaneFoRaysMenuItem.AutoCheck = true;
    IntersectListeningCB.Checkable = true;
    IntersectListeningCB.AutoCheck = true;
    IntersectListeningCB.Hint =
        "Allows objects to INTERSECT with the LISTENING PLANES as they are added or moved. ( L )";
    FreqBandsCombo.Hint = "Bandwidth";
    FreqsCombo.Hint = "Center Frequency";
    for (TUIAction* box : {&UseAxisPhaseCheckBox, &ZeroPhaseCheckBox, &PistonCBox}) {
        box->Checkable = true;
        box->AutoCheck = true;
    }
    PistonCBox.SetEnabled(false);
    RefreshMsBox.SetEnabled(false);
}

std::vector<TUIAction*> TRenderControl::RenderQualityItems() {
    return {&VeryLowItem, &LowItem, &MidItem, &HighItem, &VeryHighItem};
}

void TRenderControl::BindControls() {
    const std::vector<TUIAction*> items = RenderQualityItems();
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->OnExecute = [this, i] { RenderItemClick(static_cast<int>(i)); };
    }
    RenderConfigItem.OnExecute = [this] { RenderConfigItemClick(); };
    ContinuousRenderItem.OnExecute = [this] { ContinuousRenderItemClick(); };
    AirAbsoptionItem.OnExecute = [this] { AirAbsoptionItemClick(); };
    UseListeningPlaneFoRaysMenuItem.OnExecute = [this] { UseListeningPlaneFoRaysMenuItemClick(false); };
    IntersectListeningCB.OnExecute = [this] { UseListeningPlaneFoRaysMenuItemClick(true); };
    FreqBandsCombo.OnChange = [this] { FreqBandsComboChange(); };
    FreqsCombo.OnChange = [this] { FreqsComboChange(); };
    FrecEdit.OnChange = [this] { FrecEditChange(); };
    UseAxisPhaseCheckBox.OnExecute = [this] { UseAxisPhaseCheckBoxChange(); };
    ZeroPhaseCheckBox.OnExecute = [this] { ZeroPhaseCheckBoxChange(); };
    PistonCBox.OnExecute = [this] { PistonCBoxChange(); };
    RefreshMsBox.OnChange = [this] { RefreshMsBoxChange(); };
    AllMapsWaitingMsecNB.OnChange = [this] { AllMapsWaitingMsecNBChange(); };
    NumberBox2.OnChange = [this] { NumberBox2Change(); };
}

void TRenderControl::processMessages() {
    if (IDispatcher* d = ed_.Project.Dispatcher()) {
        d->ProcessMessages();
    }
}

void TRenderControl::showStatus(const std::string& Text) {
    if (ed_.Project.StatusLabel() != nullptr) {
        ed_.Project.StatusLabel()->SetText(Text);
    }
}

// ---- Requests and results ----

void TRenderControl::RenderBClick() {
    if (requestBusy_) {
        return;
    }
    const TFlagScope busy(requestBusy_);
    TAcousticProject& p = ed_.Project;
    if (p.NMappingZones() == 0 || p.TotalCabinets() == 0) {
        return;
    }
    if (ed_.State.InitiatingSystem()) {
        return;
    }
    const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
    RenderB.SetIndicatorEnabled(true);
    RenderB.SetIndicatorVisible(true);
    RenderB.SetLabel("Rendering...");
    RenderB.SetImageIndex(kImageBusy);
    FAbortedByUser = false;
    // The new look is drawn; a result that arrives meanwhile belongs to an earlier run and is dropped.
    processMessages();

    p.SetForceCalculation(true);
    p.SetDontSumAllMaps(false);
    ed_.State.DisableOnChange = false;
    if (p.AbortCalculation()) {
        p.SetAbortCalculation(false);
        p.ReCalculateZones(-1);
    } else {
        p.SetAllCabsNeedsCalculateMapsInZone(-1);
    }
    TSmartCursor::Default();
}

void TRenderControl::AllMapsReceived() {
    if (requestBusy_) {
        return; // a new request is being made: it brings its own result
    }
    if (resultBusy_) {
        resultPending_ = true; // taken up when the running handler is done
        return;
    }
    const TFlagScope busy(resultBusy_);
    do {
        resultPending_ = false;
        TAcousticProject& p = ed_.Project;
        processMessages();
        if (p.AbortCalculation()) {
            if (!FAbortedByUser) {
                // The run gave up: no maps come, the request ends here and the user is told.
                UpdateRenderButton();
                showStatus("Rendering stopped: the maps could not be calculated. Press Render to try again.");
            }
            return;
        }
        if (p.SPLNormalized()) {
            const EventsHeldBack events(p);
            const double maxdB = p.GetMaxdBSPL();
            if (std::isfinite(maxdB)) {
                ed_.Colors.MaxdBuEdit.SetValue(maxdB);
            }
        }
        if (!p.OnlyPhase()) {
            ed_.Colors.ApplySPLColorMapping();
        } else if (p.NMappingZones() > 0) {
            ed_.Colors.ApplyPhaseColorMapping(*p.MappingZones().front());
        }
        ed_.Points.ShowDistribution();
        if (ed_.View != nullptr) {
            ed_.View->ShowMemoryInfo();
        }
    } while (resultPending_);
}

bool TRenderControl::AbortRendering() {
    if (!RenderB.IndicatorEnabled()) {
        return false;
    }
    ed_.Project.SetAbortCalculation(true);
    FAbortedByUser = true;
    RenderButtonNeedsCalc();
    RenderB.SetIndicatorEnabled(false);
    RenderB.SetIndicatorVisible(false);
    return true;
}

// ---- The button's looks ----

void TRenderControl::RenderButtonNeedsCalc() {
    if (RenderB.ImageIndex() == kImageNeedsCalc) {
        return;
    }
    const bool continuous = ed_.Project.ContinuousRender();
    if (continuous) {
        (void)TSmartCursor::HourGlass();
    }
    RenderB.SetImageIndex(kImageNeedsCalc);
    RenderB.SetStyleLookup(continuous ? kStyleNeutral : kStyleRed);
    SetSolidProgressBar();
    if (ed_.Project.ProgressBar() != nullptr) {
        ed_.Project.ProgressBar()->SetValue(0);
    }
    processMessages();
}

void TRenderControl::UpdateRenderButton() {
    ShowProjectState();
    processMessages();
    ed_.Project.SetForceCalculation(false);
}

void TRenderControl::ShowProjectState() {
    const TAcousticProject& p = ed_.Project;
    RenderB.SetIndicatorEnabled(false);
    RenderB.SetIndicatorVisible(false);
    const bool continuous = p.ContinuousRender();
    if (p.AllMapsState() == TCalcState::qzaCalculated) {
        RenderB.SetImageIndex(kImageCalculated);
        RenderB.SetStyleLookup(continuous ? kStyleNeutral : kStyleGreen);
    } else {
        RenderB.SetImageIndex(kImageNeedsCalc);
        RenderB.SetStyleLookup(continuous ? kStyleNeutral : kStyleRed);
    }
}

void TRenderControl::RenderButtonCalculated() {
    const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
    RenderB.SetImageIndex(kImageCalculated);
    RenderB.SetIndicatorEnabled(false);
    RenderB.SetIndicatorVisible(false);
    RenderB.SetStyleLookup(ed_.Project.ContinuousRender() ? kStyleNeutral : kStyleGreen);
    processMessages();
}

void TRenderControl::UpdateRenderControls() {
    const int quality = static_cast<int>(ed_.Project.RenderQuality());
    const std::vector<TUIAction*> items = RenderQualityItems();
    if (quality < 0 || quality >= static_cast<int>(items.size())) {
        return;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->SetChecked(static_cast<int>(i) == quality);
    }
}

void TRenderControl::SetSolidProgressBar() {
    if (ed_.Project.ProgressBar() != nullptr) {
        ed_.Project.ProgressBar()->SetStyleLookup("progressbarstyle");
    }
}

void TRenderControl::SetVendrelProgressBar() {
    if (ed_.Project.ProgressBar() != nullptr) {
        ed_.Project.ProgressBar()->SetStyleLookup("progressbarvendrelstyle");
    }
}

// ---- Menu handlers ----

void TRenderControl::RenderItemClick(int Tag) {
    if (Tag < 0 || Tag > 4) {
        return;
    }
    RenderButtonNeedsCalc();
    RenderB.SetImageIndex(kImageBusy);
    RenderB.SetIndicatorEnabled(true);
    RenderB.SetIndicatorVisible(true);
    RenderB.SetLabel("Checking Mem...");
    processMessages();
    ed_.Project.SetRenderQuality(static_cast<TRenderQuality>(Tag & 0xFF));
    UpdateRenderControls();
    if (ed_.View != nullptr) {
        ed_.View->ShowMemoryInfo();
    }
    RenderB.SetIndicatorEnabled(false);
    RenderB.SetIndicatorVisible(false);
    RenderButtonNeedsCalc();
}

void TRenderControl::RenderConfigItemClick() {
    if (ed_.View != nullptr) {
        ed_.View->ShowMappingConfig();
    }
}

void TRenderControl::ContinuousRenderItemClick() {
    // The item switches continuous rendering on and off; the settings file keeps the last choice.
    TAcousticProject& p = ed_.Project;
    const bool on = ContinuousRenderItem.Checked();
    if (on && !p.ContinuousRender() && !ed_.State.InitiatingSystem()) {
        // While rendering was off the cabinets' maps were not kept current: a project opened, edits
        // made, a render cancelled. Switching on renders everything again, as Render does, so that no
        // zone is coloured from maps that never held a cabinet's contribution. Everything is asked for
        // under one pause, so no summation starts before the cabinets' passes are requested.
        const TWorkersPause pause(p);
        p.SetContinuousRender(true);
        p.SetAbortCalculation(false);
        FAbortedByUser = false;
        p.SetDontSumAllMaps(false);
        p.SetForceCalculation(true);
        p.SetAllCabsNeedsCalculateMapsInZone(-1);
        p.SetForceCalculation(false);
    } else {
        p.SetContinuousRender(on);
    }
    UpdateRenderButton();
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteBool("Options", "ContinuousRender", ContinuousRenderItem.Checked());
    }
}

void TRenderControl::AirAbsoptionItemClick() {
    ed_.PhysicalSpace.SetAirLoss(AirAbsoptionItem.Checked());
}

void TRenderControl::UseListeningPlaneFoRaysMenuItemClick(bool FromButton) {
    if (FromButton) {
        UseListeningPlaneFoRaysMenuItem.SetChecked(IntersectListeningCB.Checked());
    } else {
        IntersectListeningCB.SetChecked(UseListeningPlaneFoRaysMenuItem.Checked());
    }
    ed_.Project.SetUseSPLMeshforRaycast(UseListeningPlaneFoRaysMenuItem.Checked());
    if (ed_.State.InitiatingSystem()) {
        return;
    }
    // What is under the mouse is looked up again with the new rule, as if the mouse had moved.
    if (ed_.View != nullptr) {
        ed_.View->RefreshMousePosition();
    }
    showStatus(UseListeningPlaneFoRaysMenuItem.Checked() ? " Ray Intersect with Listening planes: Enabled"
                                                         : " Ray Intersect with Listening planes: Disabled");
}

void TRenderControl::FreqBandsComboChange() {
    TAcousticProject& p = ed_.Project;
    TPhysicalSpace& medium = ed_.PhysicalSpace;
    RenderButtonNeedsCalc();
    const TFlagScope detached(freqsDetached_);
    const int b = std::max(FreqBandsCombo.ItemIndex(), 0);
    p.SetIsProjectModified(true);
    int32_t previous = 1000;
    if (b != 0 && p.MappingBandsType() != TMappingBands::mbFullBand) {
        previous = p.FreqToEvaluate();
    }
    p.SetMappingBandsType(static_cast<TMappingBands>(b));
    UpdateRenderControls();

    std::vector<std::string> items;
    if (b == 0) {
        items.emplace_back("20-20Khz");
    } else {
        for (const int32_t f : medium.FreqsNormalized()) {
            items.push_back(std::to_string(f) + " Hz");
        }
    }
    FreqsCombo.SetItems(items);
    FreqsCombo.SetVisible(true);
    int selected = 0;
    if (b != 0) {
        const int kept = FreqsCombo.IndexOf(std::to_string(previous) + " Hz");
        selected = kept >= 0 && kept < static_cast<int>(medium.FreqsNormalized().size())
                       ? kept
                       : std::max(FreqsCombo.IndexOf("1000 Hz"), 0);
    }
    FreqsCombo.SetItemIndex(selected);
    if (selected < static_cast<int>(medium.FreqsNormalized().size())) {
        p.SetFreqToEvaluate(medium.FreqsNormalized()[static_cast<size_t>(selected)]);
    }
    medium.SetSelectedFreqPoint(selected);
    if (ed_.View != nullptr) {
        ed_.View->ShowMemoryInfo();
    }
}

void TRenderControl::FreqsComboChange() {
    if (freqsDetached_) {
        return;
    }
    TPhysicalSpace& medium = ed_.PhysicalSpace;
    RenderButtonNeedsCalc();
    const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
    const int i = FreqsCombo.ItemIndex();
    if (i < 0 || i >= static_cast<int>(medium.FreqsNormalized().size())) {
        return;
    }
    ed_.Project.SetFreqToEvaluate(medium.FreqsNormalized()[static_cast<size_t>(i)]);
    medium.SetSelectedFreqPoint(i);
}

// ---- Developer handlers ----

void TRenderControl::FrecEditChange() {
    TAcousticProject& p = ed_.Project;
    p.SetMaxFreqforRealPhase(Trunc<int32_t>(FrecEdit.Value()));
    p.ReCalculateZones(-1);
    p.ReCalculateAllMics();
}

void TRenderControl::UseAxisPhaseCheckBoxChange() {
    TAcousticProject& p = ed_.Project;
    // The setter holds the workers and asks for every zone and point again.
    p.SetForceUseAxisPhase(UseAxisPhaseCheckBox.Checked());
}

void TRenderControl::ZeroPhaseCheckBoxChange() {
    ed_.Project.SetZeroPhaseStart(ZeroPhaseCheckBox.Checked());
}

void TRenderControl::PistonCBoxChange() {
    ed_.Project.SetIdealSpeaker(PistonCBox.Checked());
    RenderBClick();
}

void TRenderControl::RefreshMsBoxChange() {
    ed_.Project.SetRefreshTimeMsec(Trunc<int32_t>(RefreshMsBox.Value()));
}

void TRenderControl::AllMapsWaitingMsecNBChange() {
    ed_.Project.SetAllMapsWaitingMsec(Trunc<int32_t>(AllMapsWaitingMsecNB.Value()));
}

void TRenderControl::NumberBox2Change() {
    ed_.PhysicalSpace.SetPixelToMeters(NumberBox2.Value());
    ed_.Project.ReCalculateZones(-1);
}

} // namespace vendrel
