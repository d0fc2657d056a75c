#include "scene/selection_box.h"

#include <gtest/gtest.h>

namespace vendrel {
namespace {

TEST(SelectionBox, SpansBothPointsPerAxis) {
    TMouseSelectionBox box;
    EXPECT_EQ(box.Bounding.Min, (TPoint3D{0, 0, 0}));
    EXPECT_EQ(box.Bounding.Max, (TPoint3D{0, 0, 0}));
    box.SetFirstPoint({3, 0, -1});
    EXPECT_EQ(box.Bounding.Min, (TPoint3D{0, 0, -1}));
    EXPECT_EQ(box.Bounding.Max, (TPoint3D{3, 0, 0}));
    box.SetSecondPoint({1, 2, 5});
    EXPECT_EQ(box.Bounding.Min, (TPoint3D{1, 0, -1}));
    EXPECT_EQ(box.Bounding.Max, (TPoint3D{3, 2, 5}));
    EXPECT_EQ(box.FirstPoint(), (TPoint3D{3, 0, -1}));
    EXPECT_EQ(box.SecondPoint(), (TPoint3D{1, 2, 5}));
}

} // namespace
} // namespace vendrel
