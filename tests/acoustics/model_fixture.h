#pragma once
// A medium and a project on it with a memory budget and message boxes that a test controls.

#include <memory>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"

namespace vendrel::testing {

struct ModelFixture {
    ModelFixture() { project = std::make_unique<TAcousticProject>(&medium, &ui); }
    ~ModelFixture() {
        project.reset();
        blankModel.reset();
    }
    ModelFixture(const ModelFixture&) = delete;
    ModelFixture& operator=(const ModelFixture&) = delete;

    TMappingZone& addZone(float width, float depth, TSurfaceType type = TSurfaceType::qzaRectangle) {
        return *TMappingZone::Create(&medium, project.get(), "Zone", TPoint3D(1.0f, -2.0f, 3.0f), TPoint3D(),
                                     width, depth, 0.1f, false, type, project->ZoneCreationColor(), true);
    }

    // A loose cabinet of a model without sources, added through the registry.
    TCabinet& addCabinet() {
        if (!blankModel) {
            blankModel = std::make_unique<TCabModel>(&medium, project.get());
        }
        return *project->AddCabinet(blankModel.get(), TPoint3D(), TPoint3D(), false,
                                    TCabPlacement::qzaVertical, 0, true);
    }

    // Every zone's buffers and bitmap match its pixel grid.
    static void expectBuffersMatchGrid(const TMappingZone& zone) {
        const int32_t w = zone.WidthPixels();
        const int32_t d = zone.DepthPixels();
        const TZoneData& sum = *zone.MapSum();
        EXPECT_EQ(sum.WidthPixels(), w);
        EXPECT_EQ(sum.DepthPixels(), d);
        const size_t cells =
            static_cast<size_t>(sum.NFreqs()) * static_cast<size_t>(w) * static_cast<size_t>(d);
        EXPECT_GT(cells, 0u);
        EXPECT_EQ(sum.MapRealFreq().size(), cells);
        EXPECT_EQ(sum.MapImagFreq().size(), cells);
        EXPECT_EQ(zone.MapBMPWidth(), w);
        EXPECT_EQ(zone.MapBMPHeight(), d);
    }

    size_t shown(TMsgDlgType type) const {
        size_t n = 0;
        for (const auto& e : boxes.shown) {
            n += e.type == type ? 1 : 0;
        }
        return n;
    }

    double availableMB = 1e6;
    RecordingMessageBox boxes;
    TScopedMemoryFiguresSource figures{[this](double& installed, double& available, double& used) {
        installed = 16384.0;
        available = availableMB;
        used = installed - available;
        return true;
    }};
    TScopedMessageBoxService box{&boxes};
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TCabModel> blankModel; // of addCabinet's cabinets
};

} // namespace vendrel::testing
