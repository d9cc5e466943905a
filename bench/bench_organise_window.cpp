// "&Import List from Clipboard" through the main window (offscreen): the wall and CPU time of
// importing a list of N paths (in path order, then shuffled) from the clipboard into a fresh
// program, event turns, progress bar and the list view's refresh included.
//   bench_organise_window [LINES] [REPEATS]
#include "LargePages.h"
#include "WindowRun.h"

#include <QClipboard>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

QString ListText(int lines, bool shuffled) {
    std::vector<int> order(static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i)
        order[static_cast<size_t>(i)] = i;
    if (shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::string text;
    char line[96];
    for (int i : order) {
        std::snprintf(line, sizeof line,
                      "/bench/d%05d/img%07d.jpg (1000 bytes,Mon Dec 08 20:12:05 2003)\r\n", i / 10,
                      i);
        text += line;
    }
    return QString::fromStdString(text);
}

} // namespace

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv); // as the program starts
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 1;
    for (bool shuffled : {false, true}) {
        QGuiApplication::clipboard()->setText(ListText(lines, shuffled));
        for (int i = 0; i < repeats; ++i) {
            lumidex::bench::WindowRun run;
            run.main().ImportListFromClipboardClick();
            QApplication::processEvents(); // the list view's repaint
            const double wall = run.Wall();
            lumidex::Workspace& ws = run.main().workspace();
            std::printf("import %s %7.2f s wall %7.2f s cpu (%d entries, %d rows)\n",
                        shuffled ? "shuffled" : "sorted  ", wall, run.Cpu(), ws.catalogue.Count(),
                        ws.lists.reference.Count());
            std::fflush(stdout);
            ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        }
    }
    return 0;
}
