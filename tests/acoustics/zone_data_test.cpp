#include "acoustics/zone_data.h"

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "platform/core/numeric.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

TEST(ZoneData, ZonesWithoutLevelMapGetACalculatedOnePixelBuffer) {
    ModelFixture f;
    f.addZone(10.0f, 10.0f, TSurfaceType::qzaPicture);
    f.addZone(10.0f, 10.0f).SetMappingSides(TMappingSides::qzaNoSPLMap);
    TMappingZone& mapped = f.addZone(10.0f, 10.0f);
    for (int32_t id : {0, 1}) {
        TZoneData data(f.project.get(), 7, 40, 30, id);
        EXPECT_EQ(data.WidthPixels(), 1) << id;
        EXPECT_EQ(data.DepthPixels(), 1) << id;
        EXPECT_EQ(data.MapRealFreq().size(), 7u) << id;
        EXPECT_TRUE(data.ZoneCalculated()) << id;
        EXPECT_EQ(data.ZoneID(), id);
    }
    TZoneData data(f.project.get(), 7, 40, 30, mapped.ZoneIndexID());
    EXPECT_FALSE(data.ZoneCalculated());
    EXPECT_EQ(data.MapImagFreq().size(), 7u * 40u * 30u);
    EXPECT_EQ(data.CalcCounter(), 0);
    EXPECT_THROW(TZoneData(f.project.get(), 1, 1, 1, 3), ERangeError);
}

TEST(ZoneData, ChangingACountClearsTheCellsAndKeepingItKeepsThem) {
    ModelFixture f;
    f.addZone(10.0f, 10.0f);
    TZoneData data(f.project.get(), 2, 3, 4, 0);
    struct Case {
        void (TZoneData::*set)(int32_t);
        int32_t value;
        bool cleared;
    };
    const Case cases[] = {{&TZoneData::SetNFreqs, 2, false},      {&TZoneData::SetWidthPixels, 3, false},
                          {&TZoneData::SetDepthPixels, 4, false}, {&TZoneData::SetNFreqs, 3, true},
                          {&TZoneData::SetWidthPixels, 5, true},  {&TZoneData::SetDepthPixels, 6, true}};
    for (const Case& c : cases) {
        data.MapRealFreq()(1, 2, 3) = 5.0f;
        data.MapImagFreq()(1, 2, 3) = -5.0f;
        (data.*c.set)(c.value);
        EXPECT_EQ(data.MapRealFreq()(1, 2, 3), c.cleared ? 0.0f : 5.0f) << c.value;
        EXPECT_EQ(data.MapImagFreq()(1, 2, 3), c.cleared ? 0.0f : -5.0f) << c.value;
        EXPECT_EQ(data.MapRealFreq().size(),
                  static_cast<size_t>(data.NFreqs()) * data.WidthPixels() * data.DepthPixels());
    }
    EXPECT_THROW(data.MapRealFreq().At(0, data.WidthPixels(), 0), ERangeError);
    EXPECT_THROW(data.MapRealFreq().At(-1, 0, 0), ERangeError);
}

TEST(ZoneData, MaxLevelReadsLayerZeroFromZero) {
    ModelFixture f;
    f.addZone(10.0f, 10.0f);
    TZoneData data(f.project.get(), 2, 3, 2, 0);
    EXPECT_EQ(data.MaxdBSPL(), 0.0);
    data.MapRealFreq().Fill(-12.0f);
    EXPECT_EQ(data.MaxdBSPL(), 0.0); // all negative
    data.MapRealFreq()(0, 2, 1) = 97.5f;
    data.MapRealFreq()(1, 0, 0) = 120.0f; // another frequency layer
    EXPECT_DOUBLE_EQ(data.MaxdBSPL(), 97.5);
    data.MapRealFreq().Release();
    EXPECT_EQ(data.MaxdBSPL(), 0.0);
}

} // namespace
} // namespace vendrel
