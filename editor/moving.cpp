#include "editor/moving.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/scopes.h"
#include "platform/core/camera.h"
#include "platform/core/message_box.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vendrel {

namespace {

// A zone's drawn object lies in the zones' frame: scene (x, y, z) is (x, -z, y) there, and a position
// read from it as (x, z, y) is in scene order up to the sign of its height.
TPoint3D fromZoneFrame(const TPoint3D& p) {
    return {p.X, p.Z, p.Y};
}

} // namespace

TMoving::TMoving(TEditor& Editor) : ed_(Editor) {
    MagneticMenuItem.Checkable = true;
    MagneticMenuItem.AutoCheck = true;
    MagneticMenuItem.SetChecked(true);
    MagneticMenuItem.OnExecute = [this] { MagneticMenuItemClick(); };
    MagneticObjectsB.Hint = "MAGNETIC objects MOVEMENT. When moving they will be stuck on the surface/object "
                            "with which they intersect.";
    MagneticObjectsB.Checkable = true;
    MagneticObjectsB.AutoCheck = true;
    MagneticObjectsB.SetChecked(true);
    MagneticObjectsB.OnExecute = [this] { MagneticObjectsBClick(); };
}

// ---------------------------------------------------------------------------------------------------
// Magnetic switches

void TMoving::MagneticMenuItemClick() {
    ed_.State.IsMagneticObjects = MagneticMenuItem.Checked();
    MagneticObjectsB.SetChecked(ed_.State.IsMagneticObjects);
}

void TMoving::MagneticObjectsBClick() {
    ed_.State.IsMagneticObjects = MagneticObjectsB.Checked();
    MagneticMenuItem.SetChecked(ed_.State.IsMagneticObjects);
}

void TMoving::ToggleMagnetic() {
    MagneticMenuItem.SetChecked(!MagneticMenuItem.Checked());
    MagneticObjectsB.SetChecked(MagneticMenuItem.Checked());
    ed_.State.IsMagneticObjects = MagneticMenuItem.Checked();
    // A drag under way continues under the new rule at once.
    ed_.ObjectMouse.RepeatLastDrag();
}

void TMoving::ShowMagnetic() {
    MagneticMenuItem.SetChecked(ed_.State.IsMagneticObjects);
    MagneticObjectsB.SetChecked(ed_.State.IsMagneticObjects);
}

// ---------------------------------------------------------------------------------------------------
// The drag

TPoint3D TMoving::dragPoint(const TVector3D& RayPos, const TVector3D& RayDir, bool ZoneFrame) const {
    // The ray's direction scaled by the distance of its origin, restricted to the axes the view may
    // move: only differences of drag points matter, so the object follows the mouse over a sphere about
    // the camera.
    const TPoint3D& m = ed_.State.MoveMask;
    const double l = std::sqrt(double(RayPos.X) * RayPos.X + double(RayPos.Y) * RayPos.Y +
                               double(RayPos.Z) * RayPos.Z + double(RayPos.W) * RayPos.W);
    const double dz = ZoneFrame ? -RayDir.Z : RayDir.Z;
    double gx = RayDir.X * l * m.X;
    double gy = RayDir.Y * l * m.Y;
    double gz = dz * l * m.Z;
    const double gw = RayDir.W * l;
    if (std::fabs(gw) >= 0.0001) {
        gx /= gw;
        gy /= gw;
        gz /= gw;
    }
    return {static_cast<float>(gx), static_cast<float>(gy), static_cast<float>(gz)};
}

void TMoving::BeginDragSelection(const TVector3D& RayPos, const TVector3D& RayDir) {
    offsets_.clear();
    for (TObject* o : ed_.State.SelectedObjList) {
        auto* obj = dynamic_cast<TQzControl3D*>(o);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        TControl3D* drawn = kind != nullptr && obj != nullptr ? kind->DrawnObject(*obj) : nullptr;
        if (drawn == nullptr) {
            continue;
        }
        const bool zone = kind->Frame == TDrawnFrame::ZoneFrame;
        const TPoint3D p = zone ? fromZoneFrame(drawn->Position()) : drawn->Position();
        offsets_[obj] = p - dragPoint(RayPos, RayDir, zone);
    }
}

void TMoving::BeginDragFromCamera() {
    TEditorState& st = ed_.State;
    const TCamera* camera = ed_.Views.ActiveCamera();
    const TPoint3D eye = camera->AbsolutePosition();
    TPoint3D towards = st.SelectionBounding.Center() - eye;
    const float length = std::sqrt(towards.X * towards.X + towards.Y * towards.Y + towards.Z * towards.Z);
    if (length > 0) {
        towards = towards / length;
    }
    st.MouseDownRayPosAbs = {eye.X, eye.Y, eye.Z, st.MouseDownRayPosAbs.W};
    st.MouseDownRayDirAbs = {towards.X, towards.Y, towards.Z, st.MouseDownRayDirAbs.W};
    BeginDragSelection(st.MouseDownRayPosAbs, st.MouseDownRayDirAbs);
}

void TMoving::MoveSelectionOnPlane(const TVector3D& RayPos, const TVector3D& RayDir) {
    for (TObject* o : ed_.State.SelectedObjList) {
        auto* obj = dynamic_cast<TQzControl3D*>(o);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        TControl3D* drawn = kind != nullptr && obj != nullptr ? kind->DrawnObject(*obj) : nullptr;
        const auto offset = offsets_.find(obj);
        if (drawn == nullptr || offset == offsets_.end() || TRemoval::IsProtected(*obj)) {
            continue;
        }
        const bool zone = kind->Frame == TDrawnFrame::ZoneFrame;
        const TPoint3D a = offset->second + dragPoint(RayPos, RayDir, zone);
        drawn->SetPosition(zone ? fromZoneFrame(a) : a);
    }
}

void TMoving::MoveSelectionByDelta(const TPoint3D& D) {
    for (TObject* o : ed_.State.SelectedObjList) {
        auto* obj = dynamic_cast<TQzControl3D*>(o);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        TControl3D* drawn = kind != nullptr && obj != nullptr ? kind->DrawnObject(*obj) : nullptr;
        if (drawn == nullptr || (kind->Mouse.DragTestsLock && TRemoval::IsProtected(*obj))) {
            continue;
        }
        // No rounding and no step: the drawing follows the mouse exactly.
        const TPoint3D d = kind->Frame == TDrawnFrame::ZoneFrame ? TPoint3D(D.X, -D.Z, D.Y) : D;
        drawn->SetPosition(drawn->Position() + d);
    }
}

void TMoving::UpdateFramesAfterMove(bool Moved) {
    if (!Moved) {
        return;
    }
    for (TObject* o : std::vector<TObject*>(ed_.State.SelectedObjList.Raw())) {
        auto* obj = dynamic_cast<TQzControl3D*>(o);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        if (obj != nullptr && kind != nullptr && kind->DrawnObject(*obj) != nullptr) {
            kind->WriteBack(*obj);
        }
    }
    ed_.Project.RecalcHitPoints();
}

void TMoving::Forget(const TObject* Obj) {
    offsets_.erase(dynamic_cast<const TQzControl3D*>(Obj));
}

// ---------------------------------------------------------------------------------------------------
// The arrow keys

TPoint3D TMoving::ArrowDisplacement(TArrowKey Key) const {
    // "Pos" names its steps in the shown unit: a step of 1 with feet shown is a foot.
    const auto s = static_cast<float>(ed_.State.GlobalPosSteps / ed_.State.Units.LengthUnits);
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaSideView:
        switch (Key) {
        case TArrowKey::Left:
            return {-s, 0, 0};
        case TArrowKey::Up:
            return {0, -s, 0};
        case TArrowKey::Right:
            return {s, 0, 0};
        case TArrowKey::Down:
            return {0, s, 0};
        }
        break;
    case TViewType::qzaTopView:
        switch (Key) {
        case TArrowKey::Left:
            return {-s, 0, 0};
        case TArrowKey::Up:
            return {0, 0, s};
        case TArrowKey::Right:
            return {s, 0, 0};
        case TArrowKey::Down:
            return {0, 0, -s};
        }
        break;
    case TViewType::qzaFrontView:
        switch (Key) {
        case TArrowKey::Left:
            return {0, 0, -s};
        case TArrowKey::Up:
            return {0, -s, 0};
        case TArrowKey::Right:
            return {0, 0, s};
        case TArrowKey::Down:
            return {0, s, 0};
        }
        break;
    case TViewType::qzaThreeDView:
        break;
    }
    return {0, 0, 0};
}

void TMoving::ArrowKeyMove(TArrowKey Key) {
    TEditorState& st = ed_.State;
    const std::vector<TObject*> selection = st.SelectedObjList.Raw();
    int locked = 0;
    for (TObject* o : selection) {
        if (const auto* obj = dynamic_cast<const TQzControl3D*>(o); obj != nullptr && obj->IsLocked()) {
            ++locked;
        }
    }
    if (locked > 0) {
        MessageBoxService().ShowMessage("There are " + std::to_string(locked) +
                                        " objects Locked.  Cannot be moved");
        return;
    }
    const TPoint3D d = ArrowDisplacement(Key);
    {
        const THitPointsHeld held(ed_.Project);
        for (TObject* o : selection) {
            auto* obj = dynamic_cast<TQzControl3D*>(o);
            if (TObjectKind* kind = ed_.Kinds.KindOf(o); kind != nullptr && obj != nullptr) {
                kind->MoveBy(*obj, d);
            }
        }
    }
    ed_.Project.RecalcHitPoints();
    ed_.Repaint();
}

// ---------------------------------------------------------------------------------------------------
// Typed offsets

void TMoving::MoveAndRotate(const std::vector<TObject*>& Objects, const TPoint3D& Offset,
                            const TPoint3D& Rotation) {
    const auto small = [](const TPoint3D& p) {
        return std::fabs(p.X) <= 0.0001f && std::fabs(p.Y) <= 0.0001f && std::fabs(p.Z) <= 0.0001f;
    };
    if (small(Offset) && small(Rotation)) {
        return;
    }
    // The centre of the objects' positions, taken once before anything moves.
    bool first = true;
    TBoundingBox box;
    for (TObject* o : Objects) {
        const auto* obj = dynamic_cast<const TQzControl3D*>(o);
        if (obj == nullptr || ed_.Kinds.KindOf(o) == nullptr) {
            continue;
        }
        box =
            first ? TBoundingBox::FromPoints(obj->Position(), obj->Position()) : box.Include(obj->Position());
        first = false;
    }
    if (first) {
        return;
    }
    const TMoveAndRotate m{Offset, Rotation, box.Center()};
    for (TObject* o : Objects) {
        auto* obj = dynamic_cast<TQzControl3D*>(o);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        if (obj == nullptr || kind == nullptr || obj->IsLocked()) {
            continue;
        }
        kind->MoveAndRotate(*obj, m);
    }
    ed_.Project.RecalcHitPoints();
    ed_.Repaint();
}

void TMoving::ApplyOfssetActionExecute() {
    if (ed_.View != nullptr) {
        ed_.View->ShowOffsetsDialog(TOffsetsMode::MoveAndRotate);
    }
}

} // namespace vendrel
