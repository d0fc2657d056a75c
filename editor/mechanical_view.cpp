#include "editor/mechanical_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "acoustics/cab_model.h"

namespace vendrel {

namespace {

float radians(double Degrees) {
    return static_cast<float>(Degrees * std::numbers::pi / 180.0);
}

} // namespace

TPoint3D TurnedByViewAngle(const TPoint3D& P, double ThetaDegrees) {
    return P * TMatrix3D::CreateRotationY(radians(ThetaDegrees));
}

double MechanicalFramingDistance(const TBoundingBox& Bounds, double ArrayPositionZ) {
    const double h = Bounds.Height();
    const double w = Bounds.Width();
    return (h >= w ? -70.0 * h : -90.0 * w) + ArrayPositionZ;
}

double MechanicalWheelDistance(double Distance, int32_t Delta, double AngleOfViewDegrees) {
    return Distance + Delta / 150.0 * 0.3 * 15.0 / AngleOfViewDegrees;
}

TPoint3D MechanicalCameraPosition(const TBoundingBox& Bounds, double Distance, double OffsetX,
                                  double OffsetY) {
    const TPoint3D c = Bounds.Center();
    return {static_cast<float>(c.X + OffsetX), static_cast<float>(c.Y + OffsetY),
            static_cast<float>(Distance)};
}

TClipPlanes MechanicalClipPlanes(const TBoundingBox& Bounds, double Distance) {
    // The camera rig turns with the array, so the grid through the scene origin, the 100 m bar and the
    // plumb and motor lines all lie across the line of sight: in depth everything drawn is within the
    // box's half diagonal (plus the marks brought to its front) of its centre, or at the origin.
    const TPoint3D c = Bounds.Center();
    const TPoint3D half = (Bounds.Max - Bounds.Min) * 0.5f;
    const double radius = std::hypot(double(half.X), double(half.Y), double(half.Z)) +
                          std::hypot(double(c.X), double(c.Y), double(c.Z)) + 1.0;
    const double toCentre = c.Z - Distance;
    TClipPlanes p;
    const double far = std::max(toCentre + radius, 1.0);
    // Closer than a thousandth of the far plane the depth buffer would lose the array's detail; a
    // camera zoomed into the box still sees what lies beyond a few centimetres.
    const double near = std::max(toCentre - radius, std::max(0.05, far * 1e-4));
    p.Near = static_cast<float>(near);
    p.Far = static_cast<float>(std::max(far, near + 1.0));
    return p;
}

void MechanicalPickPoints(const TRigFrameModel& Model, double AbsoluteRotationZ, double AbsoluteRotationY,
                          const TPoint3D& FramePosition, std::vector<TPoint3D>& Out) {
    Out.clear();
    const std::vector<TPoint3D>& points = Model.PickPoints();
    const size_t n = std::min(points.size(), static_cast<size_t>(std::max(Model.NPickPoints(), 0)));
    const TMatrix3D turn = TMatrix3D::CreateRotationZ(radians(AbsoluteRotationZ)) *
                           TMatrix3D::CreateRotationY(radians(AbsoluteRotationY));
    for (size_t i = 0; i < n; ++i) {
        const TPoint3D& q = points[i];
        Out.push_back(TPoint3D{q.X, -q.Y, q.Z} * turn + FramePosition);
    }
}

TPoint3D MechanicalCabinetLabelPosition(const TPoint3D& Position, const TBoundingBox& Bounds,
                                        double ThetaDegrees) {
    const TPoint3D offset = TurnedByViewAngle({0.0f, 0.08f, Bounds.Depth() * 0.5f + 0.03f}, ThetaDegrees);
    return {Position.X - offset.X, Position.Y, Position.Z - offset.Z};
}

void MechanicalMarks(const TMechanicalMarksInput& In, TMechanicalMarks& Out) {
    const double theta = In.ThetaDegrees;
    const TBoundingBox& b = In.Bounds;
    Out.Front = TurnedByViewAngle({0.0f, 0.0f, b.Depth() * 0.5f + 0.1f}, theta);
    Out.BarSize = TurnedByViewAngle({100.0f, 0.04f, 0.07f}, theta);
    Out.Gravity = In.GravityCenter - Out.Front;
    // A stack's plumb line falls to the floor; a hang's rises to the motors.
    Out.PlumbEnd = Out.Gravity + TPoint3D{0.0f, In.Stacked ? 100.0f : -100.0f, 0.0f};

    const std::vector<TPoint3D>* points = In.RigFrameExists ? In.PickPoints : nullptr;
    const size_t count = points != nullptr ? points->size() : 0;
    Out.NPickPoints = static_cast<int32_t>(count);
    Out.NMotors = 0;
    Out.FlyLabelShown = false;
    Out.FrontLabelShown = false;
    const TPoint3D above{0.0f, 0.05f, 0.0f};
    // Motors hang only where the array flies from its pick points.
    if (count > 0 && In.FlyingPoint > 0 && !In.GravityCenterOutOfRange) {
        if (In.OneMotor) {
            const size_t k = static_cast<size_t>(In.FlyingPoint) - 1;
            if (k < count) {
                Out.Motors[0] = (*points)[k] - Out.Front;
                Out.NMotors = 1;
                Out.FlyLabel = Out.Motors[0] + above;
                Out.FlyLabelShown = true;
            }
        } else {
            Out.Motors[0] = points->front() - Out.Front;
            Out.Motors[1] = points->back() - Out.Front;
            Out.NMotors = 2;
            Out.FrontLabel = Out.Motors[0] + above;
            Out.FlyLabel = Out.Motors[1] + above;
            Out.FrontLabelShown = true;
            Out.FlyLabelShown = true;
        }
    }

    const float cz = b.Center().Z;
    const TPoint3D beside = TurnedByViewAngle({0.05f, 0.05f, 0.0f}, theta);
    const TPoint3D bottom{b.Max.X, b.Max.Y, cz};
    const TPoint3D top{b.Max.X, b.Min.Y, cz};
    Out.BottomLabel = bottom + beside;
    Out.TopLabel = top + beside;
    Out.BottomLineStart = bottom;
    Out.BottomLineEnd = bottom - TurnedByViewAngle({5.0f, 0.0f, 0.0f}, theta);
}

} // namespace vendrel
