#pragma once

#include <string>
#include <string_view>

namespace lumidex {

enum class SaveResult { Ok, CantCreate, WriteFailed };

// Writes bytes to path through a temporary file in the same folder that is flushed to disk and
// then renamed over the old file, so that a failure at any point leaves the old file as it was.
// A new file gets the permissions the umask allows; a replaced one keeps its own.
SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace lumidex
