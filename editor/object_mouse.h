#pragma once
// Per-object mouse handlers of loose cabinets and zones, and magnetic snapping.
//
// Pressing an object selects it: alone (a plain press), toggled (Ctrl), added (Ctrl with the right
// button), or left as it is when it is already part of the selection (it moves to the end of the
// list); Alt with the left button arms a duplication; the right button opens the scene menu for it.
// While an insertion by mouse waits, presses and moves over objects reach the insertion handlers with
// the object under the mouse. Releases end in the viewport's release routing. Each render draws the
// object's overlays: selection box, rotation point, throw and coverage lines of cabinets, and the
// guide lines of the zone field that has the focus.
//
// Locks are not looked at by presses: locked objects are selected like the others.

#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

namespace vendrel {

class TEditor;
class TObject;
class TControl3D;
class TContext3D;
class TModel3D;
class TDummy;
class TQzExtrudedShape3D;

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

    // Binds the handlers of the drawn objects (hit testing and mouse capture are the builder's).
    void BindCabinetModel(TModel3D& Model);
    void BindZoneSolid(TQzExtrudedShape3D& Solid);
    void BindZoneHolder(TDummy& Holder);

    // ---- Loose cabinets (their drawn models) ----
    void ObjectMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y,
                         const TPoint3D& RayPos, const TPoint3D& RayDir);
    void ObjectMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y, const TPoint3D& RayPos,
                         const TPoint3D& RayDir);
    void ObjectMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y);
    void ObjectRender(TControl3D* Sender, TContext3D& Context);

    // ---- Zones (their solids; the holder draws the zone's guides) ----
    void ZoneMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y,
                       const TPoint3D& RayPos, const TPoint3D& RayDir);
    void ZoneMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y, const TPoint3D& RayPos,
                       const TPoint3D& RayDir);
    void ZoneMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y);
    void ZoneRender(TControl3D* Sender, TContext3D& Context);
    void ZoneContainerRender(TControl3D* Sender, TContext3D& Context);

    // Casts a scene ray against the unselected visible zones and cabinets while magnetic snapping is
    // on; true on any hit, with the hit nearest to the camera in Hit (untouched otherwise).
    bool MagneticSnap(const TPoint3D& RayPos, const TPoint3D& RayDir, TMagneticHit& Hit) const;

    // Edge of the rotation-point marker.
    TPoint3D RotationPointSize{0.1f, 0.1f, 0.1f};
    // Length of the coverage lines, metres (the preferences' "Coverage Lines Length").
    float CoverageLinesLength = 10.0f;

private:
    TEditor& ed_;
};

} // namespace vendrel
