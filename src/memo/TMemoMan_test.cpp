#include "TMemoMan.h"

#include "DatabaseCommands.h"
#include "RecordingFrame.h"
#include "TempDir.h"
#include "Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdlib>

namespace lumidex {
namespace {

struct Host : MemoManagerHost {
    std::vector<Pdata*> hints;
    void MemosOfEntryChanged(Pdata* e) override { hints.push_back(e); }
    void MoveReferenceSelection(int) override {}
};

TEST(TMemoMan, TagsTheShownEntryCopiesAndPastes) {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    test::TempDir dir;
    test::RecordingFrame frame;
    Workspace ws(frame, dir.path());
    for (const char* p : {"/p/a.jpg", "/p/b.jpg"})
        ws.catalogue.Insert(std::make_unique<Pdata>(p));
    Pdata* a = &ws.catalogue.Entry(0);
    Pdata* b = &ws.catalogue.Entry(1);
    ws.lists.UpdateReferenceList();
    ws.lists.SelectReference(0);
    Host host;
    TMemoMan man(ws, &host);
    man.show();
    EXPECT_EQ(man.windowTitle(), "Memo Manager");
    auto* tree = man.findChild<QTreeView*>("TreeView1");
    auto click = [&](const char* button) {
        auto* b = man.findChild<QPushButton*>(button);
        ASSERT_TRUE(b) << button;
        ASSERT_TRUE(b->isEnabled()) << button;
        b->click();
    };
    click("ButtonNewGroup");
    tree->closePersistentEditor(tree->currentIndex());
    EXPECT_EQ(man.model().data(tree->currentIndex()).toString(), "Group");
    EXPECT_FALSE(man.findChild<QPushButton*>("ActionSet")->isEnabled()) << "a group node";
    click("NewMemo");
    EXPECT_EQ(man.model().data(tree->currentIndex()).toString(), "Memo");
    const int slot = man.SelectedSlot();
    ASSERT_GE(slot, 0);
    ws.DataChanged = false;
    click("ActionSet");
    EXPECT_TRUE(a->HasMemo(slot));
    EXPECT_TRUE(ws.DataChanged);
    EXPECT_EQ(host.hints, std::vector<Pdata*>{a});
    EXPECT_EQ(tree->currentIndex().data(MemoTreeModel::CheckImageRole).toInt(), 1);
    EXPECT_FALSE(man.findChild<QPushButton*>("ActionSet")->isEnabled());
    click("CopyButton");

    // Pasting onto another reference; a clipboard line names a pasted memo.
    ws.lists.SelectReference(1);
    man.ShowMemosOf(b);
    click("PasteButton");
    EXPECT_TRUE(b->HasMemo(slot));
    QGuiApplication::clipboard()->setText("Blue\nsecond line");
    click("ActionMemoPaste");
    EXPECT_EQ(man.model().data(tree->currentIndex()).toString(), "Blue");
    if (const char* shots = std::getenv("LUMIDEX2_SCREENSHOT_DIR"))
        man.grab().save(QString(shots) + "/TMemoMan.png");

    // Deleting the memo takes it from every entry; the shown entry goes with a clear.
    tree->setCurrentIndex(man.model().MemoIndex(slot));
    frame.answers = {Answer::Ok};
    click("DeleteMemo");
    EXPECT_FALSE(a->HasMemo(slot));
    EXPECT_FALSE(b->HasMemo(slot));
    Database parts = ws.DatabaseParts();
    ClearAllData(parts);
    man.RebuildTree();
    EXPECT_EQ(man.model().shownEntry(), nullptr);
    EXPECT_EQ(man.model().rowCount(), 0);
}

} // namespace
} // namespace lumidex
