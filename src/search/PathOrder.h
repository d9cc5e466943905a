#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace lumidex {

// The order in which paths stand in the catalogue (upper-cased key, then the exact bytes), as
// indexes into paths. Sorts by 16-byte windows of the keys held beside the indexes, so that a
// long list in any order is sorted without chasing every path on every comparison.
std::vector<uint32_t> CatalogueOrder(const std::vector<std::string_view>& paths);
// The same by the upper-cased key alone, equal keys in ascending order of their ranks (distinct),
// or as given without: the order of list rows.
std::vector<uint32_t> KeyOrder(const std::vector<std::string_view>& keys,
                               const std::vector<uint32_t>* ranks = nullptr);

} // namespace lumidex
