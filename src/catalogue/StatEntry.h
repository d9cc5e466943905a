#pragma once

#include "FileStatus.h"
#include "Pdata.h"

#include <string>

namespace lumidex {

class SharedState;

// File status of an entry's file, remembering the last path that was examined successfully:
// asking again for that path returns at once and leaves status as it was.
class StatCache {
public:
    // 0 on success, -1 when the file cannot be examined. An entry whose size was never taken
    // gets the size and time now, and the catalogue is marked changed.
    int StatEntry(FileStatus& status, Pdata& entry, SharedState& state);
    void Forget() { lastPath_.clear(); }

private:
    std::string lastPath_;
};

} // namespace lumidex
