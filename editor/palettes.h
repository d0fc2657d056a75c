#pragma once
// The level palettes and the arithmetic that turns a level into a palette entry.
//
// A palette is 300 colours, entry 0 the colour of the highest level (or phase) and entry 299 that of
// the lowest. Each is a linear ramp through a table of colour stops of our own: between two stops every
// channel runs linearly and is rounded to the nearest unit. Palettes are addressed by name, as the
// program's settings and project files name them: "MapVendrel", "MapVendrelComp", "MapFire",
// "MapWideFire", "MapRedBlue" and "MapAltern" (phase maps).

#include "platform/core/bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

// Entries of every palette.
inline constexpr int32_t kPaletteEntries = 300;

// One colour stop of a ramp: the entry index and its colour (opaque ARGB).
struct TPaletteStop {
    int32_t Entry;
    TAlphaColor Color;
};

// The stops of a named palette; empty for an unknown name.
const std::vector<TPaletteStop>& PaletteStops(const std::string& Name);

// Fills Bitmap with the named palette as a column one pixel wide and kPaletteEntries high, entry i in
// row i. Raises std::invalid_argument for an unknown name (the bitmap is left as it was).
void LoadPaletteBitmap(TBitmap& Bitmap, const std::string& Name);

// Entries per colour step: 1 without steps (StepsdB 0), else Res / (RangedB / StepsdB).
double PaletteStepWidth(int32_t Res, double RangedB, int32_t StepsdB);

// The raw entry whose colour entry i takes in a palette stepped with entries-per-step a:
// Trunc(Trunc(i / a) x a), the first entry of i's step.
int32_t SteppedPaletteEntry(int32_t i, double a);

// The palette entry of a value: Round((Max - Value) x k), half to even, limited to 0 .. Res - 1 (values
// above Max take entry 0, values more than the span below it the last entry). A value that is not a
// number, or a product that is not finite, never reaches the rounding: NaN and values infinitely far
// below Max take the last entry, values infinitely far above it entry 0.
int32_t PaletteIndexOf(double Value, double Max, double k, int32_t Res);

// A range of the level scale as the range box keeps it: rounded to a multiple of 6 dB (halves to even)
// and limited to 6 .. 54 dB. A value that is not finite gives Fallback.
double ValidRangedB(double Value, double Fallback = 36.0);

// A maximum level as the maximum box keeps it: a whole number of dB limited to Min .. 200 dB. A value
// that is not finite gives Fallback.
double ValidMaxdB(double Value, double Min = 6.0, double Fallback = 110.0);

} // namespace vendrel
