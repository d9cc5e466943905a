#include "MemoOps.h"

namespace lumidex {

int32_t NewGroup(SharedState& state, DataManage& memos, const std::string& name) {
    const int32_t id = memos.NewGroupId();
    memos.AddGroup(memos.UniqueGroupName(name), id);
    state.MarkDataChanged();
    return id;
}

int NewMemo(SharedState& state, DataManage& memos, int32_t groupId, const std::string& text) {
    if (memos.GroupIndexOfId(groupId) < 0) return -1;
    const int slot = memos.PutMemo(memos.UniqueMemoText(text, groupId), groupId);
    state.MarkDataChanged();
    return slot;
}

std::string RenameGroup(SharedState& state, DataManage& memos, int32_t groupId,
                        const std::string& name) {
    const int at = memos.GroupIndexOfId(groupId);
    if (at < 0) return {};
    std::string given = memos.RenameGroup(at, name);
    state.MarkDataChanged();
    return given;
}

std::string RenameMemo(SharedState& state, DataManage& memos, int slot, const std::string& text) {
    if (!memos.IsMemo(slot)) return {};
    const int32_t group = memos.Slots()[static_cast<size_t>(slot)].groupId;
    std::string given = memos.UniqueMemoTextExcept(text, group, slot);
    memos.SetMemoText(slot, given);
    state.MarkDataChanged();
    return given;
}

bool MoveMemo(SharedState& state, DataManage& memos, int slot, int32_t groupId) {
    if (!memos.IsMemo(slot) || memos.GroupIndexOfId(groupId) < 0) return false;
    const MemoSlot& m = memos.Slots()[static_cast<size_t>(slot)];
    if (m.groupId == groupId) return false;
    std::string text = memos.UniqueMemoTextExcept(m.text, groupId, slot);
    memos.SetMemoGroup(slot, groupId);
    memos.SetMemoText(slot, std::move(text));
    state.MarkDataChanged();
    return true;
}

bool DeleteGroup(SharedState& state, DataManage& memos, int32_t groupId) {
    if (memos.GroupIndexOfId(groupId) < 0 || !memos.SlotsOfGroup(groupId).empty()) return false;
    memos.EraseGroup(groupId);
    state.MarkDataChanged();
    return true;
}

int EntriesCarrying(const Catalogue& catalogue, int slot) {
    int n = 0;
    for (int i = 0; i < catalogue.Count(); ++i)
        if (catalogue.Entry(i).HasMemo(slot)) ++n;
    return n;
}

bool DeleteMemo(SharedState& state, DataManage& memos, Catalogue& catalogue, int slot) {
    if (!memos.IsMemo(slot)) return false;
    if (EntriesCarrying(catalogue, slot) > 0) {
        Answer a = state.frame().Ask(
            {"Warning", "Some data have this Memo. \nRemove all?", {Answer::Ok, Answer::Cancel}});
        if (a != Answer::Ok) return false;
        for (int i = 0; i < catalogue.Count(); ++i)
            catalogue.Entry(i).RemoveMemo(slot);
    }
    memos.EraseMemoAt(slot);
    state.MarkDataChanged();
    return true;
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3))));
}

} // namespace lumidex
