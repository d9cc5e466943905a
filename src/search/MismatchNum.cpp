#include "MismatchNum.h"

#include "SharedState.h"

namespace lumidex {

void MismatchNum::Reset() {
    bits_.fill(0);
    bits_[0] = 1;
    max_ = 0;
}

bool MismatchNum::IsFree(int n) const {
    auto u = static_cast<uint16_t>(n);
    return (bits_[u >> 3] & (1u << (u & 7))) == 0;
}

void MismatchNum::MarkUsed(int n) {
    auto u = static_cast<uint16_t>(n);
    bits_[u >> 3] = static_cast<uint8_t>(bits_[u >> 3] | (1u << (u & 7)));
    if (n > max_) max_ = n;
}

int MismatchNum::Allocate() {
    for (int n = 1; n <= kLastNumber; ++n) {
        if (IsFree(n)) {
            MarkUsed(n);
            return n;
        }
    }
    return -1;
}

void MismatchNum::Release(int n) {
    auto u = static_cast<uint16_t>(n);
    bits_[u >> 3] = static_cast<uint8_t>(bits_[u >> 3] & ~(1u << (u & 7)));
}

int AllocateGroupNumber(MismatchNum& numbers, SharedState& state) {
    int n = numbers.Allocate();
    if (n < 0) state.LogMessage(kMismatchGroupsFull);
    return n;
}

uint16_t MergedGroupNumbers::Map(uint16_t number) {
    if (number == 0) return 0;
    if (number + offset_ <= 65535) return static_cast<uint16_t>(number + offset_);
    if (auto it = moved_.find(number); it != moved_.end()) return it->second;
    // Every shifted number lies above the offset, so a free number at or below it is safe.
    while (nextFree_ <= offset_ && !numbers_.IsFree(nextFree_))
        ++nextFree_;
    uint16_t given = 0;
    if (nextFree_ <= offset_) {
        given = static_cast<uint16_t>(nextFree_++);
        numbers_.MarkUsed(given);
        state_.LogMessage("Mismatch group " + std::to_string(number) +
                          " of the merged database became group " + std::to_string(given) + ".");
    } else {
        state_.LogMessage("Mismatch group " + std::to_string(number) +
                          " of the merged database found no free number and was dissolved.");
    }
    moved_.emplace(number, given);
    return given;
}

} // namespace lumidex
