#pragma once
// The user's settings file Pref.ini (sections MainForm, Panels, Options, Venue): the values it holds,
// the file a first start creates, and the reading, in which every value is limited to what its control
// or its use accepts, so that no value out of range reaches the window or the project.
//
// Values that no control of the window shows yet are kept here as plain values: read, limited and
// written back, so no setting is lost.

#include "platform/core/bitmap.h"

#include <array>
#include <cstdint>
#include <string>

namespace vendrel {

class TMemIniFile;

struct TAppSettings {
    // MainForm
    int32_t WindowState = 0; // 0 normal, 2 maximised (a stored 1, minimised, reads as 0)
    int32_t Width = 550;     // at least 550
    int32_t Height = 400;    // at least 400
    int32_t TabIndex = 0;
    std::string LastPath;
    std::string Language;
    std::array<std::string, 10> MRUPath;
    // Panels
    bool ViewTools = true;
    bool ViewSPLBar = true;
    bool ViewConfig = true;
    // Options
    std::string Mode = "Normal";
    int32_t RenderQuality = -1; // as stored: 1..4 a quality, 0 and -1 the "Low" one, else nothing
    bool ContinuousRender = true;
    int32_t MappingColors = 0;       // palette 0..4
    int32_t ColorSteps = 0;          // 0..3
    int32_t SPLSummationType = 0;    // 0 complex, 1 energy
    int32_t MinAllowedOnMaxSPL = 80; // 60..100
    int32_t InterferencesUpTo = 4000;
    bool SPLNormalized = true;
    bool ShowShortCuts = true;
    bool ShowThrowLines = true;
    bool ShowVenueFloor = true;
    bool ShowZoneEdges = true;
    bool ShowAxisNumbers = true;
    bool CameraOnSelection = true;
    int32_t DefaultFreqBands = 2; // 0..5
    TAlphaColor BackSceneColor = 0xFF161819;
    TAlphaColor ZoneCreationColor = 0xFFBDA4C7;
    double OpacityGrid = 0.2;  // 0..1
    int32_t GlobalMoveInc = 2; // 0..3
    int32_t GlobalRotInc = 2;  // 0..4
    bool HidePhaseLowThreshold = true;
    int32_t PhaseLowThreshold = 50;   // 10..99
    int32_t SmoothMag = 2;            // 0..6
    int32_t MagResoPoints = 1;        // 0..2
    double MicSize = 0.5;             // 0.1..1
    double CoverageLinesLength = 0.3; // 0.1..99
    bool InstersecObjListening = false;
    bool MetricSystem = true;
    bool CalcMicOnMouseMove = false;
    bool MagneticObjects = true;
    // Venue (whole metres)
    int32_t DefaultLength = 300;
    int32_t DefaultHeight = 50;
    int32_t DefaultDepth = 150;

    // The render-quality tag the stored value applies (1..4), or 0 when it applies none.
    int32_t RenderQualityTag() const;
    bool IsDeveloperMode() const { return Mode == "Developer"; }
};

// What a first start writes besides fixed defaults: values of the window and project at that moment.
struct TSettingsDefaults {
    int32_t WindowState = 0;
    std::string ProjectFolder;
    std::string Language = "en";
    double MaxMemPercent = 0.0;
    TAlphaColor ZoneCreationColor = 0xFFBDA4C7;
    double OpacityGrid = 0.2;
    int32_t MagResoPoints = 1;
    double MicSize = 0.5;
};

// Writes every key a first start creates, in the file's order, then writes the file (also when a write
// failed). Returns whether the file was written.
bool CreateSettingsIni(TMemIniFile& Ini, const TSettingsDefaults& Defaults);

// Reads every key with its default, limited to its range. TabCount: the number of tabs of the main tab
// control (TabIndex is limited to it). After reading, MetricSystem is set true again in the file's
// memory (the unit system starts metric again after a failed run).
TAppSettings ReadSettings(TMemIniFile& Ini, const std::string& ProjectFolder, const std::string& Language,
                          int32_t TabCount);

// Writes back the values the window closes with (the keys the closing writes) from S.
void WriteClosingSettings(TMemIniFile& Ini, const TAppSettings& S, const std::string& LastPath);

// Writes back, limited, the plain values that no control writes yet, where the file holds them.
void WriteBackPlainValues(TMemIniFile& Ini, const TAppSettings& S);

} // namespace vendrel
