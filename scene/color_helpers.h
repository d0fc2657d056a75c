#pragma once
// Outline bounds and ARGB colour arithmetic shared by the windows and the zone solids.

#include "platform/core/bitmap.h"
#include "platform/core/planar.h"

namespace vendrel {

// Bounding rectangle of every point of the outline (a closing point included); an empty outline
// gives (1e12, 1e12, -1e12, -1e12).
TRectF PolygonBounds(const TPolygon& Polygon);

// Each of red, green and blue raised (lowered) by Percent % of 255, cut at 255 (0); alpha unchanged.
// A Percent whose product with 255 overflows raises ERangeError.
TAlphaColor LightenColor(TAlphaColor Color, int Percent);
TAlphaColor DarkenColor(TAlphaColor Color, int Percent);

// An opaque colour from hue (0..1), saturation and luminance (0..1) by the standard HSL model, channels
// rounded to whole values.
TAlphaColor HSLtoRGB(float Hue, float Saturation, float Luminance);
// An opaque colour of random hue, full saturation and lightness L: what new measurement points and
// overlays are drawn in when no colour is chosen.
TAlphaColor RandomHueColor(float L);

// Makes every pixel whose red, green and blue each lie strictly within Trunc(Tolerance * 255 / 200)
// of the key colour's transparent black. A key colour with alpha $20 or less changes nothing.
TBitmap& MakeColorTransparent(TBitmap& Bitmap, TAlphaColor KeyColor, int Tolerance);

} // namespace vendrel
