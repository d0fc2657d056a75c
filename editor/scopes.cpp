#include "editor/scopes.h"

#include "acoustics/project.h"

namespace vendrel {

THitPointsHeld::THitPointsHeld(TAcousticProject& Project)
    : project_(Project), saved_(Project.CalcHitPointEnabled()) {
    project_.SetCalcHitPointEnabled(false);
}

THitPointsHeld::~THitPointsHeld() {
    project_.SetCalcHitPointEnabled(saved_);
}

} // namespace vendrel
