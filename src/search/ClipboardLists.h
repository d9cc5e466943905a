#pragma once

#include "Lists.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// One entry as a line of a copied list: path (quoted when it holds a blank), size and date.
std::string ListLine(const Pdata& entry);
// "  +---" and the path of a similar entry.
std::string PairLine(const Pdata& entry);

// "Copy List to Clipboard(&E)": the reference list as list lines, each ended by CR LF.
std::string CopyListText(Lists& lists);
// "Copy &Pair List to Clipboard": each list line followed by the pair lines of its similar
// entries (the target fill without its region pass).
std::string CopyPairListText(Lists& lists);

// Lines of a text split at CR LF, CR or LF, NUL bytes kept.
std::vector<std::string> SplitTextLines(std::string_view text);
// The same line by line, without copies; and how many lines there are.
void ForEachTextLine(std::string_view text, const std::function<void(std::string_view)>& take);
size_t CountTextLines(std::string_view text);
// The same for clipboard text, which ends at its first NUL.
std::vector<std::string> SplitLines(std::string_view text);
// The path a line names, by the comma-text rules; empty for a line to skip (empty, starting
// with a blank, or without fields).
std::string PathOfLine(std::string_view line);
// The same as a view into line, or into buffer for a quoted path.
std::string_view PathOfLine(std::string_view line, std::string& buffer);

// "Search List from &Clipboard" over a text: the reference list becomes the named entries.
void SearchListFromText(Lists& lists, std::string_view text);
// The longest path an entry may have (what the database file can store).
inline constexpr size_t kMaxImportPathLength = 1023;
// "&Import List from Clipboard" over a text: unknown paths become entries without a
// signature. Only absolute paths within the length limit are taken; other lines that name a
// path are skipped and reported (their count in skipped). Returns how many were made.
int ImportListFromText(Lists& lists, std::string_view text, int* skipped = nullptr);

} // namespace lumidex
