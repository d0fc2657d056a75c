#pragma once
// The editor with a small model library (one 0.6 x 0.4 x 0.5 m cabinet model drawn as a box, and one
// model without a mesh) and panels that stand in for the window's: they record what the editor asks
// and lay out the drawn objects as the real panels do.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/model_registry.h"
#include "editor_fixture.h"
#include "files/library_scan.h"
#include "platform/core/camera.h"
#include "platform/core/mesh.h"

namespace vendrel::testing {

struct FakeCabinetPanel : IObjectPanel {
    FakeCabinetPanel(TCabinet& c, std::string n) : cabinet(&c), name(std::move(n)) {}
    void UpdateValues() override { ++fills; }
    void UpdateLockUnlock() override {}
    void ObjectDetached() override { cabinet = nullptr; }
    void ShowSelected(bool c) override { checked = c; }
    void SetRowVisible(bool v) override { visible = v; }
    TCabinet* cabinet;
    std::string name;
    int fills = 0;
    bool checked = false;
    bool visible = true;
};

struct FakeZonePanel : IObjectPanel {
    FakeZonePanel(TMappingZone& z, int t) : zone(&z), tab(t) {}
    void UpdateValues() override { ++fills; }
    void UpdateLockUnlock() override {}
    void ObjectDetached() override { zone = nullptr; }
    TMappingZone* zone;
    int tab;
    int fills = 0;
};

struct FakePanels : IObjectPanels {
    IObjectPanel* NewPanel(TQzControl3D& obj, const TPanelRequest& request) override {
        if (request.KindName == "TCabinet") {
            cabinets.push_back(std::make_unique<FakeCabinetPanel>(static_cast<TCabinet&>(obj), request.Name));
            return cabinets.back().get();
        }
        if (request.KindName == "TMappingZone") {
            zones.push_back(
                std::make_unique<FakeZonePanel>(static_cast<TMappingZone&>(obj), request.TabIndex));
            return zones.back().get();
        }
        return nullptr;
    }
    void FreePanel(IObjectPanel* panel) override {
        ++freed;
        // Freed at once: a panel still reachable afterwards is a use after free under the sanitizer.
        std::erase_if(cabinets,
                      [panel](const auto& p) { return static_cast<IObjectPanel*>(p.get()) == panel; });
        std::erase_if(zones, [panel](const auto& p) { return static_cast<IObjectPanel*>(p.get()) == panel; });
    }
    void SortRows(const std::string&, const std::vector<IObjectPanel*>&) override {}
    std::vector<std::unique_ptr<FakeCabinetPanel>> cabinets;
    std::vector<std::unique_ptr<FakeZonePanel>> zones;
    int freed = 0;
};

struct ObjectsFixture : EditorFixture {
    ObjectsFixture()
        : library(*project, std::filesystem::temp_directory_path() / "vendrel_no_library", "Vendrel"),
          panels{} {
        project->SetContinuousRender(false);
        medium.StorePixelToMeters(0.5);
        editor->Library = &library;
        editor->Panels = &panels;
        editor->State.DisableOnChange = false;
        std::vector<std::unique_ptr<TCabModel>> models;
        for (int i = 0; i < 2; ++i) {
            auto m = std::make_unique<TCabModel>(&medium, project.get());
            m->SetPolarResolutionDegrees(10);
            m->SetNPolarSets(1);
            m->SetNSourcePoints(1);
            m->SetModelName(i == 0 ? "Box" : "NoMesh");
            m->SetManufacturer("Maker");
            m->SetModelID(i);
            m->SetWidth(0.6);
            m->SetHeight(0.4);
            m->SetDepth(0.5);
            models.push_back(std::move(m));
        }
        project->ModelsDetected()->ReplaceModels(std::move(models));
        // The library's 3D model of the first model is a box of its size; the second has none.
        auto box = std::make_unique<TModel3D>();
        box->AddMesh(UnitCubeMesh());
        box->SetWrapMode(TMeshWrapMode::wmStretch);
        box->SetWidth(0.6f);
        box->SetHeight(0.4f);
        box->SetDepth(0.5f);
        box->SetVisible(false);
        box->SetParent(&viewport());
        library.FModels3DImported.push_back(std::move(box));
        library.FModels3DImported.push_back(nullptr);
    }
    ~ObjectsFixture() {
        project->ForEachCabinet([](TCabinet& c) { c.FreeMapThread(); });
        // The library's models hang in the editor's viewport: they go first.
        library.FModels3DImported.clear();
    }

    TPointF screenOf(const TPoint3D& p) {
        TPoint3D s;
        viewport().Camera()->WorldToScreen(p, viewport().ViewWidth(), viewport().ViewHeight(), s);
        return {s.X, s.Y};
    }
    void click(const TPoint3D& at, TShiftState shift = {}, TMouseButton button = TMouseButton::mbLeft) {
        const TPointF s = screenOf(at);
        TShiftState held = shift;
        held.Left = button == TMouseButton::mbLeft;
        held.Right = button == TMouseButton::mbRight;
        viewport().MouseDown(button, held, s.X, s.Y);
        viewport().MouseUp(button, shift, s.X, s.Y);
    }
    void moveTo(const TPoint3D& at) {
        const TPointF s = screenOf(at);
        viewport().MouseMove({}, s.X, s.Y);
    }
    // Top view framed on the origin, 20 m across.
    void topView() {
        views().TopViewActionExecute();
        views().ZoomSpinBox.SetValue(-20);
    }
    std::vector<TObject*> selection() const { return editor->State.SelectedObjList.Raw(); }

    TModelLibrary library;
    FakePanels panels;
};

} // namespace vendrel::testing
