#include "acoustics/memory_budget.h"

#include "platform/core/system_helpers.h"

#include "platform/core/numeric.h"

#include <array>
#include <mutex>
#include <utility>

namespace vendrel {

namespace {

constexpr std::array<double, kRenderQualityCount> kPixelSizes{1.0, 0.5, 0.2, 0.1, 0.05};

std::mutex& sourceMutex() {
    static std::mutex m;
    return m;
}

TMemoryFiguresSource& figuresSource() {
    static TMemoryFiguresSource source;
    return source;
}

// The system's figures come from the one reading the whole program uses (available memory counts
// the page cache the system can drop, so a machine full of cache does not coarsen the maps).
bool systemFigures(double& installedMB, double& availableMB, double& usedMB) {
    return GetPhysicalMemoryMB(installedMB, availableMB, usedMB);
}

} // namespace

double RenderQualityPixelSize(int index) {
    return At(kPixelSizes, index);
}

int RenderQualityIndexOf(double pixelSize) {
    for (int i = 0; i < kRenderQualityCount; ++i) {
        if (kPixelSizes[static_cast<size_t>(i)] == pixelSize) {
            return i;
        }
    }
    return -1;
}

double CoarserPixelSize(double pixelSize) {
    const int i = RenderQualityIndexOf(pixelSize);
    if (i > 0) {
        return kPixelSizes[static_cast<size_t>(i - 1)];
    }
    return 2.0 * pixelSize;
}

void ZonePixels(const TZoneMemoryExtent& zone, double pixelSize, int64_t& width, int64_t& depth) {
    if (zone.NoSPLMap) {
        width = 1;
        depth = 1;
        return;
    }
    width = RoundHalfEven<int64_t>(zone.Width / pixelSize);
    depth = RoundHalfEven<int64_t>(zone.Depth / pixelSize);
}

int64_t CabinetMapsBytes(const std::vector<TZoneMemoryExtent>& zones, double pixelSize, int64_t nFreqs,
                         int64_t nCabs) {
    int64_t total = 0;
    for (const auto& zone : zones) {
        if (zone.Picture) {
            continue;
        }
        int64_t w = 0, d = 0;
        ZonePixels(zone, pixelSize, w, d);
        total = CheckedAdd(total, CheckedMul(CheckedMul(CheckedMul(w, nFreqs), d), int64_t{8}));
    }
    return CheckedMul(total, nCabs);
}

int64_t SumMapsBytes(const std::vector<TZoneMemoryExtent>& zones, double pixelSize) {
    int64_t total = 0;
    for (const auto& zone : zones) {
        if (zone.Picture) {
            continue;
        }
        int64_t w = 0, d = 0;
        ZonePixels(zone, pixelSize, w, d);
        const int64_t pixels = CheckedMul(w, d);
        total = CheckedAdd(total, CheckedMul(pixels, int64_t{8}));
        total = CheckedAdd(total, CheckedMul(CheckedMul(pixels, zone.BitmapBytesPerPixel), int64_t{2}));
    }
    return total;
}

int64_t IncrementAllMapsBytes(int64_t pixels, int64_t nFreqs, int64_t totalCabinets) {
    return CheckedAdd(CheckedMul(CheckedMul(CheckedMul(pixels, nFreqs), int64_t{8}), totalCabinets),
                      CheckedMul(pixels, int64_t{16}));
}

double CoarsenResolution(double requested, double initialNeed, const std::function<double(double)>& needAt,
                         const std::function<double()>& budget) {
    double s = requested;
    bool proceed = true;
    if (s > kCoarsestRenderPixel) {
        ShowMinimumResolutionMessage();
        proceed = false;
    }
    double need = initialNeed;
    while (proceed && need >= budget()) {
        s = CoarserPixelSize(s);
        if (s > kCoarsestRenderPixel) {
            ShowMinimumResolutionMessage();
            proceed = false;
        }
        need = needAt(s);
    }
    return s;
}

TModalResult ShowLowMemoryMessage() {
    return MessageBoxService().MessageDlg("Not enough memory available. Render resolution will be decreased.",
                                          TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
}

TModalResult ShowMinimumResolutionMessage() {
    return MessageBoxService().MessageDlg(
        "You are already at the minimum resolution. Insufficient memory to continue. Please close other "
        "applications or upgrade your system memory.",
        TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
}

TMemoryFiguresSource SetMemoryFiguresSource(TMemoryFiguresSource source) {
    std::lock_guard lock(sourceMutex());
    return std::exchange(figuresSource(), std::move(source));
}

void ReadMemoryFiguresMB(double& installedMB, double& availableMB, double& usedMB) {
    TMemoryFiguresSource source;
    {
        std::lock_guard lock(sourceMutex());
        source = figuresSource();
    }
    double i = installedMB, a = availableMB, u = usedMB;
    const bool ok = source ? source(i, a, u) : systemFigures(i, a, u);
    if (ok) {
        installedMB = i;
        availableMB = a;
        usedMB = u;
    }
}

} // namespace vendrel
