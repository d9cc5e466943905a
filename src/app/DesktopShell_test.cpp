#include "DesktopShell.h"
#include "TempDir.h"

#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

namespace lumidex {
namespace {

using test::ReadWholeFile;
using test::TempDir;

// Two applications for JPEG pictures in a desktop of the test's own, the editor chosen as
// default by "mimeapps.list"; both record the arguments they were started with. GIO reads the
// desktop once per process, so the suite shares one.
class DesktopShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desktop = new TempDir;
        TempDir& root = *desktop;
        const std::string apps = root.path() + "share/applications/";
        const std::string script = root.Write("record.sh", "#!/bin/sh\n"
                                                           "for a in \"$@\"; do echo \"$a\"; done"
                                                           " > \"$(dirname \"$0\")/ran-$1.txt\"\n");
        ::chmod(script.c_str(), 0755);
        ::mkdir((root.path() + "share").c_str(), 0755);
        ::mkdir(apps.c_str(), 0755);
        ::mkdir((root.path() + "config").c_str(), 0755);
        for (auto [id, name] : {std::pair{"fakeview", "Fake Viewer"}, {"fakeedit", "Fake Editor"}})
            root.Write(std::string("share/applications/") + id + ".desktop",
                       std::string("[Desktop Entry]\nType=Application\nName=") + name +
                           "\nExec=" + script + " " + id + " %f\nMimeType=image/jpeg;\n");
        // The index the desktop's package tools keep beside the entries.
        root.Write("share/applications/mimeinfo.cache",
                   "[MIME Cache]\nimage/jpeg=fakeview.desktop;fakeedit.desktop;\n");
        root.Write("config/mimeapps.list", "[Default Applications]\nimage/jpeg=fakeedit.desktop\n");
        // The system folder stays for the shared MIME database.
        setenv("XDG_DATA_DIRS", (root.path() + "share:/usr/local/share:/usr/share").c_str(), 1);
        setenv("XDG_DATA_HOME", (root.path() + "nodata").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root.path() + "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root.path() + "noconfig").c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete desktop;
        desktop = nullptr;
    }
    static inline TempDir* desktop = nullptr;
    TempDir& root = *desktop;
};

TEST_F(DesktopShellTest, DefaultApplicationComesFirstAsOpen) {
    const std::string picture = root.Write("a b.jpg", "\xFF\xD8\xFF\xE0");
    std::vector<ShellVerb> verbs = ShellVerbs(picture);
    ASSERT_GE(verbs.size(), 2u);
    EXPECT_EQ(verbs[0].caption, "Open");
    EXPECT_EQ(verbs[0].appId, "fakeedit.desktop");
    // Applications the machine itself has for pictures may follow; ours is listed once.
    int viewers = 0;
    for (size_t i = 1; i < verbs.size(); ++i) {
        EXPECT_NE(verbs[i].caption, "Open");
        EXPECT_NE(verbs[i].appId, "fakeedit.desktop");
        if (verbs[i].appId == "fakeview.desktop") {
            EXPECT_EQ(verbs[i].caption, "Fake Viewer");
            ++viewers;
        }
    }
    EXPECT_EQ(viewers, 1);
}

TEST_F(DesktopShellTest, VerbRunsTheApplicationOnTheWholePath) {
    const std::string picture = root.Write("a b;$(c).jpg", "\xFF\xD8\xFF\xE0");
    ASSERT_TRUE(RunShellVerb("fakeview.desktop", picture));
    const std::string ran = root.File("ran-fakeview.txt");
    QDeadlineTimer deadline(10000);
    while (ReadWholeFile(ran).empty() && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(ReadWholeFile(ran), "fakeview\n" + picture + "\n");
    EXPECT_FALSE(RunShellVerb("missing.desktop", picture));
}

} // namespace
} // namespace lumidex
