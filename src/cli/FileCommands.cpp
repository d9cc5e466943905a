// Commands that act on picture files and on the paths of the catalogue. None of them asks:
// every destructive choice is an explicit flag, and --dry-run prints the plan alone.
#include "Commands.h"

#include "ConsoleFrame.h"
#include "CopyMove.h"
#include "DeleteRename.h"
#include "FileNames.h"
#include "PathMaintenance.h"
#include "RenameList.h"
#include "Workspace.h"

#include <cstdio>
#include <optional>
#include <string>

namespace lumidex::cli {

namespace {

struct FileSession {
    QuietConsoleFrame frame;
    Workspace ws{frame, DefaultAppDir()};
    Database db = ws.DatabaseParts();
    FileOpsParts parts = ws.FileOpsParts();

    bool Read(const std::string& path) {
        ws.PendingDatabasePath = path;
        return ReadDatabase(db) == ReadResult::Done;
    }
    bool Write(const std::string& path) {
        BuildHeader(db);
        return WriteDatabase(db, path);
    }
};

// Splits off the flags every command knows; the rest stay in order.
struct Parsed {
    Args positional;
    bool dryRun = false;
    bool remove = false;
    bool noSubfolders = false;
    std::string to;
    std::string onCollision;
    bool bad = false;
};

Parsed Parse(const Args& args) {
    Parsed p;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dry-run") {
            p.dryRun = true;
        } else if (a == "--remove") {
            p.remove = true;
        } else if (a == "--no-subfolders") {
            p.noSubfolders = true;
        } else if (a == "--to" && i + 1 < args.size()) {
            p.to = args[++i];
        } else if (a == "--on-collision" && i + 1 < args.size()) {
            p.onCollision = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            p.bad = true;
        } else {
            p.positional.push_back(a);
        }
    }
    return p;
}

int Usage(const char* text) {
    std::fprintf(stderr, "Usage: lumidex2-cli %s\n", text);
    return kUsage;
}

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
}

// The entries of paths given on the command line, or the first path not catalogued.
std::optional<std::vector<Pdata*>> EntriesOf(FileSession& s, const Args& paths, size_t from) {
    std::vector<Pdata*> entries;
    for (size_t i = from; i < paths.size(); ++i) {
        std::string path = NormalisedFolder(paths[i]);
        int at = s.ws.catalogue.FindEntry(path);
        if (at < 0) {
            std::fprintf(stderr, "lumidex2-cli: not in the catalogue: %s\n", path.c_str());
            return std::nullopt;
        }
        entries.push_back(&s.ws.catalogue.Entry(at));
    }
    return entries;
}

} // namespace

int RunUnlinked(const Args& args) {
    Parsed p = Parse(args);
    if (p.bad || p.positional.size() != 1) return Usage("unlinked DB [--remove] [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    std::vector<Pdata*> missing = FindUnlinkedEntries(s.parts);
    for (Pdata* e : missing)
        Print(p.remove && p.dryRun ? e->path + ": removed, missing" : e->path);
    if (!p.remove || p.dryRun) return kOk;
    RemoveUnlinkedEntries(s.parts, missing);
    return s.Write(p.positional[0]) ? kOk : kFailed;
}

int RunChangePath(const Args& args) {
    Parsed p = Parse(args);
    if (p.bad || p.positional.size() != 3)
        return Usage("change-path DB FROM TO [--no-subfolders] [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    auto changes = PlanPathChange(s.parts, p.positional[1], p.positional[2], !p.noSubfolders);
    for (const PathChange& c : changes)
        Print(c.oldPath + " -> " + c.newPath);
    if (p.dryRun) return kOk;
    int n = ApplyPathChange(s.parts, changes);
    Print(ChangedText(n, s.ws.catalogue.Count()));
    return s.Write(p.positional[0]) ? kOk : kFailed;
}

int RunRenameCsv(const Args& args) {
    Parsed p = Parse(args);
    if (p.bad || p.positional.size() != 2) return Usage("rename-csv DB FILE.csv [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    auto lines = ReadRenameList(p.positional[1]);
    if (!lines) {
        std::fprintf(stderr, "ERROR:Invalid CSV\n");
        return kFailed;
    }
    if (p.dryRun) {
        for (const RenameLine& l : *lines)
            Print(l.oldPath + (s.ws.catalogue.FindEntry(l.oldPath) >= 0
                                   ? " -> " + l.newPath
                                   : ": skipped, not in the catalogue"));
        return kOk;
    }
    int n = ApplyRenameList(s.parts, *lines);
    Print(std::to_string(n) + " FileName Changed.");
    return s.Write(p.positional[0]) ? kOk : kFailed;
}

int RunMoveFolder(const Args& args) {
    Parsed p = Parse(args);
    if (p.bad || p.positional.size() != 3) return Usage("move-folder DB FROM TO [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    FolderMovePlan plan = PlanFolderMove(s.parts, p.positional[1], p.positional[2]);
    if (!plan.refusal.empty()) {
        std::fprintf(stderr, "Move failed:%s (%s)\n", plan.from.c_str(), plan.refusal.c_str());
        return kFailed;
    }
    bool collided = false;
    for (const FolderMove& m : plan.files) {
        Print(m.skipped.empty() ? m.source + " -> " + m.destination
                                : m.source + ": skipped, " + m.skipped);
        collided = collided || !m.skipped.empty();
    }
    if (p.dryRun) return kOk;
    int n = ApplyFolderMove(s.parts, plan);
    Print(ChangedText(n, s.ws.catalogue.Count()));
    bool saved = s.Write(p.positional[0]);
    return saved && !collided ? kOk : kFailed;
}

int RunTrash(const Args& args) {
    Parsed p = Parse(args);
    if (p.bad || p.positional.size() < 2) return Usage("trash DB PATH... [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    auto entries = EntriesOf(s, p.positional, 1);
    if (!entries) return kFailed;
    for (Pdata* e : *entries)
        Print(e->path + " -> trash");
    if (p.dryRun) return kOk;
    int failed = RecycleEntryFiles(s.parts, *entries);
    bool saved = s.Write(p.positional[0]);
    return saved && failed == 0 ? kOk : kFailed;
}

int RunMove(const Args& args) {
    Parsed p = Parse(args);
    std::optional<Collision> rule = Collision::Skip;
    if (p.onCollision == "rename") rule = Collision::Rename;
    if (p.onCollision == "overwrite") rule = Collision::OverWrite;
    bool badRule = !p.onCollision.empty() && p.onCollision != "skip" && p.onCollision != "rename" &&
                   p.onCollision != "overwrite";
    if (p.bad || badRule || p.to.empty() || p.positional.size() < 2)
        return Usage("move DB PATH... --to DIR [--on-collision skip|rename|overwrite] [--dry-run]");
    FileSession s;
    if (!s.Read(p.positional[0])) return kFailed;
    auto entries = EntriesOf(s, p.positional, 1);
    if (!entries) return kFailed;
    // The catalogue follows the files whatever the database's own tracking options say; they
    // are stored back unchanged.
    Options own = s.ws.options;
    s.ws.options.TrackMoveCopy = true;
    s.ws.options.SameDriveOnly = false;
    s.ws.options.DeleteEmptyFolderafterFileMove = false;
    TransferPlan plan = PlanTransfer(s.parts, TransferKind::Move, *entries, NormalisedFolder(p.to),
                                     CollisionRule{nullptr, rule});
    for (const std::string& line : DescribePlan(plan))
        Print(line);
    if (p.dryRun) return plan.aborted ? kFailed : kOk;
    TransferResult r = ApplyTransfer(s.parts, plan);
    s.ws.options = own;
    bool saved = s.Write(p.positional[0]);
    return saved && !r.aborted ? kOk : kFailed;
}

} // namespace lumidex::cli
