#include "editor/render_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/palettes.h"
#include "platform/core/mem_ini_file.h"
#include "render_fixture.h"

namespace vendrel {
namespace {

using testing::RenderFixture;

// The colour the palette gives a zone's summed level at map pixel (x, y).
TAlphaColor expectedColour(RenderFixture& f, const TMappingZone& zone, int x, int y) {
    const TAcousticProject& p = *f.project;
    const double k = 300.0 / f.editor->Colors.SPLRangeBox.Value();
    const float level = zone.MapSum()->MapRealFreq().At(0, x, y);
    return p.MappingColors().at(static_cast<size_t>(PaletteIndexOf(level, p.MaxdBSPL(), k, 300)));
}

TEST(RenderControl, RenderPaintsEveryPixelOfTheZoneFromItsLevelAndEndsCalculated) {
    RenderFixture f;
    TMappingZone& zone = f.addZone(20, 10);
    // Over the corner of the first width and depth pixels, 6 m up.
    f.addCabinet({-9, -6, 4});
    TRenderControl& r = f.editor->Render;
    r.RenderBClick();
    EXPECT_EQ(r.RenderB.ImageIndex(), -1);
    EXPECT_TRUE(r.RenderB.IndicatorVisible());
    EXPECT_EQ(r.RenderB.Label(), "Rendering...");
    EXPECT_TRUE(f.project->ForceCalculation());
    const std::shared_ptr<const TBitmap> before = zone.MapMaterial()->Material().Texture;
    ASSERT_TRUE(f.waitCalculated());

    EXPECT_FALSE(f.project->ForceCalculation());
    EXPECT_EQ(r.RenderB.StyleLookup(), "CornerButtonRenderGreenStyle");
    EXPECT_EQ(f.status.count("Color Mapping in Zone : 0"), 1u);
    // Auto-scale: the maximum box shows the loudest level, which takes entry 0.
    EXPECT_NEAR(f.editor->Colors.MaxdBuEdit.Value(), f.project->MaxdBSPL(), 1e-9);
    const int w = zone.WidthPixels(), d = zone.DepthPixels();
    ASSERT_GT(w, d); // a transposed or mirrored bitmap cannot pass for the right one
    for (int y = 0; y < d; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(zone.MapBMP().Pixel(x, y), expectedColour(f, zone, x, y)) << x << ", " << y;
        }
    }
    // The loud corner is pixel (0, 0) of the levels, as the map kernel lays them out, and of the bitmap.
    const auto& levels = zone.MapSum()->MapRealFreq();
    EXPECT_GT(levels.At(0, 0, 0), levels.At(0, w - 1, d - 1) + 6);
    // The texture is a new image holding the bitmap.
    const std::shared_ptr<const TBitmap> after = zone.MapMaterial()->Material().Texture;
    ASSERT_NE(after, nullptr);
    EXPECT_NE(after, before);
    EXPECT_EQ(*after, zone.MapBMP());
    EXPECT_FALSE(zone.IsMapCleared());
}

TEST(RenderControl, RangeAndMaximumRecolourWithoutCalculatingAgain) {
    RenderFixture f;
    TMappingZone& zone = f.addZone();
    TCabinet& cab = f.addCabinet({0, -6, 0});
    f.editor->Render.RenderBClick();
    ASSERT_TRUE(f.waitCalculated());
    const uint64_t passes = cab.MapThread().PassCount();
    const uint64_t sums = f.project->AllMapsThread().PassCount();

    TColorMapping& c = f.editor->Colors;
    c.AutoScaleCheckBox.Click();
    EXPECT_FALSE(f.project->SPLNormalized());
    c.MaxdBuEdit.SetValue(std::floor(f.project->MaxdBSPL()) - 10);
    EXPECT_EQ(f.project->MaxdBSPL(), c.MaxdBuEdit.Value());
    c.SPLRangeBox.SetValue(12);
    f.ui.Pump();
    EXPECT_EQ(zone.MapBMP().Pixel(zone.WidthPixels() / 2, 5),
              expectedColour(f, zone, zone.WidthPixels() / 2, 5));
    EXPECT_EQ(zone.MapBMP().Pixel(0, 0), expectedColour(f, zone, 0, 0));
    EXPECT_EQ(cab.MapThread().PassCount(), passes);
    EXPECT_EQ(f.project->AllMapsThread().PassCount(), sums);
    EXPECT_EQ(f.editor->Render.RenderB.ImageIndex(), 41);
}

TEST(RenderControl, AMaximumOf30dBOrANaNLevelPaintsTheLastEntry) {
    RenderFixture f;
    TMappingZone& zone = f.addZone();
    f.addCabinet({0, -6, 0});
    f.editor->Render.RenderBClick();
    ASSERT_TRUE(f.waitCalculated());
    TColorMapping& c = f.editor->Colors;
    const TAlphaColor last = f.project->MappingColors().back();

    zone.MapSum()->MapRealFreq().At(0, 3, 4) = std::numeric_limits<float>::quiet_NaN();
    zone.MapSum()->MapRealFreq().At(0, 5, 4) = -std::numeric_limits<float>::infinity();
    c.ApplySPLColorMapping();
    EXPECT_EQ(zone.MapBMP().Pixel(3, 4), last);
    EXPECT_EQ(zone.MapBMP().Pixel(5, 4), last);
    EXPECT_NE(zone.MapBMP().Pixel(zone.WidthPixels() / 2, zone.DepthPixels() / 2), last);

    c.AutoScaleCheckBox.Click();
    c.MaxdBuEdit.SetValue(30);
    for (const TAlphaColor pixel : zone.MapBMP().Pixels()) {
        ASSERT_EQ(pixel, last);
    }
}

TEST(RenderControl, RenderWithoutAZoneOrACabinetStartsNothing) {
    RenderFixture f;
    f.addCabinet({0, -6, 0});
    TRenderControl& r = f.editor->Render;
    const int image = r.RenderB.ImageIndex();
    r.RenderBClick();
    EXPECT_EQ(r.RenderB.ImageIndex(), image);
    EXPECT_FALSE(r.RenderB.IndicatorVisible());
    EXPECT_FALSE(f.project->ForceCalculation());
    EXPECT_FALSE(f.project->AllMapsThread().Active());
    f.project->ForEachCabinet([](TCabinet& c) { EXPECT_FALSE(c.MapThreadActive()); });
}

TEST(RenderControl, EscAbortsPaintsNothingAndTheNextRenderStartsFromTheZones) {
    RenderFixture f;
    TMappingZone& zone = f.addZone();
    f.addCabinet({0, -6, 0});
    TRenderControl& r = f.editor->Render;
    r.RenderBClick();
    // Esc acts only while the indicator runs, and not while a text field has the focus.
    EXPECT_FALSE(f.editor->Keys.MainFormKeyDown(27, 0, {}, true));
    EXPECT_FALSE(f.project->AbortCalculation());
    EXPECT_TRUE(f.editor->Keys.MainFormKeyDown(27, 0, {}, false));
    EXPECT_TRUE(f.project->AbortCalculation());
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);
    EXPECT_FALSE(r.RenderB.IndicatorVisible());
    EXPECT_FALSE(f.editor->Keys.MainFormKeyDown(27, 0, {}, false));

    // Whatever the aborted run still reports paints nothing.
    const std::shared_ptr<const TBitmap> texture = zone.MapMaterial()->Material().Texture;
    f.project->AllMapsThread().WaitForStopped();
    f.ui.Pump();
    r.AllMapsReceived();
    EXPECT_EQ(zone.MapMaterial()->Material().Texture, texture);
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);

    r.RenderBClick();
    EXPECT_FALSE(f.project->AbortCalculation());
    EXPECT_FALSE(r.AbortedByUser());
    ASSERT_TRUE(f.waitCalculated());
    EXPECT_NE(zone.MapMaterial()->Material().Texture, texture);
}

TEST(RenderControl, ARunThatGivesUpResetsTheButtonAndSaysSo) {
    RenderFixture f;
    f.addZone();
    f.addCabinet({0, -6, 0});
    TRenderControl& r = f.editor->Render;
    r.RenderBClick();
    f.project->AllMapsThread().CancelAndWait();
    f.project->ForEachCabinet([](TCabinet& c) { c.CancelMapThreadAndWait(); });
    // What the summing thread does when its passes are exhausted: abort and report.
    f.project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
    f.project->SetAbortCalculation(true);
    f.project->OnReceiveAllMaps()(*f.project);
    EXPECT_FALSE(r.RenderB.IndicatorVisible());
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);
    EXPECT_FALSE(f.project->ForceCalculation());
    ASSERT_FALSE(f.status.texts.empty());
    EXPECT_EQ(f.status.texts.back(),
              "Rendering stopped: the maps could not be calculated. Press Render to try again.");
}

TEST(RenderControl, ASummationThatFailsEndsTheRequestWithAMessage) {
    RenderFixture f;
    f.addZone();
    f.addCabinet({0, -6, 0});
    f.project->SetAllMapsWaitingMsec(-1); // the summing thread raises a range error
    TRenderControl& r = f.editor->Render;
    r.RenderBClick();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (r.RenderB.IndicatorVisible() && std::chrono::steady_clock::now() < end) {
        f.ui.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(r.RenderB.IndicatorVisible());
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);
    EXPECT_FALSE(f.project->ForceCalculation());
    EXPECT_EQ(f.status.texts.back(),
              "Rendering stopped: the maps could not be calculated. Press Render to try again.");
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].type, TMsgDlgType::mtError);
}

TEST(RenderControl, AResultArrivingInsideTheHandlersDoesNotNest) {
    RenderFixture f;
    f.addZone();
    f.addCabinet({0, -6, 0});
    TRenderControl& r = f.editor->Render;
    r.RenderBClick();
    ASSERT_TRUE(f.waitCalculated());
    const auto colourings = [&] { return f.status.count("Color Mapping in Zone : 0"); };
    const size_t once = colourings();

    // Two results queued while a third is handled: its own pump finds them, and they are taken up
    // together once it is done, in one more colouring after its own, never inside it.
    f.ui.Queue([&] { f.project->OnReceiveAllMaps()(*f.project); });
    f.ui.Queue([&] { f.project->OnReceiveAllMaps()(*f.project); });
    r.AllMapsReceived();
    EXPECT_EQ(colourings(), once + 2);

    // A result that arrives while a render is requested belongs to an earlier run: dropped.
    f.ui.Queue([&] { f.project->OnReceiveAllMaps()(*f.project); });
    f.project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
    r.RenderBClick();
    EXPECT_EQ(colourings(), once + 2);
    EXPECT_TRUE(r.RenderB.IndicatorVisible());
    ASSERT_TRUE(f.waitCalculated());
}

TEST(RenderControl, RTypedIntoATextFieldRendersNothing) {
    RenderFixture f;
    f.addZone();
    f.addCabinet({0, -6, 0});
    EXPECT_FALSE(f.editor->Keys.MainFormKeyDown(0, u'r', {}, true));
    EXPECT_FALSE(f.project->ForceCalculation());
    EXPECT_TRUE(f.editor->Keys.MainFormKeyDown(0, u'R', {}, false));
    EXPECT_TRUE(f.project->ForceCalculation());
    ASSERT_TRUE(f.waitCalculated());
}

TEST(RenderControl, ContinuousRenderRepaintsAMovedCabinetByItself) {
    RenderFixture f;
    TMemIniFile ini;
    f.editor->SettingsIni = &ini;
    TMappingZone& zone = f.addZone();
    TCabinet& cab = f.addCabinet({-8, -6, 0});
    TRenderControl& r = f.editor->Render;
    r.ContinuousRenderItem.SetChecked(false);
    r.ContinuousRenderItem.Click();
    EXPECT_TRUE(f.project->ContinuousRender());
    EXPECT_TRUE(ini.ReadBool("Options", "ContinuousRender", false));
    ASSERT_TRUE(f.waitCalculated());
    EXPECT_EQ(r.RenderB.StyleLookup(), "CornerButtonRenderStyle");
    const int w = zone.WidthPixels(), y = zone.DepthPixels() / 2;
    const float leftBefore = zone.MapSum()->MapRealFreq().At(0, 0, y);

    cab.SetPosition({8, -6, 0});
    r.RenderButtonNeedsCalc();
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);
    ASSERT_TRUE(f.waitCalculated());
    // The loud side moved from the left edge to the right one, and the bitmap follows.
    const auto& levels = zone.MapSum()->MapRealFreq();
    EXPECT_LT(levels.At(0, 0, y), leftBefore - 6);
    EXPECT_GT(levels.At(0, w - 1, y), levels.At(0, 0, y) + 6);
    EXPECT_EQ(zone.MapBMP().Pixel(w - 1, y), expectedColour(f, zone, w - 1, y));

    r.ContinuousRenderItem.Click();
    EXPECT_FALSE(f.project->ContinuousRender());
    EXPECT_FALSE(ini.ReadBool("Options", "ContinuousRender", true));
}

TEST(RenderControl, BandAndCentreFrequencyFollowTheLists) {
    RenderFixture f;
    TRenderControl& r = f.editor->Render;
    const auto choose = [&](int band) { r.FreqBandsCombo.UserSelect(band); };
    choose(4); // "1/3 Octave" from the full band
    EXPECT_EQ(r.FreqsCombo.Selected(), "1000 Hz");
    EXPECT_EQ(f.project->FreqToEvaluate(), 1000);
    r.FreqsCombo.UserSelect(r.FreqsCombo.IndexOf("250 Hz"));
    EXPECT_EQ(f.project->FreqToEvaluate(), 250);
    choose(3); // "2/3 Octave" keeps 250 Hz
    EXPECT_EQ(r.FreqsCombo.Selected(), "250 Hz");
    EXPECT_EQ(f.medium.SelectedFreqPoint(), r.FreqsCombo.ItemIndex());
    choose(2);
    r.FreqsCombo.UserSelect(r.FreqsCombo.IndexOf("12500 Hz"));
    choose(1); // 12500 Hz is not in the 2-octave list
    EXPECT_EQ(r.FreqsCombo.Selected(), "1000 Hz");
    choose(0);
    EXPECT_EQ(r.FreqsCombo.Items(), std::vector<std::string>{"20-20Khz"});
    EXPECT_EQ(f.project->MappingBandsType(), TMappingBands::mbFullBand);
}

TEST(RenderControl, RenderQualityItemsSetTheProjectAndCheckOneItem) {
    RenderFixture f;
    TRenderControl& r = f.editor->Render;
    r.VeryLowItem.Click();
    EXPECT_EQ(f.project->RenderQuality(), TRenderQuality::qzaVeryLow);
    EXPECT_TRUE(r.VeryLowItem.Checked());
    EXPECT_FALSE(r.MidItem.Checked());
    EXPECT_EQ(r.RenderB.ImageIndex(), 42);
    EXPECT_FALSE(r.RenderB.IndicatorVisible());
}

} // namespace
} // namespace vendrel
