#include "ReadableExtension.h"

#include "Paths.h"

namespace lumidex {

bool IsReadableExtension(std::string_view extension, std::string_view patterns) {
    if (extension.empty()) return false;
    std::string ext = paths::LowerAscii(extension);
    std::string all = paths::LowerAscii(patterns);
    size_t at = all.find(ext);
    if (at == std::string::npos) return false;
    if (ext.size() >= 4) return true;
    size_t after = at + ext.size();
    return after == all.size() || all[after] == ';';
}

} // namespace lumidex
