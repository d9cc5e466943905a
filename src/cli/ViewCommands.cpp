#include "Commands.h"

#include "ConsoleFrame.h"
#include "SignatureIndex.h"
#include "SimilarToPicture.h"
#include "Workspace.h"

#include <cstdio>
#include <filesystem>

namespace lumidex::cli {

namespace {
// Prints each rejection on standard error and keeps the last for the JSON answer.
class RejectionFrame : public QuietConsoleFrame {
public:
    void ShowLogged(const std::string& text, const std::string& history) override {
        QuietConsoleFrame::ShowLogged(text, history);
        last = text;
    }
    std::string last;
};

// Over a million entries the tables cost about as much as fifty plain scans (bench_similar_to).
constexpr size_t kFilesForIndex = 50;
} // namespace

int RunSimilarTo(const Args& args) {
    const char* usage = "similar-to DB FILE... [--json] [--set Name=value]...";
    RejectionFrame frame;
    ConsoleFrame::InstallInterruptHandler();
    Workspace ws(frame, DefaultAppDir());
    std::vector<std::string> rest, files;
    std::string db;
    if (!OpenWithSettings(ws, args, rest, db)) {
        if (db.empty()) std::fprintf(stderr, "Usage: lumidex2-cli %s\n", usage);
        return db.empty() ? kUsage : kFailed;
    }
    bool json = false;
    bool bad = false;
    for (const std::string& a : rest) {
        if (a == "--json")
            json = true;
        else if (a.rfind("--", 0) == 0)
            bad = true;
        else
            files.push_back(a);
    }
    if (bad || files.empty()) {
        std::fprintf(stderr, "Usage: lumidex2-cli %s\n", usage);
        return kUsage;
    }

    const MatchSettings settings = ws.lists.CurrentMatchSettings();
    std::unique_ptr<SignatureIndex> index;
    if (files.size() >= kFilesForIndex) index = ws.lists.MakeIndex();

    int status = kOk;
    if (json) std::printf("[");
    for (size_t i = 0; i < files.size(); ++i) {
        // Entries keep absolute paths; so does the temporary one.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(files[i], ec);
        const std::string path = ec ? files[i] : absolute.lexically_normal().string();
        Pdata outsider(path);
        frame.last.clear();
        const int result = ws.analyser.AnalyseInto(path, outsider);
        if (result < 0) {
            if (json) std::printf("%s]\n", i ? "\n" : "");
            std::fprintf(stderr, "Aborted\n");
            return kFailed;
        }
        if (json) {
            std::printf("%s\n{\"file\":", i ? "," : "");
            PrintJsonString(files[i]);
        }
        if (result != 0) {
            status = kFailed;
            if (json) {
                std::printf(",\"error\":");
                PrintJsonString(frame.last);
                std::printf("}");
            }
            continue;
        }
        if (!json) std::printf("%s\n", files[i].c_str());
        if (json) std::printf(",\"similar\":[");
        bool first = true;
        for (int p : SimilarToOutsider(ws.catalogue, settings, outsider, index.get())) {
            const std::string& similar = ws.catalogue.Entry(p).path;
            if (json) {
                if (!first) std::putchar(',');
                PrintJsonString(similar);
            } else {
                std::printf("  %s\n", similar.c_str());
            }
            first = false;
        }
        if (json) std::printf("]}");
    }
    if (json) std::printf("%s]\n", files.empty() ? "" : "\n");
    return status;
}

} // namespace lumidex::cli
