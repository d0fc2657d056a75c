#pragma once
// Phase and magnitude flattening designer attached to a TFIR (which owns it).
// Only what the filter reaches so far: an inactive designer whose correction is neutral; the
// designer itself is built on this.

#include <memory>

#include "dsp/dsp_space.h"
#include "dsp/measure_system.h"

namespace vendrel {

class TFIR;

class TAplanator {
public:
    explicit TAplanator(TDSPSpace* DSPSpace);

    void Reset();
    // Refreshes the corrections the filter reads: FTargetResponseLin.Mg (linear) and
    // TargetResponse.Ph (radians), one per grid point.
    void BuildAplanatorCorrection();

    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    bool Active() const { return FActive; }
    bool UseUnrollAproximation() const { return FUseUnrollAproximation; }

    TFIR* FExternalFIR = nullptr; // the filter the designer is attached to; not owned
    std::unique_ptr<TMeasureSystem> FSourceCurve;
    rFrequencyResponse FTargetResponseLin;
    rFrequencyResponse TargetResponse;

private:
    TDSPSpace* FDSPSpace; // not owned
    bool FActive = false;
    bool FUseUnrollAproximation = true;
};

} // namespace vendrel
