#pragma once
// Scene-graph nodes: every 3D object of the view is a TControl3D.
//
// Owner and parent are two separate links. The owner (TComponent) frees the node; the parent places
// it: a node's absolute matrix is its local matrix followed by its parent's absolute matrix. Freeing
// a parent does not free its children: they are detached and become roots of their own.
//
// Local matrix (row vectors, p x M, a product A x B applies A first):
//
//     LocalMatrix = Scaling(Scale) x Translation(-RotationCenter) x R x Translation(RotationCenter)
//                   x Translation(Position)
//     R = RotZ(rz) x RotY(ry) x RotX(rx),   (rx, ry, rz) = RotationAngle in degrees, as radians
//
// so a node turns about its rotation centre (given in its own, scaled, units), first about Z, then
// about Y, then about X, each about the axes of the parent frame. Width, Height and Depth are the
// node's extent along its local X, Y and Z, centred on its origin; they size what the node draws and
// its default hit box, never its children.
//
// This composition is the one under which the map kernel and the drawn zones agree. The kernel puts
// the map pixels of a zone with angles (rx, ry, rz) in a frame M = RotY(-ry) x RotX(rx) x RotZ(rz),
// working in the scene's axes with Z negated; the view draws the zone's solid turned (rx, rz, 0)
// inside a holder turned (0, 0, -ry), inside the zones' frame (the scene turned -90 degrees about X,
// so that a scene displacement (dx, dy, dz) is (dx, -dz, dy) there). With R as above every pixel
// centre of the solid lands where the kernel computes it (see node3d_test.cpp).
//
// Change hooks: setting the whole RotationAngle calls RotationChanged; setting one angle calls
// RotateXChanged, RotateYChanged or RotateZChanged. Any change of the local matrix calls
// MatrixChanged, after RecalcAbsolute has brought this node and its subtree up to date. Setters
// ignore a value equal to the stored one.

#include "platform/core/component.h"
#include "platform/core/geometry3d.h"
#include "platform/core/input.h"

#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TContext3D;
class TControl3D;

using TRenderEvent = std::function<void(TControl3D* Sender, TContext3D& Context)>;
// Mouse events carry the viewport position and the mouse ray in the node's local frame.
using TMouseEvent3D = std::function<void(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                                         float Y, const TPoint3D& RayPos, const TPoint3D& RayDir)>;
using TMouseMoveEvent3D = std::function<void(TControl3D* Sender, TShiftState Shift, float X, float Y,
                                             const TPoint3D& RayPos, const TPoint3D& RayDir)>;
using TMouseWheelEvent =
    std::function<void(TControl3D* Sender, TShiftState Shift, int WheelDelta, bool& Handled)>;
using TNotifyEvent = std::function<void(TControl3D* Sender)>;

class TControl3D : public TComponent {
public:
    explicit TControl3D(TComponent* AOwner = nullptr);
    ~TControl3D() override;

    // --- Parent and children (placement; not ownership) ---
    TControl3D* Parent() const { return FParent; }
    // Appends the node to the new parent's children (nullptr detaches it).
    void SetParent(TControl3D* NewParent);
    int ChildrenCount() const { return static_cast<int>(FChildren.size()); }
    // The child at index i; an index outside the list raises ERangeError.
    TControl3D* Children(int i) const;
    const std::vector<TControl3D*>& ChildList() const { return FChildren; }

    // --- Placement ---
    const TPoint3D& Position() const { return FPosition; }
    void SetPosition(const TPoint3D& Value);
    void SetPositionX(float Value) { SetPosition({Value, FPosition.Y, FPosition.Z}); }
    void SetPositionY(float Value) { SetPosition({FPosition.X, Value, FPosition.Z}); }
    void SetPositionZ(float Value) { SetPosition({FPosition.X, FPosition.Y, Value}); }

    // Degrees about X, Y and Z, stored as given (no wrapping).
    const TPoint3D& RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(const TPoint3D& Value);
    void SetRotationAngleX(float Value);
    void SetRotationAngleY(float Value);
    void SetRotationAngleZ(float Value);

    const TPoint3D& RotationCenter() const { return FRotationCenter; }
    void SetRotationCenter(const TPoint3D& Value);
    void SetRotationCenterX(float Value) { SetRotationCenter({Value, FRotationCenter.Y, FRotationCenter.Z}); }
    void SetRotationCenterY(float Value) { SetRotationCenter({FRotationCenter.X, Value, FRotationCenter.Z}); }
    void SetRotationCenterZ(float Value) { SetRotationCenter({FRotationCenter.X, FRotationCenter.Y, Value}); }

    const TPoint3D& Scale() const { return FScale; }
    void SetScale(const TPoint3D& Value);

    // --- Size (metres along local X, Y, Z); 1 x 1 x 1 at creation ---
    float Width() const { return FWidth; }
    float Height() const { return FHeight; }
    float Depth() const { return FDepth; }
    virtual void SetWidth(float Value);
    virtual void SetHeight(float Value);
    virtual void SetDepth(float Value);

    // --- Appearance ---
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    // Shown only when the node and every parent are visible.
    bool AbsoluteVisible() const;
    float Opacity() const { return FOpacity; }
    void SetOpacity(float Value);
    // The node's opacity times its parents'.
    float AbsoluteOpacity() const;

    bool HitTest = true;      // takes part in mouse picking
    bool AutoCapture = false; // keeps the mouse while a button is held after a press on it
    bool CanFocus = false;
    bool ZWrite = true; // writes the depth buffer when drawn

    // Asks the view to draw again; the request travels up to the root.
    void Repaint();
    // Number of repaint requests this node has made (for code that must not repaint needlessly).
    int RepaintRequests() const { return FRepaintRequests; }

    // --- Matrices and conversions ---
    const TMatrix3D& LocalMatrix() const { return FLocalMatrix; }
    const TMatrix3D& AbsoluteMatrix() const { return FAbsoluteMatrix; }
    const TMatrix3D& InvAbsoluteMatrix() const { return FInvAbsoluteMatrix; }
    // The local origin in scene coordinates.
    TPoint3D AbsolutePosition() const { return FAbsoluteMatrix.Translation(); }
    TPoint3D LocalToAbsolute3D(const TPoint3D& P) const { return P * FAbsoluteMatrix; }
    TPoint3D AbsoluteToLocal3D(const TPoint3D& P) const { return P * FInvAbsoluteMatrix; }
    // Homogeneous conversions: W = 1 converts a point, W = 0 a direction.
    TVector3D LocalToAbsoluteVector(const TVector3D& V) const { return V * FAbsoluteMatrix; }
    TVector3D AbsoluteToLocalVector(const TVector3D& V) const { return V * FInvAbsoluteMatrix; }
    // Directions (the translation does not apply; scale and rotation do).
    TPoint3D LocalToAbsoluteDirection(const TPoint3D& D) const {
        return TransformDirection(D, FAbsoluteMatrix);
    }
    TPoint3D AbsoluteToLocalDirection(const TPoint3D& D) const {
        return TransformDirection(D, FInvAbsoluteMatrix);
    }
    // The scene-space box around the node's local box (Width x Height x Depth about its origin).
    TBoundingBox GlobalBounds() const;

    // --- Hit testing ---
    // Ray in the node's local frame; on a hit, Intersection is the hit point in scene coordinates.
    // Intersection is left untouched without a hit.
    bool RayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection);
    // The same for a ray given in scene coordinates.
    bool RayCastIntersectAbsolute(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection);

    // --- Events ---
    TRenderEvent OnRender;
    TMouseEvent3D OnMouseDown;
    TMouseMoveEvent3D OnMouseMove;
    TMouseEvent3D OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnMouseLeave;

    // Recomputes the absolute matrix of this node and of its whole subtree. Overrides call the
    // inherited handling first, then read the new absolute placement.
    virtual void RecalcAbsolute();

    // Draws the node itself in its local frame (the context's matrix is the absolute matrix).
    virtual void Render(TContext3D& Context);

protected:
    virtual void RotationChanged() {}
    virtual void RotateXChanged() {}
    virtual void RotateYChanged() {}
    virtual void RotateZChanged() {}
    virtual void MatrixChanged() {}
    // The hit test behind RayCastIntersect: the local box by default.
    virtual bool DoRayCastIntersect(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D& Intersection);
    // A repaint request from this node or a descendant; the root handles it (a viewport redraws).
    virtual void RepaintRequested(TControl3D* From);
    // Node is about to leave the tree below this root with its subtree (moved elsewhere, or freed when
    // Freeing); roots that keep links into their tree (a viewport's captured object) drop them here.
    virtual void SubtreeDetaching(TControl3D* Node, bool Freeing);

    float FWidth = 1.0f;
    float FHeight = 1.0f;
    float FDepth = 1.0f;

private:
    void localChanged();
    void notifyDetaching(bool freeing);

    TControl3D* FParent = nullptr;
    std::vector<TControl3D*> FChildren; // not owned
    TPoint3D FPosition;
    TPoint3D FRotationAngle;
    TPoint3D FRotationCenter;
    TPoint3D FScale{1, 1, 1};
    bool FVisible = true;
    float FOpacity = 1.0f;
    int FRepaintRequests = 0;
    TMatrix3D FLocalMatrix;
    TMatrix3D FAbsoluteMatrix;
    TMatrix3D FInvAbsoluteMatrix;
};

// An empty node that only places its children; never hit.
class TDummy : public TControl3D {
public:
    using TControl3D::TControl3D;

protected:
    bool DoRayCastIntersect(const TPoint3D&, const TPoint3D&, TPoint3D&) override { return false; }
};

// The rotation part R of a node's local matrix for angles in degrees (see the header comment).
TMatrix3D NodeRotationMatrix(const TPoint3D& RotationAngleDeg);

} // namespace vendrel
