#include "FileSystem.h"

#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace lumidex {

bool IsMissingError(int error) {
    return error == ENOENT || error == ENOTDIR;
}

int RealFileSystem::Stat(const std::string& path, FileInfo& info) {
    info = {};
    struct stat st {};
    if (path.empty()) return ENOENT;
    if (::lstat(path.c_str(), &st) != 0) return errno;
    const bool link = S_ISLNK(st.st_mode);
    if (link) {
        struct stat target {};
        if (::stat(path.c_str(), &target) == 0) st = target;
    }
    info.exists = true;
    info.isLink = link;
    info.isFolder = S_ISDIR(st.st_mode);
    info.size = static_cast<int64_t>(st.st_size);
    info.modified = static_cast<int64_t>(st.st_mtime);
    info.device = static_cast<uint64_t>(st.st_dev);
    info.inode = static_cast<uint64_t>(st.st_ino);
    return 0;
}

namespace {
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

int CopyBytes(int in, int out) {
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += w;
        }
    }
}
} // namespace

int RealFileSystem::CopyFile(const std::string& from, const std::string& to) {
    Fd in;
    in.fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0) return errno;
    struct stat st {};
    if (::fstat(in.fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    Fd out;
    out.fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out.fd < 0) return errno;
    int error = CopyBytes(in.fd, out.fd);
    struct stat written {};
    if (!error && ::fstat(out.fd, &written) != 0) error = errno;
    if (!error && written.st_size != st.st_size) error = EIO; // the source changed meanwhile
    if (!error && ::fchmod(out.fd, st.st_mode & 07777) != 0) error = errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (!error && ::futimens(out.fd, times) != 0) error = errno;
    if (!error && ::fsync(out.fd) != 0) error = errno;
    if (!error && ::close(out.fd) != 0) error = errno;
    out.fd = -1;
    if (error) ::unlink(to.c_str());
    return error;
}

int RealFileSystem::Rename(const std::string& from, const std::string& to, bool replace) {
    if (replace) return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    int error = errno;
    if (error != EINVAL && error != ENOSYS) return error;
    // File systems without the flag: a hard link cannot replace a name either.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

namespace {
// The home trash of the freedesktop.org Trash specification, made when missing; empty when it
// cannot be. Qt falls back to a trash relative to the working folder when it finds none, so the
// file operations make sure of one first.
std::string HomeTrash() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    QString trash = base + QStringLiteral("/Trash");
    for (const char* sub : {"/files", "/info"}) {
        QString folder = trash + QString::fromLatin1(sub);
        if (!QDir().mkpath(folder) || ::access(folder.toLocal8Bit().constData(), W_OK) != 0)
            return {};
    }
    return trash.toStdString();
}
} // namespace

int RealFileSystem::Trash(const std::string& path, std::string& trashedAt) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno;
    if (HomeTrash().empty()) return EACCES;
    QString where;
    if (!QFile::moveToTrash(QString::fromStdString(path), &where)) return EACCES;
    if (!QDir::isAbsolutePath(where)) {
        // Not a trash at all: put the file back and say so.
        ::rename(where.toLocal8Bit().constData(), path.c_str());
        return EACCES;
    }
    trashedAt = where.toStdString();
    return 0;
}

int RealFileSystem::Restore(const std::string& trashedAt, const std::string& path) {
    int error = Rename(trashedAt, path, false);
    if (error) return error;
    // The trash's record of the file goes with it: files/NAME has info/NAME.trashinfo.
    std::string files = paths::ParentOf(trashedAt);
    std::string info = paths::Join(paths::ParentOf(files), "info");
    ::unlink(paths::Join(info, std::string(paths::FileName(trashedAt)) + ".trashinfo").c_str());
    return 0;
}

int RealFileSystem::Unlink(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int RealFileSystem::MakeFolders(const std::string& path) {
    if (QDir().mkpath(QString::fromStdString(path))) return 0;
    return EACCES;
}

int RealFileSystem::List(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return errno;
    while (dirent* e = ::readdir(dir)) {
        std::string name(e->d_name);
        if (name == "." || name == "..") continue;
        struct stat st {};
        bool isFolder = ::lstat(paths::Join(folder, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        items.push_back({std::move(name), isFolder});
    }
    ::closedir(dir);
    return 0;
}

int64_t RealFileSystem::FreeSpace(const std::string& path) {
    struct statvfs vfs {};
    if (::statvfs(path.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

bool RealFileSystem::Writable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

} // namespace lumidex
