#include "editor/color_mapping.h"

#include "acoustics/events_held_back.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/palettes.h"
#include "editor/scopes.h"
#include "platform/core/cursor_service.h"
#include "platform/core/debug_log.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr const char* kPaletteNames[] = {"MapVendrel", "MapFire", "MapWideFire", "MapRedBlue",
                                         "MapVendrelComp"};
constexpr double kAxisStepdB = 3.0;
constexpr double kAxisTickLength = 22.0;

} // namespace

TColorMapping::TColorMapping(TEditor& Editor) : ed_(Editor) {
    SPLRangeBox.SetStep(6);
    AutoScaleCheckBox.Checkable = true;
    AutoScaleCheckBox.AutoCheck = true;
    AutoScaleCheckBox.SetChecked(true);
    AutoScaleCheckBox.Hint = "Check: Normalize maximum dB SPL. Unchek: Fixed dB";
    ColorStepsComboBox.Hint = "Color Steps: Continuous, every 3 dB, or every 6 dB";
    for (TUIAction* item : PaletteItems()) {
        item->Checkable = true;
    }
    VendrelItem.SetChecked(true);
    ShowMagnitudeRB.Checkable = true;
    ShowPhaseRB.Checkable = true;
    ShowMagnitudeRB.SetChecked(true);
}

std::vector<TUIAction*> TColorMapping::PaletteItems() {
    return {&VendrelItem, &FireItem, &WideFireItem, &RedToBlueItem, &VendrelCompItem};
}

const char* TColorMapping::PaletteNameOf(int Tag) {
    return Tag >= 0 && Tag < 5 ? kPaletteNames[Tag] : kPaletteNames[0];
}

void TColorMapping::BindControls() {
    const std::vector<TUIAction*> items = PaletteItems();
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->OnExecute = [this, i] { PaletteItemClick(static_cast<int>(i)); };
    }
    SPLRangeBox.OnChange = [this] { SPLRangeBoxChange(); };
    MaxdBuEdit.OnChange = [this] { MaxdBuEditChange(); };
    AutoScaleCheckBox.OnExecute = [this] { AutoScaleCheckBoxChange(); };
    ColorStepsComboBox.OnChange = [this] { ColorStepsComboBoxChange(); };
    ClearMappingColorsAction.OnExecute = [this] { ClearMappingColorsActionExecute(); };
    ShowMagnitudeRB.OnExecute = [this] { ShowMagnitudeRBChange(); };
    ShowPhaseRB.OnExecute = [this] { ShowPhaseRBChange(); };
}

int TColorMapping::checkedPaletteTag() const {
    const TUIAction* items[] = {&VendrelItem, &FireItem, &WideFireItem, &RedToBlueItem, &VendrelCompItem};
    for (int i = 0; i < 5; ++i) {
        if (items[i]->Checked()) {
            return i;
        }
    }
    return -1;
}

double TColorMapping::rangeInUse() const {
    return ValidRangedB(ed_.Project.RangedBSPL(), SPLRangeBox.Value());
}

// ---- Palette ----

void TColorMapping::CreateColorPalette(const std::string& Name) {
    TAcousticProject& p = ed_.Project;
    LoadPaletteBitmap(ColorPaletteBMP, Name);
    const int32_t res = ColorPaletteBMP.Width() * ColorPaletteBMP.Height();
    p.SetMappingColorsRes(res);
    const std::vector<TAlphaColor> raw = ColorPaletteBMP.Pixels();
    const double a = PaletteStepWidth(res, rangeInUse(), ColorMapStepsdB);
    std::vector<TAlphaColor> colors(static_cast<size_t>(std::max(res, 0)), 0u);
    for (int32_t i = 0; i < res; ++i) {
        const TAlphaColor c = raw[static_cast<size_t>(std::clamp(SteppedPaletteEntry(i, a), 0, res - 1))];
        colors[static_cast<size_t>(i)] = c;
        ColorPaletteBMP.SetPixel(0, i, c);
    }
    p.SetMappingColors(std::move(colors));
    if (OnPaletteChanged) {
        OnPaletteChanged();
    }
    ApplySPLColorMapping();
}

void TColorMapping::PaletteItemClick(int Tag) {
    const std::vector<TUIAction*> items = PaletteItems();
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->SetChecked(static_cast<int>(i) == Tag);
    }
    CreateColorPalette(PaletteNameOf(Tag));
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteInteger("Options", "MappingColors", Tag);
    }
}

void TColorMapping::ColorStepsComboBoxChange() {
    const int index = ColorStepsComboBox.ItemIndex();
    const std::string text = ColorStepsComboBox.Selected();
    ColorMapStepsdB = index <= 0 || text.empty() || text[0] < '0' || text[0] > '9' ? 0 : text[0] - '0';
    if (ed_.SettingsIni != nullptr && index >= 0) {
        ed_.SettingsIni->WriteInteger("Options", "ColorSteps", index);
    }
    if (const int tag = checkedPaletteTag(); tag >= 0) {
        CreateColorPalette(PaletteNameOf(tag));
    }
}

// ---- Colouring ----

void TColorMapping::ApplySPLColorMapping() {
    TAcousticProject& p = ed_.Project;
    // The summed maps are read while no worker may write them; the pause lasts until the forced
    // calculation has ended, so that what it interrupted is asked for again only when still wanted.
    const TWorkersPause pause(p);
    const int32_t zones = p.NMappingZones();
    if (p.ProgressBar() != nullptr) {
        p.ProgressBar()->SetMax(zones);
        p.ProgressBar()->SetValue(0);
    }
    for (int32_t z = 0; z < p.NMappingZones(); ++z) {
        TMappingZone& zone = *p.MappingZones()[static_cast<size_t>(z)];
        if (p.ProgressBar() != nullptr) {
            p.ProgressBar()->SetValue(p.ProgressBar()->Value() + 1);
        }
        if (p.StatusLabel() != nullptr) {
            p.StatusLabel()->SetText("Color Mapping in Zone : " + std::to_string(zone.ZoneIndexID()));
        }
        ApplySPLColorMappingInZone(zone);
    }
    if (p.StatusLabel() != nullptr) {
        p.StatusLabel()->SetText("");
    }
    ed_.Render.UpdateRenderButton();
    // The level distribution chart is redrawn here once it exists.
    if (p.ProgressBar() != nullptr) {
        p.ProgressBar()->SetValue(zones);
    }
}

void TColorMapping::ApplySPLColorMappingInZone(TMappingZone& Zone) {
    TAcousticProject& p = ed_.Project;
    const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
    if (p.TotalCabinets() == 0 || p.NMappingZones() == 0 || Zone.SurfaceType() == TSurfaceType::qzaPicture) {
        return;
    }
    const std::string crumb = "MainForm.ApplySPLColorMappingInZone: " + std::to_string(Zone.ZoneIndexID());
    p.SetLastLogString(crumb);
    DebugLog(crumb);

    const int32_t w = Zone.WidthPixels(), d = Zone.DepthPixels();
    // The palette actually built: a resolution that reaches beyond it addresses no colour.
    const int32_t res =
        std::min<int32_t>(p.MappingColorsRes(), static_cast<int32_t>(p.MappingColors().size()));
    if (res < 1 || w < 1 || d < 1) {
        return;
    }
    const double k = res / SPLRangeBox.Value();

    if (MaxdBuEdit.Min() > p.MaxdBSPL()) {
        p.SetMaxdBSPL(MaxdBuEdit.Min());
        const TFlagScope quiet(quietMax_);
        MaxdBuEdit.SetValue(MaxdBuEdit.Min());
    }
    const TMapLayers& levels = Zone.MapSum()->MapRealFreq();
    if (levels.Empty() || levels.Width() != w || levels.Depth() != d) {
        return; // no summed levels of this grid to paint
    }
    if (Zone.MapBMP().Width() != w || Zone.MapBMP().Height() != d) {
        Zone.SetMapBMPSize(w, d);
    }
    std::vector<TAlphaColor>& pixels = Zone.MapBMP().Pixels();
    const TAlphaColor* palette = p.MappingColors().data();
    const double maxdB = p.MaxdBSPL();
    if (maxdB > 30.0) {
        for (int32_t x = 0; x < w; ++x) {
            const float* column = levels.Row(0, x);
            TAlphaColor* out = pixels.data() + x;
            for (int32_t y = 0; y < d; ++y) {
                out[static_cast<size_t>(y) * static_cast<size_t>(w)] =
                    palette[PaletteIndexOf(column[y], maxdB, k, res)];
            }
        }
    } else {
        // A maximum of 30 dB or less (or none at all) paints the whole zone in the lowest colour.
        std::fill(pixels.begin(), pixels.end(), palette[res - 1]);
    }
    Zone.SetIsMapCleared(false);
    DrawPaletteAxis(kAxisStepdB, kAxisTickLength);
    Zone.ApplyTexture();
    TSmartCursor::Default();
}

void TColorMapping::ApplyPhaseColorMapping(TMappingZone& Zone) {
    TAcousticProject& p = ed_.Project;
    const TWorkersPause pause(p);
    const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
    if (p.TotalCabinets() == 0 || p.NMappingZones() == 0 || Zone.SurfaceType() == TSurfaceType::qzaPicture) {
        return;
    }
    const int32_t w = Zone.WidthPixels(), d = Zone.DepthPixels();
    const int32_t res =
        std::min<int32_t>(p.MappingColorsRes(), static_cast<int32_t>(p.MappingColors().size()));
    const TMapLayers& phase = Zone.MapSum()->MapImagFreq();
    if (res < 1 || w < 1 || d < 1 || phase.Empty() || phase.Width() != w || phase.Depth() != d) {
        return;
    }
    // A zero or unknown phase span gives a product that is not a number: such pixels take the last entry.
    const double k = res / (p.MaxPhase() - p.MinPhase());
    if (Zone.MapBMP().Width() != w || Zone.MapBMP().Height() != d) {
        Zone.SetMapBMPSize(w, d);
    }
    std::vector<TAlphaColor>& pixels = Zone.MapBMP().Pixels();
    for (int32_t x = 0; x < w; ++x) {
        const float* column = phase.Row(0, x);
        for (int32_t y = 0; y < d; ++y) {
            pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                p.MappingColors()[static_cast<size_t>(PaletteIndexOf(column[y], p.MaxPhase(), k, res))];
        }
    }
    Zone.SetIsMapCleared(false);
    Zone.ApplyTexture();
    TSmartCursor::Default();
}

void TColorMapping::DrawPaletteAxis(double Step, double TickLength) {
    const TAcousticProject& p = ed_.Project;
    const double maxdB = p.MaxdBSPL();
    if (ed_.State.InitiatingSystem() || !std::isfinite(maxdB) || maxdB <= 0 || PaletteImageHeight < 1 ||
        Step <= 0) {
        return;
    }
    const double range = rangeInUse();
    const double perdB = PaletteImageHeight / range;
    const int32_t n = RoundHalfEven<int32_t>(range / Step);
    FAxisTicks.clear();
    for (int32_t i = 0; i <= n; ++i) {
        TPaletteAxisTick tick;
        tick.Y = i * perdB * Step + PaletteAxisTopPadding + 1;
        tick.Length = TickLength;
        tick.Text = std::to_string(RoundHalfEven<int64_t>(maxdB - i * Step));
        FAxisTicks.push_back(tick);
    }
    if (OnPaletteChanged) {
        OnPaletteChanged();
    }
}

// ---- Handlers of the map bar ----

void TColorMapping::SPLRangeBoxChange() {
    if (quietRange_) {
        return;
    }
    const double r = ValidRangedB(SPLRangeBox.Value(), ed_.Project.RangedBSPL());
    if (r != SPLRangeBox.Value()) {
        SPLRangeBox.SetValue(r); // its change event takes the rounded value on
        return;
    }
    ed_.Project.SetRangedBSPL(r);
    DrawPaletteAxis(kAxisStepdB, kAxisTickLength);
    if (ColorMapStepsdB < 1) {
        ApplySPLColorMapping();
    } else {
        ColorStepsComboBoxChange();
    }
}

void TColorMapping::MaxdBuEditChange() {
    TAcousticProject& p = ed_.Project;
    if (!p.EventsEnabled() || quietMax_) {
        return;
    }
    if (MaxdBuEdit.Min() > MaxdBuEdit.Value()) {
        const TFlagScope quiet(quietMax_);
        MaxdBuEdit.SetValue(MaxdBuEdit.Min());
    }
    p.SetMaxdBSPL(ValidMaxdB(MaxdBuEdit.Value(), MaxdBuEdit.Min(), p.MaxdBSPL()));
    DrawPaletteAxis(kAxisStepdB, kAxisTickLength);
    ApplySPLColorMapping();
}

void TColorMapping::AutoScaleCheckBoxChange() {
    TAcousticProject& p = ed_.Project;
    // The preferences' normalisation box follows this one; with normalisation on, the maximum box
    // shows the normalised maximum and the zones take it.
    p.SetSPLNormalized(AutoScaleCheckBox.Checked());
    if (p.SPLNormalized() && std::isfinite(p.MaxdBSPL())) {
        MaxdBuEdit.SetValue(p.MaxdBSPL());
    }
    p.SetIsProjectModified(true);
}

void TColorMapping::PaletteAxisImageResized(double ImageHeight) {
    PaletteImageHeight = ImageHeight;
    DrawPaletteAxis(kAxisStepdB, kAxisTickLength);
}

void TColorMapping::ClearMappingColorsActionExecute() {
    for (auto& zone : ed_.Project.MappingZones()) {
        zone->SetIsMapCleared(false);
        zone->ClearMap();
    }
}

void TColorMapping::ShowPhaseRBChange() {
    TAcousticProject& p = ed_.Project;
    ShowMagnitudeRB.SetChecked(false);
    ShowPhaseRB.SetChecked(true);
    p.SetOnlyPhase(true);
    {
        const EventsHeldBack events(p);
        CreateColorPalette("MapAltern");
    }
    p.SetAllCabsNeedsCalculateMapsInZone(-1);
}

void TColorMapping::ShowMagnitudeRBChange() {
    ShowMagnitudeRB.SetChecked(true);
    ShowPhaseRB.SetChecked(false);
    PaletteItemClick(0);
    ed_.Project.SetOnlyPhase(false);
    ed_.Project.SetAllCabsNeedsCalculateMapsInZone(-1);
}

void TColorMapping::SetLevelScale(double MaxdB, double RangedB) {
    TAcousticProject& p = ed_.Project;
    p.SetMaxdBSPL(ValidMaxdB(MaxdB, MaxdBuEdit.Min(), p.MaxdBSPL()));
    p.SetRangedBSPL(ValidRangedB(RangedB, p.RangedBSPL()));
    const TFlagScope quietMax(quietMax_);
    const TFlagScope quietRange(quietRange_);
    MaxdBuEdit.SetValue(p.MaxdBSPL());
    SPLRangeBox.SetValue(p.RangedBSPL());
    // The bar's scale follows its fields at once.
    DrawPaletteAxis(kAxisStepdB, kAxisTickLength);
}

} // namespace vendrel
