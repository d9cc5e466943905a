#pragma once

#include "Catalogue.h"
#include "EntryList.h"
#include "Matcher.h"
#include "Options.h"
#include "SharedState.h"
#include "SortKey.h"
#include "StatEntry.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

class SignatureIndex;

// Items of the search filter box DataFilter, by position.
enum class FilterItem {
    All = 0,
    HasSimilarPics = 1,
    Name = 2,
    FolderName = 3,
    Memo = 4,
    FileSize = 5,
    FileDate = 6,
    UpdatedPics = 7,
    NewPics = 8
};

// Position of the entry itself in the catalogue, or -1 (found through its path).
int PositionOfEntry(const Catalogue& catalogue, const Pdata* entry);

// Length of a path in characters, not bytes (for the width of the first column).
size_t CharacterCount(std::string_view text);

// "12 Files found:(256/1000)"
std::string ListUpProgressText(int found, int position, int count);

// What the windows do around the lists; every hook is optional, so the lists work headless.
struct ListHooks {
    std::function<void()> repaint;                    // both views
    std::function<void()> refreshActions;             // enabling of commands
    std::function<void(bool)> showStopButton;         // StopBitBtn
    std::function<void(bool)> enableRefresh;          // SpeedButton9
    std::function<void(Pdata*)> showReferencePreview; // nullptr hides it
    std::function<void(Pdata*)> showTargetPreview;    // nullptr hides it
    std::function<void(bool)> enableMakeMismatch;
    std::function<void(bool)> enableFindInRefList;
    // An entry is about to be freed: whoever else refers to it lets go.
    std::function<void(Pdata*)> entryRemoved;
    // Many entries at once (entryRemoved for each when this one is not set).
    std::function<void(const std::vector<Pdata*>&)> entriesRemoved;
};

// The reference and target lists with their state: what the two list views of the main
// window show. Refers to entries the catalogue owns.
class Lists {
public:
    Lists(SharedState& state, Catalogue& catalogue, Options& options, StatCache& statCache);

    EntryList reference{false, false};
    EntryList target{true, true};
    Pdata* currentReference = nullptr;
    Pdata* currentTarget = nullptr;
    struct Saved {
        int row = -1;
        Pdata* entry = nullptr;
    };
    Saved savedReference, savedTarget;
    bool updateRunning = false;
    bool listAllMode = true;
    FilterItem dataFilter = FilterItem::All;
    bool DisableAutoFind = false;
    bool SendToTarget = false;
    size_t longestPath = 0;
    std::string detailPrefix;
    // Entries to test again after entries were cleared (PruneUnmatched).
    std::vector<Pdata*> recheckQueue;
    // Entries shown in the preview panes; forgotten when the selection falls elsewhere.
    Pdata* previewedReference = nullptr;
    Pdata* previewedTarget = nullptr;
    // Whether the list-up may use the candidate index (the plain scan otherwise).
    bool useIndex = true;
    ListHooks hooks;

    void SelectSortKey();
    const SortKeySetting& sortKey() const { return sortKey_; }
    std::string SortKeyOf(const Pdata& entry) const { return lumidex::SortKeyOf(entry, sortKey_); }
    MatchSettings CurrentMatchSettings() const { return MatchSettingsFrom(options_); }

    int AddRow(EntryList& list, Pdata* entry);
    void RemoveFromLists(const Pdata* entry);
    // Takes the entry out of the lists, the re-check queue and the catalogue, and frees it.
    void RemoveEntry(Pdata* entry);
    // RemoveEntry for many entries in one pass over the lists and the catalogue.
    void RemoveEntries(const std::vector<Pdata*>& entries);
    void SaveSelection(EntryList& list);
    void RestoreSelection(EntryList& list);
    int MoveSelection(EntryList& list, int n);
    void ClearReferenceList();
    void ClearTargetList();

    void UpdateReferenceList();
    void ListAllEntries();
    int ListUpSimilar();
    void FillTargetList();
    void RefreshAfterChange();
    void ResortReferenceList(SortOrder order);

    // The reference view's selection changed (or a row is selected through SelectReference).
    void ReferenceSelectionChanged();
    void SelectReference(int row);
    // The target view's selection changed; userClick when the user clicked.
    void TargetSelectionChanged(bool userClick = true);

    // The entries of the positions found by the matcher for an entry, the reference itself
    // left out unless ShowreferenceinTarget, regions used when nothing else is found.
    // With an index (built over this catalogue under the current settings) the positions are
    // the same, found without a full scan.
    std::vector<int> SimilarPositions(Pdata& entry, bool withRegions,
                                      SignatureIndex* index = nullptr);
    // The same positions, each with the way it matched.
    struct Match {
        int position;
        Orientation way;
        int region = -1; // the entry's region that found it, -1 for the whole picture
    };
    std::vector<Match> SimilarMatches(Pdata& entry, bool withRegions,
                                      SignatureIndex* index = nullptr);
    // A candidate index for many scans in a row, or nullptr when the plain scan serves better.
    std::unique_ptr<SignatureIndex> MakeIndex() const;
    // An index the target fill uses while set (a caller that selects many rows in a row).
    SignatureIndex* fillIndex = nullptr;
    // Whether the entry has a similar entry other than itself.
    bool HasSimilar(Pdata& entry);

    // Commands.
    bool ClearSelectedEntry();      // "&Clear Selected Data Entry"
    bool ClearAllInReferenceList(); // "Clear All Data Entries in &Ref. List"
    void PruneUnmatched();
    void ListupAll();            // "All >>"
    void FindInReferenceList();  // "Find in Ref. List"
    void RemoveFromTargetList(); // "Remove from List"
    void SetDisableAutoFind(bool on);
    void SetSendToTarget(bool on);
    // The counts of StatusBar1 panel 1: reference rows "/" catalogue entries.
    void ShowCounts();

    Options& options() { return options_; }
    Catalogue& catalogue() { return catalogue_; }
    SharedState& state() { return state_; }

private:
    void Hook(const std::function<void()>& f) {
        if (f) f();
    }
    // way: how a target matched, marked after its path.
    void DetailLine(Pdata& entry, bool reference, Orientation way = Orientation::Upright);
    void FlushPending();
    bool Robust() const { return options_.AllowRobustOperation; }
    std::vector<ListRow> pending_; // rows found by the list-up, not yet merged into the list
    FileStatus lastStatus_;
    std::string lastStatusPath_;
    void Status(StatusPanel panel, const std::string& text) {
        state_.frame().SetStatusText(panel, text);
    }

    SharedState& state_;
    Catalogue& catalogue_;
    Options& options_;
    StatCache& statCache_;
    SortKeySetting sortKey_;
};

} // namespace lumidex
