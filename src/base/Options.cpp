#include "Options.h"

#include <algorithm>

namespace lumidex {

void Options::SetDoubleCheck(bool on) {
    Options before = *this;
    DoubleCheck = on;
    TrackBar1 = std::clamp(TrackBar1, kTrackBar1Min, TrackBar1Max());
    RaiseChangedFlags(before, *this);
}

void Options::SetTrackBar1(int position) {
    Options before = *this;
    TrackBar1 = std::clamp(position, kTrackBar1Min, TrackBar1Max());
    RaiseChangedFlags(before, *this);
}

void Options::SetTrackBar3(int position) {
    Options before = *this;
    TrackBar3 = std::clamp(position, 0, kTrackBar3Max);
    RaiseChangedFlags(before, *this);
}

void Options::SetTrackBarSizeRange(int position) {
    Options before = *this;
    TrackBarSizeRange = std::clamp(position, 0, kTrackBarSizeRangeMax);
    RaiseChangedFlags(before, *this);
}

void Options::SetTrackBar2(int position) {
    Options before = *this;
    TrackBar2 = std::clamp(position, 0, kTrackBar2Max);
    RaiseChangedFlags(before, *this);
}

void Options::SetJpegQuality(int quality) {
    JpegQuality = std::clamp(quality, kJpegQualityMin, kJpegQualityMax);
}

void Options::SetCompress(int item) {
    Compress = std::clamp(item, 0, kCompressItems - 1);
}

void Options::SetInitialStatus(int item) {
    Options before = *this;
    InitialStatus = std::clamp(item, 0, 1);
    RaiseChangedFlags(before, *this);
}

OptionChangeFlags ChangedFlags(const Options& a, const Options& b) {
    OptionChangeFlags f;
    // Controls whose handlers mark the options changed and ask for a new search.
    bool search = a.CheckBoxSameSizeOnly != b.CheckBoxSameSizeOnly ||
                  a.TrackBarSizeRange != b.TrackBarSizeRange ||
                  a.ShowreferenceinTarget != b.ShowreferenceinTarget ||
                  a.DoubleCheck != b.DoubleCheck || a.TrackBar3 != b.TrackBar3 ||
                  a.NotStrict != b.NotStrict || a.TrackBar1 != b.TrackBar1;
    // "Ask", "SmartSort", "NotUpdateListatAction", "SameDriveOnly",
    // "DeleteEmptyFolderafterFileMove", "JpegQuality", "GrayScale" and "Compress" have no such
    // handler; a collision change counts only when it lands on a button that has one.
    bool collision = a.GroupBox1 != b.GroupBox1 && b.GroupBox1 != CopyCollision::Ask;
    bool options = search || collision || a.AutoViewLeft != b.AutoViewLeft ||
                   a.AutoViewRight != b.AutoViewRight || a.Sortby != b.Sortby ||
                   a.ShoePathName != b.ShoePathName || a.KeepAspectRatio != b.KeepAspectRatio ||
                   a.AllowRobustOperation != b.AllowRobustOperation ||
                   a.ShowMemoonPreview != b.ShowMemoonPreview ||
                   a.UseJapneseMenu != b.UseJapneseMenu ||
                   a.TargetListDragDrop != b.TargetListDragDrop ||
                   a.ExcludeSameFolder != b.ExcludeSameFolder ||
                   a.ConfirmDelete != b.ConfirmDelete || a.TrackMoveCopy != b.TrackMoveCopy ||
                   a.GroupBox2 != b.GroupBox2 || a.ConfirmClear != b.ConfirmClear ||
                   a.TrackBar2 != b.TrackBar2 || a.WrapAround != b.WrapAround ||
                   a.Stretch != b.Stretch || a.FixedPosition != b.FixedPosition ||
                   a.FixedSize != b.FixedSize || a.InitialStatus != b.InitialStatus ||
                   a.AutoExpand != b.AutoExpand || a.AutoSync != b.AutoSync;
    f.OptionsDialogChanged = options;
    // Not in the database header, so no change of the database's options; only a new search.
    f.FindOptionsChanged = search || a.MatchOrientations != b.MatchOrientations;
    return f;
}

void RaiseChangedFlags(const Options& before, Options& options) {
    OptionChangeFlags f = ChangedFlags(before, options);
    options.OptionsDialogChanged = options.OptionsDialogChanged || f.OptionsDialogChanged;
    options.FindOptionsChanged = options.FindOptionsChanged || f.FindOptionsChanged;
}

const char* IntervalText(int position) {
    static const char* const texts[] = {
        "1 Sec.",  "2 Sec.",  "3 Sec.",  "4 Sec.",  "5 Sec.",  "6 Sec.",  "7 Sec.",  "8 Sec.",
        "9 Sec.",  "10 Sec.", "15 Sec.", "20 Sec.", "25 Sec.", "30 Sec.", "35 Sec.", "40 Sec.",
        "45 Sec.", "50 Sec.", "55 Sec.", "1 Min.",  "2 Min.",  "3 Min.",  "4 Min.",  "5 Min.",
        "10 Min.", "15 Min.", "20 Min.", "25 Min.", "30 Min.", "1 Hour"};
    return texts[std::clamp(position, 0, kTrackBar2Max)];
}

} // namespace lumidex
