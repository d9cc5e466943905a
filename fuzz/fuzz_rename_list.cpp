// The rename list reader on hostile text: whatever it accepts holds only valid new names.
#include "FileNames.h"
#include "Paths.h"
#include "RenameList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto lines = lumidex::ParseRenameList(text);
    if (!lines) return 0;
    for (const lumidex::RenameLine& line : *lines) {
        std::string_view name = lumidex::paths::FileName(line.newPath);
        if (!lumidex::IsValidFileName(name)) std::abort();
        if (lumidex::paths::FolderPart(line.newPath) != lumidex::paths::FolderPart(line.oldPath))
            std::abort();
    }
    return 0;
}
