#pragma once

#include "Catalogue.h"
#include "DataManage.h"
#include "SharedState.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumidex {

// The memo manager's edits of the memo table. Memos are named by slot index and groups by id,
// never by text. Each edit that changes something marks the data changed.

// Group "New" and group "Paste": a group of the name made unique, with a new id; returns it.
int32_t NewGroup(SharedState& state, DataManage& memos, const std::string& name = "Group");
// Memo "New" and memo "Paste": a memo of the text made unique within the group; returns its
// slot, -1 when the group does not exist.
int NewMemo(SharedState& state, DataManage& memos, int32_t groupId,
            const std::string& text = "Memo");
// A confirmed label edit; returns the text given (unique among the others), empty when the
// group or memo does not exist.
std::string RenameGroup(SharedState& state, DataManage& memos, int32_t groupId,
                        const std::string& name);
std::string RenameMemo(SharedState& state, DataManage& memos, int slot, const std::string& text);
// A memo dropped on another group keeps its slot (so entries keep carrying it); its text is
// made unique there. False, changing nothing, onto its own group or a group that is not.
bool MoveMemo(SharedState& state, DataManage& memos, int slot, int32_t groupId);
// Group "Delete": only a group without memos. False when nothing was deleted.
bool DeleteGroup(SharedState& state, DataManage& memos, int32_t groupId);
// Memo "Delete": when entries carry the memo, asks "Some data have this Memo. \nRemove all?"
// and on OK takes it from every entry of the catalogue. False when cancelled or not a memo.
bool DeleteMemo(SharedState& state, DataManage& memos, Catalogue& catalogue, int slot);
// How many entries carry the memo.
int EntriesCarrying(const Catalogue& catalogue, int slot);

// The first line of a clipboard text, the name of a pasted memo or group.
std::string FirstLine(std::string_view text);

} // namespace lumidex
