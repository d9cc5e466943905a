#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumidex {

class ByteReader;
class ByteWriter;

// One memo slot; a blank slot has an empty text and group id -1.
struct MemoSlot {
    std::string text;
    int32_t groupId = -1;
};

struct MemoGroup {
    std::string name;
    int32_t id = 0;
};

// The memo table: memo slots whose indexes are the memo numbers of the entries (so a slot
// never moves), and the named groups the memos belong to.
class DataManage {
public:
    static constexpr int32_t kBlank = -1;
    static constexpr int32_t kFirstGroupId = 100;

    void Clear();

    const std::vector<MemoSlot>& Slots() const { return slots_; }
    const std::vector<MemoGroup>& Groups() const { return groups_; }
    int Count() const { return static_cast<int>(slots_.size()); }
    int GroupCount() const { return static_cast<int>(groups_.size()); }

    // Position of the group with this name and id, appended when there is none.
    int AddGroup(const std::string& name, int32_t id);
    // Blanks every memo of the group and removes it.
    void EraseGroup(int32_t id);
    // Fills the first blank slot, else appends; returns the slot index.
    int PutMemo(const std::string& text, int32_t groupId);
    void EraseMemo(const std::string& text, int32_t groupId);
    int32_t NewGroupId() const;
    std::string UniqueGroupName(const std::string& name) const;
    std::string UniqueMemoText(const std::string& text, int32_t groupId) const;
    // The largest group id, 0 when there is none or all are below 1.
    int32_t MaxGroupId() const;
    int FindMemo(const std::string& text, int32_t groupId) const;
    int32_t GroupIdAt(int position) const;
    int GroupIndexOfId(int32_t id) const;
    int GroupIndexOfName(const std::string& name) const;
    // Operations on one slot or group position. Equal texts may share a group (old files carry
    // them), so whoever knows the slot must name it rather than its text.
    bool IsMemo(int slot) const {
        return slot >= 0 && slot < Count() && slots_[static_cast<size_t>(slot)].groupId != kBlank;
    }
    void EraseMemoAt(int slot);
    void SetMemoText(int slot, std::string text);
    void SetMemoGroup(int slot, int32_t groupId);
    // The text made unique among the memos of the group other than the one in exceptSlot.
    std::string UniqueMemoTextExcept(const std::string& text, int32_t groupId,
                                     int exceptSlot) const;
    // Renames the group at the position to the name made unique among the other groups;
    // returns the name given.
    std::string RenameGroup(int position, const std::string& name);
    // The slot indexes of the group's memos, in slot order.
    std::vector<int> SlotsOfGroup(int32_t id) const;
    // With id 0 and all: every slot. Otherwise the slots of that group (text and id).
    const std::vector<MemoSlot>& MemosOfGroup(int32_t id, bool all = false);

    // The database section: table value, group count, slot count, groups, slots.
    void WriteMemoTable(ByteWriter& out) const;
    // Appends the section's groups (under unique names, ids plus groupIdBase) and slots.
    // Returns false, with the reader failed, when a count or length runs past the data; what
    // was read before stays.
    bool ReadMemoTable(ByteReader& in);

    int32_t tableValue = 1;
    int32_t groupIdBase = 0;

private:
    void AppendGroup(std::string name, int32_t id);

    std::vector<MemoSlot> slots_;
    std::vector<MemoGroup> groups_;
    std::vector<MemoSlot> result_;
    // How many groups carry each name, so that name checks stay cheap on large tables.
    std::unordered_map<std::string, int> nameCount_;
    // Per name, suffixes 1..n known to be taken; valid while groups are only added.
    mutable std::unordered_map<std::string, int> suffixHint_;
    // No slot before this index is blank.
    size_t firstBlank_ = 0;
};

} // namespace lumidex
