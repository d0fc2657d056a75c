#include "editor/selection.h"

#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
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

void setZoneSelected(TMappingZone& zone, bool selected) {
    zone.SetIsObjectSelected(selected);
    if (TQzExtrudedShape3D* solid = zoneSolid(zone)) {
        solid->SetIsSelected(selected);
    }
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
    TEditorState& st = ed_.State;
    st.SelectedObjList.Clear();
    for (const auto& cabinet : ed_.Project.Cabinets) {
        cabinet->SetIsObjectSelected(false);
    }
    for (const auto& zone : ed_.Project.MappingZones) {
        setZoneSelected(*zone, false);
    }
    UpdateAllSelection();
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
    TEditorState& st = ed_.State;
    CountSelectedByKind(StartID);
    EnableSelectionActions(!st.SelectedObjList.IsEmpty());
    ed_.Layers.SelectionChanged();
    st.IsSelectionChanged = false;
}

void TSelection::ShowSelectionForEdition(int) {
    // The panels of the selection come with the object panels.
    ed_.State.IsSelectionChanged = false;
}

void TSelection::CountSelectedByKind(int StartIndex) {
    TEditorState& st = ed_.State;
    if (StartIndex == 0 || StartIndex == -1) {
        st.NCabinetsSelected = 0;
        st.NArraysSelected = 0;
        st.NZonesSelected = 0;
        st.NOrnasSelected = 0;
        st.NClustersSelected = 0;
        st.NBeamsSelected = 0;
        st.NMicsSelected = 0;
    }
    if (StartIndex == -1) {
        return;
    }
    for (int i = std::max(StartIndex, 0); i < st.SelectedObjList.Count(); ++i) {
        const TObject* o = st.SelectedObjList.Items(i);
        if (isExactly<TMappingZone>(o)) {
            ++st.NZonesSelected;
        } else if (isExactly<TCabinet>(o)) {
            ++st.NCabinetsSelected;
        }
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
    if (const auto* cabinet = dynamic_cast<const TCabinet*>(Obj);
        cabinet != nullptr && isExactly<TCabinet>(Obj)) {
        if (const TControl3D* model = firstChild(cabinet->GraphicalObject)) {
            return model->GlobalBounds();
        }
        return {};
    }
    if (const auto* zone = dynamic_cast<const TMappingZone*>(Obj);
        zone != nullptr && isExactly<TMappingZone>(Obj)) {
        if (const TQzExtrudedShape3D* solid = zoneSolid(*zone)) {
            return solid->GlobalBounds();
        }
        return {};
    }
    return {};
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
    for (const auto& cabinet : ed_.Project.Cabinets) {
        if (firstChild(cabinet->GraphicalObject) == Obj) {
            return cabinet.get();
        }
    }
    return nullptr;
}

TMappingZone* TSelection::GetZoneOfObject3D(const TObject* Obj) const {
    const auto* component = dynamic_cast<const TComponent*>(Obj);
    return component != nullptr ? dynamic_cast<TMappingZone*>(component->TagObject) : nullptr;
}

void TSelection::SetCabinetsHitTest(bool Value) {
    for (const auto& cabinet : ed_.Project.Cabinets) {
        if (TControl3D* model = firstChild(cabinet->GraphicalObject)) {
            model->HitTest = Value;
        }
    }
}

void TSelection::SetCabinetsAutoCapture(bool Value) {
    for (const auto& cabinet : ed_.Project.Cabinets) {
        if (TControl3D* model = firstChild(cabinet->GraphicalObject)) {
            model->AutoCapture = Value;
        }
    }
}

void TSelection::SetZonesHitTest(bool Value) {
    for (const auto& zone : ed_.Project.MappingZones) {
        if (TQzExtrudedShape3D* solid = zoneSolid(*zone)) {
            solid->HitTest = Value;
        }
    }
}

void TSelection::SetZonesAutoCapture(bool Value) {
    for (const auto& zone : ed_.Project.MappingZones) {
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
    for (const auto& c : ed_.Project.Cabinets) {
        TCabinet& cabinet = *c;
        if (!cabinet.Visible()) {
            continue;
        }
        const bool inside = IsPointInBox(Box, cabinet.Position());
        const bool listed = st.SelectedObjList.Contains(&cabinet);
        if (inside && !listed) {
            st.SelectedObjList.Add(&cabinet);
            cabinet.SetIsObjectSelected(true);
        } else if (!inside) {
            st.SelectedObjList.Remove(&cabinet);
            cabinet.SetIsObjectSelected(false);
        }
        if (inside != listed && cabinet.GraphicalObject != nullptr) {
            cabinet.GraphicalObject->Repaint();
        }
    }
    for (const auto& z : ed_.Project.MappingZones) {
        TMappingZone& zone = *z;
        if (!zone.Visible()) {
            continue;
        }
        const TPoint3D p = zone.Position();
        const bool inside = IsPointInBox(Box, {p.X, -p.Y, p.Z});
        if (inside) {
            if (!st.SelectedObjList.Contains(&zone)) {
                st.SelectedObjList.Add(&zone);
            }
            setZoneSelected(zone, true);
        } else {
            st.SelectedObjList.Remove(&zone);
            setZoneSelected(zone, false);
        }
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
