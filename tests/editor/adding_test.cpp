#include "editor/adding.h"

#include <gtest/gtest.h>

#include <cmath>

#include "objects_fixture.h"
#include "scene/zone_shapes.h"

namespace vendrel {
namespace {

using testing::ObjectsFixture;

void expectNear(const TPoint3D& a, const TPoint3D& b, float tol) {
    EXPECT_NEAR(a.X, b.X, tol);
    EXPECT_NEAR(a.Y, b.Y, tol);
    EXPECT_NEAR(a.Z, b.Z, tol);
}

TEST(AddingObjects, DefaultZonesSitBesideTheOneBeforeWithTheirTabsAndPanels) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    TMappingZone* first = ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    TMappingZone* second = ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    TMappingZone* third = ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Trapezium);
    // The first at the origin; each next one beside the one before (left selected by its command):
    // X of the begin corner + 1, height + listening level + 1 + thickness (zones grow upwards).
    expectNear(first->XYZBegin(), {0, 0, 0}, 1e-5f);
    expectNear(second->XYZBegin(), {1, 1.7f + 1 + 0.1f, 0}, 1e-5f);
    expectNear(third->XYZBegin(), {2, 2 * 2.8f, 0}, 1e-4f);
    EXPECT_FLOAT_EQ(second->Width(), 50);
    EXPECT_FLOAT_EQ(second->Depth(), 30);
    EXPECT_FLOAT_EQ(third->Width(), 30);
    EXPECT_FLOAT_EQ(third->Depth(), 15);
    EXPECT_NE(dynamic_cast<TQzTrapezium3D*>(TSceneObjects::ZoneSolid(*third)), nullptr);

    const TUITabs& tabs = ed.PanelSwitching.ZonesTabControl;
    ASSERT_EQ(tabs.Count(), 3);
    EXPECT_EQ(tabs.Items(0).Text, "Zone 1: No Name");
    EXPECT_EQ(tabs.Items(1).Text, "Zone 2: No Name");
    EXPECT_EQ(tabs.Items(1).TagObject, second);
    // The last one alone is selected, its tab shown and active, its page in front.
    ASSERT_EQ(f.selection(), std::vector<TObject*>{third});
    EXPECT_TRUE(TSceneObjects::ZoneSolid(*third)->IsSelected());
    EXPECT_FALSE(second->IsObjectSelected());
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_FALSE(tabs.Items(0).Visible);
    EXPECT_EQ(ed.PanelSwitching.MainTabControl.Value(), static_cast<double>(TMainPage::VenueAndZonesTabItem));
    EXPECT_EQ(ed.PanelSwitching.StatusLabel.Text(), "1 Objects Selected, 1 Zones");
    ASSERT_EQ(f.panels.zones.size(), 3u);
    EXPECT_EQ(PanelOf<IObjectPanel>(*second), f.panels.zones[1].get());

    // The drawn holder stands at the zone in the zones' frame (scene Y down: the height is -Y).
    const TPoint3D centre = TSceneObjects::ZoneSolid(*second)->LocalToAbsolute3D({0, 0, 0});
    EXPECT_NEAR(centre.X, second->XBegin() + 25, 1e-3);
    EXPECT_NEAR(centre.Z, 0, 1e-3);
    EXPECT_EQ(ed.Render.RenderB.ImageIndex(), 42); // needs calculation
}

TEST(AddingObjects, ACabinetModelWithoutMeshIsDrawnAsABoxOfItsSize) {
    ObjectsFixture f;
    TCabinet* cabinet = f.editor->Adding.AddNewCabinet("NoMesh", "", "", {1, -2, 3}, {0, 30, 0}, false,
                                                       TCabPlacement::qzaVertical, 0, true, false,
                                                       f.editor->Layers.SelectedLayer, 0, 0);
    ASSERT_NE(cabinet, nullptr);
    ASSERT_EQ(f.project->NCabinets(), 1);
    const TModel3D* model = TSceneObjects::CabinetModel3D(*cabinet);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->MeshCount(), 1);
    EXPECT_FLOAT_EQ(model->Width(), 0.6f);
    EXPECT_FLOAT_EQ(model->Height(), 0.4f);
    EXPECT_TRUE(model->HitTest);
    EXPECT_EQ(cabinet->GraphicalObject->Position(), TPoint3D(1, -2, 3));
    EXPECT_FLOAT_EQ(cabinet->GraphicalObject->RotationAngle().Y, 30);
    EXPECT_EQ(cabinet->ExternalDSPProcess(), f.project->BypassProcess());
    EXPECT_EQ(f.panels.cabinets.at(0)->name, "CabinetFrame" + std::to_string(f.project->UniqueID()));
    // An unknown model adds nothing and says so.
    EXPECT_EQ(f.editor->Adding.AddNewCabinet("Unknown", "", "", {}, {}, false, TCabPlacement::qzaVertical, 0,
                                             true, false, nullptr, 0, 0),
              nullptr);
    EXPECT_EQ(f.project->NCabinets(), 1);
    ASSERT_FALSE(f.boxes.shown.empty());
    EXPECT_EQ(f.boxes.shown.back().text, "Cabinet Model \"Unknown \" was not found in Library");
}

TEST(AddingObjects, AClickInTheTopViewPlacesTheArmedCabinetWhereTheRayMeetsTheFloor) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    f.topView();
    ed.State.IsMagneticObjects = false;
    ed.Adding.PopupModelsTarget = nullptr;
    ed.Adding.ModelMenuItemClick(0);
    ASSERT_TRUE(ed.State.InsertInMousePos_Cabinet);
    ASSERT_TRUE(f.scene().InputTop->HitTest);

    const TPointF s{430, 280};
    TVector3D rayPos, rayDir;
    f.viewport().Pick(s.X, s.Y, rayPos, rayDir);
    const float t = -rayPos.Y / rayDir.Y;
    const TPoint3D floor(rayPos.X + t * rayDir.X, 0, rayPos.Z + t * rayDir.Z);
    TShiftState left;
    left.Left = true;
    f.viewport().MouseMove({}, s.X, s.Y);
    f.viewport().MouseDown(TMouseButton::mbLeft, left, s.X, s.Y);
    f.viewport().MouseUp(TMouseButton::mbLeft, {}, s.X, s.Y);
    ASSERT_EQ(f.project->NCabinets(), 1);
    TCabinet* a = f.project->Cabinets()[0].get();
    expectNear(a->Position(), floor, 1e-4f);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{a});
    // The insertion stays armed; a ray that meets no plane inserts nothing.
    EXPECT_TRUE(ed.State.InsertInMousePos_Cabinet);
    ed.Adding.InsertingCabinetOnMouseDown(f.scene().InputTop, left, {0, 0, -5}, {1, 0, 0});
    EXPECT_EQ(f.project->NCabinets(), 1);

    // With magnetic snapping a click on the top face stacks the next one on it.
    ed.State.IsMagneticObjects = true;
    ed.Selection.UnSelectAllObjects();
    const TPoint3D top = a->Position() + TPoint3D(0.05f, -0.2f, 0.05f);
    f.moveTo(top);
    f.click(top);
    ASSERT_EQ(f.project->NCabinets(), 2);
    TCabinet* b = f.project->Cabinets()[1].get();
    expectNear(b->Position(), a->Position() + TPoint3D(0, -0.4f, 0), 1e-4f);
    EXPECT_EQ(b->RotationAngle(), a->RotationAngle());

    // Esc ends the insertion and hides the preview.
    ed.Keys.MainFormKeyDown(27, 0, {}, false);
    EXPECT_FALSE(ed.State.InsertInMousePos_Cabinet);
    EXPECT_FALSE(f.library.FModels3DImported[0]->Visible());
}

// While a model is armed the status line says that every click places another and how to stop, and a
// preview too small to see at the present zoom is marked by a cube a few pixels wide.
TEST(AddingObjects, AnArmedModelIsToldInTheStatusLineAndATinyPreviewIsMarked) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    f.topView();
    ed.State.IsMagneticObjects = false;
    const TUIText& status = ed.PanelSwitching.StatusLabel;
    const TCube& mark = *f.scene().InsertMarker;
    ed.Adding.ModelMenuItemClick(0);
    EXPECT_EQ(status.Text(), "Click in the view to place Box; every click places another. Esc to finish.");

    // 20 m across: the 0.6 m box is drawn large enough by itself.
    f.moveTo({2, 0, 3});
    EXPECT_TRUE(f.library.FModels3DImported[0]->Visible());
    EXPECT_FALSE(mark.Visible());
    f.click({2, 0, 3});
    ASSERT_EQ(f.project->NCabinets(), 1);
    EXPECT_EQ(status.Text(), "Cabinet 1 placed. Click to place another Box, Esc to finish.");

    // Far out the box would be a pixel or less: the mark stands at its place, 8 pixels wide.
    f.views().ZoomSpinBox.SetValue(-1500);
    f.moveTo({40, 0, -30});
    ASSERT_TRUE(mark.Visible());
    const TPoint3D at = f.library.FModels3DImported[0]->Position();
    EXPECT_EQ(mark.Position(), at);
    const TPointF a = f.screenOf(at - TPoint3D(mark.Width() / 2, 0, 0));
    const TPointF b = f.screenOf(at + TPoint3D(mark.Width() / 2, 0, 0));
    EXPECT_NEAR(std::hypot(b.X - a.X, b.Y - a.Y), 8.0, 0.5);

    // Esc ends the placing: no preview, no mark, and the status line tells the selection again.
    ed.Keys.MainFormKeyDown(27, 0, {}, false);
    EXPECT_FALSE(mark.Visible());
    EXPECT_FALSE(f.library.FModels3DImported[0]->Visible());
    EXPECT_EQ(status.Text(), "1 Objects Selected, 1 Cabinets");
}

TEST(AddingObjects, IncrementalOffsetsTurnEachNextCabinetFurther) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    f.topView();
    ed.State.IsMagneticObjects = false;
    ed.Adding.RotZNB.SetValue(15);
    ed.Adding.ModelMenuItemClick(0);
    const auto place = [&](bool incremental) {
        (incremental ? ed.Adding.AcumOffRB : ed.Adding.AbsOffRB).Execute();
        for (int i = 0; i < 3; ++i) {
            f.click({static_cast<float>(3 * i), 0, 4});
        }
    };
    place(true);
    place(false);
    ASSERT_EQ(f.project->NCabinets(), 6);
    const float expected[] = {-15, -30, -45, -15, -15, -15};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(f.project->Cabinets()[static_cast<size_t>(i)]->RotationAngle().Y, expected[i]) << i;
    }
}

TEST(AddingObjects, DrawnPointsBecomeAPolygonZoneUnlessTheyEncloseNoArea) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    f.topView();
    ed.Adding.DrawSurfaceActionExecute();
    const TPoint3D pts[] = {{0, 0, 0}, {6, 0, 0}, {0, 0, 4}};
    for (const TPoint3D& p : pts) {
        f.moveTo(p);
        f.click(p);
    }
    EXPECT_EQ(ed.State.SurfacePoints.size(), 3u);
    f.moveTo({0.02f, 0, 0.02f});
    EXPECT_TRUE(ed.State.IsEndPointSurface);
    f.click({0.02f, 0, 0.02f});
    ASSERT_EQ(f.project->NMappingZones(), 1);
    TMappingZone& zone = *f.project->MappingZones()[0];
    EXPECT_EQ(zone.SurfaceType(), TSurfaceType::qzaPolygon);
    EXPECT_EQ(zone.NPolygonPoints(), 3);
    EXPECT_EQ(zone.Name(), "No Name");
    EXPECT_NEAR(zone.Width(), 6, 1e-4);
    EXPECT_NEAR(zone.Depth(), 4, 1e-4);
    EXPECT_FALSE(ed.State.InsertInMousePos_SurfacePoint);
    EXPECT_EQ(f.selection(), std::vector<TObject*>{&zone});

    // Esc after two points leaves no zone.
    ed.Adding.DrawSurfaceActionExecute();
    f.click({10, 0, 0});
    f.click({14, 0, 0});
    ed.Keys.MainFormKeyDown(27, 0, {}, false);
    EXPECT_EQ(f.project->NMappingZones(), 1);
    EXPECT_TRUE(ed.State.SurfacePoints.empty());

    // Points on one line are refused with a message.
    ed.Adding.DrawSurfaceActionExecute();
    for (float x : {10.0f, 12.0f, 14.0f}) {
        f.click({x, 0, 2});
    }
    f.moveTo({10, 0, 2});
    f.click({10, 0, 2});
    EXPECT_EQ(f.project->NMappingZones(), 1);
    ASSERT_FALSE(f.boxes.shown.empty());
    EXPECT_EQ(f.boxes.shown.back().text, TAddObjects::kNoAreaMessage);
    EXPECT_FALSE(ed.State.InsertInMousePos_SurfacePoint);
}

TEST(AddingObjects, PolygonOutlinesTakeAPositiveWindingWithTheFirstPointFirst) {
    struct Case {
        std::vector<TPoint3D> in;
        std::vector<TPoint3D> out;
        bool reversed;
    };
    const Case cases[] = {
        // Clockwise in the plane: the rest of the points turn round (z comes back negated).
        {{{0, 0, 1}, {0, 2, 1}, {3, 0, 1}}, {{0, 0, -1}, {3, 0, -1}, {0, 2, -1}}, true},
        {{{0, 0, 1}, {3, 0, 1}, {0, 2, 1}}, {{0, 0, -1}, {3, 0, -1}, {0, 2, -1}}, false},
        // First, second and last points on one line keep their order.
        {{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}, {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}, false},
    };
    for (const Case& c : cases) {
        std::vector<TPoint3D> pts = c.in;
        const TPolygonPos pos = GetPolygonPos(pts, {0, 0, 0}, false);
        EXPECT_EQ(pos.Reversed, c.reversed);
        EXPECT_EQ(pts, c.out);
    }
    // Zero rotation, no creation: the begin corner is (min x, -(z of the first point), -(middle of y)).
    std::vector<TPoint3D> pts = {{2, 1, 0.5f}, {6, 1, 0.5f}, {6, 5, 0.5f}};
    const TPolygonPos pos = GetPolygonPos(pts, {0, 0, 0}, false);
    expectNear(pos.Begin, {2, -0.5f, -3}, 1e-6f);
    EXPECT_FLOAT_EQ(pos.Rect.Width(), 4);
    EXPECT_FLOAT_EQ(pos.Rect.Height(), 4);
}

} // namespace
} // namespace vendrel
