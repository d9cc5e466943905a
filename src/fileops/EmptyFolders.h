#pragma once

#include "FileSystem.h"

#include <string>

namespace lumidex {

// Moves folder to the trash when it holds no file (with recurse, when its sub-folders are
// empty in turn, which go first). A link counts as a file and is never followed, so a link
// loop cannot lead the walk astray. Returns the number of folders trashed.
int RemoveEmptyFolders(FileSystem& fs, const std::string& folder, bool recurse);

} // namespace lumidex
