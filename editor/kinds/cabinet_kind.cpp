#include "editor/kinds/cabinet_kind.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "editor/units.h"
#include "platform/core/context3d.h"
#include "platform/core/cursor_service.h"
#include "platform/core/mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vendrel {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;
constexpr TAlphaColor kLightBlue = 0xFF55AAFF;
constexpr TAlphaColor kLightGreen = 0xFF55FF55;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

TAlphaColor layerColor(const TQzControl3D& obj) {
    return obj.MyLayer() != nullptr ? obj.MyLayer()->Color : kWhite;
}

TCabinet& cabinetOf(TQzControl3D& Obj) {
    return static_cast<TCabinet&>(Obj);
}
const TCabinet& cabinetOf(const TQzControl3D& Obj) {
    return static_cast<const TCabinet&>(Obj);
}

} // namespace

TCabinetKind::TCabinetKind(TEditor& Editor) : TKindOf<TCabinet>(Editor, "TCabinet", " Cabinets") {
    Placement.Page = TMainPage::CabinetsTabItem;
    Ranks = {0, 0, 1};
}

void TCabinetKind::ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const {
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        Visit(*cabinet);
    }
}

TQzControl3D* TCabinetKind::ObjectOf3D(const TObject* Drawn) const {
    if (Drawn == nullptr) {
        return nullptr;
    }
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        if (firstChild(cabinet->GraphicalObject) == Drawn) {
            return cabinet.get();
        }
    }
    return nullptr;
}

void TCabinetKind::SetSelected(TQzControl3D& Obj, bool Selected) const {
    Obj.SetIsObjectSelected(Selected);
    if (auto* panel = PanelOf<IObjectPanel>(Obj)) {
        panel->ShowSelected(Selected);
    }
}

TBoundingBox TCabinetKind::Bounds(const TQzControl3D& Obj) const {
    if (const TControl3D* model = firstChild(Obj.GraphicalObject)) {
        return model->GlobalBounds();
    }
    return {};
}

void TCabinetKind::AreaSelected(TQzControl3D& Obj) {
    if (auto* panel = PanelOf<IObjectPanel>(Obj)) {
        panel->ScrollIntoView();
    }
}

// ---------------------------------------------------------------------------------------------------
// Building, following, removing

void TCabinetKind::AddInterfaceAndObjectsToCabinet(TCabinet* TheCabinet, const TModel3D* LibraryModel) {
    if (TheCabinet == nullptr) {
        return;
    }
    TCabinet& cabinet = *TheCabinet;
    TViewport3D& viewport = *ed_.Scene.Viewport3D1;
    const auto k = static_cast<size_t>(ed_.Project.NCabinets() - 1);
    ObjCabContainer.resize(k + 1, nullptr);

    auto* dummy = new TDummy(&viewport);
    ObjCabContainer[k] = dummy;
    dummy->SetParent(&viewport);
    auto* model = new TModel3D(dummy); // freed with the dummy
    model->SetParent(dummy);
    cabinet.GraphicalObject = dummy;
    AssignLibraryModel(cabinet, LibraryModel);
    model->HitTest = true;
    model->AutoCapture = true;

    ed_.Objects.AttachPanel(*this, cabinet, "CabinetFrame" + std::to_string(ed_.Project.UniqueID()), -1);
    ed_.Objects.SortRows(*this);
}

void TCabinetKind::AssignLibraryModel(TCabinet& Cabinet, const TModel3D* LibraryModel) {
    auto* model = dynamic_cast<TModel3D*>(firstChild(Cabinet.GraphicalObject));
    if (model == nullptr) {
        return;
    }
    if (LibraryModel != nullptr && LibraryModel->MeshCount() > 0) {
        model->SetWidth(LibraryModel->Width());
        model->SetHeight(LibraryModel->Height());
        model->SetDepth(LibraryModel->Depth());
        model->SetScale(LibraryModel->Scale());
        model->SetWrapMode(LibraryModel->WrapMode());
        TSceneObjects::CopyMeshCollection(*LibraryModel, *model);
    } else {
        // No mesh to show: a box of the model's size stands for the cabinet.
        const TCabModel* m = Cabinet.Model();
        model->SetWidth(m != nullptr && m->Width() > 0 ? static_cast<float>(m->Width()) : 0.5f);
        model->SetHeight(m != nullptr && m->Height() > 0 ? static_cast<float>(m->Height()) : 0.5f);
        model->SetDepth(m != nullptr && m->Depth() > 0 ? static_cast<float>(m->Depth()) : 0.5f);
        model->SetWrapMode(TMeshWrapMode::wmStretch);
        model->ClearMeshes();
        model->AddMesh(UnitCubeMesh());
    }
    ed_.ObjectMouse.Bind(*model, *this);
}

void TCabinetKind::SetObj3DRotation(TCabinet& Cabinet) const {
    TControl3D* dummy = Cabinet.GraphicalObject;
    if (dummy == nullptr) {
        return;
    }
    const TPoint3D rc = Cabinet.RotationCenter();
    dummy->SetRotationCenter(rc);
    if (TControl3D* model = firstChild(dummy)) {
        model->SetRotationCenter({0, 0, rc.Z});
        model->SetRotationAngleX(Cabinet.DummySource() != nullptr ? Cabinet.DummySource()->RotationAngle().X
                                                                  : 0.0f);
    }
    dummy->SetRotationAngle({0, 0, 0});
    dummy->SetRotationAngle({0, Cabinet.RotationAngle().Y, Cabinet.RotationAngle().Z});
}

void TCabinetKind::SetMaterialInCabinet(TCabinet& Cabinet) const {
    if (auto* model = dynamic_cast<TModel3D*>(firstChild(Cabinet.GraphicalObject))) {
        model->SetAllMaterials(Cabinet.Active() ? ed_.Objects.BoxMaterial.get()
                                                : ed_.Objects.UnactiveMaterial.get());
    }
}

void TCabinetKind::ApplyModelRules(TQzControl3D& Obj) {
    TCabinet& cabinet = cabinetOf(Obj);
    const TCabModel* model = cabinet.Model();
    // The cabinet turns about its model's chosen origin centre, or about its own origin without one.
    if (model != nullptr && !model->OriginCenters().empty()) {
        cabinet.SetRotationCenter();
    } else {
        cabinet.TControl3D::SetRotationCenter({0, 0, 0});
    }
    // A model without presets leaves the cabinet without one.
    if ((model == nullptr || model->NDSPPresets() == 0) && cabinet.InternalDSPPreset() != nullptr) {
        cabinet.SetInternalDSPPreset(nullptr);
    }
}

void TCabinetKind::Place(TQzControl3D& Obj) {
    TCabinet& cabinet = cabinetOf(Obj);
    if (cabinet.GraphicalObject != nullptr) {
        cabinet.GraphicalObject->SetPosition(cabinet.Position());
    }
    SetObj3DRotation(cabinet);
}

void TCabinetKind::Appearance(TQzControl3D& Obj) {
    SetMaterialInCabinet(cabinetOf(Obj));
}

void TCabinetKind::RemoveCabinet(TCabinet* Cabinet) {
    ed_.RenderButtonNeedsCalc();
    if (Cabinet == nullptr) {
        return;
    }
    TAcousticProject& project = ed_.Project;
    const auto cursor = TSmartCursor::HourGlass();
    ed_.Removal.ForgetObject(Cabinet);
    if (TControl3D* drawn = Cabinet->GraphicalObject) {
        std::erase(ObjCabContainer, drawn);
        Cabinet->GraphicalObject = nullptr;
        delete drawn;
    }
    ed_.Objects.FreePanel(*Cabinet);
    if (project.ProgressBar() != nullptr) {
        project.ProgressBar()->SetMax(project.TotalCabinets() - 1);
    }
    project.RemoveCabinet(Cabinet);
    for (size_t i = 0; i < project.Cabinets().size(); ++i) {
        if (project.Cabinets()[i]->GraphicalInterface) {
            project.Cabinets()[i]->SetNumberID(static_cast<int32_t>(i + 1));
        }
    }
    ed_.Objects.SortRows(*this);
}

void TCabinetKind::Remove(TQzControl3D& Obj) {
    RemoveCabinet(&cabinetOf(Obj));
}

// ---------------------------------------------------------------------------------------------------
// Press, drag, overlays

void TCabinetKind::BeforeButtonStep(TQzControl3D& Obj) {
    if (auto* panel = PanelOf<IObjectPanel>(Obj)) {
        panel->ScrollIntoView();
    }
    if (ed_.View != nullptr) {
        ed_.View->FocusViewport();
    }
}

TPoint3D TCabinetKind::DragAnchor(const TQzControl3D& Obj) const {
    const TCabinet& cabinet = cabinetOf(Obj);
    if (cabinet.Model() == nullptr || cabinet.Model()->NOriginCenters() <= 0) {
        return {0, 0, 0};
    }
    // The origin centre turned back by the source pivot's X turn, then by the cabinet's Y turn.
    const float x = cabinet.DummySource() != nullptr ? cabinet.DummySource()->RotationAngle().X : 0.0f;
    const TMatrix3D turn =
        TMatrix3D::CreateRotationX(static_cast<float>(-x * kRadPerDeg)) *
        TMatrix3D::CreateRotationY(static_cast<float>(-cabinet.RotationAngle().Y * kRadPerDeg));
    return TransformDirection(cabinet.RotationCenter(), turn);
}

bool TCabinetKind::IsMoving(const TQzControl3D& Obj) const {
    return cabinetOf(Obj).IsMovingOBJ3D();
}

void TCabinetKind::SetMoving(TQzControl3D& Obj, bool Moving) {
    cabinetOf(Obj).SetIsMovingOBJ3D(Moving);
}

void TCabinetKind::Render(TControl3D* Sender, TContext3D& Context) {
    const auto* model = dynamic_cast<const TModel3D*>(Sender);
    if (ed_.State.MechanicalView || model == nullptr || model->MeshCount() == 0) {
        return;
    }
    const TCabinet* cabinet = ed_.Selection.FindCabinetOfObject3D(Sender);
    if (cabinet == nullptr || cabinet->Model() == nullptr) {
        return;
    }
    const TCabModel& m = *cabinet->Model();
    const TPoint3D s(static_cast<float>(m.AcousticCenterXm()), static_cast<float>(-m.AcousticCenterYm()),
                     static_cast<float>(m.AcousticCenterZm()));
    const double z = m.AcousticRotationRadZ();
    const double y = m.AcousticRotationRadY();
    if (ed_.Grid.ShowThrowItem.Checked() && !cabinet->IsMovingOBJ3D() && cabinet->SingleBeamList().empty()) {
        const TPoint3D to =
            cabinet->HitPointZoneThrow() != nullptr
                ? cabinet->HitPointLocalThrow().ToPoint3D()
                : TPoint3D(static_cast<float>(200 * std::cos(z)), static_cast<float>(-200 * std::sin(z)), 0);
        Context.DrawLine(s, to, 0.7f, kWhite);
    }
    if (ed_.Grid.ShowCoverageItem.Checked()) {
        double h = (m.CoverageH() - 0.1) * std::numbers::pi / 360.0;
        double v = (m.CoverageV() - 0.1) * std::numbers::pi / 360.0;
        if (cabinet->HornRotationIndex() != 0) {
            std::swap(h, v);
        }
        const double l = ed_.ObjectMouse.CoverageLinesLength;
        const double eh = l / std::cos(h);
        const double ev = l / std::cos(v);
        const auto dir = [](double e, double a, double b, double c) {
            return TPoint3D(static_cast<float>(e * a), static_cast<float>(e * b), static_cast<float>(e * c));
        };
        // The pair of the larger half angle is light blue, the other light green.
        const TAlphaColor horizontal = h > v ? kLightBlue : kLightGreen;
        const TAlphaColor vertical = h > v ? kLightGreen : kLightBlue;
        Context.DrawLine(
            s, s + dir(eh, std::cos(-z) * std::cos(y + h), std::sin(-z), std::cos(-z) * std::sin(y + h)),
            0.5f, horizontal);
        Context.DrawLine(
            s, s + dir(eh, std::cos(-z) * std::cos(y - h), std::sin(-z), std::cos(-z) * std::sin(y - h)),
            0.5f, horizontal);
        if (cabinet->SingleBeamList().empty()) {
            Context.DrawLine(
                s, s + dir(ev, std::cos(v - z) * std::cos(y), std::sin(v - z), std::cos(v - z) * std::sin(y)),
                0.5f, vertical);
            Context.DrawLine(
                s,
                s + dir(ev, std::cos(-z - v) * std::cos(y), std::sin(-z - v), std::cos(-z - v) * std::sin(y)),
                0.5f, vertical);
        }
    }
    if (cabinet->IsObjectSelected() && cabinet->MyLayer() != nullptr) {
        Context.DrawCube({0, 0, 0}, TPoint3D(Sender->Width(), Sender->Height(), Sender->Depth()) * 1.01f,
                         1.0f, layerColor(*cabinet));
        if (!cabinet->IsLineArray() && !cabinet->IsCluster()) {
            Context.FillCube(cabinet->RotationCenter(), ed_.ObjectMouse.RotationPointSize, 0.8f, kWhite);
        }
    }
}

void TCabinetKind::ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>& Visit) const {
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        if (!cabinet->IsObjectSelected() &&
            !Visit(cabinet->GraphicalObject, firstChild(cabinet->GraphicalObject))) {
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Moves

void TCabinetKind::WriteBack(TQzControl3D& Obj) {
    TCabinet& cabinet = cabinetOf(Obj);
    const TControl3D* drawn = cabinet.GraphicalObject;
    if (drawn == nullptr) {
        return;
    }
    // The position as the row shows it ("0.000", the height negated) and reads it back.
    const double u = ed_.State.Units.LengthUnits;
    const TPoint3D p = drawn->Position();
    cabinet.SetPosition({static_cast<float>(ShownAndReadBack(p.X, u, "0.000")),
                         static_cast<float>(-ShownAndReadBack(-p.Y, u, "0.000")),
                         static_cast<float>(ShownAndReadBack(p.Z, u, "0.000"))});
    ed_.Objects.RefreshPanel(cabinet);
}

void TCabinetKind::MoveBy(TQzControl3D& Obj, const TPoint3D& D) {
    TCabinet& cabinet = cabinetOf(Obj);
    cabinet.SetPosition(cabinet.Position() + D);
    if (cabinet.GraphicalObject != nullptr) {
        cabinet.GraphicalObject->SetPosition(cabinet.Position());
    }
    ed_.Objects.RefreshPanel(cabinet);
}

void TCabinetKind::MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) {
    TCabinet& cabinet = cabinetOf(Obj);
    const TPoint3D rc = cabinet.RotationCenter();
    const TPoint3D a = M.Turned(cabinet.Position() - M.Centre + rc);
    const TPoint3D turn = cabinet.RotationAngle();
    cabinet.SetPosition(a + M.Offset + M.Centre - rc);
    cabinet.SetRotX(cabinet.RotX() + M.Rotation.X);
    cabinet.SetRotationAngle({0, turn.Y + M.Rotation.Y, turn.Z + M.Rotation.Z});
    // The placement turns the source pivot to the new X turn.
    cabinet.SetPlacementType(cabinet.PlacementType());
    Place(cabinet);
    ed_.Objects.RefreshPanel(cabinet);
}

} // namespace vendrel
