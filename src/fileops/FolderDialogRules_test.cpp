#include "FolderDestinations.h"
#include "FolderDialogRules.h"

#include <gtest/gtest.h>

#include <set>

namespace lumidex {
namespace {

TEST(FolderDestinations, NewestFirstWithoutDuplicates) {
    FolderDestinations d;
    d.Remember("/a");
    d.Remember("/b");
    d.Remember("/a");
    EXPECT_EQ(d.Items(), (std::vector<std::string>{"/a", "/b"}));
    // A database's folder goes last, and only once.
    d.AddDatabaseFolder("/db");
    d.AddDatabaseFolder("/db");
    d.AddDatabaseFolder("");
    d.Remember("/c");
    EXPECT_EQ(d.Items(), (std::vector<std::string>{"/c", "/a", "/b", "/db"}));
    // Exact comparison: a trailing delimiter or another letter case is another text.
    d.Remember("/C");
    EXPECT_EQ(d.Items().size(), 5u);
}

TEST(FolderDialogRules, ModesAndTheirPages) {
    struct Row {
        int mode;
        const char* caption;
        DirSelPage page;
        bool searchSubfolder;
    };
    const Row rows[] = {{0, "Select Folder", DirSelPage::ImageRead, false},
                        {1, "Copy To...", DirSelPage::CopyMove, false},
                        {2, "Move To...", DirSelPage::CopyMove, false},
                        {3, "Susie Plugin Folder", DirSelPage::CopyMove, false},
                        {4, "ChangeTO Folder", DirSelPage::CopyMove, false},
                        {6, "Select Folder", DirSelPage::CopyMove, true}};
    for (const Row& r : rows) {
        const DirSelMode* m = FindDirSelMode(r.mode);
        ASSERT_NE(m, nullptr) << r.mode;
        EXPECT_STREQ(m->caption, r.caption);
        EXPECT_EQ(m->page, r.page) << r.mode;
        EXPECT_EQ(m->searchSubfolder, r.searchSubfolder) << r.mode;
    }
    EXPECT_EQ(FindDirSelMode(5), nullptr);
    EXPECT_EQ(FindDirSelMode(-1), nullptr);
}

TEST(FolderDialogRules, MoveToDatabaseFolderEnabling) {
    EXPECT_FALSE(MoveToDatabaseFolderEnabled("", "/home/u")) << "a new catalogue";
    EXPECT_FALSE(MoveToDatabaseFolderEnabled("/data/", "/data")) << "already there";
    EXPECT_TRUE(MoveToDatabaseFolderEnabled("/data/", "/data/sub"));
    EXPECT_TRUE(MoveToDatabaseFolderEnabled("/Data/", "/data")) << "exact comparison";
    EXPECT_FALSE(MoveToDatabaseFolderEnabled("/", "/")) << "a database in the root";
    EXPECT_TRUE(MoveToDatabaseFolderEnabled("/", "/home"));
}

TEST(FolderDialogRules, NewFolderNames) {
    for (const char* bad : {"", ".", "..", "a/b", "/", "a/"})
        EXPECT_FALSE(IsValidNewFolderName(bad)) << bad;
    EXPECT_FALSE(IsValidNewFolderName(std::string("a\0b", 3)));
    for (const char* good : {"a", "...", ".hidden", "a b", "Fotos 2024", "x:("})
        EXPECT_TRUE(IsValidNewFolderName(good)) << good;
}

TEST(FolderDialogRules, NearestExistingFolderAndFileFolder) {
    const std::set<std::string> existing = {"/", "/home", "/home/u", "/media/usb"};
    auto exists = [&](const std::string& f) { return existing.count(f) > 0; };
    auto nearest = [&](const std::string& f) {
        return NearestExistingFolder(f, "/home/u", exists);
    };
    EXPECT_EQ(nearest("/home/u"), "/home/u");
    EXPECT_EQ(nearest("/home/u/gone/deeper"), "/home/u");
    EXPECT_EQ(nearest("/media/usb/"), "/media/usb") << "a trailing delimiter is not a folder";
    EXPECT_EQ(nearest("/nothing"), "/");
    EXPECT_EQ(nearest(""), "/home/u") << "nothing to cut: home";
    EXPECT_EQ(nearest("relative/path"), "/home/u");
    EXPECT_EQ(NearestExistingFolder("/x/y", "/home/u", [](const std::string&) { return false; }),
              "/home/u")
        << "not even the root: home";

    EXPECT_EQ(FileFolder("/pics/a.jpg"), "/pics");
    EXPECT_EQ(FileFolder("/a.jpg"), "/");
    EXPECT_EQ(FileFolder("/pics/sub/b.png"), "/pics/sub");
}

TEST(FolderDialogRules, PlacesAndThePlaceOfAFolder) {
    const std::vector<MountedVolume> volumes = {{"/", "ext4", ""},
                                                {"/proc", "proc", ""},
                                                {"/dev/shm", "tmpfs", ""},
                                                {"/media/u/CAMERA", "vfat", "CAMERA"},
                                                {"/mnt/data", "ext4", "Photos"},
                                                {"/snap/core/1", "squashfs", ""},
                                                {"/run/user/1000", "tmpfs", ""},
                                                {"/home/u", "ext4", ""},
                                                {"/mnt/data", "ext4", "Photos"}};
    const std::vector<Place> places = BuildPlaces("/home/u", volumes);
    const std::vector<Place> expected = {{"/home/u (Home)", "/home/u"},
                                         {"/", "/"},
                                         {"/media/u/CAMERA", "/media/u/CAMERA"},
                                         {"/mnt/data [Photos]", "/mnt/data"}};
    EXPECT_EQ(places, expected);

    EXPECT_EQ(PlaceOf(places, "/home/u/pics"), 0);
    EXPECT_EQ(PlaceOf(places, "/home/u"), 0);
    EXPECT_EQ(PlaceOf(places, "/home/user2"), 1) << "component-wise, not a text prefix";
    EXPECT_EQ(PlaceOf(places, "/mnt/data/2024"), 3);
    EXPECT_EQ(PlaceOf(places, "/mnt/database"), 1);
    EXPECT_EQ(PlaceOf(places, "relative"), -1);
    EXPECT_EQ(PlaceOf(BuildPlaces("/", {}), "/x"), 0) << "home at the root is the root";
}

} // namespace
} // namespace lumidex
