#pragma once
// What the editor asks of the window it runs in. The window implements it with its widgets; tests
// record the calls. Values the window shows live in the editor (ui_values.h), not here.

#include "platform/core/cursor_service.h"

#include <cstdint>

namespace vendrel {

class TObject;

// What the offsets dialog opens for.
enum class TOffsetsMode : uint8_t {
    Duplicate,     // "Duplicate with Offset"
    MoveAndRotate, // "Move / Rotate": its OK moves and turns the selection
};

class IEditorView {
public:
    virtual ~IEditorView() = default;
    // The 3D view (its viewport and input planes) shows this cursor from now on.
    virtual void ViewCursorChanged(TCursor Cursor) = 0;
    // Opens the scene's context menu at the mouse; TagObject is what its commands act on (may be null).
    virtual void PopupGlobalMenu(TObject* TagObject) = 0;
    // The status bar's memory figures are read again. A window without them ignores it.
    virtual void ShowMemoryInfo() {}
    // The preferences open on their mapping page. A window without them ignores it.
    virtual void ShowMappingConfig() {}
    // The 3D view handles a mouse move at the pointer's present place, so that what lies under the
    // mouse is found again after a rule of the hit test changed.
    virtual void RefreshMousePosition() {}
    // Opens the cabinet-model menu at the mouse (its choice goes to TAddObjects::ModelMenuItemClick).
    virtual void PopupModels() {}
    // Opens the menu that moves an object to another layer.
    virtual void PopupChangeLayer(TObject*) {}
    // The 3D view takes the keyboard focus.
    virtual void FocusViewport() {}
    // Opens the offsets dialog at the mouse (not modal) for a command; a window without it ignores it.
    virtual void ShowOffsetsDialog(TOffsetsMode) {}
    // An object is about to be freed: the window drops every pointer to it (menu targets).
    virtual void ObjectRemoved(TObject*) {}
};

} // namespace vendrel
