#include "editor/mechanical_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "acoustics/cab_model.h"

namespace vendrel {
namespace {

void expectNear(const TPoint3D& a, const TPoint3D& b, const char* what) {
    EXPECT_NEAR(a.X, b.X, 1e-4) << what;
    EXPECT_NEAR(a.Y, b.Y, 1e-4) << what;
    EXPECT_NEAR(a.Z, b.Z, 1e-4) << what;
}

// A tall array is framed by its height, a wide one by its width, from in front of its own Z; a wheel
// notch moves the 1 degree camera 3.6 m; the pan shifts the camera from the box centre.
TEST(MechanicalView, CameraFramesZoomsAndPans) {
    const TBoundingBox tall{{-0.5f, -10.0f, -0.4f}, {0.5f, -2.0f, 0.4f}}; // 8 m high, 1 m wide
    const TBoundingBox wide{{-3.0f, -6.0f, -0.5f}, {3.0f, -5.0f, 0.5f}};  // 1 m high, 6 m wide
    EXPECT_DOUBLE_EQ(MechanicalFramingDistance(tall, 2.0), -70.0 * 8.0 + 2.0);
    EXPECT_DOUBLE_EQ(MechanicalFramingDistance(wide, 0.0), -90.0 * 6.0);
    EXPECT_NEAR(MechanicalWheelDistance(-300.0, 120), -296.4, 1e-9);
    EXPECT_NEAR(MechanicalWheelDistance(-300.0, -240), -307.2, 1e-9);
    expectNear(MechanicalCameraPosition(tall, -558.0, 0.5, -1.0), {0.5f, -7.0f, -558.0f}, "camera");
}

// From hundreds of metres the whole box lies between the planes, and the near plane is far enough out
// to keep the depth buffer's precision on the array; zoomed into the box the near plane stays a few
// centimetres in front of the camera.
TEST(MechanicalView, ClipPlanesFollowTheCamerasDistance) {
    const TBoundingBox box{{9.0f, -12.0f, 4.0f}, {10.0f, -2.0f, 5.0f}};
    const double d = MechanicalFramingDistance(box, 4.5);
    const TClipPlanes far = MechanicalClipPlanes(box, d);
    EXPECT_LT(far.Near, box.Min.Z - d);
    EXPECT_GT(far.Far, box.Max.Z - d);
    EXPECT_GT(far.Far, 4.5 - d); // the grid through the origin, behind the array
    EXPECT_GT(far.Near, 600.0);  // not 0.1 at 700 m
    EXPECT_LT(far.Far / far.Near, 1.2);

    const TClipPlanes inside = MechanicalClipPlanes(box, 4.5);
    EXPECT_GT(inside.Near, 0.0f);
    EXPECT_LT(inside.Near, 0.1f);
    EXPECT_GT(inside.Far, 1.0f);
}

// Model points are Y up; turned with the frame (about Z, then Y) and moved to its position.
TEST(MechanicalView, PickPointsInTheScene) {
    TRigFrameModel model(nullptr, nullptr);
    model.SetPickPoints({{-0.2f, 0.05f, 0.0f}, {0.2f, 0.05f, 0.0f}});
    std::vector<TPoint3D> out{{9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    MechanicalPickPoints(model, 0.0, 0.0, {1.0f, -8.0f, 2.0f}, out);
    ASSERT_EQ(out.size(), 2u);
    expectNear(out[0], {0.8f, -8.05f, 2.0f}, "first");
    expectNear(out[1], {1.2f, -8.05f, 2.0f}, "last");
    // A quarter turn about Y takes the frame's length from X to Z.
    MechanicalPickPoints(model, 0.0, 90.0, {}, out);
    EXPECT_NEAR(out[1].X, 0.0, 1e-6);
    EXPECT_NEAR(std::abs(out[1].Z), 0.2, 1e-6);
}

// Where motors are drawn: at the flying point with one motor, at the ends with two, none out of
// range, for a stack, without a frame (whatever the flying point says) or past the pick points. The
// plumb line rises from a hang and falls from a stack.
TEST(MechanicalView, MarksFollowHowTheArrayHangs) {
    const std::vector<TPoint3D> points{{-0.2f, -8.0f, 0.0f}, {0.0f, -8.0f, 0.0f}, {0.2f, -8.0f, 0.0f}};
    const TBoundingBox box{{-0.3f, -8.0f, -0.4f}, {0.3f, -6.0f, 0.4f}};
    const TPoint3D front{0.0f, 0.0f, 0.5f}; // half the depth plus 0.1, at view angle 0
    struct Case {
        const char* name;
        bool frame, stacked, outOfRange, oneMotor;
        int32_t flyingPoint;
        std::vector<TPoint3D> motors;
        float plumb; // PlumbEnd.Y - Gravity.Y
    };
    const std::vector<Case> cases = {
        {"one motor", true, false, false, true, 2, {points[1] - front}, -100.0f},
        {"two motors", true, false, false, false, 2, {points[0] - front, points[2] - front}, -100.0f},
        {"out of range", true, false, true, true, -1, {}, -100.0f},
        {"out of range sideways", true, false, true, false, 2, {}, -100.0f},
        {"past the pick points", true, false, false, true, 4, {}, -100.0f},
        {"no frame", false, false, false, true, 2, {}, -100.0f},
        {"stack", true, true, false, true, 0, {}, 100.0f},
    };
    for (const Case& c : cases) {
        TMechanicalMarksInput in;
        in.Bounds = box;
        in.GravityCenter = {0.05f, -7.0f, 0.0f};
        in.RigFrameExists = c.frame;
        in.Stacked = c.stacked;
        in.GravityCenterOutOfRange = c.outOfRange;
        in.OneMotor = c.oneMotor;
        in.FlyingPoint = c.flyingPoint;
        in.PickPoints = &points;
        TMechanicalMarks m;
        MechanicalMarks(in, m);
        EXPECT_EQ(m.NPickPoints, c.frame ? 3 : 0) << c.name;
        ASSERT_EQ(m.NMotors, static_cast<int32_t>(c.motors.size())) << c.name;
        for (size_t k = 0; k < c.motors.size(); ++k) {
            expectNear(m.Motors[k], c.motors[k], c.name);
        }
        EXPECT_EQ(m.FlyLabelShown, !c.motors.empty()) << c.name;
        EXPECT_EQ(m.FrontLabelShown, c.motors.size() == 2) << c.name;
        if (!c.motors.empty()) {
            expectNear(m.FlyLabel, c.motors.back() + TPoint3D{0.0f, 0.05f, 0.0f}, c.name);
        }
        expectNear(m.Gravity, in.GravityCenter - front, c.name);
        EXPECT_FLOAT_EQ(m.PlumbEnd.Y - m.Gravity.Y, c.plumb) << c.name;
    }
}

// Turned by the view angle as a row vector: the bottom line runs 5 m along the array's front from its
// lower right corner, and the extent labels stand beside its top and bottom.
TEST(MechanicalView, BottomLineAndLabelsTurnWithTheArray) {
    const TBoundingBox box{{-0.3f, -8.0f, -0.4f}, {0.3f, -6.0f, 0.4f}};
    TMechanicalMarksInput in;
    in.Bounds = box;
    TMechanicalMarks m;
    MechanicalMarks(in, m);
    expectNear(m.BottomLineStart, {0.3f, -6.0f, 0.0f}, "start");
    expectNear(m.BottomLineEnd, {-4.7f, -6.0f, 0.0f}, "end");
    expectNear(m.BottomLabel, {0.35f, -5.95f, 0.0f}, "bottom label");
    expectNear(m.TopLabel, {0.35f, -7.95f, 0.0f}, "top label");

    in.ThetaDegrees = 90.0;
    MechanicalMarks(in, m);
    const TPoint3D along = TurnedByViewAngle({5.0f, 0.0f, 0.0f}, 90.0);
    EXPECT_NEAR(along.X, 0.0, 1e-5);
    EXPECT_NEAR(std::abs(along.Z), 5.0, 1e-5);
    expectNear(m.BottomLineStart - m.BottomLineEnd, along, "turned line");
    expectNear(m.Front, TurnedByViewAngle({0.0f, 0.0f, 0.5f}, 90.0), "front");
    // Cabinet numbers stand in front of the box, on the cabinet's height.
    const TPoint3D label = MechanicalCabinetLabelPosition({0.0f, -7.0f, 0.0f}, box, 0.0);
    expectNear(label, {0.0f, -7.0f, -0.43f}, "cabinet label");
}

} // namespace
} // namespace vendrel
