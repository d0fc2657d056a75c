#pragma once
// The editing state of the 3D scene that every family of editor behaviour shares: what a left drag
// does, the view basis of the current view, pending insertions, the object pressed last, the ordered
// selection and its bounds, the highlighted object, the zoom and grid figures, the units, and the
// guards that hold back reactions while the program itself changes values. What differs per kind of
// object (clicked flags, selection counters, the object in edition) is the kinds' state
// (object_kind.h).
//
// Fields keep the names and defaults of the window's design; their meaning is documented where the
// family that owns them uses them.

#include "editor/units.h"
#include "platform/core/component.h"
#include "platform/core/cursor_service.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/geometry3d.h"
#include "platform/core/planar.h"
#include "scene/selection_box.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TQzControl3D;

// What a left-button drag in the 3D view does.
enum class TLeftMouseMode : uint8_t { lmmDefault, lmmSelectArea, lmmCamRotation, lmmCamPan, lmmRuler };

// An ordered list of objects (not owned) with a change notification after every addition or removal.
class TObjectList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }
    // The entry at index i; an index outside the list raises ERangeError.
    TObject* Items(int i) const;
    int IndexOf(const TObject* Obj) const;
    bool Contains(const TObject* Obj) const { return IndexOf(Obj) >= 0; }
    TObject* Last() const { return FItems.empty() ? nullptr : FItems.back(); }

    void Add(TObject* Obj);
    // Removes the first occurrence; false when absent.
    bool Remove(const TObject* Obj);
    void Clear();

    const std::vector<TObject*>& Raw() const { return FItems; }
    std::vector<TObject*>::const_iterator begin() const { return FItems.begin(); }
    std::vector<TObject*>::const_iterator end() const { return FItems.end(); }

    std::function<void()> OnNotify;

private:
    void notify() const;
    std::vector<TObject*> FItems;
};

struct TEditorState {
    TEditorState();

    // ---- Mouse mode and view basis ----
    TLeftMouseMode LeftMouseMode = TLeftMouseMode::lmmDefault;
    TPoint3D MoveMask{1, 1, 1};    // 1 for each scene axis a drag in the current view may change
    TPoint3D InvMoveMask{0, 0, 0}; // 1 for each axis a drag keeps
    TMatrix3D RotationView_Matrix; // rotation of the current view
    TMatrix3D InputRotMatrix;      // input-plane coordinates to scene coordinates
    float coefMultZoom = 0.0f;     // zoom-dependent size factor of drawn markers (ZoomOut / 700)

    // ---- Mouse positions and rays ----
    TPointF theMouseDown; // last press; during camera drags the previous mouse point
    TPointF MouseMove;    // last mouse point seen by the camera drag
    TPointF AltDupMouseDown;
    TVector3D MouseDownRayPosAbs;
    TVector3D MouseDownRayDirAbs;
    TVector3D MouseMoveRayPosAbs;
    TVector3D MouseMoveRayDirAbs;
    TPoint3D MouseMovePoint; // cursor point on the input plane while a surface is drawn

    // ---- Pending insertions by mouse ----
    bool InsertInMousePos_Cabinet = false;
    bool InsertInMousePos_Zone = false;
    bool InsertInMousePos_Mic = false;
    bool InsertInMousePos_Ornament = false;
    bool InsertInMousePos_SurfacePoint = false;
    std::string InsertInMousePos_CabinetModel;
    std::string InsertInMousePos_VariantModel;
    std::string InsertInMousePos_BrandName;
    std::string InsertInMousePos_OrnaModel;
    int32_t InsertInMousePos_ModelTag = 0;
    std::vector<TPoint3D> SurfacePoints; // points of the surface being drawn, input-plane coordinates
    bool IsEndPointSurface = false;
    TPoint3D RotationForNewDrawZone{0, 0, 0};
    bool IsTwoPointInsertion = false;
    // True while a cabinet, measurement point, ornament or surface point waits to be placed.
    bool IsInsertingAny() const {
        return InsertInMousePos_Cabinet || InsertInMousePos_Mic || InsertInMousePos_Ornament ||
               InsertInMousePos_SurfacePoint;
    }

    // ---- Distance ruler ----
    TPoint3D RulerPoint1_3D;
    TPoint3D RulerPointMove_3D;
    TPointF RulerPoint1_2D;
    TPointF RulerPointMove_2D;
    bool IsRulerPoint1Set = false;
    bool ShowRulerInfo = false;

    // ---- The object pressed last (each kind keeps its own clicked flag and counters) ----
    TObject* AcousticPrjItemClicked = nullptr;

    // ---- Selection ----
    TObjectList SelectedObjList; // in order of selection; its notification sets IsSelectionChanged
    bool AddingOneObjToSel = false;
    bool IsSelectionChanged = false;
    TBoundingBox SelectionBounding;
    TMouseSelectionBox MouseSelectionBox;
    TQzControl3D* HighLightObj = nullptr;
    TObjectList LockedList;
    TObjectList CopyObjList;
    TObjectList ListaPaDuplicar;

    // ---- Paste, duplication, snapping, objects in edition ----
    bool IsPasting = false;
    bool IsCopied = false;
    bool isALT_Duplication = false;
    bool DuplicationCreated = false;
    bool CreatingDuplication = false;
    bool IsMagneticObjects = true;

    // ---- Guards ----
    // While set the program itself changes objects (the window's creation, removals, duplications):
    // no panel commits anything. Set it for a block with TFlagScope.
    bool DisableOnChange = true;
    bool IsOpeningProject = false;
    bool ChangeTab = true;
    bool MechanicalView = false;
    // True while the start window is still starting the system (owned by the start window).
    std::function<bool()> InitiatingSystem = [] { return false; };

    // ---- Zoom (the active camera) ----
    double ZoomOut = 5.0; // zoom distance, positive, larger is farther
    double PreviousZoomOut = 5.0;
    double PerspectiveCoeff = 1.0; // active camera's angle of view / 45
    double ZoomFitPerMeter = 0.496;
    double ZoomDeltaJump = 1.0;
    double Canvas3DOldX = 0.0;
    double Canvas3DOldY = 0.0;

    // ---- Grid and axis labels ----
    int32_t CreateTextGridSpaceMeters = 10;
    double GridSpaceingMeters = 5.0;
    double OffsetGridTextX = 0.3;
    double OffsetGridTextY = 0.3;
    double RulerWidth = 0.0;

    // ---- Units and preferences the editor reads ----
    TUnits Units;
    TFormatSettings FormatSettings; // the user's decimal separator, for numbers shown in panels
    // Steps of the arrow-key moves and of Up and Down in the panels' fields (the "Pos" and "Rot" step
    // selectors): metres (added as shown, in the unit shown) and degrees.
    float GlobalPosSteps = 1.0f;
    float GlobalRotSteps = 10.0f;
    // Running number that names the rows built for the cabinets of clusters and arrays; never reset.
    int32_t NameID = 0;
    // The window is the active window (new cabinets and zones are switched on only then).
    std::function<bool()> IsMainWindowActive = [] { return true; };
    // Set while the window closes: guarded panel fields commit nothing.
    bool ClosingApplication = false;
    double OpacityGrid = 0.2; // the preferences' grid opacity (0..1)

    // ---- The cursor of the 3D view (its viewport and input planes) ----
    TCursor ViewCursor = crDefault;
};

} // namespace vendrel
