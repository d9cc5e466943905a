#include "PathMaintenance.h"

#include "EmptyFolders.h"
#include "FileNames.h"
#include "FileTransfer.h"
#include "Paths.h"
#include "RenameList.h"

#include <set>
#include <unordered_map>
#include <unordered_set>

namespace lumidex {

std::vector<Pdata*> FindUnlinkedEntries(FileOpsParts& parts,
                                        const std::function<void(int)>& progress) {
    OperationScope running(parts.state);
    std::vector<Pdata*> missing;
    parts.state.StopRequested = false;
    for (int i = 0; i < parts.catalogue.Count(); ++i) {
        if (i % 256 == 0) {
            if (progress) progress(i);
            parts.state.frame().ProcessEvents();
            if (parts.state.StopRequested) break;
        }
        Pdata& entry = parts.catalogue.Entry(i);
        FileInfo info;
        int error = parts.fs.Stat(entry.path, info);
        if (IsMissingError(error)) {
            missing.push_back(&entry);
        } else if (error == 0 && entry.fileSize == -1) {
            entry.fileSize = StoredFileValue(info.size);
            entry.fileTime = StoredFileValue(info.modified);
            parts.state.MarkDataChanged();
        }
    }
    if (progress) progress(parts.catalogue.Count());
    return missing;
}

void RemoveUnlinkedEntries(FileOpsParts& parts, const std::vector<Pdata*>& entries) {
    if (entries.empty()) return;
    parts.lists.SaveSelection(parts.lists.reference);
    parts.lists.RemoveEntries(entries);
    parts.lists.reference.ClearSelection();
    parts.lists.RestoreSelection(parts.lists.reference);
    parts.state.MarkDataChanged();
}

std::string ChangedText(int changed, int catalogueSize) {
    return std::to_string(changed) + "/" + std::to_string(catalogueSize) + " Changed.";
}

std::vector<PathChange> PlanPathChange(FileOpsParts& parts, const std::string& fromIn,
                                       const std::string& toIn, bool subFolders) {
    const std::string from = paths::WithTrailingDelimiter(fromIn);
    const std::string to = paths::WithTrailingDelimiter(toIn);
    std::vector<PathChange> changes;
    if (from == to) return changes;
    std::unordered_set<std::string> claimed;
    for (int i = 0; i < parts.catalogue.Count(); ++i) {
        Pdata& entry = parts.catalogue.Entry(i);
        const std::string& path = entry.path;
        std::string newPath;
        if (subFolders) {
            if (path.compare(0, from.size(), from) != 0) continue;
            newPath = to + path.substr(from.size());
        } else {
            if (paths::FolderPart(path) != from) continue;
            newPath = to + std::string(paths::FileName(path));
        }
        FileInfo info;
        if (!IsMissingError(parts.fs.Stat(path, info))) continue;
        if (parts.fs.Stat(newPath, info) != 0) continue;
        if (parts.catalogue.FindEntry(newPath) >= 0 || !claimed.insert(newPath).second) continue;
        changes.push_back({&entry, path, std::move(newPath)});
    }
    return changes;
}

int ApplyPathChange(FileOpsParts& parts, const std::vector<PathChange>& changes) {
    std::vector<std::pair<Pdata*, std::string>> moves;
    std::unordered_set<const Pdata*> changed;
    for (const PathChange& c : changes) {
        moves.push_back({c.entry, c.newPath});
        changed.insert(c.entry);
    }
    RekeyEntries(parts.catalogue, moves);
    Lists& lists = parts.lists;
    if (!changes.empty()) {
        // The rows of changed entries sort by their new paths from now on.
        for (ListRow& row : lists.reference.MutableRows())
            if (changed.count(row.entry)) row.key = lists.SortKeyOf(*row.entry);
        lists.reference.Resort();
        parts.state.MarkDataChanged();
        parts.state.frame().SetStatusText(
            StatusPanel::Outcome,
            ChangedText(static_cast<int>(changes.size()), parts.catalogue.Count()));
    }
    if (!parts.options.NotUpdateListatAction) {
        lists.dataFilter = FilterItem::All;
        lists.listAllMode = true;
        lists.UpdateReferenceList();
    }
    lists.currentReference = nullptr;
    if (lists.hooks.repaint) lists.hooks.repaint();
    return static_cast<int>(changes.size());
}

namespace {
void CollectFiles(FileSystem& fs, const std::string& folder, const std::string& relative,
                  const FolderMovePlan& plan, std::vector<FolderMove>& out, int depth) {
    std::vector<FolderItem> items;
    if (depth > 256 || fs.List(folder, items) != 0) return;
    for (const FolderItem& item : items) {
        std::string rel = relative.empty() ? item.name : paths::Join(relative, item.name);
        std::string path = paths::Join(folder, item.name);
        if (item.isFolder) {
            CollectFiles(fs, path, rel, plan, out, depth + 1);
            continue;
        }
        FolderMove move{path, paths::Join(plan.to, rel), {}};
        FileInfo info;
        if (!IsMissingError(fs.Stat(move.destination, info)))
            move.skipped = "Destination file exists";
        out.push_back(std::move(move));
    }
}
} // namespace

FolderMovePlan PlanFolderMove(FileOpsParts& parts, const std::string& from, const std::string& to) {
    FolderMovePlan plan;
    plan.from = NormalisedFolder(from);
    plan.to = NormalisedFolder(to);
    FileInfo fromInfo, toInfo;
    if (from.empty() || to.empty() || plan.from == "/") {
        plan.refusal = "a root folder cannot be moved";
    } else if (parts.fs.Stat(plan.from, fromInfo) != 0 || !fromInfo.isFolder) {
        plan.refusal = "no such folder";
    } else if (IsSameOrInside(plan.to, plan.from) ||
               (parts.fs.Stat(plan.to, toInfo) == 0 && toInfo.SameFileAs(fromInfo))) {
        plan.refusal = "the destination lies in the folder itself";
    }
    if (!plan.refusal.empty()) return plan;
    CollectFiles(parts.fs, plan.from, "", plan, plan.files, 0);
    return plan;
}

int ApplyFolderMove(FileOpsParts& parts, const FolderMovePlan& plan) {
    if (!plan.refusal.empty()) {
        parts.state.LogMessage("Move failed:" + plan.from);
        return 0;
    }
    FileSystem& fs = parts.fs;
    parts.state.frame().SetBusy(true);
    std::unordered_map<std::string, std::string> moved;
    std::set<std::string> made;
    for (const FolderMove& m : plan.files) {
        if (!m.skipped.empty()) {
            parts.state.LogMessage("Move failed:" + m.source);
            continue;
        }
        std::string folder = paths::ParentOf(m.destination);
        if (made.insert(folder).second) fs.MakeFolders(folder);
        if (MoveFileTo(fs, m.source, m.destination, false) != 0) {
            parts.state.LogMessage("Move failed:" + m.source);
            continue;
        }
        moved[m.source] = m.destination;
    }
    std::vector<std::pair<Pdata*, std::string>> rekeys;
    for (int i = 0; i < parts.catalogue.Count(); ++i) {
        Pdata& entry = parts.catalogue.Entry(i);
        auto it = moved.find(entry.path);
        if (it != moved.end()) rekeys.push_back({&entry, it->second});
    }
    RekeyEntries(parts.catalogue, rekeys);
    if (parts.options.DeleteEmptyFolderafterFileMove) RemoveEmptyFolders(fs, plan.from, true);
    parts.state.frame().SetBusy(false);
    if (!rekeys.empty()) {
        parts.state.MarkDataChanged();
        parts.state.frame().SetStatusText(
            StatusPanel::Outcome,
            ChangedText(static_cast<int>(rekeys.size()), parts.catalogue.Count()));
    }
    parts.lists.currentReference = nullptr;
    if (parts.lists.hooks.repaint) parts.lists.hooks.repaint();
    return static_cast<int>(rekeys.size());
}

int ApplyRenameList(FileOpsParts& parts, const std::vector<RenameLine>& lines) {
    std::vector<std::pair<Pdata*, std::string>> moves;
    std::unordered_set<const Pdata*> seen;
    for (const RenameLine& line : lines) {
        int at = parts.catalogue.FindEntry(line.oldPath);
        if (at < 0) continue;
        Pdata* entry = &parts.catalogue.Entry(at);
        if (seen.insert(entry).second) moves.push_back({entry, line.newPath});
    }
    RekeyEntries(parts.catalogue, moves);
    if (!moves.empty()) parts.state.MarkDataChanged();
    const int count = static_cast<int>(moves.size());
    parts.state.frame().SetStatusText(StatusPanel::Outcome,
                                      std::to_string(count) + " FileName Changed.");
    if (parts.lists.hooks.repaint) parts.lists.hooks.repaint();
    return count;
}

int ChangeFilenamesWithCsv(FileOpsParts& parts, const std::string& csvPath) {
    auto lines = ReadRenameList(csvPath);
    if (!lines) {
        parts.state.frame().Ask(Question{"Warning", "ERROR:Invalid CSV", {Answer::Ok}});
        parts.state.frame().SetStatusText(StatusPanel::Outcome, "0 FileName Changed.");
        return -1;
    }
    return ApplyRenameList(parts, *lines);
}

} // namespace lumidex
