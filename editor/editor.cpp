#include "editor/editor.h"

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
      ObjectMouse(*this), Adding(*this), Removal(*this), PanelSwitching(*this), ModelOnly(*this) {}

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

void TEditor::SetListenLevelOnSelection(const std::string& Text) {
    auto cursor = TSmartCursor::HourGlass();
    double level = 0.0;
    if (!TryTextToFloat(Text, level, State.FormatSettings)) {
        return;
    }
    // The level as every zone shows it, two decimals: a zone that shows it already is left alone.
    const std::string shown = FormatFloatPattern("0.00", level, State.FormatSettings);
    for (TObject* o : std::vector<TObject*>(State.SelectedObjList.Raw())) {
        auto* zone = dynamic_cast<TMappingZone*>(o);
        if (zone == nullptr || zone->IsLocked()) {
            continue;
        }
        if (!Project.EventsEnabled()) {
            return;
        }
        auto* panel = PanelOf<IZonePanel>(*zone);
        if (panel != nullptr) {
            panel->SetAudienceLevelText(Text);
        }
        if (FormatFloatPattern("0.00", zone->ListenLevel() * State.LengthUnits, State.FormatSettings) ==
            shown) {
            continue;
        }
        zone->SetListenLevel(static_cast<float>(level / State.LengthUnits));
        if (panel != nullptr) {
            panel->SetListeningLevel(zone->ListenLevel());
            panel->UpdateTextureSidesFloor();
            if (zone->MappingSides() == TMappingSides::qzaNoSPLMap) {
                panel->UpdateSidesMapping();
            }
        } else {
            Objects.PlaceZoneObjects(*zone);
        }
    }
    TSmartCursor::Default();
}

void TEditor::SetMappingSidesOnSelection(TMappingSides Value) {
    auto cursor = TSmartCursor::HourGlass();
    for (TObject* o : std::vector<TObject*>(State.SelectedObjList.Raw())) {
        auto* zone = dynamic_cast<TMappingZone*>(o);
        if (zone == nullptr || zone->IsLocked()) {
            continue;
        }
        if (Project.IsCheckingMemory()) {
            return;
        }
        if (zone->MappingSides() == Value) {
            continue;
        }
        zone->SetMappingSides(Value);
        if (Value == TMappingSides::qzaNoSPLMap && zone->MaxdBSPL() > 1.0) {
            // The zone's maximum no longer counts: a normalised scale takes the other zones' highest.
            zone->StoreMaxdBSPL(0.0);
            if (Project.SPLNormalized()) {
                Colors.MaxdBuEdit.SetValue(Project.GetMaxdBSPL());
            }
        }
        if (auto* panel = PanelOf<IZonePanel>(*zone)) {
            panel->UpdateSidesMapping();
        } else {
            Objects.PlaceZoneObjects(*zone);
        }
    }
    TSmartCursor::Default();
    UpdateRenderControls();
    ShowMemoryInfo();
}

// ---------------------------------------------------------------------------------------------------
// What the panels ask of the window

bool TEditorPanelHost::DisableOnChange() const {
    return ed_.State.DisableOnChange;
}
bool TEditorPanelHost::ClosingApplication() const {
    return ed_.State.ClosingApplication;
}
double TEditorPanelHost::LengthUnits() const {
    return ed_.State.LengthUnits;
}
std::string TEditorPanelHost::LengthUnitText() const {
    return ed_.State.LengthUnitText;
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
void TEditorPanelHost::SetObj3DRotation(TCabinet& Cabinet) {
    ed_.Objects.SetObj3DRotation(Cabinet);
}
void TEditorPanelHost::SetMaterialInCabinet(TCabinet& Cabinet) {
    ed_.Objects.SetMaterialInCabinet(Cabinet);
}
void TEditorPanelHost::LayoutZoneObjects(TMappingZone& Zone) {
    ed_.Objects.PlaceZoneObjects(Zone);
}
void TEditorPanelHost::PlaceZoneHolder(TMappingZone& Zone) {
    ed_.Objects.PlaceZoneHolder(Zone);
}
void TEditorPanelHost::UpdateTextureSidesFloor(TMappingZone& Zone) {
    ed_.Objects.UpdateTextureSidesFloor(Zone);
}
void TEditorPanelHost::UpdateRenderControls() {
    ed_.UpdateRenderControls();
}
void TEditorPanelHost::ShowMemoryInfo() {
    ed_.ShowMemoryInfo();
}
void TEditorPanelHost::PopupModels(TObject* Target) {
    ed_.Adding.PopupModelsFor(Target);
}
void TEditorPanelHost::PopupChangeLayer(TObject* Target) {
    if (ed_.View != nullptr) {
        ed_.View->PopupChangeLayer(Target);
    }
}
void TEditorPanelHost::SelectFromPanel(TQzControl3D& Obj, bool Selected) {
    TEditorState& st = ed_.State;
    Obj.SetIsObjectSelected(Selected);
    if (auto* zone = dynamic_cast<TMappingZone*>(&Obj)) {
        if (TQzExtrudedShape3D* solid = TSceneObjects::ZoneSolid(*zone)) {
            solid->SetIsSelected(Selected);
        }
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
void TEditorPanelHost::SetListenLevelOnSelection(const std::string& Text) {
    ed_.SetListenLevelOnSelection(Text);
}
void TEditorPanelHost::SetMappingSidesOnSelection(TMappingSides Value) {
    ed_.SetMappingSidesOnSelection(Value);
}
void TEditorPanelHost::RemoveSurface(TMappingZone& Zone) {
    ed_.Removal.RemoveSurface(&Zone);
}
void TEditorPanelHost::ListAllZonesActionExecute() {
    ed_.PanelSwitching.ListAllZonesActionExecute();
}
void TEditorPanelHost::ZoneRenamed(TMappingZone& Zone) {
    TPanelSwitching& ps = ed_.PanelSwitching;
    const int tab = ps.ZonesTabControl.IndexOfObject(&Zone);
    const std::string text = "Zone " + std::to_string(Zone.ZoneIndexID() + 1) + " : " + Zone.Name();
    if (tab >= 0) {
        ps.ZonesTabControl.SetText(tab, text);
    }
    if (ps.ZonesListBox.ItemIndex() >= 0) {
        ps.ZonesListBox.SetText(ps.ZonesListBox.ItemIndex(), text);
    }
}
void TEditorPanelHost::RepaintView() {
    ed_.Repaint();
}

// ---------------------------------------------------------------------------------------------------

void TEditor::Initialize() {
    TEditorScene& sc = Scene;
    Mouse.BindEvents();
    Selection.DeleteAction.OnExecute = [this] { Removal.DeleteActionExecute(); };
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
