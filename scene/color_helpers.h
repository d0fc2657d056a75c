#pragma once
// Outline bounds and ARGB colour arithmetic shared by the windows and the zone solids.

#include "scene/planar.h"

#include <cstdint>

namespace vendrel {

// An ARGB colour: blue in bits 0-7, green 8-15, red 16-23, alpha 24-31.
using TAlphaColor = uint32_t;

// Bounding rectangle of every point of the outline (a closing point included); an empty outline
// gives (1e12, 1e12, -1e12, -1e12).
TRectF PolygonBounds(const TPolygon& Polygon);

// Each of red, green and blue raised (lowered) by Percent % of 255, cut at 255 (0); alpha unchanged.
// A Percent whose product with 255 overflows raises ERangeError.
TAlphaColor LightenColor(TAlphaColor Color, int Percent);
TAlphaColor DarkenColor(TAlphaColor Color, int Percent);

} // namespace vendrel
