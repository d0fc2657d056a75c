#pragma once
// Measurement points as the editor places them, and what belongs to their responses: the response
// chart the window mirrors, the responses' facet (curves, overlays, row commands), the overlay files,
// the level distribution of the selected zones, and the point colours.
//
// A point is a project point drawn as an upside-down cone standing on it (its marker), with a row of
// the response page and two series of the chart. Adding one builds all three and starts its
// computation; its response reaches the chart through the point's lifetime token, so a response
// queued for a point removed meanwhile reaches nothing. Removing one takes its row and series out
// before the project frees it; the remaining points are numbered again.

#include "editor/level_distribution.h"
#include "editor/measure_responses.h"
#include "editor/overlay_files.h"
#include "editor/response_chart.h"
#include "editor/ui_values.h"
#include "platform/core/bitmap.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/geometry3d.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vendrel {

class TEditor;
class TDocuments;
class TMicPoint;
class TQzLayer;
class TControl3D;

class TMeasurePoints {
public:
    explicit TMeasurePoints(TEditor& Editor);
    ~TMeasurePoints();
    TMeasurePoints(const TMeasurePoints&) = delete;
    TMeasurePoints& operator=(const TMeasurePoints&) = delete;

    // The next preset point colour (0..9) and overlay colour; the project file keeps both.
    uint8_t NewMicColorID = 0;
    uint8_t NewOverlaysColorID = 5;
    TColorArray DefaultMicColors{};

    // The user's decimal separator for the charts' labels.
    TFormatSettings Format;
    TResponseChart Chart;
    TMeasureResponses Responses;
    TDistributionChart Distribution;
    // The overlay files ("Save Overlay", "Import Overlay"); made once the documents exist.
    std::unique_ptr<TOverlayFiles> OverlayFiles;
    void AttachDocuments(TDocuments& Documents);
    TUIAction SaveOverlayAction{"Save Overlay"};
    TUIAction ImportOverlayAction{"Import Overlay"};

    // ---- Commands ----
    // The marker size ("MicSizeNB"): one decimal, 0.1 .. 1.0. Every marker follows a change.
    double MicSize() const { return micSize_; }
    void SetMicSize(double Size);

    // ---- Adding and removing ----
    // A point at Position: drawn in Color, or in the next preset colour with NextColor (which then
    // advances and wraps at 10); a non-empty Name replaces the default one; in Layer.
    TMicPoint* AddNewMeasurePoint(const TPoint3D& Position, TAlphaColor Color, bool AutoColor,
                                  const std::string& Name, bool Visible, float Delay_ms, bool NextColor,
                                  TQzLayer* Layer);
    // The point's marker and row.
    void AddInterfaceAndObjectsToMic(TMicPoint& Mic);
    // Row and series out, marker freed, then the project removes the point and numbers the rest.
    void RemoveMic(TMicPoint* Mic);
    // The ticked rows' points (or overlays) removed.
    void RemoveTickedMics();
    void RemoveTickedOverlays();

    // ---- The marker ----
    // The marker's height for the present size.
    float MarkerHeight() const { return static_cast<float>(micSize_ * 1.2); }
    // The marker stands on the point: its base at the point, its tip above (the scene's Y is down).
    void PlaceMarker(TMicPoint& Mic);
    void ColorMarker(TMicPoint& Mic);

    // ---- Level distribution ----
    // The band width (dB) the distribution uses; the project file keeps it.
    uint8_t DistributionStepsdB = 3;
    // The distribution of the selected zones' levels drawn again.
    void ShowDistribution();

    // "Recalculate Mic On Mouse Move": a dragged point is computed at every move; otherwise its row
    // follows the drag and its position is written without a computation until the release.
    bool RecalculateOnMouseMove = false;
    // The response panel stands in its own window on top: a press on a point leaves the tabs alone.
    bool ResponseDetached = false;
    // After each drag move of a point.
    void MicDragged(TMicPoint& Mic);

private:
    TEditor& ed_;
    double micSize_ = 0.5;
};

} // namespace vendrel
