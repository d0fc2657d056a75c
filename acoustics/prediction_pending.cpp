// Project operations that belong to the prediction (recalculation control, memory budget, averaged
// frequencies, summation, level maps, summing thread, registry). These bodies hold the least the rest
// of the project needs until the prediction code replaces each of them.

#include "acoustics/physical_space.h"
#include "acoustics/project.h"

namespace vendrel {

void TAcousticProject::ClearAllMaps() {}
void TAcousticProject::ClearMapsLength() {}
void TAcousticProject::ClearZoneMapLengthToAllCabs(int32_t) {}
void TAcousticProject::SetZoneMapLengthToAllCabs(int32_t) {}
void TAcousticProject::SetAllCabsNeedsCalculateMapsInZone(int32_t) {}
void TAcousticProject::ReCalculateZones(int32_t) {}
void TAcousticProject::ReCalculateAllMics() { SetIsProjectModified(true); }
void TAcousticProject::SetAllCabsCalculated() {}

double TAcousticProject::CalcMemoryInMapsNCabinets(double, int32_t) const { return 0.0; }
double TAcousticProject::CalcMemoryInSumMaps(double) const { return 0.0; }
double TAcousticProject::CalcMemoryInAllMaps(double) const { return 0.0; }
double TAcousticProject::CalcMemoryIncrementAllMaps(int64_t) const { return 0.0; }
bool TAcousticProject::CheckMemoryForNCabinets(double PxToMeters, int32_t) {
    if (EventsEnabled) {
        FPhysicalSpace->FPixelToMeters = PxToMeters;
    }
    return false;
}
bool TAcousticProject::CheckMemoryOnChangeBandWidth(double, double, double, double PxToMeters) {
    if (EventsEnabled) {
        FPhysicalSpace->FPixelToMeters = PxToMeters;
    }
    return false;
}
bool TAcousticProject::CheckMemoryOnChangeResolution(double, double PxToMeters) {
    if (EventsEnabled) {
        FPhysicalSpace->FPixelToMeters = PxToMeters;
    }
    return false;
}
bool TAcousticProject::CheckMemoryOnImportZones(double PxToMeters) {
    FPhysicalSpace->FPixelToMeters = PxToMeters;
    return false;
}

void TAcousticProject::GetBandEdges(int32_t, int32_t& Fl, int32_t& Fh) const {
    Fl = 20;
    Fh = 20000;
}
bool TAcousticProject::CalcAverageFreqs() { return false; }
void TAcousticProject::SetMappingBandsType(TMappingBands Value) { FMappingBandsType = Value; }

void TAcousticProject::SumAllCabinetsInProject3D(int32_t) {}
void TAcousticProject::SumAllCalculatedMaps() {}
double TAcousticProject::GetMaxdBSPL() const { return 0.0; }
void TAcousticProject::MagnitudeToDB3D(int32_t) {}
void TAcousticProject::UpdateRenderOptions() {}
void TAcousticProject::SetAvoidPhaseAliasing(bool Value) { FAvoidPhaseAliasing = Value; }

void TAcousticProject::ExecuteAllMapsThread() {}
void TAcousticProject::FAllMapsThreadRun(TWorkerThread&) {}
void TAcousticProject::AllMapsThreadStopped(TWorkerThread&) {}
void TAcousticProject::RescaleObjectsToPixelSize() {}

} // namespace vendrel
