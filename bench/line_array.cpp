// What a user waits for when editing a line array, measured on the real editor without a window: a
// flown array of a frame and 24 cabinets, 16 m up, in front of three floors.
//
//  - AutoSplay24Over3Zones: the automatic splay of the array over the three floors (351 tilts, the
//    shares, the aiming, the recalculation of the hit points). Goal: under 100 ms on one core.
//  - AddA25thCabinet: one more cabinet below the array, its drawing and the warnings checked (it is
//    taken out again between iterations). Goal: under 50 ms.
//  - SplayEditRepaint: the splay of the second cabinet chosen, then a frame of the view built with
//    the drawn array (every cabinet below it moves). Goal: under 16 ms.
//
// Run: build/bench/bench_line_array; one core: taskset -c 0 build/bench/bench_line_array.

#include "acoustics/line_array.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "editor/array_drawing.h"
#include "editor/auto_splay.h"
#include "editor/editor.h"
#include "editor/line_array_edits.h"
#include "platform/core/context3d.h"
#include "platform/core/dispatcher.h"
#include "platform/core/mesh.h"
#include "platform/core/worker_thread.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

using namespace vendrel;

namespace {

struct Scene {
    TScopedMemoryFiguresSource memory{[](double& installed, double& available, double& used) {
        installed = 65536.0;
        available = 49152.0;
        used = installed - available;
        return true;
    }};
    TPhysicalSpace medium;
    ManualDispatcher ui;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TEditor> editor;
    std::unique_ptr<TCabModel> model;
    std::unique_ptr<TRigFrameModel> frame;
    std::unique_ptr<TModel3D> mesh;
    TCabArray* array = nullptr;
    TDummy* container = nullptr;
    std::vector<TMappingZone*> zones;

    Scene() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        editor = std::make_unique<TEditor>(*project, medium);
        editor->Initialize();
        editor->Views.Viewport3D1Resized(1000, 700);
        TAcousticProject& p = *project;
        p.SetContinuousRender(false);

        // A cabinet 0.3 m high hinged at its front and back, 0.3 m from its middle, with a box mesh.
        mesh = std::make_unique<TModel3D>();
        mesh->AddMesh(UnitCubeMesh());
        mesh->SetWidth(0.6f);
        mesh->SetHeight(0.3f);
        mesh->SetDepth(0.6f);
        model = std::make_unique<TCabModel>(&medium, &p);
        model->SetModelName("Bench");
        model->SetCabinetType(TCabinetType::qzaLineArray);
        model->SetWidth(0.6);
        model->SetHeight(0.3);
        model->SetDepth(0.6);
        model->SetWeight(20);
        model->SetObject3D(mesh.get());
        model->SetFrontTopRotPointXm(0.3);
        model->SetFrontTopRotPointYm(0.15);
        model->SetFrontBotRotPointXm(0.3);
        model->SetFrontBotRotPointYm(-0.15);
        model->SetAllowedAnglesFirstCabFlown({0, 1, 2, 3});
        model->SetAllowedAnglesFlown({0, 0.5, 1, 1.5, 2, 3, 4, 5, 6, 8, 10});
        model->SetMaxSupCabsFlown(32);
        frame = std::make_unique<TRigFrameModel>(&medium, &p);
        frame->SetWidth(0.7);
        frame->SetHeight(0.1);
        frame->SetDepth(0.6);
        frame->SetWeight(50);
        frame->SetMaxSupportWeight(2000);
        frame->SetFrontTopAnchorPointXm(0.3);
        frame->SetFrontTopAnchorPointYm(0.05);
        frame->SetFrontBotAnchorPointXm(0.3);
        frame->SetFrontBotAnchorPointYm(-0.05);
        frame->SetPickPoints({{-0.25f, 0.05f, 0}, {0, 0.05f, 0}, {0.25f, 0.05f, 0}});

        p.AddArray(std::make_unique<TCabArray>(&medium, &p));
        array = p.CabArrays().back().get();
        array->SetNumberID(1);
        array->AddFrame(frame.get());
        for (int i = 0; i < 24; ++i) {
            array->AddCabinet(model.get(), true);
        }
        array->SetPositionsInsideArray();
        array->SetPosition({0, -16, 0});

        // Three floors one behind the other: 5 to 25 m, 27 to 47 m, and a raised one from 50 to 70 m.
        const auto floor = [&](float x, float height) {
            zones.push_back(editor->Adding.AddNewMappingZone("Floor", {x, height, 0}, {0, 0, 0}, 20, 30,
                                                             0.125, false, TSurfaceType::qzaRectangle, true,
                                                             editor->Layers.GlobalLayer, {}));
        };
        floor(5, 0);
        floor(27, 0);
        floor(50, 2);

        TViewport3D& view = *editor->Scene.Viewport3D1;
        container = new TDummy(&view);
        container->SetParent(&view);
        for (size_t i = 1; i < array->ArrayList().size(); ++i) {
            DrawArrayElement(*container, *array, *array->ArrayList()[i], nullptr,
                             editor->Objects.BoxMaterial.get());
        }
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void AutoSplay24Over3Zones(benchmark::State& state) {
    Scene& s = scene();
    TAutoSplay splay(*s.project, s.editor->State);
    for (auto _ : state) {
        splay.AutoSplayArray(*s.array, s.zones);
    }
    float splays = 0.0f;
    for (const TCabinet* c : s.array->CabinetList()) {
        splays += c->RotationAngle().Z;
    }
    if (splays == 0.0f) {
        state.SkipWithError("the array was not aimed");
    }
}
BENCHMARK(AutoSplay24Over3Zones)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void AddA25thCabinet(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        TCabinet* added = ArrayAddAnotherCabinet(*s.project, *s.array);
        if (added == nullptr) {
            state.SkipWithError("no cabinet added");
            break;
        }
        TArrayElementModel3D* drawn =
            DrawArrayElement(*s.container, *s.array, *added, nullptr, s.editor->Objects.BoxMaterial.get());
        CheckArrayWarnings(*s.array, "", false);
        state.PauseTiming();
        delete drawn;
        RemoveLastArrayCabinet(*s.project, *s.array);
        state.ResumeTiming();
    }
}
BENCHMARK(AddA25thCabinet)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void SplayEditRepaint(benchmark::State& state) {
    Scene& s = scene();
    TCabinet& second = *s.array->CabinetList()[1];
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        ChooseCabinetSplay(second, TArrayMounting::qzaFlown, wide ? 6.0 : 1.0);
        TContext3D context;
        s.editor->Scene.Viewport3D1->BuildFrame(context);
        benchmark::DoNotOptimize(context);
    }
}
BENCHMARK(SplayEditRepaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

} // namespace

int main(int argc, char** argv) {
    SetIdlePriorityEnabled(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
