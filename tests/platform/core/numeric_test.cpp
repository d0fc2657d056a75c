#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <limits>

namespace vendrel {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        int64_t out;
    };
    const Case cases[] = {{127.5, 128}, {10.5, 10},  {0.5, 0},   {1.5, 2},
                          {2.5, 2},     {-0.5, 0},   {-1.5, -2}, {-2.5, -2},
                          {2.4999, 2},  {2.5001, 3}, {-7.2, -7}, {1e15 + 0.5, 1000000000000000}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    }
}

TEST(RoundHalfEven, NonFiniteAndOutOfRangeRaise) {
    EXPECT_THROW(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(RoundHalfEven(std::numeric_limits<double>::infinity()), EInvalidOp);
    EXPECT_THROW(RoundHalfEven<int32_t>(3.0e9), ERangeError);
    EXPECT_EQ(RoundHalfEven<int32_t>(2147483647.4), 2147483647);
    EXPECT_THROW(RoundHalfEven<int32_t>(2147483647.5), ERangeError); // rounds to 2^31
}

TEST(Trunc, CutsTowardZero) {
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
    EXPECT_THROW(Trunc(-std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST(CheckedArithmetic, OverflowRaisesInsteadOfWrapping) {
    EXPECT_EQ(CheckedMul<int32_t>(46340, 46340), 2147395600);
    EXPECT_THROW(CheckedMul<int32_t>(46341, 46341), ERangeError);
    EXPECT_THROW(CheckedAdd<int32_t>(std::numeric_limits<int32_t>::max(), 1), ERangeError);
    EXPECT_THROW(CheckedSub<int32_t>(std::numeric_limits<int32_t>::min(), 1), ERangeError);
    EXPECT_THROW(CheckedCast<int16_t>(40000), ERangeError);
    std::vector<int> v{1, 2, 3};
    EXPECT_EQ(At(v, 2), 3);
    EXPECT_THROW(At(v, 3), ERangeError);
    EXPECT_THROW(At(v, -1), ERangeError);
}

} // namespace
} // namespace vendrel
