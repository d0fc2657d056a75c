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

} // namespace vendrel::testing
