#pragma once
// The project's registries of models loaded from the library. Setting a registry's count replaces
// every model it held by a new empty one, which the library reading then fills.

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

    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    int32_t FNModelsDetected = 0;
    std::vector<std::unique_ptr<TCabModel>> CabModel; // owned
    bool IsCalculating = false;
};

class TFramesDetected {
public:
    explicit TFramesDetected(TPhysicalSpace* PhysicalSpace);
    ~TFramesDetected();
    TFramesDetected(const TFramesDetected&) = delete;
    TFramesDetected& operator=(const TFramesDetected&) = delete;

    int32_t NFramesDetected() const { return FNFramesDetected; }
    void SetNFramesDetected(int32_t Value);

    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    int32_t FNFramesDetected = 0;
    std::vector<std::unique_ptr<TRigFrameModel>> FrameModel; // owned
    bool IsCalculating = false;
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
    // Model i (from 0); an index outside the registry raises ERangeError.
    TOrnaModel* OrnamentModel(int32_t i) const;
    bool IsCalculating() const { return FIsCalculating; }
    void SetIsCalculating(bool Value) { FIsCalculating = Value; }

private:
    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    int32_t FNOrnasDetected = 0;
    std::vector<std::unique_ptr<TOrnaModel>> FOrnamentModel; // owned
    bool FIsCalculating = false;
};

} // namespace vendrel
