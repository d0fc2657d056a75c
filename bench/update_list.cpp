// Update-list benchmark: a 1 MiB update list read and compared with a library of 1,000 model files, as
// the update check does when the list arrives. The goal is under 20 ms, so that a large list never
// holds up the window.
//
// Run: build with benchmarks (not CORE_ONLY, not sanitized) and start build/bench/bench_update_list.

#include "files/update_list.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "files/library_scan.h"
#include "platform/core/dispatcher.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace vendrel;

namespace {

namespace fs = std::filesystem;

constexpr int kLibraryModels = 1000;
constexpr size_t kListBytes = 1 << 20;

// A header-only cabinet file of a format version the library does not use: checked, kept, never
// loaded.
void writeHeader(const fs::path& file, const std::string& model, uint8_t version) {
    std::vector<char> h(436, 0);
    const auto shortString = [&h](size_t at, const std::string& s) {
        h[at] = static_cast<char>(s.size());
        std::memcpy(h.data() + at + 1, s.data(), s.size());
    };
    shortString(0, "Wendrix");
    const int32_t major = 6;
    std::memcpy(h.data() + 28, &major, 4);
    shortString(88, model);
    h[392] = static_cast<char>(version);
    std::ofstream(file, std::ios::binary).write(h.data(), static_cast<std::streamsize>(h.size()));
}

// Groups of four lines up to 1 MiB; every twentieth names a model of the library in a newer version.
std::string makeList() {
    std::string text = "3.1.0\nVendrelSetup.exe\n";
    for (int i = 0; text.size() < kListBytes; ++i) {
        const std::string name = i % 20 == 0 ? "Model " + std::to_string(i / 20 % kLibraryModels)
                                             : "Offered model " + std::to_string(i);
        text += "; group " + std::to_string(i) + "\n" + name + "\n" + std::to_string(i % 20 == 0 ? 9 : 1) +
                "\nmodels/" + name + ".cabinet\n3.0.0\n";
    }
    return text;
}

struct LibraryScene {
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
    fs::path root;
    std::unique_ptr<TModelLibrary> library;

    LibraryScene() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        root = fs::temp_directory_path() / ("vendrel_bench_library_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Cabinets");
        for (int i = 0; i < kLibraryModels; ++i) {
            writeHeader(root / "Cabinets" / ("Model " + std::to_string(i) + ".cabinet"),
                        "Model " + std::to_string(i), 2);
        }
        library = std::make_unique<TModelLibrary>(*project, root, "Vendrel");
        library->ReadLibraryFiles();
    }
    ~LibraryScene() {
        library.reset();
        project.reset();
        fs::remove_all(root);
    }
};

void BM_UpdateListReadAndCompared(benchmark::State& state) {
    LibraryScene scene;
    const std::string text = makeList();
    size_t updates = 0;
    size_t offered = 0;
    for (auto _ : state) {
        auto list = ParseUpdateList(text, "https://updates.example/", {3, 1, 0});
        scene.library->UpdateList = &*list;
        scene.library->CompareWithUpdateList();
        offered = scene.library->CheckNewModelsOnInternet().size();
        updates = scene.library->NewUpdateInModels.size();
        scene.library->UpdateList = nullptr;
        benchmark::DoNotOptimize(list);
    }
    state.counters["list bytes"] = static_cast<double>(text.size());
    state.counters["updates"] = static_cast<double>(updates);
    state.counters["new models"] = static_cast<double>(offered);
}
BENCHMARK(BM_UpdateListReadAndCompared)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
