#include "editor/key_commands.h"

#include "editor/editor.h"

namespace vendrel {

TKeyCommands::TKeyCommands(TEditor& Editor) : ed_(Editor) {}

bool TKeyCommands::MainFormKeyDown(uint16_t, char16_t KeyChar, TShiftState, bool TextFieldHasFocus) {
    if (TextFieldHasFocus) {
        return false;
    }
    switch (KeyChar) {
    case u'F':
    case u'f':
        ed_.Views.ZoomToObjectBClick();
        return true;
    case u'I':
    case u'i':
        ed_.Views.ZoomItemInClick();
        return true;
    case u'O':
    case u'o':
        ed_.Views.ZoomItemOutClick();
        return true;
    default:
        return false;
    }
}

} // namespace vendrel
