#include "ClipboardLists.h"

#include "Format.h"
#include "PathOrder.h"
#include "Paths.h"
#include "SignatureIndex.h"

#include <algorithm>
#include <climits>

namespace lumidex {

namespace {
std::string DateText(int32_t fileTime) {
    // Never measured: no date to show.
    if (fileTime == -1) return "unknown time";
    std::string s = FormatDateLine(fileTime);
    size_t b = s.find_first_not_of(" \t\r\n");
    size_t e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Progress and Stop around both reading commands.
struct ReadingRun {
    Lists& lists;
    Frame& frame;
    bool robust;
    ReadingRun(Lists& l, size_t lines)
        : lists(l), frame(l.state().frame()), robust(l.options().AllowRobustOperation) {
        frame.SetBusy(true);
        // The main window's bar, shown only when the run may take a while.
        const uint64_t work =
            static_cast<uint64_t>(lines) * static_cast<uint64_t>(l.catalogue().Count());
        if (work > 65536)
            frame.ShowMainProgress(static_cast<int>(std::min<size_t>(lines, INT_MAX)));
        frame.SetMainProgressPosition(0);
        l.state().StopRequested = false;
        if (robust && l.hooks.showStopButton) l.hooks.showStopButton(true);
    }
    ~ReadingRun() {
        if (lists.hooks.showStopButton) lists.hooks.showStopButton(false);
        frame.HideMainProgress();
        frame.SetBusy(false);
    }
    // Lets events run; true when Stop was pressed.
    bool Step() {
        if (robust) frame.ProcessEvents();
        return lists.state().StopRequested;
    }
};

// Whether the entry's path stands before path in the catalogue's order.
bool Before(const Pdata& entry, std::string_view path) {
    const int u = paths::CompareUpper(entry.path, path);
    return u != 0 ? u < 0 : std::string_view(entry.path) < path;
}

// The first position at or after from whose path does not stand before path: a galloping
// search, cheap when the paths sought rise through the catalogue.
int LowerBoundFrom(const Catalogue& catalogue, int from, std::string_view path) {
    const int count = catalogue.Count();
    int step = 1;
    int low = from;
    int high = from;
    while (high < count && Before(catalogue.Entry(high), path)) {
        low = high + 1;
        high = std::min(count, high + step);
        step *= 2;
    }
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (Before(catalogue.Entry(mid), path))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

} // namespace

std::string ListLine(const Pdata& e) {
    // Quoted with a blank, and also with a comma, a tab or a quote, which would otherwise cut
    // the path short when the list is read back.
    bool quoted = false;
    for (char c : e.path)
        if (c == ',' || c == '"' || static_cast<unsigned char>(c) <= ' ') quoted = true;
    std::string line;
    if (quoted) {
        line = "\"";
        for (char c : e.path)
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += "\" (";
    } else {
        line = e.path + " (";
    }
    line += std::to_string(e.fileSize) + " bytes," + DateText(e.fileTime) + ")";
    return line;
}

std::string PairLine(const Pdata& e) {
    return "  +---" + e.path;
}

std::string CopyListText(Lists& lists) {
    std::string text;
    for (const ListRow& r : lists.reference.Rows())
        text += ListLine(*r.entry) + "\r\n";
    return text;
}

std::string CopyPairListText(Lists& lists) {
    std::string text;
    std::unique_ptr<SignatureIndex> index = lists.MakeIndex();
    for (const ListRow& r : lists.reference.Rows()) {
        text += ListLine(*r.entry) + "\r\n";
        for (int k : lists.SimilarPositions(*r.entry, false, index.get()))
            text += PairLine(lists.catalogue().Entry(k)) + "\r\n";
    }
    return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    // Clipboard text ends at its first NUL; a path can never hold one.
    return SplitTextLines(text.substr(0, text.find('\0')));
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachTextLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

void ForEachTextLine(std::string_view text, const std::function<void(std::string_view)>& take) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        take(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) take(text.substr(start));
}

size_t CountTextLines(std::string_view text) {
    size_t count = 0;
    ForEachTextLine(text, [&count](std::string_view) { ++count; });
    return count;
}

std::string PathOfLine(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] == ' ') return {};
    size_t i = 0;
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
        ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    break;
                }
            } else {
                field += line[i];
            }
        }
        return field;
    }
    size_t end = i;
    while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ' && line[end] != ',')
        ++end;
    return std::string(line.substr(i, end - i));
}

void SearchListFromText(Lists& lists, std::string_view text) {
    const std::vector<std::string> lines = SplitLines(text);
    lists.SaveSelection(lists.reference);
    lists.ClearReferenceList();
    {
        ReadingRun run(lists, lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string path = PathOfLine(lines[i]);
            const int at = path.empty() ? -1 : lists.catalogue().FindEntry(path);
            if (at >= 0) {
                lists.AddRow(lists.reference, &lists.catalogue().Entry(at));
                run.frame.SetMainProgressPosition(static_cast<int>(i));
            } else if (i % 16 == 0) {
                run.frame.SetMainProgressPosition(static_cast<int>(i));
            }
            if (run.Step()) break;
        }
    }
    lists.RestoreSelection(lists.reference);
}

int ImportListFromText(Lists& lists, std::string_view text, int* skipped) {
    text = text.substr(0, text.find('\0'));
    Catalogue& catalogue = lists.catalogue();
    int refused = 0;
    size_t firstRefused = 0;
    // The paths are gathered first and inserted in catalogue order afterwards: inserting a
    // long list in its own order would move the catalogue's items once per line, and looking
    // the paths up in order keeps the catalogue's search in the cache.
    struct Candidate {
        std::string path;
        Pdata* entry = nullptr; // the entry made for it
    };
    std::vector<Candidate> candidates; // in line order
    {
        const size_t lines = CountTextLines(text);
        ReadingRun run(lists, lines);
        candidates.reserve(lines);
        size_t i = 0;
        bool stopped = false;
        ForEachTextLine(text, [&](std::string_view line) {
            if (stopped) return;
            std::string path = PathOfLine(line);
            // A relative path would name a file depending on where the program was started,
            // and a longer one could not be saved.
            if (!path.empty() &&
                (!paths::IsDelimiter(path[0]) || path.size() > kMaxImportPathLength)) {
                if (refused++ == 0) firstRefused = i;
            } else if (!path.empty()) {
                candidates.push_back({std::move(path)});
            }
            if (i % 16 == 0) run.frame.SetMainProgressPosition(static_cast<int>(i));
            ++i;
            stopped = run.Step();
        });
        std::vector<std::string_view> views;
        views.reserve(candidates.size());
        for (const Candidate& c : candidates)
            views.push_back(c.path);
        const std::vector<uint32_t> order = CatalogueOrder(views);
        catalogue.Reserve(static_cast<size_t>(catalogue.Count()) + candidates.size());
        // A path named twice is made once; one the catalogue holds is left alone. The paths
        // come in catalogue order, so each search starts where the last one ended.
        const std::string* previous = nullptr;
        int from = 0;
        for (uint32_t k : order) {
            Candidate& c = candidates[k];
            if (previous && paths::SamePath(*previous, c.path)) continue;
            from = LowerBoundFrom(catalogue, from, c.path);
            if (from < catalogue.Count() && paths::SamePath(catalogue.Entry(from).path, c.path)) {
                previous = &c.path;
                continue;
            }
            auto entry = std::make_unique<Pdata>(std::move(c.path));
            entry->key = kNoSignature;
            entry->code = kNoSignature;
            c.entry = entry.get();
            previous = &c.entry->path;
            catalogue.Insert(std::move(entry));
        }
        run.frame.SetStatusText(StatusPanel::Counts, std::to_string(catalogue.Count()) + " Files");
    }
    std::vector<ListRow> rows;
    for (const Candidate& c : candidates)
        if (c.entry) rows.push_back(ListRow{lists.SortKeyOf(*c.entry), c.entry, false});
    const int made = static_cast<int>(rows.size());
    lists.reference.AddMany(std::move(rows));
    if (made > 0) lists.state().MarkDataChanged();
    if (refused > 0)
        lists.state().LogMessage(
            std::to_string(refused) +
            " line(s) skipped: not an absolute path or too long (first: line " +
            std::to_string(firstRefused + 1) + ").");
    if (skipped) *skipped = refused;
    lists.dataFilter = FilterItem::All;
    lists.listAllMode = true;
    lists.ShowCounts();
    return made;
}

} // namespace lumidex
