#include "Commands.h"

#include "ConsoleFrame.h"
#include "PictureReader.h"
#include "PluginOption.h"
#include "Regions.h"
#include "Workspace.h"

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace lumidex::cli {

namespace {

constexpr const char* kUsageText =
    "region DB PATH --list | --add L,T,R,B | --delete N [--plugins DIR]";

int Usage() {
    std::fprintf(stderr, "Usage: lumidex2-cli %s\n", kUsageText);
    return kUsage;
}

bool ParseRectangle(const std::string& text, Area& area) {
    char tail = 0;
    return std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &area.left, &area.top, &area.right,
                       &area.bottom, &tail) == 4;
}

void PrintRegions(const Pdata& entry) {
    const std::vector<std::string> names = RegionNames(entry);
    for (int i = 0; i < entry.RegionCount(); ++i) {
        const secondIndex& r = entry.RegionAt(i);
        std::printf("%s %s %08X %08X\n", names[static_cast<size_t>(i)].c_str(),
                    CornerText(r.area).c_str(), r.key, r.code);
    }
}

} // namespace

int RunRegion(const Args& args) {
    enum class Action { None, List, Add, Delete } action = Action::None;
    std::string db, path, pluginFolder;
    Area rect;
    int number = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (action != Action::None && (a == "--list" || a == "--add" || a == "--delete"))
            return Usage(); // one action a run
        if (a == "--list") {
            action = Action::List;
        } else if (a == "--add" && hasValue) {
            if (!ParseRectangle(args[++i], rect)) return Usage();
            action = Action::Add;
        } else if (a == "--delete" && hasValue) {
            char* end = nullptr;
            number = static_cast<int>(std::strtol(args[++i].c_str(), &end, 10));
            if (*end || number < 1) return Usage();
            action = Action::Delete;
        } else if (a == "--plugins" && hasValue) {
            pluginFolder = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return Usage();
        } else if (db.empty()) {
            db = a;
        } else if (path.empty()) {
            path = a;
        } else {
            return Usage();
        }
    }
    if (db.empty() || path.empty() || action == Action::None) return Usage();

    QuietConsoleFrame frame;
    Workspace ws(frame, DefaultAppDir());
    if (!pluginFolder.empty() && !UsePluginFolder(ws, pluginFolder)) return kFailed;
    Database parts = ws.DatabaseParts();
    ws.databaseHooks.AfterRead = nullptr;
    ws.PendingDatabasePath = db;
    if (ReadDatabase(parts) != ReadResult::Done) {
        std::fprintf(stderr, "lumidex2-cli: %s: cannot read the database\n", db.c_str());
        return kFailed;
    }
    // Entries hold absolute paths, as scan stores them.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
    const int position = ws.catalogue.FindEntry(ec ? path : absolute.string());
    if (position < 0) {
        std::fprintf(stderr, "lumidex2-cli: %s: not in %s\n", path.c_str(), db.c_str());
        return kFailed;
    }
    Pdata& entry = ws.catalogue.Entry(position);

    if (action == Action::List) {
        PrintRegions(entry);
        return kOk;
    }
    if (action == Action::Add) {
        QImage picture;
        if (ReadPicture(picture, entry.path) != 0) {
            std::fprintf(stderr, "lumidex2-cli: Read failed,%s\n", entry.path.c_str());
            return kFailed;
        }
        if (AddRegion(picture, entry, rect, frame) < 0) {
            std::fprintf(stderr,
                         "lumidex2-cli: %s is under 16 x 16 pixels inside the %d x %d picture\n",
                         CornerText(rect).c_str(), picture.width(), picture.height());
            return kFailed;
        }
    } else if (!DeleteRegion(entry, number - 1)) {
        std::fprintf(stderr, "lumidex2-cli: %s has no Area %d\n", path.c_str(), number);
        return kFailed;
    }
    BuildHeader(parts);
    if (!WriteDatabase(parts, db)) {
        std::fprintf(stderr, "lumidex2-cli: %s: cannot write the database\n", db.c_str());
        return kFailed;
    }
    PrintRegions(entry);
    return kOk;
}

} // namespace lumidex::cli
