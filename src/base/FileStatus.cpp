#include "FileStatus.h"

#include "Paths.h"

#include <dirent.h>
#include <sys/stat.h>

namespace lumidex {

FileStatus GetFileStatus(const std::string& path) {
    FileStatus status;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return status;
    status.exists = true;
    status.isFolder = S_ISDIR(st.st_mode);
    status.size = static_cast<int64_t>(st.st_size);
    status.modified = static_cast<int64_t>(st.st_mtime);
    return status;
}

bool IsExistingFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {
// The name under which the folder lists name: the exact name when it is there, else the first
// one equal to it without regard to letter case (case-insensitive file systems).
std::string StoredName(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return name;
    std::string found = name;
    bool caseMatch = false;
    while (dirent* e = ::readdir(dir)) {
        std::string_view entry(e->d_name);
        if (entry == name) {
            found = name;
            caseMatch = false;
            break;
        }
        if (!caseMatch && paths::CompareUpper(entry, name) == 0) {
            found = std::string(entry);
            caseMatch = true;
        }
    }
    ::closedir(dir);
    return found;
}
} // namespace

std::string ExpandLongPath(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) return path;
    std::string name(paths::FileName(path));
    if (name.empty()) return path; // a root, or a path ending in a delimiter
    std::string parent = paths::ParentOf(path);
    if (parent.empty()) return StoredName(".", name);
    std::string expandedParent = parent == path ? parent : ExpandLongPath(parent);
    return paths::Join(expandedParent, StoredName(parent, name));
}

} // namespace lumidex
