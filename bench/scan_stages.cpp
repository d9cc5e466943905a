// Where the time of a scan goes, on one thread: the file's status, decoding, the signature,
// the catalogue's part (checks, messages, insertion, the lists) and saving, beside a plain
// libjpeg decode of the same JPEG files. Thread CPU time, so that a shared machine disturbs
// the figures little.
//   scan_stages FOLDER
#include "Analyser.h"
#include "DatabaseFile.h"
#include "FileStatus.h"
#include "PictureReader.h"
#include "PlainJpegDecode.h"
#include "Signature.h"
#include "Workspace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace lumidex;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool IsJpeg(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext == ".jpg" || ext == ".jpeg";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scan_stages FOLDER\n");
        return 2;
    }
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(argv[1])) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (IsJpeg(e.path()) || ext == ".png" || ext == ".bmp") files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());

    std::string home = "/tmp/lumidex2-stages-XXXXXX";
    if (!::mkdtemp(home.data())) return 1;
    NullFrame frame;
    double plain = 0, status = 0, decode = 0, signature = 0, catalogue = 0, saving = 0;
    double jpegDecode = 0; // the part of decode spent on JPEG files
    int jpegs = 0;
    {
        Workspace ws(frame, home);
        std::unique_ptr<JSAMPLE[]> pixels;
        size_t capacity = 0;
        for (const std::string& path : files) {
            double t = ThreadSeconds();
            if (IsJpeg(path)) {
                PlainJpegDecode(path, pixels, capacity);
                ++jpegs;
                const double now = ThreadSeconds();
                plain += now - t;
                t = now;
            }
            FileAnalysis a;
            a.status = GetFileStatus(path);
            a.readTried = true;
            double now = ThreadSeconds();
            status += now - t;
            t = now;
            // As the command line reads: only the rows the signature looks at, where it can.
            QImage picture;
            a.read = ReadAnalysedRows(picture, path, false);
            a.width = picture.width();
            a.height = picture.height();
            now = ThreadSeconds();
            decode += now - t;
            if (IsJpeg(path)) jpegDecode += now - t;
            t = now;
            if (a.read == ReadOutcome::Ok && a.width >= 16 && a.height >= 16) {
                Pdata entry(path);
                a.key = ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0,
                                         frame);
                a.code = entry.code;
            }
            picture = QImage();
            now = ThreadSeconds();
            signature += now - t;
            t = now;
            ws.analyser.AnalyseFile(path, std::move(a));
            catalogue += ThreadSeconds() - t;
        }
        double t = ThreadSeconds();
        ws.lists.UpdateReferenceList();
        catalogue += ThreadSeconds() - t;
        t = ThreadSeconds();
        Database parts = ws.DatabaseParts();
        BuildHeader(parts);
        if (!WriteDatabase(parts, home + "/stages.ld2")) return 1;
        saving = ThreadSeconds() - t;
    }
    std::filesystem::remove_all(home);

    const double total = status + decode + signature + catalogue + saving;
    std::printf("%s: %zu pictures, %d of them JPEG (thread CPU seconds)\n", argv[1], files.size(),
                jpegs);
    std::printf("plain libjpeg decode %7.3f s (JPEG files only)\n", plain);
    std::printf("decode of JPEG files %7.3f s (only the rows the signature reads, where it can)\n",
                jpegDecode);
    const struct {
        const char* name;
        double seconds;
    } stages[] = {{"file status", status},
                  {"decode", decode},
                  {"signature", signature},
                  {"catalogue", catalogue},
                  {"saving", saving}};
    for (const auto& s : stages)
        std::printf("%-20s %7.3f s %5.1f %% %8.1f us a file\n", s.name, s.seconds,
                    100 * s.seconds / total, 1e6 * s.seconds / static_cast<double>(files.size()));
    std::printf("%-20s %7.3f s\n", "scan on one thread", total);
    return 0;
}
