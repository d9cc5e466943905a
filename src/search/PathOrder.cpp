#include "PathOrder.h"

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

// Sorts items[begin, end) whose keys agree up to depth.
void SortRun(std::vector<Item>& items, size_t begin, size_t end, size_t depth,
             const std::vector<std::string_view>& paths) {
    for (size_t i = begin; i < end; ++i)
        Window(paths[items[i].index], depth, items[i]);
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin),
              items.begin() + static_cast<std::ptrdiff_t>(end), [](const Item& a, const Item& b) {
                  return a.high != b.high ? a.high < b.high : a.low < b.low;
              });
    for (size_t a = begin; a < end;) {
        size_t b = a + 1;
        while (b < end && SameWindow(items[a], items[b]))
            ++b;
        if (b - a > 1) {
            // A zero byte in the window means the keys ended there (paths hold no NUL):
            // equal keys, ordered by their exact bytes (equal paths as given).
            if ((items[a].low & 0xff) == 0) {
                std::sort(items.begin() + static_cast<std::ptrdiff_t>(a),
                          items.begin() + static_cast<std::ptrdiff_t>(b),
                          [&paths](const Item& x, const Item& y) {
                              const std::string_view px = paths[x.index], py = paths[y.index];
                              return px != py ? px < py : x.index < y.index;
                          });
            } else {
                SortRun(items, a, b, depth + 16, paths);
            }
        }
        a = b;
    }
}

} // namespace

std::vector<uint32_t> CatalogueOrder(const std::vector<std::string_view>& paths) {
    std::vector<Item> items(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        items[i].index = static_cast<uint32_t>(i);
    // Windows start after the part every key shares (a common picture folder).
    size_t common = paths.empty() ? 0 : paths[0].size();
    for (size_t i = 1; i < paths.size() && common > 0; ++i) {
        size_t n = 0;
        while (n < common && UpperByte(paths[i], n) == UpperByte(paths[0], n) &&
               n < paths[i].size())
            ++n;
        common = n;
    }
    SortRun(items, 0, items.size(), common, paths);
    std::vector<uint32_t> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
    return order;
}

} // namespace lumidex
