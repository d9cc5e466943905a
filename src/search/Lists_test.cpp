#include "Lists.h"

#include "ClipboardLists.h"
#include "ListsTestFixture.h"
#include "SignatureIndex.h"
#include "SortKey.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>

namespace lumidex {
namespace {
using test::Fixture;
using test::Strings;

TEST(SortKeys, SmartNamesAndDescendingNumbers) {
    EXPECT_EQ(SmartName("img7.jpg"), "img000007.jpg");
    EXPECT_EQ(SmartName("x1a"), "x000001a");
    EXPECT_EQ(SmartName("photo"), "photo");
    EXPECT_EQ(SmartName("12"), "000012");
    EXPECT_EQ(SmartName("a007b3"), "a000007b3") << "only the first run";
    EXPECT_EQ(SmartName("n12345678901234.jpg"), "n12345678901234.jpg");
    Pdata e("/p/q/a9.jpg");
    e.fileTime = 2147483647 - 5;
    e.fileSize = -1;
    EXPECT_EQ(SortKeyOf(e, {SortOrder::byName, false}), "a9.jpg");
    EXPECT_EQ(SortKeyOf(e, {SortOrder::byPathname, true}), "/p/q/ a000009.jpg");
    EXPECT_EQ(SortKeyOf(e, {SortOrder::RadioButtonbyDate, false}), "0000000005");
    // Never measured: after every real value instead of overflowing.
    EXPECT_EQ(SortKeyOf(e, {SortOrder::RadioButtonbySize, false}), "2147483648");
    EXPECT_EQ(SortKeyOf(e, {SortOrder::bySimilarity, false}), "2147483648");
}

TEST(EntryLists, EqualKeysGoFirstAndTargetsAreUnique) {
    Pdata a("/x/a.jpg"), b("/y/a.jpg"), c("/z/B.jpg");
    EntryList list;
    list.Add("a.jpg", &a);
    list.Add("b.jpg", &c);
    list.Add("A.JPG", &b);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.EntryAt(0), &b);
    EXPECT_EQ(list.EntryAt(1), &a);
    EntryList batch;
    batch.Add("a.jpg", &c);
    batch.AddMany({{"a.jpg", &a}, {"A.jpg", &b}});
    EntryList single;
    single.Add("a.jpg", &c);
    single.Add("a.jpg", &a);
    single.Add("A.jpg", &b);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(batch.EntryAt(i), single.EntryAt(i)) << i;

    EntryList targets(true, true);
    EXPECT_EQ(targets.Add("a", &a), 0);
    EXPECT_EQ(targets.Add("a", &a), -1);
    EXPECT_EQ(targets.Count(), 1);
    targets.AddMany({{"b", &b}, {"a", &a}, {"c", &b}});
    ASSERT_EQ(targets.Count(), 2);
    EXPECT_EQ(targets.EntryAt(1), &b);
    EXPECT_EQ(targets.At(1).key, "b") << "the first row of an entry wins";
}

TEST(ListUp, ForwardSearchAndMarks) {
    Fixture f;
    // P~Q and Q~R only (keys 10 bits apart between P and R).
    f.Add("/a/p.jpg", 0x000);
    f.Add("/a/q.jpg", 0x01F);
    f.Add("/a/r.jpg", 0x3FF);
    f.Add("/a/s.jpg", 0xFFFF0000u);
    f.ListUp();
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/a/q.jpg"}));
    for (int i = 0; i < f.catalogue.Count(); ++i)
        EXPECT_EQ(f.catalogue.Entry(i).listUpMark, -1);
    EXPECT_EQ(f.frame.status[StatusPanel::Progress].empty(), false);

    // Selecting Q shows P and R.
    f.lists.SelectReference(1);
    EXPECT_EQ(f.lists.currentReference->path, "/a/q.jpg");
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/p.jpg", "/a/r.jpg"}));
    EXPECT_EQ(f.lists.target.SelectedRow(), 0) << "filling selects the top row";
    EXPECT_EQ(f.lists.currentTarget->path, "/a/p.jpg");
    // Missing files show the stored values.
    EXPECT_EQ(f.frame.status[StatusPanel::Progress].rfind("<= /a/q.jpg <1000 bytes,", 0), 0u);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome].rfind("=> /a/p.jpg <1000 bytes,", 0), 0u);

    f.options.ShowreferenceinTarget = true;
    f.lists.FillTargetList();
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/p.jpg", "/a/q.jpg", "/a/r.jpg"}));
}

TEST(ListUp, FoundPicturesAreListedWithoutSearchingAndRegionsLookBothWays) {
    Fixture f;
    f.Add("/a/p.jpg", 0);
    f.Add("/a/q.jpg", 0);
    f.Add("/a/r.jpg", 0);
    Pdata* w = f.Add("/a/w.jpg", 0xFFFFFF00u);
    f.Add("/a/v.jpg", 0x0F0F0F0Fu);
    w->AddRegion(0x0F0F0F0Fu, 0, Area{0, 0, 10, 10});
    f.options.Sortby = SortOrder::byPathname;
    f.lists.SelectSortKey();
    f.ListUp();
    // v comes before w in catalogue order: only w's region finds it, and v is not listed.
    EXPECT_EQ(f.Paths(f.lists.reference),
              (Strings{"/a/p.jpg", "/a/q.jpg", "/a/r.jpg", "/a/w.jpg"}));
    f.options.UseSubIndex = false;
    f.ListUp();
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/a/q.jpg", "/a/r.jpg"}));
    f.lists.SelectReference(0);
    f.options.UseSubIndex = true;
    f.lists.reference.Add("w", w);
    f.lists.SelectReference(f.lists.reference.Find(w));
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/v.jpg"}))
        << "region fallback of the target fill";
}

TEST(ListUp, EqualKeysStandInReverseOrderOfFinding) {
    Fixture f;
    f.options.SmartSort = true;
    f.lists.SelectSortKey();
    // More rows than one batch of the list-up, all under one name.
    Strings same;
    for (int i = 0; i < 150; ++i) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "/f%03d/", i);
        f.Add(std::string(folder) + "same.jpg", 0);
        same.insert(same.begin(), std::string(folder) + "same.jpg");
    }
    f.Add("/z/a10.jpg", 0);
    f.Add("/z/a9.jpg", 0);
    f.ListUp();
    Strings expected{"/z/a9.jpg", "/z/a10.jpg"};
    expected.insert(expected.end(), same.begin(), same.end());
    EXPECT_EQ(f.Paths(f.lists.reference), expected);
}

TEST(ListUp, StopResetsMarksAndKeepsRowsFound) {
    Fixture f;
    for (int i = 0; i < 6; ++i)
        f.Add("/a/" + std::to_string(i) + ".jpg", 0);
    f.frame.onProcessEvents = [&] { f.state.StopRequested = true; };
    f.ListUp();
    EXPECT_EQ(f.lists.reference.Count(), 0);
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Abort");
    for (int i = 0; i < f.catalogue.Count(); ++i)
        EXPECT_EQ(f.catalogue.Entry(i).listUpMark, -1);

    int calls = 0;
    f.frame.onProcessEvents = [&] {
        if (++calls == 3) f.state.StopRequested = true;
    };
    f.ListUp();
    EXPECT_GT(f.lists.reference.Count(), 0);
    for (int i = 0; i < f.catalogue.Count(); ++i)
        EXPECT_EQ(f.catalogue.Entry(i).listUpMark, -1);
}

TEST(ListUp, FailureKeepsRowsAndEndsTheUpdate) {
    Fixture f;
    for (int i = 0; i < 6; ++i)
        f.Add("/a/" + std::to_string(i) + ".jpg", 0);
    int calls = 0;
    f.frame.onProcessEvents = [&] {
        if (++calls == 3) throw std::runtime_error("out of memory");
    };
    std::vector<bool> stopShown;
    f.lists.hooks.showStopButton = [&](bool on) { stopShown.push_back(on); };
    f.ListUp();
    EXPECT_EQ(f.frame.logged, Strings{"Something wrong. Listup aborted."});
    EXPECT_GT(f.lists.reference.Count(), 0) << "rows found so far stay";
    EXPECT_FALSE(f.lists.updateRunning);
    EXPECT_EQ(stopShown, (std::vector<bool>{true, false}));
    for (int i = 0; i < f.catalogue.Count(); ++i)
        EXPECT_EQ(f.catalogue.Entry(i).listUpMark, -1);
}

TEST(ListUp, ProgressText) {
    EXPECT_EQ(ListUpProgressText(12, 256, 1000), "12 Files found:(256/1000)");
}

// Target rows as the view shows them, with the mark of a turned match.
Strings Marked(const EntryList& list) {
    Strings out;
    for (const ListRow& r : list.Rows())
        out.push_back(r.entry->path + OrientationMark(r.way));
    return out;
}

// The indexed list-up must give the lists of the plain scan. With orientations, a quarter of
// the entries lie turned or mirrored against their seed. Returns the turned target rows seen.
int CompareIndexedWithPlain(std::mt19937& rng, int rounds, bool orientations) {
    int turnedRows = 0;
    for (int round = 0; round < rounds; ++round) {
        Fixture f;
        const int n = 2100 + static_cast<int>(rng() % 600);
        std::vector<std::pair<uint32_t, uint32_t>> seeds;
        for (int s = 0; s < 30; ++s)
            seeds.push_back({rng(), rng()});
        for (int i = 0; i < n; ++i) {
            auto [k, c] = seeds[rng() % seeds.size()];
            if (orientations && rng() % 4 == 0) {
                const OrientedSignature d =
                    DeriveOrientation(k, c, static_cast<Orientation>(1 + rng() % 7));
                k = d.key | (static_cast<uint32_t>(rng()) & ~d.known);
                c = d.code;
            }
            // Flip a few bits and cells around a seed, so that tolerances matter.
            for (int b = static_cast<int>(rng() % 6); b > 0; --b)
                k ^= 1u << (rng() % 32);
            for (int b = static_cast<int>(rng() % 4); b > 0; --b)
                c ^= 1u << (rng() % 32);
            if (rng() % 50 == 0) k = kNoSignature;
            // Few distinct sizes, so that equal sizes occur; now and then unknown or empty.
            int32_t size = 700 + static_cast<int32_t>(rng() % 90) * 10;
            if (rng() % 40 == 0) size = rng() % 2 ? -1 : 0;
            // Folders that differ only in letter case are different folders here.
            const std::string folder = (rng() % 2 ? "/d" : "/D") + std::to_string(rng() % 3);
            Pdata* e = f.Add(folder + "/" + std::to_string(i) + ".jpg", k, c, size);
            e->mismatchGroup = static_cast<uint16_t>(rng() % 4 == 0 ? rng() % 3 + 1 : 0);
            for (int r = rng() % 10 == 0 ? 1 + static_cast<int>(rng() % 2) : 0; r > 0; --r) {
                auto [rk, rc] = seeds[rng() % seeds.size()];
                e->AddRegion(rng() % 8 == 0 ? kNoSignature : rk ^ (1u << (rng() % 32)), rc, Area{});
            }
        }
        Options& o = f.options;
        o.NotStrict = rng() % 4 != 0;
        o.SetDoubleCheck(rng() % 3 != 0);
        o.SetTrackBar1(1 + static_cast<int>(rng() % 15));
        o.SetTrackBar3(static_cast<int>(rng() % 5));
        o.CheckBoxSameSizeOnly = rng() % 3 == 0;
        o.SetTrackBarSizeRange(static_cast<int>(rng() % 10));
        o.ExcludeSameFolder = rng() % 3 == 0;
        o.UseSubIndex = rng() % 2 == 0;
        o.Sortby = rng() % 2 ? SortOrder::RadioButtonbySize : SortOrder::byName;
        o.MatchOrientations = orientations;
        f.lists.SelectSortKey();
        SCOPED_TRACE("round " + std::to_string(round));

        o.ShowreferenceinTarget = rng() % 2 == 0;
        f.lists.useIndex = false;
        f.ListUp();
        Strings plain = f.Paths(f.lists.reference);
        const std::string plainPairs = CopyPairListText(f.lists);
        std::vector<Strings> plainTargets;
        for (int row = 0; row < f.lists.reference.Count(); row += 7) {
            f.lists.SelectReference(row);
            plainTargets.push_back(Marked(f.lists.target));
            for (const ListRow& r : f.lists.target.Rows())
                turnedRows += r.way != Orientation::Upright;
        }
        f.lists.useIndex = true;
        f.ListUp();
        EXPECT_EQ(f.Paths(f.lists.reference), plain);
        EXPECT_EQ(CopyPairListText(f.lists), plainPairs);
        std::unique_ptr<SignatureIndex> index = f.lists.MakeIndex();
        EXPECT_TRUE(index);
        if (!index) continue;
        f.lists.fillIndex = index.get();
        for (int row = 0, i = 0; row < f.lists.reference.Count(); row += 7, ++i) {
            f.lists.SelectReference(row);
            EXPECT_EQ(Marked(f.lists.target), plainTargets[static_cast<size_t>(i)]);
        }
        f.lists.fillIndex = nullptr;
        EXPECT_LE(SignatureIndex::TablesFor(MatchSettingsFrom(o)), SignatureIndex::kMaxTables);
    }
    return turnedRows;
}

TEST(ListUp, IndexedEqualsPlainOverRandomCatalogues) {
    std::mt19937 rng(1234);
    EXPECT_EQ(CompareIndexedWithPlain(rng, 40, false), 0);
}

TEST(ListUp, IndexedEqualsPlainWithOrientations) {
    std::mt19937 rng(4321);
    EXPECT_GT(CompareIndexedWithPlain(rng, 16, true), 50) << "turned copies were found";
}

TEST(Selection, SaveRestoreAndMove) {
    Fixture f;
    for (const char* p : {"/a/1.jpg", "/a/2.jpg", "/a/3.jpg"})
        f.Add(p, 0);
    f.lists.UpdateReferenceList();
    EXPECT_EQ(f.lists.reference.SelectedRow(), 0) << "the top row when nothing was selected";
    EXPECT_EQ(f.lists.MoveSelection(f.lists.reference, 5), 2);
    EXPECT_EQ(f.lists.MoveSelection(f.lists.reference, -1), 1);
    EXPECT_EQ(f.lists.MoveSelection(f.lists.reference, -9), 0);
    EXPECT_EQ(f.lists.currentReference->path, "/a/1.jpg");
    EXPECT_EQ(f.lists.MoveSelection(f.lists.target, 1), 1);
    EntryList empty;
    EXPECT_EQ(f.lists.MoveSelection(empty, 1), -1);

    f.lists.SelectReference(2);
    f.lists.SaveSelection(f.lists.reference);
    f.lists.RemoveEntry(f.lists.reference.EntryAt(2));
    f.lists.RestoreSelection(f.lists.reference);
    EXPECT_EQ(f.lists.reference.SelectedRow(), 1) << "the last row when the list became shorter";
    EXPECT_EQ(f.catalogue.Count(), 2);
}

TEST(Commands, ClearSelectedEntryPrunesTargetsWithoutOtherMatches) {
    Fixture f;
    f.Add("/a/p.jpg", 0);
    Pdata* q = f.Add("/a/q.jpg", 0);
    f.Add("/a/x.jpg", 0xFFFF0000u);
    f.Add("/a/y.jpg", 0xFFFF0000u);
    f.ListUp();
    ASSERT_EQ(f.lists.reference.Count(), 4);
    f.lists.SelectReference(0);
    ASSERT_EQ(f.lists.currentTarget, q);
    f.frame.answers = {Answer::No};
    EXPECT_FALSE(f.lists.ClearSelectedEntry());
    EXPECT_EQ(f.frame.questions.back().text, "Clear selected entry?");
    f.frame.answers = {Answer::Yes};
    EXPECT_TRUE(f.lists.ClearSelectedEntry());
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/x.jpg", "/a/y.jpg"}));
    EXPECT_EQ(f.catalogue.Count(), 3);
    EXPECT_TRUE(f.state.DataChanged);
    EXPECT_EQ(f.lists.currentReference->path, "/a/x.jpg");
}

TEST(Commands, AllFindRemoveAndResort) {
    Fixture f;
    f.Add("/b/img10.jpg", 0, 0, 10);
    f.Add("/a/img9.jpg", 0, 0, 20);
    f.lists.UpdateReferenceList();
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/b/img10.jpg", "/a/img9.jpg"}));
    f.options.SmartSort = true;
    f.lists.ResortReferenceList(SortOrder::byName);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/img9.jpg", "/b/img10.jpg"}));
    f.lists.ResortReferenceList(SortOrder::RadioButtonbySize);
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/img9.jpg", "/b/img10.jpg"}));

    f.lists.ListupAll();
    EXPECT_TRUE(f.lists.DisableAutoFind);
    EXPECT_EQ(f.Paths(f.lists.target), f.Paths(f.lists.reference));
    f.lists.target.Select(0);
    f.lists.RemoveFromTargetList();
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/b/img10.jpg"}));
    EXPECT_EQ(f.lists.currentTarget->path, "/b/img10.jpg");
    f.lists.reference.Clear();
    f.lists.FindInReferenceList();
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/b/img10.jpg"}));
    EXPECT_EQ(f.lists.reference.SelectedRow(), 0);
    f.lists.SetDisableAutoFind(false);
    EXPECT_FALSE(f.lists.SendToTarget);
}

TEST(Commands, RefreshAfterChangeFollowsTheAutoRefreshOption) {
    Fixture f;
    f.Add("/a/p.jpg", 0);
    f.Add("/a/q.jpg", 0);
    Pdata* r = f.Add("/a/r.jpg", 0);
    f.ListUp();
    f.lists.SelectReference(0);
    ASSERT_EQ(f.lists.target.Count(), 2);
    // A change behind the lists' back: only a rebuild drops the row.
    f.catalogue.Entry(2).key = 0xFFFF0000u;
    f.options.NotUpdateListatAction = true;
    f.lists.RefreshAfterChange();
    EXPECT_EQ(f.lists.reference.Count(), 3);
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/q.jpg"}));
    f.options.NotUpdateListatAction = false;
    f.lists.RefreshAfterChange();
    EXPECT_EQ(f.Paths(f.lists.reference), (Strings{"/a/p.jpg", "/a/q.jpg"}));
    EXPECT_FALSE(f.lists.reference.Contains(r));
    EXPECT_EQ(f.lists.currentReference->path, "/a/p.jpg") << "the selection comes back";
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/q.jpg"}))
        << "selecting still fills the targets";
    f.lists.SetDisableAutoFind(true);
    f.lists.target.Clear();
    f.lists.RefreshAfterChange();
    EXPECT_TRUE(f.lists.target.Empty());
}

TEST(Commands, DetailLinesOfFilesOnDisk) {
    test::TempDir dir;
    Fixture f;
    const std::string path = dir.Write("a.jpg", std::string(2000, 'x'));
    Pdata* a = f.Add(path, 0);
    a->AddRegion(1, 1, Area{});
    Pdata* gone = f.Add(dir.File("gone.jpg"), 0);
    gone->fileTime = -1;
    f.lists.UpdateReferenceList();
    f.lists.SelectReference(f.lists.reference.Find(a));
    const std::string& line = f.frame.status[StatusPanel::Progress];
    EXPECT_EQ(line.rfind("<= " + path + " (2000 bytes,", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 4), "\n) S");
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome],
              "=> " + gone->path + " <?? bytes,unknown time>");
    // A missing target hides its preview even when previews do not follow the selection.
    std::vector<Pdata*> shown;
    f.lists.hooks.showTargetPreview = [&](Pdata* e) { shown.push_back(e); };
    f.options.AutoViewRight = false;
    f.lists.TargetSelectionChanged();
    EXPECT_EQ(shown, std::vector<Pdata*>{nullptr});

    f.lists.target.Add("x", a);
    f.lists.target.Select(0);
    f.lists.target.Select(1);
    f.lists.TargetSelectionChanged();
    EXPECT_EQ(f.frame.status[StatusPanel::Outcome], "Multiply selected");
}

TEST(Commands, RemoveFromListRestoresTheSelectionSavedByTheFill) {
    Fixture f;
    for (const char* p : {"/a/p.jpg", "/a/q.jpg", "/a/r.jpg", "/a/s\xc3\xa9.jpg"})
        f.Add(p, 0);
    f.lists.UpdateReferenceList();
    EXPECT_EQ(f.lists.longestPath, 9u) << "characters, not bytes";
    ASSERT_EQ(f.lists.currentReference->path, "/a/p.jpg");
    ASSERT_EQ(f.lists.target.Count(), 3);
    f.lists.target.ClearSelection();
    f.lists.target.Select(2);
    f.lists.TargetSelectionChanged();
    f.lists.RemoveFromTargetList();
    EXPECT_EQ(f.Paths(f.lists.target), (Strings{"/a/q.jpg", "/a/r.jpg"}));
    // Nothing was selected before the fill: the top row, not the neighbour of the removed one.
    EXPECT_EQ(f.lists.target.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(f.lists.currentTarget->path, "/a/q.jpg");
}

} // namespace
} // namespace lumidex
