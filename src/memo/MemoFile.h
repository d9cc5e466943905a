#pragma once

#include "DataManage.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

inline constexpr const char* kMemoFileFailed = "Couldn't read Memo file.";
// A memo file holds names of groups and memos; anything larger is not one.
inline constexpr size_t kMaxMemoFileBytes = 16u << 20;

// The memo file (".l2m"): one quoted pair per line, the groups (name, id), a separator of two
// empty fields, the memo slots (text, group id; -1 for a blank slot), a closing separator.
// Quotes inside texts are doubled, so that every text comes back unchanged.
std::string BuildMemoFile(const DataManage& memos);

// Splits a line into fields: separated by commas or blanks outside quotes; a quoted field may
// hold both, and two quotes inside it stand for one.
std::vector<std::string> SplitCommaText(std::string_view line);

// Adds the groups of a memo file as new groups (ids shifted above every id in use, names made
// unique) and its memos into them. False, adding nothing, when a line cannot be read. A memo
// whose group id names no group of the file is left out and counted in skipped.
bool ReadMemoFile(DataManage& memos, std::string_view content, int* skipped = nullptr);

// Reported after an import that left memos out.
std::string SkippedMemoLinesMessage(int skipped);

} // namespace lumidex
