#include "editor/object_mouse.h"

#include <gtest/gtest.h>

#include "objects_fixture.h"
#include "platform/core/context3d.h"

namespace vendrel {
namespace {

using testing::ObjectsFixture;

TCabinet* addCabinet(ObjectsFixture& f, const TPoint3D& at) {
    return f.editor->Adding.AddNewCabinet("Box", "", "", at, {}, false, TCabPlacement::qzaVertical, 0, true,
                                          false, f.editor->Layers.SelectedLayer, 0, 0);
}

TEST(ObjectMouse, PressesSelectToggleAndEmptyTheSelection) {
    ObjectsFixture f;
    f.topView();
    TCabinet* a = addCabinet(f, {-3, 0, 0});
    TCabinet* b = addCabinet(f, {3, 0, 0});
    TShiftState ctrl;
    ctrl.Ctrl = true;

    f.click(a->Position());
    EXPECT_EQ(f.selection(), std::vector<TObject*>{a});
    EXPECT_TRUE(f.panels.cabinets[0]->checked);
    EXPECT_EQ(f.editor->PanelSwitching.StatusLabel.Text(), "1 Objects Selected, 1 Cabinets");
    EXPECT_TRUE(f.panels.cabinets[0]->visible);
    EXPECT_FALSE(f.panels.cabinets[1]->visible);

    f.click(b->Position(), ctrl);
    EXPECT_EQ(f.selection(), (std::vector<TObject*>{a, b}));
    // A plain press on a selected one keeps the selection and moves it to the end.
    f.click(a->Position());
    EXPECT_EQ(f.selection(), (std::vector<TObject*>{b, a}));
    EXPECT_EQ(f.selected("TCabinet"), 2);
    f.click(a->Position(), ctrl);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{b});
    EXPECT_FALSE(a->IsObjectSelected());
    EXPECT_FALSE(f.panels.cabinets[0]->checked);
    // Ctrl with the right button never unselects, and opens the menu for the object.
    const int popups = f.view.popups;
    f.click(b->Position(), ctrl, TMouseButton::mbRight);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{b});
    EXPECT_EQ(f.view.popups, popups + 1);

    f.click({0, 0, 6});
    EXPECT_TRUE(f.selection().empty());
    EXPECT_FALSE(b->IsObjectSelected());
    EXPECT_EQ(f.editor->PanelSwitching.StatusLabel.Text(), "");
}

TEST(ObjectMouse, ABandInTheTopViewSelectsExactlyTheVisibleObjectsInside) {
    ObjectsFixture f;
    f.topView();
    TCabinet* a = addCabinet(f, {-3, 0, 0});
    TCabinet* b = addCabinet(f, {3, 0, 0});
    TCabinet* far = addCabinet(f, {8, 0, 0});
    b->GraphicalObject->SetVisible(false);
    b->SetVisible(false);
    TShiftState band;
    band.Left = band.Ctrl = band.Shift = true;
    const TPointF from = f.screenOf({-5, 0, -2});
    const TPointF to = f.screenOf({5, 0, 2});
    f.viewport().MouseDown(TMouseButton::mbLeft, band, from.X, from.Y);
    f.viewport().MouseMove(band, to.X, to.Y);
    f.viewport().MouseUp(TMouseButton::mbLeft, {}, to.X, to.Y);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{a});
    EXPECT_FALSE(far->IsObjectSelected());
    EXPECT_TRUE(f.panels.cabinets[0]->checked);
}

TEST(ObjectMouse, AZonePressSelectsItAndItsSolidWhileAPressDuringAnInsertionDoesNot) {
    ObjectsFixture f;
    f.topView();
    TMappingZone* zone = f.editor->Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    f.editor->Selection.UnSelectAllObjects();
    const TPoint3D centre = TSceneObjects::ZoneSolid(*zone)->LocalToAbsolute3D({0, 0, 0});
    f.click(centre);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{zone});
    EXPECT_TRUE(TSceneObjects::ZoneSolid(*zone)->IsSelected());

    f.editor->Selection.UnSelectAllObjects();
    f.editor->Adding.DrawSurfaceActionExecute();
    f.click(centre);
    EXPECT_TRUE(f.selection().empty());
    EXPECT_EQ(f.state().SurfacePoints.size(), 1u);
}

TEST(ObjectMouse, MagneticSnapFindsTheNearestUnselectedObjectOnly) {
    ObjectsFixture f;
    TCabinet* low = addCabinet(f, {0, 0, 0});
    TCabinet* high = addCabinet(f, {0, -1, 0});
    const TPoint3D from(0, -10, 0);
    const TPoint3D down(0, 1, 0);
    TMagneticHit hit;
    hit.Point = {7, 7, 7};
    f.state().IsMagneticObjects = false;
    EXPECT_FALSE(f.editor->ObjectMouse.MagneticSnap(from, down, hit));
    EXPECT_EQ(hit.Point, TPoint3D(7, 7, 7));
    f.state().IsMagneticObjects = true;
    // The 3D camera looks from above here: the upper cabinet is the nearer hit.
    f.scene().Cam3DDummyY->SetRotationAngle({0, 0, 0});
    f.scene().Cam3DDummyX->SetRotationAngle({90, 0, 0});
    f.scene().Camera3D->SetPosition({0, 0, 10});
    ASSERT_NEAR(f.scene().Camera3D->AbsolutePosition().Y, -10, 1e-3);
    ASSERT_TRUE(f.editor->ObjectMouse.MagneticSnap(from, down, hit));
    EXPECT_EQ(hit.Object, TSceneObjects::CabinetModel3D(*high));
    EXPECT_NEAR(hit.Point.Y, -1.2f, 1e-4);
    // A selected object is never a candidate.
    high->SetIsObjectSelected(true);
    ASSERT_TRUE(f.editor->ObjectMouse.MagneticSnap(from, down, hit));
    EXPECT_EQ(hit.Object, TSceneObjects::CabinetModel3D(*low));
}

TEST(ObjectMouse, ASelectedCabinetDrawsItsBoxRotationPointAndThrowLine) {
    ObjectsFixture f;
    TCabinet* cabinet = addCabinet(f, {0, 0, 0});
    f.editor->Grid.ShowThrowItem.SetChecked(true);
    f.editor->Grid.ShowCoverageItem.SetChecked(false);
    TModel3D* model = TSceneObjects::CabinetModel3D(*cabinet);
    const auto kinds = [&] {
        TContext3D c;
        f.editor->Kinds.Find("TCabinet")->Render(model, c);
        std::vector<TDrawKind> k;
        for (const TDrawCommand& d : c.Commands()) {
            k.push_back(d.Kind);
        }
        return k;
    };
    EXPECT_EQ(kinds(), std::vector<TDrawKind>{TDrawKind::dkLine});
    cabinet->SetIsObjectSelected(true);
    EXPECT_EQ(kinds(),
              (std::vector<TDrawKind>{TDrawKind::dkLine, TDrawKind::dkWireCube, TDrawKind::dkSolidCube}));
    cabinet->SetIsMovingOBJ3D(true);
    EXPECT_EQ(kinds(), (std::vector<TDrawKind>{TDrawKind::dkWireCube, TDrawKind::dkSolidCube}));
}

} // namespace
} // namespace vendrel
