#include "FileNames.h"

#include "Paths.h"

#include <QDir>

#include <atomic>
#include <unistd.h>

namespace lumidex {

bool IsValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
    for (char c : name)
        if (c == '\0' || paths::IsDelimiter(c)) return false;
    return true;
}

std::string StagingPath(FileSystem& fs, const std::string& folder, std::string_view name) {
    static std::atomic<unsigned> counter{0};
    // Keep within the 255-byte name limit whatever the original name's length.
    std::string_view shortName = name.substr(0, 180);
    for (;;) {
        std::string candidate =
            paths::Join(folder, ".lumidex2-" + std::to_string(::getpid()) + "-" +
                                    std::to_string(counter++) + "-" + std::string(shortName));
        FileInfo info;
        if (IsMissingError(fs.Stat(candidate, info))) return candidate;
    }
}

std::string ProposedName(FileSystem& fs, const std::string& folder, std::string_view fileName) {
    std::string_view extension = paths::Extension(fileName);
    std::string_view stem = fileName.substr(0, fileName.size() - extension.size());
    for (int n = 1;; ++n) {
        std::string name = std::string(stem) + "_" + std::to_string(n) + std::string(extension);
        FileInfo info;
        if (IsMissingError(fs.Stat(paths::Join(folder, name), info))) return name;
    }
}

std::string NormalisedFolder(std::string_view folder) {
    QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(
        QString::fromUtf8(folder.data(), static_cast<qsizetype>(folder.size()))));
    return clean.toStdString();
}

bool IsSameOrInside(const std::string& folder, const std::string& ancestor) {
    if (folder == ancestor) return true;
    std::string prefix = paths::WithTrailingDelimiter(ancestor);
    return folder.compare(0, prefix.size(), prefix) == 0;
}

} // namespace lumidex
