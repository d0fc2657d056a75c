#include "editor/layers.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "scene/scene_object.h"

namespace vendrel {
namespace {

using testing::EditorFixture;

TEST(Layers, DefaultColoursAreTheTenHslHues) {
    TColorArray colors{};
    CreateColors(10, 0.5f, colors);
    const TColorArray expected = {0xFFFF0000, 0xFFFF9900, 0xFFCCFF00, 0xFF479933, 0xFF00FF66,
                                  0xFF00FFFF, 0xFF0066FF, 0xFF3300FF, 0xFFCC00FF, 0xFFFF0099};
    EXPECT_EQ(colors, expected);
}

TEST(Layers, BaseLayerThenNumberedLayersTakeTheNextColour) {
    EditorFixture f;
    TLayers& l = f.editor->Layers;
    ASSERT_EQ(l.LayerList.size(), 1u);
    EXPECT_EQ(l.GlobalLayer->Name(), "Layer 0 (Global)");
    EXPECT_EQ(l.GlobalLayer->Color, 0xFFFF00FFu);
    EXPECT_EQ(l.SelectedLayer, l.GlobalLayer);
    EXPECT_FALSE(l.DeleteLayerAction.Enabled());
    EXPECT_FALSE(l.MoveToLayerMenuMain.Enabled());
    TQzLayer* first = l.AddLayer();
    EXPECT_EQ(first->Name(), "Layer 1");
    EXPECT_EQ(first->NumID(), 1);
    EXPECT_EQ(first->Color, 0xFFFF9900u); // colour 0 went to the base layer
    EXPECT_EQ(first->MyLayerList, &l.LayerList);
    EXPECT_TRUE(l.DeleteLayerAction.Enabled());
    EXPECT_TRUE(f.project->IsProjectModified());
    TQzLayer* last = nullptr;
    for (int i = 0; i < 9; ++i) {
        last = l.AddLayer();
    }
    EXPECT_EQ(last->Name(), "Layer 10");
    EXPECT_EQ(last->Color, 0xFFFF0000u); // the tenth added layer wraps to colour 0
}

} // namespace
} // namespace vendrel
