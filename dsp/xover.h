#pragma once
// Low-pass or high-pass crossover filters (Butterworth, Linkwitz-Riley, Bessel) built from a fixed
// number of biquad sections in series.

#include "dsp/biquad.h"
#include "dsp/dsp_space.h"
#include "platform/core/view_link.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vendrel {

enum class TXoverType : uint8_t { XButtw, XLRiley, XBessel };
enum class TXoverHPLP : uint8_t { xhlLowPass, xhlHighPass };

class TXoverIIR {
public:
    // Eight sections, Linkwitz-Riley, order 2, 1000 Hz, low-pass, inactive; the grid is not owned.
    explicit TXoverIIR(TDSPSpace* DSPSpace);
    void Reset();

    int32_t MaxOrder() const { return FMaxOrder; }
    // Replaces every section by a new reset one; Order is left as it is.
    void SetMaxOrder(int32_t value);
    int32_t FrequencyCut() const { return FFrequencyCut; }
    // Limited to the grid's range.
    void SetFrequencyCut(int32_t value);
    int32_t Order() const { return FOrder; }
    // At least 1, even for Linkwitz-Riley, at most MaxOrder.
    void SetOrder(int32_t value);
    TXoverType XoverType() const { return FXoverType; }
    void SetXoverType(TXoverType value);
    std::string TypeShortString() const;
    std::string TypeLongString() const;
    TDSPSpace* DSPSpace() const { return FDSPSpace; }

    // Designs every section (all bypass when inactive). The setters do not recompute.
    void CalcXover();
    // As the PEQ bank's responses, except that an exact zero magnitude gives -infinity dB here.
    void CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const;
    void CalcResponseComplex(std::span<Complex> Graf) const;

    bool Active = false;
    // The sections, owned; sections a design does not use are active bypass ones.
    std::vector<std::unique_ptr<TSOS>> XSOS;
    TXoverHPLP LpHp = TXoverHPLP::xhlLowPass;
    // The panel that shows the crossover; not owned.
    TViewLink GraphicalInterface;

private:
    void allBypassActive();
    void designButterworth();
    void designLinkwitzRiley();
    void designBessel();

    TDSPSpace* FDSPSpace;
    int32_t FMaxOrder = 0;
    int32_t FFrequencyCut = 1000;
    int32_t FOrder = 2;
    TXoverType FXoverType = TXoverType::XButtw;
};

} // namespace vendrel
