#include "acoustics/piston.h"

#include "acoustics/physical_space.h"
#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {
constexpr double kPi = 3.141592653589793;
}

double PistonBesselJ1(double u, int32_t terms) {
    double sum = 0;
    double denominator = 2; // 2^(2m+1) m! (m+1)! for m = 0
    for (int32_t m = 0; m < terms; ++m) {
        if (m > 0) {
            denominator *= 4.0 * m * (m + 1);
        }
        const double sign = (m % 2 == 0) ? 1.0 : -1.0;
        sum += sign * std::pow(u, 2.0 * m + 1) / denominator;
    }
    return sum;
}

TPiston::TPiston(TPhysicalSpace* PhysicalSpace) : FPhysicalSpace(PhysicalSpace) {
    SetNPoints_HalfPi(90);
    FPistonCoverAngle = 90;
    FNPolBessel = 100;
    SetInchesSize(3.0);
    SetFreq(FPhysicalSpace->Freq());
    SetNFreqBands(31);
}

void TPiston::SetFreq(int32_t Value) {
    FFreq = Value;
}

void TPiston::SetInchesSize(double Value) {
    FInchesSize = Value;
}

void TPiston::resizeTable() {
    FIdealSpkPolarMag.assign(static_cast<size_t>(std::max(FNFreqBands, 0)),
                             std::vector<float>(static_cast<size_t>(std::max(FNPoints_Pi, 0)), 0.0f));
}

void TPiston::SetNPoints_HalfPi(int32_t Value) {
    if (Value == FNPoints_HalfPi) {
        return;
    }
    FNPoints_HalfPi = Value;
    FNPoints_Pi = CheckedMul(Value, 2);
    resizeTable();
}

void TPiston::SetNFreqBands(int32_t Value) {
    if (Value == FNFreqBands) {
        return;
    }
    FNFreqBands = Value;
    resizeTable();
}

void TPiston::SetPistonCoverAngle(int32_t Value) {
    if (Value == FPistonCoverAngle) {
        return;
    }
    FPistonCoverAngle = Value;
    CreateIdealPolar();
}

void TPiston::CreateIdealPolar() {
    const std::vector<int32_t> freqs = FPhysicalSpace->FreqsNormalized();
    // One row per map frequency, whatever the list holds now.
    SetNFreqBands(static_cast<int32_t>(freqs.size()));
    // The wavenumber comes straight from the speed of sound: the shared medium's own frequency is
    // left as it is, so nothing else sees it change.
    const double c = FPhysicalSpace->SpeedOfSound();
    const double a = FInchesSize * 0.0254 / 2;
    const double step = (kPi / 2) / FNPoints_HalfPi;
    // Index of half the coverage angle. pi * angle / 360 * n / (pi / 2) is a whole number for whole
    // angles; the product lands just below it in double precision for some (60 degrees gives
    // 29.999999999999996), so a rounding residue is allowed before cutting.
    const int32_t e = Trunc<int32_t>(kPi * FPistonCoverAngle / 360.0 * FNPoints_HalfPi / (kPi / 2) + 1e-9);
    for (size_t b = 0; b < freqs.size(); ++b) {
        const double f = freqs[b];
        const double k = 2 * kPi * f / c;
        std::vector<float>& row = FIdealSpkPolarMag[b];
        std::vector<double> untapered(static_cast<size_t>(FNPoints_HalfPi), 1.0);
        for (int32_t t = 1; t < FNPoints_HalfPi; ++t) {
            const double u = k * a * std::sin(t * step);
            double v = 2 * PistonBesselJ1(u, FNPolBessel) / u;
            if (std::isnan(v)) {
                v = 1e-5;
            }
            untapered[static_cast<size_t>(t)] = v;
        }
        double rear = std::min(1.0, 100.0 / f);
        if (f > 800) {
            rear *= 0.1;
        } else if (f > 700) {
            rear *= 0.2;
        } else if (f > 600) {
            rear *= 0.3;
        } else if (f > 500) {
            rear *= 0.4;
        } else if (f > 400) {
            rear *= 0.5;
        } else if (f > 300) {
            rear *= 0.6;
        }
        const double taper = (1 - rear * rear) / (FNPoints_Pi - e);
        for (int32_t t = 0; t < FNPoints_HalfPi; ++t) {
            double v = untapered[static_cast<size_t>(t)];
            if (t >= e) {
                v *= 1 - (t - e) * taper;
            }
            row[static_cast<size_t>(t)] = static_cast<float>(v);
        }
        const double last = untapered[static_cast<size_t>(FNPoints_HalfPi - 1)];
        for (int32_t t = FNPoints_HalfPi; t < FNPoints_Pi; ++t) {
            row[static_cast<size_t>(t)] = static_cast<float>(last * (1 - (t - e) * taper));
        }
    }
}

} // namespace vendrel
