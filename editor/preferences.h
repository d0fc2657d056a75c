#pragma once
// The preferences: the program-wide display and calculation options, the physical environment, the
// venue's grid limits, the unit system, the project information, the mapping configuration and the
// model library's rows, as the preferences dialog shows them. The dialog's widgets only mirror these
// values and forward the user's changes; every change acts at once on the project, the medium or the
// editor, and six of them are written to the settings file.
//
// Values the program itself puts into a control (filling from the settings, from an opened project,
// on activation) run no handler: only the user's changes do. Text fields commit only after the user
// edited them, so tabbing through the dialog changes nothing.

#include "editor/ui_values.h"
#include "platform/core/bitmap.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TModelLibrary;
struct TLibraryGridRow;

// The dialog's tabs, in order (two of them stay hidden).
enum class TOptionsTab : uint8_t { Preferences, ProjectInfo, VisualOptions, MetricUnits, MapConfig, Library };

// The figures the memory labels show, in megabytes (the project's figures, the process's own use and
// the maps' need at the current pixel size).
struct TMemoryFigures {
    double ProcessMB = 0.0;
    double MemInitialMB = 0.0;
    double InstalledMB = 0.0;
    double MaxMemoryToUseMB = 0.0;
    double UsedMB = 0.0;
    double MapsMB = 0.0;
};

// The memory labels' texts, and the colour of the maps' share: light red at 0.2 GB or less, else green.
struct TMemoryLabels {
    std::string RealMaps, Installed, Available, Used, UsedByApp, Maps;
    TAlphaColor AvailableColor = 0;
};
TMemoryLabels MemoryLabelsOf(const TMemoryFigures& Figures, char DecimalSeparator);

// The text as a whole number (an optional sign and digits), or nothing.
std::optional<int32_t> TextToInt(const std::string& Text);

class TPreferences {
public:
    // The editor is not owned and outlives the preferences.
    explicit TPreferences(TEditor& Editor);
    TPreferences(const TPreferences&) = delete;
    TPreferences& operator=(const TPreferences&) = delete;

    // ---- The window's side ----
    // Opens the colour picker on a colour; nothing when the user cancelled.
    std::function<std::optional<TAlphaColor>(TAlphaColor Current)> PickColor;
    // The window converts every displayed unit (the unit system changed).
    std::function<void()> UpdateSystemUnits;
    // The window refreshes its memory figures (and these labels through ShowMemoryInfo).
    std::function<void()> RefreshMemory;
    // The response chart draws every overlay again.
    std::function<void()> RedrawOverlays;
    // "Check for Updates": the update check, the library read again and organised.
    std::function<void()> CheckForUpdates;
    // The library was read again (its rows and counts are to be shown).
    std::function<void()> LibraryChanged;

    // ---- "Preferences" tab ----
    TAlphaColor SceneBackgroundColor = 0xFF161819;
    TAlphaColor SurfaceColor = 0xFFBDA4C7;
    TUIRange OpacityBar{0, 1, 0.2, 0.01};
    TUIAction HidePhaseCheckBox{"Hide Phase if magnitude downs:"};
    TUIRange PhaseThresholdNB{10, 99, 24, 1};
    TUIChoice MagResoComboBox{{"High", "Mid", "Low"}, 1};
    TUIAction CalcMicOnMouseMoveCB{"Recalculate Mic On Mouse Move"};
    TUIRange MaxMemPercntNB{55, 99, 98, 1};
    TUIText MemInstalledLabel{"Gb"};
    TUIText MemAvailableLabel;
    TUIText MemUsedLabel;
    TUIText MemMapsLabel;
    TUIText MemUsedAppLabel{"Mb"};
    TUIText RealMapsMemLabel;
    TAlphaColor MemAvailableColor = 0xFF7FFF00;
    TUIRange CoverageLinesLengthNB{0.1, 99, 0.3, 0.1};
    TUIAction AirCompBox{"Show Air Absorption Loss"};
    TUIText HumidityBox{"50"};
    TUIText TempBox{"25"};
    TUIText TempUnitLabel{"\u00BA"
                          "C"};
    TUIText MaxLengthEdit{"50"};
    TUIText MaxWidthHEdit{"20"};
    TUIText MaxHeightVEdit{"10"};
    TUIText GridLimitsTitle{"Grid Limits [ m ]"};
    TUIAction MetricRadioButton{"Metric   (m, kg, \u00BA"
                                "C)"};
    TUIAction ImperialRadioButton{"Imperial  (ft, lbs, \u00BA"
                                  "F)"};

    // ---- "Project Info" tab ----
    TUIText InstallNameEdit{"New Project"};
    TUIText CoordinatesEdit;
    TUIText CreatedEdit;
    TUIText DescriptionMemo;

    // ---- "Mapping Configuration" tab ----
    TUIAction ComplexSumRB{"Complex Sum"};
    TUIAction EnergyRB{"Energy Sum"};
    TUIChoice FreqsCombo;
    TUIAction AvoidAliasCheckBox{"Avoid Phase Aliasing"};
    TUIAction AutoScaleCheckBox{"Automatic (normalized maximum)"};
    TUIChoice ColorStepsComboBox{{"None", "1 dB", "3 dB", "6 dB"}, 0};
    TUIChoice ColorMapComboBox{{"Vendrel", "Fire", "Wide Fire", "Red to Blue", "Vendrel Compress"}, 0};
    TUIRange SPLRangeBox{6, 48, 24, 6};
    TUIRange MaxdBuEdit{6, 200, 110, 1};
    TUIRange NormalizedMinNB{60, 100, 80, 1};
    TUIAction ContRenderRadioButton{"Continuous Render"};
    TUIAction ManualRenderRadioButton{"Manual Render"};
    TUIChoice RenderResComboBox{{"Lowest", "Low", "Mid", "High", "Highest"}, 2};

    // ---- "Library" tab ----
    TUIText LabelLib;
    TUIAction CheckLibButton{"Check for Updates"};

    // ---- Dialog events ----
    // Each time the dialog gets the focus: the mapping choices and the memory figures as they are now.
    void FormActivate();
    // The dialog loses the focus: the project information reaches the project.
    void FormDeactivate();

    // ---- Handlers ("Preferences" tab) ----
    void SceneBackgroundColorBClick();
    void SurfaceColorBClick();
    void OpacityBarChange();
    void HidePhaseCheckBoxClick();
    void PhaseThresholdNBChange();
    void MagResoComboBoxClosePopup();
    // Applies the resolution combo's choice to the response grid (also at start).
    void SetMagResolution();
    void MemRefreshBClick();
    void MaxMemPercntNBChange();
    void CoverageLinesLengthNBExit();
    void AirCompBoxClick();
    void HumidityBoxExit();
    void TempBoxExit();
    void MaxLengthEditExit();
    void MaxWidthHEditExit();
    void MaxHeightVEditExit();
    // A unit button chosen by the user.
    void MetricRadioButtonChange(bool Metric);
    // A key typed into one of the dialog's fields: the project counts as modified.
    void FieldKeyTyped();

    // ---- Handlers ("Mapping Configuration" tab) ----
    void SumTypeChange(bool Energy);
    void AvoidAliasCheckBoxChange();
    void AutoScaleCheckBoxChange();
    void ColorStepsComboBoxChange();
    void ColorMapComboBoxChange();
    void SPLRangeBoxChange();
    void MaxdBuEditChange();
    void RenderModeClick(bool Continuous);
    void RenderResComboBoxChange();

    // ---- Handlers ("Library" tab) ----
    // A click in the remove column of a row: asks, deletes the file and reads the library again.
    void LibraryRemoveClick(size_t Row);
    void CheckLibButtonClick();

    // ---- Filling ----
    // The values the settings file holds (the settings reading at start).
    struct TStored {
        int32_t SPLSummationType = 0;
        int32_t MinAllowedOnMaxSPL = 80;
        int32_t InterferencesUpTo = 4000;
        TAlphaColor BackSceneColor = 0xFF161819;
        TAlphaColor ZoneCreationColor = 0xFFBDA4C7;
        double OpacityGrid = 0.2;
        bool HidePhaseLowThreshold = true;
        int32_t PhaseLowThreshold = 50;
        int32_t MagResoPoints = 1;
        double CoverageLinesLength = 0.3;
        bool MetricSystem = true;
        bool CalcMicOnMouseMove = false;
    };
    // Fills from the settings and applies what they rule (the resolution, the colours, the grid
    // opacity, the coverage lines); nothing is written back.
    void ReadSettings(const TStored& Stored);
    // The values the dialog writes back when the window closes.
    TStored Current() const;
    // The unit system's texts and the fields shown in it (temperature, venue), as the window's unit
    // switch applies them.
    void ShowUnits();
    // The environment and the venue as the medium holds them, in the units shown.
    void ShowEnvironment();
    // A new project: the installation name shows "New Project".
    void ProjectCleared();
    // An opened project: its summation, aliasing, palette, scale, identity and venue.
    void ProjectOpened();
    // The memory labels from figures.
    void ShowMemoryInfo(const TMemoryFigures& Figures);
    // The library's count text after a reading.
    void ShowLibrary(const TModelLibrary& Library);

    bool IsMetric() const { return MetricRadioButton.Checked(); }

private:
    // A grid-limit field left: Current is the medium's dimension (whole metres), Apply sets a new one.
    void gridLimitExit(TUIText& Field, int32_t Current, const std::function<void(int32_t)>& Apply,
                       const std::function<int32_t()>& Kept);
    std::string displayLength(int32_t Metres) const;
    double temperatureShown() const;
    void recalculateForEnvironment();
    void writeSetting(const char* Key, int32_t Value) const;
    void writeSetting(const char* Key, double Value) const;
    void setSumType(bool Energy);
    void bind();

    TEditor& ed_;
    bool filling_ = false; // the program puts values into the controls: handlers stay quiet
};

} // namespace vendrel
