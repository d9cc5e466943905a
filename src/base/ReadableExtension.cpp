#include "ReadableExtension.h"

namespace lumidex {

namespace {
std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}
} // namespace

bool IsReadableExtension(std::string_view extension, std::string_view patterns) {
    if (extension.empty()) return false;
    std::string ext = Lower(extension);
    std::string all = Lower(patterns);
    size_t at = all.find(ext);
    if (at == std::string::npos) return false;
    if (ext.size() >= 4) return true;
    size_t after = at + ext.size();
    return after == all.size() || all[after] == ';';
}

} // namespace lumidex
