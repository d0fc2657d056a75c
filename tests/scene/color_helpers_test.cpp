#include "scene/color_helpers.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <climits>

namespace vendrel {
namespace {

TEST(PolygonBounds, CoversEveryPoint) {
    EXPECT_EQ(PolygonBounds({{-2, -1}, {2, -1}, {2, 1}, {-2, -1}}), (TRectF{-2, -1, 2, 1}));
    EXPECT_EQ(PolygonBounds({{3, 5}}), (TRectF{3, 5, 3, 5}));
    EXPECT_EQ(PolygonBounds({}), (TRectF{1e12f, 1e12f, -1e12f, -1e12f}));
}

TEST(ColorSteps, LightenAndDarkenPerChannel) {
    const struct {
        TAlphaColor in;
        int percent;
        bool lighten;
        TAlphaColor out;
    } cases[] = {
        {0xFF102030, 20, true, 0xFF435363},                                      // s = 51
        {0xFFF0F0F0, 20, true, 0xFFFFFFFF},                                      // cut at 255
        {0xFF102030, 10, false, 0xFF000717},                                     // s = 25, cut at 0
        {0x80102030, 0, true, 0x80102030},                                       // alpha untouched
        {0x12FFFFFF, 100, false, 0x12000000}, {0xFF010203, 1, true, 0xFF030405}, // s = Trunc(2.55) = 2
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.lighten ? LightenColor(c.in, c.percent) : DarkenColor(c.in, c.percent), c.out)
            << std::hex << c.in << " " << std::dec << c.percent;
    }
    EXPECT_THROW(LightenColor(0xFF000000, INT_MAX), ERangeError);
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

TEST(MakeColorTransparent, ClearsPixelsStrictlyWithinTheTolerance) {
    // Key $FF808080 (128 per channel), tolerance 35: t = 44, so 85..171 is inside.
    TBitmap bmp(4, 2, 0xFF5A5A5A);
    bmp.SetPixel(1, 0, 0xFF545454); // 84: on the border, stays
    bmp.SetPixel(2, 0, 0xFF555555); // 85: inside
    bmp.SetPixel(3, 0, 0xFFACACAC); // 172: on the border, stays
    bmp.SetPixel(0, 1, 0xFF5A5A00); // blue far off: stays
    bmp.SetPixel(1, 1, 0x005A5A5A); // the pixel's own alpha does not matter
    MakeColorTransparent(bmp, 0xFF808080, 35);
    const TAlphaColor expected[2][4] = {{0, 0xFF545454, 0, 0xFFACACAC}, {0xFF5A5A00, 0, 0, 0}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(bmp.Pixel(x, y), expected[y][x]) << x << "," << y;
        }
    }

    TBitmap same(2, 2, 0xFF808080);
    const TBitmap before = same;
    MakeColorTransparent(same, 0x20808080, 35); // key alpha $20: nothing changes
    EXPECT_EQ(same, before);
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

TEST(HslColors, HueSaturationLightnessToOpaqueRgb) {
    struct Case {
        float h, s, l;
        TAlphaColor rgb;
    };
    for (const Case& c :
         {Case{0.0f, 1.0f, 0.7f, MakeColor(255, 102, 102)}, Case{1.0f / 3, 1.0f, 0.4f, MakeColor(0, 204, 0)},
          Case{2.0f / 3, 1.0f, 0.5f, MakeColor(0, 0, 255)}, Case{0.5f, 0.0f, 0.5f, MakeColor(128, 128, 128)},
          Case{1.25f, 1.0f, 0.5f, MakeColor(128, 255, 0)}}) {
        EXPECT_EQ(HSLtoRGB(c.h, c.s, c.l), c.rgb) << c.h << " " << c.s << " " << c.l;
    }
    // A random hue keeps full saturation and the lightness asked for: one channel at the top.
    const TAlphaColor random = RandomHueColor(0.7f);
    EXPECT_EQ(AlphaOf(random), 255);
    EXPECT_EQ(std::max({RedOf(random), GreenOf(random), BlueOf(random)}), 255);
}

} // namespace
} // namespace vendrel
