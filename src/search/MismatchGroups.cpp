#include "MismatchGroups.h"

#include "Paths.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace lumidex {

std::string MixCaption(uint16_t rowGroup, uint16_t referenceGroup) {
    return "Mix " + std::to_string(rowGroup) + " and " + std::to_string(referenceGroup);
}

bool MakeMismatch(Lists& lists, MismatchNum& numbers, const MismatchAsk& ask, bool dontShow) {
    const int refRow = lists.reference.SelectedRow();
    if (refRow < 0) return false;
    Pdata* r = lists.reference.EntryAt(refRow);
    std::vector<Pdata*> targets;
    for (int t : lists.target.SelectedRows())
        if (lists.target.EntryAt(t) != r) targets.push_back(lists.target.EntryAt(t));
    if (targets.empty()) return false;

    SharedState& state = lists.state();
    lists.SaveSelection(lists.reference);
    MismatchQuestion q;
    q.referenceGroup = r->mismatchGroup;
    for (Pdata* t : targets)
        if (t->mismatchGroup)
            q.rows.push_back({std::to_string(t->mismatchGroup) + ":" + t->path, t->mismatchGroup});
    if (!q.rows.empty() && r->mismatchGroup) {
        q.mixEnabled = true;
        q.choice = MismatchChoice::Mix;
    }
    const bool targetGrouped = !q.rows.empty();
    if (!targetGrouped && r->mismatchGroup)
        q.rows.push_back({std::to_string(r->mismatchGroup) + ":(Reference)", r->mismatchGroup});

    MismatchChoice choice = MismatchChoice::NewGroup;
    if (!q.rows.empty()) {
        choice = dontShow ? q.choice : ask(q);
        if (choice == MismatchChoice::Mix && !q.mixEnabled) choice = MismatchChoice::Add;
    }
    if (choice == MismatchChoice::Cancel) return false;
    const int pick = std::clamp(q.selectedRow, 0, std::max(0, static_cast<int>(q.rows.size()) - 1));

    if (choice == MismatchChoice::NewGroup) {
        // A full allocator forms no group: -1 stored in 16 bits would join unrelated pictures.
        const int n = AllocateGroupNumber(numbers, state);
        if (n < 0) return false;
        r->mismatchGroup = static_cast<uint16_t>(n);
        for (Pdata* t : targets)
            t->mismatchGroup = static_cast<uint16_t>(n);
    } else if (choice == MismatchChoice::Add) {
        const uint16_t g = q.rows[static_cast<size_t>(pick)].group;
        if (targetGrouped) r->mismatchGroup = g;
        for (Pdata* t : targets)
            if (!t->mismatchGroup) t->mismatchGroup = g;
    } else {
        const uint16_t from = r->mismatchGroup;
        const uint16_t to = q.rows[static_cast<size_t>(pick)].group;
        Catalogue& cat = lists.catalogue();
        for (int i = 0; i < cat.Count(); ++i)
            if (cat.Entry(i).mismatchGroup == from) cat.Entry(i).mismatchGroup = to;
    }
    state.MarkDataChanged();
    lists.recheckQueue.push_back(r);
    lists.recheckQueue.insert(lists.recheckQueue.end(), targets.begin(), targets.end());
    lists.PruneUnmatched();
    lists.RestoreSelection(lists.reference);
    return true;
}

bool MakeMismatchGroup(SharedState& state, MismatchNum& numbers,
                       const std::vector<Pdata*>& entries) {
    if (entries.size() < 2) return false;
    const int n = AllocateGroupNumber(numbers, state);
    if (n < 0) return false;
    for (Pdata* e : entries)
        e->mismatchGroup = static_cast<uint16_t>(n);
    state.MarkDataChanged();
    return true;
}

void MismatchEditorRows::Build(const Catalogue& catalogue) {
    rows_.clear();
    for (int i = 0; i < catalogue.Count(); ++i) {
        Pdata& e = catalogue.Entry(i);
        if (e.mismatchGroup) rows_.push_back({e.mismatchGroup, &e});
    }
    // The number leads the text with five digits, so the text order is group, then path.
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
        if (a.group != b.group) return a.group < b.group;
        return paths::CompareUpper(a.entry->path, b.entry->path) < 0;
    });
}

std::string MismatchEditorRows::RowText(const Row& row) {
    char number[8];
    std::snprintf(number, sizeof number, "%05d", static_cast<int>(row.group));
    return std::string(number) + "," + row.entry->path;
}

std::string MismatchEditorRows::GroupLabel(uint16_t group) {
    char text[16];
    std::snprintf(text, sizeof text, "Group %05d", static_cast<int>(group));
    return text;
}

bool MismatchEditorRows::EndsGroup(int row) const {
    const size_t r = static_cast<size_t>(row);
    return r + 1 < rows_.size() && rows_[r + 1].group != rows_[r].group;
}

int MismatchEditorRows::Remove(std::vector<int> rows, const Catalogue& catalogue,
                               MismatchNum& numbers) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::unordered_map<uint16_t, int> members;
    for (int i = 0; i < catalogue.Count(); ++i)
        if (uint16_t g = catalogue.Entry(i).mismatchGroup) ++members[g];
    int removed = 0;
    std::vector<bool> drop(rows_.size(), false);
    for (int row : rows) {
        if (row < 0 || row >= Count()) continue;
        Row& r = rows_[static_cast<size_t>(row)];
        const uint16_t g = r.entry->mismatchGroup;
        if (g) {
            if (--members[g] == 0) numbers.Release(g);
            r.entry->mismatchGroup = 0;
        }
        drop[static_cast<size_t>(row)] = true;
        ++removed;
    }
    size_t k = 0;
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(), [&](const Row&) { return drop[k++]; }),
                rows_.end());
    return removed;
}

int MismatchEditorRows::RemoveSingleGroups() {
    std::vector<Row> kept;
    int removed = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const bool alone = (i == 0 || rows_[i - 1].group != rows_[i].group) &&
                           (i + 1 == rows_.size() || rows_[i + 1].group != rows_[i].group);
        if (alone) {
            rows_[i].entry->mismatchGroup = 0;
            ++removed;
        } else {
            kept.push_back(rows_[i]);
        }
    }
    rows_ = std::move(kept);
    return removed;
}

int MismatchEditorRows::Search(int from, const std::string& text, bool forward) const {
    if (text.empty()) return -1;
    const std::string wanted = paths::LowerAscii(text);
    const int step = forward ? 1 : -1;
    for (int r = from + step; r >= 0 && r < Count(); r += step)
        if (paths::LowerAscii(rows_[static_cast<size_t>(r)].entry->path).find(wanted) !=
            std::string::npos)
            return r;
    return -1;
}

void MismatchEditorRows::Forget(const Pdata* entry) {
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [entry](const Row& r) { return r.entry == entry; }),
                rows_.end());
}

} // namespace lumidex
