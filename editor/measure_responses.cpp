#include "editor/measure_responses.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "acoustics/weighting.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

// Pen widths of the chart's series.
constexpr double kMicMagPen = 2.0;
constexpr double kMicPhasePen = 1.0;
constexpr double kOverlayMagPen = 2.7;
constexpr double kOverlayPhasePen = 1.7;
// Opacity of a phase curve against its level curve's colour.
constexpr double kMicPhaseOpacity = 0.5;
constexpr double kOverlayPhaseOpacity = 0.9;

// The arguments of the arrival capture of the "Find delay" button.
constexpr double kCaptureLatency = 0.0;
constexpr int32_t kCaptureImpulseSize = 2000;
constexpr int32_t kCaptureImpulseEnd = 1000;
constexpr int32_t kCaptureSampleRate = 24000;

const char* const kNoActiveCabinet =
    "There is no active cabinet whose sound reaches this measurement point: its delay stays as it was.";
const char* const kNoResponseYet =
    "The response of this measurement point has not arrived yet: set the overlay once its curve is shown.";

} // namespace

TMeasureResponses::TMeasureResponses(TAcousticProject& Project, TResponseChart& Chart,
                                     uint8_t& NewOverlaysColorID)
    : project_(Project), chart_(Chart), newOverlaysColorID_(NewOverlaysColorID) {
    CreateColors(10, 0.4f, DefaultOverlaysColors);
}

TCurveDrawing TMeasureResponses::drawing() const {
    TCurveDrawing d;
    d.Smoothing = project_.MicSmoothing();
    d.ReferenceLevel = CurveReferenceLevel(project_);
    d.HidePhase = HidePhase;
    d.PhaseThreshold = PhaseThreshold;
    return d;
}

// ---- Points ----

void TMeasureResponses::AddMicSeries(TMicPoint& Mic) {
    TChartSeries* mag = chart_.AddSeries(TChartSide::Left, Mic.Color(), kMicMagPen, Mic.Visible());
    TChartSeries* phase = chart_.AddSeries(TChartSide::Right, WithOpacity(Mic.Color(), kMicPhaseOpacity),
                                           kMicPhasePen, Mic.Visible() && ShowPhase);
    const TDSPSpace& grid = *project_.DSPSpaceForMicGraphs();
    const auto n = static_cast<size_t>(std::max(project_.NFreqPointsMicGraph(), 0));
    for (TChartSeries* s : {mag, phase}) {
        s->Points.X.assign(grid.FreqDraw.begin(), grid.FreqDraw.begin() + static_cast<ptrdiff_t>(n));
        s->Points.Y.assign(n, 0.0);
    }
    Mic.SetMagSerie(mag);
    Mic.SetPhaseSerie(phase);
    chart_.Changed(mag);
    chart_.Changed(phase);
}

void TMeasureResponses::RemoveMicSeries(TMicPoint& Mic) {
    if (OnMicRowRemoving) {
        OnMicRowRemoving(Mic);
    }
    Forget(&Mic);
    chart_.RemoveSeries(Mic.MagSerie());
    chart_.RemoveSeries(Mic.PhaseSerie());
    Mic.SetMagSerie(nullptr);
    Mic.SetPhaseSerie(nullptr);
}

void TMeasureResponses::drawMic(TMicPoint& Mic) {
    TChartSeries* mag = SeriesOf(chart_, Mic.MagSerie());
    TChartSeries* phase = SeriesOf(chart_, Mic.PhaseSerie());
    const TDSPSpace& grid = *project_.DSPSpaceForMicGraphs();
    const auto n = static_cast<size_t>(grid.NRealFreqPoints());
    if (mag == nullptr || phase == nullptr || Mic.MagnitudePointAllFreqs().size() < n ||
        Mic.PhasePointAllFreqs().size() < n) {
        return;
    }
    ResponseCurves(grid, Mic.MagnitudePointAllFreqs(), Mic.PhasePointAllFreqs(), project_.WeighteningTable(),
                   project_.MicMagReadIndex(), drawing(), false, mag->Points, phase->Points);
    chart_.Changed(mag);
    chart_.Changed(phase);
}

void TMeasureResponses::fitLevelAxis() {
    double highest = 0.0;
    if (chart_.HighestLevel(highest)) {
        chart_.LeftAxis = LevelAxisAfterResponse(highest);
        chart_.Changed(nullptr);
    }
}

void TMeasureResponses::MicResponseReceived(TMicPoint& Mic) {
    drawMic(Mic);
    fitLevelAxis();
}

void TMeasureResponses::RedrawMics() {
    for (const auto& mic : project_.Mics()) {
        drawMic(*mic);
    }
    fitLevelAxis();
}

// ---- Overlays ----

void TMeasureResponses::ShowOverlay(TOverlay* Overlay) {
    if (Overlay == nullptr) {
        return;
    }
    TChartSeries* mag = SeriesOf(chart_, Overlay->MagFLSerie());
    TChartSeries* phase = SeriesOf(chart_, Overlay->PhaseFLSerie());
    if (mag == nullptr || phase == nullptr) {
        return;
    }
    // An overlay is drawn on its own grid: on the project's grid with the project's weighting, on another
    // with the same weighting at its own frequencies.
    const TDSPSpace& grid = Overlay->Grid();
    const bool current = grid.FreqDraw == project_.DSPSpaceForMicGraphs()->FreqDraw;
    if (current) {
        ResponseCurves(grid, Overlay->Mag(), Overlay->Phase(), project_.WeighteningTable(),
                       project_.MicMagReadIndex(), drawing(), true, mag->Points, phase->Points);
    } else {
        ResponseCurves(grid, Overlay->Mag(), Overlay->Phase(),
                       WeighteningCurve(project_.MicWeightening(), grid), MagReadIndexOf(grid), drawing(),
                       true, mag->Points, phase->Points);
    }
    showOverlaySeries(*Overlay);
}

void TMeasureResponses::ShowAllOverlays() {
    for (const auto& overlay : project_.Overlays()) {
        ShowOverlay(overlay.get());
    }
}

void TMeasureResponses::showOverlaySeries(TOverlay& Overlay) {
    TChartSeries* mag = SeriesOf(chart_, Overlay.MagFLSerie());
    TChartSeries* phase = SeriesOf(chart_, Overlay.PhaseFLSerie());
    if (mag != nullptr) {
        mag->Active = Overlay.Visible();
        chart_.Changed(mag);
    }
    if (phase != nullptr) {
        phase->Active = Overlay.Visible() && ShowPhase;
        chart_.Changed(phase);
    }
}

TOverlay* TMeasureResponses::AddOverlay(std::span<const double> MagSource,
                                        std::span<const double> PhaseSource, TAlphaColor MyColor,
                                        bool AutoColor, const std::string& Name, bool isVisible,
                                        bool UsePresetColors) {
    const auto n = static_cast<size_t>(std::max(project_.NFreqPointsMicGraph(), 0));
    if (project_.NOverlays() >= kMaxOverlays) {
        MessageBoxService().ShowMessage("The project holds " + std::to_string(project_.NOverlays()) +
                                        " overlays, as many as a project file stores. Remove an overlay "
                                        "before adding another.");
        return nullptr;
    }
    if (MagSource.size() < n || PhaseSource.size() < n) {
        MessageBoxService().ShowMessage(kNoResponseYet);
        return nullptr;
    }
    TOverlay* o = project_.AddOverlay(MyColor, AutoColor);
    if (UsePresetColors) {
        o->SetColor(DefaultOverlaysColors[newOverlaysColorID_ % DefaultOverlaysColors.size()]);
        newOverlaysColorID_ = static_cast<uint8_t>((newOverlaysColorID_ + 1) % 10);
    }
    o->SetName(Name);
    o->SetVisible(isVisible);
    o->SetCurves(std::vector<double>(MagSource.begin(), MagSource.begin() + static_cast<ptrdiff_t>(n)),
                 std::vector<double>(PhaseSource.begin(), PhaseSource.begin() + static_cast<ptrdiff_t>(n)));
    AddOverlaySeries(*o);
    project_.SetIsProjectModified(true);
    return o;
}

void TMeasureResponses::AddOverlaySeries(TOverlay& Overlay) {
    TChartSeries* mag = chart_.AddSeries(TChartSide::Left, Overlay.Color(), kOverlayMagPen, false);
    TChartSeries* phase = chart_.AddSeries(
        TChartSide::Right, WithOpacity(Overlay.Color(), kOverlayPhaseOpacity), kOverlayPhasePen, false);
    Overlay.SetMagFLSerie(mag);
    Overlay.SetPhaseFLSerie(phase);
    if (OnOverlayAdded) {
        OnOverlayAdded(Overlay);
    }
}

void TMeasureResponses::RemoveOverlay(TOverlay* Overlay) {
    if (Overlay == nullptr) {
        return;
    }
    if (OnOverlayRowRemoving) {
        OnOverlayRowRemoving(*Overlay);
    }
    if (SelectedOverlay == Overlay) {
        SelectedOverlay = nullptr;
    }
    Forget(Overlay);
    chart_.RemoveSeries(Overlay->MagFLSerie());
    chart_.RemoveSeries(Overlay->PhaseFLSerie());
    project_.RemoveOverlay(Overlay);
    for (size_t i = 0; i < project_.Overlays().size(); ++i) {
        project_.Overlays()[i]->SetIDnumber(static_cast<int32_t>(i));
    }
    project_.SetIsProjectModified(true);
}

void TMeasureResponses::SelectOverlay(TOverlay* Overlay) {
    TOverlay* previous = SelectedOverlay;
    SelectedOverlay = Overlay;
    if (OnOverlaySelected) {
        OnOverlaySelected(previous, Overlay);
    }
}

// ---- Panel commands ----

void TMeasureResponses::SetSmoothMag(int32_t ItemIndex) {
    if (const std::optional<TFreqBands> bands = SmoothingOfItem(ItemIndex)) {
        project_.SetMicSmoothing(*bands);
    }
}

void TMeasureResponses::SmoothingChosen(int32_t ItemIndex) {
    if (InitiatingSystem() || !project_.EventsEnabled()) {
        return;
    }
    SetSmoothMag(ItemIndex);
    project_.ReCalculateAllMics();
    ShowAllOverlays();
}

void TMeasureResponses::WeightingChosen(int32_t ItemIndex) {
    if (InitiatingSystem() || !project_.EventsEnabled() || ItemIndex < 0 || ItemIndex > 2 ||
        ItemIndex == static_cast<int32_t>(project_.MicWeightening())) {
        return;
    }
    project_.SetMicWeightening(static_cast<TWeightening>(ItemIndex));
    project_.ReCalculateAllMics();
    ShowAllOverlays();
}

void TMeasureResponses::AssignVendrelColorsInMics(float Luminance) {
    const std::vector<TAlphaColor> colors = SpectrumColors(project_.NMics(), Luminance);
    for (size_t i = 0; i < colors.size(); ++i) {
        SetMicColor(*project_.Mics()[i], colors[i]);
    }
    project_.SetIsProjectModified(true);
}

void TMeasureResponses::SetShowPhase(bool Show) {
    ShowPhase = Show;
    for (const auto& mic : project_.Mics()) {
        showMicSeries(*mic);
    }
    for (const auto& overlay : project_.Overlays()) {
        showOverlaySeries(*overlay);
    }
    project_.SetIsProjectModified(true);
}

void TMeasureResponses::showMicSeries(TMicPoint& Mic) {
    if (TChartSeries* mag = SeriesOf(chart_, Mic.MagSerie())) {
        mag->Active = Mic.Visible();
        chart_.Changed(mag);
    }
    if (TChartSeries* phase = SeriesOf(chart_, Mic.PhaseSerie())) {
        phase->Active = Mic.Visible() && ShowPhase;
        chart_.Changed(phase);
    }
}

void TMeasureResponses::ShowMic(TMicPoint& Mic, bool Show) {
    Mic.SetVisible(Show);
    showMicSeries(Mic);
    if (OnMicShown) {
        OnMicShown(Mic);
    }
}

void TMeasureResponses::ShowOverlayCurves(TOverlay& Overlay, bool Show) {
    project_.SetIsProjectModified(true);
    Overlay.SetVisible(Show);
    showOverlaySeries(Overlay);
}

void TMeasureResponses::SetMicColor(TMicPoint& Mic, TAlphaColor Color) {
    Mic.SetColor(Color);
    if (TChartSeries* mag = SeriesOf(chart_, Mic.MagSerie())) {
        mag->Color = Color;
        chart_.Changed(mag);
    }
    if (TChartSeries* phase = SeriesOf(chart_, Mic.PhaseSerie())) {
        phase->Color = WithOpacity(Color, kMicPhaseOpacity);
        chart_.Changed(phase);
    }
    if (OnMicColorChanged) {
        OnMicColorChanged(Mic);
    }
}

bool TMeasureResponses::SetOverlayColor(TOverlay& Overlay, TAlphaColor Color) {
    project_.SetIsProjectModified(true);
    if (Color == Overlay.Color()) {
        return false;
    }
    Overlay.SetColor(Color);
    if (TChartSeries* mag = SeriesOf(chart_, Overlay.MagFLSerie())) {
        mag->Color = Color;
        chart_.Changed(mag);
    }
    if (TChartSeries* phase = SeriesOf(chart_, Overlay.PhaseFLSerie())) {
        phase->Color = WithOpacity(Color, kMicPhaseOpacity);
        chart_.Changed(phase);
    }
    if (OnOverlayChanged) {
        OnOverlayChanged(Overlay);
    }
    return true;
}

// ---- Row commands ----

std::optional<double> TMeasureResponses::CaptureDelayMicToCabinets(const TMicPoint& Mic) const {
    return Mic.CaptureDelay_ms(kCaptureLatency, kCaptureImpulseSize, kCaptureImpulseEnd, kCaptureSampleRate);
}

double TMeasureResponses::GetDistanceMicToCabinets(const TMicPoint& Mic) const {
    const TPoint3D at = Mic.Position();
    bool any = false;
    double nearest = 0.0;
    const auto visit = [&](const TCabinet& cab, const TPoint3D& where) {
        if (!cab.Active()) {
            return;
        }
        const double d = std::hypot(static_cast<double>(at.X) - where.X, static_cast<double>(at.Y) - where.Y,
                                    static_cast<double>(at.Z) - where.Z);
        if (!any || d < nearest) {
            nearest = d;
            any = true;
        }
    };
    for (const auto& cab : project_.Cabinets()) {
        visit(*cab, cab->Position());
    }
    for (const auto& array : project_.CabArrays()) {
        for (const TCabinet* cab : array->CabinetList()) {
            visit(*cab, cab->AbsolutePosition());
        }
    }
    for (const auto& cluster : project_.Clusters()) {
        for (const TCabinet* cab : cluster->CabinetList()) {
            visit(*cab, cab->AbsolutePosition());
        }
    }
    for (const auto& beam : project_.Beams()) {
        for (const TCabinet* cab : beam->CabinetList()) {
            visit(*cab, cab->AbsolutePosition());
        }
    }
    return nearest;
}

bool TMeasureResponses::FindDelay(TMicPoint& Mic) {
    std::optional<double> delay;
    {
        const ISmartCursorRef hourGlass = TSmartCursor::HourGlass();
        delay = CaptureDelayMicToCabinets(Mic);
    }
    if (!delay) {
        MessageBoxService().ShowMessage(kNoActiveCabinet);
        return false;
    }
    Mic.SetMicDelay_ms(static_cast<float>(*delay));
    return true;
}

TOverlay* TMeasureResponses::CaptureCurve(TMicPoint& Mic) {
    if (!Mic.ResponseReceived()) {
        MessageBoxService().ShowMessage(kNoResponseYet);
        return nullptr;
    }
    TOverlay* o = AddOverlay(Mic.MagnitudePointAllFreqs(), Mic.PhasePointAllFreqs(), TAlphaColors::White,
                             true, "No Name " + std::to_string(project_.NOverlays() + 1), true, false);
    ShowOverlay(o);
    return o;
}

// ---- Ticks ----

void TMeasureResponses::SetTicked(const TObject* Row, bool Ticked) {
    const bool changed = Ticked ? ticked_.insert(Row).second : ticked_.erase(Row) != 0;
    if (changed && OnTicksChanged) {
        OnTicksChanged();
    }
}

void TMeasureResponses::TickAllMics(bool Ticked) {
    for (const auto& mic : project_.Mics()) {
        if (Ticked) {
            ticked_.insert(mic.get());
        } else {
            ticked_.erase(mic.get());
        }
    }
    if (OnTicksChanged) {
        OnTicksChanged();
    }
}

std::vector<TOverlay*> TMeasureResponses::TickedOverlays() const {
    std::vector<TOverlay*> out;
    for (const auto& o : project_.Overlays()) {
        if (IsTicked(o.get())) {
            out.push_back(o.get());
        }
    }
    return out;
}

std::vector<TMicPoint*> TMeasureResponses::TickedMics() const {
    std::vector<TMicPoint*> out;
    for (const auto& m : project_.Mics()) {
        if (IsTicked(m.get())) {
            out.push_back(m.get());
        }
    }
    return out;
}

void TMeasureResponses::Forget(const TObject* Obj) {
    ticked_.erase(Obj);
}

} // namespace vendrel
