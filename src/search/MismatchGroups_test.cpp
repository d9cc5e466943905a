#include "MismatchGroups.h"

#include "ListsTestFixture.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {
using test::Fixture;
using test::Strings;

// Three alike pictures listed under "Has Similar Pics", P selected with Q and R as targets.
struct Alike : Fixture {
    Pdata* p = Add("/a/p.jpg", 0);
    Pdata* q = Add("/a/q.jpg", 0);
    Pdata* r = Add("/a/r.jpg", 0);
    MismatchNum numbers;
    std::vector<MismatchQuestion> asked;
    Alike() { Select(); }
    void Select() {
        ListUp();
        lists.SelectReference(lists.reference.Find(p));
    }
    void Targets(std::initializer_list<Pdata*> entries) {
        lists.target.ClearSelection();
        for (Pdata* e : entries)
            lists.target.Select(lists.target.Find(e));
    }
    bool Make(MismatchChoice answer, int row = 0) {
        return MakeMismatch(
            lists, numbers,
            [&](MismatchQuestion& q) {
                asked.push_back(q);
                q.selectedRow = row;
                return answer;
            },
            false);
    }
};

TEST(MakeMismatch, NewGroupLeavesTheListsAtOnce) {
    Alike f;
    f.Targets({f.q});
    ASSERT_TRUE(f.Make(MismatchChoice::Cancel));
    EXPECT_TRUE(f.asked.empty()) << "nobody grouped: no question";
    EXPECT_EQ(f.p->mismatchGroup, 1);
    EXPECT_EQ(f.q->mismatchGroup, 1);
    EXPECT_TRUE(f.state.DataChanged);
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/r.jpg"})) << "the pair is gone";
    EXPECT_EQ(f.lists.currentReference, f.p);
}

TEST(MakeMismatch, TheDialogsChoices) {
    {
        Alike f; // target in group 5, reference ungrouped: "Add" brings the reference in
        f.q->mismatchGroup = 5;
        f.numbers.MarkUsed(5);
        f.Select();
        f.Targets({f.q, f.r});
        ASSERT_TRUE(f.Make(MismatchChoice::Add));
        ASSERT_EQ(f.asked.size(), 1u);
        EXPECT_EQ(f.asked[0].rows[0].text, "5:/a/q.jpg");
        EXPECT_FALSE(f.asked[0].mixEnabled);
        EXPECT_EQ(f.p->mismatchGroup, 5);
        EXPECT_EQ(f.r->mismatchGroup, 5);
    }
    {
        Alike f; // reference in 7, target in 3: "Mix" (prepared) moves all of 7 to 3
        Pdata* s = f.Add("/b/s.jpg", 0xFFFF0000u);
        s->mismatchGroup = 7;
        f.p->mismatchGroup = 7;
        f.q->mismatchGroup = 3;
        f.Select();
        f.Targets({f.q});
        ASSERT_TRUE(MakeMismatch(f.lists, f.numbers, nullptr, true)) << "Don't show: prepared";
        EXPECT_EQ(f.p->mismatchGroup, 3);
        EXPECT_EQ(s->mismatchGroup, 3);
        EXPECT_EQ(MixCaption(3, 7), "Mix 3 and 7");
    }
    {
        Alike f; // reference in 7, no grouped target: the row "7:(Reference)"
        f.p->mismatchGroup = 7;
        f.Select();
        f.Targets({f.q, f.r});
        f.state.DataChanged = false;
        EXPECT_FALSE(f.Make(MismatchChoice::Cancel));
        EXPECT_EQ(f.asked.at(0).rows.at(0).text, "7:(Reference)");
        EXPECT_EQ(f.q->mismatchGroup, 0);
        EXPECT_FALSE(f.state.DataChanged) << "Cancel leaves the flag as it was";
        ASSERT_TRUE(f.Make(MismatchChoice::Add));
        EXPECT_EQ(f.q->mismatchGroup, 7);
        EXPECT_EQ(f.r->mismatchGroup, 7);
    }
}

TEST(MakeMismatch, NothingWithoutAPairOrAFreeNumber) {
    Alike f;
    f.lists.target.ClearSelection();
    EXPECT_FALSE(f.Make(MismatchChoice::NewGroup)) << "no target selected";
    for (int n = 1; n <= MismatchNum::kLastNumber; ++n)
        f.numbers.MarkUsed(n);
    f.Targets({f.q});
    f.state.DataChanged = false;
    EXPECT_FALSE(f.Make(MismatchChoice::NewGroup));
    EXPECT_EQ(f.p->mismatchGroup, 0);
    EXPECT_EQ(f.q->mismatchGroup, 0) << "never 65535 from a failed allocation";
    EXPECT_FALSE(f.state.DataChanged);
    EXPECT_EQ(f.frame.logged.back(), "Mismatch groups are full.");
}

TEST(MismatchEditor, ListsRemovesAndSearches) {
    Fixture f;
    MismatchNum numbers;
    Pdata* b = f.Add("/x/B.jpg", 1);
    Pdata* a = f.Add("/x/a.jpg", 1);
    Pdata* c = f.Add("/x/c.jpg", 1);
    Pdata* d = f.Add("/x/d.jpg", 1);
    a->mismatchGroup = b->mismatchGroup = 1;
    c->mismatchGroup = 2;
    d->mismatchGroup = 3;
    d->mismatchGroup = 3;
    for (int n : {1, 2, 3})
        numbers.MarkUsed(n);
    MismatchEditorRows rows;
    rows.Build(f.catalogue);
    ASSERT_EQ(rows.Count(), 4);
    EXPECT_EQ(MismatchEditorRows::RowText(rows.Rows()[0]), "00001,/x/a.jpg");
    EXPECT_EQ(MismatchEditorRows::RowText(rows.Rows()[1]), "00001,/x/B.jpg") << "case ignored";
    EXPECT_FALSE(rows.EndsGroup(0));
    EXPECT_TRUE(rows.EndsGroup(1));
    EXPECT_EQ(MismatchEditorRows::GroupLabel(2), "Group 00002");
    EXPECT_EQ(rows.Search(0, "C.JPG", true), 2);
    EXPECT_EQ(rows.Search(2, "x/", false), 1);
    EXPECT_EQ(rows.Search(3, "nothing", false), -1);

    // Removing one of two members keeps the number; the last one releases it.
    EXPECT_EQ(rows.Remove({0}, f.catalogue, numbers), 1);
    EXPECT_FALSE(numbers.IsFree(1));
    EXPECT_EQ(rows.RemoveSingleGroups(), 3);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(b->mismatchGroup, 0);
    EXPECT_FALSE(numbers.IsFree(2)) << "dissolved, not released";

    rows.Build(f.catalogue);
    EXPECT_EQ(rows.Count(), 0);
    a->mismatchGroup = 4;
    rows.Build(f.catalogue);
    rows.Forget(a);
    EXPECT_EQ(rows.Count(), 0);
}

} // namespace
} // namespace lumidex
