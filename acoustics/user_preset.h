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

    TDSPSpace* DSPSpace = nullptr; // grid of the responses, not owned
    double LinReferenceSpl = 1.0;  // linear factor multiplied into the magnitude
    double MaxSpl = 0.0;           // maximum level of the source with this preset
    double OffsetSpl = 0.0;        // level offset
    int32_t DelaySamples = 0;      // processing delay in samples of the grid
    bool IsDelayIncludedinPhase = false;
    bool IsLoaded = false; // false until a response has been read
    std::string FileName;
    std::string FilePath;
    std::vector<double> ResponseMg;    // linear magnitude per grid point
    std::vector<double> ResponsePhRad; // phase in radians per grid point
    TViewLink GraphicalInterface;      // the panel showing it, not owned
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

    int32_t NumberID = 0;
    TDSPSpace* DSPSpace = nullptr; // not owned
    std::string Name;
    std::string Info;
    int32_t TypeIndex = 0;
    int32_t CurrentSource = 0; // the source shown in the preset's panel
    // One per source point, indexed by source number; owned.
    std::vector<std::unique_ptr<TTransferFunctionProcess>> EQTransferFunction;
    TViewLink GraphicalInterface; // the panel showing it, not owned

private:
    int32_t FNSourcePoints = 0;
};

} // namespace vendrel
