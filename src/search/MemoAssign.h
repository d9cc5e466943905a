#pragma once

#include "DataManage.h"
#include "Lists.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lumidex {

// Assigning memos (the memo manager, the list menus' memo submenus, "Synchronize Memo").
// Each marks the data changed only when a memo list really changed.

// "Set" and "Reset" on one entry; true when its memo list changed.
bool SetMemo(SharedState& state, Pdata& entry, int slot);
bool ResetMemo(SharedState& state, Pdata& entry, int slot);
// A memo submenu item: removes the memo when the entry carries it, else adds it.
bool ToggleMemo(SharedState& state, Pdata& entry, int slot);
// "All Set" / "All Reset" on every row of the reference list. When the list holds every
// entry of the catalogue, asks "Set to ALL Data?" ("Reset to ALL Data?") first. Returns how
// many memo lists changed, -1 when the user said No.
int SetMemoOnReferenceList(Lists& lists, const DataManage& memos, int slot, bool set);
// "Synchronize Memo": both entries carry the union of their memos.
bool SynchronizeMemo(SharedState& state, Pdata& a, Pdata& b);

// "Copy" and "Paste" of a memo set. The memo numbers belong to the memo table of their time:
// clearing the catalogue or opening a database forgets them.
class CopiedMemos {
public:
    void Copy(const Pdata& entry) { numbers_ = entry.Memos(); }
    bool HasCopy() const { return numbers_.has_value(); }
    // With replace the entry's memos are emptied first; blank and out-of-range slots are
    // skipped. True when the memo list changed.
    bool Paste(SharedState& state, const DataManage& memos, Pdata& entry, bool replace) const;
    void Clear() { numbers_.reset(); }

private:
    std::optional<std::vector<int32_t>> numbers_;
};

// The memo submenus of the list menus: one per group that has memos, one item per memo.
struct MemoMenuGroup {
    std::string name;
    struct Item {
        std::string text;
        int slot;
        bool checked;
    };
    std::vector<Item> items;
};
std::vector<MemoMenuGroup> MemoMenu(const DataManage& memos, const Pdata* entry);

} // namespace lumidex
