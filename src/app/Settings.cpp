#include "Settings.h"

#include "AtomicFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <vector>

namespace lumidex {

namespace {

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

int NumberOr(std::string_view line, int fallback) {
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    if (!line.empty() && line.front() == '+') line.remove_prefix(1);
    int value = 0;
    auto [p, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (line.empty() || ec != std::errc() || p != line.data() + line.size()) return fallback;
    return value;
}

// Walks the lines; every read past the end fails the reader for good.
class LineReader {
public:
    explicit LineReader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}
    int Count() const { return static_cast<int>(lines_.size()); }
    bool Ok() const { return ok_; }
    void Seek(int line) { at_ = line; }
    bool Text(std::string& out) {
        if (!ok_ || at_ >= Count()) return ok_ = false;
        out.assign(lines_[static_cast<size_t>(at_++)]);
        return true;
    }
    bool Number(int& out, int fallback) {
        std::string s;
        if (!Text(s)) return false;
        out = NumberOr(s, fallback);
        return true;
    }
    bool Flag(bool& out) {
        int v;
        if (!Number(v, 0)) return false;
        out = v == 1;
        return true;
    }
    // Top, left, width, height with their defaults.
    bool Place(Placement& p, Placement fallback) {
        return Number(p.top, fallback.top) && Number(p.left, fallback.left) &&
               Number(p.width, fallback.width) && Number(p.height, fallback.height);
    }

private:
    std::vector<std::string_view> lines_;
    int at_ = 0;
    bool ok_ = true;
};

} // namespace

std::string ShortenToShownFolder(std::string folder,
                                 const std::function<bool(const std::string&)>& canShow) {
    auto shown = [&](const std::string& f) { return canShow ? canShow(f) : FolderExists(f); };
    while (folder.size() > 3 && !shown(folder)) {
        size_t cut = folder.find_last_of('/');
        if (cut == std::string::npos) {
            folder.clear(); // the whole text is its last component
            break;
        }
        // "/a/b/" loses its trailing delimiter first, then "/a/b" loses "b".
        folder.erase(cut == folder.size() - 1 ? cut : cut + (cut == 0 ? 1 : 0));
    }
    return folder;
}

SettingsLoaded ParseSettings(std::string_view text, SettingsRecord& r,
                             const std::function<bool(const std::string&)>& canShow) {
    SettingsLoaded loaded;
    loaded.found = true;
    const SettingsRecord d;
    LineReader in(SplitLines(text));
    loaded.lines = in.Count();
    if (!in.Place(r.mainWindow, d.mainWindow)) return loaded;
    if (in.Count() < 5) {
        r.memoManager.height = r.mainWindow.height;
        r.memoManager.top = r.mainWindow.top;
        r.memoManager.left = r.mainWindow.left + r.mainWindow.width - r.memoManager.width;
        loaded.memoManagerAtMainEdge = true;
        return loaded;
    }
    if (!in.Place(r.memoManager, d.memoManager)) return loaded;
    if (in.Count() > 8 && !in.Place(r.mismatchEditor, d.mismatchEditor)) return loaded;
    if (in.Count() > 12 && !in.Place(r.unlinkedData, d.unlinkedData)) return loaded;
    if (in.Count() > 16) {
        std::string a, b;
        if (!in.Text(a)) return loaded;
        r.openFormFolder = ShortenToShownFolder(a, canShow);
        if (!in.Text(b)) return loaded;
        r.folderDialogFolder = ShortenToShownFolder(b, canShow);
    }
    in.Seek(20);
    if (in.Count() > 20 && !in.Number(r.buttonMask, d.buttonMask)) return loaded;
    if (in.Count() > 21 && !in.Place(r.folderExplorer, d.folderExplorer)) return loaded;
    if (in.Count() > 25 && !in.Place(r.regionWindow, d.regionWindow)) return loaded;
    if (in.Count() > 29) {
        if (!in.Flag(r.UseSubIndex) || !in.Flag(r.UsePreviewCache) || !in.Text(r.CacheCount))
            return loaded;
    }
    if (in.Count() > 33) {
        Placement& t = r.thumbnail;
        if (!in.Number(t.left, d.thumbnail.left) || !in.Number(t.top, d.thumbnail.top) ||
            !in.Number(t.width, d.thumbnail.width) || !in.Number(t.height, d.thumbnail.height))
            return loaded;
        if (!in.Flag(r.thumbnailSpeedButton1) || !in.Text(r.DispCount) || !in.Flag(r.KeepAspect))
            return loaded;
    }
    in.Seek(39);
    if (in.Count() > 39 && !in.Flag(r.MatchOrientations)) return loaded;
    return loaded;
}

SettingsLoaded LoadSettings(const std::string& appDir, SettingsRecord& record,
                            const std::function<bool(const std::string&)>& canShow) {
    std::ifstream in(appDir + "app.cfg", std::ios::binary);
    if (!in) return {};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return {};
    return ParseSettings(text, record, canShow);
}

std::string FormatSettings(const SettingsRecord& r) {
    std::string out;
    auto line = [&](const std::string& s) { out += s + "\r\n"; };
    auto num = [&](int v) { line(std::to_string(v)); };
    auto place = [&](const Placement& p) { num(p.top), num(p.left), num(p.width), num(p.height); };
    place(r.mainWindow);
    place(r.memoManager);
    place(r.mismatchEditor);
    place(r.unlinkedData);
    line(r.openFormFolder);
    line(r.folderDialogFolder);
    line(r.openDialogFolder);
    line(r.saveDialogFolder);
    num(r.buttonMask);
    place(r.folderExplorer);
    place(r.regionWindow);
    num(r.UseSubIndex ? 1 : 0);
    num(r.UsePreviewCache ? 1 : 0);
    line(r.CacheCount);
    num(r.thumbnail.left), num(r.thumbnail.top), num(r.thumbnail.width), num(r.thumbnail.height);
    num(r.thumbnailSpeedButton1 ? 1 : 0);
    line(r.DispCount);
    num(r.KeepAspect ? 1 : 0);
    num(r.MatchOrientations ? 1 : 0);
    return out;
}

bool SaveSettings(const std::string& appDir, const SettingsRecord& record) {
    return WriteFileAtomically(appDir + "app.cfg", FormatSettings(record)) == SaveResult::Ok;
}

} // namespace lumidex
