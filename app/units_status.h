#pragma once
// Units, status figures and the responsive widths of the main window's panels.

#include <string>
#include <vector>

namespace vendrel {

struct TUnitSystem {
    std::string LengthUnitText;
    std::string MassUnitText;
    std::string TempUnitText;
    double LengthUnits = 1.0; // metres to the displayed length unit
    double MassUnits = 1.0;   // kilograms to the displayed mass unit
};

TUnitSystem UnitSystemOf(bool Metric);
// Texts of the position-step selector ("1 cm" ... or "0.01 ft" ...) and of the rotation-step selector.
std::vector<std::string> PosStepTexts(bool Metric);
std::vector<std::string> RotStepTexts();

// The status bar's memory figures: "RAM: " + used share with two decimals + "%   |   PxPerMeter: " +
// the map pixel size. Without a readable installed memory the share shows as "?".
std::string MemoryStatusText(double UsedMB, double InstalledMB, double PixelToMeters, char DecimalSeparator);

// A panel laid out in the free width: left-aligned 1065 wide below 1080, filling its parent up to the
// limit, left-aligned at the limit's width from there on.
struct TPanelWidth {
    bool Fill = false;
    int Width = 0;
};
TPanelWidth PanelWidthFor(int FreeWidth, int Limit);

} // namespace vendrel
