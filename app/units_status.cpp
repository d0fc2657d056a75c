#include "app/units_status.h"

#include <cmath>
#include <cstdio>

namespace vendrel {

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
