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

} // namespace lumidex
