#include "DeleteRename.h"

#include "EmptyFolders.h"
#include "FileNames.h"
#include "FileTransfer.h"
#include "Paths.h"

#include <algorithm>
#include <set>

namespace lumidex {

namespace {

bool Confirm(FileOpsParts& parts, const std::string& text) {
    if (!parts.options.ConfirmDelete) return true;
    return parts.state.frame().Ask(
               Question{"Delete Confirm", text, {Answer::Ok, Answer::Cancel}}) == Answer::Ok;
}

void Outcome(FileOpsParts& parts, const std::string& text) {
    parts.state.frame().SetStatusText(StatusPanel::Outcome, text);
}

} // namespace

std::string FreeSpaceLine(int64_t before, int64_t after) {
    return "Disk free : " + std::to_string(after) + " bytes. " + std::to_string(after - before) +
           " bytes freed.";
}

void SynchronizeMemos(Pdata& a, Pdata& b) {
    if (&a == &b) return;
    std::vector<int32_t> fromA = a.Memos();
    a.MergeMemos(b.Memos());
    b.MergeMemos(fromA);
}

int RecycleEntryFiles(FileOpsParts& parts, const std::vector<Pdata*>& entries) {
    std::vector<Pdata*> gone;
    std::set<std::string> folders;
    int failed = 0;
    for (Pdata* entry : entries) {
        std::string trashedAt;
        if (parts.fs.Trash(entry->path, trashedAt) != 0) {
            parts.state.LogMessage("Delete failed:" + entry->path);
            ++failed;
            continue;
        }
        gone.push_back(entry);
        if (parts.options.DeleteEmptyFolderafterFileMove)
            folders.insert(paths::ParentOf(entry->path));
    }
    if (!gone.empty()) {
        parts.lists.RemoveEntries(gone);
        parts.state.MarkDataChanged();
    }
    for (const std::string& folder : folders)
        RemoveEmptyFolders(parts.fs, folder, true);
    return failed;
}

bool DeleteSelectedTargets(FileOpsParts& parts) {
    Lists& lists = parts.lists;
    std::vector<Pdata*> targets;
    for (int row : lists.target.SelectedRows())
        targets.push_back(lists.target.EntryAt(row));
    if (targets.empty()) return false;
    const std::string text = targets.size() == 1
                                 ? "Delete<" + targets.front()->path + ">?"
                                 : "Delete " + std::to_string(targets.size()) + " Files?";
    if (!Confirm(parts, text)) return false;
    Pdata* reference = lists.currentReference;
    lists.SaveSelection(lists.reference);
    const std::string firstFolder = paths::ParentOf(targets.front()->path);
    const int64_t before = parts.fs.FreeSpace(firstFolder);
    parts.state.frame().SetBusy(true);
    // Each deleted target's memos go to the reference, so the kept picture carries them all.
    if (parts.options.AutoSync && reference)
        for (Pdata* t : targets)
            SynchronizeMemos(*reference, *t);
    const int failed = RecycleEntryFiles(parts, targets);
    parts.state.frame().SetBusy(false);
    if (failed > 0) {
        parts.state.LogMessage("Delete failed");
        return false;
    }
    Outcome(parts, "File(s) deleted.");
    if (reference) lists.recheckQueue.push_back(reference);
    lists.PruneUnmatched();
    lists.reference.ClearSelection();
    lists.RestoreSelection(lists.reference);
    lists.FillTargetList();
    Outcome(parts, FreeSpaceLine(before, parts.fs.FreeSpace(firstFolder)));
    return true;
}

bool DeleteReference(FileOpsParts& parts) {
    Lists& lists = parts.lists;
    Pdata* reference = lists.currentReference;
    if (!reference || reference->path.empty() || reference->path == "0") return false;
    if (!Confirm(parts, "Delete<" + reference->path + ">?")) return false;
    for (int row : lists.target.SelectedRows())
        if (lists.target.EntryAt(row) != reference)
            lists.recheckQueue.push_back(lists.target.EntryAt(row));
    lists.SaveSelection(lists.reference);
    const std::string folder = paths::ParentOf(reference->path);
    const int64_t before = parts.fs.FreeSpace(folder);
    if (parts.options.AutoSync && lists.currentTarget)
        SynchronizeMemos(*reference, *lists.currentTarget);
    const bool failed = RecycleEntryFiles(parts, {reference}) > 0;
    if (failed) {
        parts.state.LogMessage("Delete failed.");
    } else {
        lists.reference.ClearSelection();
        lists.RestoreSelection(lists.reference);
        Outcome(parts, "File deleted.");
    }
    lists.PruneUnmatched();
    lists.ReferenceSelectionChanged();
    Outcome(parts, FreeSpaceLine(before, parts.fs.FreeSpace(folder)));
    return !failed;
}

Pdata* RenameEntryFile(FileOpsParts& parts, Pdata& entry, RenameAsker& asker, bool* cancelled) {
    if (cancelled) *cancelled = false;
    const std::string oldPath = entry.path;
    const std::string folder = std::string(paths::FolderPart(oldPath));
    const std::string extension(paths::Extension(oldPath));
    std::string fileName(paths::FileName(oldPath));
    std::string name = fileName.substr(0, fileName.size() - extension.size());
    std::string message;
    std::string newPath;
    bool sameFile = false;
    FileInfo oldInfo;
    parts.fs.Stat(oldPath, oldInfo);
    for (;;) {
        if (!asker.AskNewName(name, extension, message)) {
            if (cancelled) *cancelled = true;
            return nullptr;
        }
        if (!IsValidFileName(name) || !IsValidFileName(name + extension)) {
            parts.state.LogMessage("Rename failed:" + oldPath);
            return nullptr;
        }
        newPath = folder + name + extension;
        FileInfo info;
        if (IsMissingError(parts.fs.Stat(newPath, info))) break;
        // A change of letter case alone on a file system that folds case finds the file itself.
        if (newPath != oldPath && info.SameFileAs(oldInfo)) {
            sameFile = true;
            break;
        }
        message = "File already Exists!";
    }
    if (parts.fs.Rename(oldPath, newPath, sameFile) != 0) {
        parts.state.LogMessage("Rename failed:" + oldPath);
        return nullptr;
    }
    parts.state.MarkDataChanged();
    if (!parts.options.TrackMoveCopy) {
        parts.lists.RemoveEntries({&entry});
        return nullptr;
    }
    RekeyEntries(parts.catalogue, {{&entry, newPath}});
    return &entry;
}

void RenameSelectedTargets(FileOpsParts& parts, RenameAsker& asker) {
    Lists& lists = parts.lists;
    lists.SaveSelection(lists.target);
    std::vector<Pdata*> entries;
    for (int row : lists.target.SelectedRows())
        entries.push_back(lists.target.EntryAt(row));
    for (Pdata* entry : entries) {
        // An earlier rename without tracking may have freed a later one (a duplicate).
        if (PositionOfEntry(parts.catalogue, entry) < 0) continue;
        bool cancelled = false;
        RenameEntryFile(parts, *entry, asker, &cancelled);
        if (cancelled) break;
    }
    lists.FillTargetList();
}

void RenameReference(FileOpsParts& parts, RenameAsker& asker) {
    Lists& lists = parts.lists;
    if (!lists.currentReference) return;
    lists.SaveSelection(lists.reference);
    RenameEntryFile(parts, *lists.currentReference, asker);
    lists.RestoreSelection(lists.reference);
    lists.FillTargetList();
}

bool OverwriteMove(FileOpsParts& parts, bool referenceOntoTarget) {
    Lists& lists = parts.lists;
    FileSystem& fs = parts.fs;
    Pdata* reference = lists.currentReference;
    Pdata* target = lists.currentTarget;
    if (!reference || !target || reference == target) return false;
    Pdata* moving = referenceOntoTarget ? reference : target;
    Pdata* replaced = referenceOntoTarget ? target : reference;
    const int row = lists.reference.SelectedRow();
    const std::string source = moving->path;
    const std::string destination = replaced->path;
    const std::string folder = paths::ParentOf(destination);
    FileInfo sourceInfo, destinationInfo;
    const bool destinationExists = fs.Stat(destination, destinationInfo) == 0;
    // Two names of one file: moving it onto itself would lose it.
    if (fs.Stat(source, sourceInfo) != 0 || destinationInfo.SameFileAs(sourceInfo)) {
        parts.state.LogMessage("Move failed.");
        return false;
    }
    if (destinationExists && !Confirm(parts, "Delete<" + destination + ">?")) return false;
    if (destinationExists && parts.options.AutoSync) SynchronizeMemos(*reference, *target);
    const bool sameFs = SameFileSystem(fs, source, folder);
    StagedFile staged;
    if (StageFile(fs, source, folder, staged) != 0) {
        parts.state.LogMessage("Move failed.");
        return false;
    }
    std::string trashedAt;
    if (destinationExists && fs.Trash(destination, trashedAt) != 0) {
        Unstage(fs, source, staged);
        parts.state.LogMessage("Delete failed.");
        return false;
    }
    if (PublishStaged(fs, source, staged, destination, false, true) != 0) {
        if (destinationExists) fs.Restore(trashedAt, destination);
        parts.state.LogMessage("Move failed.");
        return false;
    }
    parts.state.MarkDataChanged();
    lists.SaveSelection(lists.reference);
    if (Tracking(parts.options, sameFs)) {
        lists.RemoveEntries({replaced});
        lists.RemoveFromLists(moving);
        RekeyEntries(parts.catalogue, {{moving, destination}});
        lists.AddRow(lists.reference, moving);
    } else {
        // Its old path no longer exists: an entry left there would point at nothing.
        lists.RemoveEntries({replaced, moving});
    }
    lists.reference.ClearSelection();
    lists.currentReference = nullptr;
    if (!lists.reference.Empty())
        lists.SelectReference(std::clamp(row, 0, lists.reference.Count() - 1));
    if (lists.hooks.repaint) lists.hooks.repaint();
    return true;
}

} // namespace lumidex
