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

TAlphaColor HSLtoRGB(float Hue, float Saturation, float Luminance) {
    const double h = Hue;
    const double s = Saturation;
    const double l = Luminance;
    const double c = (1.0 - std::fabs(2.0 * l - 1.0)) * s;
    const double hp = std::fmod(std::max(h, 0.0), 1.0) * 6.0;
    const double x = c * (1.0 - std::fabs(std::fmod(hp, 2.0) - 1.0));
    double r = 0;
    double g = 0;
    double b = 0;
    switch (static_cast<int>(hp)) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = l - c / 2.0;
    const auto channel = [m](double v) {
        return static_cast<uint8_t>(std::clamp(RoundHalfEven<int32_t>((v + m) * 255.0), 0, 255));
    };
    return MakeColor(channel(r), channel(g), channel(b));
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
