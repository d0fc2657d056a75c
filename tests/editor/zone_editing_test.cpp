#include "editor/zone_editing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/kinds/zone_kind.h"
#include "objects_fixture.h"
#include "scene/zone_shapes.h"

namespace vendrel {
namespace {

using testing::ObjectsFixture;

TEST(ZoneCorners, ARadiusStaysWithinItsSideAndCutsItsPartner) {
    struct Case {
        double value, side, partner;
        double radius, partnerAfter;
        bool cut;
    };
    const Case cases[] = {
        {8, 10, 4, 8, 2, true},   // 8 + 4 do not fit on 10 m: the partner gives way
        {3, 10, 4, 3, 4, false},  // both fit
        {12, 10, 4, 10, 0, true}, // above the side: the side, and no room left for the partner
        {6, 10, 4, 6, 4, false},  // exactly fitting
        {0.5, 10, 9.6, 0.5, 9.5, true},
    };
    for (const Case& c : cases) {
        const TCornerRadii r = CutCornerRadius(c.value, c.side, c.partner);
        EXPECT_DOUBLE_EQ(r.Radius, c.radius) << c.value;
        EXPECT_DOUBLE_EQ(r.Partner, c.partnerAfter) << c.value;
        EXPECT_EQ(r.PartnerCut, c.cut) << c.value;
    }
}

TEST(ZoneCorners, APictureSizesItsZoneUpTo250Metres) {
    using C = TPictureZoneSize::TCheck;
    const TPictureZoneSize fits = PictureZoneSize(0.05, 3000, 2000);
    EXPECT_EQ(fits.Check, C::Ok);
    EXPECT_FLOAT_EQ(fits.Length, 150);
    EXPECT_FLOAT_EQ(fits.Width, 100);
    EXPECT_EQ(PictureZoneSize(0.01, 1000, 500).Length, 10.0f);
    EXPECT_EQ(PictureZoneSize(0.1, 3000, 2000).Check, C::TooLarge);
    EXPECT_EQ(PictureZoneSize(0.25, 1000, 10).Check, C::Ok); // 250 m is still allowed
    // Two reference points in one place give an infinite or undefined scale: no size at all.
    for (double scale : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_EQ(PictureZoneSize(scale, 1000, 500).Check, C::NoScale) << scale;
    }
    EXPECT_EQ(MaxZoneSizeMessage(),
              "The maximum zone size (250meters) has been exceeded. Split up the drawing into smaller parts");
}

struct PolygonEdit : ::testing::Test {
    ObjectsFixture f;
    TMappingZone* polygon(std::vector<TPoint3D> points) {
        return f.editor->Adding.AddNewMappingZone("P", {}, {}, 4, 4, 0.1f, false, TSurfaceType::qzaPolygon,
                                                  true, nullptr, points);
    }
    testing::FakeZonePanel& panelOf(const TMappingZone& z) {
        return *static_cast<testing::FakeZonePanel*>(PanelOf<IObjectPanel>(z));
    }
};

void expectPoints(const std::vector<TPoint3D>& got, const std::vector<TPoint3D>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_FLOAT_EQ(got[i].X, want[i].X) << i;
        EXPECT_FLOAT_EQ(got[i].Y, want[i].Y) << i;
        EXPECT_FLOAT_EQ(got[i].Z, want[i].Z) << i;
    }
}

TEST_F(PolygonEdit, MovingAPointOutGrowsTheZoneAndKeepsEveryHeight) {
    TMappingZone* z = polygon({{0, 0, 0.3f}, {4, 0, 0.3f}, {4, 4, 0.3f}, {0, 4, 0.3f}});
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, 3, 6, 5, 0.3));
    expectPoints(z->PolygonPoints(), {{0, 0, 0.3f}, {4, 0, 0.3f}, {6, 5, 0.3f}, {0, 4, 0.3f}});
    EXPECT_FLOAT_EQ(z->Width(), 6);
    EXPECT_FLOAT_EQ(z->Depth(), 5);
    // Unturned zone: begin corner = (left, z of the first point, -(middle of the outline's Y)).
    EXPECT_NEAR(z->XBegin(), 0, 1e-6);
    EXPECT_NEAR(z->YBegin(), 0.3, 1e-6);
    EXPECT_NEAR(z->ZBegin(), -2.5, 1e-6);
    EXPECT_TRUE(f.project->CalcHitPointEnabled());
    const auto* path = dynamic_cast<TQzDrawPath3D*>(TZoneKind::ZoneSolid(*z));
    ASSERT_NE(path, nullptr);
    EXPECT_FLOAT_EQ(path->Width(), 6);
    const int fills = panelOf(*z).fills;
    EXPECT_GT(fills, 0); // the panel shows the new outline

    // A mapped zone lifts its begin corner by its listening level (the panel shows it taken off again).
    z->SetListenLevel(1.2f);
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, -1, 0, 0, 0));
    EXPECT_NEAR(z->YBegin(), 1.5, 1e-6);
    EXPECT_GT(panelOf(*z).fills, fills);
    z->SetMappingSides(TMappingSides::qzaNoSPLMap);
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, -1, 0, 0, 0));
    EXPECT_NEAR(z->YBegin(), 0.3, 1e-6);
}

TEST_F(PolygonEdit, ANegativeNumberRecomputesTheSameZoneAndOutOfRangeNumbersAreRefused) {
    TMappingZone* z = polygon({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}});
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, 2, 5, 0, 0));
    const std::vector<TPoint3D> points = z->PolygonPoints();
    const TPoint3D begin = z->XYZBegin();
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, -1, 99, 99, 99));
    expectPoints(z->PolygonPoints(), points);
    EXPECT_EQ(z->XYZBegin(), begin);
    EXPECT_FLOAT_EQ(z->Width(), 5);
    for (int32_t number : {0, 5, 100}) {
        EXPECT_FALSE(f.editor->ZoneEditing.ChangePolygonPoints(*z, number, 9, 9, 9)) << number;
    }
    expectPoints(z->PolygonPoints(), points);
    // A zone that is not a drawn polygon has no points to move.
    TMappingZone* rect = f.editor->Adding.AddNewMappingZone("R", {}, {}, 4, 4, 0.1f, false,
                                                            TSurfaceType::qzaRectangle, true, nullptr, {});
    EXPECT_FALSE(f.editor->ZoneEditing.ChangePolygonPoints(*rect, -1, 0, 0, 0));
}

TEST_F(PolygonEdit, AClockwiseOutlineComesBackCounterClockwise) {
    TMappingZone* z = polygon({{0, 0, 0}, {0, 4, 0}, {4, 0, 0}});
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, -1, 0, 0, 0));
    expectPoints(z->PolygonPoints(), {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}});
    // Counter-clockwise already: the order stays.
    ASSERT_TRUE(f.editor->ZoneEditing.ChangePolygonPoints(*z, -1, 0, 0, 0));
    expectPoints(z->PolygonPoints(), {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}});
}

} // namespace
} // namespace vendrel
