#pragma once

#include "FileSystem.h"

#include <string>

namespace lumidex {

class Pdata;

// Linux has no read-only attribute. A file counts as read-only for commands that change its
// name (move, delete, rename) when its folder is not writable, and for commands that rewrite
// the file when the file itself is not writable.
bool IsReadOnlyForNameChange(FileSystem& fs, const std::string& path);
bool IsReadOnlyForRewrite(FileSystem& fs, const std::string& path);

// Enabling of one side's file commands.
struct FileActionState {
    bool exists = false;
    bool copy = false;             // copy
    bool moveDeleteRename = false; // move, delete, rename
};
FileActionState FileActionsFor(FileSystem& fs, const Pdata* entry);

// Both overwrite-moves: two entries, both files there, extensions equal ignoring case.
bool OverwriteMoveEnabled(FileSystem& fs, const Pdata* reference, const Pdata* target);

} // namespace lumidex
