#pragma once
// Entry points of the vector-math units, each compiled with its own instruction-set flags
// (vector_math_avx512.cpp, vector_math_avx2.cpp, vector_math_sse4.cpp). Plain C-style interface:
// these files include nothing that could leave wider instructions in shared inline code.

#include <cstdint>

namespace vendrel::vecmath {

// One depth column of one source at one frequency, for the map kernel: the bilinear polar lookup of
// every pixel (table cells of the four corners, position inside the cell in tenths of a degree), the
// spreading, air loss and propagation phase, and the complex sum into the map row.
struct TPolarColumn {
    int32_t n; // pixels in the column
    // Polar table of this frequency: per row entry (magnitude, magnitude step to the row neighbour,
    // phase in [0, 2pi), phase step the shorter way), laid [mirrored][elevation][azimuth].
    const float* packed;
    const uint32_t *row1, *row2; // entry of each pixel's first corner in its two rows
    const int32_t *dAz, *dEl;    // tenths of a degree into the cell per pixel
    const float* dist;           // metres per pixel
    const float* invSpread;      // 1 / max(dist, 1) per pixel
    float tenths;                // tenths of a degree per cell
    float procMag, procPhase;    // processing response
    float polarPhaseFactor;      // 0 with zero-phase start, else 1
    float axisPhase;             // on-axis phase, used unless realPhase
    bool realPhase;
    float krHi, krLo;   // radians per metre, split into two singles
    float lossPerMeter; // natural-log air loss per metre (negative)
    float* re;          // map row, real part (added to)
    float* im;          // map row, imaginary part (added to)
};

// The geometry of one depth column: the pixel's offset from the source in the source's frame is
// t0 + l * dt (metres). Gives each pixel's distance, spreading factor, position inside its polar
// cell (tenths of a degree) and the row entries of its first corners (see TPolarColumn.packed).
struct TPolarGeometry {
    int32_t n;
    float t0[3], dt[3];
    int32_t r, nAz, nEl; // resolution in whole degrees, azimuth measures, elevation slices
    float* dist;
    float* invSpread;
    int32_t *dAz, *dEl;
    uint32_t *row1, *row2;
};

struct TUnit {
    const char* name;
    void (*sinCosAccumulate)(const float* amp, const float* phase, float* re, float* im, int32_t n);
    void (*expInPlace)(float* x, int32_t n);
    void (*atan2Array)(const float* y, const float* x, float* out, int32_t n);
    void (*polarColumn)(const TPolarColumn& c);     // null: the kernel's own loop
    void (*polarGeometry)(const TPolarGeometry& g); // null with polarColumn
    // Rows of the summation (see vector_math.h).
    void (*complexAddInto)(float* re, float* im, const float* cr, const float* ci, int32_t n);
    void (*hypotAccumulate)(const float* re, const float* im, float* acc, int32_t n);
    void (*weightedHypotAccumulate)(const float* cr, const float* ci, double weight, float* re, int32_t n);
    void (*levelsFromMagnitudes)(const float* magnitude, float divisor, float* level, int32_t n);
    float (*maxFromZero)(const float* v, int32_t n);
    void (*subtractInDouble)(float* v, double d, int32_t n);
};

extern const TUnit kAvx512Unit;
extern const TUnit kAvx2Unit;
extern const TUnit kSse4Unit;

} // namespace vendrel::vecmath
