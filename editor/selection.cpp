#include "editor/selection.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "scene/extruded_shape.h"

#include <algorithm>
#include <typeinfo>

namespace vendrel {

namespace {

constexpr float kEmptyExtent = 0.0001f;

bool isEmpty(const TBoundingBox& b) {
    return b.Width() < kEmptyExtent && b.Height() < kEmptyExtent && b.Depth() < kEmptyExtent;
}

template <typename T> bool isExactly(const TObject* o) {
    return o != nullptr && typeid(*o) == typeid(T);
}

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

// The solid of a zone: the first child of the first child of its drawn object.
TQzExtrudedShape3D* zoneSolid(const TMappingZone& zone) {
    return dynamic_cast<TQzExtrudedShape3D*>(firstChild(firstChild(zone.GraphicalObject)));
}

} // namespace

bool IsPointInBox(const TBoundingBox& Box, const TPoint3D& P) {
    return Box.Min.X <= P.X && P.X < Box.Max.X && Box.Min.Y <= P.Y && P.Y < Box.Max.Y && Box.Min.Z <= P.Z &&
           P.Z < Box.Max.Z;
}

TBoundingBox UnionBoxes(const TBoundingBox& A, const TBoundingBox& B) {
    if (isEmpty(A)) {
        return B;
    }
    if (isEmpty(B)) {
        return A;
    }
    return A.Include(B.Min).Include(B.Max);
}

TSelection::TSelection(TEditor& Editor) : ed_(Editor) {
    for (TUIAction* a : {&DeleteAction, &DuplicateOffsetAction, &DuplicateSymXAction, &DuplicateSymYAction,
                         &ApplyOfssetAction, &OnCabinetsAction, &OffCabinetsAction}) {
        a->SetEnabled(false);
    }
}

void TSelection::UnSelectAllObjects() {
    ed_.State.SelectedObjList.Clear();
    for (TObjectKind* kind : ed_.Kinds.All()) {
        kind->ForEachObject([kind](TQzControl3D& obj) { kind->SetSelected(obj, false); });
    }
    UpdateAllSelection();
    ed_.Points.ShowDistribution();
}

void TSelection::update(int StartIndex) {
    if (!ed_.State.IsSelectionChanged) {
        return;
    }
    ShowSelectionOptionsMenu(StartIndex);
    CalcSelectionBounding(StartIndex);
    ShowSelectionForEdition(StartIndex);
}

void TSelection::UpdateAllSelection() {
    update(0);
}

void TSelection::UpdateLastSelection() {
    update(ed_.State.SelectedObjList.Count() - 1);
}

void TSelection::ShowSelectionOptionsMenu(int StartID) {
    ed_.PanelSwitching.ShowSelectionOptionsMenu(StartID);
}

void TSelection::ShowSelectionForEdition(int StartID) {
    ed_.PanelSwitching.ShowSelectionForEdition(StartID);
}

void TSelection::CountSelectedByKind(int StartIndex) {
    TEditorState& st = ed_.State;
    if (StartIndex == 0 || StartIndex == -1) {
        for (TObjectKind* kind : ed_.Kinds.All()) {
            kind->State.NSelected = 0;
        }
    }
    if (StartIndex == -1) {
        return;
    }
    bool zones = false;
    for (int i = std::max(StartIndex, 0); i < st.SelectedObjList.Count(); ++i) {
        if (TObjectKind* kind = ed_.Kinds.KindOf(st.SelectedObjList.Items(i))) {
            ++kind->State.NSelected;
            zones = zones || dynamic_cast<TMappingZone*>(st.SelectedObjList.Items(i)) != nullptr;
        }
    }
    // The distribution counts the selected zones: one drawing however many were counted.
    if (zones) {
        ed_.Points.ShowDistribution();
    }
}

void TSelection::EnableSelectionActions(bool Enabled) {
    for (TUIAction* a : {&DeleteAction, &DuplicateOffsetAction, &DuplicateSymXAction, &DuplicateSymYAction}) {
        a->SetEnabled(Enabled);
    }
    ed_.Layers.CreateAndAssignLayerAction.SetEnabled(Enabled);
    for (TUIAction* a : {&ApplyOfssetAction, &OnCabinetsAction, &OffCabinetsAction}) {
        a->SetEnabled(Enabled);
    }
}

TBoundingBox TSelection::BoundsOf(const TObject* Obj) const {
    const auto* obj = dynamic_cast<const TQzControl3D*>(Obj);
    const TObjectKind* kind = ed_.Kinds.KindOf(Obj);
    return obj != nullptr && kind != nullptr ? kind->Bounds(*obj) : TBoundingBox{};
}

void TSelection::CalcSelectionBounding(int StartID) {
    TEditorState& st = ed_.State;
    const int count = st.SelectedObjList.Count();
    if (count == 0 && StartID == -1) {
        st.SelectionBounding = {};
        return;
    }
    if (count > 0 && StartID == 0) {
        st.SelectionBounding = {};
    }
    for (int i = std::max(StartID, 0); i < count; ++i) {
        st.SelectionBounding = UnionBoxes(st.SelectionBounding, BoundsOf(st.SelectedObjList.Items(i)));
    }
    ed_.Views.SetRotationCenter();
}

void TSelection::SetHighLight(TQzControl3D* Obj) {
    TEditorState& st = ed_.State;
    if (st.HighLightObj != nullptr) {
        if (st.HighLightObj == Obj) {
            return;
        }
        st.HighLightObj->SetIsHighLight(false);
    }
    st.HighLightObj = Obj;
    if (Obj != nullptr) {
        Obj->SetIsHighLight(true);
    }
    ed_.Repaint();
}

void TSelection::HighLightOFF() {
    TEditorState& st = ed_.State;
    if (st.HighLightObj != nullptr) {
        st.HighLightObj->SetIsHighLight(false);
        st.HighLightObj = nullptr;
    }
}

TCabinet* TSelection::FindCabinetOfObject3D(const TObject* Obj) const {
    if (Obj == nullptr) {
        return nullptr;
    }
    const TAcousticProject& p = ed_.Project;
    for (const auto& cabinet : p.Cabinets()) {
        if (firstChild(cabinet->GraphicalObject) == Obj) {
            return cabinet.get();
        }
    }
    for (const auto& array : p.CabArrays()) {
        for (TCabinet* cabinet : array->CabinetList()) {
            if (cabinet->GraphicalObject == Obj) {
                return cabinet;
            }
        }
    }
    const auto inGroup = [Obj](const TCluster& group) -> TCabinet* {
        for (TCabinet* cabinet : group.CabinetList()) {
            if (firstChild(cabinet->GraphicalObject) == Obj) {
                return cabinet;
            }
        }
        return nullptr;
    };
    for (const auto& cluster : p.Clusters()) {
        if (TCabinet* c = inGroup(*cluster)) {
            return c;
        }
    }
    for (const auto& beam : p.Beams()) {
        if (TCabinet* c = inGroup(*beam)) {
            return c;
        }
    }
    return nullptr;
}

TOrnament* TSelection::FindOrnamentOfObject3D(const TObject* Obj) const {
    if (Obj == nullptr) {
        return nullptr;
    }
    for (const auto& ornament : ed_.Project.Ornaments()) {
        if (firstChild(ornament->GraphicalObject) == Obj) {
            return ornament.get();
        }
    }
    return nullptr;
}

namespace {

template <typename T> T* tagObjectAs(const TObject* Obj) {
    const auto* component = dynamic_cast<const TComponent*>(Obj);
    if (component == nullptr || !isExactly<T>(component->TagObject)) {
        return nullptr;
    }
    return static_cast<T*>(component->TagObject);
}

} // namespace

TMappingZone* TSelection::GetZoneOfObject3D(const TObject* Obj) const {
    return tagObjectAs<TMappingZone>(Obj);
}

TCabArray* TSelection::GetArrayOfObject3D(const TObject* Obj) const {
    return tagObjectAs<TCabArray>(Obj);
}

TCluster* TSelection::GetClusterOfObject3D(const TObject* Obj) const {
    return tagObjectAs<TCluster>(Obj);
}

TBeamContainer* TSelection::GetBeamOfObject3D(const TObject* Obj) const {
    return tagObjectAs<TBeamContainer>(Obj);
}

void TSelection::SetCabinetsHitTest(bool Value) {
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        if (TControl3D* model = firstChild(cabinet->GraphicalObject)) {
            model->HitTest = Value;
        }
    }
}

void TSelection::SetCabinetsAutoCapture(bool Value) {
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        if (TControl3D* model = firstChild(cabinet->GraphicalObject)) {
            model->AutoCapture = Value;
        }
    }
}

void TSelection::SetZonesHitTest(bool Value) {
    for (const auto& zone : ed_.Project.MappingZones()) {
        if (TQzExtrudedShape3D* solid = zoneSolid(*zone)) {
            solid->HitTest = Value;
        }
    }
}

void TSelection::SetZonesAutoCapture(bool Value) {
    for (const auto& zone : ed_.Project.MappingZones()) {
        if (TQzExtrudedShape3D* solid = zoneSolid(*zone)) {
            solid->AutoCapture = Value;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Area selection

bool TSelection::IfSelectingArea(TObject*, TShiftState Shift, float, float) {
    TEditorState& st = ed_.State;
    if (!(Shift.Left && Shift.Ctrl && Shift.Shift) || st.IsInsertingAny() ||
        ed_.Project.ViewType() == TViewType::qzaThreeDView) {
        return false;
    }
    st.LeftMouseMode = TLeftMouseMode::lmmSelectArea;
    const TPoint3D p = ed_.Mouse.GetPosition3DFromMouse(st.theMouseDown.X, st.theMouseDown.Y) +
                       TPoint3D(0, 0, -900) * st.RotationView_Matrix;
    st.MouseSelectionBox.SetFirstPoint(p);
    st.MouseSelectionBox.SetSecondPoint(st.MouseSelectionBox.FirstPoint());
    return true;
}

void TSelection::SelectAreaOnMouseMove(TObject*, TShiftState Shift, float X, float Y) {
    TEditorState& st = ed_.State;
    if (st.LeftMouseMode != TLeftMouseMode::lmmSelectArea || !(Shift.Left && Shift.Ctrl && Shift.Shift)) {
        return;
    }
    if (ed_.Project.ViewType() != TViewType::qzaThreeDView) {
        st.MouseSelectionBox.SetSecondPoint(ed_.Mouse.GetPosition3DFromMouse(X, Y) +
                                            TPoint3D(0, 0, 900) * st.RotationView_Matrix);
    }
    SelectObjectsInArea(st.MouseSelectionBox.Bounding);
    ed_.Scene.LayoutDraw3D->Repaint();
}

void TSelection::SelectObjectsInArea(const TBoundingBox& Box) {
    TEditorState& st = ed_.State;
    for (TObjectKind* kind : ed_.Kinds.InOrder(TKindOrder::Area)) {
        kind->ForEachObject([&](TQzControl3D& obj) {
            if (!obj.Visible()) {
                return;
            }
            const bool inside = IsPointInBox(Box, kind->AreaPoint(obj));
            const bool listed = st.SelectedObjList.Contains(&obj);
            if (inside) {
                if (!listed) {
                    st.SelectedObjList.Add(&obj);
                }
                kind->SetSelected(obj, true);
                if (!listed) {
                    kind->AreaSelected(obj);
                }
            } else {
                st.SelectedObjList.Remove(&obj);
                kind->SetSelected(obj, false);
            }
            if (inside != listed && obj.GraphicalObject != nullptr) {
                obj.GraphicalObject->Repaint();
            }
        });
    }
    ed_.Repaint();
}

void TSelection::EndSelectingArea() {
    TEditorState& st = ed_.State;
    if (st.LeftMouseMode != TLeftMouseMode::lmmSelectArea) {
        return;
    }
    SelectObjectsInArea(st.MouseSelectionBox.Bounding);
    st.MouseSelectionBox.Bounding = {};
    ed_.Scene.LayoutDraw3D->Repaint();
    st.LeftMouseMode = TLeftMouseMode::lmmDefault;
}

} // namespace vendrel
