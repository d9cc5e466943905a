#include "Commands.h"
#include "LargePages.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace lumidex::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"signature", "FILE... [--plugins DIR]",
         "Analyse picture files; print key, luminance code and path (hex), or why a file was "
         "rejected. --plugins: read through the picture plug-ins of DIR.",
         RunSignature},
        {"scan",
         "DB PATH... [--depth N] [--policy replace|dontadd|notcare] [--log] [--jobs N] "
         "[--plugins DIR]",
         "Add picture files and folders to a database (a new one when DB does not exist) and save "
         "it; --policy stays the catalogue's option; --jobs N analyses on N threads (default: "
         "every core); --plugins: read through the picture plug-ins of DIR.",
         RunScan},
        {"similar", "DB [--targets] [--all] [--json] [--set Name=value]...",
         "Print the reference list of \"Has Similar Pics\" (or all entries), with --targets each "
         "row's targets.",
         RunSimilar},
        {"pairs", "DB [--json] [--set Name=value]...",
         "Print the pair list of the similar pictures, as \"Copy Pair List to Clipboard\" makes "
         "it.",
         RunPairs},
        {"search", "DB [--method normal|or|and|not] [--json] CRITERION...",
         "Print the reference list after searches by name, folder, memo, size, date, updated or "
         "new.\n      CRITERION: --name TEXT, --folder DIR, --folder-tree DIR, --memo GROUP TEXT,"
         "\n      --memo-group GROUP, --size >=|==|<= BYTES,"
         "\n      --date >=|==|<= 'YYYY-MM-DD[ HH:MM:SS]' [--time], --updated, --new;"
         " --target sends the result to the target list.",
         RunSearch},
        {"info", "DB",
         "Print the header of a database: version, entry count, selection and every option.",
         RunInfo},
        {"list", "DB [--json]",
         "Read a database and print its entries: path, key, code, group, size, time, memos, "
         "regions.",
         RunList},
        {"merge", "DB OTHER... [--policy replace|dontadd|notcare]",
         "Import other databases into DB and save it.", RunMerge},
        {"rewrite", "DB [NEW]",
         "Read a database and save it in the current format (to NEW if given).", RunRewrite},
        {"memo-export", "DB FILE.l2m",
         "Write the memo groups and memos of a database to a memo file.", RunMemoExport},
        {"memo-import", "DB FILE.l2m",
         "Add the groups and memos of a memo file to a database and save it.", RunMemoImport},
        {"unlinked", "DB [--remove] [--dry-run]",
         "Print the entries whose files are missing, in catalogue order; --remove drops them.",
         RunUnlinked},
        {"change-path", "DB FROM TO [--no-subfolders] [--dry-run]",
         "Re-point entries of FROM whose files now live under TO, as \"Change All File Path...\".",
         RunChangePath},
        {"rename-csv", "DB FILE.csv [--dry-run]",
         "Apply a rename list (old name, folder, new name) to the entries; no file is touched.",
         RunRenameCsv},
        {"move-folder", "DB FROM TO [--dry-run]",
         "Move a folder tree on disk and re-point its entries; colliding files stay in place.",
         RunMoveFolder},
        {"trash", "DB PATH... [--dry-run]",
         "Move the files of these entries to the desktop trash and drop the entries.", RunTrash},
        {"move", "DB PATH... --to DIR [--on-collision skip|rename|overwrite] [--dry-run]",
         "Move the files of these entries into DIR (skip on collision by default); the entries "
         "follow.",
         RunMove},
        {"memo", "DB --list | --set GROUP MEMO PATH... | --unset GROUP MEMO PATH...",
         "List the memo groups and memos with their numbers, or give or take a memo from "
         "pictures (--set creates a missing group or memo) and save the database.",
         RunMemo},
        {"mismatch", "DB --list | --make PATH PATH...",
         "List the mismatch groups (number and path per entry), or put pictures into one new "
         "group so that they are no longer paired, and save the database.",
         RunMismatch},
        {"similar-to", "DB FILE... [--json] [--set Name=value]...",
         "Analyse picture files without adding them; print each file followed by the "
         "catalogue's similar entries.",
         RunSimilarTo},
        {"region", "DB PATH --list | --add L,T,R,B | --delete N [--plugins DIR]",
         "List an entry's regions (\"Area \" number, corners, key, code), add one (clipped to "
         "the picture) or delete one, and save DB.",
         RunRegion},
    };
    return commands;
}

namespace {
void PrintHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: lumidex2-cli COMMAND [ARGUMENTS]\n\n"
                 "Keeps a catalogue of picture files and finds the pictures that look alike.\n\n"
                 "Commands:\n");
    for (const Command& c : AllCommands())
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\nExit status: 0 success, 1 a file or command failed, 2 bad usage.\n"
                      "Settings live in $LUMIDEX2_HOME, else ~/.config/Lumidex2/.\n");
}
} // namespace

} // namespace lumidex::cli

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv);
    using namespace lumidex::cli;
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        PrintHelp(stderr);
        return kUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        PrintHelp(stdout);
        return kOk;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("lumidex2-cli %s\n", LUMIDEX2_VERSION);
        return kOk;
    }
    Args args(argv + 2, argv + argc);
    for (const Command& c : AllCommands()) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                std::printf("Usage: lumidex2-cli %s %s\n  %s\n", c.name, c.usage, c.summary);
                return kOk;
            }
        }
        return c.run(args);
    }
    std::fprintf(stderr, "lumidex2-cli: unknown command '%s' (try --help)\n", argv[1]);
    return kUsage;
}
