#include "ClipboardLists.h"

#include "Format.h"
#include "PathOrder.h"
#include "Paths.h"
#include "SignatureIndex.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <deque>

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
    // Lets events run every few milliseconds, often enough that Stop is answered at once and
    // rarely enough that they cost nothing beside the lines; true when Stop was pressed.
    bool Step() {
        if (++sinceClock_ < 64) return lists.state().StopRequested;
        sinceClock_ = 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - eventsRan_ < std::chrono::milliseconds(10)) return lists.state().StopRequested;
        eventsRan_ = now;
        if (robust) frame.ProcessEvents();
        return lists.state().StopRequested;
    }

private:
    int sinceClock_ = 0;
    std::chrono::steady_clock::time_point eventsRan_ = std::chrono::steady_clock::now();
};

void Prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

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

// The paths that the lines of a text name, in line order, as views into it (a quoted path is
// copied).
struct ListedPaths {
    std::vector<std::string_view> paths;
    std::deque<std::string> quoted;
};

// Reads the path of every line until Stop is pressed, moving the bar every 16 lines;
// keep(path, line) says whether a path is listed.
template <class Keep>
void ReadPaths(std::string_view text, size_t lines, ReadingRun& run, ListedPaths& out, Keep keep) {
    out.paths.reserve(lines);
    std::string buffer;
    size_t i = 0;
    bool stopped = false;
    ForEachTextLine(text, [&](std::string_view line) {
        if (stopped) return;
        std::string_view path = PathOfLine(line, buffer);
        if (!path.empty() && keep(path, i)) {
            if (path.data() == buffer.data()) path = out.quoted.emplace_back(path);
            out.paths.push_back(path);
        }
        if (i % 16 == 0)
            run.frame.SetMainProgressPosition(static_cast<int>(std::min<size_t>(i, INT_MAX)));
        ++i;
        stopped = run.Step();
    });
}

// Visits the paths in catalogue order (their CatalogueOrder), so that each search of the
// catalogue starts where the last one ended: visit(k, at) with at the position of the first entry
// that does not stand before paths[k]. visit may insert an entry there.
template <class Visit>
void InCatalogueOrder(const Catalogue& catalogue, const std::vector<std::string_view>& paths,
                      const std::vector<uint32_t>& order, Visit visit) {
    int at = 0;
    for (size_t n = 0; n < order.size(); ++n) {
        // In this order the lines are visited at random: their paths are asked for ahead, or
        // each would stall the loop on a miss of the cache.
        if (n + 16 < order.size()) Prefetch(&paths[order[n + 16]]);
        if (n + 8 < order.size()) Prefetch(paths[order[n + 8]].data());
        const uint32_t k = order[n];
        at = LowerBoundFrom(catalogue, at, paths[k]);
        visit(k, at);
    }
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
    std::string buffer;
    return std::string(PathOfLine(line, buffer));
}

std::string_view PathOfLine(std::string_view line, std::string& buffer) {
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] == ' ') return {};
    size_t i = 0;
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
        ++i;
    if (i < line.size() && line[i] == '"') {
        buffer.clear();
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    buffer += '"';
                    ++i;
                } else {
                    break;
                }
            } else {
                buffer += line[i];
            }
        }
        return buffer;
    }
    size_t end = i;
    while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ' && line[end] != ',')
        ++end;
    return line.substr(i, end - i);
}

void SearchListFromText(Lists& lists, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    lists.SaveSelection(lists.reference);
    lists.ClearReferenceList();
    // The rows are gathered and put in order once: inserting each found line into the sorted
    // list would move the rows below it every time.
    std::vector<ListRow> rows;
    std::vector<uint32_t> listedAs; // the rank of each row's path in the list
    {
        const size_t lines = CountTextLines(text);
        ReadingRun run(lists, lines);
        ListedPaths listed;
        ReadPaths(text, lines, run, listed, [](std::string_view, size_t) { return true; });
        const Catalogue& catalogue = lists.catalogue();
        const std::vector<uint32_t> order = CatalogueOrder(listed.paths);
        rows.reserve(listed.paths.size());
        listedAs.reserve(listed.paths.size());
        InCatalogueOrder(catalogue, listed.paths, order, [&](uint32_t k, int at) {
            if (at >= catalogue.Count() ||
                !paths::SamePath(catalogue.Entry(at).path, listed.paths[k]))
                return;
            Pdata* entry = &catalogue.Entry(at);
            rows.push_back(ListRow{lists.SortKeyOf(*entry), entry, false});
            listedAs.push_back(k);
        });
    }
    lists.reference.AddMany(std::move(rows), listedAs);
    lists.RestoreSelection(lists.reference);
}

int ImportListFromText(Lists& lists, std::string_view text, int* skipped) {
    text = text.substr(0, text.find('\0'));
    Catalogue& catalogue = lists.catalogue();
    int refused = 0;
    size_t firstRefused = 0;
    // The paths are gathered first and inserted in catalogue order afterwards: inserting a
    // long list in its own order would move the catalogue's items once per line.
    std::vector<ListRow> rows;
    std::vector<uint32_t> listedAs; // the rank of each row's path in the list
    {
        const size_t lines = CountTextLines(text);
        ReadingRun run(lists, lines);
        ListedPaths listed;
        ReadPaths(text, lines, run, listed, [&](std::string_view path, size_t line) {
            // A relative path would name a file depending on where the program was started,
            // and a longer one could not be saved.
            if (paths::IsDelimiter(path[0]) && path.size() <= kMaxImportPathLength) return true;
            if (refused++ == 0) firstRefused = line;
            return false;
        });
        const std::vector<uint32_t> order = CatalogueOrder(listed.paths);
        catalogue.Reserve(static_cast<size_t>(catalogue.Count()) + listed.paths.size());
        rows.reserve(listed.paths.size());
        listedAs.reserve(listed.paths.size());
        // A path named twice is made once (the second finds the first); one the catalogue
        // holds is left alone.
        InCatalogueOrder(catalogue, listed.paths, order, [&](uint32_t k, int at) {
            const std::string_view path = listed.paths[k];
            if (at < catalogue.Count() && paths::SamePath(catalogue.Entry(at).path, path)) return;
            auto entry = std::make_unique<Pdata>(std::string(path));
            entry->key = kNoSignature;
            entry->code = kNoSignature;
            rows.push_back(ListRow{lists.SortKeyOf(*entry), entry.get(), false});
            listedAs.push_back(k);
            catalogue.Insert(std::move(entry));
        });
        run.frame.SetStatusText(StatusPanel::Counts, std::to_string(catalogue.Count()) + " Files");
    }
    const int made = static_cast<int>(rows.size());
    lists.reference.AddMany(std::move(rows), listedAs);
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
