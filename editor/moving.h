#pragma once
// Moving the selection: the drag engine behind the object mouse handler, the arrow keys, typed offsets
// (move and rotate about the group's centre) and the magnetic switches.
//
// A drag moves drawn objects only: at drag start every selected object's drawn position is stored
// against the drag point of the mouse ray; each move puts it at its offset plus the new drag point
// (a plane move) or adds a displacement; the release writes the drawn positions back through the
// panels' formats (UpdateFramesAfterMove), so the objects end rounded to the shown decimals while the
// drawings keep theirs. Objects locked by their own lock or their layer's stay where they are. The
// arrow keys and typed offsets change the objects at once and look at the object's own lock only.
//
// Every selected object whose kind has a drawn object takes part; the kind says how its drawn object
// is read and written (a zone's lies in the zones' frame) and how it is written back.

#include "editor/ui_values.h"
#include "platform/core/geometry3d.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vendrel {

class TEditor;
class TObject;
class TQzControl3D;

// Arrow keys as the window's key handler reports them.
enum class TArrowKey : uint8_t { Left, Up, Right, Down };

class TMoving {
public:
    explicit TMoving(TEditor& Editor);

    // ---- Magnetic snapping: the menu item (M) and the button share one state ----
    TUIAction MagneticMenuItem{"Magnetic Objects", "M"};
    TUIAction MagneticObjectsB{"Magnetic"};
    void MagneticMenuItemClick();
    void MagneticObjectsBClick();
    // The M key: one toggle of the three; a drag under way moves again under the new rule.
    void ToggleMagnetic();
    // The three follow IsMagneticObjects (after the settings were read).
    void ShowMagnetic();

    // ---- The drag ----
    // Stores the drag offset of every selected object against the ray's drag point (scene coordinates).
    void BeginDragSelection(const TVector3D& RayPos, const TVector3D& RayDir);
    // The mouse-down ray from the active camera towards the centre of the selection, then a drag start:
    // the next plane move continues from the camera's new place.
    void BeginDragFromCamera();
    // Every unlocked selected object at its offset plus the ray's drag point.
    void MoveSelectionOnPlane(const TVector3D& RayPos, const TVector3D& RayDir);
    // Every unlocked selected object's drawn position plus D (scene axes, metres).
    void MoveSelectionByDelta(const TPoint3D& D);
    // When Moved: every selected object takes its drawn position as its panel shows it; then the
    // cabinets' hit points are recomputed. Nothing when not Moved.
    void UpdateFramesAfterMove(bool Moved);

    // ---- The arrow keys (2D views, a selection) ----
    // The selection moves by one "Pos" step along the view's axes. An object with its own lock stops
    // the whole move with a message (the lock of its layer does not count here). Steps follow the shown
    // unit: 1 ft moves a foot.
    void ArrowKeyMove(TArrowKey Key);
    // The displacement of one arrow key in the current view (metres).
    TPoint3D ArrowDisplacement(TArrowKey Key) const;

    // ---- Typed offsets ----
    // Moves the listed objects by Offset (scene axes, metres) and turns them as a group about the
    // centre of their positions by Rotation (degrees about X, Y, Z). Nothing when both lie within
    // 0.0001 of zero on every axis; objects with their own lock are left.
    void MoveAndRotate(const std::vector<TObject*>& Objects, const TPoint3D& Offset,
                       const TPoint3D& Rotation);
    // "Move / Rotate" (Ctrl+M): the offsets dialog at the mouse, in its move-and-rotate mode.
    void ApplyOfssetActionExecute();

    // The object goes away: its drag offset is dropped.
    void Forget(const TObject* Obj);

private:
    TPoint3D dragPoint(const TVector3D& RayPos, const TVector3D& RayDir, bool ZoneFrame) const;

    TEditor& ed_;
    std::unordered_map<const TQzControl3D*, TPoint3D> offsets_;
};

} // namespace vendrel
