#include "acoustics/zone_splay.h"

#include <gtest/gtest.h>

#include "platform/core/numeric.h"

namespace vendrel {
namespace {

TEST(ZoneArraySplay, AimingPointsStepFromTheBeginTowardsTheEnd) {
    TZoneArraySplay splay;
    EXPECT_EQ(splay.CoverageLength(), 0.0);
    splay.CalcPointsToHit(); // no points yet: nothing
    EXPECT_TRUE(splay.PointsToHit().empty());

    splay.SetCoverBeginPoint({0, 0, 0});
    splay.SetCoverEndPoint({8, 0, -6});
    EXPECT_DOUBLE_EQ(splay.CoverageLength(), 10.0);
    splay.SetCabsPerZone(4);
    splay.CalcPointsToHit();
    const std::vector<TPoint3D> expected = {{0, 0, 0}, {2, 0, -1.5f}, {4, 0, -3}, {6, 0, -4.5f}};
    EXPECT_EQ(splay.PointsToHit(), expected);
    EXPECT_EQ(splay.SeparationBetweenPoints().ToPoint3D(), TPoint3D(-2, 0, 1.5f));

    splay.SetCabsPerZone(4); // unchanged: the points stay
    EXPECT_EQ(splay.PointsToHit(), expected);
    splay.SetCabsPerZone(1);
    splay.CalcPointsToHit();
    EXPECT_EQ(splay.PointsToHit(), std::vector<TPoint3D>{TPoint3D(0, 0, 0)});
    EXPECT_THROW(splay.SetCabsPerZone(-1), ERangeError);

    THitPointInZone hit;
    EXPECT_EQ(hit.HitType(), THitType::qzaNoHit);
    EXPECT_EQ(hit.theZone(), nullptr);
}

} // namespace
} // namespace vendrel
