#include "acoustics/user_preset.h"

#include <algorithm>
#include <limits>

#include "dsp/dsp_space.h"
#include "platform/core/numeric.h"

namespace vendrel {

TTransferFunctionProcess::TTransferFunctionProcess(TDSPSpace* DSPWorkSpace) : FDSPSpace(DSPWorkSpace) {
    const auto points = static_cast<size_t>(DSPWorkSpace->NRealFreqPoints());
    FResponseMg.assign(points, 0.0);
    FResponsePhRad.assign(points, 0.0);
}

TUserPreset::TUserPreset(TDSPSpace* DSPWorkSpace) : FDSPSpace(DSPWorkSpace) {}

TUserPreset::~TUserPreset() = default;

void TUserPreset::SetNSourcePoints(int32_t Value) {
    if (Value == 0 || Value == FNSourcePoints) {
        return;
    }
    if (Value < 0) {
        throw ERangeError();
    }
    const auto count = static_cast<size_t>(Value);
    // Shrinking frees from the last entry down; growing keeps the existing transfer functions.
    while (FEQTransferFunction.size() > count) {
        FEQTransferFunction.pop_back();
    }
    FEQTransferFunction.reserve(count);
    while (FEQTransferFunction.size() < count) {
        FEQTransferFunction.push_back(std::make_unique<TTransferFunctionProcess>(FDSPSpace));
    }
    FNSourcePoints = Value;
}

int32_t TUserPreset::FindDelaySamples() const {
    int32_t result = std::numeric_limits<int32_t>::max();
    for (const auto& tf : FEQTransferFunction) {
        if (tf) {
            result = std::min(result, tf->DelaySamples());
        }
    }
    return result;
}

float TUserPreset::MaxDbuAllTransfersF() const {
    if (FEQTransferFunction.empty()) {
        return 0.0f;
    }
    double result = FEQTransferFunction.front()->MaxSpl();
    for (const auto& tf : FEQTransferFunction) {
        result = std::max(result, tf->MaxSpl());
    }
    return static_cast<float>(result);
}

float TUserPreset::MaxDbuInAllOffsets() const {
    if (FEQTransferFunction.empty()) {
        return 0.0f;
    }
    double result = FEQTransferFunction.front()->OffsetSpl();
    for (const auto& tf : FEQTransferFunction) {
        result = std::max(result, tf->OffsetSpl());
    }
    return static_cast<float>(result);
}

} // namespace vendrel
