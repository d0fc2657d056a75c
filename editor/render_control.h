#pragma once
// Render control and calculation requests: the Render button and its three looks, the render
// request, the all-maps handler that hands summed maps to the colouring, the render-quality,
// continuous-render, air-absorption and listening-plane items, the "Bandwidth" and "Center Freq"
// lists, the progress-bar looks and the developer's calculation knobs.
//
// The button's picture doubles as the state of the maps on screen: 42 needs calculation, 41
// calculated, -1 (none) while a calculation runs with the activity indicator shown.
//
// The render request and the all-maps handler let pending queued calls run (user input waits). A
// second request or a result arriving while one of them runs does not nest: a request is ignored, a
// result is taken up once the running handler is done. A run that gives up (its passes exhausted or
// failed) reaches the handler with the abort flag set: unlike a run the user aborted, it resets the
// button and says so in the status line.

#include "editor/ui_values.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vendrel {

class TEditor;

// The Render button: picture, style, and the activity indicator with its label.
class TRenderButton {
public:
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const std::string& StyleLookup() const { return FStyleLookup; }
    void SetStyleLookup(const std::string& Value);
    bool IndicatorEnabled() const { return FIndicatorEnabled; }
    void SetIndicatorEnabled(bool Value);
    // Hiding the indicator hides its label.
    bool IndicatorVisible() const { return FIndicatorVisible; }
    void SetIndicatorVisible(bool Value);
    const std::string& Label() const { return FLabel; }
    void SetLabel(const std::string& Value);

    std::string Hint = "Render SPL Map";
    std::function<void()> OnMirror;

private:
    void mirror() const;

    int FImageIndex = 42;
    std::string FStyleLookup = "CornerButtonRenderStyle";
    bool FIndicatorEnabled = false;
    bool FIndicatorVisible = false;
    std::string FLabel = "Rendering";
};

class TRenderControl {
public:
    explicit TRenderControl(TEditor& Editor);

    // ---- Controls ----
    TRenderButton RenderB;
    TUIAction RenderConfigItem{"Mapping Config"};
    TUIAction ContinuousRenderItem{"Continuous Render"};
    // "Render Resolution": Tag = the render quality 0..4.
    TUIAction VeryLowItem{"Lowest"};
    TUIAction LowItem{"Low"};
    TUIAction MidItem{"Mid"};
    TUIAction HighItem{"High"};
    TUIAction VeryHighItem{"Highest"};
    TUIAction AirAbsoptionItem{"Show Air Absorption"};
    TUIAction UseListeningPlaneFoRaysMenuItem{"Objects intersect with Listening surfaces", "L"};
    TUIAction IntersectListeningCB{"Intersect"}; // its stay-pressed tool button
    TUIChoice FreqBandsCombo{{"FullBand", "2 Octave", "1 Octave", "2/3 Octave", "1/3 Octave"}, 0};
    TUIChoice FreqsCombo{{"20-20Khz"}, 0};
    // ---- Developer tab ----
    TUIRange FrecEdit{5, 24000, 1000, 1};
    TUIAction UseAxisPhaseCheckBox{"Use Always Axis Phase"};
    TUIAction ZeroPhaseCheckBox{"Start with Phase 0"};
    TUIAction PistonCBox{"Activate Piston"};
    TUIRange RefreshMsBox{10, 1000, 100, 0.001};
    TUIRange AllMapsWaitingMsecNB{1, 1000, 100, 1};
    TUIRange NumberBox2{0.1, 20, 0.1, 0.1};
    TUIRange NumberBox1{-5000, 5000, 0, 1};

    // The render-quality items in tag order.
    std::vector<TUIAction*> RenderQualityItems();

    // ---- Requests and results ----
    void RenderBClick();
    void CabinetPosXmetersEditClick() { RenderBClick(); }
    // The handler of the project's all-maps event (queued to the user-interface thread).
    void AllMapsReceived();
    // Esc while the activity indicator runs: the calculation is aborted, the button needs calculation.
    // False when no calculation was running.
    bool AbortRendering();

    // ---- The button's looks ----
    void RenderButtonNeedsCalc();
    void UpdateRenderButton();
    // The button's look from the project's summed-map state, without running queued calls or ending
    // a forced calculation (the window's creation).
    void ShowProjectState();
    void RenderButtonCalculated();
    void UpdateRenderControls();
    void SetSolidProgressBar();
    void SetVendrelProgressBar();

    // ---- Menu handlers ----
    void RenderItemClick(int Tag);
    void RenderConfigItemClick();
    void ContinuousRenderItemClick();
    void AirAbsoptionItemClick();
    // FromButton: the tool button was pressed (it leads), else the menu item or its shortcut.
    void UseListeningPlaneFoRaysMenuItemClick(bool FromButton);
    void FreqBandsComboChange();
    void FreqsComboChange();

    // ---- Developer handlers ----
    void FrecEditChange();
    void UseAxisPhaseCheckBoxChange();
    void ZeroPhaseCheckBoxChange();
    void PistonCBoxChange();
    void RefreshMsBoxChange();
    void AllMapsWaitingMsecNBChange();
    void NumberBox2Change();

    // True while the user's Esc has aborted the last calculation (until the next render request).
    bool AbortedByUser() const { return FAbortedByUser; }

    // Binds the controls' events (the window's creation).
    void BindControls();

private:
    void processMessages();
    void showStatus(const std::string& Text);

    TEditor& ed_;
    bool FAbortedByUser = false;
    bool requestBusy_ = false;   // RenderBClick runs
    bool resultBusy_ = false;    // AllMapsReceived runs
    bool resultPending_ = false; // a result arrived while the handler ran
    bool freqsDetached_ = false; // FreqsCombo's change handler is off
};

} // namespace vendrel
