#include "editor/key_commands.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/cursor_service.h"
#include "platform/core/mem_ini_file.h"

#include <array>

namespace vendrel {

namespace {

constexpr uint16_t kKeyDelete = 46;
constexpr uint16_t kKeyEscape = 27;
constexpr uint16_t kKeyShift = 16;
constexpr uint16_t kKeyCtrl = 17;
constexpr uint16_t kKeyLeft = 37;
constexpr uint16_t kKeyDown = 40;
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
    const bool used = keyDown(Key, KeyChar);
    // Any key but Ctrl and Shift gives the view its default cursor back; Ctrl shows that a press adds
    // to the selection.
    if (Key == kKeyCtrl) {
        ed_.SetViewCursor(crMultiDrag);
    } else if (Key != kKeyShift) {
        ed_.SetViewCursor(crDefault);
    }
    return used;
}

bool TKeyCommands::keyDown(uint16_t Key, char16_t KeyChar) {
    if (Key == kKeyDelete) {
        ed_.Removal.DeleteActionExecute();
        return true;
    }
    if (Key >= kKeyLeft && Key <= kKeyDown) {
        const auto arrow = static_cast<TArrowKey>(Key - kKeyLeft);
        if (ed_.Project.ViewType() != TViewType::qzaThreeDView && !ed_.State.SelectedObjList.IsEmpty()) {
            ed_.Moving.ArrowKeyMove(arrow);
        } else {
            MoveCameraWithArrowKey(arrow);
        }
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
    case u'M':
    case u'm':
        ed_.Moving.ToggleMagnetic();
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

void TKeyCommands::FormKeyUp(uint16_t Key) {
    if (Key == kKeyShift || Key == kKeyCtrl) {
        ed_.SetViewCursor(crDefault);
        TSmartCursor::Default();
    }
}

void TKeyCommands::MoveCameraWithArrowKey(TArrowKey Key) {
    TEditorScene& sc = ed_.Scene;
    TViewsCameras& v = ed_.Views;
    if (ed_.Project.ViewType() == TViewType::qzaThreeDView) {
        switch (Key) {
        case TArrowKey::Left:
            sc.Cam3DDummyY->SetRotationAngleY(sc.Cam3DDummyY->RotationAngle().Y - 5);
            break;
        case TArrowKey::Right:
            sc.Cam3DDummyY->SetRotationAngleY(sc.Cam3DDummyY->RotationAngle().Y + 5);
            break;
        case TArrowKey::Up:
            sc.Cam3DDummyX->SetRotationAngleX(sc.Cam3DDummyX->RotationAngle().X + 5);
            break;
        case TArrowKey::Down:
            sc.Cam3DDummyX->SetRotationAngleX(sc.Cam3DDummyX->RotationAngle().X - 5);
            break;
        }
    } else {
        switch (Key) {
        case TArrowKey::Left:
            v.CamXScrollBar.SetValue(v.CamXScrollBar.Value() + 5);
            break;
        case TArrowKey::Right:
            v.CamXScrollBar.SetValue(v.CamXScrollBar.Value() - 5);
            break;
        case TArrowKey::Up:
            v.CamYScrollBar.SetValue(v.CamYScrollBar.Value() + 5);
            break;
        case TArrowKey::Down:
            v.CamYScrollBar.SetValue(v.CamYScrollBar.Value() - 5);
            break;
        }
    }
    ed_.Repaint();
}

} // namespace vendrel
