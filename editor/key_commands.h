#pragma once
// The main window's keyboard commands on the scene, and the two step selectors of the tool bar. The
// window's key events, and those of the windows that forward their keys to it, arrive here once; keys
// that are shortcuts of the window's commands are handled by those commands and never reach this
// handler.
//
// Letters typed into a text field are text: while a text field has the focus, the letter commands do
// nothing, and Delete edits the text instead of deleting objects.

#include <cstdint>
#include <functional>

#include "editor/moving.h"
#include "editor/ui_values.h"
#include "platform/core/input.h"

namespace vendrel {

class TEditor;

class TKeyCommands {
public:
    explicit TKeyCommands(TEditor& Editor);

    // Key: the virtual-key code (Delete 46, Escape 27, Shift 16, Ctrl 17, arrows 37 left to 40 down);
    // KeyChar: the typed character (0 for none). Returns true when the key was used. The arrow keys move
    // the selection in a 2D view, else turn (3D view) or pan the camera.
    bool MainFormKeyDown(uint16_t Key, char16_t KeyChar, TShiftState Shift, bool TextFieldHasFocus);
    // A key released: after Shift or Ctrl the view's cursor is the default again.
    void FormKeyUp(uint16_t Key);
    // The 3D camera turns 5 degrees about its pivots, or a 2D view's camera pans by 5.
    void MoveCameraWithArrowKey(TArrowKey Key);

    // The step selectors "Pos" (item 0..3: 1 cm, 10 cm, 1 m, 10 m, or the same numbers in feet) and
    // "Rot" (item 0..4: 0.1, 1, 10, 30, 45 degrees); a choice sets the step, marks the project
    // modified and is written to the settings ("GlobalMoveInc", "GlobalRotInc").
    TUIRange GlobalPosStepsCB{0, 3, 2, 1};
    TUIRange GlobalRotStepsCB{0, 4, 2, 1};
    void GlobalPosStepsCBChange();
    void GlobalRotStepsCBChange();

private:
    bool keyDown(uint16_t Key, char16_t KeyChar);

    TEditor& ed_;
};

} // namespace vendrel
