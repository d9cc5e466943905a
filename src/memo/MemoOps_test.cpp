#include "MemoOps.h"
#include "MemoTreeModel.h"

#include "RecordingFrame.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <gtest/gtest.h>

#include <memory>

namespace lumidex {
namespace {

struct Table {
    test::RecordingFrame frame;
    SharedState state{frame, "/nonexistent/"};
    DataManage memos;
    Catalogue catalogue;
    Pdata* Add(const std::string& path) {
        auto e = std::make_unique<Pdata>(path);
        Pdata* p = e.get();
        catalogue.Insert(std::move(e));
        return p;
    }
};

TEST(MemoOps, EqualTextsInOneGroupAreEditedBySlot) {
    // Old files carry equal texts in one group; the one the user picked must be the one changed.
    Table t;
    t.memos.AddGroup("G", 100);
    t.memos.PutMemo("same", 100); // slot 0
    t.memos.PutMemo("same", 100); // slot 1
    Pdata* a = t.Add("/p/a.jpg");
    a->AddMemo(0);
    t.frame.answers = {Answer::Ok};
    Pdata* b = t.Add("/p/b.jpg");
    b->AddMemo(1);
    ASSERT_TRUE(DeleteMemo(t.state, t.memos, t.catalogue, 1));
    EXPECT_EQ(t.memos.Slots()[0].text, "same");
    EXPECT_FALSE(t.memos.IsMemo(1));
    EXPECT_TRUE(a->HasMemo(0));
    EXPECT_FALSE(b->HasMemo(1));
    // The freed slot takes the next memo; nobody carries it.
    EXPECT_EQ(NewMemo(t.state, t.memos, 100), 1);
    EXPECT_EQ(EntriesCarrying(t.catalogue, 1), 0);

    t.memos.PutMemo("same", 100); // slot 2
    EXPECT_EQ(RenameMemo(t.state, t.memos, 2, "fresh"), "fresh");
    EXPECT_EQ(t.memos.Slots()[0].text, "same");
    EXPECT_EQ(RenameMemo(t.state, t.memos, 2, "same"), "same1") << "unique among the others";
    EXPECT_EQ(RenameMemo(t.state, t.memos, 2, "same1"), "same1") << "its own text is free";
    EXPECT_TRUE(t.state.DataChanged);
}

TEST(MemoOps, GroupsAndMoves) {
    Table t;
    EXPECT_EQ(NewGroup(t.state, t.memos), 100);
    EXPECT_EQ(NewGroup(t.state, t.memos), 101);
    EXPECT_EQ(t.memos.Groups()[1].name, "Group1");
    EXPECT_EQ(RenameGroup(t.state, t.memos, 101, "Group1"), "Group1") << "unchanged edit";
    EXPECT_EQ(RenameGroup(t.state, t.memos, 101, "Group"), "Group1") << "its own name is free";
    EXPECT_EQ(RenameGroup(t.state, t.memos, 100, "Group1"), "Group11");
    EXPECT_EQ(RenameGroup(t.state, t.memos, 100, "Group"), "Group");
    EXPECT_EQ(NewGroup(t.state, t.memos, "Group"), 102);
    EXPECT_EQ(t.memos.Groups()[2].name, "Group2");

    const int red = NewMemo(t.state, t.memos, 100, "red");
    const int red2 = NewMemo(t.state, t.memos, 101, "red");
    EXPECT_EQ(NewMemo(t.state, t.memos, 555, "x"), -1) << "no such group";
    Pdata* a = t.Add("/p/a.jpg");
    a->AddMemo(red2);
    EXPECT_FALSE(MoveMemo(t.state, t.memos, red2, 101)) << "onto its own group";
    EXPECT_FALSE(MoveMemo(t.state, t.memos, red2, 999));
    ASSERT_TRUE(MoveMemo(t.state, t.memos, red2, 100));
    EXPECT_EQ(t.memos.Slots()[static_cast<size_t>(red2)].text, "red1");
    EXPECT_EQ(t.memos.Slots()[static_cast<size_t>(red2)].groupId, 100);
    EXPECT_TRUE(a->HasMemo(red2)) << "the slot stays, so entries keep it";
    EXPECT_EQ(t.memos.Slots()[static_cast<size_t>(red)].text, "red");

    EXPECT_FALSE(DeleteGroup(t.state, t.memos, 100)) << "a group with memos";
    EXPECT_TRUE(DeleteGroup(t.state, t.memos, 101));
    EXPECT_EQ(t.memos.GroupCount(), 2);
}

TEST(MemoOps, CancelledDeleteChangesNothing) {
    Table t;
    t.memos.AddGroup("G", 100);
    int m = t.memos.PutMemo("m", 100);
    Pdata* a = t.Add("/p/a.jpg");
    a->AddMemo(m);
    t.frame.answers = {Answer::Cancel};
    EXPECT_FALSE(DeleteMemo(t.state, t.memos, t.catalogue, m));
    ASSERT_EQ(t.frame.questions.size(), 1u);
    EXPECT_EQ(t.frame.questions[0].text, "Some data have this Memo. \nRemove all?");
    EXPECT_TRUE(a->HasMemo(m));
    EXPECT_TRUE(t.memos.IsMemo(m));
    EXPECT_FALSE(t.state.DataChanged);
}

TEST(MemoOps, FirstLineOfClipboardText) {
    EXPECT_EQ(FirstLine("tag\r\nsecond"), "tag");
    EXPECT_EQ(FirstLine("one\nline"), "one");
    EXPECT_EQ(FirstLine("plain"), "plain");
    EXPECT_EQ(FirstLine(""), "");
}

TEST(MemoTreeModel, NodesFollowEditsAndMarkTheShownEntry) {
    Table t;
    t.memos.AddGroup("A", 100);
    t.memos.AddGroup("B", 101);
    t.memos.PutMemo("a1", 100);
    t.memos.PutMemo("b1", 101);
    t.memos.PutMemo("a2", 100);
    MemoTreeModel model(t.state, t.memos, t.catalogue);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex a = model.index(0, 0);
    ASSERT_EQ(model.rowCount(a), 2);
    EXPECT_EQ(model.data(model.index(1, 0, a)).toString(), "a2");
    EXPECT_EQ(model.SlotOf(model.index(1, 0, a)), 2);
    EXPECT_EQ(model.data(a, MemoTreeModel::CheckImageRole).toInt(), -1) << "no image yet";

    Pdata* e = t.Add("/p/e.jpg");
    e->AddMemo(2);
    model.ShowMemosOf(e);
    EXPECT_EQ(model.data(model.index(1, 0, a), MemoTreeModel::CheckImageRole).toInt(), 1);
    EXPECT_EQ(model.data(model.index(0, 0, a), MemoTreeModel::CheckImageRole).toInt(), 0);
    EXPECT_EQ(model.data(a, MemoTreeModel::CheckImageRole).toInt(), 0);
    EXPECT_EQ(model.GroupRowsCarried(), std::vector<int>{0});

    // A dragged memo is accepted on another group only, and keeps its slot.
    std::unique_ptr<QMimeData> drag(model.mimeData({model.index(1, 0, a)}));
    ASSERT_TRUE(drag);
    const QModelIndex b = model.index(1, 0);
    EXPECT_FALSE(model.canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, a));
    EXPECT_FALSE(model.canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, model.index(0, 0, b)));
    QMimeData foreign;
    foreign.setText("2");
    EXPECT_FALSE(model.canDropMimeData(&foreign, Qt::MoveAction, -1, 0, b));
    model.dropMimeData(drag.get(), Qt::MoveAction, -1, 0, b);
    EXPECT_EQ(model.rowCount(a), 1);
    ASSERT_EQ(model.rowCount(b), 2);
    EXPECT_EQ(model.SlotOf(model.index(1, 0, b)), 2);
    EXPECT_EQ(t.memos.Slots()[2].groupId, 101);
    EXPECT_TRUE(e->HasMemo(2));

    // Edits through the model: new nodes in slot order, label edits made unique.
    t.memos.EraseMemoAt(0); // a blank slot the next memo fills
    model.Rebuild();
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    QModelIndex made = model.NewMemo(model.index(1, 0));
    EXPECT_EQ(model.SlotOf(made), 0);
    EXPECT_EQ(made.row(), 0);
    EXPECT_TRUE(model.setData(made, "b1"));
    EXPECT_EQ(model.data(made).toString(), "b11");
    QModelIndex g = model.NewGroup();
    EXPECT_EQ(model.data(g).toString(), "Group");
    EXPECT_TRUE(model.setData(g, "A"));
    EXPECT_EQ(model.data(g).toString(), "A1");
    EXPECT_TRUE(model.DeleteGroup(model.index(0, 0)));
    EXPECT_FALSE(model.DeleteGroup(model.index(0, 0))) << "B holds memos";
    t.frame.answers = {Answer::Ok};
    EXPECT_TRUE(model.DeleteMemo(model.MemoIndex(2)));
    EXPECT_FALSE(e->HasMemo(2));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 2);

    model.ForgetEntry(e);
    EXPECT_EQ(model.shownEntry(), nullptr);
}

} // namespace
} // namespace lumidex
