#include "acoustics/model_registry.h"

#include "acoustics/cab_model.h"
#include "acoustics/ornament.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
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

// Moves the current models to the retired list and installs the new ones.
template <typename Model>
void retireAndInstall(std::vector<std::unique_ptr<Model>>& models,
                      std::vector<std::unique_ptr<Model>>& retired,
                      std::vector<std::unique_ptr<Model>> fresh) {
    retired.reserve(retired.size() + models.size());
    for (auto& model : models) {
        retired.push_back(std::move(model));
    }
    models = std::move(fresh);
}

} // namespace

TModelsDetected::TModelsDetected(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {}

TModelsDetected::~TModelsDetected() {
    for (auto& model : FCabModel) {
        model.reset();
    }
}

void TModelsDetected::SetNModelsDetected(int32_t Value) {
    if (Value == FNModelsDetected) {
        return;
    }
    // Placed cabinets compute with these models: none computes while they are replaced.
    const TWorkersPause pause(FPhysicalSpace != nullptr ? FPhysicalSpace->MyAcousticProject() : nullptr);
    replaceModels(FCabModel, Value, FPhysicalSpace);
    FNModelsDetected = Value;
}

TFramesDetected::TFramesDetected(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {}

TFramesDetected::~TFramesDetected() = default;

void TFramesDetected::SetNFramesDetected(int32_t Value) {
    if (Value == FNFramesDetected) {
        return;
    }
    const TWorkersPause pause(FPhysicalSpace != nullptr ? FPhysicalSpace->MyAcousticProject() : nullptr);
    replaceModels(FFrameModel, Value, FPhysicalSpace);
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

void TModelsDetected::ReplaceModels(std::vector<std::unique_ptr<TCabModel>> Models) {
    retireAndInstall(FCabModel, FRetired, std::move(Models));
    FNModelsDetected = static_cast<int32_t>(FCabModel.size());
}

void TModelsDetected::ReleaseRetiredModels() {
    FRetired.clear();
}

void TFramesDetected::ReplaceModels(std::vector<std::unique_ptr<TRigFrameModel>> Models) {
    retireAndInstall(FFrameModel, FRetired, std::move(Models));
    FNFramesDetected = static_cast<int32_t>(FFrameModel.size());
}

void TFramesDetected::ReleaseRetiredModels() {
    FRetired.clear();
}

void TOrnasDetected::ReplaceModels(std::vector<std::unique_ptr<TOrnaModel>> Models) {
    retireAndInstall(FOrnamentModel, FRetired, std::move(Models));
    FNOrnasDetected = static_cast<int32_t>(FOrnamentModel.size());
}

void TOrnasDetected::ReleaseRetiredModels() {
    FRetired.clear();
}

} // namespace vendrel
