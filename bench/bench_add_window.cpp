// "Add Pictures from &Folder..." through the main window (offscreen): the wall and CPU time of
// TMain::AddPicturesFromFolder on a folder, each run in a fresh program with an empty
// catalogue. bench/add_window_vs_cli.sh runs it beside "lumidex2-cli scan" on the same folder.
//   bench_add_window FOLDER [REPEATS]
#include "LargePages.h"
#include "WindowRun.h"

#include <cstdio>

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv); // as the program starts
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_add_window FOLDER [REPEATS]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string folder = argv[1];
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 1;
    for (int i = 0; i < repeats; ++i) {
        lumidex::bench::WindowRun run;
        run.main().AddPicturesFromFolder(folder);
        const double wall = run.Wall();
        lumidex::Workspace& ws = run.main().workspace();
        // The window's own thread: what the workers do is the command line's work too.
        std::printf("window       %7.2f s wall %7.2f s cpu (%.2f s window thread) %6.0f files/s "
                    "(%d entries)\n",
                    wall, run.Cpu(), run.WindowCpu(), ws.catalogue.Count() / wall,
                    ws.catalogue.Count());
        std::fflush(stdout);
        ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
    }
    return 0;
}
