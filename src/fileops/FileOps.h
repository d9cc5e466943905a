#pragma once

#include "Catalogue.h"
#include "FileSystem.h"
#include "FolderList.h"
#include "Lists.h"
#include "Options.h"
#include "SharedState.h"

#include <string>
#include <utility>
#include <vector>

namespace lumidex {

// The pieces of the open catalogue that the file commands change, and the disk they act on.
// The Workspace hands them out (Workspace::FileOpsParts); tests build their own.
struct FileOpsParts {
    SharedState& state;
    Catalogue& catalogue;
    Lists& lists;
    Options& options;
    lumidex::FolderList& folders;
    FileSystem& fs;
};

// The three answers to a name collision.
enum class Collision { Skip, OverWrite, Rename };

// What the collision query shows: the two files and the proposal.
struct CollisionQuery {
    std::string source;
    std::string destination;
    FileInfo sourceInfo;
    FileInfo destinationInfo;
    std::string proposedName; // a free name in the destination folder ("a_1.jpg")
    Collision proposal = Collision::Rename;
};

struct CollisionReply {
    bool cancelled = false;
    Collision answer = Collision::Skip;
    std::string newName;       // with Rename: the name and extension, no folder
    bool useAsDefault = false; // the user ticked "Use as Default" (Skip and OverWrite only)
    bool okToAll = false;      // confirmed with Shift held: "Ok to All"
};

// The collision query: TQueryDialog in the window, a script in tests.
class CollisionAsker {
public:
    virtual ~CollisionAsker() = default;
    virtual CollisionReply Ask(const CollisionQuery& query) = 0;
};

// The rename dialog: fills name (without extension) and returns true on OK. message is empty
// or "File already Exists!" after a refused name.
class RenameAsker {
public:
    virtual ~RenameAsker() = default;
    virtual bool AskNewName(std::string& name, const std::string& extension,
                            const std::string& message) = 0;
};

// Whether source and the folder lie on one file system (the old "same drive").
bool SameFileSystem(FileSystem& fs, const std::string& source, const std::string& folder);

// Copy tracking applies: TrackMoveCopy on, and SameDriveOnly off or the same file system.
bool Tracking(const Options& options, bool sameFileSystem);

// Gives entries new paths and moves them to their new places in the catalogue, all in one
// pass (a path change per entry would move the catalogue's items once per entry).
void RekeyEntries(Catalogue& catalogue, const std::vector<std::pair<Pdata*, std::string>>& moves);

// Puts new entries into the catalogue in key order (cheap in a large catalogue), and, under
// "All", into the reference list.
void InsertEntries(FileOpsParts& parts, std::vector<std::unique_ptr<Pdata>> entries);

} // namespace lumidex
