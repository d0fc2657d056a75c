#include "platform/qt/unhandled_exception.h"

#include <cstdio>

namespace vendrel {

namespace {

TUnhandledExceptionHandler& handler() {
    static TUnhandledExceptionHandler h;
    return h;
}

bool& reporting() {
    static bool busy = false;
    return busy;
}

} // namespace

void SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler) {
    handler() = std::move(Handler);
}

void ReportUnhandledException(QObject* Sender) {
    const std::exception_ptr error = std::current_exception();
    // An exception raised while the handler itself runs (inside its message box) is not reported again.
    if (!handler() || reporting()) {
        try {
            if (error) {
                std::rethrow_exception(error);
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Unhandled exception: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "Unhandled exception\n");
        }
        return;
    }
    reporting() = true;
    try {
        handler()(Sender, error);
    } catch (...) {
        std::fprintf(stderr, "The exception handler failed\n");
    }
    reporting() = false;
}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportUnhandledException(receiver);
        return false;
    }
}

} // namespace vendrel
