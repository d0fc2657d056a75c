#pragma once
// Status figures and the responsive widths of the main window's panels (the units are the
// editor's: editor/units.h).

#include <string>
#include <vector>

namespace vendrel {

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
