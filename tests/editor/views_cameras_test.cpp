#include "editor/views_cameras.h"

#include <gtest/gtest.h>

#include <cmath>

#include "editor_fixture.h"
#include "platform/core/camera.h"

namespace vendrel {
namespace {

using testing::EditorFixture;

// A repeated press turns the view half a turn about its own axis: still seen from the same side. Files
// keep the turn as the top pivot's X and the side and front pivots' Y turned by 180 degrees.
TEST(Views, RepeatedViewsTurnInTheirPlaneAndFilesKeepTheTurnAsBefore) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    TDummy* pivot = f.scene().CamTopDummy;
    v.TopViewAction.Execute(); // from the 3D view: no turn
    EXPECT_EQ(pivot->RotationAngle(), TPoint3D(270, 0, 0));
    v.TopViewAction.Execute();
    EXPECT_EQ(pivot->RotationAngle(), TPoint3D(270, 0, 180));
    EXPECT_TRUE(v.IsViewTurned(TViewType::qzaTopView));
    EXPECT_EQ(v.StoredPivotRotation(TViewType::qzaTopView), TPoint3D(90, 0, 0));
    // Seen from above (scene Y points down) and the floor's axes turned, not mirrored.
    const TCamera& top = *f.scene().CameraTop;
    EXPECT_LT(top.AbsolutePosition().Y, 0);
    TPoint3D o, x, z;
    ASSERT_TRUE(top.WorldToScreen({0, 0, 0}, 800, 600, o));
    ASSERT_TRUE(top.WorldToScreen({10, 0, 0}, 800, 600, x));
    ASSERT_TRUE(top.WorldToScreen({0, 0, 10}, 800, 600, z));
    EXPECT_LT(x.X, o.X); // +X now points left
    const float handedness = (x.X - o.X) * (z.Y - o.Y) - (x.Y - o.Y) * (z.X - o.X);
    v.TopViewAction.Execute();
    EXPECT_EQ(pivot->RotationAngle(), TPoint3D(270, 0, 0));
    ASSERT_TRUE(top.WorldToScreen({0, 0, 0}, 800, 600, o));
    ASSERT_TRUE(top.WorldToScreen({10, 0, 0}, 800, 600, x));
    ASSERT_TRUE(top.WorldToScreen({0, 0, 10}, 800, 600, z));
    EXPECT_GT(x.X, o.X);
    EXPECT_GT(handedness * ((x.X - o.X) * (z.Y - o.Y) - (x.Y - o.Y) * (z.X - o.X)), 0);
    v.SideViewAction.Execute();
    v.TopViewAction.Execute();
    EXPECT_EQ(pivot->RotationAngle(), TPoint3D(270, 0, 0));
    // Not while a project is being opened.
    f.state().IsOpeningProject = true;
    v.TopViewAction.Execute();
    EXPECT_EQ(pivot->RotationAngle(), TPoint3D(270, 0, 0));
    f.state().IsOpeningProject = false;

    // The side and front views the same way; a stored turn comes back as a turn in the plane.
    const struct {
        TViewType view;
        TUIAction* action;
        TDummy* pivot;
        TPoint3D base, stored;
    } cases[] = {
        {TViewType::qzaSideView, &v.SideViewAction, f.scene().CamSideDummy, {0, 0, 0}, {0, 180, 0}},
        {TViewType::qzaFrontView, &v.FrontViewAction, f.scene().CamFrontDummy, {0, 270, 0}, {0, 90, 0}},
        {TViewType::qzaTopView, &v.TopViewAction, f.scene().CamTopDummy, {270, 0, 0}, {90, 0, 0}},
    };
    for (const auto& c : cases) {
        c.action->Execute();
        c.action->Execute();
        EXPECT_EQ(c.pivot->RotationAngle(), c.base + TPoint3D(0, 0, 180));
        const TPoint3D stored = v.StoredPivotRotation(c.view);
        EXPECT_EQ(stored, c.stored);
        c.pivot->SetRotationAngle({});
        v.RestorePivotRotation(c.view, stored.X, stored.Y);
        EXPECT_EQ(c.pivot->RotationAngle(), c.base + TPoint3D(0, 0, 180));
        v.RestorePivotRotation(c.view, c.base.X, c.base.Y);
        EXPECT_EQ(c.pivot->RotationAngle(), c.base);
    }
}

TEST(Views, EachViewSetsItsBasisCameraPlaneAndChecks) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    TEditorScene& s = f.scene();
    struct Case {
        TUIAction* action;
        TCamera* camera;
        TPoint3D moveMask;
        TAxis3D* plane;
        bool horizGrid;
    };
    const Case cases[] = {
        {&v.SideViewAction, s.CameraSide, {1, 1, 0}, s.InputSide, false},
        {&v.TopViewAction, s.CameraTop, {1, 0, 1}, s.InputTop, true},
        {&v.FrontViewAction, s.CameraFront, {0, 1, 1}, s.InputFront, false},
        {&v.ThreeDviewAction, s.Camera3D, {1, 1, 1}, s.InputTop, true},
    };
    for (const Case& c : cases) {
        c.action->Execute();
        EXPECT_EQ(f.viewport().Camera(), c.camera);
        EXPECT_EQ(f.state().MoveMask, c.moveMask);
        EXPECT_EQ(f.state().InvMoveMask, TPoint3D(1, 1, 1) - c.moveMask);
        for (TAxis3D* plane : {s.InputSide, s.InputTop, s.InputFront}) {
            EXPECT_EQ(plane->Visible(), plane == c.plane);
        }
        EXPECT_EQ(s.Grid3DHoriz->Visible(), c.horizGrid);
        EXPECT_NE(s.Grid3DVert->Visible(), c.horizGrid);
        for (TUIAction* a : {&v.SideViewAction, &v.TopViewAction, &v.FrontViewAction, &v.ThreeDviewAction}) {
            EXPECT_EQ(a->Checked(), a == c.action);
        }
        EXPECT_EQ(v.CamRotB.Enabled(), c.camera == s.Camera3D);
    }
    // The front view turns input-plane points (x, y, z) into scene points (-y, z, -x).
    v.FrontViewAction.Execute();
    const TPoint3D p = TPoint3D(1, 2, 3) * f.state().InputRotMatrix;
    EXPECT_NEAR(p.X, -2, 1e-6);
    EXPECT_NEAR(p.Y, 3, 1e-6);
    EXPECT_NEAR(p.Z, -1, 1e-6);
    // The top view's rotation turns the view's depth (0, 0, -900) into the vertical axis.
    v.TopViewAction.Execute();
    const TPoint3D depth = TPoint3D(0, 0, -900) * f.state().RotationView_Matrix;
    EXPECT_NEAR(depth.Y, 900, 1e-3);
}

TEST(Views, EachCameraKeepsItsOwnZoomAcrossViewSwitches) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    // Venue 300 m: every camera was fitted to 148.8.
    EXPECT_NEAR(f.state().ZoomOut, 300 * 0.496, 1e-3);
    v.ZoomSpinBox.SetValue(-40);
    EXPECT_NEAR(f.state().ZoomOut, 40, 1e-4);
    v.SideViewAction.Execute();
    EXPECT_NEAR(f.state().ZoomOut, 300 * 0.496, 1e-2);
    EXPECT_NEAR(v.ZoomSpinBox.Value(), -f.state().ZoomOut, 1e-2);
    // The side camera stands no farther than 430 from its pivot: its angle widened instead.
    EXPECT_GE(f.scene().CameraSide->Position().Z, -430.5f);
    EXPECT_NEAR(f.state().PerspectiveCoeff, f.scene().CameraSide->AngleOfView() / 45.0, 1e-9);
    v.ThreeDviewAction.Execute();
    EXPECT_NEAR(f.state().ZoomOut, 40, 1e-3);
    EXPECT_NEAR(v.ZoomSpinBox.Value(), -40, 1e-3);
}

TEST(Views, ANewVenueInASideViewFitsTheSideCameraNotAnotherCamerasZoom) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    v.SideViewAction.Execute();
    // The cameras are fitted top, side, front, then 3D; the 3D camera's fit stops at its range of 700,
    // the side view keeps its own fit of 2000 x 0.496.
    f.grid().RecalculateVenueLength(2000);
    EXPECT_NEAR(f.state().ZoomOut, 992, 1e-3);
    EXPECT_NEAR(v.ZoomSpinBox.Value(), -992, 1e-3);
    const TCamera* side = f.scene().CameraSide;
    EXPECT_NEAR(-side->Position().Z * side->AngleOfView() / 45.0, 992, 1e-2);
    EXPECT_NEAR(f.state().PerspectiveCoeff, side->AngleOfView() / 45.0, 1e-9);
    v.ThreeDviewAction.Execute();
    EXPECT_NEAR(f.state().ZoomOut, 700, 1e-3);
}

TEST(Views, MiddleDragTurnsTheThreeDCameraAPointThreeDegreesPerPixel) {
    EditorFixture f;
    TViewport3D& vp = f.viewport();
    const float y0 = f.scene().Cam3DDummyY->RotationAngle().Y;
    const float x0 = f.scene().Cam3DDummyX->RotationAngle().X;
    TShiftState middle;
    middle.Middle = true;
    vp.MouseDown(TMouseButton::mbMiddle, middle, 400, 300);
    for (int step = 1; step <= 10; ++step) {
        vp.MouseMove(middle, 400 + 10.0f * step, 300 + 2.0f * step);
    }
    vp.MouseUp(TMouseButton::mbMiddle, {}, 500, 320);
    EXPECT_NEAR(f.scene().Cam3DDummyY->RotationAngle().Y - y0, 30, 1e-3);
    EXPECT_NEAR(f.scene().Cam3DDummyX->RotationAngle().X - x0, -6, 1e-3);
    EXPECT_EQ(f.view.cursors.front(), 3); // rotation cursor on the middle press in the 3D view
}

TEST(Views, PanMovesTheScrollBarsByZoomDependentStepsAndNeverLessThanAMinimum) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    f.state().LeftMouseMode = TLeftMouseMode::lmmCamPan;
    TShiftState left;
    left.Left = true;
    for (const double zoom : {1.0, 300.0}) {
        f.state().ZoomOut = zoom;
        v.CamXScrollBar.SetValue(0);
        f.state().theMouseDown = {100, 100};
        v.CameraOnMouseMove(nullptr, left, 90, 100);
        EXPECT_NEAR(v.CamXScrollBar.Value(), 10 * std::max(zoom * 0.00117, 0.002), 1e-9) << zoom;
        EXPECT_NEAR(f.viewport().Camera()->Position().X, v.CamXScrollBar.Value(), 1e-5);
    }
}

TEST(Views, WheelStepGrowsWithTheZoomAndZoomsByDeltaTimesJump) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    // 3D view at 148.8: a notch of 120 jumps 5 times; the box moves by 600 / (35000 / 700).
    f.state().MouseMove = {500, 350}; // the view's centre: no pan
    const double before = v.ZoomSpinBox.Value();
    v.ViewportMouseWheel(nullptr, {}, 120);
    EXPECT_EQ(f.state().ZoomDeltaJump, 5);
    EXPECT_NEAR(v.ZoomSpinBox.Value() - before, 600.0 / (35000.0 / 700.0), 1e-9);
    EXPECT_NEAR(f.state().ZoomOut, -v.ZoomSpinBox.Value(), 1e-9);
    // At 200 the jump is 20, with Alt 100.
    v.ZoomSpinBox.SetValue(-200);
    TShiftState alt;
    alt.Alt = true;
    v.ViewportMouseWheel(nullptr, alt, 120);
    EXPECT_EQ(f.state().ZoomDeltaJump, 100);
    // Ctrl scrolls vertically and leaves the zoom.
    const double zoom = v.ZoomSpinBox.Value();
    TShiftState ctrl;
    ctrl.Ctrl = true;
    v.CamYScrollBar.SetValue(0);
    v.ViewportMouseWheel(nullptr, ctrl, -120);
    EXPECT_EQ(v.ZoomSpinBox.Value(), zoom);
    EXPECT_GT(v.CamYScrollBar.Value(), 0);
}

TEST(Views, WheelAtTheZoomLimitNeitherZoomsNorPans) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    v.ZoomSpinBox.SetValue(v.ZoomSpinBox.Max());
    f.state().MouseMove = {0, 0};
    const double x = v.CamXScrollBar.Value();
    v.ViewportMouseWheel(nullptr, {}, 120);
    EXPECT_EQ(v.ZoomSpinBox.Value(), v.ZoomSpinBox.Max());
    EXPECT_EQ(v.CamXScrollBar.Value(), x);
}

TEST(Views, DistanceRuleWidensTheAngleAndStopsAtTheCameraLimit) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    // 3D view zoomed out to its end: the angle widens from 23 to 74 degrees.
    v.ZoomSpinBox.SetValue(-700);
    EXPECT_FLOAT_EQ(f.scene().Camera3D->AngleOfView(), 74);
    EXPECT_GE(f.scene().Camera3D->Position().Z, -430);
    // Within the box's range the side view reaches 157 degrees at 1500.
    v.SideViewAction.Execute();
    v.ZoomSpinBox.SetValue(-1500);
    EXPECT_FLOAT_EQ(f.scene().CameraSide->AngleOfView(), 157);
    // Far beyond what 179 degrees can hold the rule ends at 179 instead of looping.
    f.state().ZoomOut = 5000;
    f.scene().CameraSide->SetPositionZ(-1e6f);
    v.CheckMinimumZoom();
    EXPECT_FLOAT_EQ(f.scene().CameraSide->AngleOfView(), 179);
}

TEST(Views, ZoomStepFollowsTheZoom) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    const std::pair<double, double> table[] = {{401, 30}, {151, 10}, {51, 5}, {11, 2}, {6, 0.5}, {5, 0.1f}};
    for (const auto& [zoom, step] : table) {
        f.state().ZoomOut = zoom;
        v.UpdateZoomIncrement();
        EXPECT_DOUBLE_EQ(v.ZoomSpinBox.Step(), step) << zoom;
    }
}

TEST(Views, ZoomToFitWithoutSelectionFitsTheVenueAndResetsThePivots) {
    EditorFixture f(200);
    TViewsCameras& v = f.views();
    v.TopViewAction.Execute();
    f.scene().Cam3DDummyY->SetRotationAngleY(12);
    v.CamXScrollBar.SetValue(20);
    v.ZoomSpinBox.SetValue(-30);
    v.ZoomToObjectB.Execute();
    EXPECT_NEAR(f.state().ZoomOut, 200 * 0.496, 1e-3);
    EXPECT_EQ(f.scene().CameraTop->Position().X, 0);
    EXPECT_EQ(v.CamXScrollBar.Value(), 0);
    EXPECT_EQ(f.scene().Cam3DDummyY->RotationAngle().Y, 330);
    EXPECT_EQ(f.scene().Cam3DDummyX->RotationAngle().X, 330);
}

TEST(Views, ZoomKeysStepTheZoomBoxAndTextFieldsKeepTheirLetters) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    v.ZoomSpinBox.SetValue(-100); // step 5 at a zoom of 100
    EXPECT_TRUE(f.editor->Keys.MainFormKeyDown(0, u'i', {}, false));
    EXPECT_NEAR(f.state().ZoomOut, 95, 1e-4);
    EXPECT_TRUE(f.editor->Keys.MainFormKeyDown(0, u'O', {}, false));
    EXPECT_NEAR(f.state().ZoomOut, 100, 1e-4);
    EXPECT_FALSE(f.editor->Keys.MainFormKeyDown(0, u'o', {}, true));
    EXPECT_NEAR(f.state().ZoomOut, 100, 1e-4);
}

TEST(Views, CameraTargetOnTheSelectionMovesThePivotsAndCentresTheCameras) {
    EditorFixture f;
    TViewsCameras& v = f.views();
    f.state().SelectionBounding = {{10, -4, 2}, {20, 0, 6}};
    v.CameraOnSelectionB.Click();
    EXPECT_TRUE(v.CenterSelItem.Checked());
    EXPECT_FALSE(v.ResetCenterItem.Checked());
    for (TDummy* pivot : {f.scene().Cam3DDummyY, f.scene().CamSideDummy, f.scene().CamTopDummy}) {
        EXPECT_EQ(pivot->Position(), TPoint3D(15, -2, 4));
    }
    EXPECT_EQ(f.scene().CameraSide->Position().X, 0);
    v.ResetCenterItem.Execute();
    EXPECT_FALSE(v.CameraOnSelectionB.Checked());
    EXPECT_EQ(f.scene().Cam3DDummyY->Position(), TPoint3D(0, 0, 0));
}

} // namespace
} // namespace vendrel
