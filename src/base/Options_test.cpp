#include "Options.h"

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(Options, DoubleCheckLimitsKeyToleranceAndEnablesLuminanceBar) {
    Options o;
    o.SetTrackBar1(12);
    EXPECT_EQ(o.TrackBar1, 12);
    o.SetDoubleCheck(false);
    EXPECT_EQ(o.TrackBar1Max(), 4);
    EXPECT_EQ(o.TrackBar1, 4);
    EXPECT_FALSE(o.TrackBar3Enabled());
    o.SetTrackBar1(9);
    EXPECT_EQ(o.TrackBar1, 4);
    o.SetDoubleCheck(true);
    o.SetTrackBar1(15);
    EXPECT_EQ(o.TrackBar1, 15);
    o.SetTrackBar1(0);
    EXPECT_EQ(o.TrackBar1, 1);
}

TEST(Options, SettersHoldValuesInTheirRanges) {
    Options o;
    o.SetTrackBar3(9);
    o.SetTrackBarSizeRange(15);
    o.SetTrackBar2(31);
    o.SetJpegQuality(10);
    o.SetCompress(7);
    EXPECT_EQ(o.TrackBar3, 4);
    EXPECT_EQ(o.TrackBarSizeRange, 9);
    EXPECT_EQ(o.TrackBar2, 29);
    EXPECT_EQ(o.JpegQuality, 25);
    EXPECT_EQ(o.Compress, 3);
    EXPECT_STREQ(IntervalText(o.TrackBar2), "1 Hour");
    EXPECT_STREQ(IntervalText(10), "15 Sec.");
}

TEST(Options, ChangedFlagsFollowTheControlsHandlers) {
    struct Case {
        const char* name;
        void (*change)(Options&);
        bool options;
        bool search;
    };
    const Case cases[] = {
        {"NotStrict", [](Options& o) { o.NotStrict = false; }, true, true},
        {"TrackBar1", [](Options& o) { o.SetTrackBar1(3); }, true, true},
        {"ExcludeSameFolder", [](Options& o) { o.ExcludeSameFolder = true; }, true, false},
        {"Sortby", [](Options& o) { o.Sortby = SortOrder::RadioButtonbyDate; }, true, false},
        {"Skip", [](Options& o) { o.GroupBox1 = CopyCollision::Skip; }, true, false},
        {"JpegQuality", [](Options& o) { o.SetJpegQuality(90); }, false, false},
        {"SmartSort", [](Options& o) { o.SmartSort = true; }, false, false},
        {"Compress", [](Options& o) { o.SetCompress(3); }, false, false},
        // Kept outside the database header: a new search, no change of the database.
        {"MatchOrientations", [](Options& o) { o.MatchOrientations = true; }, false, true},
        {"unchanged", [](Options& o) { o.SetTrackBar1(o.TrackBar1); }, false, false},
    };
    for (const Case& c : cases) {
        Options o;
        Options before = o;
        c.change(o);
        RaiseChangedFlags(before, o);
        EXPECT_EQ(o.OptionsDialogChanged, c.options) << c.name;
        EXPECT_EQ(o.FindOptionsChanged, c.search) << c.name;
    }
    // Landing on "Ask" has no handler.
    Options o;
    o.GroupBox1 = CopyCollision::Skip;
    Options before = o;
    o.GroupBox1 = CopyCollision::Ask;
    EXPECT_FALSE(ChangedFlags(before, o).OptionsDialogChanged);
}

} // namespace
} // namespace lumidex
