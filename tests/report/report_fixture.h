#pragma once
// A project built in code for the report, with models of our own (a line-array cabinet, a frame with a
// chosen number of pick points), pictures of chosen sizes, recorded dialogs and message boxes, and a
// report context over it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/memory_budget.h"
#include "acoustics/mic_point.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "platform/core/dispatcher.h"
#include "platform/core/file_dialog.h"
#include "platform/core/message_box.h"
#include "recording_writer.h"
#include "report/report.h"
#include "report/report_pictures.h"

namespace vendrel::testing {

// Pictures of fixed sizes in plain colours; one kind of picture can be made to fail.
struct FakePictures : IReportPictures {
    enum Kind { Scene, Model, Array, Dsp, Response };
    int sceneWidth = 1660, sceneHeight = 1020;
    int arrayWidth = 742, arrayHeight = 1110;
    int dspWidth = 1200, dspHeight = 500;
    int responseWidth = 1200, responseHeight = 500;
    std::map<std::string, std::pair<int, int>> modelSizes; // by model name; none: no picture
    int failAt = -1;                                       // the kind that raises
    std::vector<Kind> calls;

    TBitmap make(Kind k, int w, int h, TAlphaColor c) {
        calls.push_back(k);
        if (failAt == k) {
            throw std::runtime_error("the picture could not be drawn");
        }
        return TBitmap(w, h, c);
    }
    TBitmap SceneView(TViewType) override { return make(Scene, sceneWidth, sceneHeight, 0xFF00C000); }
    TBitmap ModelPicture(const TCabModel& m) override {
        auto it = modelSizes.find(m.ModelName());
        if (it == modelSizes.end()) {
            calls.push_back(Model);
            return {};
        }
        return make(Model, it->second.first, it->second.second, 0xFFC00000);
    }
    TBitmap ArrayPicture(TCabArray&) override { return make(Array, arrayWidth, arrayHeight, 0xFF0000C0); }
    TBitmap DspProcessChart(TGenericDSPProcess&) override {
        return make(Dsp, dspWidth, dspHeight, 0xFFC0C000);
    }
    TBitmap ResponseChart() override { return make(Response, responseWidth, responseHeight, 0xFF00C0C0); }
};

struct RecordingProgress : IProgressBar {
    void SetMax(double v) override { max = v; }
    void SetValue(double v) override {
        value = v;
        values.push_back(v);
    }
    double Value() const override { return value; }
    void SetStyleLookup(const std::string&) override {}
    double max = 0, value = 0;
    std::vector<double> values;
};

struct RecordingStatus : IStatusLabel {
    void SetText(const std::string& t) override {
        text = t;
        texts.push_back(t);
    }
    std::string text;
    std::vector<std::string> texts;
};

struct ReportFixture : ::testing::Test {
    ReportFixture() {
        SetFileDialogService(&dialogs);
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        context.Project = project.get();
        context.InstallName = "Hall 2.5";
        context.CreatedBy = "Jos\u00E9";
        context.PreCaption = "Vendrel 3.1.0";
        context.ActiveProjectFileName = "/shows/Hall.V3DPrj";
        context.ProgressBar = &progress;
        context.StatusLabel = &status;
    }
    ~ReportFixture() override {
        project.reset();
        models.clear();
        frames.clear();
        SetFileDialogService(nullptr);
    }

    // A line-array cabinet: 0.4 m high, 50 kg, hinged at its back, splays from -10 to 10 degrees.
    TCabModel& cabinetModel(const std::string& name, const std::string& variant = "") {
        auto m = std::make_unique<TCabModel>(&medium, project.get());
        m->SetModelName(name);
        m->SetVariantName(variant);
        m->SetManufacturer("Sample Acoustics");
        m->SetWidth(0.6);
        m->SetHeight(0.4);
        m->SetDepth(1.0);
        m->SetWeight(50.0);
        m->SetJoinType(TJoinType::qzaBackJoin);
        m->SetBackTopRotPointXm(-0.3);
        m->SetBackTopRotPointYm(0.2);
        m->SetBackBotRotPointXm(-0.3);
        m->SetBackBotRotPointYm(-0.2);
        const std::vector<double> angles{-10, -5, 0, 5, 10};
        m->SetAllowedAnglesFirstCabFlown(angles);
        m->SetAllowedAnglesFlown(angles);
        m->SetAllowedAnglesFirstCabStack(angles);
        m->SetAllowedAnglesStack(angles);
        models.push_back(std::move(m));
        return *models.back();
    }

    // A frame of 20 kg rated for MaxKg with pick points every Step metres from FirstX along its depth.
    TRigFrameModel& frameModel(const std::string& name, int points, double maxKg = 500.0,
                               bool adapters = false, double firstX = -0.4, double step = 0.2) {
        auto f = std::make_unique<TRigFrameModel>(&medium, project.get());
        f->SetModelName(name);
        f->SetWidth(1.0);
        f->SetHeight(0.1);
        f->SetDepth(0.2 * (points - 1));
        f->SetWeight(20.0);
        f->SetMaxSupportWeight(maxKg);
        f->SetBackTopAnchorPointXm(-0.4);
        f->SetBackTopAnchorPointYm(0.05);
        f->SetBackBotAnchorPointXm(-0.4);
        f->SetBackBotAnchorPointYm(-0.05);
        std::vector<TPoint3D> picks;
        for (int i = 0; i < points; ++i) {
            picks.push_back({static_cast<float>(firstX + step * i), 0.05f, 0.0f});
        }
        f->SetPickPointType(adapters ? TPickPointType::qzaWithAdapter : TPickPointType::qzaFixedPoint);
        f->SetNPickPoints(points);
        f->SetPickPoints(picks);
        frames.push_back(std::move(f));
        return *frames.back();
    }

    // A flown array of n cabinets below a frame (none without one), registered with the project.
    TCabArray& flownArray(const std::string& name, TCabModel& cabinet, int n, TRigFrameModel* frame) {
        auto a = std::make_unique<TCabArray>(&medium, project.get());
        if (frame != nullptr) {
            a->AddFrame(frame);
        }
        for (int i = 0; i < n; ++i) {
            a->AddCabinet(&cabinet, true);
        }
        a->SetName(name);
        a->SetPositionsInsideArray();
        TCabArray& ref = *a;
        project->AddArray(std::move(a));
        return ref;
    }

    TMappingZone& addZone(const std::string& name) {
        return *project->AddMappingZone(name, TPoint3D(1, 0, 2), TPoint3D(), 10, 5, 0.1, false,
                                        TSurfaceType::qzaRectangle, true);
    }

    // Runs the whole report on the recording writer, without the file dialog.
    void run() {
        TReport report(context, pictures, writer);
        report.Write("Report Hall 2.5");
    }

    RecordingFileDialog dialogs;
    RecordingMessageBox boxes;
    TScopedMessageBoxService boxGuard{&boxes};
    TScopedMemoryFiguresSource figures{[](double& installed, double& available, double& used) {
        installed = 16384.0;
        available = 8192.0;
        used = installed - available;
        return true;
    }};
    ManualDispatcher ui;
    TPhysicalSpace medium;
    std::vector<std::unique_ptr<TCabModel>> models;
    std::vector<std::unique_ptr<TRigFrameModel>> frames;
    std::unique_ptr<TAcousticProject> project;
    TReportContext context;
    FakePictures pictures;
    RecordingWriter writer;
    RecordingProgress progress;
    RecordingStatus status;
};

} // namespace vendrel::testing
