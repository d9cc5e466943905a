#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lumidex::test {

// The child of a window by its object name; a test failure when there is none.
template <class T> T* Find(QWidget* in, const char* name) {
    T* w = in->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Works the modal dialog that the next command opens, once the event loop runs it.
inline void OnDialog(std::function<void(QDialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

} // namespace lumidex::test
