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
struct TMechanicalData {
    double ElevationOrigin = 0.0; // height of the array's origin: the negated Y of its position
    double ClusterHeight = 0.0, ClusterWidth = 0.0, ClusterDepth = 0.0;
    double MostTopPoint = 0.0;    // height of the top of the array's box
    double MostBottomPoint = 0.0; // height of the bottom of the array's box
    double TotalWeight = 0.0;     // cabinets and rigging frame, plus the cable when included
    double MaxSupportWeightOnRigging = 0.0;
    TPoint3D GravityCenter;
    bool RigFrameExists = false;
    TQzControl3D* RigFrame = nullptr; // element 1 when it is a rigging frame or a dummy; not owned
    // Pick point (from 1) nearest to the centre of gravity; -1 when the centre of gravity lies
    // beyond the end pick points; 0 when the array does not fly from a frame.
    int32_t FlyingPoint = 0;
    int32_t AdapterRigPoint1 = 0, AdapterRigPoint2 = 0; // -1: no adapter
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

// Two frame models fly through an adapter whose holes sit between the pick points.
bool FrameFliesWithAdapter(const std::string& FrameModelName);

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
    std::vector<TPoint3D> PickPoints; // the frame's pick points in the scene, in their order
    bool Stacked = false;             // a stack stands on its base; every other mounting hangs
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

// Within this distance (metres) the centre of gravity counts as lying on a pick point or on the
// line between the end pick points: positions are single-precision scene coordinates.
constexpr double kPickPointTolerance = 1e-4;

} // namespace vendrel
