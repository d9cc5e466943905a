#pragma once

#include <cstdint>
#include <string>

namespace lumidex {

// Radio groups of the options window; the enumerators carry the radio buttons' names and
// their values are the numbers stored in the database header.
enum class SortOrder : uint8_t {
    byName = 0,
    byPathname = 1,
    RadioButtonbyDate = 2,
    RadioButtonbySize = 3,
    bySimilarity = 4
};
// "When copy(move) target exists:"
enum class CopyCollision : uint8_t { OverWrite = 0, Skip = 1, Ask = 2 };
// "Adding Same Filename"
enum class SameFilePolicy : uint8_t { Replace = 0, DontAdd = 1, NotCare = 2 };

// Ranges of the track bars.
inline constexpr int kTrackBar1Min = 1;
inline constexpr int kTrackBar1MaxDoubleCheck = 15;
inline constexpr int kTrackBar1MaxSingleCheck = 4;
inline constexpr int kTrackBar3Max = 4;
inline constexpr int kTrackBarSizeRangeMax = 9;
inline constexpr int kTrackBar2Max = 29;
inline constexpr int kJpegQualityMin = 25;
inline constexpr int kJpegQualityMax = 100;
inline constexpr int kCompressItems = 4;

// The options: one member per control of the options window that holds a value, named after
// the control, with the state of a new window as its default. The window binds its widgets to
// this struct; everything else reads it.
struct Options {
    // "Main Window"
    bool AutoViewLeft = true;
    bool AutoViewRight = true;
    SortOrder Sortby = SortOrder::byName;
    bool ShoePathName = false;
    bool SmartSort = false;
    bool KeepAspectRatio = true;
    bool AllowRobustOperation = true;
    bool ShowMemoonPreview = true;
    bool UseJapneseMenu = true;
    bool TargetListDragDrop = false;

    // "Find"
    bool CheckBoxSameSizeOnly = false;
    int TrackBarSizeRange = 0; // 0..9
    bool ShowreferenceinTarget = false;
    bool ExcludeSameFolder = false;
    bool DoubleCheck = true;
    int TrackBar3 = 2; // luminance cell tolerance, 0..4
    bool NotStrict = true;
    int TrackBar1 = 8; // key bit tolerance, 1..TrackBar1Max()

    // "File"
    CopyCollision GroupBox1 = CopyCollision::Ask;
    bool ConfirmDelete = true;
    bool TrackMoveCopy = true;
    bool NotUpdateListatAction = true;
    bool SameDriveOnly = false;
    bool DeleteEmptyFolderafterFileMove = false;
    int HistoryCount = 20; // hidden field, never stored

    // "DataBase"
    SameFilePolicy GroupBox2 = SameFilePolicy::DontAdd;
    bool ConfirmClear = true;
    bool AutoRenameAtMerge = false; // hidden, never stored

    // "Fullsize View"
    int TrackBar2 = 1; // slide show interval, 0..29
    bool WrapAround = true;
    bool Stretch = true;
    bool FixedPosition = false;
    bool FixedSize = false;

    // "Memo Manager"
    int InitialStatus = 0; // 0 "Retract", 1 "Expand"
    bool AutoExpand = false;
    bool AutoSync = false;

    // "JPEG Option" and "PNG Option"
    int JpegQuality = 75; // 25..100
    bool GrayScale = false;
    int Compress = 1; // 0 "None", 1 "Standard", 2 "Speed", 3 "Minimum"

    // Main window switches kept in "app.cfg", not in the database header.
    bool UseSubIndex = true;
    bool UsePreviewCache = false;
    std::string CacheCount = "20";
    // "Match mirrored and turned copies": kept in "app.cfg", as the header has no room for it.
    bool MatchOrientations = false;

    // The options window's change flags (not options themselves): OptionsDialogChanged is
    // cleared each time the window is shown; FindOptionsChanged is reset by the search.
    bool OptionsDialogChanged = false;
    bool FindOptionsChanged = false;

    // Dependent controls.
    int TrackBar1Max() const {
        return DoubleCheck ? kTrackBar1MaxDoubleCheck : kTrackBar1MaxSingleCheck;
    }
    bool TrackBar1Enabled() const { return NotStrict; }
    bool TrackBar3Enabled() const { return DoubleCheck; }
    bool TrackBarSizeRangeEnabled() const { return CheckBoxSameSizeOnly; }
    bool SameDriveOnlyEnabled() const { return TrackMoveCopy; }

    // Setters that behave like the controls: track bar positions are held inside their
    // range, item indexes inside their items, and every value change raises the change flags
    // that the control's handler raises.
    void SetDoubleCheck(bool on); // also limits TrackBar1 to its new maximum
    void SetTrackBar1(int position);
    void SetTrackBar3(int position);
    void SetTrackBarSizeRange(int position);
    void SetTrackBar2(int position);
    void SetJpegQuality(int quality);
    void SetCompress(int item);
    void SetInitialStatus(int item);
};

// Which change flags a control raises when its value changes.
struct OptionChangeFlags {
    bool OptionsDialogChanged = false;
    bool FindOptionsChanged = false;
};
// The flags raised by every control whose value differs between before and after.
OptionChangeFlags ChangedFlags(const Options& before, const Options& after);
// Raises in options the flags that the changes from before to options call for.
void RaiseChangedFlags(const Options& before, Options& options);

// The slide show interval text of a TrackBar2 position ("1 Sec." .. "1 Hour").
const char* IntervalText(int position);

} // namespace lumidex
