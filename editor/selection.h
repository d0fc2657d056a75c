#pragma once
// Editor state and selection: the operations that keep the selection consistent.
//
// An object is selected exactly when it is in SelectedObjList and its selected flag is set; objects
// are appended at the end, so the list's order is the order of selection. Every change of the list
// sets IsSelectionChanged, and the window is brought up to date only when it is set: completely
// (UpdateAllSelection) or for the last appended object (UpdateLastSelection).
//
// Kinds are told apart by exact class, so a beam-steering array never counts as a cluster: loose
// cabinets, line arrays, zones, ornaments, clusters and beam-steering arrays. Measurement points join
// the per-kind code when they become scene objects.

#include "editor/ui_values.h"
#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

namespace vendrel {

class TEditor;
class TObject;
class TQzControl3D;
class TCabinet;
class TMappingZone;
class TOrnament;
class TCabArray;
class TCluster;
class TBeamContainer;

class TSelection {
public:
    explicit TSelection(TEditor& Editor);

    // The actions that need a selection.
    TUIAction DeleteAction{"Delete"};
    TUIAction DuplicateOffsetAction{"Duplicate with Offset"};
    TUIAction DuplicateSymXAction{"Duplicate with Symmetry on X axis"};
    TUIAction DuplicateSymYAction{"Duplicate with Symmetry on Y axis"};
    TUIAction ApplyOfssetAction{"Move / Rotate"};
    TUIAction OnCabinetsAction{"Switch ON Selected Cabinets"};
    TUIAction OffCabinetsAction{"Switch OFF Selected Cabinets"};

    void UnSelectAllObjects();
    void UpdateAllSelection();
    void UpdateLastSelection();
    // Recounts the per-kind counters from StartIndex (0 or -1 first resets them; -1 counts nothing).
    void CountSelectedByKind(int StartIndex);
    void EnableSelectionActions(bool Enabled);
    // Recomputes SelectionBounding from StartID (0: anew; count - 1: grows by the last object), then
    // applies the camera target.
    void CalcSelectionBounding(int StartID);
    // The selection's options and panels from a start index; clears IsSelectionChanged.
    void ShowSelectionOptionsMenu(int StartID);
    void ShowSelectionForEdition(int StartID);

    void SetHighLight(TQzControl3D* Obj);
    void HighLightOFF();

    // The scene object a pressed 3D object stands for, or null.
    TCabinet* FindCabinetOfObject3D(const TObject* Obj) const;
    TMappingZone* GetZoneOfObject3D(const TObject* Obj) const;
    TOrnament* FindOrnamentOfObject3D(const TObject* Obj) const;
    TCabArray* GetArrayOfObject3D(const TObject* Obj) const;
    TCluster* GetClusterOfObject3D(const TObject* Obj) const;
    TBeamContainer* GetBeamOfObject3D(const TObject* Obj) const;

    void SetCabinetsHitTest(bool Value);
    void SetCabinetsAutoCapture(bool Value);
    void SetZonesHitTest(bool Value);
    void SetZonesAutoCapture(bool Value);

    // Area selection (rubber band): left, Ctrl and Shift held together, outside the 3D view.
    bool IfSelectingArea(TObject* Sender, TShiftState Shift, float X, float Y);
    void SelectAreaOnMouseMove(TObject* Sender, TShiftState Shift, float X, float Y);
    void SelectObjectsInArea(const TBoundingBox& Box);
    void EndSelectingArea();

    // The global bounds of an object by its kind (empty box for other kinds).
    TBoundingBox BoundsOf(const TObject* Obj) const;

private:
    void update(int StartIndex);

    TEditor& ed_;
};

// Lower bounds inclusive, upper bounds exclusive, on each axis.
bool IsPointInBox(const TBoundingBox& Box, const TPoint3D& P);

// The union of two boxes; a box whose extent is below 0.0001 on every axis counts as empty.
TBoundingBox UnionBoxes(const TBoundingBox& A, const TBoundingBox& B);

} // namespace vendrel
