#pragma once
// Colours and images in memory.
//
// A colour is a 32-bit ARGB value ($AARRGGBB). A bitmap is Width x Height colours, row by row from
// the top row; texture coordinate (0, 0) is its top-left corner and (1, 1) its bottom-right corner.

#include <cstdint>
#include <vector>

namespace vendrel {

using TAlphaColor = uint32_t;

namespace TAlphaColors {
constexpr TAlphaColor Null = 0x00000000;
constexpr TAlphaColor Black = 0xFF000000;
constexpr TAlphaColor White = 0xFFFFFFFF;
constexpr TAlphaColor Red = 0xFFFF0000;
constexpr TAlphaColor Lime = 0xFF00FF00;
constexpr TAlphaColor Blue = 0xFF0000FF;
constexpr TAlphaColor Gray = 0xFF808080;
} // namespace TAlphaColors

// Channels of a colour, each 0..255.
constexpr uint8_t AlphaOf(TAlphaColor c) {
    return static_cast<uint8_t>(c >> 24);
}
constexpr uint8_t RedOf(TAlphaColor c) {
    return static_cast<uint8_t>(c >> 16);
}
constexpr uint8_t GreenOf(TAlphaColor c) {
    return static_cast<uint8_t>(c >> 8);
}
constexpr uint8_t BlueOf(TAlphaColor c) {
    return static_cast<uint8_t>(c);
}
constexpr TAlphaColor MakeColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return (TAlphaColor(a) << 24) | (TAlphaColor(r) << 16) | (TAlphaColor(g) << 8) | TAlphaColor(b);
}

class TBitmap {
public:
    TBitmap() = default;
    // Raises ERangeError for a negative size or one whose pixel count overflows.
    TBitmap(int Width, int Height, TAlphaColor Fill = TAlphaColors::Null) { SetSize(Width, Height, Fill); }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }
    // Resizes and fills every pixel; raises ERangeError for a negative size or a pixel-count overflow.
    void SetSize(int Width, int Height, TAlphaColor Fill = TAlphaColors::Null);
    void Clear(TAlphaColor Color);

    // Checked pixel access: a position outside the bitmap raises ERangeError.
    TAlphaColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TAlphaColor Color);
    // Row-major pixels, top row first.
    const std::vector<TAlphaColor>& Pixels() const { return FPixels; }
    std::vector<TAlphaColor>& Pixels() { return FPixels; }

    bool operator==(const TBitmap&) const = default;

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TAlphaColor> FPixels;
};

} // namespace vendrel
