// What the result charts and the ruler show, without a window: response curves against a numpy table,
// the level axis, the read-out and the point colours; the level distribution; the ruler's read-out and
// bar; the screenshot's names.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <span>
#include <vector>

#include "acoustics/project.h"
#include "acoustics/response_grids.h"
#include "editor/level_distribution.h"
#include "editor/response_curves.h"
#include "editor/ruler_readout.h"
#include "editor/screenshot_names.h"
#include "platform/core/node3d.h"
#include "scene/color_helpers.h"

namespace vendrel {
namespace {

#include "response_curve_tables.inc"

TEST(ResponseCurves, DrawnCurvesMatchTheSmoothedWeightedLevelsAndThePhaseRule) {
    const TDSPSpace& grid = ResponseGrid(TFreqBands::fbOneFortyEigthOctave);
    ASSERT_EQ(grid.NRealFreqPoints(), kCurvePoints);
    const std::vector<int32_t> readIndex = MagReadIndexOf(grid);
    std::vector<int32_t> identity(readIndex.size());
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(readIndex, identity); // every grid frequency is found at its own point

    TCurveDrawing drawing;
    drawing.Smoothing = TFreqBands::fbOneThirdOctave;
    drawing.ReferenceLevel = kCurveReference;
    drawing.PhaseThreshold = kCurveThreshold;
    const std::vector<double> level(std::begin(kCurveLevel), std::end(kCurveLevel));
    TCurvePoints mag, phase, overlayMag, overlayPhase;
    for (bool hide : {true, false}) {
        drawing.HidePhase = hide;
        ResponseCurves(grid, kCurveLevel, kCurvePhase, kCurveWeighting, readIndex, drawing, false, mag,
                       phase);
        ResponseCurves(grid, kCurveLevel, kCurvePhase, kCurveWeighting, readIndex, drawing, true, overlayMag,
                       overlayPhase);
        ASSERT_EQ(mag.Y.size(), size_t(kCurvePoints));
        for (int i = 0; i < kCurvePoints; ++i) {
            EXPECT_EQ(mag.X[size_t(i)], grid.FreqDraw[size_t(i)]);
            EXPECT_NEAR(mag.Y[size_t(i)], kCurveDrawn[i], 1e-9) << "point " << i;
        }
        EXPECT_EQ(overlayMag.Y, mag.Y);
        std::vector<double> expected;
        if (hide) {
            for (int i : kCurvePhaseKept) {
                expected.push_back(grid.FreqDraw[size_t(i)]);
            }
        } else {
            expected.assign(grid.FreqDraw.begin(), grid.FreqDraw.end());
        }
        // The last grid point is kept by the table: a point's phase stops before it, an overlay's not.
        ASSERT_EQ(expected.back(), grid.FreqDraw.back());
        EXPECT_EQ(overlayPhase.X, expected);
        expected.pop_back();
        EXPECT_EQ(phase.X, expected);
        EXPECT_EQ(phase.Y.size(), phase.X.size());
    }
    // The stored levels stay as they were.
    EXPECT_EQ(level, std::vector<double>(std::begin(kCurveLevel), std::end(kCurveLevel)));
}

TEST(ResponseCurves, AxisReadoutSmoothingItemsAndColours) {
    const TLevelAxis axis = LevelAxisAfterResponse(97.3);
    EXPECT_DOUBLE_EQ(axis.Max, 107.3);
    EXPECT_DOUBLE_EQ(axis.Max - axis.Min, 80.0);

    EXPECT_EQ(ResponseReadout(999.6, 84.256, 20, 20000, 40, 120, {}), "1000 Hz  |  84.3 dB");
    EXPECT_EQ(ResponseReadout(1000, 84.25, 20, 20000, 40, 120, {','}), "1000 Hz  |  84,3 dB");
    EXPECT_EQ(ResponseReadout(20001, 84, 20, 20000, 40, 120, {}), "");
    EXPECT_EQ(ResponseReadout(1000, 39.9, 20, 20000, 40, 120, {}), "");
    EXPECT_EQ(ResponseReadout(std::nan(""), 60, 20, 20000, 40, 120, {}), "");

    const TFreqBands items[] = {TFreqBands::fbAlluserPoints,   TFreqBands::fbOneTwentyFourOctave,
                                TFreqBands::fbOneTwelveOctave, TFreqBands::fbOneSixOctave,
                                TFreqBands::fbOneThirdOctave,  TFreqBands::fbOneOctave,
                                TFreqBands::fbTwoOctave};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(SmoothingOfItem(i), items[i]);
    }
    EXPECT_FALSE(SmoothingOfItem(7));
    EXPECT_FALSE(SmoothingOfItem(-1));

    const std::vector<TAlphaColor> four = SpectrumColors(4, 0.7f);
    ASSERT_EQ(four.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(four[size_t(i)], HSLtoRGB(0.25f * i, 1.0f, 0.7f));
    }
    EXPECT_TRUE(SpectrumColors(0, 0.7f).empty());
    // Hues i / N in single precision: the third of three is 2 x 0.33333334f.
    EXPECT_EQ(SpectrumColors(3, 0.5f)[2], HSLtoRGB(2.0f * (1.0f / 3.0f), 1.0f, 0.5f));
}

// A zone of one pixel per level.
struct Levels {
    std::vector<float> values;
    std::span<const float> span() const { return values; }
};

TEST(LevelDistribution, BandsEdgesSharesAndStatistics) {
    std::vector<TAlphaColor> palette(300);
    for (size_t i = 0; i < palette.size(); ++i) {
        palette[i] = 0xFF000000u | static_cast<TAlphaColor>(i);
    }
    const TLevelScale scale{101.4, 36.0, 3, palette, 300};
    const Levels a{{98.0f, 101.2f, 20.0f, 95.5f, 70.0f, std::nanf("")}};
    const Levels b{{0.0f, 68.0f, 97.9f}};
    const TLevelDistribution d = LevelDistribution(scale, {a.span(), b.span()}, {});
    ASSERT_EQ(d.NBands(), 12);
    ASSERT_EQ(d.Edges.size(), 13u);
    EXPECT_EQ(d.Edges[0], 101);
    EXPECT_EQ(d.Edges[1], 98);
    EXPECT_EQ(d.Edges[11], 68);
    EXPECT_EQ(d.Edges[12], 0);
    // 98.0 and 97.9 in (95, 98]; 95.5 too; 101.2 above the top and 0 dB in no band; 20 and 68 in the last.
    EXPECT_EQ(d.Counts[0], 0.0f);
    EXPECT_EQ(d.Counts[1], 3.0f);
    EXPECT_EQ(d.Counts[10], 1.0f); // 70 in (68, 71]
    EXPECT_EQ(d.Counts[11], 2.0f);
    EXPECT_EQ(d.Total, 8); // the NaN pixel counts nowhere
    // Mean and sample deviation (numpy: np.mean, np.std(ddof=1) of the eight levels).
    EXPECT_NEAR(d.Mean, 68.82499980926514, 1e-9);
    EXPECT_NEAR(d.Deviation, 38.87535923789653, 1e-9);
    EXPECT_EQ(d.AverageText, "Average: 68.8 dB");
    EXPECT_EQ(d.PlusDeviation, "Av+Std dev: 107.7 dB");
    EXPECT_EQ(d.MinusDeviation, "Av-Std dev: 29.9 dB");
    EXPECT_EQ(d.BarLabel(1), "50 %");
    EXPECT_EQ(d.BarLabel(10), "16.7 %");
    EXPECT_DOUBLE_EQ(d.BarX(0), 99.5);
    EXPECT_DOUBLE_EQ(d.AxisMax(), 101);
    EXPECT_DOUBLE_EQ(d.AxisMin(), 65);
    EXPECT_EQ(d.Colors[0], palette[0]);
    EXPECT_EQ(d.Colors[6], palette[150]); // Trunc(6 x 300 / 12)

    // One pixel: deviation 0; nothing counted: hidden with empty texts.
    const Levels one{{80.0f}};
    const TLevelDistribution single = LevelDistribution(scale, {one.span()}, {','});
    EXPECT_EQ(single.Deviation, 0.0);
    EXPECT_EQ(single.MinusDeviation, "Av-Std dev: 80,0 dB");
    const Levels none{{std::nanf("")}};
    const TLevelDistribution empty = LevelDistribution(scale, {none.span()}, {});
    EXPECT_FALSE(empty.Visible);
    EXPECT_TRUE(empty.AverageText.empty());

    const TLevelDistribution six = LevelDistribution({100, 24, 6, palette, 300}, {one.span()}, {});
    ASSERT_EQ(six.NBands(), 4);
    EXPECT_DOUBLE_EQ(six.BarX(2), 88 - 3);
    EXPECT_EQ(BarLabelStep(1, 999), 2);
    EXPECT_EQ(BarLabelStep(1, 1000), 1);
    EXPECT_EQ(BarLabelStep(3, 500), 1);
}

TEST(Ruler, ReadoutInTheUnitAndABarFromTheFirstPoint) {
    const TPoint3D first(1, -2, 3), second(4, 2, -9);
    const TRulerTexts m = RulerTexts(first, second, 1.0, "m", {});
    EXPECT_EQ(m.Dist, " Dist:  13.00 m  ");
    EXPECT_EQ(m.DX, "   dX:  3.00 m  ");
    EXPECT_EQ(m.DY, "   dY:  12.00 m  "); // the scene's Z
    EXPECT_EQ(m.DZ, "   dZ:  4.00 m  ");  // the scene's vertical Y
    EXPECT_EQ(RulerTexts(second, first, 1.0, "m", {}).DZ, m.DZ);
    const TRulerTexts ft = RulerTexts(first, second, 3.2808398950131235, "ft", {','});
    EXPECT_EQ(ft.Dist, " Dist:  42,65 ft  ");

    // The bar starts at the first point and its far end lies on the second.
    for (const TPoint3D& to : {second, TPoint3D(1, -2, 8), TPoint3D(-3, -2, 3), TPoint3D(1, 5, 3)}) {
        const TRulerBar bar = RulerBarBetween(first, to);
        ASSERT_TRUE(bar.Visible);
        TControl3D node(nullptr);
        node.SetPosition(bar.Position);
        node.SetRotationCenter(bar.RotationCenter);
        node.SetRotationAngle(bar.RotationAngle);
        const TPoint3D start = node.LocalToAbsolute3D({-bar.Width / 2, 0, 0});
        const TPoint3D end = node.LocalToAbsolute3D({bar.Width / 2, 0, 0});
        EXPECT_NEAR(start.X, first.X, 1e-4);
        EXPECT_NEAR(start.Y, first.Y, 1e-4);
        EXPECT_NEAR(start.Z, first.Z, 1e-4);
        EXPECT_NEAR(end.X, to.X, 1e-4);
        EXPECT_NEAR(end.Y, to.Y, 1e-4);
        EXPECT_NEAR(end.Z, to.Z, 1e-4);
    }
    // Back on the first point: no bar, zeros, nothing that is not a number.
    EXPECT_FALSE(RulerBarBetween(first, first).Visible);
    EXPECT_FALSE(RulerBarBetween(first, TPoint3D(1.0005f, -2, 3)).Visible);
    EXPECT_EQ(RulerTexts(first, first, 1.0, "m", {}).Dist, " Dist:  0.00 m  ");
}

TEST(Screenshot, ProposedNameFileAndCaption) {
    EXPECT_EQ(ScreenshotProposedName("Hall", "1000 Hz", "1/3 Octave", TViewType::qzaThreeDView),
              "Hall @ 1000 Hz 1-3 Octave 3D");
    const struct {
        const char* chosen;
        const char* written;
    } files[] = {
        {"/x/Hall @ 1000 Hz 1-3 Octave 3D", "/x/Hall @ 1000 Hz 1-3 Octave 3D.jpeg"},
        {"/x/Hall 2.0 @ 1000 Hz FullBand Top", "/x/Hall 2.0 @ 1000 Hz FullBand Top.jpeg"},
        {"/x/shot.jpeg", "/x/shot.jpeg"},
        {"/x/shot.JPG", "/x/shot.JPG"},
        {"/x/shot.png", "/x/shot.png.jpeg"},
    };
    for (const auto& c : files) {
        EXPECT_EQ(ScreenshotFileName(c.chosen).string(), c.written);
    }
    EXPECT_EQ(ScreenshotCaption(TViewType::qzaSideView, "FullBand", "1000 Hz"),
              "View: Side    |  Bandwidth: FullBand  |  Center Frequency: 1000 Hz");
    EXPECT_EQ(ScreenshotCaption(TViewType::qzaFrontView, "1 Octave", "63 Hz").substr(0, 12), "View: Front ");
}

} // namespace
} // namespace vendrel
