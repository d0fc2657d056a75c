#include "scene/color_helpers.h"

#include "platform/core/numeric.h"

#include <algorithm>

namespace vendrel {

TRectF PolygonBounds(const TPolygon& Polygon) {
    TRectF r{1e12f, 1e12f, -1e12f, -1e12f};
    for (const TPointF& p : Polygon) {
        r.Left = std::min(r.Left, p.X);
        r.Right = std::max(r.Right, p.X);
        r.Top = std::min(r.Top, p.Y);
        r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
}

namespace {

int Step(int Percent) {
    return Trunc<int>(static_cast<double>(CheckedMul<int32_t>(Percent, 255)) / 100.0);
}

template <typename Op> TAlphaColor MapChannels(TAlphaColor Color, Op op) {
    TAlphaColor out = Color & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int channel = static_cast<int>((Color >> shift) & 0xFFu);
        out |= static_cast<TAlphaColor>(op(channel)) << shift;
    }
    return out;
}

} // namespace

TAlphaColor LightenColor(TAlphaColor Color, int Percent) {
    const int s = Step(Percent);
    return MapChannels(Color, [s](int c) { return std::clamp(c + s, 0, 255); });
}

TAlphaColor DarkenColor(TAlphaColor Color, int Percent) {
    const int s = Step(Percent);
    return MapChannels(Color, [s](int c) { return std::clamp(c - s, 0, 255); });
}

TBitmap& MakeColorTransparent(TBitmap& Bitmap, TAlphaColor KeyColor, int Tolerance) {
    if (AlphaOf(KeyColor) <= 0x20) {
        return Bitmap;
    }
    const int t = Trunc<int>(static_cast<double>(CheckedMul<int32_t>(Tolerance, 255)) / 200.0);
    const auto near = [t](int channel, int key) { return channel > key - t && channel < key + t; };
    for (TAlphaColor& px : Bitmap.Pixels()) {
        if (near(RedOf(px), RedOf(KeyColor)) && near(GreenOf(px), GreenOf(KeyColor)) &&
            near(BlueOf(px), BlueOf(KeyColor))) {
            px = TAlphaColors::Null;
        }
    }
    return Bitmap;
}

} // namespace vendrel
