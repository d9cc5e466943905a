#include "PreviewPane.h"

#include "DataManage.h"
#include "Pdata.h"
#include "PictureReader.h"

#include <algorithm>

namespace lumidex {

AreaGeometry PreviewAreaGeometry(int fullWidth, int fullHeight, bool keepAspectRatio,
                                 int panelWidth, int panelHeight) {
    if (!keepAspectRatio || fullWidth <= 0 || fullHeight <= 0)
        return {9, 8, kPreviewSide, kPreviewSide};
    AreaGeometry g;
    if (fullHeight < fullWidth) {
        g.width = kPreviewSide;
        g.height =
            std::max<int>(1, static_cast<int>(int64_t{fullHeight} * kPreviewSide / fullWidth));
        g.top = (panelHeight - g.height) / 2;
        g.left = 8;
    } else {
        g.height = kPreviewSide;
        g.width =
            std::max<int>(1, static_cast<int>(int64_t{fullWidth} * kPreviewSide / fullHeight));
        g.left = (panelWidth - g.width) / 2;
        g.top = 8;
    }
    return g;
}

bool ReadPanePicture(const std::string& path, int side, PanePicture& read) {
    QSize full;
    if (ReadPictureForCell(read.picture, path, side, side, &full) != ReadOutcome::Ok) {
        read = PanePicture{};
        return false;
    }
    read.fullWidth = full.width();
    read.fullHeight = full.height();
    read.reduced = full != read.picture.size();
    return true;
}

std::string PaneHint(const Pdata& entry, int fullWidth, int fullHeight, int64_t fileSize,
                     const DataManage& memos, bool showMemos, bool skipBlankNumber) {
    std::string hint = entry.path + ":(" + std::to_string(fullWidth) + "x" +
                       std::to_string(fullHeight) + "," + std::to_string(fileSize) + " bytes)";
    if (!showMemos) return hint;
    for (int32_t number : entry.Memos()) {
        if (number == -1 && skipBlankNumber) continue;
        if (number < 0 || number >= memos.Count()) {
            hint += "\n???";
            break;
        }
        hint += "\n" + memos.Slots()[static_cast<size_t>(number)].text;
    }
    return hint;
}

} // namespace lumidex
