#include "Commands.h"
#include "JsonOutput.h"

#include "ConsoleFrame.h"
#include "DatabaseCommands.h"
#include "Workspace.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace lumidex::cli {

namespace {

struct Session {
    explicit Session(bool quiet) : frame(quiet ? static_cast<ConsoleFrame&>(report) : console) {}
    QuietConsoleFrame report;
    ConsoleFrame console;
    ConsoleFrame& frame;
    Workspace ws{frame, DefaultAppDir()};
    Database db = ws.DatabaseParts();

    ReadResult Read(const std::string& path) {
        ws.PendingDatabasePath = path;
        return ReadDatabase(db);
    }
    // Writes as version 8; true when every entry was written.
    bool Write(const std::string& path) {
        BuildHeader(db);
        return WriteDatabase(db, path);
    }
};

bool ReadFailed(ReadResult r) {
    return r != ReadResult::Done;
}

const char* SortName(SortOrder s) {
    switch (s) {
    case SortOrder::byName:
        return "byName";
    case SortOrder::byPathname:
        return "byPathname";
    case SortOrder::RadioButtonbyDate:
        return "RadioButtonbyDate";
    case SortOrder::RadioButtonbySize:
        return "RadioButtonbySize";
    case SortOrder::bySimilarity:
        return "bySimilarity";
    }
    return "byName";
}

const char* PolicyName(SameFilePolicy p) {
    switch (p) {
    case SameFilePolicy::Replace:
        return "Replace";
    case SameFilePolicy::DontAdd:
        return "DontAdd";
    case SameFilePolicy::NotCare:
        return "NotCare";
    }
    return "NotCare";
}

const char* CollisionName(CopyCollision c) {
    switch (c) {
    case CopyCollision::OverWrite:
        return "OverWrite";
    case CopyCollision::Skip:
        return "Skip";
    case CopyCollision::Ask:
        return "Ask";
    }
    return "Ask";
}

} // namespace

void PrintJsonString(const std::string& s) {
    std::fputs(JsonString(s).c_str(), stdout);
}

int RunInfo(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "Usage: lumidex2-cli info DB\n");
        return kUsage;
    }
    Session s(true);
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        s.ws.LogMessage("Can't open " + args[0]);
        return kFailed;
    }
    std::string image(kHeaderSize, '\0');
    in.read(image.data(), static_cast<std::streamsize>(kHeaderSize));
    image.resize(static_cast<size_t>(in.gcount()));
    if (!ApplyHeader(s.db, image)) {
        s.ws.LogMessage(image.size() >= 3 && image.compare(0, 3, "LDB") == 0 ? kBrokenFileMessage
                                                                             : kNotDatabaseMessage);
        return kFailed;
    }
    const Options& o = s.ws.options;
    const HeaderState& h = s.ws.header;
    std::printf("version=%d\nentries=%d\nselection=%d\n", h.version, h.entryCount,
                h.savedSelection);
    auto flag = [](const char* name, bool on) { std::printf("%s=%d\n", name, on ? 1 : 0); };
    auto number = [](const char* name, int v) { std::printf("%s=%d\n", name, v); };
    flag("AutoViewLeft", o.AutoViewLeft);
    flag("AutoViewRight", o.AutoViewRight);
    flag("KeepAspectRatio", o.KeepAspectRatio);
    flag("AllowRobustOperation", o.AllowRobustOperation);
    flag("ShowMemoonPreview", o.ShowMemoonPreview);
    flag("UseJapneseMenu", o.UseJapneseMenu);
    flag("TargetListDragDrop", o.TargetListDragDrop);
    flag("DoubleCheck", o.DoubleCheck);
    flag("NotStrict", o.NotStrict);
    flag("ShowreferenceinTarget", o.ShowreferenceinTarget);
    flag("CheckBoxSameSizeOnly", o.CheckBoxSameSizeOnly);
    flag("ExcludeSameFolder", o.ExcludeSameFolder);
    std::printf("collision=%s\n", CollisionName(o.GroupBox1));
    flag("SameDriveOnly", o.SameDriveOnly);
    flag("NotUpdateListatAction", o.NotUpdateListatAction);
    flag("TrackMoveCopy", o.TrackMoveCopy);
    flag("ConfirmDelete", o.ConfirmDelete);
    std::printf("policy=%s\n", PolicyName(o.GroupBox2));
    flag("ConfirmClear", o.ConfirmClear);
    flag("ShoePathName", o.ShoePathName);
    flag("SmartSort", o.SmartSort);
    std::printf("sort=%s\n", SortName(o.Sortby));
    number("TrackBar2", o.TrackBar2);
    flag("WrapAround", o.WrapAround);
    flag("FixedPosition", o.FixedPosition);
    flag("FixedSize", o.FixedSize);
    flag("Stretch", o.Stretch);
    number("TrackBar1", o.TrackBar1);
    number("TrackBar3", o.TrackBar3);
    number("InitialStatus", o.InitialStatus);
    flag("AutoExpand", o.AutoExpand);
    flag("AutoSync", o.AutoSync);
    number("TrackBarSizeRange", o.TrackBarSizeRange);
    number("JpegQuality", o.JpegQuality);
    flag("GrayScale", o.GrayScale);
    number("Compress", o.Compress);
    flag("DeleteEmptyFolderafterFileMove", o.DeleteEmptyFolderafterFileMove);
    return kOk;
}

int RunList(const Args& args) {
    bool json = false;
    std::vector<std::string> paths;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else
            paths.push_back(a);
    }
    if (paths.size() != 1) {
        std::fprintf(stderr, "Usage: lumidex2-cli list DB [--json]\n");
        return kUsage;
    }
    Session s(true);
    ReadResult r = s.Read(paths[0]);
    const Catalogue& c = s.ws.catalogue;
    if (json) std::printf("[");
    for (int i = 0; i < c.Count(); ++i) {
        const Pdata& e = c.Entry(i);
        if (json) {
            std::printf("%s\n{\"path\":", i ? "," : "");
            PrintJsonString(e.path);
            std::printf(",\"key\":\"%08X\",\"code\":\"%08X\",\"group\":%u,\"size\":%d,\"time\":%d,"
                        "\"memos\":[",
                        e.key, e.code, e.mismatchGroup, e.fileSize, e.fileTime);
            for (int m = 0; m < e.MemoCount(); ++m)
                std::printf("%s%d", m ? "," : "", e.Memos()[static_cast<size_t>(m)]);
            std::printf("],\"regions\":[");
            for (int g = 0; g < e.RegionCount(); ++g) {
                const secondIndex& x = e.RegionAt(g);
                std::printf("%s{\"key\":\"%08X\",\"code\":\"%08X\",\"left\":%d,\"top\":%d,"
                            "\"right\":%d,\"bottom\":%d}",
                            g ? "," : "", x.key, x.code, x.area.left, x.area.top, x.area.right,
                            x.area.bottom);
            }
            std::printf("]}");
            continue;
        }
        std::printf("%s\t%08X\t%08X\t%u\t%d\t%d\t", e.path.c_str(), e.key, e.code, e.mismatchGroup,
                    e.fileSize, e.fileTime);
        for (int m = 0; m < e.MemoCount(); ++m)
            std::printf("%s%d", m ? "," : "", e.Memos()[static_cast<size_t>(m)]);
        std::putchar('\t');
        for (int g = 0; g < e.RegionCount(); ++g) {
            const secondIndex& x = e.RegionAt(g);
            std::printf("%s%08X:%08X:%d,%d,%d,%d", g ? ";" : "", x.key, x.code, x.area.left,
                        x.area.top, x.area.right, x.area.bottom);
        }
        std::putchar('\n');
    }
    if (json) std::printf("%s]\n", c.Count() ? "\n" : "");
    return r == ReadResult::Done || r == ReadResult::Stopped ? kOk : kFailed;
}

int RunMerge(const Args& args) {
    std::vector<std::string> files;
    std::string policy;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--policy" && i + 1 < args.size())
            policy = args[++i];
        else if (args[i].rfind("--policy=", 0) == 0)
            policy = args[i].substr(9);
        else
            files.push_back(args[i]);
    }
    bool badPolicy =
        !policy.empty() && policy != "replace" && policy != "dontadd" && policy != "notcare";
    if (files.size() < 2 || badPolicy) {
        std::fprintf(stderr,
                     "Usage: lumidex2-cli merge DB OTHER... [--policy replace|dontadd|notcare]\n");
        return kUsage;
    }
    Session s(false);
    if (ReadFailed(s.Read(files[0]))) return kFailed;
    // The policy applies to this merge only; the database keeps its own.
    SameFilePolicy own = s.ws.options.GroupBox2;
    if (policy == "replace") s.ws.options.GroupBox2 = SameFilePolicy::Replace;
    if (policy == "dontadd") s.ws.options.GroupBox2 = SameFilePolicy::DontAdd;
    if (policy == "notcare") s.ws.options.GroupBox2 = SameFilePolicy::NotCare;
    for (size_t i = 1; i < files.size(); ++i) {
        s.ws.PendingDatabasePath = files[i];
        // A failed import leaves the database file as it was.
        if (ReadFailed(ImportDatabase(s.db))) return kFailed;
    }
    s.ws.options.GroupBox2 = own;
    return s.Write(files[0]) ? kOk : kFailed;
}

int RunRewrite(const Args& args) {
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "Usage: lumidex2-cli rewrite DB [NEW]\n");
        return kUsage;
    }
    Session s(false);
    // Writing what a damaged file gave would drop the entries after the damage.
    if (ReadFailed(s.Read(args[0]))) return kFailed;
    return s.Write(args.size() == 2 ? args[1] : args[0]) ? kOk : kFailed;
}

int RunMemoExport(const Args& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "Usage: lumidex2-cli memo-export DB FILE.l2m\n");
        return kUsage;
    }
    Session s(false);
    if (ReadFailed(s.Read(args[0]))) return kFailed;
    return ExportMemo(s.db, args[1]) ? kOk : kFailed;
}

int RunMemoImport(const Args& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "Usage: lumidex2-cli memo-import DB FILE.l2m\n");
        return kUsage;
    }
    Session s(false);
    if (ReadFailed(s.Read(args[0]))) return kFailed;
    if (!ImportMemo(s.db, args[1])) return kFailed;
    return s.Write(args[0]) ? kOk : kFailed;
}

} // namespace lumidex::cli
