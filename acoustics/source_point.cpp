#include "acoustics/source_point.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "dsp/complex.h"
#include "platform/core/geometry3d.h"

namespace vendrel {

namespace {

// The platform angle (degrees) wrapped into (-180, 180] and converted to radians.
double relativeRadians(float degrees) {
    return WrapDegrees180(degrees) * kDegToRad;
}

// Absolute rotations of the parent kinds that keep them; false for any other node.
bool parentAbsoluteRotations(const TControl3D* node, double& ax, double& ay, double& az) {
    if (const auto* cab = dynamic_cast<const TCabinet*>(node)) {
        ax = cab->AbsoluteRotationRadX();
        ay = cab->AbsoluteRotationRadY();
        az = cab->AbsoluteRotationRadZ();
        return true;
    }
    if (const auto* joint = dynamic_cast<const RiggingJoint*>(node)) {
        ax = joint->AbsoluteRotationRadX();
        ay = joint->AbsoluteRotationRadY();
        az = joint->AbsoluteRotationRadZ();
        return true;
    }
    return false;
}

// A source point below a parent with absolute rotations (aX, aY, aZ): its own rotations are turned
// back about X by the parent's X rotation (in single precision) and combined with the parent's.
void placeSourceBelow(TSourcePoint& sp, double aX, double aY, double aZ) {
    const TPoint3D rel(static_cast<float>(sp.RotationRadRelX()), static_cast<float>(sp.RotationRadRelY()),
                       static_cast<float>(sp.RotationRadRelZ()));
    const TPoint3D v = rel * TMatrix3D::CreateRotationX(static_cast<float>(-aX));
    sp.StoreAbsoluteRotations(aX + v.X, aY - v.Y, -aZ - v.Z);
}

enum class Axis { X, Y, Z };

void propagate(TControl3D* Parent, double a, Axis axis) {
    if (Parent == nullptr) {
        return;
    }
    // Setters below may change the tree's rotations but never its children list.
    const std::vector<TControl3D*> children = Parent->ChildList();
    for (TControl3D* child : children) {
        if (auto* sp = dynamic_cast<TSourcePoint*>(child)) {
            double aX = 0.0, aY = 0.0, aZ = 0.0;
            if (parentAbsoluteRotations(Parent, aX, aY, aZ)) {
                placeSourceBelow(*sp, aX, aY, aZ);
            }
            continue;
        }
        if (auto* cab = dynamic_cast<TCabinet*>(child)) {
            switch (axis) {
            case Axis::X:
                cab->SetAbsoluteRotationRadX(cab->RelativeRotationRadX() + a);
                break;
            case Axis::Y:
                cab->SetAbsoluteRotationRadY(cab->RelativeRotationRadY() + a);
                break;
            case Axis::Z:
                cab->SetAbsoluteRotationRadZ(cab->RelativeRotationRadZ() + a);
                break;
            }
            continue;
        }
        auto* joint = dynamic_cast<RiggingJoint*>(child);
        if (joint == nullptr) {
            continue;
        }
        switch (axis) {
        case Axis::X:
            joint->SetAbsoluteRotationRadX(joint->RelativeRotationRadX() + a);
            break;
        case Axis::Y:
            joint->SetAbsoluteRotationRadY(joint->RelativeRotationRadY() + a);
            break;
        case Axis::Z:
            if (dynamic_cast<TDummySource*>(joint) != nullptr) {
                // A cabinet's pivot follows the cabinet's Z turn, reversed when the cabinet is inverted.
                const auto* owner = dynamic_cast<const TCabinet*>(Parent);
                if (owner == nullptr) {
                    break;
                }
                const bool inverted = owner->CabDirection() == TCabDirection::qzaInvertedDir;
                joint->SetAbsoluteRotationRadZ(inverted ? joint->RelativeRotationRadZ() - a
                                                        : joint->RelativeRotationRadZ() + a);
            } else {
                joint->SetAbsoluteRotationRadZ(joint->RelativeRotationRadZ() + a);
            }
            break;
        }
    }
}

} // namespace

TSourcePoint::TSourcePoint(TDSPSpace* DSPWorkSpace, TPhysicalSpace* PhysicalSpace,
                           TAcousticProject* AcousticProjectOwner, TCabinet* theCabinet)
    : TQzControl3D(nullptr), FDSPSpace(DSPWorkSpace), FMyCabinet(theCabinet), FPhysicalSpace(PhysicalSpace),
      FMyAcousticProject(AcousticProjectOwner) {
    if (theCabinet != nullptr && theCabinet->Model() != nullptr &&
        theCabinet->Model()->AllowsBeamSteering() && DSPWorkSpace != nullptr) {
        const auto points = static_cast<size_t>(DSPWorkSpace->NRealFreqPoints());
        FBeamFIRResponseMg.assign(points, 1.0);
        FBeamFIRResponsePh.assign(points, 0.0);
    }
}

void TSourcePoint::SetActive(bool Value) {
    FActive.store(Value);
}

void TSourcePoint::SetXmRel(double Value) {
    if (Value == FXmRel) {
        return;
    }
    FXmRel = Value;
    FXpRel = Value / FPhysicalSpace->PixelToMeters();
}

void TSourcePoint::SetYmRel(double Value) {
    if (Value == FYmRel) {
        return;
    }
    FYmRel = Value;
    FYpRel = Value / FPhysicalSpace->PixelToMeters();
}

void TSourcePoint::SetZmRel(double Value) {
    if (Value == FZmRel) {
        return;
    }
    FZmRel = Value;
    FZpRel = Value / FPhysicalSpace->PixelToMeters();
}

void TSourcePoint::SetSpeakerInchesSize(double Value) {
    if (Value != FSpeakerInchesSize) {
        FSpeakerInchesSize = Value;
    }
}

void TSourcePoint::RecalcPixelPosition() {
    const double pixel = FPhysicalSpace->PixelToMeters();
    FXpRel = FXmRel / pixel;
    FYpRel = FYmRel / pixel;
    FZpRel = FZmRel / pixel;
}

void TSourcePoint::RecalcAbsolute() {
    // The map kernel reads the pixel position of a cabinet's source (a model's sources are not read).
    const TWorkersPause pause(FMyCabinet != nullptr ? FMyAcousticProject : nullptr);
    TQzControl3D::RecalcAbsolute();
    if (FPhysicalSpace == nullptr) {
        return;
    }
    const double pixel = FPhysicalSpace->PixelToMeters();
    const TPoint3D abs = AbsolutePosition();
    FXpixAbs = abs.X / pixel;
    FYpixAbs = -abs.Y / pixel;
    FZpixAbs = abs.Z / pixel;
}

void TSourcePoint::updateRotations(bool x, bool y, bool z) {
    const TWorkersPause pause(FMyCabinet != nullptr ? FMyAcousticProject : nullptr);
    const TPoint3D& angle = RotationAngle();
    if (x) {
        FRotationRadRelX = relativeRadians(angle.X);
    }
    if (y) {
        FRotationRadRelY = relativeRadians(angle.Y);
    }
    if (z) {
        FRotationRadRelZ = relativeRadians(angle.Z);
    }
    if (Parent() == nullptr) {
        if (x) {
            FAbsoluteRotationRadX = FRotationRadRelX;
        }
        if (y) {
            FAbsoluteRotationRadY = FRotationRadRelY;
        }
        if (z) {
            FAbsoluteRotationRadZ = FRotationRadRelZ;
        }
        return;
    }
    const auto* pivot = dynamic_cast<const TDummySource*>(Parent());
    if (pivot == nullptr) {
        return;
    }
    const double aX = pivot->AbsoluteRotationRadX();
    const TPoint3D turned(static_cast<float>(aX), static_cast<float>(pivot->AbsoluteRotationRadY()),
                          static_cast<float>(-pivot->AbsoluteRotationRadZ()));
    const TPoint3D w = turned * TMatrix3D::CreateRotationX(static_cast<float>(aX));
    if (x) {
        FAbsoluteRotationRadX = w.X + FRotationRadRelX;
    }
    if (y) {
        FAbsoluteRotationRadY = w.Y - FRotationRadRelY;
    }
    if (z) {
        FAbsoluteRotationRadZ = w.Z - FRotationRadRelZ;
    }
}

void TSourcePoint::RotationChanged() {
    updateRotations(true, true, true);
    TQzControl3D::RotationChanged();
}

void TSourcePoint::RotateXChanged() {
    updateRotations(true, false, false);
    TQzControl3D::RotateXChanged();
}

void TSourcePoint::RotateYChanged() {
    updateRotations(false, true, false);
    TQzControl3D::RotateYChanged();
}

void TSourcePoint::RotateZChanged() {
    updateRotations(false, false, true);
    TQzControl3D::RotateZChanged();
}

void PropagateRotationX(TControl3D* Parent, double a) {
    propagate(Parent, a, Axis::X);
}
void PropagateRotationY(TControl3D* Parent, double a) {
    propagate(Parent, a, Axis::Y);
}
void PropagateRotationZ(TControl3D* Parent, double a) {
    propagate(Parent, a, Axis::Z);
}

void PropagateClusterRotationToCabinet(TCabinet& Cabinet, double ax, double ay, double az) {
    const TPoint3D& angle = Cabinet.RotationAngle();
    const TPoint3D v = TPoint3D(static_cast<float>(ax), static_cast<float>(ay), static_cast<float>(az)) *
                       TMatrix3D::CreateRotationX(static_cast<float>(Cabinet.RotX() * kDegToRad)) *
                       TMatrix3D::CreateRotationZ(static_cast<float>(angle.Z * kDegToRad)) *
                       TMatrix3D::CreateRotationY(static_cast<float>(-angle.Y * kDegToRad));
    Cabinet.SetAbsoluteRotationRadX(Cabinet.RelativeRotationRadX() + v.X);
    Cabinet.SetAbsoluteRotationRadY(Cabinet.RelativeRotationRadY() + v.Y);
    Cabinet.SetAbsoluteRotationRadZ(Cabinet.RelativeRotationRadZ() + v.Z);
}

void PropagateClusterRotation(TControl3D* Cluster, double ax, double ay, double az) {
    if (Cluster == nullptr) {
        return;
    }
    const std::vector<TControl3D*> children = Cluster->ChildList();
    for (TControl3D* child : children) {
        if (auto* sp = dynamic_cast<TSourcePoint*>(child)) {
            placeSourceBelow(*sp, ax, ay, az);
        } else if (auto* cab = dynamic_cast<TCabinet*>(child)) {
            PropagateClusterRotationToCabinet(*cab, ax, ay, az);
        } else if (auto* joint = dynamic_cast<RiggingJoint*>(child)) {
            joint->SetAbsoluteRotationRadY(joint->RelativeRotationRadY() + ay);
        }
    }
}

} // namespace vendrel
