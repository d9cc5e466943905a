#include "MemoAssign.h"

#include <unordered_map>
#include <unordered_set>

namespace lumidex {

bool SetMemo(SharedState& state, Pdata& entry, int slot) {
    if (slot < 0 || entry.AddMemo(slot) < 0) return false;
    state.MarkDataChanged();
    return true;
}

bool ResetMemo(SharedState& state, Pdata& entry, int slot) {
    if (entry.RemoveMemo(slot) < 0) return false;
    state.MarkDataChanged();
    return true;
}

bool ToggleMemo(SharedState& state, Pdata& entry, int slot) {
    return entry.HasMemo(slot) ? ResetMemo(state, entry, slot) : SetMemo(state, entry, slot);
}

int SetMemoOnReferenceList(Lists& lists, const DataManage& memos, int slot, bool set) {
    if (!memos.IsMemo(slot)) return 0;
    if (lists.reference.Count() >= lists.catalogue().Count() && !lists.reference.Empty()) {
        Answer a = lists.state().frame().Ask({"Cinfirm",
                                              set ? "Set to ALL Data?" : "Reset to ALL Data?",
                                              {Answer::Yes, Answer::No}});
        if (a != Answer::Yes) return -1;
    }
    int changed = 0;
    for (const ListRow& r : lists.reference.Rows())
        if (set ? r.entry->AddMemo(slot) >= 0 : r.entry->RemoveMemo(slot) >= 0) ++changed;
    if (changed) lists.state().MarkDataChanged();
    return changed;
}

bool SynchronizeMemo(SharedState& state, Pdata& a, Pdata& b) {
    if (&a == &b) return false;
    const std::vector<int32_t> fromA = a.Memos();
    const size_t before = a.Memos().size() + b.Memos().size();
    a.MergeMemos(b.Memos());
    b.MergeMemos(fromA);
    if (a.Memos().size() + b.Memos().size() == before) return false;
    state.MarkDataChanged();
    return true;
}

bool CopiedMemos::Paste(SharedState& state, const DataManage& memos, Pdata& entry,
                        bool replace) const {
    if (!numbers_) return false;
    const std::vector<int32_t> before = entry.Memos();
    if (replace)
        for (int32_t m : before)
            entry.RemoveMemo(m);
    for (int32_t m : *numbers_)
        if (memos.IsMemo(m)) entry.AddMemo(m);
    if (entry.Memos() == before) return false;
    state.MarkDataChanged();
    return true;
}

std::vector<MemoMenuGroup> MemoMenu(const DataManage& memos, const Pdata* entry) {
    std::vector<MemoMenuGroup> menu;
    std::unordered_map<int32_t, size_t> at;
    for (const MemoGroup& g : memos.Groups())
        if (at.emplace(g.id, menu.size()).second) menu.push_back({g.name, {}});
    std::unordered_set<int32_t> carried;
    if (entry) carried.insert(entry->Memos().begin(), entry->Memos().end());
    for (int s = 0; s < memos.Count(); ++s) {
        const MemoSlot& m = memos.Slots()[static_cast<size_t>(s)];
        auto it = at.find(m.groupId);
        if (m.groupId == DataManage::kBlank || it == at.end()) continue;
        menu[it->second].items.push_back({m.text, s, carried.count(s) > 0});
    }
    std::erase_if(menu, [](const MemoMenuGroup& g) { return g.items.empty(); });
    return menu;
}

} // namespace lumidex
