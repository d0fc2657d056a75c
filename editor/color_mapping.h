#pragma once
// Colour mapping of computed levels: the palette (one of six ramps, optionally in whole-dB steps), the
// colouring of every zone's level bitmap from the palette, the project's maximum level and the range,
// the colour bar with its dB scale, and the map bar's "Range", maximum, auto-scale and "Color Steps"
// controls, the "Mapping Colors" menu, "Clear Mapping Colors" and the developer's choice between level
// and phase maps.
//
// The colouring reads the zones' summed maps under a workers' pause (acoustics/project.h): no summing
// run writes them meanwhile; a run it interrupts is asked for again when the pause ends.
//
// A zone's map pixel (x, y) — x along its width, y along its depth, as the summation lays out layer 0
// of its summed map — is bitmap pixel (x, y); the zone's drawn surface places bitmap row y where the
// map kernel computed depth pixel y. Every colouring installs a new texture image on the zone's map
// material, so the view writes it to the card once.
//
// The level scale enters from the controls, the settings and project files: every entry point limits
// it (range a multiple of 6 dB within 6 .. 54, maximum a whole number within the box's limits, palette
// resolution that of the palette built), so the colouring never divides by a zero range or indexes
// outside the palette.

#include "editor/ui_values.h"
#include "platform/core/bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TEditor;
class TMappingZone;

// One tick of the dB scale beside the colour bar: its height in the scale's image (pixels from the
// top), its length and its label (a whole number of dB).
struct TPaletteAxisTick {
    double Y = 0.0;
    double Length = 0.0;
    std::string Text;
};

class TColorMapping {
public:
    explicit TColorMapping(TEditor& Editor);

    // ---- Controls of the map bar ----
    TUIRange SPLRangeBox{6, 54, 36, 6};  // dB from the maximum to the lowest colour
    TUIRange MaxdBuEdit{6, 200, 110, 1}; // dB of the maximum colour (whole numbers)
    TUIAction AutoScaleCheckBox{"Auto Scale"};
    TUIChoice ColorStepsComboBox{{"None", "1 dB", "3 dB", "6 dB"}, 0};
    // ---- "Mapping Colors" menu: one of five, the item's Tag is its settings value ----
    TUIAction VendrelItem{"Vendrel"};
    TUIAction FireItem{"Fire"};
    TUIAction WideFireItem{"Wide Fire"};
    TUIAction RedToBlueItem{"Red to Blue"};
    TUIAction VendrelCompItem{"Vendrel Compress"};
    TUIAction ClearMappingColorsAction{"Clear Mapping Colors", "C"};
    // ---- Developer "Show" group ----
    TUIAction ShowMagnitudeRB{"Mag"};
    TUIAction ShowPhaseRB{"Phase"};

    // ---- Palette ----
    // The palette as loaded and then stepped, 1 x MappingColorsRes; the colour bar shows it.
    TBitmap ColorPaletteBMP;
    int32_t ColorMapStepsdB = 0; // 0 continuous
    // The colour bar's and the dB scale's image heights in pixels (the window sets them on resize);
    // TopPadding is the scale image's padding above the bar.
    double PaletteImageHeight = 203.0;
    double PaletteAxisTopPadding = 5.0;
    const std::vector<TPaletteAxisTick>& PaletteAxisTicks() const { return FAxisTicks; }
    // The colour bar or its scale changed.
    std::function<void()> OnPaletteChanged;

    // The palette items in menu order, and the resource name of each.
    std::vector<TUIAction*> PaletteItems();
    static const char* PaletteNameOf(int Tag);

    // ---- Operations ----
    void CreateColorPalette(const std::string& Name);
    void ApplySPLColorMapping();
    void ApplySPLColorMappingInZone(TMappingZone& Zone);
    void ApplyPhaseColorMapping(TMappingZone& Zone);
    // The dB scale every Step dB with ticks of TickLength pixels.
    void DrawPaletteAxis(double Step, double TickLength);

    // ---- Handlers ----
    // A palette item chosen (Tag 0..4): that palette built; the tag written to the settings.
    void PaletteItemClick(int Tag);
    void ColorStepsComboBoxChange();
    void SPLRangeBoxChange();
    void MaxdBuEditChange();
    void AutoScaleCheckBoxChange();
    void PaletteAxisImageResized(double ImageHeight);
    void ClearMappingColorsActionExecute();
    void ShowMagnitudeRBChange();
    void ShowPhaseRBChange();

    // The level scale from a stored source (a project file, the settings): each value limited as its
    // control limits it before it reaches the project and the controls, without recolouring.
    void SetLevelScale(double MaxdB, double RangedB);

    // Binds the controls' events (the window's creation).
    void BindControls();

private:
    // The palette item checked first in menu order, or -1.
    int checkedPaletteTag() const;
    // Range and maximum as the colouring uses them: the project's values within the controls' limits.
    double rangeInUse() const;

    TEditor& ed_;
    std::vector<TPaletteAxisTick> FAxisTicks;
    // The program, not the user, writes the maximum or the range box: their change events stay quiet.
    bool quietMax_ = false;
    bool quietRange_ = false;
};

} // namespace vendrel
