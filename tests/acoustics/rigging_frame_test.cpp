#include "acoustics/rigging_frame.h"

#include <gtest/gtest.h>

#include "acoustics/cab_model.h"
#include "acoustics/physical_space.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kTol = 1e-6;

class RiggingFrameTest : public ::testing::Test {
protected:
    RiggingFrameTest() { space.StorePixelToMeters(0.5); }
    TPhysicalSpace space;
    TRigFrameModel frameModel{&space, nullptr};
};

TEST_F(RiggingFrameTest, RelativeTurnIsWrappedAndAddedToTheParents) {
    TRiggingFrame frame(&space, &frameModel, nullptr);
    frame.SetRotationAngleZ(190.0f);
    EXPECT_NEAR(frame.RelativeRotationRadZ(), -170.0 * kDeg, kTol);

    TQzDummy joint(&space, nullptr);
    joint.SetAbsoluteRotationRadZ(0.3);
    joint.SetAbsoluteRotationRadY(-0.2);
    TQzDummy spacer(&space, nullptr);
    spacer.SetParent(&joint);
    spacer.SetRotationAngle({0.0f, 10.0f, 20.0f});
    EXPECT_NEAR(spacer.AbsoluteRotationRadZ(), 20.0 * kDeg + 0.3, kTol);
    EXPECT_NEAR(spacer.AbsoluteRotationRadY(), 10.0 * kDeg - 0.2, kTol);
    EXPECT_NEAR(spacer.AbsoluteRotationZ(), 20.0 + 0.3 / kDeg, 1e-4);

    // The first element of an array takes its own rotation even below a turned joint.
    TRiggingFrame first(&space, &frameModel, nullptr);
    first.SetArrayElementID(1);
    first.SetParent(&joint);
    first.SetRotationAngleZ(-5.0f);
    EXPECT_NEAR(first.AbsoluteRotationRadZ(), -5.0 * kDeg, kTol);

    // A change of the parent's absolute rotation travels down the chain.
    TQzDummy grandChild(&space, nullptr);
    grandChild.SetParent(&spacer);
    joint.SetAbsoluteRotationRadZ(0.5);
    EXPECT_NEAR(spacer.AbsoluteRotationRadZ(), 20.0 * kDeg + 0.5, kTol);
    EXPECT_NEAR(grandChild.AbsoluteRotationRadZ(), 20.0 * kDeg + 0.5, kTol);
    EXPECT_NEAR(first.AbsoluteRotationRadZ(), -5.0 * kDeg + 0.5, kTol);
}

// Pixels counted from the top of the venue: 20 m high at 0.5 m per pixel, a joint 2 m up (scene
// Y -2) sits 36 pixels below the top.
TEST_F(RiggingFrameTest, PixelPositionIsCountedFromTheTopOfTheVenue) {
    ASSERT_EQ(space.VenueHeightVer(), 20);
    TQzDummy joint(&space, nullptr);
    joint.SetPosition({1.0f, -2.0f, 3.0f});
    EXPECT_DOUBLE_EQ(joint.Xp(), 2.0);
    EXPECT_DOUBLE_EQ(joint.Yp(), 36.0);
    EXPECT_DOUBLE_EQ(joint.Zp(), 6.0);
}

TEST_F(RiggingFrameTest, DummiesResetToAPointAndFramesKeepTheirSize) {
    TQzDummy joint(&space, nullptr);
    EXPECT_EQ(joint.Width(), 0.0f);
    EXPECT_EQ(joint.Depth(), 0.0f);
    TRiggingFrame frame(&space, &frameModel, nullptr);
    EXPECT_FALSE(frame.Active());
    EXPECT_EQ(frame.Width(), 1.0f);

    // A new model outside an array keeps the frame's placement; inside an array it resets it.
    TRigFrameModel other(&space, nullptr);
    frame.SetPosition({1.0f, 2.0f, 3.0f});
    frame.SetModel(&other);
    EXPECT_EQ(frame.Model(), &other);
    EXPECT_EQ(frame.Position(), TPoint3D(1.0f, 2.0f, 3.0f));
    TQzDummy array(&space, nullptr);
    frame.SetMyCabArray(&array);
    frame.SetRotationAngleZ(15.0f);
    frame.SetModel(&frameModel);
    EXPECT_EQ(frame.Position(), TPoint3D());
    EXPECT_EQ(frame.RotationAngle(), TPoint3D());
    EXPECT_EQ(frame.RelativeRotationRadZ(), 0.0);
}

TEST_F(RiggingFrameTest, ClosestPickPointIsMeasuredHorizontally) {
    frameModel.SetNPickPoints(3);
    frameModel.SetPickPoints({{0.0f, 0.5f, 0.0f}, {1.0f, 0.5f, 0.0f}, {2.0f, 0.5f, 0.0f}});
    TRiggingFrame frame(&space, &frameModel, nullptr);
    struct Case {
        float x;
        float y; // height plays no part
        int32_t expected;
    };
    const Case cases[] = {{2.02f, -4.0f, 3}, {2.05f, 0.0f, -1}, {0.9f, 7.0f, 2},
                          {-0.02f, 0.0f, 1}, {-0.5f, 0.0f, -1}, {1.5f, 0.0f, 2} /* tie: the lower number */};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(frame.GetClosestPickPoint({c.x, c.y, 0.0f}), c.expected);
    }

    // Pick points follow the frame's turn about Y: turned 90 degrees, x turns into -z.
    frame.SetRotationAngleY(90.0f);
    ASSERT_NEAR(frame.AbsoluteRotationY(), 0.0, kTol); // a loose frame keeps its absolute rotation
    frame.SetArrayElementID(1);
    frame.SetRotationAngleY(89.0f);
    frame.SetRotationAngleY(90.0f);
    EXPECT_EQ(frame.GetClosestPickPoint({0.0f, 0.0f, -2.0f}), 3);

    TRigFrameModel empty(&space, nullptr);
    frame.SetModel(&empty);
    EXPECT_THROW(frame.GetClosestPickPoint({0.0f, 0.0f, 0.0f}), ERangeError);
    // The count and the list cannot part: a list set whole brings its count.
    empty.SetNPickPoints(2);
    EXPECT_EQ(empty.PickPoints().size(), 2u);
    empty.SetPickPoints({});
    EXPECT_EQ(empty.NPickPoints(), 0);
    EXPECT_THROW(frame.GetClosestPickPoint({0.0f, 0.0f, 0.0f}), ERangeError);
}

} // namespace
} // namespace vendrel
