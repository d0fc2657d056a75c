#pragma once
// Estimates of the memory the coverage maps need and the ladder of map resolutions that the project
// walks down when they do not fit. The project's memory checks (`CheckMemoryForNCabinets` and its
// siblings) are built from these pieces; the budget itself is read through a replaceable source so
// tests can inject it.

#include "platform/core/message_box.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vendrel {

// Pixel edge of each render quality, coarsest first (very low 1.0 m .. very high 0.05 m).
constexpr int kRenderQualityCount = 5;
double RenderQualityPixelSize(int index);
// Index of a pixel size in the render-quality table, -1 when it is not one of them.
int RenderQualityIndexOf(double pixelSize);
// The next coarser pixel size: the previous table entry, 2 m for 1 m, twice any size off the table.
double CoarserPixelSize(double pixelSize);
// Sizes above this have reached the minimum resolution.
constexpr double kCoarsestRenderPixel = 1.0;

// What the estimates need to know of one zone.
struct TZoneMemoryExtent {
    double Width = 0;      // metres
    double Depth = 0;      // metres
    bool Picture = false;  // a picture surface keeps no maps at all
    bool NoSPLMap = false; // a zone without level map keeps one pixel
    int64_t BitmapBytesPerPixel = 4;
};

// Pixel counts of a zone at a pixel size (halves to even); a zone without level map counts 1 x 1.
void ZonePixels(const TZoneMemoryExtent& zone, double pixelSize, int64_t& width, int64_t& depth);

// Bytes of the cabinet maps of nCabs cabinets: per zone W * nFreqs * D * 8 (two singles). 64-bit and
// overflow-checked: the large cases are the ones the estimate exists to catch.
int64_t CabinetMapsBytes(const std::vector<TZoneMemoryExtent>& zones, double pixelSize, int64_t nFreqs,
                         int64_t nCabs);
// Bytes of the zones' sum maps and level bitmaps: per zone W * D * 8 + W * D * B * 2.
int64_t SumMapsBytes(const std::vector<TZoneMemoryExtent>& zones, double pixelSize);
// Bytes added when every map gains pixels pixels.
int64_t IncrementAllMapsBytes(int64_t pixels, int64_t nFreqs, int64_t totalCabinets);

inline double BytesToMB(int64_t bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

// The coarsening ladder shared by the memory checks, from the point where the need was found not to
// fit: walks coarser sizes from `requested` while the need (re-evaluated at each size with needAt)
// is at least the budget (re-read at each test). Shows the minimum-resolution message once a size
// beyond 1 m is requested or reached. Returns the size reached. The caller shows the low-memory
// message and releases the maps before.
double CoarsenResolution(double requested, double initialNeed, const std::function<double(double)>& needAt,
                         const std::function<double()>& budget);

// The two messages of the memory budget; each returns the box's result, which callers ignore.
TModalResult ShowLowMemoryMessage();
TModalResult ShowMinimumResolutionMessage();

// The machine's memory figures in MB. The default source asks the operating system; tests install
// their own. A source that fails returns false and leaves the figures unchanged.
using TMemoryFiguresSource = std::function<bool(double& installedMB, double& availableMB, double& usedMB)>;
// Installs the source (empty restores the system's figures) and returns the one installed before.
TMemoryFiguresSource SetMemoryFiguresSource(TMemoryFiguresSource source);

// Installs a source for the guard's life and puts the previous one back on every exit path.
class TScopedMemoryFiguresSource {
public:
    explicit TScopedMemoryFiguresSource(TMemoryFiguresSource source)
        : previous_(SetMemoryFiguresSource(std::move(source))) {}
    ~TScopedMemoryFiguresSource() { SetMemoryFiguresSource(std::move(previous_)); }
    TScopedMemoryFiguresSource(const TScopedMemoryFiguresSource&) = delete;
    TScopedMemoryFiguresSource& operator=(const TScopedMemoryFiguresSource&) = delete;

private:
    TMemoryFiguresSource previous_;
};
void ReadMemoryFiguresMB(double& installedMB, double& availableMB, double& usedMB);

} // namespace vendrel
