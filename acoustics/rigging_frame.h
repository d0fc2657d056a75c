#pragma once
// The joints of line arrays and cabinets: the rigging frame of an array, the invisible spacer and
// direction joint (TQzDummy) and the invisible pivot that carries a cabinet's source points
// (TDummySource). Each keeps its rotation relative to the parent and absolute, and passes a change
// of its absolute rotation on to its children.

#include <cstdint>

#include "platform/core/geometry3d.h"
#include "platform/core/node3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TRigFrameModel;

// What the three joint classes share. Scene nodes without owner: whoever creates one frees it.
class RiggingJoint : public TQzControl3D {
public:
    double Xp() const { return FXp; }
    double Yp() const { return FYp; } // counted from the top of the venue
    double Zp() const { return FZp; }
    double AbsoluteRotationRadX() const { return FAbsoluteRotationRadX; }
    double AbsoluteRotationRadY() const { return FAbsoluteRotationRadY; }
    double AbsoluteRotationRadZ() const { return FAbsoluteRotationRadZ; }
    // Setters pass a changed value on to the children.
    void SetAbsoluteRotationRadX(double Value);
    void SetAbsoluteRotationRadY(double Value);
    void SetAbsoluteRotationRadZ(double Value);
    double AbsoluteRotationX() const; // degrees
    double AbsoluteRotationY() const;
    double AbsoluteRotationZ() const;
    double RelativeRotationRadX() const { return FRelativeRotationRadX; }
    double RelativeRotationRadY() const { return FRelativeRotationRadY; }
    double RelativeRotationRadZ() const { return FRelativeRotationRadZ; }

    // Position, rotation centre, angles and rotations to zero with the project's events held back.
    virtual void Reset();
    // The node's placement, then the pixel position (Yp counted from the top of the venue).
    void RecalcAbsolute() override;

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    // The line array the object belongs to, nil outside arrays; written by the array.
    TControl3D* MyCabArray() const { return FMyCabArray; }
    void SetMyCabArray(TControl3D* Value) { FMyCabArray = Value; }
    // The index in the array's element list (0 outside arrays); numbered by the array.
    int32_t ArrayElementID() const { return FArrayElementID; }
    void SetArrayElementID(int32_t Value) { FArrayElementID = Value; }

protected:
    RiggingJoint(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);

    void RotationChanged() override;
    void RotateXChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;
    // Frames and spacer dummies turn about X and Y only while the project's events are enabled.
    virtual bool TurnsWithEventsDisabled() const { return false; }

    TPhysicalSpace* FPhysicalSpace = nullptr;
    double FXp = 0.0, FYp = 0.0, FZp = 0.0;
    double FAbsoluteRotationRadX = 0.0, FAbsoluteRotationRadY = 0.0, FAbsoluteRotationRadZ = 0.0;
    double FRelativeRotationRadX = 0.0, FRelativeRotationRadY = 0.0, FRelativeRotationRadZ = 0.0;
    TAcousticProject* FMyAcousticProject = nullptr;
    TControl3D* FMyCabArray = nullptr;

private:
    void updateRotations(bool x, bool y, bool z);

    int32_t FArrayElementID = 0;
};

class TRiggingFrame : public RiggingJoint {
public:
    TRiggingFrame(TPhysicalSpace* PhysicalSpace, TRigFrameModel* FrameModel,
                  TAcousticProject* AcousticProjectOwner);

    bool Active() const { return FActive; }
    TRigFrameModel* Model() const { return FModel; }
    // A changed model resets the frame when it belongs to an array.
    void SetModel(TRigFrameModel* Value);
    // Number (from 1) of the model's pick point nearest to GravityPoint measured horizontally; -1 when
    // that is the first or the last point and it lies more than 3 cm away.
    int32_t GetClosestPickPoint(const TPoint3D& GravityPoint) const;

private:
    bool FActive = false;
    TRigFrameModel* FModel = nullptr; // shared, not owned
};

class TQzDummy : public RiggingJoint {
public:
    TQzDummy(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    void Reset() override;
};

class TDummySource : public RiggingJoint {
public:
    TDummySource(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    void Reset() override;

protected:
    bool TurnsWithEventsDisabled() const override { return true; }
};

} // namespace vendrel
