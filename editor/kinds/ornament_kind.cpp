#include "editor/kinds/ornament_kind.h"

#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "editor/units.h"
#include "files/library_scan.h"
#include "platform/core/context3d.h"
#include "platform/core/mesh.h"

#include <algorithm>

namespace vendrel {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

TAlphaColor layerColor(const TQzControl3D& obj) {
    return obj.MyLayer() != nullptr ? obj.MyLayer()->Color : kWhite;
}

TOrnament& ornamentOf(TQzControl3D& Obj) {
    return static_cast<TOrnament&>(Obj);
}
const TOrnament& ornamentOf(const TQzControl3D& Obj) {
    return static_cast<const TOrnament&>(Obj);
}

// The ornament's position as its panel shows it ("0.000", the height negated) and reads it back.
TPoint3D asShown(const TPoint3D& p, double Units) {
    return {static_cast<float>(ShownAndReadBack(p.X, Units, "0.000")),
            static_cast<float>(-ShownAndReadBack(-p.Y, Units, "0.000")),
            static_cast<float>(ShownAndReadBack(p.Z, Units, "0.000"))};
}

} // namespace

TOrnamentKind::TOrnamentKind(TEditor& Editor) : TKindOf<TOrnament>(Editor, "TOrnament", " Ornaments") {
    Placement.Page = TMainPage::VenueAndZonesTabItem;
    Placement.Tabbed = true;
    Placement.InVenueList = true;
    Ranks = {3, 3, 2};
    Mouse.Popup = TPopupStep::BeforeInsertion;
    Mouse.Insertion = TInsertionStep::AfterPopup;
    Mouse.MovingFlagBeforeMove = true;
}

void TOrnamentKind::ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const {
    for (const auto& ornament : ed_.Project.Ornaments()) {
        Visit(*ornament);
    }
}

TQzControl3D* TOrnamentKind::ObjectOf3D(const TObject* Drawn) const {
    const auto* component = dynamic_cast<const TComponent*>(Drawn);
    return component != nullptr ? Cast(component->TagObject) : nullptr;
}

TModel3D* TOrnamentKind::OrnamentModel3D(const TOrnament& Ornament) {
    return dynamic_cast<TModel3D*>(firstChild(Ornament.GraphicalObject));
}

TBoundingBox TOrnamentKind::Bounds(const TQzControl3D& Obj) const {
    if (const TModel3D* model = OrnamentModel3D(ornamentOf(Obj))) {
        return model->GlobalBounds();
    }
    return {};
}

std::string TOrnamentKind::TabText(const TQzControl3D& Obj) const {
    const auto& list = ed_.Project.Ornaments();
    const auto at = std::find_if(list.begin(), list.end(), [&](const auto& o) { return o.get() == &Obj; });
    return "Orna " + std::to_string(at - list.begin() + 1) + ": " + ornamentOf(Obj).Name();
}

void TOrnamentKind::Renamed(TQzControl3D& Obj) {
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.IndexOfObject(&Obj);
    if (tab >= 0) {
        tabs.SetText(tab, ornamentOf(Obj).Name());
    }
}

// ---------------------------------------------------------------------------------------------------
// Building, following, removing

void TOrnamentKind::AddInterfaceAndObjectsToOrna(TOrnament* TheOrna, const TModel3D* LibraryModel) {
    if (TheOrna == nullptr) {
        return;
    }
    TOrnament& ornament = *TheOrna;

    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.Add(TabText(ornament), &ornament);
    tabs.SetTabIndex(tab);
    ornament.Tag = tab;

    TViewport3D& viewport = *ed_.Scene.Viewport3D1;
    const auto k = static_cast<size_t>(ed_.Project.NOrnaments() - 1);
    Obj3DOrnaContainer.resize(k + 1, nullptr);
    auto* holder = new TDummy(&viewport);
    Obj3DOrnaContainer[k] = holder;
    holder->SetParent(&viewport);
    holder->TagObject = &ornament;
    holder->HitTest = false;
    auto* model = new TModel3D(holder); // freed with the holder
    model->SetParent(holder);
    model->ZWrite = true;
    model->CanFocus = true;
    model->TagObject = &ornament;
    ornament.GraphicalObject = holder;

    if (LibraryModel != nullptr && LibraryModel->MeshCount() > 0) {
        model->SetScale(LibraryModel->Scale());
        model->SetWrapMode(LibraryModel->WrapMode());
        TSceneObjects::CopyMeshCollection(*LibraryModel, *model);
        const TOrnaModel* m = ornament.Model();
        if (ed_.Library != nullptr && m != nullptr && m->ModelID() >= 0 &&
            static_cast<size_t>(m->ModelID()) < ed_.Library->FOrnamentsMaterials.size()) {
            if (TLightMaterialSource* material =
                    ed_.Library->FOrnamentsMaterials[static_cast<size_t>(m->ModelID())].get()) {
                model->SetAllMaterials(material);
            }
        }
    } else {
        // No mesh to show: a box of the ornament's size stands for it.
        model->SetWrapMode(TMeshWrapMode::wmStretch);
        model->AddMesh(UnitCubeMesh());
        model->SetAllMaterials(ed_.Objects.BoxMaterial.get());
    }
    model->SetVisible(true);
    model->HitTest = true;
    model->AutoCapture = true;
    ed_.ObjectMouse.Bind(*model, *this);
    Place(ornament);
    ed_.Objects.AttachPanel(*this, ornament, "OrnamentFrame" + std::to_string(ed_.Project.UniqueID()), tab);
}

void TOrnamentKind::Place(TQzControl3D& Obj) {
    TOrnament& ornament = ornamentOf(Obj);
    TControl3D* holder = ornament.GraphicalObject;
    TModel3D* model = OrnamentModel3D(ornament);
    if (holder == nullptr || model == nullptr) {
        return;
    }
    model->SetWidth(ornament.Width());
    model->SetHeight(ornament.Height());
    model->SetDepth(ornament.Depth());
    const TPoint3D r = ornament.RotationAngle();
    holder->SetRotationAngle({0, 0, 0});
    model->SetRotationAngle({0, 0, 0});
    model->SetRotationAngle({r.X, -r.Y, -r.Z});
    holder->SetPosition(ornament.Position());
    holder->SetRotationCenter(ornament.RotationCenter());
    model->SetRotationCenter(ornament.RotationCenter());
}

void TOrnamentKind::RemoveOrnament(TOrnament* Ornament) {
    if (Ornament == nullptr) {
        return;
    }
    ed_.Removal.ForgetObject(Ornament);
    if (TControl3D* holder = Ornament->GraphicalObject) {
        holder->OnRender = nullptr;
        if (TControl3D* model = firstChild(holder)) {
            model->OnRender = nullptr;
        }
        std::erase(Obj3DOrnaContainer, holder);
        Ornament->GraphicalObject = nullptr;
        delete holder; // with the model it holds
    }
    ed_.Objects.FreePanel(*Ornament);
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.IndexOfObject(Ornament);
    if (tab >= 0) {
        tabs.Delete(tab);
    }
    ed_.Project.RemoveOrnament(Ornament);
    ed_.PanelSwitching.SortVenueTabs();
    ed_.Repaint();
}

void TOrnamentKind::Remove(TQzControl3D& Obj) {
    RemoveOrnament(&ornamentOf(Obj));
}

// ---------------------------------------------------------------------------------------------------
// Press, drag, overlays

void TOrnamentKind::BeforeButtonStep(TQzControl3D&) {
    if (ed_.View != nullptr) {
        ed_.View->FocusViewport();
    }
}

bool TOrnamentKind::SelectionStepBlocked() const {
    // A press on an ornament while ornaments are placed selects it and places one more.
    const TEditorState& st = ed_.State;
    return st.InsertInMousePos_Mic || st.InsertInMousePos_Cabinet || st.InsertInMousePos_SurfacePoint;
}

void TOrnamentKind::Reselected(TQzControl3D&) {
    ed_.PanelSwitching.ListSelectedVenueObjects();
}

TPoint3D TOrnamentKind::DragAnchor(const TQzControl3D& Obj) const {
    const TOrnaModel* model = ornamentOf(Obj).Model();
    return model != nullptr ? model->OriginCenter() : TPoint3D();
}

bool TOrnamentKind::IsMoving(const TQzControl3D& Obj) const {
    return ornamentOf(Obj).IsMovingOBJ3D();
}

void TOrnamentKind::SetMoving(TQzControl3D& Obj, bool Moving) {
    ornamentOf(Obj).SetIsMovingOBJ3D(Moving);
}

void TOrnamentKind::Render(TControl3D* Sender, TContext3D& Context) {
    const TOrnament* ornament = Cast(ObjectOf3D(Sender));
    if (ornament == nullptr) {
        return;
    }
    const TPoint3D size(Sender->Width(), Sender->Height(), Sender->Depth());
    if (ornament->IsObjectSelected() && ornament->MyLayer() != nullptr) {
        Context.DrawCube({0, 0, 0}, size * 1.01f, 1.0f, layerColor(*ornament));
        Context.FillCube(Sender->RotationCenter(), ed_.ObjectMouse.RotationPointSize, 0.8f, kWhite);
    }
    if (ornament->IsHighLight()) {
        Context.FillCube({0, 0, 0}, size + TPoint3D(0.1f, 0.1f, 0.1f), 0.5f, layerColor(*ornament));
    }
}

void TOrnamentKind::ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>& Visit) const {
    for (const auto& ornament : ed_.Project.Ornaments()) {
        if (!ornament->IsObjectSelected() && !Visit(ornament->GraphicalObject, OrnamentModel3D(*ornament))) {
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Moves

void TOrnamentKind::WriteBack(TQzControl3D& Obj) {
    const TControl3D* holder = Obj.GraphicalObject;
    if (holder == nullptr) {
        return;
    }
    Obj.SetPosition(asShown(holder->Position(), ed_.State.Units.LengthUnits));
    ed_.Objects.RefreshPanel(Obj);
}

void TOrnamentKind::MoveBy(TQzControl3D& Obj, const TPoint3D& D) {
    Obj.SetPosition(Obj.Position() + D);
    if (Obj.GraphicalObject != nullptr) {
        Obj.GraphicalObject->SetPosition(Obj.Position());
    }
    ed_.Objects.RefreshPanel(Obj);
}

void TOrnamentKind::MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) {
    // About its rotation centre; the Y angle falls as the scene's Y turn rises.
    const TPoint3D r = Obj.RotationAngle();
    const TPoint3D rc = Obj.RotationCenter();
    const TPoint3D a = M.Turned(Obj.Position() - M.Centre + rc);
    Obj.SetPosition(a + M.Offset + M.Centre - rc);
    Obj.SetRotationAngle({r.X + M.Rotation.X, r.Y - M.Rotation.Y, r.Z + M.Rotation.Z});
    Place(Obj);
    ed_.Objects.RefreshPanel(Obj);
}

} // namespace vendrel
