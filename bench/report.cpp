// The PDF report of a show-sized project, measured without a window (needs an X server for the
// off-screen views: run it under Xvfb): 3 zones (about 160 000 map pixels, maps rendered and coloured
// first), 2 line arrays of 8 cabinets below a frame, 4 measurement points and 2 processes of 10 EQ
// sections.
//
//  - WriteReport: the whole document from the file's set-up to its bytes: the four views drawn off
//    screen at 1600 x 1000 through the view's renderer, every section, every picture stored. The
//    array and chart pictures are drawn at their report sizes (742 x 1110, 1200 x 500): the array's
//    in the same renderer, the charts as plain pictures. Goal: under 3 s on 8 cores. The label gives
//    the most pixels per point any stored picture keeps (the writer keeps at most 4).
//
// Run: xvfb-run -a build/bench/bench_report

#include "report/report.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_bands.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/peqs.h"
#include "editor/editor.h"
#include "platform/core/dispatcher.h"
#include "platform/core/worker_thread.h"
#include "platform/qt/gl_renderer.h"
#include "platform/qt/pdf_writer.h"
#include "report/report_pictures.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace vendrel;

namespace {

constexpr int32_t kSources = 3;

TBitmap bitmapOf(const QImage& Image) {
    if (Image.isNull()) {
        throw std::runtime_error("the scene could not be drawn off screen");
    }
    const QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
    TBitmap b(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::copy(row, row + argb.width(),
                  b.Pixels().begin() + static_cast<std::ptrdiff_t>(y) * argb.width());
    }
    return b;
}

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
    std::unique_ptr<TRigFrameModel> frame;
    std::unique_ptr<TEditor> editor;

    Venue() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        editor = std::make_unique<TEditor>(*project, medium);
        editor->Initialize();
        editor->Views.Viewport3D1Resized(1600, 1000);
        TAcousticProject& p = *project;
        p.SetContinuousRender(false);
        medium.StorePixelToMeters(0.1);
        p.SetMappingBandsType(TMappingBands::mbFullBand);
        editor->Colors.PaletteItemClick(0);

        // A 3-source line-array element of 5-degree polar data, 0.4 m high, hinged at its back.
        model = std::make_unique<TCabModel>(&medium, &p);
        model->SetModelName("Bench LA");
        model->SetPolarResolutionDegrees(5);
        model->SetNPolarSets(1);
        model->SetNSourcePoints(kSources);
        for (int32_t i = 0; i < kSources; ++i) {
            model->SourcePoint()[static_cast<size_t>(i)]->SetYmRel(-0.1 * i);
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
        model->SetWidth(0.6);
        model->SetHeight(0.4);
        model->SetDepth(0.5);
        model->SetWeight(40);
        model->SetJoinType(TJoinType::qzaBackJoin);
        model->SetBackTopRotPointXm(-0.25);
        model->SetBackTopRotPointYm(0.2);
        model->SetBackBotRotPointXm(-0.25);
        model->SetBackBotRotPointYm(-0.2);
        const std::vector<double> splays{0, 2, 4, 6};
        model->SetAllowedAnglesFirstCabFlown(splays);
        model->SetAllowedAnglesFlown(splays);
        frame = std::make_unique<TRigFrameModel>(&medium, &p);
        frame->SetModelName("Bench Frame");
        frame->SetWidth(0.8);
        frame->SetHeight(0.1);
        frame->SetDepth(0.8);
        frame->SetWeight(20);
        frame->SetMaxSupportWeight(600);
        frame->SetBackTopAnchorPointXm(-0.4);
        frame->SetBackTopAnchorPointYm(0.05);
        frame->SetBackBotAnchorPointXm(-0.4);
        frame->SetBackBotAnchorPointYm(-0.05);
        frame->SetNPickPoints(5);
        frame->SetPickPoints(
            {{-0.4f, 0.05f, 0}, {-0.2f, 0.05f, 0}, {0, 0.05f, 0}, {0.2f, 0.05f, 0}, {0.4f, 0.05f, 0}});

        const auto zone = [&](float x, float z, float width, float depth) {
            editor->Adding.AddNewMappingZone("Zone", TPoint3D(x, 0, z), TPoint3D(), width, depth, 0.1f, false,
                                             TSurfaceType::qzaRectangle, true, nullptr, {});
        };
        zone(0, 0, 30, 20);
        zone(32, 0, 30, 20);
        zone(0, 22, 62, 6);
        for (int a = 0; a < 2; ++a) {
            auto array = std::make_unique<TCabArray>(&medium, &p);
            array->AddFrame(frame.get());
            for (int i = 0; i < 8; ++i) {
                array->AddCabinet(model.get(), true);
            }
            array->SetName(a == 0 ? "Main L" : "Main R");
            array->SetPositionsInsideArray();
            array->SetPosition({static_cast<float>(-4 + a * 70), -9, -2});
            array->SetNMotors(2);
            p.AddArray(std::move(array));
        }
        for (int i = 0; i < 4; ++i) {
            p.AddMeasurePoint({static_cast<float>(5 + 12 * i), -1.2f, 10}, TAlphaColors::Red, true, 0.0f);
        }
        for (int i = 0; i < 2; ++i) {
            p.AddDSPProcess()->PEQS()->SetNPeqs(10);
        }
        editor->Render.RenderBClick();
        waitRepainted();
    }

    ~Venue() {
        project->AllMapsThread().CancelAndWait();
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        editor.reset();
        project.reset();
    }

    void waitRepainted() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(300);
        while (editor->Render.RenderB.ImageIndex() != 41 || editor->Render.RenderB.IndicatorVisible()) {
            if (std::chrono::steady_clock::now() > limit) {
                throw std::runtime_error("the maps were not repainted within five minutes");
            }
            ui.Pump();
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    }
};

// The pictures as the window makes them where it can: the views off screen through one renderer.
struct BenchPictures : IReportPictures {
    explicit BenchPictures(Venue& v) : venue(v) {}
    TBitmap SceneView(TViewType View) override {
        TViewsCameras& views = venue.editor->Views;
        switch (View) {
        case TViewType::qzaSideView:
            views.SideViewActionExecute();
            break;
        case TViewType::qzaTopView:
            views.TopViewActionExecute();
            break;
        case TViewType::qzaThreeDView:
            views.ThreeDviewActionExecute();
            break;
        case TViewType::qzaFrontView:
            views.FrontViewActionExecute();
            break;
        }
        return bitmapOf(renderer.RenderToImage(*venue.editor->Scene.Viewport3D1, QSize(1600, 1000)));
    }
    TBitmap ModelPicture(const TCabModel&) override { return {}; }
    TBitmap ArrayPicture(TCabArray&) override {
        return bitmapOf(renderer.RenderToImage(*venue.editor->Scene.Viewport3D1, QSize(742, 1110)));
    }
    TBitmap DspProcessChart(TGenericDSPProcess&) override { return TBitmap(1200, 500, TAlphaColors::White); }
    TBitmap ResponseChart() override { return TBitmap(1200, 500, TAlphaColors::White); }

    Venue& venue;
    TGLRenderer renderer;
};

// Passes everything to the PDF writer and keeps the most pixels per point a stored picture has.
struct Measured : TPdfWriter {
    TReportRect DrawPicture(const TBitmap& Picture, TAlphaColor Background,
                            const TReportRect& Rect) override {
        const TReportRect placed = TPdfWriter::DrawPicture(Picture, Background, Rect);
        if (placed.Width() > 0) {
            const double kept =
                std::min<double>(Picture.Width(), std::ceil(placed.Width() * kMaxPixelsPerPoint));
            maxPixelsPerPoint = std::max(maxPixelsPerPoint, kept / placed.Width());
        }
        return placed;
    }
    double maxPixelsPerPoint = 0;
};

void WriteReport(benchmark::State& state) {
    static Venue venue;
    BenchPictures pictures(venue);
    TReportContext context;
    context.Project = venue.project.get();
    context.InstallName = "Bench Hall";
    context.PreCaption = "Vendrel";
    double perPoint = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        Measured writer;
        TReport report(context, pictures, writer);
        report.Write("Bench Hall Report");
        bytes = writer.EndDocument().size();
        perPoint = writer.maxPixelsPerPoint;
    }
    state.SetLabel(std::to_string(std::thread::hardware_concurrency()) + " cores, " +
                   std::to_string(bytes / 1024) + " KiB, at most " + std::to_string(perPoint).substr(0, 4) +
                   " px/pt");
}
BENCHMARK(WriteReport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    // The off-screen views need an X server (Xvfb in a terminal without one).
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    SetIdlePriorityEnabled(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
