#include "RenameList.h"

#include "FileNames.h"

#include <cstdint>
#include <fstream>

namespace lumidex {

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

std::vector<std::string> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    size_t i = 0;
    const size_t n = line.size();
    auto skipBlanks = [&] {
        while (i < n && IsBlank(line[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string field;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
        } else {
            while (i < n && line[i] != ',' && !IsBlank(line[i]))
                field += line[i++];
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < n && line[i] == ',') {
            ++i;
            skipBlanks();
            // A comma at the end still separates an empty last field.
            if (i >= n) fields.emplace_back();
        } else if (i < n) {
            // Text after a field without a comma: what the scanner sees as the next field.
            continue;
        }
    }
    return fields;
}

std::optional<std::vector<RenameLine>> ParseRenameList(std::string_view text) {
    if (text.size() > kMaxRenameListBytes) return std::nullopt;
    std::vector<RenameLine> lines;
    size_t start = 0;
    bool header = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (header) {
            header = false;
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        std::vector<std::string> f = SplitCsvLine(line);
        if (f.size() < 3 || !IsValidFileName(f[2]) || !IsValidFileName(f[0])) return std::nullopt;
        lines.push_back({f[1] + f[0], f[1] + f[2]});
    }
    return lines;
}

std::optional<std::vector<RenameLine>> ReadRenameList(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxRenameListBytes) return std::nullopt;
    std::string text(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size)) return std::nullopt;
    return ParseRenameList(text);
}

} // namespace lumidex
