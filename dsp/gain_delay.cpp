#include "dsp/gain_delay.h"

#include "dsp/complex.h"
#include "platform/core/numeric.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>

namespace vendrel {

std::string FormatFixedDecimals(double value, int decimals) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    // 15 significant digits as d.dddddddddddddde+XX.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(buf + 17);
    // The value is 0.<digits> * 10^(exponent + 1); keep the digits down to the last decimal.
    const int keep = exponent + 1 + decimals;
    std::string kept;
    if (keep >= 0) {
        if (keep < static_cast<int>(digits.size())) {
            kept = digits.substr(0, static_cast<size_t>(keep));
            if (digits[static_cast<size_t>(keep)] >= '5') {
                int i = keep - 1;
                for (; i >= 0; --i) {
                    if (kept[static_cast<size_t>(i)] == '9') {
                        kept[static_cast<size_t>(i)] = '0';
                    } else {
                        ++kept[static_cast<size_t>(i)];
                        break;
                    }
                }
                if (i < 0) {
                    kept.insert(kept.begin(), '1');
                }
            }
        } else {
            kept = digits + std::string(static_cast<size_t>(keep) - digits.size(), '0');
        }
    }
    // Left-pad so that there is at least one integer digit.
    if (static_cast<int>(kept.size()) < decimals + 1) {
        kept.insert(kept.begin(), static_cast<size_t>(decimals + 1) - kept.size(), '0');
    }
    const bool allZero = kept.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (value < 0 && !allZero) {
        out += '-';
    }
    const size_t intDigits = kept.size() - static_cast<size_t>(decimals);
    out += kept.substr(0, intDigits);
    if (decimals > 0) {
        out += std::use_facet<std::numpunct<char>>(std::locale()).decimal_point();
        out += kept.substr(intDigits);
    }
    return out;
}

TGain::TGain() {
    MaxGain = 12.0;
    MinGain = -40.0;
    Reset();
}

void TGain::Reset() {
    FGain = 0.0;
    Mute = TGainMute::qzgmtDisabled;
    Polarity = TGainPolarity::qzgmtNormal;
}

void TGain::InvertPolarity() {
    Polarity =
        Polarity == TGainPolarity::qzgmtNormal ? TGainPolarity::qzgmtInverted : TGainPolarity::qzgmtNormal;
}

void TGain::SetdB(double value) {
    if (value == FGain) {
        return;
    }
    if (value > MaxGain) {
        value = MaxGain;
    }
    if (value < MinGain) {
        value = MinGain;
    }
    FGain = value;
}

double TGain::Lineal() const {
    double v = Pow10(FGain / 20.0) * static_cast<double>(static_cast<int>(Mute));
    if (Polarity == TGainPolarity::qzgmtInverted) {
        v = -v;
    }
    return v;
}

std::string TGain::dBToStr() const {
    return FormatFixedDecimals(FGain, 1);
}

TDelay::TDelay(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    SetTempCelsious(25.0);
    SetMaxSamples(10000);
    FDelaySamples = 0;
    FDelaySeg = 0.0;
    FDelayMs = 0.0;
    FDelayCm = 0.0;
    FDelayMeters = 0.0;
    FDelayInches = 0.0;
    FDelayFeet = 0.0;
}

void TDelay::Reset() {
    SetTempCelsious(25.0);
    SetSamples(0);
}

void TDelay::SetMaxSamples(int32_t value) {
    if (value == FMaxDelaySamples) {
        return;
    }
    FMaxDelaySamples = value;
    if (value < FDelaySamples) {
        SetSamples(value);
    }
}

void TDelay::SetSamples(int32_t value) {
    if (value == FDelaySamples || value < 0) {
        return;
    }
    FDelaySamples = value;
    recalcMirrors();
}

void TDelay::recalcMirrors() {
    if (FDelaySamples > FMaxDelaySamples) {
        FDelaySamples = FMaxDelaySamples;
    }
    const double s = static_cast<double>(FDelaySamples);
    const double T = FDSPSpace->SecondsPerSample();
    const double c = FSoundSpeed;
    FDelayMeters = s * T * c;
    FDelaySeg = s * T;
    FDelayMs = s * T * 1000.0;
    FDelayFeet = FDelayMeters * 3.2808399;
    FDelayCm = s * T * 100.0 * c;
    FDelayInches = FDelayCm * 0.3937;
}

// A unit value sets the whole number of samples, from which every mirror, this unit's included, is
// derived again. Rounding raises before anything is stored when the count does not fit.
void TDelay::setFromUnit(double value, double current, double samples) {
    if (value == current || value < 0.0) {
        return;
    }
    FDelaySamples = RoundHalfEven<int32_t>(samples);
    recalcMirrors();
}

void TDelay::Setseg(double value) {
    setFromUnit(value, FDelaySeg, value * FDSPSpace->iSampleRate());
}

void TDelay::Setms(double value) {
    setFromUnit(value, FDelayMs, value * (FDSPSpace->iSampleRate() / 1000.0));
}

void TDelay::Setcm(double value) {
    setFromUnit(value, FDelayCm, value / (FDSPSpace->SecondsPerSample() * FSoundSpeed * 100.0));
}

void TDelay::Setmeters(double value) {
    setFromUnit(value, FDelayMeters, value / (FDSPSpace->SecondsPerSample() * FSoundSpeed));
}

void TDelay::Setinches(double value) {
    setFromUnit(value, FDelayInches, value * 2.54 / (FDSPSpace->SecondsPerSample() * FSoundSpeed * 100.0));
}

void TDelay::Setfeet(double value) {
    setFromUnit(value, FDelayFeet, value / 3.2808399 / (FDSPSpace->SecondsPerSample() * FSoundSpeed));
}

void TDelay::SetTempCelsious(double value) {
    if (value == FTempC) {
        return;
    }
    FTempC = value;
    FSoundSpeed = 0.6 * value + 331.4455955;
}

std::string TDelay::segToString() const {
    return FormatFixedDecimals(FDelaySeg, 2);
}
std::string TDelay::msToString() const {
    return FormatFixedDecimals(FDelayMs, 2);
}
std::string TDelay::cmToString() const {
    return FormatFixedDecimals(FDelayCm, 2);
}
std::string TDelay::metersToString() const {
    return FormatFixedDecimals(FDelayMeters, 2);
}
std::string TDelay::inchesToString() const {
    return FormatFixedDecimals(FDelayInches, 2);
}
std::string TDelay::feetToString() const {
    return FormatFixedDecimals(FDelayFeet, 2);
}

} // namespace vendrel
