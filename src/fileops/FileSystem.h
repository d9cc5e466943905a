#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumidex {

// What the file operations learn about one path. The identity (device and inode) tells
// whether two names lead to the same file, whatever links or mounts stand between them.
struct FileInfo {
    bool exists = false;
    bool isFolder = false;
    bool isLink = false; // the name itself is a symbolic link (not followed)
    int64_t size = 0;
    int64_t modified = 0; // seconds since 1970-01-01 UTC
    uint64_t device = 0;
    uint64_t inode = 0;
    bool SameFileAs(const FileInfo& other) const {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

struct FolderItem {
    std::string name;
    bool isFolder = false; // a real folder; a link to a folder counts as a file
};

// Every change the file operations make on disk goes through this port, so that tests can
// replace it and make any step fail. Functions return 0 or an errno value.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Follows links, except that a dangling link still exists (as a link).
    virtual int Stat(const std::string& path, FileInfo& info) = 0;
    // Copies a regular file to a new name (never replacing one), with its mode and file
    // time, flushed to disk. A failed copy leaves nothing at to.
    virtual int CopyFile(const std::string& from, const std::string& to) = 0;
    // Renames within one file system; with replace off an existing name is never replaced
    // (EEXIST). EXDEV when the two lie on different file systems.
    virtual int Rename(const std::string& from, const std::string& to, bool replace) = 0;
    // Moves a file or folder to the desktop trash; trashedAt receives its place there.
    virtual int Trash(const std::string& path, std::string& trashedAt) = 0;
    // Brings a file back from the trash to where it was.
    virtual int Restore(const std::string& trashedAt, const std::string& path) = 0;
    // Removes a file for good: only ever a file the operations made themselves (a staged
    // copy) or a source that a complete copy now replaces.
    virtual int Unlink(const std::string& path) = 0;
    virtual int MakeFolders(const std::string& path) = 0;
    virtual int List(const std::string& folder, std::vector<FolderItem>& items) = 0;
    // Free bytes for the user on the file system of path, or -1.
    virtual int64_t FreeSpace(const std::string& path) = 0;
    // Whether the user may write to path (a file, or a folder to change its names).
    virtual bool Writable(const std::string& path) = 0;
};

// The port over the real disk.
class RealFileSystem : public FileSystem {
public:
    int Stat(const std::string& path, FileInfo& info) override;
    int CopyFile(const std::string& from, const std::string& to) override;
    int Rename(const std::string& from, const std::string& to, bool replace) override;
    int Trash(const std::string& path, std::string& trashedAt) override;
    int Restore(const std::string& trashedAt, const std::string& path) override;
    int Unlink(const std::string& path) override;
    int MakeFolders(const std::string& path) override;
    int List(const std::string& folder, std::vector<FolderItem>& items) override;
    int64_t FreeSpace(const std::string& path) override;
    bool Writable(const std::string& path) override;
};

// Whether the error means the file is not there (as opposed to not readable).
bool IsMissingError(int error);

} // namespace lumidex
