#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// One line of a rename list: the file's old and new path (folder + name).
struct RenameLine {
    std::string oldPath;
    std::string newPath;
};

// Rename lists larger than this are refused unread.
inline constexpr size_t kMaxRenameListBytes = 64u << 20;

// The fields of one line: blanks before a field are skipped, a quoted field runs to its
// closing quote (a doubled quote stands for one), any other up to a comma or blank.
std::vector<std::string> SplitCsvLine(std::string_view line);

// The whole list, checked before anything is applied: the header line is ignored; every other
// non-empty line needs three fields and a valid new file name. nullopt when anything is wrong.
std::optional<std::vector<RenameLine>> ParseRenameList(std::string_view text);

// Reads and parses a file, refusing one over kMaxRenameListBytes.
std::optional<std::vector<RenameLine>> ReadRenameList(const std::string& path);

} // namespace lumidex
