#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace lumidex {

// The bytes that reading path for analysis holds at its peak (the picture and the decoder's
// own buffers), from the file's header alone. Zero when the reader will refuse the file
// before it allocates anything (no decoder for the extension, a header it cannot read);
// nullopt when the header says nothing about the size (a plug-in reads the file).
std::optional<size_t> AnalysisBytes(const std::string& path);

} // namespace lumidex
