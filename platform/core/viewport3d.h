#pragma once
// The root of a drawn scene: the view's camera, its size in pixels, the frame walk that fills a
// drawing list, picking, and the routing of mouse events to the 3D objects under the mouse.
//
// Every 3D object shown in a view is a descendant of its TViewport3D. The Qt view owns nothing of the
// scene: it draws the list BuildFrame makes and hands mouse events to MouseDown, MouseMove, MouseUp
// and MouseWheel, so everything a user does in the view can be driven without OpenGL.

#include "platform/core/camera.h"
#include "platform/core/node3d.h"

#include <functional>
#include <memory>
#include <vector>

namespace vendrel {

// A light as the frame sees it, in scene coordinates.
struct TSceneLight {
    TLightType LightType = TLightType::ltDirectional;
    TAlphaColor Color = TAlphaColors::White;
    TPoint3D Position;
    TPoint3D Direction{0, 0, 1};
    float SpotCutOff = 180.0f;
    float SpotExponent = 0.0f;
};

using TViewportMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, float X, float Y)>;
using TViewportMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, float X, float Y)>;
using TViewportMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, bool& Handled)>;

class TViewport3D : public TControl3D {
public:
    explicit TViewport3D(TComponent* AOwner = nullptr);
    ~TViewport3D() override;

    // The camera the view looks through (not owned). Without one, the view's own design camera
    // at (0, 0, -20) looking along +Z. A camera freed inside the scene falls back to it.
    TCamera* Camera() const;
    void SetCamera(TCamera* Value);
    TCamera* DesignCamera() const { return FDesignCamera.get(); }

    // Background colour.
    TAlphaColor Color = 0xFF2B2B2B;

    float ViewWidth() const { return FViewWidth; }
    float ViewHeight() const { return FViewHeight; }
    void SetViewSize(float Width, float Height);

    // Called whenever a node of the scene asks for a repaint (the Qt view schedules a redraw).
    std::function<void()> OnInvalidate;

    // Walks the visible nodes depth first (a hidden node hides its subtree) and records what each
    // draws: its Render, then its OnRender event, with the context's matrix set to the node's absolute
    // matrix and its depth writing to the node's ZWrite.
    void BuildFrame(TContext3D& Context);
    // The enabled lights among the visible nodes.
    std::vector<TSceneLight> Lights() const;

    // The ray through a viewport position, in scene coordinates: origin (W = 1) and unit direction
    // (W = 0).
    void Pick(float X, float Y, TVector3D& RayPos, TVector3D& RayDir) const;
    // The nearest visible, hit-testable node that the ray through a viewport position meets, and
    // where (scene coordinates); nullptr when none.
    TControl3D* ObjectAtPoint(float X, float Y, TPoint3D* Hit = nullptr);
    // The same for a ray given in scene coordinates.
    TControl3D* ObjectAtRay(const TPoint3D& RayPos, const TPoint3D& RayDir, TPoint3D* Hit = nullptr);

    // Mouse routing. A press goes to the node under the mouse (which keeps the mouse until the
    // release when its AutoCapture is set), else to the viewport's own event; moves go to the
    // capturing node, else to the node under the mouse (the node left before gets OnMouseLeave),
    // else to the viewport; the wheel goes to the node under the mouse and, unless it handles it, to
    // the viewport. Node events receive the mouse ray in the node's local frame.
    void MouseDown(TMouseButton Button, TShiftState Shift, float X, float Y);
    void MouseMove(TShiftState Shift, float X, float Y);
    void MouseUp(TMouseButton Button, TShiftState Shift, float X, float Y);
    void MouseWheel(TShiftState Shift, int WheelDelta, float X, float Y);
    TControl3D* Captured() const { return FCaptured; }
    TControl3D* Hovered() const { return FHovered; }

    TViewportMouseEvent OnViewportMouseDown;
    TViewportMouseMoveEvent OnViewportMouseMove;
    TViewportMouseEvent OnViewportMouseUp;
    TViewportMouseWheelEvent OnViewportMouseWheel;

protected:
    void RepaintRequested(TControl3D* From) override;
    void SubtreeDetaching(TControl3D* Node, bool Freeing) override;
    bool DoRayCastIntersect(const TPoint3D&, const TPoint3D&, TPoint3D&) override { return false; }

private:
    void localRay(TControl3D* node, float X, float Y, TPoint3D& pos, TPoint3D& dir) const;

    std::unique_ptr<TCamera> FDesignCamera;
    TCamera* FCamera = nullptr;
    float FViewWidth = 1;
    float FViewHeight = 1;
    TControl3D* FCaptured = nullptr;
    TControl3D* FHovered = nullptr;
};

} // namespace vendrel
