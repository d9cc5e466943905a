#include "ActionRules.h"

#include "Paths.h"
#include "Pdata.h"

namespace lumidex {

bool IsReadOnlyForNameChange(FileSystem& fs, const std::string& path) {
    return !fs.Writable(paths::ParentOf(path));
}

bool IsReadOnlyForRewrite(FileSystem& fs, const std::string& path) {
    return !fs.Writable(path);
}

FileActionState FileActionsFor(FileSystem& fs, const Pdata* entry) {
    FileActionState state;
    FileInfo info;
    if (!entry || fs.Stat(entry->path, info) != 0 || info.isFolder) return state;
    state.exists = state.copy = true;
    state.moveDeleteRename = !IsReadOnlyForNameChange(fs, entry->path);
    return state;
}

bool OverwriteMoveEnabled(FileSystem& fs, const Pdata* reference, const Pdata* target) {
    if (!reference || !target) return false;
    FileInfo a, b;
    if (fs.Stat(reference->path, a) != 0 || fs.Stat(target->path, b) != 0) return false;
    return paths::LowerAscii(paths::Extension(reference->path)) ==
           paths::LowerAscii(paths::Extension(target->path));
}

} // namespace lumidex
