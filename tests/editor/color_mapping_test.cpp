#include "editor/color_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/palettes.h"
#include "platform/core/mem_ini_file.h"
#include "render_fixture.h"

namespace vendrel {
namespace {

using testing::EditorFixture;
using testing::RenderFixture;

TEST(Palettes, EveryRampRunsThroughItsStopsWithLinearChannelsBetween) {
    for (const char* name :
         {"MapVendrel", "MapVendrelComp", "MapFire", "MapWideFire", "MapRedBlue", "MapAltern"}) {
        SCOPED_TRACE(name);
        TBitmap palette;
        LoadPaletteBitmap(palette, name);
        ASSERT_EQ(palette.Width(), 1);
        ASSERT_EQ(palette.Height(), kPaletteEntries);
        const auto& stops = PaletteStops(name);
        for (const TPaletteStop& s : stops) {
            EXPECT_EQ(palette.Pixel(0, s.Entry), s.Color) << "stop " << s.Entry;
        }
        // Halfway between the first two stops, each channel is the mean of theirs (within rounding).
        const TPaletteStop a = stops[0], b = stops[1];
        if (b.Entry - a.Entry >= 2 && (b.Entry - a.Entry) % 2 == 0) {
            const TAlphaColor mid = palette.Pixel(0, (a.Entry + b.Entry) / 2);
            EXPECT_NEAR(RedOf(mid), (RedOf(a.Color) + RedOf(b.Color)) / 2.0, 0.5);
            EXPECT_NEAR(GreenOf(mid), (GreenOf(a.Color) + GreenOf(b.Color)) / 2.0, 0.5);
            EXPECT_NEAR(BlueOf(mid), (BlueOf(a.Color) + BlueOf(b.Color)) / 2.0, 0.5);
        }
        EXPECT_EQ(AlphaOf(palette.Pixel(0, 150)), 255);
    }
    TBitmap untouched(2, 2, TAlphaColors::Red);
    EXPECT_THROW(LoadPaletteBitmap(untouched, "MapNone"), std::invalid_argument);
    EXPECT_EQ(untouched.Width(), 2);
}

TEST(Palettes, LevelsTakeTheRoundedEntryWithinThePaletteWhateverTheirValue) {
    const double k = 300.0 / 36.0; // range 36 dB
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double level;
        int32_t entry;
    } cases[] = {
        {110, 0},    {92, 150}, {70, 299},     {115, 0},   {std::nan(""), 299},
        {-inf, 299}, {inf, 0},  {-1e300, 299}, {1e300, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PaletteIndexOf(c.level, 110, k, 300), c.entry) << "level " << c.level;
    }
    // Ties go to the even entry (one entry a dB).
    for (const auto& [level, entry] : {std::pair{109.5, 0}, {108.5, 2}, {107.5, 2}, {110 - 298.5, 298}}) {
        EXPECT_EQ(PaletteIndexOf(level, 110, 1.0, 300), entry) << "level " << level;
    }
    // A span of no width gives a product that is not a number for every value at the maximum.
    EXPECT_EQ(PaletteIndexOf(5, 5, inf, 300), 299);
}

TEST(Palettes, StepsGiveEachEntryTheColourOfItsStepsFirstEntry) {
    const double threedB = PaletteStepWidth(300, 36, 3); // 25 entries a step
    EXPECT_DOUBLE_EQ(threedB, 25.0);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(SteppedPaletteEntry(i, threedB), i / 25 * 25) << i;
    }
    EXPECT_EQ(SteppedPaletteEntry(9, PaletteStepWidth(300, 36, 1)), 8);
    EXPECT_EQ(SteppedPaletteEntry(299, PaletteStepWidth(300, 36, 0)), 299);
}

TEST(Palettes, RangeAndMaximumAreLimitedAsTheirBoxesLimitThem) {
    const struct {
        double in, range;
    } ranges[] = {{20, 18}, {15, 12}, {21, 24}, {36, 36}, {0, 6}, {-40, 6}, {100, 54}, {1e308, 54}};
    for (const auto& c : ranges) {
        EXPECT_EQ(ValidRangedB(c.in), c.range) << c.in;
    }
    EXPECT_EQ(ValidRangedB(std::nan(""), 30), 30);
    EXPECT_EQ(ValidMaxdB(0), 6);
    EXPECT_EQ(ValidMaxdB(250), 200);
    EXPECT_EQ(ValidMaxdB(104.5), 104);
    EXPECT_EQ(ValidMaxdB(std::numeric_limits<double>::infinity(), 6, 90), 90);
}

TEST(ColorMapping, StepsRangeAndPaletteReachTheColoursAndTheSettings) {
    EditorFixture f;
    TMemIniFile ini;
    f.editor->SettingsIni = &ini;
    TColorMapping& c = f.editor->Colors;
    c.PaletteItemClick(2);
    EXPECT_TRUE(c.WideFireItem.Checked());
    EXPECT_FALSE(c.VendrelItem.Checked());
    EXPECT_EQ(ini.ReadInteger("Options", "MappingColors", -1), 2);

    c.ColorStepsComboBox.UserSelect(2); // "3 dB"
    EXPECT_EQ(c.ColorMapStepsdB, 3);
    EXPECT_EQ(ini.ReadInteger("Options", "ColorSteps", -1), 2);
    TBitmap raw;
    LoadPaletteBitmap(raw, "MapWideFire");
    const auto& colours = f.project->MappingColors();
    ASSERT_EQ(colours.size(), 300u);
    for (int i : {0, 24, 25, 49, 50, 299}) {
        EXPECT_EQ(colours[static_cast<size_t>(i)], raw.Pixel(0, i / 25 * 25)) << i;
        EXPECT_EQ(c.ColorPaletteBMP.Pixel(0, i), colours[static_cast<size_t>(i)]);
    }

    // Typed ranges are rounded to multiples of 6, halves to even, and reach the project.
    for (const auto& [typed, kept] : {std::pair{20.0, 18.0}, {15.0, 12.0}, {21.0, 24.0}}) {
        c.SPLRangeBox.SetValue(typed);
        EXPECT_EQ(c.SPLRangeBox.Value(), kept);
        EXPECT_EQ(f.project->RangedBSPL(), kept);
    }
    // 24 dB in 3 dB steps: 8 steps of 37.5 entries.
    EXPECT_EQ(colours[37], raw.Pixel(0, 0));
    EXPECT_EQ(colours[38], raw.Pixel(0, 37));
}

TEST(ColorMapping, StoredScaleAndResolutionAreLimitedWhereTheyEnter) {
    EditorFixture f;
    TColorMapping& c = f.editor->Colors;
    c.SetLevelScale(std::nan(""), 0);
    EXPECT_EQ(f.project->RangedBSPL(), 6);
    EXPECT_EQ(f.project->MaxdBSPL(), 110);
    EXPECT_EQ(c.SPLRangeBox.Value(), 6);
    c.SetLevelScale(1e9, 41);
    EXPECT_EQ(f.project->MaxdBSPL(), 200);
    EXPECT_EQ(f.project->RangedBSPL(), 42);
    EXPECT_EQ(c.MaxdBuEdit.Value(), 200);

    c.PaletteItemClick(0);
    f.project->SetMappingColorsRes(0);
    EXPECT_EQ(f.project->MappingColorsRes(), 300);
    // A palette built over a range the project holds as 0 (a damaged file) divides by no zero.
    f.project->SetRangedBSPL(0);
    EXPECT_NO_THROW(c.ColorStepsComboBox.UserSelect(1));
    EXPECT_EQ(f.project->MappingColors().size(), 300u);
}

} // namespace
} // namespace vendrel
