#include "CopyMove.h"

#include "EmptyFolders.h"
#include "FileNames.h"
#include "FileTransfer.h"
#include "Paths.h"

#include <cstdlib>
#include <set>

namespace lumidex {

namespace {

const char* FailedText(TransferKind kind) {
    return kind == TransferKind::Copy ? "Copy failed:" : "Move failed:";
}

const char* SameFolderText(TransferKind kind) {
    return kind == TransferKind::Copy ? "Can't copy to the same folder !"
                                      : "Can't move to the same folder !";
}

// A proposed name that neither exists nor is promised to an earlier file of the plan.
std::string FreeName(FileSystem& fs, const std::string& folder, const std::string& name,
                     const std::set<std::string>& claimed) {
    std::string_view extension = paths::Extension(name);
    std::string stem = name.substr(0, name.size() - extension.size());
    for (int n = 1;; ++n) {
        std::string candidate = stem + "_" + std::to_string(n) + std::string(extension);
        std::string path = paths::Join(folder, candidate);
        FileInfo info;
        if (!claimed.count(path) && IsMissingError(fs.Stat(path, info))) return candidate;
    }
}

std::string FolderWithoutDelimiter(std::string folder) {
    while (folder.size() > 1 && paths::IsDelimiter(folder.back()))
        folder.pop_back();
    return folder;
}

std::vector<Pdata*> SelectedTargets(Lists& lists) {
    std::vector<Pdata*> entries;
    for (int row : lists.target.SelectedRows())
        entries.push_back(lists.target.EntryAt(row));
    return entries;
}

void RememberFolder(FileOpsParts& parts, const std::string& folder, Pdata* entry) {
    std::string key = paths::UpperKey(paths::WithTrailingDelimiter(folder));
    for (const auto& item : parts.folders)
        if (item.first == key) return;
    parts.folders.push_back({key, entry});
}

TransferResult RunTransfer(FileOpsParts& parts, TransferKind kind,
                           const std::vector<Pdata*>& entries, const std::string& folder,
                           CollisionAsker* asker) {
    parts.state.frame().SetBusy(true);
    TransferPlan plan = PlanTransfer(parts, kind, entries, folder, CollisionRule{asker, {}});
    TransferResult result = ApplyTransfer(parts, plan);
    parts.state.frame().SetBusy(false);
    return result;
}

} // namespace

Collision ProposedAnswer(const CollisionQuery& query) {
    const int64_t source = query.sourceInfo.size;
    const int64_t destination = query.destinationInfo.size;
    // Bitmaps of equal dimensions always have equal sizes: equal size proves nothing there.
    if (source == destination && paths::LowerAscii(paths::Extension(query.source)) != ".bmp")
        return Collision::Skip;
    if (std::llabs(source - destination) < source / 5 &&
        query.sourceInfo.modified > query.destinationInfo.modified)
        return Collision::OverWrite;
    return Collision::Rename;
}

TransferPlan PlanTransfer(FileOpsParts& parts, TransferKind kind,
                          const std::vector<Pdata*>& entries, const std::string& folderIn,
                          const CollisionRule& rule) {
    FileSystem& fs = parts.fs;
    TransferPlan plan;
    plan.kind = kind;
    plan.folder = FolderWithoutDelimiter(folderIn);
    const std::string& folder = plan.folder;
    FileInfo folderInfo;
    fs.Stat(folder, folderInfo);
    std::set<std::string> claimed;
    bool okToAll = false;
    Collision confirmed = Collision::Skip;

    for (Pdata* entry : entries) {
        const std::string& source = entry->path;
        std::string sourceFolder = paths::ParentOf(source);
        FileInfo sourceFolderInfo;
        fs.Stat(sourceFolder, sourceFolderInfo);
        // The same folder by another name (a link, a bind mount) is the same folder too.
        if (sourceFolder == folder || sourceFolderInfo.SameFileAs(folderInfo)) {
            parts.state.LogMessage(SameFolderText(kind));
            plan.aborted = true;
            break;
        }
        PlannedTransfer item;
        item.entry = entry;
        item.source = source;
        item.destination = paths::Join(folder, paths::FileName(source));
        FileInfo sourceInfo;
        fs.Stat(source, sourceInfo);
        bool stop = false;
        for (;;) {
            FileInfo destinationInfo;
            bool exists = fs.Stat(item.destination, destinationInfo) == 0 ||
                          claimed.count(item.destination) > 0;
            if (!exists) break;
            if (destinationInfo.SameFileAs(sourceInfo)) {
                // A file is never its own collision: nothing may replace it with itself.
                parts.state.LogMessage(FailedText(kind) + source);
                item.action = PlannedTransfer::Action::Skip;
                item.reason = "the same file";
                plan.skipped = true;
                break;
            }
            CollisionQuery query{source, item.destination, sourceInfo, destinationInfo, {}, {}};
            query.proposedName =
                FreeName(fs, folder, std::string(paths::FileName(item.destination)), claimed);
            query.proposal = ProposedAnswer(query);
            Collision answer = Collision::Skip;
            std::string newName = query.proposedName;
            const CopyCollision mode = parts.options.GroupBox1;
            if (rule.fixed) {
                answer = *rule.fixed;
            } else if (mode != CopyCollision::Ask) {
                answer = mode == CopyCollision::OverWrite ? Collision::OverWrite : Collision::Skip;
            } else if (okToAll) {
                answer = confirmed;
            } else if (!rule.asker) {
                answer = Collision::Skip; // nobody to ask: never the destructive answer
            } else {
                CollisionReply reply = rule.asker->Ask(query);
                if (reply.cancelled) {
                    plan.aborted = true;
                    stop = true;
                    break;
                }
                answer = reply.answer;
                newName = reply.newName;
                if (reply.useAsDefault && answer != Collision::Rename) {
                    parts.options.GroupBox1 =
                        answer == Collision::Skip ? CopyCollision::Skip : CopyCollision::OverWrite;
                    parts.state.MarkOptionsChanged();
                }
                if (reply.okToAll) {
                    okToAll = true;
                    confirmed = answer;
                }
            }
            if (answer == Collision::Skip) {
                parts.state.LogMessage("Destination file exists,Copy skipped");
                item.action = PlannedTransfer::Action::Skip;
                item.reason = "Destination file exists";
                plan.skipped = true;
                break;
            }
            if (answer == Collision::OverWrite) {
                item.action = PlannedTransfer::Action::Replace;
                break;
            }
            if (!IsValidFileName(newName)) {
                parts.state.LogMessage(FailedText(kind) + paths::Join(folder, newName));
                plan.aborted = true;
                stop = true;
                break;
            }
            item.destination = paths::Join(folder, newName);
        }
        if (stop) break;
        if (item.action != PlannedTransfer::Action::Skip) claimed.insert(item.destination);
        plan.items.push_back(std::move(item));
    }
    return plan;
}

TransferResult ApplyTransfer(FileOpsParts& parts, const TransferPlan& plan) {
    FileSystem& fs = parts.fs;
    TransferResult result;
    result.skipped = plan.skipped;
    result.aborted = plan.aborted;
    std::vector<std::unique_ptr<Pdata>> newEntries;
    std::vector<std::pair<Pdata*, std::string>> rekeys;
    std::vector<Pdata*> removals;
    std::set<const Pdata*> removing;
    std::set<std::string> leftFolders;
    const bool copy = plan.kind == TransferKind::Copy;

    for (const PlannedTransfer& item : plan.items) {
        if (item.action == PlannedTransfer::Action::Skip) continue;
        const bool replace = item.action == PlannedTransfer::Action::Replace;
        FileInfo sourceInfo, destinationInfo;
        // The source may have gone while the query was open; never replace a file by itself.
        bool failed = fs.Stat(item.source, sourceInfo) != 0 ||
                      (replace && fs.Stat(item.destination, destinationInfo) == 0 &&
                       destinationInfo.SameFileAs(sourceInfo));
        const bool sameFs = SameFileSystem(fs, item.source, plan.folder);
        if (!failed) {
            failed = (copy ? CopyFileTo(fs, item.source, item.destination, replace)
                           : MoveFileTo(fs, item.source, item.destination, replace)) != 0;
        }
        if (failed) {
            parts.state.LogMessage(FailedText(plan.kind) + item.source);
            result.aborted = true;
            break;
        }
        ++result.done;
        result.touched.push_back(item.destination);
        if (!copy) result.touched.push_back(item.source);
        parts.state.MarkDataChanged();
        const bool tracked = Tracking(parts.options, sameFs);
        // The catalogue may already hold the path now written over.
        int at = parts.catalogue.FindEntry(item.destination);
        Pdata* existing = at >= 0 ? &parts.catalogue.Entry(at) : nullptr;
        if (copy) {
            if (!tracked) continue;
            Pdata* made = existing;
            if (existing) {
                existing->key = item.entry->key;
                existing->code = item.entry->code;
                existing->fileSize = -1;
                existing->fileTime = -1;
                existing->listUpMark = -1;
                parts.catalogue.Touch();
            } else {
                auto entry = std::make_unique<Pdata>(item.destination);
                entry->key = item.entry->key;
                entry->code = item.entry->code;
                made = entry.get();
                newEntries.push_back(std::move(entry));
            }
            if (!result.firstNewEntry) result.firstNewEntry = made;
            continue;
        }
        if (existing && existing != item.entry && removing.insert(existing).second)
            removals.push_back(existing);
        if (tracked) {
            rekeys.push_back({item.entry, item.destination});
            result.moved.push_back(item.entry);
        } else if (removing.insert(item.entry).second) {
            removals.push_back(item.entry);
        }
        if (parts.options.DeleteEmptyFolderafterFileMove)
            leftFolders.insert(paths::ParentOf(item.source));
    }
    std::erase_if(rekeys, [&](const auto& r) { return removing.count(r.first) > 0; });
    parts.lists.RemoveEntries(removals);
    RekeyEntries(parts.catalogue, rekeys);
    InsertEntries(parts, std::move(newEntries));
    for (const std::string& folder : leftFolders)
        RemoveEmptyFolders(fs, folder, true);
    return result;
}

std::vector<std::string> DescribePlan(const TransferPlan& plan) {
    std::vector<std::string> lines;
    for (const PlannedTransfer& item : plan.items) {
        switch (item.action) {
        case PlannedTransfer::Action::Transfer:
            lines.push_back(item.source + " -> " + item.destination);
            break;
        case PlannedTransfer::Action::Replace:
            lines.push_back(item.source + " -> " + item.destination + " (replaces it)");
            break;
        case PlannedTransfer::Action::Skip:
            lines.push_back(item.source + ": skipped, " + item.reason);
            break;
        }
    }
    return lines;
}

Pdata* TrackCopy(FileOpsParts& parts, Pdata& entry, const std::string& newPath) {
    Pdata* made = nullptr;
    if (Tracking(parts.options, SameFileSystem(parts.fs, entry.path, paths::ParentOf(newPath)))) {
        int at = parts.catalogue.FindEntry(newPath);
        if (at >= 0) {
            made = &parts.catalogue.Entry(at);
            made->key = entry.key;
            made->code = entry.code;
            made->fileSize = made->fileTime = made->listUpMark = -1;
            parts.catalogue.Touch();
        } else {
            auto e = std::make_unique<Pdata>(newPath);
            e->key = entry.key;
            e->code = entry.code;
            made = e.get();
            parts.catalogue.Insert(std::move(e));
            parts.lists.AddRow(parts.lists.reference, made);
        }
        parts.state.MarkDataChanged();
    }
    if (parts.lists.hooks.repaint) parts.lists.hooks.repaint();
    return made;
}

TransferResult CopySelectedTargets(FileOpsParts& parts, const std::string& folder,
                                   CollisionAsker* asker) {
    TransferResult r =
        RunTransfer(parts, TransferKind::Copy, SelectedTargets(parts.lists), folder, asker);
    if (r.skipped || r.aborted) return r;
    parts.state.frame().SetStatusText(StatusPanel::Outcome, "Copy complate.");
    parts.lists.FillTargetList();
    if (r.firstNewEntry)
        parts.folders.push_back({paths::UpperKey(r.firstNewEntry->path), r.firstNewEntry});
    return r;
}

TransferResult MoveSelectedTargets(FileOpsParts& parts, const std::string& folder,
                                   CollisionAsker* asker) {
    TransferResult r =
        RunTransfer(parts, TransferKind::Move, SelectedTargets(parts.lists), folder, asker);
    parts.lists.FillTargetList();
    if (!r.moved.empty()) RememberFolder(parts, folder, r.moved.front());
    return r;
}

TransferResult CopyReference(FileOpsParts& parts, const std::string& folder,
                             CollisionAsker* asker) {
    Pdata* reference = parts.lists.currentReference;
    if (!reference) return {};
    parts.lists.SaveSelection(parts.lists.reference);
    TransferResult r = RunTransfer(parts, TransferKind::Copy, {reference}, folder, asker);
    if (r.done > 0) parts.state.frame().SetStatusText(StatusPanel::Outcome, "Copy complate.");
    parts.lists.FillTargetList();
    if (r.firstNewEntry)
        parts.folders.push_back({paths::UpperKey(r.firstNewEntry->path), r.firstNewEntry});
    return r;
}

TransferResult MoveReference(FileOpsParts& parts, const std::string& folder,
                             CollisionAsker* asker) {
    Pdata* reference = parts.lists.currentReference;
    if (!reference) return {};
    parts.lists.SaveSelection(parts.lists.reference);
    TransferResult r = RunTransfer(parts, TransferKind::Move, {reference}, folder, asker);
    if (r.aborted) {
        parts.state.frame().SetStatusText(StatusPanel::Outcome, "Move failed.");
        return r;
    }
    if (r.skipped) return r;
    if (!r.moved.empty()) RememberFolder(parts, folder, r.moved.front());
    parts.lists.FillTargetList();
    if (parts.lists.hooks.repaint) parts.lists.hooks.repaint();
    return r;
}

} // namespace lumidex
