#include "Workspace.h"

#include <algorithm>
#include <unordered_set>

namespace lumidex {

Workspace::Workspace(Frame& frame, std::string appDir)
    : SharedState(frame, std::move(appDir)), analyser(*this, catalogue, newPictures) {
    // Under "All" a new picture joins the reference list as soon as it is analysed.
    analyser.onInserted = [this](Pdata& entry) {
        if (lists.dataFilter == FilterItem::All) lists.AddRow(lists.reference, &entry);
    };
    lists.hooks.entryRemoved = [this](Pdata* entry) { EntriesRemoved({entry}); };
    lists.hooks.entriesRemoved = [this](const std::vector<Pdata*>& entries) {
        EntriesRemoved(entries);
    };
    databaseHooks.SelectSortKey = [this] { lists.SelectSortKey(); };
    databaseHooks.CurrentReferenceIndex = [this] {
        return PositionOfEntry(catalogue, lists.currentReference);
    };
    databaseHooks.RemoveFromLists = [this](Pdata& entry) {
        lists.RemoveFromLists(&entry);
        lists.hooks.entryRemoved(&entry);
    };
    // The catalogue is about to be emptied: nothing may keep pointing at its entries.
    databaseHooks.ClearLists = [this] {
        lists.ClearReferenceList();
        lists.ClearTargetList();
        lists.recheckQueue.clear();
        lists.savedReference = {};
        lists.savedTarget = {};
        newPictures.clear();
        statCache.Forget();
        copiedMemos.Clear();
        bookmarks.Clear();
        // A copy: a listener may remove itself while it is told.
        for (auto& [id, listener] : std::vector(removalListeners_))
            if (listener.cleared) listener.cleared();
        if (lists.hooks.repaint) lists.hooks.repaint();
    };
    databaseHooks.AfterRead = [this](int32_t saved) {
        lists.dataFilter = FilterItem::All;
        lists.listAllMode = true;
        lists.savedReference = {};
        lists.UpdateReferenceList();
        if (!Merging && saved >= 0 && saved < catalogue.Count()) {
            int row = lists.reference.Find(&catalogue.Entry(saved));
            if (row >= 0) lists.SelectReference(row);
        }
    };
}

void Workspace::EntriesRemoved(const std::vector<Pdata*>& entries) {
    if (entries.size() == 1) {
        Pdata* entry = entries.front();
        std::erase(newPictures, entry);
        std::erase_if(FolderList, [entry](const auto& item) { return item.second == entry; });
    } else {
        std::unordered_set<const Pdata*> gone(entries.begin(), entries.end());
        std::erase_if(newPictures, [&gone](const Pdata* e) { return gone.count(e) > 0; });
        std::erase_if(FolderList,
                      [&gone](const auto& item) { return gone.count(item.second) > 0; });
    }
    for (const Pdata* entry : entries)
        bookmarks.Forget(entry);
    statCache.Forget();
    // A copy: a listener may remove itself while it is told.
    for (auto& [id, listener] : std::vector(removalListeners_))
        if (listener.entriesRemoved) listener.entriesRemoved(entries);
}

int Workspace::AddRemovalListener(RemovalListener listener) {
    removalListeners_.push_back({nextListenerId_, std::move(listener)});
    return nextListenerId_++;
}

void Workspace::RemoveRemovalListener(int id) {
    std::erase_if(removalListeners_, [id](const auto& item) { return item.first == id; });
}

int Workspace::AddEntryListener(EntryForget forget) {
    RemovalListener listener;
    listener.entriesRemoved = [forget](const std::vector<Pdata*>& entries) {
        for (const Pdata* entry : entries)
            forget(entry);
    };
    listener.cleared = [forget] { forget(nullptr); };
    return AddRemovalListener(std::move(listener));
}

void Workspace::RemoveEntryListener(int id) {
    RemoveRemovalListener(id);
}

int Workspace::AnalyseFile(const std::string& path) {
    const int result = analyser.AnalyseFile(path);
    // Nothing after an aborted file is inserted: the work ahead is dropped at once.
    if (result == -1 && pipeline_) pipeline_->Cancel();
    return result;
}

} // namespace lumidex
