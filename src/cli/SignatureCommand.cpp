#include "Commands.h"

#include "ConsoleFrame.h"
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

int RunSignature(const Args& args) {
    if (args.empty()) {
        std::fprintf(stderr, "Usage: lumidex2-cli signature FILE...\n");
        return kUsage;
    }
    CapturingFrame frame;
    ConsoleFrame::InstallInterruptHandler();
    Workspace ws(frame, DefaultAppDir());
    int status = kOk;
    for (const std::string& path : args) {
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
