#include "Lists.h"

#include "Format.h"
#include "SignatureIndex.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <unordered_set>

namespace lumidex {

int PositionOfEntry(const Catalogue& catalogue, const Pdata* entry) {
    if (!entry) return -1;
    int at = catalogue.FindEntry(entry->path);
    if (at < 0) return -1;
    // Entries of the same path stand together (duplicates under "Not Care").
    for (int i = at; i < catalogue.Count() && catalogue.Entry(i).path == entry->path; ++i)
        if (&catalogue.Entry(i) == entry) return i;
    return catalogue.PositionOf(entry);
}

size_t CharacterCount(std::string_view text) {
    // UTF-8: every byte but a continuation byte starts a character.
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string ListUpProgressText(int found, int position, int count) {
    return std::to_string(found) + " Files found:(" + std::to_string(position) + "/" +
           std::to_string(count) + ")";
}

Lists::Lists(SharedState& state, Catalogue& catalogue, Options& options, StatCache& statCache)
    : state_(state), catalogue_(catalogue), options_(options), statCache_(statCache) {
    SelectSortKey();
}

void Lists::SelectSortKey() {
    sortKey_ = SortKeySetting{options_.Sortby, options_.SmartSort};
}

int Lists::AddRow(EntryList& list, Pdata* entry) {
    int row = list.Add(SortKeyOf(*entry), entry);
    if (Robust()) state_.frame().ProcessEvents();
    return row;
}

void Lists::RemoveFromLists(const Pdata* entry) {
    reference.Remove(entry);
    target.Remove(entry);
    if (currentReference == entry) currentReference = nullptr;
    if (currentTarget == entry) currentTarget = nullptr;
    if (previewedReference == entry) previewedReference = nullptr;
    if (previewedTarget == entry) previewedTarget = nullptr;
}

void Lists::RemoveEntry(Pdata* entry) {
    if (!entry) return;
    RemoveFromLists(entry);
    recheckQueue.erase(std::remove(recheckQueue.begin(), recheckQueue.end(), entry),
                       recheckQueue.end());
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [entry](const ListRow& r) { return r.entry == entry; }),
                   pending_.end());
    if (savedReference.entry == entry) savedReference.entry = nullptr;
    if (savedTarget.entry == entry) savedTarget.entry = nullptr;
    if (hooks.entryRemoved) hooks.entryRemoved(entry);
    int at = PositionOfEntry(catalogue_, entry);
    if (at >= 0) catalogue_.Take(at); // frees it
}

void Lists::RemoveEntries(const std::vector<Pdata*>& entries) {
    if (entries.empty()) return;
    std::unordered_set<const Pdata*> gone(entries.begin(), entries.end());
    auto isGone = [&gone](const Pdata* e) { return gone.count(e) > 0; };
    auto rowGone = [&](const ListRow& r) { return isGone(r.entry); };
    std::erase_if(reference.MutableRows(), rowGone);
    std::erase_if(target.MutableRows(), rowGone);
    std::erase_if(pending_, rowGone);
    std::erase_if(recheckQueue, isGone);
    for (Pdata** p : {&currentReference, &currentTarget, &previewedReference, &previewedTarget,
                      &savedReference.entry, &savedTarget.entry})
        if (isGone(*p)) *p = nullptr;
    if (hooks.entriesRemoved) {
        hooks.entriesRemoved(entries);
    } else if (hooks.entryRemoved) {
        for (Pdata* e : entries)
            hooks.entryRemoved(e);
    }
    std::vector<int> positions;
    positions.reserve(entries.size());
    for (Pdata* e : entries) {
        int at = PositionOfEntry(catalogue_, e);
        if (at >= 0) positions.push_back(at);
    }
    // From the back, so that the positions still to take stay valid and the gap moves once.
    std::sort(positions.begin(), positions.end(), std::greater<int>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (int at : positions)
        catalogue_.Take(at);
}

void Lists::SaveSelection(EntryList& list) {
    Saved& s = &list == &reference ? savedReference : savedTarget;
    int row = list.SelectedRow();
    s.row = row;
    s.entry = row >= 0 ? list.EntryAt(row) : nullptr;
}

void Lists::RestoreSelection(EntryList& list) {
    const bool isReference = &list == &reference;
    const Saved& s = isReference ? savedReference : savedTarget;
    if (!isReference) list.ClearSelection();
    int row = -1;
    if (s.row >= 0) {
        row = s.entry ? list.Find(s.entry) : -1;
        if (row < 0 && !list.Empty()) {
            row = std::min(s.row, list.Count() - 1);
            (isReference ? previewedReference : previewedTarget) = nullptr;
        }
    } else if (!list.Empty()) {
        row = std::clamp(list.topRow, 0, list.Count() - 1);
    }
    if (row < 0) return;
    if (isReference) {
        SelectReference(row);
    } else {
        list.Select(row);
        TargetSelectionChanged(false);
    }
}

int Lists::MoveSelection(EntryList& list, int n) {
    if (list.Empty()) return -1;
    int start = std::max(list.SelectedRow(), 0);
    int last = list.Count() - 1;
    int row = start;
    if (n > 0) row = start + n < last ? start + n : last;
    if (n < 0) row = start + n > 0 ? start + n : 0;
    if (&list == &reference) {
        SelectReference(row);
    } else {
        list.ClearSelection();
        list.Select(row);
        TargetSelectionChanged(false);
    }
    return row;
}

void Lists::ClearReferenceList() {
    reference.Clear();
    pending_.clear();
    currentReference = nullptr;
    Status(StatusPanel::Progress, "");
    previewedReference = nullptr;
    if (hooks.showReferencePreview) hooks.showReferencePreview(nullptr);
    longestPath = 0;
}

void Lists::ClearTargetList() {
    target.Clear();
    currentTarget = nullptr;
    previewedTarget = nullptr;
    if (hooks.showTargetPreview) hooks.showTargetPreview(nullptr);
}

void Lists::UpdateReferenceList() {
    OperationScope running(state_);
    if (updateRunning) return;
    if (static_cast<int>(dataFilter) > static_cast<int>(FilterItem::HasSimilarPics)) {
        dataFilter = FilterItem::All;
        listAllMode = true;
    }
    SaveSelection(reference);
    updateRunning = true;
    if (hooks.enableRefresh) hooks.enableRefresh(false);
    ClearReferenceList();
    ClearTargetList();
    Hook(hooks.refreshActions);
    try {
        if (listAllMode) {
            ListAllEntries();
        } else {
            if (Robust() && hooks.showStopButton) hooks.showStopButton(true);
            ListUpSimilar();
            if (hooks.showStopButton) hooks.showStopButton(false);
        }
    } catch (const std::exception&) {
        // The run ended half-way: take down what it put up.
        state_.frame().SetBusy(false);
        state_.frame().HideMainProgress();
        if (hooks.showStopButton) hooks.showStopButton(false);
        FlushPending();
        for (int i = 0; i < catalogue_.Count(); ++i)
            catalogue_.Entry(i).listUpMark = -1;
        state_.LogMessage("Something wrong. Listup aborted.");
    }
    Hook(hooks.repaint);
    if (!Robust()) Status(StatusPanel::Progress, "Update List Done.");
    if (hooks.enableRefresh) hooks.enableRefresh(true);
    RestoreSelection(reference);
    updateRunning = false;
}

void Lists::ListAllEntries() {
    Frame& frame = state_.frame();
    frame.SetBusy(true);
    const int n = catalogue_.Count();
    frame.ShowMainProgress(n);
    ClearReferenceList();
    std::vector<ListRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Pdata& e = catalogue_.Entry(i);
        longestPath = std::max(longestPath, CharacterCount(e.path));
        if (i % 256 == 0) frame.SetMainProgressPosition(i);
        rows.push_back(ListRow{SortKeyOf(e), &e, false});
    }
    reference.AddMany(std::move(rows));
    frame.HideMainProgress();
    frame.SetBusy(false);
}

void Lists::FlushPending() {
    if (pending_.empty()) return;
    reference.AddMany(std::move(pending_));
    pending_.clear();
    Hook(hooks.repaint);
}

int Lists::ListUpSimilar() {
    Frame& frame = state_.frame();
    state_.StopRequested = false;
    ClearReferenceList();
    const bool robust = Robust();
    if (!robust) frame.SetBusy(true);
    const MatchSettings settings = CurrentMatchSettings();
    const Matcher matcher(catalogue_, settings);
    std::unique_ptr<SignatureIndex> index = MakeIndex();

    int found = 0;
    // Rows found are merged in batches: one sorted insert per row is quadratic.
    auto addFound = [&](Pdata& e, int i) {
        pending_.push_back(ListRow{SortKeyOf(e), &e, false});
        if (pending_.size() >= std::max<size_t>(64, static_cast<size_t>(reference.Count()) / 4))
            FlushPending();
        ++found;
        Status(StatusPanel::Progress, ListUpProgressText(found, i, catalogue_.Count()));
    };

    for (int i = 0; i < catalogue_.Count(); ++i) {
        const int n = catalogue_.Count();
        // Events may have changed the catalogue: the tables describe the old one.
        if (index && !index->Current()) index.reset();
        if (i % 256 == 0) Status(StatusPanel::Progress, ListUpProgressText(found, i, n));
        if (robust) frame.ProcessEvents();
        if (state_.StopRequested) {
            Status(StatusPanel::Outcome, "Wait a moment...");
            for (int j = i; j < catalogue_.Count(); ++j)
                catalogue_.Entry(j).listUpMark = -1;
            Status(StatusPanel::Outcome, "Abort");
            break;
        }
        if (i >= catalogue_.Count()) break;
        Pdata& e = catalogue_.Entry(i);
        if (e.listUpMark != -1) {
            // Found by an earlier picture: listed without a search of its own.
            e.listUpMark = -1;
            addFound(e, i);
            continue;
        }
        bool added = false;
        auto onFound = [&](int k) {
            if (!added) {
                added = true;
                addFound(e, i);
            }
            catalogue_.Entry(k).listUpMark = i;
            return true;
        };
        if (index) {
            index->ForEachSimilar(ProbeOf(e), i + 1, i, onFound);
        } else {
            for (int k = matcher.FindNextSimilar(e, i - 1, 1); k >= 0;
                 k = matcher.FindNextSimilar(e, k, 1))
                if (k != i) onFound(k);
        }
        // Regions look both ways and mark nothing, so they only matter for an entry not yet listed.
        if (!added && options_.UseSubIndex && target.Empty() && e.RegionCount() > 0) {
            for (int r = 0; r < e.RegionCount() && !added; ++r) {
                Probe probe = ProbeOf(e);
                probe.key = e.RegionAt(r).key;
                probe.code = e.RegionAt(r).code;
                bool hit = false;
                if (index) {
                    index->ForEachSimilar(probe, 0, i, [&](int) {
                        hit = true;
                        return false;
                    });
                } else {
                    for (int k = matcher.FindNext(probe, -1, 1); k >= 0 && !hit;
                         k = matcher.FindNext(probe, k, 1))
                        hit = k != i;
                }
                if (hit) {
                    added = true;
                    addFound(e, i);
                }
            }
        }
        // Events run between entries only: inside a search they could free what it holds.
        if (added && robust) frame.ProcessEvents();
    }
    FlushPending();
    if (!robust) frame.SetBusy(false);
    return found;
}

std::unique_ptr<SignatureIndex> Lists::MakeIndex() const {
    const MatchSettings settings = CurrentMatchSettings();
    // Below a few thousand entries building the tables costs more than the plain scan.
    if (!useIndex || catalogue_.Count() < 2048 ||
        SignatureIndex::TablesFor(settings) > SignatureIndex::kMaxTables)
        return nullptr;
    return std::make_unique<SignatureIndex>(catalogue_, settings);
}

std::vector<int> Lists::SimilarPositions(Pdata& entry, bool withRegions, SignatureIndex* index) {
    std::vector<int> out;
    for (const Match& m : SimilarMatches(entry, withRegions, index))
        out.push_back(m.position);
    return out;
}

std::vector<Lists::Match> Lists::SimilarMatches(Pdata& entry, bool withRegions,
                                                SignatureIndex* index) {
    std::vector<Match> out;
    const Matcher matcher(catalogue_, CurrentMatchSettings());
    const int p = PositionOfEntry(catalogue_, &entry);
    const bool self = options_.ShowreferenceinTarget;
    // Tables built over another catalogue or under other settings would miss candidates.
    if (index && (!index->Current() || index->settings() != matcher.settings())) index = nullptr;
    auto scan = [&](const Probe& probe, int region) {
        if (index) {
            const size_t before = out.size();
            index->ForEachSimilar(probe, 0, self ? -1 : p, [&](int k, Orientation way) {
                out.push_back(Match{k, way, region});
                return true;
            });
            std::sort(out.begin() + static_cast<std::ptrdiff_t>(before), out.end(),
                      [](const Match& a, const Match& b) { return a.position < b.position; });
            return;
        }
        Orientation way = Orientation::Upright;
        for (int k = matcher.FindNext(probe, -1, 1, &way); k >= 0;
             k = matcher.FindNext(probe, k, 1, &way))
            if (k != p || self) out.push_back(Match{k, way, region});
    };
    scan(ProbeOf(entry), -1);
    if (withRegions && out.empty()) {
        for (int r = 0; r < entry.RegionCount(); ++r) {
            Probe probe = ProbeOf(entry);
            probe.key = entry.RegionAt(r).key;
            probe.code = entry.RegionAt(r).code;
            scan(probe, r);
        }
    }
    return out;
}

bool Lists::HasSimilar(Pdata& entry) {
    const Matcher matcher(catalogue_, CurrentMatchSettings());
    const int p = PositionOfEntry(catalogue_, &entry);
    for (int k = matcher.FindNextSimilar(entry, -1, 1); k >= 0;
         k = matcher.FindNextSimilar(entry, k, 1))
        if (k != p) return true; // the entry itself never counts
    return false;
}

void Lists::FillTargetList() {
    SaveSelection(target);
    ClearTargetList();
    int row = reference.SelectedRow();
    if (row < 0) {
        currentReference = nullptr;
        return;
    }
    currentReference = reference.EntryAt(row);
    std::vector<ListRow> rows;
    for (const Match& m : SimilarMatches(*currentReference, options_.UseSubIndex, fillIndex)) {
        Pdata& e = catalogue_.Entry(m.position);
        rows.push_back(ListRow{SortKeyOf(e), &e, false, m.way, m.region});
    }
    // All rows at once: events run inside the scan's rows could free the entries it found.
    target.AddMany(std::move(rows));
    if (Robust()) state_.frame().ProcessEvents();
    RestoreSelection(target);
}

void Lists::RefreshAfterChange() {
    Hook(hooks.repaint);
    if (DisableAutoFind) return;
    if (!options_.NotUpdateListatAction)
        UpdateReferenceList();
    else
        FillTargetList();
}

void Lists::ResortReferenceList(SortOrder order) {
    options_.Sortby = order;
    SaveSelection(reference);
    reference.ClearSelection();
    SelectSortKey();
    FlushPending();
    Frame& frame = state_.frame();
    const bool progress = catalogue_.Count() > 10000;
    if (progress) frame.ShowMainProgress(reference.Count());
    int done = 0;
    for (ListRow& r : reference.MutableRows()) {
        r.key = SortKeyOf(*r.entry);
        if (progress && ++done % 256 == 0) frame.SetMainProgressPosition(done);
    }
    reference.Resort();
    if (progress) frame.HideMainProgress();
    // The rebuilt order selects its row anew.
    currentReference = nullptr;
    RestoreSelection(reference);
    RefreshAfterChange();
}

void Lists::SelectReference(int row) {
    if (row < 0 || row >= reference.Count()) return;
    reference.Select(row);
    if (reference.EntryAt(row) != currentReference) ReferenceSelectionChanged();
}

void Lists::DetailLine(Pdata& entry, bool isReference, Orientation way) {
    FileStatus st;
    int r = statCache_.StatEntry(st, entry, state_);
    if (r == 0) {
        // The cache answers a repeated path without a status: keep the one taken then.
        if (entry.path == lastStatusPath_ && !st.exists)
            st = lastStatus_;
        else if (!st.exists)
            st = GetFileStatus(entry.path);
        lastStatus_ = st;
        lastStatusPath_ = entry.path;
    }
    const std::string prefix = (isReference ? "<= " : "=> ") + entry.path;
    detailPrefix = prefix;
    const std::string path = prefix + OrientationMark(way);
    std::string text;
    const bool autoView = isReference ? options_.AutoViewLeft : options_.AutoViewRight;
    Pdata*& previewed = isReference ? previewedReference : previewedTarget;
    const auto& show = isReference ? hooks.showReferencePreview : hooks.showTargetPreview;
    if (r == 0 && st.exists) {
        if (autoView && previewed != &entry) {
            previewed = &entry;
            if (show) show(&entry);
        }
        text =
            path + " (" + std::to_string(st.size) + " bytes," + FormatDateLine(st.modified) + ")";
        if (isReference && entry.RegionCount() > 0) text += " S";
    } else {
        // The reference side hides its preview only under AutoViewLeft; the target side always.
        if (autoView || !isReference) {
            previewed = nullptr;
            if (show) show(nullptr);
        }
        if (entry.fileTime == -1)
            text = path + " <?? bytes,unknown time>";
        else
            text = path + " <" + std::to_string(entry.fileSize) + " bytes," +
                   FormatDateLine(entry.fileTime) + ">";
    }
    Status(isReference ? StatusPanel::Progress : StatusPanel::Outcome, text);
}

void Lists::ReferenceSelectionChanged() {
    int row = reference.SelectedRow();
    if (row < 0) {
        Status(StatusPanel::Progress, "");
        currentReference = nullptr;
        Hook(hooks.refreshActions);
        return;
    }
    SaveSelection(reference);
    Hook(hooks.refreshActions);
    Pdata* entry = reference.EntryAt(row);
    // Selecting is no change of the catalogue: it fills the target list whatever
    // NotUpdateListatAction says (a rebuild here would leave the targets empty).
    if (!DisableAutoFind) FillTargetList();
    currentReference = entry;
    DetailLine(*entry, true);
    if (!target.Empty()) {
        if (hooks.enableMakeMismatch) hooks.enableMakeMismatch(true);
    } else {
        Status(StatusPanel::Outcome, "");
        if (options_.AutoViewRight) {
            previewedTarget = nullptr;
            if (hooks.showTargetPreview) hooks.showTargetPreview(nullptr);
        }
        if (hooks.enableMakeMismatch) hooks.enableMakeMismatch(false);
    }
}

void Lists::TargetSelectionChanged(bool) {
    std::vector<int> rows = target.SelectedRows();
    if (rows.empty()) {
        if (hooks.enableFindInRefList) hooks.enableFindInRefList(false);
        currentTarget = nullptr;
        Hook(hooks.refreshActions);
        Status(StatusPanel::Outcome, "");
        return;
    }
    if (rows.size() == 1) {
        if (hooks.enableFindInRefList) hooks.enableFindInRefList(true);
        currentTarget = target.EntryAt(rows[0]);
        Hook(hooks.refreshActions);
        DetailLine(*currentTarget, false, target.At(rows[0]).way);
        return;
    }
    if (hooks.enableFindInRefList) hooks.enableFindInRefList(false);
    Status(StatusPanel::Outcome, "Multiply selected");
    Pdata* first = target.EntryAt(rows[0]);
    bool show = options_.AutoViewRight && GetFileStatus(first->path).exists;
    previewedTarget = show ? first : nullptr;
    if (hooks.showTargetPreview) hooks.showTargetPreview(previewedTarget);
}

bool Lists::ClearSelectedEntry() {
    int row = reference.SelectedRow();
    if (row < 0) return false;
    if (options_.ConfirmClear) {
        Answer a = state_.frame().Ask(
            Question{"Confirm", "Clear selected entry?", {Answer::Yes, Answer::No}});
        if (a != Answer::Yes) return false;
    }
    Pdata* entry = reference.EntryAt(row);
    for (int t : target.SelectedRows())
        if (target.EntryAt(t) != entry) recheckQueue.push_back(target.EntryAt(t));
    SaveSelection(reference);
    RemoveEntry(entry);
    RestoreSelection(reference);
    PruneUnmatched();
    ReferenceSelectionChanged();
    state_.MarkDataChanged();
    return true;
}

bool Lists::ClearAllInReferenceList() {
    if (options_.ConfirmClear) {
        Answer a = state_.frame().Ask(
            Question{"Confirm", "Clear all entries in Ref. List ?", {Answer::Yes, Answer::No}});
        if (a != Answer::Yes) return false;
    }
    state_.frame().SetBusy(true);
    std::vector<Pdata*> entries;
    for (const ListRow& r : reference.Rows())
        entries.push_back(r.entry);
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    for (Pdata* e : entries)
        RemoveEntry(e);
    state_.frame().SetBusy(false);
    Status(StatusPanel::Outcome, "Data cleared.");
    state_.MarkDataChanged();
    return true;
}

void Lists::PruneUnmatched() {
    currentReference = nullptr;
    std::vector<Pdata*> queue;
    queue.swap(recheckQueue);
    for (Pdata* e : queue) {
        if (dataFilter != FilterItem::HasSimilarPics || HasSimilar(*e)) continue;
        int sel = reference.SelectedRow();
        Pdata* selected = sel >= 0 ? reference.EntryAt(sel) : nullptr;
        reference.Remove(e);
        target.Remove(e);
        if (currentTarget == e) currentTarget = nullptr;
        if (selected && selected != e) {
            int r = reference.Find(selected);
            if (r >= 0) reference.Select(r);
        } else if (selected && !reference.Empty()) {
            // The selected row itself went: its place keeps the selection.
            reference.Select(std::min(sel, reference.Count() - 1));
        }
    }
}

void Lists::ListupAll() {
    SetDisableAutoFind(true);
    ClearTargetList();
    state_.frame().SetBusy(true);
    FlushPending();
    std::vector<ListRow> rows = reference.Rows();
    for (ListRow& r : rows)
        r.selected = false;
    target.Assign(std::move(rows));
    state_.frame().SetBusy(false);
}

void Lists::FindInReferenceList() {
    if (!currentTarget || PositionOfEntry(catalogue_, currentTarget) < 0) return;
    int row = reference.Find(currentTarget);
    if (row < 0) row = AddRow(reference, currentTarget);
    SelectReference(row);
}

void Lists::RemoveFromTargetList() {
    std::vector<int> rows = target.SelectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        target.RemoveAt(*it);
    RestoreSelection(target);
}

void Lists::SetDisableAutoFind(bool on) {
    DisableAutoFind = on;
    if (!on) SendToTarget = false;
}

void Lists::SetSendToTarget(bool on) {
    SendToTarget = on;
    if (on) SetDisableAutoFind(true);
}

void Lists::ShowCounts() {
    Status(StatusPanel::Counts,
           std::to_string(reference.Count()) + "/" + std::to_string(catalogue_.Count()));
}

} // namespace lumidex
