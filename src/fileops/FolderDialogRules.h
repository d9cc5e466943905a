#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The folder and picture dialogs' rules that need no widgets.
namespace lumidex {

// The pages of the folder dialog below its folder list.
enum class DirSelPage { ImageRead, CopyMove };

// What a mode of the folder dialog shows.
struct DirSelMode {
    int mode;
    const char* caption;
    DirSelPage page;
    bool searchSubfolder; // the "Search Subfolder" check box is shown
};
// The mode's table row; nullptr for a number that is no mode.
const DirSelMode* FindDirSelMode(int mode);

// "Move to Database Folder" is offered when there is a database folder (with its trailing
// delimiter) and it is not the current folder already.
bool MoveToDatabaseFolderEnabled(const std::string& databaseFolder,
                                 const std::string& currentFolder);

// A name "Make Folder..." may create inside the current folder: one component, not "." or "..".
bool IsValidNewFolderName(std::string_view name);

// The folder itself when it exists, else its nearest existing parent, else home.
std::string NearestExistingFolder(const std::string& folder, const std::string& home,
                                  const std::function<bool(const std::string&)>& exists = {});

// The folder of a file without its trailing delimiter, "/" for a file in "/".
std::string FileFolder(const std::string& path);

// A place of the place selector (the drive selector of other systems).
struct Place {
    std::string label;
    std::string path;
    bool operator==(const Place&) const = default;
};
// A mounted file system worth offering: not the root, not a pseudo or system file system.
bool IsUserVolume(const std::string& rootPath, const std::string& fsType);
// Home, "/", then the user volumes among the mounted file systems (root path, type, name).
struct MountedVolume {
    std::string rootPath;
    std::string fsType;
    std::string name;
};
std::vector<Place> BuildPlaces(const std::string& home, const std::vector<MountedVolume>& volumes);
// The places of this system (QStorageInfo::mountedVolumes()).
std::vector<Place> SystemPlaces();
// Index of the place that holds folder: the longest place path that contains it; -1 if none.
int PlaceOf(const std::vector<Place>& places, const std::string& folder);

} // namespace lumidex
