#pragma once

#include "FileSystem.h"

#include <string>
#include <string_view>

namespace lumidex {

// Whether a name typed or read from a file may become a file name: not empty, not "." or "..",
// no delimiter or NUL, at most 255 bytes.
bool IsValidFileName(std::string_view name);

// A name in folder that nothing uses, for a file being written before it takes its real
// name; hidden, and tied to this process so that two programs never pick the same.
std::string StagingPath(FileSystem& fs, const std::string& folder, std::string_view name);

// The first name + "_" + n + extension (n = 1, 2, ...) that does not exist in folder.
std::string ProposedName(FileSystem& fs, const std::string& folder, std::string_view fileName);

// An absolute folder without "." and ".." steps or a trailing delimiter ("/" for the root).
std::string NormalisedFolder(std::string_view folder);

// Whether folder equals ancestor or lies below it (both normalised).
bool IsSameOrInside(const std::string& folder, const std::string& ancestor);

} // namespace lumidex
