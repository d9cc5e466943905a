#include "Paths.h"

namespace lumidex::paths {

namespace {
inline unsigned char Upper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

size_t LastDelimiter(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsDelimiter(path[i - 1])) return i - 1;
    return std::string_view::npos;
}
} // namespace

bool IsDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string_view FolderPart(std::string_view path) {
    size_t d = LastDelimiter(path);
    return d == std::string_view::npos ? std::string_view{} : path.substr(0, d + 1);
}

std::string_view FileName(std::string_view path) {
    size_t d = LastDelimiter(path);
    return d == std::string_view::npos ? path : path.substr(d + 1);
}

std::string_view Extension(std::string_view path) {
    std::string_view name = FileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string ParentOf(std::string_view path) {
    std::string_view folder = FolderPart(path);
    if (folder.size() > 1) folder.remove_suffix(1);
    return std::string(folder);
}

std::string Join(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !IsDelimiter(out.back())) out += kDelimiter;
    while (!name.empty() && IsDelimiter(name.front()))
        name.remove_prefix(1);
    out += name;
    return out;
}

std::string WithTrailingDelimiter(std::string folder) {
    if (folder.empty() || !IsDelimiter(folder.back())) folder += kDelimiter;
    return folder;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string UpperKey(std::string_view path) {
    std::string key(path);
    for (char& c : key)
        c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
    return key;
}

int CompareUpper(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = Upper(static_cast<unsigned char>(a[i]));
        unsigned char cb = Upper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SamePath(std::string_view a, std::string_view b) {
    if constexpr (kCaseSensitive) return a == b;
    return CompareUpper(a, b) == 0;
}

bool SameFolder(std::string_view a, std::string_view b) {
    return SamePath(FolderPart(a), FolderPart(b));
}

} // namespace lumidex::paths
