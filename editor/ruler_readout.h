#pragma once
// The distance ruler's arithmetic: the four read-out texts and the bar from the first point to the point
// under the mouse. The read-out labels the scene's X as "dX", its Z as "dY" and its vertical Y as "dZ",
// as every dialog does; each value is absolute, in the current length unit with two decimals.

#include "platform/core/edit_helpers.h"
#include "platform/core/geometry3d.h"

#include <string>

namespace vendrel {

struct TRulerTexts {
    std::string Dist; // " Dist:  12.34 m  "
    std::string DX;   // "   dX:  ..."
    std::string DY;
    std::string DZ;
};

TRulerTexts RulerTexts(const TPoint3D& First, const TPoint3D& Second, double LengthUnits,
                       const std::string& LengthUnitText, const TFormatSettings& Settings);

// The bar: a box Width long along its own X, placed so that it starts at the first point and points at
// the second. Under 1 mm between the points there is no direction to point in: the bar is hidden.
struct TRulerBar {
    bool Visible = false;
    float Width = 0.0f;
    TPoint3D Position;
    TPoint3D RotationCenter;
    TPoint3D RotationAngle; // degrees
};

TRulerBar RulerBarBetween(const TPoint3D& First, const TPoint3D& Second);

} // namespace vendrel
