#pragma once
// The scene editor of the main window: its state, its 3D scene and one object per family of behaviour
// (layers, selection, mouse routing, views and cameras, grid and axes, keyboard, colour mapping, render
// control, scene objects, per-object mouse handlers, adding objects, removal, panel switching), all
// sharing the state. It includes no Qt: the window mirrors its values, creates the object panels it
// asks for and forwards mouse, keys and commands to it, and tests drive it the same way without a
// window.

#include "editor/adding.h"
#include "editor/color_mapping.h"
#include "editor/editor_scene.h"
#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/grid_axes.h"
#include "editor/key_commands.h"
#include "editor/layers.h"
#include "editor/model_only_objects.h"
#include "editor/mouse_routing.h"
#include "editor/object_mouse.h"
#include "editor/object_panels.h"
#include "editor/panel_host.h"
#include "editor/panel_switching.h"
#include "editor/removal.h"
#include "editor/render_control.h"
#include "editor/scene_objects.h"
#include "editor/selection.h"
#include "editor/views_cameras.h"

#include <functional>
#include <string>
#include <vector>

namespace vendrel {

class TAcousticProject;
class TPhysicalSpace;
class TMemIniFile;
class TModelLibrary;
class TEditor;

// The editor's side of what the panels ask of the main window.
class TEditorPanelHost : public IPanelHost {
public:
    explicit TEditorPanelHost(TEditor& Editor) : ed_(Editor) {}

    bool DisableOnChange() const override;
    bool ClosingApplication() const override;
    double LengthUnits() const override;
    std::string LengthUnitText() const override;
    float GlobalPosSteps() const override;
    float GlobalRotSteps() const override;
    TFormatSettings FormatSettings() const override;
    const std::vector<std::string>& ExtDSPProcessNames() const override;
    void MarkProjectModified() override;
    void RenderButtonNeedsCalc() override;
    void SetObj3DRotation(TCabinet& Cabinet) override;
    void LayoutZoneObjects(TMappingZone& Zone) override;
    void PlaceZoneHolder(TMappingZone& Zone) override;
    void UpdateTextureSidesFloor(TMappingZone& Zone) override;
    void SetMaterialInCabinet(TCabinet& Cabinet) override;
    void UpdateRenderControls() override;
    void ShowMemoryInfo() override;
    void PopupModels(TObject* Target) override;
    void PopupChangeLayer(TObject* Target) override;
    void SelectFromPanel(TQzControl3D& Obj, bool Selected) override;
    void SetListenLevelOnSelection(const std::string& Text) override;
    void SetMappingSidesOnSelection(TMappingSides Value) override;
    void RemoveSurface(TMappingZone& Zone) override;
    void ListAllZonesActionExecute() override;
    void ZoneRenamed(TMappingZone& Zone) override;
    void RepaintView() override;

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

    // The maps on screen are out of date: the Render button shows that a calculation is needed.
    void RenderButtonNeedsCalc();
    // The render-quality controls and the memory figures of the window follow the project.
    void UpdateRenderControls();
    void ShowMemoryInfo();

    // The external-process choices: "0 : Bypass", then "n : name" for every user process.
    void GetAllProcessNames(std::vector<std::string>& List) const;
    std::vector<std::string> ExtDSPProcessNames;

    // Zone commands of a zone panel, applied to every selected unlocked zone.
    void SetListenLevelOnSelection(const std::string& Text);
    void SetMappingSidesOnSelection(TMappingSides Value);

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
    TAddObjects Adding;
    TRemoval Removal;
    TPanelSwitching PanelSwitching;
    TModelOnlyObjects ModelOnly;
    TEditorPanelHost PanelHost{*this};
};

} // namespace vendrel
