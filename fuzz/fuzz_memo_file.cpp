// The memo file reader on hostile text; what an import leaves must export and import again.
#include "MemoFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumidex::DataManage memos;
    lumidex::ReadMemoFile(memos, std::string_view(reinterpret_cast<const char*>(data), size));
    lumidex::DataManage again;
    if (!lumidex::ReadMemoFile(again, lumidex::BuildMemoFile(memos))) {
        // Only texts with line breaks or NUL bytes cannot travel in a line of the file.
        for (const auto& g : memos.Groups())
            if (g.name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return 0;
        for (const auto& s : memos.Slots())
            if (s.text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return 0;
        std::abort();
    }
    return 0;
}
