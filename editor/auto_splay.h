#pragma once
// The automatic splay of flown line arrays: it sweeps the array's tilt from 85 down to -90 degrees in
// half-degree steps to find where its reference cabinet's axis starts to meet the audience zones,
// shares the cabinets out among the zones met (by how far the zone lies and how far along the axis
// it was met), spreads each zone's cabinets evenly over the stretch the sweep covered and gives every
// cabinet the allowed splay of its model that points nearest to its share.
//
// Nothing reacts while it works: the project's events, the calculation workers and the hit points
// wait, and the panels are told once, at the end, that the array changed.

#include "platform/core/geometry3d.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TCabArray;
class TCabinet;
class TMappingZone;
class TObject;
struct TEditorState;

// Whole cabinets for zones of the given weights, N in all at most: each zone's share of the sum times N,
// rounded half to even, cut where the total would pass N; zones that all weigh nothing share alike.
std::vector<int32_t> ShareCabinets(const std::vector<double>& Weights, int32_t N);

class TAutoSplay {
public:
    TAutoSplay(TAcousticProject& Project, TEditorState& State);

    // The command: with FromSelection (the scene menu's item) every selected flown array, otherwise
    // the array in edition when it flies; over the selected predictable zones, or every predictable
    // zone of the project when none is selected.
    void ArrayAutoSplayActionExecute(bool FromSelection);
    // Aims one array at Zones (at least one, in their order).
    void AutoSplayArray(TCabArray& theArray, const std::vector<TMappingZone*>& Zones);
    // Where the axis of theCabinet meets the zone's drawn solid: the hit in scene coordinates and in
    // the cabinet's own; true only for a hit in front of the cabinet.
    bool CabinetRayIntersectInZone(const TCabinet& theCabinet, const TMappingZone& theMappingZone,
                                   TPoint3D& HitPointLocalCab, TPoint3D& HitPointAbs) const;

    // The cabinet the sweep follows: the first line-array cabinet, else the last cabinet.
    static TCabinet* ReferenceCabinet(const TCabArray& theArray);

    // The array's tilt and splays changed: its panel shows them, its drawing and its warnings follow.
    std::function<void(TCabArray&)> OnArrayAimed;
    // The line array in edition (the line-array kind's object in edition), null for none.
    std::function<TCabArray*()> ArrayInEdition;
    // The splay index chosen for a cabinet (its row's choice).
    std::function<void(TCabinet&, int Index)> OnSplayChosen;

private:
    TAcousticProject& FProject;
    TEditorState& FState;
};

} // namespace vendrel
