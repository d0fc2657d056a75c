#include "dsp/aplanator.h"

namespace vendrel {

TAplanator::TAplanator(TDSPSpace* DSPSpace)
    : FSourceCurve(std::make_unique<TMeasureSystem>(DSPSpace)), FDSPSpace(DSPSpace) {
    Reset();
}

void TAplanator::Reset() {
    FActive = false;
    BuildAplanatorCorrection();
}

void TAplanator::BuildAplanatorCorrection() {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    FTargetResponseLin.Mg.assign(n, 1.0);
    FTargetResponseLin.Ph.assign(n, 0.0);
    TargetResponse.Mg.assign(n, 0.0);
    TargetResponse.Ph.assign(n, 0.0);
}

} // namespace vendrel
