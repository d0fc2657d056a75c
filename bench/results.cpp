// The result displays on the prediction benchmark's venue (24 cabinets of 3 sources over 3 zones, 0.1 m
// pixels, full band, air absorption), measured on the real editor and chart widget:
//
//  - PointDragCurve: a measurement point moved (one step of a drag), to its new curve in the chart's
//    values: the point's worker computes the response of every source (with its prescribed 5 ms pause),
//    the result comes back through the queued call and the curves are drawn. Goal: under 30 ms a move.
//  - ChartRedraw: the response chart with 8 points and 4 overlays redrawn after every curve changed
//    (the widget takes the new points and draws them). Goal: under 16 ms.
//  - ShowDistribution: the distribution of every summed zone's levels. Goal: under 20 ms.
//
// Run: build/bench/bench_results (QT_QPA_PLATFORM=offscreen is set when no display is given).

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "editor/editor.h"
#include "editor/level_distribution.h"
#include "editor/measure_responses.h"
#include "editor/qt/response_chart_widget.h"
#include "platform/core/dispatcher.h"
#include "platform/core/worker_thread.h"
#include "platform/qt/chart_view.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace vendrel;

namespace {

constexpr int32_t kSources = 3;

struct Venue {
    TScopedMemoryFiguresSource memory{[](double& installed, double& available, double& used) {
        installed = 65536.0;
        available = 49152.0;
        used = installed - available;
        return true;
    }};
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> model;
    std::unique_ptr<TEditor> editor;

    Venue() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        editor = std::make_unique<TEditor>(*project, medium);
        editor->Initialize();
        TAcousticProject& p = *project;
        p.SetContinuousRender(false);
        medium.StorePixelToMeters(0.1);
        medium.SetAirLoss(true);
        p.SetMappingBandsType(TMappingBands::mbFullBand);
        editor->Colors.PaletteItemClick(0);

        model = std::make_unique<TCabModel>(&medium, &p);
        model->SetPolarResolutionDegrees(5);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(kSources);
        for (int32_t i = 0; i < kSources; ++i) {
            model->SourcePoint()[static_cast<size_t>(i)]->SetYmRel(-0.3 * i);
        }
        const int32_t points = model->DSPSpace()->NRealFreqPoints();
        for (int32_t e = 0; e < model->NPolarElevSlices(); ++e) {
            for (int32_t a = 0; a < model->NPolarAzMeasures(); ++a) {
                rPolarData d = model->PolarData()[0][e][a];
                for (int32_t n = 0; n < points; ++n) {
                    d.MagnitudePerFreq[n] = static_cast<float>(1e5 / (1.0 + 0.02 * a) + 0.001 * e);
                    d.PhasePerFreq[n] = static_cast<float>(0.01 * a - 0.02 * e + 0.001 * n);
                }
                model->SetPolarPoint(0, static_cast<size_t>(e), static_cast<size_t>(a), std::move(d));
            }
        }
        const auto zone = [&](float x, float z, float width, float depth) {
            p.AddMappingZone("Zone", TPoint3D(x, 0, z), TPoint3D(), width, depth, 0.1f, false,
                             TSurfaceType::qzaRectangle, true);
        };
        zone(0, 0, 30, 20);
        zone(32, 0, 30, 20);
        zone(0, 22, 62, 6);
        for (int i = 0; i < 24; ++i) {
            const TPoint3D at(static_cast<float>(-3 + (i % 6) * 12.0),
                              static_cast<float>(-(6 + (i / 6) * 0.5)),
                              static_cast<float>(-4 + (i % 4) * 1.0));
            p.AddCabinet(model.get(), at, TPoint3D(), false, TCabPlacement::qzaVertical, 0, true);
        }
        editor->Render.RenderBClick();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (editor->Render.RenderB.ImageIndex() != 41 || editor->Render.RenderB.IndicatorVisible()) {
            if (std::chrono::steady_clock::now() > limit) {
                throw std::runtime_error("the maps were not calculated within two minutes");
            }
            ui.Pump();
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    }

    ~Venue() {
        project->AllMapsThread().CancelAndWait();
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        editor.reset();
        project.reset();
    }
};

Venue& venue() {
    static Venue v;
    return v;
}

void PointDragCurve(benchmark::State& state) {
    Venue& v = venue();
    TResponseChart chart;
    uint8_t color = 5;
    TMeasureResponses responses(*v.project, chart, color);
    TMicPoint& mic = *v.project->AddMeasurePoint(TPoint3D(15, -1.2f, 10), 0xFF00FF00, false, 0.0f);
    responses.AddMicSeries(mic);
    bool drawn = false;
    mic.SetOnReceiveMic([&](TMicPoint& m) {
        responses.MicResponseReceived(m);
        drawn = true;
    });
    mic.ExecuteMicThread();
    const auto waitDrawn = [&] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!drawn) {
            if (std::chrono::steady_clock::now() > limit) {
                throw std::runtime_error("the point's curve did not arrive");
            }
            v.ui.Pump();
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    };
    waitDrawn();
    float x = 15;
    for (auto _ : state) {
        drawn = false;
        x += 0.1f;
        const auto start = std::chrono::steady_clock::now();
        mic.SetPosition(TPoint3D(x, -1.2f, 10));
        waitDrawn();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetLabel(std::to_string(v.project->NFreqPointsMicGraph()) + " grid points");
    v.project->RemoveMic(&mic);
}
BENCHMARK(PointDragCurve)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

void ChartRedraw(benchmark::State& state) {
    Venue& v = venue();
    TResponseChart chart;
    uint8_t color = 5;
    TMeasureResponses responses(*v.project, chart, color);
    TResponseChartWidget widget(chart, responses, *v.project);
    widget.resize(1124, 250);
    widget.show();
    std::vector<TMicPoint*> mics;
    for (int i = 0; i < 8; ++i) {
        TMicPoint* mic =
            v.project->AddMeasurePoint(TPoint3D(2.0f + 6 * i, -1.2f, 8), 0xFF00FF00, false, 0.0f);
        mic->CancelMicThreadAndWait();
        mic->GetMicMeassureMagPh(0.0);
        responses.AddMicSeries(*mic);
        mics.push_back(mic);
    }
    for (int i = 0; i < 4; ++i) {
        responses.ShowOverlay(responses.CaptureCurve(*mics[static_cast<size_t>(i)]));
    }
    widget.Chart()->Replot();
    for (auto _ : state) {
        responses.RedrawMics();
        responses.ShowAllOverlays();
        widget.Chart()->Replot();
    }
    for (TMicPoint* mic : mics) {
        v.project->RemoveMic(mic);
    }
    while (v.project->NOverlays() > 0) {
        responses.RemoveOverlay(v.project->Overlays().back().get());
    }
}
BENCHMARK(ChartRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void ShowDistribution(benchmark::State& state) {
    Venue& v = venue();
    TDistributionChart chart(*v.project, v.editor->State.SelectedObjList, v.editor->State.FormatSettings);
    for (auto _ : state) {
        chart.ShowDistribution(1);
    }
    if (!chart.Current().Visible) {
        state.SkipWithError("no summed zone was counted");
    }
    state.SetLabel(std::to_string(chart.Current().Total) + " pixels");
}
BENCHMARK(ShowDistribution)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

} // namespace

int main(int argc, char** argv) {
    SetIdlePriorityEnabled(false);
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
