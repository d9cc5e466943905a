#include "EntryList.h"

#include "PathOrder.h"
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

namespace {

// Puts the rows in the given order (row i becomes the one that stood at order[i]) without a
// second vector of rows; order is used up.
void Permute(std::vector<ListRow>& rows, std::vector<uint32_t>& order) {
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        ListRow held = std::move(rows[start]);
        size_t at = start;
        while (order[at] != start) {
            const size_t from = order[at];
            rows[at] = std::move(rows[from]);
            order[at] = static_cast<uint32_t>(at);
            at = from;
        }
        rows[at] = std::move(held);
        order[at] = static_cast<uint32_t>(at);
    }
}

std::vector<std::string_view> KeysOf(const std::vector<ListRow>& rows) {
    std::vector<std::string_view> keys;
    keys.reserve(rows.size());
    for (const ListRow& r : rows)
        keys.push_back(r.key);
    return keys;
}

} // namespace

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
    // Rows often come in order already (a list of one folder): no sort then.
    const bool ordered =
        std::is_sorted(rows.begin(), rows.end(),
                       [](const ListRow& a, const ListRow& b) { return RowKeyLess(a.key, b.key); });
    if (!ordered) {
        std::vector<uint32_t> order = KeyOrder(KeysOf(rows));
        Permute(rows, order);
    }
    MergeSorted(std::move(rows));
}

void EntryList::AddMany(std::vector<ListRow> rows, const std::vector<uint32_t>& ranks) {
    if (unique_) {
        std::vector<uint32_t> byRank(rows.size());
        for (uint32_t i = 0; i < byRank.size(); ++i)
            byRank[i] = i;
        std::sort(byRank.begin(), byRank.end(),
                  [&ranks](uint32_t a, uint32_t b) { return ranks[a] < ranks[b]; });
        Permute(rows, byRank);
        AddMany(std::move(rows));
        return;
    }
    // Later ones first among equal keys, as in AddMany.
    bool ordered = true;
    for (size_t i = 1; i < rows.size() && ordered; ++i) {
        const int u = paths::CompareUpper(rows[i - 1].key, rows[i].key);
        ordered = u < 0 || (u == 0 && ranks[i - 1] > ranks[i]);
    }
    if (ordered) {
        MergeSorted(std::move(rows));
        return;
    }
    std::vector<uint32_t> later(ranks.size());
    for (size_t i = 0; i < ranks.size(); ++i)
        later[i] = ~ranks[i];
    std::vector<uint32_t> order = KeyOrder(KeysOf(rows), &later);
    Permute(rows, order);
    MergeSorted(std::move(rows));
}

void EntryList::MergeSorted(std::vector<ListRow> rows) {
    for (ListRow& r : rows)
        r.selected = false;
    if (rows_.empty()) {
        rows_ = std::move(rows);
        return;
    }
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
