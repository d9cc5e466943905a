#pragma once

#include "FileOps.h"

#include <functional>
#include <string>
#include <vector>

namespace lumidex {

// "Search &Unlinked Data...": the entries whose file does not exist, in catalogue order. A
// file that exists but cannot be examined (no permission, a read error) is not missing.
// progress runs every 256 entries with the position; the search stops early on StopRequested.
// Marked as a long operation while it runs.
std::vector<Pdata*> FindUnlinkedEntries(FileOpsParts& parts,
                                        const std::function<void(int)>& progress = {});
// Drops the entries (the unlinked window's "Clear" and "Clear All").
void RemoveUnlinkedEntries(FileOpsParts& parts, const std::vector<Pdata*>& entries);

// One path change: an entry and its new path.
struct PathChange {
    Pdata* entry = nullptr;
    std::string oldPath;
    std::string newPath;
};

// "Change All File Path...": entries under from (with subFolders, at any depth; otherwise
// directly in it) whose file is gone and whose file exists under to, where the catalogue does
// not hold that path yet. Folders are compared exactly.
std::vector<PathChange> PlanPathChange(FileOpsParts& parts, const std::string& from,
                                       const std::string& to, bool subFolders);
// Applies the changes in one pass and shows "N/M Changed."; returns N.
int ApplyPathChange(FileOpsParts& parts, const std::vector<PathChange>& changes);
std::string ChangedText(int changed, int catalogueSize);

// "&Move Folder...": every file below from goes to the same relative path below to. A file
// whose destination exists stays where it is and is reported; the entries follow the moves
// actually made.
struct FolderMove {
    std::string source;
    std::string destination;
    std::string skipped; // why the file stays, or empty
};
struct FolderMovePlan {
    std::string from, to; // normalised
    std::string refusal;  // why the whole move is refused, or empty
    std::vector<FolderMove> files;
};
FolderMovePlan PlanFolderMove(FileOpsParts& parts, const std::string& from, const std::string& to);
// Returns the number of entries re-pointed.
int ApplyFolderMove(FileOpsParts& parts, const FolderMovePlan& plan);

// "Change Filename with CSV...": old paths are resolved before any entry changes, so swaps
// work. No file on disk is touched. Returns the number changed and shows
// "N FileName Changed.".
struct RenameLine;
int ApplyRenameList(FileOpsParts& parts, const std::vector<RenameLine>& lines);
// Reads, checks and applies a rename list; "ERROR:Invalid CSV" through the frame and -1 when
// the file cannot be read or is not valid (nothing is applied then).
int ChangeFilenamesWithCsv(FileOpsParts& parts, const std::string& csvPath);

} // namespace lumidex
