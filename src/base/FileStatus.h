#pragma once

#include <cstdint>
#include <string>

namespace lumidex {

struct FileStatus {
    bool exists = false;
    bool isFolder = false;
    int64_t size = 0;
    int64_t modified = 0; // seconds since 1970-01-01 UTC
};

// The status of the file at path; exists is false when it cannot be examined.
FileStatus GetFileStatus(const std::string& path);

// Whether path names an existing regular file.
bool IsExistingFile(const std::string& path);

// The path with every existing component in the form the file system stores it. A path the
// file system does not find comes back unchanged.
std::string ExpandLongPath(const std::string& path);

} // namespace lumidex
