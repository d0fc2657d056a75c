#include "acoustics/user_preset.h"

#include <algorithm>
#include <limits>

#include "dsp/dsp_space.h"
#include "platform/core/numeric.h"

namespace vendrel {

TTransferFunctionProcess::TTransferFunctionProcess(TDSPSpace* DSPWorkSpace) : DSPSpace(DSPWorkSpace) {
    const auto points = static_cast<size_t>(DSPWorkSpace->NRealFreqPoints());
    ResponseMg.assign(points, 0.0);
    ResponsePhRad.assign(points, 0.0);
}

TUserPreset::TUserPreset(TDSPSpace* DSPWorkSpace) : DSPSpace(DSPWorkSpace) {}

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
    while (EQTransferFunction.size() > count) {
        EQTransferFunction.pop_back();
    }
    EQTransferFunction.reserve(count);
    while (EQTransferFunction.size() < count) {
        EQTransferFunction.push_back(std::make_unique<TTransferFunctionProcess>(DSPSpace));
    }
    FNSourcePoints = Value;
}

int32_t TUserPreset::FindDelaySamples() const {
    int32_t result = std::numeric_limits<int32_t>::max();
    for (const auto& tf : EQTransferFunction) {
        if (tf) {
            result = std::min(result, tf->DelaySamples);
        }
    }
    return result;
}

float TUserPreset::MaxDbuAllTransfersF() const {
    if (EQTransferFunction.empty()) {
        return 0.0f;
    }
    double result = EQTransferFunction.front()->MaxSpl;
    for (const auto& tf : EQTransferFunction) {
        result = std::max(result, tf->MaxSpl);
    }
    return static_cast<float>(result);
}

float TUserPreset::MaxDbuInAllOffsets() const {
    if (EQTransferFunction.empty()) {
        return 0.0f;
    }
    double result = EQTransferFunction.front()->OffsetSpl;
    for (const auto& tf : EQTransferFunction) {
        result = std::max(result, tf->OffsetSpl);
    }
    return static_cast<float>(result);
}

} // namespace vendrel
