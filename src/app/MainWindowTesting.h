#pragma once
// For tests of the main window: the program started over temporary folders, and modal dialogs
// worked from the event loop.

#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"
#include "TestApplication.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace lumidex::test {

// Works the modal dialog that the next command opens.
inline void OnModalDialog(std::function<void(QDialog*)> work) {
    QTimer::singleShot(0, [work] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        work(dialog);
    });
}

// The program with its settings folder in home; questions answered by script.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void Start(QStringList args = {}) {
        program = StartProgram(home.path(), args);
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
    }
    // Also ends a program started again within one test.
    void Stop() {
        if (main) {
            Workspace& ws = main->workspace();
            ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        }
        program.reset();
        main = nullptr;
    }
    void TearDown() override { Stop(); }

    TempDir home, data;
    RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

} // namespace lumidex::test
