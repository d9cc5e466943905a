#pragma once
// For tests of the main window: the program started over temporary folders, and modal dialogs
// worked from the event loop.

#include "DatabaseCommands.h"
#include "DialogScript.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"
#include "TestApplication.h"

#include <QApplication>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace lumidex::test {

// Writes a database of every picture under folder (home: where the writing workspace keeps its
// files); returns its path.
inline std::string WriteFolderDatabase(const std::string& folder, const std::string& home,
                                       const std::string& path) {
    NullFrame frame;
    Workspace ws(frame, home);
    ws.AddPicturesFromFolder(folder, {});
    ws.options.UseJapneseMenu = false;
    Database db = ws.DatabaseParts();
    BuildHeader(db);
    EXPECT_TRUE(WriteDatabase(db, path));
    return path;
}

// The program with its settings folder in home; questions answered by script.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void Start(QStringList args = {}) {
        EnsureApplication(); // for fixtures whose SetUp starts the program itself
        program = StartProgram(home.path(), args);
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
    }
    void Start(const std::string& database) { Start({QString::fromStdString(database)}); }
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
    // As the user selects one row of a list view.
    void SelectRow(QTreeView* view, int row) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        main->UpdateActions();
    }

    TempDir home, data;
    RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

} // namespace lumidex::test
