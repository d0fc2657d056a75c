#pragma once
// The dispatcher of the program: queued calls run on the Qt event loop of the user-interface thread.

#include "platform/core/dispatcher.h"

#include <QObject>

namespace vendrel {

class QtDispatcher : public IDispatcher {
public:
    // Target: the object in whose thread the calls run (the application object by default).
    explicit QtDispatcher(QObject* Target = nullptr);

    // Queued as a Qt queued call; an exception it raises goes to the crash handler.
    void Queue(std::function<void()> fn) override;
    // Runs the pending calls and other non-input events; user input waits. A call made while it runs
    // (from a queued call) returns at once, so no second pass nests inside the first.
    void ProcessMessages() override;
    bool IsUIThread() const override;

private:
    QObject* target_;
    bool busy_ = false;
};

} // namespace vendrel
