#include "editor/object_mouse.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/camera.h"
#include "platform/core/cursor_service.h"

#include <cmath>

namespace vendrel {

TObjectMouse::TObjectMouse(TEditor& Editor) : ed_(Editor) {}

void TObjectMouse::Bind(TControl3D& Drawn, TObjectKind& Kind) {
    TObjectKind* kind = &Kind;
    Drawn.OnMouseDown = [this, kind](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                                     const TPoint3D& p,
                                     const TPoint3D& d) { ObjectMouseDown(*kind, s, b, sh, x, y, p, d); };
    Drawn.OnMouseMove = [this, kind](TControl3D* s, TShiftState sh, float x, float y, const TPoint3D& p,
                                     const TPoint3D& d) { ObjectMouseMove(*kind, s, sh, x, y, p, d); };
    Drawn.OnMouseLeave = [](TControl3D*) {};
    Drawn.OnMouseUp = [this, kind](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                                   const TPoint3D&,
                                   const TPoint3D&) { ObjectMouseUp(*kind, s, b, sh, x, y); };
    Drawn.OnRender = [this, kind](TControl3D* s, TContext3D& c) { ObjectRender(*kind, s, c); };
}

// ---------------------------------------------------------------------------------------------------
// Press

void TObjectMouse::ObjectMouseDown(TObjectKind& Kind, TControl3D* Sender, TMouseButton Button,
                                   TShiftState Shift, float X, float Y, const TPoint3D& RayPos,
                                   const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    TSelection& sel = ed_.Selection;
    const TMouseRows& rows = Kind.Mouse;
    sel.HighLightOFF();
    if (rows.StopWhilePasting && st.IsPasting) {
        return;
    }
    if (RulerOnMouseDown && RulerOnMouseDown(Sender, Shift, X, Y, RayPos, RayDir)) {
        return;
    }
    st.theMouseDown = {X, Y};
    st.AddingOneObjToSel = false;
    TQzControl3D* obj = Kind.ObjectOf3D(Sender);
    if (obj == nullptr) {
        return;
    }
    if (rows.ClickedOnEveryPress) {
        Kind.State.Clicked = true;
    }
    const auto append = [&] {
        Kind.SetSelected(*obj, true);
        st.SelectedObjList.Add(obj);
        sel.UpdateLastSelection();
        st.AddingOneObjToSel = true;
    };
    if (Button == TMouseButton::mbLeft && Shift.Alt) {
        // Arms a duplication: the other selected objects stay selected; the first move copies.
        Kind.State.Clicked = true;
        st.AcousticPrjItemClicked = obj;
        st.AltDupMouseDown = {X, Y};
        if (!obj->IsObjectSelected()) {
            append();
        }
        return;
    }
    Kind.BeforeButtonStep(*obj);

    const bool right = Button == TMouseButton::mbRight;
    const auto popup = [&] {
        if (right && ed_.View != nullptr) {
            ed_.View->PopupGlobalMenu(obj);
        }
    };
    const auto startDrag = [&] {
        ed_.Repaint();
        st.MouseDownRayPosAbs = Sender->LocalToAbsoluteVector({RayPos, 1});
        st.MouseDownRayDirAbs = Sender->LocalToAbsoluteVector({RayDir, 0});
        ed_.Moving.BeginDragSelection(st.MouseDownRayPosAbs, st.MouseDownRayDirAbs);
    };
    if ((Button == TMouseButton::mbLeft || right) && !Kind.SelectionStepBlocked()) {
        st.AcousticPrjItemClicked = obj;
        if (rows.SetsRotationCenter) {
            ed_.Views.SetRotationCenter();
        }
        if (Shift.Ctrl) {
            if (!right) {
                if (obj->IsObjectSelected()) {
                    Kind.SetSelected(*obj, false);
                    st.SelectedObjList.Remove(obj);
                } else {
                    append();
                }
            } else if (!obj->IsObjectSelected()) {
                append();
            }
        } else if (!Shift.Shift || !obj->IsObjectSelected()) {
            // A plain press on a selected object keeps the others and moves it to the end of the list.
            if (obj->IsObjectSelected()) {
                st.SelectedObjList.Remove(obj);
                --Kind.State.NSelected;
                Kind.Reselected(*obj);
            } else {
                sel.UnSelectAllObjects();
            }
            Kind.SetSelected(*obj, true);
            st.SelectedObjList.Add(obj);
            sel.UpdateLastSelection();
        }
        if (rows.Insertion == TInsertionStep::InSelectionStep) {
            ed_.Adding.InsertingOnMouseDown(Sender, Shift, RayPos, RayDir, false);
        }
        if (!rows.DragStartOnEveryButton) {
            startDrag();
            Kind.State.Clicked = true;
        }
        if (rows.Popup == TPopupStep::InSelectionStep) {
            popup();
        }
    }
    if (rows.DragStartOnEveryButton) {
        startDrag();
    }
    if (rows.Popup == TPopupStep::BeforeInsertion) {
        popup();
    }
    if (rows.Insertion == TInsertionStep::AfterPopup) {
        ed_.Adding.InsertingOnMouseDown(Sender, Shift, RayPos, RayDir, true);
        ed_.ShowMemoryInfo();
    }
    if (rows.Popup == TPopupStep::BeforeAreaSelection) {
        popup();
    }
    const bool area = sel.IfSelectingArea(Sender, Shift, X, Y);
    if (rows.Popup == TPopupStep::AfterAreaSelection && !area) {
        popup();
    }
}

// ---------------------------------------------------------------------------------------------------
// Move

void TObjectMouse::ObjectMouseMove(TObjectKind& Kind, TControl3D* Sender, TShiftState Shift, float X, float Y,
                                   const TPoint3D& RayPos, const TPoint3D& RayDir) {
    ed_.Views.UpdateObjectCursor(Sender, Shift);
    ed_.Views.CameraOnMouseMove(Sender, Shift, X, Y);
    if (RulerOnMouseMove) {
        RulerOnMouseMove(Sender, Shift, X, Y, RayPos, RayDir);
    }
    ed_.Selection.SelectAreaOnMouseMove(Sender, Shift, X, Y);
    if (Kind.Mouse.InsertionOnMove) {
        ed_.Adding.InsertingOnMouseMove(Sender, Shift, RayPos, RayDir);
    }
    if (AltDragDuplicate) {
        AltDragDuplicate(Sender, Shift, X, Y, RayPos, RayDir);
    }
    if (PasteOnMouseMove) {
        PasteOnMouseMove(Sender, Shift, X, Y, RayPos, RayDir);
    }
    DragSelection(Shift, Sender->LocalToAbsolute3D(RayPos), Sender->LocalToAbsoluteDirection(RayDir));
}

void TObjectMouse::DragSelection(TShiftState Shift, const TPoint3D& P, const TPoint3D& D) {
    TEditorState& st = ed_.State;
    lastDrag_.Valid = false;
    if (!Shift.Left || !Shift.Shift || Shift.Ctrl) {
        return;
    }
    auto* o = dynamic_cast<TQzControl3D*>(st.AcousticPrjItemClicked);
    TObjectKind* kind = ed_.Kinds.KindOf(o);
    if (o == nullptr || kind == nullptr || !o->IsObjectSelected() || kind->DrawnObject(*o) == nullptr) {
        return;
    }
    lastDrag_ = {true, Shift, P, D};
    if (kind->Mouse.DragTestsLock && TRemoval::IsProtected(*o)) {
        ed_.SetViewCursor(crNo);
        TSmartCursor::Forbidden();
        return;
    }
    TMagneticHit hit;
    const bool snapped = MagneticSnap(P, D, hit);
    TPoint3D anchor = kind->DragAnchor(*o);
    TPoint3D target;
    bool onPlane = false;
    if (snapped) {
        target = hit.Point;
    } else {
        // A ray that meets no input plane moves nothing.
        const TPoint3D none(NAN, NAN, NAN);
        const TPoint3D plane = ed_.Mouse.AbsoluteRayToInputPlane({P, 1}, {D, 0}, none);
        if (std::isnan(plane.X)) {
            return;
        }
        target = kind->DragTarget(*o, plane);
        if (kind->MasksAnchor()) {
            anchor = anchor.Scale(st.MoveMask);
        }
        onPlane = ed_.Project.ViewType() == TViewType::qzaThreeDView && !st.IsMagneticObjects;
    }
    if (kind->Mouse.MovingFlagBeforeMove) {
        kind->SetMoving(*o, true);
    }
    if (onPlane) {
        ed_.Moving.MoveSelectionOnPlane({P, 1}, {D, 0});
    } else {
        ed_.Moving.MoveSelectionByDelta(kind->DragDisplacement(*o, target, anchor));
    }
    if (!kind->Mouse.MovingFlagBeforeMove) {
        kind->SetMoving(*o, true);
    }
    kind->AfterDragMove(*o);
    ed_.Repaint();
}

bool TObjectMouse::RepeatLastDrag() {
    if (!lastDrag_.Valid) {
        return false;
    }
    const TDragRay last = lastDrag_;
    DragSelection(last.Shift, last.Pos, last.Dir);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Release and render

void TObjectMouse::ObjectMouseUp(TObjectKind& Kind, TControl3D* Sender, TMouseButton Button,
                                 TShiftState Shift, float X, float Y) {
    TEditorState& st = ed_.State;
    TQzControl3D* obj = Kind.Mouse.ReleaseOnPressedObject
                            ? dynamic_cast<TQzControl3D*>(st.AcousticPrjItemClicked)
                            : Kind.ObjectOf3D(Sender);
    if (obj == nullptr && Kind.Mouse.ReleaseNeedsObject) {
        return;
    }
    Kind.Released(obj);
    if (st.IsPasting) {
        ed_.Moving.UpdateFramesAfterMove(true);
        st.IsPasting = false;
        ed_.Mouse.SetInputPlanesHitTest(false);
    } else {
        ed_.Moving.UpdateFramesAfterMove(obj != nullptr && Kind.IsMoving(*obj));
    }
    Kind.State.Clicked = false;
    if (obj != nullptr) {
        Kind.SetMoving(*obj, false);
    }
    lastDrag_.Valid = false;
    ed_.Mouse.ViewportMouseUp(Sender, Button, Shift, X, Y);
    if (Kind.Mouse.RepaintAfterRelease) {
        ed_.Repaint();
    }
}

void TObjectMouse::ObjectRender(TObjectKind& Kind, TControl3D* Sender, TContext3D& Context) {
    Kind.Render(Sender, Context);
}

// ---------------------------------------------------------------------------------------------------
// Magnetic snapping

bool TObjectMouse::MagneticSnap(const TPoint3D& RayPos, const TPoint3D& RayDir, TMagneticHit& Hit) const {
    if (!ed_.State.IsMagneticObjects) {
        return false;
    }
    // The nearest hit to the camera wins; the first of equal hits stays.
    const TPoint3D eye = ed_.Views.ActiveCamera()->AbsolutePosition();
    double best = 9999999999.0;
    bool any = false;
    bool ended = false;
    const auto tryCandidate = [&](TControl3D* drawn, TControl3D* candidate) {
        if (drawn == nullptr || !drawn->AbsoluteVisible()) {
            return true;
        }
        if (candidate == nullptr) {
            // A visible object without its drawn model ends the search with what was found.
            ended = true;
            return false;
        }
        const TPoint3D pos = candidate->AbsoluteToLocal3D(RayPos);
        const TPoint3D dir = candidate->AbsoluteToLocalDirection(RayDir);
        TPoint3D hit;
        if (!candidate->RayCastIntersect(pos, dir, hit)) {
            return true;
        }
        any = true;
        const double distance = hit.Distance(eye);
        if (distance < best) {
            best = distance;
            Hit = {hit, candidate, pos, dir};
        }
        return true;
    };
    for (TObjectKind* kind : ed_.Kinds.InOrder(TKindOrder::Snap)) {
        kind->ForEachSnapCandidate(tryCandidate);
        if (ended) {
            break;
        }
    }
    return any;
}

} // namespace vendrel
