#include "editor/kinds/line_array_kind.h"

#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/project.h"
#include "editor/array_drawing.h"
#include "editor/editor.h"
#include "editor/line_array_edits.h"
#include "editor/object_panels.h"
#include "editor/units.h"
#include "platform/core/context3d.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"

#include <memory>

namespace vendrel {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;

TCabArray& arrayOf(TQzControl3D& Obj) {
    return static_cast<TCabArray&>(Obj);
}
const TCabArray& arrayOf(const TQzControl3D& Obj) {
    return static_cast<const TCabArray&>(Obj);
}

} // namespace

TLineArrayKind::TLineArrayKind(TEditor& Editor)
    : TKindOf<TCabArray>(Editor, "TCabArray", " Arrays"), AutoSplayer(Editor.Project, Editor.State) {
    Placement.Page = TMainPage::LineArrayTabItem;
    Placement.Tabbed = true;
    Ranks = {2, 1, 3};
    Mouse.Insertion = TInsertionStep::None;
    Mouse.InsertionOnMove = false;
    AddLineArrayAction.Hint = "Add Line Array";
    AddLineArrayAction.OnExecute = [this] { AddLineArrayWithWizard(); };
    ArrayAutoSplayAction.Hint = "AutoSplay Array";
    ArrayAutoSplayAction.OnExecute = [this] {
        AutoSplayer.ArrayAutoSplayActionExecute(false);
        ed_.Repaint();
    };
    ArrayAutoSplayAction.SetEnabled(false);
    AutoSplayer.ArrayInEdition = [this] { return ArrayInEdition(); };
    AutoSplayer.OnArrayAimed = [this](TCabArray& a) {
        CheckArrayWarnings(a, {}, false);
        ArrayGeometryChanged(a);
    };
}

TLineArrayKind::~TLineArrayKind() = default;

TCabArray* TLineArrayKind::ArrayInEdition() const {
    return TKindOf<TCabArray>::Cast(State.Current);
}

void TLineArrayKind::ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const {
    for (const auto& a : ed_.Project.CabArrays()) {
        Visit(*a);
    }
}

TQzControl3D* TLineArrayKind::ObjectOf3D(const TObject* Drawn) const {
    const auto* component = dynamic_cast<const TComponent*>(Drawn);
    return component != nullptr ? TKindOf<TCabArray>::Cast(component->TagObject) : nullptr;
}

TBoundingBox TLineArrayKind::Bounds(const TQzControl3D& Obj) const {
    return arrayOf(Obj).GlobalBounds();
}

std::string TLineArrayKind::TabText(const TQzControl3D& Obj) const {
    return "Array " + std::to_string(arrayOf(Obj).NumberID());
}

// ---------------------------------------------------------------------------------------------------
// Building, following, removing

void TLineArrayKind::InsertNewArray(TCabArray* theArray, TQzLayer* theLayer, bool EnableCalc, bool ShowTab) {
    if (theArray == nullptr) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    TCabArray& array = *theArray;
    array.SetMyLayer(theLayer);
    for (TCabinet* cab : array.CabinetList()) {
        cab->SetMyLayer(theLayer);
    }
    if (theLayer != nullptr) {
        theLayer->ObjListInLayer.push_back(&array);
    }
    if (array.IsLocked()) {
        ed_.State.LockedList.Add(&array);
    }
    TUITabs& tabs = ed_.PanelSwitching.LineArrayTabControl;
    const int tab = tabs.Add(TabText(array), &array);
    if (ShowTab) {
        tabs.SetTabIndex(tab);
    }
    tabs.SetVisible(tab, ShowTab);
    array.Tag = tab;
    if (!ed_.State.IsOpeningProject && EnableCalc) {
        for (TCabinet* cab : array.CabinetList()) {
            cab->SetActive(true);
        }
    }
    if (ed_.Project.ProgressBar() != nullptr) {
        ed_.Project.ProgressBar()->SetMax(ed_.Project.TotalCabinets());
    }
    TViewport3D* view = ed_.Scene.Viewport3D1.get();
    auto* container = new TDummy(view);
    container->SetParent(view);
    container->HitTest = false;
    container->TagObject = &array;
    array.GraphicalObject = container;
    // A switched-off array read from a file is still pressed and edited; only a copy drawn without
    // a tab (the mechanical view's) takes no presses.
    DrawArrayObjects(array, EnableCalc || ShowTab);
    container->SetVisible(theLayer == nullptr || theLayer->Visible());
    ed_.Objects.AttachPanel(*this, array, "LineArrayConfigFr" + std::to_string(array.NumberID()), tab);
    ed_.State.AcousticPrjItemClicked = &array;
    enableAutoSplay();
    ed_.Repaint();
}

void TLineArrayKind::DrawArrayObjects(TCabArray& Array, bool HitTest) {
    TControl3D* container = Array.GraphicalObject;
    if (container == nullptr) {
        return;
    }
    while (container->ChildrenCount() > 0) {
        delete container->Children(container->ChildrenCount() - 1);
    }
    const auto& elements = Array.ArrayList();
    for (size_t i = 1; i < elements.size(); ++i) {
        TControl3D* element = elements[i];
        const auto* cab = dynamic_cast<const TCabinet*>(element);
        TMaterialSource* material = cab != nullptr && !cab->Active() ? ed_.Objects.UnactiveMaterial.get()
                                                                     : ed_.Objects.BoxMaterial.get();
        TArrayElementModel3D* drawn = DrawArrayElement(*container, Array, *element, &Array, material);
        drawn->TagObject = &Array;
        if (HitTest) {
            drawn->HitTest = true;
            drawn->AutoCapture = true;
            ed_.ObjectMouse.Bind(*drawn, *this);
        }
    }
    Place(Array);
}

void TLineArrayKind::Place(TQzControl3D& Obj) {
    TCabArray& array = arrayOf(Obj);
    if (TControl3D* container = array.GraphicalObject) {
        // The container stands and turns as the array does: its models draw the elements against it.
        container->SetRotationCenter(array.RotationCenter());
        container->SetRotationAngle({0, 0, 0});
        container->SetRotationAngle(array.RotationAngle());
        container->SetPosition(array.Position());
    }
}

void TLineArrayKind::Appearance(TQzControl3D& Obj) {
    TCabArray& array = arrayOf(Obj);
    TControl3D* container = array.GraphicalObject;
    if (container == nullptr) {
        return;
    }
    for (int i = 0; i < container->ChildrenCount(); ++i) {
        auto* drawn = dynamic_cast<TArrayElementModel3D*>(container->Children(i));
        const auto* cab = drawn != nullptr ? dynamic_cast<const TCabinet*>(&drawn->Element()) : nullptr;
        if (cab != nullptr) {
            drawn->SetAllMaterials(cab->Active() ? ed_.Objects.BoxMaterial.get()
                                                 : ed_.Objects.UnactiveMaterial.get());
        }
    }
    ed_.Repaint();
}

void TLineArrayKind::RemoveArray(TCabArray* theArray) {
    if (theArray == nullptr) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    TAcousticProject& p = ed_.Project;
    ed_.Removal.ForgetObject(theArray);
    if (State.Current == theArray) {
        State.Current = nullptr;
    }
    delete theArray->GraphicalObject;
    theArray->GraphicalObject = nullptr;
    ed_.Objects.FreePanel(*theArray);
    TUITabs& tabs = ed_.PanelSwitching.LineArrayTabControl;
    if (const int tab = tabs.IndexOfObject(theArray); tab >= 0) {
        tabs.Delete(tab);
    }
    p.RemoveArray(theArray);
    for (size_t i = 0; i < p.CabArrays().size(); ++i) {
        p.CabArrays()[i]->SetNumberID(static_cast<int32_t>(i) + 1);
    }
    ed_.PanelSwitching.SortVenueTabs();
    if (p.ProgressBar() != nullptr) {
        p.ProgressBar()->SetMax(p.TotalCabinets());
    }
    p.ClearAllMaps();
    enableAutoSplay();
    ed_.Render.RenderButtonNeedsCalc();
    ed_.Repaint();
}

void TLineArrayKind::Remove(TQzControl3D& Obj) {
    RemoveArray(&arrayOf(Obj));
}

void TLineArrayKind::enableAutoSplay() {
    ArrayAutoSplayAction.SetEnabled(ed_.Project.NCabArrays() > 0);
}

void TLineArrayKind::AddLineArrayWithWizard() {
    if (!RunWizard) {
        return;
    }
    TAcousticProject& p = ed_.Project;
    ed_.Adding.EndInsertionInViewPort3D();
    auto owned = std::make_unique<TCabArray>(&ed_.PhysicalSpace, &p);
    TCabArray* array = owned.get();
    p.AddArray(std::move(owned));
    array->SetNumberID(p.NCabArrays());
    State.Current = array;
    array->SetMyLayer(ed_.Layers.SelectedLayer);
    if (RunWizard(*array) && array->NCabinets() > 0) {
        ed_.RenderButtonNeedsCalc();
        const TPoint3D at = array->Position();
        array->SetPosition({static_cast<float>(array->NumberID()), at.Y, 0.0f});
        InsertNewArray(array, ed_.Layers.SelectedLayer, true);
        if (array->SetArrayOrigin()) {
            Place(*array);
        }
        ed_.Selection.UnSelectAllObjects();
        SetSelected(*array, true);
        ed_.State.SelectedObjList.Add(array);
        ed_.Selection.UpdateLastSelection();
    } else {
        State.Current = nullptr;
        p.RemoveArray(array);
    }
    enableAutoSplay();
    ed_.UpdateRenderControls();
    ed_.ShowMemoryInfo();
}

// ---------------------------------------------------------------------------------------------------
// Press, drag, overlays

void TLineArrayKind::BeforeButtonStep(TQzControl3D& Obj) {
    ed_.SetInEdition(&Obj);
    if (ed_.View != nullptr) {
        ed_.View->FocusViewport();
    }
}

bool TLineArrayKind::IsMoving(const TQzControl3D& Obj) const {
    return arrayOf(Obj).IsMovingArrayOBJ3D();
}

void TLineArrayKind::SetMoving(TQzControl3D& Obj, bool Moving) {
    arrayOf(Obj).SetIsMovingArrayOBJ3D(Moving);
}

void TLineArrayKind::Render(TControl3D* Sender, TContext3D& Context) {
    auto* drawn = dynamic_cast<TArrayElementModel3D*>(Sender);
    TQzControl3D* obj = ObjectOf3D(Sender);
    if (drawn == nullptr || obj == nullptr || !obj->IsObjectSelected() || drawn->MeshCount() == 0 ||
        ed_.State.MechanicalView) {
        return;
    }
    // The selection box around each element, in the layer's colour.
    const TAlphaColor color = obj->MyLayer() != nullptr ? obj->MyLayer()->Color : kWhite;
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(drawn->DrawMatrix());
    Context.DrawCube({0, 0, 0}, TPoint3D(drawn->Width(), drawn->Height(), drawn->Depth()) * 1.01f, 1.0f,
                     color);
    Context.SetMatrix(saved);
}

// ---------------------------------------------------------------------------------------------------
// Moves

void TLineArrayKind::WriteBack(TQzControl3D& Obj) {
    TCabArray& array = arrayOf(Obj);
    const TControl3D* drawn = array.GraphicalObject;
    if (drawn == nullptr) {
        return;
    }
    // The position as the panel shows it ("0.000", the height negated) and reads it back.
    const double u = ed_.State.Units.LengthUnits;
    const TPoint3D p = drawn->Position();
    array.SetPosition({static_cast<float>(ShownAndReadBack(p.X, u, "0.000")),
                       static_cast<float>(-ShownAndReadBack(-p.Y, u, "0.000")),
                       static_cast<float>(ShownAndReadBack(p.Z, u, "0.000"))});
    Place(array);
    ed_.Objects.RefreshPanel(array);
}

void TLineArrayKind::MoveBy(TQzControl3D& Obj, const TPoint3D& D) {
    TCabArray& array = arrayOf(Obj);
    array.SetPosition(array.Position() + D);
    Place(array);
    ed_.Objects.RefreshPanel(array);
}

void TLineArrayKind::MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) {
    TCabArray& array = arrayOf(Obj);
    const TPoint3D r = array.RotationAngle();
    const TPoint3D a = M.Turned(array.Position() - M.Centre);
    array.SetPosition(a + M.Offset + M.Centre);
    array.SetRotationAngle(r + M.Rotation);
    Place(array);
    ed_.Objects.RefreshPanel(array);
}

// ---------------------------------------------------------------------------------------------------
// The panel's commands

void TLineArrayKind::AddAnotherCabinet(TCabArray& Array) {
    if (Array.NCabinets() == 0) {
        return;
    }
    ed_.SetInEdition(&Array);
    if (ArrayAddAnotherCabinet(ed_.Project, Array) == nullptr) {
        return;
    }
    ed_.RenderButtonNeedsCalc();
    DrawArrayObjects(Array);
    ed_.Objects.RefreshPanel(Array);
    ed_.Repaint();
}

void TLineArrayKind::RemoveLastCabinet(TCabArray& Array) {
    ed_.SetInEdition(&Array);
    if (Array.NCabinets() <= 1) {
        return;
    }
    ed_.RenderButtonNeedsCalc();
    // The drawn models go before the elements they follow.
    if (TControl3D* container = Array.GraphicalObject) {
        while (container->ChildrenCount() > 0) {
            delete container->Children(container->ChildrenCount() - 1);
        }
    }
    RemoveLastArrayCabinet(ed_.Project, Array);
    if (ed_.Project.ProgressBar() != nullptr) {
        ed_.Project.ProgressBar()->SetMax(ed_.Project.TotalCabinets());
    }
    Array.SetArrayOrigin();
    DrawArrayObjects(Array);
    ed_.Objects.RefreshPanel(Array);
    ed_.Repaint();
}

void TLineArrayKind::ArrayGeometryChanged(TCabArray& Array) {
    Array.SetArrayOrigin();
    Place(Array);
    ed_.Objects.RefreshPanel(Array);
    ed_.Repaint();
}

void TLineArrayKind::AutoSplay(TCabArray& Array) {
    ed_.SetInEdition(&Array);
    ArrayAutoSplayAction.Execute();
}

void TLineArrayKind::RemoveArrayAsked(TCabArray& Array) {
    ed_.SetInEdition(&Array);
    const std::string text = "Remove Line Array " + std::to_string(Array.NumberID()) + "?";
    if (MessageBoxService().MessageDlg(text, TMsgDlgType::mtConfirmation,
                                       {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) == TModalResult::mrYes) {
        RemoveArray(&Array);
        ed_.RenderButtonNeedsCalc();
    }
}

} // namespace vendrel
