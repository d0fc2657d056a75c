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
        {0xFF102030, 20, true, 0xFF435363},  // s = 51
        {0xFFF0F0F0, 20, true, 0xFFFFFFFF},  // cut at 255
        {0xFF102030, 10, false, 0xFF000717}, // s = 25, cut at 0
        {0x80102030, 0, true, 0x80102030},   // alpha untouched
        {0x12FFFFFF, 100, false, 0x12000000},
        {0xFF010203, 1, true, 0xFF030405},   // s = Trunc(2.55) = 2
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.lighten ? LightenColor(c.in, c.percent) : DarkenColor(c.in, c.percent), c.out)
            << std::hex << c.in << " " << std::dec << c.percent;
    }
    EXPECT_THROW(LightenColor(0xFF000000, INT_MAX), ERangeError);
}

} // namespace
} // namespace vendrel
