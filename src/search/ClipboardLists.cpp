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
    // Moves the bar to position (when not negative) as events run.
    bool Step(int position = -1) {
        if (++sinceClock_ < 64) return lists.state().StopRequested;
        sinceClock_ = 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - eventsRan_ < std::chrono::milliseconds(10)) return lists.state().StopRequested;
        eventsRan_ = now;
        if (position >= 0) frame.SetMainProgressPosition(position);
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
    const std::vector<std::string> lines = SplitLines(text);
    lists.SaveSelection(lists.reference);
    lists.ClearReferenceList();
    // Rows are gathered and put in order once: inserting each found line into the sorted
    // list would move the rows below it every time.
    std::vector<ListRow> rows;
    {
        ReadingRun run(lists, lines.size());
        std::string buffer;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string_view path = PathOfLine(lines[i], buffer);
            const int at = path.empty() ? -1 : lists.catalogue().FindEntry(path);
            if (at >= 0) {
                Pdata* entry = &lists.catalogue().Entry(at);
                rows.push_back(ListRow{lists.SortKeyOf(*entry), entry, false});
                run.frame.SetMainProgressPosition(static_cast<int>(i));
            } else if (i % 16 == 0) {
                run.frame.SetMainProgressPosition(static_cast<int>(i));
            }
            if (run.Step()) break;
        }
    }
    lists.reference.AddMany(std::move(rows));
    lists.RestoreSelection(lists.reference);
}

int ImportListFromText(Lists& lists, std::string_view text, int* skipped) {
    text = text.substr(0, text.find('\0'));
    Catalogue& catalogue = lists.catalogue();
    int refused = 0;
    size_t firstRefused = 0;
    // The paths are gathered first and inserted in catalogue order afterwards: inserting a
    // long list in its own order would move the catalogue's items once per line, and looking
    // the paths up in order keeps the catalogue's search in the cache. Paths are views into
    // the text; only quoted ones need a copy.
    std::vector<std::string_view> candidates; // in line order
    std::deque<std::string> unquoted;
    // Rows of the entries made, in catalogue order, and the line of each.
    std::vector<ListRow> rows;
    std::vector<uint32_t> lineOfRow;
    {
        const size_t lines = CountTextLines(text);
        ReadingRun run(lists, lines);
        candidates.reserve(lines);
        size_t i = 0;
        bool stopped = false;
        std::string buffer;
        ForEachTextLine(text, [&](std::string_view line) {
            if (stopped) return;
            std::string_view path = PathOfLine(line, buffer);
            // A relative path would name a file depending on where the program was started,
            // and a longer one could not be saved.
            if (!path.empty() &&
                (!paths::IsDelimiter(path[0]) || path.size() > kMaxImportPathLength)) {
                if (refused++ == 0) firstRefused = i;
            } else if (!path.empty()) {
                if (path.data() == buffer.data()) path = unquoted.emplace_back(path);
                candidates.push_back(path);
            }
            ++i;
            stopped = run.Step(static_cast<int>(std::min<size_t>(i, INT_MAX)));
        });
        const std::vector<uint32_t> order = CatalogueOrder(candidates);
        catalogue.Reserve(static_cast<size_t>(catalogue.Count()) + candidates.size());
        rows.reserve(candidates.size());
        lineOfRow.reserve(candidates.size());
        // A path named twice is made once; one the catalogue holds is left alone. The paths
        // come in catalogue order, so each search starts where the last one ended.
        std::string_view previous;
        bool any = false;
        int from = 0;
        for (size_t n = 0; n < order.size(); ++n) {
            // In catalogue order the lines are visited at random: their paths are asked for
            // ahead, or each would stall the loop on a miss of the cache.
            if (n + 16 < order.size()) Prefetch(&candidates[order[n + 16]]);
            if (n + 8 < order.size()) Prefetch(candidates[order[n + 8]].data());
            const uint32_t k = order[n];
            const std::string_view path = candidates[k];
            if (any && paths::SamePath(previous, path)) continue;
            any = true;
            previous = path;
            from = LowerBoundFrom(catalogue, from, path);
            if (from < catalogue.Count() && paths::SamePath(catalogue.Entry(from).path, path))
                continue;
            auto entry = std::make_unique<Pdata>(std::string(path));
            entry->key = kNoSignature;
            entry->code = kNoSignature;
            rows.push_back(ListRow{lists.SortKeyOf(*entry), entry.get(), false});
            lineOfRow.push_back(k);
            catalogue.Insert(std::move(entry));
        }
        run.frame.SetStatusText(StatusPanel::Counts, std::to_string(catalogue.Count()) + " Files");
    }
    const int made = static_cast<int>(rows.size());
    lists.reference.AddMany(std::move(rows), lineOfRow);
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
