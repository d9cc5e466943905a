#include "FaultyFileSystem.h"

#include "Paths.h"

#include <cerrno>
#include <fstream>
#include <iterator>

namespace lumidex {

void FaultyFileSystem::Fail(Op op, int error, std::function<bool(const std::string&)> matches) {
    rules_.push_back({op, error, std::move(matches), false});
}

void FaultyFileSystem::FailOnce(Op op, int error, std::function<bool(const std::string&)> matches) {
    rules_.push_back({op, error, std::move(matches), true});
}

int FaultyFileSystem::calls(Op op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

int FaultyFileSystem::Check(Op op, const std::string& path) {
    ++calls_[op];
    if (before) before(op, path);
    for (auto it = rules_.begin(); it != rules_.end(); ++it) {
        if (it->op != op || (it->matches && !it->matches(path))) continue;
        int error = it->error;
        if (it->once) rules_.erase(it);
        return error;
    }
    return 0;
}

bool FaultyFileSystem::InReadOnlyFolder(const std::string& path) {
    return !Writable(paths::ParentOf(path));
}

int FaultyFileSystem::Stat(const std::string& path, FileInfo& info) {
    if (int e = Check(Op::Stat, path)) {
        info = {};
        return e;
    }
    return RealFileSystem::Stat(path, info);
}

int FaultyFileSystem::CopyFile(const std::string& from, const std::string& to) {
    if (int e = Check(Op::Copy, from)) return e;
    if (InReadOnlyFolder(to)) return EACCES;
    if (diskFull) {
        std::ifstream in(from, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream out(to, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
        return ENOSPC;
    }
    return RealFileSystem::CopyFile(from, to);
}

int FaultyFileSystem::Rename(const std::string& from, const std::string& to, bool replace) {
    if (int e = Check(Op::Rename, from)) return e;
    if (InReadOnlyFolder(from) || InReadOnlyFolder(to)) return EACCES;
    if (crossDevice && paths::FolderPart(from) != paths::FolderPart(to)) return EXDEV;
    return RealFileSystem::Rename(from, to, replace);
}

int FaultyFileSystem::Trash(const std::string& path, std::string& trashedAt) {
    if (int e = Check(Op::Trash, path)) return e;
    if (InReadOnlyFolder(path)) return EACCES;
    return RealFileSystem::Trash(path, trashedAt);
}

int FaultyFileSystem::Restore(const std::string& trashedAt, const std::string& path) {
    if (int e = Check(Op::Restore, path)) return e;
    // The trash lies in another folder: a restore is no cross-device rename in the tests.
    bool saved = crossDevice;
    crossDevice = false;
    int e = RealFileSystem::Restore(trashedAt, path);
    crossDevice = saved;
    return e;
}

int FaultyFileSystem::Unlink(const std::string& path) {
    if (int e = Check(Op::Unlink, path)) return e;
    if (InReadOnlyFolder(path)) return EACCES;
    return RealFileSystem::Unlink(path);
}

int FaultyFileSystem::MakeFolders(const std::string& path) {
    if (int e = Check(Op::MakeFolders, path)) return e;
    return RealFileSystem::MakeFolders(path);
}

int FaultyFileSystem::List(const std::string& folder, std::vector<FolderItem>& items) {
    if (int e = Check(Op::List, folder)) return e;
    return RealFileSystem::List(folder, items);
}

int64_t FaultyFileSystem::FreeSpace(const std::string& path) {
    return freeSpace >= 0 ? freeSpace : RealFileSystem::FreeSpace(path);
}

bool FaultyFileSystem::Writable(const std::string& path) {
    auto trim = [](std::string p) {
        while (p.size() > 1 && p.back() == '/')
            p.pop_back();
        return p;
    };
    for (const std::string& r : readOnly)
        if (trim(r) == trim(path)) return false;
    return RealFileSystem::Writable(path);
}

} // namespace lumidex
