#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lumidex {

class Pdata;

// One item per folder run of the catalogue: an upper-case path whose folder part is the folder
// meant, and an entry of that folder. The entries belong to the catalogue.
using FolderList = std::vector<std::pair<std::string, Pdata*>>;

} // namespace lumidex
