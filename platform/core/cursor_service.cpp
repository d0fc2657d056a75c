#include "platform/core/cursor_service.h"

namespace vendrel {

namespace {
std::shared_ptr<ICursorService>& CursorSlot() {
    static std::shared_ptr<ICursorService> slot;
    return slot;
}
std::shared_ptr<IMouseService>& MouseSlot() {
    static std::shared_ptr<IMouseService> slot;
    return slot;
}
// The cursor number shown last through the program's service, shared by all its instances.
TCursor gCurrentCursor = crDefault;
} // namespace

std::shared_ptr<ICursorService> CursorService() {
    return CursorSlot();
}
std::shared_ptr<ICursorService> RegisterCursorService(std::shared_ptr<ICursorService> service) {
    return std::exchange(CursorSlot(), std::move(service));
}
std::shared_ptr<IMouseService> MouseService() {
    return MouseSlot();
}
std::shared_ptr<IMouseService> RegisterMouseService(std::shared_ptr<IMouseService> service) {
    return std::exchange(MouseSlot(), std::move(service));
}

TPointF GetMousePos() {
    const auto mouse = MouseSlot();
    return mouse ? mouse->GetMousePos() : TPointF{};
}

TSmartCursor::TSmartCursor(TCursor ACursor) : CursorService(vendrel::CursorService()) {
    if (CursorService) {
        CursorService->SetCursor(ACursor);
    }
}

ISmartCursorRef TSmartCursor::Make(TCursor ACursor) {
    return ISmartCursorRef(new TSmartCursor(ACursor));
}

ISmartCursorRef TSmartCursor::HourGlass() {
    return Make(crHourGlass);
}
ISmartCursorRef TSmartCursor::Move() {
    return Make(crSizeAll);
}
ISmartCursorRef TSmartCursor::MultiDrag() {
    return Make(crMultiDrag);
}
ISmartCursorRef TSmartCursor::Forbidden() {
    return Make(crNo);
}
ISmartCursorRef TSmartCursor::Cross() {
    return Make(crCross);
}
ISmartCursorRef TSmartCursor::Default() {
    return Make(crDefault);
}

TMyCursorService::TMyCursorService(std::shared_ptr<ICursorService> previous, TShowOwnCursor showOwn)
    : previous_(std::move(previous)), showOwn_(std::move(showOwn)) {}

void TMyCursorService::SetCursor(TCursor ACursor) {
    gCurrentCursor = ACursor;
    if (ACursor >= 1 && ACursor <= kOwnCursorCount) {
        if (showOwn_) {
            showOwn_(kFirstOwnCursorResource - 1 + ACursor);
        }
        return;
    }
    if (previous_) {
        previous_->SetCursor(ACursor);
    }
}

TCursor TMyCursorService::GetCursor() const {
    return gCurrentCursor;
}

std::shared_ptr<TMyCursorService> InstallProgramCursorService(TShowOwnCursor showOwn) {
    auto mine = std::make_shared<TMyCursorService>(CursorService(), std::move(showOwn));
    RegisterCursorService(mine);
    return mine;
}

} // namespace vendrel
