#pragma once
// The road of an exception that nothing caught to the program's crash handler.
//
// Exceptions must not unwind through Qt's own frames. Every place where Qt calls our code and no
// caller of ours is left to catch (event delivery, the OpenGL paint, queued calls) catches everything
// and hands the exception here; the installed handler (the main window's) reports it.

#include <QApplication>

#include <exception>
#include <functional>

namespace vendrel {

// Sender: the object whose event or call raised (may be null).
using TUnhandledExceptionHandler = std::function<void(QObject* Sender, std::exception_ptr Error)>;

// Installs the handler (an empty function removes it). UI thread only.
void SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler);

// Hands the exception being handled (call inside a catch block) to the installed handler; without one
// it is written to standard error. Never throws: an exception from the handler itself is swallowed.
void ReportUnhandledException(QObject* Sender);

// The application object of the program: events are delivered inside a catch-all that reports.
class TGuardedApplication : public QApplication {
public:
    TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace vendrel
