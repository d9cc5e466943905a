#pragma once

#include "FileOps.h"

#include <string>
#include <vector>

namespace lumidex {

// "Disk free : N bytes. D bytes freed."
std::string FreeSpaceLine(int64_t before, int64_t after);

// Merges the memos of two entries both ways, so that the one kept carries the other's.
void SynchronizeMemos(Pdata& a, Pdata& b);

// Moves the files of the entries to the trash and drops the entries whose file went, in one
// pass over the lists and the catalogue. A file that cannot go to the trash is reported
// ("Delete failed:" and its path) and keeps its entry. Returns the number that failed.
int RecycleEntryFiles(FileOpsParts& parts, const std::vector<Pdata*>& entries);

// "&Delete Target": asks (ConfirmDelete), trashes every selected target, works off the
// re-check queue and shows the free-space line. False when not confirmed or a delete failed.
bool DeleteSelectedTargets(FileOpsParts& parts);
// "De&lete Reference".
bool DeleteReference(FileOpsParts& parts);

// Renames one entry's file in its folder through the rename dialog; the entry follows
// (TrackMoveCopy) or leaves the catalogue. Returns the entry, or null when cancelled or
// failed. cancelled is set when the user cancelled.
Pdata* RenameEntryFile(FileOpsParts& parts, Pdata& entry, RenameAsker& asker,
                       bool* cancelled = nullptr);
// "&Rename Target...": one dialog per selected target; Cancel ends the command.
void RenameSelectedTargets(FileOpsParts& parts, RenameAsker& asker);
// "Rename" of the reference.
void RenameReference(FileOpsParts& parts, RenameAsker& asker);

// "Overwrite Move Ref -> Targ" (referenceOntoTarget) and "Overwrite Move Ref <- Targ". The
// moving file is staged beside the replaced one before that goes to the trash, and the
// replaced file comes back from the trash when the last step fails. True when done.
bool OverwriteMove(FileOpsParts& parts, bool referenceOntoTarget);

} // namespace lumidex
