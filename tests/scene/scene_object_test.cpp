#include "scene/scene_object.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

TEST(SceneObject, StartsPlainAndNamesItsLayer) {
    TQzControl3D obj;
    EXPECT_FALSE(obj.IsObjectSelected());
    EXPECT_FALSE(obj.IsLocked());
    EXPECT_FALSE(obj.IsHighLight());
    EXPECT_EQ(obj.MyLayer(), nullptr);
    EXPECT_EQ(obj.LayerName(), "No Assigned Layer");
    EXPECT_EQ(obj.LayerNumber(), -1);

    TQzLayer layer;
    layer.SetName("Layer 3");
    layer.SetNumID(3);
    obj.SetMyLayer(&layer);
    EXPECT_EQ(obj.LayerName(), "Layer 3");
    EXPECT_EQ(obj.LayerNumber(), 3);
    layer.SetName("Stage");
    EXPECT_EQ(obj.LayerName(), "Stage");

    obj.SetObjectSelected();
    EXPECT_TRUE(obj.IsObjectSelected());
}

TEST(SceneObject, HighlightRepaintsOnlyOnChange) {
    TQzControl3D obj;
    const int before = obj.RepaintRequests();
    obj.SetIsHighLight(false);
    EXPECT_EQ(obj.RepaintRequests(), before);
    obj.SetIsHighLight(true);
    EXPECT_EQ(obj.RepaintRequests(), before + 1);
    obj.SetIsHighLight(true);
    EXPECT_EQ(obj.RepaintRequests(), before + 1);
}

// A member that counts how often the layer reaches its visibility setter.
class CountingMember : public TQzControl3D {
public:
    void SetVisible(bool Value) override {
        ++visibilityCalls;
        TQzControl3D::SetVisible(Value);
    }
    int visibilityCalls = 0;
};

TEST(Layer, PushesLockAndVisibilityOnlyWhenTheyChange) {
    TQzLayer layer;
    EXPECT_FALSE(layer.IsLocked());
    EXPECT_TRUE(layer.Visible());
    EXPECT_TRUE(layer.Active);
    EXPECT_EQ(layer.Color, 0xFFFFFFFFu);
    EXPECT_EQ(layer.NumID(), 0);

    CountingMember a, b;
    b.SetIsLocked(true); // differs from the layer already
    b.SetVisible(false);
    b.visibilityCalls = 0;
    layer.ObjListInLayer = {&a, &b};

    layer.SetIsLocked(false); // unchanged: members untouched
    layer.SetVisible(true);
    EXPECT_TRUE(b.IsLocked());
    EXPECT_FALSE(b.Visible());
    EXPECT_EQ(a.visibilityCalls + b.visibilityCalls, 0);

    layer.SetIsLocked(true);
    EXPECT_TRUE(a.IsLocked());
    EXPECT_TRUE(b.IsLocked());
    layer.SetIsLocked(false);
    EXPECT_FALSE(a.IsLocked());
    EXPECT_FALSE(b.IsLocked());

    layer.SetVisible(false);
    EXPECT_FALSE(a.Visible());
    EXPECT_FALSE(b.Visible());
    EXPECT_EQ(a.visibilityCalls, 1);
    EXPECT_EQ(b.visibilityCalls, 1); // reached even though it was hidden already
    layer.SetVisible(true);
    EXPECT_TRUE(a.Visible());
    EXPECT_TRUE(b.Visible());
}

TEST(Layer, EmptyLayerCanBeLockedHiddenAndFreed) {
    auto* layer = new TQzLayer;
    layer->SetIsLocked(true);
    layer->SetVisible(false);
    EXPECT_TRUE(layer->IsLocked());
    EXPECT_FALSE(layer->Visible());
    layer->FreeClass();
}

} // namespace
} // namespace vendrel
