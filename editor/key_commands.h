#pragma once
// The main window's keyboard commands on the scene. The window's key events, and those of the windows
// that forward their keys to it, arrive here once; keys that are shortcuts of the window's commands are
// handled by those commands and never reach this handler.
//
// Letters typed into a text field are text: while a text field has the focus, the letter commands do
// nothing.

#include <cstdint>

#include "platform/core/input.h"

namespace vendrel {

class TEditor;

class TKeyCommands {
public:
    explicit TKeyCommands(TEditor& Editor);

    // Key: the virtual-key code; KeyChar: the typed character (0 for none). Returns true when the key
    // was used.
    bool MainFormKeyDown(uint16_t Key, char16_t KeyChar, TShiftState Shift, bool TextFieldHasFocus);

private:
    TEditor& ed_;
};

} // namespace vendrel
