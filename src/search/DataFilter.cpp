#include "DataFilter.h"

#include "FileStatus.h"
#include "Paths.h"

#include <algorithm>
#include <ctime>
#include <limits>
#include <unordered_set>

namespace lumidex {

namespace {
bool Compare(Relation r, int64_t e, int64_t v) {
    switch (r) {
    case Relation::AtLeast:
        return e >= v;
    case Relation::Equal:
        return e == v;
    case Relation::AtMost:
        return e <= v;
    }
    return false;
}
} // namespace

int64_t LocalDayStart(int64_t t) {
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm local{};
    if (!localtime_r(&tt, &local)) return t;
    // Midnight through mktime, not t minus the clock time: on a day the clocks change, the
    // clock time is off by the change for the hours after it.
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    const std::time_t start = std::mktime(&local);
    return start == static_cast<std::time_t>(-1) ? t : static_cast<int64_t>(start);
}

EntryTest NameTest(const std::string& text) {
    return [t = paths::LowerAscii(text)](const Pdata& e) {
        return paths::LowerAscii(e.path).find(t) != std::string::npos;
    };
}

EntryTest FolderTest(const std::string& folder, bool subfolders) {
    std::string f = paths::LowerAscii(paths::WithTrailingDelimiter(folder));
    if (subfolders)
        return
            [f](const Pdata& e) { return paths::LowerAscii(e.path).find(f) != std::string::npos; };
    return [f](const Pdata& e) { return paths::LowerAscii(paths::FolderPart(e.path)) == f; };
}

EntryTest MemoTest(int32_t memoNumber) {
    return [memoNumber](const Pdata& e) { return e.HasMemo(memoNumber); };
}

EntryTest MemoGroupTest(const DataManage& memos, int32_t groupId) {
    return [&memos, groupId](const Pdata& e) {
        for (int32_t m : e.Memos())
            if (m >= 0 && m < memos.Count() &&
                memos.Slots()[static_cast<size_t>(m)].groupId == groupId)
                return true;
        return false;
    };
}

EntryTest SizeTest(Relation relation, int32_t bytes) {
    return [=](const Pdata& e) { return e.fileSize != -1 && Compare(relation, e.fileSize, bytes); };
}

int32_t SizeFieldValue(const std::string& field) {
    const bool signed_ = !field.empty() && (field[0] == '-' || field[0] == '+');
    const bool negative = signed_ && field[0] == '-';
    size_t i = signed_ ? 1 : 0;
    if (i == field.size()) return 0;
    int64_t v = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') return 0;
        v = v * 10 + (field[i] - '0');
        if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return 0;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(v);
}

EntryTest DateTest(Relation relation, int64_t value, bool dateOnly) {
    const int64_t v = dateOnly ? LocalDayStart(value) : value;
    // The last day met, [start, end): pictures come in runs of the same day, and the time
    // zone arithmetic costs more than the rest of the search.
    int64_t start = 1, end = 0;
    return [=](const Pdata& e) mutable {
        if (e.fileTime == -1) return false;
        int64_t t = e.fileTime;
        if (dateOnly) {
            if (t < start || t >= end) {
                start = LocalDayStart(t);
                end = LocalDayStart(start + 30 * 3600); // a day lasts 23 to 25 hours
                if (end <= t) end = start = t;          // no usable day: no caching
            }
            t = start == end ? LocalDayStart(t) : start;
        }
        return Compare(relation, t, v);
    };
}

EntryTest UpdatedTest() {
    return [](const Pdata& e) {
        if (e.fileTime == -1) return false;
        FileStatus st = GetFileStatus(e.path);
        // Compared as stored: a time outside 32 bits was held at the nearest end.
        return st.exists && StoredFileValue(st.modified) != e.fileTime;
    };
}

int ApplyFilter(Lists& lists, Method method, const EntryTest& test) {
    const bool toTarget = lists.SendToTarget;
    EntryList& dest = toTarget ? lists.target : lists.reference;
    auto clearDest = [&] { toTarget ? lists.ClearTargetList() : lists.ClearReferenceList(); };
    if (!toTarget) lists.ClearTargetList();
    // Rows go in with one sorted merge: a sorted insert per row is quadratic.
    std::vector<ListRow> rows;
    auto add = [&](Pdata* e) { rows.push_back(ListRow{lists.SortKeyOf(*e), e, false}); };
    int count = 0;
    Catalogue& catalogue = lists.catalogue();
    if (method == Method::RBNormal || method == Method::RBOr) {
        std::unordered_set<const Pdata*> listed;
        if (method == Method::RBNormal) {
            clearDest();
        } else {
            for (const ListRow& r : dest.Rows())
                listed.insert(r.entry);
        }
        for (int i = 0; i < catalogue.Count(); ++i) {
            Pdata& e = catalogue.Entry(i);
            if (!test(e)) continue;
            ++count;
            if (method == Method::RBOr && !listed.insert(&e).second) continue;
            add(&e);
        }
    } else {
        std::vector<Pdata*> copied;
        for (const ListRow& r : lists.reference.Rows())
            copied.push_back(r.entry);
        clearDest();
        for (Pdata* e : copied) {
            if (test(*e) != (method == Method::RBAnd)) continue;
            add(e);
            ++count;
        }
    }
    if (!rows.empty()) dest.AddMany(std::move(rows));
    return count;
}

int RunSearch(Lists& lists, Method method, const EntryTest& test) {
    Frame& frame = lists.state().frame();
    lists.SaveSelection(lists.reference);
    frame.SetBusy(true);
    int count = test ? ApplyFilter(lists, method, test) : 0;
    if (lists.hooks.repaint) lists.hooks.repaint();
    lists.RestoreSelection(lists.reference);
    frame.SetBusy(false);
    frame.SetStatusText(StatusPanel::Outcome, std::to_string(count) + " Files match.");
    lists.ShowCounts();
    return count;
}

void ChooseFilter(Lists& lists, FilterItem item, std::vector<Pdata*>& newPictures) {
    Frame& frame = lists.state().frame();
    auto done = [&] {
        frame.SetStatusText(StatusPanel::Outcome, "Search Done " +
                                                      std::to_string(lists.reference.Count()) +
                                                      " Files found.");
    };
    switch (item) {
    case FilterItem::All:
        lists.SetSendToTarget(false);
        lists.dataFilter = item;
        lists.listAllMode = true;
        lists.UpdateReferenceList();
        break;
    case FilterItem::HasSimilarPics:
        frame.SetStatusText(StatusPanel::Outcome, "Searching...");
        lists.SetSendToTarget(false);
        lists.dataFilter = item;
        lists.listAllMode = false;
        lists.UpdateReferenceList();
        done();
        break;
    case FilterItem::NewPics: {
        frame.SetStatusText(StatusPanel::Outcome, "Searching...");
        lists.SetSendToTarget(false);
        lists.dataFilter = item;
        lists.listAllMode = false;
        if (lists.updateRunning) break;
        lists.updateRunning = true;
        lists.ClearReferenceList();
        lists.ClearTargetList();
        if (lists.hooks.refreshActions) lists.hooks.refreshActions();
        // Compared by address only: an entry that left the catalogue is gone.
        std::unordered_set<const Pdata*> present;
        for (int i = 0; i < lists.catalogue().Count(); ++i)
            present.insert(&lists.catalogue().Entry(i));
        std::vector<Pdata*> kept;
        for (Pdata* e : newPictures) {
            if (!present.count(e)) continue;
            kept.push_back(e);
            lists.AddRow(lists.reference, e);
        }
        newPictures = std::move(kept);
        lists.updateRunning = false;
        done();
        break;
    }
    default:
        lists.dataFilter = item;
        return;
    }
    if (lists.hooks.repaint) lists.hooks.repaint();
    lists.ShowCounts();
}

namespace {
// The Search button on "All" or "Has Similar Pics", which only Refresh reaches.
void SearchSimpleItem(Lists& lists, FilterItem item, std::vector<Pdata*>& newPictures) {
    Frame& frame = lists.state().frame();
    lists.SaveSelection(lists.reference);
    const bool busy = item == FilterItem::All || !lists.options().AllowRobustOperation;
    if (busy) frame.SetBusy(true);
    ChooseFilter(lists, item, newPictures);
    if (lists.hooks.repaint) lists.hooks.repaint();
    lists.RestoreSelection(lists.reference);
    if (busy) frame.SetBusy(false);
    frame.SetStatusText(StatusPanel::Outcome,
                        std::to_string(lists.reference.Count()) + " Files match.");
    lists.ShowCounts();
}
} // namespace

void Refresh(Lists& lists, std::vector<Pdata*>& newPictures, bool byUser) {
    Options& o = lists.options();
    if (lists.dataFilter == FilterItem::All && byUser) {
        SearchSimpleItem(lists, FilterItem::All, newPictures);
    } else if (lists.dataFilter == FilterItem::HasSimilarPics &&
               (o.FindOptionsChanged || lists.state().StopRequested)) {
        SearchSimpleItem(lists, FilterItem::HasSimilarPics, newPictures);
        o.FindOptionsChanged = false;
    } else {
        lists.UpdateReferenceList();
    }
    lists.ShowCounts();
}

} // namespace lumidex
