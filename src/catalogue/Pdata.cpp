#include "Pdata.h"

#include "ByteStream.h"

#include <algorithm>
#include <unordered_set>

namespace lumidex {

int Pdata::AddMemo(int32_t number) {
    if (HasMemo(number)) return -1;
    memos_.push_back(number);
    return static_cast<int>(memos_.size()) - 1;
}

void Pdata::MergeMemos(const std::vector<int32_t>& numbers) {
    // Short lists are searched; long ones (a hostile file) must not take quadratic time.
    if (memos_.size() + numbers.size() <= 32) {
        for (int32_t n : numbers)
            AddMemo(n);
        return;
    }
    std::unordered_set<int32_t> held(memos_.begin(), memos_.end());
    for (int32_t n : numbers)
        if (held.insert(n).second) memos_.push_back(n);
}

int Pdata::RemoveMemo(int32_t number) {
    auto it = std::find(memos_.begin(), memos_.end(), number);
    if (it == memos_.end()) return -1;
    int position = static_cast<int>(it - memos_.begin());
    memos_.erase(it);
    return position;
}

bool Pdata::HasMemo(int32_t number) const {
    return std::find(memos_.begin(), memos_.end(), number) != memos_.end();
}

void Pdata::AddRegion(uint32_t regionKey, uint32_t regionCode, const Area& area) {
    if (!subIndex_) subIndex_ = std::make_unique<std::vector<secondIndex>>();
    subIndex_->push_back({regionKey, regionCode, area});
}

void Pdata::DeleteRegion(int i) {
    if (!subIndex_ || i < 0 || i >= RegionCount()) return;
    subIndex_->erase(subIndex_->begin() + i);
}

void Pdata::ClearRegions() {
    if (subIndex_) subIndex_->clear();
}

void Pdata::WriteMemoList(ByteWriter& out) const {
    out.I32(static_cast<int32_t>(memos_.size()));
    for (int32_t n : memos_)
        out.I32(n);
}

void Pdata::ReadMemoList(ByteReader& in, int32_t base) {
    int32_t count = in.I32();
    if (count < 0 || !in.Need(static_cast<size_t>(count) * 4)) {
        in.Fail();
        return;
    }
    if (count == 0) return;
    std::vector<int32_t> numbers;
    numbers.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        numbers.push_back(
            static_cast<int32_t>(static_cast<uint32_t>(in.I32()) + static_cast<uint32_t>(base)));
    MergeMemos(numbers);
}

void Pdata::WriteSubIndex(ByteWriter& out) const {
    out.I32(RegionCount());
    for (int i = 0; i < RegionCount(); ++i) {
        const secondIndex& r = RegionAt(i);
        out.U32(r.key);
        out.U32(r.code);
        out.I32(r.area.top);
        out.I32(r.area.left);
        out.I32(r.area.bottom);
        out.I32(r.area.right);
    }
}

void Pdata::ReadSubIndex(ByteReader& in) {
    int32_t count = in.I32();
    if (count < 0 || !in.Need(static_cast<size_t>(count) * 24)) {
        in.Fail();
        return;
    }
    if (count > 0 && !subIndex_) subIndex_ = std::make_unique<std::vector<secondIndex>>();
    if (count > 0) subIndex_->reserve(subIndex_->size() + static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        secondIndex r;
        r.key = in.U32();
        r.code = in.U32();
        r.area.top = in.I32();
        r.area.left = in.I32();
        r.area.bottom = in.I32();
        r.area.right = in.I32();
        subIndex_->push_back(r);
    }
}

} // namespace lumidex
