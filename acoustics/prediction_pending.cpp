// Project operations that belong to the prediction (recalculation control, memory budget, averaged
// frequencies, summation, level maps, summing thread, registry). These bodies hold the least the rest
// of the project needs until the prediction code replaces each of them.

#include "acoustics/physical_space.h"
#include "acoustics/project.h"

namespace vendrel {

void TAcousticProject::SetAllCabsNeedsCalculateMapsInZone(int32_t) {}
void TAcousticProject::SetAllCabsCalculated() {}

} // namespace vendrel
