#include "editor/views_cameras.h"

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/camera.h"
#include "platform/core/numeric.h"
#include "scene/scene_object.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vendrel {

namespace {

// The angle of view never leaves [1, 179] degrees (the camera clamps).
constexpr float kMaxAngleOfView = 179.0f;
// A quarter turn in single precision.
constexpr float kQuarterTurn = 1.5707964f;

std::string numberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The default number-to-text form: up to 15 significant digits.
std::string plainNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

bool isTwoD(TViewType v) {
    return v != TViewType::qzaThreeDView;
}

// An angle turned by half a turn, in [0, 360).
float halfTurned(float angle) {
    const float a = angle + 180.0f;
    float turned = a - static_cast<float>(std::trunc(a * 0.0027777778f)) * 360.0f;
    if (turned < 0) {
        turned += 360.0f;
    }
    return turned;
}

// The pivot's own rotation about X (top view) or Y (side and front views) when not turned.
float baseAngleOf(TViewType v) {
    return v == TViewType::qzaSideView ? 0.0f : 270.0f;
}

bool sameAngle(float a, float b) {
    const double d = std::fmod(std::fabs(static_cast<double>(a) - b), 360.0);
    return std::min(d, 360.0 - d) < 1e-3;
}

} // namespace

double ZoomRangeOf(TViewType View) {
    return View == TViewType::qzaThreeDView ? 700.0 : 1500.0;
}

TViewsCameras::TViewsCameras(TEditor& Editor) : ed_(Editor) {
    for (TUIAction* a : {&ThreeDviewAction, &SideViewAction, &TopViewAction, &FrontViewAction}) {
        a->Checkable = true;
    }
    ThreeDviewAction.OnExecute = [this] { ThreeDviewActionExecute(); };
    SideViewAction.OnExecute = [this] { SideViewActionExecute(); };
    TopViewAction.OnExecute = [this] { TopViewActionExecute(); };
    FrontViewAction.OnExecute = [this] { FrontViewActionExecute(); };
    ZoomItemIn.OnExecute = [this] { ZoomItemInClick(); };
    ZoomItemOut.OnExecute = [this] { ZoomItemOutClick(); };
    ZoomToObjectB.OnExecute = [this] { ZoomToObjectBClick(); };
    ResetCenterItem.Checkable = true;
    CenterSelItem.Checkable = true;
    ResetCenterItem.SetChecked(true);
    ResetCenterItem.OnExecute = [this] {
        ResetCenterItem.SetChecked(true);
        CenterSelItem.SetChecked(false);
        CenterSelItemClick();
    };
    CenterSelItem.OnExecute = [this] {
        CenterSelItem.SetChecked(true);
        ResetCenterItem.SetChecked(false);
        CenterSelItemClick();
    };
    CameraOnSelectionB.Hint = "Camera tracks selected objects";
    CameraOnSelectionB.Checkable = true;
    CameraOnSelectionB.AutoCheck = true;
    CameraOnSelectionB.OnExecute = [this] { CameraOnSelectionBClick(); };
    for (TUIAction* a : {&DefaultMouseB, &CamRotB, &CamPanB}) {
        a->Checkable = true;
    }
    DefaultMouseB.SetChecked(true);
    DefaultMouseB.OnExecute = [this] { DefaultMouseActionExecute(); };
    CamRotB.OnExecute = [this] { CamRotBClick(); };
    CamPanB.OnExecute = [this] { CamPanBClick(); };
}

void TViewsCameras::BindControls() {
    ZoomSpinBox.OnChange = [this] { ZoomSpinBoxChange(); };
    CamZTrackBar.OnChange = [this] { CamZTrackBarChange(); };
    CamXScrollBar.OnChange = [this] { CamXScrollBarChange(); };
    CamYScrollBar.OnChange = [this] { CamYScrollBarChange(); };
    CamXTrackBar.OnChange = [this] { CamXTrackBarChange(); };
    CamYTrackBar.OnChange = [this] { CamYTrackBarChange(); };
    TrackBar4.OnChange = [this] { TrackBar4Change(); };
    TrackX.OnChange = [this] { TrackBarRotChange(); };
    TrackY.OnChange = [this] { TrackBarRotChange(); };
    TrackZ.OnChange = [this] { TrackBarRotChange(); };
    for (TUIRange* r : {&LightTypeCB, &LightDistanceNB, &SpotCutoffNB, &LightFocusNB, &ShininessNB}) {
        r->OnChange = [this] { UpdateLightsNBChange(); };
    }
}

TDummy* TViewsCameras::PivotOf(TViewType View) const {
    const TEditorScene& sc = ed_.Scene;
    switch (View) {
    case TViewType::qzaSideView:
        return sc.CamSideDummy;
    case TViewType::qzaTopView:
        return sc.CamTopDummy;
    case TViewType::qzaFrontView:
        return sc.CamFrontDummy;
    case TViewType::qzaThreeDView:
        break;
    }
    return nullptr;
}

bool TViewsCameras::IsViewTurned(TViewType View) const {
    const TDummy* pivot = PivotOf(View);
    return pivot != nullptr && sameAngle(pivot->RotationAngle().Z, 180.0f);
}

TPoint3D TViewsCameras::StoredPivotRotation(TViewType View) const {
    const TDummy* pivot = PivotOf(View);
    if (pivot == nullptr) {
        return {};
    }
    TPoint3D r = pivot->RotationAngle();
    if (IsViewTurned(View)) {
        if (View == TViewType::qzaTopView) {
            r.X = halfTurned(r.X);
        } else {
            r.Y = halfTurned(r.Y);
        }
    }
    r.Z = 0;
    return r;
}

void TViewsCameras::RestorePivotRotation(TViewType View, float StoredX, float StoredY) {
    TDummy* pivot = PivotOf(View);
    if (pivot == nullptr) {
        return;
    }
    // A file's half turn (the base angle turned by 180 degrees) is a turn about the view's own axis.
    const bool aboutX = View == TViewType::qzaTopView;
    const float stored = aboutX ? StoredX : StoredY;
    const bool turned = sameAngle(stored, halfTurned(baseAngleOf(View)));
    const float angle = turned ? baseAngleOf(View) : stored;
    pivot->SetRotationAngle({aboutX ? angle : StoredX, aboutX ? StoredY : angle, turned ? 180.0f : 0.0f});
}

TCamera* TViewsCameras::CameraOf(TViewType View) const {
    const TEditorScene& s = ed_.Scene;
    switch (View) {
    case TViewType::qzaSideView:
        return s.CameraSide;
    case TViewType::qzaTopView:
        return s.CameraTop;
    case TViewType::qzaThreeDView:
        return s.Camera3D;
    case TViewType::qzaFrontView:
        return s.CameraFront;
    }
    return s.Camera3D;
}

TCamera* TViewsCameras::ActiveCamera() const {
    return ed_.Scene.Viewport3D1->Camera();
}

TUIAction& TViewsCameras::actionOf(TViewType View) {
    switch (View) {
    case TViewType::qzaSideView:
        return SideViewAction;
    case TViewType::qzaTopView:
        return TopViewAction;
    case TViewType::qzaFrontView:
        return FrontViewAction;
    case TViewType::qzaThreeDView:
        break;
    }
    return ThreeDviewAction;
}

void TViewsCameras::setViewCursor(int16_t Cursor) {
    ed_.SetViewCursor(Cursor);
}

// ---------------------------------------------------------------------------------------------------
// Standard views

void TViewsCameras::ThreeDviewActionExecute() {
    switchView(TViewType::qzaThreeDView);
}

void TViewsCameras::SideViewActionExecute() {
    switchView(TViewType::qzaSideView);
}

void TViewsCameras::TopViewActionExecute() {
    switchView(TViewType::qzaTopView);
}

void TViewsCameras::FrontViewActionExecute() {
    switchView(TViewType::qzaFrontView);
}

void TViewsCameras::switchView(TViewType View) {
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    ed_.Project.SetViewType(View);

    // Choosing the current 2D view again turns its pivot by half a turn about the view's own axis (not
    // while a project opens): the view stays a view from the same side, turned in its plane, never one
    // from behind the floor or the walls.
    if (isTwoD(View) && !st.IsOpeningProject && actionOf(View).Checked()) {
        TDummy* pivot = PivotOf(View);
        pivot->SetRotationAngleZ(halfTurned(pivot->RotationAngle().Z));
    }

    if (st.IsInsertingAny()) {
        ed_.Mouse.SetInputAxisAcordingViews();
    }

    // The view basis.
    switch (View) {
    case TViewType::qzaThreeDView:
        st.MoveMask = {1, 1, 1};
        st.InvMoveMask = {0, 0, 0};
        st.RotationView_Matrix = TMatrix3D::Identity();
        st.InputRotMatrix = TMatrix3D::Identity();
        break;
    case TViewType::qzaSideView:
        st.MoveMask = {1, 1, 0};
        st.InvMoveMask = {0, 0, 1};
        st.RotationView_Matrix = TMatrix3D::Identity();
        st.InputRotMatrix = TMatrix3D::CreateRotationX(-kQuarterTurn);
        break;
    case TViewType::qzaTopView:
        st.MoveMask = {1, 0, 1};
        st.InvMoveMask = {0, 1, 0};
        st.RotationView_Matrix = TMatrix3D::CreateRotationX(kQuarterTurn);
        st.InputRotMatrix = TMatrix3D::Identity();
        break;
    case TViewType::qzaFrontView:
        st.MoveMask = {0, 1, 1};
        st.InvMoveMask = {1, 0, 0};
        st.RotationView_Matrix = TMatrix3D::CreateRotationY(kQuarterTurn);
        st.InputRotMatrix =
            TMatrix3D::CreateRotationZ(kQuarterTurn) * TMatrix3D::CreateRotationX(-kQuarterTurn);
        break;
    }

    TCamera* camera = CameraOf(View);
    sc.Viewport3D1->SetCamera(camera);

    // The zoom range of the view. The controls' values are only clamped; the camera keeps its own
    // distance and angle, which are written back explicitly.
    const float z = camera->Position().Z;
    const float angle = camera->AngleOfView();
    const double range = ZoomRangeOf(View);
    CamZTrackBar.SetRange(-range, range);
    ZoomSpinBox.SetRange(-range, range);
    camera->SetPositionZ(z);
    camera->SetAngleOfView(angle);

    st.PerspectiveCoeff = camera->AngleOfView() / 45.0;
    st.ZoomOut = -st.PerspectiveCoeff * camera->Position().Z;
    CheckValidAngleOfView();

    for (TViewType v :
         {TViewType::qzaSideView, TViewType::qzaTopView, TViewType::qzaThreeDView, TViewType::qzaFrontView}) {
        actionOf(v).SetChecked(v == View);
    }

    UpdateCameraScrollRanges();
    if (View != TViewType::qzaFrontView) {
        ed_.Grid.ShowAxisNumbersItemClick();
    }
    SyncCameraControls(camera);

    sc.Grid3DHoriz->SetVisible(View == TViewType::qzaThreeDView || View == TViewType::qzaTopView);
    sc.Grid3DVert->SetVisible(View == TViewType::qzaSideView || View == TViewType::qzaFrontView);
    if (View == TViewType::qzaSideView) {
        sc.Grid3DVert->SetRotationAngleY(0);
    } else if (View == TViewType::qzaFrontView) {
        sc.Grid3DVert->SetRotationAngleY(90);
    }
    sc.InputTop->SetVisible(View == TViewType::qzaThreeDView || View == TViewType::qzaTopView);
    sc.InputSide->SetVisible(View == TViewType::qzaSideView);
    sc.InputFront->SetVisible(View == TViewType::qzaFrontView);
    if (View == TViewType::qzaFrontView) {
        ed_.Grid.ShowAxisNumbersItemClick();
    }

    CamRotB.SetEnabled(View == TViewType::qzaThreeDView);
    ed_.Render.UpdateRenderButton();

    LengthOffset.SetVisible(View == TViewType::qzaFrontView);
    DepthOffset.SetVisible(View == TViewType::qzaSideView);
    HeightOffset.SetVisible(View == TViewType::qzaTopView);

    if (View == TViewType::qzaThreeDView) {
        sc.Camera3D->SetRotationAngleX(0);
        ed_.Grid.DrawGrid();
    } else {
        camera->Repaint();
    }
}

// ---------------------------------------------------------------------------------------------------
// Angle of view and distance

void TViewsCameras::CheckValidAngleOfView() {
    TEditorState& st = ed_.State;
    TCamera* camera = ActiveCamera();
    const float limit = ed_.Project.ViewType() == TViewType::qzaThreeDView ? 23.0f : 1.0f;
    if (camera->AngleOfView() > limit) {
        camera->SetAngleOfView(camera->AngleOfView() - 5.0f);
    }
    st.PerspectiveCoeff = camera->AngleOfView() / 45.0;
    camera->SetPositionZ(static_cast<float>(-st.ZoomOut / st.PerspectiveCoeff));
    CheckMinimumZoom();
}

void TViewsCameras::CheckMinimumZoom() {
    TEditorState& st = ed_.State;
    TCamera* camera = ActiveCamera();
    if (ed_.Project.ViewType() == TViewType::qzaThreeDView && camera->AngleOfView() >= 80.0f) {
        return;
    }
    // Widening stops at the camera's largest angle: beyond a zoom of about 1710 the distance limit
    // cannot be met any more, and the camera simply stands farther away.
    while (camera->Position().Z < -430.0f && camera->AngleOfView() < kMaxAngleOfView) {
        camera->SetAngleOfView(camera->AngleOfView() + 1.0f);
        st.PerspectiveCoeff = camera->AngleOfView() / 45.0;
        camera->SetPositionZ(static_cast<float>(-st.ZoomOut / st.PerspectiveCoeff));
    }
}

// ---------------------------------------------------------------------------------------------------
// Zoom chain

void TViewsCameras::UpdateZoomIncrement() {
    const double z = ed_.State.ZoomOut;
    float step = 0.1f;
    if (z > 400) {
        step = 30;
    } else if (z > 150) {
        step = 10;
    } else if (z > 50) {
        step = 5;
    } else if (z > 10) {
        step = 2;
    } else if (z > 5) {
        step = 0.5f;
    }
    ZoomSpinBox.SetStep(step);
}

void TViewsCameras::ZoomSpinBoxChange() {
    if (ed_.State.IsPasting) {
        return;
    }
    UpdateZoomIncrement();
    CamZTrackBar.SetValue(ZoomSpinBox.Value());
}

void TViewsCameras::CamZTrackBarChange() {
    TEditorState& st = ed_.State;
    TCamera* camera = ActiveCamera();
    st.ZoomOut = -CamZTrackBar.Value();
    camera->SetPositionZ(static_cast<float>(-st.ZoomOut / st.PerspectiveCoeff));
    // A plane drag goes on from the camera's new place.
    ed_.Moving.BeginDragFromCamera();
    if (st.PreviousZoomOut > st.ZoomOut) {
        CheckValidAngleOfView();
    } else {
        CheckMinimumZoom();
    }
    ed_.Grid.ZoomChanged();
    st.PreviousZoomOut = st.ZoomOut;
}

void TViewsCameras::ZoomItemInClick() {
    ZoomSpinBox.SetValue(ZoomSpinBox.Value() + static_cast<float>(ZoomSpinBox.Step()));
    UpdateZoomIncrement();
    CamZTrackBar.SetValue(ZoomSpinBox.Value());
}

void TViewsCameras::ZoomItemOutClick() {
    ZoomSpinBox.SetValue(ZoomSpinBox.Value() - static_cast<float>(ZoomSpinBox.Step()));
    UpdateZoomIncrement();
    CamZTrackBar.SetValue(ZoomSpinBox.Value());
}

void TViewsCameras::ViewportMouseWheel(TObject*, TShiftState Shift, int WheelDelta) {
    TEditorState& st = ed_.State;
    if (st.IsPasting) {
        return;
    }
    const TViewport3D& v = *ed_.Scene.Viewport3D1;
    const double k = 35000.0 / v.ViewHeight();
    st.ZoomDeltaJump = 1;
    if (st.ZoomOut > 400) {
        st.ZoomDeltaJump = 40;
    } else if (st.ZoomOut > 150) {
        st.ZoomDeltaJump = 20;
    } else if (st.ZoomOut > 50) {
        st.ZoomDeltaJump = 5;
    } else if (st.ZoomOut > 10) {
        st.ZoomDeltaJump = 2;
    }
    if (Shift.Alt) {
        st.ZoomDeltaJump *= 5;
    }
    const auto n = Trunc<int32_t>(WheelDelta * st.ZoomDeltaJump);
    if (Shift.Ctrl) {
        CamYScrollBar.SetValue(CamYScrollBar.Value() - n / k);
        return;
    }
    if (Shift.Shift) {
        CamXScrollBar.SetValue(CamXScrollBar.Value() + n / k);
        return;
    }
    const double gx = (v.ViewWidth() / 2.0 - st.MouseMove.X) / (375.0 / st.ZoomDeltaJump);
    const double gy = (v.ViewHeight() / 2.0 - st.MouseMove.Y) / (400.0 / st.ZoomDeltaJump);
    if (n > 0) {
        if (-(st.ZoomOut - 0.1) >= ZoomSpinBox.Max()) {
            return;
        }
        CamXScrollBar.SetValue(CamXScrollBar.Value() - gx);
        CamYScrollBar.SetValue(CamYScrollBar.Value() - gy);
    } else {
        if (ZoomSpinBox.Min() >= -(st.ZoomOut + 0.1)) {
            return;
        }
        CamXScrollBar.SetValue(CamXScrollBar.Value() + gx);
        CamYScrollBar.SetValue(CamYScrollBar.Value() + gy);
    }
    ZoomSpinBox.SetValue(ZoomSpinBox.Value() + n / k);
}

// ---------------------------------------------------------------------------------------------------
// Camera moves with the mouse

void TViewsCameras::CameraOnMouseMove(TObject*, TShiftState Shift, float X, float Y) {
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    const bool threeD = ed_.Project.ViewType() == TViewType::qzaThreeDView;
    st.MouseMove = {X, Y};

    if (Shift.Middle && threeD) {
        setViewCursor(Shift.Shift ? 4 : 3);
    } else if (!st.IsInsertingAny()) {
        switch (st.LeftMouseMode) {
        case TLeftMouseMode::lmmCamRotation:
            setViewCursor(3);
            break;
        case TLeftMouseMode::lmmCamPan:
            setViewCursor(4);
            break;
        case TLeftMouseMode::lmmRuler:
            setViewCursor(5);
            break;
        default:
            break;
        }
    }

    const bool rotate = threeD && ((Shift.Middle && !Shift.Shift) ||
                                   (Shift.Left && st.LeftMouseMode == TLeftMouseMode::lmmCamRotation));
    if (rotate) {
        sc.Cam3DDummyX->SetRotationAngleX(sc.Cam3DDummyX->RotationAngle().X -
                                          static_cast<float>((Y - st.theMouseDown.Y) * 0.3));
        sc.Cam3DDummyY->SetRotationAngleY(sc.Cam3DDummyY->RotationAngle().Y +
                                          static_cast<float>((X - st.theMouseDown.X) * 0.3));
        st.theMouseDown = {X, Y};
    }
    const bool pan = (Shift.Shift && Shift.Middle && threeD) || (Shift.Middle && !threeD) ||
                     (Shift.Left && st.LeftMouseMode == TLeftMouseMode::lmmCamPan);
    if (pan) {
        const double f = std::max(st.ZoomOut * 0.00117, 0.002);
        CamXScrollBar.SetValue(CamXScrollBar.Value() - (X - st.theMouseDown.X) * f);
        CamYScrollBar.SetValue(CamYScrollBar.Value() - (Y - st.theMouseDown.Y) * f);
        st.theMouseDown = {X, Y};
    }
}

void TViewsCameras::UpdateObjectCursor(TObject*, TShiftState Shift) {
    TEditorState& st = ed_.State;
    if (Shift.Ctrl) {
        setViewCursor(crMultiDrag);
    } else if (Shift.Shift) {
        setViewCursor(crSizeAll);
    } else if (Shift.Alt) {
        setViewCursor(crMultiDrag);
    } else {
        setViewCursor(st.IsInsertingAny() ? 2 : crDefault);
    }
    if (Shift.Middle) {
        const bool threeD = ed_.Project.ViewType() == TViewType::qzaThreeDView;
        setViewCursor(threeD && !Shift.Shift ? 3 : 4);
    }
}

// ---------------------------------------------------------------------------------------------------
// Scroll bars

void TViewsCameras::showCameraXY() {
    const TCamera* camera = ActiveCamera();
    XNumBox.SetText(numberText(camera->Position().X));
    YNumBox.SetText(numberText(camera->Position().Y));
}

void TViewsCameras::CamXScrollBarChange() {
    TCamera* camera = ActiveCamera();
    camera->SetPositionX(static_cast<float>(CamXScrollBar.Value()));
    XNumBox.SetText(numberText(camera->Position().X));
    ed_.State.ShowRulerInfo = false;
    ed_.Repaint();
}

void TViewsCameras::CamYScrollBarChange() {
    TCamera* camera = ActiveCamera();
    camera->SetPositionY(static_cast<float>(CamYScrollBar.Value()));
    YNumBox.SetText(numberText(camera->Position().Y));
    ed_.State.ShowRulerInfo = false;
    ed_.Repaint();
}

void TViewsCameras::UpdateCameraScrollRanges() {
    const TPhysicalSpace& m = ed_.PhysicalSpace;
    double x = 0;
    double y = 0;
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaThreeDView:
    case TViewType::qzaTopView:
        x = m.VenueLength() / 2;
        y = m.VenueWidthHor() / 2;
        break;
    case TViewType::qzaSideView:
        x = m.VenueLength() / 2;
        y = m.VenueHeightVer();
        break;
    case TViewType::qzaFrontView:
        x = m.VenueWidthHor() / 2;
        y = m.VenueHeightVer();
        break;
    }
    // The range is set without the change event; the camera keeps its place.
    CamXScrollBar.SetRange(-x, x);
    CamYScrollBar.SetRange(-y, y);
    CamXScrollBar.SetPageSize(ed_.State.ZoomOut / 8);
    CamYScrollBar.SetPageSize(ed_.State.ZoomOut / 20.33);
}

void TViewsCameras::SyncCameraControls(TCamera* Camera) {
    // The controls show the active camera; another camera keeps its own values.
    if (Camera != ActiveCamera()) {
        return;
    }
    CamXScrollBar.SetValue(Camera->Position().X);
    CamYScrollBar.SetValue(Camera->Position().Y);
    ZoomSpinBox.SetValue(Camera->Position().Z * (Camera->AngleOfView() / 45.0));
    Camera->Repaint();
}

void TViewsCameras::SetCameraPanXY(TCamera* Camera, float X, float Y) {
    Camera->SetPositionY(Y);
    Camera->SetPositionX(X);
    if (Camera != ActiveCamera()) {
        return;
    }
    CamYScrollBar.SetValue(Y);
    YNumBox.SetText(numberText(Y));
    CamXScrollBar.SetValue(X);
    XNumBox.SetText(numberText(X));
}

// ---------------------------------------------------------------------------------------------------
// Fitting and framing

void TViewsCameras::frameCamera(TCamera* Camera, double Zoom) {
    // A camera that is not shown: its distance from its own view's zoom range, without the controls.
    TViewType view = TViewType::qzaThreeDView;
    for (TViewType v :
         {TViewType::qzaSideView, TViewType::qzaTopView, TViewType::qzaThreeDView, TViewType::qzaFrontView}) {
        if (CameraOf(v) == Camera) {
            view = v;
        }
    }
    const double range = ZoomRangeOf(view);
    const double spin = std::clamp(-Zoom, -range, range);
    Camera->SetPositionZ(static_cast<float>(spin / (Camera->AngleOfView() / 45.0)));
}

void TViewsCameras::FitCameraToVenue(TCamera* Camera) {
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    const double zoom = ed_.PhysicalSpace.VenueLength() * st.ZoomFitPerMeter;
    Camera->SetPositionX(0);
    Camera->SetPositionY(0);
    if (Camera == ActiveCamera()) {
        st.ZoomOut = zoom;
        ZoomSpinBox.SetValue(-st.ZoomOut);
        Camera->SetPositionZ(static_cast<float>(ZoomSpinBox.Value() / (Camera->AngleOfView() / 45.0)));
    } else {
        frameCamera(Camera, zoom);
    }
    sc.Cam3DDummyX->SetRotationAngleX(330);
    sc.Cam3DDummyY->SetRotationAngleY(330);
    UpdateCameraScrollRanges();
    SyncCameraControls(Camera);
    ed_.Repaint();
}

void TViewsCameras::ZoomToObjectBClick() {
    if (!ed_.State.SelectedObjList.IsEmpty()) {
        ZoomToSelection();
    } else {
        FitCameraToVenue(ActiveCamera());
    }
}

void TViewsCameras::ZoomToSelection() {
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    ed_.Selection.CalcSelectionBounding(0);
    const TBoundingBox& box = st.SelectionBounding;
    const TPoint3D c = box.Center();
    const float s = std::max(box.Width(), box.Height());
    const float d = box.Depth();
    const bool centred = CenterSelItem.Checked();
    TCamera* camera = ActiveCamera();
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaThreeDView:
        if (!centred) {
            sc.Cam3DDummyY->SetPosition({0, 0, 0});
            SetCameraPanXY(camera, c.X, c.Y);
            camera->SetPositionZ(c.Z - 1.2f * s - 8);
        } else {
            camera->SetPositionX(0);
            camera->SetPositionY(0);
            camera->SetPositionZ(-8 - 1.2f * s);
            SetCameraPanXY(camera, 0, 0);
        }
        sc.Cam3DDummyX->SetRotationAngleX(0);
        sc.Cam3DDummyY->SetRotationAngleY(0);
        break;
    case TViewType::qzaSideView:
        if (centred) {
            camera->SetPosition({0, 0, -14 - 4.3f * s});
        } else {
            camera->SetPosition({c.X, c.Y, c.Z - 4.3f * s - 14});
        }
        break;
    case TViewType::qzaTopView:
        if (centred) {
            camera->SetPosition({0, 0, -14 - 4.3f * s});
        } else {
            camera->SetPosition({c.X, -c.Z, c.Y - 4.3f * s - 14});
        }
        break;
    case TViewType::qzaFrontView:
        if (centred) {
            camera->SetPosition({0, 0, -78 - 45 * d});
        } else {
            camera->SetPosition({c.Z, c.Y, -c.X - 45 * d - 78});
        }
        break;
    }
    st.ZoomOut = -(camera->Position().Z * st.PerspectiveCoeff);
    ZoomSpinBox.SetValue(-st.ZoomOut);
    camera->SetPositionZ(static_cast<float>(ZoomSpinBox.Value() / (camera->AngleOfView() / 45.0)));
    UpdateCameraScrollRanges();
    SyncCameraControls(camera);
}

void TViewsCameras::ZoomToObj3D(TQzControl3D* Obj) {
    if (Obj == nullptr) {
        return;
    }
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    const TBoundingBox box = Obj->GlobalBounds();
    const TPoint3D c = box.Center();
    const float s = std::max(box.Width(), box.Height());
    TCamera* camera = ActiveCamera();
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaThreeDView:
        camera->SetPosition({c.X, c.Y, c.Z - 1.5f * s - 2});
        st.ZoomOut = -(camera->Position().Z * st.PerspectiveCoeff);
        sc.Cam3DDummyX->SetRotationAngleX(0);
        sc.Cam3DDummyY->SetRotationAngleY(0);
        break;
    case TViewType::qzaSideView:
        camera->SetPositionX(c.X);
        camera->SetPositionY(c.Y);
        st.ZoomOut = (box.Width() + box.Height()) * 3 * st.ZoomFitPerMeter;
        break;
    case TViewType::qzaTopView:
        camera->SetPositionX(c.X);
        camera->SetPositionY(-c.Z);
        st.ZoomOut = (box.Width() + box.Depth()) * 3 * st.ZoomFitPerMeter;
        break;
    case TViewType::qzaFrontView:
        camera->SetPositionX(c.Z);
        camera->SetPositionY(c.Y);
        st.ZoomOut = (box.Width() + box.Height()) * 3 * st.ZoomFitPerMeter;
        break;
    }
    ZoomSpinBox.SetValue(-st.ZoomOut);
    camera->SetPositionZ(static_cast<float>(ZoomSpinBox.Value() / (camera->AngleOfView() / 45.0)));
    UpdateCameraScrollRanges();
    SyncCameraControls(camera);
}

// ---------------------------------------------------------------------------------------------------
// Camera target and mouse modes

void TViewsCameras::SetRotationCenter() {
    TEditorScene& sc = ed_.Scene;
    if (ResetCenterItem.Checked()) {
        CameraOnSelectionB.SetChecked(false);
        for (TDummy* pivot : {sc.Cam3DDummyY, sc.CamFrontDummy, sc.CamSideDummy, sc.CamTopDummy}) {
            pivot->SetPosition({0, 0, 0});
        }
    } else if (CenterSelItem.Checked()) {
        CameraOnSelectionB.SetChecked(true);
        const TPoint3D c = ed_.State.SelectionBounding.Center();
        for (TDummy* pivot : {sc.Cam3DDummyY, sc.CamFrontDummy, sc.CamSideDummy, sc.CamTopDummy}) {
            pivot->SetPosition(c);
        }
        for (TCamera* camera : {sc.Camera3D, sc.CameraFront, sc.CameraSide, sc.CameraTop}) {
            SetCameraPanXY(camera, 0, 0);
        }
    }
}

void TViewsCameras::CenterSelItemClick() {
    SetRotationCenter();
}

void TViewsCameras::CameraOnSelectionBClick() {
    const bool pressed = CameraOnSelectionB.Checked();
    CenterSelItem.SetChecked(pressed);
    ResetCenterItem.SetChecked(!pressed);
    ed_.Selection.CalcSelectionBounding(0);
}

void TViewsCameras::CamRotBClick() {
    ed_.State.LeftMouseMode = TLeftMouseMode::lmmCamRotation;
    CamRotB.SetChecked(true);
    DefaultMouseB.SetChecked(false);
    CamPanB.SetChecked(false);
    ed_.Selection.SetZonesHitTest(true);
    ed_.Selection.SetCabinetsHitTest(true);
    ed_.Mouse.SetArraysHitTest(true);
}

void TViewsCameras::CamPanBClick() {
    ed_.State.LeftMouseMode = TLeftMouseMode::lmmCamPan;
    CamPanB.SetChecked(true);
    DefaultMouseB.SetChecked(false);
    CamRotB.SetChecked(false);
    ed_.Selection.SetZonesHitTest(true);
    ed_.Selection.SetCabinetsHitTest(true);
    ed_.Mouse.SetArraysHitTest(true);
}

void TViewsCameras::DefaultMouseActionExecute() {
    ed_.State.LeftMouseMode = TLeftMouseMode::lmmDefault;
    DefaultMouseB.SetChecked(true);
    CamRotB.SetChecked(false);
    CamPanB.SetChecked(false);
    ed_.Scene.RulerCube->SetVisible(false);
    ed_.Adding.EndInsertionInViewPort3D();
    ed_.Selection.SetZonesHitTest(true);
    ed_.Selection.SetCabinetsHitTest(true);
    ed_.Mouse.SetArraysHitTest(true);
    setViewCursor(crDefault);
}

void TViewsCameras::Viewport3D1Resized(float Width, float Height) {
    ed_.Scene.Viewport3D1->SetViewSize(Width, Height);
    if (ed_.PhysicalSpace.VenueLength() == 0) {
        return;
    }
    ed_.State.Canvas3DOldX = Width;
    ed_.State.Canvas3DOldY = Height;
    showCameraXY();
}

// ---------------------------------------------------------------------------------------------------
// Developer knobs

void TViewsCameras::CamXTrackBarChange() {
    ActiveCamera()->SetPositionX(static_cast<float>(CamXTrackBar.Value()));
}

void TViewsCameras::CamYTrackBarChange() {
    ActiveCamera()->SetPositionY(static_cast<float>(CamYTrackBar.Value()));
}

void TViewsCameras::TrackBar4Change() {
    TEditorState& st = ed_.State;
    TCamera* camera = ActiveCamera();
    camera->SetAngleOfView(static_cast<float>(TrackBar4.Value()));
    st.PerspectiveCoeff = camera->AngleOfView() / 45.0;
    Memo1.SetText("Angle Of View : " + plainNumber(camera->AngleOfView()) +
                  "\nCamera Z : " + plainNumber(-st.ZoomOut / st.PerspectiveCoeff) +
                  "\nRotationAngle X : " + plainNumber(camera->RotationAngle().X));
    CamXTrackBarChange();
    CamYTrackBarChange();
    CamZTrackBarChange();
}

void TViewsCameras::TrackBarRotChange() {
    ed_.Scene.Light4->SetRotationAngle({static_cast<float>(TrackX.Value()),
                                        static_cast<float>(TrackY.Value()),
                                        static_cast<float>(TrackZ.Value())});
    Memo1.SetText("RotationAngle.X : " + plainNumber(TrackX.Value()) + "\nRotationAngle.Y : " +
                  plainNumber(TrackY.Value()) + "\nRotationAngle.Z : " + plainNumber(TrackZ.Value()));
}

void TViewsCameras::UpdateLightsNBChange() {
    TEditorScene& sc = ed_.Scene;
    TLight* lights[] = {sc.Light3D, sc.LightSide, sc.LightTop, sc.LightFront, sc.Light4};
    const auto type = static_cast<TLightType>(std::clamp(static_cast<int>(LightTypeCB.Value()), 0, 2));
    for (TLight* l : lights) {
        l->SetLightType(type);
    }
    // Text that is not a hexadecimal colour leaves the colours as they are.
    const std::string& text = LightColorEdit.Text();
    char* end = nullptr;
    const unsigned long color = text.empty() ? 0 : std::strtoul(text.c_str(), &end, 16);
    if (!text.empty() && end != nullptr && *end == '\0' && color <= 0xFFFFFFFFul) {
        for (TLight* l : lights) {
            l->SetColor(static_cast<TAlphaColor>(color));
        }
    }
    for (TLight* l : lights) {
        l->SetPositionZ(static_cast<float>(-LightDistanceNB.Value()));
    }
    for (TLight* l : lights) {
        l->SetPositionY(0);
    }
    for (TLight* l : lights) {
        l->SpotCutOff = static_cast<float>(SpotCutoffNB.Value());
    }
    for (TLight* l : lights) {
        l->SpotExponent = static_cast<float>(LightFocusNB.Value());
    }
    ed_.Repaint();
}

} // namespace vendrel
