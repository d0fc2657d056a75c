#include "acoustics/rigging_frame.h"

#include <cmath>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/events_held_back.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/complex.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

bool eventsEnabled(const TAcousticProject* project) {
    return project == nullptr || project->EventsEnabled();
}

} // namespace

RiggingJoint::RiggingJoint(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {}

void RiggingJoint::SetAbsoluteRotationRadX(double Value) {
    if (Value == FAbsoluteRotationRadX) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadX = Value;
    PropagateRotationX(this, Value);
}

void RiggingJoint::SetAbsoluteRotationRadY(double Value) {
    if (Value == FAbsoluteRotationRadY) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadY = Value;
    PropagateRotationY(this, Value);
}

void RiggingJoint::SetAbsoluteRotationRadZ(double Value) {
    if (Value == FAbsoluteRotationRadZ) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadZ = Value;
    PropagateRotationZ(this, Value);
}

double RiggingJoint::AbsoluteRotationX() const {
    return FAbsoluteRotationRadX * kRadToDeg;
}
double RiggingJoint::AbsoluteRotationY() const {
    return FAbsoluteRotationRadY * kRadToDeg;
}
double RiggingJoint::AbsoluteRotationZ() const {
    return FAbsoluteRotationRadZ * kRadToDeg;
}

void RiggingJoint::Reset() {
    EventsHeldBack hold(FMyAcousticProject);
    SetPosition({0, 0, 0});
    SetRotationCenter({0, 0, 0});
    SetRotationAngle({0, 0, 0});
    FRelativeRotationRadX = FRelativeRotationRadY = FRelativeRotationRadZ = 0.0;
    FAbsoluteRotationRadX = FAbsoluteRotationRadY = FAbsoluteRotationRadZ = 0.0;
}

void RiggingJoint::RecalcAbsolute() {
    const TWorkersPause pause(FMyAcousticProject);
    TQzControl3D::RecalcAbsolute();
    if (FPhysicalSpace == nullptr) {
        return;
    }
    const double pixel = FPhysicalSpace->PixelToMeters();
    const TPoint3D abs = AbsolutePosition();
    FXp = abs.X / pixel;
    // The scene's Y axis points down: pixels are counted from the top of the venue.
    FYp = FPhysicalSpace->VenueHeightVer() / pixel + abs.Y / pixel;
    FZp = abs.Z / pixel;
}

void RiggingJoint::updateRotations(bool x, bool y, bool z) {
    const TPoint3D& angle = RotationAngle();
    if (x) {
        FRelativeRotationRadX = WrapDegrees180(angle.X) * kDegToRad;
    }
    if (y) {
        FRelativeRotationRadY = WrapDegrees180(angle.Y) * kDegToRad;
    }
    if (z) {
        FRelativeRotationRadZ = WrapDegrees180(angle.Z) * kDegToRad;
    }
    double ax = 0.0, ay = 0.0, az = 0.0;
    if (FArrayElementID == 1) {
        // The first element of an array takes its own rotation as absolute one, turned by the tilt
        // the joint it hangs from carries.
        if (const auto* joint = dynamic_cast<const RiggingJoint*>(Parent())) {
            az = joint->RelativeRotationRadZ();
        }
    } else if (Parent() == nullptr) {
        return;
    } else if (Parent() == FMyCabArray) {
        // The joint an array's first element hangs from: the array turns it about Y (its direction)
        // and nothing else.
        ay = Parent()->RotationAngle().Y * kDegToRad;
    } else if (const auto* cab = dynamic_cast<const TCabinet*>(Parent())) {
        ax = cab->AbsoluteRotationRadX();
        ay = cab->AbsoluteRotationRadY();
        az = cab->AbsoluteRotationRadZ();
    } else if (const auto* joint = dynamic_cast<const RiggingJoint*>(Parent())) {
        ax = joint->AbsoluteRotationRadX();
        ay = joint->AbsoluteRotationRadY();
        az = joint->AbsoluteRotationRadZ();
    } else {
        return;
    }
    if (x) {
        SetAbsoluteRotationRadX(FRelativeRotationRadX + ax);
    }
    if (y) {
        SetAbsoluteRotationRadY(FRelativeRotationRadY + ay);
    }
    if (z) {
        SetAbsoluteRotationRadZ(FRelativeRotationRadZ + az);
    }
}

void RiggingJoint::RotationChanged() {
    updateRotations(true, true, true);
    TQzControl3D::RotationChanged();
}

void RiggingJoint::RotateXChanged() {
    if (!TurnsWithEventsDisabled() && !eventsEnabled(FMyAcousticProject)) {
        return;
    }
    updateRotations(true, false, false);
    TQzControl3D::RotateXChanged();
}

void RiggingJoint::RotateYChanged() {
    if (!TurnsWithEventsDisabled() && !eventsEnabled(FMyAcousticProject)) {
        return;
    }
    updateRotations(false, true, false);
    TQzControl3D::RotateYChanged();
}

void RiggingJoint::RotateZChanged() {
    updateRotations(false, false, true);
    TQzControl3D::RotateZChanged();
}

TRiggingFrame::TRiggingFrame(TPhysicalSpace* PhysicalSpace, TRigFrameModel* FrameModel,
                             TAcousticProject* AcousticProjectOwner)
    : RiggingJoint(PhysicalSpace, AcousticProjectOwner), FModel(FrameModel) {
    RiggingJoint::Reset();
}

void TRiggingFrame::SetModel(TRigFrameModel* Value) {
    if (Value == FModel) {
        return;
    }
    FModel = Value;
    if (FMyCabArray != nullptr) {
        Reset();
    }
}

int32_t TRiggingFrame::GetClosestPickPoint(const TPoint3D& GravityPoint) const {
    const TMatrix3D turn = TMatrix3D::CreateRotationZ(static_cast<float>(AbsoluteRotationZ() * kDegToRad)) *
                           TMatrix3D::CreateRotationY(static_cast<float>(AbsoluteRotationY() * kDegToRad));
    const TPoint3D origin = AbsolutePosition();
    const TPoint3D target(GravityPoint.X, 0.0f, GravityPoint.Z);
    const int32_t count = FModel != nullptr ? FModel->NPickPoints() : 0;
    if (count <= 0) {
        throw ERangeError(); // a frame model without pick points
    }
    int32_t best = 0;
    float bestDistance = 0.0f;
    for (int32_t i = 1; i <= count; ++i) {
        // A model with fewer pick points than it counts is an index error too.
        const TPoint3D& model = At(FModel->PickPoints(), i - 1);
        TPoint3D p = TPoint3D(model.X, -model.Y, model.Z) * turn + origin;
        p.Y = 0.0f;
        const float distance = p.Distance(target);
        if (best == 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    if ((best == 1 || best == count) && bestDistance > 0.03f) {
        return -1;
    }
    return best;
}

TQzDummy::TQzDummy(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : RiggingJoint(PhysicalSpace, AcousticProjectOwner) {
    TQzDummy::Reset();
}

void TQzDummy::Reset() {
    RiggingJoint::Reset();
    SetWidth(0);
    SetHeight(0);
    SetDepth(0);
}

TDummySource::TDummySource(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : RiggingJoint(PhysicalSpace, AcousticProjectOwner) {
    TDummySource::Reset();
}

void TDummySource::Reset() {
    RiggingJoint::Reset();
    SetWidth(0);
    SetHeight(0);
    SetDepth(0);
}

} // namespace vendrel
