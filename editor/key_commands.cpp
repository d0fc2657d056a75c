#include "editor/key_commands.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/mem_ini_file.h"

#include <array>

namespace vendrel {

namespace {

constexpr uint16_t kKeyDelete = 46;
constexpr uint16_t kKeyEscape = 27;
constexpr std::array<float, 4> kPosSteps{0.01f, 0.1f, 1.0f, 10.0f};
constexpr std::array<float, 5> kRotSteps{0.1f, 1.0f, 10.0f, 30.0f, 45.0f};

} // namespace

TKeyCommands::TKeyCommands(TEditor& Editor) : ed_(Editor) {
    GlobalPosStepsCB.OnChange = [this] { GlobalPosStepsCBChange(); };
    GlobalRotStepsCB.OnChange = [this] { GlobalRotStepsCBChange(); };
}

void TKeyCommands::GlobalPosStepsCBChange() {
    ed_.State.GlobalPosSteps = kPosSteps[static_cast<size_t>(GlobalPosStepsCB.Value())];
    ed_.Project.SetIsProjectModified(true);
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteInteger("Options", "GlobalMoveInc",
                                      static_cast<int32_t>(GlobalPosStepsCB.Value()));
    }
}

void TKeyCommands::GlobalRotStepsCBChange() {
    ed_.State.GlobalRotSteps = kRotSteps[static_cast<size_t>(GlobalRotStepsCB.Value())];
    ed_.Project.SetIsProjectModified(true);
    if (ed_.SettingsIni != nullptr) {
        ed_.SettingsIni->WriteInteger("Options", "GlobalRotInc",
                                      static_cast<int32_t>(GlobalRotStepsCB.Value()));
    }
}

bool TKeyCommands::MainFormKeyDown(uint16_t Key, char16_t KeyChar, TShiftState, bool TextFieldHasFocus) {
    if (TextFieldHasFocus) {
        return false;
    }
    if (Key == kKeyDelete) {
        ed_.Removal.DeleteActionExecute();
        return true;
    }
    if (Key == kKeyEscape) {
        // A pending insertion by mouse ends, then a running calculation is aborted.
        const bool inserting = ed_.Adding.IsInsertigInViewPort3D();
        ed_.Adding.EndInsertionInViewPort3D();
        return ed_.Render.AbortRendering() || inserting;
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
