#include "editor/selection.h"

#include <gtest/gtest.h>

#include "acoustics/beam_steering.h"
#include "acoustics/cluster.h"
#include "acoustics/mapping_zone.h"
#include "editor_fixture.h"
#include "platform/core/camera.h"

namespace vendrel {
namespace {

using testing::EditorFixture;

TMappingZone& addZone(EditorFixture& f, float xBegin, float yBegin) {
    return *f.project->AddMappingZone("Zone", TPoint3D(xBegin, yBegin, 3), TPoint3D(), 4, 4, 0.1, false,
                                      TSurfaceType::qzaRectangle, true);
}

TPointF screenOf(EditorFixture& f, TPoint3D p) {
    TPoint3D s;
    f.viewport().Camera()->WorldToScreen(p, f.viewport().ViewWidth(), f.viewport().ViewHeight(), s);
    return {s.X, s.Y};
}

TEST(Selection, PointInBoxIsHalfOpen) {
    const TBoundingBox box{{0, 0, 0}, {1, 1, 1}};
    EXPECT_TRUE(IsPointInBox(box, {0, 0, 0}));
    EXPECT_FALSE(IsPointInBox(box, {1, 0.5f, 0.5f}));
    EXPECT_FALSE(IsPointInBox(box, {0.5f, 0.5f, 1}));
    EXPECT_TRUE(IsPointInBox(box, {0.999f, 0.999f, 0.999f}));
}

TEST(Selection, RubberBandInASideViewSelectsExactlyTheVisibleObjectsInside) {
    EditorFixture f;
    f.views().SideViewAction.Execute();
    // Zones are tested at their position with the height negated: (2, 2, 3) and (32, 2, 3).
    TMappingZone& inside = addZone(f, 0, -2);
    TMappingZone& outside = addZone(f, 30, -2);
    TMappingZone& hidden = addZone(f, 1, -2);
    hidden.SetVisible(false);
    // The outside zone was selected before; the band unselects it.
    f.state().SelectedObjList.Add(&outside);
    outside.SetIsObjectSelected(true);

    TShiftState band;
    band.Left = band.Ctrl = band.Shift = true;
    const TPointF a = screenOf(f, {-10, -10, 0});
    const TPointF b = screenOf(f, {10, 10, 0});
    f.viewport().MouseDown(TMouseButton::mbLeft, band, a.X, a.Y);
    EXPECT_EQ(f.state().LeftMouseMode, TLeftMouseMode::lmmSelectArea);
    f.viewport().MouseMove(band, b.X, b.Y);
    f.viewport().MouseUp(TMouseButton::mbLeft, {}, b.X, b.Y);

    EXPECT_EQ(f.state().LeftMouseMode, TLeftMouseMode::lmmDefault);
    ASSERT_EQ(f.state().SelectedObjList.Count(), 1);
    EXPECT_EQ(f.state().SelectedObjList.Items(0), &inside);
    EXPECT_TRUE(inside.IsObjectSelected());
    EXPECT_FALSE(outside.IsObjectSelected());
    EXPECT_FALSE(hidden.IsObjectSelected());
    EXPECT_EQ(f.selected("TMappingZone"), 1);
    EXPECT_TRUE(f.editor->Selection.DeleteAction.Enabled());
}

TEST(Selection, KindsCountByExactClassSoABeamSteeringArrayIsNoCluster) {
    EditorFixture f;
    auto cluster =
        std::make_unique<TCluster>(&f.medium, f.project.get(), nullptr, TCabPlacement::qzaVertical);
    auto beam =
        std::make_unique<TBeamContainer>(&f.medium, f.project.get(), nullptr, TCabPlacement::qzaVertical);
    TCluster* c = cluster.get();
    TBeamContainer* b = beam.get();
    f.project->AddCluster(std::move(cluster));
    f.project->AddBeamSteering(std::move(beam));
    TMappingZone& zone = addZone(f, 0, -2);
    for (TQzControl3D* o : std::initializer_list<TQzControl3D*>{c, b, &zone}) {
        f.state().SelectedObjList.Add(o);
        o->SetIsObjectSelected(true);
    }
    f.editor->Selection.UpdateAllSelection();
    EXPECT_EQ(f.selected("TCluster"), 1);
    EXPECT_EQ(f.selected("TBeamContainer"), 1);
    EXPECT_EQ(f.selected("TMappingZone"), 1);
    // A 3D object tagged with the beam-steering array is not a cluster's.
    TDummy drawn;
    drawn.TagObject = b;
    EXPECT_EQ(f.editor->Selection.GetClusterOfObject3D(&drawn), nullptr);
    EXPECT_EQ(f.editor->Selection.GetBeamOfObject3D(&drawn), b);
    f.editor->Selection.UnSelectAllObjects();
    EXPECT_FALSE(c->IsObjectSelected());
    EXPECT_FALSE(b->IsObjectSelected());
    EXPECT_EQ(f.selected("TCluster") + f.selected("TBeamContainer") + f.selected("TMappingZone"), 0);
}

TEST(Selection, RubberBandNeverStartsInTheThreeDView) {
    EditorFixture f;
    TShiftState band;
    band.Left = band.Ctrl = band.Shift = true;
    f.viewport().MouseDown(TMouseButton::mbLeft, band, 100, 100);
    EXPECT_EQ(f.state().LeftMouseMode, TLeftMouseMode::lmmDefault);
}

TEST(Selection, PlainLeftPressOnEmptySpaceEmptiesTheSelectionOthersKeepIt) {
    EditorFixture f;
    TMappingZone& zone = addZone(f, 0, -2);
    const auto select = [&] {
        f.state().SelectedObjList.Clear();
        f.state().SelectedObjList.Add(&zone);
        zone.SetIsObjectSelected(true);
    };
    struct Case {
        TShiftState shift;
        TLeftMouseMode mode;
        bool inserting;
        bool empties;
    };
    TShiftState withShift;
    withShift.Shift = true;
    TShiftState withCtrl;
    withCtrl.Ctrl = true;
    const Case cases[] = {{{}, TLeftMouseMode::lmmDefault, false, true},
                          {withShift, TLeftMouseMode::lmmDefault, false, false},
                          {withCtrl, TLeftMouseMode::lmmDefault, false, false},
                          {{}, TLeftMouseMode::lmmCamRotation, false, false},
                          {{}, TLeftMouseMode::lmmDefault, true, false}};
    for (const Case& c : cases) {
        select();
        f.state().LeftMouseMode = c.mode;
        f.state().InsertInMousePos_Mic = c.inserting;
        f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbLeft, c.shift, 10, 10);
        EXPECT_EQ(f.state().SelectedObjList.IsEmpty(), c.empties);
        EXPECT_EQ(zone.IsObjectSelected(), !c.empties);
    }
}

TEST(Selection, UpdatesRunOnlyAfterAChangeOfTheList) {
    EditorFixture f;
    TMappingZone& zone = addZone(f, 0, -2);
    f.state().SelectionBounding = {{1, 1, 1}, {2, 2, 2}};
    f.state().IsSelectionChanged = false;
    f.selected("TMappingZone") = 5;
    f.editor->Selection.UpdateAllSelection();
    EXPECT_EQ(f.selected("TMappingZone"), 5);
    // An emptied list: counters 0, actions off, the box kept by a full update.
    f.state().SelectedObjList.Add(&zone);
    f.state().SelectedObjList.Clear();
    f.editor->Selection.UpdateAllSelection();
    EXPECT_EQ(f.selected("TMappingZone"), 0);
    EXPECT_FALSE(f.editor->Selection.DeleteAction.Enabled());
    EXPECT_EQ(f.state().SelectionBounding.Max, TPoint3D(2, 2, 2));
    // ... and emptied by an update of the last object.
    f.state().SelectedObjList.Add(&zone);
    f.state().SelectedObjList.Clear();
    f.editor->Selection.UpdateLastSelection();
    EXPECT_EQ(f.state().SelectionBounding.Max, TPoint3D(0, 0, 0));
}

TEST(Selection, MousePressesSetCursorsAndTheContextMenu) {
    EditorFixture f;
    TShiftState middle;
    middle.Middle = true;
    TShiftState shiftMiddle = middle;
    shiftMiddle.Shift = true;
    f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbMiddle, shiftMiddle, 5, 5);
    EXPECT_EQ(f.state().ViewCursor, 4);
    f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbMiddle, middle, 5, 5);
    EXPECT_EQ(f.state().ViewCursor, 3);
    f.views().SideViewAction.Execute();
    f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbMiddle, middle, 5, 5);
    EXPECT_EQ(f.state().ViewCursor, 4);
    f.editor->Mouse.ViewportMouseUp(nullptr, TMouseButton::mbMiddle, {}, 5, 5);
    EXPECT_EQ(f.state().ViewCursor, crDefault);
    // The right button opens the scene menu, except while an insertion waits.
    f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbRight, {}, 5, 5);
    EXPECT_EQ(f.view.popups, 1);
    f.state().InsertInMousePos_Cabinet = true;
    f.editor->Mouse.ViewportMouseDown(nullptr, TMouseButton::mbRight, {}, 5, 5);
    EXPECT_EQ(f.view.popups, 1);
}

TEST(Selection, RayMeetsTheInputPlaneOfTheViewWithinItsReach) {
    EditorFixture f;
    const TPoint3D none{-7, -7, -7};
    // Top and 3D views: the floor plane.
    const TPoint3D p = f.editor->Mouse.AbsoluteRayToInputPlane({3, -10, 4, 1}, {0, 1, 0, 0}, none);
    EXPECT_NEAR(p.X, 3, 1e-4);
    EXPECT_NEAR(p.Y, 0, 1e-4);
    EXPECT_NEAR(p.Z, 4, 1e-4);
    // Parallel to the plane, or beyond 1000 m: the caller's point.
    EXPECT_EQ(f.editor->Mouse.AbsoluteRayToInputPlane({3, -10, 4, 1}, {1, 0, 0, 0}, none), none);
    EXPECT_EQ(f.editor->Mouse.AbsoluteRayToInputPlane({1200, -10, 4, 1}, {0, 1, 0, 0}, none), none);
    // Side view: the plane z = 0.
    f.views().SideViewAction.Execute();
    const TPoint3D q = f.editor->Mouse.AbsoluteRayToInputPlane({3, -10, -40, 1}, {0, 0, 1, 0}, none);
    EXPECT_NEAR(q.Z, 0, 1e-4);
    EXPECT_NEAR(q.Y, -10, 1e-4);
}

TEST(Selection, OnlyThePlaneOfTheCurrentViewTakesTheMouse) {
    EditorFixture f;
    TEditorScene& s = f.scene();
    f.views().FrontViewAction.Execute();
    f.editor->Mouse.SetInputAxisAcordingViews();
    EXPECT_TRUE(s.InputFront->HitTest);
    EXPECT_FALSE(s.InputTop->HitTest);
    EXPECT_FALSE(s.InputSide->HitTest);
    f.state().LeftMouseMode = TLeftMouseMode::lmmRuler;
    f.editor->Mouse.SetInputAxisAcordingViews();
    EXPECT_FALSE(s.InputFront->HitTest);
}

} // namespace
} // namespace vendrel
