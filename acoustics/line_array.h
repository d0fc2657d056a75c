#pragma once
// A flown or stacked line array (also a horizontal cluster of cabinets): a chain of elements (a
// rigging frame, cabinets, spacer dummies), each hung in the frame of the element above through its
// own direction joint, so that turning one element turns everything below it. The array places each
// element at its models' anchor points so that consecutive elements touch, keeps the array's tilt,
// mounting and orientation, chooses the flying origin on the rigging frame and computes its
// mechanics.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/array_mechanics.h"
#include "acoustics/array_types.h"
#include "acoustics/cab_model.h"
#include "acoustics/zone_data.h"
#include "platform/core/geometry3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TCabinet;
class TRiggingFrame;
class TQzDummy;
class RiggingJoint;

enum class TOriginType : uint8_t { qzaFlyTwoPoints, qzaFlyOnePoint };

// ---- Placement of the element chain, as a pure computation ----

enum class TChainElementKind : uint8_t { Frame, Dummy, Cabinet };

struct TChainElement {
    TChainElementKind Kind = TChainElementKind::Cabinet;
    const TCabModel* CabModel = nullptr;        // a cabinet's model
    const TRigFrameModel* FrameModel = nullptr; // a frame's model; nil: the frame is not placed
};

// Where one element turns (its rotation centre, in its own frame) and where it sits in the frame of
// the element above; a flag says whether each was set.
struct TChainPlacement {
    TPoint3D RotationCenter;
    TPoint3D Position;
    bool HasRotationCenter = false;
    bool HasPosition = false;
};

// Places elements 1 .. n of an array (Elements[0] is element 1) so that each element's upper anchor
// meets the lower anchor of the element above (a flown array hangs at positive scene Y below it) or,
// stacked, each element's lower anchor stands on the upper anchor of the element below. Without a
// cabinet nothing is placed.
std::vector<TChainPlacement> PlaceArrayChain(const std::vector<TChainElement>& Elements,
                                             TArrayMounting Mounting);

// ---- The array ----

// A scene node without owner: the project's list (or whoever built it before registering it) frees
// it, before the project goes. The array owns its elements and their joints.
class TCabArray : public TQzControl3D {
public:
    // With the project's events held back: an empty chain, then Reset.
    TCabArray(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    ~TCabArray() override;
    TCabArray(const TCabArray&) = delete;
    TCabArray& operator=(const TCabArray&) = delete;

    void Reset();
    // Appending elements, each below its own direction joint, with the project's events held back.
    // A cabinet takes its first splay angle from its model's tables for the mounting; an empty table
    // raises ERangeError before anything is added.
    TCabinet* AddCabinet(TCabModel* CabModel, bool Activated);
    TRiggingFrame* AddFrame(TRigFrameModel* FrameModel);
    TQzDummy* AddDummy();
    TQzDummy* AddDummyDirection();
    // Releases every cabinet from the last to the first, then the other elements and joints.
    void FreeClass();

    // Takes an element (with its joint) out of the chain and releases it: the element below it is
    // hung from the element above it, the elements' places are numbered again and the chain is
    // placed again. A cabinet leaves its process's users and its layer first. The prediction's
    // workers are paused meanwhile.
    void RemoveElement(TControl3D* Element);

    // Sum of the model weights of the cabinets and the rigging frame (the mechanics add the cable).
    float GetTotalWeight() const;
    double GetHeight() const;
    void SetPositionsInsideArray();
    bool SetArrayOrigin();
    void RecalcMechanics();

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    double Xp() const { return FXp; }
    double Yp() const { return FYp; } // counted from the top of the venue
    double Zp() const { return FZp; }
    // The array's cabinets in array order; the array owns them.
    const std::vector<TCabinet*>& CabinetList() const { return FCabinetList; }
    // Entry 0 is the array itself, entries 1 .. NObjects the elements in chain order (joints are not
    // listed).
    const std::vector<TControl3D*>& ArrayList() const { return FArrayList; }
    int32_t NCabinets() const { return static_cast<int32_t>(FCabinetList.size()); }
    int32_t NObjects() const { return static_cast<int32_t>(FArrayList.size()) - 1; }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    bool AllowBothOrientations() const { return FAllowBothOrientations; }
    void SetAllowBothOrientations(bool Value) { FAllowBothOrientations = Value; }
    const TPoint3D& OriginPoint() const { return FOriginPoint; }
    // Union of the elements' scene boxes, and that box's size centred on the origin.
    TBoundingBox GlobalBounds() const;
    TBoundingBox LocalBounds() const;

    const TMechanicalData& MechanicalData() const { return FMechanicalData; }
    // The mechanics' inputs chosen by the windows.
    void SetCableWeightPerMeter(double Value) { FMechanicalData.CableWeightPerMeter = Value; }
    void SetIncludeCableInCalculation(bool Value) { FMechanicalData.IncludeCableInCalculation = Value; }
    void SetNMotors(int32_t Value) { FMechanicalData.NMotors = Value; }

    // Degrees, -180 .. 180.
    double Tilt() const { return FTilt; }
    void SetTilt(double Value);
    // Read by the summation on its thread.
    bool Active() const { return FActive.load(); }
    void SetActive(bool Value) { FActive = Value; }
    TCalcState MapState() const { return FMapState; }
    void SetMapState(TCalcState Value);
    TArrayMounting MountingType() const { return FArrayMounting; }
    void SetMountingType(TArrayMounting Value);
    bool IsObjectSelected() const { return TQzControl3D::IsObjectSelected(); }
    void SetIsObjectSelected(bool Value);
    TCabPlacement Orientation() const { return FOrientation; }
    void SetOrientation(TCabPlacement Value);
    bool IsMovingArrayOBJ3D() const { return FIsMovingArrayOBJ3D; }
    void SetIsMovingArrayOBJ3D(bool Value);
    TOriginType OriginType() const { return FOriginType; }
    void SetOriginType(TOriginType Value);

protected:
    void MatrixChanged() override;
    void RotationChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;

private:
    bool registered() const;
    TQzDummy* newJoint();
    void appendElement(std::unique_ptr<RiggingJoint> element, TQzDummy* joint);
    void renumber();
    void refreshChainRotations();
    void applyOrigin();
    void applyTilt();
    double firstSplayAngle(const TCabModel& model) const;

    TPhysicalSpace* FPhysicalSpace = nullptr;
    double FXp = 0.0, FYp = 0.0, FZp = 0.0;
    double FTilt = 0.0;
    std::atomic<bool> FActive{true};
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    TCalcState FMapState = TCalcState::qzaNeedsCalculate;
    TArrayMounting FArrayMounting = TArrayMounting::qzaFlown;
    TCabPlacement FOrientation = TCabPlacement::qzaVertical;
    bool FIsMovingArrayOBJ3D = false;
    TOriginType FOriginType = TOriginType::qzaFlyOnePoint;
    std::vector<TCabinet*> FCabinetList;
    std::vector<TControl3D*> FArrayList;
    int32_t FNumberID = 0;
    TMechanicalData FMechanicalData;
    std::string FName;
    bool FAllowBothOrientations = false;
    TPoint3D FOriginPoint;
    bool FOriginSet = false; // an origin has been chosen on element 1's frame

    // Ownership of the chain: cabinets, and the joints, frames and dummies.
    std::vector<std::unique_ptr<TCabinet>> FOwnedCabinets;
    std::vector<std::unique_ptr<TControl3D>> FOwnedNodes;
};

} // namespace vendrel
