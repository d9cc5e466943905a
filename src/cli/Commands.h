#pragma once

#include <string>
#include <vector>

namespace lumidex {
class Workspace;
}

namespace lumidex::cli {

// Exit statuses of every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;   // arguments after the command name
    const char* summary; // one line for --help
    int (*run)(const Args& args);
};

// Every command of the tool, in the order --help lists them.
const std::vector<Command>& AllCommands();

int RunSignature(const Args& args);
int RunScan(const Args& args);
int RunSimilar(const Args& args);
int RunPairs(const Args& args);
int RunSearch(const Args& args);
int RunInfo(const Args& args);
int RunList(const Args& args);
int RunMerge(const Args& args);
int RunRewrite(const Args& args);
int RunMemoExport(const Args& args);
int RunMemoImport(const Args& args);
int RunUnlinked(const Args& args);
int RunChangePath(const Args& args);
int RunRenameCsv(const Args& args);
int RunMoveFolder(const Args& args);
int RunTrash(const Args& args);
int RunMove(const Args& args);
int RunMemo(const Args& args);
int RunMismatch(const Args& args);
int RunSimilarTo(const Args& args);

// Helpers the command files share.
// Opens DB (the first argument that is not an option) with its options and applies each
// "--set Name=value"; the other arguments come back in rest. On false, db is empty for bad
// usage and set for a database that could not be read.
bool OpenWithSettings(Workspace& ws, const Args& args, std::vector<std::string>& rest,
                      std::string& db);
// A JSON string literal of bytes, quotes, backslashes and control characters escaped.
void PrintJsonString(const std::string& s);
int RunRegion(const Args& args);

} // namespace lumidex::cli
