#include "FrameRules.h"

#include "Paths.h"

#include <QLocale>

#include <algorithm>

namespace lumidex {

std::string BuildTitle(const std::string& databasePath, bool dataChanged, bool optionsChanged,
                       bool oldFormatRead) {
    std::string title =
        std::string(kAppTitle) + (databasePath.empty() ? " [New]" : " [" + databasePath + "]");
    if (dataChanged) title += '*';
    if (optionsChanged) title += '+';
    if (oldFormatRead) title += '!';
    return title;
}

std::string DatabaseCaption(const std::string& databasePath) {
    if (databasePath.empty()) return "[New]";
    std::string_view name = paths::FileName(databasePath);
    std::string_view ext = paths::Extension(name);
    return std::string(name.substr(0, name.size() - ext.size()));
}

const std::vector<std::string>& CrystalMessages() {
    static const std::vector<std::string> messages = {
        "All works well",       "No ploblem",
        "Don't worry",          "Relax",
        "What happen'?",        "It's all right...perhaps",
        "There's no error,sir", "Go on,go on!!"};
    return messages;
}

KeyDecision DecideKey(int key, Qt::KeyboardModifiers modifiers, bool targetListHasFocus) {
    if (modifiers & Qt::KeypadModifier) {
        switch (key) {
        case Qt::Key_1:
            return {KeyAction::NextReference, true};
        case Qt::Key_4:
            return {KeyAction::PreviousReference, true};
        case Qt::Key_3:
            return {KeyAction::NextTarget, true};
        case Qt::Key_6:
            return {KeyAction::PreviousTarget, true};
        case Qt::Key_7:
            return {KeyAction::ToggleReferenceViewer, false};
        case Qt::Key_9:
            return {KeyAction::ToggleTargetViewer, false};
        default:
            break;
        }
    }
    // The target list keeps its own arrow and space keys.
    if (targetListHasFocus) return {};
    Qt::KeyboardModifiers plain = modifiers & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Up:
        return plain == Qt::NoModifier ? KeyDecision{KeyAction::PreviousReference, true}
                                       : KeyDecision{};
    case Qt::Key_Down:
        return plain == Qt::NoModifier ? KeyDecision{KeyAction::NextReference, true}
                                       : KeyDecision{};
    case Qt::Key_Space:
        if (plain == Qt::NoModifier) return {KeyAction::NextReference, true};
        if (plain == Qt::ControlModifier) return {KeyAction::PreviousReference, true};
        return {};
    default:
        return {};
    }
}

QPoint PlaceAtCursorPosition(QSize window, QPoint cursor, const QRect& screen) {
    int left = cursor.x() - window.width() / 2;
    int top = cursor.y() - window.height() / 2;
    if (left + window.width() > screen.x() + screen.width())
        left = screen.x() + screen.width() - window.width();
    if (top + window.height() > screen.y() + screen.height())
        top = screen.y() + screen.height() - window.height();
    left = std::max(left, screen.x());
    top = std::max(top, screen.y());
    return {left, top};
}

SizeComparison CompareSizes(int64_t leftSize, int64_t rightSize) {
    SizeComparison c;
    if (leftSize <= 0 || rightSize <= 0) return c;
    if (leftSize == rightSize) {
        c.left.highlight = c.right.highlight = true;
    } else {
        (leftSize > rightSize ? c.left : c.right).raised = true;
    }
    return c;
}

std::string DialogNameFilter(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        size_t from = 0;
        for (;;) {
            size_t semi = parts[i + 1].find(';', from);
            std::string one =
                parts[i + 1].substr(from, semi == std::string::npos ? semi : semi - from);
            if (one == "*.*") one = "*";
            if (!one.empty()) patterns += (patterns.empty() ? "" : " ") + one;
            if (semi == std::string::npos) break;
            from = semi + 1;
        }
        if (!out.empty()) out += ";;";
        out += parts[i] + " (" + patterns + ")";
    }
    return out;
}

const std::vector<std::string>& PanelButtonNames() {
    static const std::vector<std::string> names = {
        "LeftViewButton", "ClearEntry",       "CopyRefButton",   "MoveRefButton",
        "RefdelButton",   "ButtonRenameLeft", "RightViewButton", "CopyButton",
        "MoveButton",     "DelButton",        "Rename"};
    return names;
}

ToolButtonStates UpdateToolButtonStates(const FrameState& s) {
    ToolButtonStates t;
    t.clearAll = s.catalogueCount > 0;
    t.refresh = s.catalogueCount > 0;
    t.makeMismatch = s.referenceSelected && s.targetSelected;
    t.searchButton = !(s.catalogueCount > 0 && s.dataFilterIndex >= 0 && s.dataFilterIndex <= 1);
    return t;
}

bool DropDownEnabled(const std::string& item, const FrameState& s) {
    if (item == "ClearAllDataEntry1" || item == "Refind1") return s.catalogueCount > 0;
    if (item == "ClearAllDataEntryinRefList1" || item == "ReanalizeAllinRefList1" ||
        item == "CopyRefListToClipboard1" || item == "CopyPairListtoClipboardE1")
        return s.referenceRows > 0;
    if (item == "DeleteDataEntry1") return s.referenceSelected;
    if (item == "Makemismatch1") return s.referenceSelected && s.targetSelected;
    if (item == "ExportMemo1") return s.memoGroups > 0;
    if (item == "ImportListfromClipboard1") return s.referenceRows > 0 && s.clipboardHasText;
    if (item == "SearchUnlinkedData" || item == "MenuMismatchEditor" || item == "FolderExplorer1" ||
        item == "ChangeAllFilePath1")
        return s.catalogueCount > 0;
    if (item == "SlideShow1") return s.catalogueCount > 0 && s.referenceSelected;
    if (item == "MovePath1") return s.referenceSelected;
    return true;
}

DatabaseActionStates DatabaseActions(const FrameState& s) {
    DatabaseActionStates d;
    d.saveAs = s.catalogueCount > 0;
    d.import = s.catalogueCount > 0;
    d.save = s.catalogueCount > 0 && s.anyChangeFlag;
    return d;
}

bool JapaneseMenuAtFirstStart(int language) {
    return language == QLocale::Japanese;
}

} // namespace lumidex
