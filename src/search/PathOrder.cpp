#include "PathOrder.h"

#include "Paths.h"

#include <algorithm>

namespace lumidex {

namespace {

struct Item {
    uint64_t high;
    uint64_t low;
    uint32_t index;
};

unsigned char UpperByte(std::string_view s, size_t at) {
    if (at >= s.size()) return 0; // past the end: shorter keys come first
    const unsigned char c = static_cast<unsigned char>(s[at]);
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

void Window(std::string_view s, size_t depth, Item& item) {
    uint64_t high = 0, low = 0;
    for (size_t i = 0; i < 8; ++i)
        high = (high << 8) | UpperByte(s, depth + i);
    for (size_t i = 8; i < 16; ++i)
        low = (low << 8) | UpperByte(s, depth + i);
    item.high = high;
    item.low = low;
}

bool SameWindow(const Item& a, const Item& b) {
    return a.high == b.high && a.low == b.low;
}

// How keys that agree to their end are ordered.
struct Ties {
    bool exact;                         // by their exact bytes first
    const std::vector<uint32_t>* ranks; // then by rank, else by index
};

// Sorts items[begin, end) whose keys agree up to depth.
void SortRun(std::vector<Item>& items, size_t begin, size_t end, size_t depth,
             const std::vector<std::string_view>& keys, const Ties& ties) {
    for (size_t i = begin; i < end; ++i)
        Window(keys[items[i].index], depth, items[i]);
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin),
              items.begin() + static_cast<std::ptrdiff_t>(end), [](const Item& a, const Item& b) {
                  return a.high != b.high ? a.high < b.high : a.low < b.low;
              });
    for (size_t a = begin; a < end;) {
        size_t b = a + 1;
        while (b < end && SameWindow(items[a], items[b]))
            ++b;
        if (b - a > 1) {
            // A zero byte in the window: the keys ended there, or hold a NUL byte that a
            // full comparison of what is left tells apart.
            if ((items[a].low & 0xff) == 0) {
                std::sort(items.begin() + static_cast<std::ptrdiff_t>(a),
                          items.begin() + static_cast<std::ptrdiff_t>(b),
                          [&keys, depth, &ties](const Item& x, const Item& y) {
                              const std::string_view kx = keys[x.index], ky = keys[y.index];
                              const int u =
                                  paths::CompareUpper(kx.substr(std::min(depth, kx.size())),
                                                      ky.substr(std::min(depth, ky.size())));
                              if (u != 0) return u < 0;
                              if (ties.exact && kx != ky) return kx < ky;
                              if (ties.ranks)
                                  return (*ties.ranks)[x.index] < (*ties.ranks)[y.index];
                              return x.index < y.index;
                          });
            } else {
                SortRun(items, a, b, depth + 16, keys, ties);
            }
        }
        a = b;
    }
}

std::vector<uint32_t> SortedOrder(const std::vector<std::string_view>& keys, const Ties& ties) {
    std::vector<Item> items(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        items[i].index = static_cast<uint32_t>(i);
    // Windows start after the part every key shares (a common picture folder).
    size_t common = keys.empty() ? 0 : keys[0].size();
    for (size_t i = 1; i < keys.size() && common > 0; ++i) {
        size_t n = 0;
        while (n < common && UpperByte(keys[i], n) == UpperByte(keys[0], n) && n < keys[i].size())
            ++n;
        common = n;
    }
    SortRun(items, 0, items.size(), common, keys, ties);
    std::vector<uint32_t> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
    return order;
}

} // namespace

std::vector<uint32_t> CatalogueOrder(const std::vector<std::string_view>& paths) {
    return SortedOrder(paths, Ties{true, nullptr});
}

std::vector<uint32_t> KeyOrder(const std::vector<std::string_view>& keys,
                               const std::vector<uint32_t>* ranks) {
    return SortedOrder(keys, Ties{false, ranks});
}

} // namespace lumidex
