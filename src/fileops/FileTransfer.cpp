#include "FileTransfer.h"

#include "FileNames.h"
#include "Paths.h"

#include <cerrno>

namespace lumidex {

namespace {
int CopyToStaging(FileSystem& fs, const std::string& from, const std::string& folder,
                  StagedFile& staged) {
    staged.path = StagingPath(fs, folder, paths::FileName(from));
    staged.copied = true;
    int error = fs.CopyFile(from, staged.path);
    if (error) {
        // Whatever a failed copy left behind is ours: it never held a file of the user.
        fs.Unlink(staged.path);
        staged.path.clear();
        return error;
    }
    FileInfo source, copy;
    if (fs.Stat(from, source) != 0 || fs.Stat(staged.path, copy) != 0 || source.size != copy.size) {
        fs.Unlink(staged.path);
        staged.path.clear();
        return EIO;
    }
    return 0;
}
} // namespace

int StageFile(FileSystem& fs, const std::string& from, const std::string& folder,
              StagedFile& staged) {
    staged = {};
    std::string path = StagingPath(fs, folder, paths::FileName(from));
    int error = fs.Rename(from, path, false);
    if (error == 0) {
        staged.path = path;
        return 0;
    }
    if (error != EXDEV) return error;
    return CopyToStaging(fs, from, folder, staged);
}

void Unstage(FileSystem& fs, const std::string& from, StagedFile& staged) {
    if (staged.path.empty()) return;
    if (staged.copied)
        fs.Unlink(staged.path);
    else
        fs.Rename(staged.path, from, false);
    staged.path.clear();
}

int PublishStaged(FileSystem& fs, const std::string& from, StagedFile& staged,
                  const std::string& to, bool replace, bool removeSource) {
    int error = fs.Rename(staged.path, to, replace);
    if (error) {
        Unstage(fs, from, staged);
        return error;
    }
    staged.path.clear();
    // The complete copy now stands in place of the source.
    if (staged.copied && removeSource) fs.Unlink(from);
    return 0;
}

int CopyFileTo(FileSystem& fs, const std::string& from, const std::string& to, bool replace) {
    StagedFile staged;
    if (int error = CopyToStaging(fs, from, paths::ParentOf(to), staged)) return error;
    return PublishStaged(fs, from, staged, to, replace, false);
}

int MoveFileTo(FileSystem& fs, const std::string& from, const std::string& to, bool replace) {
    int error = fs.Rename(from, to, replace);
    if (error != EXDEV) return error;
    StagedFile staged;
    if (int error = CopyToStaging(fs, from, paths::ParentOf(to), staged)) return error;
    return PublishStaged(fs, from, staged, to, replace, true);
}

} // namespace lumidex
