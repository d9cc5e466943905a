#include "TFolderManager.h"
#include "TMismatchEditor.h"
#include "TMismatchhConf.h"
#include "TNavigator.h"

#include "RecordingFrame.h"
#include "TempDir.h"
#include "Workspace.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "DatabaseCommands.h"
#include "Paths.h"

namespace lumidex {
namespace {

struct Host : MismatchEditorHost {
    std::vector<Pdata*> selected;
    int changed = 0;
    void SelectEntry(Pdata* e) override { selected.push_back(e); }
    void GroupsChanged() override { ++changed; }
};

QApplication& App() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down in exit handlers crashes in its input devices.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

TEST(TMismatchEditor, ListsRemovesSearchesAndForgetsEntries) {
    App();
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (const char* p : {"/p/a.jpg", "/p/b.jpg", "/q/c.jpg", "/q/d.jpg"})
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
    ws.catalogue.Entry(0).mismatchGroup = 1;
    ws.catalogue.Entry(1).mismatchGroup = 1;
    ws.catalogue.Entry(2).mismatchGroup = 2;
    ws.mismatchNumbers.MarkUsed(1);
    ws.mismatchNumbers.MarkUsed(2);
    Host host;
    TMismatchEditor editor(ws, &host);
    editor.show();
    auto* list = editor.findChild<QListView*>("ListBox1");
    ASSERT_TRUE(list);
    QAbstractItemModelTester tester(list->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(editor.windowTitle(), "Mismatch Editor");
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "/p/a.jpg");
    EXPECT_TRUE(list->model()->index(1, 0).data(MismatchRowsModel::EndsGroupRole).toBool());

    auto* search = editor.findChild<QLineEdit*>("Edit1");
    auto* forward = editor.findChild<QPushButton*>("ButtonForward");
    ASSERT_TRUE(search && forward);
    EXPECT_FALSE(forward->isEnabled());
    search->setText("C.JPG");
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(list->currentIndex().row(), 2);
    EXPECT_EQ(editor.findChild<QLabel*>("LabelGroupNo")->text(), "Group 00002");
    // A picture of the window for a person to look at, when asked for.
    if (const char* shots = std::getenv("LUMIDEX2_SCREENSHOT_DIR"))
        editor.grab().save(QString(shots) + "/TMismatchEditor.png");

    auto* remove = editor.findChild<QPushButton*>("ButtonRemove");
    ASSERT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(ws.catalogue.Entry(2).mismatchGroup, 0);
    EXPECT_TRUE(ws.mismatchNumbers.IsFree(2)) << "its last member left";
    EXPECT_TRUE(ws.DataChanged);
    EXPECT_EQ(host.changed, 1);
    EXPECT_EQ(list->model()->rowCount(), 2);

    // An entry freed elsewhere leaves the rows at once.
    ws.lists.RemoveEntry(&ws.catalogue.Entry(0));
    EXPECT_EQ(list->model()->rowCount(), 1);
    editor.findChild<QPushButton*>("ButtonRemoveSingle")->click();
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(ws.catalogue.Entry(0).mismatchGroup, 0);
    EXPECT_FALSE(remove->isEnabled());
}

TEST(TMismatchhConf, PreparedChoiceMixCaptionAndCancel) {
    App();
    TMismatchhConf dialog;
    EXPECT_EQ(dialog.windowTitle(), "Already in Mismatch");
    MismatchQuestion q;
    q.referenceGroup = 7;
    q.rows = {{"3:/a/q.jpg", 3}, {"5:/a/r.jpg", 5}};
    q.mixEnabled = true;
    q.choice = MismatchChoice::Mix;
    dialog.Prepare(q);
    auto* mix = dialog.findChild<QRadioButton*>("Mix");
    ASSERT_TRUE(mix);
    EXPECT_TRUE(mix->isChecked());
    EXPECT_EQ(mix->text(), "Mix 3 and 7");
    dialog.findChild<QListWidget*>("TarfetGroupList")->setCurrentRow(1);
    EXPECT_EQ(mix->text(), "Mix 5 and 7");
    EXPECT_EQ(dialog.Choice(q, true), MismatchChoice::Mix);
    EXPECT_EQ(q.selectedRow, 1);
    dialog.findChild<QRadioButton*>("NewGroup")->setChecked(true);
    EXPECT_EQ(dialog.Choice(q, true), MismatchChoice::NewGroup);
    EXPECT_EQ(dialog.Choice(q, false), MismatchChoice::Cancel);
    if (const char* shots = std::getenv("LUMIDEX2_SCREENSHOT_DIR")) {
        dialog.show();
        dialog.grab().save(QString(shots) + "/TMismatchhConf.png");
    }

    // Without a grouped reference "Mix" cannot be chosen.
    MismatchQuestion plain;
    plain.rows = {{"3:/a/q.jpg", 3}};
    dialog.Prepare(plain);
    EXPECT_FALSE(mix->isEnabled());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("Add")->isChecked());
    EXPECT_EQ(dialog.Choice(plain, true), MismatchChoice::Add);
}

TEST(TNavigator, PagesJumpAndTheMemoPageKnowsSlots) {
    App();
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (const char* p : {"/p/a.jpg", "/p/b.png", "/p/c.jpg"})
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
    ws.catalogue.Entry(1).key = 0x12345678u;
    ws.memos.AddGroup("G", 100);
    ws.memos.PutMemo("same", 100);
    ws.memos.PutMemo("same", 100); // equal texts: the second is meant
    ws.catalogue.Entry(2).AddMemo(1);
    ws.lists.UpdateReferenceList();
    ws.lists.SelectReference(0);
    TNavigator nav(ws);
    nav.show();
    EXPECT_EQ(nav.windowTitle(), "Navigator");
    auto* pages = nav.findChild<QTabWidget*>("PageControl1");
    auto* down = nav.findChild<QToolButton*>("DownButton");
    ASSERT_TRUE(pages && down);
    EXPECT_EQ(pages->tabText(5), "New Add");

    pages->setCurrentIndex(static_cast<int>(NavigatorPage::Name));
    EXPECT_FALSE(down->isEnabled()) << "an empty search text";
    nav.findChild<QLineEdit*>("SearchString")->setText("png");
    down->click();
    EXPECT_EQ(ws.lists.currentReference, &ws.catalogue.Entry(1));
    down->click();
    EXPECT_EQ(nav.findChild<QStatusBar*>("StatusBar1")->currentMessage(), "No match");

    nav.SetMemoChoice(100, 1);
    pages->setCurrentIndex(static_cast<int>(NavigatorPage::Memo));
    auto* memo = nav.findChild<QComboBox*>("ItemValue");
    ASSERT_EQ(memo->count(), 2);
    EXPECT_EQ(memo->currentIndex(), 1);
    down->click();
    EXPECT_EQ(ws.lists.currentReference, &ws.catalogue.Entry(2));
    if (const char* shots = std::getenv("LUMIDEX2_SCREENSHOT_DIR"))
        nav.grab().save(QString(shots) + "/TNavigator.png");
}

TEST(TFolderManager, TreeJumpNoteAndButtons) {
    App();
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    const std::string pics = dir.File("Pics");
    std::filesystem::create_directories(pics + "/sub");
    for (std::string p : {pics + "/a.jpg", pics + "/sub/b.jpg"}) {
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
        ws.FolderList.emplace_back(paths::UpperKey(p), nullptr);
    }
    ws.FolderList.back().second = &ws.catalogue.Entry(1);
    ws.FolderList.front().second = &ws.catalogue.Entry(0);
    ws.lists.UpdateReferenceList();
    struct Moves : FolderManagerHost {
        std::vector<int> steps;
        void MoveReferenceSelection(int s) override { steps.push_back(s); }
        void ListsChanged() override {}
    } host;
    TFolderManager explorer(ws, &host);
    explorer.show();
    explorer.Rebuild();
    EXPECT_EQ(explorer.windowTitle(), "Folder Explorer");
    auto* note = explorer.findChild<QPlainTextEdit*>("Memo1");
    explorer.AddPath(pics + "/sub/b.jpg", true);
    EXPECT_EQ(explorer.CurrentFolder(), pics + "/sub") << "exact letter case";
    EXPECT_TRUE(note->isEnabled());
    explorer.findChild<QPushButton*>("ButtonFindFirst")->click();
    EXPECT_EQ(ws.lists.currentReference, &ws.catalogue.Entry(1));
    note->setPlainText("kept");
    explorer.findChild<QPushButton*>("ButtonSearch2")->click();
    EXPECT_EQ(explorer.findChild<QStatusBar*>("StatusBar1")->currentMessage(), "1 Files match.");
    if (const char* shots = std::getenv("LUMIDEX2_SCREENSHOT_DIR"))
        explorer.grab().save(QString(shots) + "/TFolderManager.png");
    // A clear saves the note before the tree goes.
    Database parts = ws.DatabaseParts();
    ClearAllData(parts);
    EXPECT_EQ(test::ReadWholeFile(pics + "/sub/index .txt"), "kept\r\n");
    EXPECT_TRUE(explorer.CurrentFolder().empty());

    explorer.findChild<QToolButton*>("Up")->click();
    explorer.findChild<QToolButton*>("Down")->click();
    EXPECT_EQ(host.steps, (std::vector<int>{-1, +1})) << "each moves the way its name says";
}

} // namespace
} // namespace lumidex
