#include "DatabaseCommands.h"

#include "History.h"
#include "RecordingFrame.h"
#include "StandaloneDatabase.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

struct FixtureFiles {
    test::TempDir dir;
    test::RecordingFrame frame;
};

struct Fixture : FixtureFiles, StandaloneDatabase {
    Fixture() : StandaloneDatabase(frame, dir.path()) {}

    void Add(const std::string& path) { catalogue.Insert(std::make_unique<Pdata>(path)); }
    // A saved database of the given entries.
    std::string MakeDatabase(const std::string& name, std::vector<std::string> entries) {
        Fixture other;
        for (auto& e : entries)
            other.Add(e);
        BuildHeader(other.db);
        std::string path = dir.File(name);
        EXPECT_TRUE(WriteDatabase(other.db, path));
        return path;
    }
};

TEST(DatabaseCommands, OpenAsksBeforeDroppingChanges) {
    Fixture t;
    std::string other = t.MakeDatabase("other.ld2", {"/p/x.jpg"});
    t.Add("/p/mine.jpg");
    t.state.DatabasePath = "/data/My Pics.ld2";
    t.state.DataChanged = true;

    t.state.PendingDatabasePath = other;
    t.frame.answers = {Answer::Cancel};
    EXPECT_FALSE(OpenDatabase(t.db));
    ASSERT_EQ(t.frame.questions.size(), 1u);
    EXPECT_EQ(t.frame.questions[0].caption, "My Pics");
    EXPECT_EQ(t.frame.questions[0].text, "Data changed. Save?");
    EXPECT_EQ(t.frame.status[StatusPanel::Outcome], "Open Database Canceled.");
    EXPECT_TRUE(t.state.PendingDatabasePath.empty());
    EXPECT_EQ(t.catalogue.Count(), 1);

    // Yes with a save dialog the user cancels: nothing is lost.
    t.state.DatabasePath.clear();
    t.state.PendingDatabasePath = other;
    t.frame.answers = {Answer::Yes};
    EXPECT_FALSE(OpenDatabase(t.db));
    EXPECT_EQ(t.catalogue.Entry(0).path, "/p/mine.jpg");

    t.state.PendingDatabasePath = other;
    t.frame.answers = {Answer::No};
    EXPECT_TRUE(OpenDatabase(t.db));
    ASSERT_EQ(t.catalogue.Count(), 1);
    EXPECT_EQ(t.catalogue.Entry(0).path, "/p/x.jpg");
    EXPECT_EQ(t.state.DatabasePath, other);
    EXPECT_FALSE(t.state.DataChanged || t.state.OptionsChanged);
}

TEST(DatabaseCommands, OpeningAnOldFileKeepsItsMarkUntilSaved) {
    Fixture t;
    std::string path = t.MakeDatabase("old.LDB", {}); // header and memo table: valid as version 4
    std::string image = test::ReadWholeFile(path);
    image[5] = '4';
    t.dir.Write("old.LDB", image);
    t.state.PendingDatabasePath = path;
    EXPECT_TRUE(OpenDatabase(t.db));
    EXPECT_TRUE(t.state.OldFormatRead);
    EXPECT_FALSE(t.state.DataChanged);

    // The old extension is questioned whatever its letter case; No keeps the name.
    t.frame.answers = {Answer::No};
    EXPECT_TRUE(SaveDatabase(t.db));
    EXPECT_EQ(t.frame.questions.back().text, "Change file extension to 'ld2' ?");
    EXPECT_FALSE(t.state.OldFormatRead);
    EXPECT_EQ(test::ReadWholeFile(path).substr(0, 6), "LDB008");

    // Yes proposes the new extension in the save dialog.
    t.frame.answers = {Answer::Yes};
    t.frame.chosenFiles = {t.dir.File("old.ld2")};
    EXPECT_TRUE(SaveDatabase(t.db));
    EXPECT_EQ(t.frame.fileChoices.back().initialPath, t.dir.File("old.ld2"));
    EXPECT_EQ(t.state.DatabasePath, t.dir.File("old.ld2"));
}

struct NoDialogFrame : test::RecordingFrame {
    bool CanChooseFiles() const override { return false; }
};

TEST(DatabaseCommands, SaveAsCancelAndEmergencyPath) {
    Fixture t;
    t.Add("/p/a.jpg");
    EXPECT_FALSE(SaveDatabase(t.db)); // no path yet: Save As, cancelled
    EXPECT_EQ(t.frame.status[StatusPanel::Outcome], "Save Canceled.");

    NoDialogFrame frame;
    t.state.SetFrame(frame);
    EXPECT_TRUE(SaveDatabaseAs(t.db));
    EXPECT_EQ(t.state.DatabasePath, t.dir.File("emergency.ld2"));
    EXPECT_EQ(frame.questions.back().caption, "Serious Error");
    EXPECT_TRUE(std::filesystem::exists(t.dir.File("emergency.ld2")));
}

TEST(DatabaseCommands, ImportKeepsThePathAndMarksTheCatalogueChanged) {
    Fixture t;
    std::string other = t.MakeDatabase("other.ld2", {"/p/x.jpg"});
    t.Add("/p/a.jpg");
    t.state.DatabasePath = "/data/main.ld2";
    t.state.PendingDatabasePath = other;
    t.options.SetTrackBar1(14);
    EXPECT_EQ(ImportDatabase(t.db), ReadResult::Done);
    EXPECT_EQ(t.state.DatabasePath, "/data/main.ld2");
    EXPECT_EQ(t.catalogue.Count(), 2);
    EXPECT_TRUE(t.state.DataChanged);
    EXPECT_FALSE(t.state.Merging);
    EXPECT_EQ(t.options.TrackBar1, 14);
}

TEST(DatabaseCommands, HistoryRules) {
    test::TempDir dir;
    std::string existing = dir.Write("a.ld2", "x");
    History h;
    for (int i = 0; i < 20; ++i)
        h.AddToHistory("/db/" + std::to_string(i) + ".ld2");
    h.AddToHistory("/db/5.ld2"); // held already: not moved
    EXPECT_EQ(h.Paths()[14], "/db/5.ld2");
    h.AddToHistory(existing);
    ASSERT_EQ(h.Paths().size(), 20u);
    EXPECT_EQ(h.Paths().front(), existing);
    EXPECT_EQ(h.Paths().back(), "/db/1.ld2");
    h.MoveToFront("/db/5.ld2");
    EXPECT_EQ(h.Paths().front(), "/db/5.ld2");

    // The open database is listed only while it has changes.
    auto items = h.MenuItems(existing, false);
    EXPECT_EQ(items.size(), 19u);
    EXPECT_FALSE(items[0].enabled);
    items = h.MenuItems(existing, true);
    EXPECT_EQ(items.size(), 20u);
    EXPECT_TRUE(items[1].enabled);

    ASSERT_TRUE(h.Save(dir.path()));
    EXPECT_EQ(test::ReadWholeFile(dir.File("history.cfg")).substr(0, 12),
              "/db/5.ld2\r\n" + existing.substr(0, 1));
    History loaded;
    loaded.Load(dir.path());
    EXPECT_EQ(loaded.Paths(), h.Paths());
    loaded.Optimize();
    EXPECT_EQ(loaded.Paths(), std::vector<std::string>{existing});
}

TEST(DatabaseCommands, DefaultOptionsFile) {
    Fixture t;
    int languageCalls = 0;
    t.hooks.MenuLanguage = [&](bool) { ++languageCalls; };
    EXPECT_FALSE(DefaultOptionsExist(t.dir.path()));
    LoadDefaultOptions(t.db);
    EXPECT_EQ(languageCalls, 1);
    EXPECT_EQ(t.options.TrackBar1, 8);

    t.options.SetTrackBar1(12);
    t.options.ExcludeSameFolder = true;
    ASSERT_TRUE(SaveDefaultOptions(t.db));
    EXPECT_EQ(test::ReadWholeFile(t.dir.File("default.ld2")).size(), 128u);
    t.options = Options{};
    LoadDefaultOptions(t.db);
    EXPECT_EQ(t.options.TrackBar1, 12);
    EXPECT_TRUE(t.options.ExcludeSameFolder);

    // An old default file is announced; the mark of an open old database stays.
    std::string image = test::ReadWholeFile(t.dir.File("default.ld2"));
    std::filesystem::remove(t.dir.File("default.ld2"));
    image[5] = '3';
    t.dir.Write("default.ldb", image);
    t.state.OldFormatRead = false;
    LoadDefaultOptions(t.db);
    EXPECT_EQ(t.frame.status[StatusPanel::Progress],
              "Read OLD 'default.ld?'. Some options may be not set.");
    EXPECT_FALSE(t.state.OldFormatRead);
}

} // namespace
} // namespace lumidex
