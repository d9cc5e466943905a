#include "Workspace.h"

#include <algorithm>

namespace lumidex {

Workspace::Workspace(Frame& frame, std::string appDir)
    : SharedState(frame, std::move(appDir)), analyser(*this, catalogue, newPictures) {
    // Under "All" a new picture joins the reference list as soon as it is analysed.
    analyser.onInserted = [this](Pdata& entry) {
        if (lists.dataFilter == FilterItem::All) lists.AddRow(lists.reference, &entry);
    };
    lists.hooks.entryRemoved = [this](Pdata* entry) {
        newPictures.erase(std::remove(newPictures.begin(), newPictures.end(), entry),
                          newPictures.end());
        FolderList.erase(std::remove_if(FolderList.begin(), FolderList.end(),
                                        [entry](const auto& item) { return item.second == entry; }),
                         FolderList.end());
        statCache.Forget();
        ForgetEntry(entry);
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
        ForgetEntry(nullptr);
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

int Workspace::AddEntryListener(EntryForget forget) {
    entryListeners_.emplace_back(nextListenerId_, std::move(forget));
    return nextListenerId_++;
}

void Workspace::RemoveEntryListener(int id) {
    std::erase_if(entryListeners_, [id](const auto& l) { return l.first == id; });
}

void Workspace::ForgetEntry(const Pdata* entry) {
    if (entry)
        bookmarks.Forget(entry);
    else
        bookmarks.Clear();
    // A copy: a listener may remove itself while it is told.
    auto listeners = entryListeners_;
    for (auto& l : listeners)
        if (l.second) l.second(entry);
}

int Workspace::AnalyseFile(const std::string& path) {
    return analyser.AnalyseFile(path);
}

} // namespace lumidex
