#include "PluginMode.h"

#include "RecordingFrame.h"
#include "SharedState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lumidex;
using namespace lumidex::test;

namespace {

const std::string kTestPlugins = TEST_PLUGIN_DIR;

struct ModeFixture : ::testing::Test {
    RecordingFrame frame;
    TempDir home;
    SharedState state{frame, home.path()};
    SpiHost host;
    std::string Settings() const { return home.File(kPluginSettingsFile); }
};

} // namespace

TEST_F(ModeFixture, StartUpWithoutSettingsStaysNative) {
    EXPECT_FALSE(StartUpPlugins(state, host));
    home.Write(kPluginSettingsFile, "");
    EXPECT_FALSE(StartUpPlugins(state, host));
    EXPECT_FALSE(state.PluginsInUse);
    EXPECT_TRUE(frame.questions.empty());
    EXPECT_EQ(state.PicturePatterns.patterns, kNativePicturePatterns.patterns);
}

TEST_F(ModeFixture, StartUpLoadsTheFolderOfTheSettingsFile) {
    home.Write(kPluginSettingsFile, kTestPlugins + "twice/\r\nignored\n");
    ASSERT_TRUE(StartUpPlugins(state, host));
    EXPECT_TRUE(state.PluginsInUse);
    EXPECT_EQ(ActivePictureHost(), &host);
    EXPECT_EQ(state.PicturePatterns.patterns, "*.lmxt;*.lmxt;*.bmp");
    EXPECT_EQ(state.PicturePatterns.description, "Susie graphics");
    EXPECT_EQ(frame.status[StatusPanel::Outcome],
              "Loaded Susie plugin:.Test pictures Test pictures ");
    EXPECT_TRUE(state.IsReadableExtension(".lmxt"));
    EXPECT_FALSE(state.IsReadableExtension(".jpg"));
}

TEST_F(ModeFixture, StartUpWithAFolderWithoutPluginsWarns) {
    home.Write(kPluginSettingsFile, kTestPlugins + "nopicture/\n");
    EXPECT_FALSE(StartUpPlugins(state, host));
    EXPECT_FALSE(state.PluginsInUse);
    EXPECT_EQ(ActivePictureHost(), nullptr);
    ASSERT_EQ(frame.questions.size(), 1u);
    EXPECT_EQ(frame.questions[0].caption, "Bad Folder");
    EXPECT_EQ(frame.questions[0].text, "No valid Susie plugin");
}

TEST_F(ModeFixture, SetFolderWritesTheSettingsAndStopDeletesThem) {
    ASSERT_TRUE(SetPluginFolder(state, host, kTestPlugins + "reader"));
    EXPECT_TRUE(state.PluginsInUse);
    EXPECT_EQ(ReadWholeFile(Settings()), kTestPlugins + "reader/\n");
    EXPECT_EQ(state.PicturePatterns.patterns, "*.lmxt;*.bmp");

    StopUsingPlugins(state);
    EXPECT_FALSE(state.PluginsInUse);
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    EXPECT_EQ(state.PicturePatterns.patterns, kNativePicturePatterns.patterns);
    EXPECT_EQ(ActivePictureHost(), nullptr);
    EXPECT_NE(host.Chain(), nullptr); // still loaded, unused
}

TEST_F(ModeFixture, SetFolderWithoutPluginsKeepsThePreviousOnes) {
    ASSERT_TRUE(SetPluginFolder(state, host, kTestPlugins + "reader"));
    StopUsingPlugins(state);
    EXPECT_FALSE(SetPluginFolder(state, host, kTestPlugins + "nopicture"));
    EXPECT_EQ(host.Folder(), kTestPlugins + "reader/");
    EXPECT_NE(host.Chain(), nullptr);
    EXPECT_FALSE(state.PluginsInUse);
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    ASSERT_EQ(frame.questions.size(), 1u);
    EXPECT_EQ(frame.questions[0].caption, "Bad Folder");
    EXPECT_EQ(frame.questions[0].text, "No valid plugin");
}
