#pragma once

#include "Options.h"
#include "Pdata.h"

#include <string>
#include <string_view>

namespace lumidex {

// The file name with its first run of digits widened to at least six digits, so that
// img7.jpg sorts before img12.jpg.
std::string SmartName(std::string_view name);

// Which key the lists sort by: fixed by SelectSortKey until its next call.
struct SortKeySetting {
    SortOrder order = SortOrder::byName;
    bool smart = false;
};

std::string SortKeyOf(const Pdata& entry, const SortKeySetting& setting);

} // namespace lumidex
