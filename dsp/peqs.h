#pragma once
// A bank of biquad sections acting in series, with one switch that bypasses the whole bank.

#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "platform/core/view_link.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vendrel {

class TPeqs {
public:
    // Ten reset sections spread over the grid's range; the grid is not owned.
    explicit TPeqs(TDSPSpace* DSPSpace);

    int32_t NPeqs() const { return FNPeqs; }
    // A new count (not 0) replaces every section by a new reset one.
    void SetNPeqs(int32_t value);
    bool Active() const { return FActive; }
    // Takes effect at the next CalcAllPeqs.
    void SetActive(bool value);
    TDSPSpace* DSPSpace() const { return FDSPSpace; }

    // Active, every section reset and placed on a logarithmic spread of the grid's range.
    void Reset();
    void CalcAllPeqs();
    // Sum of the sections' dB (snapped to 0 below 0.001 dB as it runs) and of their principal phases.
    void CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    // Sum of each section's own CalcResponse curves.
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseComplex(std::span<Complex> Graf) const;

    // The sections, owned; each has this bank as Parent.
    std::vector<std::unique_ptr<TSOS>> Peqs;
    // The panel that shows the bank; not owned.
    TViewLink GraphicalInterface;

private:
    TDSPSpace* FDSPSpace;
    int32_t FNPeqs = 0;
    bool FActive = false;
};

// Responses of a series of sections, shared by the PEQ bank and the crossovers. With
// replaceZeroMagnitude an exact zero magnitude reads 1e-11 instead of giving -infinity dB.
void CascadeResponse(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                     std::span<double> GrafdBin, std::span<double> GrafPhin, bool replaceZeroMagnitude);
void CascadeResponseUnWrapped(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                              std::span<double> GrafdBin, std::span<double> GrafPhin);
void CascadeResponseComplex(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                            std::span<Complex> Graf);

} // namespace vendrel
