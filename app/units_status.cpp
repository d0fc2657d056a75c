#include "app/units_status.h"

#include <cmath>
#include <cstdio>

namespace vendrel {

TUnitSystem UnitSystemOf(bool Metric) {
    if (Metric) {
        return {"m", "kg",
                "\u00BA"
                "C",
                1.0, 1.0};
    }
    return {"ft", "lbs",
            "\u00BA"
            "F",
            3.2808398950131235, 2.2046226218487757};
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

namespace {

std::string withSeparator(std::string text, char separator) {
    for (char& c : text) {
        if (c == '.') {
            c = separator;
        }
    }
    return text;
}

} // namespace

std::string MemoryStatusText(double UsedMB, double InstalledMB, double PixelToMeters, char DecimalSeparator) {
    std::string share = "?";
    if (InstalledMB > 0 && std::isfinite(InstalledMB) && std::isfinite(UsedMB)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f", UsedMB * 100.0 / InstalledMB);
        share = withSeparator(buf, DecimalSeparator);
    }
    char px[64];
    std::snprintf(px, sizeof px, "%.15g", PixelToMeters);
    return "RAM: " + share + "%   |   PxPerMeter: " + withSeparator(px, DecimalSeparator);
}

TPanelWidth PanelWidthFor(int FreeWidth, int Limit) {
    if (FreeWidth < 1080) {
        return {false, 1065};
    }
    if (FreeWidth < Limit) {
        return {true, FreeWidth};
    }
    return {false, Limit};
}

} // namespace vendrel
