#pragma once
// One QApplication for every test of this executable, created on first use.

#include <QApplication>

namespace vendrel::testing {

inline void EnsureQApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_platform_qt";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
}

// The application on a real X server, as OpenGL needs (never Qt's offscreen platform); false when
// the application already runs on another platform.
inline bool EnsureXcbApplication() {
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    EnsureQApplication();
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace vendrel::testing
