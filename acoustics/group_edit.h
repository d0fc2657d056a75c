#pragma once
// Holds the prediction's workers while an edit changes what they read: the element lists of a line
// array or a cluster, or the cabinets in them. It is the project's TWorkersPause (see the contract in
// acoustics/project.h): the workers are cancelled and waited for without running queued calls, and
// when it ends the cabinets whose pass was interrupted are asked for their maps again.

#include "acoustics/project.h"

namespace vendrel {

class TCabinet;

// Holds the project's events back for its lifetime and gives them back their value (no project:
// nothing to hold).
class EventsHeldBack {
public:
    explicit EventsHeldBack(TAcousticProject* project) : project_(project) {
        if (project_ != nullptr) {
            saved_ = project_->EventsEnabled.exchange(false);
        }
    }
    ~EventsHeldBack() {
        if (project_ != nullptr) {
            project_->EventsEnabled.store(saved_);
        }
    }
    EventsHeldBack(const EventsHeldBack&) = delete;
    EventsHeldBack& operator=(const EventsHeldBack&) = delete;

private:
    TAcousticProject* project_;
    bool saved_ = true;
};

class GroupEdit {
public:
    // Nothing is held without a project, or when Registered is false (an object that no worker can
    // reach yet).
    GroupEdit(TAcousticProject* project, bool Registered) : pause_(Registered ? project : nullptr) {}
    GroupEdit(const GroupEdit&) = delete;
    GroupEdit& operator=(const GroupEdit&) = delete;

    // A cabinet about to be released: it leaves the project's lists with its release, so the pause's
    // end never asks it again; kept for the callers that say so.
    void Forget(const TCabinet*) {}

private:
    TWorkersPause pause_;
};

} // namespace vendrel
