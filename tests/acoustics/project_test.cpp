#include "acoustics/project.h"

#include <gtest/gtest.h>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/sound_system.h"
#include "dsp/biquad.h"
#include "dsp/fir.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "dsp/smoothing.h"
#include "model_fixture.h"
#include "platform/core/numeric.h"
#include "platform/core/worker_thread.h"

namespace vendrel {
namespace {

using testing::ModelFixture;

TEST(Project, NewProjectHasTheDefaultOptionsGridsAndAverages) {
    ModelFixture f;
    const TAcousticProject& p = *f.project;
    EXPECT_EQ(p.FreqToEvaluate(), 1000);
    EXPECT_EQ(p.MappingBandsType(), TMappingBands::mbOneOctave);
    EXPECT_EQ(p.FreqsAverage(), (std::vector<int32_t>{710, 800, 900, 1000, 1125, 1250, 1400}));
    EXPECT_EQ(p.NFreqsAverage(), 7);
    EXPECT_EQ(p.RenderQuality(), TRenderQuality::qzaMedium);
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 0.08); // the quality is stored, not applied
    EXPECT_TRUE(p.ContinuousRender());
    EXPECT_TRUE(p.AvoidPhaseAliasing());
    EXPECT_EQ(p.MaxFreqNoAliasing(), 115);
    EXPECT_TRUE(p.IsComplexSum());
    EXPECT_TRUE(p.SPLNormalized());
    EXPECT_DOUBLE_EQ(p.MaxdBSPL(), 110.0);
    EXPECT_DOUBLE_EQ(p.RangedBSPL(), 36.0);
    EXPECT_FLOAT_EQ(p.MaxUsagePercent(), 0.999f);
    EXPECT_EQ(p.AllMapsState(), TCalcState::qzaNeedsCalculate);
    EXPECT_TRUE(p.EventsEnabled());
    EXPECT_FALSE(p.IsProjectModified());
    EXPECT_EQ(f.medium.MyAcousticProject(), f.project.get());
    EXPECT_EQ(f.medium.FreqsNormalized().size(), 54u); // the one-octave centres, 31 .. 14000 Hz

    EXPECT_EQ(p.DSPSpace48k()->iSampleRate(), 48000);
    EXPECT_EQ(p.DSPSpace96k()->iSampleRate(), 96000);
    EXPECT_EQ(p.DSPSpace192k()->iSampleRate(), 192000);
    EXPECT_EQ(p.DSPSpace48k()->BandPerOctave(), TFreqBands::fbOneTwentyFourOctave);
    EXPECT_EQ(p.DSPSpaceForMicGraphs()->BandPerOctave(), TFreqBands::fbOneFortyEigthOctave);
    EXPECT_EQ(p.NFreqPointsMicGraph(), p.DSPSpaceForMicGraphs()->NRealFreqPoints());
    EXPECT_EQ(p.WeighteningTable().size(), static_cast<size_t>(p.NFreqPointsMicGraph()));
    EXPECT_EQ(p.MappingColors().size(), 100u);
    EXPECT_EQ(p.BypassProcess()->Name(), "Bypass");
    EXPECT_EQ(p.BypassProcess()->NumberID(), 0);
    EXPECT_EQ(p.BypassProcess()->DSPSpace(), p.DSPSpace48k());
    EXPECT_EQ(p.AllMapsThread().Name(), "SumAllMapsThread");
    EXPECT_EQ(p.AllMapsThread().StopMode, TThreadStopMode::smTerminate);
    EXPECT_EQ(p.AllMapsThread().Priority, TThreadPriority::tpLowest);
    EXPECT_FALSE(p.AllMapsThread().Loop);
}

// A painted zone (summed, not cleared) and the options that must clear it when they change.
TEST(Project, OptionChangesThatInvalidateMapsClearThePaintedZones) {
    struct Case {
        const char* name;
        void (*change)(TAcousticProject&);
    };
    const Case cases[] = {
        {"PressureSumType",
         [](TAcousticProject& p) { p.SetPressureSumType(TPressureSumType::qzaEnergySum); }},
        {"GenNoiseType", [](TAcousticProject& p) { p.SetGenNoiseType(TGenNoiseType::qzaBandLimitPink); }},
        {"AvoidPhaseAliasing", [](TAcousticProject& p) { p.SetAvoidPhaseAliasing(false); }},
        {"FreqToEvaluate", [](TAcousticProject& p) { p.SetFreqToEvaluate(2000); }},
        {"MappingBandsType",
         [](TAcousticProject& p) { p.SetMappingBandsType(TMappingBands::mbOneThirdOctave); }},
    };
    for (const Case& c : cases) {
        ModelFixture f;
        TMappingZone& zone = f.addZone(4.0f, 4.0f);
        zone.SetIsMapCleared(false);
        zone.StoreMapState(TCalcState::qzaIsSumed);
        c.change(*f.project);
        EXPECT_TRUE(zone.IsMapCleared()) << c.name;
        EXPECT_EQ(zone.MapState(), TCalcState::qzaCalculated) << c.name;
        ModelFixture::expectBuffersMatchGrid(zone);
    }
}

TEST(Project, OptionsThatDoNotInvalidateLeaveThePaintedZonesAlone) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    zone.SetIsMapCleared(false);
    zone.StoreMapState(TCalcState::qzaIsSumed);
    f.project->SetViewType(TViewType::qzaTopView);
    f.project->SetMaxFreqforRealPhase(500);
    f.project->SetPressureSumType(TPressureSumType::qzaComplexSum); // unchanged
    f.project->SetFreqToEvaluate(1000);                             // unchanged
    EXPECT_FALSE(zone.IsMapCleared());
    EXPECT_EQ(zone.MapState(), TCalcState::qzaIsSumed);
}

TEST(Project, FreqToEvaluateIsClampedAfterTheComparison) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    f.project->SetFreqToEvaluate(30000);
    EXPECT_EQ(f.project->FreqToEvaluate(), 20000);
    EXPECT_EQ(f.medium.Freq(), 20000);
    zone.SetIsMapCleared(false);
    f.project->SetFreqToEvaluate(30000); // differs from the stored 20000, so the setter runs again
    EXPECT_TRUE(zone.IsMapCleared());
    EXPECT_EQ(f.project->FreqToEvaluate(), 20000);
    f.project->SetFreqToEvaluate(5);
    EXPECT_EQ(f.project->FreqToEvaluate(), 20);
}

// The re-sized bitmap of every zone is painted with its no-map colour, also when it was cleared.
TEST(Project, RenderQualitySetsThePixelSizeAndRepaintsTheMaps) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    zone.SetIsMapCleared(true);
    zone.SetNoMapColor(0xFF445566);
    f.project->SetRenderQuality(TRenderQuality::qzaHigh);
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 0.1);
    EXPECT_TRUE(zone.IsMapCleared());
    EXPECT_EQ(zone.MapBMP().Pixel(39, 39), 0xFF445566u);
    EXPECT_EQ(zone.MapMaterial()->Texture(), zone.MapBMP());
    EXPECT_EQ(zone.WidthPixels(), 40);
    ModelFixture::expectBuffersMatchGrid(zone);
    EXPECT_EQ(f.project->MaxFreqNoAliasing(), 1731); // c / (2 x 0.1 m) at 25 degrees C
    EXPECT_THROW(f.project->SetRenderQuality(static_cast<TRenderQuality>(5)), ERangeError);
}

TEST(Project, PixelSizeChangeWithEventsOffKeepsTheSizeAndTheBuffers) {
    ModelFixture f;
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    const int32_t widthPx = zone.WidthPixels();
    f.project->SetEventsEnabled(false);
    f.medium.SetPixelToMeters(0.5);
    EXPECT_DOUBLE_EQ(f.medium.PixelToMeters(), 0.08);
    EXPECT_EQ(zone.WidthPixels(), widthPx);
    ModelFixture::expectBuffersMatchGrid(zone); // released by the change, sized again for the grid kept
}

TEST(Project, ModifiedEventFiresOnlyOnAChange) {
    ModelFixture f;
    int calls = 0;
    f.project->SetOnProjectModified([&](TAcousticProject& sender) {
        EXPECT_EQ(&sender, f.project.get());
        ++calls;
    });
    f.project->SetIsProjectModified(false);
    EXPECT_EQ(calls, 0);
    f.project->SetIsProjectModified(true);
    f.project->SetIsProjectModified(true);
    EXPECT_EQ(calls, 1);
}

TEST(Project, SmallOptionEffects) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    p.SetSPLNormalized(false);
    p.SetSPLNormalized(true); // no zones: the largest maximum is 0
    EXPECT_DOUBLE_EQ(p.MaxdBSPL(), 0.0);

    std::vector<TAlphaColor> colors = p.MappingColors();
    colors[3] = 0xFF123456;
    p.SetMappingColors(colors);
    p.SetMappingColorsRes(120);
    EXPECT_EQ(p.MappingColors().size(), 120u);
    EXPECT_EQ(p.MappingColors()[3], 0xFF123456u);
    EXPECT_EQ(p.MappingColors()[119], 0u);

    p.SetMemMinGuaranteed(500.0);
    p.SetMaxUsagePercent(0.5f);
    EXPECT_EQ(p.MemMinGuaranteed(), 0.0);

    EXPECT_TRUE(p.GetMap3D(-1));
    EXPECT_THROW(p.FreqToPoint(-1), ERangeError);
}

TEST(Project, BreadcrumbIsReadAndWrittenWhole) {
    ModelFixture f;
    f.project->SetLastLogString("MainForm.ReadLibraryFiles");
    EXPECT_EQ(f.project->LastLogString(), "MainForm.ReadLibraryFiles");
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

TEST(Project, TotalCabinetsCountsEveryGroup) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    TCabModel model(&f.medium, &p);
    model.SetAllowedAnglesFlown({0.0});
    f.addCabinet();
    f.addCabinet();
    auto array = std::make_unique<TCabArray>(&f.medium, &p);
    for (int i = 0; i < 8; ++i) {
        array->AddCabinet(&model, true);
    }
    p.AddArray(std::move(array));
    auto cluster = std::make_unique<TCluster>(&f.medium, &p, &model, TCabPlacement::qzaVertical);
    cluster->SetQuantityH(4);
    p.AddCluster(std::move(cluster));
    EXPECT_EQ(p.TotalCabinets(), 14);
    int visited = 0;
    p.ForEachCabinet([&](TCabinet&) { ++visited; });
    EXPECT_EQ(visited, 14);
}

// With a cabinet present, an option change marks every zone for a new calculation and gives every
// cabinet a buffer of the zone's grid per averaged frequency.
TEST(Project, OptionChangesMarkEveryZoneForCalculationWhenSourcesExist) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    p.SetContinuousRender(false); // requests are stored, no thread is started
    f.addCabinet();
    TMappingZone& a = f.addZone(4.0f, 4.0f);
    TMappingZone& b = f.addZone(2.0f, 6.0f);
    p.SetFreqToEvaluate(500); // one octave around 500 Hz
    for (TMappingZone* zone : {&a, &b}) {
        EXPECT_EQ(zone->MapState(), TCalcState::qzaNeedsCalculate);
        const TZoneData& buffer = *p.Cabinets()[0]->MapData().at(static_cast<size_t>(zone->ZoneIndexID()));
        EXPECT_EQ(buffer.NFreqs(), p.NFreqsAverage());
        EXPECT_EQ(buffer.WidthPixels(), zone->WidthPixels());
        EXPECT_EQ(buffer.DepthPixels(), zone->DepthPixels());
        EXPECT_EQ(buffer.MapRealFreq().size(),
                  static_cast<size_t>(p.NFreqsAverage()) * zone->WidthPixels() * zone->DepthPixels());
    }
    for (TMappingZone* zone : {&a, &b}) {
        zone->StoreMapState(TCalcState::qzaIsSumed);
    }
    p.SetGenNoiseType(TGenNoiseType::qzaBandLimitPink);
    EXPECT_EQ(a.MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(b.MapState(), TCalcState::qzaNeedsCalculate);

    // The on-axis phase choice is an input of the maps too.
    for (TMappingZone* zone : {&a, &b}) {
        zone->StoreMapState(TCalcState::qzaIsSumed);
    }
    p.SetForceUseAxisPhase(true);
    EXPECT_EQ(a.MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_EQ(b.MapState(), TCalcState::qzaNeedsCalculate);

    // Frequencies set directly: every buffer takes their count.
    p.SetFreqsAverage({250, 1000, 4000});
    for (TMappingZone* zone : {&a, &b}) {
        EXPECT_EQ(zone->MapSum()->NFreqs(), 3);
        EXPECT_EQ(p.Cabinets()[0]->MapData().at(static_cast<size_t>(zone->ZoneIndexID()))->NFreqs(), 3);
    }
}

TEST(Project, AirLossChangeRecalculatesOnlyWithEvents) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    p.SetContinuousRender(false);
    f.addCabinet();
    TMappingZone& zone = f.addZone(4.0f, 4.0f);
    zone.StoreMapState(TCalcState::qzaIsSumed);
    p.SetEventsEnabled(false);
    f.medium.SetAirLoss(false);
    EXPECT_EQ(zone.MapState(), TCalcState::qzaIsSumed);
    p.SetEventsEnabled(true);
    p.SetIsProjectModified(false);
    f.medium.SetAirLoss(true);
    EXPECT_EQ(zone.MapState(), TCalcState::qzaNeedsCalculate);
    EXPECT_TRUE(p.IsProjectModified());
}

TEST(Project, NearestAllowedSplayAngle) {
    ModelFixture f;
    TCabModel model(&f.medium, f.project.get());
    model.SetAllowedAnglesFlown({0, 1, 2, 3, 4, 5, 7.5, 10});
    model.SetAllowedAnglesFirstCabFlown({-2, 0, 2});
    auto cabinet =
        std::make_unique<TCabinet>(&f.medium, nullptr, f.project.get(), TPoint3D(), TPoint3D(), false,
                                   TCabPlacement::qzaVertical, true, f.project->BypassProcess(), 0);
    cabinet->SetModel(&model);
    struct Case {
        bool first;
        double wanted;
        int32_t index;
        double angle;
    };
    const Case cases[] = {
        {false, 6.25, 5, 5.0}, // 5 and 7.5 tie: the earlier wins
        {false, 12.0, 7, 10.0}, {false, -3.0, 0, 0.0},
        {false, 7.4, 6, 7.5},   {true, -1.0, 0, -2.0}, // -2 and 0 tie
        {true, 1.5, 2, 2.0},
    };
    for (const Case& c : cases) {
        double out = 99.0, deviation = 99.0;
        EXPECT_EQ(f.project->GetNearestSplayAngleInCabinet(*cabinet, c.first, c.wanted, out, deviation),
                  c.index)
            << c.wanted;
        EXPECT_DOUBLE_EQ(out, c.angle);
        EXPECT_DOUBLE_EQ(deviation, c.angle - c.wanted);
    }
    model.SetAllowedAnglesFlown({});
    double out = 99.0, deviation = 99.0;
    EXPECT_EQ(f.project->GetNearestSplayAngleInCabinet(*cabinet, false, 3.0, out, deviation), -1);
    EXPECT_EQ(out, 99.0);
    EXPECT_EQ(deviation, 99.0);
    cabinet->SetModel(nullptr);
}

TEST(Project, MeasurementWeightingFillsAndEmptiesTheTable) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    p.SetMicWeightening(TWeightening::AWeigthed);
    ASSERT_EQ(p.WeighteningTable().size(), static_cast<size_t>(p.NFreqPointsMicGraph()));
    EXPECT_NEAR(p.WeighteningTable().front(), -50.4, 1e-5); // 20 Hz
    p.SetMicWeightening(TWeightening::unWeigthed);
    for (const double v : p.WeighteningTable()) {
        EXPECT_EQ(v, 0.0);
    }
}

// The response resolution as the preferences choose it: the grid's spacing, and everything sized from the
// grid following it (a user process is compared with one built on that grid from the start).
TEST(Project, MagResolutionSizesEverythingFromTheResponseGrid) {
    ModelFixture f;
    TAcousticProject& p = *f.project;
    p.SetMicWeightening(TWeightening::AWeigthed);
    TGenericDSPProcess& process = *p.AddDSPProcess();
    const auto shape = [](TGenericDSPProcess& proc) {
        proc.Gain()->SetdB(-3.0);
        proc.Delay()->SetSamples(12);
        proc.PEQS()->Peqs[5]->SetGain(6.0);
        proc.PEQS()->CalcAllPeqs();
        proc.CalculatePEQSResponse();
        proc.CalculateProcess();
    };
    shape(process);

    struct Case {
        int32_t index;
        TFreqBands bands;
        size_t points; // 1/48: the computed grid of the grid tables; 1/24, 1/12: the nominal centres
        int32_t last;
    };
    const Case cases[] = {
        {2, TFreqBands::fbOneTwelveOctave, 121, 20000},
        {1, TFreqBands::fbOneTwentyFourOctave, 238, 20000},
        {0, TFreqBands::fbOneFortyEigthOctave, 443, 20159},
        {3, TFreqBands::fbOneFortyEigthOctave, 443, 20159}, // not a resolution: nothing changes
        {-1, TFreqBands::fbOneFortyEigthOctave, 443, 20159},
        {1, TFreqBands::fbOneTwentyFourOctave, 238, 20000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        p.SetMagResolution(c.index);
        const TDSPSpace& grid = *p.DSPSpaceForMicGraphs();
        EXPECT_EQ(grid.BandPerOctave(), c.bands);
        EXPECT_EQ(grid.iSampleRate(), 48000);
        ASSERT_EQ(grid.FreqDraw.size(), c.points);
        EXPECT_EQ(grid.FreqDraw.front(), 20);
        EXPECT_EQ(grid.FreqDraw.back(), c.last);
        EXPECT_EQ(p.NFreqPointsMicGraph(), static_cast<int32_t>(c.points));

        // The A-weighting at its nominal 1 kHz and 4 kHz bands, grid points at every resolution.
        ASSERT_EQ(p.WeighteningTable().size(), c.points);
        const auto at = [&](int32_t hz) {
            const auto it = std::find(grid.FreqDraw.begin(), grid.FreqDraw.end(), hz);
            EXPECT_NE(it, grid.FreqDraw.end()) << hz;
            return static_cast<size_t>(it - grid.FreqDraw.begin());
        };
        EXPECT_NEAR(p.WeighteningTable()[at(4000)], 1.0, 1e-5);
        EXPECT_NEAR(p.WeighteningTable()[at(1000)], 0.0, 1e-9);

        // The chart's read index: the grid's own search for each point's frequency, at most two
        // points away from the point itself.
        const std::vector<int32_t>& read = p.MicMagReadIndex();
        ASSERT_EQ(read.size(), c.points);
        for (size_t i = 0; i < c.points; ++i) {
            EXPECT_EQ(read[i], NearestSortedIndex(std::span<const int32_t>(grid.FreqDraw), grid.FreqDraw[i]));
            EXPECT_LE(std::abs(read[i] - static_cast<int32_t>(i)), 2);
        }

        TDSPSpace fresh;
        fresh.SetSampleRate(TSampleRate::sr48k);
        fresh.LogspacePerBand(20, 20000, c.bands);
        TGenericDSPProcess reference(&fresh, nullptr);
        shape(reference);
        EXPECT_EQ(process.AllProcessResponseMg(), reference.AllProcessResponseMg());
        EXPECT_EQ(process.AllProcessResponsePh(), reference.AllProcessResponsePh());
        EXPECT_EQ(process.PEQSResponseMg(), reference.PEQSResponseMg());
        EXPECT_EQ(process.FIRResponseMg().size(), c.points);
        EXPECT_EQ(process.FIR()->DSPSpaceInternal96().FreqDraw, grid.FreqDraw);
    }
}

} // namespace
} // namespace vendrel
