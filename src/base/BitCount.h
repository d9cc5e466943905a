#pragma once

#include <cstdint>

namespace lumidex {

// Bits set in x, inline: without a popcount instruction in the target the builtin is a call.
inline int BitCount(uint32_t x) {
#ifdef __POPCNT__
    return __builtin_popcount(x);
#else
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    return static_cast<int>((((x + (x >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
#endif
}

} // namespace lumidex
