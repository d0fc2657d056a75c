#include "editor/editor.h"

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/numeric.h"

namespace vendrel {

TEditor::TEditor(TAcousticProject& AProject, TPhysicalSpace& APhysicalSpace, IEditorView* AView)
    : Project(AProject), PhysicalSpace(APhysicalSpace), View(AView), Layers(*this), Selection(*this),
      Mouse(*this), Views(*this), Grid(*this), Keys(*this), Colors(*this), Render(*this) {}

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

void TEditor::Initialize() {
    TEditorScene& sc = Scene;
    Mouse.BindEvents();
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
