#pragma once

#include "DatabaseCommands.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"
#include "TestApplication.h"

#include <QApplication>
#include <QTreeView>

#include <gtest/gtest.h>

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

// The program started on a database and shown, questions answered by script.
class MainWindowTest : public ::testing::Test {
protected:
    void Start(const std::string& database) {
        EnsureApplication();
        program = StartProgram(home.path(), {QString::fromStdString(database)});
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        if (!main) return;
        Workspace& ws = main->workspace();
        ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        program.reset();
    }
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
