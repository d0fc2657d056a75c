#pragma once
// Mouse buttons and the shift state of mouse and key events, as the view hands them to the scene.

#include <cstdint>

namespace vendrel {

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// The keys and buttons held during an event.
struct TShiftState {
    bool Shift = false;
    bool Alt = false;
    bool Ctrl = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;

    bool operator==(const TShiftState&) const = default;
};

} // namespace vendrel
