#pragma once
// A control point of the phase curve asked of the FIR designer: a bell or a high shelf whose
// magnitude curve in dB, at 15 dB for 180 degrees, is the point's phase contribution.

#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "platform/core/view_link.h"

#include <cstdint>
#include <memory>
#include <span>

namespace vendrel {

enum class TPointFirType : uint8_t { qzfptBell, qzfptHighShelf };

class TFrPhPoint {
public:
    // A bell at 1000 Hz, Q 0.7, 0 degrees, inactive; the grid is not owned.
    explicit TFrPhPoint(TDSPSpace* DSPSpace);

    double Degrees() const { return FDegrees; }
    // Limited to -180 .. 180; the section's gain becomes Degrees * 15 / 180.
    void SetDegrees(double value);
    TSOS& SOS() const { return *FSOS; }
    int32_t Frequency() const { return FSOS->Frequency(); }
    void SetFrequency(int32_t value) { FSOS->SetFrequency(value); }
    double Q() const { return FSOS->Q(); }
    void SetQ(double value) { FSOS->SetQ(value); }
    bool Active() const { return FSOS->Active; }
    void SetActive(bool value) { FSOS->Active = value; }
    TPointFirType PointType() const;
    void SetPointType(TPointFirType value);
    TDSPSpace* DSPSpace() const { return FDSPSpace; }

    void CalcPoint();
    // GrafPhin gets the section's magnitude curve in dB (the phase shape) and GrafdBin zeros.
    void CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const;

    // The panel that shows the point; not owned.
    TViewLink GraphicalInterface;

private:
    TDSPSpace* FDSPSpace;
    double FDegrees = 0.0;
    std::unique_ptr<TSOS> FSOS;
};

} // namespace vendrel
