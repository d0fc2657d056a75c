#pragma once
// What the edits of line arrays, clusters and rigging frames hold besides the project's workers' pause (the
// contract in acoustics/project.h): the project's events, while they build or release elements.

#include "acoustics/project.h"

namespace vendrel {

// Holds the project's events back for its lifetime and gives them back their value (no project:
// nothing to hold).
class EventsHeldBack {
public:
    explicit EventsHeldBack(TAcousticProject* project) : project_(project) {
        if (project_ != nullptr) {
            saved_ = project_->EventsEnabled();
            project_->SetEventsEnabled(false);
        }
    }
    ~EventsHeldBack() {
        if (project_ != nullptr) {
            project_->SetEventsEnabled(saved_);
        }
    }
    EventsHeldBack(const EventsHeldBack&) = delete;
    EventsHeldBack& operator=(const EventsHeldBack&) = delete;

private:
    TAcousticProject* project_;
    bool saved_ = true;
};

} // namespace vendrel
