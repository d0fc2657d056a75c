#include "acoustics/response_grids.h"

#include <memory>

#include "platform/core/numeric.h"

namespace vendrel {

namespace {

std::unique_ptr<const TDSPSpace> makeResponseGrid(TFreqBands Spacing) {
    auto grid = std::make_unique<TDSPSpace>();
    grid->SetSampleRate(TSampleRate::sr48k);
    grid->LogspacePerBand(20, 20000, Spacing);
    return grid;
}

} // namespace

const TDSPSpace& ResponseGrid(TFreqBands Spacing) {
    static const std::array<std::unique_ptr<const TDSPSpace>, kResponseGridSpacings.size()> grids{
        makeResponseGrid(kResponseGridSpacings[0]), makeResponseGrid(kResponseGridSpacings[1]),
        makeResponseGrid(kResponseGridSpacings[2])};
    for (size_t i = 0; i < grids.size(); ++i) {
        if (kResponseGridSpacings[i] == Spacing) {
            return *grids[i];
        }
    }
    throw ERangeError("No response grid of that spacing");
}

std::optional<TFreqBands> ResponseGridWithPoints(int32_t Count) {
    for (TFreqBands spacing : kResponseGridSpacings) {
        if (ResponseGrid(spacing).NRealFreqPoints() == Count) {
            return spacing;
        }
    }
    return std::nullopt;
}

} // namespace vendrel
