#include "platform/qt/qt_dispatcher.h"

#include "platform/qt/unhandled_exception.h"

#include <QCoreApplication>
#include <QThread>

namespace vendrel {

QtDispatcher::QtDispatcher(QObject* Target)
    : target_(Target != nullptr ? Target : QCoreApplication::instance()) {}

void QtDispatcher::Queue(std::function<void()> fn) {
    QObject* target = target_;
    QMetaObject::invokeMethod(
        target,
        [fn = std::move(fn), target]() {
            try {
                fn();
            } catch (...) {
                ReportUnhandledException(target);
            }
        },
        Qt::QueuedConnection);
}

void QtDispatcher::ProcessMessages() {
    if (busy_) {
        return;
    }
    busy_ = true;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    busy_ = false;
}

bool QtDispatcher::IsUIThread() const {
    return QThread::currentThread() == target_->thread();
}

} // namespace vendrel
