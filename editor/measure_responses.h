#pragma once
// The measurement points' and overlays' side of the response chart: each point and overlay draws a level
// curve (left axis) and a phase curve (right axis). A point's curves are redrawn when its response
// arrives; an overlay keeps a curve (captured from a point or read from a file) on the grid it was made on.
// Also the commands of the response panel and of its rows that need no widget: smoothing and weighting
// choices, "Show Phase", showing and hiding, colours, automatic colours, "Find delay", "Set Overlay", the
// rows' ticks that the remove buttons read, and the removal of a point's or an overlay's chart side.
//
// Without Qt: the chart is a TResponseChart that the widget mirrors; the rows, the markers and the
// messages are reached through the hooks below and the message-box service.

#include "editor/layers.h"
#include "editor/response_chart.h"
#include "editor/response_curves.h"
#include "platform/core/bitmap.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TMicPoint;
class TOverlay;
class TObject;

// A project stores at most this many overlays.
inline constexpr int32_t kMaxOverlays = 255;

class TMeasureResponses {
public:
    // The project and the chart are not owned and outlive the facet. NewOverlaysColorID is the next
    // preset overlay colour (0..9), which the project file keeps.
    TMeasureResponses(TAcousticProject& Project, TResponseChart& Chart, uint8_t& NewOverlaysColorID);

    // ---- Values the window shows ----
    // The preferences' "Hide Phase if magnitude downs:" and its threshold (dB).
    bool HidePhase = true;
    double PhaseThreshold = 24.0;
    // The panel's "Show Phase".
    bool ShowPhase = true;
    TColorArray DefaultOverlaysColors{};
    TOverlay* SelectedOverlay = nullptr;

    // ---- Hooks to the window (each may be empty) ----
    // An overlay was added: its row is built.
    std::function<void(TOverlay&)> OnOverlayAdded;
    // A point's or an overlay's row goes (before the object is freed).
    std::function<void(TMicPoint&)> OnMicRowRemoving;
    std::function<void(TOverlay&)> OnOverlayRowRemoving;
    // A point's colour changed: its row's swatch and its marker follow.
    std::function<void(TMicPoint&)> OnMicColorChanged;
    // An overlay's colour, name or visibility changed: its row follows.
    std::function<void(TOverlay&)> OnOverlayChanged;
    // The selected overlay row changed (the previous one, the new one; either may be null).
    std::function<void(TOverlay*, TOverlay*)> OnOverlaySelected;
    // A point's visibility changed: its marker follows.
    std::function<void(TMicPoint&)> OnMicShown;
    // Row ticks changed (either list).
    std::function<void()> OnTicksChanged;

    // ---- A point's curves ----
    // The two series of a new point: level (pen 2) shown when the point is visible, phase (pen 1) shown
    // when it is visible and "Show Phase" is on; each with a point (frequency, 0) per grid point.
    void AddMicSeries(TMicPoint& Mic);
    // Takes the point's row and series out (level first); the caller then removes the point.
    void RemoveMicSeries(TMicPoint& Mic);
    // The point's response arrived: its curves are drawn, the level axis follows.
    void MicResponseReceived(TMicPoint& Mic);
    // Every point's curves drawn again from their stored responses.
    void RedrawMics();

    // ---- Overlays ----
    // Redraws one overlay (nothing for null).
    void ShowOverlay(TOverlay* Overlay);
    void ShowAllOverlays();
    // A new overlay holding the first points of the current grid of MagSource and PhaseSource, with its
    // series and row. Null, with a message, when the project already holds kMaxOverlays overlays or a
    // source is shorter than the grid.
    TOverlay* AddOverlay(std::span<const double> MagSource, std::span<const double> PhaseSource,
                         TAlphaColor MyColor, bool AutoColor, const std::string& Name, bool isVisible,
                         bool UsePresetColors);
    // The series and row of an overlay the project holds already (opened from a project file); the
    // caller fills its curves and shows it.
    void AddOverlaySeries(TOverlay& Overlay);
    // Takes the overlay's row and series out, removes it from the project and numbers the rest again.
    void RemoveOverlay(TOverlay* Overlay);
    void SelectOverlay(TOverlay* Overlay);

    // ---- Panel commands ----
    // "Mag Smooth:" item to the project's smoothing (another index changes nothing).
    void SetSmoothMag(int32_t ItemIndex);
    // The user chose a smoothing or a weighting ("UnWeighted (Z)", "A-Weighted", "C-Weighted"): every
    // point is computed again and every overlay redrawn. Nothing while the program starts or the
    // project's events are off, nor for the weighting already in force.
    void SmoothingChosen(int32_t ItemIndex);
    void WeightingChosen(int32_t ItemIndex);
    // True while the start window still starts the system.
    std::function<bool()> InitiatingSystem = [] { return false; };
    // "Assign Colors in the Vendrel Spectrum".
    void AssignVendrelColorsInMics(float Luminance);
    // "Show Phase" ticked or cleared.
    void SetShowPhase(bool Show);
    // A point or overlay shown or hidden (its row's box; the layer rows for points).
    void ShowMic(TMicPoint& Mic, bool Show);
    void ShowOverlayCurves(TOverlay& Overlay, bool Show);
    void SetMicColor(TMicPoint& Mic, TAlphaColor Color);
    // True when the colour changed (the project is marked modified either way).
    bool SetOverlayColor(TOverlay& Overlay, TAlphaColor Color);

    // ---- Row commands ----
    // The arrival delay (ms) of the cabinets' sound at the point, or nothing when no cabinet is active.
    std::optional<double> CaptureDelayMicToCabinets(const TMicPoint& Mic) const;
    // The distance (m) to the nearest active cabinet, 0 without one.
    double GetDistanceMicToCabinets(const TMicPoint& Mic) const;
    // "Find delay": the point's delay becomes the arrival delay; without an active cabinet there is
    // none, the delay stays and the user is told. True when the delay was set.
    bool FindDelay(TMicPoint& Mic);
    // "Set Overlay": an overlay of the point's curve as it is now, named "No Name <overlays + 1>". Null,
    // with a message, before the point's response has arrived.
    TOverlay* CaptureCurve(TMicPoint& Mic);

    // ---- Ticks of the rows' boxes, read by the remove buttons ----
    bool IsTicked(const TObject* Row) const { return ticked_.count(Row) != 0; }
    void SetTicked(const TObject* Row, bool Ticked);
    // The panel's header box: every point row ticked or cleared (the selection stays as it was).
    void TickAllMics(bool Ticked);
    // The ticked overlays in project order.
    std::vector<TOverlay*> TickedOverlays() const;
    std::vector<TMicPoint*> TickedMics() const;
    // A removed object's tick goes with it.
    void Forget(const TObject* Obj);

private:
    TCurveDrawing drawing() const;
    void drawMic(TMicPoint& Mic);
    void fitLevelAxis();
    void showMicSeries(TMicPoint& Mic);
    void showOverlaySeries(TOverlay& Overlay);

    TAcousticProject& project_;
    TResponseChart& chart_;
    uint8_t& newOverlaysColorID_;
    std::set<const TObject*> ticked_;
};

} // namespace vendrel
