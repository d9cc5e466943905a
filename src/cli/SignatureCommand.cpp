#include "Commands.h"

#include "ConsoleFrame.h"
#include "PluginMode.h"
#include "PluginOption.h"
#include "Workspace.h"

#include <cstdio>

namespace lumidex::cli {

namespace {
// Keeps the message reported for the file being analysed instead of printing it.
class CapturingFrame : public ConsoleFrame {
public:
    void ShowLogged(const std::string& text, const std::string&) override { last = text; }
    std::string last;
};
} // namespace

bool UsePluginFolder(Workspace& ws, const std::string& folder) {
    if (UsePluginsForRun(ws, ws.plugins, folder)) return true;
    std::fprintf(stderr, "lumidex2-cli: %s: No valid plugin\n", folder.c_str());
    return false;
}

int RunSignature(const Args& args) {
    Args files;
    std::string pluginFolder;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--plugins" && i + 1 < args.size())
            pluginFolder = args[++i];
        else
            files.push_back(args[i]);
    }
    if (files.empty()) {
        std::fprintf(stderr, "Usage: lumidex2-cli signature FILE... [--plugins DIR]\n");
        return kUsage;
    }
    CapturingFrame frame;
    ConsoleFrame::InstallInterruptHandler();
    Workspace ws(frame, DefaultAppDir());
    if (!pluginFolder.empty() && !UsePluginFolder(ws, pluginFolder)) return kFailed;
    int status = kOk;
    for (const std::string& path : files) {
        frame.last.clear();
        int result = ws.AnalyseFile(path);
        if (result == 0) {
            const Pdata& entry = *ws.newPictures.back();
            std::printf("%08X %08X %s\n", entry.key, entry.code, entry.path.c_str());
        } else if (result < 0) {
            std::printf("Aborted\n");
            return kFailed;
        } else {
            std::printf("%s\n", frame.last.c_str());
            status = kFailed;
        }
    }
    return status;
}

} // namespace lumidex::cli
