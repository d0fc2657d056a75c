#include "acoustics/zone_splay.h"

#include "platform/core/numeric.h"

namespace vendrel {

double TZoneArraySplay::CoverageLength() const {
    return FCoverBeginPoint.Distance(FCoverEndPoint);
}

void TZoneArraySplay::SetCabsPerZone(int32_t Value) {
    if (Value == FCabsPerZone) {
        return;
    }
    if (Value < 0) {
        throw ERangeError();
    }
    FCabsPerZone = Value;
    FPointsToHit.resize(static_cast<size_t>(Value));
}

void TZoneArraySplay::CalcPointsToHit() {
    if (FPointsToHit.empty()) {
        return;
    }
    const TPoint3D sep = (FCoverBeginPoint - FCoverEndPoint) / static_cast<float>(FCabsPerZone);
    FSeparationBetweenPoints = TVector3D(sep, 0);
    FPointsToHit[0] = FCoverBeginPoint;
    for (size_t i = 1; i < FPointsToHit.size(); ++i) {
        FPointsToHit[i] = FPointsToHit[i - 1] - sep;
    }
}

} // namespace vendrel
