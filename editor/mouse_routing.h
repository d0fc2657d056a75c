#pragma once
// Mouse routing and input planes.
//
// Mouse events reach the editor on the viewport itself (empty background), on one of the three
// invisible input planes that lie behind everything (side view: InputSide, top and 3D views:
// InputTop, front view: InputFront), and on the 3D objects of scene objects. This family turns a mouse
// ray into a scene point on the input plane of the current view, routes the viewport's and the planes'
// presses, moves and releases to the editor's modes, sets the cursor of the view, and draws on the
// input plane the surface the user is drawing point by point.

#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

namespace vendrel {

class TEditor;
class TObject;
class TControl3D;
class TContext3D;
class TAxis3D;

class TMouseRouting {
public:
    explicit TMouseRouting(TEditor& Editor);

    // Binds the mouse and render events of the viewport and the three input planes.
    void BindEvents();

    // The point where a ray (in Obj's coordinates) meets the input plane of the current view, less
    // than 1000 m from the plane's centre along both of its axes; Fallback when it does not.
    TPoint3D RayToInputPlane(const TControl3D* Obj, const TVector3D& RayPos, const TVector3D& RayDir,
                             const TPoint3D& Fallback) const;
    // The same for a ray in scene coordinates.
    TPoint3D AbsoluteRayToInputPlane(const TVector3D& RayPos, const TVector3D& RayDir,
                                     const TPoint3D& Fallback) const;
    // The scene point under a viewport position on the plane through the origin that faces the
    // camera, with the axes the current view cannot move set to 0 (MoveMask).
    TPoint3D GetPosition3DFromMouse(float X, float Y) const;

    // The input plane of a view value; null for none.
    TAxis3D* InputPlaneOfView() const;
    // Only the plane of the current view is hit-testable (none in ruler mode).
    void SetInputAxisAcordingViews();
    void SetInputPlanesHitTest(bool Value);
    void SetArraysAutoCapture(bool Value);
    void SetArraysHitTest(bool Value);

    // Routing of the viewport's own events.
    void ViewportMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, float X, float Y);
    void ViewportMouseMove(TObject* Sender, TShiftState Shift, float X, float Y);
    void ViewportMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, float X, float Y);

    // Events of the input planes; rays in the plane's coordinates.
    void InputMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y,
                        const TPoint3D& RayPos, const TPoint3D& RayDir);
    void InputMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y, const TPoint3D& RayPos,
                        const TPoint3D& RayDir);
    void InputMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y);
    void InputMouseWheel(TControl3D* Sender, TShiftState Shift, int WheelDelta);
    void InputRender(TControl3D* Sender, TContext3D& Context);
    // Draws the surface being drawn point by point (only while a surface point is being inserted).
    void DrawInputPlaneOverlay(TControl3D* Sender, TContext3D& Context);

private:
    TEditor& ed_;
};

} // namespace vendrel
