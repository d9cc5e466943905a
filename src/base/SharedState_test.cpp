#include "SharedState.h"

#include "FileStatus.h"

#include "RecordingFrame.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using lumidex::SharedState;
using lumidex::test::RecordingFrame;
using lumidex::test::TempDir;

TEST(SharedState, LogMessageShowsKeepsAndLogsOnlyWhileLoggingIsOn) {
    TempDir dir;
    RecordingFrame frame;
    SharedState state(frame, dir.path());
    state.LogMessage("Read failed,/x.jpg");
    EXPECT_EQ(frame.status[lumidex::StatusPanel::Progress], "Read failed,/x.jpg");
    EXPECT_EQ(frame.errorHint, "Error 1:Read failed,/x.jpg");
    EXPECT_FALSE(lumidex::GetFileStatus(dir.File("logfile.txt")).exists);

    state.LoggingOn = true;
    state.LogMessage("Cant analyze,/y.png");
    state.LogMessage("second");
    std::string log = lumidex::test::ReadWholeFile(dir.File("logfile.txt"));
    EXPECT_NE(log.find(" Cant analyze,/y.png\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" second\n"), std::string::npos) << log;
    EXPECT_EQ(frame.errorHint,
              "Error 1:Read failed,/x.jpg\nError 2:Cant analyze,/y.png\nError 3:second");
}

TEST(SharedState, AppDirFromEnvironmentAndDatabaseFolder) {
    TempDir dir;
    ::setenv("LUMIDEX2_HOME", (dir.path() + "home").c_str(), 1);
    EXPECT_EQ(lumidex::DefaultAppDir(), dir.path() + "home/");
    EXPECT_TRUE(lumidex::GetFileStatus(dir.path() + "home").isFolder);

    RecordingFrame frame;
    SharedState state(frame, dir.path() + "home");
    EXPECT_EQ(state.AppDir, dir.path() + "home/");
    EXPECT_EQ(state.DatabaseFolder(), "");
    state.DatabasePath = "/data/pics/cat.ld2";
    EXPECT_EQ(state.DatabaseFolder(), "/data/pics/");
    EXPECT_TRUE(state.IsReadableExtension(".JPEG"));
    EXPECT_FALSE(state.IsReadableExtension(".jp"));
    state.SetNativePicturePatterns();
    EXPECT_EQ(frame.status[lumidex::StatusPanel::Outcome], "Lumidex native graphics:JPEG,BMP,PNG");
}
