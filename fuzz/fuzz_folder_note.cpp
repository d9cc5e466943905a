// The folder note reader on hostile bytes: bounded, and what it reads writes back unchanged.
#include "FolderNote.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto lines = lumidex::ParseFolderNote(bytes);
    if (!lines) {
        if (size <= lumidex::kMaxFolderNoteBytes) std::abort();
        return 0;
    }
    auto again = lumidex::ParseFolderNote(lumidex::BuildFolderNote(*lines));
    if (!again || *again != *lines) std::abort();
    return 0;
}
