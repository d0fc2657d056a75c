#pragma once
// The editor on a project with one omnidirectional cabinet over one zone, rendered through the real
// calculation threads; the project's progress bar and status line record what they are given.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "editor_fixture.h"
#include "platform/core/worker_thread.h"

namespace vendrel::testing {

struct RecordingStatus : IStatusLabel {
    void SetText(const std::string& text) override { texts.push_back(text); }
    size_t count(const std::string& text) const {
        size_t n = 0;
        for (const std::string& t : texts) {
            n += t == text ? 1 : 0;
        }
        return n;
    }
    std::vector<std::string> texts;
};

struct RecordingProgress : IProgressBar {
    void SetMax(double v) override { max = v; }
    void SetValue(double v) override { value = v; }
    double Value() const override { return value; }
    void SetStyleLookup(const std::string& style) override { this->style = style; }
    double max = 0, value = 0;
    std::string style;
};

struct RenderFixture : EditorFixture {
    RenderFixture() {
        SetIdlePriorityEnabled(false); // the test machine runs other work at normal priority
        project->SetStatusLabel(&status);
        project->SetProgressBar(&progress);
        project->SetContinuousRender(false);
        medium.SetAirLoss(false);
        model = std::make_unique<TCabModel>(&medium, project.get());
        model->SetPolarResolutionDegrees(30);
        // Omnidirectional, 1e5 at 1 m: about 100 dB less the distance loss.
        for (size_t e = 0; e < model->PolarData()[0].size(); ++e) {
            for (size_t a = 0; a < model->PolarData()[0][e].size(); ++a) {
                rPolarData direction = model->PolarData()[0][e][a];
                std::fill(direction.MagnitudePerFreq.begin(), direction.MagnitudePerFreq.end(), 1e5f);
                model->SetPolarPoint(0, e, a, std::move(direction));
            }
        }
        editor->Colors.PaletteItemClick(0);
    }
    ~RenderFixture() {
        project->AllMapsThread().CancelAndWait();
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        project->SetStatusLabel(nullptr);
        project->SetProgressBar(nullptr);
        SetIdlePriorityEnabled(true);
    }

    // A 20 x 10 m zone (100 x 50 pixels of 0.2 m) centred at the origin on the floor.
    TMappingZone& addZone(float width = 20, float depth = 10) {
        return *project->AddMappingZone("Zone", TPoint3D(-width / 2, 0, 0), TPoint3D(), width, depth, 0.1f,
                                        false, TSurfaceType::qzaRectangle, true);
    }
    // A cabinet at a scene point (Y down: negative Y is up).
    TCabinet& addCabinet(TPoint3D at) {
        return *project->AddCabinet(model.get(), at, TPoint3D(), false, TCabPlacement::qzaVertical, 0, true);
    }

    // Pumps queued calls until the Render button shows the calculated maps (or 20 s pass).
    bool waitCalculated() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end) {
            ui.Pump();
            if (editor->Render.RenderB.ImageIndex() == 41 && !editor->Render.RenderB.IndicatorVisible()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    RecordingStatus status;
    RecordingProgress progress;
    std::unique_ptr<TCabModel> model;
};

} // namespace vendrel::testing
