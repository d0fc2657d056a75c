#include "editor/object_kind.h"

#include "editor/editor.h"
#include "platform/core/node3d.h"
#include "scene/scene_object.h"

namespace vendrel {

TPoint3D TMoveAndRotate::Turned(const TPoint3D& Relative) const {
    // A pivot at the scene origin turned by the offsets, its child at the point: the child's place in
    // the scene is the point turned as any scene node turns its children.
    TDummy pivot;
    pivot.SetRotationAngle(Rotation);
    auto* child = new TDummy(&pivot);
    child->SetParent(&pivot);
    child->SetPosition(Relative);
    return child->AbsolutePosition();
}

TObjectKind::TObjectKind(TEditor& Editor, const std::type_info& Class, std::string ClassName,
                         std::string StatusWord)
    : ed_(Editor), class_(Class), className_(std::move(ClassName)), statusWord_(std::move(StatusWord)) {}

bool TObjectKind::IsKindOf(const TObject* Obj) const {
    return Obj != nullptr && typeid(*Obj) == class_;
}

TObjectKind::~TObjectKind() = default;

int TObjectKind::Rank(TKindOrder Order) const {
    switch (Order) {
    case TKindOrder::Status:
        return Ranks.Status;
    case TKindOrder::Area:
        return Ranks.Area;
    case TKindOrder::Snap:
        return Ranks.Snap;
    }
    return Ranks.Status;
}

void TObjectKind::SetSelected(TQzControl3D& Obj, bool Selected) const {
    Obj.SetIsObjectSelected(Selected);
}

TBoundingBox TObjectKind::Bounds(const TQzControl3D&) const {
    return {};
}

TPoint3D TObjectKind::AreaPoint(const TQzControl3D& Obj) const {
    return Obj.Position();
}

TPoint3D TObjectKind::DragAnchor(const TQzControl3D& Obj) const {
    return Obj.RotationCenter();
}

TPoint3D TObjectKind::DragTarget(const TQzControl3D& Obj, const TPoint3D& Plane) const {
    const TEditorState& st = ed_.State;
    return Plane.Scale(st.MoveMask) + Obj.Position().Scale(st.InvMoveMask);
}

TPoint3D TObjectKind::DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target,
                                       const TPoint3D& Anchor) const {
    const TControl3D* drawn = DrawnObject(Obj);
    const TPoint3D g = drawn != nullptr ? drawn->Position() : Obj.Position();
    return Target - (g + Anchor);
}

void TObjectKind::Renamed(TQzControl3D& Obj) {
    TPanelSwitching& ps = ed_.PanelSwitching;
    TUITabs* tabs = Placement.Tabbed ? ps.TabsOf(Placement.Page) : nullptr;
    const int tab = tabs != nullptr ? tabs->IndexOfObject(&Obj) : -1;
    if (tab < 0) {
        return;
    }
    tabs->SetText(tab, TabText(Obj));
    if (Placement.InVenueList) {
        for (int i = 0; i < ps.ZonesListBox.Count(); ++i) {
            if (ps.ZonesListBox.Items(i).Tag == tab) {
                ps.ZonesListBox.SetText(i, TabText(Obj));
            }
        }
    }
}

TControl3D* TObjectKind::DrawnObject(const TQzControl3D& Obj) const {
    return Obj.GraphicalObject;
}

} // namespace vendrel
