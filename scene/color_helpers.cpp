#include "scene/color_helpers.h"

#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>
#include <random>

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

TAlphaColor HSLtoRGB(float H, float S, float L) {
    const double h = H - std::floor(H);
    const double s = std::clamp(static_cast<double>(S), 0.0, 1.0);
    const double l = std::clamp(static_cast<double>(L), 0.0, 1.0);
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const auto channel = [p, q](double t) {
        t -= std::floor(t);
        double v = p;
        if (t < 1.0 / 6) {
            v = p + (q - p) * 6 * t;
        } else if (t < 0.5) {
            v = q;
        } else if (t < 2.0 / 3) {
            v = p + (q - p) * (2.0 / 3 - t) * 6;
        }
        return static_cast<uint8_t>(RoundHalfEven<int>(std::clamp(v, 0.0, 1.0) * 255));
    };
    return MakeColor(channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3));
}

TAlphaColor RandomHueColor(float L) {
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_real_distribution<float> hue(0.0f, 1.0f);
    return HSLtoRGB(hue(engine), 1.0f, L);
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
