#include "Commands.h"

#include "ConsoleFrame.h"
#include "DatabaseCommands.h"
#include "MemoOps.h"
#include "MismatchGroups.h"
#include "Workspace.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace lumidex::cli {

namespace {

// One database read for an edit and written back (atomically) when the edit succeeded.
struct Edit {
    QuietConsoleFrame frame;
    Workspace ws{frame, DefaultAppDir()};
    Database db = ws.DatabaseParts();
    std::string path;

    bool Open(const std::string& file) {
        path = file;
        ws.databaseHooks.AfterRead = nullptr;
        if (!std::filesystem::exists(file)) {
            std::fprintf(stderr, "lumidex2-cli: %s: no such database\n", file.c_str());
            return false;
        }
        ws.PendingDatabasePath = file;
        if (ReadDatabase(db) != ReadResult::Done) {
            std::fprintf(stderr, "lumidex2-cli: %s: cannot read the database\n", file.c_str());
            return false;
        }
        return true;
    }
    int Save() {
        BuildHeader(db);
        if (!WriteDatabase(db, path)) {
            std::fprintf(stderr, "lumidex2-cli: %s: cannot write the database\n", path.c_str());
            return kFailed;
        }
        return kOk;
    }
    // The entries of the paths (made absolute as "scan" stores them); nothing when one is
    // not catalogued.
    bool Entries(const Args& paths, size_t from, std::vector<Pdata*>& out) {
        for (size_t i = from; i < paths.size(); ++i) {
            std::string p = std::filesystem::absolute(paths[i]).lexically_normal().string();
            int at = ws.catalogue.FindEntry(p);
            if (at < 0) at = ws.catalogue.FindEntry(paths[i]);
            if (at < 0) {
                std::fprintf(stderr, "lumidex2-cli: %s: not in the database\n", paths[i].c_str());
                return false;
            }
            out.push_back(&ws.catalogue.Entry(at));
        }
        return true;
    }
};

int Usage(const char* text) {
    std::fprintf(stderr, "Usage: lumidex2-cli %s\n", text);
    return kUsage;
}

constexpr const char* kMemoUsage =
    "memo DB --list | --set GROUP MEMO PATH... | --unset GROUP MEMO PATH...";
constexpr const char* kMismatchUsage = "mismatch DB --list | --make PATH PATH...";

} // namespace

int RunMemo(const Args& args) {
    if (args.size() < 2) return Usage(kMemoUsage);
    const std::string& mode = args[1];
    const bool list = mode == "--list";
    const bool set = mode == "--set";
    if (list ? args.size() != 2 : (!set && mode != "--unset") || args.size() < 5)
        return Usage(kMemoUsage);
    Edit e;
    if (!e.Open(args[0])) return kFailed;
    DataManage& memos = e.ws.memos;
    if (list) {
        for (const MemoGroup& g : memos.Groups()) {
            std::printf("%d\t%s\n", g.id, g.name.c_str());
            for (int slot : memos.SlotsOfGroup(g.id))
                std::printf("\t%d\t%s\n", slot,
                            memos.Slots()[static_cast<size_t>(slot)].text.c_str());
        }
        return kOk;
    }
    std::vector<Pdata*> entries;
    if (!e.Entries(args, 4, entries)) return kFailed;
    const std::string& groupName = args[2];
    const std::string& text = args[3];
    int at = memos.GroupIndexOfName(groupName);
    int32_t group = at >= 0 ? memos.GroupIdAt(at) : -1;
    int slot = group >= 0 ? memos.FindMemo(text, group) : -1;
    if (!set && slot < 0) {
        std::fprintf(stderr, "lumidex2-cli: no memo %s in group %s\n", text.c_str(),
                     groupName.c_str());
        return kFailed;
    }
    if (group < 0) group = NewGroup(e.ws, memos, groupName);
    if (slot < 0) slot = NewMemo(e.ws, memos, group, text);
    for (Pdata* p : entries)
        set ? p->AddMemo(slot) : p->RemoveMemo(slot);
    return e.Save();
}

int RunMismatch(const Args& args) {
    if (args.size() < 2) return Usage(kMismatchUsage);
    const bool list = args[1] == "--list";
    if (list ? args.size() != 2 : args[1] != "--make" || args.size() < 4)
        return Usage(kMismatchUsage);
    Edit e;
    if (!e.Open(args[0])) return kFailed;
    if (list) {
        MismatchEditorRows rows;
        rows.Build(e.ws.catalogue);
        for (const MismatchEditorRows::Row& r : rows.Rows())
            std::printf("%d\t%s\n", r.group, r.entry->path.c_str());
        return kOk;
    }
    std::vector<Pdata*> entries;
    if (!e.Entries(args, 2, entries)) return kFailed;
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    if (entries.size() < 2) {
        std::fprintf(stderr, "lumidex2-cli: a mismatch group needs two different pictures\n");
        return kFailed;
    }
    if (!MakeMismatchGroup(e.ws, e.ws.mismatchNumbers, entries)) return kFailed;
    std::printf("%d\n", entries[0]->mismatchGroup);
    return e.Save();
}

} // namespace lumidex::cli
