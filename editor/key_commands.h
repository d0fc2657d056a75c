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

#include "editor/ui_values.h"
#include "platform/core/input.h"

namespace vendrel {

class TEditor;

class TKeyCommands {
public:
    explicit TKeyCommands(TEditor& Editor);

    // Key: the virtual-key code; KeyChar: the typed character (0 for none). Returns true when the key
    // was used.
    bool MainFormKeyDown(uint16_t Key, char16_t KeyChar, TShiftState Shift, bool TextFieldHasFocus);

    // The step selectors "Pos" (item 0..3: 1 cm, 10 cm, 1 m, 10 m, or the same numbers in feet) and
    // "Rot" (item 0..4: 0.1, 1, 10, 30, 45 degrees); a choice sets the step, marks the project
    // modified and is written to the settings ("GlobalMoveInc", "GlobalRotInc").
    TUIRange GlobalPosStepsCB{0, 3, 2, 1};
    TUIRange GlobalRotStepsCB{0, 4, 2, 1};
    void GlobalPosStepsCBChange();
    void GlobalRotStepsCBChange();

private:
    TEditor& ed_;
};

} // namespace vendrel
