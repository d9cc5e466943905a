// Starts as the program does and tells the test what the process ended up with: its arguments,
// the tunables it runs under and the environment programs it starts would see.
#include "LargePages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv);
    std::ifstream environ("/proc/self/environ", std::ios::binary);
    const std::string started((std::istreambuf_iterator<char>(environ)), {});
    std::printf("restarted=%d\n", started.find("glibc.malloc.hugetlb=1") != std::string::npos);
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    std::printf("tunables=%s\n", tunables ? tunables : "(unset)");
    std::printf("marker=%s\n", std::getenv("LUMIDEX2_LARGE_PAGES") ? "set" : "(unset)");
    for (int i = 1; i < argc; ++i)
        std::printf("arg=%s\n", argv[i]);
    return 0;
}
