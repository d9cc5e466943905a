#include "DataManage.h"

#include "ByteStream.h"

#include <algorithm>

namespace lumidex {

namespace {
int32_t AddWrapping(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
} // namespace

void DataManage::Clear() {
    slots_.clear();
    groups_.clear();
    result_.clear();
    nameCount_.clear();
    suffixHint_.clear();
    firstBlank_ = 0;
    tableValue = 1;
    groupIdBase = 0;
}

void DataManage::AppendGroup(std::string name, int32_t id) {
    ++nameCount_[name];
    groups_.push_back({std::move(name), id});
}

int DataManage::AddGroup(const std::string& name, int32_t id) {
    auto it = nameCount_.find(name);
    if (it != nameCount_.end() && it->second > 0) {
        for (size_t i = 0; i < groups_.size(); ++i)
            if (groups_[i].id == id && groups_[i].name == name) return static_cast<int>(i);
    }
    AppendGroup(name, id);
    return static_cast<int>(groups_.size()) - 1;
}

void DataManage::EraseGroup(int32_t id) {
    int at = GroupIndexOfId(id);
    if (at < 0) return;
    for (MemoSlot& slot : slots_) {
        if (slot.groupId == id) {
            slot.groupId = kBlank;
            slot.text.clear();
        }
    }
    firstBlank_ = 0;
    auto name = groups_[static_cast<size_t>(at)].name;
    if (--nameCount_[name] == 0) nameCount_.erase(name);
    suffixHint_.clear();
    groups_.erase(groups_.begin() + at);
}

int DataManage::PutMemo(const std::string& text, int32_t groupId) {
    while (firstBlank_ < slots_.size() && slots_[firstBlank_].groupId != kBlank)
        ++firstBlank_;
    if (firstBlank_ < slots_.size()) {
        slots_[firstBlank_].groupId = groupId;
        slots_[firstBlank_].text = text;
        return static_cast<int>(firstBlank_++);
    }
    slots_.push_back({text, groupId});
    firstBlank_ = slots_.size();
    return static_cast<int>(slots_.size()) - 1;
}

void DataManage::EraseMemo(const std::string& text, int32_t groupId) {
    int at = FindMemo(text, groupId);
    if (at < 0) return;
    slots_[static_cast<size_t>(at)] = {std::string(), kBlank};
    firstBlank_ = std::min(firstBlank_, static_cast<size_t>(at));
}

void DataManage::EraseMemoAt(int slot) {
    if (slot < 0 || slot >= Count()) return;
    slots_[static_cast<size_t>(slot)] = {std::string(), kBlank};
    firstBlank_ = std::min(firstBlank_, static_cast<size_t>(slot));
}

void DataManage::SetMemoText(int slot, std::string text) {
    if (IsMemo(slot)) slots_[static_cast<size_t>(slot)].text = std::move(text);
}

void DataManage::SetMemoGroup(int slot, int32_t groupId) {
    if (IsMemo(slot) && groupId != kBlank) slots_[static_cast<size_t>(slot)].groupId = groupId;
}

std::string DataManage::UniqueMemoTextExcept(const std::string& text, int32_t groupId,
                                             int exceptSlot) const {
    auto taken = [&](const std::string& t) {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (static_cast<int>(i) != exceptSlot && slots_[i].groupId == groupId &&
                slots_[i].text == t)
                return true;
        return false;
    };
    if (!taken(text)) return text;
    for (int n = 1;; ++n) {
        std::string candidate = text + std::to_string(n);
        if (!taken(candidate)) return candidate;
    }
}

std::string DataManage::RenameGroup(int position, const std::string& name) {
    if (position < 0 || position >= GroupCount()) return {};
    MemoGroup& g = groups_[static_cast<size_t>(position)];
    if (g.name == name) return name;
    // Unique among the other groups: its own old name is free for it.
    if (--nameCount_[g.name] == 0) nameCount_.erase(g.name);
    suffixHint_.clear();
    std::string given = UniqueGroupName(name);
    ++nameCount_[given];
    g.name = given;
    return given;
}

std::vector<int> DataManage::SlotsOfGroup(int32_t id) const {
    std::vector<int> out;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].groupId == id && id != kBlank) out.push_back(static_cast<int>(i));
    return out;
}

int32_t DataManage::NewGroupId() const {
    std::vector<int32_t> ids;
    ids.reserve(groups_.size());
    for (const MemoGroup& g : groups_)
        ids.push_back(g.id);
    std::sort(ids.begin(), ids.end());
    int32_t id = kFirstGroupId;
    for (int32_t taken : ids) {
        if (taken == id)
            ++id;
        else if (taken > id)
            break;
    }
    return id;
}

std::string DataManage::UniqueGroupName(const std::string& name) const {
    auto taken = [&](const std::string& n) {
        auto it = nameCount_.find(n);
        return it != nameCount_.end() && it->second > 0;
    };
    if (!taken(name)) return name;
    int& hint = suffixHint_[name];
    for (int n = hint + 1;; ++n) {
        std::string candidate = name + std::to_string(n);
        if (!taken(candidate)) {
            hint = n - 1;
            return candidate;
        }
    }
}

std::string DataManage::UniqueMemoText(const std::string& text, int32_t groupId) const {
    if (FindMemo(text, groupId) < 0) return text;
    for (int n = 1;; ++n) {
        std::string candidate = text + std::to_string(n);
        if (FindMemo(candidate, groupId) < 0) return candidate;
    }
}

int32_t DataManage::MaxGroupId() const {
    int32_t best = 0;
    for (const MemoGroup& g : groups_)
        best = std::max(best, g.id);
    return best;
}

int DataManage::FindMemo(const std::string& text, int32_t groupId) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].groupId == groupId && slots_[i].text == text) return static_cast<int>(i);
    return -1;
}

int32_t DataManage::GroupIdAt(int position) const {
    if (position < 0 || position >= GroupCount()) return -1;
    return groups_[static_cast<size_t>(position)].id;
}

int DataManage::GroupIndexOfId(int32_t id) const {
    for (size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].id == id) return static_cast<int>(i);
    return -1;
}

int DataManage::GroupIndexOfName(const std::string& name) const {
    for (size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].name == name) return static_cast<int>(i);
    return -1;
}

const std::vector<MemoSlot>& DataManage::MemosOfGroup(int32_t id, bool all) {
    if (id == 0 && all) {
        result_ = slots_;
        return result_;
    }
    result_.clear();
    for (const MemoSlot& slot : slots_)
        if (slot.groupId == id) result_.push_back(slot);
    return result_;
}

void DataManage::WriteMemoTable(ByteWriter& out) const {
    out.I32(tableValue);
    out.I32(static_cast<int32_t>(groups_.size()));
    out.I32(static_cast<int32_t>(slots_.size()));
    for (const MemoGroup& g : groups_) {
        out.I32(static_cast<int32_t>(g.name.size()));
        out.Bytes(g.name);
        out.I32(g.id);
    }
    for (const MemoSlot& s : slots_) {
        out.I32(static_cast<int32_t>(s.text.size()));
        out.Bytes(s.text);
        out.I32(s.groupId);
    }
}

bool DataManage::ReadMemoTable(ByteReader& in) {
    int32_t value = in.I32();
    int32_t groupCount = in.I32();
    int32_t memoCount = in.I32();
    // Every record takes at least its length and its id.
    if (in.Failed() || groupCount < 0 || memoCount < 0 ||
        static_cast<uint64_t>(groupCount) + static_cast<uint64_t>(memoCount) > in.Remaining() / 8) {
        in.Fail();
        return false;
    }
    tableValue = value;
    groups_.reserve(groups_.size() + static_cast<size_t>(groupCount));
    for (int32_t i = 0; i < groupCount; ++i) {
        int32_t length = in.I32();
        if (length < 0 || !in.Need(static_cast<size_t>(length) + 4)) {
            in.Fail();
            return false;
        }
        std::string name(in.Bytes(static_cast<size_t>(length)));
        int32_t id = in.I32();
        AppendGroup(UniqueGroupName(name), AddWrapping(id, groupIdBase));
    }
    slots_.reserve(slots_.size() + static_cast<size_t>(memoCount));
    for (int32_t i = 0; i < memoCount; ++i) {
        int32_t length = in.I32();
        if (length < 0 || !in.Need(static_cast<size_t>(length) + 4)) {
            in.Fail();
            return false;
        }
        std::string_view text = in.Bytes(static_cast<size_t>(length));
        int32_t id = in.I32();
        if (id == kBlank)
            slots_.push_back({std::string(), kBlank});
        else
            slots_.push_back({std::string(text), AddWrapping(id, groupIdBase)});
    }
    return true;
}

} // namespace lumidex
