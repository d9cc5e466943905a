#include "StatEntry.h"

#include "SharedState.h"

namespace lumidex {

int StatCache::StatEntry(FileStatus& status, Pdata& entry, SharedState& state) {
    if (!lastPath_.empty() && entry.path == lastPath_) return 0;
    FileStatus now = GetFileStatus(entry.path);
    if (!now.exists) {
        lastPath_.clear();
        return -1;
    }
    status = now;
    if (entry.fileSize == -1) {
        entry.fileSize = StoredFileValue(now.size);
        entry.fileTime = StoredFileValue(now.modified);
        state.MarkDataChanged();
    }
    lastPath_ = entry.path;
    return 0;
}

} // namespace lumidex
