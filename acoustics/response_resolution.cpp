// The resolution of the measurement-point grid: one step that changes the grid's spacing and brings
// everything sized from it along, and the read-index table of the response chart.

#include <algorithm>
#include <span>

#include "acoustics/dsp_process.h"
#include "acoustics/mic_point.h"
#include "acoustics/project.h"
#include "acoustics/weighting.h"
#include "dsp/dsp_space.h"
#include "dsp/smoothing.h"

namespace vendrel {

namespace {

bool bandsOfResolution(int32_t Index, TFreqBands& Bands) {
    switch (Index) {
    case 0:
        Bands = TFreqBands::fbOneFortyEigthOctave;
        return true;
    case 1:
        Bands = TFreqBands::fbOneTwentyFourOctave;
        return true;
    case 2:
        Bands = TFreqBands::fbOneTwelveOctave;
        return true;
    default:
        return false;
    }
}

} // namespace

void TAcousticProject::fillMicMagReadIndex() {
    const std::vector<int32_t>& freqs = FDSPSpaceForMicGraphs->FreqDraw;
    const std::span<const int32_t> grid(freqs.data(), static_cast<size_t>(FNFreqPointsMicGraph));
    FMicMagReadIndex.resize(grid.size());
    for (size_t i = 0; i < grid.size(); ++i) {
        FMicMagReadIndex[i] = NearestSortedIndex(grid, static_cast<double>(grid[i]));
    }
}

void TAcousticProject::SetMagResolution(int32_t Index) {
    TFreqBands bands{};
    if (!bandsOfResolution(Index, bands)) {
        return;
    }
    if (bands != FDSPSpaceForMicGraphs->BandPerOctave()) {
        // Point workers and the map kernel (through the user processes) read the grid and what is
        // sized from it: none runs while it changes.
        const TWorkersPause pause(*this);
        FDSPSpaceForMicGraphs->SetBandPerOctave(bands);
        FNFreqPointsMicGraph = FDSPSpaceForMicGraphs->NRealFreqPoints();
        FWeighteningTable = WeighteningCurve(FMicWeightening, *FDSPSpaceForMicGraphs);
        for (const auto& process : FDSPProcessList) {
            process->FollowGrid();
        }
        for (TMicPoint* point : pointsOfProject_) {
            point->FollowGrid(static_cast<size_t>(FNFreqPointsMicGraph));
        }
        const bool processUsed =
            std::any_of(FDSPProcessList.begin(), FDSPProcessList.end(),
                        [](const auto& process) { return !process->AppliedOn().empty(); });
        if (processUsed) {
            ReCalculateZones(-1);
        }
    }
    fillMicMagReadIndex();
}

} // namespace vendrel
