#pragma once
// The project's events held back while a block sets many properties at once (building or releasing
// the elements of arrays, clusters and rigging frames, removing objects, filling the window's boxes):
// the setters it calls ask for no recalculation meanwhile.

#include "acoustics/project.h"

namespace vendrel {

// Holds the project's events back for its lifetime and gives them back their value (no project:
// nothing to hold). The workers' pause is held for the same time: with the events off a summation
// sums nothing and a setter asks for no map, so no worker may run on (and publish) meanwhile. The
// pause ends after the events are back, so the work it interrupted is asked for again.
class EventsHeldBack {
public:
    explicit EventsHeldBack(TAcousticProject* project) : pause_(project), project_(project) {
        if (project_ != nullptr) {
            saved_ = project_->EventsEnabled();
            project_->SetEventsEnabled(false);
        }
    }
    explicit EventsHeldBack(TAcousticProject& project) : EventsHeldBack(&project) {}
    ~EventsHeldBack() {
        if (project_ != nullptr) {
            project_->SetEventsEnabled(saved_);
        }
    }
    EventsHeldBack(const EventsHeldBack&) = delete;
    EventsHeldBack& operator=(const EventsHeldBack&) = delete;

private:
    TWorkersPause pause_;
    TAcousticProject* project_;
    bool saved_ = true;
};

} // namespace vendrel
