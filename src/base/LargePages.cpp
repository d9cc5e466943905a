#include "LargePages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <unistd.h>
#endif

namespace lumidex {

namespace {
constexpr const char* kMarker = "LUMIDEX2_LARGE_PAGES";
constexpr const char* kTunable = "glibc.malloc.hugetlb=1";
} // namespace

std::string large_pages::TunablesForRestart(const Environment& env) {
    // Only "madvise" mode makes the difference: "always" already gives large pages and
    // "never" gives none whatever is asked.
    if (env.thpMode.find("[madvise]") == std::string_view::npos) return {};
    const std::string_view tunables = env.tunables ? env.tunables : "";
    if (tunables.find("glibc.malloc.hugetlb") != std::string_view::npos) return {};
    // Valgrind preloads its own libraries and would not follow the restart.
    if (env.ldPreload && std::strstr(env.ldPreload, "vgpreload")) return {};
    return tunables.empty() ? std::string(kTunable) : std::string(tunables) + ":" + kTunable;
}

void StartWithLargePages(char** argv) {
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) &&                  \
    !defined(__SANITIZE_THREAD__)
    if (const char* marker = std::getenv(kMarker)) {
        // The restart: the user's own GLIBC_TUNABLES come back (the marker holds them after
        // its first character, or is "-" when there were none).
        if (marker[0] == '+')
            setenv("GLIBC_TUNABLES", marker + 1, 1);
        else
            unsetenv("GLIBC_TUNABLES");
        unsetenv(kMarker);
        return;
    }
    char mode[128] = {};
    if (FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r")) {
        const size_t n = std::fread(mode, 1, sizeof mode - 1, f);
        mode[n] = '\0';
        std::fclose(f);
    }
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const std::string wanted =
        large_pages::TunablesForRestart({mode, tunables, std::getenv("LD_PRELOAD")});
    if (wanted.empty()) return;
    const std::string marker = tunables ? std::string("+") + tunables : std::string("-");
    setenv(kMarker, marker.c_str(), 1);
    setenv("GLIBC_TUNABLES", wanted.c_str(), 1);
    execv("/proc/self/exe", argv);
    // No /proc or no right to run the file again: go on with small pages.
    if (marker[0] == '+')
        setenv("GLIBC_TUNABLES", marker.c_str() + 1, 1);
    else
        unsetenv("GLIBC_TUNABLES");
    unsetenv(kMarker);
#else
    (void)argv;
#endif
}

} // namespace lumidex
