#include "editor/mouse_routing.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/context3d.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

TMouseRouting::TMouseRouting(TEditor& Editor) : ed_(Editor) {}

void TMouseRouting::BindEvents() {
    TEditorScene& sc = ed_.Scene;
    TViewport3D& v = *sc.Viewport3D1;
    v.OnViewportMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, float x, float y) {
        ViewportMouseDown(s, b, sh, x, y);
    };
    v.OnViewportMouseMove = [this](TObject* s, TShiftState sh, float x, float y) {
        ViewportMouseMove(s, sh, x, y);
    };
    v.OnViewportMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, float x, float y) {
        ViewportMouseUp(s, b, sh, x, y);
    };
    v.OnViewportMouseWheel = [this](TObject*, TShiftState sh, int delta, bool& handled) {
        ed_.Views.ViewportMouseWheel(nullptr, sh, delta);
        handled = true;
    };
    for (TAxis3D* plane : {sc.InputSide, sc.InputTop, sc.InputFront}) {
        plane->OnMouseDown = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                                    const TPoint3D& p,
                                    const TPoint3D& d) { InputMouseDown(s, b, sh, x, y, p, d); };
        plane->OnMouseMove = [this](TControl3D* s, TShiftState sh, float x, float y, const TPoint3D& p,
                                    const TPoint3D& d) { InputMouseMove(s, sh, x, y, p, d); };
        plane->OnMouseUp = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                                  const TPoint3D&, const TPoint3D&) { InputMouseUp(s, b, sh, x, y); };
        plane->OnMouseWheel = [this](TControl3D* s, TShiftState sh, int delta, bool& handled) {
            InputMouseWheel(s, sh, delta);
            handled = true;
        };
        plane->OnRender = [this](TControl3D* s, TContext3D& c) { InputRender(s, c); };
    }
    sc.LayoutAxis3D->OnRender = [this](TControl3D* s, TContext3D& c) { ed_.Grid.LayoutAxis3DRender(s, c); };
    sc.LayoutDraw3D->OnRender = [this](TControl3D* s, TContext3D& c) { ed_.Grid.LayoutDraw3DRender(s, c); };
}

// ---------------------------------------------------------------------------------------------------
// Rays and points

TAxis3D* TMouseRouting::InputPlaneOfView() const {
    const TEditorScene& sc = ed_.Scene;
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaSideView:
        return sc.InputSide;
    case TViewType::qzaTopView:
    case TViewType::qzaThreeDView:
        return sc.InputTop;
    case TViewType::qzaFrontView:
        return sc.InputFront;
    }
    return nullptr;
}

TPoint3D TMouseRouting::RayToInputPlane(const TControl3D* Obj, const TVector3D& RayPos,
                                        const TVector3D& RayDir, const TPoint3D& Fallback) const {
    if (Obj == nullptr) {
        return Fallback;
    }
    const TVector3D pos = Obj->LocalToAbsoluteVector({RayPos.X, RayPos.Y, RayPos.Z, 1});
    const TVector3D dir = Obj->LocalToAbsoluteVector({RayDir.X, RayDir.Y, RayDir.Z, 0});
    return AbsoluteRayToInputPlane(pos, dir, Fallback);
}

TPoint3D TMouseRouting::AbsoluteRayToInputPlane(const TVector3D& RayPos, const TVector3D& RayDir,
                                                const TPoint3D& Fallback) const {
    const TAxis3D* plane = InputPlaneOfView();
    if (plane == nullptr) {
        return Fallback;
    }
    const TPoint3D p = plane->AbsoluteToLocal3D(RayPos.ToPoint3D());
    const TPoint3D d = plane->AbsoluteToLocalDirection(RayDir.ToPoint3D());
    if (d.Z == 0) {
        return Fallback;
    }
    const double t = -double(p.Z) / d.Z;
    const auto x = static_cast<float>(p.X + t * d.X);
    const auto y = static_cast<float>(p.Y + t * d.Y);
    if (!(std::fabs(x) < plane->Width() / 2) || !(std::fabs(y) < plane->Height() / 2)) {
        return Fallback;
    }
    return plane->LocalToAbsolute3D({x, y, 0});
}

TPoint3D TMouseRouting::GetPosition3DFromMouse(float X, float Y) const {
    const TViewport3D& v = *ed_.Scene.Viewport3D1;
    TVector3D rayPos;
    TVector3D rayDir;
    v.Pick(X, Y, rayPos, rayDir);
    const TCamera* camera = v.Camera();
    const TPoint3D o = rayPos.ToPoint3D();
    const TPoint3D d = rayDir.ToPoint3D();
    const TPoint3D n = camera->LocalToAbsoluteDirection({0, 0, 1}).Normalize();
    const float denom = d.DotProduct(n);
    TPoint3D p = o;
    if (std::fabs(denom) > 1e-6f) {
        p = o + d * (-o.DotProduct(n) / denom);
    }
    return p.Scale(ed_.State.MoveMask);
}

void TMouseRouting::SetInputAxisAcordingViews() {
    TEditorScene& sc = ed_.Scene;
    if (ed_.State.LeftMouseMode == TLeftMouseMode::lmmRuler) {
        SetInputPlanesHitTest(false);
        return;
    }
    TAxis3D* current = InputPlaneOfView();
    if (current == nullptr) {
        return;
    }
    for (TAxis3D* plane : {sc.InputSide, sc.InputTop, sc.InputFront}) {
        plane->HitTest = plane == current;
    }
}

void TMouseRouting::SetInputPlanesHitTest(bool Value) {
    TEditorScene& sc = ed_.Scene;
    for (TAxis3D* plane : {sc.InputSide, sc.InputTop, sc.InputFront}) {
        plane->HitTest = Value;
    }
}

void TMouseRouting::SetArraysAutoCapture(bool) {
    // The drawn elements of line arrays join here once line arrays are drawn in the scene.
}

void TMouseRouting::SetArraysHitTest(bool) {
    // Does nothing by design: callers pass the same value to the cabinet and zone switches.
}

// ---------------------------------------------------------------------------------------------------
// Viewport events

void TMouseRouting::ViewportMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, float X,
                                      float Y) {
    TEditorState& st = ed_.State;
    st.theMouseDown = {X, Y};
    ed_.Selection.HighLightOFF();
    if (st.IsPasting) {
        return;
    }
    st.AddingOneObjToSel = false;
    st.AcousticPrjItemClicked = nullptr;
    if (Button == TMouseButton::mbLeft && !Shift.Shift && !Shift.Ctrl &&
        st.LeftMouseMode != TLeftMouseMode::lmmCamRotation && st.LeftMouseMode != TLeftMouseMode::lmmCamPan &&
        !st.IsInsertingAny()) {
        ed_.Selection.UnSelectAllObjects();
    }
    if (Button == TMouseButton::mbMiddle) {
        ed_.SetViewCursor(ed_.Project.ViewType() == TViewType::qzaThreeDView && !Shift.Shift ? 3 : 4);
    }
    if (ed_.Selection.IfSelectingArea(Sender, Shift, X, Y)) {
        return;
    }
    if (Button == TMouseButton::mbRight) {
        if (ed_.Adding.IsInsertigInViewPort3D()) {
            ed_.Adding.EndInsertionInViewPort3D();
        } else if (ed_.View != nullptr) {
            // The menu acts on the line array in edition, if any.
            const TObjectKind* arrays = ed_.Kinds.Find("TCabArray");
            ed_.View->PopupGlobalMenu(arrays != nullptr ? arrays->State.Current : nullptr);
        }
    }
    ed_.Repaint();
}

void TMouseRouting::ViewportMouseMove(TObject* Sender, TShiftState Shift, float X, float Y) {
    TEditorState& st = ed_.State;
    ed_.Selection.SelectAreaOnMouseMove(Sender, Shift, X, Y);
    if (st.IsInsertingAny()) {
        ed_.SetViewCursor(2);
    }
    ed_.Views.CameraOnMouseMove(Sender, Shift, X, Y);
    if (st.LeftMouseMode == TLeftMouseMode::lmmDefault && !Shift.Middle) {
        ed_.SetViewCursor(crDefault);
    }
}

void TMouseRouting::ViewportMouseUp(TObject*, TMouseButton, TShiftState Shift, float, float) {
    TEditorState& st = ed_.State;
    if (st.LeftMouseMode == TLeftMouseMode::lmmRuler) {
        ed_.Scene.RulerCube->SetVisible(false);
        ed_.Scene.LayoutDraw3D->Repaint();
        ed_.Selection.SetCabinetsAutoCapture(true);
        ed_.Selection.SetZonesAutoCapture(true);
        SetArraysAutoCapture(true);
    }
    ed_.Selection.EndSelectingArea();
    ed_.SetViewCursor(st.IsInsertingAny() ? 2 : crDefault);
    if (Shift.Ctrl && st.AddingOneObjToSel) {
        ed_.Selection.UpdateLastSelection();
    } else {
        ed_.Selection.UpdateAllSelection();
    }
    ed_.Repaint();
}

// ---------------------------------------------------------------------------------------------------
// Input planes

void TMouseRouting::InputMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                                   float Y, const TPoint3D& RayPos, const TPoint3D& RayDir) {
    TAddObjects& add = ed_.Adding;
    const TPoint3D pos = Sender->LocalToAbsolute3D(RayPos);
    const TPoint3D dir = Sender->LocalToAbsoluteDirection(RayDir);
    TMagneticHit hit;
    if (ed_.ObjectMouse.MagneticSnap(pos, dir, hit)) {
        // A press through an object is a press on that object for the insertions.
        add.InsertingMicOnMouseDown(hit.Object, Shift, hit.RayPos, hit.RayDir);
        add.InsertingCabinetOnMouseDown(hit.Object, Shift, hit.RayPos, hit.RayDir);
        add.InsertingOrnamentOnMouseDown(hit.Object, Shift, hit.RayPos, hit.RayDir);
        add.InsertingSurfacePointOnMouseDown(hit.Object, Shift, hit.RayPos, hit.RayDir);
        ViewportMouseDown(hit.Object, Button, Shift, X, Y);
        return;
    }
    add.InsertingMicOnMouseDown(Sender, Shift, RayPos, RayDir);
    add.InsertingCabinetOnMouseDown(Sender, Shift, RayPos, RayDir);
    add.InsertingOrnamentOnMouseDown(Sender, Shift, RayPos, RayDir);
    ViewportMouseDown(Sender, Button, Shift, X, Y);
    add.InsertingSurfacePointOnMouseDown(Sender, Shift, RayPos, RayDir);
}

void TMouseRouting::InputMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y,
                                   const TPoint3D& RayPos, const TPoint3D& RayDir) {
    TAddObjects& add = ed_.Adding;
    const TPoint3D pos = Sender->LocalToAbsolute3D(RayPos);
    const TPoint3D dir = Sender->LocalToAbsoluteDirection(RayDir);
    TMagneticHit hit;
    TControl3D* target = Sender;
    TPoint3D targetPos = RayPos;
    TPoint3D targetDir = RayDir;
    if (ed_.ObjectMouse.MagneticSnap(pos, dir, hit)) {
        target = hit.Object;
        targetPos = hit.RayPos;
        targetDir = hit.RayDir;
    }
    add.InsertingCabinetOnMouseMove(target, Shift, targetPos, targetDir);
    add.InsertingOrnamentOnMouseMove(target, Shift, targetPos, targetDir);
    add.InsertingMicOnMouseMove(target, Shift, targetPos, targetDir);
    add.InsertingSurfacePointOnMouseMove(target, Shift, targetPos, targetDir);
    ViewportMouseMove(target, Shift, X, Y);
}

void TMouseRouting::InputMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                                 float Y) {
    ViewportMouseUp(Sender, Button, Shift, X, Y);
}

void TMouseRouting::InputMouseWheel(TControl3D*, TShiftState Shift, int WheelDelta) {
    ed_.Views.ViewportMouseWheel(nullptr, Shift, WheelDelta);
}

void TMouseRouting::InputRender(TControl3D* Sender, TContext3D& Context) {
    DrawInputPlaneOverlay(Sender, Context);
}

void TMouseRouting::DrawInputPlaneOverlay(TControl3D*, TContext3D& Context) {
    const TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_SurfacePoint) {
        return;
    }
    // Points are drawn on the plane, each turned by the view's input rotation first.
    const float a = std::max(st.coefMultZoom * 12.0f, 0.12f);
    const TPoint3D edge{a, a, a};
    const TPoint3D bigEdge = edge * 1.2f;
    const auto at = [&](const TPoint3D& p) { return p * st.InputRotMatrix; };
    const auto& pts = st.SurfacePoints;
    for (size_t i = 1; i < pts.size(); ++i) {
        Context.DrawLine(at(pts[i - 1]), at(pts[i]), 0.9f, 0xFFFFFFFF);
        Context.FillCube(at(pts[i - 1]), edge, 0.9f, 0xFFFF0000);
        Context.FillCube(at(pts[i]), edge, 0.9f, 0xFFFF0000);
    }
    if (pts.size() == 1) {
        Context.FillCube(at(pts[0]), edge, 1.0f, 0xFFFF0000);
    }
    if (st.IsEndPointSurface) {
        if (!pts.empty()) {
            Context.FillCube(at(pts.front()), bigEdge, 1.0f, 0xFF00FF00);
            Context.DrawLine(at(pts.back()), at(pts.front()), 0.9f, 0xFFFFFFFF);
        }
    } else {
        const TPoint3D cursor = at({st.MouseMovePoint.X, -st.MouseMovePoint.Z, st.MouseMovePoint.Y});
        Context.FillCube(cursor, edge, 1.0f, 0xFFFF0000);
        if (!pts.empty()) {
            Context.DrawLine(at(pts.back()), cursor, 0.9f, 0xFFFFFFFF);
        }
    }
}

} // namespace vendrel
