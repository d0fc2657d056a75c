#include "editor/units.h"

#include "platform/core/edit_helpers.h"

namespace vendrel {

TUnits UnitSystemOf(bool Metric) {
    TUnits u;
    u.Metric = Metric;
    if (!Metric) {
        u.LengthUnits = 3.2808398950131235;
        u.LengthUnitText = "ft";
        u.MassUnits = 2.2046226218487757;
        u.MassUnitText = "lbs";
        u.TempUnitText = "\u00BA"
                         "F";
    }
    return u;
}

std::vector<std::string> PosStepTexts(bool Metric) {
    if (Metric) {
        return {"1 cm", "10 cm", "1 m", "10 m"};
    }
    return {"0.01 ft", "0.1 ft", "1 ft", "10 ft"};
}

std::vector<std::string> RotStepTexts() {
    return {"0.1\u00BA", "1\u00BA", "10\u00BA", "30\u00BA", "45\u00BA"};
}

double ShownAndReadBack(double Metres, double LengthUnits, const std::string& Pattern) {
    const TFormatSettings plain;
    const std::string text = FormatFloatPattern(Pattern, Metres * LengthUnits, plain);
    double shown = 0.0;
    TryTextToFloat(text, shown, plain);
    return shown / LengthUnits;
}

} // namespace vendrel
