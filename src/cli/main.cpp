#include "Commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace lumidex::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"signature", "FILE...",
         "Analyse picture files; print key, luminance code and path (hex), or why a file was rejected.",
         RunSignature},
    };
    return commands;
}

namespace {
void PrintHelp(std::FILE* out) {
    std::fprintf(out, "Usage: lumidex2-cli COMMAND [ARGUMENTS]\n\n"
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
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
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
