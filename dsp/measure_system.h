#pragma once
// A measured response on a frequency grid (the curve that the flattening designer corrects).
// Only what the FIR filter and its designer reach so far; the measurement itself is built on this.

#include "dsp/dsp_space.h"

namespace vendrel {

class TMeasureSystem {
public:
    explicit TMeasureSystem(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {}

    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    // Keep the unwrapped-phase arrays.
    bool UseUnrollAproximation() const { return FUseUnrollAproximation; }
    void SetUseUnrollAproximation(bool Value) { FUseUnrollAproximation = Value; }

private:
    TDSPSpace* FDSPSpace; // not owned
    bool FUseUnrollAproximation = true;
};

} // namespace vendrel
