#include "editor/kinds/mic_kind.h"

#include "acoustics/mic_point.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "editor/units.h"
#include "platform/core/context3d.h"

namespace vendrel {

namespace {

TMicPoint& micOf(TQzControl3D& Obj) {
    return static_cast<TMicPoint&>(Obj);
}
const TMicPoint& micOf(const TQzControl3D& Obj) {
    return static_cast<const TMicPoint&>(Obj);
}

} // namespace

TMicKind::TMicKind(TEditor& Editor) : TKindOf<TMicPoint>(Editor, "TMicPoint", " Mics") {
    Ranks = {6, 6, 6};
    Placement.Page = TMainPage::FreqRespTabItem;
    Mouse.StopWhilePasting = false;
    Mouse.ClickedOnEveryPress = true;
    Mouse.Popup = TPopupStep::BeforeAreaSelection;
    Mouse.Insertion = TInsertionStep::None;
    Mouse.DragStartOnEveryButton = true;
    Mouse.InsertionOnMove = false;
    Mouse.DragTestsLock = false;
    Mouse.MovingFlagBeforeMove = true;
}

TMicPoint* TMicKind::GetMicOfObject3D(const TObject* Drawn) const {
    if (Drawn == nullptr) {
        return nullptr;
    }
    for (const auto& mic : ed_.Project.Mics()) {
        if (mic->GraphicalObject == Drawn) {
            return mic.get();
        }
    }
    return nullptr;
}

void TMicKind::ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const {
    for (const auto& mic : ed_.Project.Mics()) {
        Visit(*mic);
    }
}

TQzControl3D* TMicKind::ObjectOf3D(const TObject* Drawn) const {
    return GetMicOfObject3D(Drawn);
}

void TMicKind::SetSelected(TQzControl3D& Obj, bool Selected) const {
    Obj.SetIsObjectSelected(Selected);
    if (auto* panel = PanelOf<IObjectPanel>(Obj)) {
        panel->ShowSelected(Selected);
    }
}

TBoundingBox TMicKind::Bounds(const TQzControl3D& Obj) const {
    return Obj.GraphicalObject != nullptr ? Obj.GraphicalObject->GlobalBounds() : TBoundingBox{};
}

void TMicKind::Place(TQzControl3D& Obj) {
    ed_.Points.PlaceMarker(micOf(Obj));
}

void TMicKind::Appearance(TQzControl3D& Obj) {
    ed_.Points.ColorMarker(micOf(Obj));
}

void TMicKind::BeforeButtonStep(TQzControl3D& Obj) {
    ClickedMic = &micOf(Obj);
    if (!ed_.Points.ResponseDetached) {
        ed_.PanelSwitching.ShowPage(TMainPage::FreqRespTabItem);
    }
}

TPoint3D TMicKind::DragAnchor(const TQzControl3D&) const {
    return {0, 0, 0};
}

TPoint3D TMicKind::DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target, const TPoint3D&) const {
    const TControl3D* cone = Obj.GraphicalObject;
    if (cone == nullptr) {
        return {0, 0, 0};
    }
    const TPoint3D m = cone->Position();
    return Target - TPoint3D(m.X, m.Y + 0.5f * cone->Height(), m.Z);
}

bool TMicKind::IsMoving(const TQzControl3D& Obj) const {
    return micOf(Obj).IsMovingOBJ3D();
}

void TMicKind::SetMoving(TQzControl3D& Obj, bool Moving) {
    micOf(Obj).SetIsMovingOBJ3D(Moving);
}

void TMicKind::AfterDragMove(TQzControl3D& Obj) {
    ClickedMic = &micOf(Obj);
    ed_.Points.MicDragged(micOf(Obj));
}

void TMicKind::Released(TQzControl3D* Obj) {
    if (Obj != nullptr) {
        ClickedMic = &micOf(*Obj);
    }
}

void TMicKind::Render(TControl3D* Sender, TContext3D& Context) {
    const TMicPoint* mic = GetMicOfObject3D(Sender);
    if (mic == nullptr || !mic->IsObjectSelected() || mic->MyLayer() == nullptr) {
        return;
    }
    Context.DrawCube({0, 0, 0}, {1.01f, 1.01f, 1.01f}, 1.0f, mic->MyLayer()->Color);
}

void TMicKind::WriteBack(TQzControl3D& Obj) {
    TMicPoint& mic = micOf(Obj);
    const TControl3D* cone = mic.GraphicalObject;
    if (cone == nullptr) {
        return;
    }
    // The position as the row shows it ("0.000", the height negated) and reads it back.
    const double u = ed_.State.Units.LengthUnits;
    const TPoint3D m = cone->Position();
    const double h = cone->Height() * 0.5;
    const TPoint3D p(static_cast<float>(ShownAndReadBack(m.X, u, "0.000")),
                     static_cast<float>(-ShownAndReadBack(-m.Y - h, u, "0.000")),
                     static_cast<float>(ShownAndReadBack(m.Z, u, "0.000")));
    if (p == mic.Position()) {
        // Written during the drag without a computation: it starts now.
        mic.SetMicState(TCalcState::qzaNeedsCalculate);
    } else {
        mic.SetPosition(p);
    }
    ed_.Objects.RefreshPanel(mic);
}

void TMicKind::MoveBy(TQzControl3D& Obj, const TPoint3D& D) {
    Obj.SetPosition(Obj.Position() + D);
    Place(Obj);
    ed_.Objects.RefreshPanel(Obj);
}

void TMicKind::MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) {
    const TPoint3D rc = Obj.RotationCenter();
    const TPoint3D a = M.Turned(Obj.Position() - M.Centre + rc);
    Obj.SetPosition(a + M.Offset + M.Centre - rc);
    Place(Obj);
    ed_.Objects.RefreshPanel(Obj);
}

void TMicKind::Remove(TQzControl3D& Obj) {
    TMicPoint* mic = &micOf(Obj);
    if (ClickedMic == mic) {
        ClickedMic = nullptr;
    }
    ed_.Points.RemoveMic(mic);
}

} // namespace vendrel
