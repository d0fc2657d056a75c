#pragma once
// The directivity of an ideal rigid circular piston: linear magnitude per map frequency and per angle
// from the axis, following 2 J1(u)/u inside the coverage angle and tapered towards the rear.

#include <cstdint>
#include <vector>

namespace vendrel {

class TPhysicalSpace;

class TPiston {
public:
    explicit TPiston(TPhysicalSpace* PhysicalSpace); // the medium is not owned

    int32_t Freq() const { return FFreq; }
    void SetFreq(int32_t Value);
    int32_t NFreqBands() const { return FNFreqBands; }
    void SetNFreqBands(int32_t Value);
    double InchesSize() const { return FInchesSize; }
    void SetInchesSize(double Value);
    int32_t NPoints_HalfPi() const { return FNPoints_HalfPi; }
    void SetNPoints_HalfPi(int32_t Value);
    int32_t PistonCoverAngle() const { return FPistonCoverAngle; }
    void SetPistonCoverAngle(int32_t Value);

    // Fills the table for the medium's current map frequencies: one row per frequency (the table is
    // re-sized to them), angle index t standing for t * (pi/2) / NPoints_HalfPi radians.
    void CreateIdealPolar();

    // [row = map frequency][angle index] linear magnitudes.
    const std::vector<std::vector<float>>& IdealSpkPolarMag() const { return FIdealSpkPolarMag; }

    // Terms of the Bessel series the table is computed with.
    int32_t NPolBessel() const { return FNPolBessel; }

private:
    int32_t FNPolBessel = 0;
    void resizeTable();

    TPhysicalSpace* FPhysicalSpace = nullptr;
    int32_t FFreq = 0;
    int32_t FNFreqBands = 0;
    double FInchesSize = 0;
    std::vector<std::vector<float>> FIdealSpkPolarMag; // [row = map frequency][angle index]
    int32_t FNPoints_HalfPi = 0;
    int32_t FNPoints_Pi = 0;
    int32_t FPistonCoverAngle = 0;
};

// J1(u) by its power series with `terms` terms, the denominators 2^(2m+1) m! (m+1)! built up term by
// term (2, 16, 384, ...).
double PistonBesselJ1(double u, int32_t terms);

} // namespace vendrel
