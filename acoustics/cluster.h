#pragma once
// A cluster: a grid of cabinets of one model, QuantityH columns by QuantityV rows, spread on a sphere
// by fixed angular steps, on a plane with fixed gaps, or angularly on one axis and linearly on the
// other. Horizontal and vertical clusters, matrices and the subwoofer arrangements (broadside,
// end-fire, cardioid, gradient) are clusters; a beam-steering array is a kind of cluster.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/array_types.h"
#include "acoustics/cab_model.h"
#include "acoustics/zone_data.h"
#include "platform/core/geometry3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TCabinet;

enum class TClusterDistribution : uint8_t { qzaAngular, qzaLinear, qzaAngHLinV, qzaAngVLinH };
// The names the windows and the report give each distribution, in the enumeration's order.
inline constexpr std::array<const char*, 4> ClusterDistributionNames = {"Angular", "Linear", "AngH LinV",
                                                                        "AngV LinH"};
enum class TSubArrangementType : uint8_t {
    qzaBroadside,
    qzaEndFire,
    qzaCardioidSidebySide,
    qzaCardioidStack,
    qzaGradientHyperCardioid
};

// What places the cabinets of a cluster's grid (lengths in metres, angles in degrees).
struct TClusterLayout {
    TClusterDistribution Distribution = TClusterDistribution::qzaLinear;
    int32_t QuantityH = 1; // columns
    int32_t QuantityV = 1; // rows
    float AngularHAngle = 10.0f;
    float AngularVAngle = 10.0f;
    float AngularRadius = 1.2f;
    float LinearHSpace = 0.0f;
    float LinearVSpace = 0.0f;
    bool IsInvDirection = false;
    double ExtentH = 0.0; // a cabinet's extent along the columns (the model's depth when upright)
    double ExtentV = 0.0; // a cabinet's extent along the rows (the model's height when upright)
};

struct TClusterPlacement {
    TPoint3D Position;      // relative to the cluster, metres
    TPoint3D RotationAngle; // degrees
    bool Placed = false;    // false for a distribution that places nothing
};

// Where the cabinet of column i and row j sits in the cluster and how it is turned.
TClusterPlacement ClusterCabinetPlacement(const TClusterLayout& Layout, int32_t i, int32_t j);

// A scene node without owner: the project's list (or whoever built it before registering it) frees it,
// before the project goes.
// The cluster owns its cabinets; they are its scene children, so their positions and rotations are
// relative to it.
class TCluster : public TQzControl3D {
public:
    // With the project's events held back: an empty grid, the model, the orientation, then Reset
    // (which gives a cluster with a model its first cabinet).
    TCluster(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner, TCabModel* theModel,
             TCabPlacement Placement);
    ~TCluster() override;
    TCluster(const TCluster&) = delete;
    TCluster& operator=(const TCluster&) = delete;

    void Reset();
    // A new cabinet of CabModel appended to CabinetList (not to the grid), with the project's events
    // held back.
    TCabinet* AddCabinet(TCabModel* CabModel, bool Activated);
    void SetPositionsInsideCluster();
    // Releases every cabinet from the last to the first.
    void FreeClass();
    float GetHeight() const;
    float GetTotalWeight() const;
    // The union of the cabinets' scene boxes.
    TBoundingBox GlobalBounds() const;
    // GlobalBounds' size centred on the origin.
    TBoundingBox LocalBounds() const;

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    // Every cabinet in the order of creation; the cluster owns them.
    const std::vector<TCabinet*>& CabinetList() const { return FCabinetList; }
    int32_t NCabinets() const { return static_cast<int32_t>(FCabinetList.size()); }
    // The cabinet of column i and row j; an index outside the grid raises ERangeError.
    TCabinet* Cabinets(int32_t i, int32_t j) const;
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

    TCabModel* Model() const { return FModel; }
    void SetModel(TCabModel* Value);
    TCabPlacement Orientation() const { return FCabOrientation; }
    void SetOrientation(TCabPlacement Value);
    TArrayMounting ClusterMounting() const { return FClusterMounting; }
    void SetClusterMounting(TArrayMounting Value);
    TClusterDistribution ClusterDistribution() const { return FClusterDistribution; }
    void SetClusterDistribution(TClusterDistribution Value);
    TSubArrangementType SubArrangementType() const { return FSubArrangementType; }
    void SetSubArrangementType(TSubArrangementType Value);
    TCalcState MapState() const { return FMapState; }
    void SetMapState(TCalcState Value);
    // Read by the summation on its thread.
    bool Active() const { return FActive.load(); }
    void SetActive(bool Value);
    bool IsObjectSelected() const { return TQzControl3D::IsObjectSelected(); }
    void SetIsObjectSelected(bool Value);
    bool IsInvDirection() const { return FIsInvDirection; }
    void SetIsInvDirection(bool Value);
    bool IsMovingOBJ3D() const { return FIsMovingOBJ3D; }
    void SetIsMovingOBJ3D(bool Value);
    bool IsSubArrangement() const { return FIsSubArrangement; }
    void SetIsSubArrangement(bool Value);
    float AngularHAngle() const { return FAngularHAngle; }
    void SetAngularHAngle(float Value);
    float AngularVAngle() const { return FAngularVAngle; }
    void SetAngularVAngle(float Value);
    float AngularRadius() const { return FAngularRadius; }
    void SetAngularRadius(float Value);
    float LinearHSpace() const { return FLinearHSpace; }
    void SetLinearHSpace(float Value);
    float LinearVSpace() const { return FLinearVSpace; }
    void SetLinearVSpace(float Value);
    int32_t QuantityH() const { return FQuantityH; }
    // Grows or shrinks the grid by columns (nothing without a model; a negative count raises
    // ERangeError), then places every cabinet.
    void SetQuantityH(int32_t Value);
    int32_t QuantityV() const { return FQuantityV; }
    // Rows, likewise (a beam-steering array also shares its sources again).
    virtual void SetQuantityV(int32_t Value);

    // The layout the cabinets are placed from, with the model's extents for the orientation.
    TClusterLayout Layout() const;

protected:
    void MatrixChanged() override;
    void RotationChanged() override;
    void RotateXChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;

private:
    bool registered() const;
    TCabinet* newGridCabinet();
    void releaseCabinet(TCabinet* cabinet);
    template <typename Float> void setPlacementValue(Float& field, Float Value);

    TPhysicalSpace* FPhysicalSpace = nullptr;
    std::atomic<bool> FActive{true};
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    TCalcState FMapState = TCalcState::qzaNeedsCalculate;
    TArrayMounting FClusterMounting = TArrayMounting::qzaMatrix;
    TClusterDistribution FClusterDistribution = TClusterDistribution::qzaLinear;
    TCabPlacement FCabOrientation = TCabPlacement::qzaVertical;
    bool FIsInvDirection = false;
    TCabModel* FModel = nullptr; // not owned
    bool FIsMovingOBJ3D = false;
    bool FIsSubArrangement = false;
    TSubArrangementType FSubArrangementType = TSubArrangementType::qzaBroadside;
    float FAngularHAngle = 10.0f;
    float FAngularVAngle = 10.0f;
    float FAngularRadius = 1.2f;
    float FLinearHSpace = 0.0f;
    float FLinearVSpace = 0.0f;
    int32_t FQuantityH = 0;
    int32_t FQuantityV = 0;
    std::vector<TCabinet*> FCabinetList;              // creation order
    std::vector<std::unique_ptr<TCabinet>> FOwned;    // the same cabinets, owned
    std::vector<std::vector<TCabinet*>> FCabinetGrid; // [column][row]
    int32_t FNumberID = 0;
    std::string FName;
};

} // namespace vendrel
