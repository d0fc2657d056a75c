// The preferences as the dialog drives them, without a window: fields read back in the units shown,
// values that only the user's edits commit, the settings written, the project information fitted to
// the project file, the memory labels and the developer tab's reports.

#include "editor/preferences.h"

#include <gtest/gtest.h>

#include "../files/library_fixture.h"
#include "editor/developer_tools.h"
#include "editor/units.h"
#include "editor_fixture.h"
#include "files/library_scan.h"
#include "platform/core/mem_ini_file.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

struct PreferencesFixture : testing::EditorFixture {
    PreferencesFixture() : EditorFixture(50, 10, 20) {
        editor->SettingsIni = &ini;
        prefs = std::make_unique<TPreferences>(*editor);
        prefs->UpdateSystemUnits = [this] { units(prefs->IsMetric()); };
    }
    ~PreferencesFixture() { editor->SettingsIni = nullptr; }

    // The window's unit switch, as far as the fields depend on it.
    void units(bool metric) {
        state().Units = UnitSystemOf(metric);
        prefs->ShowUnits();
    }
    // A user's edit of a field and leaving it.
    void type(TUIText& field, const std::string& text, void (TPreferences::*exit)()) {
        field.SetText(text);
        (prefs.get()->*exit)();
    }

    TMemIniFile ini;
    std::unique_ptr<TPreferences> prefs;
};

TEST(Preferences, GridLimitsAreReadInTheUnitsShownAndShowWhatTheVenueKept) {
    PreferencesFixture f;
    TPreferences& p = *f.prefs;
    f.prefs->MetricRadioButtonChange(false); // imperial
    EXPECT_EQ(p.MaxLengthEdit.Text(), "164");
    EXPECT_EQ(p.GridLimitsTitle.Text(), "Grid Limits [ ft ]");
    struct Case {
        const char* typed;
        int32_t metres;
        const char* shown;
    };
    for (const Case& c :
         {Case{"abc", 50, "164"}, Case{"100", 30, "98"}, Case{"0", 30, "98"}, Case{"-20", 30, "98"},
          Case{"99", 30, "98"}, Case{"12.5", 30, "98"}, Case{"3", 2, "7"}, Case{"99999", 2000, "6562"}}) {
        f.type(p.MaxLengthEdit, c.typed, &TPreferences::MaxLengthEditExit);
        EXPECT_EQ(f.medium.VenueLength(), c.metres) << c.typed;
        EXPECT_EQ(p.MaxLengthEdit.Text(), c.shown) << c.typed;
    }
    f.prefs->MetricRadioButtonChange(true);
    EXPECT_EQ(p.MaxLengthEdit.Text(), "2000");
    f.type(p.MaxHeightVEdit, "500", &TPreferences::MaxHeightVEditExit);
    EXPECT_EQ(f.medium.VenueHeightVer(), 200);
    EXPECT_EQ(p.MaxHeightVEdit.Text(), "200");
    f.type(p.MaxWidthHEdit, "35", &TPreferences::MaxWidthHEditExit);
    EXPECT_EQ(f.medium.VenueWidthHor(), 35);
}

TEST(Preferences, EnvironmentFieldsChangeTheMediumOnlyForANewValue) {
    PreferencesFixture f;
    TPreferences& p = *f.prefs;
    f.medium.SetTempCelsius(21.0);
    f.prefs->MetricRadioButtonChange(false);
    EXPECT_EQ(p.TempBox.Text(), "70"); // 69.8 F
    EXPECT_EQ(p.TempUnitLabel.Text(), "\u00BA"
                                      "F");
    // Leaving the field as shown keeps 21 C exactly.
    p.TempBoxExit();
    EXPECT_EQ(f.medium.TempCelsius(), 21.0);
    f.type(p.TempBox, "abc", &TPreferences::TempBoxExit);
    EXPECT_EQ(p.TempBox.Text(), "70");
    EXPECT_EQ(f.medium.TempCelsius(), 21.0);
    f.type(p.TempBox, "86", &TPreferences::TempBoxExit);
    EXPECT_DOUBLE_EQ(f.medium.TempCelsius(), 30.0);
    EXPECT_EQ(p.TempBox.Text(), "86");

    f.medium.SetRelHumid(50);
    p.ShowEnvironment();
    for (const auto& [typed, kept] :
         std::vector<std::pair<std::string, int>>{{"abc", 50}, {"0", 1}, {"150", 100}, {"35", 35}}) {
        f.type(p.HumidityBox, typed, &TPreferences::HumidityBoxExit);
        EXPECT_EQ(f.medium.RelHumid(), kept) << typed;
        EXPECT_EQ(p.HumidityBox.Text(), std::to_string(kept)) << typed;
    }
}

TEST(Preferences, MappingChoicesReachTheProjectAndTheSettings) {
    PreferencesFixture f;
    TPreferences& p = *f.prefs;
    p.EnergyRB.Click();
    EXPECT_EQ(f.project->PressureSumType(), TPressureSumType::qzaEnergySum);
    EXPECT_EQ(f.ini.ReadInteger("Options", "SPLSummationType", -1), 1);
    EXPECT_TRUE(p.EnergyRB.Checked());
    EXPECT_FALSE(p.ComplexSumRB.Checked());
    EXPECT_EQ(p.Current().SPLSummationType, 1);
    p.ComplexSumRB.Click();
    EXPECT_EQ(f.project->PressureSumType(), TPressureSumType::qzaComplexSum);
    EXPECT_EQ(f.ini.ReadInteger("Options", "SPLSummationType", -1), 0);

    p.AvoidAliasCheckBox.Click();
    EXPECT_FALSE(f.project->AvoidPhaseAliasing());
    p.OpacityBar.SetValue(0.55);
    EXPECT_DOUBLE_EQ(f.state().OpacityGrid, 0.55);
    EXPECT_DOUBLE_EQ(f.ini.ReadFloat("Options", "OpacityGrid", -1), 0.55);

    // Activation shows the map bar's range, held at this box's 48 dB, and writes nothing back.
    f.editor->Colors.SPLRangeBox.SetValue(54);
    p.FormActivate();
    EXPECT_EQ(p.SPLRangeBox.Value(), 48);
    EXPECT_EQ(f.editor->Colors.SPLRangeBox.Value(), 54);
    p.SPLRangeBox.SetValue(30);
    EXPECT_EQ(f.editor->Colors.SPLRangeBox.Value(), 30);

    p.ColorMapComboBox.UserSelect(2);
    EXPECT_TRUE(f.editor->Colors.WideFireItem.Checked());
    EXPECT_EQ(f.ini.ReadInteger("Options", "MappingColors", -1), 2);
}

TEST(Preferences, ProjectInformationIsFittedToTheProjectFile) {
    PreferencesFixture f;
    TPreferences& p = *f.prefs;
    p.InstallNameEdit.SetText("A thirty character long name!");
    p.CoordinatesEdit.SetText("Jos\u00E9");
    p.CreatedEdit.SetText("\u65E5\u672C");
    p.DescriptionMemo.SetText(std::string(250, 'd'));
    p.FormDeactivate();
    EXPECT_EQ(f.project->InstallationName(), "A thirty character long n");
    EXPECT_EQ(f.project->GPSCoordinates(), "Jos\u00E9");
    EXPECT_EQ(f.project->PRJCreatedBy(), "??");
    EXPECT_EQ(f.project->PRJDescription(), std::string(200, 'd'));
    p.ProjectCleared();
    EXPECT_EQ(p.InstallNameEdit.Text(), "New Project");
}

TEST(Preferences, SettingsFillTheControlsAndApplyWithoutWritingBack) {
    PreferencesFixture f;
    TPreferences& p = *f.prefs;
    TPreferences::TStored s;
    s.SPLSummationType = 1;
    s.MagResoPoints = 2;
    s.OpacityGrid = 0.7;
    s.CoverageLinesLength = 2.5;
    s.PhaseLowThreshold = 40;
    s.InterferencesUpTo = 1250;
    s.MetricSystem = false;
    p.ReadSettings(s);
    EXPECT_TRUE(f.ini.Sections().empty());
    EXPECT_EQ(f.project->NFreqPointsMicGraph(), 121); // 1/12 octave
    EXPECT_DOUBLE_EQ(f.state().OpacityGrid, 0.7);
    EXPECT_FLOAT_EQ(f.editor->ObjectMouse.CoverageLinesLength, 2.5f);
    EXPECT_EQ(p.FreqsCombo.Selected(), "1250");
    const TPreferences::TStored back = p.Current();
    EXPECT_EQ(back.SPLSummationType, 1);
    EXPECT_EQ(back.MagResoPoints, 2);
    EXPECT_EQ(back.PhaseLowThreshold, 40);
    EXPECT_FALSE(back.MetricSystem);
    EXPECT_FALSE(p.MagResoComboBox.Visible());
    EXPECT_FALSE(p.FreqsCombo.Visible());
}

TEST(Preferences, RemovingALibraryRowAsksAndDeletesOnYes) {
    PreferencesFixture f;
    testing::TempDir dir;
    for (const char* kind : {"Cabinets", "Riggings", "Ornaments", "SoundSystems", "Textures"}) {
        fs::create_directories(dir.path / kind);
    }
    fs::copy_file(testing::SampleLibraryDir() / "Textures" / "Checker.png",
                  dir.path / "Textures" / "Checker.png");
    TModelLibrary library(*f.project, dir.path, "Vendrel");
    library.ReadLibraryFiles();
    f.editor->Library = &library;
    int changed = 0;
    f.prefs->LibraryChanged = [&changed] { ++changed; };
    ASSERT_EQ(library.LibraryGrid.size(), 1u);
    f.boxes.answers = {TModalResult::mrNo};
    f.prefs->LibraryRemoveClick(0);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Do you want to remove \"Checker.png\" from Library?");
    EXPECT_EQ(f.boxes.shown[0].type, TMsgDlgType::mtWarning);
    EXPECT_TRUE(fs::exists(dir.path / "Textures" / "Checker.png"));
    f.boxes.answers = {TModalResult::mrYes};
    f.prefs->LibraryRemoveClick(0);
    EXPECT_FALSE(fs::exists(dir.path / "Textures" / "Checker.png"));
    EXPECT_TRUE(library.LibraryGrid.empty());
    EXPECT_EQ(changed, 1);
    f.editor->Library = nullptr;
}

TEST(Preferences, MemoryLabelsAndDeveloperReportsShowTheFigures) {
    TMemoryFigures figures;
    figures.ProcessMB = 512.0;
    figures.MemInitialMB = 100.0;
    figures.InstalledMB = 16000.0;
    figures.MaxMemoryToUseMB = 0.15 * 1024.0;
    figures.UsedMB = 4096.0;
    figures.MapsMB = 12.345;
    const TMemoryLabels low = MemoryLabelsOf(figures, '.');
    EXPECT_EQ(low.Available, "0.150 Gb");
    EXPECT_EQ(low.AvailableColor, 0xFFFF6060u);
    EXPECT_EQ(low.Installed, "16.0 Gb");
    EXPECT_EQ(low.Used, "4.000 Gb");
    EXPECT_EQ(low.UsedByApp, "0.500 Gb");
    EXPECT_EQ(low.Maps, "12.35 Mb");
    EXPECT_EQ(low.RealMaps, "Real mem: 412 Mb");
    figures.MaxMemoryToUseMB = -50.0;
    EXPECT_EQ(MemoryLabelsOf(figures, ',').Available, "0,000 Gb");
    figures.MaxMemoryToUseMB = 2048.0;
    EXPECT_EQ(MemoryLabelsOf(figures, '.').AvailableColor, 0xFF7FFF00u);

    testing::EditorFixture f;
    TDeveloperTools tools(*f.editor);
    f.project->SetContinuousRender(false);
    tools.GetMappingFlagsButtonClick();
    EXPECT_EQ(tools.Memo.Text(), "ContinuousRender: False\nEventsEnabled: True\nDontSumAllMaps: False\n"
                                 "ForceCalculation: False\nFAllMapsThread.Active: False");
    figures.MapsMB = 12.5;
    figures.ProcessMB = 300.25;
    tools.CalcMemUsedButtonClick(figures);
    const std::string memo = tools.Memo.Text();
    EXPECT_EQ(memo.rfind("Calculo de maps: 12.5 MB\n\nGetMemoryUsage : 300.25 MB\nPixelToMeters : ", 0), 0u)
        << memo;
    EXPECT_NE(memo.find("\n\nMemory install: 16000\nTotal Available: 8192\nAvailable to Use: 2048"),
              std::string::npos)
        << memo;
    tools.SelectLanguage("es");
    EXPECT_EQ(tools.LanguageCombo.ItemIndex(), 1);
    tools.SelectLanguage("de");
    EXPECT_EQ(tools.LanguageCombo.ItemIndex(), -1);
}

} // namespace
} // namespace vendrel
