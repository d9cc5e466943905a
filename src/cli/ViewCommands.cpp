#include "Commands.h"

#include "ConsoleFrame.h"
#include "JsonOutput.h"
#include "SignatureIndex.h"
#include "SimilarToPicture.h"
#include "Workspace.h"

#include <cstdio>
#include <filesystem>
#include <optional>

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
    std::optional<JsonRowWriter> rows;
    if (json) rows.emplace();
    for (size_t i = 0; i < files.size(); ++i) {
        // Entries keep absolute paths; so does the temporary one.
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(files[i], ec);
        const std::string path = ec ? files[i] : absolute.lexically_normal().string();
        Pdata outsider(path);
        frame.last.clear();
        const int result = ws.analyser.AnalyseInto(path, outsider);
        if (result < 0) {
            rows.reset();
            std::fprintf(stderr, "Aborted\n");
            return kFailed;
        }
        const std::string file = "\"file\":" + JsonString(files[i]);
        if (result != 0) {
            status = kFailed;
            if (json) rows->Row(file + ",\"error\":" + JsonString(frame.last));
            continue;
        }
        const std::vector<int> similar =
            SimilarToOutsider(ws.catalogue, settings, outsider, index.get());
        if (json) {
            std::string fields = file + ",\"similar\":[";
            for (size_t k = 0; k < similar.size(); ++k)
                fields += (k ? "," : "") + JsonEntry(ws.catalogue.Entry(similar[k]));
            rows->Row(fields + "]");
            continue;
        }
        std::printf("%s\n", files[i].c_str());
        for (int p : similar)
            std::printf("  %s\n", ws.catalogue.Entry(p).path.c_str());
    }
    rows.reset();
    return status;
}

} // namespace lumidex::cli
