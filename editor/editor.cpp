#include "editor/editor.h"

#include "editor/kinds/builtin_kinds.h"
#include "editor/scopes.h"

#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/cursor_service.h"
#include "platform/core/numeric.h"
#include "scene/extruded_shape.h"

namespace vendrel {

TEditor::TEditor(TAcousticProject& AProject, TPhysicalSpace& APhysicalSpace, IEditorView* AView)
    : Project(AProject), PhysicalSpace(APhysicalSpace), View(AView), Layers(*this), Selection(*this),
      Mouse(*this), Views(*this), Grid(*this), Keys(*this), Colors(*this), Render(*this), Objects(*this),
      ObjectMouse(*this), Moving(*this), Adding(*this), Removal(*this), PanelSwitching(*this),
      ModelOnly(*this) {
    RegisterBuiltInKinds(*this);
    Appearance.OnShowMemoryInfo = [this] { ShowMemoryInfo(); };
}

TEditor::~TEditor() {
    // The project may outlive the editor for a moment: its all-maps event no longer reaches it.
    Project.SetOnReceiveAllMaps(nullptr);
}

void TEditor::SetViewCursor(TCursor Cursor) {
    if (Cursor == State.ViewCursor) {
        return;
    }
    State.ViewCursor = Cursor;
    if (View != nullptr) {
        View->ViewCursorChanged(Cursor);
    }
}

void TEditor::SetInEdition(TQzControl3D* Obj) {
    if (TObjectKind* kind = Kinds.KindOf(Obj)) {
        kind->State.Current = Obj;
    }
}

void TEditor::Repaint() {
    Scene.Viewport3D1->Repaint();
}

void TEditor::RenderButtonNeedsCalc() {
    Render.RenderButtonNeedsCalc();
}

void TEditor::UpdateRenderControls() {
    Render.UpdateRenderControls();
}

void TEditor::ShowMemoryInfo() {
    if (View != nullptr) {
        View->ShowMemoryInfo();
    }
}

void TEditor::GetAllProcessNames(std::vector<std::string>& List) const {
    List.clear();
    const TGenericDSPProcess* bypass = Project.BypassProcess();
    List.push_back(std::to_string(bypass != nullptr ? bypass->NumberID() : 0) + " : " +
                   (bypass != nullptr ? bypass->Name() : std::string("Bypass")));
    for (const auto& process : Project.DSPProcessList()) {
        List.push_back(std::to_string(process->NumberID()) + " : " + process->Name());
    }
}

// ---------------------------------------------------------------------------------------------------
// What the panels ask of the window

bool TEditorPanelHost::DisableOnChange() const {
    return ed_.State.DisableOnChange;
}
bool TEditorPanelHost::ClosingApplication() const {
    return ed_.State.ClosingApplication;
}
bool TEditorPanelHost::EventsEnabled() const {
    return ed_.Project.EventsEnabled();
}
const TUnits& TEditorPanelHost::Units() const {
    return ed_.State.Units;
}
float TEditorPanelHost::GlobalPosSteps() const {
    return ed_.State.GlobalPosSteps;
}
float TEditorPanelHost::GlobalRotSteps() const {
    return ed_.State.GlobalRotSteps;
}
TFormatSettings TEditorPanelHost::FormatSettings() const {
    return ed_.State.FormatSettings;
}
const std::vector<std::string>& TEditorPanelHost::ExtDSPProcessNames() const {
    return ed_.ExtDSPProcessNames;
}
void TEditorPanelHost::MarkProjectModified() {
    ed_.Project.SetIsProjectModified(true);
}
void TEditorPanelHost::RenderButtonNeedsCalc() {
    ed_.RenderButtonNeedsCalc();
}
void TEditorPanelHost::PlacementChanged(TQzControl3D& Obj) {
    if (TObjectKind* kind = ed_.Kinds.KindOf(&Obj)) {
        kind->Place(Obj);
    }
    ed_.Project.RecalcHitPoints();
}
void TEditorPanelHost::AppearanceChanged(TQzControl3D& Obj) {
    if (TObjectKind* kind = ed_.Kinds.KindOf(&Obj)) {
        kind->Appearance(Obj);
    }
}
void TEditorPanelHost::NameChanged(TQzControl3D& Obj) {
    if (TObjectKind* kind = ed_.Kinds.KindOf(&Obj)) {
        kind->Renamed(Obj);
    }
}
void TEditorPanelHost::MemoryChanged() {
    ed_.UpdateRenderControls();
    ed_.ShowMemoryInfo();
}
void TEditorPanelHost::RemoveRequested(TQzControl3D& Obj) {
    TObjectKind* kind = ed_.Kinds.KindOf(&Obj);
    if (kind == nullptr) {
        return;
    }
    {
        // The panel goes with its object: no panel commits while it does.
        const TFlagScope removing(ed_.State.DisableOnChange);
        kind->Remove(Obj);
    }
    if (kind->Placement.InVenueList) {
        ed_.PanelSwitching.ListAllZonesActionExecute();
    }
    ed_.RenderButtonNeedsCalc();
}
void TEditorPanelHost::SelectRequested(TQzControl3D& Obj, bool Selected) {
    TEditorState& st = ed_.State;
    if (TObjectKind* kind = ed_.Kinds.KindOf(&Obj)) {
        kind->SetSelected(Obj, Selected);
    } else {
        Obj.SetIsObjectSelected(Selected);
    }
    if (Selected) {
        if (!st.SelectedObjList.Contains(&Obj)) {
            st.SelectedObjList.Add(&Obj);
        }
    } else {
        st.SelectedObjList.Remove(&Obj);
    }
    if (Obj.GraphicalObject != nullptr) {
        Obj.GraphicalObject->Repaint();
    }
}
void TEditorPanelHost::RepaintView() {
    ed_.Repaint();
}
void TEditorPanelHost::PopupModels(TObject* Target) {
    ed_.Adding.PopupModelsFor(Target);
}
void TEditorPanelHost::PopupChangeLayer(TObject* Target) {
    if (ed_.View != nullptr) {
        ed_.View->PopupChangeLayer(Target);
    }
}

// ---------------------------------------------------------------------------------------------------

void TEditor::Initialize() {
    TEditorScene& sc = Scene;
    Mouse.BindEvents();
    Selection.DeleteAction.OnExecute = [this] { Removal.DeleteActionExecute(); };
    Selection.ApplyOfssetAction.ShortCut = "Ctrl+M";
    Selection.ApplyOfssetAction.Hint = "Apply an offset to selected objects";
    Selection.ApplyOfssetAction.OnExecute = [this] { Moving.ApplyOfssetActionExecute(); };
    GetAllProcessNames(ExtDSPProcessNames);
    Views.BindControls();
    Colors.BindControls();
    Render.BindControls();
    Project.SetOnReceiveAllMaps([this](TAcousticProject&) { Render.AllMapsReceived(); });
    Mouse.SetInputPlanesHitTest(false);

    Layers.CreateBaseLayer();

    // Axis labels of the initial venue (the project starts in the side view).
    State.CreateTextGridSpaceMeters = 10;
    State.GridSpaceingMeters = 5;
    if (Project.ViewType() == TViewType::qzaSideView) {
        const auto row = [&](std::vector<TText3D*>& labels, TDummy* owner, int32_t dimension) {
            Grid.CreateAxisNumbers(labels, RoundHalfEven<int32_t>(dimension / 10.0), owner);
        };
        row(Grid.TextVenueLengths, sc.TextsLengthDummy, PhysicalSpace.VenueLength());
        row(Grid.TextVenueHeights, sc.TextsHeightDummy, PhysicalSpace.VenueHeightVer());
        row(Grid.TextVenueWidths, sc.TextsWidthDummy, PhysicalSpace.VenueWidthHor());
    }

    // The 3D view is current.
    Views.ThreeDviewAction.SetChecked(true);
    sc.Grid3DVert->SetVisible(false);
    Project.SetViewType(TViewType::qzaThreeDView);
    sc.Viewport3D1->SetCamera(sc.Camera3D);
    State.RotationView_Matrix = TMatrix3D::Identity();
    State.InputRotMatrix = TMatrix3D::Identity();
    Views.CamZTrackBar.SetRange(-700, 700);
    Views.ZoomSpinBox.SetRange(-700, 700);
    sc.Grid3DVert->SetPositionZ(0.005f);
    sc.Grid3DVert->SetPositionY(-static_cast<float>(PhysicalSpace.VenueHeightVer()) * 0.5f);
    sc.Grid3DHoriz->SetPositionY(0.005f);
    State.MoveMask = {1, 1, 1};
    State.InvMoveMask = {0, 0, 0};
    State.LeftMouseMode = TLeftMouseMode::lmmDefault;
    Views.DefaultMouseB.SetChecked(true);
    Views.CamRotB.SetChecked(false);
    Views.CamPanB.SetChecked(false);
    sc.InputTop->SetVisible(true);
    sc.InputSide->SetVisible(false);
    sc.InputFront->SetVisible(false);
    sc.Camera3D->SetRotationAngleX(0);
    Views.LengthOffset.SetVisible(false);
    Views.DepthOffset.SetVisible(false);
    Views.HeightOffset.SetVisible(false);
    sc.CameraSide->SetAngleOfView(1);
    sc.CameraTop->SetAngleOfView(1);
    sc.CameraFront->SetAngleOfView(1);
    sc.Camera3D->SetAngleOfView(23);
    State.PerspectiveCoeff = sc.Camera3D->AngleOfView() / 45.0;
    Views.CamZTrackBar.SetRange(-700, 700);
    Views.ZoomSpinBox.SetRange(-700, 700);
    Views.ZoomSpinBox.SetStep(1);
    State.ZoomOut = 5;
    State.PreviousZoomOut = 5;
    State.ZoomFitPerMeter = 0.496;
    State.ZoomDeltaJump = 1;
    Views.CheckValidAngleOfView();
    Render.ShowProjectState();
    Render.SetSolidProgressBar();
}

} // namespace vendrel
