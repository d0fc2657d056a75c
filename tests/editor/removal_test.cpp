#include "editor/removal.h"

#include <gtest/gtest.h>

#include "objects_fixture.h"
#include "scene/scene_object.h"

namespace vendrel {
namespace {

using testing::ObjectsFixture;

TCabinet* addCabinet(ObjectsFixture& f, const TPoint3D& at) {
    return f.editor->Adding.AddNewCabinet("Box", "", "", at, {}, false, TCabPlacement::qzaVertical, 0, true,
                                          false, f.editor->Layers.SelectedLayer, 0, 0);
}

TEST(Removal, DeleteAsksWithTheCountAndRemovesCabinetsAndZonesWithTheirPanels) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    f.topView();
    TMappingZone* zone = ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle);
    TCabinet* cabinet = addCabinet(f, {3, -1, 60});
    TCabinet* kept = addCabinet(f, {-3, -1, 60});
    f.click(cabinet->Position());
    f.click(TSceneObjects::ZoneSolid(*zone)->LocalToAbsolute3D({0, 0, 0}), [] {
        TShiftState s;
        s.Ctrl = true;
        return s;
    }());
    ASSERT_EQ(f.selection(), (std::vector<TObject*>{cabinet, zone}));
    // Every list and field that may point at them.
    ed.State.CopyObjList.Add(cabinet);
    ed.State.LockedList.Add(zone);
    ed.Selection.SetHighLight(zone);
    ASSERT_EQ(ed.State.AcousticPrjItemClicked, zone);

    f.boxes.answers.push_back(TModalResult::mrNo);
    ed.Keys.MainFormKeyDown(46, 0, {}, false);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Delete all selected (and not locked) objects? (2)");
    EXPECT_EQ(f.project->NCabinets(), 2);

    f.boxes.answers.push_back(TModalResult::mrYes);
    ed.Keys.MainFormKeyDown(46, 0, {}, false);
    EXPECT_EQ(f.project->NCabinets(), 1);
    EXPECT_EQ(f.project->NMappingZones(), 0);
    EXPECT_EQ(f.project->Cabinets()[0].get(), kept);
    EXPECT_EQ(kept->NumberID(), 1);
    EXPECT_EQ(f.panels.freed, 2);
    EXPECT_EQ(f.panels.cabinets.size(), 1u);
    EXPECT_TRUE(f.panels.zones.empty());
    EXPECT_EQ(ed.PanelSwitching.ZonesTabControl.Count(), 0);
    EXPECT_TRUE(f.selection().empty());
    EXPECT_TRUE(ed.State.CopyObjList.IsEmpty());
    EXPECT_TRUE(ed.State.LockedList.IsEmpty());
    EXPECT_EQ(ed.State.HighLightObj, nullptr);
    EXPECT_EQ(ed.State.AcousticPrjItemClicked, nullptr);
    EXPECT_TRUE(ed.Project.EventsEnabled());

    // The places where they were take clicks as empty space (a sanitized build checks nothing freed is
    // reached).
    f.click({3, -1, 60});
    f.click({0, 0, 0});
    f.editor->Repaint();
    EXPECT_TRUE(f.selection().empty());
}

TEST(Removal, LockedObjectsAreSparedAndLeaveTheSelectionWithTheirFlag) {
    ObjectsFixture f;
    TEditor& ed = *f.editor;
    TCabinet* own = addCabinet(f, {0, 0, 0});
    TCabinet* layered = addCabinet(f, {2, 0, 0});
    TCabinet* free = addCabinet(f, {4, 0, 0});
    own->SetIsLocked(true);
    TQzLayer* layer = ed.Layers.AddLayer();
    layered->SetMyLayer(layer);
    layer->SetIsLocked(true);
    layered->SetIsLocked(false); // only its layer's lock protects it
    for (TCabinet* c : {own, layered, free}) {
        c->SetIsObjectSelected(true);
        ed.State.SelectedObjList.Add(c);
    }
    f.boxes.answers.push_back(TModalResult::mrYes);
    ed.Removal.DeleteActionExecute();
    EXPECT_EQ(f.boxes.shown.back().text, "Delete all selected (and not locked) objects? (3)");
    ASSERT_EQ(f.project->NCabinets(), 2);
    EXPECT_TRUE(f.selection().empty());
    // Selected exactly when listed: the spared ones are unselected.
    EXPECT_FALSE(own->IsObjectSelected());
    EXPECT_FALSE(layered->IsObjectSelected());
}

} // namespace
} // namespace vendrel
