#pragma once
// What the editor asks of the panels that show its objects, and of the window that creates and frees
// them. The panels of panels/ implement these with widgets; editor tests use fakes.
//
// A panel shows one placed object and never owns it. The object points to its panel through its view
// link (GraphicalInterface) and the panel to its object through a typed pointer; the link keeps the two
// in step: a detached panel drops its pointer (ObjectDetached) before anything frees the object, and a
// panel that closes leaves its object pointing at nothing.

#include "platform/core/view_link.h"
#include "scene/scene_object.h"

#include <string>

namespace vendrel {

class TCabinet;
class TMappingZone;

class IObjectPanel : public IModelView {
public:
    // Fills the panel from its object; nothing when it shows none.
    virtual void UpdateValues() = 0;
    // Shows the lock state of the object and its layer.
    virtual void UpdateLockUnlock() = 0;
    // The object goes away or is shown elsewhere: the panel forgets it and commits nothing more.
    void ObjectDetached() override = 0;
};

// The row of a loose cabinet in the window's cabinet list.
class ICabinetPanel : public IObjectPanel {
public:
    // The row's selection box, set by the program (no commit).
    virtual void SetSelChecked(bool Checked) = 0;
    virtual void SetRowVisible(bool Visible) = 0;
    // Scrolls the cabinet list so that the row stands in its middle.
    virtual void ScrollIntoView() = 0;
};

// Which field of a zone panel has the focus; the zone draws guide lines for the focused one.
enum class TZoneGuide : uint8_t { None, RotAngleX, RotAngleY, RotAngleZ, TrapezHeight };

// The panel of a mapping zone, on the zone's tab.
class IZonePanel : public IObjectPanel {
public:
    // Shows the mapping choice and sets the controls that depend on it, then re-applies the texture.
    virtual void UpdateSidesMapping() = 0;
    // Sets the zone solid's face materials from the zone's texture sides.
    virtual void UpdateTextureSidesFloor() = 0;
    // Moves the listening plane to Level metres above the zone.
    virtual void SetListeningLevel(float Level) = 0;
    // The listening-height field shows Text (set by the program, no commit).
    virtual void SetAudienceLevelText(const std::string& Text) = 0;
    virtual TZoneGuide FocusedGuide() const = 0;
};

// The window's side of the panels: it creates each in its place and frees it.
class IObjectPanels {
public:
    virtual ~IObjectPanels() = default;
    // A row for a loose cabinet, named Name, at the end of the cabinet list.
    virtual ICabinetPanel* NewCabinetPanel(TCabinet& Cabinet, const std::string& Name) = 0;
    // The panel of a zone on the page of the zone tab TabIndex.
    virtual IZonePanel* NewZonePanel(TMappingZone& Zone, int TabIndex) = 0;
    // Frees a panel whose object was detached from it. It goes once control is back in the event loop,
    // so a panel may free itself from its own handler.
    virtual void FreePanel(IObjectPanel* Panel) = 0;
    // Stacks the cabinet rows in the order of the project's cabinet list.
    virtual void SortCabinetsFrames() = 0;
};

// ---- The link between an object and its panel (both ways) ----

inline void AttachPanel(TQzControl3D& Obj, IObjectPanel* Panel) {
    Obj.GraphicalInterface.Attach(Panel);
}

template <typename T> T* PanelOf(const TQzControl3D& Obj) {
    return Obj.GraphicalInterface.ViewAs<T>();
}

// The object forgets its panel and the panel its object; returns the panel (null for none).
inline IObjectPanel* DetachPanel(TQzControl3D& Obj) {
    IObjectPanel* panel = PanelOf<IObjectPanel>(Obj);
    Obj.GraphicalInterface.Detach();
    return panel;
}

} // namespace vendrel
