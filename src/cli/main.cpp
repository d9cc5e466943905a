#include "Commands.h"

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
        {"scan", "DB PATH... [--depth N] [--policy replace|dontadd|notcare] [--log] [--plugins DIR]",
         "Add picture files and folders to a database (a new one when DB does not exist) and save "
         "it; --policy stays the catalogue's option.",
         RunScan},
        {"similar", "DB [--targets] [--all] [--set Name=value]...",
         "Print the reference list of \"Has Similar Pics\" (or all entries), with --targets each "
         "row's targets.",
         RunSimilar},
        {"pairs", "DB [--set Name=value]...",
         "Print the pair list of the similar pictures, as \"Copy Pair List to Clipboard\" makes "
         "it.",
         RunPairs},
        {"search", "DB [--method normal|or|and|not] CRITERION...",
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
