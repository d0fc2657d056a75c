#include "editor/key_commands.h"

#include "editor/editor.h"

namespace vendrel {

namespace {
constexpr uint16_t kKeyEscape = 27;
} // namespace

TKeyCommands::TKeyCommands(TEditor& Editor) : ed_(Editor) {}

bool TKeyCommands::MainFormKeyDown(uint16_t Key, char16_t KeyChar, TShiftState, bool TextFieldHasFocus) {
    if (TextFieldHasFocus) {
        return false;
    }
    if (Key == kKeyEscape) {
        return ed_.Render.AbortRendering();
    }
    switch (KeyChar) {
    case u'R':
    case u'r':
        ed_.Render.RenderBClick();
        return true;
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
