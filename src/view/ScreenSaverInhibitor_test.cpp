#include "ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>

namespace lumidex {
namespace {

TEST(ScreenSaverInhibitor, WithoutASessionBusNothingFails) {
    // No bus to talk to: the show runs all the same.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/lumidex2-test-bus", 1);
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ScreenSaverInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.Inhibit());
    EXPECT_FALSE(inhibitor.Held());
    inhibitor.Release();
}

} // namespace
} // namespace lumidex
