#pragma once
// The scene editor of the main window: its state, its 3D scene, the kinds of placed objects it knows
// (kind_registry.h) and one object per family of behaviour (layers, selection, mouse routing, views and
// cameras, grid and axes, keyboard, colour mapping, render control, scene objects, the object mouse
// handler, moving, adding objects, removal, panel switching), all sharing the state. It includes no Qt: the
// window mirrors its values, creates the object panels it asks for and forwards mouse, keys and commands to
// it, and tests drive it the same way without a window.

#include "editor/adding.h"
#include "editor/color_mapping.h"
#include "editor/dxf_outline.h"
#include "editor/editor_scene.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/grid_axes.h"
#include "editor/key_commands.h"
#include "editor/kind_registry.h"
#include "editor/layers.h"
#include "editor/library_picker.h"
#include "editor/measure_points.h"
#include "editor/model_only_objects.h"
#include "editor/mouse_routing.h"
#include "editor/moving.h"
#include "editor/object_mouse.h"
#include "editor/object_panels.h"
#include "editor/panel_host.h"
#include "editor/panel_switching.h"
#include "editor/removal.h"
#include "editor/render_control.h"
#include "editor/scene_objects.h"
#include "editor/selection.h"
#include "editor/views_cameras.h"
#include "editor/zone_appearance.h"
#include "editor/zone_editing.h"

#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TPhysicalSpace;
class TMemIniFile;
class TModelLibrary;
class TEditor;

// The editor's side of what the panels ask of the main window: shared values, and follow-ups dispatched
// by the object's kind.
class TEditorPanelHost : public IPanelHost {
public:
    explicit TEditorPanelHost(TEditor& Editor) : ed_(Editor) {}

    bool DisableOnChange() const override;
    bool ClosingApplication() const override;
    bool EventsEnabled() const override;
    const TUnits& Units() const override;
    float GlobalPosSteps() const override;
    float GlobalRotSteps() const override;
    TFormatSettings FormatSettings() const override;
    const std::vector<std::string>& ExtDSPProcessNames() const override;
    void MarkProjectModified() override;
    void RenderButtonNeedsCalc() override;
    void PlacementChanged(TQzControl3D& Obj) override;
    void AppearanceChanged(TQzControl3D& Obj) override;
    void NameChanged(TQzControl3D& Obj) override;
    void MemoryChanged() override;
    void RemoveRequested(TQzControl3D& Obj) override;
    void SelectRequested(TQzControl3D& Obj, bool Selected) override;
    void RepaintView() override;
    void PopupModels(TObject* Target) override;
    void PopupChangeLayer(TObject* Target) override;

private:
    TEditor& ed_;
};

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
    // The object becomes its kind's object in edition (the design's ArrayInEdition, ClusterInEdition ...).
    void SetInEdition(TQzControl3D* Obj);

    // The maps on screen are out of date: the Render button shows that a calculation is needed.
    void RenderButtonNeedsCalc();
    // The render-quality controls and the memory figures of the window follow the project.
    void UpdateRenderControls();
    void ShowMemoryInfo();

    // The external-process choices: "0 : Bypass", then "n : name" for every user process.
    void GetAllProcessNames(std::vector<std::string>& List) const;
    std::vector<std::string> ExtDSPProcessNames;

    TAcousticProject& Project;
    TPhysicalSpace& PhysicalSpace;
    IEditorView* View;
    // The settings file the editor's choices are written to; not owned, null while it is not open.
    TMemIniFile* SettingsIni = nullptr;
    // The model library (not owned; null: no models to add).
    TModelLibrary* Library = nullptr;
    // The window's panels (not owned; null: objects get no panels).
    IObjectPanels* Panels = nullptr;

    TEditorState State;
    // The kinds of placed objects the editor knows (its per-kind rows, hooks and state).
    TKindRegistry Kinds;
    TEditorScene Scene;
    TLayers Layers;
    TSelection Selection;
    TMouseRouting Mouse;
    TViewsCameras Views;
    TGridAxes Grid;
    TKeyCommands Keys;
    TColorMapping Colors;
    TRenderControl Render;
    TSceneObjects Objects;
    TObjectMouse ObjectMouse;
    TMoving Moving;
    TAddObjects Adding;
    TRemoval Removal;
    TPanelSwitching PanelSwitching;
    TModelOnlyObjects ModelOnly;
    TZoneAppearance Appearance{State, Kinds};
    TZoneEditing ZoneEditing{Project, Kinds};
    TDxfOutline DxfOutline{*Scene.Viewport3D1};
    TLibraryPicker Picker{*this};
    TMeasurePoints Points{*this};
    TEditorPanelHost PanelHost{*this};
};

} // namespace vendrel
