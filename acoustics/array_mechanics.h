#pragma once
// The mechanics of a line array: weights, centre of gravity, the pick point it flies from, the loads
// on the two end pick points, the adapter position and the array's extent. Riggers hang real weight
// from these figures, so they come from statics alone: the weights of the elements at their centres
// of gravity in the scene (with every rotation of every element), the balance of forces and moments
// of a rigid body hung from its pick points, and the footprint a stack stands on.
//
// ComputeMechanics is a pure function of what the array gathers from its elements (TCabArray::
// RecalcMechanics), so it is tested on hand-made inputs.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/geometry3d.h"

namespace vendrel {

class TQzControl3D;

// Lengths in metres and scene coordinates (Y down), weights in kilograms.
//
// The mechanical dialog, the array panel's warnings and the report print this record and compute
// nothing of their own: whether the array holds is GravityCenterOutOfRange (a hang beyond its pick
// points or a stack beyond its footprint, PickPointRange), whether the frame is overloaded is
// WeightExceded, and whether and where adapters hang comes from AdapterTexts.
struct TMechanicalData {
    double ElevationOrigin = 0.0; // height of the array's origin: the negated Y of its position
    double ClusterHeight = 0.0, ClusterWidth = 0.0, ClusterDepth = 0.0;
    double MostTopPoint = 0.0;    // height of the top of the array's box
    double MostBottomPoint = 0.0; // height of the bottom of the array's box
    double TotalWeight = 0.0;     // cabinets and rigging frame, plus the cable when included
    double MaxSupportWeightOnRigging = 0.0;
    // What hangs from (or stands on) the rigging frame: TotalWeight without the frame's own weight,
    // adapters and the included cable counted; 0 without a frame.
    double FrameLoad = 0.0;
    // The cable from the array's top down to the floor, CableWeightPerMeter x MostTopPoint (never
    // negative), whether or not it is included.
    double CableWeight = 0.0;
    TPoint3D GravityCenter;
    bool RigFrameExists = false;
    TQzControl3D* RigFrame = nullptr; // element 1 when it is a rigging frame or a dummy; not owned
    bool Stacked = false;             // a stack stands on its first element; it never flies
    int32_t NPickPoints = 0;          // the frame's pick points; 0 without a frame
    // Pick point (from 1) nearest to the centre of gravity; -1 when the hang from the pick points
    // cannot hold the centre of gravity; 0 when the array does not fly from a frame.
    int32_t FlyingPoint = 0;
    // The frame flies through adapters whose holes sit between its pick points (decided once, here).
    bool FliesWithAdapter = false;
    int32_t AdapterRigPoint1 = 0, AdapterRigPoint2 = 0; // one motor's adapter; -1: no adapter
    std::string AdapterPosition;                        // "No Adapter" or "hole on right"
    bool GravityCenterOutOfRange = false;
    bool WeightExceded = false;
    double CableWeightPerMeter = 0.0;
    bool IncludeCableInCalculation = false;
    // Loads of a two-motor hang from the first (front) and the last (rear) pick point; they add up
    // to TotalWeight. Both 0 when the array does not fly from a frame or its centre of gravity is
    // out of range.
    double FrontPickupLoad = 0.0, RearPickupLoad = 0.0;
    int32_t NMotors = 0; // chosen by the windows
};

// The load a rigging frame carries exceeds its rating only when it is greater than the rating: a
// load equal to the maximum is within it. The mechanics, the report and the array wizard all decide
// with this one rule.
inline bool RiggingLoadExceeded(double LoadKg, double MaxSupportWeightKg) {
    return LoadKg > MaxSupportWeightKg;
}

// A frame flies through adapters when its model says its pick points take them; two frame models
// are known to, whatever their files say.
bool FrameFliesWithAdapter(const std::string& FrameModelName, bool TypedWithAdapter);

// Where the adapters of a hang are fixed, as the dialog and the report print them. One motor: the
// adapter hangs across AdapterRigPoint2 and AdapterRigPoint1. Two motors: the front adapter on pick
// points 3 and 1, the rear one on the last point N and N - 2; that takes at least four pick points, and
// with fewer the two motors hang from the end points themselves. Nothing for a stack, a hang out of
// range or a frame without adapters.
struct TAdapterTexts {
    bool OneAdapter = false;
    std::string Position;   // "hole on right"
    std::string RigPoints;  // "5 and 4": the second point first
    std::string PointLabel; // "5 - 4"
    bool TwoAdapters = false;
    std::string FrontRigPoints; // "3 - 1"
    std::string RearRigPoints;  // "8 - 6"
};
TAdapterTexts AdapterTexts(const TMechanicalData& Data);

// One weight at its centre of gravity in the scene.
struct TMechanicsMass {
    TPoint3D Point;
    double Weight = 0.0;
};

// What the mechanics are computed from; gathered by the array from its elements.
struct TMechanicsInput {
    std::vector<TMechanicsMass> Masses; // every cabinet and rigging frame
    bool RigFrameExists = false;        // element 1 is a rigging frame with a model
    TQzControl3D* RigFrame = nullptr;
    double FrameWeight = 0.0;
    double MaxSupportWeight = 0.0;
    std::string FrameModelName;
    bool FrameTypedWithAdapter = false; // the frame model's pick points take adapters
    std::vector<TPoint3D> PickPoints;   // the frame's pick points in the scene, in their order
    bool Stacked = false;               // a stack stands on its base; every other mounting hangs
    // The scene corners of the element a stack stands on; empty when it has none.
    std::vector<TPoint3D> BaseCorners;
    TBoundingBox Extent; // the array's scene box
    double OriginY = 0.0;
    double CableWeightPerMeter = 0.0;
    bool IncludeCableInCalculation = false;
    int32_t NMotors = 1;
};

// Every computed field of Out from In; CableWeightPerMeter, IncludeCableInCalculation and NMotors of
// Out are copied from In.
void ComputeMechanics(const TMechanicsInput& In, TMechanicalData& Out);

// Within this distance (metres) the centre of gravity counts as lying on a pick point or at an end of
// the line between the end pick points: positions are single-precision scene coordinates.
constexpr double kPickPointTolerance = 1e-4;

// Within this horizontal distance (metres) of the line through the end pick points a hang from them
// holds the centre of gravity: two vertical forces on that line balance no moment about it, so
// farther to the side the array rolls. It leaves room for cabinets whose centre of gravity sits a few
// centimetres off their mid-plane.
constexpr double kSidewaysTolerance = 0.1;

// The hang from a frame's pick points (scene points, in their order) seen from above: Along is the
// position of the centre of gravity G along p1 -> pN (0 at p1, 1 at pN), Sideways its distance from
// that line. The hang holds G while G lies between the end points and within kSidewaysTolerance of
// their line; with every point in one place, while G lies within kSidewaysTolerance of it.
struct TPickPointRange {
    bool InRange = false;
    double Along = 0.0;
    double Sideways = 0.0;
};
TPickPointRange PickPointRange(const std::vector<TPoint3D>& PickPoints, const TPoint3D& G);

} // namespace vendrel
