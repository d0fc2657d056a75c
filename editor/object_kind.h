#pragma once
// One kind of placed object (loose cabinets, zones, line arrays, clusters, steered columns, ornaments,
// measurement points ...) as the editor sees it: how its objects are found, selected, pressed, dragged,
// moved by keys and by typed offsets, written back, drawn over and removed. The editor's routines are
// written once and ask the object's kind at each step where kinds differ; a kind is a table of such
// answers (data rows) and hooks (virtual functions), each with the common answer as its default.
//
// How a new kind plugs in (no edit to TEditor, TEditorState, TObjectMouse, IPanelHost or the window):
//  1. editor/kinds/<kind>_kind.{h,cpp}: a class derived from TObjectKind (TKindOf<T> gives the exact-class
//     test). Its constructor fills the rows (Mouse, Frame, Placement, Ranks, the status word); it
//     overrides what differs from the defaults: ForEachObject and ObjectOf3D always, then selection
//     (SetSelected, Bounds, AreaPoint), the press steps (BeforeButtonStep, SelectionStepBlocked,
//     Reselected), the drag (DragAnchor, DragTarget, DragDisplacement, IsMoving/SetMoving), the moves
//     (WriteBack after a drag, MoveBy for the arrow keys, MoveAndRotate for typed offsets), snapping
//     (ForEachSnapCandidate), what follows an edit (Place, Appearance, ApplyModelRules), the overlays it
//     draws (Render) and its removal (Remove). Its builder binds the generic mouse handler to its drawn
//     objects with TObjectMouse::Bind(Drawn, Kind) and asks the window for a panel with
//     TSceneObjects::AttachPanel (its removal frees it with TSceneObjects::FreePanel). Design names of
//     its per-kind state are accessors on the kind (NCabinetsSelected(), IsZoneClicked() ...). Kinds
//     still without a panel of their own are in kinds/model_only_kinds.cpp: a new kind replaces its
//     entry there.
//  2. editor/kinds/builtin_kinds.cpp: one line registers it.
//  3. panels/<kind>_panel.{h,cpp}: the panel as field declarations on TObjectPanel (and a TRowList for
//     its elements, if it has any), implementing IObjectPanel; tested against a fake IPanelHost.
//  4. editor/qt/<kind>_page.cpp: the page factory (TKindPage) that builds the panel in its page and the
//     page's commands, registered in editor/qt/kind_pages.cpp.
//  5. Its tests: tests/editor (a kind without a window), tests/panels, tests/app (the real window).

#include "editor/main_pages.h"
#include "platform/core/component.h"
#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

#include <cstdint>
#include <functional>
#include <string>
#include <typeinfo>

namespace vendrel {

class TEditor;
class TObject;
class TQzControl3D;
class TControl3D;
class TContext3D;

// The per-kind state of the editor. The window's design names these per kind (IsCabinetClicked,
// NZonesSelected, IsZoneMoved, ArrayInEdition, ClickedMic ...); each kind keeps its own.
struct TKindState {
    bool Clicked = false;            // a press on one of its objects is under way
    bool Moved = false;              // its dragged object moved (kinds whose objects carry no flag)
    int32_t NSelected = 0;           // its selected objects, as last counted
    TQzControl3D* Current = nullptr; // its object in edition or pressed last (not owned)
};

// Where a kind's press steps differ (the rows of the per-kind press, move and release tables).
enum class TPopupStep : uint8_t {
    InSelectionStep,     // a right press opens the scene menu at the end of the selection step
    BeforeInsertion,     // a right press always opens it, before the insertion handlers
    BeforeAreaSelection, // just before the area selection starts
    AfterAreaSelection,  // after it, only when no area selection started
};
enum class TInsertionStep : uint8_t {
    None,            // a press on the kind's objects never inserts
    InSelectionStep, // the insertion handlers run inside the selection step
    AfterPopup,      // after the popup, surface points too, then the memory figures
};

struct TMouseRows {
    bool StopWhilePasting = true;     // a press does nothing while a paste moves
    bool ClickedOnEveryPress = false; // the clicked flag is set as soon as the object is found
    bool SetsRotationCenter = true;   // a press sets the camera's rotation centre
    TPopupStep Popup = TPopupStep::InSelectionStep;
    TInsertionStep Insertion = TInsertionStep::InSelectionStep;
    bool DragStartOnEveryButton = false; // the press ray and drag start come after the selection step
    bool InsertionOnMove = true;         // a move over the object runs the insertion move handlers
    bool DragTestsLock = true;           // a locked object, or one on a locked layer, is not dragged
    bool MovingFlagBeforeMove = false;   // the moving flag is set before the move, not after
    bool ReleaseNeedsObject = false;     // a release over no object of the kind does nothing at all
    bool ReleaseOnPressedObject = false; // the release works on the object pressed last
    bool RepaintAfterRelease = false;
};

// The frame a kind's drawn object lies in. Zones hang in the zones' frame, whose axes are exchanged
// against the scene: a scene displacement (dx, dy, dz) is (dx, -dz, dy) there.
enum class TDrawnFrame : uint8_t { Scene, ZoneFrame };

// Where a kind's panel stands: a row in the row list of its page, or a tab of its page's tab control;
// zones and ornaments are also listed in the venue object list ("Objects:").
struct TPanelPlacement {
    TMainPage Page = TMainPage::CabinetsTabItem;
    bool Tabbed = false;
    bool InVenueList = false;
    // The selection shows the object's panel and brings its page to the front.
    bool ShownOnSelection = true;
};

// Operations that visit the kinds in an order of their own.
enum class TKindOrder : uint8_t { Status, Area, Snap };
struct TKindRanks {
    int Status = 100; // the status line's per-kind counts
    int Area = 100;   // band selection appends in this order
    int Snap = 100;   // magnetic snapping: the first of equally near hits wins
};

// Typed offsets applied to a group of objects: every object's point turns by Rotation about the
// group's centre C and moves by Offset (see TObjectKind::MoveAndRotate).
struct TMoveAndRotate {
    TPoint3D Offset;   // scene axes, metres
    TPoint3D Rotation; // degrees about X, Y, Z
    TPoint3D Centre;   // the centre of the objects' positions
    // A point given relative to the centre, turned by Rotation with the scene nodes' own convention.
    TPoint3D Turned(const TPoint3D& Relative) const;
};

class TObjectKind {
public:
    // Class: the exact class of the kind's objects (typeid(TCabinet)).
    TObjectKind(TEditor& Editor, const std::type_info& Class, std::string ClassName, std::string StatusWord);
    virtual ~TObjectKind();
    TObjectKind(const TObjectKind&) = delete;
    TObjectKind& operator=(const TObjectKind&) = delete;

    // The exact class the kind stands for ("TCabinet") and its word in the status line (" Cabinets").
    const std::string& ClassName() const { return className_; }
    const std::string& StatusWord() const { return statusWord_; }

    TKindState State;
    TMouseRows Mouse;
    TDrawnFrame Frame = TDrawnFrame::Scene;
    TPanelPlacement Placement;
    TKindRanks Ranks;
    int Rank(TKindOrder Order) const;

    // ---- Identity and lists ----
    // True for an object of exactly this kind's class (no derived class counts).
    virtual bool IsKindOf(const TObject* Obj) const;
    // The project's objects of the kind, in list order.
    virtual void ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const = 0;
    // The object a drawn object stands for (pressed, moved over, drawn), or null.
    virtual TQzControl3D* ObjectOf3D(const TObject* Drawn) const = 0;

    // ---- Selection ----
    // The selected flag and whatever shows it (a solid's look, a row's selection box).
    virtual void SetSelected(TQzControl3D& Obj, bool Selected) const;
    // The object's bounds in the scene (the selection's bounds); empty for none.
    virtual TBoundingBox Bounds(const TQzControl3D& Obj) const;
    // The point band selection tests; the object's position.
    virtual TPoint3D AreaPoint(const TQzControl3D& Obj) const;
    // A band just selected the object.
    virtual void AreaSelected(TQzControl3D&) {}

    // ---- Panels ----
    // The caption of the object's tab (tabbed kinds).
    virtual std::string TabText(const TQzControl3D&) const { return {}; }
    // The object's name changed: its tab and its item of the venue list follow.
    virtual void Renamed(TQzControl3D& Obj);
    // What the object's model and settings imply for its own values (its rotation centre from the
    // model's origin centres, no preset on a model without presets ...): run when it gets its panel and
    // after a change of model or mapping, so that filling the panel only reads.
    virtual void ApplyModelRules(TQzControl3D&) {}
    // The drawn objects follow the object's placement (position, turns, size, outline).
    virtual void Place(TQzControl3D&) {}
    // The drawn objects follow the object's look (materials, textures).
    virtual void Appearance(TQzControl3D&) {}

    // ---- Press, move, release (the generic handlers of TObjectMouse ask these) ----
    // Before the button test of a press (a row scrolled into view, the view focused, an object put in
    // edition).
    virtual void BeforeButtonStep(TQzControl3D&) {}
    // True when the selection step must not run now (a press during an insertion inserts instead).
    virtual bool SelectionStepBlocked() const { return false; }
    // A plain press on an object already selected: it left the list and its count was lowered.
    virtual void Reselected(TQzControl3D&) {}
    // The point of the object that follows the mouse during a drag, before the view's mask.
    virtual TPoint3D DragAnchor(const TQzControl3D& Obj) const;
    // The anchor is masked by the view's move mask when no object was snapped onto.
    virtual bool MasksAnchor() const { return true; }
    // Where the anchor goes when the ray snapped onto nothing: Plane is the ray's point on the input
    // plane of the view (scene coordinates); the default keeps the axes the view cannot move.
    virtual TPoint3D DragTarget(const TQzControl3D& Obj, const TPoint3D& Plane) const;
    // The displacement that brings the anchor A onto the target T.
    virtual TPoint3D DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target,
                                      const TPoint3D& Anchor) const;
    // The object's moving flag (an object being dragged draws no throw line).
    virtual bool IsMoving(const TQzControl3D&) const { return State.Moved; }
    virtual void SetMoving(TQzControl3D&, bool Moving) { State.Moved = Moving; }
    // After each drag move of the object pressed.
    virtual void AfterDragMove(TQzControl3D&) {}
    // At the release, before the write-back.
    virtual void Released(TQzControl3D*) {}
    // The overlays the kind draws on a drawn object (selection box, rotation point, guide lines).
    virtual void Render(TControl3D*, TContext3D&) {}

    // ---- Moves ----
    // The drawn object the drag engine moves (null: the object is not moved by drags).
    virtual TControl3D* DrawnObject(const TQzControl3D& Obj) const;
    // After a drag: the object takes its drawn object's position as its panel would show and read it
    // back (rounded to the shown decimals); the drawn object keeps its own.
    virtual void WriteBack(TQzControl3D&) {}
    // The arrow keys: the object moves by D (scene axes, metres) at once, drawn object and panel with it.
    virtual void MoveBy(TQzControl3D&, const TPoint3D&) {}
    // Typed offsets: the object moves and turns about the group's centre.
    virtual void MoveAndRotate(TQzControl3D&, const TMoveAndRotate&) {}

    // ---- Magnetic snapping ----
    // Visits the drawn objects that may be snapped onto: Visit(drawn object, object cast against);
    // Visit returns false to end the whole search.
    virtual void ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>&) const {}

    // ---- Removal ----
    // Undoes what building the object made and has the project free it.
    virtual void Remove(TQzControl3D&) {}

protected:
    TEditor& ed_;

private:
    const std::type_info& class_;
    std::string className_;
    std::string statusWord_;
};

// The exact-class test of a kind of class T.
template <typename T> class TKindOf : public TObjectKind {
public:
    TKindOf(TEditor& Editor, std::string ClassName, std::string StatusWord)
        : TObjectKind(Editor, typeid(T), std::move(ClassName), std::move(StatusWord)) {}
    // The object as the kind's class, or null for an object of another class.
    static T* Cast(TObject* Obj) {
        return Obj != nullptr && typeid(*Obj) == typeid(T) ? static_cast<T*>(Obj) : nullptr;
    }
};

} // namespace vendrel
