#pragma once
// Processing presets of a loudspeaker model: one equalisation transfer function per source point.

#include "platform/core/view_link.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vendrel {

class TDSPSpace;

// One source's preset response on the model's frequency grid.
class TTransferFunctionProcess {
public:
    // Both responses sized to the grid's point count and zero-filled; reference factor 1.
    explicit TTransferFunctionProcess(TDSPSpace* DSPWorkSpace);

    TDSPSpace* DSPSpace() const { return FDSPSpace; } // grid of the responses, not owned
    // The preset's figures as the model's reader sets them.
    double LinReferenceSpl() const { return FLinReferenceSpl; } // linear factor multiplied into the magnitude
    void SetLinReferenceSpl(double Value) { FLinReferenceSpl = Value; }
    double MaxSpl() const { return FMaxSpl; } // maximum level of the source with this preset
    void SetMaxSpl(double Value) { FMaxSpl = Value; }
    double OffsetSpl() const { return FOffsetSpl; } // level offset
    void SetOffsetSpl(double Value) { FOffsetSpl = Value; }
    int32_t DelaySamples() const { return FDelaySamples; } // processing delay in samples of the grid
    void SetDelaySamples(int32_t Value) { FDelaySamples = Value; }
    bool IsDelayIncludedinPhase() const { return FIsDelayIncludedinPhase; }
    void SetIsDelayIncludedinPhase(bool Value) { FIsDelayIncludedinPhase = Value; }
    bool IsLoaded() const { return FIsLoaded; } // false until a response has been read
    void SetIsLoaded(bool Value) { FIsLoaded = Value; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(std::string Value) { FFileName = std::move(Value); }
    const std::string& FilePath() const { return FFilePath; }
    void SetFilePath(std::string Value) { FFilePath = std::move(Value); }
    // Linear magnitude and phase in radians per grid point.
    const std::vector<double>& ResponseMg() const { return FResponseMg; }
    const std::vector<double>& ResponsePhRad() const { return FResponsePhRad; }
    void SetResponse(std::vector<double> Mg, std::vector<double> PhRad) {
        FResponseMg = std::move(Mg);
        FResponsePhRad = std::move(PhRad);
    }
    // Both responses take Points entries (new ones 0).
    void SetResponseLength(size_t Points) {
        FResponseMg.resize(Points);
        FResponsePhRad.resize(Points);
    }
    // The panel showing it, not owned.
    TViewLink& GraphicalInterface() { return FGraphicalInterface; }
    const TViewLink& GraphicalInterface() const { return FGraphicalInterface; }

private:
    TDSPSpace* FDSPSpace = nullptr;
    double FLinReferenceSpl = 1.0;
    double FMaxSpl = 0.0;
    double FOffsetSpl = 0.0;
    int32_t FDelaySamples = 0;
    bool FIsDelayIncludedinPhase = false;
    bool FIsLoaded = false;
    std::string FFileName;
    std::string FFilePath;
    std::vector<double> FResponseMg;
    std::vector<double> FResponsePhRad;
    TViewLink FGraphicalInterface;
};

// A processing preset of a cabinet model.
class TUserPreset {
public:
    // Stores the grid; empty name and info; no transfer functions yet.
    explicit TUserPreset(TDSPSpace* DSPWorkSpace);
    ~TUserPreset();
    TUserPreset(const TUserPreset&) = delete;
    TUserPreset& operator=(const TUserPreset&) = delete;

    int32_t NSourcePoints() const { return FNSourcePoints; }
    // 0 and an unchanged value are ignored; shrinking frees the last transfer functions, growing
    // creates fresh ones on the preset's grid and keeps the existing ones.
    void SetNSourcePoints(int32_t Value);

    // Smallest DelaySamples over the transfer functions; INT32_MAX when there is none.
    int32_t FindDelaySamples() const;
    // Largest MaxSpl / OffsetSpl over the transfer functions; 0 when there is none.
    float MaxDbuAllTransfersF() const;
    float MaxDbuInAllOffsets() const;

    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    TDSPSpace* DSPSpace() const { return FDSPSpace; } // not owned
    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }
    const std::string& Info() const { return FInfo; }
    void SetInfo(std::string Value) { FInfo = std::move(Value); }
    int32_t TypeIndex() const { return FTypeIndex; }
    void SetTypeIndex(int32_t Value) { FTypeIndex = Value; }
    // The source shown in the preset's panel.
    int32_t CurrentSource() const { return FCurrentSource; }
    void SetCurrentSource(int32_t Value) { FCurrentSource = Value; }
    // One per source point, indexed by source number; owned. SetNSourcePoints sizes the list.
    const std::vector<std::unique_ptr<TTransferFunctionProcess>>& EQTransferFunction() const {
        return FEQTransferFunction;
    }
    // The panel showing it, not owned.
    TViewLink& GraphicalInterface() { return FGraphicalInterface; }
    const TViewLink& GraphicalInterface() const { return FGraphicalInterface; }

private:
    int32_t FNumberID = 0;
    TDSPSpace* FDSPSpace = nullptr;
    std::string FName;
    std::string FInfo;
    int32_t FTypeIndex = 0;
    int32_t FCurrentSource = 0;
    std::vector<std::unique_ptr<TTransferFunctionProcess>> FEQTransferFunction;
    TViewLink FGraphicalInterface;
    int32_t FNSourcePoints = 0;
};

} // namespace vendrel
