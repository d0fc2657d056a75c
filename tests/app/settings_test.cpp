#include "app/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/core/mem_ini_file.h"

namespace vendrel {
namespace {

TEST(Settings, FirstStartWritesExactlyTheCreatedKeys) {
    TMemIniFile ini;
    TSettingsDefaults d;
    d.ProjectFolder = "/home/u/Documents/Vendrel Projects";
    d.MaxMemPercent = 0.8;
    CreateSettingsIni(ini, d);
    std::set<std::string> mainKeys = {"WindowState", "Width", "Height", "TabIndex", "LastPath", "Language"};
    for (int i = 1; i <= 10; ++i) {
        mainKeys.insert("MRUPath" + std::to_string(i));
    }
    const std::map<std::string, std::set<std::string>> expected = {
        {"MainForm", mainKeys},
        {"Panels", {"ViewTools", "ViewSPLBar", "ViewConfig"}},
        {"Options",
         {"Mode",
          "RenderQuality",
          "ContinuousRender",
          "MappingColors",
          "ColorSteps",
          "SPLSummationType",
          "MinAllowedOnMaxSPL",
          "InterferencesUpTo",
          "SPLNormalized",
          "ShowShortCuts",
          "ShowThrowLines",
          "ShowVenueFloor",
          "ShowZoneEdges",
          "ShowAxisNumbers",
          "CameraOnSelection",
          "MaxMemPercent",
          "DefaultFreqBands",
          "BackSceneColor",
          "ZoneCreationColor",
          "OpacityGrid",
          "HidePhaseLowThreshold",
          "PhaseLowThreshold",
          "SmoothMag",
          "MagResoPoints",
          "MicSize",
          "CoverageLinesLength",
          "InstersecObjListening",
          "MetricSystem",
          "CalcMicOnMouseMove",
          "MagneticObjects"}},
        {"Venue", {"DefaultLength", "DefaultHeight", "DefaultDepth"}},
    };
    std::map<std::string, std::set<std::string>> actual;
    for (const std::string& s : ini.Sections()) {
        const auto keys = ini.Keys(s);
        actual[s] = std::set<std::string>(keys.begin(), keys.end());
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"MainForm", "Panels", "Options", "Venue"}));
    EXPECT_EQ(ini.ReadString("Options", "BackSceneColor", ""), "-15329255");
    EXPECT_EQ(ini.ReadString("Options", "ContinuousRender", ""), "0");
    EXPECT_EQ(ini.ReadString("Options", "MaxMemPercent", ""), "0.8");
    // Absent at first start, read as 2.
    const TAppSettings s = ReadSettings(ini, "", "en", 9);
    EXPECT_EQ(s.GlobalMoveInc, 2);
    EXPECT_EQ(s.GlobalRotInc, 2);
    EXPECT_EQ(s.Width, 1000);
    EXPECT_EQ(s.TabIndex, 1);
    EXPECT_EQ(s.RenderQualityTag(), 1);
}

TEST(Settings, EveryValueIsLimitedAsItIsRead) {
    struct Case {
        const char* section;
        const char* key;
        const char* stored;
        std::function<double(const TAppSettings&)> value;
        double expected;
    };
    const Case cases[] = {
        {"MainForm", "Width", "300", [](const TAppSettings& s) { return s.Width; }, 550},
        {"MainForm", "Height", "-5", [](const TAppSettings& s) { return s.Height; }, 400},
        {"MainForm", "WindowState", "1", [](const TAppSettings& s) { return s.WindowState; }, 0},
        {"MainForm", "WindowState", "7", [](const TAppSettings& s) { return s.WindowState; }, 0},
        {"MainForm", "WindowState", "2", [](const TAppSettings& s) { return s.WindowState; }, 2},
        {"MainForm", "TabIndex", "40", [](const TAppSettings& s) { return s.TabIndex; }, 8},
        {"MainForm", "TabIndex", "-3", [](const TAppSettings& s) { return s.TabIndex; }, 0},
        {"Options", "MappingColors", "7", [](const TAppSettings& s) { return s.MappingColors; }, 4},
        {"Options", "MappingColors", "-1", [](const TAppSettings& s) { return s.MappingColors; }, 0},
        {"Options", "ColorSteps", "9", [](const TAppSettings& s) { return s.ColorSteps; }, 3},
        {"Options", "SPLSummationType", "2", [](const TAppSettings& s) { return s.SPLSummationType; }, 1},
        {"Options", "MinAllowedOnMaxSPL", "20", [](const TAppSettings& s) { return s.MinAllowedOnMaxSPL; },
         60},
        {"Options", "DefaultFreqBands", "11", [](const TAppSettings& s) { return s.DefaultFreqBands; }, 5},
        {"Options", "OpacityGrid", "1.7", [](const TAppSettings& s) { return s.OpacityGrid; }, 1},
        {"Options", "OpacityGrid", "abc", [](const TAppSettings& s) { return s.OpacityGrid; }, 0.2},
        {"Options", "GlobalMoveInc", "4", [](const TAppSettings& s) { return s.GlobalMoveInc; }, 3},
        {"Options", "GlobalRotInc", "-1", [](const TAppSettings& s) { return s.GlobalRotInc; }, 0},
        {"Options", "PhaseLowThreshold", "300", [](const TAppSettings& s) { return s.PhaseLowThreshold; },
         99},
        {"Options", "SmoothMag", "12", [](const TAppSettings& s) { return s.SmoothMag; }, 6},
        {"Options", "MagResoPoints", "5", [](const TAppSettings& s) { return s.MagResoPoints; }, 2},
        {"Options", "MicSize", "4", [](const TAppSettings& s) { return s.MicSize; }, 1},
        {"Options", "CoverageLinesLength", "0", [](const TAppSettings& s) { return s.CoverageLinesLength; },
         0.1},
    };
    for (const Case& c : cases) {
        TMemIniFile ini;
        ini.WriteString(c.section, c.key, c.stored);
        EXPECT_DOUBLE_EQ(c.value(ReadSettings(ini, "", "en", 9)), c.expected) << c.key << "=" << c.stored;
    }
}

TEST(Settings, RenderQualityAndModeReadAsTheirControlsTakeThem) {
    const std::pair<const char*, int32_t> qualities[] = {{"0", 1}, {"-1", 1}, {"3", 3}, {"4", 4}, {"5", 0}};
    for (const auto& [stored, tag] : qualities) {
        TMemIniFile ini;
        ini.WriteString("Options", "RenderQuality", stored);
        EXPECT_EQ(ReadSettings(ini, "", "en", 9).RenderQualityTag(), tag) << stored;
    }
    TMemIniFile ini;
    ini.WriteString("Options", "Mode", "Developer");
    EXPECT_TRUE(ReadSettings(ini, "", "en", 9).IsDeveloperMode());
    ini.WriteString("Options", "Mode", "developer");
    EXPECT_FALSE(ReadSettings(ini, "", "en", 9).IsDeveloperMode());
}

TEST(Settings, ReadingSetsTheMetricSystemAgainAndPlainValuesGoBackLimited) {
    TMemIniFile ini;
    ini.WriteBool("Options", "MetricSystem", false);
    ini.WriteInteger("Options", "MappingColors", 7);
    const TAppSettings s = ReadSettings(ini, "/p", "de", 9);
    EXPECT_FALSE(s.MetricSystem);
    EXPECT_TRUE(ini.ReadBool("Options", "MetricSystem", false));
    EXPECT_EQ(s.LastPath, "/p");
    EXPECT_EQ(s.Language, "de");
    WriteBackPlainValues(ini, s);
    EXPECT_EQ(ini.ReadInteger("Options", "MappingColors", -9), 4);
    // A value the file did not hold stays absent.
    EXPECT_FALSE(ini.ValueExists("Options", "GlobalMoveInc"));
}

} // namespace
} // namespace vendrel
