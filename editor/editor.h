#pragma once
// The scene editor of the main window: its state, its 3D scene and one object per family of behaviour
// (layers, selection, mouse routing, views and cameras, grid and axes, keyboard), all sharing the state.
// It includes no Qt: the window mirrors its values and forwards mouse, keys and commands to it, and
// tests drive it the same way without a window.

#include "editor/color_mapping.h"
#include "editor/editor_scene.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/grid_axes.h"
#include "editor/key_commands.h"
#include "editor/layers.h"
#include "editor/mouse_routing.h"
#include "editor/render_control.h"
#include "editor/selection.h"
#include "editor/views_cameras.h"

namespace vendrel {

class TAcousticProject;
class TPhysicalSpace;
class TMemIniFile;

class TEditor {
public:
    // Project and medium are not owned and outlive the editor. View may be null (no window).
    TEditor(TAcousticProject& Project, TPhysicalSpace& PhysicalSpace, IEditorView* View = nullptr);
    ~TEditor();
    TEditor(const TEditor&) = delete;
    TEditor& operator=(const TEditor&) = delete;

    // The editor's part of the main window's creation: input planes bound, base layer, axis labels of
    // the initial venue, the 3D view current with its zoom defaults and the angle-of-view rule applied,
    // the all-maps handler installed on the project and the Render button brought up to date.
    void Initialize();

    // The cursor of the 3D view.
    void SetViewCursor(TCursor Cursor);
    void Repaint();

    TAcousticProject& Project;
    TPhysicalSpace& PhysicalSpace;
    IEditorView* View;
    // The settings file the editor's choices are written to; not owned, null while it is not open.
    TMemIniFile* SettingsIni = nullptr;

    TEditorState State;
    TEditorScene Scene;
    TLayers Layers;
    TSelection Selection;
    TMouseRouting Mouse;
    TViewsCameras Views;
    TGridAxes Grid;
    TKeyCommands Keys;
    TColorMapping Colors;
    TRenderControl Render;
};

} // namespace vendrel
