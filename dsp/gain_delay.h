#pragma once
// The gain block (dB, polarity, mute) and the delay block (whole samples, mirrored in time and
// distance units through the speed of sound).

#include "dsp/dsp_space.h"
#include "platform/core/view_link.h"

#include <cstdint>
#include <string>

namespace vendrel {

enum class TGainPolarity : uint8_t { qzgmtNormal, qzgmtInverted };
// qzgmtEnabled: the mute is engaged and the block passes nothing.
enum class TGainMute : uint8_t { qzgmtEnabled, qzgmtDisabled };

class TGain {
public:
    TGain();
    void Reset();
    void InvertPolarity();

    double dB() const { return FGain; }
    // Limited to MinGain .. MaxGain.
    void SetdB(double value);
    // 10^(dB/20), 0 when muted, negated for inverted polarity.
    double Lineal() const;
    double Coef() const { return Lineal(); }
    // dB with one decimal, in the user's decimal notation.
    std::string dBToStr() const;

    TGainPolarity Polarity = TGainPolarity::qzgmtNormal;
    TGainMute Mute = TGainMute::qzgmtDisabled;
    double MaxGain = 12.0;
    double MinGain = -40.0;
    // The panel that shows the block; not owned.
    TViewLink GraphicalInterface;

private:
    double FGain = 0.0;
};

class TDelay {
public:
    // DSPSpace counts the samples; it is not owned and must outlive the delay.
    explicit TDelay(TDSPSpace* DSPSpace);
    void Reset();

    int32_t MaxSamples() const { return FMaxDelaySamples; }
    void SetMaxSamples(int32_t value);
    int32_t Samples() const { return FDelaySamples; }
    // Negative values are ignored.
    void SetSamples(int32_t value);

    double seg() const { return FDelaySeg; }
    void Setseg(double value);
    double ms() const { return FDelayMs; }
    void Setms(double value);
    double cm() const { return FDelayCm; }
    void Setcm(double value);
    double meters() const { return FDelayMeters; }
    void Setmeters(double value);
    double inches() const { return FDelayInches; }
    void Setinches(double value);
    double feet() const { return FDelayFeet; }
    void Setfeet(double value);

    double TempCelsious() const { return FTempC; }
    // Sets the speed of sound; the mirrors follow at the next change of the delay.
    void SetTempCelsious(double value);
    double SoundSpeed() const { return FSoundSpeed; }
    TSampleRate SampleRate() const { return FDSPSpace->SampleRate(); }
    TDSPSpace* DSPSpace() const { return FDSPSpace; }

    // Two decimals in the user's decimal notation.
    std::string segToString() const;
    std::string msToString() const;
    std::string cmToString() const;
    std::string metersToString() const;
    std::string inchesToString() const;
    std::string feetToString() const;

    // The panel that shows the block; not owned.
    TViewLink GraphicalInterface;

private:
    void setFromUnit(double value, double current, double samples);
    void recalcMirrors();

    TDSPSpace* FDSPSpace;
    int32_t FMaxDelaySamples = 0;
    int32_t FDelaySamples = 0;
    double FDelaySeg = 0.0;
    double FDelayMs = 0.0;
    double FDelayCm = 0.0;
    double FDelayMeters = 0.0;
    double FDelayInches = 0.0;
    double FDelayFeet = 0.0;
    double FSoundSpeed = 0.0;
    double FTempC = 0.0;
};

// Value with a fixed number of decimals, rounded half away from zero on its 15-digit decimal form,
// with the decimal separator of the global C++ locale.
std::string FormatFixedDecimals(double value, int decimals);

} // namespace vendrel
