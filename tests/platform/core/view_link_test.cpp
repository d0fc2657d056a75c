#include "platform/core/view_link.h"

#include <gtest/gtest.h>

#include <memory>

namespace vendrel {
namespace {

struct Shown {
    TViewLink GraphicalInterface;
};

// A panel holding its object by a typed pointer, which it drops when the object goes.
struct Panel : IModelView {
    Shown* object = nullptr;
    int detached = 0;

    void Show(Shown& o) {
        o.GraphicalInterface.Attach(this);
        object = &o;
    }

protected:
    void ObjectDetached() override {
        object = nullptr;
        ++detached;
    }
};

TEST(ViewLink, ARemovedObjectLeavesNoViewPointingAtIt) {
    Panel panel;
    {
        Shown zone;
        panel.Show(zone);
        EXPECT_EQ(zone.GraphicalInterface.ViewAs<Panel>(), &panel);
        EXPECT_EQ(panel.ShownLink(), &zone.GraphicalInterface);
    }
    EXPECT_EQ(panel.object, nullptr);
    EXPECT_EQ(panel.ShownLink(), nullptr);
    EXPECT_EQ(panel.detached, 1);
}

TEST(ViewLink, AClosedViewLeavesNoObjectPointingAtIt) {
    Shown zone;
    {
        Panel panel;
        panel.Show(zone);
    }
    EXPECT_EQ(zone.GraphicalInterface.View(), nullptr);
    EXPECT_FALSE(zone.GraphicalInterface);
}

TEST(ViewLink, OneViewPerObjectAndOneObjectPerView) {
    Shown a, b;
    Panel first, second;
    first.Show(a);
    second.Show(a); // the object takes another view: the first forgets it
    EXPECT_EQ(first.object, nullptr);
    EXPECT_EQ(first.ShownLink(), nullptr);
    EXPECT_EQ(a.GraphicalInterface.View(), &second);
    second.Show(b); // the view moves on: the object it showed forgets it
    EXPECT_EQ(a.GraphicalInterface.View(), nullptr);
    EXPECT_EQ(b.GraphicalInterface.View(), &second);
    EXPECT_EQ(second.ShownLink(), &b.GraphicalInterface);

    const Shown copy = b; // a copy is not shown by the original's view
    EXPECT_EQ(copy.GraphicalInterface.View(), nullptr);
    EXPECT_EQ(b.GraphicalInterface.View(), &second);
    b.GraphicalInterface.Detach();
    EXPECT_EQ(second.object, nullptr);
}

} // namespace
} // namespace vendrel
