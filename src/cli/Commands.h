#pragma once

#include <string>
#include <vector>

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
int RunRegion(const Args& args);

} // namespace lumidex::cli
