#pragma once

#include <string>
#include <string_view>

namespace lumidex {

// A catalogue of a million entries is millions of small allocations. Where the kernel gives
// large pages only to memory that asks for them, glibc's heap asks only when its tunable says
// so, and glibc reads tunables only when a process starts: so the program starts itself once
// more with the tunable added. Without it a large import or load faults in 4 KiB pages, which
// on a virtual machine costs as much as the work itself.
namespace large_pages {

// The GLIBC_TUNABLES a restart would use, given what the process sees; empty when no restart
// helps (the kernel already uses large pages or never does, the tunable is set, or the program
// runs under a tool that a restart would escape).
struct Environment {
    std::string_view thpMode; // contents of /sys/kernel/mm/transparent_hugepage/enabled
    const char* tunables;     // GLIBC_TUNABLES, or null
    const char* ldPreload;    // LD_PRELOAD, or null
};
std::string TunablesForRestart(const Environment& env);

} // namespace large_pages

// Call first in main, before any thread or Qt object exists: restarts the process once where
// that gives it large pages, and afterwards puts the environment back the way the user had it,
// so that programs it starts see nothing of it. Returns when no restart is made or it failed.
void StartWithLargePages(char** argv);

} // namespace lumidex
