#include "FolderDialogRules.h"

#include "Paths.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <filesystem>

namespace lumidex {

namespace {
const DirSelMode kModes[] = {
    {0, "Select Folder", DirSelPage::ImageRead, false},
    {1, "Copy To...", DirSelPage::CopyMove, false},
    {2, "Move To...", DirSelPage::CopyMove, false},
    {3, "Susie Plugin Folder", DirSelPage::CopyMove, false},
    {4, "ChangeTO Folder", DirSelPage::CopyMove, false},
    {6, "Select Folder", DirSelPage::CopyMove, true},
};

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// Whether folder lies in or is place (component-wise, so "/media/a" holds not "/media/ab").
bool Holds(const std::string& place, const std::string& folder) {
    if (folder == place) return true;
    const std::string prefix = paths::WithTrailingDelimiter(place);
    return folder.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

const DirSelMode* FindDirSelMode(int mode) {
    for (const DirSelMode& m : kModes)
        if (m.mode == mode) return &m;
    return nullptr;
}

bool MoveToDatabaseFolderEnabled(const std::string& databaseFolder,
                                 const std::string& currentFolder) {
    // At the root the current folder already ends with the delimiter.
    return !databaseFolder.empty() && databaseFolder != paths::WithTrailingDelimiter(currentFolder);
}

bool IsValidNewFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '\0' || paths::IsDelimiter(c); });
}

std::string NearestExistingFolder(const std::string& folder, const std::string& home,
                                  const std::function<bool(const std::string&)>& exists) {
    auto is = [&](const std::string& f) { return exists ? exists(f) : IsFolder(f); };
    std::string f = folder;
    while (!f.empty() && paths::IsDelimiter(f.front())) {
        if (is(f)) return f;
        std::string parent = paths::ParentOf(f);
        if (parent == f || parent.empty()) break;
        f = parent;
    }
    return home;
}

std::string FileFolder(const std::string& path) {
    return paths::ParentOf(path);
}

bool IsUserVolume(const std::string& rootPath, const std::string& fsType) {
    if (rootPath.empty() || rootPath == "/") return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/run/user", "/snap", "/boot/efi"})
        if (Holds(system, rootPath)) return false;
    static const char* const pseudo[] = {
        "tmpfs",   "devtmpfs",  "proc",     "sysfs",       "cgroup", "cgroup2",
        "devpts",  "mqueue",    "squashfs", "overlay",     "ramfs",  "efivarfs",
        "autofs",  "debugfs",   "tracefs",  "securityfs",  "pstore", "bpf",
        "fusectl", "hugetlbfs", "configfs", "binfmt_misc", "nsfs",   "rpc_pipefs"};
    return std::find(std::begin(pseudo), std::end(pseudo), fsType) == std::end(pseudo);
}

std::vector<Place> BuildPlaces(const std::string& home, const std::vector<MountedVolume>& volumes) {
    std::vector<Place> places;
    if (!home.empty() && home != "/") places.push_back({home + " (Home)", home});
    places.push_back({"/", "/"});
    for (const MountedVolume& v : volumes) {
        if (!IsUserVolume(v.rootPath, v.fsType)) continue;
        if (std::any_of(places.begin(), places.end(),
                        [&](const Place& p) { return p.path == v.rootPath; }))
            continue;
        std::string label = v.rootPath;
        if (!v.name.empty() && v.name != paths::FileName(v.rootPath)) label += " [" + v.name + "]";
        places.push_back({label, v.rootPath});
    }
    return places;
}

std::vector<Place> SystemPlaces() {
    std::vector<MountedVolume> volumes;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady()) continue;
        volumes.push_back({QFile::encodeName(s.rootPath()).toStdString(),
                           s.fileSystemType().toStdString(), s.name().toStdString()});
    }
    return BuildPlaces(QFile::encodeName(QDir::homePath()).toStdString(), volumes);
}

int PlaceOf(const std::vector<Place>& places, const std::string& folder) {
    int best = -1;
    for (size_t i = 0; i < places.size(); ++i)
        if (Holds(places[i].path, folder) &&
            (best < 0 || places[i].path.size() > places[static_cast<size_t>(best)].path.size()))
            best = static_cast<int>(i);
    return best;
}

} // namespace lumidex
