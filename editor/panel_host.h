#pragma once
// What an object panel asks of the main window: the shared values it reads (units, steps, guards, the
// process names) and the follow-ups of its commits, which the editor dispatches by the object's kind.
// A kind's own commands (a zone's slope, the listening height of the selection ...) come from its kind
// (editor/kinds/), not from here. The editor implements it (TEditor::PanelHost); panel tests use a fake.

#include "platform/core/edit_helpers.h"

#include <string>
#include <vector>

namespace vendrel {

class TObject;
class TQzControl3D;
struct TUnits;

class IPanelHost {
public:
    virtual ~IPanelHost() = default;

    // ---- Shared values ----
    // While set the program itself changes objects (opening, removing, duplicating): no panel commits.
    virtual bool DisableOnChange() const = 0;
    virtual bool ClosingApplication() const = 0;
    // The project's events are on (zone and ornament fields commit only then).
    virtual bool EventsEnabled() const = 0;
    virtual const TUnits& Units() const = 0;
    virtual float GlobalPosSteps() const = 0;
    virtual float GlobalRotSteps() const = 0;
    virtual TFormatSettings FormatSettings() const = 0;
    // The external-process choices, the bypass process first.
    virtual const std::vector<std::string>& ExtDSPProcessNames() const = 0;

    // ---- Follow-ups of commits ----
    // Every key typed into a field marks the project modified, whether or not it changes the text.
    virtual void MarkProjectModified() = 0;
    virtual void RenderButtonNeedsCalc() = 0;
    // The object's drawn objects follow its placement (position, turns, size, outline) and the
    // cabinets' hit points are recomputed.
    virtual void PlacementChanged(TQzControl3D& Obj) = 0;
    // The drawn objects follow the object's look (materials, textures).
    virtual void AppearanceChanged(TQzControl3D& Obj) = 0;
    // The object's name changed: its tab and list item follow.
    virtual void NameChanged(TQzControl3D& Obj) = 0;
    // Sizes changed: the memory figures and the render-quality controls follow.
    virtual void MemoryChanged() = 0;
    // The panel's remove button: the object goes (the panel with it: nothing of the panel may be
    // touched afterwards).
    virtual void RemoveRequested(TQzControl3D& Obj) = 0;
    // The panel's selection box was clicked: the object joins or leaves the selection.
    virtual void SelectRequested(TQzControl3D& Obj, bool Selected) = 0;
    // The view draws again (a field's guide lines follow the focus).
    virtual void RepaintView() = 0;

    // ---- Menus a panel opens at the mouse, with the object they act on ----
    virtual void PopupModels(TObject* Target) = 0;
    virtual void PopupChangeLayer(TObject* Target) = 0;
};

} // namespace vendrel
