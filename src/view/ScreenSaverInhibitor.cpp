#include "ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace lumidex {

namespace {
constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
// A desktop that does not answer must not hold up the show.
constexpr int kTimeoutMs = 1000;
} // namespace

bool ScreenSaverInhibitor::Inhibit() {
    if (held_) return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusInterface saver(kService, kPath, kService, bus);
    if (!saver.isValid()) return false;
    saver.setTimeout(kTimeoutMs);
    QDBusReply<uint> reply = saver.call("Inhibit", "Lumidex2", "Slide show");
    if (!reply.isValid()) return false;
    cookie_ = reply.value();
    held_ = true;
    return true;
}

void ScreenSaverInhibitor::Release() {
    if (!held_) return;
    held_ = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusInterface saver(kService, kPath, kService, bus);
    if (!saver.isValid()) return;
    saver.setTimeout(kTimeoutMs);
    saver.call(QDBus::NoBlock, "UnInhibit", cookie_);
}

} // namespace lumidex
