#pragma once
// One second-order IIR section (biquad) on a frequency grid: a design from a fixed list, its five
// coefficients and its complex response at every grid point.
//
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 - a1 z^-1 - a2 z^-2): the feedback coefficients carry the
// sign they have in the recursion y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2].

#include "dsp/dsp_space.h"
#include "platform/core/view_link.h"

#include <array>
#include <cstdint>
#include <span>

namespace vendrel {

class TPeqs;

enum class TPeqType : uint8_t {
    FBYPASS,
    FPARAMETRICOQA,
    FPARAMETRICOQC,
    FSHELVINGPB6,
    FSHELVINGPA6,
    FSHELVINGPB12,
    FSHELVINGPA12,
    FSHELVINGPB12Q,
    FSHELVINGPA12Q,
    FPASOBAJO,
    FPASOALTO,
    FPASOBAJOQ,
    FPASOALTOQ,
    FPASOBANDA,
    FELIMINABANDA,
    FBYPASS180,
    FBYPASS360,
    FCoefIIR,
    FSHELVINGPB12STD,
    FSHELVINGPA12STD
};

// The names the windows and the report print for each filter type, in the enumeration's order.
inline constexpr std::array<const char*, 20> PeqTypeNames = {
    "Bypass",    "PEQ adap",  "PEQ const", "L-Shelf 6", "H-Shelf 6",  "L-Shelf 12", "H-Shelf 12",
    "L-Shelf Q", "H-Shelf Q", "LP Buttw",  "HP Buttw",  "LP",         "HP",         "BP",
    "Reject",    "Allpass 1", "Allpass 2", "Coeff IIR", "L-Shelf 12", "H-Shelf 12"};

class TSOS {
public:
    // The grid is not owned and must outlive the section.
    explicit TSOS(TDSPSpace* DSPSpace);
    // Parametric bell, Q 0.7, 0 dB, 1000 Hz, inactive, bypass coefficients.
    void Reset();

    int32_t Frequency() const { return FFrequency; }
    // Limited to the grid's range.
    void SetFrequency(int32_t value);
    double Gain() const { return FGain; }
    // Rounded to the grid's gain precision, then limited to MinGain .. MaxGain.
    void SetGain(double value);
    double Q() const { return FQ; }
    // Rounded to the grid's Q precision, then limited to MinQ .. MaxQ.
    void SetQ(double value);
    TPeqs* Parent() const { return FParent; }
    void SetParent(TPeqs* value) { FParent = value; }
    int32_t IdFilterType() const { return static_cast<int32_t>(FilterType); }
    // Bandwidth in octaves of the parametric bells; -1 for any other type.
    double BandwidthOct() const;
    void SetBandwidthOct(double value);
    TDSPSpace* DSPSpace() const { return FDSPSpace; }

    void SetCustomCoef(double ca0, double ca1, double ca2, double cb0, double cb1, double cb2);
    // Designs b0 .. a2 from the parameters (bypass when the section or its bank is inactive).
    void CalcFilter();
    // First-order sections at Frequency (used by the Bessel crossover); FilterType is left alone.
    void CalcFirstOrderLowPass();
    void CalcFirstOrderHighPass();

    // H at grid point i from the stored coefficients.
    Complex ResponseAt(size_t i) const;
    // Magnitude in dB (|values| below 0.001 dB shown as 0) and phase in radians at every grid point.
    void CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseComplex(std::span<Complex> Graf) const;

    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    TPeqType FilterType = TPeqType::FPARAMETRICOQA;
    bool Active = false;
    // Kept for the panels; no computation reads it.
    double Slew = 0.05;
    double MaxGain = 15.0, MinGain = -15.0;
    double MaxQ = 20.0, MinQ = 0.1;
    // The panel that shows the section; not owned.
    TViewLink GraphicalInterface;

    double Fa0_Custom = 0.0, Fa1_Custom = 0.0, Fa2_Custom = 0.0;
    double Fb0_Custom = 0.0, Fb1_Custom = 0.0, Fb2_Custom = 0.0;

private:
    void setBypass();
    void lowShelf(double A, double w, double beta);
    void highShelf(double A, double w, double beta);

    TDSPSpace* FDSPSpace;
    int32_t FFrequency = 1000;
    double FGain = 0.0;
    double FQ = 0.0; // the constructor's reset sets 0.7 through the setter, quantised to the grid's precision
    TPeqs* FParent = nullptr;
};

} // namespace vendrel
