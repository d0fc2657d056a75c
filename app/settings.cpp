#include "app/settings.h"

#include "platform/core/mem_ini_file.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr const char* kMain = "MainForm";
constexpr const char* kPanels = "Panels";
constexpr const char* kOptions = "Options";
constexpr const char* kVenue = "Venue";

int32_t clampInt(int32_t v, int32_t lo, int32_t hi) {
    return std::clamp(v, lo, hi);
}

double clampFloat(double v, double lo, double hi) {
    return std::isfinite(v) ? std::clamp(v, lo, hi) : lo;
}

std::string mruKey(size_t i) {
    return "MRUPath" + std::to_string(i + 1);
}

} // namespace

int32_t TAppSettings::RenderQualityTag() const {
    if (RenderQuality >= 1 && RenderQuality <= 4) {
        return RenderQuality;
    }
    return RenderQuality == 0 || RenderQuality == -1 ? 1 : 0;
}

bool CreateSettingsIni(TMemIniFile& Ini, const TSettingsDefaults& D) {
    Ini.WriteInteger(kMain, "WindowState", D.WindowState);
    Ini.WriteInteger(kMain, "Width", 1000);
    Ini.WriteInteger(kMain, "Height", 700);
    Ini.WriteInteger(kMain, "TabIndex", 1);
    Ini.WriteString(kMain, "LastPath", D.ProjectFolder);
    Ini.WriteString(kMain, "Language", D.Language);

    Ini.WriteBool(kPanels, "ViewTools", true);
    Ini.WriteBool(kPanels, "ViewSPLBar", true);
    Ini.WriteBool(kPanels, "ViewConfig", true);

    Ini.WriteString(kOptions, "Mode", "Normal");
    Ini.WriteInteger(kOptions, "RenderQuality", 1);
    Ini.WriteBool(kOptions, "ContinuousRender", false);
    Ini.WriteInteger(kOptions, "MappingColors", 0);
    Ini.WriteInteger(kOptions, "ColorSteps", 0);
    Ini.WriteInteger(kOptions, "SPLSummationType", 0);
    Ini.WriteInteger(kOptions, "MinAllowedOnMaxSPL", 80);
    Ini.WriteInteger(kOptions, "InterferencesUpTo", 4000);
    Ini.WriteBool(kOptions, "SPLNormalized", true);
    Ini.WriteBool(kOptions, "ShowShortCuts", true);
    Ini.WriteBool(kOptions, "ShowThrowLines", true);
    Ini.WriteBool(kOptions, "ShowVenueFloor", true);
    Ini.WriteBool(kOptions, "ShowZoneEdges", true);
    Ini.WriteBool(kOptions, "ShowAxisNumbers", true);
    Ini.WriteBool(kOptions, "CameraOnSelection", true);
    Ini.WriteFloat(kOptions, "MaxMemPercent", D.MaxMemPercent);
    Ini.WriteInteger(kOptions, "DefaultFreqBands", 2);
    Ini.WriteInteger(kOptions, "BackSceneColor", static_cast<int32_t>(0xFF161819u));
    Ini.WriteInteger(kOptions, "ZoneCreationColor", static_cast<int32_t>(D.ZoneCreationColor));
    Ini.WriteFloat(kOptions, "OpacityGrid", D.OpacityGrid);
    Ini.WriteBool(kOptions, "HidePhaseLowThreshold", true);
    Ini.WriteInteger(kOptions, "PhaseLowThreshold", 50);
    Ini.WriteInteger(kOptions, "SmoothMag", 1);
    Ini.WriteInteger(kOptions, "MagResoPoints", D.MagResoPoints);

    Ini.WriteInteger(kVenue, "DefaultLength", 300);
    Ini.WriteInteger(kVenue, "DefaultHeight", 50);
    Ini.WriteInteger(kVenue, "DefaultDepth", 150);

    Ini.WriteFloat(kOptions, "MicSize", D.MicSize);
    Ini.WriteFloat(kOptions, "CoverageLinesLength", 0.3);
    Ini.WriteBool(kOptions, "InstersecObjListening", false);
    Ini.WriteBool(kOptions, "MetricSystem", true);
    Ini.WriteBool(kOptions, "CalcMicOnMouseMove", false);
    Ini.WriteBool(kOptions, "MagneticObjects", true);

    for (size_t i = 0; i < 10; ++i) {
        Ini.WriteString(kMain, mruKey(i), "");
    }
    return Ini.UpdateFile();
}

TAppSettings ReadSettings(TMemIniFile& Ini, const std::string& ProjectFolder, const std::string& Language,
                          int32_t TabCount) {
    TAppSettings s;
    const int32_t state = Ini.ReadInteger(kMain, "WindowState", 0);
    s.WindowState = state == 2 ? 2 : 0;
    s.Width = std::max(Ini.ReadInteger(kMain, "Width", 0), 550);
    s.Height = std::max(Ini.ReadInteger(kMain, "Height", 0), 400);
    s.TabIndex = clampInt(Ini.ReadInteger(kMain, "TabIndex", 0), 0, std::max(TabCount - 1, 0));
    s.LastPath = Ini.ReadString(kMain, "LastPath", ProjectFolder);
    s.Language = Ini.ReadString(kMain, "Language", Language);
    for (size_t i = 0; i < 10; ++i) {
        s.MRUPath[i] = Ini.ReadString(kMain, mruKey(i), "");
    }

    s.ViewTools = Ini.ReadBool(kPanels, "ViewTools", true);
    s.ViewSPLBar = Ini.ReadBool(kPanels, "ViewSPLBar", true);
    s.ViewConfig = Ini.ReadBool(kPanels, "ViewConfig", true);

    s.Mode = Ini.ReadString(kOptions, "Mode", "Normal");
    s.RenderQuality = Ini.ReadInteger(kOptions, "RenderQuality", -1);
    s.ContinuousRender = Ini.ReadBool(kOptions, "ContinuousRender", true);
    // -1 (absent) means the first palette; anything else outside the five palettes is limited to them.
    s.MappingColors = clampInt(Ini.ReadInteger(kOptions, "MappingColors", -1), 0, 4);
    s.ColorSteps = clampInt(Ini.ReadInteger(kOptions, "ColorSteps", 0), 0, 3);
    s.SPLSummationType = clampInt(Ini.ReadInteger(kOptions, "SPLSummationType", 0), 0, 1);
    s.MinAllowedOnMaxSPL = clampInt(Ini.ReadInteger(kOptions, "MinAllowedOnMaxSPL", 80), 60, 100);
    s.InterferencesUpTo = Ini.ReadInteger(kOptions, "InterferencesUpTo", 4000);
    s.SPLNormalized = Ini.ReadBool(kOptions, "SPLNormalized", true);
    s.ShowShortCuts = Ini.ReadBool(kOptions, "ShowShortCuts", true);
    s.ShowThrowLines = Ini.ReadBool(kOptions, "ShowThrowLines", true);
    s.ShowVenueFloor = Ini.ReadBool(kOptions, "ShowVenueFloor", true);
    s.ShowZoneEdges = Ini.ReadBool(kOptions, "ShowZoneEdges", true);
    s.ShowAxisNumbers = Ini.ReadBool(kOptions, "ShowAxisNumbers", true);
    s.CameraOnSelection = Ini.ReadBool(kOptions, "CameraOnSelection", true);

    s.DefaultLength = Ini.ReadInteger(kVenue, "DefaultLength", 300);
    s.DefaultHeight = Ini.ReadInteger(kVenue, "DefaultHeight", 50);
    s.DefaultDepth = Ini.ReadInteger(kVenue, "DefaultDepth", 150);
    s.InstersecObjListening = Ini.ReadBool(kOptions, "InstersecObjListening", false);
    s.MetricSystem = Ini.ReadBool(kOptions, "MetricSystem", true);
    Ini.WriteBool(kOptions, "MetricSystem", true);
    s.DefaultFreqBands = clampInt(Ini.ReadInteger(kOptions, "DefaultFreqBands", 2), 0, 5);

    s.BackSceneColor = static_cast<TAlphaColor>(
        Ini.ReadInteger(kOptions, "BackSceneColor", static_cast<int32_t>(0xFF161819u)));
    s.ZoneCreationColor = static_cast<TAlphaColor>(
        Ini.ReadInteger(kOptions, "ZoneCreationColor", static_cast<int32_t>(0xFFBDA4C7u)));
    s.OpacityGrid = clampFloat(Ini.ReadFloat(kOptions, "OpacityGrid", 0.2), 0.0, 1.0);
    s.GlobalMoveInc = clampInt(Ini.ReadInteger(kOptions, "GlobalMoveInc", 2), 0, 3);
    s.GlobalRotInc = clampInt(Ini.ReadInteger(kOptions, "GlobalRotInc", 2), 0, 4);
    s.HidePhaseLowThreshold = Ini.ReadBool(kOptions, "HidePhaseLowThreshold", true);
    s.PhaseLowThreshold = clampInt(Ini.ReadInteger(kOptions, "PhaseLowThreshold", 50), 10, 99);
    s.SmoothMag = clampInt(Ini.ReadInteger(kOptions, "SmoothMag", 2), 0, 6);
    s.MagResoPoints = clampInt(Ini.ReadInteger(kOptions, "MagResoPoints", 1), 0, 2);
    s.MicSize = clampFloat(Ini.ReadFloat(kOptions, "MicSize", 0.5), 0.1, 1.0);
    s.CoverageLinesLength = clampFloat(Ini.ReadFloat(kOptions, "CoverageLinesLength", 0.3), 0.1, 99.0);
    s.CalcMicOnMouseMove = Ini.ReadBool(kOptions, "CalcMicOnMouseMove", false);
    s.MagneticObjects = Ini.ReadBool(kOptions, "MagneticObjects", true);
    return s;
}

void WriteClosingSettings(TMemIniFile& Ini, const TAppSettings& S, const std::string& LastPath) {
    Ini.WriteString(kMain, "LastPath", LastPath);
    Ini.WriteInteger(kMain, "WindowState", S.WindowState);
    Ini.WriteBool(kOptions, "ShowShortCuts", S.ShowShortCuts);
    Ini.WriteBool(kOptions, "ShowThrowLines", S.ShowThrowLines);
    Ini.WriteBool(kOptions, "ShowVenueFloor", S.ShowVenueFloor);
    Ini.WriteBool(kOptions, "ShowZoneEdges", S.ShowZoneEdges);
    Ini.WriteBool(kOptions, "ShowAxisNumbers", S.ShowAxisNumbers);
    Ini.WriteBool(kOptions, "SPLNormalized", S.SPLNormalized);
    Ini.WriteBool(kOptions, "CameraOnSelection", S.CameraOnSelection);
    Ini.WriteBool(kOptions, "HidePhaseLowThreshold", S.HidePhaseLowThreshold);
    Ini.WriteInteger(kOptions, "PhaseLowThreshold", S.PhaseLowThreshold);
    Ini.WriteInteger(kOptions, "SmoothMag", S.SmoothMag);
    Ini.WriteFloat(kOptions, "MicSize", S.MicSize);
    Ini.WriteFloat(kOptions, "CoverageLinesLength", S.CoverageLinesLength);
    Ini.WriteInteger(kOptions, "MinAllowedOnMaxSPL", S.MinAllowedOnMaxSPL);
    Ini.WriteInteger(kOptions, "MagResoPoints", S.MagResoPoints);
    Ini.WriteInteger(kOptions, "RenderQuality", S.RenderQuality);
    Ini.WriteBool(kOptions, "InstersecObjListening", S.InstersecObjListening);
    Ini.WriteBool(kOptions, "MetricSystem", S.MetricSystem);
    Ini.WriteBool(kOptions, "CalcMicOnMouseMove", S.CalcMicOnMouseMove);
    Ini.WriteBool(kOptions, "MagneticObjects", S.MagneticObjects);
}

void WriteBackPlainValues(TMemIniFile& Ini, const TAppSettings& S) {
    const auto integer = [&](const char* section, const char* key, int32_t value) {
        if (Ini.ValueExists(section, key)) {
            Ini.WriteInteger(section, key, value);
        }
    };
    const auto real = [&](const char* section, const char* key, double value) {
        if (Ini.ValueExists(section, key)) {
            Ini.WriteFloat(section, key, value);
        }
    };
    integer(kOptions, "MappingColors", S.MappingColors);
    integer(kOptions, "ColorSteps", S.ColorSteps);
    integer(kOptions, "SPLSummationType", S.SPLSummationType);
    integer(kOptions, "ZoneCreationColor", static_cast<int32_t>(S.ZoneCreationColor));
    integer(kOptions, "BackSceneColor", static_cast<int32_t>(S.BackSceneColor));
    real(kOptions, "OpacityGrid", S.OpacityGrid);
    integer(kOptions, "GlobalMoveInc", S.GlobalMoveInc);
    integer(kOptions, "GlobalRotInc", S.GlobalRotInc);
    for (size_t i = 0; i < 10; ++i) {
        if (Ini.ValueExists(kMain, mruKey(i))) {
            Ini.WriteString(kMain, mruKey(i), S.MRUPath[i]);
        }
    }
}

} // namespace vendrel
