#include "editor/preferences.h"

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "files/library_scan.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "platform/core/viewport3d.h"
#include "platform/core/windows1252.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vendrel {

namespace {

constexpr const char* kOptions = "Options";
constexpr TAlphaColor kLightRed = 0xFFFF6060;
constexpr TAlphaColor kGreen = 0xFF7FFF00;

// The project file keeps identity texts as single bytes of Windows-1252 with a fixed capacity: what
// reaches the project is what the file can hold.
std::string fitted(const std::string& Text, size_t Capacity) {
    std::string bytes = Utf8ToWindows1252(Text);
    if (bytes.size() > Capacity) {
        bytes.resize(Capacity);
    }
    return Windows1252ToUtf8(bytes);
}

std::string fixed(double Value, int Decimals, char Separator) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", Decimals, Value);
    std::string text(buf);
    for (char& c : text) {
        if (c == '.') {
            c = Separator;
        }
    }
    return text;
}

// The program writes into the controls: their change handlers stay quiet meanwhile.
class FillScope {
public:
    explicit FillScope(bool& Flag) : flag_(Flag), saved_(Flag) { flag_ = true; }
    ~FillScope() { flag_ = saved_; }
    FillScope(const FillScope&) = delete;
    FillScope& operator=(const FillScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

} // namespace

TMemoryLabels MemoryLabelsOf(const TMemoryFigures& F, char DecimalSeparator) {
    TMemoryLabels l;
    l.RealMaps = "Real mem: " + fixed(F.ProcessMB - F.MemInitialMB, 0, DecimalSeparator) + " Mb";
    l.Installed = fixed(std::nearbyint(F.InstalledMB / 1024.0), 1, DecimalSeparator) + " Gb";
    const double available = std::max(F.MaxMemoryToUseMB / 1024.0, 0.0);
    l.Available = fixed(available, 3, DecimalSeparator) + " Gb";
    l.AvailableColor = available <= 0.2 ? kLightRed : kGreen;
    l.Used = fixed(F.UsedMB / 1024.0, 3, DecimalSeparator) + " Gb";
    l.UsedByApp = fixed(F.ProcessMB / 1024.0, 3, DecimalSeparator) + " Gb";
    l.Maps = fixed(F.MapsMB, 2, DecimalSeparator) + " Mb";
    return l;
}

std::optional<int32_t> TextToInt(const std::string& Text) {
    std::string_view t(Text);
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
    }
    if (t.empty() || t.front() == '+') {
        return std::nullopt;
    }
    int32_t v = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || ptr != t.data() + t.size()) {
        return std::nullopt;
    }
    return v;
}

TPreferences::TPreferences(TEditor& Editor) : ed_(Editor) {
    HidePhaseCheckBox.SetChecked(true);
    MagResoComboBox.SetVisible(false);
    AvoidAliasCheckBox.SetChecked(true);
    ComplexSumRB.SetChecked(true);
    ManualRenderRadioButton.SetChecked(true);
    MetricRadioButton.SetChecked(true);
    RealMapsMemLabel.SetVisible(false);
    std::vector<std::string> freqs;
    for (const int f :
         {20,  25,   31,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
          800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000}) {
        freqs.push_back(std::to_string(f));
    }
    FreqsCombo.SetItems(freqs);
    FreqsCombo.SetItemIndex(FreqsCombo.IndexOf("4000"));
    FreqsCombo.SetVisible(false);
    PhaseThresholdNB.SetValue(24);
    ed_.ObjectMouse.CoverageLinesLength = static_cast<float>(CoverageLinesLengthNB.Value());
    for (TUIAction* check :
         {&HidePhaseCheckBox, &CalcMicOnMouseMoveCB, &AirCompBox, &AvoidAliasCheckBox, &AutoScaleCheckBox}) {
        check->Checkable = true;
        check->AutoCheck = true;
    }
    for (TUIAction* radio : {&MetricRadioButton, &ImperialRadioButton, &ComplexSumRB, &EnergyRB,
                             &ContRenderRadioButton, &ManualRenderRadioButton}) {
        radio->Checkable = true;
    }
    bind();
}

void TPreferences::bind() {
    OpacityBar.OnChange = [this] { OpacityBarChange(); };
    HidePhaseCheckBox.OnExecute = [this] { HidePhaseCheckBoxClick(); };
    PhaseThresholdNB.OnChange = [this] { PhaseThresholdNBChange(); };
    MagResoComboBox.OnChange = [this] { MagResoComboBoxClosePopup(); };
    MaxMemPercntNB.OnChange = [this] { MaxMemPercntNBChange(); };
    CoverageLinesLengthNB.OnChange = [this] { CoverageLinesLengthNBExit(); };
    AirCompBox.OnExecute = [this] { AirCompBoxClick(); };
    MetricRadioButton.OnExecute = [this] { MetricRadioButtonChange(true); };
    ImperialRadioButton.OnExecute = [this] { MetricRadioButtonChange(false); };
    ComplexSumRB.OnExecute = [this] { SumTypeChange(false); };
    EnergyRB.OnExecute = [this] { SumTypeChange(true); };
    AvoidAliasCheckBox.OnExecute = [this] { AvoidAliasCheckBoxChange(); };
    AutoScaleCheckBox.OnExecute = [this] { AutoScaleCheckBoxChange(); };
    ColorStepsComboBox.OnChange = [this] { ColorStepsComboBoxChange(); };
    ColorMapComboBox.OnChange = [this] { ColorMapComboBoxChange(); };
    SPLRangeBox.OnChange = [this] { SPLRangeBoxChange(); };
    MaxdBuEdit.OnChange = [this] { MaxdBuEditChange(); };
    NormalizedMinNB.OnChange = [this] { MaxdBuEditChange(); };
    ContRenderRadioButton.OnExecute = [this] { RenderModeClick(true); };
    ManualRenderRadioButton.OnExecute = [this] { RenderModeClick(false); };
    RenderResComboBox.OnChange = [this] { RenderResComboBoxChange(); };
    CheckLibButton.OnExecute = [this] { CheckLibButtonClick(); };
}

void TPreferences::writeSetting(const char* Key, int32_t Value) const {
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteInteger(kOptions, Key, Value);
    }
}

void TPreferences::writeSetting(const char* Key, double Value) const {
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteFloat(kOptions, Key, Value);
    }
}

// ---------------------------------------------------------------------------------------------------
// Dialog events

void TPreferences::FormActivate() {
    {
        const FillScope fill(filling_);
        const std::vector<TUIAction*> palettes = ed_.Colors.PaletteItems();
        for (size_t i = 0; i < palettes.size(); ++i) {
            if (palettes[i]->Checked()) {
                ColorMapComboBox.SetItemIndex(static_cast<int>(i));
                break;
            }
        }
        ColorStepsComboBox.SetItemIndex(ed_.Colors.ColorStepsComboBox.ItemIndex());
        MaxdBuEdit.SetValue(ed_.Colors.MaxdBuEdit.Value());
        // The map bar's range reaches 54 dB, this box 48: the box shows its limit and writes nothing.
        SPLRangeBox.SetValue(ed_.Colors.SPLRangeBox.Value());
        RenderResComboBox.SetItemIndex(static_cast<int>(ed_.Project.RenderQuality()));
        const bool continuous = ed_.Render.ContinuousRenderItem.Checked();
        ContRenderRadioButton.SetChecked(continuous);
        ManualRenderRadioButton.SetChecked(!continuous);
        AutoScaleCheckBox.SetChecked(ed_.Project.SPLNormalized());
        AirCompBox.SetChecked(ed_.Render.AirAbsoptionItem.Checked());
        MaxMemPercntNB.SetValue(RoundHalfEven<int32_t>(ed_.Project.MaxUsagePercent() * 100.0));
    }
    if (RefreshMemory) {
        RefreshMemory();
    }
}

void TPreferences::FormDeactivate() {
    TAcousticProject& p = ed_.Project;
    p.SetInstallationName(fitted(InstallNameEdit.Text(), 25));
    p.SetGPSCoordinates(fitted(CoordinatesEdit.Text(), 25));
    p.SetPRJCreatedBy(fitted(CreatedEdit.Text(), 25));
    p.SetPRJDescription(fitted(DescriptionMemo.Text(), 200));
}

// ---------------------------------------------------------------------------------------------------
// "Preferences" tab

void TPreferences::SceneBackgroundColorBClick() {
    const std::optional<TAlphaColor> chosen = PickColor ? PickColor(SceneBackgroundColor) : std::nullopt;
    if (!chosen) {
        return;
    }
    SceneBackgroundColor = *chosen;
    ed_.Scene.Viewport3D1->Color = *chosen;
    ed_.Repaint();
    writeSetting("BackSceneColor", static_cast<int32_t>(*chosen));
}

void TPreferences::SurfaceColorBClick() {
    const std::optional<TAlphaColor> chosen = PickColor ? PickColor(SurfaceColor) : std::nullopt;
    if (!chosen) {
        return;
    }
    SurfaceColor = *chosen;
    ed_.Project.SetZoneCreationColor(*chosen);
    writeSetting("ZoneCreationColor", static_cast<int32_t>(*chosen));
}

void TPreferences::OpacityBarChange() {
    if (filling_) {
        return;
    }
    ed_.State.OpacityGrid = OpacityBar.Value();
    ed_.Grid.DrawGrid();
    writeSetting("OpacityGrid", OpacityBar.Value());
}

void TPreferences::HidePhaseCheckBoxClick() {
    ed_.Project.ReCalculateAllMics();
}

void TPreferences::PhaseThresholdNBChange() {
    if (filling_ || ed_.State.InitiatingSystem()) {
        return;
    }
    if (ed_.Project.EventsEnabled()) {
        ed_.Project.ReCalculateAllMics();
    }
    if (RedrawOverlays) {
        RedrawOverlays();
    }
}

void TPreferences::MagResoComboBoxClosePopup() {
    if (filling_ || ed_.State.InitiatingSystem()) {
        return;
    }
    if (ed_.Project.EventsEnabled()) {
        SetMagResolution();
        ed_.Project.ReCalculateAllMics();
        if (RedrawOverlays) {
            RedrawOverlays();
        }
    }
    writeSetting("MagResoPoints", static_cast<int32_t>(MagResoComboBox.ItemIndex()));
}

void TPreferences::SetMagResolution() {
    ed_.Project.SetMagResolution(MagResoComboBox.ItemIndex());
}

void TPreferences::MemRefreshBClick() {
    if (RefreshMemory) {
        RefreshMemory();
    }
}

void TPreferences::MaxMemPercntNBChange() {
    if (filling_) {
        return;
    }
    ed_.Project.SetMaxUsagePercent(static_cast<float>(MaxMemPercntNB.Value() / 100.0));
    writeSetting("MaxMemPercent", static_cast<double>(ed_.Project.MaxUsagePercent()));
    if (RefreshMemory) {
        RefreshMemory();
    }
}

void TPreferences::CoverageLinesLengthNBExit() {
    ed_.ObjectMouse.CoverageLinesLength = static_cast<float>(CoverageLinesLengthNB.Value());
    if (!filling_) {
        ed_.Repaint();
    }
}

void TPreferences::AirCompBoxClick() {
    const bool on = AirCompBox.Checked();
    ed_.PhysicalSpace.SetAirLoss(on);
    ed_.Render.AirAbsoptionItem.SetChecked(on);
    ed_.Project.SetIsProjectModified(true);
}

void TPreferences::recalculateForEnvironment() {
    TAcousticProject& p = ed_.Project;
    p.ReCalculateZones(-1);
    p.SetAllCabsNeedsCalculateMapsInZone(-1);
    p.ReCalculateAllMics();
}

void TPreferences::HumidityBoxExit() {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    const std::optional<int32_t> typed = TextToInt(HumidityBox.Text());
    if (typed && *typed != m.RelHumid()) {
        m.SetRelHumid(*typed);
        recalculateForEnvironment();
    }
    // What the medium kept (it holds 1 .. 100 %).
    HumidityBox.SetText(std::to_string(m.RelHumid()));
}

double TPreferences::temperatureShown() const {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    return IsMetric() ? m.TempCelsius() : m.TempFahrenheit();
}

void TPreferences::TempBoxExit() {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    const std::optional<int32_t> typed = TextToInt(TempBox.Text());
    if (typed && *typed != RoundHalfEven<int32_t>(temperatureShown())) {
        if (IsMetric()) {
            m.SetTempCelsius(*typed);
        } else {
            m.SetTempFahrenheit(*typed);
        }
        recalculateForEnvironment();
    }
    TempBox.SetText(std::to_string(RoundHalfEven<int32_t>(temperatureShown())));
}

std::string TPreferences::displayLength(int32_t Metres) const {
    return std::to_string(RoundHalfEven<int64_t>(Metres * ed_.State.Units.LengthUnits));
}

void TPreferences::gridLimitExit(TUIText& Field, int32_t Current, const std::function<void(int32_t)>& Apply,
                                 const std::function<int32_t()>& Kept) {
    const std::optional<int32_t> typed = TextToInt(Field.Text());
    if (typed) {
        const double units = ed_.State.Units.LengthUnits > 0 ? ed_.State.Units.LengthUnits : 1.0;
        const double metres = *typed / units;
        // Whole metres; a length beyond any venue is held at the medium's largest.
        const int32_t n = metres > 1e6 ? 1000000 : RoundHalfEven<int32_t>(metres);
        if (n > 0 && n != Current) {
            Apply(n);
        }
    }
    // The dimension as the medium kept it, in the units shown.
    Field.SetText(displayLength(Kept()));
}

void TPreferences::MaxLengthEditExit() {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    gridLimitExit(
        MaxLengthEdit, m.VenueLength(), [this](int32_t n) { ed_.Grid.RecalculateVenueLength(n); },
        [&m] { return m.VenueLength(); });
}

void TPreferences::MaxWidthHEditExit() {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    gridLimitExit(
        MaxWidthHEdit, m.VenueWidthHor(), [this](int32_t n) { ed_.Grid.RecalculateVenueWidth(n); },
        [&m] { return m.VenueWidthHor(); });
}

void TPreferences::MaxHeightVEditExit() {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    gridLimitExit(
        MaxHeightVEdit, m.VenueHeightVer(), [this](int32_t n) { ed_.Grid.RecalculateVenueHeight(n); },
        [&m] { return m.VenueHeightVer(); });
}

void TPreferences::MetricRadioButtonChange(bool Metric) {
    const bool changed = Metric != IsMetric();
    MetricRadioButton.SetChecked(Metric);
    ImperialRadioButton.SetChecked(!Metric);
    if (changed && !filling_ && UpdateSystemUnits) {
        UpdateSystemUnits();
    }
}

void TPreferences::FieldKeyTyped() {
    ed_.Project.SetIsProjectModified(true);
}

// ---------------------------------------------------------------------------------------------------
// "Mapping Configuration" tab

void TPreferences::setSumType(bool Energy) {
    ComplexSumRB.SetChecked(!Energy);
    EnergyRB.SetChecked(Energy);
}

void TPreferences::SumTypeChange(bool Energy) {
    const bool changed = Energy != EnergyRB.Checked();
    setSumType(Energy);
    if (filling_ || !changed) {
        return;
    }
    TAcousticProject& p = ed_.Project;
    ed_.Render.RenderButtonNeedsCalc();
    p.SetPressureSumType(Energy ? TPressureSumType::qzaEnergySum : TPressureSumType::qzaComplexSum);
    writeSetting("SPLSummationType", Energy ? 1 : 0);
    p.ReCalculateAllMics();
}

void TPreferences::AvoidAliasCheckBoxChange() {
    ed_.Project.SetAvoidPhaseAliasing(AvoidAliasCheckBox.Checked());
    ed_.Render.RenderButtonNeedsCalc();
}

void TPreferences::AutoScaleCheckBoxChange() {
    ed_.Colors.AutoScaleCheckBox.SetChecked(AutoScaleCheckBox.Checked());
    ed_.Colors.AutoScaleCheckBoxChange();
}

void TPreferences::ColorStepsComboBoxChange() {
    if (filling_) {
        return;
    }
    ed_.Colors.ColorStepsComboBox.SetItemIndex(ColorStepsComboBox.ItemIndex());
    ed_.Colors.ColorStepsComboBoxChange();
}

void TPreferences::ColorMapComboBoxChange() {
    const int index = ColorMapComboBox.ItemIndex();
    if (filling_ || index < 0 || index > 4) {
        return;
    }
    ed_.Colors.PaletteItemClick(index);
}

void TPreferences::SPLRangeBoxChange() {
    if (filling_) {
        return;
    }
    ed_.Colors.SPLRangeBox.SetValue(SPLRangeBox.Value());
}

void TPreferences::MaxdBuEditChange() {
    if (filling_) {
        return;
    }
    ed_.Colors.MaxdBuEdit.SetMin(NormalizedMinNB.Value());
    ed_.Colors.MaxdBuEdit.SetValue(MaxdBuEdit.Value());
}

void TPreferences::RenderModeClick(bool Continuous) {
    ContRenderRadioButton.SetChecked(Continuous);
    ManualRenderRadioButton.SetChecked(!Continuous);
    if (filling_) {
        return;
    }
    ed_.Render.ContinuousRenderItem.SetChecked(Continuous);
    ed_.Render.ContinuousRenderItemClick();
}

void TPreferences::RenderResComboBoxChange() {
    if (filling_) {
        return;
    }
    ed_.Render.RenderItemClick(RenderResComboBox.ItemIndex());
}

// ---------------------------------------------------------------------------------------------------
// "Library" tab

void TPreferences::LibraryRemoveClick(size_t Row) {
    TModelLibrary* library = ed_.Library;
    if (library == nullptr || Row >= library->LibraryGrid.size()) {
        return;
    }
    // A row the reading left empty shows no remove button.
    const TLibraryGridRow row = library->LibraryGrid[Row];
    if (row.Remove.empty()) {
        return;
    }
    if (MessageBoxService().MessageDlg("Do you want to remove \"" + row.FileName + "\" from Library?",
                                       TMsgDlgType::mtWarning,
                                       {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != TModalResult::mrYes) {
        return;
    }
    const std::string failure = library->RemoveLibraryFile(row);
    if (LibraryChanged) {
        LibraryChanged();
    }
    if (!failure.empty()) {
        MessageBoxService().MessageDlg("\"" + row.FileName +
                                           "\" could not be removed from the Library: " + failure + ".",
                                       TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
    }
}

void TPreferences::CheckLibButtonClick() {
    if (CheckForUpdates) {
        CheckForUpdates();
    }
}

// ---------------------------------------------------------------------------------------------------
// Filling

void TPreferences::ReadSettings(const TStored& S) {
    const FillScope fill(filling_);
    setSumType(S.SPLSummationType == 1);
    NormalizedMinNB.SetValue(S.MinAllowedOnMaxSPL);
    FreqsCombo.SetItemIndex(FreqsCombo.IndexOf(std::to_string(S.InterferencesUpTo)));
    SceneBackgroundColor = S.BackSceneColor;
    SurfaceColor = S.ZoneCreationColor;
    OpacityBar.SetValue(S.OpacityGrid);
    ed_.State.OpacityGrid = OpacityBar.Value();
    HidePhaseCheckBox.SetChecked(S.HidePhaseLowThreshold);
    PhaseThresholdNB.SetValue(S.PhaseLowThreshold);
    MagResoComboBox.SetItemIndex(S.MagResoPoints);
    SetMagResolution();
    CoverageLinesLengthNB.SetValue(S.CoverageLinesLength);
    ed_.ObjectMouse.CoverageLinesLength = static_cast<float>(CoverageLinesLengthNB.Value());
    MetricRadioButton.SetChecked(S.MetricSystem);
    ImperialRadioButton.SetChecked(!S.MetricSystem);
    CalcMicOnMouseMoveCB.SetChecked(S.CalcMicOnMouseMove);
}

TPreferences::TStored TPreferences::Current() const {
    TStored s;
    s.SPLSummationType = EnergyRB.Checked() ? 1 : 0;
    s.MinAllowedOnMaxSPL = RoundHalfEven<int32_t>(NormalizedMinNB.Value());
    const std::string freq = FreqsCombo.Selected();
    s.InterferencesUpTo = freq.empty() ? 4000 : std::stoi(freq);
    s.BackSceneColor = SceneBackgroundColor;
    s.ZoneCreationColor = SurfaceColor;
    s.OpacityGrid = OpacityBar.Value();
    s.HidePhaseLowThreshold = HidePhaseCheckBox.Checked();
    s.PhaseLowThreshold = RoundHalfEven<int32_t>(PhaseThresholdNB.Value());
    s.MagResoPoints = MagResoComboBox.ItemIndex();
    s.CoverageLinesLength = CoverageLinesLengthNB.Value();
    s.MetricSystem = IsMetric();
    s.CalcMicOnMouseMove = CalcMicOnMouseMoveCB.Checked();
    return s;
}

void TPreferences::ShowUnits() {
    TempUnitLabel.SetText(IsMetric() ? "\u00BA"
                                       "C"
                                     : "\u00BA"
                                       "F");
    GridLimitsTitle.SetText("Grid Limits [ " + ed_.State.Units.LengthUnitText + " ]");
    ShowEnvironment();
}

void TPreferences::ShowEnvironment() {
    const FillScope fill(filling_);
    TPhysicalSpace& m = ed_.PhysicalSpace;
    TempBox.SetText(std::to_string(RoundHalfEven<int32_t>(temperatureShown())));
    HumidityBox.SetText(std::to_string(m.RelHumid()));
    MaxLengthEdit.SetText(displayLength(m.VenueLength()));
    MaxWidthHEdit.SetText(displayLength(m.VenueWidthHor()));
    MaxHeightVEdit.SetText(displayLength(m.VenueHeightVer()));
    AirCompBox.SetChecked(m.AirLoss());
}

void TPreferences::ProjectCleared() {
    InstallNameEdit.SetText("New Project");
}

void TPreferences::ProjectOpened() {
    const FillScope fill(filling_);
    const TAcousticProject& p = ed_.Project;
    setSumType(p.PressureSumType() == TPressureSumType::qzaEnergySum);
    AvoidAliasCheckBox.SetChecked(p.AvoidPhaseAliasing());
    const std::vector<TUIAction*> palettes = ed_.Colors.PaletteItems();
    for (size_t i = 0; i < palettes.size(); ++i) {
        if (palettes[i]->Checked()) {
            ColorMapComboBox.SetItemIndex(static_cast<int>(i));
            break;
        }
    }
    InstallNameEdit.SetText(p.InstallationName());
    CoordinatesEdit.SetText(p.GPSCoordinates());
    CreatedEdit.SetText(p.PRJCreatedBy());
    DescriptionMemo.SetText(p.PRJDescription());
    AutoScaleCheckBox.SetChecked(p.SPLNormalized());
    ShowEnvironment();
}

void TPreferences::ShowMemoryInfo(const TMemoryFigures& Figures) {
    const TMemoryLabels l = MemoryLabelsOf(Figures, ed_.State.FormatSettings.DecimalSeparator);
    RealMapsMemLabel.SetText(l.RealMaps);
    MemInstalledLabel.SetText(l.Installed);
    MemAvailableColor = l.AvailableColor;
    MemAvailableLabel.SetText(l.Available);
    MemUsedLabel.SetText(l.Used);
    MemUsedAppLabel.SetText(l.UsedByApp);
    MemMapsLabel.SetText(l.Maps);
}

void TPreferences::ShowLibrary(const TModelLibrary& Library) {
    LabelLib.SetText(Library.LabelLib);
}

} // namespace vendrel
