#include "platform/core/bitmap.h"

#include "platform/core/numeric.h"

namespace vendrel {

void TBitmap::SetSize(int Width, int Height, TAlphaColor Fill) {
    if (Width < 0 || Height < 0) {
        throw ERangeError();
    }
    const int64_t count = CheckedMul<int64_t>(Width, Height);
    FPixels.assign(static_cast<size_t>(count), Fill);
    FWidth = Width;
    FHeight = Height;
}

void TBitmap::Clear(TAlphaColor Color) {
    FPixels.assign(FPixels.size(), Color);
}

TAlphaColor TBitmap::Pixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) {
        throw ERangeError();
    }
    return FPixels[static_cast<size_t>(Y) * FWidth + X];
}

void TBitmap::SetPixel(int X, int Y, TAlphaColor Color) {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) {
        throw ERangeError();
    }
    FPixels[static_cast<size_t>(Y) * FWidth + X] = Color;
}

} // namespace vendrel
