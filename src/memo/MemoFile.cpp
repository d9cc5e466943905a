#include "MemoFile.h"

#include <charconv>
#include <cstdint>
#include <unordered_set>

namespace lumidex {

namespace {

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendLine(std::string& out, std::string_view first, int32_t id) {
    AppendQuoted(out, first);
    out += ',';
    AppendQuoted(out, std::to_string(id));
    out += "\r\n";
}

constexpr std::string_view kSeparator = "\"\",\"\"\r\n";

bool IsBlank(char c) {
    return c >= 1 && c <= ' ';
}

bool ParseInt(const std::string& text, int32_t& out) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') ++begin;
    if (begin == end) return false;
    auto [p, ec] = std::from_chars(begin, end, out);
    return ec == std::errc() && p == end;
}

int32_t Shift(int32_t id, int32_t base) {
    return static_cast<int32_t>(static_cast<uint32_t>(id) + static_cast<uint32_t>(base));
}

// Lines split at CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string_view> Lines(std::string_view content) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n') continue;
        lines.push_back(content.substr(start, i - start));
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < content.size()) lines.push_back(content.substr(start));
    return lines;
}

} // namespace

std::string BuildMemoFile(const DataManage& memos) {
    std::string out;
    for (const MemoGroup& g : memos.Groups())
        AppendLine(out, g.name, g.id);
    out += kSeparator;
    for (const MemoSlot& s : memos.Slots())
        AppendLine(out, s.text, s.groupId);
    out += kSeparator;
    return out;
}

std::vector<std::string> SplitCommaText(std::string_view line) {
    // A NUL byte ends the text, as it ends a C string.
    if (size_t nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);
    std::vector<std::string> fields;
    size_t p = 0;
    const size_t n = line.size();
    while (p < n && IsBlank(line[p]))
        ++p;
    while (p < n) {
        std::string field;
        if (line[p] == '"') {
            ++p;
            while (p < n) {
                if (line[p] == '"') {
                    if (p + 1 < n && line[p + 1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += line[p++];
            }
        } else {
            size_t start = p;
            while (p < n && !IsBlank(line[p]) && line[p] != ',')
                ++p;
            field.assign(line.substr(start, p - start));
        }
        fields.push_back(std::move(field));
        while (p < n && IsBlank(line[p]))
            ++p;
        if (p < n && line[p] == ',') {
            if (p + 1 == n) fields.emplace_back();
            do
                ++p;
            while (p < n && IsBlank(line[p]));
        }
    }
    return fields;
}

bool ReadMemoFile(DataManage& memos, std::string_view content, int* skipped) {
    if (skipped) *skipped = 0;
    // The whole file is checked before anything is added: a file that fails half-way leaves
    // the table as it was.
    struct Record {
        std::string text;
        int32_t id;
    };
    std::vector<Record> sections[2];
    std::vector<std::string_view> lines = Lines(content);
    size_t i = 0;
    for (auto& section : sections) {
        while (i < lines.size()) {
            std::vector<std::string> f = SplitCommaText(lines[i++]);
            if (f.size() < 2) return false;
            if (f[0].empty() && f[1].empty()) break;
            int32_t id;
            if (!ParseInt(f[1], id)) return false;
            section.push_back({std::move(f[0]), id});
        }
    }
    const int32_t base = memos.MaxGroupId();
    std::unordered_set<int32_t> fileGroups;
    for (const Record& g : sections[0]) {
        memos.AddGroup(memos.UniqueGroupName(g.text), Shift(g.id, base));
        fileGroups.insert(g.id);
    }
    for (const Record& m : sections[1]) {
        if (m.id == -1) continue;
        // Shifted, an id the file does not define would land in a foreign group.
        if (!fileGroups.count(m.id)) {
            if (skipped) ++*skipped;
            continue;
        }
        memos.PutMemo(m.text, Shift(m.id, base));
    }
    return true;
}

std::string SkippedMemoLinesMessage(int skipped) {
    return "Memo file: " + std::to_string(skipped) +
           " memo line(s) skipped, their group is not in the file.";
}

} // namespace lumidex
