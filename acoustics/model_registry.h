#pragma once
// The project's registries of models loaded from the library. Setting a registry's count replaces
// every model it held by a new empty one, which the library reading then fills.
//
// Placed objects point at their models. Reading the library again therefore never refills or frees a
// model in place: ReplaceModels installs freshly loaded models and keeps the ones it replaces alive
// ("retired") until ReleaseRetiredModels, which the caller runs once nothing placed can point at them
// (an empty project, a cleared project).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vendrel {

class TPhysicalSpace;
class TCabModel;
class TRigFrameModel;
class TOrnaModel;

class TModelsDetected {
public:
    explicit TModelsDetected(TPhysicalSpace* PhysicalSpace);
    ~TModelsDetected();
    TModelsDetected(const TModelsDetected&) = delete;
    TModelsDetected& operator=(const TModelsDetected&) = delete;

    int32_t NModelsDetected() const { return FNModelsDetected; }
    // An unchanged count keeps the models; any other count discards all of them.
    void SetNModelsDetected(int32_t Value);
    // Installs Models as the registry's models (the count follows them); the models replaced are
    // retired, not freed.
    void ReplaceModels(std::vector<std::unique_ptr<TCabModel>> Models);
    void ReleaseRetiredModels();
    size_t NRetiredModels() const { return FRetired.size(); }

    // The models, owned; ReplaceModels and SetNModelsDetected change the list.
    const std::vector<std::unique_ptr<TCabModel>>& CabModel() const { return FCabModel; }
    bool IsCalculating() const { return FIsCalculating; }
    void SetIsCalculating(bool Value) { FIsCalculating = Value; }

private:
    std::vector<std::unique_ptr<TCabModel>> FCabModel;
    bool FIsCalculating = false;
    std::vector<std::unique_ptr<TCabModel>> FRetired; // replaced models kept alive for placed objects
    TPhysicalSpace* FPhysicalSpace = nullptr;         // not owned
    int32_t FNModelsDetected = 0;
};

class TFramesDetected {
public:
    explicit TFramesDetected(TPhysicalSpace* PhysicalSpace);
    ~TFramesDetected();
    TFramesDetected(const TFramesDetected&) = delete;
    TFramesDetected& operator=(const TFramesDetected&) = delete;

    int32_t NFramesDetected() const { return FNFramesDetected; }
    void SetNFramesDetected(int32_t Value);
    // Installs Models as the registry's models (the count follows them); the models replaced are
    // retired, not freed.
    void ReplaceModels(std::vector<std::unique_ptr<TRigFrameModel>> Models);
    void ReleaseRetiredModels();
    size_t NRetiredModels() const { return FRetired.size(); }

    // The models, owned; ReplaceModels and SetNFramesDetected change the list.
    const std::vector<std::unique_ptr<TRigFrameModel>>& FrameModel() const { return FFrameModel; }
    bool IsCalculating() const { return FIsCalculating; }
    void SetIsCalculating(bool Value) { FIsCalculating = Value; }

private:
    std::vector<std::unique_ptr<TRigFrameModel>> FFrameModel;
    bool FIsCalculating = false;
    std::vector<std::unique_ptr<TRigFrameModel>> FRetired; // replaced models kept alive for placed objects
    TPhysicalSpace* FPhysicalSpace = nullptr;              // not owned
    int32_t FNFramesDetected = 0;
};

// The ornament-model registry, of the same kind as the two above.
class TOrnasDetected {
public:
    explicit TOrnasDetected(TPhysicalSpace* PhysicalSpace);
    ~TOrnasDetected();
    TOrnasDetected(const TOrnasDetected&) = delete;
    TOrnasDetected& operator=(const TOrnasDetected&) = delete;

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    int32_t NOrnasDetected() const { return FNOrnasDetected; }
    // An unchanged count keeps the models; any other count discards all of them.
    void SetNOrnasDetected(int32_t Value);
    // Installs Models as the registry's models (the count follows them); the models replaced are
    // retired, not freed.
    void ReplaceModels(std::vector<std::unique_ptr<TOrnaModel>> Models);
    void ReleaseRetiredModels();
    size_t NRetiredModels() const { return FRetired.size(); }
    // Model i (from 0); an index outside the registry raises ERangeError.
    TOrnaModel* OrnamentModel(int32_t i) const;
    bool IsCalculating() const { return FIsCalculating; }
    void SetIsCalculating(bool Value) { FIsCalculating = Value; }

private:
    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    int32_t FNOrnasDetected = 0;
    std::vector<std::unique_ptr<TOrnaModel>> FOrnamentModel; // owned
    bool FIsCalculating = false;
    std::vector<std::unique_ptr<TOrnaModel>> FRetired; // replaced models kept alive for placed objects
};

} // namespace vendrel
