#pragma once
// The box between the two corners of a mouse drag in the scene, for selecting objects by area.

#include "platform/core/geometry3d.h"

namespace vendrel {

class TMouseSelectionBox {
public:
    const TPoint3D& FirstPoint() const { return FFirstPoint; }
    void SetFirstPoint(const TPoint3D& Value);
    const TPoint3D& SecondPoint() const { return FSecondPoint; }
    void SetSecondPoint(const TPoint3D& Value);

    // Per axis the smaller and the larger coordinate of the two points.
    TBoundingBox Bounding;

private:
    void update();

    TPoint3D FFirstPoint;
    TPoint3D FSecondPoint;
};

} // namespace vendrel
