#include "acoustics/mapping_zone.h"

#include <gtest/gtest.h>

#include "acoustics/cabinet.h"
#include "model_fixture.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

// Width and depth chosen so that metres / pixel size is exactly a half: the grid rounds it to even.
TEST(MappingZone, PixelGridAndBuffersFollowEachResolutionWithHalvesToEven) {
    struct Case {
        TRenderQuality quality;
        double pixel;
        float width, depth;
        int32_t widthPx, depthPx;
    };
    const Case cases[] = {
        {TRenderQuality::qzaVeryLow, 1.0, 2.5f, 3.5f, 2, 4},
        {TRenderQuality::qzaLow, 0.5, 1.25f, 1.75f, 2, 4},
        {TRenderQuality::qzaMedium, 0.2, 2.5f, 1.5f, 12, 8},
        {TRenderQuality::qzaHigh, 0.1, 1.25f, 0.75f, 12, 8},
        {TRenderQuality::qzaVeryHigh, 0.05, 0.625f, 1.125f, 12, 22},
    };
    for (const Case& c : cases) {
        ModelFixture f;
        TMappingZone& before = f.addZone(c.width, c.depth); // made at the medium's first size
        f.project->SetRenderQuality(c.quality == TRenderQuality::qzaMedium ? TRenderQuality::qzaLow
                                                                           : TRenderQuality::qzaMedium);
        f.project->SetRenderQuality(c.quality);
        ASSERT_DOUBLE_EQ(f.medium.PixelToMeters(), c.pixel);
        TMappingZone& after = f.addZone(c.width, c.depth); // made at this size
        for (const TMappingZone* zone : {&before, &after}) {
            EXPECT_EQ(zone->WidthPixels(), c.widthPx) << c.pixel;
            EXPECT_EQ(zone->DepthPixels(), c.depthPx) << c.pixel;
            ModelFixture::expectBuffersMatchGrid(*zone);
        }
    }
}

TEST(MappingZone, NewZoneListensAtItsHeightAndStartsItsGridAtTheListeningPoint) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(10.0f, 5.0f);
    EXPECT_EQ(zone.ZoneIndexID(), 0);
    EXPECT_FLOAT_EQ(zone.ListenLevel(), 1.7f);
    EXPECT_TRUE(zone.Active());
    EXPECT_EQ(zone.MapState(), TCalcState::qzaCalculated);
    const double p = f.medium.PixelToMeters();
    // Zones grow upwards: the listening point is the listening height above the top face.
    EXPECT_NEAR(zone.PosBeginPx().X, 1.0 / p, 1e-4);
    EXPECT_NEAR(zone.PosBeginPx().Y, (-2.0 + 1.7 + 0.1) / p, 1e-4);
    EXPECT_NEAR(zone.PosBeginPx().Z, 3.0 / p, 1e-4);
    EXPECT_EQ(f.addZone(1.0f, 1.0f).ZoneIndexID(), 1);
}

TEST(MappingZone, SlabTurnsAboutTheMiddleOfItsWidthAndItsListeningPointTurnsWithIt) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(10.0f, 5.0f); // begin corner (1, -2, 3), 0.1 m thick
    EXPECT_EQ(zone.Position(), TPoint3D(6.0f, -2.0f, 3.0f));
    EXPECT_EQ(zone.RotationCenter(), TPoint3D(-5.0f, 0.0f, -0.05f));
    zone.SetRotationAngle(TPoint3D(0.0f, 0.0f, 90.0f));
    // (0, 1.7 + 0.1, 0) turned a quarter about Z lies along -X.
    EXPECT_NEAR(zone.ListenPointAbs().X, -1.8f, 1e-5);
    EXPECT_NEAR(zone.ListenPointAbs().Y, 0.0f, 1e-5);
    EXPECT_NEAR(zone.PosBeginPx().X, (1.0 - 1.8) / f.medium.PixelToMeters(), 1e-3);
    zone.SetXBegin(2.0);
    EXPECT_FLOAT_EQ(zone.Position().X, 7.0f);

    f.project->SetZonasCrecenParriba(false); // measured from the bottom face: the thickness drops out
    zone.RecalcListenPointAbs();
    EXPECT_NEAR(zone.ListenPointAbs().X, -1.7f, 1e-5);
}

TEST(MappingZone, OnlyATurnAboutYAsksAPictureForItsMap) {
    ModelFixture f;
    f.project->SetContinuousRender(false); // requests are stored, no thread is started
    f.addCabinet();
    TMappingZone& picture = f.addZone(4.0f, 4.0f, TSurfaceType::qzaPicture);
    picture.SetRotationAngleX(30.0f);
    picture.SetRotationAngleZ(30.0f);
    EXPECT_EQ(picture.MapState(), TCalcState::qzaCalculated);
    picture.SetRotationAngleY(30.0f);
    EXPECT_EQ(picture.MapState(), TCalcState::qzaNeedsCalculate);

    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    zone.StoreMapState(TCalcState::qzaIsSumed);
    zone.SetRotationAngleX(10.0f);
    EXPECT_EQ(zone.MapState(), TCalcState::qzaNeedsCalculate);
}

TEST(MappingZone, PictureZoneKeepsAOnePixelMapAndAsksForNothing) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(10.0f, 5.0f, TSurfaceType::qzaPicture);
    EXPECT_FALSE(zone.HasLevelMap());
    EXPECT_FLOAT_EQ(zone.ListenLevel(), 0.0f);
    EXPECT_EQ(zone.WidthPixels(), 1);
    EXPECT_EQ(zone.DepthPixels(), 1);
    zone.SetWidth(20.0f);
    zone.SetMappingSides(TMappingSides::qzaSPLTwoSide);
    EXPECT_EQ(zone.WidthPixels(), 1);
    EXPECT_EQ(zone.DepthPixels(), 1);
    EXPECT_EQ(zone.MapState(), TCalcState::qzaCalculated);
    ModelFixture::expectBuffersMatchGrid(zone);
}

TEST(MappingZone, SwitchingTheLevelMapOffAndOnResizesTheGrid) {
    ModelFixture f;
    f.project->SetRenderQuality(TRenderQuality::qzaVeryLow);
    TMappingZone& zone = f.addZone(6.0f, 4.0f);
    zone.SetMappingSides(TMappingSides::qzaNoSPLMap);
    EXPECT_EQ(zone.WidthPixels(), 1);
    EXPECT_EQ(zone.DepthPixels(), 1);
    ModelFixture::expectBuffersMatchGrid(zone);
    zone.SetMappingSides(TMappingSides::qzaSPLOneSide);
    EXPECT_EQ(zone.WidthPixels(), 6);
    EXPECT_EQ(zone.DepthPixels(), 4);
    ModelFixture::expectBuffersMatchGrid(zone);
}

TEST(MappingZone, SizeSettersAndTheirEqualValues) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(10.0f, 5.0f);
    f.project->SetIsProjectModified(false);
    zone.SetWidth(10.0f);
    zone.SetDepth(5.0f);
    EXPECT_FALSE(f.project->IsProjectModified()); // equal sizes do nothing

    // The same height still recomputes the listening point from the current listening level.
    zone.SetListenLevel(1.0f);
    f.project->SetIsProjectModified(false);
    zone.SetHeight(0.1f);
    EXPECT_TRUE(f.project->IsProjectModified());
    EXPECT_NEAR(zone.ListenPointAbs().Y, 1.1f, 1e-6);
}

TEST(MappingZone, PolygonOutlineStretchesWithTheZone) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f, TSurfaceType::qzaPolygon);
    zone.SetPolygonPoints({TPoint3D(0, 0, 0), TPoint3D(2, 4, 0), TPoint3D(4, 1, 0)});
    zone.SetWidth(8.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[0].X, 0.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[1].X, 4.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[2].X, 8.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[1].Y, 4.0f);
    zone.SetDepth(2.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[0].Y, 0.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[1].Y, 2.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[2].Y, 0.5f);

    // An outline without extent along an axis is left alone instead of divided by zero.
    zone.SetPolygonPoints({TPoint3D(3, 0, 0), TPoint3D(3, 1, 0)});
    zone.SetWidth(5.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[0].X, 3.0f);
    EXPECT_FLOAT_EQ(zone.PolygonPoints()[1].X, 3.0f);
}

TEST(MappingZone, TrapeziumWithoutWidthsTakesThemFromTheDepth) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f, TSurfaceType::qzaTrapezium);
    zone.SetDimensions(4.0f, 6.0f);
    EXPECT_DOUBLE_EQ(zone.TrapezWidth1(), 3.0);
    EXPECT_DOUBLE_EQ(zone.TrapezWidth2(), 6.0);
    EXPECT_FLOAT_EQ(zone.Depth(), 6.0f);
    zone.SetTrapezWidth1(8.0); // wider than the other side: becomes the depth
    EXPECT_FLOAT_EQ(zone.Depth(), 8.0f);
}

TEST(MappingZone, ImageTextureLiesOverTheMapOnlyBelowFiveCentimetres) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    zone.SetImageTexture(std::make_unique<TBitmap>(8, 8, 0xFF00FF00));
    struct Case {
        float level;
        bool over, top;
    };
    for (const Case& c : {Case{0.05f, false, true}, Case{0.0499f, true, true}, Case{1.0f, false, true}}) {
        zone.SetListenLevel(c.level);
        zone.CheckIsTextureOverSplOrFloor();
        EXPECT_EQ(zone.isTextureOverSPL(), c.over) << c.level;
        EXPECT_EQ(zone.isTextureOnTopFloor(), c.top) << c.level;
    }
    zone.SetImageTexture(nullptr);
    zone.SetListenLevel(0.0f);
    EXPECT_FALSE(zone.isTextureOverSPL());
    EXPECT_FALSE(zone.isTextureOnTopFloor());
}

TEST(MappingZone, ClearMapPaintsTheNoMapColourAndUndoesTheSum) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(2.0f, 2.0f);
    zone.SetNoMapColor(0xFF112233);
    zone.SetIsMapCleared(false);
    zone.StoreMapState(TCalcState::qzaIsSumed);
    zone.ClearMap();
    EXPECT_TRUE(zone.IsMapCleared());
    EXPECT_EQ(zone.MapState(), TCalcState::qzaCalculated);
    EXPECT_EQ(zone.MapBMP().Pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(zone.MapMaterial()->Texture(), zone.MapBMP());
}

// ---- Memory check before a zone grows ----

TEST(MappingZone, GrowthWithinTheBudgetChangesNothing) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(10.0f, 10.0f);
    const double p = f.medium.PixelToMeters();
    EXPECT_FALSE(zone.CheckMemoryOnChangeZone(10.0f, 10.0f));
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), p);
    ModelFixture::expectBuffersMatchGrid(zone);
}

TEST(MappingZone, GrowthOverTheBudgetCoarsensUntilItFits) {
    ModelFixture f;
    f.project->SetRenderQuality(TRenderQuality::qzaLow);
    f.project->SetRenderQuality(TRenderQuality::qzaVeryHigh);
    TMappingZone& zone = f.addZone(10.0f, 10.0f);
    // At 0.05 m the 10 m growth adds 200 x 200 pixels of 16 bytes (0.61 MB); at 0.1 m the zone's own
    // maps shrink by more than the growth needs.
    f.availableMB = 0.5;
    EXPECT_TRUE(zone.CheckMemoryOnChangeZone(10.0f, 0.0f));
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 0.1);
    EXPECT_EQ(f.project->RenderQuality(), TRenderQuality::qzaHigh);
    EXPECT_EQ(f.shown(TMsgDlgType::mtInformation), 1u);
    EXPECT_EQ(f.shown(TMsgDlgType::mtWarning), 0u);
    EXPECT_EQ(zone.WidthPixels(), 100);
    ModelFixture::expectBuffersMatchGrid(zone);
    EXPECT_FALSE(f.project->IsCheckingMemory());
}

TEST(MappingZone, GrowthAtTheCoarsestQualityStepsToTwoMetres) {
    ModelFixture f;
    f.project->SetRenderQuality(TRenderQuality::qzaVeryLow);
    TMappingZone& zone = f.addZone(10.0f, 10.0f);
    f.availableMB = 0.0;
    EXPECT_TRUE(zone.CheckMemoryOnChangeZone(10.0f, 10.0f));
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 2.0);
    EXPECT_EQ(f.project->RenderQuality(), TRenderQuality::qzaVeryLow);
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    EXPECT_EQ(f.boxes.shown[0].text, "Not enough memory available. Render resolution will be decreased.");
    EXPECT_EQ(
        f.boxes.shown[1].text,
        "You are already at the minimum resolution. Insufficient memory to continue. Please close other "
        "applications or upgrade your system memory.");
    EXPECT_EQ(zone.WidthPixels(), 5);
    ModelFixture::expectBuffersMatchGrid(zone);
}

// Beyond the coarsest quality nothing can be coarsened: the zones keep buffers that fit their grids.
TEST(MappingZone, GrowthBeyondTheCoarsestQualityKeepsEveryZonesBuffers) {
    ModelFixture f;
    f.project->SetRenderQuality(TRenderQuality::qzaVeryLow);
    TMappingZone& zone = f.addZone(10.0f, 10.0f);
    TMappingZone& other = f.addZone(6.0f, 6.0f);
    f.medium.SetPixelToMeters(2.0);
    ASSERT_DOUBLE_EQ(f.medium.PixelToMeters(), 2.0);
    f.availableMB = 0.0;
    f.boxes.shown.clear();
    EXPECT_FALSE(zone.CheckMemoryOnChangeZone(10.0f, 10.0f));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].type, TMsgDlgType::mtWarning);
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 2.0);
    for (const TMappingZone* z : {&zone, &other}) {
        EXPECT_EQ(z->WidthPixels(), RoundHalfEven<int32_t>(z->Width() / 2.0));
        ModelFixture::expectBuffersMatchGrid(*z);
    }
}

} // namespace
} // namespace vendrel
