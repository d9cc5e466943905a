#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>

namespace lumidex {

class SharedState;

// The allocator of mismatch group numbers. Number 0 stands for "in no group" and is never
// handed out; numbers 1 to 8191 are.
class MismatchNum {
public:
    static constexpr int kLastNumber = 8191;

    MismatchNum() { Reset(); }

    void Reset();
    bool IsFree(int n) const;
    // The largest number marked since the last reset; releasing does not lower it.
    int MaxNumber() const { return max_; }
    void MarkUsed(int n);
    // The lowest free number from 1 to 8191, now marked; -1 when none is free.
    int Allocate();
    void Release(int n);

private:
    std::array<uint8_t, 8192> bits_{};
    int max_ = 0;
};

inline constexpr const char* kMismatchGroupsFull = "Mismatch groups are full.";

// Allocate for a command that forms a group: when every number is taken it reports
// "Mismatch groups are full." and returns -1, and the caller must not form the group
// (storing -1 as a 16-bit number would merge unrelated pictures into group 65535).
int AllocateGroupNumber(MismatchNum& numbers, SharedState& state);

// Group numbers read from a merged database, shifted by the largest number in use so that the
// groups of the two catalogues stay apart. A shifted number past 65535 would wrap onto 0 or a
// group in use: that group gets a free number instead (the same for all its entries), which
// is logged.
class MergedGroupNumbers {
public:
    MergedGroupNumbers(MismatchNum& numbers, SharedState& state)
        : numbers_(numbers), state_(state), offset_(numbers.MaxNumber()) {}
    uint16_t Map(uint16_t number);

private:
    MismatchNum& numbers_;
    SharedState& state_;
    int offset_;
    int nextFree_ = 1;
    std::unordered_map<uint16_t, uint16_t> moved_;
};

} // namespace lumidex
