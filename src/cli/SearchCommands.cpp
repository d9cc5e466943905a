#include "Commands.h"

#include "ClipboardLists.h"
#include "ConsoleFrame.h"
#include "DataFilter.h"
#include "DatabaseCommands.h"
#include "FileStatus.h"
#include "JsonOutput.h"
#include "PluginOption.h"
#include "SignatureIndex.h"
#include "Workspace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>

namespace lumidex::cli {

namespace {

// Opens db, or starts a new catalogue with the default options when the file is missing.
bool OpenOrCreate(Workspace& ws, const std::string& path, bool mustExist) {
    Database db = ws.DatabaseParts();
    // The command rebuilds the lists it prints itself.
    ws.databaseHooks.AfterRead = nullptr;
    if (!GetFileStatus(path).exists) {
        if (mustExist) {
            std::fprintf(stderr, "lumidex2-cli: %s: no such database\n", path.c_str());
            return false;
        }
        LoadDefaultOptions(db);
        ws.DatabasePath = path;
        ws.lists.SelectSortKey();
        return true;
    }
    ws.PendingDatabasePath = path;
    if (ReadDatabase(db) != ReadResult::Done) {
        std::fprintf(stderr, "lumidex2-cli: %s: cannot read the database\n", path.c_str());
        return false;
    }
    ws.lists.SelectSortKey();
    return true;
}

std::optional<int> ToInt(const std::string& s) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end) return std::nullopt;
    return static_cast<int>(v);
}

// Sets the option of a control name as the control would take the value.
bool SetOption(Options& o, const std::string& name, const std::string& value) {
    std::optional<int> v = ToInt(value);
    if (!v) return false;
    const bool on = *v != 0;
    static const std::map<std::string, bool Options::*> bools = {
        {"AutoViewLeft", &Options::AutoViewLeft},
        {"AutoViewRight", &Options::AutoViewRight},
        {"ShoePathName", &Options::ShoePathName},
        {"SmartSort", &Options::SmartSort},
        {"KeepAspectRatio", &Options::KeepAspectRatio},
        {"AllowRobustOperation", &Options::AllowRobustOperation},
        {"ShowMemoonPreview", &Options::ShowMemoonPreview},
        {"UseJapneseMenu", &Options::UseJapneseMenu},
        {"TargetListDragDrop", &Options::TargetListDragDrop},
        {"CheckBoxSameSizeOnly", &Options::CheckBoxSameSizeOnly},
        {"ShowreferenceinTarget", &Options::ShowreferenceinTarget},
        {"ExcludeSameFolder", &Options::ExcludeSameFolder},
        {"NotStrict", &Options::NotStrict},
        {"ConfirmDelete", &Options::ConfirmDelete},
        {"TrackMoveCopy", &Options::TrackMoveCopy},
        {"NotUpdateListatAction", &Options::NotUpdateListatAction},
        {"SameDriveOnly", &Options::SameDriveOnly},
        {"DeleteEmptyFolderafterFileMove", &Options::DeleteEmptyFolderafterFileMove},
        {"ConfirmClear", &Options::ConfirmClear},
        {"WrapAround", &Options::WrapAround},
        {"Stretch", &Options::Stretch},
        {"FixedPosition", &Options::FixedPosition},
        {"FixedSize", &Options::FixedSize},
        {"AutoExpand", &Options::AutoExpand},
        {"AutoSync", &Options::AutoSync},
        {"GrayScale", &Options::GrayScale},
        {"UseSubIndex", &Options::UseSubIndex},
        {"UsePreviewCache", &Options::UsePreviewCache},
        {"MatchOrientations", &Options::MatchOrientations},
    };
    if (auto it = bools.find(name); it != bools.end()) {
        o.*(it->second) = on;
        return true;
    }
    if (name == "DoubleCheck") return o.SetDoubleCheck(on), true;
    if (name == "TrackBar1") return o.SetTrackBar1(*v), true;
    if (name == "TrackBar3") return o.SetTrackBar3(*v), true;
    if (name == "TrackBarSizeRange") return o.SetTrackBarSizeRange(*v), true;
    if (name == "TrackBar2") return o.SetTrackBar2(*v), true;
    if (name == "JpegQuality") return o.SetJpegQuality(*v), true;
    static const std::map<std::string, SortOrder> sorts = {
        {"byName", SortOrder::byName},
        {"byPathname", SortOrder::byPathname},
        {"RadioButtonbyDate", SortOrder::RadioButtonbyDate},
        {"RadioButtonbySize", SortOrder::RadioButtonbySize},
        {"bySimilarity", SortOrder::bySimilarity},
    };
    if (auto it = sorts.find(name); it != sorts.end()) {
        if (on) o.Sortby = it->second;
        return true;
    }
    if (name == "Sortby" && *v >= 0 && *v <= 4) return o.Sortby = static_cast<SortOrder>(*v), true;
    static const std::map<std::string, SameFilePolicy> policies = {
        {"Replace", SameFilePolicy::Replace},
        {"DontAdd", SameFilePolicy::DontAdd},
        {"NotCare", SameFilePolicy::NotCare},
    };
    if (auto it = policies.find(name); it != policies.end()) {
        if (on) o.GroupBox2 = it->second;
        return true;
    }
    return false;
}

void PrintRows(const EntryList& list, bool json) {
    if (!json) {
        for (const ListRow& r : list.Rows())
            std::printf("%s\n", r.entry->path.c_str());
        return;
    }
    JsonRowWriter rows;
    for (const ListRow& r : list.Rows())
        rows.Reference(*r.entry);
}

void PrintReferenceList(const Lists& lists, bool json = false) {
    PrintRows(lists.reference, json);
}

// Takes "--json" out of the arguments; whether it was there.
bool TakeJson(std::vector<std::string>& rest) {
    auto it = std::find(rest.begin(), rest.end(), "--json");
    if (it == rest.end()) return false;
    rest.erase(std::remove(rest.begin(), rest.end(), "--json"), rest.end());
    return true;
}

// Remembers an abort: the adding commands clear the request when they end, and their -1 also
// stands for "nothing analysed" (every item skipped as a duplicate).
class ScanFrame : public ConsoleFrame {
public:
    bool AbortRequested() const override {
        const bool on = ConsoleFrame::AbortRequested();
        if (on) aborted = true;
        return on;
    }
    mutable bool aborted = false;
};

int Usage(const char* text) {
    std::fprintf(stderr, "Usage: lumidex2-cli %s\n", text);
    return kUsage;
}

} // namespace

int RunScan(const Args& args) {
    const char* usage =
        "scan DB PATH... [--depth N] [--policy replace|dontadd|notcare] [--log] [--jobs N] "
        "[--plugins DIR]";
    std::optional<std::string> pluginFolder;
    std::string db;
    std::vector<std::string> items;
    Workspace::FolderScan scan;
    std::optional<SameFilePolicy> policy;
    int jobs = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--jobs" && i + 1 < args.size()) {
            std::optional<int> n = ToInt(args[++i]);
            if (!n || *n < 1) return Usage(usage);
            jobs = *n;
        } else if (a == "--depth" && i + 1 < args.size()) {
            std::optional<int> d = ToInt(args[++i]);
            if (!d || *d < 1) return Usage(usage);
            scan.setDepth = true;
            scan.depth = *d;
        } else if (a == "--policy" && i + 1 < args.size()) {
            const std::string& p = args[++i];
            if (p == "replace")
                policy = SameFilePolicy::Replace;
            else if (p == "dontadd")
                policy = SameFilePolicy::DontAdd;
            else if (p == "notcare")
                policy = SameFilePolicy::NotCare;
            else
                return Usage(usage);
        } else if (a == "--log") {
            scan.makeErrorLog = true;
        } else if (a == "--plugins" && i + 1 < args.size()) {
            pluginFolder = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return Usage(usage);
        } else if (db.empty()) {
            db = a;
        } else {
            items.push_back(a);
        }
    }
    if (db.empty() || items.empty()) return Usage(usage);

    ScanFrame frame;
    ConsoleFrame::InstallInterruptHandler();
    Workspace ws(frame, DefaultAppDir());
    if (pluginFolder && !UsePluginFolder(ws, *pluginFolder)) return kFailed;
    if (!OpenOrCreate(ws, db, false)) return kFailed;
    if (policy) ws.options.GroupBox2 = *policy;
    ws.folderScan = scan;
    ws.analysisWorkers = jobs;
    for (const std::string& given : items) {
        // The catalogue outlives the working folder: it keeps absolute paths.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(given, ec).lexically_normal();
        std::string item = ec ? given : absolute.string();
        if (item.size() > 1 && item.back() == '/') item.pop_back();
        const FileStatus st = GetFileStatus(item);
        if (st.exists && st.isFolder) {
            ws.AddPicturesFromFolder(item, scan);
        } else {
            ws.LoggingOn = scan.makeErrorLog;
            ws.AddDroppedItems({item});
            ws.LoggingOn = false;
        }
        if (frame.aborted) break;
    }
    Database parts = ws.DatabaseParts();
    BuildHeader(parts);
    if (!WriteDatabase(parts, db)) {
        std::fprintf(stderr, "lumidex2-cli: %s: cannot write the database\n", db.c_str());
        return kFailed;
    }
    std::fprintf(stderr, "%d Files in %s\n", ws.catalogue.Count(), db.c_str());
    return frame.aborted ? kFailed : kOk;
}

bool OpenWithSettings(Workspace& ws, const Args& args, std::vector<std::string>& rest,
                      std::string& db) {
    std::vector<std::pair<std::string, std::string>> sets;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--set" && i + 1 < args.size()) {
            const std::string& s = args[++i];
            size_t eq = s.find('=');
            if (eq == std::string::npos) return false;
            sets.push_back({s.substr(0, eq), s.substr(eq + 1)});
        } else if (db.empty() && args[i].rfind("--", 0) != 0) {
            db = args[i];
        } else {
            rest.push_back(args[i]);
        }
    }
    if (db.empty()) return false;
    if (!OpenOrCreate(ws, db, true)) return false;
    for (const auto& [name, value] : sets) {
        if (!SetOption(ws.options, name, value)) {
            std::fprintf(stderr, "lumidex2-cli: unknown option or value: %s=%s\n", name.c_str(),
                         value.c_str());
            db.clear();
            return false;
        }
    }
    ws.lists.SelectSortKey();
    return true;
}

int RunSimilar(const Args& args) {
    const char* usage = "similar DB [--targets] [--all] [--json] [--set Name=value]...";
    QuietConsoleFrame frame;
    Workspace ws(frame, DefaultAppDir());
    std::vector<std::string> rest;
    std::string db;
    if (!OpenWithSettings(ws, args, rest, db)) return db.empty() ? Usage(usage) : kFailed;
    const bool json = TakeJson(rest);
    bool targets = false, all = false;
    for (const std::string& a : rest) {
        if (a == "--targets")
            targets = true;
        else if (a == "--all")
            all = true;
        else
            return Usage(usage);
    }
    Lists& lists = ws.lists;
    ChooseFilter(lists, all ? FilterItem::All : FilterItem::HasSimilarPics, ws.newPictures);
    if (!targets) {
        PrintReferenceList(lists, json);
        return kOk;
    }
    // One scan per row would be quadratic on a large catalogue.
    std::unique_ptr<SignatureIndex> index = lists.MakeIndex();
    lists.fillIndex = index.get();
    std::optional<JsonRowWriter> rows;
    if (json) rows.emplace();
    for (int row = 0; row < lists.reference.Count(); ++row) {
        Pdata* entry = lists.reference.EntryAt(row);
        lists.reference.Select(row);
        lists.FillTargetList();
        if (json) {
            std::vector<JsonTarget> found;
            for (const ListRow& t : lists.target.Rows())
                found.push_back({t.entry, t.way, t.region});
            rows->Reference(*entry, found);
            continue;
        }
        std::printf("%s\n", entry->path.c_str());
        // Marked as in the window's target list, so that a reader knows why it was listed.
        for (const ListRow& t : lists.target.Rows())
            std::printf("  %s%s\n", t.entry->path.c_str(), OrientationMark(t.way));
    }
    return kOk;
}

int RunPairs(const Args& args) {
    QuietConsoleFrame frame;
    Workspace ws(frame, DefaultAppDir());
    std::vector<std::string> rest;
    std::string db;
    const char* usage = "pairs DB [--json] [--set Name=value]...";
    if (!OpenWithSettings(ws, args, rest, db)) return db.empty() ? Usage(usage) : kFailed;
    const bool json = TakeJson(rest);
    if (!rest.empty()) return Usage(usage);
    Lists& lists = ws.lists;
    ChooseFilter(lists, FilterItem::HasSimilarPics, ws.newPictures);
    if (!json) {
        std::fputs(CopyPairListText(lists).c_str(), stdout);
        return kOk;
    }
    // The pairs of the clipboard's pair list, with the way each was found.
    std::unique_ptr<SignatureIndex> index = lists.MakeIndex();
    JsonRowWriter rows;
    for (const ListRow& r : lists.reference.Rows()) {
        std::vector<JsonTarget> found;
        for (const Lists::Match& m : lists.SimilarMatches(*r.entry, false, index.get()))
            found.push_back({&ws.catalogue.Entry(m.position), m.way, m.region});
        rows.Reference(*r.entry, found);
    }
    return kOk;
}

int RunSearch(const Args& args) {
    const char* usage =
        "search DB [--method normal|or|and|not] [--target] [--json] CRITERION... with CRITERION "
        "one of "
        "--name TEXT, --folder DIR, --folder-tree DIR, --memo GROUP TEXT, --memo-group GROUP, "
        "--size >=|==|<= BYTES, --date >=|==|<= 'YYYY-MM-DD[ HH:MM:SS]' [--time], --updated, --new";
    QuietConsoleFrame frame;
    Workspace ws(frame, DefaultAppDir());
    std::vector<std::string> rest;
    std::string db;
    if (!OpenWithSettings(ws, args, rest, db)) return db.empty() ? Usage(usage) : kFailed;
    const bool json = TakeJson(rest);
    Lists& lists = ws.lists;
    // The program starts on "All".
    ChooseFilter(lists, FilterItem::All, ws.newPictures);
    Method method = Method::RBNormal;
    auto relation = [](const std::string& r) -> std::optional<Relation> {
        if (r == ">=") return Relation::AtLeast;
        if (r == "==") return Relation::Equal;
        if (r == "<=") return Relation::AtMost;
        return std::nullopt;
    };
    bool any = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        const std::string& a = rest[i];
        auto next = [&]() -> const std::string* {
            return i + 1 < rest.size() ? &rest[++i] : nullptr;
        };
        EntryTest test;
        if (a == "--method") {
            const std::string* m = next();
            if (!m) return Usage(usage);
            if (*m == "normal")
                method = Method::RBNormal;
            else if (*m == "or")
                method = Method::RBOr;
            else if (*m == "and")
                method = Method::RBAnd;
            else if (*m == "not")
                method = Method::RBNot;
            else
                return Usage(usage);
            continue;
        } else if (a == "--target") {
            lists.SetSendToTarget(true);
            continue;
        } else if (a == "--new") {
            ChooseFilter(lists, FilterItem::NewPics, ws.newPictures);
            any = true;
            continue;
        } else if (a == "--name") {
            const std::string* t = next();
            if (!t) return Usage(usage);
            test = NameTest(*t);
        } else if (a == "--folder" || a == "--folder-tree") {
            const std::string* t = next();
            if (!t) return Usage(usage);
            test = FolderTest(*t, a == "--folder-tree");
        } else if (a == "--memo" || a == "--memo-group") {
            const std::string* g = next();
            if (!g) return Usage(usage);
            int gi = ws.memos.GroupIndexOfName(*g);
            int32_t id = gi >= 0 ? ws.memos.GroupIdAt(gi) : -2;
            if (a == "--memo") {
                const std::string* t = next();
                if (!t) return Usage(usage);
                test = MemoTest(gi >= 0 ? ws.memos.FindMemo(*t, id) : -1);
            } else {
                test = MemoGroupTest(ws.memos, id);
            }
        } else if (a == "--size") {
            const std::string* r = next();
            const std::string* v = next();
            if (!r || !v || !relation(*r)) return Usage(usage);
            test = SizeTest(*relation(*r), SizeFieldValue(*v));
        } else if (a == "--date") {
            const std::string* r = next();
            const std::string* v = next();
            if (!r || !v || !relation(*r)) return Usage(usage);
            std::tm tm{};
            int got = std::sscanf(v->c_str(), "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon,
                                  &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
            if (got != 3 && got != 6) return Usage(usage);
            tm.tm_year -= 1900;
            tm.tm_mon -= 1;
            tm.tm_isdst = -1;
            bool timeMode = i + 1 < rest.size() && rest[i + 1] == "--time";
            if (timeMode) ++i;
            test = DateTest(*relation(*r), static_cast<int64_t>(std::mktime(&tm)), !timeMode);
        } else if (a == "--updated") {
            test = UpdatedTest();
        } else {
            return Usage(usage);
        }
        lumidex::RunSearch(lists, method, test);
        any = true;
    }
    if (!any) return Usage(usage);
    PrintRows(lists.SendToTarget ? lists.target : lists.reference, json);
    return kOk;
}

} // namespace lumidex::cli
