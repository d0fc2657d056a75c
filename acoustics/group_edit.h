#pragma once
// Holds the prediction's workers while an edit changes what they read: the element lists of a line
// array or a cluster, or the cabinets in them. While an instance lives, the summing thread and every
// cabinet's map thread are cancelled and waited for (without running queued calls); when it ends,
// the cabinets whose pass was interrupted are asked for their maps again, except those released
// meanwhile (Forget).

#include <algorithm>
#include <vector>

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
    GroupEdit(TAcousticProject* project, bool Registered) : project_(Registered ? project : nullptr) {
        if (project_ != nullptr) {
            interrupted_ = project_->StopWorkersForRemoval();
        }
    }
    ~GroupEdit() {
        if (project_ != nullptr) {
            project_->ResumeInterrupted(interrupted_);
        }
    }
    GroupEdit(const GroupEdit&) = delete;
    GroupEdit& operator=(const GroupEdit&) = delete;

    // A cabinet about to be released is not asked again.
    void Forget(const TCabinet* cabinet) {
        interrupted_.erase(std::remove(interrupted_.begin(), interrupted_.end(), cabinet),
                           interrupted_.end());
    }

private:
    TAcousticProject* project_;
    std::vector<TCabinet*> interrupted_;
};

} // namespace vendrel
