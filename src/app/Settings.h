#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lumidex {

// Where a window stands: top, left, width, height.
struct Placement {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

// The values kept in "app.cfg", one per line in this order (the thumbnail window's line
// order is left, top, width, height). Defaults are the values a line that is not a number gives.
struct SettingsRecord {
    Placement mainWindow{0, 0, 640, 480};
    Placement memoManager{0, 0, 640, 480};
    Placement mismatchEditor{0, 0, 360, 344};
    Placement unlinkedData{0, 0, 394, 293};
    std::string openFormFolder;     // line 16
    std::string folderDialogFolder; // line 17
    std::string openDialogFolder;   // line 18, written only
    std::string saveDialogFolder;   // line 19, written only
    int buttonMask = -1;            // bit 0 LeftViewButton ... bit 10 Rename
    Placement folderExplorer{0, 0, 300, 480};
    Placement regionWindow{0, 0, 640, 480};
    bool UseSubIndex = true;
    bool UsePreviewCache = false;
    std::string CacheCount = "20";
    Placement thumbnail{0, 0, 362, 445};
    bool thumbnailSpeedButton1 = false; // else SpeedButton2 is down
    std::string DispCount;
    bool KeepAspect = false;
    bool MatchOrientations = false; // line 39, which older files lack
};

inline constexpr int kSettingsLines = 40;

// What LoadSettings took from the file, for the window that applies it.
struct SettingsLoaded {
    bool found = false;                 // the file exists
    bool memoManagerAtMainEdge = false; // fewer than 5 lines: placed beside the main window
    int lines = 0;
};

// Reads the settings text over record, group by group as far as the file goes; a line that is
// not a number takes its default; a group cut short ends the reading, keeping what was set.
// canShow decides whether a folder can be shown (default: it exists).
SettingsLoaded ParseSettings(std::string_view text, SettingsRecord& record,
                             const std::function<bool(const std::string&)>& canShow = {});
// LoadSettings / SaveSettings on appDir + "app.cfg"; failures are silent.
SettingsLoaded LoadSettings(const std::string& appDir, SettingsRecord& record,
                            const std::function<bool(const std::string&)>& canShow = {});
std::string FormatSettings(const SettingsRecord& record);
bool SaveSettings(const std::string& appDir, const SettingsRecord& record);

// A folder that cannot be shown, shortened by its last component until one can or the text is
// 3 characters or shorter.
std::string ShortenToShownFolder(std::string folder,
                                 const std::function<bool(const std::string&)>& canShow);

} // namespace lumidex
