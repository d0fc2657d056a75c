#pragma once
// Grid, axes and venue dimensions.
//
// The venue is a box of whole-metre dimensions centred on the origin along its length (X) and width
// (Z) and standing on the floor (the scene's Y axis points down, so heights are negative Y). Around it
// the 3D view shows a floor grid and a wall grid whose line spacing follows the zoom, three rows of
// axis-number labels along the length, height and width, three coloured axis lines through the
// origin, and the overlays of the area selection and the distance ruler.
//
// Labels are shown every 10 m, or every 50 m when zoomed far out; the thinning picks labels by the
// distance they stand for, so every shown label is a multiple of the spacing on both sides of the
// origin.

#include "editor/ui_values.h"

#include <cstdint>
#include <vector>

namespace vendrel {

class TEditor;
class TText3D;
class TDummy;
class TControl3D;
class TContext3D;

class TGridAxes {
public:
    explicit TGridAxes(TEditor& Editor);

    // The label rows (owned by their dummies): label 0 stands at the origin.
    std::vector<TText3D*> TextVenueLengths;
    std::vector<TText3D*> TextVenueHeights;
    std::vector<TText3D*> TextVenueWidths;

    // View options (checked at design; each checks itself on a click).
    TUIAction ShowThrowItem{"Show Throw Lines", "F6"};
    TUIAction ShowCoverageItem{"Show Coverage Lines", "F7"};
    TUIAction ShowFloorItem{"Show Grid Venue", "F8"};
    TUIAction ShowZoneEdgesItem{"Show Zone Edges", "F9"};
    TUIAction ShowAxisNumbersItem{"Show Axis Numbers"};

    // Developer controls.
    TUIRange ElevDegreeNB{-90, 90, 0, 1};
    TUIRange AzimDegreeNB{-180, 180, 0, 1};
    TUIRange RadiusNB{0, 1000, 10, 1};

    // The label spacing currently shown: 10 or 50 m (0 before the first spacing update). Setting a new
    // value re-applies the label visibility of the three rows.
    int32_t TxtGridSpaceMeters() const { return FTextGridSpaceMeters; }
    void SetTxtGridSpaceMeters(int32_t Value);

    // Apply a venue dimension in whole metres: rows rebuilt, grids sized, cameras fitted. The same
    // value twice changes nothing.
    void RecalculateVenueLength(int32_t Value);
    void RecalculateVenueHeight(int32_t Value);
    void RecalculateVenueWidth(int32_t Value);
    void DrawVenueLength();
    void DrawVenueHeight();
    void DrawVenueWidth();

    // Creates labels 0 to LastIndex of a row under its dummy.
    void CreateAxisNumbers(std::vector<TText3D*>& Row, int LastIndex, TDummy* Owner);
    void DrawGrid();
    void UpdateGridSpacing();
    void UpdateAxisNumberVisibility(const std::vector<TText3D*>& Row, const TDummy* Owner);
    void ScaleAxisNumbers(const std::vector<TText3D*>& Row, const TDummy* Owner);
    void UpdateRulerWidth();
    // The zoom changed: grid spacing, the three rows of axis numbers and the ruler's width follow.
    void ZoomChanged();

    void ShowAxisNumbersItemClick();
    void ShowFloorItemClick();
    void ShowZoneEdgesItemClick();
    void ShowThrowItemClick();

    // Render events of the two layouts: axis lines, and the selection box and ruler overlays.
    void LayoutAxis3DRender(TControl3D* Sender, TContext3D& Context);
    void LayoutDraw3DRender(TControl3D* Sender, TContext3D& Context);

    void ElevDegreeNBChange();

    // How many spacing steps from the origin label i of a row stands (negative beyond the origin).
    int32_t LabelSteps(const std::vector<TText3D*>& Row, const TDummy* Owner, int Index) const;

private:
    // Moves a row's labels off their axis line by at least the Part's offset and, for labels scaled up
    // with the zoom, by half the label's extent across the line and a gap: a label never lies on its
    // line (the length row away from the X line, the others away from their line along X).
    void placeBesideAxis(const std::vector<TText3D*>& Row, const TDummy* Owner);
    void freeRow(std::vector<TText3D*>& Row);
    void rebuildRow(std::vector<TText3D*>& Row, TDummy* Owner, int32_t Dimension);

    TEditor& ed_;
    int32_t FTextGridSpaceMeters = 0;
};

} // namespace vendrel
