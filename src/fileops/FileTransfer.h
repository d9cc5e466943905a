#pragma once

#include "FileSystem.h"

#include <string>

namespace lumidex {

// A file placed under a hidden name in its destination folder, not yet published.
struct StagedFile {
    std::string path;
    bool copied = false; // across file systems: the source is still there
};

// Puts the file at from under a staging name in folder: a rename on one file system, else a
// complete, flushed copy. Returns 0 or an errno value; a failure leaves nothing staged.
int StageFile(FileSystem& fs, const std::string& from, const std::string& folder,
              StagedFile& staged);
// Undoes StageFile: the file goes back to from, or the copy is dropped.
void Unstage(FileSystem& fs, const std::string& from, StagedFile& staged);
// Gives the staged file its name (replacing a file there only with replace on) and, for a
// copy made in place of a move, removes the source. Unstages on failure.
int PublishStaged(FileSystem& fs, const std::string& from, StagedFile& staged,
                  const std::string& to, bool replace, bool removeSource);

// Copy and move of one file. An existing destination is replaced only with replace on, and
// then in one step: the new file is complete under another name before it takes the name.
int CopyFileTo(FileSystem& fs, const std::string& from, const std::string& to, bool replace);
int MoveFileTo(FileSystem& fs, const std::string& from, const std::string& to, bool replace);

} // namespace lumidex
