#pragma once
// The units the window shows: one object for the whole program. Lengths and masses are kept in metres
// and kilograms; a shown length is metres times LengthUnits followed by LengthUnitText, and the step
// selector "Pos" names its steps in the shown unit.

#include <string>
#include <vector>

namespace vendrel {

struct TUnits {
    bool Metric = true;
    double LengthUnits = 1.0; // metres to the shown length unit
    std::string LengthUnitText = "m";
    double MassUnits = 1.0; // kilograms to the shown mass unit
    std::string MassUnitText = "kg";
    std::string TempUnitText = "\u00BA"
                               "C";
    std::string TimeUnitText = "sec";
    std::string HumidityUnitText = "%";
};

// Metric: metres, kilograms, degrees Celsius; otherwise feet, pounds, degrees Fahrenheit.
TUnits UnitSystemOf(bool Metric);
// Texts of the position-step selector ("1 cm" ... or "0.01 ft" ...) and of the rotation-step selector.
std::vector<std::string> PosStepTexts(bool Metric);
std::vector<std::string> RotStepTexts();

// A length in metres as a field shows it (times LengthUnits, fixed to four decimals, then the pattern
// "0.000", "0.00" ...) and reads it back (divided by LengthUnits): what a value becomes when it passes
// through a panel. LengthUnits 1 rounds a shown value (an angle, a shown length) the same way.
double ShownAndReadBack(double Metres, double LengthUnits, const std::string& Pattern);

} // namespace vendrel
