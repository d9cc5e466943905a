#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace lumidex::test {

// Lets events run until done() holds; false after ten seconds without it.
inline bool WaitFor(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}

} // namespace lumidex::test
