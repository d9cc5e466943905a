#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumidex {

class ByteReader;
class ByteWriter;

// A rectangle in picture pixels; right and bottom are exclusive.
struct Area {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Area&) const = default;
};

// The signature of one rectangular region of a picture.
struct secondIndex {
    uint32_t key = 0;
    uint32_t code = 0;
    Area area;
    bool operator==(const secondIndex&) const = default;
};

// An entry's size and time are 32-bit: a file value out of range is held at the nearest end
// rather than wrapped into a negative size or a date before 1970.
inline int32_t StoredFileValue(int64_t value) {
    return value < 0 ? 0 : value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

// Key value of an entry without a signature (made from a list of names, never analysed).
inline constexpr uint32_t kNoSignature = 0xFFFFFFFFu;

// One picture of the catalogue.
class Pdata {
public:
    explicit Pdata(std::string path) : path(std::move(path)) {}

    // Memo numbers: positions in the memo table, each at most once, in the order added.
    const std::vector<int32_t>& Memos() const { return memos_; }
    int MemoCount() const { return static_cast<int>(memos_.size()); }
    // Position at which the number was appended, or -1 when it is already there.
    int AddMemo(int32_t number);
    // AddMemo for each number in order, in one pass however long the lists are.
    void MergeMemos(const std::vector<int32_t>& numbers);
    // Position the number had, or -1 when it was not there.
    int RemoveMemo(int32_t number);
    bool HasMemo(int32_t number) const;

    void AddRegion(uint32_t key, uint32_t code, const Area& area);
    int RegionCount() const { return subIndex_ ? static_cast<int>(subIndex_->size()) : 0; }
    const secondIndex& RegionAt(int i) const { return (*subIndex_)[static_cast<size_t>(i)]; }
    bool HasSubIndex() const { return subIndex_ != nullptr; }
    void DeleteRegion(int i);
    void ClearRegions();

    // Stream forms (little-endian): a signed 32-bit count, then the items.
    void WriteMemoList(ByteWriter& out) const;
    // Adds each stored number plus base through AddMemo. Fails the reader, adding nothing,
    // when the count is negative or larger than the bytes that remain.
    void ReadMemoList(ByteReader& in, int32_t base);
    // Records as key, code, top, left, bottom, right.
    void WriteSubIndex(ByteWriter& out) const;
    void ReadSubIndex(ByteReader& in);

    std::string path;
    uint16_t mismatchGroup = 0;
    uint32_t key = 0;
    uint32_t code = 0;
    int32_t fileSize = -1;
    int32_t fileTime = -1;
    int32_t listUpMark = -1;

private:
    std::vector<int32_t> memos_;
    std::unique_ptr<std::vector<secondIndex>> subIndex_;
};

} // namespace lumidex
