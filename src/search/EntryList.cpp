#include "EntryList.h"

#include "Paths.h"

#include <algorithm>
#include <unordered_set>

namespace lumidex {

bool RowKeyLess(const std::string& a, const std::string& b) {
    return paths::CompareUpper(a, b) < 0;
}

int EntryList::Add(std::string key, Pdata* entry) {
    if (unique_ && Contains(entry)) return -1;
    auto at = std::lower_bound(
        rows_.begin(), rows_.end(), key,
        [](const ListRow& r, const std::string& k) { return RowKeyLess(r.key, k); });
    at = rows_.insert(at, ListRow{std::move(key), entry, false});
    return static_cast<int>(at - rows_.begin());
}

void EntryList::AddMany(std::vector<ListRow> rows) {
    if (unique_) {
        // As if added one by one: the first row of an entry wins, later ones change nothing.
        std::unordered_set<const Pdata*> present;
        for (const ListRow& r : rows_)
            present.insert(r.entry);
        std::erase_if(rows, [&](const ListRow& r) { return !present.insert(r.entry).second; });
    }
    // Inserting each row before its equals leaves equal keys in reverse order of adding.
    std::reverse(rows.begin(), rows.end());
    for (ListRow& r : rows)
        r.selected = false;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ListRow& a, const ListRow& b) { return RowKeyLess(a.key, b.key); });
    std::vector<ListRow> merged;
    merged.reserve(rows_.size() + rows.size());
    // New rows go before existing equal keys.
    std::merge(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()),
               std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.end()),
               std::back_inserter(merged),
               [](const ListRow& a, const ListRow& b) { return RowKeyLess(a.key, b.key); });
    rows_ = std::move(merged);
}

void EntryList::Assign(std::vector<ListRow> rows) {
    rows_ = std::move(rows);
}

int EntryList::Find(const Pdata* entry) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].entry == entry) return static_cast<int>(i);
    return -1;
}

int EntryList::Remove(const Pdata* entry) {
    auto end = std::remove_if(rows_.begin(), rows_.end(),
                              [entry](const ListRow& r) { return r.entry == entry; });
    int n = static_cast<int>(rows_.end() - end);
    rows_.erase(end, rows_.end());
    return n;
}

void EntryList::RemoveAt(int row) {
    rows_.erase(rows_.begin() + row);
}

void EntryList::Resort() {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const ListRow& a, const ListRow& b) { return RowKeyLess(a.key, b.key); });
}

int EntryList::SelectedRow() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) return static_cast<int>(i);
    return -1;
}

std::vector<int> EntryList::SelectedRows() const {
    std::vector<int> out;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) out.push_back(static_cast<int>(i));
    return out;
}

int EntryList::SelectedCount() const {
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow& r) { return r.selected; }));
}

void EntryList::Select(int row, bool on) {
    if (row < 0 || row >= Count()) return;
    if (on && !multi_) ClearSelection();
    rows_[static_cast<size_t>(row)].selected = on;
}

void EntryList::ClearSelection() {
    for (ListRow& r : rows_)
        r.selected = false;
}

} // namespace lumidex
