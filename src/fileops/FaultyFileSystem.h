#pragma once

#include "FileSystem.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace lumidex {

// The real disk with faults on demand, for tests: an operation fails with an errno value for
// the paths a rule names, a copy can stop half-way as on a full disk, renames across folders
// can be refused as across file systems, and folders can look read-only (tests run as root).
class FaultyFileSystem : public RealFileSystem {
public:
    enum class Op { Stat, Copy, Rename, Trash, Restore, Unlink, MakeFolders, List };
    // Fails op with error when the rule says so for the first path of the call. A rule
    // without a path matcher matches every call.
    void Fail(Op op, int error, std::function<bool(const std::string&)> matches = {});
    void FailOnce(Op op, int error, std::function<bool(const std::string&)> matches = {});
    void Clear() { rules_.clear(); }
    // Copies write half of the file and then report ENOSPC, leaving the part on disk as a
    // careless copier would: the callers must clean up.
    bool diskFull = false;
    // Renames between different folders fail with EXDEV (a second file system).
    bool crossDevice = false;
    // Paths (folders or files) reported as not writable; names in such a folder cannot change.
    std::set<std::string> readOnly;
    // Free space to report, or -1 for the real figure.
    int64_t freeSpace = -1;
    // Runs before every operation with its first path (a test changes the disk from here).
    std::function<void(Op, const std::string&)> before;
    int calls(Op op) const;

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

private:
    struct Rule {
        Op op;
        int error;
        std::function<bool(const std::string&)> matches;
        bool once;
    };
    int Check(Op op, const std::string& path);
    // Changes of names in a folder listed in readOnly fail as they would for a user.
    bool InReadOnlyFolder(const std::string& path);
    std::vector<Rule> rules_;
    std::map<Op, int> calls_;
};

} // namespace lumidex
