#pragma once
// What an object panel asks of the main window: the shared values it reads (units, steps, guards, the
// process names), the follow-ups of its commits, the menus it opens and the commands it hands to the
// window. The editor implements it (TEditor::PanelHost); panel tests use a fake.

#include "platform/core/edit_helpers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vendrel {

class TObject;
class TQzControl3D;
class TCabinet;
class TMappingZone;
enum class TMappingSides : uint8_t;

class IPanelHost {
public:
    virtual ~IPanelHost() = default;

    // ---- Shared values ----
    virtual bool DisableOnChange() const = 0;
    virtual bool ClosingApplication() const = 0;
    virtual double LengthUnits() const = 0;
    virtual std::string LengthUnitText() const = 0;
    virtual float GlobalPosSteps() const = 0;
    virtual float GlobalRotSteps() const = 0;
    virtual TFormatSettings FormatSettings() const = 0;
    // The external-process choices, the bypass process first.
    virtual const std::vector<std::string>& ExtDSPProcessNames() const = 0;

    // ---- Follow-ups of commits ----
    // Every key typed into a field marks the project modified, whether or not it changes the text.
    virtual void MarkProjectModified() = 0;
    virtual void RenderButtonNeedsCalc() = 0;
    // The drawn objects take the placement of their object.
    virtual void SetObj3DRotation(TCabinet& Cabinet) = 0;
    virtual void SetMaterialInCabinet(TCabinet& Cabinet) = 0;
    virtual void LayoutZoneObjects(TMappingZone& Zone) = 0;
    virtual void PlaceZoneHolder(TMappingZone& Zone) = 0;
    virtual void UpdateTextureSidesFloor(TMappingZone& Zone) = 0;
    virtual void UpdateRenderControls() = 0;
    virtual void ShowMemoryInfo() = 0;

    // ---- Menus a panel opens at the mouse, with the object they act on ----
    virtual void PopupModels(TObject* Target) = 0;
    virtual void PopupChangeLayer(TObject* Target) = 0;

    // ---- Commands handed to the window ----
    // The panel's selection box was clicked: the object joins or leaves the selection.
    virtual void SelectFromPanel(TQzControl3D& Obj, bool Selected) = 0;
    virtual void SetListenLevelOnSelection(const std::string& Text) = 0;
    virtual void SetMappingSidesOnSelection(TMappingSides Value) = 0;
    virtual void RemoveSurface(TMappingZone& Zone) = 0;
    virtual void ListAllZonesActionExecute() = 0;
    // The zone's name changed: its tab and its item of the venue list follow.
    virtual void ZoneRenamed(TMappingZone& Zone) = 0;
    virtual void RepaintView() = 0;
};

} // namespace vendrel
