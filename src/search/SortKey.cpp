#include "SortKey.h"

#include "Paths.h"

#include <cstdio>

namespace lumidex {

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Newer and larger first; a value never measured (-1) gives 2147483648 and so sorts after
// every real one instead of overflowing.
std::string Descending(int32_t value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%10.10lld", 2147483647LL - static_cast<long long>(value));
    return buf;
}
} // namespace

std::string SmartName(std::string_view name) {
    size_t start = 0;
    while (start < name.size() && !IsDigit(name[start]))
        ++start;
    if (start == name.size()) return std::string(name);
    size_t end = start;
    while (end < name.size() && IsDigit(name[end]))
        ++end;
    // The value of the run, written without leading zeros and padded to six digits; a run
    // too long for any integer type keeps all its significant digits the same way.
    size_t first = start;
    while (first + 1 < end && name[first] == '0')
        ++first;
    std::string_view digits = name.substr(first, end - first);
    std::string out(name.substr(0, start));
    if (digits.size() < 6) out.append(6 - digits.size(), '0');
    out += digits;
    out += name.substr(end);
    return out;
}

std::string SortKeyOf(const Pdata& e, const SortKeySetting& s) {
    switch (s.order) {
    case SortOrder::byName: {
        std::string_view name = paths::FileName(e.path);
        return s.smart ? SmartName(name) : std::string(name);
    }
    case SortOrder::byPathname: {
        if (!s.smart) return e.path;
        std::string key(paths::FolderPart(e.path));
        key += ' ';
        key += SmartName(paths::FileName(e.path));
        return key;
    }
    case SortOrder::RadioButtonbyDate:
        return Descending(e.fileTime);
    case SortOrder::RadioButtonbySize:
    case SortOrder::bySimilarity:
        return Descending(e.fileSize);
    }
    return std::string(paths::FileName(e.path));
}

} // namespace lumidex
