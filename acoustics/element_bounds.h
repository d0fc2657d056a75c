#pragma once
// The scene boxes of the elements of line arrays and clusters, from their models: a model's box is
// its width, height and depth (X, Y, Z) centred on the model origin, turned and placed with the
// element's scene frame.

#include "platform/core/geometry3d.h"

namespace vendrel {

class TControl3D;
class TCabinet;

// The frame a cabinet's body turns with: its pivot, which carries the placement (upright or on its
// side) on top of the cabinet's own placement.
const TControl3D& CabinetBodyFrame(const TCabinet& Cabinet);

// The axis-aligned scene box around a box of Width x Height x Depth centred on Frame's origin.
TBoundingBox BoxInScene(const TControl3D& Frame, double Width, double Height, double Depth);

// A cabinet or rigging frame with a model: its model's box; anything else: the node's own box.
TBoundingBox ElementGlobalBounds(const TControl3D& Element);

// The box of Bounds' width, height and depth centred on the origin.
TBoundingBox CentredBounds(const TBoundingBox& Bounds);

} // namespace vendrel
