#pragma once
// Loudspeaker models for the measurement-point and beam tests: an omnidirectional model (unit
// magnitude, zero phase in every direction) with any number of sources stacked along its height, and
// a project on a medium to hold them.

#include <memory>
#include <string>

#include "acoustics/cab_model.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "dsp/dsp_space.h"
#include "platform/core/dispatcher.h"

namespace vendrel::testing {

// Sources 0 .. n-1 from the top down, Spacing apart and centred on the cabinet (model Y counts up).
inline std::unique_ptr<TCabModel> OmniModel(TPhysicalSpace& medium, TAcousticProject& project, int32_t n,
                                            double Spacing, const std::string& name = "Omni") {
    auto model = std::make_unique<TCabModel>(&medium, &project);
    model->SetModelName(name);
    model->SetPolarResolutionDegrees(5);
    model->SetNPolarSets(1);
    model->SetNSourcePoints(n);
    model->SetUseRealPhase(true);
    const int32_t points = model->DSPSpace()->NRealFreqPoints();
    for (size_t e = 0; e < model->PolarData()[0].size(); ++e) {
        for (size_t a = 0; a < model->PolarData()[0][e].size(); ++a) {
            rPolarData d = model->PolarData()[0][e][a];
            for (int32_t k = 0; k < points; ++k) {
                d.MagnitudePerFreq[k] = 1.0f;
                d.PhasePerFreq[k] = 0.0f;
            }
            model->SetPolarPoint(0, e, a, std::move(d));
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        model->SourcePoint()[static_cast<size_t>(i)]->SetYmRel((n - 1) * Spacing / 2 - i * Spacing);
    }
    model->SetWidth(0.12);
    model->SetHeight(n * Spacing);
    model->SetDepth(0.14);
    model->SetWeight(18.0);
    return model;
}

// A steerable column element: n sources Spacing apart, FIR steering filters of Taps taps.
inline std::unique_ptr<TCabModel> ColumnModel(TPhysicalSpace& medium, TAcousticProject& project, int32_t n,
                                              double Spacing, int32_t Taps = 255) {
    auto model = OmniModel(medium, project, n, Spacing, "Column");
    model->SetAllowsBeamSteering(true);
    model->SetBeamProcessType(TBeamProcessType::qzaFIRProcess);
    model->SetFIRTapsPerSource(Taps);
    return model;
}

// A project whose workers stay idle unless a test starts them: events off, no continuous rendering.
struct QuietProject {
    QuietProject() {
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        project->SetEventsEnabled(false);
    }
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
};

} // namespace vendrel::testing
