// Measurement points' and overlays' curves in the response chart, the panel's and rows' commands, and
// overlay files, without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "../acoustics/column_fixture.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/response_grids.h"
#include "acoustics/zone_data.h"
#include "documents_fixture.h"
#include "editor/level_distribution.h"
#include "editor/measure_responses.h"
#include "editor/overlay_files.h"
#include "files/overlay_file.h"
#include "platform/core/atomic_file.h"
#include "scene/color_helpers.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;

const TChartSeries& series(TObject* link) {
    return *static_cast<const TChartSeries*>(link);
}

// A file system whose files cannot be created, as in a folder the user may not write.
struct ReadOnlyFolder : IFileSystem {
    std::unique_ptr<IWritableFile> CreateNew(const fs::path& p) override {
        throw EFileError("Cannot create the file \"" + p.string() + "\": Permission denied");
    }
    void Replace(const fs::path&, const fs::path&) override {}
    void Remove(const fs::path&) noexcept override {}
};

struct ResponsesFixture : ::testing::Test {
    testing::EditorFixture f;
    TResponseChart chart;
    uint8_t newOverlayColor = 5;
    TMeasureResponses responses{*f.project, chart, newOverlayColor};
    std::unique_ptr<TCabModel> model = testing::OmniModel(f.medium, *f.project, 1, 0.0);

    ResponsesFixture() {
        f.project->SetContinuousRender(false);
        f.project->SetEventsEnabled(true);
    }

    TCabinet& addCabinet(const TPoint3D& at) {
        TCabinet& cab =
            *f.project->AddCabinet(model.get(), at, TPoint3D(), false, TCabPlacement::qzaVertical, 0, true);
        cab.SetActive(true);
        return cab;
    }

    // A point with its series whose response has arrived (computed here, on this thread).
    TMicPoint& pointWithResponse(const TPoint3D& at) {
        TMicPoint& mic = *f.project->AddMeasurePoint(at, 0xFF00FF00, false, 0.0f);
        mic.CancelMicThreadAndWait();
        responses.AddMicSeries(mic);
        EXPECT_TRUE(mic.GetMicMeassureMagPh(0.0));
        responses.MicResponseReceived(mic);
        return mic;
    }
};

TEST_F(ResponsesFixture, APointsCurvesFollowItsResponseWeightingAndThePhaseRule) {
    // Two sources at different distances: a comb of notches in the point's level.
    addCabinet(TPoint3D(0, -2, 0));
    addCabinet(TPoint3D(0, -2, 1.5f));
    TMicPoint& mic = pointWithResponse(TPoint3D(8, -1.2f, 3));
    const double peak =
        *std::max_element(mic.MagnitudePointAllFreqs().begin(), mic.MagnitudePointAllFreqs().end());
    f.project->SetMaxdBSPL(std::round(peak) + 20); // the threshold 4 dB below the peak
    responses.MicResponseReceived(mic);
    const TDSPSpace& grid = *f.project->DSPSpaceForMicGraphs();
    const auto n = static_cast<size_t>(grid.NRealFreqPoints());
    const TChartSeries& mag = series(mic.MagSerie());
    const TChartSeries& phase = series(mic.PhaseSerie());
    ASSERT_EQ(mag.Points.Y.size(), n);
    EXPECT_TRUE(mag.Active);
    EXPECT_EQ(mag.PenWidth, 2.0);
    EXPECT_EQ(phase.Color, WithOpacity(0xFF00FF00, 0.5));
    // The axis: 80 dB deep, its top 10 dB above the highest level.
    double highest = -1e9;
    for (double y : mag.Points.Y) {
        highest = std::max(highest, y);
    }
    EXPECT_DOUBLE_EQ(chart.LeftAxis.Max, highest + 10);
    EXPECT_DOUBLE_EQ(chart.LeftAxis.Max - chart.LeftAxis.Min, 80);

    // The phase is drawn where the raw level lies above the reference minus the threshold, short of the
    // grid's last point; with hiding off, everywhere but there.
    const double reference = CurveReferenceLevel(*f.project);
    size_t above = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        above += mic.MagnitudePointAllFreqs()[i] > reference - 24 ? 1 : 0;
    }
    EXPECT_GT(above, 0u);
    EXPECT_LT(above, n - 1);
    EXPECT_EQ(phase.Points.X.size(), above);
    responses.HidePhase = false;
    responses.MicResponseReceived(mic);
    EXPECT_EQ(phase.Points.X.size(), n - 1);

    // A-weighting changes the drawn curve by the table, never the stored levels.
    const std::vector<double> stored = mic.MagnitudePointAllFreqs();
    f.project->SetMicSmoothing(TFreqBands::fbAlluserPoints);
    responses.MicResponseReceived(mic);
    const std::vector<double> flat = mag.Points.Y;
    f.project->SetMicWeightening(TWeightening::AWeigthed);
    responses.MicResponseReceived(mic);
    for (size_t i = 0; i < n; i += 37) {
        EXPECT_NEAR(mag.Points.Y[i] - flat[i], f.project->WeighteningTable()[i], 1e-9) << i;
    }
    EXPECT_EQ(mic.MagnitudePointAllFreqs(), stored);
    f.project->SetMicWeightening(TWeightening::unWeigthed);
    responses.MicResponseReceived(mic);
    EXPECT_EQ(mag.Points.Y, flat);

    // "Show Phase" off hides every phase curve; on again shows only those of visible points.
    TMicPoint& hidden = pointWithResponse(TPoint3D(2, -1, 2));
    responses.ShowMic(hidden, false);
    responses.SetShowPhase(false);
    EXPECT_FALSE(series(mic.PhaseSerie()).Active);
    responses.SetShowPhase(true);
    EXPECT_TRUE(series(mic.PhaseSerie()).Active);
    EXPECT_FALSE(series(hidden.PhaseSerie()).Active);
    EXPECT_FALSE(series(hidden.MagSerie()).Active);
}

TEST_F(ResponsesFixture, OverlaysCapturePresetColoursRefusalsAndRemoval) {
    addCabinet(TPoint3D(0, -2, 0));
    TMicPoint& fresh = *f.project->AddMeasurePoint(TPoint3D(4, -1, 0), 0xFFFFFFFF, false, 0.0f);
    fresh.CancelMicThreadAndWait();
    responses.AddMicSeries(fresh);
    // "Set Overlay" before the response arrived: refused.
    EXPECT_EQ(responses.CaptureCurve(fresh), nullptr);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("not arrived yet"), std::string::npos);
    EXPECT_EQ(f.project->NOverlays(), 0);

    TMicPoint& mic = pointWithResponse(TPoint3D(6, -1, 1));
    f.project->AddOverlay(0xFF123456, false);
    f.project->AddOverlay(0xFF123456, false);
    TOverlay* captured = responses.CaptureCurve(mic);
    ASSERT_NE(captured, nullptr);
    EXPECT_EQ(captured->Name(), "No Name 3");
    EXPECT_EQ(captured->Mag(), mic.MagnitudePointAllFreqs());
    const TChartSeries& mag = series(captured->MagFLSerie());
    const TChartSeries& phase = series(captured->PhaseFLSerie());
    EXPECT_TRUE(mag.Active);
    EXPECT_EQ(mag.PenWidth, 2.7);
    // An overlay's phase reaches the grid's last point: one point more than its point's.
    responses.HidePhase = false;
    responses.MicResponseReceived(mic);
    responses.ShowOverlay(captured);
    EXPECT_EQ(phase.Points.X.size(), series(mic.PhaseSerie()).Points.X.size() + 1);

    // After a change of resolution the point's curves hold no response until the new one arrives.
    f.project->SetMagResolution(2);
    f.boxes.shown.clear();
    EXPECT_EQ(responses.CaptureCurve(mic), nullptr);
    EXPECT_EQ(f.boxes.shown.size(), 1u);
    mic.CancelMicThreadAndWait();
    f.project->SetMagResolution(0);
    mic.CancelMicThreadAndWait();

    // Preset colours start where the counter stands and wrap after ten.
    const std::vector<double> curve(static_cast<size_t>(f.project->NFreqPointsMicGraph()), 50.0);
    std::vector<TAlphaColor> colors;
    for (int i = 0; i < 11; ++i) {
        colors.push_back(responses.AddOverlay(curve, curve, 0, false, "o", true, true)->Color());
    }
    EXPECT_EQ(colors[0], responses.DefaultOverlaysColors[5]);
    EXPECT_EQ(colors[5], responses.DefaultOverlaysColors[0]);
    EXPECT_EQ(colors[10], responses.DefaultOverlaysColors[5]);

    // Removal takes the series out and numbers the rest again.
    const size_t before = chart.Series().size();
    responses.RemoveOverlay(captured);
    EXPECT_EQ(chart.Series().size(), before - 2);
    for (size_t i = 0; i < f.project->Overlays().size(); ++i) {
        EXPECT_EQ(f.project->Overlays()[i]->IDnumber(), static_cast<int32_t>(i));
    }

    // The 256th overlay is refused when made: the project stays savable.
    while (f.project->NOverlays() < kMaxOverlays) {
        f.project->AddOverlay(0, false);
    }
    f.boxes.shown.clear();
    EXPECT_EQ(responses.AddOverlay(curve, curve, 0, false, "one too many", true, false), nullptr);
    EXPECT_EQ(f.project->NOverlays(), kMaxOverlays);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("255 overlays"), std::string::npos);
}

TEST_F(ResponsesFixture, SmoothingAndWeightingChoicesRedrawOverlaysOnlyWhenTheyMayAndChange) {
    const std::vector<double> curve(static_cast<size_t>(f.project->NFreqPointsMicGraph()), 60.0);
    TOverlay* o = responses.AddOverlay(curve, curve, 0xFFFFFFFF, false, "o", true, false);
    responses.ShowOverlay(o);
    TChartSeries& mag = *static_cast<TChartSeries*>(o->MagFLSerie());
    const auto drawn = [&] { return mag.Points.Y[100]; };
    EXPECT_DOUBLE_EQ(drawn(), 60.0);

    bool starting = true;
    responses.InitiatingSystem = [&] { return starting; };
    responses.WeightingChosen(1);
    EXPECT_EQ(f.project->MicWeightening(), TWeightening::unWeigthed); // the program is still starting
    starting = false;
    f.project->SetEventsEnabled(false);
    responses.WeightingChosen(1);
    EXPECT_EQ(f.project->MicWeightening(), TWeightening::unWeigthed); // events off
    f.project->SetEventsEnabled(true);
    responses.WeightingChosen(1);
    EXPECT_EQ(f.project->MicWeightening(), TWeightening::AWeigthed);
    EXPECT_DOUBLE_EQ(drawn(), 60.0 + f.project->WeighteningTable()[100]);
    responses.SmoothingChosen(0);
    EXPECT_EQ(f.project->MicSmoothing(), TFreqBands::fbAlluserPoints);
    responses.SmoothingChosen(9); // no such item
    EXPECT_EQ(f.project->MicSmoothing(), TFreqBands::fbAlluserPoints);
}

TEST_F(ResponsesFixture, FindDelayWithoutAnActiveCabinetKeepsTheDelayAndSaysSo) {
    TMicPoint& mic = *f.project->AddMeasurePoint(TPoint3D(10, -1, 0), 0xFFFFFFFF, false, 2.5f);
    mic.CancelMicThreadAndWait();
    EXPECT_FALSE(responses.FindDelay(mic));
    EXPECT_EQ(mic.MicDelay_ms(), 2.5f);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("no active cabinet"), std::string::npos);

    addCabinet(TPoint3D(0, -1, 0));
    EXPECT_TRUE(responses.FindDelay(mic));
    EXPECT_NEAR(mic.MicDelay_ms(), 9.0 / f.medium.SpeedOfSound() * 1000, 0.5); // one metre is the reference
    EXPECT_NEAR(responses.GetDistanceMicToCabinets(mic), 10.0, 1e-5);
    mic.CancelMicThreadAndWait();
}

TEST_F(ResponsesFixture, AutomaticColoursSpreadOverTheHueCircle) {
    std::vector<TMicPoint*> mics;
    std::vector<TMicPoint*> coloured;
    responses.OnMicColorChanged = [&](TMicPoint& m) { coloured.push_back(&m); };
    responses.AssignVendrelColorsInMics(0.7f); // no point: nothing to colour
    EXPECT_TRUE(coloured.empty());
    for (int i = 0; i < 4; ++i) {
        mics.push_back(f.project->AddMeasurePoint(TPoint3D(float(i), 0, 0), 0xFFFFFFFF, false, 0.0f));
        mics.back()->CancelMicThreadAndWait();
        responses.AddMicSeries(*mics.back());
    }
    responses.AssignVendrelColorsInMics(0.7f);
    ASSERT_EQ(coloured.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mics[size_t(i)]->Color(), HSLtoRGB(0.25f * i, 1, 0.7f));
        EXPECT_EQ(series(mics[size_t(i)]->PhaseSerie()).Color, WithOpacity(mics[size_t(i)]->Color(), 0.5));
    }
    // The header box ticks every row, not the selection.
    responses.TickAllMics(true);
    EXPECT_EQ(responses.TickedMics().size(), 4u);
    EXPECT_FALSE(mics[0]->IsObjectSelected());
    for (TMicPoint* m : mics) {
        m->CancelMicThreadAndWait();
    }
}

struct OverlayFilesFixture : testing::DocumentsFixture {
    TResponseChart chart;
    uint8_t colorID = 5;
    TMeasureResponses responses{*f.project, chart, colorID};
    TOverlayFiles files{*docs, responses};

    TOverlay* overlay(double level) {
        const std::vector<double> curve(static_cast<size_t>(f.project->NFreqPointsMicGraph()), level);
        return responses.AddOverlay(curve, curve, 0xFF0000FF, false, "L" + std::to_string(int(level)), true,
                                    false);
    }
};

TEST_F(OverlayFilesFixture, SaveWritesTheTickedOverlaysAndImportNumbersThemAfterTheProjects) {
    overlay(60); // not ticked
    TOverlay* b = overlay(70);
    TOverlay* c = overlay(80);
    b->SetCurvesOnGrid(
        TFreqBands::fbOneTwelveOctave,
        std::vector<double>(size_t(ResponseGrid(TFreqBands::fbOneTwelveOctave).NRealFreqPoints()), 70),
        std::vector<double>(size_t(ResponseGrid(TFreqBands::fbOneTwelveOctave).NRealFreqPoints()), 0));
    responses.SetTicked(b, true);
    responses.SetTicked(c, true);
    dialogs.answers = {path("Curves").string()};
    ASSERT_TRUE(files.SaveOverlayActionExecute());
    rOverlayFile written;
    ASSERT_TRUE(OpenOverlayRecord(path("Curves.overlay"), written, "Vendrel"));
    ASSERT_EQ(written.NOverlays, 2);
    EXPECT_EQ(written.Overlays[0].Name, "L70");
    EXPECT_EQ(written.Overlays[1].Name, "L80");
    EXPECT_EQ(written.Overlays[0].NPointsSaved,
              ResponseGrid(TFreqBands::fbOneTwelveOctave).NRealFreqPoints());
    EXPECT_FALSE(written.Overlays[0].IsSelected);
    EXPECT_EQ(TOverlayFiles::WithOverlayExtension("/x/plan.txt"), "/x/plan.overlay");
    EXPECT_EQ(TOverlayFiles::WithOverlayExtension("/x/plan.OVERLAY"), "/x/plan.overlay");

    // Two imported into a project of three: numbered 4 and 5, each on its own grid.
    dialogs.answers = {path("Curves.overlay").string()};
    ASSERT_TRUE(files.ImportOverlayActionExecute());
    ASSERT_EQ(f.project->NOverlays(), 5);
    EXPECT_EQ(f.project->Overlays()[3]->IDnumber(), 4);
    EXPECT_EQ(f.project->Overlays()[4]->IDnumber(), 5);
    EXPECT_EQ(f.project->Overlays()[3]->GridSpacing(), TFreqBands::fbOneTwelveOctave);
    EXPECT_EQ(f.project->Overlays()[4]->Mag(), c->Mag());
    EXPECT_TRUE(series(f.project->Overlays()[4]->MagFLSerie()).Active);

    // A file that cannot be written is reported.
    ReadOnlyFolder readOnly;
    docs->FileSystem = &readOnly;
    dialogs.answers = {path("Other").string()};
    f.boxes.shown.clear();
    EXPECT_FALSE(files.SaveOverlayActionExecute());
    docs->FileSystem = nullptr;
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("could not be saved"), std::string::npos);
    EXPECT_NE(f.boxes.shown[0].text.find("Permission denied"), std::string::npos);
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

// Zones whose summed maps hold one level each: the distribution counts the selected zones only, and a
// zone that is not summed hides the chart.
TEST_F(ResponsesFixture, TheDistributionCountsTheSelectedSummedZones) {
    f.project->SetEventsEnabled(false);
    const auto zoneAt = [&](float x, float level) {
        TMappingZone* zone = f.project->AddMappingZone("Z", TPoint3D(x, 0, 0), TPoint3D(), 4, 2, 0.1, false,
                                                       TSurfaceType::qzaRectangle, true);
        zone->MapSum()->MapRealFreq().Resize(1, zone->WidthPixels(), zone->DepthPixels());
        zone->MapSum()->MapRealFreq().Fill(level);
        zone->StoreMapState(TCalcState::qzaIsSumed);
        return zone;
    };
    TMappingZone* a = zoneAt(0, 90.0f);
    TMappingZone* b = zoneAt(10, 80.0f);
    TMappingZone* c = zoneAt(20, 70.0f);
    f.project->SetMaxdBSPL(100);
    f.project->SetRangedBSPL(36);
    TDistributionChart chart(*f.project, f.state().SelectedObjList, f.state().FormatSettings);
    int redraws = 0;
    chart.OnChanged = [&] { ++redraws; };

    chart.ShowDistribution(3);
    EXPECT_TRUE(chart.Current().Visible);
    const int64_t perZone = int64_t(a->WidthPixels()) * a->DepthPixels();
    EXPECT_EQ(chart.Current().Total, 3 * perZone);
    EXPECT_NEAR(chart.Current().Mean, 80.0, 1e-9);

    f.state().SelectedObjList.Add(c);
    f.state().SelectedObjList.Add(a);
    chart.ShowDistribution(6);
    EXPECT_EQ(chart.Current().Total, 2 * perZone);
    EXPECT_NEAR(chart.Current().Mean, 80.0, 1e-9);
    EXPECT_EQ(chart.Current().NBands(), 6);
    EXPECT_EQ(chart.Current().Counts[1], float(perZone)); // 90 in (88, 94]

    f.state().SelectedObjList.Clear();
    f.state().SelectedObjList.Add(b);
    b->StoreMapState(TCalcState::qzaNeedsCalculate);
    chart.ShowDistribution(1);
    EXPECT_FALSE(chart.Current().Visible);
    EXPECT_TRUE(chart.Current().AverageText.empty());
    EXPECT_EQ(redraws, 3);
    EXPECT_EQ(TDistributionChart::StepsOfItem(0), 1);
    EXPECT_EQ(TDistributionChart::StepsOfItem(2), 6);
    EXPECT_EQ(TDistributionChart::StepsOfItem(3), 0);
    f.state().SelectedObjList.Clear();
}

} // namespace
} // namespace vendrel
