#pragma once

#include <QApplication>

namespace lumidex::test {

// One application for the whole test process, never destroyed: Qt's own statics outlive the
// tests, and tearing Qt down in exit handlers crashes in its input devices.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "lumidex2_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

} // namespace lumidex::test
