#include "dsp/phase_points.h"

#include "platform/core/numeric.h"

namespace vendrel {

TFrPhPoint::TFrPhPoint(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    FSOS = std::make_unique<TSOS>(DSPSpace);
    FSOS->FilterType = TPeqType::FPARAMETRICOQA;
    FSOS->MaxGain = 15.0;
    FSOS->MinGain = -15.0;
    FSOS->MaxQ = 5.0;
    FSOS->MinQ = 0.2;
    FDegrees = 0.0;
    FSOS->Active = false;
}

void TFrPhPoint::SetDegrees(double value) {
    if (value == FDegrees) {
        return;
    }
    if (value > 180.0) {
        value = 180.0;
    }
    if (value < -180.0) {
        value = -180.0;
    }
    FDegrees = value;
    FSOS->SetGain(value * 15.0 / 180.0);
}

TPointFirType TFrPhPoint::PointType() const {
    switch (FSOS->FilterType) {
    case TPeqType::FSHELVINGPA6:
    case TPeqType::FSHELVINGPA12:
    case TPeqType::FSHELVINGPA12Q:
        return TPointFirType::qzfptHighShelf;
    default:
        return TPointFirType::qzfptBell;
    }
}

void TFrPhPoint::SetPointType(TPointFirType value) {
    FSOS->FilterType =
        value == TPointFirType::qzfptBell ? TPeqType::FPARAMETRICOQA : TPeqType::FSHELVINGPA12Q;
}

void TFrPhPoint::CalcPoint() {
    FSOS->CalcFilter();
}

void TFrPhPoint::CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    // The section's magnitude is the point's phase shape; the point itself adds no magnitude.
    FSOS->CalcResponse(GrafPhin, GrafdBin);
    const size_t n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    for (size_t i = 0; i < n; ++i) {
        GrafdBin[i] = 0.0;
    }
}

void TFrPhPoint::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CalcResponse(GrafdBin, GrafPhin);
}

} // namespace vendrel
