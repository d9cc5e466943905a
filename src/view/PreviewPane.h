#pragma once

#include <QImage>

#include <cstdint>
#include <string>

namespace lumidex {

class DataManage;
class Pdata;

inline constexpr int kPreviewSide = 105;
inline constexpr int kPreviewPanelSide = 121;

struct AreaGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const AreaGeometry&) const = default;
};

// Where a pane's picture area stands inside its panel for a picture of full size. Every side
// is at least one pixel, however narrow the picture.
AreaGeometry PreviewAreaGeometry(int fullWidth, int fullHeight, bool keepAspectRatio,
                                 int panelWidth = kPreviewPanelSide,
                                 int panelHeight = kPreviewPanelSide);

// The hint of a pane: "path:(WxH,N bytes)" and, with showMemos, one line per memo of the
// entry. An unknown memo number adds "???" and ends the lines; skipBlankNumber passes over
// memo number -1 instead (the reference pane).
std::string PaneHint(const Pdata& entry, int fullWidth, int fullHeight, int64_t fileSize,
                     const DataManage& memos, bool showMemos, bool skipBlankNumber);

// A picture read for a pane, with the picture's own size: a JPEG is decoded reduced (a half,
// a quarter or an eighth) as long as both sides still cover side pixels, the largest the
// pane draws in device pixels; other formats come whole.
struct PanePicture {
    QImage picture;
    int fullWidth = 0;
    int fullHeight = 0;
    bool reduced = false; // picture is smaller than the file's
};
// False when the file cannot be read (picture then empty).
bool ReadPanePicture(const std::string& path, int side, PanePicture& read);

// What one preview pane remembers between showings.
struct PreviewPaneState {
    const Pdata* shown = nullptr;     // the entry its picture belongs to (nullptr: hidden)
    const Pdata* lastShown = nullptr; // the entry it showed last
    bool reloadRequest = false;       // the next showing reads the file again
    int fullWidth = 0;
    int fullHeight = 0;
    // The full picture, or only a small copy (the cache's or a reduced decode: then smallCopy);
    // whoever needs every pixel (the viewer, the clipboard) reads the file.
    QImage picture;
    bool smallCopy = false;
    std::string hint;

    // Whether showing entry has to fetch its picture again.
    bool NeedsFetch(const Pdata* entry, bool hidden, bool fetchWhenHidden) const {
        return entry != lastShown || reloadRequest || (fetchWhenHidden && hidden);
    }
    // The entry goes away: nothing of it may stay.
    void Forget(const Pdata* entry) {
        if (!entry || shown == entry || lastShown == entry) Hide(true);
    }
    // Hidden, the picture stays for showing the same entry again; forgotten, nothing stays.
    void Hide(bool forgetLast) {
        shown = nullptr;
        if (!forgetLast) return;
        lastShown = nullptr;
        picture = QImage();
        smallCopy = false;
        fullWidth = fullHeight = 0;
        hint.clear();
    }
};

} // namespace lumidex
