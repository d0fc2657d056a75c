#pragma once
// What the editor asks of the panels that show its objects, and of the window that creates and frees
// them. The panels of panels/ implement these with widgets; editor tests use fakes.
//
// A panel shows one placed object and never owns it. The object points to its panel through its view
// link (GraphicalInterface) and the panel to its object through a typed pointer; the link keeps the two
// in step: a detached panel drops its pointer (ObjectDetached) before anything frees the object, and a
// panel that closes leaves its object pointing at nothing.
//
// A panel only reads when it fills: what an object's model and settings imply for its own values is
// applied by the editor (TObjectKind::ApplyModelRules) before the panel is filled.

#include "platform/core/view_link.h"
#include "scene/scene_object.h"

#include <string>
#include <vector>

namespace vendrel {

class IObjectPanel : public IModelView {
public:
    // Fills the panel from its object; nothing when it shows none.
    virtual void UpdateValues() = 0;
    // Shows the lock state of the object and its layer.
    virtual void UpdateLockUnlock() = 0;
    // The object goes away or is shown elsewhere: the panel forgets it and commits nothing more.
    void ObjectDetached() override = 0;
    // The object's selected state as the panel shows it (a row's selection box); set by the program,
    // it commits nothing.
    virtual void ShowSelected(bool) {}
    // A row of a row list is shown or hidden.
    virtual void SetRowVisible(bool) {}
    // Scrolls the row list so that the row stands in its middle.
    virtual void ScrollIntoView() {}
    // The name of the field that has the keyboard focus ("RotAngleXEdit"), empty for none: the object
    // draws guide lines for some fields.
    virtual std::string FocusedField() const { return {}; }
};

// Where the window builds a new panel.
struct TPanelRequest {
    std::string KindName; // the exact class of the object's kind ("TCabinet")
    std::string Name;     // the panel's name ("CabinetFrame7")
    int TabIndex = -1;    // the tab of the kind's page that holds it (tabbed kinds), else -1
};

// The window's side of the panels: each kind's page builds its panels in their place and frees them.
class IObjectPanels {
public:
    virtual ~IObjectPanels() = default;
    // A panel for the object in its kind's page; null when the window has no page for the kind.
    virtual IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request) = 0;
    // Frees a panel whose object was detached from it. It goes once control is back in the event loop,
    // so a panel may free itself from its own handler.
    virtual void FreePanel(IObjectPanel* Panel) = 0;
    // Stacks the kind's rows in the given order (the order of the project's list).
    virtual void SortRows(const std::string& KindName, const std::vector<IObjectPanel*>& Rows) = 0;
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
