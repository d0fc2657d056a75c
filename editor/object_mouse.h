#pragma once
// The one mouse handler of placed objects: press, move, release and render of every drawn object, for
// every kind. The steps are written once; where kinds differ the handler asks the object's kind (its
// rows and hooks, see object_kind.h).
//
// Pressing an object selects it: alone (a plain press), toggled (Ctrl), added (Ctrl with the right
// button), or left as it is when it is already part of the selection (it moves to the end of the
// list); Alt with the left button arms a duplication; the right button opens the scene menu for it.
// While an insertion by mouse waits, presses and moves over objects reach the insertion handlers with
// the object under the mouse. A move with Shift and the left button held over a selected object drags
// the selection (the move engine, moving.h); the release writes the new positions back. Releases end
// in the viewport's release routing. Each render draws the kind's overlays.
//
// Locks are not looked at by presses: locked objects are selected like the others; drags leave them.

#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

#include <functional>

namespace vendrel {

class TEditor;
class TObject;
class TObjectKind;
class TControl3D;
class TContext3D;

// What a magnetic ray search found.
struct TMagneticHit {
    TPoint3D Point;               // scene coordinates
    TControl3D* Object = nullptr; // the 3D object hit
    TPoint3D RayPos;              // the ray in the hit object's own coordinates
    TPoint3D RayDir;
};

class TObjectMouse {
public:
    explicit TObjectMouse(TEditor& Editor);

    // The drawn object's press, move, release, leave and render events reach the handlers below for
    // the kind (hit testing and mouse capture are the builder's).
    void Bind(TControl3D& Drawn, TObjectKind& Kind);

    void ObjectMouseDown(TObjectKind& Kind, TControl3D* Sender, TMouseButton Button, TShiftState Shift,
                         float X, float Y, const TPoint3D& RayPos, const TPoint3D& RayDir);
    void ObjectMouseMove(TObjectKind& Kind, TControl3D* Sender, TShiftState Shift, float X, float Y,
                         const TPoint3D& RayPos, const TPoint3D& RayDir);
    void ObjectMouseUp(TObjectKind& Kind, TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                       float Y);
    void ObjectRender(TObjectKind& Kind, TControl3D* Sender, TContext3D& Context);

    // Casts a scene ray against the snap candidates of every kind (unselected, visible objects) while
    // magnetic snapping is on; true on any hit, with the hit nearest to the camera in Hit (untouched
    // otherwise; the first of equally near hits wins).
    bool MagneticSnap(const TPoint3D& RayPos, const TPoint3D& RayDir, TMagneticHit& Hit) const;

    // The drag step of a move, on a ray in scene coordinates: while the left button and Shift are held
    // (Ctrl not) and the object pressed last is selected and may move, the selection follows the ray:
    // onto the object snapped onto, or onto the input plane of the view.
    void DragSelection(TShiftState Shift, const TPoint3D& RayPos, const TPoint3D& RayDir);
    // Runs the last drag step again (a rule of the drag changed, as magnetic snapping does); false when
    // no drag is under way.
    bool RepeatLastDrag();

    // Hooks of the move handler and the press handler, empty until their commands exist: the
    // duplication an Alt press armed, the move of pasted objects, and the distance ruler (a press the
    // ruler takes ends the press handler).
    using TMoveHook = std::function<void(TControl3D* Sender, TShiftState Shift, float X, float Y,
                                         const TPoint3D& RayPos, const TPoint3D& RayDir)>;
    TMoveHook AltDragDuplicate;
    TMoveHook PasteOnMouseMove;
    TMoveHook RulerOnMouseMove;
    std::function<bool(TControl3D* Sender, TShiftState Shift, float X, float Y, const TPoint3D& RayPos,
                       const TPoint3D& RayDir)>
        RulerOnMouseDown;

    // Edge of the rotation-point marker.
    TPoint3D RotationPointSize{0.1f, 0.1f, 0.1f};
    // Length of the coverage lines, metres (the preferences' "Coverage Lines Length").
    float CoverageLinesLength = 10.0f;

private:
    // The last drag step, in scene coordinates.
    struct TDragRay {
        bool Valid = false;
        TShiftState Shift;
        TPoint3D Pos;
        TPoint3D Dir;
    };

    TEditor& ed_;
    TDragRay lastDrag_;
};

} // namespace vendrel
