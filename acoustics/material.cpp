#include "acoustics/material.h"

#include "acoustics/physical_space.h"

namespace vendrel {

TAcousticMaterial::TAcousticMaterial(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    const size_t n = PhysicalSpace != nullptr ? PhysicalSpace->FreqsNormalized().size() : 0;
    FAbsorptionLossdB.assign(n, 0.0);
    FTransmissionLossdB.assign(n, 0.0);
}

} // namespace vendrel
