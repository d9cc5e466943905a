#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include <cstdint>

#include <string>
#include <vector>

// The main window's rules that need no widgets: title, questions' captions, keys, placement,
// the history part of the file menu and the enabling of tool buttons and menu items.
namespace lumidex {

inline constexpr const char* kAppTitle = "Lumidex2";
inline constexpr const char* kVersionText = "Version 2.80";
inline constexpr const char* kDataChangedQuestion = "Data changed.Save?";
inline constexpr int kMinWindowWidth = 640;
inline constexpr int kMinWindowHeight = 480;

// "Lumidex2 [path]" or "Lumidex2 [New]", then "*", "+" and "!" for the three change flags.
std::string BuildTitle(const std::string& databasePath, bool dataChanged, bool optionsChanged,
                       bool oldFormatRead);

// The menu language of a start without any option file: Japanese where the user's language
// is Japanese, English elsewhere. language is a QLocale::Language value.
bool JapaneseMenuAtFirstStart(int language);

// Caption of the save questions: the database's file name without folder and extension, or
// "[New]" when there is no database path.
std::string DatabaseCaption(const std::string& databasePath);

// The messages the Crystal control shows until the first error.
const std::vector<std::string>& CrystalMessages();

// What the main window does with a key it sees before its controls.
enum class KeyAction {
    None,
    NextReference,
    PreviousReference,
    NextTarget,
    PreviousTarget,
    ToggleReferenceViewer,
    ToggleTargetViewer,
};
struct KeyDecision {
    KeyAction action = KeyAction::None;
    bool consumed = false; // the focused control does not see the key
};
KeyDecision DecideKey(int key, Qt::KeyboardModifiers modifiers, bool targetListHasFocus);

// Top-left corner of a window of the given size centred on the cursor and kept on the screen.
QPoint PlaceAtCursorPosition(QSize window, QPoint cursor, const QRect& screen);

// How a preview panel looks in the size comparison of the two previews.
struct PanelLook {
    bool highlight = false; // the highlight-text colour instead of the button face
    bool raised = false;    // a raised bevel instead of a lowered one
    bool operator==(const PanelLook&) const = default;
};
struct SizeComparison {
    PanelLook left, right;
};
// Sizes of the previewed files, -1 when a preview shows no picture: equal non-zero sizes
// highlight both panels; different ones raise the panel of the larger file.
SizeComparison CompareSizes(int64_t leftSize, int64_t rightSize);

// A filter "Name|*.a;*.b|All|*.*" in the form of Qt's file dialogs, "Name (*.a *.b);;All (*)".
// "*.*" means every file, also one without an extension.
std::string DialogNameFilter(const std::string& filter);

// Bits of the button visibility mask of "app.cfg", in bit order.
const std::vector<std::string>& PanelButtonNames();

// Enabling that depends on the catalogue, the lists and the change flags.
struct FrameState {
    int catalogueCount = 0;
    int referenceRows = 0;
    bool referenceSelected = false;
    bool targetSelected = false;
    int dataFilterIndex = 0;
    bool anyChangeFlag = false;
    int memoGroups = 0;
    bool clipboardHasText = false;
};
struct ToolButtonStates {
    bool clearAll = false;     // SpeedButton8
    bool refresh = false;      // SpeedButton9
    bool makeMismatch = false; // SpeedButton10
    bool searchButton = true;  // SearchButton
};
ToolButtonStates UpdateToolButtonStates(const FrameState& state);

// Whether a menu item is enabled when its menu drops down; items the table does not name
// return true (their own rules apply).
bool DropDownEnabled(const std::string& item, const FrameState& state);

// Database commands that are enabled continuously.
struct DatabaseActionStates {
    bool save = false;
    bool saveAs = false;
    bool import = false;
};
DatabaseActionStates DatabaseActions(const FrameState& state);

} // namespace lumidex
