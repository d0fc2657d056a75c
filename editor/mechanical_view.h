#pragma once
// The geometry of the mechanical data dialog's 3D view, without a window: where the camera stands and
// how far it sees, where the cabinet numbers, the extent values and the pick-point numbers go, and the
// marks drawn at every frame (the centre of gravity with its plumb line, the pick points, the motor
// lines and the bottom line). The view looks at the array from its front through a 1 degree angle of
// view from far away, so the picture is nearly free of perspective.
//
// Scene coordinates, Y down (a height h is at Y = -h). "Turned by the view angle" is the point as a
// row vector times the rotation about Y by Theta degrees, Theta the Y turn of the array's container.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/core/geometry3d.h"

namespace vendrel {

class TRigFrameModel;

constexpr double kMechanicalAngleOfView = 1.0; // degrees
constexpr double kMechanicalInitialCameraDistance = -300.0;

TPoint3D TurnedByViewAngle(const TPoint3D& P, double ThetaDegrees);

// The camera's Z when the view is built: 70 times the array's height when it is at least as high as
// wide, else 90 times its width, in front of (negative Z) the array's own Z.
double MechanicalFramingDistance(const TBoundingBox& Bounds, double ArrayPositionZ);
// A wheel turn of Delta (120 a notch): the distance moves by Delta / 150 x 0.3 x 15 / the angle of view.
double MechanicalWheelDistance(double Distance, int32_t Delta,
                               double AngleOfViewDegrees = kMechanicalAngleOfView);
// The camera's position in the camera rig's coordinates: the box centre shifted by the pan offsets, at
// the distance's Z.
TPoint3D MechanicalCameraPosition(const TBoundingBox& Bounds, double Distance, double OffsetX,
                                  double OffsetY);

// Near and far planes that hold the array, its marks and the grid behind it from a camera that stands
// hundreds of metres away (or, zoomed in, close to or inside the box): the depth buffer's range is
// spent on the array, not on the empty space in front of it.
struct TClipPlanes {
    float Near = 0.1f;
    float Far = 1000.0f;
};
TClipPlanes MechanicalClipPlanes(const TBoundingBox& Bounds, double Distance);

// The frame's pick points in the scene: each model point (X, -Y, Z) turned about Z by the frame's
// absolute Z rotation, then about Y by its absolute Y rotation (degrees), plus the frame's position.
// Out is refilled (its storage kept).
void MechanicalPickPoints(const TRigFrameModel& Model, double AbsoluteRotationZ, double AbsoluteRotationY,
                          const TPoint3D& FramePosition, std::vector<TPoint3D>& Out);

// A cabinet number's position beside the cabinet at Position, in front of the array's box.
TPoint3D MechanicalCabinetLabelPosition(const TPoint3D& Position, const TBoundingBox& Bounds,
                                        double ThetaDegrees);

// What a frame draws and where its labels go. Computed into a caller's object: no allocation.
struct TMechanicalMarksInput {
    TBoundingBox Bounds;
    double ThetaDegrees = 0.0;
    TPoint3D GravityCenter;
    bool Stacked = false;
    bool RigFrameExists = false;
    int32_t FlyingPoint = 0;
    bool GravityCenterOutOfRange = false;
    bool OneMotor = true;
    const std::vector<TPoint3D>* PickPoints = nullptr; // the frame's points in the scene
};

struct TMechanicalMarks {
    TPoint3D Front;          // what brings the marks in front of the array
    TPoint3D BarSize;        // the 100 m black bar at height 0, turned
    TPoint3D Gravity;        // centre of gravity, moved to the front
    TPoint3D PlumbEnd;       // 100 m up (flown) or down (stacked)
    int32_t NPickPoints = 0; // pick points drawn: PickPoints[i] - Front
    int32_t NMotors = 0;     // motor lines drawn from Motors[0 .. NMotors)
    std::array<TPoint3D, 2> Motors{};
    bool FlyLabelShown = false, FrontLabelShown = false;
    TPoint3D FlyLabel, FrontLabel;
    TPoint3D TopLabel, BottomLabel;
    TPoint3D BottomLineStart, BottomLineEnd; // the red 5 m line at the array's bottom
};
void MechanicalMarks(const TMechanicalMarksInput& In, TMechanicalMarks& Out);

} // namespace vendrel
