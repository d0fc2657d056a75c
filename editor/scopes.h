#pragma once
// Paired state changes as scopes: the state is set for the length of a block and given back on every
// way out of it, a thrown exception included. Each scope restores the value it found, so scopes nest.
// The project's events are held back by EventsHeldBack (acoustics/events_held_back.h).

namespace vendrel {

class TAcousticProject;

// A flag of the editor or the window set for a block (DisableOnChange while objects are removed or
// duplicated, a busy flag while a handler runs).
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value = true) : flag_(Flag), saved_(Flag) { flag_ = Value; }
    ~TFlagScope() { flag_ = saved_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// The cabinets' hit points are not recomputed inside the block; the caller recomputes them once after
// it, when the block's edits are complete.
class THitPointsHeld {
public:
    explicit THitPointsHeld(TAcousticProject& Project);
    ~THitPointsHeld();
    THitPointsHeld(const THitPointsHeld&) = delete;
    THitPointsHeld& operator=(const THitPointsHeld&) = delete;

private:
    TAcousticProject& project_;
    bool saved_;
};

} // namespace vendrel
