#pragma once
// A medium, a project and the editor on them, set up as the main window sets them up, with a recording
// view and message boxes a test controls.

#include <memory>
#include <vector>

#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"

namespace vendrel::testing {

struct RecordingView : IEditorView {
    void ViewCursorChanged(TCursor Cursor) override { cursors.push_back(Cursor); }
    void PopupGlobalMenu(TObject*) override { ++popups; }
    std::vector<TCursor> cursors;
    int popups = 0;
};

struct EditorFixture {
    // The venue the settings give a first start: 300 x 50 x 150 m, 3D view current, view 1000 x 700.
    explicit EditorFixture(int length = 300, int height = 50, int width = 150) {
        SetMemoryFiguresSource([](double& installed, double& available, double& used) {
            installed = 16384.0;
            available = 8192.0;
            used = installed - available;
            return true;
        });
        SetMessageBoxService(&boxes);
        project = std::make_unique<TAcousticProject>(&medium, &ui);
        editor = std::make_unique<TEditor>(*project, medium, &view);
        editor->Initialize();
        editor->Views.Viewport3D1Resized(1000, 700);
        editor->Grid.UpdateGridSpacing();
        editor->Grid.RecalculateVenueLength(length);
        editor->Grid.RecalculateVenueHeight(height);
        editor->Grid.RecalculateVenueWidth(width);
    }
    ~EditorFixture() {
        editor.reset();
        project.reset();
        SetMessageBoxService(nullptr);
        SetMemoryFiguresSource({});
    }
    EditorFixture(const EditorFixture&) = delete;
    EditorFixture& operator=(const EditorFixture&) = delete;

    TEditorState& state() { return editor->State; }
    TEditorScene& scene() { return editor->Scene; }
    TViewsCameras& views() { return editor->Views; }
    TGridAxes& grid() { return editor->Grid; }
    TViewport3D& viewport() { return *editor->Scene.Viewport3D1; }
    // The selection count of a kind, by its class name ("TCabinet").
    int32_t& selected(const char* Kind) { return editor->Kinds.Find(Kind)->State.NSelected; }

    RecordingMessageBox boxes;
    ManualDispatcher ui;
    RecordingView view;
    TPhysicalSpace medium;
    std::unique_ptr<TAcousticProject> project;
    std::unique_ptr<TEditor> editor;
};

} // namespace vendrel::testing
