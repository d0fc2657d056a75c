#include "acoustics/model_registry.h"

#include "acoustics/cab_model.h"
#include "acoustics/ornament.h"
#include "acoustics/physical_space.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Frees the models from the first to the last, then fills the registry with Value new empty ones.
template <typename Model>
void replaceModels(std::vector<std::unique_ptr<Model>>& models, int32_t Value, TPhysicalSpace* space) {
    if (Value < 0) {
        throw ERangeError();
    }
    for (auto& model : models) {
        model.reset();
    }
    models.clear();
    models.reserve(static_cast<size_t>(Value));
    for (int32_t i = 0; i < Value; ++i) {
        models.push_back(
            std::make_unique<Model>(space, space != nullptr ? space->MyAcousticProject() : nullptr));
    }
}

} // namespace

TModelsDetected::TModelsDetected(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {}

TModelsDetected::~TModelsDetected() {
    for (auto& model : CabModel) {
        model.reset();
    }
}

void TModelsDetected::SetNModelsDetected(int32_t Value) {
    if (Value == FNModelsDetected) {
        return;
    }
    replaceModels(CabModel, Value, FPhysicalSpace);
    FNModelsDetected = Value;
}

TFramesDetected::TFramesDetected(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {}

TFramesDetected::~TFramesDetected() = default;

void TFramesDetected::SetNFramesDetected(int32_t Value) {
    if (Value == FNFramesDetected) {
        return;
    }
    replaceModels(FrameModel, Value, FPhysicalSpace);
    FNFramesDetected = Value;
}

TOrnasDetected::TOrnasDetected(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {}

TOrnasDetected::~TOrnasDetected() = default;

void TOrnasDetected::SetNOrnasDetected(int32_t Value) {
    if (Value == FNOrnasDetected) {
        return;
    }
    replaceModels(FOrnamentModel, Value, FPhysicalSpace);
    FNOrnasDetected = Value;
}

TOrnaModel* TOrnasDetected::OrnamentModel(int32_t i) const {
    return At(FOrnamentModel, i).get();
}

} // namespace vendrel
