#include "editor/ruler_readout.h"

#include "acoustics/polar.h"

#include <cmath>

namespace vendrel {

namespace {

// Below this distance (metres) the bar has no direction.
constexpr double kShortestBar = 0.001;

std::string line(const char* Label, double Metres, double LengthUnits, const std::string& Unit,
                 const TFormatSettings& Settings) {
    return std::string(Label) + FormatFloatPattern("0.00", Metres * LengthUnits, Settings) + " " + Unit +
           "  ";
}

} // namespace

TRulerTexts RulerTexts(const TPoint3D& First, const TPoint3D& Second, double LengthUnits,
                       const std::string& LengthUnitText, const TFormatSettings& Settings) {
    const double dx = static_cast<double>(Second.X) - First.X;
    const double dy = static_cast<double>(Second.Y) - First.Y;
    const double dz = static_cast<double>(Second.Z) - First.Z;
    TRulerTexts t;
    t.Dist = line(" Dist:  ", std::sqrt(dx * dx + dy * dy + dz * dz), LengthUnits, LengthUnitText, Settings);
    t.DX = line("   dX:  ", std::abs(dx), LengthUnits, LengthUnitText, Settings);
    t.DY = line("   dY:  ", std::abs(dz), LengthUnits, LengthUnitText, Settings);
    t.DZ = line("   dZ:  ", std::abs(dy), LengthUnits, LengthUnitText, Settings);
    return t;
}

TRulerBar RulerBarBetween(const TPoint3D& First, const TPoint3D& Second) {
    TRulerBar bar;
    const TPolarCoords polar =
        PolarBetweenPoints({Second.X, Second.Y, Second.Z}, {First.X, First.Y, First.Z});
    if (!(polar.Radius >= kShortestBar)) {
        return bar;
    }
    const auto d = static_cast<float>(polar.Radius);
    bar.Visible = true;
    bar.Width = d;
    bar.Position = TPoint3D(First.X + d / 2, First.Y, First.Z);
    bar.RotationCenter = TPoint3D(-d / 2, 0, 0);
    bar.RotationAngle = TPoint3D(0, static_cast<float>(-polar.Azimuth * kRadToDeg),
                                 static_cast<float>(-polar.Elevation * kRadToDeg));
    return bar;
}

} // namespace vendrel
